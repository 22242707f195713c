#pragma once

#include "GamesPageState.h"

#include <array>

// The twelve columns of both game lists, by index (a column's identity; where it shows can differ).
struct GameListColumn {
    const char* caption;  // empty for the status columns, which show a picture instead
    const char* key;      // in the column layout files
    const char* editorName;
    int searchResultsWidth;
    int workListWidth;
    int defaultWidth(GameListId list) const {
        return list == WorkListList ? workListWidth : searchResultsWidth;
    }
};

constexpr int kFirstStatusColumn = 7;

constexpr std::array<GameListColumn, kGameListColumnCount> GameListColumns = {{
    {"Game Title", "Title", "Title", 192, 292},
    {"Year", "Year", "Year", 50, 60},
    {"Manufacturer", "Manufacturer", "Manufacturer", 100, 130},
    {"Name", "Name", "Game Name", 75, 90},
    {"Clone of", "Clone", "Clone of", 75, 90},
    {"Category", "Category", "Category", 100, 180},
    {"Driver Name", "DriverName", "Driver Name", 90, 105},
    {"", "DriverStatus", "Driver Status", 21, 21},
    {"", "EmulationStatus", "Emulation Status", 21, 21},
    {"", "ColorStatus", "Color Status", 21, 21},
    {"", "SoundStatus", "Sound Status", 21, 21},
    {"", "GraphicStatus", "Graphic Status", 21, 21},
}};

inline bool isStatusColumn(int column) {
    return column >= kFirstStatusColumn && column < kGameListColumnCount;
}
