#pragma once

#include "search/ColumnLayouts.h"
#include "search/GamesPageState.h"

#include <QTreeView>

class ListRowDelegate;

// A game list of the games page: whole-row multi-selection with either mouse button, the header
// clicked for sorting (the list itself is sorted by the core), status columns of fixed width, rows of
// one height, type-to-find on the titles (a tree view searches its first column) and the Del key.
class GameListView final : public QTreeView {
    Q_OBJECT
public:
    GameListView(const QString& objectName, GameListId list, QWidget* parent);

    GameListId list() const { return m_list; }
    // The model's columns at their default widths for this list.
    void resetColumns();
    // The columns as shown (a hidden column keeps the width it had), and a profile shown.
    ColumnLayout columnLayout() const;
    void showColumnLayout(const ColumnLayout& layout);
    // The row height of CellHeightTable and the icon size that goes with it.
    void setRowHeight(int height, int iconPixels);
    int rowHeight() const;
    void setBackground(const QColor& colour);
    void showSortMark(const SortState& sort);
    // The selected rows, each once, in ascending order.
    QList<int> selectedRowNumbers() const;

Q_SIGNALS:
    void deletePressed();
    void popupRequested(const QPoint& globalPosition);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    GameListId m_list;
    ListRowDelegate* m_rows;
    std::array<int, kGameListColumnCount> m_hiddenWidths{};
};
