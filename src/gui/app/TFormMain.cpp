#include "TFormMain.h"

#include "QtDialogPort.h"
#include "app/WindowPlacement.h"
#include "pages/GamesPanel.h"
#include "pages/ImagesFoldersPanel.h"
#include "pages/SetupPages.h"
#include "pages/Widgets.h"
#include "processing/ProcessingJob.h"
#include "progress/TFormListXML.h"
#include "progress/TFormLog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

namespace {
constexpr int kTopBarHeight = 44;
constexpr int kBottomBarHeight = 40;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 28;

// An empty page of the paged area: its real content is an overlay panel above it.
class CoveredPage final : public StatePage {
public:
    CoveredPage(const QString& name, PageContext& context, QWidget* parent)
        : StatePage(name, context, parent) {}
    void applyState() override {}
};

// An overlay panel is drawn only while it is up.
void showPanel(StatePage* panel, bool shown) {
    if (shown) {
        panel->applyState();
        panel->raise();
    }
    panel->setVisible(shown);
}

QColor rgb(quint32 value) {
    return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}
}  // namespace

// The gui is a static library: its compiled-in pictures must be registered by hand.
static void registerResources() {
    Q_INIT_RESOURCE(kestrum);
}

TFormMain::TFormMain(const ProgramFolders& folders, QWidget* parent)
    : QWidget(parent),
      m_port(std::make_unique<QtDialogPort>(this)),
      m_icons(m_state.setup, m_state.gamesPage, *m_port),
      m_wizard(m_state, *m_port, *this, m_handOvers, m_runs),
      m_context{m_state, *m_port, m_wizard, m_icons} {
    registerResources();
    setObjectName(QStringLiteral("FormMain"));
    setMinimumSize(kWindowMinWidth, kWindowMinHeight);
    resize(kWindowMinWidth, kWindowMinHeight);
    m_log = new TFormLog(this, *m_port, [this] { return m_state.setup.ProgramFolder; });
    m_wait = new TFormListXML(this, m_runs);
    m_port->setWaitWindow(m_wait);
    m_port->setLogWindow(m_log);
    buildBars();
    buildPages();
    connectSubsystems(m_handOvers, m_state, *m_port, m_runs, {*m_wait, *m_log, m_icons, *m_gamesPanel},
                      m_wizard);

    const QScreen* screen = this->screen();
    const int screenHeight = screen ? screen->geometry().height() : kSmallScreenHeight;
    m_wizard.windowCreated(folders, screenHeight);
    setWindowTitle(QStringLiteral("Kestrum ") + m_state.wizard.VersionText);
    if (!m_state.wizard.layoutSelectorShown) {
        // Small screens: a fixed window, 10 pixels smaller, in layout 1 only.
        setFixedSize(kWindowMinWidth - 10, kWindowMinHeight - 10);
        setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    }
    drawEverything();
}

