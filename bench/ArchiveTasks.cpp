// An archive commit through the real engine (or libzip) on a real-sized archive: open, list, the
// changes and the commit with its flush to disk, timed together.
#include "BenchSupport.h"
#include "processing/zip/ZipArchive.h"
#include "processing/zip/ZipIo.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#ifdef KESTRUM_HAVE_LIBZIP
#include <zip.h>
#endif

namespace {

enum class Action { Rename, Delete, Restore };

struct Figures {
    qint64 entries = 0;
    qint64 changed = 0;
    double open = 0;
    double list = 0;
    double changes = 0;
    double commit = 0;
    int calls = 0;
};

// The seconds since the last lap.
double lap(QElapsedTimer& clock) {
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    return seconds;
}

// COUNT of `names` spread evenly over the list, in its order.
QStringList spreadPick(const QStringList& names, qint64 count) {
    QStringList picked;
    count = std::min<qint64>(count, names.size());
    for (qint64 i = 0; i < count; ++i) {
        picked.append(names[i * names.size() / count]);
    }
    return picked;
}

QStringList withSuffix(const QStringList& names, const QString& suffix) {
    QStringList out;
    for (const QString& name : names) {
        if (name.endsWith(suffix, Qt::CaseInsensitive)) {
            out.append(name);
        }
    }
    return out;
}

// A plain copy (no shared extents) flushed to disk, so that the commit starts from clean pages.
bool copyFlushed(const QString& from, const QString& to) {
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = in >= 0 && out >= 0;
    constexpr size_t kSize = 8 << 20;
    const auto buffer = std::make_unique<char[]>(kSize);
    while (ok) {
        const ssize_t got = ::read(in, buffer.get(), kSize);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = ::write(out, buffer.get(), size_t(got)) == got;
    }
    ok = ok && ::fsync(out) == 0;
    if (in >= 0) {
        ::close(in);
    }
    if (out >= 0) {
        ok = ::close(out) == 0 && ok;
    }
    return ok;
}

Figures ownEngine(const QString& path, Action action, qint64 count, int killAt) {
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    ZipArchive archive;
    archive.open(path);
    figures.open = lap(clock);
    const QStringList names = archive.names();
    figures.entries = names.size();
    figures.list = lap(clock);
    const QStringList picked = spreadPick(
        withSuffix(names, action == Action::Restore ? QStringLiteral(".krm") : QStringLiteral(".png")),
        count);
    archive.beginUpdate();
    for (const QString& name : picked) {
        if (action == Action::Rename) {
            archive.renameEntry(name);
        } else if (action == Action::Restore) {
            archive.restoreEntry(name);
        } else {
            archive.deleteEntry(name);
        }
    }
    figures.changed = picked.size();
    figures.changes = lap(clock);
    zip_testing::killAtCall(killAt);
    archive.commitUpdate();
    figures.calls = zip_testing::callCount();
    figures.commit = lap(clock);
    return figures;
}

#ifdef KESTRUM_HAVE_LIBZIP
QString libzipError(zip_t* archive) {
    return QString::fromUtf8(zip_strerror(archive));
}

// The same changes committed by libzip; its commit is followed by the flush ours does.
Figures libzipEngine(const QString& path, Action action, qint64 count) {
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), 0, &error);
    if (archive == nullptr) {
        throw ZipError::about(path, QStringLiteral("libzip cannot open it (error %1)").arg(error));
    }
    figures.open = lap(clock);
    QStringList names;
    const zip_int64_t total = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < total; ++i) {
        names.append(QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0)));
    }
    figures.entries = names.size();
    figures.list = lap(clock);
    const QStringList picked = spreadPick(
        withSuffix(names, action == Action::Restore ? QStringLiteral(".krm") : QStringLiteral(".png")),
        count);
    for (const QString& name : picked) {
        const QByteArray stored = name.toUtf8();
        const zip_int64_t index = zip_name_locate(archive, stored.constData(), 0);
        bool done = index >= 0;
        if (done && action == Action::Delete) {
            done = zip_delete(archive, zip_uint64_t(index)) == 0;
        } else if (done) {
            const QByteArray renamed = action == Action::Rename ? stored + ".krm" : stored.chopped(4);
            done = zip_file_rename(archive, zip_uint64_t(index), renamed.constData(), ZIP_FL_ENC_GUESS) == 0;
        }
        if (!done) {
            const QString why = libzipError(archive);
            zip_discard(archive);
            throw ZipError::about(path, QStringLiteral("libzip cannot change %1: %2").arg(name, why));
        }
    }
    figures.changed = picked.size();
    figures.changes = lap(clock);
    if (zip_close(archive) != 0) {
        const QString why = libzipError(archive);
        zip_discard(archive);
        throw ZipError::about(path, QStringLiteral("libzip cannot commit: %1").arg(why));
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const QString folder = QFileInfo(path).absolutePath();
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = fd >= 0 && ::fsync(fd) == 0 && folderFd >= 0 && ::fsync(folderFd) == 0;
    const int flushError = errno;
    ::close(fd);
    ::close(folderFd);
    if (!flushed) {
        throw ZipError::about(path, QStringLiteral("cannot flush libzip's archive"), flushError);
    }
    figures.commit = lap(clock);
    return figures;
}
#endif

}  // namespace

