// What the fuzz targets share: a check that stops the run, and a temporary folder of this process.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace fuzzsupport {

inline QByteArrayView bytesOf(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A folder of this process's own, ending in "/": under $KESTRUM_FUZZ_TMP when set (scripts/fuzz
// sets it and removes it afterwards), else under /dev/shm where it exists (files there cost no
// disk writes), else the system's temporary folder. Removed when the process ends normally.
inline const QString& processFolder() {
    // Kept for the whole process: the removal at exit runs after static objects are gone.
    static const QString* folder = nullptr;
    if (!folder) {
        QString parent = qEnvironmentVariable("KESTRUM_FUZZ_TMP");
        if (parent.isEmpty()) {
            parent =
                QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        }
        const QString path = parent + QStringLiteral("/kestrum-fuzz-%1/").arg(::getpid());
        QDir(path).removeRecursively();
        if (!QDir().mkpath(path)) {
            std::fprintf(stderr, "cannot create the temporary folder %s\n", qPrintable(path));
            std::abort();
        }
        folder = new QString(path);
        std::atexit([] { QDir(processFolder()).removeRecursively(); });
    }
    return *folder;
}

// Writes bytes to a file, replacing it; stops the run when that fails (the target would test nothing).
inline void writeFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

}  // namespace fuzzsupport
