#pragma once

#include "common/RunControl.h"

#include <QString>

class DialogPort;

// The forward-only progress rule of both windows: done * 100 / total, truncated, taken only when
// it is greater than the bar's current value; nothing happens for a total below 2.
int forwardProgress(int current, qint64 done, qint64 total);

// The progress bar of both windows.
class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual void setProgress(int percent) = 0;
    virtual int progress() const = 0;

    // Moves the bar forward to done of total (the rule above); never back.
    void advance(qint64 done, qint64 total) {
        const int next = forwardProgress(progress(), done, total);
        if (next != progress()) {
            setProgress(next);
        }
    }
};

// The borderless "please wait" window shown while the games list is built or loaded.
class WaitWindow : public ProgressBar {
public:
    virtual void show() = 0;
    // Shows the text at once, before the caller's long work begins.
    virtual void setMessage(const QString& text) = 0;
    virtual void close() = 0;
};

// The log window of the processing job.
class LogWindow : public ProgressBar {
public:
    virtual void setTitle(const QString& title) = 0;
    virtual int addLine(const QString& line) = 0;  // the new line's index
    // An index that no longer exists (the window was closed meanwhile) changes nothing.
    virtual void replaceLine(int index, const QString& line) = 0;
    virtual int lineCount() const = 0;
    virtual void scrollToEnd() = 0;
    virtual void show() = 0;

    void ResetJobProgress() { setProgress(0); }
    void UpdateJobProgress(qint64 done, qint64 total) { advance(done, total); }

    // The job's run: the job reports its start and end and reads the stop between games and between
    // archives; the window shows its Stop button while the job runs.
    RunControl& jobRun() { return m_jobRun; }

private:
    RunControl m_jobRun;
};

// The log window's "Save Log...": asks where, writes `text` there (CR LF line ends) and says where it
// wrote or that it could not, naming the file. The path written, or "" (cancelled or failed).
QString SaveLogText(const QString& text, DialogPort& port, const QString& programFolder);
