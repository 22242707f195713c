#pragma once

#include "app/AppState.h"
#include "app/Subsystems.h"
#include "app/Wizard.h"
#include "app/WizardView.h"
#include "common/RunControl.h"
#include "pages/PageContext.h"
#include "search/ImageLists.h"

#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QStackedWidget;
class QtDialogPort;
class StatePage;
class ImagesFoldersPanel;
class GamesPanel;
class TFormListXML;
class TFormLog;

// The main window: the seven wizard pages, their overlay panels and the bottom bar. It wires the
// pages to the core's state and wizard; it holds no logic of its own.
class TFormMain final : public QWidget, private WizardView {
    Q_OBJECT
public:
    explicit TFormMain(const ProgramFolders& folders, QWidget* parent = nullptr);
    ~TFormMain() override;

    AppState& state() { return m_state; }
    const ImageLists& icons() const { return m_icons; }
    Wizard& wizard() { return m_wizard; }
    DialogPort& dialogs();
    // Redraws the bars, the current page and the overlay panel that is up from the state.
    void applyState();
    // Draws every page and panel: when the window is made and when the settings have been read.
    void drawEverything();
    void ButtonNextClick(int step);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildBars();
    void buildPages();
    void placeBars();
    void holdForJob(bool held);

    // The chores the wizard asks of the window.
    void centrePageArea() override;
    void focusPageStart() override;
    void closeWindow() override;
    void showState() override;

    AppState m_state;
    std::unique_ptr<QtDialogPort> m_port;
    RunControl m_runs;
    ImageLists m_icons;
    WizardHandOvers m_handOvers;
    Wizard m_wizard;
    PageContext m_context;
    bool m_shown = false;
    bool m_nextTakesFocus = false;

    QWidget* m_topBar = nullptr;
    QLabel* m_pageTitle = nullptr;
    QStackedWidget* m_pages = nullptr;
    std::array<StatePage*, 7> m_pageWidgets{};
    ImagesFoldersPanel* m_imagesPanel = nullptr;
    GamesPanel* m_gamesPanel = nullptr;
    QWidget* m_bottomBar = nullptr;
    QLabel* m_messages = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_exit = nullptr;
    TFormLog* m_log = nullptr;
    TFormListXML* m_wait = nullptr;
};
