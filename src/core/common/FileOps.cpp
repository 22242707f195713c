#include "FileOps.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace {

filesystem_testing::RenameFunction g_rename = &::rename;
qint64 g_copyFailureAfter = -1;

constexpr const char* kTemporarySuffix = ".kestrum-tmp";

bool statPath(const QString& path, struct stat& info) {
    if (path.isEmpty()) {
        return false;
    }
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// The file that a path really names: symbolic links resolved, so a link keeps pointing at it.
QByteArray resolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty()) {
            return QFile::encodeName(canonical);
        }
        return QFile::encodeName(info.symLinkTarget());
    }
    return QFile::encodeName(path);
}

// Opens "<final>.kestrum-tmp" exclusively after removing a leftover, with the given permissions.
int createTemporary(const QByteArray& finalPath, mode_t mode, QByteArray& temporaryPath) {
    temporaryPath = finalPath + kTemporarySuffix;
    ::unlink(temporaryPath.constData());
    return ::open(temporaryPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

// Flushes and closes fd, renames the temporary file over finalPath; removes it on failure.
bool commitTemporary(int fd, const QByteArray& temporaryPath, const QByteArray& finalPath,
                     qint64 expectedSize, qint64* flushNanoseconds = nullptr) {
    struct stat written {};
    QElapsedTimer flush;
    flush.start();
    bool ok = ::fsync(fd) == 0;
    if (flushNanoseconds) {
        *flushNanoseconds = flush.nsecsElapsed();
    }
    ok = ok && ::fstat(fd, &written) == 0 && written.st_size == expectedSize;
    ok = (::close(fd) == 0) && ok;
    ok = ok && g_rename(temporaryPath.constData(), finalPath.constData()) == 0;
    if (!ok) {
        ::unlink(temporaryPath.constData());
    }
    return ok;
}

mode_t permissionsOf(const QByteArray& path, mode_t fallback) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 ? (info.st_mode & 07777) : fallback;
}

bool copyAcrossFileSystems(const QByteArray& source, const QByteArray& target,
                           const struct stat& sourceInfo) {
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    QByteArray temporary;
    const int out = createTemporary(target, sourceInfo.st_mode & 07777, temporary);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    qint64 copied = 0;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (ok) {
        const ssize_t got = ::read(in, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (g_copyFailureAfter >= 0 && copied + got > g_copyFailureAfter) {
            ok = false;
            break;
        }
        ok = writeAll(out, buffer.constData(), got);
        copied += got;
    }
    ::close(in);
    if (!ok) {
        ::close(out);
        ::unlink(temporary.constData());
        return false;
    }
    return commitTemporary(out, temporary, target, sourceInfo.st_size);
}

}  // namespace

bool FileExistsNotFolder(const QString& path) {
    struct stat info {};
    return statPath(path, info) && !S_ISDIR(info.st_mode);
}

bool IsUsableFile(const QString& path) {
    struct stat info {};
    return statPath(path, info) && !S_ISDIR(info.st_mode) && info.st_size > 0;
}

qint64 FileSizeOf(const QString& path) {
    struct stat info {};
    return statPath(path, info) ? static_cast<qint64>(info.st_size) : -1;
}

bool MoveFileReplacing(const QString& source, const QString& target) {
    struct stat sourceInfo {};
    if (!statPath(source, sourceInfo) || S_ISDIR(sourceInfo.st_mode) || target.isEmpty()) {
        return false;
    }
    struct stat targetInfo {};
    if (statPath(target, targetInfo)) {
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
            return false;  // one file under two names: moving it onto itself would lose it
        }
        if (S_ISDIR(targetInfo.st_mode)) {
            return false;
        }
    }
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    if (g_rename(from.constData(), to.constData()) == 0) {
        return true;
    }
    if (errno != EXDEV) {
        return false;
    }
    if (!copyAcrossFileSystems(from, resolvedTarget(target), sourceInfo)) {
        return false;
    }
    return ::unlink(from.constData()) == 0;
}

void DeleteFolderFiles(const QString& folder) {
    if (folder.isEmpty()) {
        return;
    }
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!it.fileInfo().isDir()) {
            ::unlink(QFile::encodeName(path).constData());
        }
    }
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, qint64* flushNanoseconds) {
    const QByteArray finalPath = resolvedTarget(path);
    QByteArray temporary;
    const int fd = createTemporary(finalPath, permissionsOf(finalPath, 0666), temporary);
    if (fd < 0) {
        return false;
    }
    if (!writeAll(fd, bytes.constData(), bytes.size())) {
        ::close(fd);
        ::unlink(temporary.constData());
        return false;
    }
    return commitTemporary(fd, temporary, finalPath, bytes.size(), flushNanoseconds);
}

std::optional<QByteArray> readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

bool deleteFile(const QString& path) {
    return !path.isEmpty() && ::unlink(QFile::encodeName(path).constData()) == 0;
}

QString withTrailingSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/')) {
        return folder;
    }
    return folder + u'/';
}

QString folderOfPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

namespace filesystem_testing {
void setRename(RenameFunction rename) {
    g_rename = rename;
}
void setCopyFailureAfter(qint64 bytes) {
    g_copyFailureAfter = bytes;
}
void reset() {
    g_rename = &::rename;
    g_copyFailureAfter = -1;
}
}  // namespace filesystem_testing
