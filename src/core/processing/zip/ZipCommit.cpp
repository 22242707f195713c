// The commit: the new archive is written beside the old one and renamed over it once it is whole.
#include "ZipArchive.h"
#include "ZipFormat.h"
#include "ZipIo.h"
#include "ZipWriteback.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <thread>

using namespace zipformat;

namespace {

constexpr const char* kTemporarySuffix = ".kestrum-tmp";
constexpr quint64 kBufferSize = 8 << 20;

// The extra field without the subfields `id`; bytes after the last whole subfield stay.
QByteArray withoutSubfield(QByteArrayView extra, quint16 id) {
    QByteArray out;
    qsizetype at = 0;
    while (extra.size() - at >= 4) {
        const qsizetype length = 4 + read16(extra.data() + at + 2);
        if (extra.size() - at < length) {
            break;
        }
        if (read16(extra.data() + at) != id) {
            out.append(extra.sliced(at, length));
        }
        at += length;
    }
    out.append(extra.sliced(at));
    return out;
}

// The extra field with `data` as its ZIP64 subfield, in place of the old one or first.
QByteArray withZip64(QByteArrayView extra, const QByteArray& data) {
    QByteArray subfield;
    append16(subfield, kExtraZip64);
    append16(subfield, quint16(data.size()));
    subfield += data;
    qsizetype at = 0;
    while (extra.size() - at >= 4) {
        const qsizetype length = 4 + read16(extra.data() + at + 2);
        if (extra.size() - at < length) {
            break;
        }
        if (read16(extra.data() + at) == kExtraZip64) {
            return extra.first(at).toByteArray() + subfield + extra.sliced(at + length).toByteArray();
        }
        at += length;
    }
    return subfield + extra.toByteArray();
}

// The temporary copy being written: removed again unless it was renamed over the archive.
class TemporaryCopy {
public:
    TemporaryCopy(const QString& archive, int source, const QByteArray& path)
        : m_archive(archive), m_source(source), m_path(path) {}
    ~TemporaryCopy() {
        m_writeback.reset();
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (m_created && !m_renamed) {
            ::unlink(m_path.constData());
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    void create(mode_t mode) {
        // A leftover of an interrupted commit goes first; the new copy is created exclusively.
        if (zipio::unlinkFile(m_path.constData()) != 0 && errno != ENOENT) {
            fail(QStringLiteral("cannot remove the leftover temporary file"), errno);
        }
        m_fd = zipio::openFile(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            fail(QStringLiteral("cannot create the temporary file"), errno);
        }
        m_created = true;
        m_writeback = std::make_unique<ZipWriteback>(m_fd);
        if (zipio::changeMode(m_fd, mode) != 0) {
            fail(QStringLiteral("cannot give the temporary file the archive's permissions"), errno);
        }
    }

    void write(const char* data, qsizetype size) {
        while (size > 0) {
            const ssize_t written = zipio::writeSome(m_fd, data, size_t(size));
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                fail(QStringLiteral("cannot write the temporary file"), written < 0 ? errno : ENOSPC);
            }
            data += written;
            size -= written;
            m_written += quint64(written);
        }
        m_writeback->writtenUpTo(m_written);
    }

    // Copies source bytes in large steps: copy_file_range, or a big buffer where it is refused.
    void copy(quint64 from, quint64 size) {
        off_t offset = off_t(from);
        while (size > 0 && !m_buffered) {
            const ssize_t copied =
                zipio::copyRange(m_source, &offset, m_fd, size_t(std::min(size, zipio::writebackStep())));
            if (copied > 0) {
                size -= quint64(copied);
                m_written += quint64(copied);
                m_writeback->writtenUpTo(m_written);
            } else if (copied < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                      errno == EOPNOTSUPP || errno == ETXTBSY)) {
                m_buffered = true;
            } else if (copied == 0 || errno != EINTR) {
                fail(QStringLiteral("cannot copy the entries into the temporary file"),
                     copied < 0 ? errno : EIO);
            }
        }
        while (size > 0) {
            if (!m_buffer) {
                m_buffer = std::make_unique<char[]>(kBufferSize);
            }
            const ssize_t got =
                zipio::readAt(m_source, m_buffer.get(), size_t(std::min(size, kBufferSize)), offset);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                fail(QStringLiteral("cannot read the archive"), got < 0 ? errno : EIO);
            }
            write(m_buffer.get(), got);
            offset += got;
            size -= quint64(got);
        }
    }

