#pragma once

#include "GamesPageState.h"

#include <QString>
#include <array>

// The icons of the game lists and filter boxes, read from the icons folder beside the program.
// IL_Games, 16 pixels: the filter boxes, the appearance dialog and the Search Folders list.
constexpr std::array<const char*, 18> kGamesIconNames = {
    "file_zip",
    "file_chd",
    "all",
    "driver_good",
    "driver_imperfect",
    "driver_preliminary",
    "game_parent",
    "game_clone",
    "game_bios",
    "game_device",
    "interface_classic",
    "interface_mechanical",
    "orientation_horizontal",
    "orientation_vertical",
    "orientation_unknown",
    "machine_arcade",
    "machine_nonarcade",
    "machine_both",
};
// IL_GameIcons, by IconIndex: a game's kind, plus 4 when its ROM set is missing.
constexpr std::array<const char*, 8> kGameIconNames = {
    "game_parent",    "game_clone",    "game_bios",    "game_device",
    "un_game_parent", "un_game_clone", "un_game_bios", "un_game_device",
};
// The pictures of the five status column headers.
constexpr std::array<const char*, 5> kHeaderPictureNames = {
    "status_driver", "status_emulation", "status_color", "status_sound", "status_graphic",
};
// IL_GameIcons' size for each GameIconSize (extra large, large, medium, small): the row height less 4.
constexpr std::array<int, 4> kGameIconPixels = {CellHeightTable[0] - 4, CellHeightTable[1] - 4,
                                                CellHeightTable[2] - 4, CellHeightTable[3] - 4};

QString iconPath(const QString& resourceFolder, const char* name);

// Which image of an icon file goes into a list of the given size: the first in stored order of that
// size at 32 bits per pixel; -1 when the file is missing or has none.
int pickListIcon(const QString& resourceFolder, const char* name, int width, int height);
// The message for an icon that could not be loaded.
QString iconLoadFailureText(const char* name, int width, int height);

// The image lists the window holds; the wizard hands their loading over at window creation.
class IconLists {
public:
    virtual ~IconLists() = default;
    // Both lists emptied and loaded again in their orders; a missing icon is named in a message and
    // leaves an empty image in its place, so every other icon keeps its index.
    virtual void LoadListIcons() = 0;
};
