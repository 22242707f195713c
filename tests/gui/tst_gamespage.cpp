#include "FakeDialogPort.h"
#include "GuiSupport.h"
#include "app/TFormMain.h"
#include "app/pages/GamesPanel.h"
#include "common/IniDocument.h"
#include "search/GameListModel.h"
#include "search/GameListView.h"
#include "search/GameRowOrder.h"
#include "search/GamesPopupMenu.h"

#include <QAbstractItemModelTester>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSet>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include <memory>
#include <vector>

namespace {

TGameInfo game(const QString& name, const QString& title, const char* year = "1980",
               const QString& cloneOf = {}, qint8 driverStatus = StatusGood) {
    TGameInfo g;
    g.Name = name;
    g.Title = title;
    g.Year = year;
    g.CloneOf = cloneOf;
    g.Kind = cloneOf.isEmpty() ? KindParent : KindClone;
    g.IconIndex = g.Kind;
    g.DriverStatus = driverStatus;
    g.Manufacturer = QStringLiteral("Namco");
    g.Category = QStringLiteral("Maze");
    g.Driver = "pacman.cpp";
    return g;
}

GameList someGames() {
    return {game("pacman", "Pac-Man", "1980"),
            game("pacman10", "Pac-Man 10", ""),
            game("pacman2", "Pac-Man 2", "1982"),
            game("puckman", "Puck Man", "1980", "pacman"),
            game("mspacman", "Ms. Pac-Man", "1981"),
            game("galaga", "Galaga", "1981", {}, StatusImperfect),
            game("galaga88", "Galaga '88", "1987", "galaga", StatusUnknown)};
}

GameList manyGames(int count) {
    GameList games;
    games.reserve(count);
    for (int i = 0; i < count; ++i) {
        games.append(game(QStringLiteral("g%1").arg(i), QStringLiteral("Game %1").arg(i)));
    }
    return games;
}

QStringList titlesShown(const QAbstractItemModel& model) {
    QStringList titles;
    for (int row = 0; row < model.rowCount(); ++row) {
        titles.append(model.index(row, 0).data().toString());
    }
    return titles;
}

// Counts the cells a view asks for, and the rows they lie in.
class CountingProxy final : public QIdentityProxyModel {
public:
    mutable int calls = 0;
    mutable QSet<int> rows;
    void forget() {
        calls = 0;
        rows.clear();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        ++calls;
        rows.insert(index.row());
        return QIdentityProxyModel::data(index, role);
    }
};

// The main window with a table of games, showing the games page.
class GamesWindow {
public:
    explicit GamesWindow(const GameList& games) : window(portableFolders(dir.path())) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        AppState& state = window.state();
        state.games.FullGamesList = games;
        state.games.CategoriesList = {QStringLiteral("Maze"), QStringLiteral("Shooter")};
        state.wizard.page = WizardPage::Games;
        state.texts.searchWorkListPanelShown = true;
        window.applyState();
        for (const GameListId id : {SearchResultsList, WorkListList}) {
            testers.push_back(std::make_unique<QAbstractItemModelTester>(
                list(id)->model(), QAbstractItemModelTester::FailureReportingMode::QtTest));
        }
    }
    GamesPanel* panel() { return window.findChild<GamesPanel*>(QStringLiteral("PanelSearchWorkList")); }
    GameListView* list(GameListId id) { return panel()->list(id); }
    QString label(const char* name) { return window.findChild<QLabel*>(QLatin1String(name))->text(); }
    void search(const QString& text, const char* button = "ButtonSearchGameTitleText") {
        auto* edit = window.findChild<QLineEdit*>(QStringLiteral("CategoryText"));
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::mouseClick(buttonNamed(&window, QLatin1String(button)), Qt::LeftButton);
    }
    void clickHeader(GameListId id, int column) {
        QHeaderView* header = list(id)->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }
    QPoint rowCentre(GameListId id, int row) {
        GameListView* view = list(id);
        return view->visualRect(view->model()->index(row, 0)).center();
    }