    // Flushes and closes the copy, then renames it over `target` and flushes the folder.
    void replace(const QByteArray& target) {
        if (const int error = m_writeback->finish()) {
            fail(QStringLiteral("cannot write the temporary file to disk"), error);
        }
        if (zipio::flush(m_fd) != 0) {
            fail(QStringLiteral("cannot flush the temporary file to disk"), errno);
        }
        struct stat info {};
        if (zipio::statFile(m_fd, &info) != 0) {
            fail(QStringLiteral("cannot check the temporary file"), errno);
        }
        if (quint64(info.st_size) != m_written) {
            fail(QStringLiteral("the temporary file has the wrong size"));
        }
        const int fd = m_fd;
        m_fd = -1;
        if (zipio::closeFile(fd) != 0) {
            fail(QStringLiteral("cannot close the temporary file"), errno);
        }
        if (zipio::renameFile(m_path.constData(), target.constData()) != 0) {
            fail(QStringLiteral("cannot put the temporary file in place of the archive"), errno);
        }
        m_renamed = true;
        // The archive is replaced and its data on disk: a folder that cannot be flushed (some
        // file systems refuse it) only leaves the rename less durable, so it is not an error.
        const QByteArray folder = target.left(target.lastIndexOf('/') + 1);
        const int folderFd = zipio::openFile(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0) {
            zipio::flush(folderFd);
            zipio::closeFile(folderFd);
        }
    }

private:
    [[noreturn]] void fail(const QString& what, int error = 0) const {
        throw ZipError::about(m_archive, QStringLiteral("%1 %2").arg(what, QFile::decodeName(m_path)), error);
    }

    QString m_archive;
    int m_source;
    QByteArray m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_renamed = false;
    bool m_buffered = false;
    quint64 m_written = 0;
    std::unique_ptr<ZipWriteback> m_writeback;
    std::unique_ptr<char[]> m_buffer;
};

}  // namespace

// Bytes of the old file copied as they are, after a header written anew (empty for most).
struct ZipArchive::Piece {
    QByteArray header;
    quint64 from = 0;
    quint64 size = 0;
};

QByteArray ZipArchive::bytesAt(quint64 at, quint64 size) const {
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n =
            zipio::readAt(m_fd, bytes.data() + got, size_t(bytes.size() - got), off_t(at + quint64(got)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail(QStringLiteral("cannot be read"), n < 0 ? errno : EIO);
        }
        got += n;
    }
    return bytes;
}

QByteArray ZipArchive::renamedLocalHeader(const Entry& entry) const {
    const QByteArray old = bytesAt(entry.localOffset, entry.localHeaderSize);
    const QByteArrayView fixed(old.data(), kLocalSize);
    const quint16 nameLength = read16(fixed.data() + local::kNameLength);
    if (read32(fixed.data()) != kLocalSignature ||
        quint32(kLocalSize) + nameLength + read16(fixed.data() + local::kExtraLength) !=
            entry.localHeaderSize) {
        fail(QStringLiteral("was changed by someone else since it was opened"));
    }
    // A Unicode Path field would still name the old file.
    const QByteArray extra = withoutSubfield(
        QByteArrayView(old.data() + kLocalSize + nameLength, qsizetype(old.size()) - kLocalSize - nameLength),
        kExtraUnicodePath);
    QByteArray header = fixed.toByteArray() + entry.newName + extra;
    put16(header.data() + local::kNameLength, quint16(entry.newName.size()));
    put16(header.data() + local::kExtraLength, quint16(extra.size()));
    return header;
}

