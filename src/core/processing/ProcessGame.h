#pragma once

#include "JobCounters.h"
#include "catalog/SetupChoices.h"

#include <QList>
#include <QString>
#include <array>

struct EmulatorFolders;
class JobDisk;

// One call of ApplyToLooseFile for a game: a file type and the extension ("" for nvram).
struct LooseFileStep {
    int type = GameROMs;
    QString ext;

    bool operator==(const LooseFileStep&) const = default;
};

// The loose-file steps of one game, in the order the job takes them, for the checked types the
// operation touches: ROM sets (.zip, .7z); for Delete Files cfg, ini, nvram; unless Move Files the
// image categories in table order (.png, and .jpg where the category accepts it).
QList<LooseFileStep> looseFileSteps(OperationMode operation, const std::array<bool, kFileTypeCount>& checked);

// The types whose summary lines the job writes, in that same order.
QList<int> summaryLineTypes(OperationMode operation, const std::array<bool, kFileTypeCount>& checked);

// The loose-file work for one game on `disk`, counted into `counters`.
void ProcessGame(const QString& game, const SetupChoices& setup, const EmulatorFolders& folders,
                 JobCounters& counters, JobDisk& disk);

// The log line with the loose-file result of one type: "Marquee [.png; .jpg]: 2 files found and
// processed." or, with nothing found, "...: No files where found.".
QString TypeSummaryLine(int type, const JobCounters& counters);
