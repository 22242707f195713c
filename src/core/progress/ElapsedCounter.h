#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

// The wait window's elapsed-time counter: one one-second timer however often the window is
// shown, reset when it closes. The timer runs on the GUI thread, so each tick may update a label.
class ElapsedCounter final : public QObject {
    Q_OBJECT
public:
    explicit ElapsedCounter(QObject* parent = nullptr);

    void start();  // does nothing while already running
    void stop();   // back to 00:00
    void tick();   // one second more
    bool running() const { return m_timer.isActive(); }
    qint64 elapsed() const { return m_elapsed; }
    QString text() const;

Q_SIGNALS:
    void changed(const QString& text);

private:
    // A tick that came late (the GUI thread was busy) counts every second that passed.
    void catchUp();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_elapsed = 0;
};
