#include "Wizard.h"

#include "AppState.h"
#include "Settings.h"
#include "Subsystems.h"
#include "WizardView.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/RunControl.h"
#include "emulator/EmulatorIni.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/SetDependencies.h"
#include "search/GamesPage.h"

#include <algorithm>

namespace {

// A hand-over whose subsystem is not built yet is empty and does nothing.
template <typename F, typename... Args>
void call(const std::function<F>& handOver, Args&&... args) {
    if (handOver) {
        handOver(std::forward<Args>(args)...);
    }
}

// The games page's title ends with the operation.
constexpr const char* kTitleSuffixes[kOperationCount] = {"DELETE", "RENAME", "RESTORE", "DELETE RENAMED",
                                                         "MOVE"};

constexpr const char* kPageTitles[kWizardPageCount] = {
    "WELCOME",
    "SETUP: EMULATOR AND CATEGORIES FILES",
    "SETUP 2: IMAGES FOLDERS",
    "SELECT FILE TYPES",
    "SELECT ACTION TYPE",
    "SELECT GAMES TO ",
    "COMPLETE THE WIZARD",
};

// On POSIX a destination is a full path exactly when it begins with "/".
bool isFullPath(const QString& path) {
    return path.startsWith(u'/');
}

bool isPage(int page) {
    return page >= 0 && page < kWizardPageCount;
}

}  // namespace

QString pageTitleOf(WizardPage page, OperationMode operation) {
    if (!isPage(int(page))) {
        return {};
    }
    QString title = QString::fromLatin1(kPageTitles[int(page)]);
    if (page == WizardPage::Games && isOperation(operation)) {
        title += QString::fromLatin1(kTitleSuffixes[operation]);
    }
    return title;
}

QString categoriesTotalText(qsizetype rows) {
    return QStringLiteral("%1 categories in list").arg(rows);
}

QString versionTextOf(const QString& fileVersion) {
    const qsizetype cut = fileVersion.contains(QStringLiteral(".0.0")) ? 4 : 2;
    return QStringLiteral("v") + fileVersion.left(std::max<qsizetype>(0, fileVersion.size() - cut));
}

Wizard::Wizard(AppState& state, DialogPort& port, WizardView& view, const WizardHandOvers& handOvers,
               RunControl& runs)
    : m_state(state), m_port(port), m_view(view), m_handOvers(handOvers), m_runs(runs) {}

Wizard::LongStep::LongStep(Wizard& wizard) : m_wizard(wizard) {
    ++m_wizard.m_state.wizard.longStepDepth;
}

Wizard::LongStep::~LongStep() {
    WizardState& state = m_wizard.m_state.wizard;
    if (--state.longStepDepth == 0 && state.closeDeferred) {
        state.closeDeferred = false;
        m_wizard.m_view.closeWindow();
    }
}

bool Wizard::stepRunning() const {
    return m_state.wizard.longStepDepth > 0;
}

void Wizard::windowCreated(const ProgramFolders& folders, int screenHeight) {
    m_state.wizard.FirstActivationPending = true;
    m_state.wizard.Aborting = false;
    m_state.setup.ProgramFolder = withTrailingSeparator(folders.data);
    m_state.setup.ResourceFolder = withTrailingSeparator(folders.resources);
    m_state.wizard.VersionText = versionTextOf(QStringLiteral(KESTRUM_VERSION));
    m_state.wizard.page = WizardPage::Welcome;
    m_state.emulator.folders.clear();
    m_state.emulator.iniFallbackFolders = defaultEmulatorIniFolders();
    call(m_handOvers.LoadListIcons);
    m_state.texts.imageFoldersPanelShown = false;
    m_state.texts.searchWorkListPanelShown = false;
    m_state.gamesPage.layout = 1;
    m_state.wizard.imagesTab = 0;
    m_state.wizard.layoutSelectorShown = screenHeight >= kSmallScreenHeight;
    call(m_handOvers.ResetFilters);
}

void Wizard::firstShowing() {
    SetPageTitle(WizardPage::Welcome);
    m_state.texts.messages.clear();
    LoadSettings(m_state);
    m_state.games.LoadedWithQuickScan = m_state.setup.scanGameFilesQuickScan;
    // The icons again, at the icon size the settings named.
    call(m_handOvers.LoadListIcons);
}

void Wizard::firstActivation() {
    if (!m_state.wizard.FirstActivationPending) {
        return;
    }
    m_state.wizard.FirstActivationPending = false;
    m_view.centrePageArea();
    if (m_state.gamesPage.layout != 1) {
        call(m_handOvers.ApplyWindowLayout);
    }
    call(m_handOvers.LoadColumnLayout);
}

