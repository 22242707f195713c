#include "SearchFiltersBox.h"

#include "Widgets.h"
#include "search/Filters.h"
#include "search/ImageLists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QSignalBlocker>

SearchFiltersBox::SearchFiltersBox(FilterState& filters, const ImageLists& icons, QWidget* parent)
    : QWidget(parent), m_filters(filters), m_icons(icons) {
    setObjectName(QStringLiteral("PanelSearchFilters"));
    // A size smaller than the page's, so that the seven boxes fit the narrowest window side by side.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    setFont(small);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(2);
    QLabel* title =
        makeLabel(QStringLiteral("LabelSearchFiltersTitle"), QStringLiteral("1. Search Filters"), this);
    setBold(title, true);
    grid->addWidget(title, 0, 0);
    for (int box = 0; box < kFilterBoxCount; ++box) {
        const FilterBoxInfo& info = FilterBoxTable[size_t(box)];
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(info.objectName));
        combo->setToolTip(QString::fromLatin1(info.hint));
        combo->setIconSize(QSize(16, 16));
        // Sized for the usual entries; a longer one is shortened in the box and whole in its list.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
        for (int entry = 0; entry < info.entryCount; ++entry) {
            combo->addItem(QString::fromLatin1(info.entries[size_t(entry)].caption));
        }
        connect(combo, &QComboBox::activated, this,
                [this, box](int entry) { m_filters.searchCriteria[size_t(box)] = entry; });
        m_boxes[size_t(box)] = combo;
        if (box == MediaBox) {
            grid->addWidget(combo, 1, 0);  // under the title, with no label of its own
            continue;
        }
        if (box == DriverStatusBox) {
            auto* above = new QHBoxLayout;
            m_statusCategory =
                makeLabel(QStringLiteral("LabelDriverStatusCategory"), driverStatusCaption(0), this);
            QPushButton* next =
                makeButton(QStringLiteral("ButtonDriverStatusCategoryNext"), QStringLiteral(">"), this,
                           QStringLiteral("Cycle thru driver status categories"));
            next->setFixedSize(20, 18);
            connect(next, &QPushButton::clicked, this, [this] {
                CycleStatusCategory(m_filters);
                applyState();
            });
            above->addWidget(m_statusCategory);
            above->addStretch();
            above->addWidget(next);
            grid->addLayout(above, 0, box);
        } else {
            grid->addWidget(makeLabel(QStringLiteral("Label") + QString::fromLatin1(info.objectName).mid(14),
                                      QString::fromLatin1(info.label), this),
                            0, box);
        }
        grid->addWidget(combo, 1, box);
    }
    grid->setColumnStretch(kFilterBoxCount, 1);  // the boxes keep their size in a wide window
}

void SearchFiltersBox::fillIcons() {
    for (int box = 0; box < kFilterBoxCount; ++box) {
        const FilterBoxInfo& info = FilterBoxTable[size_t(box)];
        for (int entry = 0; entry < info.entryCount; ++entry) {
            m_boxes[size_t(box)]->setItemIcon(entry, m_icons.gamesIcon(info.entries[size_t(entry)].icon));
        }
    }
    m_iconsDrawn = m_icons.generation();
}

void SearchFiltersBox::applyState() {
    if (m_iconsDrawn != m_icons.generation()) {
        fillIcons();
    }
    for (int box = 0; box < kFilterBoxCount; ++box) {
        QComboBox* combo = m_boxes[size_t(box)];
        const int entry = m_filters.searchCriteria[size_t(box)];
        if (combo->currentIndex() != entry) {
            const QSignalBlocker blocker(combo);
            combo->setCurrentIndex(entry >= 0 && entry < combo->count() ? entry : -1);
        }
    }
    m_statusCategory->setText(driverStatusCaption(m_filters.StatusCategory));
    m_boxes[DriverStatusBox]->setToolTip(driverStatusHint(m_filters.StatusCategory));
}
