#pragma once

#include "FileTypes.h"

#include <QString>
#include <array>

// The five operations FINISH can carry out.
enum OperationMode : int { DeleteFiles = 0, RenameFiles, RestoreFiles, DeleteRenamedFiles, MoveFiles };
constexpr int kOperationCount = 5;

inline bool isOperation(int value) {
    return value >= 0 && value < kOperationCount;
}
// The operation's display name; "Restore Files " ends with a blank, which shows wherever it is used.
QString ActionName(OperationMode operation);

// What the user chose on the setup pages: the files and folders named, the file types and the
// operation. The emulator layer, the games database and the job read it; the job changes it.
struct SetupChoices {
    QString ProgramFolder;   // where the program writes its own files; ends with "/"
    QString ResourceFolder;  // where it reads its icons and user guide; ends with "/"
    OperationMode operation = RenameFiles;

    QString mameExecutableFile;
    QString categoryFile;
    QString categoryFileStamp;  // the category file's stamp, taken when page 1 is left forward
    QString nonArcadeMachineFile;
    QString moveFilesToFolder;
    std::array<QString, kImageCategoryCount> imageFolderBoxes;

    bool rebuildGamesListVisible = false;
    bool rebuildGamesListChecked = false;
    bool scanGameFilesQuickScan = true;
    bool moveDeletedFilesToTrash = false;  // Delete Files and Delete Renamed Files use the desktop's trash
    std::array<bool, kFileTypeCount> fileTypeChecked = defaultFileTypeChecks();
};

// Whether the job's deletes go to the desktop's trash: the option is on and the operation deletes.
inline bool deletesGoToTrash(const SetupChoices& setup) {
    return setup.moveDeletedFilesToTrash &&
           (setup.operation == DeleteFiles || setup.operation == DeleteRenamedFiles);
}
