#include "GamesDbFixture.h"
#include "TestMain.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListFile.h"
#include "search/GamesPageState.h"

#include <QTest>

namespace {

QByteArrayList entriesOf(const CategoryMap& map) {
    QByteArrayList entries;
    for (const auto& [name, category] : map.entries()) {
        entries.append(name + '=' + category);
    }
    return entries;
}

CategoryMap mapOf(const QByteArrayList& entries) {
    CategoryMap map;
    for (const QByteArray& entry : entries) {
        const qsizetype equals = entry.indexOf('=');
        map.append(entry.first(equals), entry.sliced(equals + 1));
    }
    return map;
}

}  // namespace

class CategoriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buildsTheMap_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArrayList>("entries");
        QTest::addColumn<QByteArrayList>("lookups");  // name ":" expected category
        QTest::newRow("catver layout")
            << QByteArray(
                   "[FOLDER_SETTINGS]\r\nRootFolderIcon mame\r\n[Category]\r\npacman=Maze\r\n"
                   "1941 \t= Shooter / Flying \r\n[VerAdded]\r\npacman=0.1\r\nonlyver=0.2\r\n")
            << QByteArrayList{"pacman=Maze", "1941=Shooter / Flying"}
            << QByteArrayList{"PacMan:Maze", "1941:Shooter / Flying", "onlyver:", "rootfoldericon mame:"};
        QTest::newRow("catver layout, last line of a name wins")
            << QByteArray("[category]\nsf2=Fighter\nSF2=Shooter\n[veradded]\nsf2=0.1\n")
            << QByteArrayList{"sf2=Fighter", "SF2=Shooter"} << QByteArrayList{"sf2:Shooter"};
        QTest::newRow("comments, blanks, lines before the first section, BOM, CR breaks")
            << QByteArray(
                   "\xEF\xBB\xBF"
                   "early=Nope\r;[Category]\r  [ Category ]  \r\r  ; a=b\r"
                   "\ta = b c \r[VerAdded]\rx=1\r")
            << QByteArrayList{"a=b c"} << QByteArrayList{"early:", "A:b c"};
        QTest::newRow("repeated section reads its last occurrence")
            << QByteArray("[Category]\na=1\n[VerAdded]\na=0.1\n[CATEGORY]\nb=2\n") << QByteArrayList{"b=2"}
            << QByteArrayList{"a:", "b:2"};
        QTest::newRow("Category without VerAdded is the category.ini layout")
            << QByteArray("[Category]\npacman=Maze\n") << QByteArrayList{"pacman=Maze=Category"}
            << QByteArrayList{"pacman:Maze=Category"};
        QTest::newRow("empty VerAdded is the category.ini layout")
            << QByteArray("[Category]\npacman=Maze\n[VerAdded]\n") << QByteArrayList{"pacman=Maze=Category"}
            << QByteArrayList{};
        QTest::newRow("category.ini layout sorted, two sections")
            << QByteArray(
                   "[FOLDER_SETTINGS]\nRootFolderIcon mame\n[ROOT_FOLDER]\n[Zed]\nsf2\n1941\n"
                   "[apple]\nsf2\npuckman\n")
            << QByteArrayList{"1941=Zed", "puckman=apple", "sf2=apple", "sf2=Zed"}
            << QByteArrayList{"sf2:Zed", "SF2:Zed", "1941:Zed", "rootfoldericon mame:"};
        QTest::newRow("category.ini sort is stable for names equal but for case")
            << QByteArray("[Maze]\npac\nPAC\n[Ball]\nPac\n")
            << QByteArrayList{"Pac=Ball", "pac=Maze", "PAC=Maze"} << QByteArrayList{"pac:Maze"};
        QTest::newRow("FOLDER_SETTINGS and ROOT_FOLDER dropped only once")
            << QByteArray("[Folder_Settings]\nx\n[Shooter]\na\n[root_folder]\ny\n[FOLDER_SETTINGS]\nb\n")
            << QByteArrayList{"a=Shooter", "b=FOLDER_SETTINGS"}
            << QByteArrayList{"x:", "y:", "b:FOLDER_SETTINGS"};
        QTest::newRow("category.ini layout reads a repeated section once, as last written")
            << QByteArray("[Maze]\na\n[Ball]\nb\n[MAZE]\nc\n") << QByteArrayList{"b=Ball", "c=MAZE"}
            << QByteArrayList{"a:", "b:Ball", "c:MAZE"};
        QTest::newRow("case folds A to Z only")
            << QByteArray("[Category]\ncaf\xC3\xA9=Bar\n[VerAdded]\nx=1\n")
            << QByteArrayList{"caf\xC3\xA9=Bar"} << QByteArrayList{"CAF\xC3\xA9:Bar", "CAF\xC3\x89:"};
        QTest::newRow("no sections") << QByteArray("pacman=Maze\r\n") << QByteArrayList{}
                                     << QByteArrayList{"pacman:"};
    }
    void buildsTheMap() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArrayList, entries);
        QFETCH(QByteArrayList, lookups);
        const CategoryMap map = buildCategoryMap(file);
        QCOMPARE(entriesOf(map), entries);
        for (const QByteArray& lookup : lookups) {
            const qsizetype colon = lookup.indexOf(':');
            QCOMPARE(map.lookup(lookup.first(colon)), lookup.sliced(colon + 1));
        }
    }

    // A small file naming one section at each of thousands of places (a fuzzer's find): its
    // entries are read once, not once per place (here a million entries; a 16 KB file made eight
    // million, for seconds and more than a gigabyte).
    void sectionNamedAtManyPlacesIsReadOnce() {
        QByteArray file = QByteArray("[Maze]\n").repeated(1000);
        for (int game = 0; game < 1000; ++game) {
            file += "game" + QByteArray::number(game) + '\n';
        }
        const CategoryMap map = buildCategoryMap(file);
        QCOMPARE(map.size(), 1000);
        QCOMPARE(map.lookup("GAME999"), QByteArray("Maze"));
    }

    // The map keeps what it read: the caller may reuse its buffer, and copies outlive the original.
    void mapOwnsItsTexts() {
        QByteArray bytes = "[Category]\npacman=Maze\nPuck=Shooter\n[VerAdded]\npacman=0.1\n";
        CategoryMap map = buildCategoryMap(bytes);
        bytes.fill('x');
        const CategoryMap copy = map;
        map = CategoryMap();
        QCOMPARE(entriesOf(copy), (QByteArrayList{"pacman=Maze", "Puck=Shooter"}));
        QCOMPARE(copy.lookup("PUCK"), QByteArray("Shooter"));
        QCOMPARE(copy.lookup("caf\xC3\xA9"), QByteArray());
    }

    void captionsAreMergedAndSortedWithoutCase() {
        const CategoryMap map = mapOf({"a=Maze", "b=shooter", "c=MAZE", "d=Shooter", "e=Apple", "f=_misc",
                                       "g=\xC3\x89t\xC3\xA9", "h=Caf\xE9", "i=ball"});
        QCOMPARE(categoryCaptions(map),
                 (QStringList{QStringLiteral("_misc"), QStringLiteral("Apple"), QStringLiteral("ball"),
                              QStringLiteral("Café"), QStringLiteral("Maze"), QStringLiteral("shooter"),
                              QStringLiteral("Été")}));
        QVERIFY(categoryCaptions(CategoryMap()).isEmpty());
    }

    void unusableFileChangesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("no name") << QString();
        QTest::newRow("missing") << QStringLiteral("missing.ini");
        QTest::newRow("empty") << QStringLiteral("empty.ini");
        QTest::newRow("folder") << QStringLiteral("folder.ini");
    }
    void unusableFileChangesNothing() {
        QFETCH(QString, file);
        GamesFixture f;
        f.program.write("empty.ini", "");
        f.program.makeFolder("folder.ini");
        f.state.setup.categoryFile = file.isEmpty() ? QString() : f.program.file(file);
        f.state.games.CategoriesList = QStringList{QStringLiteral("Old")};
        QVERIFY(!LoadCategories(f.state.games, f.state.setup, f.events));
        QCOMPARE(f.state.games.CategoriesList, QStringList{QStringLiteral("Old")});
        QVERIFY(!f.state.games.categoryMap);
        QVERIFY(f.events.events.isEmpty());
    }

    void loadFillsListAndTotal() {
        GamesFixture f;
        f.state.setup.categoryFile =
            f.program.write("catver.ini", "[Category]\na=Maze\nb=Shooter\nc=maze\n[VerAdded]\na=1\n");
        f.state.setup.categoryFileStamp = ListStamp(f.state.setup.categoryFile);
        QVERIFY(LoadCategories(f.state.games, f.state.setup, f.events));
        QCOMPARE(f.events.events, (QStringList{"categories started", "categories ended"}));
        QCOMPARE(f.state.games.CategoriesList,
                 (QStringList{QStringLiteral("Maze"), QStringLiteral("Shooter")}));
        QCOMPARE(f.state.games.categoriesListStamp, f.state.setup.categoryFileStamp);
        QVERIFY(f.state.games.categoryMap);
        QCOMPARE(f.state.games.categoryMap->lookup("C"), QByteArray("maze"));
    }

    // The list is refilled only when the recorded stamp changed; the map is always read anew.
    void reloadKeepsOrRefillsTheList_data() {
        QTest::addColumn<QString>("secondStamp");
        QTest::addColumn<QByteArray>("secondFile");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selectedAfter");
        const QByteArray three = "[Category]\na=Alpha\nb=Beta\nc=Gamma\n[VerAdded]\na=1\n";
        const QByteArray two = "[Category]\na=One\nb=Two\n[VerAdded]\na=1\n";
        const QByteArray four = "[Category]\na=A1\nb=B1\nc=C1\nd=D1\n[VerAdded]\na=1\n";
        QTest::newRow("same stamp keeps rows and selection")
            << "S1" << two << 2 << QStringList{"Alpha", "Beta", "Gamma"} << 2;
        QTest::newRow("changed stamp selects the same position")
            << "S2" << four << 2 << QStringList{"A1", "B1", "C1", "D1"} << 2;
        QTest::newRow("changed stamp, shorter list selects the first row")
            << "S2" << two << 2 << QStringList{"One", "Two"} << 0;
        QTest::newRow("changed stamp without selection")
            << "S2" << two << -1 << QStringList{"One", "Two"} << -1;
        QTest::newRow("no stamp always refills") << "" << two << 1 << QStringList{"One", "Two"} << 1;
    }
    void reloadKeepsOrRefillsTheList() {
        QFETCH(QString, secondStamp);
        QFETCH(QByteArray, secondFile);
        QFETCH(int, selected);
        QFETCH(QStringList, rows);
        QFETCH(int, selectedAfter);
        GamesFixture f;
        f.state.setup.categoryFile =
            f.program.write("catver.ini", "[Category]\na=Alpha\nb=Beta\nc=Gamma\n[VerAdded]\na=1\n");
        f.state.setup.categoryFileStamp = secondStamp.isEmpty() ? QString() : QStringLiteral("S1");
        QVERIFY(LoadCategories(f.state.games, f.state.setup, f.events));
        QCOMPARE(f.state.games.CategoriesList.size(), 3);
        f.program.write("catver.ini", secondFile);
        f.state.setup.categoryFileStamp = secondStamp;
        QVERIFY(LoadCategories(f.state.games, f.state.setup, f.events));
        QCOMPARE(f.state.games.CategoriesList, rows);
        // The games page keeps its chosen row where the new list still has it.
        QCOMPARE(categoryRowAfterReload(selected, f.state.games.CategoriesList.size()), selectedAfter);
        QCOMPARE(f.state.games.categoryMap->lookup("b"),
                 QByteArray(secondFile.contains("b=Two") ? "Two" : "B1"));
    }

    void emptyListIsRefilledWithTheSameStamp() {
        GamesFixture f;
        f.state.setup.categoryFile = f.program.write("c.ini", "[Maze]\npacman\n");
        f.state.setup.categoryFileStamp = f.state.games.categoriesListStamp = QStringLiteral("S1");
        QVERIFY(LoadCategories(f.state.games, f.state.setup, f.events));
        QCOMPARE(f.state.games.CategoriesList, QStringList{QStringLiteral("Maze")});
    }

    void readsTheRealCategoryFile() {
        GamesFixture f;
        const QString copy = f.program.file("catver.ini");
        QVERIFY(QFile::copy(QStringLiteral(KESTRUM_SHARED_DATA "/catver.ini"), copy));
        f.state.setup.categoryFile = copy;
        f.state.setup.categoryFileStamp = ListStamp(copy);
        QVERIFY(LoadCategories(f.state.games, f.state.setup, f.events));
        const CategoryMap& map = *f.state.games.categoryMap;
        QCOMPARE(map.size(), 40594);
        QCOMPARE(map.lookup("pacman"), QByteArray("Maze / Collect"));
        QCOMPARE(map.lookup("SF2"), QByteArray("Fighter / Versus"));
        QCOMPARE(map.lookup("zzyzzyxx2"), QByteArray("Maze / Escape"));
        QCOMPARE(map.lookup("RootFolderIcon mame"), QByteArray());
        QCOMPARE(f.state.games.CategoriesList.size(), 364);
        QCOMPARE(f.state.games.CategoriesList.first(), QStringLiteral("Ball & Paddle / Breakout"));
        QCOMPARE(f.state.games.CategoriesList[1], QStringLiteral("Ball & Paddle / Breakout * Mature *"));
        QCOMPARE(f.state.games.CategoriesList.last(), QStringLiteral("Whac-A-Mole / Shooter"));
    }

    void nonArcadeLinesMatchWhole_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("listed");
        QTest::newRow("exact") << QByteArray("apple2") << true;
        QTest::newRow("other case") << QByteArray("APPLE2") << true;
        QTest::newRow("trailing blank in file") << QByteArray("c64") << false;
        QTest::newRow("with the blank") << QByteArray("C64 ") << true;
        QTest::newRow("leading blank in file") << QByteArray("nes") << false;
        QTest::newRow("section line") << QByteArray("[mess]") << true;
        QTest::newRow("first line after BOM") << QByteArray("coco") << true;
        QTest::newRow("not listed") << QByteArray("pacman") << false;
        QTest::newRow("part of a line") << QByteArray("apple") << false;
    }
    void nonArcadeLinesMatchWhole() {
        QFETCH(QByteArray, name);
        QFETCH(bool, listed);
        const NonArcadeList list = NonArcadeList::fromBytes(
            "\xEF\xBB\xBF"
            "coco\r\n[mess]\r\napple2\rc64 \n nes\r\n");
        QCOMPARE(list.contains(name), listed);
    }
};

KESTRUM_REGISTER_TEST(CategoriesTest)
#include "tst_categories.moc"
