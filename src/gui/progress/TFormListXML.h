#pragma once

#include "progress/ElapsedCounter.h"
#include "progress/ProgressWindows.h"

#include <QWidget>

class QLabel;
class QProgressBar;

// The borderless, always-on-top "please wait" window with its elapsed-time counter.
class TFormListXML final : public QWidget, public WaitWindow {
    Q_OBJECT
public:
    explicit TFormListXML(QWidget* mainWindow);

    void show() override;
    void setMessage(const QString& text) override;
    void setProgress(int percent) override;
    int progress() const override;
    void close() override;

    ElapsedCounter& counter() { return m_counter; }

private:
    QWidget* m_mainWindow;
    QLabel* m_message;
    QLabel* m_timer;
    QProgressBar* m_progress;
    ElapsedCounter m_counter;
};
