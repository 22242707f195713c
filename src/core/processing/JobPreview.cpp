#include "JobPreview.h"

#include "ImageArchives.h"
#include "JobDisk.h"
#include "ProcessGame.h"
#include "ProcessingJob.h"
#include "SearchFolders.h"
#include "common/DialogPort.h"
#include "common/FileDialog.h"
#include "common/FileOps.h"
#include "emulator/EmulatorFolders.h"
#include "processing/zip/ZipArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>

#include <unistd.h>
#include <optional>

namespace {

// The disk as the job's steps would leave it: each path's status is read from the real disk once,
// then changed by every simulated delete, move or new folder. Each action is judged by the same
// rules the real one follows (a regular file with a write bit, a writable folder, never one file
// moved onto itself) and told to the preview as one line.
class SimulatedDisk final : public JobDisk {
public:
    SimulatedDisk(const EmulatorFolders& folders, OperationMode operation, JobPreview& preview)
        : m_folders(folders), m_operation(operation), m_preview(preview) {}

    QString findInRomFolders(const QString& fileName) override {
        for (const QString& folder : m_folders.RomFolders) {
            if (folder.isEmpty()) {
                continue;  // an empty folder text never means the current folder
            }
            const auto found = status(folder + fileName);
            if (found && found->file) {
                return folder + fileName;
            }
        }
        return {};
    }

    bool passesFoundTest(const LooseFilePlan& plan) override {
        const auto found = status(plan.testedPath);
        switch (plan.test) {
            case FoundTest::FileExists:
                return found && found->file;
            case FoundTest::FolderExists:
                return found && found->folder;
            case FoundTest::FolderExistsOrCreated:
                return (found && found->folder) || makeFolder(plan.testedPath, plan.type);
        }
        return false;
    }

    bool carryOut(const LooseFilePlan& plan) override {
        switch (plan.action) {
            case LooseAction::DeleteFile:
                return deleteFile(plan.type, plan.path);
            case LooseAction::DeleteFolder:
                return deleteFolder(plan.type, plan.path);
            case LooseAction::MoveFile:
                return moveFile(plan.type, plan.path, plan.target);
            case LooseAction::Nothing:
                break;
        }
        return false;
    }

private:
    std::optional<FileStatus> status(const QString& path) {
        const auto known = m_known.constFind(path);
        if (known != m_known.cend()) {
            return *known;
        }
        ++m_preview.statCalls;
        m_preview.statedPaths.append(path);
        const std::optional<FileStatus> read = fileStatusOf(path);
        if (read) {
            m_known.insert(path, read);  // most paths asked for are missing: those are not kept
        }
        return read;
    }

    // Unlinking or renaming needs the right to write the folder (root has it everywhere).
    bool folderWritable(const QString& folder) {
        const auto known = m_writable.constFind(folder);
        if (known != m_writable.cend()) {
            return *known;
        }
        const bool writable =
            folder.isEmpty() || ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
        m_writable.insert(folder, writable);
        return writable;
    }

    void add(int type, PreviewChange change, const QString& path, qint64 bytes, const QString& target = {},
             const QString& reason = {}, bool folder = false) {
        PreviewLine line;
        line.type = type;
        line.change = change;
        line.path = path;
        line.target = target;
        line.bytes = bytes;
        line.reason = reason;
        line.folder = folder;
        m_preview.lines.append(line);
    }

    // Why a file cannot be changed, or "".
    QString unchangeable(const QString& path) {
        const auto found = status(path);
        if (!found) {
            return QStringLiteral("it is gone");
        }
        if (!found->file) {
            return QStringLiteral("not a regular file");
        }
        if (!found->writable) {
            return QStringLiteral("no write permission");
        }
        if (!folderWritable(folderOfPath(path))) {
            return QStringLiteral("its folder cannot be written");
        }
        return {};
    }

    bool deleteFile(int type, const QString& path) {
        const QString reason = unchangeable(path);
        const auto found = status(path);
        const qint64 bytes = found ? found->size : 0;
        if (!reason.isEmpty()) {
            add(type, PreviewChange::Keep, path, bytes, {}, reason);
            return false;
        }
        add(type, PreviewChange::Delete, path, bytes);
        m_known.insert(path, std::nullopt);
        return true;
    }

