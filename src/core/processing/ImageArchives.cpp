#include "ImageArchives.h"

#include "JobRecord.h"
#include "ProcessingJob.h"
#include "SearchFolders.h"
#include "catalog/FileTypes.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/Text.h"
#include "common/Trash.h"
#include "emulator/EmulatorState.h"
#include "processing/zip/ZipArchive.h"
#include "progress/ProgressWindows.h"
#include "search/GamesPageState.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QThread>

namespace {

// The leftover of a commit that was interrupted: it goes before the archive is opened.
void removeLeftoverCopy(const QString& archive) {
    const QString resolved = QFileInfo(archive).canonicalFilePath();
    const QString leftover = (resolved.isEmpty() ? archive : resolved) + QStringLiteral(".kestrum-tmp");
    if (FileExistsNotFolder(leftover)) {
        deleteFile(leftover);
    }
}

// The entry a game has for the operation: its ".png", else its ".jpg" where the category takes them,
// or its renamed ".krm" forms for Restore and Delete Renamed; "" when the archive has none.
QString entryOf(const ZipArchive& zip, const QString& game, int type, OperationMode operation) {
    const bool renamedForm = operation == RestoreFiles || operation == DeleteRenamedFiles;
    const QStringList extensions = AcceptsJpg(type)
                                       ? QStringList{QStringLiteral(".png"), QStringLiteral(".jpg")}
                                       : QStringList{QStringLiteral(".png")};
    for (const QString& extension : extensions) {
        const QString name = game + extension + (renamedForm ? QStringLiteral(".krm") : QString());
        if (zip.contains(name)) {
            return name;
        }
    }
    return {};
}

void change(ZipArchive& zip, const QString& entry, OperationMode operation) {
    switch (operation) {
        case RenameFiles:
            zip.renameEntry(entry);
            break;
        case RestoreFiles:
            zip.restoreEntry(entry);
            break;
        case DeleteFiles:
        case DeleteRenamedFiles:
            zip.deleteEntry(entry);
            break;
        case MoveFiles:
            break;
    }
}

}  // namespace

QString openForPass(ZipArchive& zip, const QString& path) {
    if (isProtectedFile(path)) {
        return QStringLiteral("no write permission");  // a protected archive is never rewritten
    }
    try {
        zip.open(path);
    } catch (const ZipError& error) {
        return QStringLiteral("not an archive that can be read (%1)").arg(error.message());
    }
    return zip.fileCount() == 0 ? QStringLiteral("no file entries") : QString();
}

int changeArchiveEntries(ZipArchive& zip, const GameList& games, int type, OperationMode operation,
                         JobCounters& counters, const std::function<void(qsizetype done)>& gameDone) {
    int matched = 0;
    qsizetype done = 0;
    QSet<QString> changed;  // a game listed twice changes its entry once
    for (const TGameInfo& game : games) {
        const QString entry = game.Name.isEmpty() ? QString() : entryOf(zip, game.Name, type, operation);
        if (!entry.isEmpty() && !changed.contains(AsciiLowerCase(entry))) {
            changed.insert(AsciiLowerCase(entry));
            ++counters.Total;
            ++matched;
            change(zip, entry, operation);
        }
        ++done;
        gameDone(done);
    }
    return matched;
}

QString removedEntriesPath(const QString& archive, const QDateTime& at) {
    const QFileInfo info(archive);
    const QString stem = info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(" deleted ") +
                         at.toString(QStringLiteral("yyyy-MM-dd HH-mm"));
    QString path = stem + QStringLiteral(".zip");
    for (int copy = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++copy) {
        path = stem + QStringLiteral(" (%1).zip").arg(copy);
    }
    return path;
}

void ProcessImageArchive(JobContext& context, int type, JobCounters& counters, JobRecord& record) {
    QElapsedTimer started;
    started.start();
    const QString path = FindImageArchive(context.emulator.folders, type);
    if (path.isEmpty()) {
        return;
    }
    removeLeftoverCopy(path);
    ZipArchive zip;
    if (!openForPass(zip, path).isEmpty()) {
        return;
    }
    LogWindow& log = context.log;
    const QString archive = ArchiveName(type);
    // Deleted entries leave the archive only when the trash can take them: the archive of them is
    // written straight into the trash, by the commit.
    TrashSlot removed;
    if (deletesGoToTrash(context.setup)) {
        removed = reserveTrashSlot(removedEntriesPath(path));
        if (!removed.error.isEmpty()) {
            log.addLine(QStringLiteral("%1: not changed, the trash cannot take its deleted entries (%2).")
                            .arg(archive, removed.error));
            return;
        }
    }
    const auto keepSlot = qScopeGuard([&removed] {
        if (!QFileInfo::exists(removed.path)) {
            releaseTrashSlot(removed);  // nothing was deleted, or the commit failed
        }
    });
    const int line =
        log.addLine(archive + (AcceptsJpg(type) ? QStringLiteral(" [.png; .jpg]: processing files...")
                                                : QStringLiteral(" [.png]: processing files...")));
    const OperationMode operation = context.setup.operation;
    const GameList& games = context.page.WorkList;
    zip.beginUpdate();
    log.ResetJobProgress();
    const int matched = changeArchiveEntries(zip, games, type, operation, counters, [&](qsizetype done) {
        log.UpdateJobProgress(done, games.size());
        context.port.processPendingEvents();
    });
    log.replaceLine(line, archive + QStringLiteral(": rebuilding .zip file (slow on large files)..."));
    log.ResetJobProgress();
    context.port.processPendingEvents();
    const QList<ZipArchive::PendingChange> changes = zip.pendingChanges();
    zip.commitUpdate(removed.path);
    record.archiveCommitted(path, changes, !removed.path.isEmpty());
    zip.close();
    if (QFileInfo::exists(removed.path)) {
        record.removedEntriesKept(path, removed.path);
    }
    QThread::msleep(10);
    log.replaceLine(line, matched > 0
                              ? archive + QStringLiteral(": done! %1 files processed in ").arg(matched) +
                                    FormatElapsed(started.elapsed(), 0)
                              : archive + QStringLiteral(": done! No files were found."));
    context.port.processPendingEvents();
}
