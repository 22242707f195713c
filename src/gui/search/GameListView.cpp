#include "GameListView.h"

#include "ListLook.h"
#include "search/GameListColumns.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {
constexpr int kHeaderHeight = 23;
}

GameListView::GameListView(const QString& objectName, GameListId list, QWidget* parent)
    : QTreeView(parent), m_list(list) {
    setObjectName(objectName);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);  // the core sorts, with its own marks and tie rule
    setTextElideMode(Qt::ElideRight);
    m_rows = applySelectionColours(this);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Q_EMIT popupRequested(viewport()->mapToGlobal(at)); });

    QHeaderView* top = header();
    top->setFixedHeight(kHeaderHeight);
    top->setMinimumSectionSize(0);  // a stored width, however small, is shown as it is
    top->setSectionsMovable(false);
    top->setSectionsClickable(true);
    top->setStretchLastSection(false);
    top->setSortIndicatorShown(true);
    top->setHighlightSections(false);
    top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void GameListView::resetColumns() {
    QHeaderView* top = header();
    for (int column = 0; column < kGameListColumnCount && column < top->count(); ++column) {
        top->setSectionResizeMode(column,
                                  isStatusColumn(column) ? QHeaderView::Fixed : QHeaderView::Interactive);
    }
    showColumnLayout(ColumnLayout::defaults(m_list));
}

ColumnLayout GameListView::columnLayout() const {
    const QHeaderView* top = header();
    ColumnLayout layout = ColumnLayout::defaults(m_list);
    for (int column = 0; column < kGameListColumnCount && column < top->count(); ++column) {
        const bool hidden = top->isSectionHidden(column);
        layout.visible[size_t(column)] = !hidden;
        layout.widths[size_t(column)] = hidden ? m_hiddenWidths[size_t(column)] : top->sectionSize(column);
        layout.order[size_t(top->visualIndex(column))] = column;
    }
    return layout;
}

void GameListView::showColumnLayout(const ColumnLayout& layout) {
    QHeaderView* top = header();
    if (top->count() < kGameListColumnCount) {
        return;
    }
    for (int column = 0; column < kGameListColumnCount; ++column) {
        const int width = std::max(0, layout.widths[size_t(column)]);  // a negative width shows as none
        const bool shown = column == 0 || layout.visible[size_t(column)];
        m_hiddenWidths[size_t(column)] = layout.widths[size_t(column)];
        top->setSectionHidden(column, !shown);
        top->resizeSection(column, width);
    }
    for (int position = 1; position < kGameListColumnCount; ++position) {
        const int from = top->visualIndex(layout.order[size_t(position)]);
        if (from != position) {
            top->moveSection(from, position);
        }
    }
}

void GameListView::setRowHeight(int height, int iconPixels) {
    if (m_rows->rowHeight() == height && iconSize() == QSize(iconPixels, iconPixels)) {
        return;
    }
    m_rows->setRowHeight(height);
    setIconSize(QSize(iconPixels, iconPixels));
    doItemsLayout();
}

int GameListView::rowHeight() const {
    return m_rows->rowHeight();
}

void GameListView::setBackground(const QColor& colour) {
    QPalette colours = palette();
    if (colours.color(QPalette::Base) != colour) {
        colours.setColor(QPalette::Base, colour);
        setPalette(colours);
    }
}

void GameListView::showSortMark(const SortState& sort) {
    const Qt::SortOrder order = sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    if (header()->sortIndicatorSection() != sort.column || header()->sortIndicatorOrder() != order) {
        header()->setSortIndicator(sort.column, order);
    }
}

QList<int> GameListView::selectedRowNumbers() const {
    QList<int> rows;
    if (!selectionModel()) {
        return rows;
    }
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void GameListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT deletePressed();
        return;
    }
    QTreeView::keyPressEvent(event);
}
