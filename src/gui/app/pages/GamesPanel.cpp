#include "GamesPanel.h"

#include "SearchFiltersBox.h"
#include "Widgets.h"
#include "app/AppState.h"
#include "app/Wizard.h"
#include "app/dialogs/TFormColumnsEditor.h"
#include "app/dialogs/TFormCustomizeGamesList.h"
#include "search/GameListModel.h"
#include "search/GameListView.h"
#include "search/GameRowOrder.h"
#include "search/GamesPopupMenu.h"
#include "search/ImageLists.h"
#include "search/ListLook.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kTabHeight = 23;  // the current tab button; the other is 2 pixels lower
constexpr int kSearchListMinWidth = 692;
constexpr int kPanelMargin = 8;
// Where LabelMAMEVersionUsed starts: after the tabs of layout 1, near the edge in layouts 2 and 3.
constexpr int kVersionLeftWithTabs = 350;
constexpr int kVersionLeftWithoutTabs = 16;

QLabel* titleLabel(const QString& objectName, const QString& text, QWidget* parent) {
    QLabel* label = makeLabel(objectName, text, parent);
    setBold(label, true);
    return label;
}

}  // namespace

GamesPanel::GamesPanel(PageContext& context, QWidget* parent)
    : StatePage(QStringLiteral("PanelSearchWorkList"), context, parent),
      m_games{context.state.gamesPage, context.state.games, context.state.setup, context.port, *this} {
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPanelMargin, 6, kPanelMargin, 6);
    layout->setSpacing(4);
    layout->addWidget(makeLabel(
        QStringLiteral("LabelSelectGamesTitle"),
        QStringLiteral(
            "    Select filters in #1, select a category in #2 or type a text in search bar (partial text "
            "support).\r\nAdd games from \"Search Results\" to the \"Work List\" or load a list with \"Load "
            "List From File\" (Work List popup menu)."),
        this, true));
    layout->addWidget(buildHeader());
    m_noGamesList =
        makeLabel(QStringLiteral("LabelNoGamesList"),
                  QStringLiteral("No games list could be loaded for this emulator: go back and try "
                                 "again, or choose another emulator."),
                  this);
    m_noGamesList->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    m_noGamesList->hide();
    layout->addWidget(m_noGamesList);

    m_lists = new QSplitter(this);
    m_lists->setObjectName(QStringLiteral("SplitSearchWorkList"));
    m_lists->setHandleWidth(6);
    m_lists->setChildrenCollapsible(false);
    m_listPanels = {buildSearchPanel(), buildWorkListPanel()};
    m_lists->addWidget(m_listPanels[0]);
    m_lists->addWidget(m_listPanels[1]);
    layout->addWidget(m_lists, 1);
    m_popup = new GamesPopupMenu(this);
    connectPopup();
}

QWidget* GamesPanel::buildHeader() {
    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("PanelTopSearchWorkList"));
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    // The tabs of layout 1; the emulator's line stands after them, or near the left edge without them.
    m_tabs = new QWidget(m_header);
    m_tabs->setObjectName(QStringLiteral("BevelTabbedList"));
    m_tabs->setFixedWidth(kVersionLeftWithTabs - kPanelMargin);
    auto* tabs = new QHBoxLayout(m_tabs);
    tabs->setContentsMargins(0, 0, 0, 0);
    const std::array<QString, 2> names = {QStringLiteral("ButtonSearchGamesPage"),
                                          QStringLiteral("ButtonWorkListPage")};
    const std::array<QString, 2> captions = {QStringLiteral("Search Games"), QStringLiteral("Work List")};
    for (int tab = 0; tab < 2; ++tab) {
        m_tabButtons[size_t(tab)] = makeButton(names[size_t(tab)], captions[size_t(tab)], m_tabs);
        m_tabButtons[size_t(tab)]->setMinimumWidth(110);
        connect(m_tabButtons[size_t(tab)], &QPushButton::clicked, this, [this, tab] {
            SwitchGamesTab(m_games.page, tab);
            applyState();
        });
        tabs->addWidget(m_tabButtons[size_t(tab)], 0, Qt::AlignBottom);
    }
    m_workListEntries = makeLabel(QStringLiteral("LabelWorkListTotalEntries"), QStringLiteral("(0)"), m_tabs);
    tabs->addWidget(m_workListEntries, 0, Qt::AlignBottom);
    tabs->addStretch();
    row->addWidget(m_tabs);
    m_versionIndent = new QWidget(m_header);
    m_versionIndent->setFixedWidth(kVersionLeftWithoutTabs - kPanelMargin);
    row->addWidget(m_versionIndent);
    QWidget* header = m_header;
    m_versionUsed = makeLabel(QStringLiteral("LabelMAMEVersionUsed"),
                              QStringLiteral("MAME v0.000 (Ago 03 1974)"), header);
    setBold(m_versionUsed, true);
    row->addWidget(m_versionUsed);
    row->addStretch();
    m_layoutSelector = new QWidget(header);
    auto* selector = new QHBoxLayout(m_layoutSelector);
    selector->setContentsMargins(0, 0, 0, 0);
    selector->addWidget(makeLabel(QStringLiteral("LabelLayoutSearchResultsWorkList"),
                                  QStringLiteral("Layout:"), m_layoutSelector));
    const std::array<QString, 3> hints = {QStringLiteral("Tabs layout"),
                                          QStringLiteral("Side by side layout"),
                                          QStringLiteral("Top / bottom layout")};
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = makeButton(QStringLiteral("ButtonLayout%1").arg(i + 1), QString::number(i + 1),
                                         m_layoutSelector, hints[size_t(i)]);
        button->setCheckable(true);
        button->setFixedWidth(28);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_context.wizard.chooseLayout(i + 1);
            applyState();
        });
        m_layoutButtons[size_t(i)] = button;
        selector->addWidget(button);
    }
    row->addWidget(m_layoutSelector);
    return header;
}

