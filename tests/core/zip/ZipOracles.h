// Archives made by real zip tools for the tests, and read back by tools that are not ours: Info-ZIP
// unzip, Python's zipfile and libzip.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace ziptest {

// What a reader tells of one entry.
struct EntryFacts {
    QByteArray name;  // the stored bytes
    QByteArray localName;
    quint64 size = 0;
    quint64 compressedSize = 0;
    quint64 offset = 0;
    quint32 crc = 0;
    QByteArray rawHash;  // of the compressed bytes as stored
    int flags = 0;
    int method = 0;
    quint32 attributes = 0;
    QString time;
    QList<int> centralExtras;  // subfield ids
    QList<int> localExtras;
    int zip64Length = -1;  // of the central ZIP64 subfield; -1 when there is none
};

struct ArchiveFacts {
    QString error;  // empty when the reader took the archive
    // libzip's stricter checks (local headers against the central directory) hold. Some tools'
    // own archives fail them; those that pass must still pass after a commit.
    bool strictlyConsistent = true;
    QByteArray comment;
    QList<EntryFacts> entries;
};

// Runs a program; its exit code (-1 when it could not run), with stdout and stderr in `output`.
int run(const QString& program, const QStringList& arguments, const QString& folder = QString(),
        QString* output = nullptr);

// One entry for Python's zipfile to write; `zip64` gives it a ZIP64 local extra field.
struct Made {
    QString name;
    QByteArray data;
    bool stored = false;
    QByteArray extra;
    bool zip64 = false;
};
struct MakeOptions {
    QByteArray comment;
    QByteArray prefix;  // data before the archive
    // Written through a stream that cannot seek: data descriptors, and offsets counted from the
    // archive's own start rather than the file's.
    bool streamed = false;
};
// Writes the archive with Python's zipfile; an error text, or "" when it was written.
QString makeWithPython(const QString& path, const QList<Made>& entries, const MakeOptions& options = {});

ArchiveFacts readWithPython(const QString& path);
// An error of "libzip is not built in" when the tests were built without it.
ArchiveFacts readWithLibzip(const QString& path, bool strict = true);
bool libzipAvailable();
bool passesUnzipTest(const QString& path, QString* output);

// The facts of `before` after renaming (old full name -> new) and deleting entries.
ArchiveFacts expectedAfter(const ArchiveFacts& before, const QHash<QByteArray, QByteArray>& renamed,
                           const QSet<QByteArray>& deleted);

// Compares with QCOMPARE; check QTest::currentTestFailed() afterwards.
void compareFacts(const ArchiveFacts& actual, const ArchiveFacts& expected, const char* reader);
// unzip -tq, Python's zipfile and libzip all read `path` as `expected` (names, sizes, CRCs, methods,
// attributes, times, the compressed bytes, the comment) and every local header names its entry.
void verifyArchive(const QString& path, const ArchiveFacts& expected);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// The files of a folder, hidden ones included.
QStringList filesIn(const QString& folder);

}  // namespace ziptest