std::vector<ZipArchive::Piece> ZipArchive::planPieces(std::vector<quint64>& newOffsets,
                                                      std::vector<quint32>& headerSizes,
                                                      quint64& total) const {
    std::vector<Piece> pieces;
    total = 0;
    auto copy = [&](quint64 from, quint64 size) {
        if (size == 0) {
            return;
        }
        if (!pieces.empty() && pieces.back().from + pieces.back().size == from) {
            pieces.back().size += size;
        } else {
            pieces.push_back({QByteArray(), from, size});
        }
        total += size;
    };
    copy(0, m_prefixEnd);
    // Each entry's span runs from its local header to the next one (or the directory), so data
    // descriptors and anything else between entries travel with the entry before them.
    for (size_t k = 0; k < m_fileOrder.size(); ++k) {
        const Entry& entry = m_entries[m_fileOrder[k]];
        const quint64 end =
            k + 1 < m_fileOrder.size() ? m_entries[m_fileOrder[k + 1]].localOffset : m_directoryStart;
        if (entry.change == Change::Deleted) {
            continue;
        }
        newOffsets[m_fileOrder[k]] = total;
        headerSizes[m_fileOrder[k]] = entry.localHeaderSize;
        if (entry.change == Change::Renamed) {
            Piece piece{renamedLocalHeader(entry), entry.localOffset + entry.localHeaderSize, 0};
            headerSizes[m_fileOrder[k]] = quint32(piece.header.size());
            piece.size = end - piece.from;
            total += quint64(piece.header.size()) + piece.size;
            pieces.push_back(piece);
        } else {
            copy(entry.localOffset, end - entry.localOffset);
        }
    }
    return pieces;
}

void ZipArchive::appendCentralRecord(QByteArray& out, const Entry& entry, quint64 offset) const {
    QByteArray record(m_directory.constData() + entry.record, kCentralSize);
    const bool renamed = entry.change == Change::Renamed;
    const QByteArrayView name = renamed ? QByteArrayView(entry.newName) : storedName(entry);
    QByteArray extra =
        renamed ? withoutSubfield(extraField(entry), kExtraUnicodePath) : extraField(entry).toByteArray();
    const quint64 limit = zipio::zip64ByteLimit();
    const bool uncompressed64 = entry.uncompressedIn64 || entry.uncompressedSize >= limit;
    const bool compressed64 = entry.compressedIn64 || entry.compressedSize >= limit;
    const bool offset64 = entry.offsetIn64 || offset >= limit;
    char* fields = record.data();
    if (uncompressed64 || compressed64 || offset64 || entry.diskIn64) {
        QByteArray zip64;
        if (uncompressed64) {
            append64(zip64, entry.uncompressedSize);
            put32(fields + central::kUncompressedSize, kSentinel32);
        }
        if (compressed64) {
            append64(zip64, entry.compressedSize);
            put32(fields + central::kCompressedSize, kSentinel32);
        }
        if (offset64) {
            append64(zip64, offset);
        }
        if (entry.diskIn64) {
            append32(zip64, 0);
        }
        extra = withZip64(extra, zip64);
        const quint16 needed = read16(fields + central::kVersionNeeded);
        put16(fields + central::kVersionNeeded, std::max(needed, kVersionZip64));
    }
    put32(fields + central::kLocalOffset, offset64 ? kSentinel32 : quint32(offset));
    if (name.size() > 0xFFFF || extra.size() > 0xFFFF) {
        fail(QStringLiteral("the name or extra field of an entry grew too long"));
    }
    put16(fields + central::kNameLength, quint16(name.size()));
    put16(fields + central::kExtraLength, quint16(extra.size()));
    out += record;
    out += name;
    out += extra;
    out += entryComment(entry);
}

