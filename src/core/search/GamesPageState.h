#pragma once

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
constexpr int kSearchCriteriaCount = 7;
// Entries of the seven filter boxes: media, driver status, set type, machine, interface,
// orientation, availability.
constexpr std::array<int, kSearchCriteriaCount> kSearchCriteriaEntryCounts = {3, 4, 5, 3, 3, 4, 3};

// The games page: the filters, the two game lists and how they are shown.
struct GamesPageState {
    std::array<int, kSearchCriteriaCount> searchCriteria{};
    int StatusCategory = 0;

    int selectedCategoryRow = -1;
    GameList SearchResults;
    GameList WorkList;
    QSet<QString> WorkListNames;  // the Work List's names, lower case

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
