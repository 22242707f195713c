#include "EmulatorFolders.h"

#include "common/FileOps.h"

void EmulatorFolders::clear() {
    RomFolders.clear();
    CfgFolder.clear();
    IniFolder.clear();
    NvramFolder.clear();
    for (QString& folder : ImageFolders) {
        folder.clear();
    }
}

QString EmulatorFolders::FolderOfType(int type) const {
    switch (type) {
        case GameCfg:
            return CfgFolder;
        case GameIni:
            return IniFolder;
        case GameNVRAM:
            return NvramFolder;
        default:
            return IsImageType(type) ? ImageFolders[type - kFirstImageType] : QString();
    }
}

QString EmulatorFolders::FindInRomFolders(const QString& fileName) const {
    for (const QString& folder : RomFolders) {
        const QString path = folder + fileName;
        if (FileExistsNotFolder(path)) {
            return path;
        }
    }
    return {};
}