QWidget* GamesPanel::buildSearchPanel() {
    auto* panel = new QWidget(m_lists);
    panel->setObjectName(QStringLiteral("PanelSearchList"));
    panel->setMinimumWidth(kSearchListMinWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_filters = new SearchFiltersBox(m_games.page.filters, m_context.icons, panel);
    layout->addWidget(m_filters);

    auto* split = new QSplitter(Qt::Horizontal, panel);
    m_categoriesSplit = split;
    split->setObjectName(QStringLiteral("SplitterSearchListCategory"));
    split->setHandleWidth(6);
    split->setChildrenCollapsible(false);
    auto* categories = new QWidget(split);
    categories->setObjectName(QStringLiteral("PanelSearchList2_Categories"));
    categories->setMinimumWidth(kCategoriesPanelMinWidth);
    auto* left = new QVBoxLayout(categories);
    left->setContentsMargins(0, 0, 0, 0);
    QLabel* pick = titleLabel(QStringLiteral("LabelCategoriesTitle"),
                              QStringLiteral("2. Pick a category or type a text"), categories);
    pick->setWordWrap(true);  // the panel may be narrower than the title
    left->addWidget(pick);
    auto* textRow = new QHBoxLayout;
    m_categoryText = makeEdit(QStringLiteral("CategoryText"), categories);
    m_categoryText->installEventFilter(this);
    connect(m_categoryText, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_games.page.categoryText = text; });
    textRow->addWidget(m_categoryText, 1);
    auto* buttons = new QHBoxLayout;
    struct SearchButton {
        const char* name;
        const char* caption;
        const char* hint;
        SearchKind kind;
    };
    const std::array<SearchButton, 5> searchButtons = {{
        {"ButtonSearchCategoryText", ">",
         "Click here to search games by category (or hit ENTER key in the text box)", SearchCategory},
        {"ButtonSearchGameTitleText", "Title",
         "Click here to search games by game title (or hit Shift+ENTER key in the text box)", SearchTitle},
        {"ButtonSearchGameYearText", "Year", "Click here to search games by year", SearchYear},
        {"ButtonSearchGameManufacturerText", "Manuf", "Click here to search games by manufacturer",
         SearchManufacturer},
        {"ButtonSearchGameDriverText", "Driver", "Click here to search games by driver name", SearchDriver},
    }};
    for (const SearchButton& spec : searchButtons) {
        QPushButton* button = makeButton(QString::fromLatin1(spec.name), QString::fromLatin1(spec.caption),
                                         categories, QString::fromLatin1(spec.hint));
        connect(button, &QPushButton::clicked, this, [this, kind = spec.kind] { search(kind); });
        if (spec.kind == SearchCategory) {
            button->setFixedWidth(28);
            textRow->addWidget(button);
        } else {
            // Narrow buttons, so that a narrow categories panel still holds all of them.
            button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            button->setMinimumWidth(44);
            buttons->addWidget(button);
        }
    }
    QPushButton* help = makeButton(QStringLiteral("ButtonSearchTextHelp"), QStringLiteral("?"), categories,
                                   QStringLiteral("A little more info on how to use search with text box"));
    help->setFixedWidth(28);
    connect(help, &QPushButton::clicked, this, [this] { showSearchHelp(m_context.port); });
    buttons->addWidget(help);
    left->addLayout(textRow);
    left->addLayout(buttons);
    m_categories = new QListWidget(categories);
    m_categories->setObjectName(QStringLiteral("CategoriesList"));
    m_categories->setUniformItemSizes(true);
    m_categoryRows = applySelectionColours(m_categories);
    connect(m_categories, &QListWidget::currentRowChanged, this, [this](int row) { pickCategoryRow(row); });
    left->addWidget(m_categories, 1);
    m_categoriesTotal = makeLabel(QStringLiteral("LabelCategoriesListTotal"),
                                  QStringLiteral("0 categories in list"), categories);
    left->addWidget(m_categoriesTotal);
    split->addWidget(categories);

    auto* results = new QWidget(split);
    results->setObjectName(QStringLiteral("PanelSearchResults"));
    auto* right = new QVBoxLayout(results);
    right->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QHBoxLayout;
    caption->addWidget(titleLabel(QStringLiteral("LabelSearchResultsTitle"),
                                  QStringLiteral("3. Search Results -"), results));
    m_searchCaption =
        makeLabel(QStringLiteral("LabelSearchResultCategoryFilter"), QStringLiteral("Category:"), results);
    setBold(m_searchCaption, true);
    caption->addWidget(m_searchCaption, 1);
    right->addLayout(caption);
    right->addWidget(buildList(SearchResultsList, results), 1);
    auto* under = new QHBoxLayout;
    m_searchTotal = makeLabel(QStringLiteral("LabelSearchResultsTotal"), gamesInListText(0), results);
    under->addWidget(m_searchTotal, 1);
    m_addToWorkList = makeButton(QStringLiteral("ButtonAddToWorkList"),
                                 QStringLiteral("Add Search Results to The Work List"), results);
    m_addToWorkList->setEnabled(false);
    connect(m_addToWorkList, &QPushButton::clicked, this, &GamesPanel::addToWorkList);
    under->addWidget(m_addToWorkList);
    right->addLayout(under);
    split->addWidget(results);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({230, 10000});
    layout->addWidget(split, 1);
    return panel;
}

