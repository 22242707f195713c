#pragma once

#include "app/Appearance.h"

#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

class QAbstractItemView;

// A stored colour (0x00BBGGRR, or a system colour code) as the palette shows it.
QColor toQColor(StoredColor color);
// A stored font as drawn; a face that is not installed is substituted by Qt.
QFont toQFont(const FontSpec& font);

// Draws the rows of a list at one height, and the selection in the program's own colours: filled and
// framed in blue while the list has the focus, in grey when it has not, with black text either way.
class ListRowDelegate : public QStyledItemDelegate {
public:
    explicit ListRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    void setRowHeight(int height) { m_rowHeight = height; }
    int rowHeight() const { return m_rowHeight; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int m_rowHeight = 20;
};

// The program's selection colours on a list view: whole rows, drawn by a ListRowDelegate.
ListRowDelegate* applySelectionColours(QAbstractItemView* view);
