#include "BuildFixture.h"
#include "FakeEmulator.h"
#include "TestMain.h"
#include "gamesdb/GamesListBuild.h"
#include "gamesdb/GamesListFile.h"

#include <QTest>

namespace {

const QString kLoading = QStringLiteral("Loading games list.\r\nMerged sets are not supported!");
const QStringList kXmlGames{"puckman", "pacman", "neogeo", "z80", "cubeqst", "sc4addams", "tecnolog"};
const QStringList kInfoGames{"puckman", "pacman", "neogeo"};

}  // namespace

class CreateGamesListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unusableEmulatorDoesNothing_data() {
        QTest::addColumn<QString>("emulator");
        QTest::newRow("none") << QString();
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("empty") << QStringLiteral("empty");
        QTest::newRow("folder") << QStringLiteral("emulator");
    }
    void unusableEmulatorDoesNothing() {
        QFETCH(QString, emulator);
        BuildFixture f;
        f.program.write("empty", "");
        f.writeList("1");
        f.state.setup.mameExecutableFile = emulator.isEmpty() ? QString() : f.program.file(emulator);
        f.state.setup.rebuildGamesListVisible = f.state.setup.rebuildGamesListChecked = true;
        QVERIFY(!CreateGamesList(f.context));
        QVERIFY(f.emulator.calls().isEmpty());
        QVERIFY(QFile::exists(f.listPath()));
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
        QCOMPARE(f.wait.shows, 0);
    }

    // A current list is never rebuilt; it is loaded only when the table is empty or was loaded with
    // the other quick-scan setting.
    void currentListIsNotRebuilt_data() {
        QTest::addColumn<bool>("emptyTable");
        QTest::addColumn<bool>("loadedWithQuickScan");
        QTest::addColumn<bool>("loads");
        QTest::newRow("already loaded") << false << false << false;
        QTest::newRow("empty table") << true << false << true;
        QTest::newRow("loaded with the quick scan") << false << true << true;
    }
    void currentListIsNotRebuilt() {
        QFETCH(bool, emptyTable);
        QFETCH(bool, loadedWithQuickScan);
        QFETCH(bool, loads);
        BuildFixture f;
        f.writeCurrentList();
        if (emptyTable) {
            f.state.games.FullGamesList.clear();
        }
        f.state.games.LoadedWithQuickScan = loadedWithQuickScan;
        QVERIFY(CreateGamesList(f.context));
        QVERIFY(f.emulator.calls().isEmpty());
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{loads ? "only" : "marker"});
        QCOMPARE(f.wait.messages, loads ? QStringList{kLoading} : QStringList());
        QCOMPARE(f.state.games.LoadedWithQuickScan, loads ? false : loadedWithQuickScan);
        QVERIFY(f.port.messages.isEmpty());
    }

    void rebuildBox_data() {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("rebuilt");
        QTest::newRow("visible and checked") << true << true << true;
        QTest::newRow("unchecked") << true << false << false;
        QTest::newRow("hidden") << false << true << false;
    }
    void rebuildBox() {
        QFETCH(bool, visible);
        QFETCH(bool, checked);
        QFETCH(bool, rebuilt);
        BuildFixture f;
        f.writeCurrentList();
        f.state.setup.rebuildGamesListVisible = visible;
        f.state.setup.rebuildGamesListChecked = checked;
        QVERIFY(CreateGamesList(f.context));
        QCOMPARE(f.emulator.calls(), (rebuilt ? QStringList{"-help", "-listxml"} : QStringList()));
        QCOMPARE(namesOf(f.state.games.FullGamesList), (rebuilt ? kXmlGames : QStringList{"marker"}));
        // A rebuild done unchecks the box, so going back and forth does not run the emulator again.
        QCOMPARE(f.state.setup.rebuildGamesListChecked, checked && !rebuilt);
        QVERIFY(CreateGamesList(f.context));
        QCOMPARE(f.emulator.calls().size(), rebuilt ? 2 : 0);
    }

    void methodFollowsTheVersion_data() {
        QTest::addColumn<QString>("versionLine");  // "" : -help writes nothing
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("games");
        const QStringList xml{"-help", "-listxml"};
        const QStringList legacy{"-help", "-listinfo", "-listdetails"};
        QTest::newRow("0.69") << "MAME v0.69 (mame069)"
                              << "0.69" << legacy << kInfoGames;
        QTest::newRow("0.70") << "MAME v0.70 (mame070)"
                              << "0.70" << xml << kXmlGames;
        QTest::newRow("0.7") << "MAME v0.7"
                             << "0.7" << legacy << kInfoGames;
        QTest::newRow("beta suffix") << "MAME v0.37b16"
                                     << "0.37b" << legacy << kInfoGames;
        QTest::newRow("unknown") << ""
                                 << "" << QStringList{"-help", "-help", "-listxml"} << kXmlGames;
    }
    void methodFollowsTheVersion() {
        QFETCH(QString, versionLine);
        QFETCH(QString, version);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, games);
        BuildFixture f;
        f.writeList("1");  // built from another executable
        if (versionLine.isEmpty()) {
            f.emulator.set("HELP", "nothing");
        } else {
            f.emulator.set("VERSION_LINE", versionLine);
        }
        QVERIFY(CreateGamesList(f.context));
        QCOMPARE(f.emulator.calls(), calls);
        QCOMPARE(f.state.emulator.EmulatorVersion, version);
        QVERIFY2(f.state.emulator.EmulatorDescription.startsWith(QStringLiteral("MAME v") + version +
                                                                 QStringLiteral(" (")),
                 qPrintable(f.state.emulator.EmulatorDescription));
        QCOMPARE(namesOf(f.state.games.FullGamesList), games);
        QCOMPARE(f.events.emulatorLine, f.state.emulator.EmulatorDescription);
        const QList<QByteArray> lines = f.program.read("listfull.txt").split('\n');
        QCOMPARE(lines[0], ListStamp(f.emulator.path()).toLatin1() + '\r');
        QCOMPARE(lines[1], f.state.emulator.EmulatorDescription.toUtf8() + '\r');
        QVERIFY(isCurrentGamesList(f.program.path(), f.emulator.path()));
        for (const char* temporary : {"listxml.xml", "listinfo.txt", "listdetails.txt"}) {
            QVERIFY2(!QFile::exists(f.program.file(temporary)), temporary);
        }
        QVERIFY(f.port.messages.isEmpty());
        QVERIFY(!f.wait.visible);
    }

    void buildShowsItsSteps_data() {
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<QStringList>("steps");  // "@" stands for the emulator description
        QTest::newRow("-listxml") << "MAME v0.251 (x)"
                                  << QStringList{"Detecting MAME version. Please wait...",
                                                 "Generating listxml.xml\" file. Please wait...",
                                                 "Creating Games List\r\n@",
                                                 "Parsing \"listxml.xml\" and creating \"listfull.txt\"...",
                                                 kLoading};
        QTest::newRow("-listinfo") << "MAME v0.69 (x)"
                                   << QStringList{"Detecting MAME version. Please wait...",
                                                  "Generating listinfo.txt\" file. Please wait...",
                                                  "Generating listdetails.txt\" file. Please wait...",
                                                  "Creating Games List\r\n@",
                                                  "Parsing \"listinfo.txt\" and creating \"listfull.txt\"...",
                                                  kLoading};
    }
    void buildShowsItsSteps() {
        QFETCH(QString, versionLine);
        QFETCH(QStringList, steps);
        BuildFixture f;
        f.emulator.set("VERSION_LINE", versionLine);
        QVERIFY(CreateGamesList(f.context));
        steps.replaceInStrings(QStringLiteral("@"), f.state.emulator.EmulatorDescription);
        QCOMPARE(f.wait.messages, steps);
        QVERIFY(f.wait.shows >= 1);
        QVERIFY(!f.wait.visible);
        QVERIFY(f.events.events.contains("replacing"));
        QVERIFY(f.port.busyChanges.contains(false));
    }

    // A build that cannot go on asks whether to retry the whole creation; the table keeps its rows.
    void failedBuildAsksToRetry_data() {
        QTest::addColumn<QString>("versionLine");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QByteArray>("output");  // what the emulator prints for that list switch
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("questions");  // "?" the retry question for a missing file
        const QByteArray noGames = "<mame>\n<machine name=\"ym\" isdevice=\"yes\">\n</machine>\n</mame>\n";
        const QStringList xml{"-help", "-listxml"};
        QTest::newRow("empty -listxml output")
            << "MAME v0.251 (x)"
            << "LISTXML" << QByteArray() << QList<bool>{false} << xml << QStringList{"?listxml.xml"};
        QTest::newRow("empty -listxml output, retried")
            << "MAME v0.251 (x)"
            << "LISTXML" << QByteArray() << QList<bool>{true, false} << xml + xml
            << QStringList{"?listxml.xml", "?listxml.xml"};
        QTest::newRow("empty -listinfo output")
            << "MAME v0.69 (x)"
            << "LISTINFO" << QByteArray() << QList<bool>{} << QStringList{"-help", "-listinfo"}
            << QStringList{"?listinfo.txt"};
        QTest::newRow("empty -listdetails output")
            << "MAME v0.69 (x)"
            << "LISTDETAILS" << QByteArray() << QList<bool>{}
            << QStringList{"-help", "-listinfo", "-listdetails"} << QStringList{"?listdetails.txt"};
        QTest::newRow("no games") << "MAME v0.251 (x)"
                                  << "LISTXML" << noGames << QList<bool>{} << xml << QStringList{"cannot"};
        QTest::newRow("no games, retried")
            << "MAME v0.251 (x)"
            << "LISTXML" << noGames << QList<bool>{true} << xml + xml << QStringList{"cannot", "cannot"};
        QTest::newRow("only a byte-order mark")
            << "MAME v0.251 (x)"
            << "LISTXML" << QByteArray("\xEF\xBB\xBF") << QList<bool>{} << xml
            << QStringList{"    File \"@listxml.xml\" is empty, there's nothing to read." + kRetry, "cannot"};
        QTest::newRow("-listinfo of only a byte-order mark")
            << "MAME v0.69 (x)"
            << "LISTINFO" << QByteArray("\xEF\xBB\xBF") << QList<bool>{}
            << QStringList{"-help", "-listinfo", "-listdetails"}
            << QStringList{"    File \"@listinfo.txt\" is empty, there's nothing to read." + kRetry,
                           "cannot"};
    }
    void failedBuildAsksToRetry() {
        QFETCH(QString, versionLine);
        QFETCH(QString, variable);
        QFETCH(QByteArray, output);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, questions);
        BuildFixture f;
        f.writeList("1");
        const QByteArray stale = f.program.read("listfull.txt");
        f.emulator.set("VERSION_LINE", versionLine);
        f.emulator.set(variable, output.isNull() ? QString() : f.program.write("output", output));
        for (const bool answer : answers) {
            f.port.answers.enqueue(answer);
        }
        CreateGamesList(f.context);
        QCOMPARE(f.emulator.calls(), calls);
        for (QString& question : questions) {
            question = question == QStringLiteral("cannot") ? f.cannotCreate()
                       : question.startsWith(u'?')          ? f.notFound(question.mid(1))
                                                            : question.replace(u'@', f.program.path());
        }
        QCOMPARE(f.port.texts(), questions);
        for (const FakeDialogPort::Message& message : f.port.messages) {
            QCOMPARE(message.kind, QStringLiteral("question"));
            QCOMPARE(message.caption, QStringLiteral("Error"));
            QCOMPARE(message.icon, MessageIcon::Warning);
        }
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"marker"});
        QVERIFY(f.events.events.contains("replacing"));
        QVERIFY(!f.wait.visible);
        QVERIFY(!QFile::exists(f.program.file("listxml.xml")));
        // The old list stays in force: no new one was made.
        QCOMPARE(f.program.read("listfull.txt"), stale);
    }

    void emptyOutputRetriedAfterAFix() {
        BuildFixture f;
        f.emulator.set("LISTXML", QString());
        f.port.answers.enqueue(true);
        f.mendListXmlAtFirstQuestion();
        QVERIFY(CreateGamesList(f.context));  // the result of the retry, which succeeded
        QVERIFY(f.mended);
        QCOMPARE(f.port.texts(), QStringList{f.notFound("listxml.xml")});
        QCOMPARE(f.emulator.calls(), (QStringList{"-help", "-listxml", "-help", "-listxml"}));
        QCOMPARE(namesOf(f.state.games.FullGamesList), kXmlGames);
        QVERIFY(!f.wait.visible);
    }

    // An output without lines, retried: the new attempt builds and loads; the interrupted one,
    // which made no list of its own, loads nothing more and asks nothing more.
    void emptyScanRetriedLoadsOnce() {
        BuildFixture f;
        f.emulator.set("LISTXML", f.program.write("output", "\xEF\xBB\xBF"));
        f.port.answers.enqueue(true);
        f.mendListXmlAtFirstQuestion();
        QVERIFY(CreateGamesList(f.context));
        QCOMPARE(f.port.texts(), QStringList{"    File \"" + f.program.path() +
                                             "listxml.xml\" is empty, there's nothing to read." + kRetry});
        QCOMPARE(f.emulator.calls(), (QStringList{"-help", "-listxml", "-help", "-listxml"}));
        QCOMPARE(f.events.events.count("read"), 1);
        QCOMPARE(namesOf(f.state.games.FullGamesList), kXmlGames);
        QVERIFY(!f.wait.visible);
    }
};

KESTRUM_REGISTER_TEST(CreateGamesListTest)
KESTRUM_TEST_MAIN
#include "tst_creategameslist.moc"
