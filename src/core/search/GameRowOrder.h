#pragma once

#include "GamesPageState.h"
#include "gamesdb/GameInfo.h"

// The order of the game lists: twelve columns, each with its sort key.
// -1, 0 or 1 for rows a and b by one column; descending exchanges a and b first, so rows that
// compare equal stay equal either way. Columns 0 to 6 compare their texts in natural order (empty
// first), 7 to 11 the five statuses as numbers (unknown first).
int CompareGameRows(const TGameInfo& a, const TGameInfo& b, int column, bool descending);

// A stable sort of the rows by the list's sort column and direction: equal rows keep their order.
void sortGameRows(GameList& rows, const SortState& sort);

// A header click on a column: a new column sorts ascending, the marked one changes direction.
void clickSortHeader(SortState& sort, int column);