void Wizard::viewDocumentation() {
    const QString guide = m_state.setup.ResourceFolder + QStringLiteral("kestrum_docs.htm");
    if (!FileExistsNotFolder(guide)) {
        message(
            QStringLiteral("Kestrum"),
            QStringLiteral("The user guide \"%1\" is missing. Reinstall Kestrum to get it back.").arg(guide));
        return;
    }
    if (!m_port.openDocument(guide)) {
        message(
            QStringLiteral("Kestrum"),
            QStringLiteral("No program could be found to show the user guide \"%1\". Open that file with a "
                           "web browser.")
                .arg(guide));
    }
}

void Wizard::openAddress(const QString& address) {
    if (!m_port.openDocument(address)) {
        message(QStringLiteral("Kestrum"),
                QStringLiteral("No web browser could be found to open %1.").arg(address));
    }
}

void Wizard::chooseIconSize(int size) {
    if (ApplyIconSize(m_state.gamesPage, size, m_state.wizard.FirstActivationPending)) {
        call(m_handOvers.LoadListIcons);
    }
}

void Wizard::SetPageTitle(WizardPage page) {
    m_state.texts.pageTitle = pageTitleOf(page, m_state.setup.operation);
}

void Wizard::selectOperation(OperationMode operation) {
    if (isOperation(operation)) {
        m_state.setup.operation = operation;
    }
}

void Wizard::chooseLayout(int layout) {
    if (layout < 1 || layout > 3 || layout == m_state.gamesPage.layout) {
        return;
    }
    if (!m_state.wizard.FirstActivationPending) {
        call(m_handOvers.SaveColumnLayout);
        if (m_state.gamesPage.layout != 1) {
            call(m_handOvers.SaveSplitterPosition);
        }
    }
    m_state.gamesPage.layout = layout;
    call(m_handOvers.ApplyWindowLayout);
    call(m_handOvers.LoadColumnLayout);
}

void Wizard::message(const QString& caption, const QString& text) {
    m_port.showMessage(caption, text, MessageIcon::Warning);
}

void Wizard::WizardStep(int step) {
    if (stepRunning()) {
        return;  // a step button pressed while the previous step processed events
    }
    LongStep running(*this);
    const WizardPage from = m_state.wizard.page;
    if (from == WizardPage::Finish && step > 0) {
        if (confirmNeededSets()) {
            call(m_handOvers.ProcessingJob);
        }
        return;
    }
    if (!isPage(int(from) + step)) {
        return;
    }
    WizardPage to = WizardPage(int(from) + step);
    if (from == WizardPage::Emulator && to == WizardPage::ImagesFolders) {
        if (!leaveEmulatorPage()) {
            return;
        }
        if (m_state.emulator.ImageFoldersFromUiIni) {
            to = WizardPage::FileTypes;
        }
    }
    if (from == WizardPage::Welcome && to == WizardPage::Emulator) {
        m_state.setup.rebuildGamesListVisible =
            FileExistsNotFolder(gamesListPath(m_state.setup.ProgramFolder));
    }
    if (from == WizardPage::FileTypes && to == WizardPage::ImagesFolders &&
        m_state.emulator.ImageFoldersFromUiIni) {
        to = WizardPage::Emulator;
    }
    if (!arriveOnPage(from, to)) {
        return;
    }
    stepInto(to);
}

bool Wizard::leaveEmulatorPage() {
    // On Linux a program has an execute bit: a text file chosen by mistake is refused here.
    const bool emulatorValid = isExecutableFile(m_state.setup.mameExecutableFile);
    if (!emulatorValid) {
        message(QStringLiteral("Error"), QStringLiteral("Select a valid executable file."));
    }
    const bool categoriesValid = FileExistsNotFolder(m_state.setup.categoryFile);
    if (!categoriesValid) {
        message(QStringLiteral("Error"),
                QStringLiteral("Select a valid category ini file (usually catver.ini or category.ini)."));
    }
    if (!emulatorValid || !categoriesValid) {
        return false;
    }
    m_state.texts.messages = QStringLiteral("Loading MAME Settings...");
    m_view.showState();
    m_state.setup.categoryFileStamp = ListStamp(m_state.setup.categoryFile);
    call(m_handOvers.ReadEmulatorIni);
    m_state.emulator.ImageFoldersFromUiIni = m_handOvers.ReadUiIni && m_handOvers.ReadUiIni();
    if (!m_state.emulator.ImageFoldersFromUiIni) {
        call(m_handOvers.LoadImageFolders);
    }
    m_state.texts.messages.clear();
    return true;
}

