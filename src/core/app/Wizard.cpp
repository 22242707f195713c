#include "Wizard.h"

#include "AppState.h"
#include "Settings.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "emulator/EmulatorIni.h"

#include <algorithm>

namespace {

template <typename F, typename... Args>
void call(const std::function<F>& seam, Args&&... args) {
    if (seam) {
        seam(std::forward<Args>(args)...);
    }
}

// The games page's title ends with the operation.
constexpr const char* kTitleSuffixes[kOperationCount] = {"DELETE", "RENAME", "RESTORE", "DELETE RENAMED",
                                                         "MOVE"};

constexpr const char* kPageTitles[7] = {
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

}  // namespace

QString pageTitleOf(int page, OperationMode operation) {
    if (page < 0 || page > 6) {
        return {};
    }
    QString title = QString::fromLatin1(kPageTitles[page]);
    if (page == 5 && isOperation(operation)) {
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

Wizard::Wizard(AppState& state, DialogPort& port, WizardSeams seams)
    : m_state(state), m_port(port), m_seams(std::move(seams)) {}

Wizard::LongStep::LongStep(Wizard& wizard) : m_wizard(wizard) {
    ++m_wizard.m_state.wizard.longStepDepth;
}

Wizard::LongStep::~LongStep() {
    AppState& state = m_wizard.m_state;
    if (--state.wizard.longStepDepth == 0 && state.wizard.closeDeferred) {
        state.wizard.closeDeferred = false;
        call(m_wizard.m_seams.CloseWindow);
    }
}

bool Wizard::stepRunning() const {
    return m_state.wizard.longStepDepth > 0;
}

void Wizard::windowCreated(const QString& programFolder, int screenHeight) {
    m_state.wizard.FirstActivationPending = true;
    m_state.wizard.Aborting = false;
    m_state.setup.ProgramFolder = withTrailingSeparator(programFolder);
    m_state.wizard.VersionText = versionTextOf(QStringLiteral(KESTRUM_VERSION));
    m_state.wizard.page = 0;
    m_state.emulator.folders.clear();
    m_state.emulator.iniFallbackFolders = defaultEmulatorIniFolders();
    call(m_seams.LoadListIcons);
    m_state.texts.imageFoldersPanelShown = false;
    m_state.texts.searchWorkListPanelShown = false;
    m_state.gamesPage.layout = 1;
    m_state.wizard.imagesTab = 0;
    m_state.wizard.layoutSelectorShown = screenHeight >= kSmallScreenHeight;
    call(m_seams.ResetFilters);
}

void Wizard::firstShowing() {
    SetPageTitle(0);
    m_state.texts.messages.clear();
    LoadSettings(m_state);
    m_state.games.LoadedWithQuickScan = m_state.setup.scanGameFilesQuickScan;
}

void Wizard::firstActivation() {
    if (!m_state.wizard.FirstActivationPending) {
        return;
    }
    m_state.wizard.FirstActivationPending = false;
    call(m_seams.CentrePageArea);
    if (m_state.gamesPage.layout != 1) {
        call(m_seams.ApplyWindowLayout);
    }
    call(m_seams.LoadColumnLayout);
}

void Wizard::SetPageTitle(int page) {
    m_state.texts.pageTitle = pageTitleOf(page, m_state.setup.operation);
}

void Wizard::selectOperation(int operation) {
    if (isOperation(operation)) {
        m_state.setup.operation = static_cast<OperationMode>(operation);
    }
}

void Wizard::chooseLayout(int layout) {
    if (layout < 1 || layout > 3 || layout == m_state.gamesPage.layout) {
        return;
    }
    if (!m_state.wizard.FirstActivationPending) {
        call(m_seams.SaveColumnLayout);
        if (m_state.gamesPage.layout != 1) {
            call(m_seams.SaveSplitterPosition);
        }
    }
    m_state.gamesPage.layout = layout;
    call(m_seams.ApplyWindowLayout);
    call(m_seams.LoadColumnLayout);
}

void Wizard::message(const QString& caption, const QString& text) {
    m_port.showMessage(caption, text, MessageIcon::Warning);
}

void Wizard::WizardStep(int step) {
    if (stepRunning()) {
        return;  // a step button pressed while the previous step processed events
    }
    LongStep running(*this);
    const int from = m_state.wizard.page;
    int to = from + step;
    if (to == 7) {
        call(m_seams.ProcessingJob);
        return;
    }
    if (to < 0 || to > 6) {
        return;
    }
    if (from == 1 && to == 2) {
        if (!leaveEmulatorPage()) {
            return;
        }
        if (m_state.emulator.ImageFoldersFromUiIni) {
            to = 3;
        }
    }
    if (from == 0 && to == 1) {
        m_state.setup.rebuildGamesListVisible =
            FileExistsNotFolder(m_state.setup.ProgramFolder + QStringLiteral("listfull.txt"));
    }
    if (from == 3 && to == 2 && m_state.emulator.ImageFoldersFromUiIni) {
        to = 1;
    }
    if (!arriveOnPage(from, to)) {
        return;
    }
    stepInto(to);
}

bool Wizard::leaveEmulatorPage() {
    const bool emulatorValid = FileExistsNotFolder(m_state.setup.mameExecutableFile);
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
    m_port.showStateNow();
    m_state.setup.categoryFileStamp =
        m_seams.ListStamp ? m_seams.ListStamp(m_state.setup.categoryFile) : QString();
    call(m_seams.ReadEmulatorIni);
    m_state.emulator.ImageFoldersFromUiIni = m_seams.ReadUiIni && m_seams.ReadUiIni();
    if (!m_state.emulator.ImageFoldersFromUiIni) {
        call(m_seams.LoadImageFolders);
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

// The arrival work of the target page; false when a check refuses the step.
bool Wizard::arriveOnPage(int from, int& to) {
    const QString& folder = m_state.setup.ProgramFolder;
    switch (to) {
        case 1:
            m_state.texts.imageFoldersPanelShown = false;
            if (m_state.setup.categoryFile.isEmpty()) {
                if (FileExistsNotFolder(folder + QStringLiteral("catver.ini"))) {
                    m_state.setup.categoryFile = folder + QStringLiteral("catver.ini");
                } else if (FileExistsNotFolder(folder + QStringLiteral("category.ini"))) {
                    m_state.setup.categoryFile = folder + QStringLiteral("category.ini");
                }
            }
            if (m_state.setup.nonArcadeMachineFile.isEmpty() &&
                FileExistsNotFolder(folder + QStringLiteral("mess.ini"))) {
                m_state.setup.nonArcadeMachineFile = folder + QStringLiteral("mess.ini");
            }
            return true;
        case 2:
            m_state.texts.imageFoldersPanelShown = true;
            return true;
        case 3:
            if (from == 1 || from == 2) {
                for (int row = 0; row < kImageCategoryCount; ++row) {
                    if (m_seams.CheckImageFolderEdit && !m_seams.CheckImageFolderEdit(row)) {
                        return false;
                    }
                }
                call(m_seams.ApplyImageFolders);
            }
            m_state.texts.imageFoldersPanelShown = false;
            return true;
        case 4:
            if (from < 4) {
                if (std::none_of(m_state.setup.fileTypeChecked.begin(), m_state.setup.fileTypeChecked.end(),
                                 [](bool checked) { return checked; })) {
                    m_port.showMessage(QStringLiteral("No Selection"),
                                       QStringLiteral("No file types are selected! Select at least one."),
                                       MessageIcon::Warning);
                    return false;
                }
            } else {
                m_state.texts.searchWorkListPanelShown = false;
            }
            return true;
        case 5:
            if (m_state.gamesPage.gamesTab == 1) {
                call(m_seams.SwitchGamesTab, 0);
            }
            if (from == 4) {
                if (m_state.setup.operation == MoveFiles && !checkMoveDestination()) {
                    return false;
                }
                m_state.texts.backEnabled = false;
                m_state.texts.nextEnabled = false;
                m_port.setBusyPointer(true);
                m_state.texts.searchWorkListPanelShown = true;
                m_port.showStateNow();
                if (m_seams.LoadCategories && m_seams.LoadCategories()) {
                    GamesPageState& games = m_state.gamesPage;
                    games.selectedCategoryRow = categoryRowAfterReload(games.selectedCategoryRow,
                                                                       m_state.games.CategoriesList.size());
                }
                call(m_seams.CreateGamesList);
                call(m_seams.DiscardCategoryMap);
                m_state.texts.backEnabled = true;
                m_state.texts.nextEnabled = true;
            } else if (from == 6) {
                m_state.texts.searchWorkListPanelShown = true;
                m_state.texts.nextCaption = QStringLiteral("NEXT");
                m_state.texts.nextColor = kNavyRgb;
            }
            m_state.texts.messages.clear();
            m_port.setBusyPointer(false);
            return true;
        case 6:
            if (m_state.gamesPage.WorkList.isEmpty()) {
                m_state.texts.searchWorkListPanelShown = true;
                m_port.showMessage(QStringLiteral("No Games Selected"),
                                   QStringLiteral("No games were added to the work list. Add at least one."),
                                   MessageIcon::Warning);
                return false;
            }
            m_state.texts.searchWorkListPanelShown = false;
            m_state.texts.nextCaption = QStringLiteral("FINISH");
            m_state.texts.nextColor = kGreenRgb;
            m_state.texts.finishWizardTitle =
                QStringLiteral(
                    "    You have chosen to %1. Click on \"Finish\" button to process the games you "
                    "selected.\r\nTo abort, click on \"Exit\" button. If  you wish to change your "
                    "selected options, click on \"Back\" button.")
                    .arg(ActionName(m_state.setup.operation).toUpper());
            m_state.texts.searchPatternsCaption = QStringLiteral("Search Folders [") +
                                                  ActionName(m_state.setup.operation) + QStringLiteral("]");
            call(m_seams.BuildSearchFolders);
            return true;
        default:
            return true;
    }
}

void Wizard::stepInto(int to) {
    if (to == 0) {
        m_state.texts.backEnabled = false;
        m_state.texts.nextCaption = QStringLiteral("START");
        m_state.texts.nextColor = kGreenRgb;
    } else if (to == 1) {
        m_state.texts.backEnabled = true;
        m_state.texts.nextCaption = QStringLiteral("NEXT");
        m_state.texts.nextColor = kNavyRgb;
    }
    SetPageTitle(to);
    m_state.wizard.page = to;
    if (to == 5) {
        call(m_seams.FocusCategoryText);
    }
    m_port.processPendingEvents();
}

bool Wizard::closeRequested() {
    if (stepRunning()) {
        m_state.wizard.closeDeferred = true;
        return false;
    }
    if (m_state.wizard.Aborting) {
        return true;
    }
    if (m_state.wizard.page != 0) {
        m_state.texts.messages = QStringLiteral("Saving Settings and Freeing Resources...");
        m_port.showStateNow();
        SaveSettings(m_state);
        if (m_state.gamesPage.layout != 1) {
            call(m_seams.SaveSplitterPosition);
        }
        call(m_seams.SaveColumnLayout);
    }
    m_state.emulator.folders.RomFolders.clear();
    m_state.games.FullGamesList.clear();
    m_state.gamesPage.SearchResults.clear();
    m_state.gamesPage.WorkList.clear();
    return true;
}

void Wizard::loadingCategories(bool started) {
    if (started) {
        m_state.texts.messages = QStringLiteral("Loading Categories List...");
        m_port.showStateNow();
    } else {
        m_state.texts.messages.clear();
    }
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
    m_port.showStateNow();
}
