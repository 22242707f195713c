#include "ElapsedCounter.h"

#include "common/Text.h"

#include <algorithm>

ElapsedCounter::ElapsedCounter(QObject* parent) : QObject(parent) {
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ElapsedCounter::catchUp);
}

void ElapsedCounter::start() {
    if (m_timer.isActive()) {
        return;
    }
    m_elapsed = 0;
    m_clock.start();
    m_timer.start();
    Q_EMIT changed(text());
}

void ElapsedCounter::stop() {
    m_timer.stop();
    m_elapsed = 0;
    Q_EMIT changed(text());
}

void ElapsedCounter::tick() {
    m_elapsed += 1000;
    Q_EMIT changed(text());
}

void ElapsedCounter::catchUp() {
    m_elapsed = std::max(m_elapsed + 1000, m_clock.elapsed() / 1000 * 1000);
    Q_EMIT changed(text());
}

QString ElapsedCounter::text() const {
    return FormatElapsed(m_elapsed, 1);
}
