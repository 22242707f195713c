// Commits of archives written by other tools, and the ZIP64 paths on small archives.
#include "TestMain.h"
#include "ZipOracles.h"
#include "processing/zip/ZipArchive.h"
#include "processing/zip/ZipIo.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace ziptest;

namespace {

QByteArray randomBytes(int size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes) {
        c = char(random.bounded(256));
    }
    return bytes;
}

const QByteArray kPrefix = "#!/bin/sh\nexit 0\n";

// Loose files for the zip tools and the same entries for Python: a compressible image, an
// incompressible one (stored), a folder.
void writeLooseFiles(const QString& folder) {
    QDir().mkpath(folder + QStringLiteral("/sub"));
    writeFile(folder + QStringLiteral("/pacman.png"), QByteArray("PNG pixels ").repeated(200));
    writeFile(folder + QStringLiteral("/noise.png"), randomBytes(3000, 1));
    writeFile(folder + QStringLiteral("/sub/galaga.png"), QByteArray("more pixels ").repeated(100));
}

QList<Made> madeEntries(bool zip64) {
    return {{QStringLiteral("pacman.png"), QByteArray("PNG pixels ").repeated(200), false, {}, false},
            {QStringLiteral("noise.png"), randomBytes(3000, 1), true, {}, false},
            {QStringLiteral("sub/"), {}, true, {}, false},
            {QStringLiteral("sub/galaga.png"), QByteArray("more pixels ").repeated(100), false, {}, zip64}};
}

bool hasZip64End(const QByteArray& bytes, qsizetype commentLength) {
    return bytes.mid(bytes.size() - 22 - commentLength - 20, 4) == "PK\x06\x07";
}

QList<int> entriesWithZip64(const ArchiveFacts& facts) {
    QList<int> out;
    for (int i = 0; i < facts.entries.size(); ++i) {
        if (facts.entries[i].zip64Length >= 0) {
            out.append(i);
        }
    }
    return out;
}

QList<int> zip64Lengths(const ArchiveFacts& facts) {
    QList<int> out;
    for (const EntryFacts& e : facts.entries) {
        out.append(e.zip64Length);
    }
    return out;
}

}  // namespace

class ZipCommitTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { zip_testing::reset(); }

    void archivesOfOtherToolsStayIntact_data() {
        QTest::addColumn<QString>("command");  // run among the loose files, or "" for Python
        QTest::addColumn<QByteArray>("comment");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<bool>("streamed");
        QTest::addColumn<bool>("identicalUnchanged");
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("descriptors");  // the layout has what its name says
        const QByteArray none;
        QTest::newRow("Info-ZIP zip")
            << QStringLiteral("zip -qr '%1' .") << none << none << false << true << 3 << false;
        QTest::newRow("Info-ZIP zip through a pipe, data descriptors")
            << QStringLiteral("zip -qr - . | cat > '%1'") << none << none << false << true << 3 << true;
        QTest::newRow("7-Zip") << QStringLiteral("7z a -tzip -bd '%1' pacman.png noise.png sub >/dev/null")
                               << none << none << false << true << 3 << false;
        QTest::newRow("Python streamed, data descriptors and a ZIP64 local field")
            << QString() << none << none << true << true << 3 << true;
        QTest::newRow("Python, comment")
            << QString() << QByteArray("high scores \x01\xff") << none << false << true << 3 << false;
        QTest::newRow("data in front, offsets from the file's start")
            << QString() << none << kPrefix << false << true << 3 << false;
        // The commit writes the offsets from the file's start, as they should be.
        QTest::newRow("data in front, offsets from the archive's start")
            << QString() << QByteArray("c") << kPrefix << true << false << 3 << true;
        QTest::newRow("empty") << QStringLiteral(
                                      "python3 -c \"import zipfile; zipfile.ZipFile('%1', 'w').close()\"")
                               << none << none << false << true << 0 << false;
    }

    void archivesOfOtherToolsStayIntact() {
        QFETCH(QString, command);
        QFETCH(QByteArray, comment);
        QFETCH(QByteArray, prefix);
        QFETCH(bool, streamed);
        QFETCH(bool, identicalUnchanged);
        QFETCH(int, files);
        QFETCH(bool, descriptors);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        if (command.isEmpty()) {
            QCOMPARE(makeWithPython(path, madeEntries(streamed), {comment, prefix, streamed}), QString());
        } else {
            const QString loose = dir.filePath(QStringLiteral("files"));
            writeLooseFiles(loose);
            QString output;
            QVERIFY2(
                run(QStringLiteral("sh"), {QStringLiteral("-c"), command.arg(path)}, loose, &output) == 0,
                qPrintable(output));
        }
        const QByteArray original = readFile(path);
        ArchiveFacts before = readWithPython(path);
        QVERIFY2(before.error.isEmpty(), qPrintable(before.error));
        before.strictlyConsistent = readWithLibzip(path).error.isEmpty();
        QCOMPARE(std::any_of(before.entries.cbegin(), before.entries.cend(),
                             [](const EntryFacts& e) { return e.flags & 8; }),
                 descriptors);

        ZipArchive archive;
        archive.open(path);
        QCOMPARE(archive.fileCount(), files);
        archive.beginUpdate();
        archive.commitUpdate();
        if (identicalUnchanged) {
            QCOMPARE(readFile(path), original);
        }
        verifyArchive(path, before);
        if (files == 0) {
            return;
        }
        // Rename the first file, delete the last.
        QHash<QByteArray, QByteArray> renamed;
        QSet<QByteArray> deleted;
        for (const EntryFacts& e : before.entries) {
            if (!e.name.endsWith('/')) {
                if (renamed.isEmpty()) {
                    renamed.insert(e.name, e.name + ".krm");
                } else {
                    deleted = {e.name};
                }
            }
        }
        archive.beginUpdate();
        archive.renameEntry(archive.names().constFirst());
        archive.deleteEntry(archive.names().constLast());
        archive.commitUpdate();
        verifyArchive(path, expectedAfter(before, renamed, deleted));
        QVERIFY(readFile(path).startsWith(original.left(original.indexOf("PK\x03\x04"))));
        QCOMPARE(filesIn(dir.path()), QStringList({QStringLiteral("snap.zip")}));

        // The archive stays open on what it wrote: it lists what a fresh reader lists, and the
        // next update, which reads the renamed entry's new local header, commits as well.
        ZipArchive reopened;
        reopened.open(path);
        QCOMPARE(archive.names(), reopened.names());
        QCOMPARE(archive.fileCount(), reopened.fileCount());
        archive.beginUpdate();
        archive.restoreEntry(archive.names().constFirst());
        archive.commitUpdate();
        verifyArchive(path, expectedAfter(before, {}, deleted));
    }

    void zip64WhereLimitsAreReached_data() {
        QTest::addColumn<QByteArray>("first");  // the first entry's data
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("countLimit");       // 0: the real one
        QTest::addColumn<QString>("byteLimitAt");  // "" (the real one), or a field of the archive
        QTest::addColumn<int>("plus");
        QTest::addColumn<QList<int>>("zip64Entries");
        QTest::addColumn<bool>("zip64End");
        const QByteArray small = "12345678";
        const QByteArray zeros(1000, '\0');
        const QByteArray noise = randomBytes(1000, 2);
        QTest::newRow("count at the limit") << small << true << 4 << QString() << 0 << QList<int>() << true;
        QTest::newRow("count below the limit")
            << small << true << 5 << QString() << 0 << QList<int>() << false;
        QTest::newRow("offset at the limit")
            << small << true << 0 << QStringLiteral("offset 2") << 0 << QList<int>({2, 3}) << true;
        QTest::newRow("offset below the limit")
            << small << true << 0 << QStringLiteral("offset 2") << 1 << QList<int>({3}) << true;
        QTest::newRow("stored size at the limit")
            << QByteArray(300, 's') << true << 0 << QStringLiteral("size 0") << 0 << QList<int>({0, 1, 2, 3})
            << true;
        QTest::newRow("stored size below the limit")
            << QByteArray(300, 's') << true << 0 << QStringLiteral("size 0") << 1 << QList<int>({1, 2, 3})
            << true;
        QTest::newRow("uncompressed size at the limit")
            << zeros << false << 0 << QStringLiteral("size 0") << 0 << QList<int>({0}) << false;
        QTest::newRow("uncompressed size below the limit")
            << zeros << false << 0 << QStringLiteral("size 0") << 1 << QList<int>() << false;
        QTest::newRow("compressed size at the limit")
            << noise << false << 0 << QStringLiteral("compressed 0") << 0 << QList<int>({0, 1, 2, 3}) << true;
    }

    void zip64WhereLimitsAreReached() {
        QFETCH(QByteArray, first);
        QFETCH(bool, stored);
        QFETCH(int, countLimit);
        QFETCH(QString, byteLimitAt);
        QFETCH(int, plus);
        QFETCH(QList<int>, zip64Entries);
        QFETCH(bool, zip64End);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        QCOMPARE(makeWithPython(path, {{QStringLiteral("a.png"), first, stored, {}, false},
                                       {QStringLiteral("b.png"), "12345678", true, {}, false},
                                       {QStringLiteral("c.png"), "12345678", true, {}, false},
                                       {QStringLiteral("d.png"), "12345678", true, {}, false}}),
                 QString());
        const QByteArray original = readFile(path);
        const ArchiveFacts before = readWithPython(path);
        quint64 byteLimit = 0xFFFFFFFF;
        if (byteLimitAt == QLatin1String("offset 2")) {
            byteLimit = before.entries[2].offset + plus;
        } else if (byteLimitAt == QLatin1String("size 0")) {
            byteLimit = before.entries[0].size + plus;
        } else if (byteLimitAt == QLatin1String("compressed 0")) {
            QVERIFY(before.entries[0].compressedSize > before.entries[0].size);
            byteLimit = before.entries[0].compressedSize + plus;
        }
        zip_testing::setZip64Limits(countLimit ? quint64(countLimit) : 0xFFFF, byteLimit);

        ZipArchive archive;
        archive.open(path);
        archive.beginUpdate();
        archive.commitUpdate();
        const QByteArray committed = readFile(path);
        verifyArchive(path, before);
        QCOMPARE(entriesWithZip64(readWithPython(path)), zip64Entries);
        QCOMPARE(hasZip64End(committed, 0), zip64End);
        if (zip64Entries.isEmpty() && !zip64End) {
            QCOMPARE(committed, original);
        }
        QCOMPARE(archive.fileCount(), 4);  // read back through the ZIP64 fields
    }

    // Readers take the 20 bytes before the end record for a ZIP64 locator when they begin with its
    // signature. A commit that brings such bytes there (a fuzzer's find: the archive it wrote opened
    // neither here nor in Python's zipfile) writes real ZIP64 end records instead.
    void noLocatorLookalikeBeforeTheEndRecord_data() {
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<QByteArray>("extra");  // of the first entry
        QTest::addColumn<QStringList>("deleted");
        const QByteArray lookalike = QByteArray("PK\x06\x07", 4) + QByteArray(16, 'x');
        const QByteArray subfield = QByteArray("\xFE\xCA\x14\x00", 4) + lookalike;  // 20 bytes of id 0xCAFE
        QTest::newRow("the end of the last entry's extra field")
            << QByteArray() << subfield << QStringList{QStringLiteral("b.png")};
        QTest::newRow("the end of the data before an empty directory")
            << kPrefix + lookalike << QByteArray()
            << QStringList{QStringLiteral("a.png"), QStringLiteral("b.png")};
    }

    void noLocatorLookalikeBeforeTheEndRecord() {
        QFETCH(QByteArray, prefix);
        QFETCH(QByteArray, extra);
        QFETCH(QStringList, deleted);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        QCOMPARE(makeWithPython(path,
                                {{QStringLiteral("a.png"), "12345678", true, extra, false},
                                 {QStringLiteral("b.png"), "12345678", true, {}, false}},
                                {{}, prefix, false}),
                 QString());
        const ArchiveFacts before = readWithPython(path);
        QVERIFY2(before.error.isEmpty(), qPrintable(before.error));
        ZipArchive archive;
        archive.open(path);
        archive.beginUpdate();
        QSet<QByteArray> deletedNames;
        for (const QString& name : deleted) {
            archive.deleteEntry(name);
            deletedNames.insert(name.toUtf8());
        }
        archive.commitUpdate();
        QVERIFY(hasZip64End(readFile(path), 0));
        const ArchiveFacts expected = expectedAfter(before, {}, deletedNames);
        if (expected.entries.isEmpty()) {
            // Info-ZIP's unzip refuses any empty archive with data in front of it; Python reads it.
            const ArchiveFacts after = readWithPython(path);
            QVERIFY2(after.error.isEmpty(), qPrintable(after.error));
            QVERIFY(after.entries.isEmpty());
        } else {
            verifyArchive(path, expected);
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        ZipArchive reopened;
        QVERIFY_THROWS_NO_EXCEPTION(reopened.open(path));
        QCOMPARE(reopened.names(), archive.names());
    }

    // The fuzzer's own input: its last entry's size reads 0xFFFFFFFF without a ZIP64 field, so a
    // commit gives it one, after a name ending in "PK\x06\x07.png": 20 bytes before the end record.
    void fuzzedArchiveOpensAfterItsCommit() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        const QByteArray fuzzed = QByteArray::fromHex(
            "2c504b03041400e1000800e7a0895d0f1828bb0500000010000000090000006b696e73742e706e67aba8400500504b03"
            "04140000000800e7a0895d0fa801000000000000000000090000004b494e53542e504e47aba8400500504b0304140000"
            "000800e7a0895d0f1828bb050000001000000007000000666f6c6465722faba8400500504b0304140000000800e7a089"
            "5d0f1828bb05000000100000000e000000666f6c6465722f7a38312e706e67aba8400500504b01021403140000000800"
            "e7a0895d0f1828bb05000000100000000900000000000000000000008001000000006b696f73742e702f67504b010214"
            "03140000000800e7a0895d0f1828bb050000001000000009000000000000000000000080012c000000504b0606542e50"
            "4e47504b01021403140000000800e7a0895d0f1828bb0500000010000000070000000000000000001000fd4158000000"
            "64726f2f6c6566504b01021403140000000800e7a0895d0f1828bb05000000ffffffff0e000000000000000000000080"
            "0182000000666f6c646572504b06072e706e67504b05060000000004000400df000000b30000000000");
        writeFile(path, fuzzed);
        ZipArchive archive;
        archive.open(path);
        const QStringList names = archive.names();
        archive.beginUpdate();
        archive.renameEntry(names.constFirst());
        archive.commitUpdate();
        ZipArchive reopened;
        QVERIFY_THROWS_NO_EXCEPTION(reopened.open(path));
        QCOMPARE(reopened.names(), archive.names());
        QCOMPARE(reopened.names().constFirst(), names.constFirst() + QStringLiteral(".krm"));
    }

    // ZIP64 fields an archive has stay, with their values brought up to date; end records come
    // only where they are needed.
    void existingZip64FieldsAreKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        QCOMPARE(makeWithPython(path, madeEntries(false)), QString());
        const ArchiveFacts before = readWithPython(path);
        zip_testing::setZip64Limits(1, 1);
        ZipArchive archive;
        archive.open(path);
        archive.beginUpdate();
        archive.commitUpdate();
        const QList<int> lengths = zip64Lengths(readWithPython(path));
        QCOMPARE(lengths,
                 QList<int>({16, 24, 8, 24}));  // sizes and offsets of 1 and above, a folder's offset
        zip_testing::reset();
        archive.beginUpdate();
        archive.deleteEntry(QStringLiteral("pacman.png"));
        archive.renameEntry(QStringLiteral("noise.png"));
        archive.commitUpdate();
        const ArchiveFacts expected = expectedAfter(before, {{"noise.png", "noise.png.krm"}}, {"pacman.png"});
        verifyArchive(path, expected);
        QCOMPARE(zip64Lengths(readWithPython(path)), lengths.mid(1));
        QVERIFY(!hasZip64End(readFile(path), 0));
    }
};

KESTRUM_REGISTER_TEST(ZipCommitTest)
#include "tst_zipcommit.moc"
