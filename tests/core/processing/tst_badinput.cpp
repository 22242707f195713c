// Bad input met by the processing job: damaged category archives, archives whose entries claim
// impossible sizes, and game names no path may be made of. The job never changes what it cannot
// read, and never a file it was not asked to.
#include "JobFixture.h"
#include "TestMain.h"
#include "ZipOracles.h"
#include "processing/zip/ZipIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <functional>

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

// Where the end record and the central records of an archive without comment lie.
struct Layout {
    qsizetype end = 0;
    QList<qsizetype> records;
};

Layout layoutOf(const QByteArray& b) {
    Layout l;
    l.end = b.size() - 22;
    qsizetype at = get32(b, l.end + 16);
    while (at < l.end) {
        l.records.append(at);
        at += 46 + (get32(b, at + 28) & 0xFFFF) + (get32(b, at + 30) & 0xFFFF) + (get32(b, at + 32) & 0xFFFF);
    }
    return l;
}

// snap.zip of three stored images, the second pacman's.
const QStringList kSnapNames = {"galaga.png", "pacman.png", "dkong.png"};

struct ArchiveJob : JobFixture {
    using JobFixture::JobFixture;
    QString archive(const QString& path, const QStringList& names, bool stored = true) {
        QList<ziptest::Made> entries;
        for (const QString& name : names) {
            entries.append(ziptest::Made{name, name.toUtf8().repeated(40), stored, {}, false});
        }
        QDir().mkpath(QFileInfo(dir.file(path)).path());
        const QString error = ziptest::makeWithPython(dir.file(path), entries);
        if (!error.isEmpty()) {
            qFatal("%s", qPrintable(error));
        }
        return dir.file(path);
    }
    QStringList lines() const { return log.lines.mid(3); }  // after the heading, date and empty line
};

using Damage = std::function<void(QByteArray&, const Layout&)>;

}  // namespace

Q_DECLARE_METATYPE(Damage)

class BadArchivesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        ArchiveJob made(QStringList{});
        m_snap = ziptest::readFile(made.archive("snap.zip", kSnapNames));
        m_titles = ziptest::readFile(made.archive("titles.zip", {"pacman.png"}));
        m_marquees = ziptest::readFile(made.archive("marquees.zip", {"galaga.png"}));
    }
    void init() { zip_testing::reset(); }
    void cleanup() { zip_testing::reset(); }

    // An archive that does not open is passed over without a line and without a word, and stays
    // byte for byte as it was; the job goes on with the next category and ends with its totals.
    void unreadableArchiveIsPassedOver_data() {
        QTest::addColumn<Damage>("damage");
        const auto row = [](const char* name, Damage damage) { QTest::newRow(name) << damage; };
        row("central directory without its signature",
            [](QByteArray& b, const Layout& l) { b[l.records[1]] = 'X'; });
        row("central directory offset past the file",
            [](QByteArray& b, const Layout& l) { set32(b, l.end + 16, quint32(b.size()) + 100); });
        row("more entries than the directory holds",
            [](QByteArray& b, const Layout& l) { set16(b, l.end + 8, 200), set16(b, l.end + 10, 200); });
        row("central directory overwritten with zeros", [](QByteArray& b, const Layout& l) {
            b.replace(l.records[0], l.end - l.records[0], QByteArray(l.end - l.records[0], '\0'));
        });
        row("no end record: the archive cut short",
            [](QByteArray& b, const Layout& l) { b.truncate(l.records[1] + 10); });
        row("an entry claiming 4 GiB of data in a small file", [](QByteArray& b, const Layout& l) {
            set32(b, l.records[1] + 20, 0xFFFFFFF0);
            set32(b, l.records[1] + 24, 0xFFFFFFF0);
        });
        row("an entry reaching into the next one", [](QByteArray& b, const Layout& l) {
            set32(b, l.records[0] + 20, get32(b, l.records[0] + 20) + 30);
            set32(b, l.records[0] + 24, get32(b, l.records[0] + 24) + 30);
        });
        row("a stored entry whose two sizes differ",
            [](QByteArray& b, const Layout& l) { set32(b, l.records[1] + 24, 1u << 30); });
        row("a local header offset past the directory",
            [](QByteArray& b, const Layout& l) { set32(b, l.records[2] + 42, 0x7FFFFFFF); });
    }
    void unreadableArchiveIsPassedOver() {
        QFETCH(Damage, damage);
        ArchiveJob job({"pacman", "galaga"});
        job.check({ImageTitle, ImageSnap, ImageMarquee});
        QByteArray bytes = m_snap;
        damage(bytes, layoutOf(bytes));
        const QString snap = job.dir.write("snap/snap.zip", bytes);
        job.dir.write("titles/titles.zip", m_titles);
        job.dir.write("marquees/marquees.zip", m_marquees);
        job.dir.write("snap/galaga.png", "loose");
        const JobCounters counters = job.run(RenameFiles);
        QCOMPARE(ziptest::readFile(snap), bytes);
        QCOMPARE(ziptest::filesIn(job.dir.file("snap")), (QStringList{"galaga.png.krm", "snap.zip"}));
        QCOMPARE(job.lines(), (QStringList{"Title Snapshot [.png]: No files where found.",
                                           "Game Snapshot [.png]: 1 files found and processed.",
                                           "Marquee [.png; .jpg]: No files where found.",
                                           "titles.zip: done! 1 files processed in 00:00 seconds",
                                           "marquees.zip: done! 1 files processed in 00:00 seconds", "",
                                           "All changes completed!", "Total files processed: 3"}));
        QCOMPARE(counters.Total, 3);
        QCOMPARE(job.port.texts(),
                 QStringList{"All changes completed!\r\nYou may also close the log window when ready..."});
    }

    // Sizes no entry of this file can have, where they do not decide where the entry lies (what
    // a deflated entry says it expands to): the archive opens, the job renames what it was asked
    // to and copies every entry as it is; renamed and restored, the archive is byte for byte the old.
    void claimedSizesTravelUnchanged() {
        ArchiveJob job({"pacman"});
        job.check({ImageSnap});
        const QString snap = job.archive("snap/snap.zip", kSnapNames, false);
        QByteArray bytes = ziptest::readFile(snap);
        const Layout layout = layoutOf(bytes);
        for (const qsizetype record : layout.records) {
            set32(bytes, record + 24, 0xFFFFFFFE);                     // central: expands to 4 GiB
            set32(bytes, get32(bytes, record + 42) + 22, 0xFFFFFFFE);  // and so says its local header
        }
        ziptest::writeFile(snap, bytes);
        QCOMPARE(job.run(RenameFiles).Total, 1);
        const ziptest::ArchiveFacts renamed = ziptest::readWithPython(snap);
        QCOMPARE(renamed.error, QString());
        QCOMPARE(renamed.entries.size(), 3);
        QCOMPARE(renamed.entries[1].name, QByteArray("pacman.png.krm"));
        for (const ziptest::EntryFacts& entry : renamed.entries) {
            QCOMPARE(entry.size, quint64(0xFFFFFFFE));
        }
        QCOMPARE(job.run(RestoreFiles).Total, 1);
        QCOMPARE(ziptest::readFile(snap), bytes);
        QVERIFY(job.port.texts().filter("Error").isEmpty());
    }

    // An archive that opens but whose entry cannot take its new name (its folder part leaves no
    // room for ".krm" within a name's 65,535 bytes) ends the job with a message naming the archive
    // and what failed; the archive is as it was and no temporary copy is left.
    void unchangeableEntryEndsTheJobWithAMessage() {
        ArchiveJob job({"galaga", "pacman"});
        job.check({ImageSnap});
        const QString snap = job.dir.file("snap/snap.zip");
        QString output;
        QCOMPARE(ziptest::run(QStringLiteral("python3"),
                              {QStringLiteral("-c"),
                               QStringLiteral("import sys, zipfile\n"
                                              "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                                              "    z.writestr('galaga.png', b'g' * 40)\n"
                                              "    z.writestr('d' * 65521 + '/pacman.png', b'p' * 40)\n"),
                               snap},
                              QString(), &output),
                 0);
        const QByteArray before = ziptest::readFile(snap);
        job.run(RenameFiles);
        QCOMPARE(job.port.messages.size(), 1);
        QCOMPARE(job.port.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(job.port.messages[0].text, snap + QStringLiteral(": the new name of an entry is too long"));
        QCOMPARE(job.port.messages[0].icon, MessageIcon::Error);
        QVERIFY(!job.log.lines.contains("All changes completed!"));
        QCOMPARE(job.port.busyChanges.last(), false);
        QCOMPARE(ziptest::readFile(snap), before);
        QCOMPARE(ziptest::filesIn(job.dir.file("snap")), QStringList{"snap.zip"});
    }

private:
    QByteArray m_snap;
    QByteArray m_titles;
    QByteArray m_marquees;
};

class BadGameNamesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A name holding a NUL byte (as damaged emulator output can give one) would name, once the
    // system cuts the path at that byte, another file: the one named like its part before the NUL.
    // Such a name is never processed.
    void nameWithNulIsNeverProcessed_data() {
        QTest::addColumn<int>("operation");
        QTest::newRow("Delete Files") << int(DeleteFiles);
        QTest::newRow("Rename Files") << int(RenameFiles);
        QTest::newRow("Move Files") << int(MoveFiles);
    }
    void nameWithNulIsNeverProcessed() {
        QFETCH(int, operation);
        JobFixture job({QStringLiteral("pacman") + QChar(0) + QStringLiteral("x")});
        job.check({GameROMs, GameCfg, GameIni, GameNVRAM, ImageSnap});
        job.setup.moveFilesToFolder = job.dir.makeFolder("moved");
        const QStringList files = {"roms/pacman", "cfg/pacman", "ini/pacman", "snap/pacman",
                                   "nvram/pacman/eeprom"};
        for (const QString& file : files) {
            job.dir.write(file, "not the damaged game's");
        }
        const JobCounters counters = job.run(OperationMode(operation));
        for (const QString& file : files) {
            QVERIFY2(QFile::exists(job.dir.file(file)), qPrintable(file));
        }
        QCOMPARE(counters.Total, 0);
        QCOMPARE(counters.Found, (std::array<int, kFileTypeCount>{}));
        QCOMPARE(ziptest::filesIn(job.dir.file("moved")), QStringList());
    }
};

KESTRUM_REGISTER_TEST(BadArchivesTest)
KESTRUM_REGISTER_TEST(BadGameNamesTest)
#include "tst_badinput.moc"
