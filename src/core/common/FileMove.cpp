#include "FileOps.h"
#include "FileOpsDetail.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

using namespace fileops_detail;

namespace {

// The file's data under the temporary name beside `target`, flushed and its size checked; the
// name of that copy, or "" (nothing left behind) on failure.
QByteArray copyBeside(const QByteArray& source, const QByteArray& target, const struct stat& sourceInfo) {
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return {};
    }
    QByteArray temporary;
    const int out = createTemporary(target, sourceInfo.st_mode & 07777, temporary);
    if (out < 0) {
        ::close(in);
        return {};
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
        if (copyFailureAfter() >= 0 && copied + got > copyFailureAfter()) {
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
        return {};
    }
    return closeTemporary(out, temporary, sourceInfo.st_size) ? temporary : QByteArray();
}

// A name beside `path` that nothing uses yet. It does not end in ".kestrum-tmp": those leftovers
// are removed on sight, and after a crash this one may hold the only copy of the file.
QByteArray asideName(const QByteArray& path, const char* suffix) {
    QByteArray name = path + suffix;
    struct stat info {};
    for (int n = 2; ::lstat(name.constData(), &info) == 0; ++n) {
        name = path + suffix + '-' + QByteArray::number(n);
    }
    return name;
}

// Across file systems, step by step, each undone when a later one fails: the source is put aside
// in its own folder (proving it can go), copied beside the target, the old target put aside, the
// copy renamed into place, and only then are the two aside names removed.
bool moveAcrossFileSystems(const QByteArray& source, const QByteArray& target, const struct stat& sourceInfo,
                           bool targetExists) {
    const QByteArray sourceAside = asideName(source, ".kestrum-moving");
    if (renameFile(source.constData(), sourceAside.constData()) != 0) {
        return false;
    }
    const auto restoreSource = [&] { renameFile(sourceAside.constData(), source.constData()); };
    const QByteArray copy = copyBeside(sourceAside, target, sourceInfo);
    if (copy.isEmpty()) {
        restoreSource();
        return false;
    }
    const QByteArray targetAside = targetExists ? asideName(target, ".kestrum-replaced") : QByteArray();
    if (targetExists && renameFile(target.constData(), targetAside.constData()) != 0) {
        ::unlink(copy.constData());
        restoreSource();
        return false;
    }
    const auto restoreTarget = [&] {
        if (targetExists) {
            renameFile(targetAside.constData(), target.constData());
        }
    };
    if (renameFile(copy.constData(), target.constData()) != 0) {
        ::unlink(copy.constData());
        restoreTarget();
        restoreSource();
        return false;
    }
    if (unlinkFile(sourceAside.constData()) != 0) {
        ::unlink(target.constData());
        restoreTarget();
        restoreSource();
        return false;
    }
    if (targetExists) {
        unlinkFile(targetAside.constData());  // the move is done; at worst a stale copy stays aside
    }
    return true;
}

}  // namespace

bool MoveFileReplacing(const QString& source, const QString& target) {
    struct stat sourceInfo {};
    if (!statPath(source, sourceInfo) || !isChangeable(sourceInfo) || target.isEmpty()) {
        return false;
    }
    struct stat targetInfo {};
    const bool targetExists = statPath(target, targetInfo);
    if (targetExists) {
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
            return false;  // one file under two names: moving it onto itself would lose it
        }
        if (!isChangeable(targetInfo)) {
            return false;  // a folder, a special file or a protected file is never replaced
        }
    }
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    if (renameFile(from.constData(), to.constData()) == 0) {
        return true;
    }
    if (errno != EXDEV) {
        return false;
    }
    return moveAcrossFileSystems(from, resolvedTarget(target), sourceInfo, targetExists);
}
