#pragma once

#include "catalog/SetupChoices.h"
#include "processing/zip/ZipArchive.h"

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class DialogPort;

// The folder of the job records in the program's data folder: "<folder>history/".
QString recordsFolder(const QString& programFolder);
// A record's file name: the start and the operation, "2026-12-10 14-03-07 Rename Files.txt".
QString recordFileName(const QDateTime& startedAt, OperationMode operation);

// The log window's "Open Records Folder": the records folder (made when missing) opened by the
// desktop; a message says when it could not be.
void OpenRecordsFolder(DialogPort& port, const QString& programFolder);

// The record of one job: a text file in the records folder that names every file, folder and
// archive entry the job changed and what became of it, and ends with the job's totals. Each line is
// written and flushed as it happens, so a crash leaves the account of what was done. A record that
// cannot be written costs the job nothing: it is told through `failed`, once.
class JobRecord {
public:
    using Failed = std::function<void(const QString& path, const QString& reason)>;

    // Makes the records folder when needed and a new file in it (never over an older record), and
    // writes the heading: the operation, the start and the number of games.
    JobRecord(const QString& programFolder, OperationMode operation, const QDateTime& startedAt,
              qsizetype games, Failed failed);
    JobRecord(const JobRecord&) = delete;
    JobRecord& operator=(const JobRecord&) = delete;

    // The file written (or the one that could not be).
    QString path() const { return m_path; }

    // The loose-file changes, once they have happened. A move is the operation's rename, restore or
    // move; `replacing` when a file of the target's name was there before.
    void fileDeleted(const QString& path);
    void fileTrashed(const QString& path, const QString& trashedAs);
    void fileMoved(const QString& from, const QString& to, bool replacing);
    // An nvram folder after its files were deleted (`trashed`: moved to the trash): removed, or
    // kept (a subfolder or a protected file stays in it). Nothing is written when nothing changed.
    void folderEmptied(const QString& folder, const QStringList& deletedFiles, bool removed,
                       bool trashed = false);
    // An archive's changes, once its commit has put them on disk.
    // `trashed`: the deleted entries went to the trash.
    void archiveCommitted(const QString& archive, const QList<ZipArchive::PendingChange>& changes,
                          bool trashed = false);
    // Where an archive's deleted entries went: the archive of them in the trash.
    void removedEntriesKept(const QString& archive, const QString& keptIn);
    // A line of its own under the heading (whether deletes go to the trash).
    void note(const QString& line);
    // The job's last lines: its totals, and why it ended early when it did.
    void finish(const QStringList& lines);

private:
    void open(const QString& programFolder, const QDateTime& startedAt);
    void write(const QString& line);
    void fail(const QString& reason);

    OperationMode m_operation;
    QFile m_file;
    QString m_path;
    Failed m_failed;
    bool m_failedOnce = false;
};
