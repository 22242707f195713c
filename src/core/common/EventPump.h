#pragma once

#include "DialogPort.h"

#include <QElapsedTimer>

// Keeps the window alive inside long loops without paying for it on every item: pending events
// are processed at most every `intervalMs`, and the clock is read only every `stride` calls.
class EventPump {
public:
    explicit EventPump(DialogPort& port, int intervalMs = 30, unsigned stride = 1024)
        : m_port(port), m_interval(intervalMs), m_strideMask(stride - 1) {
        m_clock.start();
    }
    void tick() {
        if ((++m_calls & m_strideMask) == 0 && m_clock.elapsed() >= m_interval) {
            m_port.processPendingEvents();
            m_clock.restart();
        }
    }

private:
    DialogPort& m_port;
    QElapsedTimer m_clock;
    qint64 m_interval;
    unsigned m_strideMask;  // stride must be a power of two
    unsigned m_calls = 0;
};