TFormMain::~TFormMain() {
    // The pages draw from members (the state, the icons) that die before QWidget deletes its
    // children: they go first.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

DialogPort& TFormMain::dialogs() {
    return *m_port;
}

void TFormMain::buildBars() {
    m_topBar = new QWidget(this);
    m_topBar->setObjectName(QStringLiteral("TopBar"));
    m_topBar->setAutoFillBackground(true);
    QPalette top = m_topBar->palette();
    top.setColor(QPalette::Window, QColor(0x1d, 0x35, 0x57));
    top.setColor(QPalette::WindowText, Qt::white);
    m_topBar->setPalette(top);
    m_pageTitle = makeLabel(QStringLiteral("LabelPageTitle"), QString(), m_topBar);
    QFont titleFont = m_pageTitle->font();
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    m_pageTitle->setFont(titleFont);

    m_bottomBar = new QWidget(this);
    m_bottomBar->setObjectName(QStringLiteral("BottomBar"));
    m_messages = makeLabel(QStringLiteral("LabelMessages"), QString(), m_bottomBar);
    m_back = makeButton(QStringLiteral("ButtonBack"), QStringLiteral("BACK"), m_bottomBar,
                        QStringLiteral("Click here to go back to the previous step"));
    m_next = makeButton(QStringLiteral("ButtonNext"), QStringLiteral("START"), m_bottomBar,
                        QStringLiteral("Click here to move to the next step"));
    m_exit = makeButton(QStringLiteral("ButtonExit"), QStringLiteral("EXIT"), m_bottomBar,
                        QStringLiteral("Click here to close the application"));
    for (QPushButton* button : {m_back, m_next, m_exit}) {
        button->resize(kButtonWidth, kButtonHeight);
        setBold(button, true);
    }
    connect(m_back, &QPushButton::clicked, this, [this] { ButtonNextClick(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { ButtonNextClick(+1); });
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
}

void TFormMain::buildPages() {
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("NotebookPages"));
    m_pages->resize(kPageAreaWidth, kPageAreaHeight);
    m_pageWidgets = {
        new WelcomePage(m_context, m_pages),
        new SetupEmulatorPage(m_context, m_pages),
        new CoveredPage(QStringLiteral("ImagesFoldersPage"), m_context, m_pages),
        new FileTypesPage(m_context, m_pages),
        new OperationPage(m_context, m_pages),
        new CoveredPage(QStringLiteral("GamesPage"), m_context, m_pages),
        new FinishPage(m_context, m_pages),
    };
    for (StatePage* page : m_pageWidgets) {
        m_pages->addWidget(page);
    }
    // The overlay panels lie above the paged area, as wide as the window's minimum width.
    m_imagesPanel = new ImagesFoldersPanel(m_context, this);
    m_gamesPanel = new GamesPanel(m_context, this);
    m_imagesPanel->resize(kPageAreaWidth + 2, kPageAreaHeight);
}

void TFormMain::applyState() {
    const int page = int(m_state.wizard.page);
    m_pages->setCurrentIndex(page);
    m_pageTitle->setText(m_state.texts.pageTitle);
    m_messages->setText(m_state.texts.messages);
    m_next->setText(m_state.texts.nextCaption);
    // The caption's colour is for a NEXT that can be pressed: held off, it greys as BACK does.
    QPalette nextColours = m_next->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        nextColours.setColor(group, QPalette::ButtonText, rgb(m_state.texts.nextColor));
    }
    m_next->setPalette(nextColours);
    // While a step runs the step buttons are held off, so the wizard cannot be entered twice.
    m_next->setEnabled(m_state.texts.nextEnabled && !m_wizard.stepRunning());
    m_back->setEnabled(m_state.texts.backEnabled && !m_wizard.stepRunning());
    if (m_nextTakesFocus && m_next->isEnabled()) {
        m_nextTakesFocus = false;
        m_next->setFocus(Qt::OtherFocusReason);
    }
    // Hidden pages are drawn when they become the current one.
    m_pageWidgets[page]->applyState();
    showPanel(m_imagesPanel, m_state.texts.imageFoldersPanelShown);
    showPanel(m_gamesPanel, m_state.texts.searchWorkListPanelShown);
}

void TFormMain::drawEverything() {
    for (StatePage* page : m_pageWidgets) {
        page->applyState();
    }
    m_imagesPanel->applyState();
    m_gamesPanel->applyState();
    applyState();
}

void TFormMain::ButtonNextClick(int step) {
    // While a job runs nothing may start another or change what it works on; a close waits for it.
    const bool job = m_state.wizard.page == WizardPage::Finish && step > 0;
    if (job) {
        holdForJob(true);
    }
    m_wizard.WizardStep(step);
    if (job) {
        holdForJob(false);
    }
    applyState();
}

void TFormMain::holdForJob(bool held) {
    for (QWidget* widget : {static_cast<QWidget*>(m_back), static_cast<QWidget*>(m_next),
                            static_cast<QWidget*>(m_exit), static_cast<QWidget*>(m_pages),
                            static_cast<QWidget*>(m_gamesPanel), static_cast<QWidget*>(m_imagesPanel)}) {
        widget->setEnabled(!held);
    }
    if (!held) {
        m_nextTakesFocus = true;  // FINISH again, once the window is drawn
    }
}

void TFormMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown) {
        return;
    }
    m_shown = true;
    if (m_state.wizard.Aborting) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    m_icons.loadHeaderPictures();
    m_wizard.firstShowing();
    if (m_state.wizard.layoutSelectorShown) {
        resize(m_state.wizard.windowWidth, m_state.wizard.windowHeight);
    }
    drawEverything();  // the settings just read reach every page
}