QWidget* GamesPanel::buildWorkListPanel() {
    auto* panel = new QWidget(m_lists);
    panel->setObjectName(QStringLiteral("PanelWorkList"));
    // Beside a Search Results panel at its minimum width in a narrow window, it may become narrow
    // rather than lie over it.
    panel->setMinimumSize(40, 40);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        titleLabel(QStringLiteral("LabelWorkListTitle"), QStringLiteral("4. Work List"), panel));
    layout->addWidget(buildList(WorkListList, panel), 1);
    m_workListTotal = makeLabel(QStringLiteral("LabelWorkListTotal"), gamesInListText(0), panel);
    layout->addWidget(m_workListTotal);
    return panel;
}

GameListView* GamesPanel::buildList(GameListId id, QWidget* parent) {
    const QString name = id == WorkListList ? QStringLiteral("WorkList") : QStringLiteral("SearchResults");
    auto* view = new GameListView(name, id, parent);
    auto* model = new GameListModel(gameList(m_games.page, id), m_context.icons, view);
    view->setModel(model);
    view->resetColumns();
    view->showSortMark(listSort(m_games.page, id));
    connect(view->header(), &QHeaderView::sectionClicked, this,
            [this, id](int column) { sortBy(id, column); });
    connect(view, &GameListView::deletePressed, this,
            [this, id] { removeSelected(id, RemoveTrigger::DeleteKey); });
    connect(view, &GameListView::popupRequested, this, [this, id](const QPoint& at) { showPopup(id, at); });
    m_views[id] = view;
    m_models[id] = model;
    return view;
}

void GamesPanel::connectPopup() {
    connect(m_popup->loadList, &QAction::triggered, this, [this] {
        LoadWorkListFile(m_games);
        applyState();
    });
    connect(m_popup->saveList, &QAction::triggered, this, [this] { SaveWorkListFile(m_games); });
    connect(m_popup->missFile, &QAction::triggered, this, [this] { RemoveFromMissFile(m_games); });
    connect(m_popup->removeSelected, &QAction::triggered, this,
            [this] { removeSelected(m_games.page.popupList, RemoveTrigger::Menu); });
    connect(m_popup->clearList, &QAction::triggered, this, [this] { clearList(m_games.page.popupList); });
    for (int size = 0; size < int(m_popup->iconSizes.size()); ++size) {
        connect(m_popup->iconSizes[size_t(size)], &QAction::triggered, this,
                [this, size] { chooseIconSize(size); });
    }
    connect(m_popup->customizeColumns, &QAction::triggered, this,
            [this] { customizeColumnsOf(m_games.page.popupList); });
    connect(m_popup->customizeAppearance, &QAction::triggered, this, [this] {
        if (customizeGamesListAppearance(window(), m_context.state.appearance,
                                         m_views[SearchResultsList]->rowHeight(), m_context.icons)) {
            applyState();
        }
    });
}

