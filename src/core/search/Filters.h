#pragma once

#include "gamesdb/GameInfo.h"

#include <QString>
#include <array>

// The seven filter boxes of the games page, left to right; the order of the settings keys too.
enum FilterBox : int {
    MediaBox = 0,
    DriverStatusBox,
    SetTypeBox,
    MachineTypeBox,
    InterfaceBox,
    OrientationBox,
    GameStatusBox
};
constexpr int kFilterBoxCount = 7;
constexpr int kStatusCategoryCount = 5;

// The boxes' chosen entries and which status the driver status box tests.
struct FilterState {
    std::array<int, kFilterBoxCount> searchCriteria{};  // -1 (none chosen) admits every game, as 0 does
    int StatusCategory = 0;                             // 0 driver, 1 emulation, 2 color, 3 sound, 4 graphic
};

// Whether a game passes every box.
bool PassesFilters(const TGameInfo& game, const FilterState& state);

struct FilterEntry {
    const char* caption;
    const char* icon;  // a file of the icon folder, without ".ico"
};
struct FilterBoxInfo {
    const char* objectName;
    const char* label;  // above the box
    const char* hint;   // "" for none
    int entryCount;
    std::array<FilterEntry, 5> entries;
};
extern const std::array<FilterBoxInfo, kFilterBoxCount> FilterBoxTable;

// The hint of the driver status box and the caption of LabelDriverStatusCategory for a category.
QString driverStatusHint(int statusCategory);
QString driverStatusCaption(int statusCategory);

// ">": the next status category (after graphic comes driver again). The chosen entry stays and no
// search runs.
void CycleStatusCategory(FilterState& state);
// Every box back to entry 0, at window creation.
void ResetFilters(FilterState& state);
