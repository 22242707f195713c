// Opening and listing: names, folder entries, lookups, and archives that must not open.
#include "TestMain.h"
#include "ZipOracles.h"
#include "processing/zip/ZipArchive.h"
#include "processing/zip/ZipIo.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <cstdio>
#include <functional>

using namespace ziptest;

namespace {

quint32 get32(const QByteArray& b, qsizetype at) {
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

void set16(QByteArray& b, qsizetype at, quint32 v) {
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}

void set32(QByteArray& b, qsizetype at, quint32 v) {
    set16(b, at, v);
    set16(b, at + 2, v >> 16);
}

// Where the records of a small archive without comment lie.
struct Layout {
    qsizetype end;        // end record
    qsizetype record[3];  // central records
    qsizetype local[3];   // local headers
};

Layout layoutOf(const QByteArray& b) {
    Layout l{};
    l.end = b.size() - 22;
    qsizetype at = get32(b, l.end + 16);
    for (int i = 0; i < 3; ++i) {
        l.record[i] = at;
        l.local[i] = get32(b, at + 42);
        at += 46 + (get32(b, at + 28) & 0xFFFF) + (get32(b, at + 30) & 0xFFFF) + (get32(b, at + 32) & 0xFFFF);
    }
    return l;
}

// The third entry carries an extra field with id 0xABCD that a case can turn into a ZIP64 field.
const QList<Made> kThreeStored = {
    {QStringLiteral("a.png"), QByteArray(20, 'a'), true, {}, false},
    {QStringLiteral("b.png"), QByteArray(30, 'b'), true, {}, false},
    {QStringLiteral("c.png"), QByteArray(40, 'c'), true,
     QByteArray::fromHex("cdab1000ffffffffffffff3fffffffffffffff3f"), false},
};

using Damage = std::function<void(QByteArray&, const Layout&)>;

const QList<QPair<const char*, Damage>> kDamages = {
    {"directory offset past the file",
     [](QByteArray& b, const Layout& l) { set32(b, l.end + 16, b.size() + 9); }},
    {"directory size past the file",
     [](QByteArray& b, const Layout& l) { set32(b, l.end + 12, b.size() * 2); }},
    {"directory size one short",
     [](QByteArray& b, const Layout& l) { set32(b, l.end + 12, get32(b, l.end + 12) - 1); }},
    {"more entries than records",
     [](QByteArray& b, const Layout& l) { set16(b, l.end + 8, 4), set16(b, l.end + 10, 4); }},
    {"fewer entries than records",
     [](QByteArray& b, const Layout& l) { set16(b, l.end + 8, 2), set16(b, l.end + 10, 2); }},
    {"a second disk", [](QByteArray& b, const Layout& l) { set16(b, l.end + 4, 1); }},
    {"comment length past the end", [](QByteArray& b, const Layout& l) { set16(b, l.end + 20, 3); }},
    {"local offset inside the directory",
     [](QByteArray& b, const Layout& l) { set32(b, l.record[1] + 42, l.record[0]); }},
    {"local header missing", [](QByteArray& b, const Layout& l) { b[l.local[1]] = 'X'; }},
    {"two entries at one offset", [](QByteArray& b, const Layout& l) { set32(b, l.record[2] + 42, 0); }},
    {"sizes past the directory",
     [](QByteArray& b, const Layout& l) {
         set32(b, l.record[2] + 20, 5000), set32(b, l.record[2] + 24, 5000);
     }},
    {"stored sizes that differ", [](QByteArray& b, const Layout& l) { set32(b, l.record[0] + 24, 21); }},
    {"name running past the directory",
     [](QByteArray& b, const Layout& l) { set16(b, l.record[2] + 28, 600); }},
    {"encrypted directory", [](QByteArray& b, const Layout& l) { set16(b, l.record[0] + 8, 0x2000); }},
    {"ZIP64 sizes too large for the file",
     [](QByteArray& b, const Layout& l) {
         set16(b, l.record[2] + 46 + 5, 1);  // the extra field becomes ZIP64 with two sizes of 2^62 - 1
         set32(b, l.record[2] + 20, 0xFFFFFFFF);
         set32(b, l.record[2] + 24, 0xFFFFFFFF);
     }},
    {"ZIP64 field without the offset",
     [](QByteArray& b, const Layout& l) {
         set16(b, l.record[2] + 46 + 5, 1);
         set32(b, l.record[2] + 20, 0xFFFFFFFF);
         set32(b, l.record[2] + 24, 0xFFFFFFFF);
         set32(b, l.record[2] + 42, 0xFFFFFFFF);  // a third value the field does not have
     }},
    {"data after the end record", [](QByteArray& b, const Layout&) { b += "PK"; }},
};

void expectRefused(const QString& path, const char* what) {
    ZipArchive archive;
    try {
        archive.open(path);
    } catch (const ZipError& error) {
        QVERIFY2(error.message().startsWith(path + QStringLiteral(": ")), qPrintable(error.message()));
        QVERIFY(!archive.isOpen());
        QCOMPARE(archive.fileCount(), 0);
        archive.close();
        return;
    }
    QFAIL(qPrintable(QStringLiteral("opened: %1").arg(QString::fromUtf8(what))));
}

}  // namespace

class ZipOpenTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { zip_testing::reset(); }

