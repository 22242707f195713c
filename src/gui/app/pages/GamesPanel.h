#pragma once

#include "PageContext.h"
#include "search/ColumnLayouts.h"
#include "search/GamesPage.h"

#include <QStringList>
#include <array>

struct Appearance;
class GameListModel;
class ListRowDelegate;
class GameListView;
class GamesPopupMenu;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class SearchFiltersBox;

// The overlay of page 5: filters, categories, Search Results and Work List. Every control forwards to
// the games page's operations and the panel redraws from their state; the two lists sit behind
// models that are told what each operation did to the rows.
class GamesPanel final : public StatePage, private GamesPageView, public GamesPageLayoutView {
public:
    GamesPanel(PageContext& context, QWidget* parent);
    void applyState() override;
    QWidget* firstBox() const override;

    // The layouts and column profiles.
    ColumnLayout columns(GameListId list) const override;
    void showColumns(GameListId list, const ColumnLayout& columns) override;
    int categoriesWidth() const override;
    void setCategoriesWidth(int width) override;
    int searchListSize(int layout) const override;
    int defaultSearchListSize(int layout) const override;
    void arrangeLayout(int layout, int searchListSize) override;

    GameListView* list(GameListId id) const { return m_views[id]; }
    GamesPopupMenu* popupMenu() const { return m_popup; }
    // Prepares the popup menu for a list (as its opening does), without showing it.
    void preparePopup(GameListId id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildSearchPanel();
    QWidget* buildWorkListPanel();
    GameListView* buildList(GameListId id, QWidget* parent);
    void connectPopup();

    // The games page's operations, each followed by the redraw of what it changed.
    void search(SearchKind kind);
    void searchWithEnterKey(Qt::KeyboardModifiers modifiers);
    void pickCategoryRow(int row);
    void addToWorkList();
    void removeSelected(GameListId id, RemoveTrigger trigger);
    void clearList(GameListId id);
    void sortBy(GameListId id, int column);
    void chooseIconSize(int size);
    void customizeColumnsOf(GameListId id);
    void showPopup(GameListId id, const QPoint& at);

    void showNow() override;
    void focusWorkList() override;

    void drawTabs();
    void drawLists();
    void drawCategoriesLook(const Appearance& look);

    GamesPageContext m_games;
    QLabel* m_versionUsed;
    QLineEdit* m_categoryText;
    QListWidget* m_categories;
    ListRowDelegate* m_categoryRows;
    QLabel* m_categoriesTotal;
    QLabel* m_noGamesList;
    QWidget* m_layoutSelector;
    std::array<QPushButton*, 3> m_layoutButtons{};
    QWidget* m_header;
    QWidget* m_tabs;
    QWidget* m_versionIndent;
    std::array<QPushButton*, 2> m_tabButtons{};
    QLabel* m_workListEntries;
    SearchFiltersBox* m_filters;
    QLabel* m_searchCaption;
    QLabel* m_searchTotal;
    QPushButton* m_addToWorkList;
    QLabel* m_workListTotal;
    QSplitter* m_lists;
    QSplitter* m_categoriesSplit;
    std::array<QWidget*, 2> m_listPanels{};
    std::array<GameListView*, 2> m_views{};
    std::array<GameListModel*, 2> m_models{};
    GamesPopupMenu* m_popup;
    QStringList m_shownCategories;  // shares the data of the list last drawn
    int m_iconsDrawn = -1;
};
