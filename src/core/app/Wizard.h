#pragma once

#include "catalog/SetupChoices.h"
#include "gamesdb/GamesDatabase.h"

#include <QString>
#include <functional>

struct AppState;
class DialogPort;

// The work of other subsystems that the wizard hands over to, one named seam each, so that tests
// can put fakes behind them. A seam left empty does nothing (and answers "found nothing"/"accepted").
struct WizardSeams {
    std::function<void()> ReadEmulatorIni;
    std::function<bool()> ReadUiIni;
    std::function<void()> LoadImageFolders;
    std::function<bool(int row)> CheckImageFolderEdit;
    std::function<void()> ApplyImageFolders;
    std::function<QString(const QString& path)> ListStamp;
    std::function<bool()> LoadCategories;
    std::function<bool()> CreateGamesList;
    std::function<void()> DiscardCategoryMap;
    std::function<void(int tab)> SwitchGamesTab;
    std::function<void()> BuildSearchFolders;
    std::function<void()> ProcessingJob;
    std::function<void()> SaveSplitterPosition;
    std::function<void()> SaveColumnLayout;
    std::function<void()> LoadListIcons;
    std::function<void()> ApplyWindowLayout;
    std::function<void()> LoadColumnLayout;
    std::function<void()> CentrePageArea;
    std::function<void()> ResetFilters;
    std::function<void()> FocusCategoryText;  // select the category search text and focus it
    std::function<void()> CloseWindow;        // a deferred close request, carried out
};

QString pageTitleOf(int page, OperationMode operation);
// The hint of the categories list's total.
QString categoriesTotalText(qsizetype rows);
// "v" + the program's version, shortened: 1.2.0.0 gives v1.2, 1.2.3.0 gives v1.2.3.
QString versionTextOf(const QString& fileVersion);

// The seven-page wizard over the main window's state: every page change, its checks and messages.
class Wizard final : public GamesDbEvents {
public:
    Wizard(AppState& state, DialogPort& port, WizardSeams seams = {});

    WizardSeams& seams() { return m_seams; }

    // Main window creation, first showing and first activation, in the order they happen.
    void windowCreated(const QString& programFolder, int screenHeight);
    void firstShowing();
    void firstActivation();

    void WizardStep(int step);
    void SetPageTitle(int page);
    void selectOperation(int operation);
    void chooseLayout(int layout);

    // A close request: true when the window may close now (after its saves); false while a long
    // step runs, in which case the window closes as soon as that step has ended.
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
    void stepInto(int to);
    bool leaveEmulatorPage();
    bool arriveOnPage(int from, int& to);
    bool checkMoveDestination();
    void message(const QString& caption, const QString& text);

    AppState& m_state;
    DialogPort& m_port;
    WizardSeams m_seams;
};