    ProgramFolderWithIcons dir;
    MessageBoxWatcher boxes;
    TFormMain window;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
};

}  // namespace

class GamesPageTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modelTellsViewsWhatChanged() {
        GamesPageState page;
        page.SearchResults = someGames();
        const SetupChoices setup;
        FakeDialogPort port;
        ImageLists icons(setup, page, port);
        GameListModel model(page.SearchResults, icons, nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QItemSelectionModel selection(&model);
        QCOMPARE(model.rowCount(), 7);
        page.searchResultsSort = {1, false};  // so that a click on the titles sorts them ascending

        // A sort moves the selection with its row.
        selection.select(model.index(2, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);  // pacman2
        model.showSorted(sortByHeader(page, SearchResultsList, 0));
        QCOMPARE(titlesShown(model), (QStringList{"Galaga", "Galaga '88", "Ms. Pac-Man", "Pac-Man",
                                                  "Pac-Man 2", "Pac-Man 10", "Puck Man"}));
        QCOMPARE(selection.selectedRows().size(), 1);
        QCOMPARE(selection.selectedRows().first().data().toString(), QStringLiteral("Pac-Man 2"));

        // Removed rows leave the others, and the selection, where they are.
        QList<int> removed = {0, 6, 1};
        for (const int row : {6, 1, 0}) {
            page.SearchResults.removeAt(row);
        }
        model.showRemoved(removed);
        QCOMPARE(titlesShown(model), (QStringList{"Ms. Pac-Man", "Pac-Man", "Pac-Man 2", "Pac-Man 10"}));
        QCOMPARE(selection.selectedRows().first().data().toString(), QStringLiteral("Pac-Man 2"));

        // An addition sorts the new rows in between; the selection still follows its game.
        const GameList added = {game("digdug", "Dig Dug"), game("xevious", "Xevious")};
        page.SearchResults += added;
        model.showAdded(sortGameRows(page.SearchResults, page.searchResultsSort));
        QCOMPARE(titlesShown(model),
                 (QStringList{"Dig Dug", "Ms. Pac-Man", "Pac-Man", "Pac-Man 2", "Pac-Man 10", "Xevious"}));
        QCOMPARE(selection.selectedRows().first().data().toString(), QStringLiteral("Pac-Man 2"));

        // Anything else: the views start again, only when the rows differ.
        page.SearchResults = {game("bosco", "Bosconian")};
        model.showRows();
        QCOMPARE(titlesShown(model), QStringList{"Bosconian"});
        page.SearchResults.clear();
        model.showRows();
        QCOMPARE(model.rowCount(), 0);
    }

    void rowsShowTheirGame() {
        ProgramFolderWithIcons dir;
        GamesPageState page;
        page.gameIconSize = 1;
        SetupChoices setup;
        setup.ResourceFolder = dir.path();
        FakeDialogPort port;
        ImageLists icons(setup, page, port);
        icons.LoadListIcons();
        icons.loadHeaderPictures();
        page.SearchResults = {game("puckman", "Puck Man", "1980", "nosuchparent"), game("pacman", "Pac-Man")};
        page.SearchResults[1].IconIndex = 4 + KindParent;  // marked missing
        GameListModel model(page.SearchResults, icons, nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Appearance look;
        look.cloneGameFont.style = FontItalic;
        look.cloneGameFont.color = 0x0000FF;  // red, as 0x00BBGGRR
        model.setLook(look);

        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("1980"));
        QCOMPARE(model.index(0, 6).data().toString(), QStringLiteral("pacman.cpp"));
        for (int column = 7; column < 12; ++column) {
            QVERIFY(model.index(0, column).data().toString().isEmpty());
            QVERIFY(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().isEmpty());
            QCOMPARE(model.headerData(column, Qt::Horizontal, Qt::DecorationRole).value<QPixmap>().size(),
                     QSize(16, 16));
        }
        QCOMPARE(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Clone of"));
        // A clone whose parent is unknown still has the clone font; a parent has the parent font.
        QVERIFY(model.index(0, 3).data(Qt::FontRole).value<QFont>().italic());
        QCOMPARE(model.index(0, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!model.index(1, 3).data(Qt::FontRole).value<QFont>().italic());
        // Only the title has an icon, at the list's size: the missing game's differs from its kind's.
        const QPixmap missing = model.index(1, 0).data(Qt::DecorationRole).value<QPixmap>();
        QCOMPARE(missing.size(), QSize(32, 32));
        QVERIFY(missing.toImage() != icons.gameIcons()[KindParent].toImage());
        QVERIFY(!model.index(1, 1).data(Qt::DecorationRole).isValid());
    }

    void scrollingAsksOnlyForRowsNearThoseShown() {
        GamesPageState page;
        page.SearchResults = manyGames(40000);
        const SetupChoices setup;
        FakeDialogPort port;
        ImageLists icons(setup, page, port);
        GameListModel model(page.SearchResults, icons, nullptr);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        CountingProxy counted;
        counted.setSourceModel(&model);
        GameListView view(QStringLiteral("SearchResults"), SearchResultsList, nullptr);
        view.setModel(&counted);
        view.resetColumns();
        view.setRowHeight(20, 16);
        view.resize(900, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.viewport()->repaint();  // the first screen drawn before counting starts
        QApplication::processEvents();
        const int shownRows = view.viewport()->height() / 20 + 1;
        const int allowed = (shownRows + 10) * 12 * 12;  // rows, columns, roles a view asks for
        for (const int at : {20000, 39990, 137}) {
            counted.forget();
            view.scrollTo(counted.index(at, 0), QAbstractItemView::PositionAtTop);
            QVERIFY(view.indexAt(QPoint(4, 4)).row() >= std::min(at, 40000 - shownRows));
            view.viewport()->repaint();
            QVERIFY(counted.calls > 0);
            QVERIFY2(counted.calls < allowed, qPrintable(QString::number(counted.calls)));
            // Row 0 is the one a view of equal rows measures; every other is near those shown.
            for (const int row : std::as_const(counted.rows)) {
                QVERIFY2(row == 0 || (row >= at - shownRows - 10 && row <= at + shownRows + 10),
                         qPrintable(QStringLiteral("row %1 at %2").arg(row).arg(at)));
            }
        }
    }

    void searchSortDeleteAndAdd() {
        GamesWindow w(someGames());
        w.search(QStringLiteral("pac"));
        GameListView* results = w.list(SearchResultsList);
        QCOMPARE(titlesShown(*results->model()),
                 (QStringList{"Ms. Pac-Man", "Pac-Man", "Pac-Man 2", "Pac-Man 10"}));
        QCOMPARE(w.label("LabelSearchResultCategoryFilter"), QStringLiteral("Title: pac"));
        QCOMPARE(w.label("LabelSearchResultsTotal"), QStringLiteral("4 games in list"));

        // Year: ascending with the empty year first, then descending with it last.
        w.clickHeader(SearchResultsList, 1);
        QCOMPARE(titlesShown(*results->model()).first(), QStringLiteral("Pac-Man 10"));
        QCOMPARE(results->header()->sortIndicatorSection(), 1);
        w.clickHeader(SearchResultsList, 1);
        QCOMPARE(titlesShown(*results->model()).last(), QStringLiteral("Pac-Man 10"));
        QCOMPARE(w.window.state().gamesPage.searchResultsSort, (SortState{1, true}));

        // Del removes the selected rows; the Add button stays as it was.
        results->setFocus();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, w.rowCentre(SearchResultsList, 0));
        QTest::mouseClick(results->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          w.rowCentre(SearchResultsList, 1));
        const QStringList before = titlesShown(*results->model());
        QTest::keyClick(results, Qt::Key_Delete);
        QCOMPARE(titlesShown(*results->model()), before.mid(2));
        QCOMPARE(w.label("LabelSearchResultsTotal"), QStringLiteral("2 games in list"));

        QTest::mouseClick(buttonNamed(&w.window, "ButtonAddToWorkList"), Qt::LeftButton);
        GameListView* workList = w.list(WorkListList);
        QCOMPARE(results->model()->rowCount(), 0);
        QCOMPARE(workList->model()->rowCount(), 2);
        QVERIFY(workList->isVisible());
        QVERIFY(workList->width() > 600);
        QVERIFY(!results->isVisible());
        QTRY_VERIFY(workList->hasFocus());
        QCOMPARE(w.label("LabelWorkListTotalEntries"), QStringLiteral("(2)"));
        QVERIFY(buttonNamed(&w.window, "ButtonWorkListPage")->font().bold());
        QCOMPARE(buttonNamed(&w.window, "ButtonWorkListPage")->height(), 23);
        QCOMPARE(buttonNamed(&w.window, "ButtonSearchGamesPage")->height(), 21);

        // The games in the Work List are left out of the next search.
        QTest::mouseClick(buttonNamed(&w.window, "ButtonSearchGamesPage"), Qt::LeftButton);
        w.search(QStringLiteral("all"));
        QCOMPARE(results->model()->rowCount(), 5);
        saveScreenshot(&w.window, QStringLiteral("games-results"));
    }

    void categoriesAndEnterSearch() {
        GamesWindow w(someGames());
        auto* categories = w.window.findChild<QListWidget*>(QStringLiteral("CategoriesList"));
        categories->setCurrentRow(0);
        QCOMPARE(w.list(SearchResultsList)->model()->rowCount(), 7);
        QCOMPARE(w.label("LabelSearchResultCategoryFilter"), QStringLiteral("Maze"));
        auto* edit = w.window.findChild<QLineEdit*>(QStringLiteral("CategoryText"));
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("galaga"));
        QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(w.label("LabelSearchResultCategoryFilter"), QStringLiteral("Title: galaga"));
        QCOMPARE(w.list(SearchResultsList)->model()->rowCount(), 2);
        QCOMPARE(categories->selectedItems().size(), 0);  // a text search drops the category
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(w.label("LabelSearchResultCategoryFilter"), QStringLiteral("galaga"));
        QCOMPARE(w.list(SearchResultsList)->model()->rowCount(), 0);
        QVERIFY(!buttonNamed(&w.window, "ButtonAddToWorkList")->isEnabled());
    }

    void popupMenuOnEachList() {
        GamesWindow w(someGames());
        w.search(QStringLiteral("*"));
        // A right click selects the row under it, then the menu opens; the items it shows, in order.
        const auto popupOn = [&w](GameListId id, int row) {
            GameListView* view = w.list(id);
            view->setFocus();
            QStringList shown;
            QTimer::singleShot(50, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu) {
                    return;
                }
                for (QAction* action : menu->actions()) {
                    if (action->isVisible() && !action->isSeparator()) {
                        shown.append(action->objectName().isEmpty() ? action->text() : action->objectName());
                    }
                }
                saveScreenshot(menu, QStringLiteral("games-popup-%1").arg(int(id)));
                menu->close();
            });
            const QPoint at = w.rowCentre(id, row);
            QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
            QContextMenuEvent request(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
            QApplication::sendEvent(view->viewport(), &request);
            return shown;
        };
        GameListView* results = w.list(SearchResultsList);
        const QStringList onResults = popupOn(SearchResultsList, 3);
        QCOMPARE(results->selectedRowNumbers(), QList<int>{3});
        QCOMPARE(onResults.first(), QStringLiteral("PopupDeleteGamesFromClrMAMEMissFile"));
        QVERIFY(onResults.contains(QStringLiteral("Icon Size")));
        QCOMPARE(w.window.state().gamesPage.popupList, SearchResultsList);

        GamesPopupMenu* menu = w.panel()->popupMenu();
        menu->removeSelected->trigger();  // on the list the menu was opened on
        QCOMPARE(results->model()->rowCount(), 6);
        QVERIFY(buttonNamed(&w.window, "ButtonAddToWorkList")->isEnabled());

        QTest::mouseClick(buttonNamed(&w.window, "ButtonAddToWorkList"), Qt::LeftButton);
        const QStringList onWorkList = popupOn(WorkListList, 1);
        QCOMPARE(onWorkList.mid(0, 3), (QStringList{"PopupLoadListFromFile", "PopupSaveListToFile",
                                                    "PopupDeleteGamesFromClrMAMEMissFile"}));
        QCOMPARE(w.window.state().gamesPage.popupList, WorkListList);
        menu->clearList->trigger();
        QCOMPARE(w.list(WorkListList)->model()->rowCount(), 0);
        QCOMPARE(w.label("LabelWorkListTotalEntries"), QStringLiteral("(0)"));
    }

    void iconSizes() {
        GamesWindow w(someGames());
        w.search(QStringLiteral("*"));
        QTest::mouseClick(buttonNamed(&w.window, "ButtonAddToWorkList"), Qt::LeftButton);
        QTest::mouseClick(buttonNamed(&w.window, "ButtonSearchGamesPage"), Qt::LeftButton);
        w.search(QStringLiteral("*"));  // nothing left: the Work List holds every game
        GamesPopupMenu* menu = w.panel()->popupMenu();
        const std::array<int, 4> heights = {52, 36, 28, 20};
        for (const int size : {1, 0, 2, 3}) {
            w.panel()->preparePopup(WorkListList);
            menu->iconSizes[size]->trigger();
            QCOMPARE(w.window.state().gamesPage.gameIconSize, size);
            for (const GameListId id : {SearchResultsList, WorkListList}) {
                QCOMPARE(w.list(id)->iconSize(), QSize(heights[size] - 4, heights[size] - 4));
            }
            GameListView* workList = w.list(WorkListList);
            QCOMPARE(workList->visualRect(workList->model()->index(0, 0)).height(), heights[size]);
            QCOMPARE(workList->model()->index(0, 0).data(Qt::DecorationRole).value<QPixmap>().width(),
                     heights[size] - 4);
            QTest::mouseClick(buttonNamed(&w.window, "ButtonWorkListPage"), Qt::LeftButton);
            QVERIFY(workList->width() > 600);
            saveScreenshot(&w.window, QStringLiteral("games-icon-size-%1").arg(size));
        }
        // The same size again changes nothing: the icons are not even loaded again.
        const int shownBefore = w.window.icons().generation();
        menu->iconSizes[3]->trigger();
        QCOMPARE(w.window.icons().generation(), shownBefore);
    }

    void typingFindsTitles() {
        GamesWindow w(someGames());
        w.search(QStringLiteral("*"));
        GameListView* results = w.list(SearchResultsList);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                          results->visualRect(results->model()->index(0, 3)).center());  // a name cell
        QTest::keyClicks(results, QStringLiteral("ms"));
        QCOMPARE(results->currentIndex().row(), 2);
        QCOMPARE(results->currentIndex().siblingAtColumn(0).data().toString(), QStringLiteral("Ms. Pac-Man"));
    }

