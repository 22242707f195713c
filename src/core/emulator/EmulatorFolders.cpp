#include "EmulatorFolders.h"

#include "common/FileOps.h"

#include <QFile>

#include <sys/stat.h>

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
            return isImageType(type) ? ImageFolders[type - kFirstImageType] : QString();
    }
}

QString EmulatorFolders::FindInRomFolders(const QString& fileName) const {
    RomFolderProbe probe(RomFolders);
    const int found = probe.find(QFile::encodeName(fileName));
    return found < 0 ? QString() : RomFolders[found] + fileName;
}

RomFolderProbe::RomFolderProbe(const QStringList& romFolders) {
    for (const QString& folder : romFolders) {
        m_folders.append(QFile::encodeName(folder));
    }
}

int RomFolderProbe::find(QByteArrayView fileName) {
    for (int i = 0; i < m_folders.size(); ++i) {
        if (m_folders[i].isEmpty()) {
            continue;  // an empty folder text never means the current folder
        }
        m_path.resize(0);  // keeps the buffer, unlike clear()
        m_path += m_folders[i];
        m_path += fileName;
        struct stat info {};
        if (::stat(m_path.constData(), &info) == 0 && S_ISREG(info.st_mode)) {
            return i;
        }
    }
    return -1;
}
