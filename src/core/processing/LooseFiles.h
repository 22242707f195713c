#pragma once

#include "JobCounters.h"
#include "catalog/SetupChoices.h"
#include "emulator/EmulatorFolders.h"

#include <QLatin1StringView>
#include <QString>
#include <functional>

class JobDisk;

// Appended to the whole file name by Rename Files ("pacman.zip.krm"), taken off by Restore Files.
inline constexpr QLatin1StringView RenamedSuffix(".krm");

enum class LooseAction { Nothing, DeleteFile, DeleteFolder, MoveFile };
enum class FoundTest { FileExists, FolderExists, FolderExistsOrCreated };

// What one operation does to one file of one game: what must exist for it to count as found, and
// the action. `Nothing` when the type is not touched or no file was found to act on.
struct LooseFilePlan {
    int type = GameROMs;
    LooseAction action = LooseAction::Nothing;
    FoundTest test = FoundTest::FileExists;
    QString testedPath;  // the file or folder the found test looks at
    QString path;        // the file or folder acted on; for a move, its source
    QString target;      // where a move puts it
};

// The one question a plan asks the disk: the path of fileName in the first ROM folder that holds it
// as a file, or "".
using RomFileFinder = std::function<QString(const QString& fileName)>;

// Only a plain name is processed: "" would name the type's folder itself, "x/y" a file elsewhere, and
// a name holding a NUL the file named by its part before the NUL (paths end there for the system).
bool isProcessableGameName(const QString& game);

// The plan for the file of type `type` with extension `ext` ("" for nvram) of `game`, under the
// operation and move folder of `setup`. Nothing is planned for an empty folder text.
LooseFilePlan planLooseFile(const QString& game, int type, const QString& ext, const SetupChoices& setup,
                            const EmulatorFolders& folders, const RomFileFinder& findInRomFolders);

// Runs the found test and, when it passes, the action, on `disk`: Found counts the first, Total the
// second. Returns whether the action succeeded.
bool applyLooseFilePlan(const LooseFilePlan& plan, JobCounters& counters, JobDisk& disk);

// Plans and applies at once, the ROM sets looked up on `disk`.
bool ApplyToLooseFile(const QString& game, int type, const QString& ext, const SetupChoices& setup,
                      const EmulatorFolders& folders, JobCounters& counters, JobDisk& disk);