bool Wizard::checkMoveDestination() {
    const QString caption = QStringLiteral("Action Type: Move Files");
    if (m_state.setup.moveFilesToFolder.isEmpty()) {
        message(caption,
                QStringLiteral("    A destination folder was not selected. Select an existing folder or type "
                               "a new one, it will be created if it doesn't exist."));
        return false;
    }
    if (!isFullPath(m_state.setup.moveFilesToFolder)) {
        message(caption,
                QStringLiteral(
                    "    The destination folder must be a full path. Relative paths are not supported."));
        return false;
    }
    return true;
}

bool Wizard::arriveOnPage(WizardPage from, WizardPage to) {
    switch (to) {
        case WizardPage::Emulator: {
            m_state.texts.imageFoldersPanelShown = false;
            SetupChoices& setup = m_state.setup;
            const QString& folder = setup.ProgramFolder;
            if (setup.categoryFile.isEmpty()) {
                for (const char* name : {"catver.ini", "category.ini"}) {
                    if (FileExistsNotFolder(folder + QLatin1String(name))) {
                        setup.categoryFile = folder + QLatin1String(name);
                        break;
                    }
                }
            }
            if (setup.nonArcadeMachineFile.isEmpty() &&
                FileExistsNotFolder(folder + QStringLiteral("mess.ini"))) {
                setup.nonArcadeMachineFile = folder + QStringLiteral("mess.ini");
            }
            return true;
        }
        case WizardPage::ImagesFolders:
            m_state.texts.imageFoldersPanelShown = true;
            return true;
        case WizardPage::FileTypes:
            return arriveOnFileTypes(from);
        case WizardPage::Operation:
            return arriveOnOperation(from);
        case WizardPage::Games:
            return arriveOnGames(from);
        case WizardPage::Finish:
            return arriveOnFinish();
        case WizardPage::Welcome:
            return true;
    }
    return true;
}

bool Wizard::arriveOnFileTypes(WizardPage from) {
    if (from == WizardPage::Emulator || from == WizardPage::ImagesFolders) {
        for (int row = 0; row < kImageCategoryCount; ++row) {
            if (m_handOvers.CheckImageFolderEdit && !m_handOvers.CheckImageFolderEdit(row)) {
                return false;
            }
        }
        call(m_handOvers.ApplyImageFolders);
    }
    m_state.texts.imageFoldersPanelShown = false;
    return true;
}

bool Wizard::arriveOnOperation(WizardPage from) {
    if (from == WizardPage::Games) {
        m_state.texts.searchWorkListPanelShown = false;
        return true;
    }
    const auto& checked = m_state.setup.fileTypeChecked;
    if (std::none_of(checked.begin(), checked.end(), [](bool on) { return on; })) {
        m_port.showMessage(QStringLiteral("No Selection"),
                           QStringLiteral("No file types are selected! Select at least one."),
                           MessageIcon::Warning);
        return false;
    }
    return true;
}

bool Wizard::arriveOnGames(WizardPage from) {
    if (m_state.gamesPage.gamesTab == 1) {
        call(m_handOvers.SwitchGamesTab, 0);
    }
    WindowTexts& texts = m_state.texts;
    if (from == WizardPage::Operation) {
        if (m_state.setup.operation == MoveFiles && !checkMoveDestination()) {
            return false;
        }
        texts.backEnabled = false;
        texts.nextEnabled = false;
        m_port.setBusyPointer(true);
        texts.searchWorkListPanelShown = true;
        m_view.showState();
        loadGamesData();
        texts.backEnabled = true;
        texts.nextEnabled = true;
    } else if (from == WizardPage::Finish) {
        texts.searchWorkListPanelShown = true;
        texts.nextCaption = QStringLiteral("NEXT");
        texts.nextColor = kNavyRgb;
    }
    texts.messages.clear();
    m_port.setBusyPointer(false);
    return true;
}

// The categories, then the games list. Neither result stops the wizard: the games page is shown in
// any case, drawn from what they give.
void Wizard::loadGamesData() {
    if (m_handOvers.LoadCategories && m_handOvers.LoadCategories()) {
        GamesPageState& page = m_state.gamesPage;
        page.selectedCategoryRow =
            categoryRowAfterReload(page.selectedCategoryRow, m_state.games.CategoriesList.size());
        if (m_state.games.CategoriesList.isEmpty()) {
            m_port.showMessage(
                QStringLiteral("Categories"),
                QStringLiteral("No categories could be read from \"") + m_state.setup.categoryFile +
                    QStringLiteral("\".\r\nCheck that it is a catver.ini or category.ini file."),
                MessageIcon::Warning);
        }
    }
    const bool created = m_handOvers.CreateGamesList && m_handOvers.CreateGamesList();
    m_state.texts.noGamesList = !created && m_state.games.FullGamesList.isEmpty();
    m_state.games.categoryMap.reset();  // it lives only while the list is built or loaded
}

