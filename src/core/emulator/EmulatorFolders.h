#pragma once

#include "catalog/FileTypes.h"

#include <QString>
#include <QStringList>
#include <array>

// Where the emulator keeps each kind of content. Every folder text is empty or ends with "/".
struct EmulatorFolders {
    QStringList RomFolders;
    QString CfgFolder;
    QString IniFolder;
    QString NvramFolder;
    std::array<QString, kImageCategoryCount> ImageFolders;

    void clear();
    // The folder of file type 1..20; "" for ROM sets, which use RomFolders.
    QString FolderOfType(int type) const;
    // The first ROM folder in which folder + fileName names an existing file, as that path.
    QString FindInRomFolders(const QString& fileName) const;
};

// The ROM folders encoded once for many look-ups (the quick scan makes two per game and folder).
class RomFolderProbe {
public:
    explicit RomFolderProbe(const QStringList& romFolders);
    // The index of the first folder holding fileName as a file (not a folder), or -1.
    int find(QByteArrayView fileName);

private:
    QList<QByteArray> m_folders;
    QByteArray m_path;
};
