// The file I/O of an archive commit, in one layer so that tests can make any step fail.
#pragma once

#include <QtGlobal>

#include <sys/stat.h>
#include <sys/types.h>

namespace zipio {

// Each returns what the system call returns and sets errno on failure.
int openFile(const char* path, int flags, mode_t mode = 0);
int unlinkFile(const char* path);
int changeMode(int fd, mode_t mode);
ssize_t readAt(int fd, void* buffer, size_t size, off_t offset);
ssize_t writeSome(int fd, const void* data, size_t size);
// copy_file_range from `in` at *inOffset to the current position of `out`.
ssize_t copyRange(int in, off_t* inOffset, int out, size_t size);
// sync_file_range: starts writing the given bytes to disk, without waiting for them.
int startWriteback(int fd, off_t offset, off_t size);
int flush(int fd);
int statFile(int fd, struct stat* info);
int closeFile(int fd);
int renameFile(const char* from, const char* to);

// ZIP64 is written for counts and for sizes or offsets at or above these limits.
quint64 zip64CountLimit();
quint64 zip64ByteLimit();
// How many bytes of the temporary file are written before the disk is told to start writing them.
quint64 writebackStep();

}  // namespace zipio

namespace zip_testing {
// The n-th call of the layer from now on (1-based) fails with EIO; 0 fails none.
void failCall(int n);
// The n-th call of the layer from now on (1-based) kills the process with SIGKILL before it acts,
// as a power cut or a killed program would stop a commit; 0 kills at none.
void killAtCall(int n);
// The calls made through the layer since the last reset.
int callCount();
// copy_file_range answers EXDEV, as it does between file systems, so the buffered copy runs.
void refuseCopyRange(bool refuse);
// Lowers the ZIP64 limits so that small archives take the ZIP64 paths.
void setZip64Limits(quint64 count, quint64 bytes);
// Lowers the step of the early writeback so that small archives take that path.
void setWritebackStep(quint64 bytes);
void reset();
}  // namespace zip_testing
