#pragma once

#include "GamesPageState.h"

#include <array>

// The twelve columns of both game lists, by index (a column's identity; where it shows can differ).
struct GameListColumn {
    const char* caption;  // empty for the status columns, which show a picture instead
    int searchResultsWidth;
    int workListWidth;
    int defaultWidth(GameListId list) const {
        return list == WorkListList ? workListWidth : searchResultsWidth;
    }
};

constexpr int kFirstStatusColumn = 7;

constexpr std::array<GameListColumn, kGameListColumnCount> GameListColumns = {{
    {"Game Title", 192, 292},
    {"Year", 50, 60},
    {"Manufacturer", 100, 130},
    {"Name", 75, 90},
    {"Clone of", 75, 90},
    {"Category", 100, 180},
    {"Driver Name", 90, 105},
    {"", 21, 21},
    {"", 21, 21},
    {"", 21, 21},
    {"", 21, 21},
    {"", 21, 21},
}};

inline bool isStatusColumn(int column) {
    return column >= kFirstStatusColumn && column < kGameListColumnCount;
}
