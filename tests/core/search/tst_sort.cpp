#include "SearchFixture.h"
#include "TestMain.h"
#include "search/GameRowOrder.h"

#include <QTest>

namespace {

TGameInfo withYear(const QString& name, const QByteArray& year) {
    TGameInfo g = game(name);
    g.Year = year;
    return g;
}

// The rows' names after the sort; the order the sort gives back must say where each row came from.
QStringList sorted(GameList rows, int column, bool descending) {
    const GameList before = rows;
    const std::vector<qsizetype> order = sortGameRows(rows, {column, descending});
    if (qsizetype(order.size()) != rows.size()) {
        return {QStringLiteral("order of %1 rows for %2").arg(order.size()).arg(rows.size())};
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (before[order[size_t(i)]].Name != rows[i].Name) {
            return {QStringLiteral("row %1 did not come from %2").arg(i).arg(order[size_t(i)])};
        }
    }
    return namesOf(rows);
}

}  // namespace

class SortTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Empty years first ascending and last descending; the digit run 198 of "198?" is below 1980.
    void emptyTextsFirstThenLast() {
        const GameList rows = {withYear("a", "1982"), withYear("b", ""), withYear("c", "198?"),
                               withYear("d", "1980")};
        QCOMPARE(sorted(rows, 1, false), (QStringList{"b", "c", "d", "a"}));
        QCOMPARE(sorted(rows, 1, true), (QStringList{"a", "d", "c", "b"}));
    }

    void naturalOrder() {
        const GameList rows = {game("p10", "Pacman 10"), game("p2", "pacman 2"), game("p1", "Pacman 1")};
        QCOMPARE(sorted(rows, 0, false), (QStringList{"p1", "p2", "p10"}));
        QCOMPARE(sorted(rows, 3, false), (QStringList{"p1", "p2", "p10"}));  // by name
    }

    // Equal titles keep their previous order in both directions.
    void stableBothWays() {
        const GameList rows = {game("x1", "Same"), game("a", "Alpha"), game("x2", "Same"),
                               game("x3", "Same")};
        QCOMPARE(sorted(rows, 0, false), (QStringList{"a", "x1", "x2", "x3"}));
        QCOMPARE(sorted(rows, 0, true), (QStringList{"x1", "x2", "x3", "a"}));
    }

    // Status columns: unknown, good, imperfect, preliminary; equal rows keep their order.
    void statusColumns() {
        GameList rows;
        for (const auto& [name, status] : {std::pair{"p", 2}, std::pair{"g1", 0}, std::pair{"u", -1},
                                           std::pair{"i", 1}, std::pair{"g2", 0}}) {
            TGameInfo g = game(name);
            g.DriverStatus = qint8(status);
            g.SoundStatus = qint8(-status);
            rows.append(g);
        }
        QCOMPARE(sorted(rows, 7, false), (QStringList{"u", "g1", "g2", "i", "p"}));
        QCOMPARE(sorted(rows, 10, false), (QStringList{"p", "i", "g1", "g2", "u"}));
        QCOMPARE(CompareGameRows(rows[0], rows[1], 12, false), 0);  // no such column
    }

    // A new column sorts ascending; the marked one changes direction at each click.
    void headerClicks() {
        SortState sort;
        clickSortHeader(sort, 0);
        QCOMPARE(sort, (SortState{0, true}));
        clickSortHeader(sort, 0);
        QCOMPARE(sort, (SortState{0, false}));
        clickSortHeader(sort, 0);
        clickSortHeader(sort, 5);
        QCOMPARE(sort, (SortState{5, false}));
        clickSortHeader(sort, 12);
        QCOMPARE(sort, (SortState{5, false}));
    }

    // The search sorts its results by the list's own column and direction.
    void searchSortsByTheListsColumn() {
        SearchFixture f;
        f.state.games.FullGamesList = {withYear("a", "1990"), withYear("b", "1980"), withYear("c", "")};
        f.state.gamesPage.searchResultsSort = {1, true};
        QCOMPARE(f.search("*"), (QStringList{"a", "b", "c"}));
        f.state.gamesPage.searchResultsSort = {1, false};
        QCOMPARE(f.search("*"), (QStringList{"c", "b", "a"}));
    }
};

KESTRUM_REGISTER_TEST(SortTest)
#include "tst_sort.moc"