void GamesPanel::customizeColumnsOf(GameListId id) {
    const std::optional<QList<ColumnRow>> rows =
        customizeColumns(window(), id, m_games.page.layout, columns(id));
    if (rows) {
        LayoutContext context{m_games.page, m_games.setup, *this, m_context.port};
        WriteEditorLayout(context, id, *rows);
    }
}

bool GamesPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_categoryText && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            searchWithEnterKey(key->modifiers());
            return true;
        }
    }
    return StatePage::eventFilter(watched, event);
}

void GamesPanel::search(SearchKind kind) {
    searchWithButton(m_games, kind);
    applyState();
}

void GamesPanel::searchWithEnterKey(Qt::KeyboardModifiers modifiers) {
    searchWithEnter(m_games, modifiers);
    applyState();
}

void GamesPanel::pickCategoryRow(int row) {
    pickCategory(m_games, row);
    applyState();
}

void GamesPanel::addToWorkList() {
    const std::vector<qsizetype> order = AddSearchResultsToWorkList(m_games, true);
    m_models[WorkListList]->showAdded(order);
    applyState();
}

void GamesPanel::removeSelected(GameListId id, RemoveTrigger trigger) {
    const QList<int> rows = m_views[id]->selectedRowNumbers();
    RemoveSelectedRows(m_games, id, rows, trigger);
    m_models[id]->showRemoved(rows);
    applyState();
}

void GamesPanel::clearList(GameListId id) {
    ClearGameList(m_games, id);
    applyState();
}

void GamesPanel::sortBy(GameListId id, int column) {
    m_models[id]->showSorted(sortByHeader(m_games.page, id, column));
    GameListView* view = m_views[id];
    view->showSortMark(listSort(m_games.page, id));
    const QList<int> selected = view->selectedRowNumbers();
    if (!selected.isEmpty()) {
        view->scrollTo(m_models[id]->index(selected.first(), 0));
    }
}

void GamesPanel::chooseIconSize(int size) {
    m_context.wizard.chooseIconSize(size);
    applyState();
}

void GamesPanel::preparePopup(GameListId id) {
    m_popup->prepare(openPopupMenu(m_games.page, id), m_games.page.gameIconSize);
}

void GamesPanel::showPopup(GameListId id, const QPoint& at) {
    preparePopup(id);
    m_popup->exec(at);
}

void GamesPanel::showNow() {
    applyState();
    m_searchCaption->repaint();
}

void GamesPanel::focusWorkList() {
    drawTabs();  // the Work List is shown before it takes the focus
    m_views[WorkListList]->setFocus(Qt::OtherFocusReason);
}

void GamesPanel::drawTabs() {
    const GamesPageState& page = m_games.page;
    const bool tabs = page.layout == 1;
    m_tabs->setVisible(tabs);
    m_versionIndent->setVisible(!tabs);
    for (int tab = 0; tab < 2; ++tab) {
        QPushButton* button = m_tabButtons[size_t(tab)];
        const bool current = page.gamesTab == tab;
        setBold(button, current);
        button->setFixedHeight(current ? kTabHeight : kTabHeight - 2);
        m_listPanels[size_t(tab)]->setVisible(!tabs || current);
    }
    if (tabs) {
        m_lists->setSizes({1, 1});  // the panel shown takes the whole splitter, whatever it had before
    }
    const Qt::Orientation orientation = page.layout == 3 ? Qt::Vertical : Qt::Horizontal;
    if (m_lists->orientation() != orientation) {
        m_lists->setOrientation(orientation);
    }
}

void GamesPanel::drawCategoriesLook(const Appearance& look) {
    const QFont font = toQFont(look.categoriesListFont);
    if (m_categories->font() != font) {
        m_categories->setFont(font);
    }
    QPalette colours = m_categories->palette();
    const QColor background = toQColor(look.categoriesListBackgroundColor);
    const QColor text = toQColor(look.categoriesListFont.color);
    if (colours.color(QPalette::Base) != background || colours.color(QPalette::Text) != text) {
        colours.setColor(QPalette::Base, background);
        colours.setColor(QPalette::Text, text);
        m_categories->setPalette(colours);
    }
    if (m_categoryRows->rowHeight() != look.categoriesRowHeight) {
        m_categoryRows->setRowHeight(look.categoriesRowHeight);
        m_categories->doItemsLayout();
    }
}

