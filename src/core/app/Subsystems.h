#pragma once

#include <QString>
#include <array>
#include <functional>
#include <string_view>

struct AppState;
class DialogPort;
class RunControl;
class WaitWindow;
class GamesDbEvents;
class IconLists;
class LogWindow;
class GamesPageLayoutView;

// The work the wizard hands over to other subsystems, one named hand-over each. They are wired in
// one place, connectSubsystems; tests of the wizard put fakes behind them.
struct WizardHandOvers {
    std::function<void()> ReadEmulatorIni;
    std::function<bool()> ReadUiIni;
    std::function<void()> LoadImageFolders;
    std::function<bool(int row)> CheckImageFolderEdit;
    std::function<void()> ApplyImageFolders;
    std::function<bool()> LoadCategories;
    std::function<bool()> CreateGamesList;
    std::function<void(int tab)> SwitchGamesTab;
    std::function<void()> BuildSearchFolders;
    std::function<void()> ProcessingJob;
    std::function<void()> SaveSplitterPosition;
    std::function<void()> SaveColumnLayout;
    std::function<void()> LoadListIcons;
    std::function<void()> ApplyWindowLayout;
    std::function<void()> LoadColumnLayout;
    std::function<void()> ResetFilters;

    // Calls visit(name, wired) for every hand-over, in the order above.
    template <typename Visit>
    void forEach(Visit visit) const {
        visit("ReadEmulatorIni", bool(ReadEmulatorIni));
        visit("ReadUiIni", bool(ReadUiIni));
        visit("LoadImageFolders", bool(LoadImageFolders));
        visit("CheckImageFolderEdit", bool(CheckImageFolderEdit));
        visit("ApplyImageFolders", bool(ApplyImageFolders));
        visit("LoadCategories", bool(LoadCategories));
        visit("CreateGamesList", bool(CreateGamesList));
        visit("SwitchGamesTab", bool(SwitchGamesTab));
        visit("BuildSearchFolders", bool(BuildSearchFolders));
        visit("ProcessingJob", bool(ProcessingJob));
        visit("SaveSplitterPosition", bool(SaveSplitterPosition));
        visit("SaveColumnLayout", bool(SaveColumnLayout));
        visit("LoadListIcons", bool(LoadListIcons));
        visit("ApplyWindowLayout", bool(ApplyWindowLayout));
        visit("LoadColumnLayout", bool(LoadColumnLayout));
        visit("ResetFilters", bool(ResetFilters));
    }
};
constexpr int kHandOverCount = 16;
// A hand-over added above without being named in forEach breaks this count.
static_assert(sizeof(WizardHandOvers) == kHandOverCount * sizeof(std::function<void()>));

// Hand-overs whose subsystem is not built yet: they stay empty and do nothing. Each issue that
// builds one wires it in connectSubsystems and takes it off this list; a test holds both to it.
constexpr std::array<std::string_view, 0> kHandOversNotBuiltYet = {};

// The windows the subsystems draw into besides the dialogs.
struct SubsystemWindows {
    WaitWindow& wait;
    LogWindow& log;
    IconLists& icons;  // the main window's image lists
    GamesPageLayoutView& gamesLayout;
};

// Puts the subsystems built so far behind the hand-overs. `events` hears what the games database
// reports (the wizard).
void connectSubsystems(WizardHandOvers& handOvers, AppState& state, DialogPort& port, RunControl& runs,
                       const SubsystemWindows& windows, GamesDbEvents& events);
