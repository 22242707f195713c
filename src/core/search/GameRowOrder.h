#pragma once

#include "GamesPageState.h"
#include "gamesdb/GameInfo.h"

#include <vector>

// The order of the game lists: twelve columns, each with its sort key.
// -1, 0 or 1 for rows a and b by one column; descending exchanges a and b first, so rows that
// compare equal stay equal either way. Columns 0 to 6 compare their texts in natural order (empty
// first), 7 to 11 the five statuses as numbers (unknown first).
int CompareGameRows(const TGameInfo& a, const TGameInfo& b, int column, bool descending);

// The text a list shows in a column: columns 0 to 6 name a field (Year and Driver are 8-bit texts),
// the status columns 7 to 11 have none.
QString gameColumnText(const TGameInfo& game, int column);

// A stable sort of the rows by the list's sort column and direction: equal rows keep their order.
// Gives where each row came from: row i of the sorted list was row order[i] before.
std::vector<qsizetype> sortGameRows(GameList& rows, const SortState& sort);

// A header click on a column: a new column sorts ascending, the marked one changes direction.
void clickSortHeader(SortState& sort, int column);

// A header click on a list: the mark moves or turns, and the list is sorted by it. Gives where each
// row came from, as sortGameRows does.
std::vector<qsizetype> sortByHeader(GamesPageState& page, GameListId list, int column);
