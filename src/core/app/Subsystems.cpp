#include "Subsystems.h"

#include "AppState.h"
#include "Wizard.h"
#include "emulator/EmulatorIni.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListBuild.h"
#include "gamesdb/GamesListFile.h"

void ConnectSubsystems(WizardSeams& seams, AppState& state, DialogPort& port, WaitWindow& wait) {
    seams.ReadEmulatorIni = [&state, &port] { ReadEmulatorIni(state, port); };
    seams.ReadUiIni = [&state] { return ReadUiIni(state); };
    seams.LoadImageFolders = [&state] { LoadImageFolders(state); };
    seams.CheckImageFolderEdit = [&state, &port](int row) { return CheckImageFolderEdit(state, port, row); };
    seams.ApplyImageFolders = [&state] { ApplyImageFolders(state); };
    seams.SaveImageFolders = [&state] { SaveImageFolders(state); };
    seams.ListStamp = [](const QString& path) { return ListStamp(path); };
    seams.LoadCategories = [&state, &port] { return LoadCategories(state, port); };
    seams.CreateGamesList = [&state, &port, &wait] {
        GamesContext context{state, port, wait};
        return CreateGamesList(context);
    };
    seams.DiscardCategoryMap = [&state] { state.categoryMap.reset(); };
}
