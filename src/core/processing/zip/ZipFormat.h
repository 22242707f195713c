// Record layouts of the ZIP format, as far as the archive access reads and writes them.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zipformat {

constexpr quint32 kLocalSignature = 0x04034b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kEnd64Signature = 0x06064b50;
constexpr quint32 kLocator64Signature = 0x07064b50;

constexpr int kLocalSize = 30;
constexpr int kCentralSize = 46;
constexpr int kEndSize = 22;
constexpr int kEnd64Size = 56;
constexpr int kLocator64Size = 20;
constexpr int kMaxComment = 0xFFFF;

// Field offsets in a local header.
namespace local {
constexpr int kNameLength = 26;
constexpr int kExtraLength = 28;
}  // namespace local

// Field offsets in a central directory record.
namespace central {
constexpr int kVersionNeeded = 6;
constexpr int kFlags = 8;
constexpr int kMethod = 10;
constexpr int kCompressedSize = 20;
constexpr int kUncompressedSize = 24;
constexpr int kNameLength = 28;
constexpr int kExtraLength = 30;
constexpr int kCommentLength = 32;
constexpr int kDiskStart = 34;
constexpr int kLocalOffset = 42;
}  // namespace central

constexpr quint16 kFlagEncrypted = 0x0001;
constexpr quint16 kFlagUtf8 = 0x0800;
constexpr quint16 kFlagEncryptedDirectory = 0x2000;
constexpr quint16 kMethodStored = 0;

constexpr quint16 kExtraZip64 = 0x0001;
constexpr quint16 kExtraUnicodePath = 0x7075;
constexpr quint16 kVersionZip64 = 45;

constexpr quint16 kSentinel16 = 0xFFFF;
constexpr quint32 kSentinel32 = 0xFFFFFFFF;

inline quint16 read16(const char* p) {
    const auto* b = reinterpret_cast<const uchar*>(p);
    return quint16(b[0] | (b[1] << 8));
}

inline quint32 read32(const char* p) {
    return quint32(read16(p)) | (quint32(read16(p + 2)) << 16);
}

inline quint64 read64(const char* p) {
    return quint64(read32(p)) | (quint64(read32(p + 4)) << 32);
}

inline void put16(char* p, quint16 v) {
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

inline void put32(char* p, quint32 v) {
    put16(p, quint16(v & 0xFFFF));
    put16(p + 2, quint16(v >> 16));
}

inline void put64(char* p, quint64 v) {
    put32(p, quint32(v & 0xFFFFFFFF));
    put32(p + 4, quint32(v >> 32));
}

inline void append16(QByteArray& out, quint16 v) {
    char b[2];
    put16(b, v);
    out.append(b, 2);
}

inline void append32(QByteArray& out, quint32 v) {
    char b[4];
    put32(b, v);
    out.append(b, 4);
}

inline void append64(QByteArray& out, quint64 v) {
    char b[8];
    put64(b, v);
    out.append(b, 8);
}

}  // namespace zipformat
