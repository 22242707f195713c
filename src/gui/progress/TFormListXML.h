#pragma once

#include "progress/ElapsedCounter.h"
#include "progress/ProgressWindows.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class RunControl;

// The borderless, always-on-top "please wait" window with its elapsed-time counter.
class TFormListXML final : public QWidget, public WaitWindow {
    Q_OBJECT
public:
    // `runs` tells when the emulator runs: the Stop button shows then and asks it to stop.
    TFormListXML(QWidget* mainWindow, RunControl& runs);

    void show() override;
    void setMessage(const QString& text) override;
    void setProgress(int percent) override;
    int progress() const override;
    void close() override;

    ElapsedCounter& counter() { return m_counter; }

protected:
    // A close request the desktop sends to this window (from a task bar, say) is one for the
    // program: the main window's, which asks first while the emulator runs. This window ends with
    // its work.
    void closeEvent(QCloseEvent* event) override;

private:
    void showStop(bool shown);

    QWidget* m_mainWindow;
    QLabel* m_message;
    QLabel* m_timer;
    QProgressBar* m_progress;
    QPushButton* m_stop;
    ElapsedCounter m_counter;
};
