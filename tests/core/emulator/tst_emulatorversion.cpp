#include "EmulatorFixture.h"
#include "PeBuilder.h"
#include "TestMain.h"
#include "emulator/EmulatorVersion.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(ListCommand)

namespace {

void setModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
}

bool englishMonthNames() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C || system.language() == QLocale::English;
}

}  // namespace

class EmulatorVersionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void detectsVersionFromHelp_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("version");
        const auto row = [](const char* name, const char* a, const char* b) {
            QTest::newRow(name) << QString::fromUtf8(a) << QString::fromUtf8(b);
        };
        row("three-digit minor", "MAME v0.185 (mame0185)", "0.185");
        row("two-digit minor", "MAME v0.70 (x)", "0.70");
        row("unknown build", "MAME v0.251 (unknown)", "0.251");
    }
    void detectsVersionFromHelp() {
        QFETCH(QString, line);
        QFETCH(QString, version);
        EmulatorFixture f;
        TempProgramFolder elsewhere;
        f.emulator.set("VERSION_LINE", line);
        QDir::setCurrent(elsewhere.path());

        QCOMPARE(DetectEmulatorVersion(f.port, f.runs, f.emulator.path(), f.program.path()), version);
        QCOMPARE(f.emulator.calls(), QStringList{QStringLiteral("-help")});
        QVERIFY(!QFile::exists(f.program.file(QStringLiteral("iMAMEVersion.tmp"))));
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(f.port.processEventsCalls >= 1);
        QCOMPARE(currentFolder(), f.program.path());
    }

    void emptyHelpOutputGivesNoVersionAndKeepsTheFile() {
        EmulatorFixture f;
        f.emulator.set("HELP", "nothing");
        QCOMPARE(DetectEmulatorVersion(f.port, f.runs, f.emulator.path(), f.program.path()), QString());
        QCOMPARE(f.emulator.calls(), QStringList{QStringLiteral("-help")});
        const QFileInfo tmp(f.program.file(QStringLiteral("iMAMEVersion.tmp")));
        QVERIFY(tmp.isFile());
        QCOMPARE(tmp.size(), 0);
    }

    void noExecutableRunsNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << "";
        QTest::newRow("missing") << "@missing";
        QTest::newRow("folder") << "@";
    }
    void noExecutableRunsNothing() {
        QFETCH(QString, path);
        EmulatorFixture f;
        QCOMPARE(DetectEmulatorVersion(f.port, f.runs, f.place(path), f.program.path()), QString());
        QVERIFY(f.emulator.calls().isEmpty());
        QVERIFY(!QFile::exists(f.program.file(QStringLiteral("iMAMEVersion.tmp"))));
        QVERIFY(f.port.messages.isEmpty());
    }

    // A Windows executable is read, not run: it is not even executable here.
    void versionResourceIsReadWithoutRunning_data() {
        QTest::addColumn<quint16>("major");
        QTest::addColumn<quint16>("minor");
        QTest::addColumn<QString>("version");
        QTest::newRow("0.185") << quint16(0) << quint16(185) << "0.185";
        QTest::newRow("0.0") << quint16(0) << quint16(0) << "0.0";
        QTest::newRow("0.69") << quint16(0) << quint16(69) << "0.69";
    }
    void versionResourceIsReadWithoutRunning() {
        QFETCH(quint16, major);
        QFETCH(quint16, minor);
        QFETCH(QString, version);
        TempProgramFolder program;
        FakeDialogPort port;
        RunControl runs;
        PeVersionSpec spec;
        spec.fileVersion = {major, minor, 7, 1};
        const QString exe = program.write(QStringLiteral("mame64.exe"), buildPe(spec));
        QCOMPARE(DetectEmulatorVersion(port, runs, exe, program.path()), version);
        QVERIFY(!QFile::exists(program.file(QStringLiteral("iMAMEVersion.tmp"))));
        QVERIFY(port.messages.isEmpty());
    }

    void readsVersionFromHelpLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("version");
        const auto row = [](const char* name, const char* a, const char* b) {
            QTest::newRow(name) << QString::fromUtf8(a) << QString::fromUtf8(b);
        };
        row("letter after minor", "MAME v0.251b (git)", "0.251");
        row("third number", "HBMAME v0.245.22 (mame0245)", "0.245");
        row("line ends after version", "MAME v0.7", "0.7");
        row("first blank-v counts", "UME v0.185 v0.999", "0.185");
        row("no dot", "MAME v", "");
        row("empty", "", "");
    }
    void readsVersionFromHelpLine() {
        QFETCH(QString, line);
        QFETCH(QString, version);
        QCOMPARE(versionFromHelpLine(line), version);
    }

    void displayName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        const QString mame = QStringLiteral("MAME");
        const QString plus = QStringLiteral("MAME Plus!");
        const QString ume = QStringLiteral("UME: Universal Machine Emulator");
        const QString hb = QStringLiteral("HBMAME: HomeBrew MAME");
        QTest::newRow("plain") << "/usr/games/mame" << mame;
        QTest::newRow("mamep file") << "/opt/emu/mamep64" << plus;
        QTest::newRow("mamep folder, upper case") << "/opt/MAMEP/mame" << plus;
        QTest::newRow("mamep before ume") << "/home/ume/mamep/mame" << plus;
        QTest::newRow("ume file") << "/opt/emu/ume" << ume;
        QTest::newRow("ume in a folder name") << "/home/x/Documents/mame" << ume;
        QTest::newRow("ume mixed case") << "/opt/UmE/mame" << ume;
        QTest::newRow("ume before hbmame") << "/opt/hbmame/ume64" << ume;
        QTest::newRow("hbmame") << "/opt/HBMAME/hbmame" << hb;
        QTest::newRow("empty") << "" << mame;
    }
    void displayName() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(EmulatorDisplayName(path), name);
    }

    void dateText() {
        if (!englishMonthNames()) {
            QSKIP("month names follow the locale; run with LC_ALL=C");
        }
        QCOMPARE(emulatorDateText(QDateTime(QDate(2017, 3, 1), QTime(12, 0))),
                 QStringLiteral("(Mar 01 2017)"));
        QCOMPARE(emulatorDateText(QDateTime(QDate(1999, 12, 31), QTime(0, 0))),
                 QStringLiteral("(Dec 31 1999)"));
    }

    void describeEmulator_data() {
        QTest::addColumn<QString>("relativeExe");
        QTest::addColumn<bool>("helpWorks");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("version");
        QTest::newRow("mame") << "emulator/mame" << true << "MAME v0.251 (Jan 05 2023)"
                              << "0.251";
        QTest::newRow("no version") << "emulator/mame" << false << "MAME v (Jan 05 2023)"
                                    << "";
        QTest::newRow("ume folder") << "ume/mame" << true
                                    << "UME: Universal Machine Emulator v0.251 (Jan 05 2023)"
                                    << "0.251";
    }
    void describeEmulator() {
        QFETCH(QString, relativeExe);
        QFETCH(bool, helpWorks);
        QFETCH(QString, description);
        QFETCH(QString, version);
        const QDateTime modified(QDate(2023, 1, 5), QTime(12, 0));
        if (!englishMonthNames()) {
            description.replace(QStringLiteral("(Jan 05 2023)"), emulatorDateText(modified));
        }
        EmulatorFixture f(relativeExe);
        TempProgramFolder elsewhere;
        if (!helpWorks) {
            f.emulator.set("HELP", "nothing");
        }
        setModified(f.emulator.path(), modified);
        QDir::setCurrent(elsewhere.path());

        const EmulatorIdentity identity =
            DescribeEmulator(f.port, f.runs, f.emulator.path(), f.program.path());
        QCOMPARE(identity.description, description);
        QCOMPARE(identity.version, version);
        QCOMPARE(currentFolder(), f.program.path());
    }

    void versionNumberAndListCommand_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("number");
        QTest::addColumn<ListCommand>("command");
        const ListCommand xml = ListCommand::ListXml;
        const ListCommand old = ListCommand::ListInfoAndDetails;
        QTest::newRow("unknown") << "" << -1 << xml;
        QTest::newRow("0.185") << "0.185" << 185 << xml;
        QTest::newRow("0.70") << "0.70" << 70 << xml;
        QTest::newRow("0.69") << "0.69" << 69 << old;
        QTest::newRow("0.0") << "0.0" << 0 << old;
        QTest::newRow("letter in minor") << "0.251b" << 251 << xml;
        QTest::newRow("old beta") << "0.37b16" << 37 << old;
        QTest::newRow("letter first") << "0.b37" << -1 << xml;
        QTest::newRow("two-digit major") << "10.5" << -1 << xml;
        QTest::newRow("nothing after the dot") << "0." << -1 << xml;
    }
    void versionNumberAndListCommand() {
        QFETCH(QString, version);
        QFETCH(int, number);
        QFETCH(ListCommand, command);
        QCOMPARE(EmulatorVersionNumber(version), number);
        QCOMPARE(ListCommandChoice(number), command);
    }
};

KESTRUM_REGISTER_TEST(EmulatorVersionTest)
#include "tst_emulatorversion.moc"
