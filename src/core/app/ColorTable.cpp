#include "ColorTable.h"

namespace {

constexpr StoredColor rgb(int red, int green, int blue) {
    return StoredColor(red | (green << 8) | (blue << 16));
}

}  // namespace

const QList<NamedColor>& standardColors() {
    static const QList<NamedColor> colors = {
        {QStringLiteral("Black"), rgb(0, 0, 0)},        {QStringLiteral("Maroon"), rgb(128, 0, 0)},
        {QStringLiteral("Green"), rgb(0, 128, 0)},      {QStringLiteral("Olive"), rgb(128, 128, 0)},
        {QStringLiteral("Navy"), rgb(0, 0, 128)},       {QStringLiteral("Purple"), rgb(128, 0, 128)},
        {QStringLiteral("Teal"), rgb(0, 128, 128)},     {QStringLiteral("Gray"), rgb(128, 128, 128)},
        {QStringLiteral("Silver"), rgb(192, 192, 192)}, {QStringLiteral("Red"), rgb(255, 0, 0)},
        {QStringLiteral("Lime"), rgb(0, 255, 0)},       {QStringLiteral("Yellow"), rgb(255, 255, 0)},
        {QStringLiteral("Blue"), rgb(0, 0, 255)},       {QStringLiteral("Fuchsia"), rgb(255, 0, 255)},
        {QStringLiteral("Aqua"), rgb(0, 255, 255)},     {QStringLiteral("White"), rgb(255, 255, 255)},
    };
    return colors;
}

const QList<NamedColor>& extendedColors() {
    static const QList<NamedColor> colors = {
        {QStringLiteral("Money Green"), rgb(192, 220, 192)},
        {QStringLiteral("Sky Blue"), rgb(166, 202, 240)},
        {QStringLiteral("Cream"), rgb(255, 251, 240)},
        {QStringLiteral("Medium Gray"), rgb(160, 160, 164)},
    };
    return colors;
}

const QList<NamedColor>& systemColors() {
    // The numbers are those the settings file holds for these colours; the widgets map each to
    // the palette role of its name (toQColor).
    static const QList<NamedColor> colors = {
        {QStringLiteral("Window"), systemColor(4)},             // menu
        {QStringLiteral("Window Text"), systemColor(7)},        // menu text
        {QStringLiteral("Base"), systemColor(5)},               // window
        {QStringLiteral("Text"), systemColor(8)},               // window text
        {QStringLiteral("Button"), systemColor(15)},            // button face
        {QStringLiteral("Button Text"), systemColor(18)},       // button text
        {QStringLiteral("Highlight"), systemColor(13)},         // highlight
        {QStringLiteral("Highlighted Text"), systemColor(14)},  // highlighted text
        {QStringLiteral("Light"), systemColor(20)},             // button highlight
        {QStringLiteral("Midlight"), systemColor(22)},          // 3D light
        {QStringLiteral("Dark"), systemColor(16)},              // button shadow
        {QStringLiteral("Shadow"), systemColor(21)},            // 3D dark shadow
        {QStringLiteral("Tool Tip Base"), systemColor(24)},     // info background
        {QStringLiteral("Tool Tip Text"), systemColor(23)},     // info text
        {QStringLiteral("Link"), systemColor(26)},              // hot light
    };
    return colors;
}

QList<NamedColor> colorBoxColors() {
    return standardColors() + extendedColors() + systemColors();
}

ColorBox::ColorBox(QList<NamedColor> named, StoredColor defaultColor)
    : m_named(std::move(named)), m_default(defaultColor), m_custom(defaultColor) {}

QString ColorBox::name(int index) const {
    if (index == kCustomEntry) {
        return customCaption();
    }
    return index > 0 && index < count() ? m_named[index - 1].name : QString();
}

StoredColor ColorBox::color(int index) const {
    if (index == kCustomEntry) {
        return m_custom;
    }
    return index > 0 && index < count() ? m_named[index - 1].color : m_default;
}

int ColorBox::indexOfNamed(StoredColor color) const {
    for (qsizetype i = 0; i < m_named.size(); ++i) {
        if (m_named[i].color == color) {
            return int(i) + 1;
        }
    }
    return -1;
}

StoredColor ColorBox::selected() const {
    return m_selected >= 0 ? color(m_selected) : m_default;
}

void ColorBox::choose(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    m_selected = index;
    if (m_handler) {
        m_handler(selected());
    }
}

void ColorBox::chooseCustom(StoredColor color) {
    m_custom = color;
    choose(kCustomEntry);
}

void SelectColorBoxColor(ColorBox& box, std::optional<StoredColor> color) {
    const StoredColor wanted = color.value_or(box.defaultColor());
    const int named = box.indexOfNamed(wanted);
    if (named >= 0) {
        box.choose(named);
    } else {
        box.chooseCustom(wanted);
    }
}