// `zip64`: the ZIP64 end records are written even where no count, size or offset needs them.
void ZipArchive::appendEndRecords(QByteArray& out, quint64 count, quint64 directoryOffset, bool zip64,
                                  QByteArrayView comment) const {
    const quint64 directorySize = quint64(out.size());
    const bool count64 = count >= zipio::zip64CountLimit();
    const bool size64 = directorySize >= zipio::zip64ByteLimit();
    const bool offset64 = directoryOffset >= zipio::zip64ByteLimit();
    if (count64 || size64 || offset64 || zip64) {
        const quint64 recordOffset = directoryOffset + directorySize;
        append32(out, kEnd64Signature);
        append64(out, kEnd64Size - 12);
        append16(out, kVersionZip64);
        append16(out, kVersionZip64);
        append32(out, 0);
        append32(out, 0);
        append64(out, count);
        append64(out, count);
        append64(out, directorySize);
        append64(out, directoryOffset);
        append32(out, kLocator64Signature);
        append32(out, 0);
        append64(out, recordOffset);
        append32(out, 1);
    }
    append32(out, kEndSignature);
    append16(out, 0);
    append16(out, 0);
    append16(out, count64 ? kSentinel16 : quint16(count));
    append16(out, count64 ? kSentinel16 : quint16(count));
    append32(out, size64 ? kSentinel32 : quint32(directorySize));
    append32(out, offset64 ? kSentinel32 : quint32(directoryOffset));
    append16(out, quint16(comment.size()));
    out += comment;
}

// The deleted entries as an archive of their own: each one's span (local header, data and what
// follows up to the next entry) copied as it is, then their directory.
std::vector<ZipArchive::Piece> ZipArchive::planRemoved(QByteArray& ending) const {
    std::vector<Piece> pieces;
    quint64 total = 0;
    quint64 count = 0;
    for (size_t k = 0; k < m_fileOrder.size(); ++k) {
        const Entry& entry = m_entries[m_fileOrder[k]];
        if (entry.change != Change::Deleted) {
            continue;
        }
        const quint64 end =
            k + 1 < m_fileOrder.size() ? m_entries[m_fileOrder[k + 1]].localOffset : m_directoryStart;
        appendCentralRecord(ending, entry, total);
        pieces.push_back({QByteArray(), entry.localOffset, end - entry.localOffset});
        total += end - entry.localOffset;
        ++count;
    }
    // Every directory record is longer than the ZIP64 locator: only the directory can look like one.
    const qsizetype at = ending.size() - kLocator64Size;
    const bool lookalike = !ending.isEmpty() && read32(ending.constData() + at) == kLocator64Signature;
    appendEndRecords(ending, count, total, lookalike, {});
    return pieces;
}

