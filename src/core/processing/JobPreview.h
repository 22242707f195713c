#pragma once

#include "JobCounters.h"
#include "ProcessingJob.h"
#include "catalog/SetupChoices.h"
#include "gamesdb/GameInfo.h"
#include "gamesdb/SetDependencies.h"

#include <QList>
#include <QString>
#include <QStringList>

struct EmulatorFolders;

// What FINISH would do to one file, folder or archive entry.
enum class PreviewChange { Delete, Rename, Restore, Move, MakeFolder, Keep };

struct PreviewLine {
    int type = GameROMs;
    PreviewChange change = PreviewChange::Keep;
    QString path;      // the file or folder; for an archive entry, the archive
    QString entry;     // the archive entry's stored name, "" for a loose file or folder
    QString target;    // where a rename, restore or move puts it (an entry's new stored name)
    qint64 bytes = 0;  // a file's size, an entry's stored (compressed) size; 0 for a folder
    bool folder = false;
    QString reason;    // Keep: why the job would find it and leave it as it is
    int neededBy = 0;  // a ROM set: the games outside the Work List that need it
};

// A category archive the job would find, and what its pass would do.
struct PreviewArchive {
    int type = GameROMs;
    QString path;
    qint64 bytes = 0;
    int entries = 0;         // the entries the pass would change
    bool rewritten = false;  // the pass would run: it writes the archive anew, changes or not
    QString reason;          // why the pass would not run, or would stop the job
};

// FINISH foreseen: the job's own decisions, taken in the job's order over a disk that shows each
// step what the steps before it would have left, and each archive opened only to read.
struct JobPreview {
    OperationMode operation = RenameFiles;
    std::optional<JobRefusal> refusal;  // FINISH would show this message and change nothing
    NeededSets needed;                  // the sets of the Work List other games need
    bool toTrash = false;               // deleted files and entries would go to the desktop's trash
    QList<PreviewLine> lines;
    QList<PreviewArchive> archives;
    JobCounters counters;     // what the job would count
    qint64 statCalls = 0;     // file status calls made on the real disk
    QStringList statedPaths;  // the paths of those calls, in order (for the benchmark's floor)
};

// `needed` marks the ROM sets other games need.
JobPreview PreviewJob(const GameList& workList, SetupChoices setup, const EmulatorFolders& folders,
                      const NeededSets& needed = {});

// "deleted" (or "moved to the trash"), "renamed to pacman.zip.krm", "restored", "moved to /keep/pacman.zip",
// "folder made", or "not changed: <reason>"; an archive entry reads "snap.zip: pacman.png: renamed to ...". A
// set other games need ends "; needed by 157 games not in the Work List".
QString previewLineText(const PreviewLine& line, bool toTrash = false);
// Per file type: the files, folders and archive entries the job would act on and their size, each
// archive with its size; then every line. The text "Save List..." writes.
QStringList previewSummary(const JobPreview& preview);
QString previewText(const JobPreview& preview);

class DialogPort;
// "Save List...": asks where (starting in the program's data folder), writes previewText there and
// says whether it could, naming the file. Gives the path written, or "".
QString SavePreviewList(const JobPreview& preview, DialogPort& port, const QString& programFolder);