    // The three layouts through their buttons; both splitters dragged and a column widened are in the
    // files after the close.
    void layoutsAndTheirFiles() {
        GamesWindow w(someGames());
        w.search(QStringLiteral("*"));
        QTRY_VERIFY(!w.window.state().wizard.FirstActivationPending);
        GamesPanel* panel = w.panel();
        auto* version = w.window.findChild<QLabel*>(QStringLiteral("LabelMAMEVersionUsed"));
        QCOMPARE(version->mapTo(panel, QPoint()).x(), 350);
        const auto shownAt = [&](const char* name) {
            return w.window.findChild<QWidget*>(QLatin1String(name))->mapTo(panel, QPoint());
        };

        QTest::mouseClick(buttonNamed(&w.window, "ButtonLayout2"), Qt::LeftButton);
        QVERIFY(w.list(SearchResultsList)->isVisible() && w.list(WorkListList)->isVisible());
        QVERIFY(shownAt("PanelWorkList").x() >= shownAt("PanelSearchList").x() + 692);
        QVERIFY(!buttonNamed(&w.window, "ButtonWorkListPage")->isVisible());
        QCOMPARE(version->mapTo(panel, QPoint()).x(), 16);
        saveScreenshot(&w.window, QStringLiteral("games-layout2"));

        QTest::mouseClick(buttonNamed(&w.window, "ButtonLayout3"), Qt::LeftButton);
        QVERIFY(shownAt("PanelWorkList").y() > shownAt("PanelSearchList").y() + 100);
        saveScreenshot(&w.window, QStringLiteral("games-layout3"));
        w.window.showMaximized();
        QTRY_VERIFY(w.window.width() >= 1900);
        saveScreenshot(&w.window, QStringLiteral("games-layout3-maximised"));

        const auto drag = [](QSplitter* splitter, QPoint by) {
            QSplitterHandle* handle = splitter->handle(1);
            const QPoint from = handle->rect().center();
            QTest::mousePress(handle, Qt::LeftButton, {}, from);
            QTest::mouseMove(handle, from + by);  // the handle follows: one move, in its own coordinates
            QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->rect().center());
        };
        auto* lists = w.window.findChild<QSplitter*>(QStringLiteral("SplitSearchWorkList"));
        auto* categories = w.window.findChild<QSplitter*>(QStringLiteral("SplitterSearchListCategory"));
        const int searchHeight = lists->sizes()[0];
        const int categoriesWidth = categories->sizes()[0];
        drag(lists, QPoint(0, 60));
        drag(categories, QPoint(40, 0));
        QCOMPARE(lists->sizes()[0], searchHeight + 60);
        QCOMPARE(categories->sizes()[0], categoriesWidth + 40);
        w.list(WorkListList)->header()->resizeSection(1, 77);

