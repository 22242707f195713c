#pragma once

#include "progress/ProgressWindows.h"

#include <QWidget>
#include <functional>

class DialogPort;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The log window of the processing job: a title band, the log lines, a progress bar with Stop beside
// it while a job runs, "Save Log...", "Open Records Folder" and Close.
class TFormLog final : public QWidget, public LogWindow {
    Q_OBJECT
public:
    // `port` asks where to save the log and tells what became of it; `programFolder` gives the
    // program's data folder, which holds the records folder.
    TFormLog(QWidget* mainWindow, DialogPort& port, std::function<QString()> programFolder);

    void setTitle(const QString& title) override;
    int addLine(const QString& line) override;
    void replaceLine(int index, const QString& line) override;
    int lineCount() const override;
    void scrollToEnd() override;
    void setProgress(int percent) override;
    int progress() const override;
    void show() override;

protected:
    // Closing is refused while a job runs (its Stop is here); otherwise it empties the log.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBottomBar();
    void showJobRunning(bool running);
    QString text() const;

    QWidget* m_mainWindow;
    DialogPort& m_port;
    std::function<QString()> m_programFolder;
    QLabel* m_title;
    QPlainTextEdit* m_log;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_close = nullptr;
    int m_lines = 0;
};
