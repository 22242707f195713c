#pragma once

#include "Appearance.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct NamedColor {
    QString name;
    StoredColor color;
};

// A system colour is the platform's colour number with the high byte set, so it reads as negative.
constexpr StoredColor kSystemColorFlag = StoredColor(0xFF000000);
constexpr bool isSystemColor(StoredColor color) {
    return (color & kSystemColorFlag) == kSystemColorFlag;
}
constexpr StoredColor systemColor(int number) {
    return kSystemColorFlag | StoredColor(number & 0xFF);
}

// Black, Maroon, ... White: the sixteen colours every colour list starts with.
const QList<NamedColor>& standardColors();
// Money Green, Sky Blue, Cream, Medium Gray.
const QList<NamedColor>& extendedColors();
// The desktop's own colours, one per palette role they stand for, named after the role.
const QList<NamedColor>& systemColors();
// What a colour box offers after "Custom...": standard, extended and system colours.
QList<NamedColor> colorBoxColors();

// A colour box: a colour of the user's own ("Custom...") first, then named colours. Choosing an
// entry runs the box's selection handler, whether the user chose it or the program did.
class ColorBox {
public:
    static constexpr int kCustomEntry = 0;
    static QString customCaption() { return QStringLiteral("Custom..."); }

    ColorBox(QList<NamedColor> named, StoredColor defaultColor);

    int count() const { return int(m_named.size()) + 1; }
    QString name(int index) const;
    StoredColor color(int index) const;
    // The named entry holding exactly this colour, or -1.
    int indexOfNamed(StoredColor color) const;

    int selectedIndex() const { return m_selected; }
    // The chosen entry's colour; the default colour while none is chosen.
    StoredColor selected() const;
    StoredColor defaultColor() const { return m_default; }
    StoredColor customColor() const { return m_custom; }
    void setCustomColor(StoredColor color) { m_custom = color; }

    void setSelectionHandler(std::function<void(StoredColor)> handler) { m_handler = std::move(handler); }
    // An entry chosen; an index outside the list chooses nothing.
    void choose(int index);
    // The colour picker that "Custom..." opened was confirmed.
    void chooseCustom(StoredColor color);

private:
    QList<NamedColor> m_named;
    StoredColor m_default;
    StoredColor m_custom;
    int m_selected = -1;
    std::function<void(StoredColor)> m_handler;
};

// Chooses the colour (the box's default colour when none is given) as the user would: its named
// entry, or "Custom..." carrying it when no entry holds it; the selection handler runs.
void SelectColorBoxColor(ColorBox& box, std::optional<StoredColor> color = std::nullopt);
