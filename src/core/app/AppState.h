#pragma once

#include "Appearance.h"
#include "catalog/SetupChoices.h"
#include "emulator/EmulatorState.h"
#include "gamesdb/GamesData.h"
#include "processing/SearchFolders.h"
#include "search/GamesPageState.h"

#include <QString>

// RGB values for the step button captions, as 0xRRGGBB.
constexpr quint32 kGreenRgb = 0x008000;
constexpr quint32 kNavyRgb = 0x000080;

constexpr int kWindowMinWidth = 768;
constexpr int kWindowMinHeight = 555;
constexpr int kSmallScreenHeight = 720;

enum class WizardPage : int { Welcome = 0, Emulator, ImagesFolders, FileTypes, Operation, Games, Finish };
constexpr int kWizardPageCount = 7;

// The wizard's own state: the page, the window's size and the long steps.
struct WizardState {
    WizardPage page = WizardPage::Welcome;
    QString VersionText;
    bool FirstActivationPending = true;
    bool Aborting = false;
    bool layoutSelectorShown = true;  // hidden on screens less than 720 pixels high
    int imagesTab = 0;

    bool settingsSaidMaximized = false;
    bool windowMaximized = false;
    int windowWidth = kWindowMinWidth;
    int windowHeight = kWindowMinHeight;

    // Long steps: while one runs, the step buttons are held off and a close request waits.
    int longStepDepth = 0;
    bool closeDeferred = false;
};

// What the window shows beyond the parts' own data: titles, messages, the step buttons, which
// overlay panel is up. Only the wizard writes them.
struct WindowTexts {
    QString pageTitle;
    QString messages;  // LabelMessages
    QString nextCaption = QStringLiteral("START");
    quint32 nextColor = kNavyRgb;
    bool backEnabled = false;
    bool nextEnabled = true;
    QString finishWizardTitle;
    QString searchPatternsCaption = QStringLiteral("Search Folders");
    QList<SearchFolderRow> searchFolders;     // FoldersSettings
    NeededSets neededSets;                    // the Work List's sets games outside it need
    bool dependencyCheckUnavailable = false;  // the games list has no dependencies to check
    bool deletesGoToTrash = false;            // the Finish page says deleted files go to the trash
    QString versionUsedCaption =              // LabelMAMEVersionUsed
        QStringLiteral("MAME v0.000 (Ago 03 1974)");
    bool noGamesList = false;  // the games page says that no games list could be loaded
    bool imageFoldersPanelShown = false;
    bool searchWorkListPanelShown = false;
};

// All run-time state the main window owns, one part per owner. Each subsystem's operations take
// only the parts they read and write.
struct AppState {
    WizardState wizard;
    WindowTexts texts;
    Appearance appearance;
    SetupChoices setup;
    EmulatorState emulator;
    GamesData games;
    GamesPageState gamesPage;
};
