// The wizard with the program's own wiring and no window: what the bench tasks drive as a user would.
#pragma once

#include "BenchSupport.h"
#include "app/AppState.h"
#include "app/Subsystems.h"
#include "app/Wizard.h"
#include "app/WizardView.h"
#include "common/RunControl.h"
#include "search/ColumnLayouts.h"
#include "search/ListIcons.h"

#include <QTemporaryDir>

class NoIcons final : public IconLists {
public:
    void LoadListIcons() override {}
};

class NoView final : public WizardView {
public:
    void centrePageArea() override {}
    void focusPageStart() override {}
    void closeWindow() override {}
    void showState() override {}
};

// A games page without a window: its columns stay at their defaults.
class NoGamesLayout final : public GamesPageLayoutView {
public:
    ColumnLayout columns(GameListId list) const override { return ColumnLayout::defaults(list); }
    void showColumns(GameListId, const ColumnLayout&) override {}
    int categoriesWidth() const override { return kCategoriesPanelMinWidth; }
    void setCategoriesWidth(int) override {}
    int searchListSize(int) const override { return 0; }
    int defaultSearchListSize(int) const override { return 0; }
    void arrangeLayout(int, int) override {}
};

struct HeadlessWizard {
    HeadlessWizard() { connectSubsystems(handOvers, state, port, runs, {wait, log, icons, layout}, wizard); }

    // Leaves page 1 with `emulator` and an empty category file, as NEXT does: the emulator's folders
    // are read. False when the wizard stayed on page 1 (its messages say why).
    bool leaveEmulatorPage(const QString& emulator);

    AppState state;
    SilentPort port;
    RunControl runs;
    NoView view;
    WizardHandOvers handOvers;
    QuietWaitWindow wait;
    RecordingLogWindow log;
    NoIcons icons;
    NoGamesLayout layout;
    Wizard wizard{state, port, view, handOvers, runs};
    QTemporaryDir scratch;  // the category file; nothing is written elsewhere
};

inline bool HeadlessWizard::leaveEmulatorPage(const QString& emulator) {
    state.setup.mameExecutableFile = emulator;
    state.setup.categoryFile = scratch.path() + QStringLiteral("/catver.ini");
    QFile category(state.setup.categoryFile);
    if (!category.open(QIODevice::WriteOnly) || category.write("[Category]\r\n") < 0) {
        return false;
    }
    category.close();
    state.wizard.page = WizardPage::Emulator;
    wizard.WizardStep(+1);
    return state.wizard.page != WizardPage::Emulator;
}
