#pragma once

#include "search/GamesPageState.h"  // CellHeightTable

#include <QString>
#include <array>

// Colours are 0x00BBGGRR; a negative value is one of the platform's system colours.
using StoredColor = qint32;
constexpr StoredColor kWhite = 16777215;
constexpr StoredColor kBlack = 0;

enum FontStyleBit { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };

struct FontSpec {
    QString name = QStringLiteral("Segoe UI");
    int size = 9;
    int style = 0;
    StoredColor color = kBlack;
    bool operator==(const FontSpec&) const = default;
};

// How the game lists and the categories list look, as plain values.
struct Appearance {
    StoredColor gamesListBackgroundColor = kWhite;
    FontSpec parentGameFont;
    FontSpec cloneGameFont;
    StoredColor categoriesListBackgroundColor = kWhite;
    FontSpec categoriesListFont;
    int categoriesRowHeight = CellHeightTable[3];
};
