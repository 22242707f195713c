#include "TFormListXML.h"

#include "app/QtDialogPort.h"
#include "common/RunControl.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int kProgressWidth = 377;
constexpr int kStopWidth = 60;
}  // namespace

TFormListXML::TFormListXML(QWidget* mainWindow, RunControl& runs)
    // It never takes the keyboard: keys and close requests keep reaching the main window, also
    // after a question shown over it has been answered. Its Stop is clicked.
    : QWidget(mainWindow,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("FormListXML"));
    setFixedSize(434, 72);
    setAutoFillBackground(true);
    QPalette money = palette();
    money.setColor(QPalette::Window, QColor(192, 220, 192));
    setPalette(money);

    m_message = new QLabel(QStringLiteral("Generating MAME's \"-listxml\" file. Please wait..."), this);
    m_message->setObjectName(QStringLiteral("LabelMessage"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setGeometry(16, 4, 401, 40);
    QFont verdana(QStringLiteral("Verdana"), 8);
    verdana.setBold(true);
    m_message->setFont(verdana);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(8, 50, kProgressWidth, 14);

    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_stop->setObjectName(QStringLiteral("ButtonStop"));
    m_stop->setToolTip(QStringLiteral("Stop the emulator"));
    m_stop->setGeometry(8 + kProgressWidth - kStopWidth, 45, kStopWidth, 24);
    m_stop->hide();
    connect(m_stop, &QPushButton::clicked, this, [&runs] { runs.requestStop(); });
    runs.onRunningChanged = [this](bool running) { showStop(running); };

    m_timer = new QLabel(QStringLiteral("00:00"), this);
    m_timer->setObjectName(QStringLiteral("LabelTimer"));
    m_timer->setFont(QFont(QStringLiteral("Consolas"), 9));
    m_timer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_timer->setGeometry(388, 48, 40, 18);
    connect(&m_counter, &ElapsedCounter::changed, this, [this](const QString& text) {
        m_timer->setText(text);
        m_timer->repaint();
    });
}

void TFormListXML::show() {
    if (m_mainWindow) {
        const QRect over = m_mainWindow->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::show();
    m_counter.start();
}

void TFormListXML::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_mainWindow) {
        m_mainWindow->close();
    }
}

void TFormListXML::showStop(bool shown) {
    m_progress->resize(shown ? kProgressWidth - kStopWidth - 6 : kProgressWidth, m_progress->height());
    m_stop->setVisible(shown);
    m_stop->setEnabled(true);
}

void TFormListXML::setMessage(const QString& text) {
    m_message->setText(QtDialogPort::displayText(text));
    m_message->repaint();
}

void TFormListXML::setProgress(int percent) {
    m_progress->setValue(percent);
}

int TFormListXML::progress() const {
    return m_progress->value();
}

void TFormListXML::close() {
    m_counter.stop();
    m_progress->setValue(0);
    hide();
}
