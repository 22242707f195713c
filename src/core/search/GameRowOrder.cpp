#include "GameRowOrder.h"

#include "common/Text.h"

#include <algorithm>
#include <vector>

QString gameColumnText(const TGameInfo& game, int column) {
    switch (column) {
        case 0:
            return game.Title;
        case 1:
            return QString::fromLatin1(game.Year);
        case 2:
            return game.Manufacturer;
        case 3:
            return game.Name;
        case 4:
            return game.CloneOf;
        case 5:
            return game.Category;
        case 6:
            return QString::fromLatin1(game.Driver);
        default:
            return {};
    }
}

int CompareGameRows(const TGameInfo& a, const TGameInfo& b, int column, bool descending) {
    const TGameInfo& first = descending ? b : a;
    const TGameInfo& second = descending ? a : b;
    if (column >= 0 && column <= 6) {
        return NaturalCompare(gameColumnText(first, column), gameColumnText(second, column));
    }
    if (column >= 7 && column < kGameListColumnCount) {
        const qint8 x = statusAt(first, column - 7);  // unknown (-1) first
        const qint8 y = statusAt(second, column - 7);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return 0;
}

std::vector<qsizetype> sortGameRows(GameList& rows, const SortState& sort) {
    std::vector<qsizetype> order(size_t(rows.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = qsizetype(i);
    }
    if (sort.column < 0 || sort.column >= kGameListColumnCount || rows.size() < 2) {
        return order;
    }
    if (sort.column >= 7) {
        std::stable_sort(order.begin(), order.end(), [&rows, &sort](qsizetype a, qsizetype b) {
            return CompareGameRows(rows[a], rows[b], sort.column, sort.descending) < 0;
        });
    } else {
        // Each text's natural key once, then the rows' order by their keys: the same order as
        // CompareGameRows, without comparing the texts themselves a million times.
        std::vector<std::u32string> keys;
        keys.reserve(size_t(rows.size()));
        for (const TGameInfo& game : std::as_const(rows)) {
            keys.push_back(naturalSortKey(gameColumnText(game, sort.column)));
        }
        std::stable_sort(order.begin(), order.end(), [&keys, &sort](qsizetype a, qsizetype b) {
            return sort.descending ? keys[size_t(b)] < keys[size_t(a)] : keys[size_t(a)] < keys[size_t(b)];
        });
    }
    GameList sorted;
    sorted.reserve(rows.size());
    for (const qsizetype at : order) {
        sorted.append(std::move(rows[at]));
    }
    rows = std::move(sorted);
    return order;
}

void clickSortHeader(SortState& sort, int column) {
    if (column < 0 || column >= kGameListColumnCount) {
        return;
    }
    sort.descending = column == sort.column ? !sort.descending : false;
    sort.column = column;
}

std::vector<qsizetype> sortByHeader(GamesPageState& page, GameListId list, int column) {
    SortState& sort = listSort(page, list);
    clickSortHeader(sort, column);
    return sortGameRows(gameList(page, list), sort);
}
