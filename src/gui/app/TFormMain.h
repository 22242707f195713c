#pragma once

#include "app/AppState.h"
#include "app/Wizard.h"
#include "pages/PageContext.h"

#include <QIcon>
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
class TFormMain final : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(const QString& programFolder, QWidget* parent = nullptr);
    ~TFormMain() override;

    AppState& state() { return m_state; }
    Wizard& wizard() { return m_wizard; }
    DialogPort& dialogs();
    TFormLog& logWindow() { return *m_log; }
    TFormListXML& waitWindow() { return *m_wait; }
    // Redraws every control from the state.
    void applyState();
    void ButtonNextClick(int step);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildBars();
    void buildPages();
    void centrePageArea();
    void placeBars();
    void loadStatusIcons();

    AppState m_state;
    std::unique_ptr<QtDialogPort> m_port;
    Wizard m_wizard;
    PageContext m_context;
    bool m_shown = false;

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
    std::array<QIcon, 5> m_statusIcons;
    TFormLog* m_log = nullptr;
    TFormListXML* m_wait = nullptr;
};
