#include "AppearanceEditor.h"

namespace {
constexpr int kSmall = 3;
}

QStringList categoriesCellSizeCaptions() {
    return {QStringLiteral("Very Large"), QStringLiteral("Large"), QStringLiteral("Medium"),
            QStringLiteral("Small")};
}

int categoriesCellSizeIndex(int rowHeight) {
    for (int i = 0; i < int(CellHeightTable.size()); ++i) {
        if (CellHeightTable[size_t(i)] == rowHeight) {
            return i;
        }
    }
    return kSmall;
}

AppearanceEditor::AppearanceEditor(const Appearance& current)
    : m_current(current),
      m_parentFont(current.parentGameFont),
      m_cloneFont(current.cloneGameFont),
      m_categoriesFont(current.categoriesListFont),
      m_gamesBox(colorBoxColors(), kWhite),
      m_categoriesBox(colorBoxColors(), kWhite),
      m_cellSize(categoriesCellSizeIndex(current.categoriesRowHeight)),
      m_categoriesRowHeight(current.categoriesRowHeight) {
    m_gamesBox.setSelectionHandler([this](StoredColor color) { m_gamesPreviewBackground = color; });
    m_categoriesBox.setSelectionHandler([this](StoredColor color) { m_categoriesPreviewBackground = color; });
    // "Custom..." starts out with the colour in use, so its picker opens on it.
    m_gamesBox.setCustomColor(current.gamesListBackgroundColor);
    m_categoriesBox.setCustomColor(current.categoriesListBackgroundColor);
    SelectColorBoxColor(m_gamesBox, current.gamesListBackgroundColor);
    SelectColorBoxColor(m_categoriesBox, current.categoriesListBackgroundColor);
}

const FontSpec& AppearanceEditor::font(EditedFont which) const {
    switch (which) {
        case EditedFont::Parent:
            return m_parentFont;
        case EditedFont::Clone:
            return m_cloneFont;
        case EditedFont::Categories:
            break;
    }
    return m_categoriesFont;
}

void AppearanceEditor::setFont(EditedFont which, const FontSpec& font) {
    switch (which) {
        case EditedFont::Parent:
            m_parentFont = font;
            return;
        case EditedFont::Clone:
            m_cloneFont = font;
            return;
        case EditedFont::Categories:
            m_categoriesFont = font;
            return;
    }
}

std::optional<EditedFont> AppearanceEditor::gamesFontRow(int row) {
    switch (row) {
        case 0:
            return EditedFont::Parent;
        case 1:
            return EditedFont::Clone;
        default:
            return std::nullopt;
    }
}

void AppearanceEditor::chooseCategoriesCellSize(int index) {
    m_cellSize = index >= 0 && index < int(CellHeightTable.size()) ? index : kSmall;
    m_categoriesRowHeight = CellHeightTable[size_t(m_cellSize)];
}

void AppearanceEditor::resetFonts() {
    m_parentFont = m_current.parentGameFont;
    m_cloneFont = m_current.cloneGameFont;
}

void AppearanceEditor::defaultFonts() {
    m_parentFont = FontSpec();
    m_cloneFont = FontSpec();
}

void AppearanceEditor::copyParentFont(int selectedRow) {
    if (gamesFontRow(selectedRow)) {
        m_cloneFont = m_parentFont;
    }
}

void AppearanceEditor::resetBackground() {
    SelectColorBoxColor(m_gamesBox, m_current.gamesListBackgroundColor);
}

void AppearanceEditor::defaultBackground() {
    SelectColorBoxColor(m_gamesBox, kWhite);
}

void AppearanceEditor::copyBackground() {
    SelectColorBoxColor(m_gamesBox, m_categoriesPreviewBackground);
}

void AppearanceEditor::resetCategoriesFont() {
    m_categoriesFont = m_current.categoriesListFont;
}

void AppearanceEditor::defaultCategoriesFont() {
    m_categoriesFont = FontSpec();
}

void AppearanceEditor::copyParentFontToCategories() {
    m_categoriesFont = m_parentFont;
}

void AppearanceEditor::resetCategoriesBackground() {
    SelectColorBoxColor(m_categoriesBox, m_current.categoriesListBackgroundColor);
}

void AppearanceEditor::defaultCategoriesBackground() {
    SelectColorBoxColor(m_categoriesBox, kWhite);
}

void AppearanceEditor::copyCategoriesBackground() {
    SelectColorBoxColor(m_categoriesBox, m_gamesPreviewBackground);
}

void AppearanceEditor::apply(Appearance& target) const {
    target.parentGameFont = m_parentFont;
    target.cloneGameFont = m_cloneFont;
    target.gamesListBackgroundColor = m_gamesBox.selected();
    target.categoriesRowHeight = CellHeightTable[size_t(m_cellSize)];
    target.categoriesListBackgroundColor = m_categoriesBox.selected();
    target.categoriesListFont = m_categoriesFont;
}

ColorBox fontDialogColors(StoredColor fontColor) {
    ColorBox colors(standardColors(), kBlack);
    colors.setCustomColor(fontColor);
    SelectColorBoxColor(colors, fontColor);
    return colors;
}
