#include "JobDisk.h"

#include "common/FileOps.h"
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

bool RealDisk::carryOut(const LooseFilePlan& plan) {
    switch (plan.action) {
        case LooseAction::DeleteFile:
            return deleteContentFile(plan.path);
        case LooseAction::DeleteFolder:
            // Subfolders and protected files stay, and then so does the folder.
            DeleteFolderFiles(plan.path);
            return QDir().rmdir(plan.path);
        case LooseAction::MoveFile:
            return MoveFileReplacing(plan.path, plan.target);
        case LooseAction::Nothing:
            break;
    }
    return false;
}
