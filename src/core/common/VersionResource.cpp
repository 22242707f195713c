#include "VersionResource.h"

#include "FileOps.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr quint32 kVersionResourceType = 16;
constexpr quint32 kFixedInfoSignature = 0xFEEF04BD;

class Bytes {
public:
    explicit Bytes(QByteArrayView data) : m_data(data) {}

    qsizetype size() const { return m_data.size(); }
    bool has(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= m_data.size() && length <= m_data.size() - offset;
    }
    std::optional<quint16> u16(qint64 offset) const {
        if (!has(offset, 2)) {
            return std::nullopt;
        }
        return static_cast<quint16>(byte(offset) | (byte(offset + 1) << 8));
    }
    std::optional<quint32> u32(qint64 offset) const {
        if (!has(offset, 4)) {
            return std::nullopt;
        }
        return static_cast<quint32>(byte(offset) | (byte(offset + 1) << 8) | (byte(offset + 2) << 16)) |
               (static_cast<quint32>(byte(offset + 3)) << 24);
    }

private:
    quint32 byte(qint64 offset) const { return static_cast<unsigned char>(m_data[offset]); }
    QByteArrayView m_data;
};

// The file offset and size of the first RT_VERSION resource, found through the PE headers.
std::optional<std::pair<qint64, qint64>> locateVersionResource(const Bytes& file) {
    if (!file.has(0, 0x40) || file.u16(0) != 0x5A4D) {
        return std::nullopt;
    }
    const qint64 pe = *file.u32(0x3C);
    if (file.u32(pe) != 0x00004550) {
        return std::nullopt;
    }
    const auto sectionCount = file.u16(pe + 6);
    const auto optionalSize = file.u16(pe + 20);
    const qint64 optional = pe + 24;
    const auto magic = file.u16(optional);
    if (!sectionCount || !optionalSize || !magic) {
        return std::nullopt;
    }
    qint64 directoryCountAt = 0;
    if (*magic == 0x10B) {
        directoryCountAt = 92;
    } else if (*magic == 0x20B) {
        directoryCountAt = 108;
    } else {
        return std::nullopt;
    }
    const auto directoryCount = file.u32(optional + directoryCountAt);
    const qint64 resourceEntry = optional + directoryCountAt + 4 + 2 * 8;
    if (!directoryCount || *directoryCount <= 2 || resourceEntry + 8 > optional + *optionalSize) {
        return std::nullopt;
    }
    const auto resourceRva = file.u32(resourceEntry);
    if (!resourceRva || *resourceRva == 0) {
        return std::nullopt;
    }

    const qint64 sectionTable = optional + *optionalSize;
    auto toOffset = [&](quint32 rva) -> std::optional<qint64> {
        for (int i = 0; i < *sectionCount; ++i) {
            const qint64 at = sectionTable + qint64(i) * 40;
            const auto vsize = file.u32(at + 8);
            const auto va = file.u32(at + 12);
            const auto rawSize = file.u32(at + 16);
            const auto rawOffset = file.u32(at + 20);
            if (!vsize || !va || !rawSize || !rawOffset) {
                return std::nullopt;
            }
            const quint64 extent = std::max(*vsize, *rawSize);
            if (rva >= *va && rva - quint64(*va) < extent) {
                const qint64 offset = qint64(rva - *va) + *rawOffset;
                return file.has(offset, 0) ? std::optional<qint64>(offset) : std::nullopt;
            }
        }
        return std::nullopt;
    };

    const auto root = toOffset(*resourceRva);
    if (!root) {
        return std::nullopt;
    }
    // Three levels: type, name, language. The type level is searched for RT_VERSION; the other two
    // take their first entry, as the system's version API does.
    qint64 directory = *root;
    for (int level = 0; level < 3; ++level) {
        const auto named = file.u16(directory + 12);
        const auto ids = file.u16(directory + 14);
        if (!named || !ids) {
            return std::nullopt;
        }
        const int total = *named + *ids;
        std::optional<quint32> chosen;
        for (int i = 0; i < total && !chosen; ++i) {
            const qint64 entry = directory + 16 + qint64(i) * 8;
            const auto name = file.u32(entry);
            const auto target = file.u32(entry + 4);
            if (!name || !target) {
                return std::nullopt;
            }
            if (level > 0 || (i >= *named && *name == kVersionResourceType)) {
                chosen = *target;
            }
        }
        if (!chosen) {
            return std::nullopt;
        }
        const bool isDirectory = (*chosen & 0x80000000u) != 0;
        const qint64 next = *root + (*chosen & 0x7FFFFFFFu);
        if (level < 2) {
            if (!isDirectory || next == directory) {
                return std::nullopt;
            }
            directory = next;
            continue;
        }
        if (isDirectory) {
            return std::nullopt;
        }
        const auto dataRva = file.u32(next);
        const auto dataSize = file.u32(next + 4);
        if (!dataRva || !dataSize) {
            return std::nullopt;
        }
        const auto dataOffset = toOffset(*dataRva);
        if (!dataOffset || !file.has(*dataOffset, *dataSize)) {
            return std::nullopt;
        }
        return std::make_pair(*dataOffset, qint64(*dataSize));
    }
    return std::nullopt;
}

qint64 align4(qint64 offset) {
    return (offset + 3) & ~qint64(3);
}

// One block of the version resource: length, value length, type, key, value, children.
struct Block {
    qint64 start = 0;
    qint64 end = 0;
    QString key;
    qint64 valueOffset = 0;
    qint64 valueBytes = 0;
    qint64 childrenOffset = 0;
};

