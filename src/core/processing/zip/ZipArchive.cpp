#include "ZipArchive.h"
#include "Cp437.h"
#include "ZipFormat.h"
#include "common/Text.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <initializer_list>

using namespace zipformat;

namespace {

bool readExactly(int fd, char* buffer, quint64 size, quint64 offset) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, buffer, size_t(size), off_t(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO;  // the file ended before its own records said
            }
            return false;
        }
        buffer += got;
        size -= quint64(got);
        offset += quint64(got);
    }
    return true;
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

QByteArrayView withoutFolder(QByteArrayView name) {
    qsizetype start = name.size();
    while (start > 0 && !isSeparator(name[start - 1])) {
        --start;
    }
    return name.sliced(start);
}

QString decodedName(QByteArrayView bytes, quint16 flags) {
    return (flags & kFlagUtf8) ? QString::fromUtf8(bytes) : decodeCp437(bytes);
}

// The data of the first whole subfield `id` of an extra field; null when there is none.
QByteArrayView findSubfield(QByteArrayView extra, quint16 id) {
    qsizetype at = 0;
    while (extra.size() - at >= 4) {
        const quint16 length = read16(extra.data() + at + 2);
        if (extra.size() - at - 4 < length) {
            break;
        }
        if (read16(extra.data() + at) == id) {
            return extra.sliced(at + 4, length);
        }
        at += 4 + length;
    }
    return {};
}

}  // namespace

ZipError::ZipError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}

ZipError ZipError::about(const QString& archive, const QString& what, int error) {
    if (error == 0) {
        return ZipError(QStringLiteral("%1: %2").arg(archive, what));
    }
    return ZipError(QStringLiteral("%1: %2 (%3)").arg(archive, what, qt_error_string(error)));
}

ZipArchive::~ZipArchive() {
    close();
}

void ZipArchive::fail(const QString& what, int error) const {
    throw ZipError::about(m_path, what, error);
}

void ZipArchive::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
    m_path.clear();
    m_fileSize = m_directoryStart = m_shift = m_prefixEnd = 0;
    m_directory.clear();
    m_comment.clear();
    m_entries.clear();
    m_fileOrder.clear();
    m_names.clear();
    m_lookup.clear();
    m_updating = false;
    m_holders.clear();
}

void ZipArchive::open(const QString& path) {
    close();
    m_path = path;
    try {
        // Not blocking: a FIFO must be refused, not waited on.
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_fd < 0) {
            fail(QStringLiteral("cannot be opened"), errno);
        }
        struct stat info {};
        if (::fstat(m_fd, &info) != 0) {
            fail(QStringLiteral("cannot be read"), errno);
        }
        if (!S_ISREG(info.st_mode)) {
            fail(QStringLiteral("is not a regular file"));
        }
        m_fileSize = quint64(info.st_size);
        readEndRecords();
        checkLocalHeaders();
        listNames();
    } catch (...) {
        close();
        throw;
    }
}

