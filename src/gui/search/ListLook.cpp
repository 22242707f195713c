#include "ListLook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace {

constexpr StoredColor kSystemColour = StoredColor(0xFF000000);

// The system colour codes by the palette roles that stand for them.
QPalette::ColorRole systemRole(int code) {
    switch (code) {
        case 5:  // window
            return QPalette::Base;
        case 8:   // window text
        case 17:  // grey text
            return QPalette::Text;
        case 13:
            return QPalette::Highlight;
        case 14:
            return QPalette::HighlightedText;
        case 15:  // button face
            return QPalette::Button;
        case 18:
            return QPalette::ButtonText;
        case 7:  // menu text
        case 9:  // caption text
            return QPalette::WindowText;
        case 16:  // button shadow
            return QPalette::Dark;
        case 20:  // button highlight
            return QPalette::Light;
        case 21:  // 3D dark shadow
            return QPalette::Shadow;
        case 22:  // 3D light
            return QPalette::Midlight;
        case 23:
            return QPalette::ToolTipText;
        case 24:
            return QPalette::ToolTipBase;
        case 26:  // hot-tracked item, the desktop's link colour
            return QPalette::Link;
        case 4:  // menu
        default:
            return QPalette::Window;
    }
}

const QColor kActiveFill(0xC1, 0xDB, 0xFC);
const QColor kActiveFrame(0x64, 0x8C, 0xB9);
const QColor kInactiveFill(0xDC, 0xDC, 0xDC);
const QColor kInactiveFrame(0x8E, 0x8E, 0x8E);

}  // namespace

QColor toQColor(StoredColor color) {
    if ((color & kSystemColour) == kSystemColour) {
        return QApplication::palette().color(systemRole(color & 0xFF));
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QFont toQFont(const FontSpec& spec) {
    QFont font(spec.name);
    if (spec.size > 0) {
        font.setPointSize(spec.size);
    }
    font.setBold(spec.style & FontBold);
    font.setItalic(spec.style & FontItalic);
    font.setUnderline(spec.style & FontUnderline);
    font.setStrikeOut(spec.style & FontStrikeOut);
    return font;
}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), m_rowHeight};
}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (!(cell.state & QStyle::State_Selected)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool active = cell.state & QStyle::State_Active;
    const QRect r = cell.rect;
    painter->save();
    painter->fillRect(r, active ? kActiveFill : kInactiveFill);
    painter->setPen(active ? kActiveFrame : kInactiveFrame);
    // One frame around the whole row: its cells share the top and bottom lines.
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    const auto at = cell.viewItemPosition;
    if (at == QStyleOptionViewItem::Beginning || at == QStyleOptionViewItem::OnlyOne ||
        at == QStyleOptionViewItem::Invalid) {
        painter->drawLine(r.topLeft(), r.bottomLeft());
    }
    if (at == QStyleOptionViewItem::End || at == QStyleOptionViewItem::OnlyOne ||
        at == QStyleOptionViewItem::Invalid) {
        painter->drawLine(r.topRight(), r.bottomRight());
    }
    painter->restore();
    // The text and icon over the fill, black whether or not the list has the focus (a selected
    // cell's text takes the highlighted-text colour; the style's own fill is made invisible).
    QStyleOptionViewItem text = option;
    text.state &= ~QStyle::State_HasFocus;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        text.palette.setColor(group, QPalette::Highlight, Qt::transparent);
        text.palette.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    QStyledItemDelegate::paint(painter, text, index);
}

ListRowDelegate* applySelectionColours(QAbstractItemView* view) {
    auto* delegate = new ListRowDelegate(view);
    view->setItemDelegate(delegate);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    return delegate;
}
