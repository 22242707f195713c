#pragma once

#include "Appearance.h"
#include "ColorTable.h"

#include <QStringList>
#include <optional>

enum class EditedFont { Parent, Clone, Categories };

// The captions of CategoriesListCellSize, by index into CellHeightTable.
QStringList categoriesCellSizeCaptions();
// The entry of CategoriesListCellSize for a row height: "Small" for a height it does not list.
int categoriesCellSizeIndex(int rowHeight);

// The games list appearance dialog without its widgets: working copies of the main window's fonts,
// colours and categories row height, the rules of every button, and "Ok" writing them back. The
// copies start from the values at opening; nothing reaches the main window before apply().
class AppearanceEditor {
public:
    explicit AppearanceEditor(const Appearance& current);
    AppearanceEditor(const AppearanceEditor&) = delete;
    AppearanceEditor& operator=(const AppearanceEditor&) = delete;

    const FontSpec& font(EditedFont which) const;
    // The font dialog was confirmed for this font.
    void setFont(EditedFont which, const FontSpec& font);
    // The font a row of GamesFont edits: row 0 the parent font, row 1 the clone font.
    static std::optional<EditedFont> gamesFontRow(int row);

    ColorBox& gamesBackgroundColor() { return m_gamesBox; }
    ColorBox& categoriesListBackgroundColor() { return m_categoriesBox; }
    const ColorBox& gamesBackgroundColor() const { return m_gamesBox; }
    const ColorBox& categoriesListBackgroundColor() const { return m_categoriesBox; }
    // What the two previews show behind their rows; the colour boxes' handlers set them.
    StoredColor gamesPreviewBackground() const { return m_gamesPreviewBackground; }
    StoredColor categoriesPreviewBackground() const { return m_categoriesPreviewBackground; }

    // CategoriesListCellSize: the chosen index and the preview's row height (at opening the list's
    // own, which the box may only name "Small").
    int categoriesCellSize() const { return m_cellSize; }
    int categoriesPreviewRowHeight() const { return m_categoriesRowHeight; }
    // An entry of CategoriesListCellSize chosen; an index it does not list chooses "Small".
    void chooseCategoriesCellSize(int index);

    // Game fonts: ButtonResetFont, ButtonDefaultFont, ButtonCopyParentFont (which acts only while a
    // row of GamesFont is selected; -1 for none).
    void resetFonts();
    void defaultFonts();
    void copyParentFont(int selectedRow);
    // Game lists' background: ButtonResetBkColor, ButtonDefaultBkColor, ButtonCopyBkColor.
    void resetBackground();
    void defaultBackground();
    void copyBackground();
    // Categories font: ButtonResetFontCategories, ButtonDefaultFontCategories,
    // ButtonCopyParentFontCategories.
    void resetCategoriesFont();
    void defaultCategoriesFont();
    void copyParentFontToCategories();
    // Categories background: ButtonResetBkColorCategories, ButtonDefaultBkColorCategories,
    // ButtonCopyBkColorCategories.
    void resetCategoriesBackground();
    void defaultCategoriesBackground();
    void copyCategoriesBackground();

    // "Ok": the working values become the main window's.
    void apply(Appearance& target) const;

private:
    const Appearance m_current;
    FontSpec m_parentFont;
    FontSpec m_cloneFont;
    FontSpec m_categoriesFont;
    ColorBox m_gamesBox;
    ColorBox m_categoriesBox;
    StoredColor m_gamesPreviewBackground = kWhite;
    StoredColor m_categoriesPreviewBackground = kWhite;
    int m_cellSize;
    int m_categoriesRowHeight;
};

// The colour list of the font dialog: "Custom..." first, carrying the font's colour, then the
// standard colours; the font's colour is chosen (its named entry, else "Custom...").
ColorBox fontDialogColors(StoredColor fontColor);
