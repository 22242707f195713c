#include "Subsystems.h"

#include "AppState.h"
#include "Wizard.h"
#include "emulator/EmulatorIni.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListBuild.h"
#include "gamesdb/GamesListFile.h"

void connectSubsystems(Wizard& wizard, AppState& state, DialogPort& port, WaitWindow& wait) {
    WizardSeams& seams = wizard.seams();
    seams.ReadEmulatorIni = [&state, &port] { ReadEmulatorIni(state.emulator, state.setup, port); };
    seams.ReadUiIni = [&state] { return ReadUiIni(state.emulator, state.setup); };
    seams.LoadImageFolders = [&state] { LoadImageFolders(state.emulator, state.setup); };
    seams.CheckImageFolderEdit = [&state, &port](int row) {
        return CheckImageFolderEdit(state.setup, port, row);
    };
    seams.ApplyImageFolders = [&state] { ApplyImageFolders(state.emulator, state.setup); };
    seams.ListStamp = [](const QString& path) { return ListStamp(path); };
    seams.LoadCategories = [&state, &wizard] { return LoadCategories(state.games, state.setup, wizard); };
    seams.CreateGamesList = [&state, &port, &wait, &wizard] {
        GamesContext context{state.games, state.setup, state.emulator, port, wait, wizard};
        return CreateGamesList(context);
    };
    seams.DiscardCategoryMap = [&state] { state.games.categoryMap.reset(); };
}
