#include "SearchFixture.h"
#include "TestMain.h"

#include <QTest>

namespace {

// Titles, years, categories and drivers a few tests search in.
void fillTable(SearchFixture& f) {
    TGameInfo galaga = game("galaga88", "Galaga '88", "Shooter / Flying");
    galaga.Year = "1987";
    galaga.Driver = "namcos1.cpp";
    TGameInfo shooter = game("defender", "Defender", "Shooter");
    shooter.Year = "1980";
    TGameInfo unknownYear = game("qix", "Qix", "Maze");
    unknownYear.Year = "198?";
    TGameInfo ending = game("galaga", "Galaga", "");
    ending.Year = "1984";
    TGameInfo accented = game("pacmanf", QString::fromUtf8("Pac-Man \xC3\x89"), "Maze");
    f.state.games.FullGamesList = {galaga, shooter, unknownYear, ending, accented};
}

}  // namespace

class SearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A category picked in the list asks for equality; typed with ">" it asks for containment.
    void exactAndPartialCategories() {
        SearchFixture f;
        fillTable(f);
        QCOMPARE(f.search("shooter", true), QStringList{"defender"});
        QCOMPARE(f.search("SHOOTER", false), (QStringList{"defender", "galaga88"}));  // by title
        QCOMPARE(f.search("", true), (QStringList{"defender", "galaga88"}));  // blank: nothing changes
        QCOMPARE(f.search(" \t", false), (QStringList{"defender", "galaga88"}));
    }

    void matchAllTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("found");
        QTest::newRow("star") << "*" << 5;
        QTest::newRow("ALL") << "ALL" << 5;
        QTest::newRow("All") << "All" << 5;
        QTest::newRow("leading blank") << " all" << 0;
        QTest::newRow("trailing blank") << "all " << 0;
    }
    void matchAllTexts() {
        QFETCH(QString, text);
        QFETCH(int, found);
        SearchFixture f;
        fillTable(f);
        QCOMPARE(f.search(text).size(), found);
        QCOMPARE(f.state.gamesPage.addToWorkListEnabled, found > 0);
        QCOMPARE(f.state.gamesPage.searchFilterCaption, text);
    }

    // Only A-Z are folded; every other character must match exactly.
    void textRules() {
        SearchFixture f;
        fillTable(f);
        QCOMPARE(f.search("GALAGA", false, SearchTitle), (QStringList{"galaga", "galaga88"}));
        QCOMPARE(f.search("galaga ", false, SearchTitle), QStringList{"galaga88"});
        QCOMPARE(f.search("198", false, SearchYear), (QStringList{"defender", "galaga", "galaga88", "qix"}));
        QCOMPARE(f.state.gamesPage.searchFilterCaption, QStringLiteral("Year: 198"));
        QCOMPARE(f.search(QString::fromUtf8("\xC3\xA9"), false, SearchTitle),
                 QStringList());  // not A-Z: exact
        QCOMPARE(f.search(QString::fromUtf8("\xC3\x89"), false, SearchTitle), QStringList{"pacmanf"});
        QCOMPARE(f.search("NAMCOS1", false, SearchDriver), QStringList{"galaga88"});
        QCOMPARE(f.state.gamesPage.searchFilterCaption, QStringLiteral("Driver: NAMCOS1"));
        QCOMPARE(f.search("nothing", false, SearchManufacturer), QStringList());
        QVERIFY(!f.state.gamesPage.addToWorkListEnabled);
        QCOMPARE(f.state.gamesPage.searchFilterCaption, QStringLiteral("Manufacturer: nothing"));
        QCOMPARE(f.view.captionWhenShown, QStringLiteral("   adding games..."));  // seen during the walk
    }

    void enterKeys_data() {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("kind");
        QTest::newRow("Enter") << int(Qt::NoModifier) << int(SearchCategory);
        QTest::newRow("Shift+Enter") << int(Qt::ShiftModifier) << int(SearchTitle);
        QTest::newRow("Shift+keypad Enter")
            << int(Qt::ShiftModifier | Qt::KeypadModifier) << int(SearchTitle);
        QTest::newRow("keypad Enter") << int(Qt::KeypadModifier) << int(SearchCategory);
        QTest::newRow("Ctrl+Enter") << int(Qt::ControlModifier) << int(SearchCategory);
        QTest::newRow("Shift+Ctrl+Enter")
            << int(Qt::ShiftModifier | Qt::ControlModifier) << int(SearchCategory);
    }
    void enterKeys() {
        QFETCH(int, modifiers);
        QFETCH(int, kind);
        QCOMPARE(int(searchKindForEnter(Qt::KeyboardModifiers(modifiers))), kind);
    }

    // A category pick searches only when a row becomes selected; a text search clears the pick.
    void triggers() {
        SearchFixture f;
        fillTable(f);
        f.state.games.CategoriesList = {"Maze", "Shooter"};
        GamesPageContext c = f.context();
        pickCategory(c, 1);
        QCOMPARE(namesOf(f.state.gamesPage.SearchResults), QStringList{"defender"});
        f.state.gamesPage.SearchResults.clear();
        pickCategory(c, 1);  // already selected
        QVERIFY(f.state.gamesPage.SearchResults.isEmpty());
        f.state.gamesPage.categoryText = "maze";
        searchWithButton(c, SearchCategory);
        QCOMPARE(f.state.gamesPage.selectedCategoryRow, -1);
        QCOMPARE(namesOf(f.state.gamesPage.SearchResults), (QStringList{"pacmanf", "qix"}));
        pickCategory(c, 1);  // the same category can be picked again
        QCOMPARE(namesOf(f.state.gamesPage.SearchResults), QStringList{"defender"});
    }

    // A game in the Work List is never found; removed from it, the next search finds it again.
    void workListExclusion() {
        SearchFixture f;
        fillTable(f);
        GamesPageContext c = f.context();
        f.search("galaga", false, SearchTitle);
        f.state.gamesPage.layout = 1;
        AddSearchResultsToWorkList(c);
        QCOMPARE(namesOf(f.state.gamesPage.WorkList), (QStringList{"galaga", "galaga88"}));
        QVERIFY(f.state.gamesPage.SearchResults.isEmpty());
        QCOMPARE(f.state.gamesPage.searchFilterCaption, QStringLiteral("Category:"));
        QCOMPARE(f.state.gamesPage.gamesTab, 1);
        QCOMPARE(f.view.focusRequests, 1);
        QCOMPARE(f.search("*"), (QStringList{"defender", "pacmanf", "qix"}));
        RemoveSelectedRows(c, WorkListList, {0}, RemoveTrigger::Menu);
        QCOMPARE(f.search("*"), (QStringList{"defender", "galaga", "pacmanf", "qix"}));
    }

    // The Del key leaves the Add button as it was; the menu sets it by the rows that remain.
    void deleteKeyAndMenuDiffer() {
        SearchFixture f;
        fillTable(f);
        GamesPageContext c = f.context();
        f.search("*");
        RemoveSelectedRows(c, SearchResultsList, {0, 1, 2, 3, 4}, RemoveTrigger::DeleteKey);
        QCOMPARE(f.state.gamesPage.searchFilterCaption, QStringLiteral("Category:"));
        QVERIFY(f.state.gamesPage.addToWorkListEnabled);
        AddSearchResultsToWorkList(c);
        QCOMPARE(f.port.texts(),
                 QStringList{"There are no games in the search list. Select a category first."});
        f.search("*");
        RemoveSelectedRows(c, SearchResultsList, {4, 0, 1, 2, 3}, RemoveTrigger::Menu);
        QVERIFY(!f.state.gamesPage.addToWorkListEnabled);
        f.search("*");
        RemoveSelectedRows(c, SearchResultsList, {4}, RemoveTrigger::Menu);
        QVERIFY(f.state.gamesPage.addToWorkListEnabled);
        QCOMPARE(f.state.gamesPage.SearchResults.size(), 4);
    }
};

KESTRUM_REGISTER_TEST(SearchTest)
KESTRUM_TEST_MAIN
#include "tst_search.moc"
