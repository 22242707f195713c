// List files of a million lines, loaded as the Work List or trimmed as a ClrMAME miss file: the
// result the rules give, in a time a user waits for.
#include "SearchFixture.h"
#include "TestMain.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

constexpr int kGames = 40000;
constexpr int kLines = 1000000;

QString nameOf(int i) {
    return QStringLiteral("g%1").arg(i, 5, 10, QLatin1Char('0'));
}

void fillTable(SearchFixture& f) {
    GameList& games = f.state.games.FullGamesList;
    games.reserve(kGames);
    for (int i = 0; i < kGames; ++i) {
        games.append(game(nameOf(i), QStringLiteral("Game %1").arg(i)));
    }
}

// A million lines: every 25th names a game of the table in capitals (each game once), the others
// name nothing; the line breaks are CR LF, LF and lone CR in turn.
QByteArray millionLines() {
    QByteArray bytes;
    bytes.reserve(kLines * 12);
    const char* const breaks[3] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < kLines; ++i) {
        bytes += i % 25 == 0 ? nameOf(i / 25).toUpper().toLatin1() : "unknown" + QByteArray::number(i);
        bytes += breaks[i % 3];
    }
    return bytes;
}

}  // namespace

class BadWorkListFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadsAMillionLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("games");
        QTest::newRow("names among unknown lines") << millionLines() << kGames;
        QTest::newRow("one name a million times") << nameOf(7).toLatin1().append('\n').repeated(kLines) << 1;
        QTest::newRow("only empty lines") << QByteArray("\r\n").repeated(kLines) << 0;
    }
    void loadsAMillionLines() {
        QFETCH(QByteArray, file);
        QFETCH(int, games);
        SearchFixture f;
        fillTable(f);
        f.state.gamesPage.WorkList = {game("stale")};
        GamesPageContext c = f.context();
        f.port.fileAnswers.enqueue(f.program.write("worklist/big.txt", file));
        QElapsedTimer clock;
        clock.start();
        LoadWorkListFile(c);
        qInfo("%d lines loaded in %lld ms", kLines, clock.elapsed());
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(f.state.gamesPage.WorkList.size(), games);
        QCOMPARE(f.state.gamesPage.WorkListNames.size(), games);
        if (games == 1) {
            QCOMPARE(namesOf(f.state.gamesPage.WorkList), QStringList{nameOf(7)});
        }
        QVERIFY(f.port.messages.isEmpty());
        QCOMPARE(f.program.read("worklist/big.txt"), file);
    }

    // The same million lines as a miss file: one line goes per Work List game and the rest is
    // written back, each line ended by CR LF.
    void trimsAMissFileOfAMillionLines() {
        SearchFixture f;
        fillTable(f);
        f.state.gamesPage.WorkList = f.state.games.FullGamesList;
        GamesPageContext c = f.context();
        const QString path = f.program.write("miss.txt", millionLines());
        f.port.fileAnswers.enqueue(path);
        QElapsedTimer clock;
        clock.start();
        RemoveFromMissFile(c);
        qInfo("miss file of %d lines trimmed in %lld ms", kLines, clock.elapsed());
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(f.port.texts(), QStringList{"File \"" + path + "\" updated!\r\n" + QString::number(kGames) +
                                             " entries removed based on current Work List."});
        const QByteArray trimmed = f.program.read("miss.txt");
        QCOMPARE(trimmed.count("\r\n"), kLines - kGames);
        QVERIFY(trimmed.startsWith("unknown1\r\nunknown2\r\n"));
        QVERIFY(!trimmed.contains("G0"));
    }
};

KESTRUM_REGISTER_TEST(BadWorkListFileTest)
#include "tst_badinput.moc"
