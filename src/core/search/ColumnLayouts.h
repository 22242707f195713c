#pragma once

#include "GamesPageState.h"

#include <QString>
#include <array>
#include <optional>

class DialogPort;
class IniDocument;
struct SetupChoices;

// One game list's columns as shown: each column's width and whether it is shown, by column index,
// and the column at each display position (column 0 always first).
struct ColumnLayout {
    std::array<int, kGameListColumnCount> widths{};
    std::array<bool, kGameListColumnCount> visible{};
    std::array<int, kGameListColumnCount> order{};

    static ColumnLayout defaults(GameListId list);
    bool operator==(const ColumnLayout&) const = default;
};

// The categories panel's width when no profile names one: its minimum width.
constexpr int kCategoriesPanelMinWidth = 205;

// What the layout work asks of the games page's window.
class GamesPageLayoutView {
public:
    virtual ~GamesPageLayoutView() = default;
    virtual ColumnLayout columns(GameListId list) const = 0;
    virtual void showColumns(GameListId list, const ColumnLayout& columns) = 0;
    virtual int categoriesWidth() const = 0;
    virtual void setCategoriesWidth(int width) = 0;
    // The Search Results panel's width in layout 2, its height in layout 3.
    virtual int searchListSize(int layout) const = 0;
    // That size when layouts.ini names none: half the window's client width in layout 2, half the
    // games panel's height less its header in layout 3.
    virtual int defaultSearchListSize(int layout) const = 0;
    // Shows the page in a layout; in layouts 2 and 3 the Search Results panel takes `searchListSize`.
    virtual void arrangeLayout(int layout, int searchListSize) = 0;
};

// What the layout work reads and writes: the page's layout, the program folder, the window.
struct LayoutContext {
    const GamesPageState& page;
    const SetupChoices& setup;
    GamesPageLayoutView& view;
    DialogPort& port;
};

// "layouts_searchresults.ini" or "layouts_worklist.ini" in the program folder.
QString ColumnLayoutFile(const QString& programFolder, GameListId list);
// "Layout2_" for layout 2.
QByteArray LayoutPrefix(int layout);
// The column at each display position from a profile's position section; the default order when any
// stored position is out of range or two columns claim one position.
std::array<int, kGameListColumnCount> ReadColumnPositions(const IniDocument& file, QByteArrayView section);

// A profile's column sections of one layout, removed before they are written anew.
void removeColumnSections(IniDocument& file, const QByteArray& prefix);
// One column's entries in a profile: its position, width and visibility where they differ from the
// list's defaults (a status column's width is never written). Gives whether it wrote anything.
bool writeColumnEntries(IniDocument& file, const QByteArray& prefix, GameListId list, int column,
                        int position, int width, bool shown);

void ApplyWindowLayout(LayoutContext& context);
void SaveSplitterPosition(LayoutContext& context);
void LoadColumnLayout(LayoutContext& context, bool searchResults, bool workList);
void SaveColumnLayout(LayoutContext& context);
