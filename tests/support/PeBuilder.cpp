#include "PeBuilder.h"

namespace {

void putU16(QByteArray& b, qsizetype at, quint16 v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void putU32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = char((v >> (8 * i)) & 0xFF);
    }
}
void appendU16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void appendU32(QByteArray& b, quint32 v) {
    appendU16(b, quint16(v & 0xFFFF));
    appendU16(b, quint16(v >> 16));
}
void pad4(QByteArray& b) {
    while (b.size() % 4 != 0) {
        b.append('\0');
    }
}
QByteArray utf16z(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        appendU16(out, c.unicode());
    }
    appendU16(out, 0);
    return out;
}

// One version block: length, value length, type, key, value, children (each 4-byte aligned).
QByteArray block(const QString& key, const QByteArray& value, quint16 valueLength, quint16 type,
                 const QList<QByteArray>& children = {}) {
    QByteArray b;
    appendU16(b, 0);
    appendU16(b, valueLength);
    appendU16(b, type);
    b += utf16z(key);
    pad4(b);
    b += value;
    for (const QByteArray& child : children) {
        pad4(b);
        b += child;
    }
    putU16(b, 0, quint16(b.size()));
    return b;
}

QByteArray versionInfo(const PeVersionSpec& spec) {
    QByteArray fixed;
    if (spec.withFixedInfo) {
        const quint32 ms = (quint32(spec.fileVersion[0]) << 16) | spec.fileVersion[1];
        const quint32 ls = (quint32(spec.fileVersion[2]) << 16) | spec.fileVersion[3];
        for (quint32 v : {0xFEEF04BDu, 0x00010000u, ms, ls, ms, ls, 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u}) {
            appendU32(fixed, v);
        }
    }
    QList<QByteArray> children;
    if (!spec.strings.isEmpty()) {
        QList<QByteArray> entries;
        for (const auto& [key, text] : spec.strings) {
            const QByteArray value = utf16z(text);
            entries.append(block(key, value, quint16(value.size() / 2), 1));
        }
        const QString table = QString::asprintf("%04x%04x", spec.language, spec.codePage);
        children.append(block(QStringLiteral("StringFileInfo"), {}, 0, 1, {block(table, {}, 0, 1, entries)}));
    }
    if (spec.withTranslation) {
        QByteArray translation;
        appendU16(translation, spec.language);
        appendU16(translation, spec.codePage);
        children.append(block(QStringLiteral("VarFileInfo"), {}, 0, 1,
                              {block(QStringLiteral("Translation"), translation, 4, 0)}));
    }
    return block(QStringLiteral("VS_VERSION_INFO"), fixed, quint16(fixed.size()), 0, children);
}

}  // namespace

QByteArray buildPe(const PeVersionSpec& spec) {
    constexpr quint32 kSectionRva = 0x1000;
    constexpr quint32 kRawOffset = 0x200;

    // The resource section: three directory levels (type, name, language), a data entry, the data.
    QByteArray rsrc;
    auto directory = [&rsrc](quint32 id, quint32 target) {
        for (int i = 0; i < 3; ++i) {
            appendU32(rsrc, 0);
        }
        appendU16(rsrc, 0);  // named entries
        appendU16(rsrc, 1);  // id entries
        appendU32(rsrc, id);
        appendU32(rsrc, target);
    };
    const QByteArray info = versionInfo(spec);
    directory(spec.withVersionResource ? 16 : 3, 0x80000000u | 24);
    directory(1, 0x80000000u | 48);
    directory(spec.language, 72);
    appendU32(rsrc, kSectionRva + 88);
    appendU32(rsrc, quint32(info.size()));
    appendU32(rsrc, 0);
    appendU32(rsrc, 0);
    rsrc += info;
    pad4(rsrc);

    const int optionalSize = spec.pe32Plus ? 240 : 224;
    QByteArray pe(kRawOffset, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    putU32(pe, 0x3C, 0x40);
    const qsizetype header = 0x40;
    putU32(pe, header, 0x00004550);
    putU16(pe, header + 4, spec.pe32Plus ? 0x8664 : 0x14C);
    putU16(pe, header + 6, 1);
    putU16(pe, header + 20, quint16(optionalSize));
    putU16(pe, header + 22, 0x0102);
    const qsizetype optional = header + 24;
    putU16(pe, optional, spec.pe32Plus ? 0x20B : 0x10B);
    const qsizetype countAt = optional + (spec.pe32Plus ? 108 : 92);
    putU32(pe, countAt, 16);
    putU32(pe, countAt + 4 + 2 * 8, kSectionRva);
    putU32(pe, countAt + 4 + 2 * 8 + 4, quint32(rsrc.size()));
    const qsizetype section = optional + optionalSize;
    pe.replace(section, 5, ".rsrc");
    putU32(pe, section + 8, quint32(rsrc.size()));
    putU32(pe, section + 12, kSectionRva);
    putU32(pe, section + 16, quint32(rsrc.size()));
    putU32(pe, section + 20, kRawOffset);
    return pe + rsrc;
}
