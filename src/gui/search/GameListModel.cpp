#include "GameListModel.h"

#include "ImageLists.h"
#include "ListLook.h"
#include "search/GameListColumns.h"
#include "search/GameRowOrder.h"

#include <algorithm>

GameListModel::GameListModel(const GameList& rows, const ImageLists& icons, QObject* parent)
    : QAbstractTableModel(parent), m_source(rows), m_icons(icons), m_rows(rows) {
    setLook(Appearance());
}

int GameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GameListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGameListColumnCount;
}

QVariant GameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const TGameInfo& game = m_rows[index.row()];
    // A row with a parent is drawn in the clone font, whether or not that parent is known.
    const bool clone = !game.CloneOf.isEmpty();
    switch (role) {
        case Qt::DisplayRole:
            return gameColumnText(game, index.column());
        case Qt::DecorationRole: {
            const QList<QPixmap>& icons = m_icons.gameIcons();
            if (index.column() == 0 && game.IconIndex >= 0 && game.IconIndex < icons.size()) {
                return icons[game.IconIndex];
            }
            return {};
        }
        case Qt::FontRole:
            return clone ? m_cloneFont : m_parentFont;
        case Qt::ForegroundRole:
            return clone ? m_cloneColour : m_parentColour;
        default:
            return {};
    }
}

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kGameListColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(GameListColumns[size_t(section)].caption);
    }
    if (role == Qt::DecorationRole && isStatusColumn(section)) {
        const QPixmap& picture = m_icons.headerPictures()[size_t(section - kFirstStatusColumn)];
        return picture.isNull() ? QVariant() : QVariant(picture);
    }
    return {};
}

void GameListModel::setLook(const Appearance& look) {
    if (look.parentGameFont == m_parentSpec && look.cloneGameFont == m_cloneSpec &&
        !m_parentFont.family().isEmpty()) {
        return;
    }
    m_parentSpec = look.parentGameFont;
    m_cloneSpec = look.cloneGameFont;
    m_parentFont = toQFont(m_parentSpec);
    m_cloneFont = toQFont(m_cloneSpec);
    m_parentColour = toQColor(m_parentSpec.color);
    m_cloneColour = toQColor(m_cloneSpec.color);
    if (!m_rows.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, kGameListColumnCount - 1));
    }
}

void GameListModel::iconsChanged() {
    Q_EMIT headerDataChanged(Qt::Horizontal, kFirstStatusColumn, kGameListColumnCount - 1);
    if (!m_rows.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0), {Qt::DecorationRole});
    }
}

void GameListModel::showRows() {
    if (m_rows.isSharedWith(m_source) || (m_rows.isEmpty() && m_source.isEmpty())) {
        return;
    }
    beginResetModel();
    m_rows = m_source;
    endResetModel();
}

void GameListModel::showRemoved(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, one signal per run of neighbouring rows.
    qsizetype i = 0;
    while (i < rows.size()) {
        const int last = rows[i];
        int first = last;
        while (i + 1 < rows.size() && rows[i + 1] == first - 1) {
            first = rows[++i];
        }
        ++i;
        if (first < 0 || last >= m_rows.size()) {
            continue;
        }
        beginRemoveRows({}, first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
    }
    if (m_rows.size() != m_source.size()) {
        showRows();  // not what was said: start again
        return;
    }
    m_rows = m_source;
}

void GameListModel::showAdded(const std::vector<qsizetype>& order) {
    const int before = int(m_rows.size());
    const int after = int(m_source.size());
    if (qsizetype(order.size()) != after || after <= before) {
        showRows();
        return;
    }
    // First the rows as they were before the sort (the old ones, then the new ones at the end),
    // then the sort: so the views keep their selection and scroll position.
    GameList appended(after);
    for (size_t i = 0; i < order.size(); ++i) {
        appended[order[i]] = m_source[qsizetype(i)];
    }
    beginInsertRows({}, before, after - 1);
    m_rows = std::move(appended);
    endInsertRows();
    showSorted(order);
}

void GameListModel::showSorted(const std::vector<qsizetype>& order) {
    if (qsizetype(order.size()) != m_source.size() || m_source.size() != m_rows.size()) {
        showRows();
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRow[size_t(order[i])] = int(i);
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        after.append(index(newRow[size_t(old.row())], old.column()));
    }
    m_rows = m_source;
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