bool TFormMain::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate && m_state.wizard.FirstActivationPending) {
        if (m_state.wizard.settingsSaidMaximized && m_state.wizard.layoutSelectorShown) {
            showMaximized();
        } else if (const QScreen* screen = this->screen()) {
            const QRect area = screen->geometry();
            const Placement at =
                centredWindow(area.width(), area.height(), frameGeometry().width(), frameGeometry().height());
            move(area.left() + at.left, area.top() + at.top);
        }
        m_wizard.firstActivation();
        applyState();
    }
    return handled;
}

void TFormMain::closeEvent(QCloseEvent* event) {
    m_state.wizard.windowMaximized = isMaximized();
    if (!m_state.wizard.windowMaximized) {
        m_state.wizard.windowWidth = width();
        m_state.wizard.windowHeight = height();
    }
    // While a job runs the user is asked first; Yes stops it, and the window closes once it has ended.
    if (!confirmCloseDuringJob(*m_log, *m_port) || !m_wizard.closeRequested()) {
        event->ignore();  // a step is running: the window closes when it has ended
        return;
    }
    event->accept();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBars();
    centrePageArea();
}

void TFormMain::placeBars() {
    m_topBar->setGeometry(0, 0, width(), kTopBarHeight);
    m_pageTitle->setGeometry(10, 0, width() - 10, kTopBarHeight);
    m_bottomBar->setGeometry(0, height() - kBottomBarHeight, width(), kBottomBarHeight);
    const int buttonTop = (kBottomBarHeight - kButtonHeight) / 2;
    m_exit->move(width() - m_exit->width() - 4, buttonTop);
    m_next->move(m_exit->x() - kButtonWidth - 16, buttonTop);
    m_back->move(m_next->x() - kButtonWidth - 4, buttonTop);
    m_messages->setGeometry(10, 0, std::max(0, m_back->x() - 20), kBottomBarHeight);
}

void TFormMain::focusPageStart() {
    applyState();  // the page and its panel must be shown before they can take the focus
    StatePage* shown = m_state.texts.searchWorkListPanelShown ? static_cast<StatePage*>(m_gamesPanel)
                       : m_state.texts.imageFoldersPanelShown ? static_cast<StatePage*>(m_imagesPanel)
                                                              : m_pageWidgets[int(m_state.wizard.page)];
    QWidget* box = shown->firstBox();
    if (auto* edit = qobject_cast<QLineEdit*>(box)) {
        edit->selectAll();
    }
    // NEXT is held off until the step has ended: it takes the focus when it is enabled again.
    m_nextTakesFocus = !box;
    if (box) {
        box->setFocus(Qt::OtherFocusReason);
    }
}

void TFormMain::keyPressEvent(QKeyEvent* event) {
    // Enter on a setup page presses NEXT. Lists and multi-line texts keep their Enter; the games
    // page's is the category search; a job is never started by Enter.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_state.wizard.page <= WizardPage::Operation && m_next->isEnabled()) {
        ButtonNextClick(+1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormMain::closeWindow() {
    QTimer::singleShot(0, this, &QWidget::close);
}

void TFormMain::showState() {
    applyState();
    repaint();
}

void TFormMain::centrePageArea() {
    const Placement at = centredPageArea(width(), height(), kTopBarHeight, kBottomBarHeight);
    m_pages->move(at.left, at.top);
    m_imagesPanel->move(at.left - 1, at.top);
    // The games page is not a fixed box: its lists use the whole window between the bars.
    m_gamesPanel->setGeometry(0, kTopBarHeight, width(),
                              std::max(0, height() - kTopBarHeight - kBottomBarHeight));
}
