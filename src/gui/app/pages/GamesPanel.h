#pragma once

#include "PageContext.h"

#include <QStringList>
#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The overlay of page 5: filters, categories, Search Results and Work List.
class GamesPanel final : public StatePage {
public:
    GamesPanel(PageContext& context, QWidget* parent);
    void applyState() override;
    QWidget* firstBox() const override;

private:
    QLabel* m_versionUsed;
    QLineEdit* m_categoryText;
    QListWidget* m_categories;
    QLabel* m_categoriesTotal;
    QLabel* m_noGamesList;
    QWidget* m_layoutSelector;
    std::array<QPushButton*, 3> m_layoutButtons{};
    QStringList m_shownCategories;  // shares the data of the list last drawn
};
