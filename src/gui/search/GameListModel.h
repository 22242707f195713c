#pragma once

#include "app/Appearance.h"
#include "gamesdb/GameInfo.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <vector>

class ImageLists;

// One game list of the games page as the views see it. The core owns the rows; the model shows a
// copy that shares their data, and the page tells it what the core did so that the views get the
// right signals (one reset for a search, one insertion for an addition, a move for a sort). Texts,
// icons and fonts are worked out only for the cells a view asks for.
class GameListModel final : public QAbstractTableModel {
public:
    GameListModel(const GameList& rows, const ImageLists& icons, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The fonts and colours of the rows; the views redraw when they changed.
    void setLook(const Appearance& look);
    // The icons were loaded again (another size, or the header pictures).
    void iconsChanged();

    // The rows changed in some way: the views start again when they differ from those shown.
    void showRows();
    // These rows (indexes of the rows shown, any order) were removed, and nothing else changed.
    void showRemoved(QList<int> rows);
    // Rows were appended and the list sorted again: row i came from row order[i] of the old rows
    // followed by the new ones.
    void showAdded(const std::vector<qsizetype>& order);
    // The list was sorted: row i came from row order[i]. Selections follow their rows.
    void showSorted(const std::vector<qsizetype>& order);

private:
    const GameList& m_source;
    const ImageLists& m_icons;
    GameList m_rows;  // the rows shown
    FontSpec m_parentSpec;
    FontSpec m_cloneSpec;
    QFont m_parentFont;
    QFont m_cloneFont;
    QColor m_parentColour;
    QColor m_cloneColour;
};
