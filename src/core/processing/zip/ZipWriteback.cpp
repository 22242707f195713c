#include "ZipWriteback.h"
#include "ZipIo.h"

#include <cerrno>

void ZipWriteback::writtenUpTo(quint64 end) {
    {
        std::lock_guard lock(m_mutex);
        if (end - m_given < zipio::writebackStep()) {
            return;
        }
        m_given = end;
        m_steps.push_back(end);
    }
    if (!m_thread.joinable()) {
        m_thread = std::thread(&ZipWriteback::run, this);
    }
    m_wake.notify_one();
}

int ZipWriteback::finish() {
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_finishing = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    return m_error;
}

void ZipWriteback::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_finishing || !m_steps.empty(); });
        if (m_steps.empty()) {
            return;
        }
        const quint64 from = m_started;
        const quint64 to = m_steps.front();
        m_steps.pop_front();
        lock.unlock();
        // A file system that cannot do it writes everything at the flush instead.
        const int result = zipio::startWriteback(m_fd, off_t(from), off_t(to - from));
        const int error =
            result == 0 || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == ESPIPE
                ? 0
                : errno;
        lock.lock();
        m_started = to;
        if (error != 0 && m_error == 0) {
            m_error = error;
        }
    }
}
