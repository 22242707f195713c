#include "Subsystems.h"

#include "AppState.h"
#include "emulator/EmulatorIni.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListBuild.h"
#include "processing/ProcessingJob.h"
#include "processing/SearchFolders.h"
#include "search/ColumnLayouts.h"
#include "search/GamesPage.h"
#include "search/ListIcons.h"

void connectSubsystems(WizardHandOvers& handOvers, AppState& state, DialogPort& port, RunControl& runs,
                       const SubsystemWindows& windows, GamesDbEvents& events) {
    WaitWindow& wait = windows.wait;
    handOvers.ReadEmulatorIni = [&state, &port, &runs] {
        ReadEmulatorIni(state.emulator, state.setup, port, runs);
    };
    handOvers.ReadUiIni = [&state] { return ReadUiIni(state.emulator, state.setup); };
    handOvers.LoadImageFolders = [&state] { LoadImageFolders(state.emulator, state.setup); };
    handOvers.CheckImageFolderEdit = [&state, &port](int row) {
        return CheckImageFolderEdit(state.setup, port, row);
    };
    handOvers.ApplyImageFolders = [&state] { ApplyImageFolders(state.emulator, state.setup); };
    handOvers.LoadCategories = [&state, &events] { return LoadCategories(state.games, state.setup, events); };
    handOvers.CreateGamesList = [&state, &port, &runs, &wait, &events] {
        GamesContext context{state.games, state.setup, state.emulator, port, runs, wait, events};
        return CreateGamesList(context);
    };
    handOvers.SwitchGamesTab = [&state](int tab) { SwitchGamesTab(state.gamesPage, tab); };
    handOvers.ResetFilters = [&state] { ResetFilters(state.gamesPage.filters); };
    handOvers.LoadListIcons = [&icons = windows.icons] { icons.LoadListIcons(); };
    const auto layouts = [&state, &port, &view = windows.gamesLayout] {
        return LayoutContext{state.gamesPage, state.setup, view, port};
    };
    handOvers.ApplyWindowLayout = [layouts] {
        LayoutContext context = layouts();
        ApplyWindowLayout(context);
    };
    handOvers.SaveSplitterPosition = [layouts] {
        LayoutContext context = layouts();
        SaveSplitterPosition(context);
    };
    handOvers.LoadColumnLayout = [layouts] {
        LayoutContext context = layouts();
        LoadColumnLayout(context, true, true);
    };
    handOvers.SaveColumnLayout = [layouts] {
        LayoutContext context = layouts();
        SaveColumnLayout(context);
    };
    handOvers.BuildSearchFolders = [&state] {
        state.texts.searchFolders = BuildSearchFolders(state.setup, state.emulator.folders);
    };
    handOvers.ProcessingJob = [&state, &port, &log = windows.log] {
        JobContext context{state.gamesPage, state.setup, state.emulator, port, log};
        ProcessingJob(context);
    };
}