int timeArchiveCommit(const QStringList& args) {
    const QString source = args.value(1);
    const QString engine = optionValue(args, QStringLiteral("--engine"));
    const bool inPlace = args.contains(QStringLiteral("--in-place"));
    Action action = Action::Rename;
    QString flag = QStringLiteral("--rename");
    if (args.contains(QStringLiteral("--delete"))) {
        action = Action::Delete;
        flag = QStringLiteral("--delete");
    } else if (args.contains(QStringLiteral("--restore"))) {
        action = Action::Restore;
        flag = QStringLiteral("--restore");
    } else if (!args.contains(flag)) {
        return 2;
    }
    bool countOk = false;
    const qint64 count = optionValue(args, flag).toLongLong(&countOk);
    if (source.isEmpty() || !countOk || count < 0 ||
        (!engine.isEmpty() && engine != QStringLiteral("libzip"))) {
        return 2;
    }
    // Only interruption tests set a kill point, and only on an archive they made for it.
    int killAt = 0;
    if (inPlace) {
        killAt = qEnvironmentVariableIntValue("KESTRUM_ZIP_KILL_AT");
    }

    const QString keep = optionValue(args, QStringLiteral("--keep"));
    // The copy lies beside the archive, on the same file system.
    const QString work = inPlace ? source : !keep.isEmpty() ? keep : source + QStringLiteral(".bench-copy");
    if (!inPlace && !copyFlushed(source, work)) {
        std::fprintf(stderr, "cannot copy %s to %s\n", qPrintable(source), qPrintable(work));
        return 1;
    }
    Figures figures;
    QString failure;
    try {
        if (engine.isEmpty()) {
            figures = ownEngine(work, action, count, killAt);
        } else {
#ifdef KESTRUM_HAVE_LIBZIP
            figures = libzipEngine(work, action, count);
#else
            failure = QStringLiteral("this build has no libzip");
#endif
        }
    } catch (const ZipError& error) {
        failure = error.message();
    }
    const qint64 bytes = QFileInfo(work).size();
    if (!inPlace && keep.isEmpty()) {
        QFile::remove(work);
    }
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    const double seconds = figures.open + figures.list + figures.changes + figures.commit;
    printLine(
        QStringLiteral("{\"task\":\"archive\",\"engine\":%1,\"action\":%2,\"seconds\":%3,\"entries\":%4,"
                       "\"changed\":%5,\"open_seconds\":%6,\"list_seconds\":%7,\"change_seconds\":%8,"
                       "\"commit_seconds\":%9,\"bytes_after\":%10,\"commit_calls\":%11,\"peak_rss_mb\":%12}")
            .arg(jsonText(engine.isEmpty() ? QStringLiteral("kestrum") : engine), jsonText(flag.mid(2)))
            .arg(seconds, 0, 'f', 4)
            .arg(figures.entries)
            .arg(figures.changed)
            .arg(figures.open, 0, 'f', 4)
            .arg(figures.list, 0, 'f', 4)
            .arg(figures.changes, 0, 'f', 4)
            .arg(figures.commit, 0, 'f', 4)
            .arg(bytes)
            // libzip's calls do not go through our I/O layer
            .arg(engine.isEmpty() ? QString::number(figures.calls) : QStringLiteral("null"))
            .arg(peakRssMegabytes(), 0, 'f', 1));
    return 0;
}
