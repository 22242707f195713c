#pragma once

#include "Filters.h"
#include "gamesdb/GameInfo.h"

#include <QSet>
#include <QString>
#include <array>

struct SortState {
    int column = 0;
    bool descending = false;
    bool operator==(const SortState&) const = default;
};

constexpr int kGameListColumnCount = 12;

// Row heights by size number 0 to 3: of the game lists by their icon size, of the categories list by
// its own size number.
constexpr std::array<int, 4> CellHeightTable = {52, 36, 28, 20};
constexpr int kSearchCriteriaCount = kFilterBoxCount;

enum GameListId : int { SearchResultsList = 0, WorkListList = 1 };

// The games page: the filters, the two game lists and how they are shown.
struct GamesPageState {
    FilterState filters;
    QString categoryText = QStringLiteral("mature");  // CategoryText

    int selectedCategoryRow = -1;
    GameList SearchResults;
    GameList WorkList;
    QSet<QString> WorkListNames;  // the Work List's names, A-Z lowered

    // LabelSearchResultCategoryFilter: names the last search; red while a search runs.
    QString searchFilterCaption = QStringLiteral("Category:");
    bool searchRunning = false;
    bool addToWorkListEnabled = false;         // ButtonAddToWorkList
    GameListId popupList = SearchResultsList;  // the list the popup menu was last opened on

    int gamesTab = 0;  // 0 Search Results, 1 Work List
    int layout = 1;
    SortState searchResultsSort;
    SortState workListSort;
    int gameIconSize = 3;  // 0 extra large, 1 large, 2 medium, 3 small
};

// The categories list was read again: a chosen row stays chosen where it still exists, else the
// first row is; with no row chosen before, or no rows now, none is.
inline int categoryRowAfterReload(int selected, qsizetype rows) {
    if (selected < 0 || rows <= 0) {
        return -1;
    }
    return selected < rows ? selected : 0;
}

inline GameList& gameList(GamesPageState& page, GameListId list) {
    return list == WorkListList ? page.WorkList : page.SearchResults;
}
inline SortState& listSort(GamesPageState& page, GameListId list) {
    return list == WorkListList ? page.workListSort : page.searchResultsSort;
}