void GamesPanel::drawLists() {
    const AppState& state = m_context.state;
    const GamesPageState& page = m_games.page;
    const bool iconsChanged = m_iconsDrawn != m_context.icons.generation();
    m_iconsDrawn = m_context.icons.generation();
    const int size =
        page.gameIconSize >= 0 && page.gameIconSize < int(CellHeightTable.size()) ? page.gameIconSize : 3;
    for (GameListId id : {SearchResultsList, WorkListList}) {
        GameListModel* model = m_models[id];
        model->showRows();
        model->setLook(state.appearance);
        if (iconsChanged) {
            model->iconsChanged();
        }
        GameListView* view = m_views[id];
        view->setRowHeight(CellHeightTable[size_t(size)], m_context.icons.gameIconPixels());
        view->setBackground(toQColor(state.appearance.gamesListBackgroundColor));
        view->showSortMark(listSort(m_games.page, id));
    }
}

void GamesPanel::applyState() {
    const AppState& state = m_context.state;
    const GamesPageState& page = m_games.page;
    m_layoutSelector->setVisible(state.wizard.layoutSelectorShown);
    m_versionUsed->setText(state.texts.versionUsedCaption);
    m_noGamesList->setVisible(state.texts.noGamesList);
    m_filters->applyState();
    setEditText(m_categoryText, page.categoryText);
    // A refilled list is a new list: sharing the shown one's data means nothing changed.
    if (!m_shownCategories.isSharedWith(state.games.CategoriesList)) {
        const QSignalBlocker blocker(m_categories);
        m_categories->clear();
        m_categories->addItems(state.games.CategoriesList);
        m_shownCategories = state.games.CategoriesList;
    }
    if (m_categories->currentRow() != page.selectedCategoryRow) {
        const QSignalBlocker blocker(m_categories);
        m_categories->setCurrentRow(page.selectedCategoryRow);
        if (page.selectedCategoryRow >= 0) {
            m_categories->scrollToItem(m_categories->item(page.selectedCategoryRow));
        } else {
            m_categories->clearSelection();
        }
    }
    m_categoriesTotal->setText(categoriesTotalText(state.games.CategoriesList.size()));
    drawCategoriesLook(state.appearance);
    for (int i = 0; i < 3; ++i) {
        setChecked(m_layoutButtons[size_t(i)], page.layout == i + 1);
    }
    drawTabs();
    drawLists();
    m_searchCaption->setText(page.searchFilterCaption);
    QPalette caption = m_searchCaption->palette();
    const QColor captionColour = page.searchRunning ? QColor(Qt::red) : QColor(Qt::black);
    if (caption.color(QPalette::WindowText) != captionColour) {  // red only while a search runs
        caption.setColor(QPalette::WindowText, captionColour);
        m_searchCaption->setPalette(caption);
    }
    m_searchTotal->setText(gamesInListText(page.SearchResults.size()));
    m_addToWorkList->setEnabled(page.addToWorkListEnabled);
    m_workListTotal->setText(gamesInListText(page.WorkList.size()));
    m_workListEntries->setText(workListEntriesText(page.WorkList.size()));
}

QWidget* GamesPanel::firstBox() const {
    return m_categoryText;
}

ColumnLayout GamesPanel::columns(GameListId list) const {
    return m_views[list]->columnLayout();
}

void GamesPanel::showColumns(GameListId list, const ColumnLayout& columns) {
    m_views[list]->showColumnLayout(columns);
}

int GamesPanel::categoriesWidth() const {
    return m_categoriesSplit->sizes().value(0);
}

void GamesPanel::setCategoriesWidth(int width) {
    const QList<int> sizes = m_categoriesSplit->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    m_categoriesSplit->setSizes({width, std::max(0, total - width)});
}

int GamesPanel::searchListSize(int layout) const {
    return layout == 3 ? m_listPanels[0]->height() : m_listPanels[0]->width();
}

int GamesPanel::defaultSearchListSize(int layout) const {
    if (layout == 3) {
        return (height() - m_header->height()) / 2;
    }
    return window()->width() / 2;
}

void GamesPanel::arrangeLayout(int layout, int searchListSize) {
    drawTabs();
    if (layout == 2 || layout == 3) {
        const int total = layout == 3 ? m_lists->height() : m_lists->width();
        m_lists->setSizes({searchListSize, std::max(0, total - searchListSize - m_lists->handleWidth())});
    }
}