void ZipArchive::commitUpdate(const QString& removedEntries) {
    if (!m_updating) {
        throw ZipError::about(m_path.isEmpty() ? QStringLiteral("(no archive)") : m_path,
                              QStringLiteral("no update has begun"));
    }
    // Written beside the file the path really names, so that a link stays a link.
    const QString resolved = QFileInfo(m_path).canonicalFilePath();
    struct stat now {};
    struct stat opened {};
    if (resolved.isEmpty() || ::stat(QFile::encodeName(resolved).constData(), &now) != 0) {
        fail(QStringLiteral("is gone"), errno);
    }
    if (::fstat(m_fd, &opened) != 0 || now.st_dev != opened.st_dev || now.st_ino != opened.st_ino) {
        fail(QStringLiteral("was replaced by another file since it was opened"));
    }
    const QByteArray target = QFile::encodeName(resolved);

    std::vector<quint64> newOffsets(m_entries.size());
    std::vector<quint32> headerSizes(m_entries.size());
    quint64 directoryOffset = 0;
    const std::vector<Piece> pieces = planPieces(newOffsets, headerSizes, directoryOffset);
    QByteArray ending;
    ending.reserve(m_directory.size() + 4096);
    quint64 kept = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].change != Change::Deleted) {
            appendCentralRecord(ending, m_entries[i], newOffsets[i]);
            ++kept;
        }
    }
    const qsizetype directorySize = ending.size();
    // Readers take the 20 bytes before the end record for a ZIP64 locator when they begin with its
    // signature: bytes that happen to (the end of the last entry's name, extra field or comment, or
    // of the data before an empty directory) would make the new archive unreadable. A real locator
    // then takes their place, with the ZIP64 end record it points to.
    const quint64 beforeEnd = directoryOffset + quint64(directorySize);
    bool locatorLookalike = false;
    if (beforeEnd >= quint64(kLocator64Size)) {
        const quint64 at = beforeEnd - kLocator64Size;
        // Before the directory only when no entry is left (a record is longer than the locator): the
        // data in front of the archive, copied as it is.
        const QByteArray signature =
            at >= directoryOffset ? ending.sliced(qsizetype(at - directoryOffset), 4) : bytesAt(at, 4);
        locatorLookalike = signature.size() == 4 && read32(signature.constData()) == kLocator64Signature;
    }
    appendEndRecords(ending, kept, directoryOffset, locatorLookalike, m_comment);

    QByteArray removedEnding;
    const std::vector<Piece> removed =
        removedEntries.isEmpty() ? std::vector<Piece>() : planRemoved(removedEnding);
    const QByteArray removedPath = QFile::encodeName(removedEntries);
    struct stat existing {};
    if (!removed.empty() && ::lstat(removedPath.constData(), &existing) == 0) {
        fail(QStringLiteral("cannot keep its deleted entries in \"%1\": a file of that name is there")
                 .arg(removedEntries));
    }
    bool removedWritten = false;
    try {
        TemporaryCopy copy(m_path, m_fd, target + kTemporarySuffix);
        copy.create(opened.st_mode & 07777);
        std::optional<TemporaryCopy> side;
        if (!removed.empty()) {
            side.emplace(m_path, m_fd, removedPath + kTemporarySuffix);
            side->create(opened.st_mode & 07777);
        }
        // One pass over the archive, in file order: each span goes to the new archive or, deleted,
        // to the archive of deleted entries.
        size_t next = 0;
        for (const Piece& piece : pieces) {
            for (; next < removed.size() && removed[next].from < piece.from; ++next) {
                side->copy(removed[next].from, removed[next].size);
            }
            copy.write(piece.header.constData(), piece.header.size());
            copy.copy(piece.from, piece.size);
        }
        for (; next < removed.size(); ++next) {
            side->copy(removed[next].from, removed[next].size);
        }
        copy.write(ending.constData(), ending.size());
        if (side) {
            side->write(removedEnding.constData(), removedEnding.size());
            side->replace(removedPath);
            removedWritten = true;
        }
        copy.replace(target);
    } catch (...) {
        if (removedWritten) {
            zipio::unlinkFile(removedPath.constData());  // the entries stay in the archive
        }
        throw;
    }
    takeWritten(ending.first(directorySize), directoryOffset, directoryOffset + quint64(ending.size()),
                headerSizes);
}

// The archive stays open on the file just written, described by the directory built for it and the
// places the plan gave its entries, instead of being read back. The old file is let go on another
// thread: freeing the cached pages of a large file that is no longer linked takes longer than the
// rest of this step, and nothing here waits for it.
void ZipArchive::takeWritten(QByteArray directory, quint64 directoryStart, quint64 fileSize,
                             const std::vector<quint32>& headerSizes) {
    const int replaced = m_fd;
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    std::thread([replaced] { ::close(replaced); }).detach();
    try {
        if (m_fd < 0) {
            fail(QStringLiteral("was written but cannot be opened again"), errno);
        }
        // Old entry indexes in file order become new ones: the new directory keeps the old order.
        std::vector<int> newIndex(m_entries.size(), -1);
        int kept = 0;
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].change != Change::Deleted) {
                newIndex[i] = kept++;
            }
        }
        std::vector<int> fileOrder;
        fileOrder.reserve(size_t(kept));
        for (const int old : m_fileOrder) {
            if (newIndex[old] >= 0) {
                fileOrder.push_back(newIndex[old]);
            }
        }
        std::vector<quint32> keptHeaderSizes(static_cast<size_t>(kept));
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (newIndex[i] >= 0) {
                keptHeaderSizes[size_t(newIndex[i])] = headerSizes[i];
            }
        }
        m_fileSize = fileSize;
        m_directoryStart = directoryStart;
        m_shift = 0;
        m_directory = std::move(directory);
        m_entries.clear();
        readDirectory(quint64(kept));
        for (size_t i = 0; i < m_entries.size(); ++i) {
            m_entries[i].localHeaderSize = keptHeaderSizes[i];
        }
        m_fileOrder = std::move(fileOrder);
        m_names.clear();
        m_lookup.clear();
        listNames();
        m_updating = false;
        m_holders.clear();
    } catch (...) {
        close();
        throw;
    }
}
