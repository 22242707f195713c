#include "FakeEmulator.h"
#include "GamesDbFixture.h"
#include "TestMain.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/ListInfoScanner.h"

#include <QTest>

namespace {

const QByteArray kDetails =
    " romname driver     cpu 1\r\n"
    "-------- ---------- --------\r\n"
    "puckman  pacman     Z80\r\n"
    "PACLONG  pacdrv     Z80\r\n"
    "neogeo   neogeo\r\n"
    "neogeo   neo2\r\n"
    "abc      0123456789XYZ\r\n"
    "longname drvlong\r\n"
    "short\r\n";

QByteArray scan(const QByteArray& info) {
    QByteArray out;
    ScanListInfo(info, driverTable(kDetails), out, [](qint64, qint64) {});
    return out;
}

// The game lines ParseListInfo writes for the fixtures tests/data/emulator/listinfo.txt and
// listdetails.txt.
const QByteArray kFixtureGames =
    "puckman=0000<title>Puck Man (Japan set 1)/><year>1980/><manuf>Namco/><drvname>pacman/><scrorient>1/>"
    "<drvstat>0/>\r\n"
    "pacman=0100<title>Pac-Man (Midway)/><year>1980/><manuf>Namco (Midway license) & friends/>"
    "<drvname>pacman/><cloneof>puckman/><scrorient>1/><drvstat>1/><emustat>-1/><clrstat>0/><sndstat>1/>"
    "<grpstat>-1/>\r\n"
    "neogeo=0200<title>Neo-Geo/><year>1990/><manuf>SNK/><drvname>neogeo/>\r\n";

}  // namespace

class ListInfoScannerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void driverTableReadsFixedColumns_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("driver");
        QTest::newRow("plain") << QByteArray("puckman") << QByteArray("pacman");
        QTest::newRow("case ignored") << QByteArray("paclong") << QByteArray("pacdrv");
        QTest::newRow("last line wins") << QByteArray("neogeo") << QByteArray("neo2");
        QTest::newRow("ten characters") << QByteArray("abc") << QByteArray("0123456789");
        QTest::newRow("eight-character name") << QByteArray("longname") << QByteArray("drvlong");
        QTest::newRow("short line") << QByteArray("short") << QByteArray("");
        QTest::newRow("missing") << QByteArray("galaga") << QByteArray("");
    }
    void driverTableReadsFixedColumns() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, driver);
        // The scanner is the table's user: a game of that name gets the driver or none.
        const QByteArray line = scan("game (\nname " + name + "\nrom ( name x )\n)\n");
        QCOMPARE(line,
                 name + "=0000" + (driver.isEmpty() ? QByteArray() : "<drvname>" + driver + "/>") + "\r\n");
    }

    void scansGames_data() {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QByteArray>("lines");
        const auto row = [](const char* name, const char* info, const char* lines) {
            QTest::newRow(name) << QByteArray(info) << QByteArray(lines);
        };
        row("description in quotes", "game (\n\tname a\n\tdescription \"A &amp; B, The\"\n\trom ( x )\n)\n",
            "a=0000<title>A & B, The/>\r\n");
        row("description without quotes", "game (\nname a\ndescription Puck Man\nrom ( x )\n)\n",
            "a=0000<title>uck Ma/>\r\n");
        row("manufacturer", "game (\nname a\nmanufacturer \"Namco &lt;J&gt;\"\nrom ( x )\n)\n",
            "a=0000<manuf>Namco <J>/>\r\n");
        row("end followed by blanks never ends",
            "game (\nname a\nrom ( x )\n) \ngame (\nname b\ndisk ( y )\n\t)\n", "b=0010\r\n");
        row("good driver words",
            "game (\nname a\nrom ( x )\ndriver ( status good color good sound imperfect )\n)\n",
            "a=0000<drvstat>0/>\r\n");
        row("imperfect driver words",
            "game (\nname a\nrom ( x )\ndriver ( status IMPERFECT emulation good color bad graphic "
            "preliminary )\n)\n",
            "a=0000<drvstat>1/><emustat>0/><clrstat>-1/><sndstat>-1/><grpstat>2/>\r\n");
        row("resource with cloneof", "resource (\nname r\ncloneof p\nrom ( x )\n)\n",
            "r=0200<cloneof>p/>\r\n");
        row("clone", "game (\nname c\ncloneof p\nromof p\nrom ( x )\n)\n", "c=0100<cloneof>p/>\r\n");
        row("without rom or disk", "game (\nname a\nvideo ( orientation vertical )\n)\n", "");
        row("first video line",
            "game (\nname a\nvideo ( orientation horizontal )\nvideo ( orientation vertical )\n"
            "rom ( x )\n)\n",
            "a=0000<scrorient>0/>\r\n");
        row("long name finds no driver", "game (\nname longname1\nrom ( x )\n)\n", "longname1=0000\r\n");
        row("values not trimmed on the right",
            "game (\nname puckman \nyear 1980 \ncloneof p \nrom ( x )\n)\n",
            "puckman =0100<year>1980 /><cloneof>p />\r\n");
        row("prefixes are case-sensitive", "game (\nName b\nROM ( x )\nrom( x )\n)\n", "");
        row("lines outside a game", "rom ( x )\n)\ngame (\nname a\n)\nrom ( x )\n)\n", "");
        row("new game drops the unfinished one",
            "game (\nname a\nyear 1980\nrom ( x )\ngame (\nname b\nrom ( y )\n)\n", "b=0000\r\n");
        row("CR line breaks", "game (\rname a\rrom ( x )\r)\r", "a=0000\r\n");
    }
    void scansGames() {
        QFETCH(QByteArray, info);
        QFETCH(QByteArray, lines);
        QCOMPARE(scan(info), lines);
    }

    void goodDriverLoadsWithZeroSubStatuses() {
        const QByteArray line =
            scan("game (\nname a\nrom ( x )\ndriver ( status good color good sound imperfect )\n)\n");
        TGameInfo game;
        ParseGameLine(line.chopped(2), game);
        QCOMPARE(describe(game), QStringLiteral("a|0000||||||-1|0 0 0 0 0"));
    }

    void parseWritesTheList() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("emulator/mame", "#!/bin/sh\n");
        f.state.emulator.EmulatorDescription = QStringLiteral("MAME v0.69 (Jul 14 2003)");
        QVERIFY(QFile::copy(testDataPath("emulator/listinfo.txt"), f.program.file("listinfo.txt")));
        QVERIFY(QFile::copy(testDataPath("emulator/listdetails.txt"), f.program.file("listdetails.txt")));
        QCOMPARE(ParseListInfo(f.context), ScanResult::Written);
        QCOMPARE(f.program.read("listfull.txt"), ListStamp(f.state.setup.mameExecutableFile).toLatin1() +
                                                     "\r\nMAME v0.69 (Jul 14 2003)\r\n" + kFixtureGames);
        QVERIFY(!QFile::exists(f.program.file("listinfo.txt")));
        QVERIFY(!QFile::exists(f.program.file("listdetails.txt")));
        QCOMPARE(f.wait.messages,
                 QStringList{QStringLiteral("Parsing \"listinfo.txt\" and creating \"listfull.txt\"...")});
        QCOMPARE(f.wait.value, 100);
    }

    // The build asks about it (see the games list build's tests); the scan writes nothing.
    void emptyListIsReportedAsSuch() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("mame", "x");
        f.program.write("listinfo.txt", "\xEF\xBB\xBF");
        f.program.write("listdetails.txt", kDetails);
        QCOMPARE(ParseListInfo(f.context), ScanResult::EmptyOutput);
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!QFile::exists(f.listPath()));
    }
};

KESTRUM_REGISTER_TEST(ListInfoScannerTest)
#include "tst_listinfo.moc"
