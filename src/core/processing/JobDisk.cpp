#include "JobDisk.h"

#include "JobRecord.h"
#include "common/FileOps.h"
#include "common/Trash.h"
#include "emulator/EmulatorFolders.h"

#include <QDir>
#include <QFileInfo>

QString RealDisk::findInRomFolders(const QString& fileName) {
    return m_folders.FindInRomFolders(fileName);
}

bool RealDisk::passesFoundTest(const LooseFilePlan& plan) {
    switch (plan.test) {
        case FoundTest::FileExists:
            return FileExistsNotFolder(plan.testedPath);
        case FoundTest::FolderExists:
            return QFileInfo(plan.testedPath).isDir();
        case FoundTest::FolderExistsOrCreated:
            return QFileInfo(plan.testedPath).isDir() ||
                   (QDir().mkpath(plan.testedPath) && QFileInfo(plan.testedPath).isDir());
    }
    return false;
}

RemoveFile RealDisk::remover() {
    if (!m_toTrash) {
        return {};
    }
    return [this](const QString& path) {
        const TrashOutcome outcome = moveToTrash(path);
        m_trashedAs = outcome.trashedAs;
        if (!outcome.trashed) {
            m_notTrashed.insert(path);
        }
        return outcome.trashed;
    };
}

bool RealDisk::carryOut(const LooseFilePlan& plan) {
    switch (plan.action) {
        case LooseAction::DeleteFile: {
            const bool deleted = deleteContentFile(plan.path, remover());
            if (deleted && m_record) {
                if (m_toTrash) {
                    m_record->fileTrashed(plan.path, m_trashedAs);
                } else {
                    m_record->fileDeleted(plan.path);
                }
            }
            return deleted;
        }
        case LooseAction::DeleteFolder: {
            // Subfolders and protected files stay, and then so does the folder.
            const QStringList deleted = DeleteFolderFiles(plan.path, remover());
            const bool removed = QDir().rmdir(plan.path);
            if (m_record) {
                m_record->folderEmptied(plan.path, deleted, removed, m_toTrash);
            }
            return removed;
        }
        case LooseAction::MoveFile: {
            const bool replacing = m_record && FileExistsNotFolder(plan.target);
            const bool moved = MoveFileReplacing(plan.path, plan.target);
            if (moved && m_record) {
                m_record->fileMoved(plan.path, plan.target, replacing);
            }
            return moved;
        }
        case LooseAction::Nothing:
            break;
    }
    return false;
}
