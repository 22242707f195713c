#pragma once

#include "GamesDatabase.h"

// Reads listfull.txt into the table of all games, completing each record with the quick ROM
// scan, its category and the non-arcade mark. True when at least one game was loaded.
bool LoadGamesList(GamesContext& context);
