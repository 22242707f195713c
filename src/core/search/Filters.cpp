#include "Filters.h"

const std::array<FilterBoxInfo, kFilterBoxCount> FilterBoxTable = {{
    {"SearchCriteriaMediaType",
     "1. Search Filters",
     "",
     3,
     {{{"All Sets", "all"}, {"Sets With ROMs", "file_zip"}, {"Sets With CHDs", "file_chd"}}}},
    {"SearchCriteriaDriverStatus",
     "Driver",
     "Driver Status",
     4,
     {{{"List All", "all"},
       {"Good", "driver_good"},
       {"Imperfect", "driver_imperfect"},
       {"Preliminary", "driver_preliminary"}}}},
    {"SearchCriteriaParentsClones",
     "Set Type",
     "Set Type",
     5,
     {{{"List All", "all"},
       {"Parent", "game_parent"},
       {"Clone", "game_clone"},
       {"Bios", "game_bios"},
       {"Device", "game_device"}}}},
    {"SearchCriteriaMachineType",
     "Machine Type",
     "Machine Type",
     3,
     {{{"List Both", "all"}, {"Arcade", "machine_arcade"}, {"Non-Arcade", "machine_nonarcade"}}}},
    {"SearchCriteriaInterfaceType",
     "Interface Type",
     "Interface Type",
     3,
     {{{"List Both", "all"}, {"Classic", "interface_classic"}, {"Mechanical", "interface_mechanical"}}}},
    {"SearchCriteriaScreenOrientation",
     "Orientation",
     "Screen Orientation",
     4,
     {{{"List All", "all"},
       {"Horizontal", "orientation_horizontal"},
       {"Vertical", "orientation_vertical"},
       {"Unknown", "orientation_unknown"}}}},
    {"SearchCriteriaGameStatus",
     "Game Status",
     "Game Status",
     3,
     {{{"List Both", "all"}, {"Available", "driver_good"}, {"Missing", "driver_preliminary"}}}},
}};

namespace {

constexpr const char* kStatusNames[kStatusCategoryCount] = {"Driver", "Emulation", "Color", "Sound",
                                                            "Graphic"};

// Whether the box at `entry` admits the game; entry 0 or none chosen admits every game.
bool admits(FilterBox box, int entry, const TGameInfo& game, int statusCategory) {
    if (entry <= 0) {
        return true;
    }
    switch (box) {
        case GameStatusBox:
            return entry == 1 ? game.IconIndex >= 0 && game.IconIndex <= 3
                              : game.IconIndex >= 4 && game.IconIndex <= 7;
        case MediaBox:
            return game.HasCHD == (entry == 2 ? 1 : 0);
        case MachineTypeBox:
            return game.NonArcade == (entry == 2 ? 1 : 0);
        case DriverStatusBox:
            return statusAt(game, statusCategory) == entry - 1;  // the unknown -1 never matches
        case SetTypeBox:
            switch (entry) {
                case 1:
                    return game.CloneOf.isEmpty();
                case 2:
                    return !game.CloneOf.isEmpty();
                case 3:
                    return game.Kind == KindBios;
                default:
                    return game.Kind == KindDevice;
            }
        case InterfaceBox:
            return game.Mechanical == (entry == 2 ? 1 : 0);
        case OrientationBox:
            return game.ScreenOrientation == (entry == 3 ? -1 : entry - 1);
    }
    return true;
}

}  // namespace

bool PassesFilters(const TGameInfo& game, const FilterState& state) {
    // Tested in the order of the system's own: the first box that refuses ends it.
    static constexpr FilterBox kOrder[] = {GameStatusBox, MediaBox,     MachineTypeBox, DriverStatusBox,
                                           SetTypeBox,    InterfaceBox, OrientationBox};
    for (const FilterBox box : kOrder) {
        if (!admits(box, state.searchCriteria[box], game, state.StatusCategory)) {
            return false;
        }
    }
    return true;
}

QString driverStatusHint(int statusCategory) {
    return driverStatusCaption(statusCategory) + QStringLiteral(" Status");
}

QString driverStatusCaption(int statusCategory) {
    const int category = statusCategory >= 0 && statusCategory < kStatusCategoryCount ? statusCategory : 0;
    return QString::fromLatin1(kStatusNames[category]);
}

void CycleStatusCategory(FilterState& state) {
    state.StatusCategory = state.StatusCategory + 1 >= kStatusCategoryCount ? 0 : state.StatusCategory + 1;
}

void ResetFilters(FilterState& state) {
    state.searchCriteria.fill(0);
}