void ZipArchive::readEndRecords() {
    const QString notZip = QStringLiteral("is not a zip archive or is truncated (no end record)");
    if (m_fileSize < quint64(kEndSize)) {
        fail(notZip);
    }
    const quint64 tailSize = std::min<quint64>(m_fileSize, kEndSize + kMaxComment);
    const quint64 tailStart = m_fileSize - tailSize;
    QByteArray tail(qsizetype(tailSize), Qt::Uninitialized);
    if (!readExactly(m_fd, tail.data(), tailSize, tailStart)) {
        fail(QStringLiteral("cannot be read"), errno);
    }
    // The end record whose comment reaches exactly the end of the file: a signature inside a
    // comment, or one followed by other data, is not taken for it.
    qsizetype end = qsizetype(tailSize) - kEndSize;
    while (end >= 0 && !(read32(tail.constData() + end) == kEndSignature &&
                         end + kEndSize + read16(tail.constData() + end + 20) == qsizetype(tailSize))) {
        --end;
    }
    if (end < 0) {
        fail(notZip);
    }
    const char* record = tail.constData() + end;
    const quint64 endPosition = tailStart + quint64(end);
    quint64 disk = read16(record + 4);
    quint64 directoryDisk = read16(record + 6);
    quint64 countOnDisk = read16(record + 8);
    quint64 count = read16(record + 10);
    quint64 directorySize = read32(record + 12);
    quint64 directoryOffset = read32(record + 16);
    m_comment = QByteArray(record + kEndSize, read16(record + 20));
    quint64 directoryEnd = endPosition;

    char locator[kLocator64Size];
    if (endPosition >= quint64(kLocator64Size) &&
        readExactly(m_fd, locator, kLocator64Size, endPosition - kLocator64Size) &&
        read32(locator) == kLocator64Signature) {
        const quint64 locatorPosition = endPosition - kLocator64Size;
        if (read32(locator + 4) != 0 || read32(locator + 16) > 1) {
            fail(QStringLiteral("spans several disks, which is not supported"));
        }
        // The ZIP64 end record where the locator says, or right before the locator when data was
        // put in front of the archive after it was written.
        const quint64 recorded = read64(locator + 8);
        const quint64 before =
            locatorPosition >= quint64(kEnd64Size) ? locatorPosition - kEnd64Size : recorded;
        for (const quint64 at : {recorded, before}) {
            char zip64[kEnd64Size];
            if (at > locatorPosition || locatorPosition - at < quint64(kEnd64Size) ||
                !readExactly(m_fd, zip64, kEnd64Size, at) || read32(zip64) != kEnd64Signature ||
                read64(zip64 + 4) != locatorPosition - at - 12) {
                continue;
            }
            disk = read32(zip64 + 16);
            directoryDisk = read32(zip64 + 20);
            countOnDisk = read64(zip64 + 24);
            count = read64(zip64 + 32);
            directorySize = read64(zip64 + 40);
            directoryOffset = read64(zip64 + 48);
            directoryEnd = at;
            break;
        }
    }
    if (disk != 0 || directoryDisk != 0 || countOnDisk != count) {
        fail(QStringLiteral("spans several disks, which is not supported"));
    }
    if (directorySize > directoryEnd || directoryOffset > directoryEnd - directorySize) {
        fail(QStringLiteral("has a central directory outside the file"));
    }
    // The directory ends where the end records begin; a gap before it is data put in front.
    m_directoryStart = directoryEnd - directorySize;
    m_shift = m_directoryStart - directoryOffset;
    if (count > directorySize / kCentralSize) {
        fail(QStringLiteral("has more entries than its central directory can hold"));
    }
    m_directory = QByteArray(qsizetype(directorySize), Qt::Uninitialized);
    if (!readExactly(m_fd, m_directory.data(), directorySize, m_directoryStart)) {
        fail(QStringLiteral("cannot be read"), errno);
    }
    readDirectory(count);
}

void ZipArchive::readDirectory(quint64 count) {
    const QString damaged = QStringLiteral("has a damaged central directory");
    const char* directory = m_directory.constData();
    const quint64 size = quint64(m_directory.size());
    m_entries.reserve(size_t(count));
    quint64 at = 0;
    for (quint64 i = 0; i < count; ++i) {
        const char* record = directory + at;
        if (size - at < quint64(kCentralSize) || read32(record) != kCentralSignature) {
            fail(damaged);
        }
        const quint64 recordSize = quint64(kCentralSize) + read16(record + central::kNameLength) +
                                   read16(record + central::kExtraLength) +
                                   read16(record + central::kCommentLength);
        if (recordSize > size - at) {
            fail(damaged);
        }
        if (read16(record + central::kFlags) & kFlagEncryptedDirectory) {
            fail(QStringLiteral("has an encrypted central directory, which is not supported"));
        }
        Entry entry;
        entry.record = qsizetype(at);
        entry.compressedSize = read32(record + central::kCompressedSize);
        entry.uncompressedSize = read32(record + central::kUncompressedSize);
        entry.localOffset = read32(record + central::kLocalOffset);
        readZip64Fields(entry, extraField(entry), read16(record + central::kDiskStart));
        if (entry.localOffset > m_directoryStart - m_shift) {
            fail(QStringLiteral("has an entry outside the file"));
        }
        entry.localOffset += m_shift;
        m_entries.push_back(entry);
        at += recordSize;
    }
    if (at != size) {
        fail(damaged);
    }
}

