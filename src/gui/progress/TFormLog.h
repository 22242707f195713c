#pragma once

#include "progress/ProgressWindows.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;

// The log window of the processing job: a title band, the log lines, a progress bar and Close.
class TFormLog final : public QWidget, public LogWindow {
    Q_OBJECT
public:
    explicit TFormLog(QWidget* mainWindow);

    void setTitle(const QString& title) override;
    int addLine(const QString& line) override;
    void replaceLine(int index, const QString& line) override;
    int lineCount() const override;
    void scrollToEnd() override;
    void setProgress(int percent) override;
    int progress() const override;
    void show() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* m_mainWindow;
    QLabel* m_title;
    QPlainTextEdit* m_log;
    QProgressBar* m_progress;
    int m_lines = 0;
};
