#include "GamesPanel.h"

#include "Widgets.h"
#include "app/AppState.h"
#include "app/Wizard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

GamesPanel::GamesPanel(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("PanelSearchWorkList"), context, parent) {
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(makeLabel(
        QStringLiteral("LabelSelectGamesTitle"),
        QStringLiteral(
            "    Select filters in #1, select a category in #2 or type a text in search bar (partial text "
            "support).\r\nAdd games from \"Search Results\" to the \"Work List\" or load a list with \"Load "
            "List From File\" (Work List popup menu)."),
        this, true));

    auto* header = new QHBoxLayout;
    header->addWidget(
        makeButton(QStringLiteral("ButtonSearchGamesPage"), QStringLiteral("Search Games"), this));
    header->addWidget(makeButton(QStringLiteral("ButtonWorkListPage"), QStringLiteral("Work List"), this));
    header->addSpacing(16);
    m_versionUsed =
        makeLabel(QStringLiteral("LabelMAMEVersionUsed"), QStringLiteral("MAME v0.000 (Ago 03 1974)"), this);
    setBold(m_versionUsed, true);
    header->addWidget(m_versionUsed);
    header->addStretch();
    m_layoutSelector = new QWidget(this);
    auto* selector = new QHBoxLayout(m_layoutSelector);
    selector->setContentsMargins(0, 0, 0, 0);
    selector->addWidget(makeLabel(QStringLiteral("LabelLayoutSearchResultsWorkList"),
                                  QStringLiteral("Layout:"), m_layoutSelector));
    for (int i = 0; i < 3; ++i) {
        QPushButton* button =
            makeButton(QStringLiteral("ButtonLayout%1").arg(i + 1), QString::number(i + 1), m_layoutSelector);
        button->setCheckable(true);
        button->setFixedWidth(28);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_context.wizard.chooseLayout(i + 1);
            applyState();
        });
        m_layoutButtons[i] = button;
        selector->addWidget(button);
    }
    header->addWidget(m_layoutSelector);
    layout->addLayout(header);
    m_noGamesList =
        makeLabel(QStringLiteral("LabelNoGamesList"),
                  QStringLiteral("No games list could be loaded for this emulator: go back and try "
                                 "again, or choose another emulator."),
                  this);
    m_noGamesList->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    m_noGamesList->hide();
    layout->addWidget(m_noGamesList);

    auto* categories = new QVBoxLayout;
    m_categoryText = makeEdit(QStringLiteral("CategoryText"), this);
    m_categoryText->setPlaceholderText(QStringLiteral("Search categories or game titles"));
    categories->addWidget(m_categoryText);
    m_categories = new QListWidget(this);
    m_categories->setObjectName(QStringLiteral("CategoriesList"));
    m_categories->setUniformItemSizes(true);
    connect(m_categories, &QListWidget::currentRowChanged, this,
            [this](int row) { m_context.state.gamesPage.selectedCategoryRow = row; });
    categories->addWidget(m_categories, 1);
    m_categoriesTotal =
        makeLabel(QStringLiteral("LabelCategoriesListTotal"), QStringLiteral("0 categories in list"), this);
    categories->addWidget(m_categoriesTotal);
    layout->addLayout(categories, 1);
}

void GamesPanel::applyState() {
    const AppState& state = m_context.state;
    m_layoutSelector->setVisible(state.wizard.layoutSelectorShown);
    m_versionUsed->setText(state.texts.versionUsedCaption);
    m_noGamesList->setVisible(state.texts.noGamesList);
    // A refilled list is a new list: sharing the shown one's data means nothing changed.
    if (!m_shownCategories.isSharedWith(state.games.CategoriesList)) {
        const QSignalBlocker blocker(m_categories);
        m_categories->clear();
        m_categories->addItems(state.games.CategoriesList);
        m_shownCategories = state.games.CategoriesList;
    }
    if (m_categories->currentRow() != state.gamesPage.selectedCategoryRow) {
        const QSignalBlocker blocker(m_categories);
        m_categories->setCurrentRow(state.gamesPage.selectedCategoryRow);
        if (state.gamesPage.selectedCategoryRow >= 0) {
            m_categories->scrollToItem(m_categories->item(state.gamesPage.selectedCategoryRow));
        }
    }
    m_categoriesTotal->setText(categoriesTotalText(state.games.CategoriesList.size()));
    for (int i = 0; i < 3; ++i) {
        setChecked(m_layoutButtons[i], state.gamesPage.layout == i + 1);
    }
}

QWidget* GamesPanel::firstBox() const {
    return m_categoryText;
}
