#include "LooseFiles.h"

#include "JobDisk.h"
#include "common/FileOps.h"

namespace {

bool isCfgIniOrNvram(int type) {
    return type == GameCfg || type == GameIni || type == GameNVRAM;
}

// A file and its renamed name: Delete Files and Rename Files start from the file, Restore Files
// and Delete Renamed Files from the renamed one.
LooseFilePlan filePlan(int type, OperationMode operation, const QString& source, const QString& renamed) {
    LooseFilePlan plan;
    plan.type = type;
    const bool fromRenamed = operation == RestoreFiles || operation == DeleteRenamedFiles;
    plan.testedPath = fromRenamed ? renamed : source;
    plan.path = plan.testedPath;
    if (operation == RenameFiles || operation == RestoreFiles) {
        plan.action = LooseAction::MoveFile;
        plan.target = fromRenamed ? source : renamed;
    } else {
        plan.action = LooseAction::DeleteFile;
    }
    return plan;
}

LooseFilePlan romPlan(const QString& game, const QString& ext, const SetupChoices& setup,
                      const RomFileFinder& findInRomFolders) {
    const OperationMode operation = setup.operation;
    if (operation == RestoreFiles || operation == DeleteRenamedFiles) {
        const QString renamed = findInRomFolders(game + ext + RenamedSuffix);
        if (renamed.isEmpty()) {
            return {};
        }
        return filePlan(GameROMs, operation, renamed.chopped(RenamedSuffix.size()), renamed);
    }
    if (operation == MoveFiles && setup.moveFilesToFolder.isEmpty()) {
        return {};  // never a bare name in the current folder
    }
    const QString source = findInRomFolders(game + ext);
    if (source.isEmpty()) {
        return {};
    }
    if (operation != MoveFiles) {
        return filePlan(GameROMs, operation, source, source + RenamedSuffix);
    }
    LooseFilePlan plan;
    plan.action = LooseAction::MoveFile;
    plan.test = FoundTest::FolderExistsOrCreated;
    plan.testedPath = withTrailingSeparator(setup.moveFilesToFolder);
    plan.path = source;
    plan.target = plan.testedPath + source.mid(source.lastIndexOf(u'/') + 1);
    return plan;
}

}  // namespace

bool isProcessableGameName(const QString& game) {
    return !game.isEmpty() && !game.contains(u'/') && !game.contains(QChar(u'\0')) && game != u"." &&
           game != u"..";
}

LooseFilePlan planLooseFile(const QString& game, int type, const QString& ext, const SetupChoices& setup,
                            const EmulatorFolders& folders, const RomFileFinder& findInRomFolders) {
    const OperationMode operation = setup.operation;
    if (!isProcessableGameName(game) || type < 0 || type >= kFileTypeCount ||
        (operation != DeleteFiles && isCfgIniOrNvram(type)) || (operation == MoveFiles && type != GameROMs)) {
        return {};
    }
    if (type == GameROMs) {
        return romPlan(game, ext, setup, findInRomFolders);
    }
    const QString folder = folders.FolderOfType(type);
    if (folder.isEmpty()) {
        return {};
    }
    if (type == GameNVRAM) {
        LooseFilePlan plan;
        plan.type = GameNVRAM;
        plan.action = LooseAction::DeleteFolder;
        plan.test = FoundTest::FolderExists;
        plan.testedPath = plan.path = folder + game;
        return plan;
    }
    const QString source = folder + game + ext;
    return filePlan(type, operation, source, source + RenamedSuffix);
}

bool applyLooseFilePlan(const LooseFilePlan& plan, JobCounters& counters, JobDisk& disk) {
    if (plan.action == LooseAction::Nothing || !disk.passesFoundTest(plan)) {
        return false;
    }
    ++counters.Found[plan.type];
    const bool done = disk.carryOut(plan);
    if (done) {
        ++counters.Total;
    }
    return done;
}

bool ApplyToLooseFile(const QString& game, int type, const QString& ext, const SetupChoices& setup,
                      const EmulatorFolders& folders, JobCounters& counters, JobDisk& disk) {
    const RomFileFinder find = [&disk](const QString& fileName) { return disk.findInRomFolders(fileName); };
    return applyLooseFilePlan(planLooseFile(game, type, ext, setup, folders, find), counters, disk);
}
