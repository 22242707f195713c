// Bad emulator output and emulators that misbehave: the games that can be read, or the retry question
// naming the file; never a crash, and an old listfull.txt stays until a new one is written.
#include "BuildFixture.h"
#include "PeBuilder.h"
#include "TestMain.h"
#include "common/RunControl.h"
#include "emulator/CommandRunner.h"
#include "gamesdb/GamesListBuild.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray fixtureXml() {
    QFile file(testDataPath("emulator/listxml.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The output up to `into` bytes past the start of `marker`.
QByteArray cutAt(const char* marker, int into) {
    const QByteArray xml = fixtureXml();
    return xml.left(xml.indexOf(marker) + into);
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

QStringList describeAll(const GameList& games) {
    QStringList all;
    for (const TGameInfo& game : games) {
        all.append(describe(game));
    }
    return all;
}

// The games the clean fixture gives, as describe() shows them.
QStringList cleanGames() {
    BuildFixture f;
    if (!CreateGamesList(f.context)) {
        qFatal("the clean fixture does not build");
    }
    return describeAll(f.state.games.FullGamesList);
}

// Writes an executable shell script of `body`.
QString writeScript(const TempProgramFolder& program, const QString& name, const QByteArray& body) {
    const QString path = program.write(name, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The peak resident memory of this process so far, in MiB (0 where /proc does not tell).
qint64 peakMemoryMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
        }
    }
    return 0;
}

// Whether a process exists and is not a zombie.
bool isAlive(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

}  // namespace

class BadListXmlTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { m_clean = cleanGames(); }

    // Damaged but readable output: every whole machine is listed as the clean output lists it; a
    // machine cut short is not listed at all. No question is asked; the new list replaces the old.
    void damagedOutputGivesTheWholeMachines_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("names");
        const QStringList firstFour{"puckman", "pacman", "neogeo", "z80"};
        const QStringList all{"puckman", "pacman", "neogeo", "z80", "cubeqst", "sc4addams", "tecnolog"};
        QTest::newRow("cut inside a machine") << cutAt("<video screen=", 20) << firstFour;
        QTest::newRow("cut inside a start tag") << cutAt("<machine name=\"cubeqst\"", 19) << firstFour;
        QTest::newRow("cut inside an end tag")
            << cutAt("</machine>\n\t<machine name=\"sc4addams\"", 6) << firstFour;
        const QByteArray nul(1, '\0');
        QTest::newRow("NUL bytes before lines and between machines")
            << QByteArray(fixtureXml())
                   .replace("\n\t", "\n" + nul + "\t")
                   .replace("</machine>\n", "</machine>\n" + QByteArray(300, '\0') + "\n")
            << all;
        QTest::newRow("CR-only line ends") << QByteArray(fixtureXml()).replace('\n', '\r') << all;
        QTest::newRow("CR-only line ends, cut inside a machine")
            << cutAt("<video screen=", 20).replace('\n', '\r') << firstFour;
    }
    void damagedOutputGivesTheWholeMachines() {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, names);
        BuildFixture f;
        f.writeList("1");
        f.emulator.set("LISTXML", f.program.write("output", output));
        QVERIFY(CreateGamesList(f.context));
        QCOMPARE(namesOf(f.state.games.FullGamesList), names);
        QCOMPARE(describeAll(f.state.games.FullGamesList), m_clean.mid(0, names.size()));
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!f.wait.visible);
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        QVERIFY(f.program.read("listfull.txt")
                    .startsWith(ListStamp(f.state.setup.mameExecutableFile).toLatin1() + "\r\n"));
    }

    // A NUL byte inside a machine's name stays in the name, as every byte the emulator gives does:
    // the game is listed under it (the processing job never acts on such a name).
    void nulInsideANameIsKept() {
        BuildFixture f;
        f.emulator.set(
            "LISTXML",
            f.program.write(
                "output",
                QByteArray(fixtureXml()).replace("name=\"pacman\"", QByteArray("name=\"pac\0x\"", 12))));
        QVERIFY(CreateGamesList(f.context));
        QCOMPARE(f.state.games.FullGamesList.size(), 7);
        QCOMPARE(f.state.games.FullGamesList[1].Name, QString(QStringLiteral("pac") + QChar(0) + u'x'));
    }

    // Output that is not a line-broken machine list gives no games: the question names listfull.txt,
    // the old list and the table stay.
    void unreadableOutputMakesNoList_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("random bytes") << randomBytes(1 << 20, 7);
        QTest::newRow("an executable") << buildPe(PeVersionSpec());
        QTest::newRow("the whole list on one line") << QByteArray(fixtureXml()).replace('\n', ' ');
        QTest::newRow("only NUL bytes") << QByteArray(4096, '\0');
    }
    void unreadableOutputMakesNoList() {
        QFETCH(QByteArray, output);
        BuildFixture f;
        f.writeList("1");
        const QByteArray stale = f.program.read("listfull.txt");
        f.emulator.set("LISTXML", f.program.write("output", output));
        QVERIFY(!CreateGamesList(f.context));
        QCOMPARE(f.port.texts(), QStringList{f.cannotCreate()});
        QCOMPARE(f.program.read("listfull.txt"), stale);
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        QVERIFY(!f.wait.visible);
    }

private:
    QStringList m_clean;
};

