#pragma once

#include <QWidget>
#include <array>

struct FilterState;
class ImageLists;
class QComboBox;
class QLabel;

// "1. Search Filters": the seven boxes with their icons and the status category button. A choice
// only writes the state; the next search reads it.
class SearchFiltersBox final : public QWidget {
public:
    SearchFiltersBox(FilterState& filters, const ImageLists& icons, QWidget* parent);
    void applyState();

private:
    void fillIcons();

    FilterState& m_filters;
    const ImageLists& m_icons;
    std::array<QComboBox*, 7> m_boxes{};
    QLabel* m_statusCategory;
    int m_iconsDrawn = -1;
};
