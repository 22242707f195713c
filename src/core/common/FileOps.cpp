#include "FileOps.h"
#include "FileOpsDetail.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

filesystem_testing::RenameFunction g_rename = &::rename;
filesystem_testing::UnlinkFunction g_unlink = &::unlink;
qint64 g_copyFailureAfter = -1;

constexpr const char* kTemporarySuffix = ".kestrum-tmp";

mode_t permissionsOf(const QByteArray& path, mode_t fallback) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 ? (info.st_mode & 07777) : fallback;
}

}  // namespace

namespace fileops_detail {

int renameFile(const char* from, const char* to) {
    return g_rename(from, to);
}

int unlinkFile(const char* path) {
    return g_unlink(path);
}

qint64 copyFailureAfter() {
    return g_copyFailureAfter;
}

bool statPath(const QString& path, struct stat& info) {
    // The system reads a path up to its first NUL: one holding a NUL would be taken for the
    // shorter path before it, so it names no file at all.
    if (path.isEmpty() || path.contains(QChar(u'\0'))) {
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

int createTemporary(const QByteArray& finalPath, mode_t mode, QByteArray& temporaryPath) {
    temporaryPath = finalPath + kTemporarySuffix;
    ::unlink(temporaryPath.constData());
    return ::open(temporaryPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

bool closeTemporary(int fd, const QByteArray& temporaryPath, qint64 expectedSize, qint64* flushNanoseconds) {
    struct stat written {};
    QElapsedTimer flush;
    flush.start();
    bool ok = ::fsync(fd) == 0;
    if (flushNanoseconds) {
        *flushNanoseconds = flush.nsecsElapsed();
    }
    ok = ok && ::fstat(fd, &written) == 0 && written.st_size == expectedSize;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(temporaryPath.constData());
    }
    return ok;
}

bool commitTemporary(int fd, const QByteArray& temporaryPath, const QByteArray& finalPath,
                     qint64 expectedSize, qint64* flushNanoseconds) {
    if (!closeTemporary(fd, temporaryPath, expectedSize, flushNanoseconds)) {
        return false;
    }
    if (g_rename(temporaryPath.constData(), finalPath.constData()) != 0) {
        ::unlink(temporaryPath.constData());
        return false;
    }
    return true;
}

}  // namespace fileops_detail

using namespace fileops_detail;

bool FileExistsNotFolder(const QString& path) {
    struct stat info {};
    return statPath(path, info) && S_ISREG(info.st_mode);
}

bool IsUsableFile(const QString& path) {
    struct stat info {};
    return statPath(path, info) && S_ISREG(info.st_mode) && info.st_size > 0;
}

bool isExecutableFile(const QString& path) {
    struct stat info {};
    return statPath(path, info) && S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0;
}

bool isFolderWritable(const QString& folder) {
    struct stat info {};
    if (!statPath(folder, info) || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (info.st_uid == ::geteuid()) {
        return (info.st_mode & S_IWUSR) != 0;
    }
    bool inGroup = info.st_gid == ::getegid();
    if (!inGroup) {
        const int count = ::getgroups(0, nullptr);
        std::vector<gid_t> groups(size_t(std::max(count, 0)));
        const int got = count > 0 ? ::getgroups(count, groups.data()) : 0;
        inGroup = std::find(groups.begin(), groups.begin() + std::max(got, 0), info.st_gid) != groups.end();
    }
    return (info.st_mode & (inGroup ? S_IWGRP : S_IWOTH)) != 0;
}

bool isProtectedFile(const QString& path) {
    struct stat info {};
    return statPath(path, info) && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
}

std::optional<FileStatus> fileStatusOf(const QString& path) {
    struct stat info {};
    if (!statPath(path, info)) {
        return std::nullopt;
    }
    FileStatus status;
    status.device = quint64(info.st_dev);
    status.inode = quint64(info.st_ino);
    status.file = S_ISREG(info.st_mode);
    status.folder = S_ISDIR(info.st_mode);
    status.writable = (info.st_mode & 0222) != 0;
    status.size = qint64(info.st_size);
    return status;
}

qint64 FileSizeOf(const QString& path) {
    struct stat info {};
    return statPath(path, info) ? static_cast<qint64>(info.st_size) : -1;
}

QStringList DeleteFolderFiles(const QString& folder, const RemoveFile& remove) {
    QStringList deleted;
    if (folder.isEmpty()) {
        return deleted;
    }
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        if (deleteContentFile(it.next(), remove)) {
            deleted.append(it.fileName());
        }
    }
    deleted.sort();
    return deleted;
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

bool deleteContentFile(const QString& path, const RemoveFile& remove) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    // A link goes as a link; the file it names must still be one the user may change.
    struct stat named {};
    if (!statPath(path, named) || !isChangeable(named)) {
        return false;
    }
    return remove ? remove(path) : g_unlink(QFile::encodeName(path).constData()) == 0;
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
void setUnlink(UnlinkFunction unlink) {
    g_unlink = unlink;
}
void setCopyFailureAfter(qint64 bytes) {
    g_copyFailureAfter = bytes;
}
void reset() {
    g_rename = &::rename;
    g_unlink = &::unlink;
    g_copyFailureAfter = -1;
}
}  // namespace filesystem_testing
