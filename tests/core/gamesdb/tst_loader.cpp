#include "GamesDbFixture.h"
#include "TestMain.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/GamesListLoader.h"

#include <QTest>

namespace {

const QByteArray kHeader = "123\r\nMAME v0.251 (Jan 01 2023)\r\n";
// A parent, its clone, a BIOS and a device.
const QByteArray kFourGames =
    "puckman=0000<title>Puck Man/><drvstat>0/>\r\n"
    "pacman=0100<title>Pac-Man/><cloneof>puckman/>\r\n"
    "neogeo=0200<title>Neo-Geo/>\r\n"
    "z80=0300<title>Zilog Z80/>\r\n";

const QString kLoadingWithScan =
    QStringLiteral("Loading games list, searching game ROMs [.zip; .7z].\r\nMerged sets are not supported!");
const QString kLoadingWithoutScan = QStringLiteral("Loading games list.\r\nMerged sets are not supported!");

QList<int> iconsOf(const GameList& games) {
    QList<int> icons;
    for (const TGameInfo& game : games) {
        icons.append(game.IconIndex);
    }
    return icons;
}

TGameInfo marker(const QString& name) {
    TGameInfo game;
    game.Name = name;
    return game;
}

}  // namespace

class GamesListLoaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Lines that are not games are skipped; a kind or a status off its scale is read as the
    // default, so the icon number stays within 0..7.
    void linesThatAreNotGames() {
        GamesFixture f;
        f.program.write("listfull.txt", kHeader +
                                            "\r\n   \r\nno equals sign\r\n=0000<title>Nameless/>\r\n"
                                            "  =0000\r\nodd=0700<drvstat>5/><emustat>-2/><clrstat>2/>\r\n");
        f.state.setup.scanGameFilesQuickScan = true;  // no ROM folders: every game is missing
        QVERIFY(LoadGamesList(f.context));
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{"odd"});
        const TGameInfo& odd = f.state.games.FullGamesList[0];
        QCOMPARE(odd.Kind, qint32(KindParent));
        QCOMPARE(odd.IconIndex, 4);
        QCOMPARE(odd.DriverStatus, qint8(StatusUnknown));
        QCOMPARE(odd.EmulationStatus, qint8(StatusUnknown));
        QCOMPARE(odd.ColorStatus, qint8(StatusPreliminary));

        f.program.write("listfull.txt", kHeader + "\r\n=x\r\n");
        QVERIFY(!LoadGamesList(f.context));  // nothing but lines that are not games
    }

    void threeLinesLoadOneGame() {
        GamesFixture f;
        f.program.write("listfull.txt",
                        kHeader + "puckman=0010<title>Puck Man/><year>1980/><drvstat>1/><sndstat>2/>");
        f.state.setup.scanGameFilesQuickScan = false;
        f.state.games.LoadedWithQuickScan = true;
        f.state.games.FullGamesList = {marker("old1"), marker("old2")};
        QVERIFY(LoadGamesList(f.context));
        QCOMPARE(f.state.games.FullGamesList.size(), 1);
        QCOMPARE(describe(f.state.games.FullGamesList[0]),
                 QStringLiteral("puckman|0010|Puck Man|1980||||-1|1 -1 -1 2 -1"));
        QCOMPARE(f.state.games.FullGamesList[0].IconIndex, 0);
        QCOMPARE(f.events.events, (QStringList{"replacing", "read", "load ended"}));
        QCOMPARE(f.events.emulatorLine, QStringLiteral("MAME v0.251 (Jan 01 2023)"));
        QCOMPARE(f.state.games.LoadedWithQuickScan, false);
        QCOMPARE(f.wait.messages, QStringList{kLoadingWithoutScan});
        QCOMPARE(f.wait.shows, 1);
        QCOMPARE(f.wait.closes, 1);
        QVERIFY(!f.wait.visible);
        QVERIFY(QFile::exists(f.listPath()));
    }

    void shortFileIsDeleted_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("one line") << QByteArray("123\r\n");
        QTest::newRow("two lines") << QByteArray("123\r\nMAME v0.251\r\n");
        QTest::newRow("two lines after a BOM") << QByteArray(
            "\xEF\xBB\xBF"
            "123\nMAME v0.251\n");
    }
    void shortFileIsDeleted() {
        QFETCH(QByteArray, content);
        GamesFixture f;
        f.program.write("listfull.txt", content);
        f.state.games.FullGamesList = {marker("old")};
        f.state.games.LoadedWithQuickScan = false;
        QVERIFY(!LoadGamesList(f.context));
        QVERIFY(!QFile::exists(f.listPath()));
        QCOMPARE(namesOf(f.state.games.FullGamesList), QStringList{QStringLiteral("old")});
        QVERIFY(f.events.events.isEmpty());  // nothing the window shows changes
        QCOMPARE(f.state.games.LoadedWithQuickScan, false);
        QCOMPARE(f.wait.shows, 0);
        QVERIFY(f.wait.messages.isEmpty());
    }

    void withoutQuickScanIconIsKind() {
        GamesFixture f;
        f.program.write("listfull.txt", kHeader + kFourGames);
        f.state.setup.scanGameFilesQuickScan = false;
        f.state.emulator.folders.RomFolders = {f.program.makeFolder("roms")};  // empty: a look-up would miss
        QVERIFY(LoadGamesList(f.context));
        QCOMPARE(namesOf(f.state.games.FullGamesList), (QStringList{"puckman", "pacman", "neogeo", "z80"}));
        QCOMPARE(iconsOf(f.state.games.FullGamesList), (QList<int>{0, 1, 2, 3}));
    }

    void quickScanFindsZipOr7z_data() {
        QTest::addColumn<int>("folders");
        QTest::addColumn<QStringList>(
            "files");  // "1:" and "2:" in the first and second ROM folder, "0:" beside
        QTest::addColumn<QList<int>>("icons");
        QTest::newRow("nothing") << 2 << QStringList{} << QList<int>{4, 5, 6, 7};
        QTest::newRow("no ROM folders") << 0 << QStringList{"0:puckman.zip"} << QList<int>{4, 5, 6, 7};
        QTest::newRow(".zip in the first folder")
            << 2 << QStringList{"1:puckman.zip"} << QList<int>{0, 5, 6, 7};
        QTest::newRow(".7z in the second folder")
            << 2 << QStringList{"2:pacman.7z"} << QList<int>{4, 1, 6, 7};
        QTest::newRow(".zip in the second folder")
            << 2 << QStringList{"2:z80.zip", "1:other.zip"} << QList<int>{4, 5, 6, 3};
        QTest::newRow("folders named like sets")
            << 2 << QStringList{"1:neogeo.zip/", "2:neogeo.7z/"} << QList<int>{4, 5, 6, 7};
        QTest::newRow("a parent's file does not count for its clone")
            << 2 << QStringList{"1:puckman.7z"} << QList<int>{0, 5, 6, 7};
        QTest::newRow("other extensions")
            << 2 << QStringList{"1:puckman.rar", "2:puckman"} << QList<int>{4, 5, 6, 7};
    }
    void quickScanFindsZipOr7z() {
        QFETCH(int, folders);
        QFETCH(QStringList, files);
        QFETCH(QList<int>, icons);
        GamesFixture f;
        f.program.write("listfull.txt", kHeader + kFourGames);
        f.state.setup.scanGameFilesQuickScan = true;
        f.state.games.LoadedWithQuickScan = false;
        for (int i = 1; i <= folders; ++i) {
            f.state.emulator.folders.RomFolders.append(f.program.makeFolder(QStringLiteral("roms%1").arg(i)));
        }
        for (const QString& file : files) {
            const QString path =
                (file[0] == u'0' ? QString() : QStringLiteral("roms") + file.left(1) + u'/') + file.mid(2);
            if (path.endsWith(u'/')) {
                f.program.makeFolder(path.chopped(1));
            } else {
                f.program.write(path, "PK");
            }
        }
        QVERIFY(LoadGamesList(f.context));
        QCOMPARE(iconsOf(f.state.games.FullGamesList), icons);
        QCOMPARE(f.state.games.LoadedWithQuickScan, true);
        QCOMPARE(f.wait.messages, QStringList{kLoadingWithScan});
    }

    void categoriesAndNonArcadeMarks() {
        GamesFixture f;
        f.program.write("listfull.txt", kHeader + kFourGames +
                                            "mspacman=0100<title>Ms. Pac-Man/><cloneof>PACMAN/>\r\n"
                                            "pacplus=0100<cloneof>nothing/>\r\n");
        f.state.setup.scanGameFilesQuickScan = false;
        f.state.games.categoryMap = std::make_shared<CategoryMap>(buildCategoryMap(
            "[Category]\nPuckMan=Maze / Collect\nneogeo=Syst\xC3\xA8me\nz80=Syst\xE8me\npacman=\n"
            "mspacman=Maze * Mature *\n[VerAdded]\npuckman=0.27\n"));
        f.state.setup.nonArcadeMachineFile =
            f.program.write("mess.ini", "[mess]\r\nNEOGEO\r\nz80 \r\n;pacman\r\nmspacman\r\n");
        QVERIFY(LoadGamesList(f.context));
        const GameList& games = f.state.games.FullGamesList;
        QCOMPARE(games.size(), 6);
        QCOMPARE(games[0].Category, QStringLiteral("Maze / Collect"));   // look-up ignores case
        QCOMPARE(games[1].Category, QStringLiteral("Maze / Collect"));   // empty entry: the parent's
        QCOMPARE(games[2].Category, QStringLiteral("Système"));          // UTF-8
        QCOMPARE(games[3].Category, QStringLiteral("Système"));          // Windows-1252
        QCOMPARE(games[4].Category, QStringLiteral("Maze * Mature *"));  // its own before its parent's
        QCOMPARE(games[5].Category, QString());                          // neither has an entry
        QList<int> marks;
        for (const TGameInfo& game : games) {
            marks.append(game.NonArcade);
        }
        QCOMPARE(marks, (QList<int>{0, 0, 1, 0, 1, 0}));
    }

    void textsAreDecoded() {
        GamesFixture f;
        f.program.write("listfull.txt",
                        "1\r\nMAME v0.251 (f\xC3\xA9v 01 2023)\r\n"
                        "tecnolog=0000<title>Juego de Tecnol\xC3\xB3gica/><manuf>Tecnol\xF3gica/>\r\n"
                        "cafe=0000<title>Caf\xE9/><manuf>Caf\xC3\xA9 \xE2\x82\xAC/>\r\n");
        f.state.setup.scanGameFilesQuickScan = false;
        QVERIFY(LoadGamesList(f.context));
        QCOMPARE(f.events.emulatorLine, QStringLiteral("MAME v0.251 (fév 01 2023)"));
        QCOMPARE(f.state.games.FullGamesList[0].Title, QStringLiteral("Juego de Tecnológica"));
        QCOMPARE(f.state.games.FullGamesList[0].Manufacturer, QStringLiteral("Tecnológica"));
        QCOMPARE(f.state.games.FullGamesList[1].Title, QStringLiteral("Café"));
        QCOMPARE(f.state.games.FullGamesList[1].Manufacturer, QStringLiteral("Café €"));
    }

    void loadingTwiceGivesTheSameTable() {
        GamesFixture f;
        f.program.write("listfull.txt", kHeader + kFourGames);
        f.state.emulator.folders.RomFolders = {f.program.makeFolder("roms")};
        f.program.write("roms/pacman.zip", "PK");
        f.state.games.categoryMap = std::make_shared<CategoryMap>(buildCategoryMap("[Maze]\npuckman\n"));
        const auto table = [&f] {
            QStringList rows;
            for (const TGameInfo& game : f.state.games.FullGamesList) {
                rows.append(describe(game) +
                            QStringLiteral("|%1|%2|").arg(game.IconIndex).arg(game.NonArcade) +
                            game.Category);
            }
            return rows;
        };
        QVERIFY(LoadGamesList(f.context));
        const QStringList first = table();
        QCOMPARE(first.size(), 4);
        QVERIFY(LoadGamesList(f.context));
        QCOMPARE(table(), first);
        QCOMPARE(first[0], QStringLiteral("puckman|0000|Puck Man|||||-1|0 0 0 0 0|4|0|Maze"));
        QCOMPARE(first[1], QStringLiteral("pacman|0100|Pac-Man||||puckman|-1|-1 -1 -1 -1 -1|1|0|Maze"));
        QCOMPARE(f.wait.shows, 2);
        QCOMPARE(f.wait.closes, 2);
    }
};

KESTRUM_REGISTER_TEST(GamesListLoaderTest)
#include "tst_loader.moc"