std::optional<Block> readBlock(const Bytes& data, qint64 start, qint64 limit) {
    const auto length = data.u16(start);
    const auto valueLength = data.u16(start + 2);
    const auto type = data.u16(start + 4);
    if (!length || !valueLength || !type || *length < 6 || start + *length > limit) {
        return std::nullopt;
    }
    Block block;
    block.start = start;
    block.end = start + *length;
    qint64 at = start + 6;
    while (true) {
        const auto ch = data.u16(at);
        if (!ch || at + 2 > block.end) {
            return std::nullopt;
        }
        at += 2;
        if (*ch == 0) {
            break;
        }
        block.key.append(QChar(char16_t(*ch)));
    }
    block.valueOffset = align4(at);
    // A text value counts its length in 16-bit words, a binary one in bytes.
    const qint64 wanted = *type == 1 ? qint64(*valueLength) * 2 : qint64(*valueLength);
    block.valueBytes = std::clamp<qint64>(block.end - block.valueOffset, 0, wanted);
    block.childrenOffset = align4(block.valueOffset + block.valueBytes);
    return block;
}

template <typename Visit>
void forEachChild(const Bytes& data, const Block& parent, Visit visit) {
    qint64 at = parent.childrenOffset;
    while (at + 6 <= parent.end) {
        const auto child = readBlock(data, at, parent.end);
        if (!child || !visit(*child)) {
            return;
        }
        at = align4(child->end);
    }
}

std::optional<Block> versionRoot(const Bytes& file, std::optional<std::pair<qint64, qint64>> where) {
    if (!where) {
        return std::nullopt;
    }
    auto root = readBlock(file, where->first, where->first + where->second);
    if (!root || root->key != QStringLiteral("VS_VERSION_INFO")) {
        return std::nullopt;
    }
    return root;
}

}  // namespace

std::optional<FixedFileVersion> readFixedFileVersion(QByteArrayView fileBytes) {
    const Bytes file(fileBytes);
    const auto root = versionRoot(file, locateVersionResource(file));
    if (!root || root->valueBytes < 52 || file.u32(root->valueOffset) != kFixedInfoSignature) {
        return std::nullopt;
    }
    return FixedFileVersion{*file.u32(root->valueOffset + 8), *file.u32(root->valueOffset + 12)};
}

QString readVersionString(QByteArrayView fileBytes, const QString& key) {
    const Bytes file(fileBytes);
    const auto root = versionRoot(file, locateVersionResource(file));
    if (!root || key.isEmpty()) {
        return {};
    }
    std::optional<quint32> translation;
    forEachChild(file, *root, [&](const Block& info) {
        if (info.key == QStringLiteral("VarFileInfo")) {
            forEachChild(file, info, [&](const Block& var) {
                if (var.key == QStringLiteral("Translation") && var.valueBytes >= 4) {
                    translation = file.u32(var.valueOffset);
                }
                return !translation;
            });
        }
        return !translation;
    });
    if (!translation) {
        return {};
    }
    const QString table = QString::asprintf("%04x%04x", *translation & 0xFFFF, *translation >> 16);
    QString value;
    bool found = false;
    forEachChild(file, *root, [&](const Block& info) {
        if (info.key == QStringLiteral("StringFileInfo")) {
            forEachChild(file, info, [&](const Block& strings) {
                if (strings.key.compare(table, Qt::CaseInsensitive) == 0) {
                    forEachChild(file, strings, [&](const Block& entry) {
                        if (entry.key.compare(key, Qt::CaseInsensitive) == 0) {
                            found = true;
                            for (qint64 at = entry.valueOffset;
                                 at + 2 <= entry.valueOffset + entry.valueBytes; at += 2) {
                                const quint16 ch = *file.u16(at);
                                if (ch == 0) {
                                    break;
                                }
                                value.append(QChar(char16_t(ch)));
                            }
                        }
                        return !found;
                    });
                }
                return !found;
            });
        }
        return !found;
    });
    return value;
}

namespace {
// Runs `read` over the bytes of a file, mapped rather than read: an emulator executable can be
// hundreds of megabytes. Gives "" when the path is not a readable, non-empty file.
template <typename Read>
QString withFileBytes(const QString& path, Read read) {
    QFile file(path);
    if (path.isEmpty() || !FileExistsNotFolder(path) || !file.open(QIODevice::ReadOnly) || file.size() <= 0) {
        return {};
    }
    if (const uchar* mapped = file.map(0, file.size())) {
        return read(QByteArrayView(reinterpret_cast<const char*>(mapped), file.size()));
    }
    const QByteArray bytes = file.readAll();
    return read(QByteArrayView(bytes));
}
}  // namespace

QString FileVersionText(const QString& path, bool shortForm) {
    return withFileBytes(path, [shortForm](QByteArrayView bytes) {
        const auto version = readFixedFileVersion(bytes);
        if (!version) {
            return QString();
        }
        const quint32 ms = version->mostSignificant;
        const quint32 ls = version->leastSignificant;
        if (shortForm) {
            return QString::asprintf("%u.%u", ms >> 16, ms & 0xFFFF);
        }
        return QString::asprintf("%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
    });
}

QString VersionInfoString(const QString& path, const QString& key) {
    return withFileBytes(path, [&key](QByteArrayView bytes) { return readVersionString(bytes, key); });
}
