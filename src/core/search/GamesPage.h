#pragma once

#include "GamesPageState.h"

#include <QList>
#include <QString>

#include <Qt>
#include <vector>

struct GamesData;
struct SetupChoices;
class DialogPort;

// What the games page asks of its window.
class GamesPageView {
public:
    virtual ~GamesPageView() = default;
    // Draws the page from its state at once (the search's "adding games..." is seen before the walk).
    virtual void showNow() = 0;
    virtual void focusWorkList() = 0;
};

// What the games page's operations work on: its own state, the table of all games (read only), the
// program folder (for the work list files), the dialogs and the window.
struct GamesPageContext {
    GamesPageState& page;
    const GamesData& games;
    const SetupChoices& setup;
    DialogPort& port;
    GamesPageView& view;
};

enum SearchKind : int { SearchCategory = 0, SearchTitle, SearchYear, SearchManufacturer, SearchDriver };

// --- The search ---
// Fills the Search Results with the games that pass the filters and the text, none of the Work List.
void RunSearch(GamesPageContext& context, const QString& text, bool exact, SearchKind kind);
// A row of the categories list became selected.
void pickCategory(GamesPageContext& context, int row);
// One of the five search buttons, or Enter in the category text with these modifiers.
void searchWithButton(GamesPageContext& context, SearchKind kind);
void searchWithEnter(GamesPageContext& context, Qt::KeyboardModifiers modifiers);
// Enter searches titles when Shift is the only modifier held (the keypad's flag does not count).
SearchKind searchKindForEnter(Qt::KeyboardModifiers modifiers);
void showSearchHelp(DialogPort& port);
// "%u games in list" for a count of rows.
QString gamesInListText(qsizetype rows);
// The caption of LabelWorkListTotalEntries: "(" + the count + ")".
QString workListEntriesText(qsizetype rows);

// --- The Work List ---
// Gives where each Work List row came from, as sortGameRows does: row order[i] of the old rows
// followed by the added ones; nothing when nothing was added.
std::vector<qsizetype> AddSearchResultsToWorkList(GamesPageContext& context, bool fromButton = true);
void LoadWorkListFile(GamesPageContext& context);
void SaveWorkListFile(GamesPageContext& context);
void RemoveFromMissFile(GamesPageContext& context);
enum class RemoveTrigger { DeleteKey, Menu };
// Deletes the given rows (indexes into the list, in any order) of one list.
void RemoveSelectedRows(GamesPageContext& context, GameListId list, QList<int> rows, RemoveTrigger trigger);
void ClearGameList(GamesPageContext& context, GameListId list);
void RebuildWorkListNames(GamesPageState& page);
void SwitchGamesTab(GamesPageState& page, int tab);
// The popup menu opened on a list: it remembers that list; true when its load and save items show.
bool openPopupMenu(GamesPageState& page, GameListId list);
// A choice of the "Icon Size" menu, 0 extra large to 3 small: true when the lists take that size (the
// caller loads the icons again); choosing the current size once the window has been activated
// changes nothing.
bool ApplyIconSize(GamesPageState& page, int size, bool firstActivationPending);
