// listdeps.txt: what the -listxml scan gathers beside the games list, and when a load takes it.
#include "FakeEmulator.h"
#include "GamesDbFixture.h"
#include "TestMain.h"
#include "gamesdb/DependencyFile.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/GamesListLoader.h"
#include "gamesdb/ListInfoScanner.h"
#include "gamesdb/ListXmlScanner.h"

#include <QTest>

namespace {

// A BIOS and a game on it with a clone; a game with three CPUs of a device without ROMs, a device
// with ROMs and a board without ROMs whose own device has ROMs — the devices come last, as the
// emulator writes them; a machine without ROMs (no line, so no needs of its own).
const QByteArray kXml =
    "<mame>\n"
    "<machine name=\"neogeo\" isbios=\"yes\">\n"
    "  <rom name=\"sp-s2.sp1\"/>\n"
    "</machine>\n"
    "<machine name=\"mslug\" romof=\"neogeo\">\n"
    "  <rom name=\"201-p1.p1\"/>\n"
    "</machine>\n"
    "<machine name=\"mslugx\" cloneof=\"mslug\" romof=\"mslug\">\n"
    "  <rom name=\"250-p1.p1\"/>\n"
    "</machine>\n"
    "<machine name=\"galaga\">\n"
    "  <rom name=\"gg1_1b.3p\"/>\n"
    "  <device_ref name=\"z80\"/>\n"
    "  <device_ref name=\"z80\"/>\n"
    "  <device_ref name=\"z80\"/>\n"
    "  <device_ref name=\"namco51\"/>\n"
    "  <device_ref  name=\"namco54\" />\n"
    "  <device_ref name=\"galaga\"/>\n"
    "</machine>\n"
    "<machine name=\"ld\">\n"
    "  <device_ref name=\"namco51\"/>\n"
    "</machine>\n"
    "<machine name=\"z80\" isdevice=\"yes\">\n"
    "</machine>\n"
    "<machine name=\"namco51\" isdevice=\"yes\">\n"
    "  <rom name=\"51xx.bin\"/>\n"
    "  <device_ref name=\"z80\"/>\n"
    "</machine>\n"
    "<machine name=\"namco54\" isdevice=\"yes\">\n"
    "  <device_ref name=\"namco54cpu\"/>\n"
    "</machine>\n"
    "<machine name=\"namco54cpu\" isdevice=\"yes\">\n"
    "  <rom name=\"54xx.bin\"/>\n"
    "  <device_ref name=\"namco54\"/>\n"
    "</machine>\n"
    "</mame>\n";

const QByteArray kDeps =
    "KESTRUM-DEPS 1\t1458466226\t4242\n"
    "mslug\tneogeo\n"
    "galaga\t\tnamco51\tnamco54cpu\n";

QByteArray collected(QByteArrayView xml) {
    QByteArray games;
    DependencyCollector needs;
    ScanListXml(xml, games, &needs);
    return needs.fileBytes("1458466226", 4242);
}

}  // namespace

class DependencyFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only what the games list cannot hold is written, and only devices with ROMs, found through
    // devices without them, each once, never the machine itself.
    void scanGathersWhatTheListCannotHold() {
        QCOMPARE(collected(kXml), kDeps);
        const auto table = readDependencies(kDeps, "1458466226", 4242);
        QVERIFY(table);
        QCOMPARE(table->size(), 2);
        QCOMPARE(table->value("mslug").romOf, QStringLiteral("neogeo"));
        QCOMPARE(table->value("galaga").romOf, QString());
        QCOMPARE(table->value("galaga").devices, (QStringList{"namco51", "namco54cpu"}));
    }

    // A file of another list, one cut short and one with a line that is not a machine's give no
    // table: the check is then unavailable rather than wrong.
    void readRefusesWhatDoesNotBelong() {
        QVERIFY(readDependencies("KESTRUM-DEPS 1\t1\t9\n", "1", 9));  // a list whose machines need nothing
        QVERIFY(readDependencies("KESTRUM-DEPS 1\t1\t9\n", "1", 9)->isEmpty());
        QVERIFY(!readDependencies(kDeps, "1458466227", 4242));  // another emulator
        QVERIFY(!readDependencies(kDeps, "1458466226", 4243));  // another list
        QVERIFY(!readDependencies(kDeps.chopped(1), "1458466226", 4242));
        QVERIFY(!readDependencies(kDeps + "lonely\n", "1458466226", 4242));
        QVERIFY(!readDependencies(kDeps + "\tneogeo\n", "1458466226", 4242));
        QVERIFY(!readDependencies(kDeps + "a\tb\t\tc\n", "1458466226", 4242));
        QVERIFY(!readDependencies({}, "1458466226", 4242));
    }

    // The scan writes the file with the list; a load takes it only while it belongs to that list,
    // and a list built from -listinfo output removes it.
    void writtenWithTheListAndTakenWithIt() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("emulator/mame", "#!/bin/sh\n");
        f.program.write("listxml.xml", kXml);
        QCOMPARE(ParseListXml(f.context), ScanResult::Written);
        const QByteArray list = f.program.read("listfull.txt");
        const QByteArray stamp = ListStamp(f.state.setup.mameExecutableFile).toLatin1();
        QCOMPARE(
            f.program.read("listdeps.txt"),
            QByteArray(kDeps).replace("1458466226\t4242", stamp + '\t' + QByteArray::number(list.size())));
        QVERIFY(LoadGamesList(f.context));
        QVERIFY(f.state.games.dependencies);
        QCOMPARE(f.state.games.dependencies->value("mslug").romOf, QStringLiteral("neogeo"));

        // A list written since (by hand, or by a build that failed to write the file) is not its.
        f.program.write("listfull.txt", list + "extra=0000\r\n");
        QVERIFY(LoadGamesList(f.context));
        QVERIFY(!f.state.games.dependencies);

        QVERIFY(QFile::copy(testDataPath("emulator/listinfo.txt"), f.program.file("listinfo.txt")));
        QVERIFY(QFile::copy(testDataPath("emulator/listdetails.txt"), f.program.file("listdetails.txt")));
        QCOMPARE(ParseListInfo(f.context), ScanResult::Written);
        QVERIFY(!QFile::exists(dependenciesPath(f.program.path())));
    }

    // A list whose write fails keeps the old list, which does not take the new file.
    void aFailedListWriteLeavesNoFileForTheOldList() {
        GamesFixture f;
        f.state.setup.mameExecutableFile = f.program.write("mame", "x");
        f.program.write("listfull.txt", ListStamp(f.state.setup.mameExecutableFile).toLatin1() +
                                            "\r\nMAME\r\nneogeo=0200\r\n");
        f.program.makeFolder("listfull.txt.kestrum-tmp");  // so the new list cannot be created
        f.program.write("listxml.xml", kXml);
        QCOMPARE(ParseListXml(f.context), ScanResult::NotWritten);
        QVERIFY(LoadGamesList(f.context));
        QVERIFY(!f.state.games.dependencies);
    }
};

KESTRUM_REGISTER_TEST(DependencyFileTest)
#include "tst_dependencyfile.moc"