void ZipArchive::readZip64Fields(Entry& entry, QByteArrayView extra, quint32 disk) {
    const QByteArrayView zip64 = findSubfield(extra, kExtraZip64);
    if (!zip64.isNull()) {
        // The fields whose central header value is the sentinel, in this order.
        qsizetype at = 0;
        auto take = [&](int size) {
            if (zip64.size() - at < size) {
                fail(QStringLiteral("has a damaged ZIP64 extra field"));
            }
            at += size;
            return size == 8 ? read64(zip64.data() + at - 8) : read32(zip64.data() + at - 4);
        };
        if ((entry.uncompressedIn64 = entry.uncompressedSize == kSentinel32)) {
            entry.uncompressedSize = take(8);
        }
        if ((entry.compressedIn64 = entry.compressedSize == kSentinel32)) {
            entry.compressedSize = take(8);
        }
        if ((entry.offsetIn64 = entry.localOffset == kSentinel32)) {
            entry.localOffset = take(8);
        }
        if ((entry.diskIn64 = disk == kSentinel16)) {
            disk = quint32(take(4));
        }
    }
    if (disk != 0) {
        fail(QStringLiteral("spans several disks, which is not supported"));
    }
}

void ZipArchive::checkLocalHeaders() {
    m_fileOrder.resize(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        m_fileOrder[i] = int(i);
    }
    std::stable_sort(m_fileOrder.begin(), m_fileOrder.end(),
                     [this](int a, int b) { return m_entries[a].localOffset < m_entries[b].localOffset; });
    m_prefixEnd = m_fileOrder.empty() ? m_directoryStart : m_entries[m_fileOrder.front()].localOffset;
    for (size_t k = 0; k < m_fileOrder.size(); ++k) {
        Entry& entry = m_entries[m_fileOrder[k]];
        // Each entry's header and data lie before the next entry in the file, or the directory.
        const quint64 limit =
            k + 1 < m_fileOrder.size() ? m_entries[m_fileOrder[k + 1]].localOffset : m_directoryStart;
        const quint64 room = limit - entry.localOffset;
        char header[kLocalSize];
        if (room < quint64(kLocalSize)) {
            fail(QStringLiteral("has entries that overlap or lie outside the file"));
        }
        if (!readExactly(m_fd, header, kLocalSize, entry.localOffset)) {
            fail(QStringLiteral("cannot be read"), errno);
        }
        if (read32(header) != kLocalSignature) {
            fail(QStringLiteral("has an entry without its local header"));
        }
        entry.localHeaderSize =
            quint32(kLocalSize) + read16(header + local::kNameLength) + read16(header + local::kExtraLength);
        if (room < entry.localHeaderSize || room - entry.localHeaderSize < entry.compressedSize) {
            fail(QStringLiteral("has entries that overlap or lie outside the file"));
        }
        const char* record = m_directory.constData() + entry.record;
        if (read16(record + central::kMethod) == kMethodStored &&
            !(read16(record + central::kFlags) & kFlagEncrypted) &&
            entry.compressedSize != entry.uncompressedSize) {
            fail(QStringLiteral("has a stored entry whose two sizes differ"));
        }
    }
}

void ZipArchive::listNames() {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        const QByteArrayView name = storedName(entry);
        entry.folder = !name.isEmpty() && isSeparator(name.back());
        if (entry.folder) {
            continue;
        }
        const quint16 flags = read16(m_directory.constData() + entry.record + central::kFlags);
        const QString shown = decodedName(withoutFolder(name), flags);
        m_names.append(shown);
        const QString key = AsciiLowerCase(shown);
        if (!m_lookup.contains(key)) {  // the first of equal names is the one found
            m_lookup.insert(key, int(i));
        }
    }
}

