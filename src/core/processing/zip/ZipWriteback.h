// Early writeback of a file being written: the disk writes each finished step while the writer
// goes on with the next.
#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class ZipWriteback {
public:
    explicit ZipWriteback(int fd) : m_fd(fd) {}
    ~ZipWriteback() { finish(); }
    ZipWriteback(const ZipWriteback&) = delete;
    ZipWriteback& operator=(const ZipWriteback&) = delete;

    // The file is written up to `end`: once a whole step is waiting, a second thread starts the
    // disk on it. Starting the writeback costs as much processor time as the copy itself (the file
    // system places the blocks then), so it is kept off the writer's thread.
    void writtenUpTo(quint64 end);
    // Waits for the second thread to have started every step given to it; the errno of a
    // writeback that failed, or 0. The flush that follows writes whatever is left.
    int finish();

private:
    void run();

    int m_fd;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    quint64 m_given = 0;          // bytes handed to the thread
    std::deque<quint64> m_steps;  // the ends of the steps the thread has yet to start, in order
    quint64 m_started = 0;        // bytes the thread has started writing back
    bool m_finishing = false;
    int m_error = 0;
};
