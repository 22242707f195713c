#pragma once

#include "AppState.h"
#include "ProgramFolders.h"
#include "gamesdb/GamesDatabase.h"

#include <QString>

class DialogPort;
class RunControl;
class WizardView;
struct WizardHandOvers;

QString pageTitleOf(WizardPage page, OperationMode operation);
// The hint of the categories list's total.
QString categoriesTotalText(qsizetype rows);
// "v" + the program's version, shortened: 1.2.0.0 gives v1.2, 1.2.3.0 gives v1.2.3.
QString versionTextOf(const QString& fileVersion);

// The seven-page wizard over the main window's state: every page change, its checks and messages.
// The work of other subsystems is handed over through `handOvers`; window chores go to `view`.
class Wizard final : public GamesDbEvents {
public:
    Wizard(AppState& state, DialogPort& port, WizardView& view, const WizardHandOvers& handOvers,
           RunControl& runs);

    // Main window creation, first showing and first activation, in the order they happen.
    void windowCreated(const ProgramFolders& folders, int screenHeight);
    void firstShowing();
    void firstActivation();

    void WizardStep(int step);
    void SetPageTitle(WizardPage page);
    void selectOperation(OperationMode operation);
    void chooseLayout(int layout);
    // ButtonViewDocs: the user guide beside the program, opened by the desktop.
    void viewDocumentation();
    // A link label's address; when nothing can open it, a message says so.
    void openAddress(const QString& address);
    // An item of the lists' "Icon Size" menu, 0 extra large to 3 small: the icons are loaded again at
    // the new size.
    void chooseIconSize(int size);

    // A close request: true when the window may close now (after its saves); false while a long
    // step runs, in which case the window closes as soon as that step has ended. While the
    // emulator runs the user is asked first whether to stop it; No keeps the window open.
    bool closeRequested();

    // Held for the length of any long step (an emulator run, a games list build or load, a job).
    class LongStep {
    public:
        explicit LongStep(Wizard& wizard);
        ~LongStep();
        LongStep(const LongStep&) = delete;
        LongStep& operator=(const LongStep&) = delete;

    private:
        Wizard& m_wizard;
    };
    bool stepRunning() const;

    // What the games database reports, shown in the window.
    void loadingCategories(bool started) override;
    void replacingGamesList() override;
    void gamesListRead(const QString& emulatorLine) override;
    void gamesListLoadEnded() override;
    void emulatorRunEnded() override;

private:
    void stepInto(WizardPage to);
    bool leaveEmulatorPage();
    // The arrival work of each page; false when a check refuses the step.
    bool arriveOnPage(WizardPage from, WizardPage to);
    bool arriveOnFileTypes(WizardPage from);
    bool arriveOnOperation(WizardPage from);
    bool arriveOnGames(WizardPage from);
    bool arriveOnFinish();
    void findNeededSets();
    bool confirmNeededSets();
    void loadGamesData();
    bool checkMoveDestination();
    void message(const QString& caption, const QString& text);

    AppState& m_state;
    DialogPort& m_port;
    WizardView& m_view;
    const WizardHandOvers& m_handOvers;
    RunControl& m_runs;
};