    // Its files go (protected ones and subfolders stay), then the folder if nothing is left.
    bool deleteFolder(int type, const QString& path) {
        QDirIterator files(path, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (files.hasNext()) {
            deleteFile(type, files.next());
        }
        QDirIterator all(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        bool empty = true;
        while (all.hasNext() && empty) {
            const QString entry = all.next();
            const auto known = m_known.constFind(entry);
            empty = known != m_known.cend() && !known->has_value();
        }
        if (!empty || !folderWritable(folderOfPath(path))) {
            add(type, PreviewChange::Keep, path, 0, {},
                empty ? QStringLiteral("its folder cannot be written")
                      : QStringLiteral("it keeps subfolders or protected files"),
                true);
            return false;
        }
        add(type, PreviewChange::Delete, path, 0, {}, {}, true);
        m_known.insert(path, std::nullopt);
        return true;
    }

    bool moveFile(int type, const QString& from, const QString& to) {
        QString reason = unchangeable(from);
        const auto source = status(from);
        const auto target = status(to);
        if (reason.isEmpty() && target) {
            if (target->device == source->device && target->inode == source->inode) {
                reason = QStringLiteral("the same file as %1").arg(to);
            } else if (!target->changeable()) {
                reason = QStringLiteral("%1 cannot be replaced").arg(to);
            }
        }
        if (reason.isEmpty() && !folderWritable(folderOfPath(to))) {
            reason = QStringLiteral("the folder of %1 cannot be written").arg(to);
        }
        const qint64 bytes = source ? source->size : 0;
        if (!reason.isEmpty()) {
            add(type, PreviewChange::Keep, from, bytes, to, reason);
            return false;
        }
        const PreviewChange change = m_operation == RenameFiles    ? PreviewChange::Rename
                                     : m_operation == RestoreFiles ? PreviewChange::Restore
                                                                   : PreviewChange::Move;
        add(type, change, from, bytes, to);
        m_known.insert(to, source);
        m_known.insert(from, std::nullopt);
        return true;
    }

    // mkpath: every missing folder down from the nearest one that exists, which must be writable.
    bool makeFolder(const QString& path, int type) {
        QString existing = QDir::cleanPath(path);
        std::optional<FileStatus> found = status(existing);
        while (!found && existing.contains(u'/') && existing != QStringLiteral("/")) {
            existing = existing.left(existing.lastIndexOf(u'/'));
            found = status(existing.isEmpty() ? QStringLiteral("/") : existing);
        }
        if (!found || !found->folder || !folderWritable(withTrailingSeparator(existing))) {
            return false;
        }
        FileStatus made;
        made.folder = true;
        m_known.insert(path, made);
        m_writable.insert(withTrailingSeparator(path), true);  // the program made it
        add(type, PreviewChange::MakeFolder, path, 0, {}, {}, true);
        return true;
    }

    const EmulatorFolders& m_folders;
    const OperationMode m_operation;
    JobPreview& m_preview;
    QHash<QString, std::optional<FileStatus>> m_known;
    QHash<QString, bool> m_writable;
};

QString archiveFileName(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// The archive pass as the job runs it, on the archive opened only to read; false when the job would
// stop there.
bool previewArchive(JobPreview& preview, const GameList& workList, int type, const QString& path) {
    PreviewArchive archive;
    archive.type = type;
    archive.path = path;
    archive.bytes = FileSizeOf(path);
    ZipArchive zip;
    archive.reason = openForPass(zip, path);
    if (!archive.reason.isEmpty()) {
        preview.archives.append(archive);
        return true;
    }
    archive.rewritten = true;
    try {
        zip.beginUpdate();
        changeArchiveEntries(zip, workList, type, preview.operation, preview.counters, [](qsizetype) {});
    } catch (const ZipError& error) {
        archive.rewritten = false;
        archive.reason = QStringLiteral("the job would stop here: ") + error.message();
        preview.archives.append(archive);
        return false;
    }
    for (const ZipArchive::PendingChange& change : zip.pendingChanges()) {
        PreviewLine line;
        line.type = type;
        line.path = path;
        line.entry = change.name;
        line.target = change.newName;
        line.bytes = qint64(change.storedSize);
        line.change = change.newName.isEmpty()            ? PreviewChange::Delete
                      : preview.operation == RestoreFiles ? PreviewChange::Restore
                                                          : PreviewChange::Rename;
        preview.lines.append(line);
        ++archive.entries;
    }
    preview.archives.append(archive);
    return true;
}

QString sizeText(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString typeName(int type) {
    return isImageType(type) ? QString::fromUtf8(ImageCategoryOf(type).displayName)
                             : QString::fromUtf8(FileTypeTable[type].caption);
}

QString changeText(const PreviewLine& line, bool toTrash) {
    const QString what =
        line.entry.isEmpty() ? line.path : archiveFileName(line.path) + QStringLiteral(": ") + line.entry;
    switch (line.change) {
        case PreviewChange::Delete:
            return what + (toTrash ? QStringLiteral(": moved to the trash") : QStringLiteral(": deleted"));
        case PreviewChange::Rename:
            return what + QStringLiteral(": renamed to ") + archiveFileName(line.target);
        case PreviewChange::Restore:
            return what + QStringLiteral(": restored");
        case PreviewChange::Move:
            return what + QStringLiteral(": moved to ") + line.target;
        case PreviewChange::MakeFolder:
            return what + QStringLiteral(": folder made");
        case PreviewChange::Keep:
            return what + QStringLiteral(": not changed (") + line.reason + u')';
    }
    return what;
}

// Per file type: what the job would act on and its size; then each archive.
QStringList typeSummary(const JobPreview& preview) {
    struct Tally {
        int files = 0, folders = 0, entries = 0, kept = 0;
        qint64 bytes = 0;
    };
    std::array<Tally, kFileTypeCount> tallies{};
    for (const PreviewLine& line : preview.lines) {
        Tally& tally = tallies[size_t(line.type)];
        if (line.change == PreviewChange::Keep) {
            ++tally.kept;
            continue;
        }
        if (line.change == PreviewChange::MakeFolder) {
            continue;
        }
        (line.folder ? tally.folders : line.entry.isEmpty() ? tally.files : tally.entries) += 1;
        tally.bytes += line.bytes;
    }
    QStringList out;
    for (int type = 0; type < kFileTypeCount; ++type) {
        const Tally& t = tallies[size_t(type)];
        if (t.files + t.folders + t.entries + t.kept == 0) {
            continue;
        }
        QStringList parts;
        if (t.files > 0) {
            parts.append(QStringLiteral("%1 files").arg(t.files));
        }
        if (t.folders > 0) {
            parts.append(QStringLiteral("%1 folders").arg(t.folders));
        }
        if (t.entries > 0) {
            parts.append(QStringLiteral("%1 archive entries").arg(t.entries));
        }
        QString text =
            typeName(type) + QStringLiteral(": ") +
            (parts.isEmpty() ? QStringLiteral("nothing to change")
                             : parts.join(QStringLiteral(", ")) + QStringLiteral(", ") + sizeText(t.bytes));
        if (t.kept > 0) {
            text += QStringLiteral("; %1 found but not changed").arg(t.kept);
        }
        out.append(text);
    }
    for (const PreviewArchive& archive : preview.archives) {
        out.append(archive.rewritten
                       ? QStringLiteral("%1: %2 entries, archive rewritten (%3)")
                             .arg(archive.path)
                             .arg(archive.entries)
                             .arg(sizeText(archive.bytes))
                       : QStringLiteral("%1: not rewritten (%2)").arg(archive.path, archive.reason));
    }
    if (out.isEmpty()) {
        out.append(QStringLiteral("Nothing would be changed."));
    }
    return out;
}

}  // namespace

JobPreview PreviewJob(const GameList& workList, SetupChoices setup, const EmulatorFolders& folders,
                      const NeededSets& needed) {
    JobPreview preview;
    preview.operation = setup.operation;
    preview.refusal = checkJobStart(workList, setup);
    if (preview.refusal) {
        return preview;
    }
    preview.needed = needed;
    preview.toTrash = deletesGoToTrash(setup);
    QHash<QString, int> neededBy;
    for (const NeededSet& set : needed.sets) {
        neededBy.insert(set.name, set.games);
    }
    SimulatedDisk disk(folders, setup.operation, preview);
    for (const TGameInfo& game : workList) {
        const qsizetype first = preview.lines.size();
        ProcessGame(game.Name, setup, folders, preview.counters, disk);
        if (const int games = neededBy.value(game.Name)) {
            for (qsizetype i = first; i < preview.lines.size(); ++i) {
                if (preview.lines[i].type == GameROMs) {
                    preview.lines[i].neededBy = games;
                }
            }
        }
    }
    if (setup.operation == MoveFiles) {
        return preview;
    }
    for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
        const QString archive =
            setup.fileTypeChecked[size_t(type)] ? FindImageArchive(folders, type) : QString();
        if (!archive.isEmpty() && !previewArchive(preview, workList, type, archive)) {
            break;
        }
    }
    return preview;
}

QString previewLineText(const PreviewLine& line, bool toTrash) {
    const QString text = changeText(line, toTrash);
    return line.neededBy > 0
               ? text + QStringLiteral("; needed by %1 games not in the Work List").arg(line.neededBy)
               : text;
}

QStringList previewSummary(const JobPreview& preview) {
    if (preview.refusal) {
        return {preview.refusal->text};
    }
    QStringList out = typeSummary(preview);
    if (preview.toTrash) {
        out.prepend(QStringLiteral("Deleted files and archive entries go to the desktop's trash."));
    }
    if (preview.needed.games > 0) {
        out.prepend(QStringLiteral("%1 games that are not in the Work List need sets this job will change:")
                        .arg(preview.needed.games));
        for (qsizetype i = 0; i < preview.needed.sets.size(); ++i) {
            out.insert(i + 1, QStringLiteral("  ") + neededSetText(preview.needed.sets[i]));
        }
    }
    return out;
}

QString SavePreviewList(const JobPreview& preview, DialogPort& port, const QString& programFolder) {
    const QString title = QStringLiteral("Save List");
    const QString path =
        PickFile(port, FileKind::Text, title, programFolder, FileDialogMode::Save, programFolder);
    if (path.isEmpty()) {
        return {};
    }
    if (!writeFileAtomically(path, previewText(preview).toUtf8())) {
        port.showMessage(title,
                         QStringLiteral("The file \"") + path + QStringLiteral("\" could not be written."),
                         MessageIcon::Error);
        return {};
    }
    port.showMessage(title, QStringLiteral("The list was saved to \"") + path + QStringLiteral("\"."),
                     MessageIcon::Information);
    return path;
}

QString previewText(const JobPreview& preview) {
    QStringList out{ActionName(preview.operation).trimmed()};
    out += previewSummary(preview);
    out.append(QString());
    for (const PreviewLine& line : preview.lines) {
        out.append(previewLineText(line, preview.toTrash));
    }
    return out.join(u'\n') + u'\n';
}
