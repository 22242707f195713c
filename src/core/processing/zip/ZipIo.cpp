#include "ZipIo.h"

#include <fcntl.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace {

constexpr quint64 kCountLimit = 0xFFFF;
constexpr quint64 kByteLimit = 0xFFFFFFFF;
constexpr quint64 kWritebackStep = 16 << 20;

std::atomic<int> g_calls = 0;
int g_failingCall = 0;
int g_killingCall = 0;
bool g_refuseCopyRange = false;
quint64 g_countLimit = kCountLimit;
quint64 g_byteLimit = kByteLimit;
quint64 g_writebackStep = kWritebackStep;

// Counts the call and stops the process at the kill point; true when this call is to fail.
bool injectFailure() {
    const int call = ++g_calls;
    if (g_killingCall != 0 && call == g_killingCall) {
        ::kill(::getpid(), SIGKILL);
    }
    if (g_failingCall != 0 && call == g_failingCall) {
        errno = EIO;
        return true;
    }
    return false;
}

}  // namespace

namespace zipio {

int openFile(const char* path, int flags, mode_t mode) {
    return injectFailure() ? -1 : ::open(path, flags, mode);
}

int unlinkFile(const char* path) {
    return injectFailure() ? -1 : ::unlink(path);
}

int changeMode(int fd, mode_t mode) {
    return injectFailure() ? -1 : ::fchmod(fd, mode);
}

ssize_t readAt(int fd, void* buffer, size_t size, off_t offset) {
    return injectFailure() ? -1 : ::pread(fd, buffer, size, offset);
}

ssize_t writeSome(int fd, const void* data, size_t size) {
    return injectFailure() ? -1 : ::write(fd, data, size);
}

ssize_t copyRange(int in, off_t* inOffset, int out, size_t size) {
    if (injectFailure()) {
        return -1;
    }
    if (g_refuseCopyRange) {
        errno = EXDEV;
        return -1;
    }
    return ::copy_file_range(in, inOffset, out, nullptr, size, 0);
}

int startWriteback(int fd, off_t offset, off_t size) {
    return injectFailure() ? -1 : ::sync_file_range(fd, offset, size, SYNC_FILE_RANGE_WRITE);
}

int flush(int fd) {
    return injectFailure() ? -1 : ::fsync(fd);
}

int statFile(int fd, struct stat* info) {
    return injectFailure() ? -1 : ::fstat(fd, info);
}

int closeFile(int fd) {
    if (injectFailure()) {
        ::close(fd);  // the descriptor is gone either way, as after a real failing close
        return -1;
    }
    return ::close(fd);
}

int renameFile(const char* from, const char* to) {
    return injectFailure() ? -1 : ::rename(from, to);
}

quint64 zip64CountLimit() {
    return g_countLimit;
}

quint64 zip64ByteLimit() {
    return g_byteLimit;
}

quint64 writebackStep() {
    return g_writebackStep;
}

}  // namespace zipio

namespace zip_testing {

void failCall(int n) {
    g_calls = 0;
    g_failingCall = n;
}

void killAtCall(int n) {
    g_calls = 0;
    g_killingCall = n;
}

int callCount() {
    return g_calls;
}

void refuseCopyRange(bool refuse) {
    g_refuseCopyRange = refuse;
}

void setZip64Limits(quint64 count, quint64 bytes) {
    g_countLimit = count;
    g_byteLimit = bytes;
}

void setWritebackStep(quint64 bytes) {
    g_writebackStep = bytes;
}

void reset() {
    g_calls = 0;
    g_failingCall = 0;
    g_killingCall = 0;
    g_refuseCopyRange = false;
    g_countLimit = kCountLimit;
    g_byteLimit = kByteLimit;
    g_writebackStep = kWritebackStep;
}

}  // namespace zip_testing
