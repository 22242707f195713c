#pragma once

#include <functional>

// Whether a piece of work the user may stop runs now, and whether the user asked to stop it: an
// outside program (the emulator), whose runner reports its runs and polls for the stop, or a
// processing job, which reads the stop between games and between archives. A window's Stop button
// and a close request of the main window ask for the stop.
class RunControl {
public:
    bool running() const { return m_running; }
    bool stopRequested() const { return m_stopRequested; }
    // Asked while nothing runs, it is forgotten.
    void requestStop() {
        if (m_running) {
            m_stopRequested = true;
        }
    }

    // A new piece of work starts: a stop asked for an earlier run is forgotten.
    void forgetStop() { m_stopRequested = false; }

    // The runner's side.
    void runStarted() {
        m_running = true;
        m_stopRequested = false;
        notify();
    }
    void runEnded() {
        m_running = false;
        notify();
    }

    // The window shows its Stop button while a run goes on.
    std::function<void(bool running)> onRunningChanged;

private:
    void notify() {
        if (onRunningChanged) {
            onRunningChanged(m_running);
        }
    }
    bool m_running = false;
    bool m_stopRequested = false;
};
