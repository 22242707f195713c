// Emulator runs that fail, are killed, hang or are refused never become the games list.
#include "BuildFixture.h"
#include "TestMain.h"
#include "common/RunControl.h"
#include "emulator/CommandRunner.h"
#include "gamesdb/GamesListBuild.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace {

// The processes of a process group that are still alive (zombies do not count).
QStringList livingMembersOf(pid_t group) {
    QStringList living;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        entry.toInt(&number);
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!number || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (comm) state ppid pgrp ...: the name may hold blanks, so read after its ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toInt() == group && fields[0] != "Z") {
            living.append(entry);
        }
    }
    return living;
}

}  // namespace

class EmulatorRunsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { runner_testing::setStopGraceMilliseconds(2000); }

    // The emulator wrote its whole list, then failed or was killed: its output is not used and
    // the old listfull.txt stays in force.
    void failedOrKilledRunGivesNoList_data() {
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("version");
        QTest::newRow("-listxml, status 3") << "fail"
                                            << "MAME v0.251 (x)";
        QTest::newRow("-listxml, killed") << "kill"
                                          << "MAME v0.251 (x)";
        QTest::newRow("-listinfo, status 3") << "fail"
                                             << "MAME v0.69 (x)";
        QTest::newRow("-listinfo, killed") << "kill"
                                           << "MAME v0.69 (x)";
    }
    void failedOrKilledRunGivesNoList() {
        QFETCH(QString, after);
        QFETCH(QString, version);
        BuildFixture f;
        f.writeList("1");
        const QByteArray stale = f.program.read("listfull.txt");
        f.emulator.set("VERSION_LINE", version);
        f.emulator.set("AFTER_LIST", after);
        QVERIFY(!CreateGamesList(f.context));
        const QString output = version.contains("0.69") ? "listinfo.txt" : "listxml.xml";
        QCOMPARE(f.port.texts(), QStringList{f.notFound(output)});
        QCOMPARE(f.program.read("listfull.txt"), stale);
        QVERIFY(!QFile::exists(f.program.file(output)));
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
        QVERIFY(!f.wait.visible);
    }

    // A hung emulator is stopped from the wait window: the step ends without a question and no
    // process of the emulator's is left, even one that ignores the polite signal.
    void hungEmulatorIsStopped_data() {
        QTest::addColumn<QString>("after");
        QTest::newRow("ends on SIGTERM") << "hang";
        QTest::newRow("ignores SIGTERM") << "stubborn";
    }
    void hungEmulatorIsStopped() {
        QFETCH(QString, after);
        runner_testing::setStopGraceMilliseconds(300);
        BuildFixture f;
        f.writeList("1");
        const QByteArray stale = f.program.read("listfull.txt");
        f.emulator.set("AFTER_LIST", after);
        const QString pidFile = f.emulator.path() + ".pid";
        pid_t group = -1;
        f.port.onProcessEvents = [&] {
            if (group < 0 && QFile::exists(pidFile)) {
                const pid_t pid = f.program.read(pidFile.mid(f.program.path().size())).trimmed().toInt();
                group = ::getpgid(pid);
                QVERIFY(f.runs.running());
                f.runs.requestStop();
            }
        };
        QVERIFY(!CreateGamesList(f.context));
        QVERIFY(group > 0);
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!f.runs.running());
        QVERIFY(!f.wait.visible);
        QCOMPARE(livingMembersOf(group), QStringList());
        QCOMPARE(f.program.read("listfull.txt"), stale);
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
    }

    // A refused command (over 1,024 characters) runs nothing; an old output file lying in the
    // program folder must not stand in for it.
    void refusedCommandDoesNotReadAnOldOutput() {
        BuildFixture f;
        QString deep = QStringLiteral("emulator");
        for (int i = 0; i < 5; ++i) {
            deep += u'/' + QString(200, QChar(u'a' + i));
        }
        FakeEmulator far(f.program, deep + QStringLiteral("/mame"));
        f.state.setup.mameExecutableFile = far.path();
        QVERIFY(QFile::copy(testDataPath("emulator/listxml.xml"), f.program.file("listxml.xml")));
        f.program.write("iMAMEVersion.tmp", "MAME v0.251 (old)\n");
        QVERIFY(!CreateGamesList(f.context));
        QCOMPARE(far.calls(), QStringList());
        QCOMPARE(f.port.texts().last(), f.notFound("listxml.xml"));
        QVERIFY(f.port.texts().first().startsWith("The command line has more than 1024 chars"));
        QCOMPARE(f.state.emulator.EmulatorVersion, QString());  // the old -help answer was not read
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        QVERIFY(!QFile::exists(f.listPath()));
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
    }
};

KESTRUM_REGISTER_TEST(EmulatorRunsTest)
#include "tst_emulatorruns.moc"