        w.window.close();
        const IniDocument layouts = IniDocument::parse(w.dir.read("layouts.ini"));
        QCOMPARE(layouts.value("Layout", "Layout3_SplitterPos"), QByteArray::number(searchHeight + 60));
        QVERIFY(layouts.value("Layout", "Layout2_SplitterPos"));  // saved when layout 2 was left
        const IniDocument profile = IniDocument::parse(w.dir.read("layouts_searchresults.ini"));
        QCOMPARE(profile.value("Layout3_Category", "Width"), QByteArray::number(categoriesWidth + 40));
        QCOMPARE(w.dir.read("layouts_worklist.ini"), QByteArray("[Layout3_Width]\r\nYear=77\r\n"));
    }

    // The columns editor through its keys; "Ok" shows and stores the columns, "Cancel" drops them.
    void columnsEditor() {
        GamesWindow w(someGames());
        w.search(QStringLiteral("*"));
        QTRY_VERIFY(!w.window.state().wizard.FirstActivationPending);
        GamesPopupMenu* menu = w.panel()->popupMenu();
        const auto edit = [&](const std::function<void(QDialog*, QTreeWidget*)>& keys) {
            bool seen = false;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog && dialog->objectName() == QStringLiteral("FormColumnsEditor"));
                seen = true;
                // A failed check must not leave the modal dialog up.
                const auto closeAnyway = qScopeGuard([dialog] {
                    if (dialog->isVisible()) {
                        dialog->done(QDialog::Rejected);
                    }
                });
                keys(dialog, dialog->findChild<QTreeWidget*>(QStringLiteral("ColumnsListView")));
            });
            w.panel()->preparePopup(SearchResultsList);
            menu->customizeColumns->trigger();
            QVERIFY(seen);
        };
        edit([](QDialog* dialog, QTreeWidget* rows) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Customize Columns: Search Results - Layout 1"));
            QCOMPARE(rows->topLevelItem(3)->text(0), QStringLiteral("Game Name"));
            QTest::keyClick(rows, Qt::Key_Down);
            QTest::keyClick(rows, Qt::Key_Down, Qt::ControlModifier);  // Year to the third place
            QTest::keyClick(rows, Qt::Key_F2);
            auto* cell = rows->viewport()->findChild<QLineEdit*>();
            QVERIFY(cell);
            cell->setText(QStringLiteral("5"));
            QTest::keyClick(cell, Qt::Key_Return);  // the cell takes Enter, not the dialog
            QVERIFY(dialog->isVisible());
            QTRY_COMPARE(rows->topLevelItem(2)->text(1), QStringLiteral("10"));
            QTest::keyClick(rows, Qt::Key_Down);
            QTest::keyClick(rows, Qt::Key_Space);  // Name hidden, drawn grey
            QCOMPARE(rows->topLevelItem(3)->foreground(0).color(), QColor(0x80, 0x80, 0x80));
            saveScreenshot(dialog, QStringLiteral("games-columns-editor"));
            QTest::keyClick(rows, Qt::Key_Return);
        });
        const ColumnLayout shown = w.list(SearchResultsList)->columnLayout();
        QCOMPARE(shown.order[2], 1);
        QCOMPARE(shown.widths[1], 10);
        QVERIFY(!shown.visible[3]);
        QCOMPARE(w.list(SearchResultsList)->header()->sectionSize(1), 10);
        QVERIFY(IniDocument::parse(w.dir.read("layouts_searchresults.ini")).value("Layout1_Visible", "Name"));

        edit([](QDialog*, QTreeWidget* rows) {
            QTest::keyClick(rows, Qt::Key_F6);  // Default All, then Esc: nothing changes
            QTest::keyClick(rows, Qt::Key_Escape);
        });
        QCOMPARE(w.list(SearchResultsList)->columnLayout(), shown);
        edit([](QDialog* dialog, QTreeWidget* rows) {
            QTest::keyClick(rows, Qt::Key_F6);
            QTest::mouseClick(buttonNamed(dialog, "ButtonOk"), Qt::LeftButton);
        });
        QCOMPARE(w.list(SearchResultsList)->columnLayout(), ColumnLayout::defaults(SearchResultsList));
    }

    // The appearance dialog from the popup menu: "Copy Parent" and "Ok" reach the rows at once.
    void appearanceFromThePopup() {
        GamesWindow w(someGames());
        w.window.state().appearance.cloneGameFont.style = FontItalic;
        w.search(QStringLiteral("*"));
        GameListView* results = w.list(SearchResultsList);
        const QModelIndex clone = results->model()->index(1, 0);  // Galaga '88
        QVERIFY(clone.data(Qt::FontRole).value<QFont>().italic());
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            const auto closeAnyway = qScopeGuard([dialog] {
                if (dialog->isVisible()) {
                    dialog->done(QDialog::Rejected);
                }
            });
            QTest::mouseClick(buttonNamed(dialog, "ButtonCopyParentFont"), Qt::LeftButton);
            QTest::mouseClick(buttonNamed(dialog, "ButtonOk"), Qt::LeftButton);
        });
        w.panel()->preparePopup(SearchResultsList);
        w.panel()->popupMenu()->customizeAppearance->trigger();
        QVERIFY(seen);
        QCOMPARE(w.window.state().appearance.cloneGameFont, w.window.state().appearance.parentGameFont);
        QVERIFY(!clone.data(Qt::FontRole).value<QFont>().italic());
    }

    void pageFillsTheWindow() {
        GamesWindow w(manyGames(2000));
        w.search(QStringLiteral("all"));
        w.window.showMaximized();
        QTRY_VERIFY(w.window.width() >= 1900);
        GamesPanel* panel = w.panel();
        QTRY_COMPARE(panel->width(), w.window.width());
        QVERIFY(w.list(SearchResultsList)->width() > 1200);
        QVERIFY(panel->geometry().bottom() > w.window.height() - 60);
        saveScreenshot(&w.window, QStringLiteral("games-maximised-1920x1080"));
    }
};

QTEST_MAIN(GamesPageTest)
#include "tst_gamespage.moc"
