#include "TFormLog.h"

#include "processing/JobRecord.h"

#include <QCloseEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {
constexpr int kWidth = 584;
constexpr int kHeight = 370;
constexpr int kTopBar = 20;
constexpr int kBottomBar = 58;  // the progress bar above, the buttons below
constexpr int kProgressWidth = kWidth - 8;
constexpr int kStopWidth = 60;
}  // namespace

TFormLog::TFormLog(QWidget* mainWindow, DialogPort& port, std::function<QString()> programFolder)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint |
                              Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      m_mainWindow(mainWindow),
      m_port(port),
      m_programFolder(std::move(programFolder)) {
    setObjectName(QStringLiteral("FormLog"));
    setWindowTitle(QStringLiteral("Log"));
    setFixedSize(kWidth, kHeight);
    setFont(QFont(QStringLiteral("Arial"), 9));

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("TopBar"));
    top->setGeometry(0, 0, kWidth, kTopBar);
    top->setAutoFillBackground(true);
    QPalette olive = top->palette();
    olive.setColor(QPalette::Window, QColor(128, 128, 0));
    top->setPalette(olive);
    m_title = new QLabel(QStringLiteral("Action Title"), top);
    m_title->setObjectName(QStringLiteral("LabelActionTitle"));
    m_title->setGeometry(0, 0, kWidth, kTopBar);
    m_title->setAlignment(Qt::AlignCenter);
    QFont titleFont(QStringLiteral("Trebuchet MS"), 10);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    m_title->setFont(titleFont);
    QPalette white = m_title->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(white);
    auto* shadow = new QGraphicsDropShadowEffect(m_title);
    shadow->setColor(Qt::gray);
    shadow->setOffset(1, 1);
    shadow->setBlurRadius(0);
    m_title->setGraphicsEffect(shadow);

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("LogText"));
    m_log->setReadOnly(true);
    m_log->setFrameShape(QFrame::NoFrame);
    m_log->setGeometry(0, kTopBar, kWidth, kHeight - kTopBar - kBottomBar);
    m_log->document()->setDocumentMargin(7);
    m_log->setFont(QFont(QStringLiteral("Trebuchet MS"), 9));
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette page = m_log->palette();
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, Qt::black);
    m_log->setPalette(page);

    buildBottomBar();
    jobRun().onRunningChanged = [this](bool running) { showJobRunning(running); };
}

void TFormLog::buildBottomBar() {
    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("BottomBar"));
    bottom->setGeometry(0, kHeight - kBottomBar, kWidth, kBottomBar);
    m_progress = new QProgressBar(bottom);
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setGeometry(4, 6, kProgressWidth, 17);
    m_stop = new QPushButton(QStringLiteral("Stop"), bottom);
    m_stop->setObjectName(QStringLiteral("ButtonStop"));
    m_stop->setToolTip(QStringLiteral("Stop the job after the game or archive it is working on"));
    m_stop->setGeometry(kWidth - 4 - kStopWidth, 3, kStopWidth, 23);
    m_stop->hide();
    connect(m_stop, &QPushButton::clicked, this, [this] {
        jobRun().requestStop();
        m_stop->setEnabled(false);  // asked once; the job ends at its next safe point
    });

    auto* save = new QPushButton(QStringLiteral("Save Log..."), bottom);
    save->setObjectName(QStringLiteral("ButtonSaveLog"));
    save->setToolTip(QStringLiteral("Save the text of this log to a file"));
    save->setGeometry(4, 31, 90, 23);
    connect(save, &QPushButton::clicked, this, [this] { SaveLogText(text(), m_port, m_programFolder()); });
    auto* records = new QPushButton(QStringLiteral("Open Records Folder"), bottom);
    records->setObjectName(QStringLiteral("ButtonOpenRecords"));
    records->setToolTip(QStringLiteral("Open the folder that keeps a record of every file each job changed"));
    records->setGeometry(98, 31, 140, 23);
    connect(records, &QPushButton::clicked, this, [this] { OpenRecordsFolder(m_port, m_programFolder()); });

    m_close = new QPushButton(QStringLiteral("Close"), bottom);
    m_close->setObjectName(QStringLiteral("ButtonClose"));
    m_close->setToolTip(QStringLiteral("Click here to close this log window"));
    m_close->setGeometry(kWidth - 84, 31, 80, 23);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
}

void TFormLog::showJobRunning(bool running) {
    m_progress->resize(running ? kProgressWidth - kStopWidth - 6 : kProgressWidth, m_progress->height());
    m_stop->setVisible(running);
    m_stop->setEnabled(true);
    m_close->setEnabled(!running);
}

QString TFormLog::text() const {
    // A line's own line breaks are separators inside its block.
    QString plain = m_log->toPlainText();
    plain.replace(QChar::LineSeparator, u'\n');
    return plain;
}

void TFormLog::setTitle(const QString& title) {
    m_title->setText(title);
}

namespace {
// One log line is one block of the document, whatever it holds: its line breaks are shown as line
// separators inside the block, so that line indexes and block numbers stay the same.
QString asOneBlock(const QString& line) {
    QString text = line;
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(u'\n', QChar::LineSeparator);
    text.replace(u'\r', QChar::LineSeparator);
    return text;
}
}  // namespace

int TFormLog::addLine(const QString& line) {
    // A log read at its end follows the new lines; one scrolled back by the user stays where it is.
    QScrollBar* bar = m_log->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(m_log->document());
    cursor.movePosition(QTextCursor::End);
    if (m_lines > 0) {
        cursor.insertBlock();  // the empty document already holds the first line's block
    }
    cursor.insertText(asOneBlock(line));
    if (following) {
        bar->setValue(bar->maximum());
    }
    return m_lines++;
}

void TFormLog::replaceLine(int index, const QString& line) {
    if (index < 0 || index >= m_lines) {
        return;
    }
    QTextCursor cursor(m_log->document()->findBlockByNumber(index));
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(asOneBlock(line));
}

int TFormLog::lineCount() const {
    return m_lines;
}

void TFormLog::scrollToEnd() {
    m_log->moveCursor(QTextCursor::End);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

void TFormLog::setProgress(int percent) {
    m_progress->setValue(percent);
}

int TFormLog::progress() const {
    return m_progress->value();
}

void TFormLog::show() {
    if (!isVisible() && m_mainWindow) {
        const QRect over = m_mainWindow->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::show();
    raise();
    m_log->setFocus();
}

void TFormLog::closeEvent(QCloseEvent* event) {
    if (jobRun().running()) {
        event->ignore();
        return;
    }
    // The bar goes back to 0 and the log is emptied for the next job.
    m_progress->setValue(0);
    m_log->clear();
    m_lines = 0;
    event->accept();
}
