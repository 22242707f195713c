#pragma once

#include "JobCounters.h"
#include "catalog/SetupChoices.h"
#include "gamesdb/GameInfo.h"

#include <QDateTime>
#include <QString>
#include <functional>

struct JobContext;
class JobRecord;
class ZipArchive;

// Opens a category archive for its pass: "" when it is open, else why it is passed over (without a
// word in the log). Opening changes nothing on disk.
QString openForPass(ZipArchive& zip, const QString& path);

// The operation applied, in an update begun on `zip`, to the entry of every game of `games` (its
// .png, else its .jpg where the category takes them; the renamed forms for Restore and Delete
// Renamed): a game listed twice changes its entry once. Each change counts in counters.Total;
// `gameDone` is told after each game. Gives how many entries it changed; raises ZipError as the
// archive's changes do.
int changeArchiveEntries(ZipArchive& zip, const GameList& games, int type, OperationMode operation,
                         JobCounters& counters, const std::function<void(qsizetype done)>& gameDone);

// One pass over an image category's archive: every Work List game's entry deleted or renamed in one
// update, committed once, told on one log line that changes as the pass goes, and told to `record`
// once the commit has put it on disk. An archive that is missing, protected, empty or unreadable is
// passed over without a word. A failed change or commit raises ZipError (the archive then stays as it
// was, and nothing of it is recorded). When deletes go to the trash, the commit keeps the deleted
// entries in an archive of their own (`removedEntriesPath`), which then goes to the trash.
void ProcessImageArchive(JobContext& context, int type, JobCounters& counters, JobRecord& record);

// Where an archive's deleted entries are kept on their way to the trash, beside it:
// "snap deleted 2026-12-09 14-03.zip", " (2)" before ".zip" when that name is taken.
QString removedEntriesPath(const QString& archive, const QDateTime& at = QDateTime::currentDateTime());