    void listsAndLooksUpFileNames() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        const QList<Made> entries = {
            {QStringLiteral("sub/"), {}, true, {}, false},
            {QStringLiteral("sub/Pac.png"), "1", false, {}, false},
            {QStringLiteral("PACMAN.PNG"), "2", false, {}, false},
            {QStringLiteral("deep/er/pacman.png"), "3", false, {}, false},
            {QStringLiteral("dos\\b.png"), "4", false, {}, false},
            {QStringLiteral("CAF#.PNG"), "5", false, {}, false},
            {QStringLiteral("ñandú.png"), "6", false, {}, false},  // stored with the UTF-8 flag
        };
        QCOMPARE(makeWithPython(path, entries), QString());
        // Byte 0x90 without the UTF-8 flag is CP437's "É".
        writeFile(path, readFile(path).replace("CAF#.PNG", "CAF\x90.PNG"));

        ZipArchive archive;
        archive.open(path);
        QCOMPARE(archive.fileCount(), 6);
        QCOMPARE(archive.names(), QStringList({QStringLiteral("Pac.png"), QStringLiteral("PACMAN.PNG"),
                                               QStringLiteral("pacman.png"), QStringLiteral("b.png"),
                                               QStringLiteral("CAFÉ.PNG"), QStringLiteral("ñandú.png")}));
        QVERIFY(archive.contains(QStringLiteral("pacman.png")));
        QVERIFY(archive.contains(QStringLiteral("PAC.png")));
        QVERIFY(archive.contains(QStringLiteral("cafÉ.png")));
        QVERIFY(!archive.contains(QStringLiteral("café.png")));  // only A-Z are folded
        QVERIFY(!archive.contains(QStringLiteral("ÑANDÚ.png")));
        QVERIFY(archive.contains(QStringLiteral("ñANDú.PNG")));
        QVERIFY(!archive.contains(QStringLiteral("sub/Pac.png")));
        QVERIFY(!archive.contains(QStringLiteral("sub")));
        QVERIFY(!archive.contains(QString()));
    }

    void openingChangesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        QCOMPARE(makeWithPython(path, kThreeStored), QString());
        writeFile(path + QStringLiteral(".kestrum-tmp"), "left over");
        const QByteArray bytes = readFile(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        {
            ZipArchive archive;
            archive.open(path);
            archive.beginUpdate();
            archive.renameEntry(QStringLiteral("a.png"));
            archive.deleteEntry(QStringLiteral("b.png"));
            archive.close();
            archive.close();
            archive.open(path);
            archive.beginUpdate();
            archive.deleteEntry(QStringLiteral("c.png"));
        }  // dropped with its update
        QCOMPARE(readFile(path), bytes);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QCOMPARE(filesIn(dir.path()),
                 QStringList({QStringLiteral("snap.zip"), QStringLiteral("snap.zip.kestrum-tmp")}));
    }

    void missingFoldersAndFifosDoNotOpen() {
        QTemporaryDir dir;
        expectRefused(dir.filePath(QStringLiteral("missing.zip")), "a missing file");
        expectRefused(dir.path(), "a folder");
        const QString fifo = dir.filePath(QStringLiteral("fifo.zip"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        expectRefused(fifo, "a FIFO");
    }

    void damagedArchivesDoNotOpen_data() {
        QTest::addColumn<int>("damage");
        for (int i = 0; i < kDamages.size(); ++i) {
            QTest::newRow(kDamages[i].first) << i;
        }
    }

    void damagedArchivesDoNotOpen() {
        QFETCH(int, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        QCOMPARE(makeWithPython(path, kThreeStored), QString());
        QByteArray bytes = readFile(path);
        ZipArchive().open(path);  // sound before the damage
        kDamages[damage].second(bytes, layoutOf(bytes));
        writeFile(path, bytes);
        expectRefused(path, kDamages[damage].first);
    }

    void truncatedArchivesDoNotOpen() {
        QTemporaryDir dir;
        const QString whole = dir.filePath(QStringLiteral("whole.zip"));
        QCOMPARE(makeWithPython(whole, kThreeStored, {"a comment", "#!/bin/sh\n", false}), QString());
        const QByteArray bytes = readFile(whole);
        const QString path = dir.filePath(QStringLiteral("cut.zip"));
        for (qsizetype size = 0; size < bytes.size(); ++size) {
            writeFile(path, bytes.left(size));
            expectRefused(path, "a truncated archive");
            if (QTest::currentTestFailed()) {
                qWarning("at %lld bytes", qint64(size));
                return;
            }
        }
    }

    void randomBytesDoNotOpen() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("random.zip"));
        QRandomGenerator random(16);
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes(random.bounded(3000), Qt::Uninitialized);
            for (char& c : bytes) {
                c = char(random.bounded(256));
            }
            if (round % 2) {  // an end record of random fields that fits the file
                QByteArray end(22, Qt::Uninitialized);
                for (char& c : end) {
                    c = char(random.bounded(256));
                }
                set32(end, 0, 0x06054b50);
                set16(end, 20, 0);
                bytes += end;
            }
            writeFile(path, bytes);
            expectRefused(path, "random bytes");
        }
    }

    // Damage anywhere: the archive opens or is refused, and one that opens can be committed.
    void damagedBytesNeverCrash() {
        QTemporaryDir dir;
        const QString sound = dir.filePath(QStringLiteral("sound.zip"));
        QList<Made> entries = kThreeStored;
        entries.append({QStringLiteral("d.png"), QByteArray(500, 'd'), false, {}, true});
        QCOMPARE(makeWithPython(sound, entries, {"note", {}, true}), QString());
        const QByteArray bytes = readFile(sound);
        const QString path = dir.filePath(QStringLiteral("damaged.zip"));
        QRandomGenerator random(17);
        int opened = 0;
        for (int round = 0; round < 1500; ++round) {
            QByteArray damaged = bytes;
            for (int n = random.bounded(1, 4); n > 0; --n) {
                damaged[random.bounded(damaged.size())] = char(random.bounded(256));
            }
            writeFile(path, damaged);
            ZipArchive archive;
            try {
                archive.open(path);
                ++opened;
                archive.beginUpdate();
                if (!archive.names().isEmpty()) {
                    archive.renameEntry(archive.names().constFirst());
                }
                archive.commitUpdate();
            } catch (const ZipError&) {
            }
        }
        QVERIFY(opened > 0 && opened < 1500);
    }
};

KESTRUM_REGISTER_TEST(ZipOpenTest)

// A ZipError that escapes a test is a failure; stop with it rather than abort inside the test library.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        return testsupport::runRegisteredTests(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "FAIL! an exception escaped a test: %s\n", error.what());
        return 1;
    }
}
#include "tst_zipopen.moc"
