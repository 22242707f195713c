#pragma once

#include "processing/FileTypes.h"

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
