#include "EmulatorFixture.h"
#include "TestMain.h"
#include "common/RunControl.h"
#include "emulator/CommandRunner.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <cstring>

namespace {

const QString kShellPrefix = QStringLiteral("/bin/sh -c ");

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

class CommandRunnerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The emulator and its output file lie in folders whose names the shell would otherwise
    // split, expand or execute.
    void runsEmulatorAtAwkwardPath_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("blanks") << "my emulators/mame 0.251";
        QTest::newRow("single quotes") << "it's 'quoted'";
        QTest::newRow("variable") << "$HOME";
        QTest::newRow("braced variable") << "${HOME}x";
        QTest::newRow("backquotes") << "`touch injected`";
        QTest::newRow("command substitution") << "$(touch injected)";
        QTest::newRow("backslash and double quote") << "a\\b\"c";
        QTest::newRow("semicolon and ampersand") << "x; touch injected &";
        QTest::newRow("percent signs") << "100%1 %2";
    }
    void runsEmulatorAtAwkwardPath() {
        QFETCH(QString, folder);
        TempProgramFolder program;
        FakeEmulator emulator(program, folder + QStringLiteral("/mame"));
        FakeDialogPort port;
        RunControl runs;
        const QString output = emulator.folder() + QStringLiteral("help 'out'.txt");

        RunThroughShell(port, runs, redirectedCommand(emulator.path(), QStringLiteral("-help"), output),
                        emulator.folder(), program.path());

        QVERIFY(port.messages.isEmpty());
        QCOMPARE(emulator.calls(), QStringList{QStringLiteral("-help")});
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine(), QByteArray("MAME v0.251 (mame0251)\n"));
        QVERIFY(!QFile::exists(emulator.folder() + QStringLiteral("injected")));
        QVERIFY(!QFile::exists(program.file(QStringLiteral("injected"))));
    }

    // The limit counts every character of the command line: "/bin/sh -c " and the inner command,
    // or the program and its arguments joined by blanks for a direct run.
    void commandLineLimit_data() {
        QTest::addColumn<bool>("direct");
        QTest::addColumn<int>("length");
        QTest::addColumn<QChar>("padding");
        QTest::newRow("shell, 1024") << false << 1024 << QChar(u'x');
        QTest::newRow("shell, 1025") << false << 1025 << QChar(u'x');
        QTest::newRow("shell, 1024 non-ASCII") << false << 1024 << QChar(0xE9);
        QTest::newRow("direct, 1024") << true << 1024 << QChar(u'x');
        QTest::newRow("direct, 1025") << true << 1025 << QChar(u'x');
    }
    void commandLineLimit() {
        QFETCH(bool, direct);
        QFETCH(int, length);
        QFETCH(QChar, padding);
        TempProgramFolder program;
        FakeDialogPort port;
        RunControl runs;
        const QString marker = program.file(QStringLiteral("ran"));
        const QString command = QStringLiteral("echo ran > ") + shellQuote(marker);
        if (direct) {
            // The padding becomes the shell's $0.
            const qsizetype used = QStringLiteral("/bin/sh -c ").size() + command.size() + 1;
            const QString pad(length - used, padding);
            RunProcess(port, runs, QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command, pad},
                       program.path(), program.path());
        } else {
            QString inner = command + QStringLiteral(" #");
            inner += QString(length - kShellPrefix.size() - inner.size(), padding);
            QCOMPARE(kShellPrefix.size() + inner.size(), length);
            RunThroughShell(port, runs, inner, program.path(), program.path());
        }

        if (length <= 1024) {
            QVERIFY(port.messages.isEmpty());
            QCOMPARE(program.read(QStringLiteral("ran")), QByteArray("ran\n"));
        } else {
            QCOMPARE(port.messages.size(), 1);
            QCOMPARE(port.messages[0].kind, QStringLiteral("message"));
            QCOMPARE(port.messages[0].caption, QStringLiteral("Error"));
            QCOMPARE(port.messages[0].text,
                     QStringLiteral("The command line has more than 1024 chars - [1025]"));
            QCOMPARE(port.messages[0].icon, MessageIcon::Error);
            QVERIFY(!QFile::exists(marker));
        }
    }

    void startFailureIsReported_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "no such folder/mame" << ENOENT;
        QTest::newRow("percent signs in the path") << "100%1 %2/mame" << ENOENT;
        QTest::newRow("not executable") << "plain.txt" << EACCES;
    }
    void startFailureIsReported() {
        QFETCH(QString, program);
        QFETCH(int, error);
        TempProgramFolder folder;
        TempProgramFolder elsewhere;
        FakeDialogPort port;
        RunControl runs;
        const QString path = folder.file(program);
        if (program == QStringLiteral("plain.txt")) {
            folder.write(program, "not a program\n");
        }
        QDir::setCurrent(elsewhere.path());

        const RunOutcome run =
            RunProcess(port, runs, path, {QStringLiteral("-createconfig")}, folder.path(), folder.path());

        QCOMPARE(run.ending, RunOutcome::Ending::NotStarted);
        QVERIFY(!runs.running());
        QCOMPARE(port.messages.size(), 1);
        QCOMPARE(port.messages[0].caption, QStringLiteral("Error - Failed to Create the Process"));
        QCOMPARE(port.messages[0].text, path + QStringLiteral(" -createconfig\r\n\r\nError Code ") +
                                            QString::number(error) + QStringLiteral(": ") +
                                            systemText(error));
        QCOMPARE(port.messages[0].icon, MessageIcon::Error);
        QCOMPARE(currentFolder(), folder.path());
    }

    // The shell itself starts; the emulator's absence leaves the redirected file empty, and the
    // caller's check of that file reports the failure.
    void missingEmulatorThroughShellLeavesEmptyOutput() {
        TempProgramFolder program;
        FakeDialogPort port;
        RunControl runs;
        const QString output = program.file(QStringLiteral("iMAMEVersion.tmp"));
        RunThroughShell(port, runs,
                        redirectedCommand(program.file(QStringLiteral("gone/mame")), "-help", output),
                        program.path(), program.path());
        QVERIFY(port.messages.isEmpty());
        QVERIFY(QFileInfo(output).isFile());
        QCOMPARE(QFileInfo(output).size(), 0);
    }

    void childRunsInWorkingFolderAndCurrentFolderReturns() {
        TempProgramFolder program;
        TempProgramFolder elsewhere;
        FakeEmulator emulator(program);
        FakeDialogPort port;
        RunControl runs;
        emulator.set("CREATECONFIG", program.write(QStringLiteral("template.ini"), "rompath roms\n"));

        QDir::setCurrent(elsewhere.path());
        RunProcess(port, runs, emulator.path(), {QStringLiteral("-createconfig")}, emulator.folder(),
                   program.path());
        QCOMPARE(currentFolder(), program.path());
        QFile written(emulator.folder() + QStringLiteral("mame.ini"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("rompath roms\n"));
        QVERIFY(!QFile::exists(elsewhere.file(QStringLiteral("mame.ini"))));
        QVERIFY(!QFile::exists(program.file(QStringLiteral("mame.ini"))));

        QDir::setCurrent(elsewhere.path());
        const QString where = program.file(QStringLiteral("pwd.txt"));
        QCOMPARE(RunThroughShell(port, runs,
                                 QStringLiteral("pwd -P > ") + shellQuote(where) + QStringLiteral("; exit 3"),
                                 emulator.folder(), program.path())
                     .status,
                 3);
        QCOMPARE(currentFolder(), program.path());
        QCOMPARE(QString::fromLocal8Bit(program.read(QStringLiteral("pwd.txt"))).trimmed(),
                 QFileInfo(emulator.folder()).canonicalFilePath());
        QVERIFY(port.messages.isEmpty());
    }

    // A stop is asked only of a running program, and a new piece of work forgets an old one.
    void runControlRules() {
        RunControl runs;
        QList<bool> shown;
        runs.onRunningChanged = [&shown](bool running) { shown.append(running); };
        runs.requestStop();
        QVERIFY(!runs.stopRequested());
        runs.runStarted();
        runs.requestStop();
        QVERIFY(runs.stopRequested());
        runs.runEnded();
        QVERIFY(runs.stopRequested());  // the caller still sees why its run ended
        runs.forgetStop();
        QVERIFY(!runs.stopRequested());
        QCOMPARE(shown, (QList<bool>{true, false}));
    }

    // The child waits until the test's event hook has run: the run can only finish when pending
    // events are processed while it is still going (it gives up after about five seconds).
    void processesEventsWhileWaiting() {
        TempProgramFolder program;
        FakeDialogPort port;
        RunControl runs;
        const QString go = program.file(QStringLiteral("go"));
        const QString done = program.file(QStringLiteral("done"));
        bool doneAtFirstCall = true;
        port.onProcessEvents = [&] {
            if (port.processEventsCalls == 1) {
                doneAtFirstCall = QFile::exists(done);
                program.write(QStringLiteral("go"), "");
            }
        };
        const QString inner =
            QStringLiteral(
                "i=0; while [ ! -f %1 ] && [ $i -lt 500 ]; do sleep 0.01; i=$((i+1)); done; "
                "[ -f %1 ] && echo done > %2")
                .arg(shellQuote(go), shellQuote(done));
        QVERIFY(RunThroughShell(port, runs, inner, program.path(), program.path()).succeeded());
        QVERIFY(port.processEventsCalls >= 1);
        QVERIFY(!doneAtFirstCall);
        QCOMPARE(program.read(QStringLiteral("done")), QByteArray("done\n"));
    }
};

KESTRUM_REGISTER_TEST(CommandRunnerTest)
KESTRUM_TEST_MAIN
#include "tst_commandrunner.moc"
