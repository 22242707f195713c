#pragma once

#include "search/ColumnLayouts.h"

#include <QStringList>
#include <array>

// The games page's layout as plain values, and what was asked of it.
class FakeGamesLayout final : public GamesPageLayoutView {
public:
    std::array<ColumnLayout, 2> shown = {ColumnLayout::defaults(SearchResultsList),
                                         ColumnLayout::defaults(WorkListList)};
    int categories = kCategoriesPanelMinWidth;
    int searchList = 300;
    int defaultSize = 384;
    QStringList arranged;  // "layout:size" per arrangement

    ColumnLayout columns(GameListId list) const override { return shown[list]; }
    void showColumns(GameListId list, const ColumnLayout& columns) override { shown[list] = columns; }
    int categoriesWidth() const override { return categories; }
    void setCategoriesWidth(int width) override { categories = width; }
    int searchListSize(int) const override { return searchList; }
    int defaultSearchListSize(int) const override { return defaultSize; }
    void arrangeLayout(int layout, int size) override {
        arranged.append(QStringLiteral("%1:%2").arg(layout).arg(size));
        searchList = size;
    }
};