QList<ZipArchive::PendingChange> ZipArchive::pendingChanges() const {
    QList<PendingChange> changes;
    if (!m_updating) {
        return changes;
    }
    for (const Entry& entry : m_entries) {
        if (entry.change == Change::None) {
            continue;
        }
        const quint16 flags = read16(m_directory.constData() + entry.record + central::kFlags);
        changes.append({decodedName(storedName(entry), flags),
                        entry.change == Change::Renamed ? decodedName(entry.newName, flags) : QString(),
                        entry.compressedSize});
    }
    return changes;
}

QByteArrayView ZipArchive::storedName(const Entry& entry) const {
    const char* record = m_directory.constData() + entry.record;
    return QByteArrayView(record + kCentralSize, read16(record + central::kNameLength));
}

QByteArrayView ZipArchive::extraField(const Entry& entry) const {
    const char* record = m_directory.constData() + entry.record;
    return QByteArrayView(record + kCentralSize + read16(record + central::kNameLength),
                          read16(record + central::kExtraLength));
}

QByteArrayView ZipArchive::entryComment(const Entry& entry) const {
    const char* record = m_directory.constData() + entry.record;
    return QByteArrayView(record + kCentralSize + read16(record + central::kNameLength) +
                              read16(record + central::kExtraLength),
                          read16(record + central::kCommentLength));
}

bool ZipArchive::contains(const QString& name) const {
    return m_lookup.contains(AsciiLowerCase(name));
}

void ZipArchive::beginUpdate() {
    if (!isOpen()) {
        throw ZipError(QStringLiteral("No archive is open for an update"));
    }
    // A new update starts from the archive as it is on disk.
    m_updating = true;
    m_holders.clear();
    m_holders.reserve(qsizetype(m_entries.size()));
    for (size_t i = 0; i < m_entries.size(); ++i) {
        m_entries[i].change = Change::None;
        m_entries[i].newName.clear();
        m_holders.insert(storedName(m_entries[i]).toByteArray(), int(i));
    }
}

int ZipArchive::changeableEntry(const QString& name) const {
    if (!m_updating) {
        throw ZipError::about(m_path.isEmpty() ? QStringLiteral("(no archive)") : m_path,
                              QStringLiteral("no update has begun"));
    }
    const auto found = m_lookup.constFind(AsciiLowerCase(name));
    if (found == m_lookup.cend()) {
        fail(QStringLiteral("has no entry named %1").arg(name));
    }
    if (m_entries[*found].change != Change::None) {
        fail(QStringLiteral("the entry %1 was already changed in this update").arg(name));
    }
    return *found;
}

void ZipArchive::giveName(int index, const QByteArray& name) {
    if (name.size() > 0xFFFF) {
        fail(QStringLiteral("the new name of an entry is too long"));
    }
    const QList<int> holders = m_holders.values(name);
    for (const int other : holders) {
        if (m_entries[other].change != Change::None) {
            fail(QStringLiteral("two entries would be named %1").arg(QString::fromUtf8(name)));
        }
    }
    for (const int other : holders) {
        m_entries[other].change = Change::Deleted;
        m_holders.remove(name, other);
    }
    Entry& entry = m_entries[index];
    m_holders.remove(storedName(entry).toByteArray(), index);
    entry.change = Change::Renamed;
    entry.newName = name;
    m_holders.insert(name, index);
}

void ZipArchive::renameEntry(const QString& name) {
    const int index = changeableEntry(name);
    giveName(index, storedName(m_entries[index]).toByteArray() + ".krm");
}

void ZipArchive::restoreEntry(const QString& name) {
    const int index = changeableEntry(name);
    const QByteArrayView stored = storedName(m_entries[index]);
    if (withoutFolder(stored).size() <= 4 ||
        !equalsIgnoringAsciiCase(stored.last(4), QByteArrayView(".krm"))) {
        fail(QStringLiteral("the entry %1 does not end in .krm").arg(name));
    }
    giveName(index, stored.chopped(4).toByteArray());
}

void ZipArchive::deleteEntry(const QString& name) {
    const int index = changeableEntry(name);
    Entry& entry = m_entries[index];
    m_holders.remove(storedName(entry).toByteArray(), index);
    entry.change = Change::Deleted;
}
