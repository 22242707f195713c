// The pieces FileOps.cpp, FileMove.cpp and Trash.cpp share; not for other files.
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace fileops_detail {

// Every rename and unlink of the file operations goes through these, so tests can make them fail.
int renameFile(const char* from, const char* to);
int unlinkFile(const char* path);
// The copy across file systems fails after this many bytes when it is not negative (tests).
qint64 copyFailureAfter();

bool statPath(const QString& path, struct stat& info);
// A regular file (after links) that the user may change: one with a write permission bit.
inline bool isChangeable(const struct stat& info) {
    return S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0;
}
bool writeAll(int fd, const char* data, qint64 size);
// The file that a path really names: symbolic links resolved, so a link keeps pointing at it.
QByteArray resolvedTarget(const QString& path);
// Opens "<final>.kestrum-tmp" exclusively after removing a leftover, with the given permissions.
int createTemporary(const QByteArray& finalPath, mode_t mode, QByteArray& temporaryPath);
// Flushes and closes fd and checks the file's size; removes the temporary file on failure.
bool closeTemporary(int fd, const QByteArray& temporaryPath, qint64 expectedSize,
                    qint64* flushNanoseconds = nullptr);
// closeTemporary, then renames the temporary file over finalPath; removes it on failure.
bool commitTemporary(int fd, const QByteArray& temporaryPath, const QByteArray& finalPath,
                     qint64 expectedSize, qint64* flushNanoseconds = nullptr);

}  // namespace fileops_detail
