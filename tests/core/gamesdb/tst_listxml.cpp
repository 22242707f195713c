#include "FakeEmulator.h"
#include "GamesDbFixture.h"
#include "TestMain.h"
#include "common/Text.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/ListXmlScanner.h"

#include <QTest>
#include <QTimeZone>

namespace {

QByteArray scan(QByteArrayView xml) {
    QByteArray out;
    ScanListXml(xml, out);
    return out;
}

// One machine: its start tag's attributes, its inner lines (separated by "\n") and its end tag.
QByteArray machine(const char* attributes, const char* body) {
    QByteArray xml = QByteArray("\t<machine ") + attributes + ">\n";
    for (const QByteArray& line : QByteArray(body).split('\n')) {
        xml += "\t\t" + line + '\n';
    }
    return xml + "\t</machine>\n";
}

const char* const kRom = "<rom name=\"a.bin\" size=\"1\"/>";

// The game lines ParseListXml writes for tests/data/emulator/listxml.xml.
const QByteArray kFixtureGames =
    "puckman=0000<title>Puck Man (Japan set 1)/><year>1980/><manuf>Namco/><drvname>pacman/pacman.cpp/>"
    "<scrorient>1/><drvstat>0/>\r\n"
    "pacman=0100<title>Pac-Man (Midway)/><year>1980/><manuf>Namco (Midway license)/>"
    "<drvname>pacman/pacman.cpp/><cloneof>puckman/><scrorient>1/><drvstat>0/>\r\n"
    "neogeo=0200<title>Neo-Geo MV-6F/><year>1990/><manuf>SNK/><drvname>neogeo/neogeo.cpp/><scrorient>0/>"
    "<drvstat>1/><emustat>0/><clrstat>0/><sndstat>1/><grpstat>0/>\r\n"
    "z80=0300<title>Zilog Z80/><drvname>src/devices/cpu/z80/z80.cpp/>\r\n"
    "cubeqst=0010<title>Cube Quest (01/04/84)/><year>1983/><manuf>Simutrek/><drvname>cubeqst.cpp/>"
    "<scrorient>0/><drvstat>2/><emustat>2/><clrstat>0/><sndstat>0/><grpstat>2/>\r\n"
    "sc4addams=0001<title>The Addams Family (Bellfruit) (Scorpion 4)/><year>199?/>"
    "<manuf>Bellfruit & Tecnol\xF3gica/><drvname>bfm_sc4.cpp/><drvstat>2/><emustat>2/><clrstat>-1/>"
    "<sndstat>2/><grpstat>-1/>\r\n"
    "tecnolog=0000<title>Juego de Tecnol\xC3\xB3gica/><year>1985/><manuf>Tecnol\xC3\xB3gica/>"
    "<drvname>misc/tecnolog.cpp/><scrorient>0/><drvstat>0/>\r\n";

}  // namespace

class ListXmlScannerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scansMachines_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QByteArray>("lines");
        const auto row = [](const char* name, const QByteArray& xml, const char* lines) {
            QTest::newRow(name) << xml << QByteArray(lines);
        };
        row("device that is not runnable",
            machine("name=\"z80\" sourcefile=\"z80.cpp\" isdevice=\"yes\" runnable=\"no\" romof=\"cpu\"",
                    kRom),
            "z80=0300<drvname>z80.cpp/><cloneof>cpu/>\r\n");
        row("not runnable only", machine("name=\"b\" runnable=\"no\"", kRom), "b=0200\r\n");
        row("BIOS takes romof", machine("name=\"neogeo\" isbios=\"yes\" romof=\"base\"", kRom),
            "neogeo=0200<cloneof>base/>\r\n");
        row("BIOS keeps its cloneof", machine("name=\"n2\" isbios=\"yes\" cloneof=\"p\" romof=\"q\"", kRom),
            "n2=0200<cloneof>p/>\r\n");
        row("parent using a BIOS", machine("name=\"mslug\" romof=\"neogeo\"", kRom), "mslug=0000\r\n");
        row("clone", machine("name=\"pacman\" cloneof=\"puckman\" romof=\"puckman\"", kRom),
            "pacman=0100<cloneof>puckman/>\r\n");
        row("disk only", machine("name=\"c\"", "<disk name=\"c\" sha1=\"0\"/>"), "c=0010\r\n");
        row("rom and disk", machine("name=\"c\"", "<disk name=\"c\"/>\n<rom name=\"x\"/>"), "c=0010\r\n");
        row("neither rom nor disk", machine("name=\"ym\" isdevice=\"yes\"", "<display rotate=\"0\"/>"), "");
        row("first screen line wins",
            machine("name=\"a\"",
                    "<display rotate=\"90\"/>\n<video orientation=\"horizontal\"/>\n<rom name=\"x\"/>"),
            "a=0000<scrorient>1/>\r\n");
        row("video first",
            machine("name=\"a\"",
                    "<video orientation=\"vertical\"/>\n<display rotate=\"0\"/>\n<rom name=\"x\"/>"),
            "a=0000<scrorient>1/>\r\n");
        row("Vertical is not vertical",
            machine("name=\"a\"", "<video orientation=\"Vertical\"/>\n<rom name=\"x\"/>"),
            "a=0000<scrorient>0/>\r\n");
        row("video without orientation is taken",
            machine("name=\"a\"", "<video screen=\"raster\"/>\n<display rotate=\"90\"/>\n<rom name=\"x\"/>"),
            "a=0000\r\n");
        row("display without rotate is taken",
            machine("name=\"a\"",
                    "<display type=\"raster\"/>\n<video orientation=\"vertical\"/>\n<rom name=\"x\"/>"),
            "a=0000\r\n");
        row("rotate 180", machine("name=\"a\"", "<display rotate=\"180\"/>\n<rom name=\"x\"/>"),
            "a=0000<scrorient>0/>\r\n");
        row("rotate 270", machine("name=\"a\"", "<display rotate=\"270\"/>\n<rom name=\"x\"/>"),
            "a=0000<scrorient>1/>\r\n");
        row("other rotation leaves it",
            machine("name=\"a\"", "<display rotate=\"45\"/>\n<display rotate=\"90\"/>\n<rom name=\"x\"/>"),
            "a=0000\r\n");
        for (const char* rotate : {"ninety", "90.0", "+90", " 90", "90 ", ""}) {
            const QByteArray body =
                "<display rotate=\"" + QByteArray(rotate) + "\"/>\n<display rotate=\"90\"/>\n" + kRom;
            QTest::addRow("rotate \"%s\"", rotate)
                << machine("name=\"a\"", body.constData()) << QByteArray("a=0000\r\n");
        }
        row("feature sets an unknown sound",
            machine("name=\"a\"",
                    "<driver status=\"imperfect\" emulation=\"good\"/>\n<feature type=\"sound\" "
                    "status=\"unemulated\"/>\n<rom name=\"x\"/>"),
            "a=0000<drvstat>1/><emustat>0/><clrstat>-1/><sndstat>2/><grpstat>-1/>\r\n");
        row("feature does not override the driver line",
            machine("name=\"a\"",
                    "<driver status=\"Imperfect\" emulation=\"good\" color=\"good\" sound=\"good\" "
                    "graphic=\"imperfect\"/>\n"
                    "<feature type=\"sound\" status=\"imperfect\"/>\n<rom name=\"x\"/>"),
            "a=0000<drvstat>1/><emustat>0/><clrstat>0/><sndstat>0/><grpstat>1/>\r\n");
        row("feature types and overall",
            machine("name=\"a\"",
                    "<driver status=\"preliminary\"/>\n<feature type=\"protection\" status=\"unemulated\"/>\n"
                    "<feature type=\"Graphics\" overall=\"imperfect\"/>\n<feature type=\"SOUND\" "
                    "status=\"preliminary\"/>\n"
                    "<feature type=\"graphics\" status=\"unemulated\"/>\n<rom name=\"x\"/>"),
            "a=0000<drvstat>2/><emustat>-1/><clrstat>-1/><sndstat>2/><grpstat>1/>\r\n");
        row("every driver line sets all five",
            machine(
                "name=\"a\"",
                "<feature type=\"sound\" status=\"unemulated\"/>\n<driver status=\"good\" color=\"good\"/>\n"
                "<driver status=\"imperfect\"/>\n<rom name=\"x\"/>"),
            "a=0000<drvstat>1/><emustat>-1/><clrstat>-1/><sndstat>-1/><grpstat>-1/>\r\n");
        row("game tags", "<game name=\"old\" cloneof=\"x\">\n<rom name=\"x\"/>\n</game>\n",
            "old=0100<cloneof>x/>\r\n");
        row("texts without their end tags",
            machine("name=\"a\"",
                    "<description>Puck Man\n<year>1980\n<manufacturer>Namco\n<rom name=\"x\"/>"),
            "a=0000\r\n");
        row("texts",
            machine("name=\"a\"",
                    "<description> A &amp; B &#65;</description>\n<year>19&#56;0 </year>\n"
                    "<manufacturer>Namco &lt;J&gt; </manufacturer>\n<rom name=\"x\"/>"),
            "a=0000<title>A & B A/><year>19&#56;0 /><manuf>Namco <J>/>\r\n");
        row("mechanical title normalised",
            machine("name=\"a\" ismechanical=\"yes\"",
                    "<description>Addams Family, The (Bellfruit)</description>\n<rom name=\"x\"/>"),
            "a=0001<title>The Addams Family (Bellfruit)/>\r\n");
        row("other titles as they are",
            machine("name=\"a\" ismechanical=\"no\"",
                    "<description>Addams Family, The</description>\n<rom name=\"x\"/>"),
            "a=0000<title>Addams Family, The/>\r\n");
        row("prefixes are case-sensitive",
            "<Machine name=\"b\">\n<rom name=\"x\"/>\n</Machine>\n" +
                machine("name=\"a\"", "<ROM name=\"x\"/>\n<Disk name=\"y\"/>"),
            "");
        row("a new start drops the unfinished machine",
            "<machine name=\"a\">\n<description>A</description>\n<year>1980</year>\n<rom name=\"x\"/>\n"
            "<machine name=\"b\">\n<disk name=\"d\"/>\n</machine>\n",
            "b=0010\r\n");
        row("lines outside a machine are ignored",
            "<rom name=\"x\"/>\n" + machine("name=\"a\"", "<video orientation=\"vertical\"/>") +
                "<rom name=\"y\"/>\n</machine>\n" + machine("name=\"b\"", kRom) + "</machine>\n</game>\n",
            "b=0000\r\n");
        row("byte-order mark", "\xEF\xBB\xBF<machine name=\"a\">\n<rom name=\"x\"/>\n</machine>\n",
            "a=0000\r\n");
        row("attribute without closing quote",
            "<machine name=\"a\" sourcefile=\"x.cpp>\n<rom name=\"x\"/>\n</machine>\n", "a=0000\r\n");
        row("DEL is not stripped",
            " \x01\x0b<machine name=\"a\">\n\t\x7f<rom name=\"x\"/>\n \x1f</machine>\n", "");
        row("leading blanks and control characters",
            " \x01\x0b<machine name=\"a\">\n\t\x1f<rom name=\"x\"/>\n \r</machine>\n", "a=0000\r\n");
    }
    void scansMachines() {
        QFETCH(QByteArray, xml);
        QFETCH(QByteArray, lines);
        QCOMPARE(scan(xml), lines);
    }

    void lineBreaksAndNulBytes() {
        const QByteArray nul(1, '\0');
        const QByteArray lf = "<mame>\n<machine name=\"a\">\n<description>A" + nul +
                              "B</description>\n<rom name=\"x\"/>\n</machine>\n<machine name=\"b\">\n"
                              "<disk name=\"y\"/>\n</machine>";
        const QByteArray expected = "a=0000<title>A" + nul + "B/>\r\nb=0010\r\n";
        QCOMPARE(scan(lf), expected);
        QCOMPARE(scan(QByteArray(lf).replace("\n", "\r\n")), expected);
        QCOMPARE(scan(QByteArray(lf).replace("\n", "\r")), expected);
        QCOMPARE(scan(QByteArray(lf).replace("\n", "\n\r")), expected);  // LF then CR: two breaks
    }

    void decodesCharRefs_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("decoded");
        const auto row = [](const char* text, const QByteArray& decoded) {
            QByteArray name;  // control and high bytes written as \xNN
            for (const char c : QByteArray(text)) {
                const auto b = static_cast<unsigned char>(c);
                name += (b < 0x20 || b >= 0x7f) ? QByteArray("\\x") + QByteArray::number(b, 16)
                                                : QByteArray(1, c);
            }
            QTest::newRow(name.constData()) << QByteArray(text) << decoded;
        };
        row("&#65;", "A");
        row("&#x41;", "A");
        row("&#X41;", "A");
        row("&#x4a;&#x4A;", "JJ");
        row("&#;", " ");
        row("&#x;", " ");
        row("&#12a;", " ");
        row("&#xg1;", " ");
        row("&#-65;", " ");
        row("&#+65;", " ");
        row("&#321;", "A");
        row("&#x141;", "A");
        row("&#99999999999999999999999;", "\xFF");
        row("&#233;", "\xE9");
        row("x&#0;y", QByteArray("x\0y", 3));
        row("&#65 B", "AB");
        row("&#65", "A");
        row("&amp;", "&");
        row("&quot;&lt;&gt;&apos;&nbsp;|", "\"<>' |");
        row("&AMP;", "&AMP;");
        row("&copy;", "&copy;");
        row("a & b", "a & b");
        row("a &amp b", "a &b");
        row("&amp", "&");
        row("&&amp;", "&&");
        row("&amp;lt;", "&lt;");
        row("&#38;amp;", "&amp;");
        row(" \t\r\n x \n\r\t ", "x");
        row("\x01x\x7f", "\x01x\x7f");
        row("\xA0x\xA0", "\xA0x\xA0");
        row(" &amp; ", "&");
        row("Tecnol&#243;gica &amp; Bellfruit", "Tecnol\xF3gica & Bellfruit");
    }
    void decodesCharRefs() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, decoded);
        QCOMPARE(DecodeCharRefs(text), decoded);
    }

    void normalisesTitles_data() {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<QByteArray>("normalised");
        QTest::newRow("off") << QByteArray("Addams Family, The") << false << QByteArray("Addams Family, The");
        QTest::newRow("at the end") << QByteArray("Addams Family, The") << true
                                    << QByteArray("The Addams Family");
        QTest::newRow("before a note") << QByteArray("Addams Family, The (Bellfruit)") << true
                                       << QByteArray("The Addams Family (Bellfruit)");
        QTest::newRow("any case") << QByteArray("Simpsons, THE") << true << QByteArray("The Simpsons");
        QTest::newRow("inside a word") << QByteArray("Wild, Theatre") << true << QByteArray("The Wildatre");
        QTest::newRow("first occurrence only")
            << QByteArray("A, The B, The") << true << QByteArray("The A B, The");
        QTest::newRow("without comma") << QByteArray("The Simpsons") << true << QByteArray("The Simpsons");
        QTest::newRow("empty") << QByteArray() << true << QByteArray();
    }
    void normalisesTitles() {
        QFETCH(QByteArray, title);
        QFETCH(bool, apply);
        QFETCH(QByteArray, normalised);
        QCOMPARE(NormaliseTitle(title, apply), normalised);
    }

    void parseWritesTheList() {
        const ScopedTimeZone utc("UTC");
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("emulator/mame", "#!/bin/sh\n");
        QVERIFY(setModifiedTime(f.state.setup.mameExecutableFile,
                                QDateTime(QDate(2023, 7, 14), QTime(13, 45, 37), QTimeZone::utc())));
        f.state.emulator.EmulatorDescription = QStringLiteral("MAME v0.251 (Jul 14 2023)");
        QVERIFY(QFile::copy(testDataPath("emulator/listxml.xml"), f.program.file("listxml.xml")));
        QCOMPARE(ParseListXml(f.context), ScanResult::Written);
        QCOMPARE(f.program.read("listfull.txt"),
                 "1458466226\r\nMAME v0.251 (Jul 14 2023)\r\n" + kFixtureGames);
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        QCOMPARE(f.wait.messages,
                 QStringList{QStringLiteral("Parsing \"listxml.xml\" and creating \"listfull.txt\"...")});
        QCOMPARE(f.wait.value, 100);
        QVERIFY(f.port.messages.isEmpty());
    }

    void parseSkipsByteOrderMark() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("mame", "x");
        f.state.emulator.EmulatorDescription = QStringLiteral("MAME v0.251 (caf\u00e9)");
        f.program.write("listxml.xml", "\xEF\xBB\xBF<game name=\"a\">\r\n<rom name=\"x\"/>\r\n</game>\r\n");
        QCOMPARE(ParseListXml(f.context), ScanResult::Written);
        QCOMPARE(f.program.read("listfull.txt"), ListStamp(f.state.setup.mameExecutableFile).toLatin1() +
                                                     "\r\nMAME v0.251 (caf\xC3\xA9)\r\na=0000\r\n");
    }

    // Lists larger than the blocks the file is read in, with a CR LF split by the first block and a
    // line longer than a block: the file gives the games the same bytes give in memory.
    void parseOfALargeList_data() {
        QTest::addColumn<QByteArray>("lineBreak");
        QTest::addColumn<bool>("bom");
        QTest::newRow("LF") << QByteArray("\n") << false;
        QTest::newRow("CR LF") << QByteArray("\r\n") << false;
        QTest::newRow("CR LF after a BOM") << QByteArray("\r\n") << true;
        QTest::newRow("CR after a BOM") << QByteArray("\r") << true;
    }
    void parseOfALargeList() {
        QFETCH(QByteArray, lineBreak);
        QFETCH(bool, bom);
        const QByteArray start = (bom ? "\xEF\xBB\xBF<mame>" : "<mame>") + lineBreak;
        // The break after the comment begins at byte 1048575, the last of the first mebibyte.
        QByteArray xml = start + "<!--" + QByteArray(1048575 - start.size() - 7, 'x') + "-->" + lineBreak;
        QCOMPARE(xml.indexOf(lineBreak, start.size()), 1048575);
        xml += "<machine name=\"long\">" + lineBreak + "<rom name=\"" + QByteArray(1536 * 1024, 'r') +
               "\"/>" + lineBreak + "</machine>" + lineBreak;
        for (int i = 0; i < 30000; ++i) {
            const QByteArray n = QByteArray::number(i);
            xml += "\t<machine name=\"m" + n + "\">" + lineBreak + "\t\t<description>Game " + n +
                   "</description>" + lineBreak + "\t\t<rom name=\"a\"/>" + lineBreak + "\t</machine>" +
                   lineBreak;
        }
        xml += "</mame>" + lineBreak;
        QByteArray games;
        QCOMPARE(ScanListXml(xml, games), qint64(30001));
        QVERIFY(games.startsWith("long=0000\r\nm0=0000<title>Game 0/>\r\n"));
        QVERIFY(games.endsWith("\r\nm29999=0000<title>Game 29999/>\r\n"));

        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("mame", "x");
        f.program.write("listxml.xml", xml);
        QCOMPARE(ParseListXml(f.context), ScanResult::Written);
        const QByteArray list = f.program.read("listfull.txt");
        const qsizetype header = list.indexOf("\r\n", list.indexOf("\r\n") + 2) + 2;
        QCOMPARE(list.sliced(header).size(), games.size());
        QVERIFY(list.sliced(header) == games);
        QCOMPARE(f.wait.value, 100);
    }

    // The list is written beside and renamed over the old one: a failed write leaves the old one.
    void failedWriteKeepsTheOldList() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("mame", "x");
        f.program.write("listfull.txt", "old");
        f.program.makeFolder("listfull.txt.kestrum-tmp");  // so the new list cannot be created
        QVERIFY(QFile::copy(testDataPath("emulator/listxml.xml"), f.program.file("listxml.xml")));
        QCOMPARE(ParseListXml(f.context), ScanResult::NotWritten);
        QCOMPARE(f.program.read("listfull.txt"), QByteArray("old"));
    }

    // The build asks about it (see the games list build's tests); the scan writes nothing.
    void onlyAByteOrderMarkIsAnEmptyOutput() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("mame", "x");
        f.program.write("listxml.xml", "\xEF\xBB\xBF");
        QCOMPARE(ParseListXml(f.context), ScanResult::EmptyOutput);
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!QFile::exists(f.listPath()));
    }
};

KESTRUM_REGISTER_TEST(ListXmlScannerTest)
#include "tst_listxml.moc"
