#pragma once

#include <QList>
#include <QString>

struct SetupChoices;
struct EmulatorFolders;

// The full path of an image category's archive: the category folder's ArchiveName, else the same
// name in a subfolder named after the category; "" when neither is a file or the folder text is empty.
QString FindImageArchive(const EmulatorFolders& folders, int type);

// One row of the Finish page's list of the folders a job will search.
struct SearchFolderRow {
    QString
        type;  // "ROMs Folders", "Game CFG Folder", "Game Snapshot Folder"...; empty after the first ROM row
    QString folder;        // as the folders and the move destination stand
    bool archive = false;  // the category's archive is there
    bool operator==(const SearchFolderRow&) const = default;
};

// The rows for the checked file types under the chosen operation.
QList<SearchFolderRow> BuildSearchFolders(const SetupChoices& setup, const EmulatorFolders& folders);