// Kept apart, and left out of the sanitizer run (the memory bound is for the plain build): see the
// "heavy" label in tests/CMakeLists.txt.
class HugeListXmlLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { m_clean = cleanGames(); }

    // A line of 300 MB without any line break between two machines: every machine is listed, in a
    // bounded time and within a few times the line's size in memory. (The test writes 600 MB into
    // its temporary folder: the output and the emulator's copy of it.)
    void hugeLineWithoutBreak() {
        BuildFixture f;
        const QByteArray xml = fixtureXml();
        const qsizetype split = xml.indexOf("\t<machine name=\"neogeo\"");
        QFile output(f.program.file("output"));
        QVERIFY(output.open(QIODevice::WriteOnly));
        output.write(xml.left(split));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 300; ++i) {
            QCOMPARE(output.write(block), block.size());
        }
        output.write("\n" + xml.mid(split));
        output.close();
        f.emulator.set("LISTXML", output.fileName());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(CreateGamesList(f.context));
        const qint64 peak = peakMemoryMiB();
        qInfo("300 MB line: built in %lld ms, peak memory %lld MiB", clock.elapsed(), peak);
        QVERIFY2(peak < 1536, "the scan holds the long line no more than a few times over");
        QCOMPARE(describeAll(f.state.games.FullGamesList), m_clean);
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        QVERIFY(clock.elapsed() < 30000);
    }

private:
    QStringList m_clean;
};

class BadEmulatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { runner_testing::setStopGraceMilliseconds(2000); }

    // Emulators that end at once or write garbage: the retry question names the file that is
    // missing, or listfull.txt when nothing could be read; the old list and the table stay.
    void misbehavingEmulatorMakesNoList_data() {
        QTest::addColumn<QByteArray>("executable");  // the emulator file's bytes
        QTest::addColumn<QString>("question");       // "?" the missing-file question for that file
        QTest::newRow("exits at once, status 1") << QByteArray("#!/bin/sh\nexit 1\n") << "?listxml.xml";
        QTest::newRow("killed at once") << QByteArray("#!/bin/sh\nkill -9 $$\n") << "?listxml.xml";
        QTest::newRow("a Windows program") << buildPe(PeVersionSpec()) << "?listxml.xml";
        QTest::newRow("a damaged program") << "\x7f"
                                              "ELF" +
                                                  randomBytes(4096, 11)
                                           << "?listxml.xml";
        QTest::newRow("garbage for every switch")
            << QByteArray("#!/bin/sh\ncat \"$0.garbage\"\n") << "cannot";
        QTest::newRow("garbage, then status 2")
            << QByteArray("#!/bin/sh\ncat \"$0.garbage\"\nexit 2\n") << "?listxml.xml";
    }
    void misbehavingEmulatorMakesNoList() {
        QFETCH(QByteArray, executable);
        QFETCH(QString, question);
        BuildFixture f;
        f.writeList("1");
        const QByteArray stale = f.program.read("listfull.txt");
        const QString emulator = f.program.write("bad/mame", executable);
        QFile::setPermissions(emulator, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // Garbage without the bytes a shell would take for a line break, so that -help gives no
        // version and the list is asked for with -listxml.
        f.program.write("bad/mame.garbage", randomBytes(256 * 1024, 5).replace('\n', 'n').replace('\r', 'r'));
        f.state.setup.mameExecutableFile = emulator;
        QVERIFY(!CreateGamesList(f.context));
        QCOMPARE(f.port.texts(),
                 QStringList{question == "cannot" ? f.cannotCreate() : f.notFound(question.mid(1))});
        QCOMPARE(f.program.read("listfull.txt"), stale);
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        QVERIFY(!f.wait.visible);
        QVERIFY(!f.runs.running());
    }

    // An emulator that hangs as soon as it is asked for its version: the Stop of the wait window
    // ends the step without a question, no list is asked for and nothing of the emulator is left.
    void hangAtTheVersionQueryIsStopped() {
        runner_testing::setStopGraceMilliseconds(300);
        BuildFixture f;
        f.writeList("1");
        const QByteArray stale = f.program.read("listfull.txt");
        const QString pidFile = f.program.file("bad/mame.pid");
        f.state.setup.mameExecutableFile = writeScript(
            f.program, "bad/mame",
            "printf '%s\\n' \"$1\" >> \"$0.calls\"\nprintf '%s\\n' $$ > \"$0.pid\"\nexec sleep 600");
        // Every run of it hangs: each is stopped as soon as it has begun.
        pid_t emulator = -1;
        f.port.onProcessEvents = [&] {
            if (QFile::exists(pidFile)) {
                emulator = f.program.read("bad/mame.pid").trimmed().toInt();
                QFile::remove(pidFile);
                f.runs.requestStop();
            }
        };
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!CreateGamesList(f.context));
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(emulator > 0);
        QCOMPARE(f.program.read("bad/mame.calls"), QByteArray("-help\n"));
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!f.wait.visible);
        QVERIFY(!f.runs.running());
        QVERIFY(!isAlive(emulator));
        QCOMPARE(f.program.read("listfull.txt"), stale);
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
    }
};

KESTRUM_REGISTER_TEST(BadListXmlTest)
KESTRUM_REGISTER_TEST(HugeListXmlLineTest)
KESTRUM_REGISTER_TEST(BadEmulatorTest)
#include "tst_badinput.moc"
