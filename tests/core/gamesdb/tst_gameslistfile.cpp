#include "GamesDbFixture.h"
#include "TestMain.h"
#include "common/CodePage.h"
#include "gamesdb/GamesListFile.h"

#include <QDir>
#include <QTest>
#include <QTimeZone>

Q_DECLARE_METATYPE(RawGameInfo)

// The records below name only the fields that matter; the others keep their cleared values.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

class GamesListFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formatsGameLines_data() {
        QTest::addColumn<RawGameInfo>("game");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("bare parent") << RawGameInfo{.Name = "a", .Kind = 0} << QByteArray("0000");
        QTest::newRow("device") << RawGameInfo{.Name = "z80", .Title = "Zilog Z80", .Kind = 3}
                                << QByteArray("0300<title>Zilog Z80/>");
        QTest::newRow("mechanical bios")
            << RawGameInfo{.Name = "b", .Kind = 2, .Mechanical = 1} << QByteArray("0201");
        QTest::newRow("clone with disk, imperfect, sound unknown")
            << RawGameInfo{.Name = "c",
                           .Title = "Cube",
                           .Year = "1983",
                           .Manufacturer = "Simutrek",
                           .Driver = "cubeqst.cpp",
                           .CloneOf = "cubeqst",
                           .Kind = 1,
                           .HasCHD = 1,
                           .ScreenOrientation = 1,
                           .DriverStatus = 1,
                           .EmulationStatus = 0,
                           .ColorStatus = 0,
                           .SoundStatus = -1,
                           .GraphicStatus = 1}
            << QByteArray(
                   "0110<title>Cube/><year>1983/><manuf>Simutrek/><drvname>cubeqst.cpp/><cloneof>cubeqst/>"
                   "<scrorient>1/><drvstat>1/><emustat>0/><clrstat>0/><sndstat>-1/><grpstat>1/>");
        QTest::newRow("good driver drops sub-statuses, no year")
            << RawGameInfo{.Title = "P",
                           .Manufacturer = "M",
                           .Kind = 0,
                           .ScreenOrientation = 0,
                           .DriverStatus = 0,
                           .EmulationStatus = 1,
                           .ColorStatus = 2,
                           .SoundStatus = -1,
                           .GraphicStatus = 1}
            << QByteArray("0000<title>P/><manuf>M/><scrorient>0/><drvstat>0/>");
        QTest::newRow("unknown driver writes no status")
            << RawGameInfo{.Kind = 0, .DriverStatus = -1, .EmulationStatus = 1, .SoundStatus = 2}
            << QByteArray("0000");
        QTest::newRow("preliminary writes all four") << RawGameInfo{.Kind = 0, .DriverStatus = 2}
                                                     << QByteArray(
                                                            "0000<drvstat>2/><emustat>-1/><clrstat>-1/>"
                                                            "<sndstat>-1/><grpstat>-1/>");
        QTest::newRow("a line break in a field is a blank: one game, one line")
            << RawGameInfo{.Name = "evil",
                           .Title = "Two\nLines\r\nevil2=0000",
                           .Manufacturer = "M\r",
                           .Kind = 0}
            << QByteArray("0000<title>Two Lines  evil2=0000/><manuf>M />");
        QTest::newRow("bytes as they are")
            << RawGameInfo{.Title = "Juego de Tecnol\xC3\xB3gica",
                           .Manufacturer = "Tecnol\xF3gica",
                           .Kind = 0}
            << QByteArray("0000<title>Juego de Tecnol\xC3\xB3gica/><manuf>Tecnol\xF3gica/>");
    }
    void formatsGameLines() {
        QFETCH(RawGameInfo, game);
        QFETCH(QByteArray, line);
        QCOMPARE(FormatGameLine(game), line);
        QByteArray out = "before\r\n";
        appendGameLine(out, game);
        QCOMPARE(out, "before\r\n" + game.Name + '=' + line + "\r\n");
        // Read back and written again, a line this system writes stays the same.
        if (isValidUtf8(line)) {
            TGameInfo back;
            ParseGameLine(game.Name + '=' + line, back);
            QCOMPARE(FormatGameLine(back), line);
        }
    }

    void parsesGameLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("described");
        const auto row = [](const char* name, const char* line, const char* described) {
            QTest::newRow(name) << QByteArray(line) << QString::fromUtf8(described);
        };
        row("full clone",
            "c=0110<title>Cube/><year>1983/><manuf>Simutrek/><drvname>d.cpp/><cloneof>p/>"
            "<scrorient>1/><drvstat>1/><emustat>0/><clrstat>0/><sndstat>-1/><grpstat>1/>",
            "c|0110|Cube|1983|Simutrek|d.cpp|p|1|1 0 0 -1 1");
        row("good driver reads 0 in all four", "a=0000<drvstat>0/><emustat>1/><sndstat>-1/>",
            "a|0000||||||-1|0 0 0 0 0");
        row("no driver status", "a=0301<title>T/>", "a|0301|T|||||-1|-1 -1 -1 -1 -1");
        row("sub-status without driver status", "a=0000<emustat>2/>", "a|0000||||||-1|-1 2 -1 -1 -1");
        row("title cut at its first end", "a=0000<title>Foo/>Bar/><year>1990/>",
            "a|0000|Foo|1990||||-1|-1 -1 -1 -1 -1");
        row("later key read from inside the title", "a=0000<title>Foo <year>X/><year>1990/>",
            "a|0000|Foo <year>X|X||||-1|-1 -1 -1 -1 -1");
        row("tag without end", "a=0000<title>Foo", "a|0000||||||-1|-1 -1 -1 -1 -1");
        row("tags in any order", "a=0000<year>1981/><title>T/>", "a|0000|T|1981||||-1|-1 -1 -1 -1 -1");
        row("UTF-8 title and manufacturer", "a=0000<title>Caf\xC3\xA9/><manuf>Tecnol\xC3\xB3gica/>",
            "a|0000|Café||Tecnológica|||-1|-1 -1 -1 -1 -1");
        row("zero-width no-break space first", "a=0000<title>\xEF\xBB\xBFT/>",
            "a|0000|\xEF\xBB\xBFT|||||-1|-1 -1 -1 -1 -1");
        row("lone high bytes as Windows-1252", "a=0000<title>Caf\xE9 \x80/><manuf>Tecnol\xF3gica/>",
            "a|0000|Café €||Tecnológica|||-1|-1 -1 -1 -1 -1");
        row("name and parent only as Windows-1252", "\xC3\xA9=0100<cloneof>\xC3\xA9/>",
            "Ã©|0100|||||Ã©|-1|-1 -1 -1 -1 -1");
    }
    void parsesGameLines() {
        QFETCH(QByteArray, line);
        QFETCH(QString, described);
        TGameInfo game;
        ParseGameLine(line, game);
        QCOMPARE(describe(game), described);
        QCOMPARE(game.IconIndex, -1);
        QCOMPARE(game.NonArcade, quint8(0));
        QVERIFY(game.Category.isEmpty());
    }

    void yearAndDriverStayBytes() {
        TGameInfo game;
        ParseGameLine("a=0000<year>19\xE9\x30/><drvname>d\xC3\xA9.cpp/>", game);
        QCOMPARE(game.Year, QByteArray("19\xE9\x30"));
        QCOMPARE(game.Driver, QByteArray("d\xC3\xA9.cpp"));
    }

    void dosDateTimePacksLocalTime_data() {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<qint32>("packed");
        QTest::newRow("seconds halved") << QDateTime(QDate(2023, 7, 14), QTime(13, 45, 37)) << 1458466226;
        QTest::newRow("first day") << QDateTime(QDate(1980, 1, 1), QTime(0, 0)) << 2162688;
        QTest::newRow("before 1980") << QDateTime(QDate(1975, 6, 30), QTime(12, 30)) << 2162688;
        QTest::newRow("year bit 31 set") << QDateTime(QDate(2050, 6, 15), QTime(8, 0)) << -1932574720;
        QTest::newRow("last") << QDateTime(QDate(2107, 12, 31), QTime(23, 59, 59)) << -6307971;
    }
    void dosDateTimePacksLocalTime() {
        QFETCH(QDateTime, when);
        QFETCH(qint32, packed);
        QCOMPARE(DosDateTime(when), packed);
    }

    void stampOfNoFileIsMinusOne() {
        TempProgramFolder dir;
        const QString folder = dir.makeFolder("emu");
        QVERIFY(QFile::link(folder, dir.file("folderlink")));
        QVERIFY(QFile::link(dir.file("gone"), dir.file("brokenlink")));
        QCOMPARE(ListStamp(QString()), QStringLiteral("-1"));
        QCOMPARE(ListStamp(dir.file("missing")), QStringLiteral("-1"));
        QCOMPARE(ListStamp(folder), QStringLiteral("-1"));
        QCOMPARE(ListStamp(dir.file("folderlink")), QStringLiteral("-1"));
        QCOMPARE(ListStamp(dir.file("brokenlink")), QStringLiteral("-1"));
    }

    void stampIsTheLocalModificationTime() {
        const ScopedTimeZone utc("UTC");
        TempProgramFolder dir;
        const QString exe = dir.write("mame", "x");
        QVERIFY(setModifiedTime(exe, QDateTime(QDate(2023, 7, 14), QTime(13, 45, 37), QTimeZone::utc())));
        QCOMPARE(ListStamp(exe), QStringLiteral("1458466226"));
        QCOMPARE(ListStamp(exe), QStringLiteral("1458466226"));
        {
            const ScopedTimeZone ahead("UTC-2");  // two hours east of Greenwich
            QCOMPARE(ListStamp(exe), QStringLiteral("1458470322"));
        }
        // A symbolic link gives the stamp of the file it names, not its own.
        QVERIFY(QFile::link(exe, dir.file("link")));
        QCOMPARE(ListStamp(dir.file("link")), QStringLiteral("1458466226"));
        QVERIFY(setModifiedTime(exe, QDateTime(QDate(1975, 1, 2), QTime(3, 4), QTimeZone::utc())));
        QCOMPARE(ListStamp(exe), QStringLiteral("2162688"));
    }

    void currencyTest_data() {
        QTest::addColumn<QByteArray>("content");  // "@" stands for the emulator's stamp, "/" for a folder
        QTest::addColumn<bool>("current");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray("") << false;
        QTest::newRow("folder") << QByteArray("/") << false;
        QTest::newRow("two lines") << QByteArray("@\r\nMAME v0.251\r\n") << false;
        QTest::newRow("other stamp") << QByteArray("1\r\nMAME\r\na=0000<title>A/>\r\n") << false;
        QTest::newRow("stamp with a blank") << QByteArray("@ \r\nMAME\r\na=0000<title>A/>\r\n") << false;
        QTest::newRow("line 3 without title")
            << QByteArray("@\r\nMAME\r\na=0000<year>1980/>\r\nb=0000<title>B/>\r\n") << false;
        QTest::newRow("current") << QByteArray("@\r\nMAME\r\na=0000<title>A/>\r\n") << true;
        QTest::newRow("title later in line 3, LF breaks")
            << QByteArray("@\nMAME\na=0000<year>1/><title>A/>") << true;
        QTest::newRow("long list") << QByteArray("@\r\nMAME\r\na=0000<title>A/>\r\n" +
                                                 QByteArray(200000, 'x') + "\r\n")
                                   << true;
    }
    void currencyTest() {
        QFETCH(QByteArray, content);
        QFETCH(bool, current);
        TempProgramFolder dir;
        const QString exe = dir.write("emulator/mame", "#!/bin/sh\n");
        if (content == "/") {
            dir.makeFolder("listfull.txt");
        } else if (!content.isNull()) {
            dir.write("listfull.txt", QByteArray(content).replace('@', ListStamp(exe).toLatin1()));
        }
        QCOMPARE(isCurrentGamesList(dir.path(), exe), current);
    }
};

KESTRUM_REGISTER_TEST(GamesListFileTest)
#include "tst_gameslistfile.moc"
