#include "Trash.h"

#include "FileOps.h"
#include "FileOpsDetail.h"

#include <QDir>
#include <QFile>

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

bool lstatOf(const QString& path, struct stat& info) {
    return ::lstat(encoded(path).constData(), &info) == 0;
}

// The device of the nearest folder of `path` that exists.
std::optional<dev_t> deviceOfNearest(QString path) {
    struct stat info {};
    while (::stat(encoded(path).constData(), &info) != 0) {
        if (path.isEmpty() || path == QStringLiteral("/")) {
            return std::nullopt;
        }
        const qsizetype slash = path.lastIndexOf(u'/');
        path = slash <= 0 ? QStringLiteral("/") : path.left(slash);
    }
    return info.st_dev;
}

// The top folder of the file system that holds `folder` (an existing folder).
QString topFolderOf(const QString& folder, dev_t device) {
    QString at = QDir(folder).canonicalPath();
    while (!at.isEmpty() && at != QStringLiteral("/")) {
        const qsizetype slash = at.lastIndexOf(u'/');
        const QString parent = slash <= 0 ? QStringLiteral("/") : at.left(slash);
        struct stat info {};
        if (::stat(encoded(parent).constData(), &info) != 0 || info.st_dev != device) {
            break;
        }
        at = parent;
    }
    return at;
}

// Makes a folder that belongs to the user alone when it is missing; true when it is then a real
// folder (not a link) the user owns.
bool ensureOwnFolder(const QString& path) {
    if (::mkdir(encoded(path).constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    return lstatOf(path, info) && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

bool ensureFolderPath(const QString& path) {
    return QDir().mkpath(path) && ensureOwnFolder(path);
}

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

QString errorText(const QString& what, const QString& path) {
    return QStringLiteral("%1 \"%2\": %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno)));
}

// "pacman.zip", then "pacman (2).zip", "pacman (3).zip"...
QString candidateName(const QString& name, int attempt) {
    if (attempt == 1) {
        return name;
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype split = dot > 0 ? dot : name.size();
    return name.left(split) + QStringLiteral(" (%1)").arg(attempt) + name.mid(split);
}

}  // namespace

QString homeTrashFolder() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        data = qEnvironmentVariable("HOME") + QStringLiteral("/.local/share");
    }
    return withoutTrailingSlash(data) + QStringLiteral("/Trash");
}

QString trashFolderFor(const QString& path) {
    struct stat file {};
    if (!lstatOf(path, file) && !lstatOf(folderOfPath(path), file)) {
        return {};  // neither the file nor its folder is there
    }
    const QString home = homeTrashFolder();
    if (deviceOfNearest(home) == file.st_dev) {
        return home;
    }
    const QString top = topFolderOf(folderOfPath(path), file.st_dev);
    if (top.isEmpty()) {
        return {};
    }
    const QString base = top == QStringLiteral("/") ? QString() : top;
    const QString uid = QString::number(::getuid());
    struct stat shared {};
    if (lstatOf(base + QStringLiteral("/.Trash"), shared) && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) != 0) {
        return base + QStringLiteral("/.Trash/") + uid;
    }
    return base + QStringLiteral("/.Trash-") + uid;
}

namespace {

// The trash for `path`, its folders made when missing; "" with `error` set when it cannot take files.
QString preparedTrash(const QString& path, QString& error) {
    const QString trash = trashFolderFor(path);
    if (trash.isEmpty()) {
        error = QStringLiteral("No trash folder was found for \"%1\"").arg(path);
        return {};
    }
    const bool home = trash == homeTrashFolder();
    if (!(home ? ensureFolderPath(trash) : ensureOwnFolder(trash)) ||
        !ensureOwnFolder(trash + QStringLiteral("/files")) ||
        !ensureOwnFolder(trash + QStringLiteral("/info"))) {
        error = QStringLiteral("The trash folder \"%1\" could not be made or is not usable").arg(trash);
        return {};
    }
    return trash;
}

}  // namespace

QString prepareTrashFor(const QString& path) {
    QString error;
    preparedTrash(path, error);
    return error;
}

TrashSlot reserveTrashSlot(const QString& originalPath, const QDateTime& deletedAt) {
    TrashSlot slot;
    const QString trash = preparedTrash(originalPath, slot.error);
    if (trash.isEmpty()) {
        return slot;
    }
    const QString files = trash + QStringLiteral("/files");
    const QString info = trash + QStringLiteral("/info");
    const QByteArray description =
        "[Trash Info]\nPath=" + encoded(originalPath).toPercentEncoding("/") +
        "\nDeletionDate=" + deletedAt.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() + '\n';
    const QString name = originalPath.mid(originalPath.lastIndexOf(u'/') + 1);
    for (int attempt = 1; attempt <= 10000; ++attempt) {
        const QString candidate = candidateName(name, attempt);
        const QString infoPath = info + u'/' + candidate + QStringLiteral(".trashinfo");
        const QString target = files + u'/' + candidate;
        // The information file is made first and exclusively: it reserves the name.
        const int fd = ::open(encoded(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            slot.error = errorText(QStringLiteral("Could not write in the trash folder"), info);
            return slot;
        }
        struct stat taken {};
        if (lstatOf(target, taken)) {
            ::close(fd);
            ::unlink(encoded(infoPath).constData());
            continue;  // a file left in the trash without its information
        }
        const bool written = fileops_detail::writeAll(fd, description.constData(), description.size());
        if (::close(fd) != 0 || !written) {
            slot.error = errorText(QStringLiteral("Could not write"), infoPath);
            ::unlink(encoded(infoPath).constData());
            return slot;
        }
        slot.path = target;
        slot.infoPath = infoPath;
        return slot;
    }
    slot.error = QStringLiteral("The trash folder \"%1\" has no free name for \"%2\"").arg(files, name);
    return slot;
}

void releaseTrashSlot(const TrashSlot& slot) {
    if (!slot.infoPath.isEmpty()) {
        ::unlink(encoded(slot.infoPath).constData());
    }
}

TrashOutcome moveToTrash(const QString& path, const QDateTime& deletedAt) {
    TrashOutcome outcome;
    struct stat file {};
    if (!lstatOf(path, file) || S_ISDIR(file.st_mode)) {
        outcome.error = QStringLiteral("\"%1\" is not a file that can go to the trash").arg(path);
        return outcome;
    }
    const TrashSlot slot = reserveTrashSlot(path, deletedAt);
    if (!slot.error.isEmpty()) {
        outcome.error = slot.error;
        return outcome;
    }
    if (fileops_detail::renameFile(encoded(path).constData(), encoded(slot.path).constData()) != 0) {
        outcome.error =
            errorText(QStringLiteral("Could not move the file to the trash folder"), folderOfPath(slot.path));
        releaseTrashSlot(slot);
        return outcome;
    }
    outcome.trashed = true;
    outcome.trashedAs = slot.path;
    return outcome;
}