bool Wizard::arriveOnFinish() {
    WindowTexts& texts = m_state.texts;
    if (m_state.gamesPage.WorkList.isEmpty()) {
        texts.searchWorkListPanelShown = true;
        m_port.showMessage(QStringLiteral("No Games Selected"),
                           QStringLiteral("No games were added to the work list. Add at least one."),
                           MessageIcon::Warning);
        return false;
    }
    texts.searchWorkListPanelShown = false;
    texts.nextCaption = QStringLiteral("FINISH");
    texts.nextColor = kGreenRgb;
    const QString action = ActionName(m_state.setup.operation);
    texts.finishWizardTitle =
        QStringLiteral(
            "    You have chosen to %1. Click on \"Finish\" button to process the games you "
            "selected.\r\nTo abort, click on \"Exit\" button. If  you wish to change your "
            "selected options, click on \"Back\" button.")
            .arg(action.toUpper());
    texts.searchPatternsCaption = QStringLiteral("Search Folders [") + action + QStringLiteral("]");
    call(m_handOvers.BuildSearchFolders);
    findNeededSets();
    texts.deletesGoToTrash = deletesGoToTrash(m_state.setup);
    return true;
}

// The Finish page's warning: which sets of the Work List games outside it need, when the job may
// change sets.
void Wizard::findNeededSets() {
    WindowTexts& texts = m_state.texts;
    texts.neededSets = {};
    texts.dependencyCheckUnavailable = false;
    if (!changesSharedSets(m_state.setup)) {
        return;
    }
    const GamesData& games = m_state.games;
    if (!games.dependencies) {
        texts.dependencyCheckUnavailable = true;
        return;
    }
    texts.neededSets =
        setsNeededElsewhere(games.FullGamesList, *games.dependencies, m_state.gamesPage.WorkList);
}

// FINISH asks once before a job that would change sets other games need.
bool Wizard::confirmNeededSets() {
    const int games = m_state.texts.neededSets.games;
    return games == 0 ||
           m_port.askYesNo(QStringLiteral("Sets Other Games Need"),
                           QStringLiteral("%1 games that are not in the Work List need sets this job will "
                                          "change. Go on?")
                               .arg(games),
                           MessageIcon::Warning);
}

void Wizard::stepInto(WizardPage to) {
    WindowTexts& texts = m_state.texts;
    if (to == WizardPage::Welcome) {
        texts.backEnabled = false;
        texts.nextCaption = QStringLiteral("START");
        texts.nextColor = kGreenRgb;
    } else if (to == WizardPage::Emulator) {
        texts.backEnabled = true;
        texts.nextCaption = QStringLiteral("NEXT");
        texts.nextColor = kNavyRgb;
    }
    SetPageTitle(to);
    m_state.wizard.page = to;
    m_view.focusPageStart();
    m_port.processPendingEvents();
}

bool Wizard::closeRequested() {
    if (stepRunning()) {
        if (m_runs.running()) {
            if (!m_port.askYesNo(QStringLiteral("Kestrum"),
                                 QStringLiteral("The emulator is still running. Stop it and close Kestrum?"),
                                 MessageIcon::Warning)) {
                return false;
            }
            m_runs.requestStop();
        }
        m_state.wizard.closeDeferred = true;
        return false;
    }
    if (m_state.wizard.Aborting) {
        return true;
    }
    if (m_state.wizard.page != WizardPage::Welcome) {
        m_state.texts.messages = QStringLiteral("Saving Settings and Freeing Resources...");
        m_view.showState();
        SaveSettings(m_state);
        if (m_state.gamesPage.layout != 1) {
            call(m_handOvers.SaveSplitterPosition);
        }
        call(m_handOvers.SaveColumnLayout);
    }
    m_state.emulator.folders.RomFolders.clear();
    m_state.games.FullGamesList.clear();
    m_state.gamesPage.SearchResults.clear();
    m_state.gamesPage.WorkList.clear();
    return true;
}

void Wizard::loadingCategories(bool started) {
    // Shown at once, also when it ends: the emulator run that may follow holds the window for long.
    m_state.texts.messages = started ? QStringLiteral("Loading Categories List...") : QString();
    m_view.showState();
}

void Wizard::replacingGamesList() {
    m_state.gamesPage.SearchResults.clear();
}

void Wizard::gamesListRead(const QString& emulatorLine) {
    m_state.texts.versionUsedCaption = emulatorLine;
}

void Wizard::gamesListLoadEnded() {
    m_state.texts.messages.clear();
}

void Wizard::emulatorRunEnded() {
    m_view.showState();
}
