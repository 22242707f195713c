// "Customize Columns": the rules of editing its rows and what "Ok" writes.
#include "LayoutFixture.h"
#include "TestMain.h"
#include "catalog/SetupChoices.h"
#include "search/ColumnsEditor.h"

#include <QFile>
#include <QTest>

namespace {

QString sizes(const ColumnsEditor& editor) {
    QStringList texts;
    for (const ColumnRow& row : editor.rows()) {
        texts.append(QStringLiteral("%1:%2%3").arg(row.column).arg(row.size, row.checked ? "" : "-"));
    }
    return texts.join(u' ');
}

// Editing in layout 2.
struct Editing : LayoutFixture {
    Editing() : LayoutFixture(2) {}
};

}  // namespace

class ColumnsEditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsFollowTheList() {
        ColumnLayout current = ColumnLayout::defaults(WorkListList);
        current.order = {0, 5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11};
        current.visible[9] = false;
        current.widths[5] = 222;
        const ColumnsEditor editor(WorkListList, current);
        QCOMPARE(sizes(editor),
                 QStringLiteral("0:292 5:222 1:60 2:130 3:90 4:90 6:105 7:21 8:21 9:21- 10:21 11:21"));
        QCOMPARE(FillEditorRows(EditorRows::Defaults, current, WorkListList),
                 FillEditorRows(EditorRows::Current, ColumnLayout::defaults(WorkListList), WorkListList));
    }

    void rulesOfEditing() {
        ColumnsEditor editor(SearchResultsList, ColumnLayout::defaults(SearchResultsList));
        // The first row stays first and shown.
        editor.select(1);
        editor.moveUp();
        editor.select(0);
        editor.moveDown();
        editor.setChecked(0, false);
        QCOMPARE(editor.rows()[0], (ColumnRow{0, QStringLiteral("192"), true}));
        QCOMPARE(editor.rows()[1].column, 1);
        editor.select(2);
        editor.moveUp();
        QCOMPARE(editor.rows()[1].column, 2);
        QCOMPARE(editor.selected(), 1);

        // Sizes: 5 becomes 10, non-numbers are refused, status columns are not edited.
        QVERIFY(editor.editSize(1, QStringLiteral("5")));
        QCOMPARE(editor.rows()[1].size, QStringLiteral("10"));
        QVERIFY(!editor.editSize(1, QStringLiteral("abc")));
        QVERIFY(!editor.editSize(1, QString()));
        QCOMPARE(editor.rows()[1].size, QStringLiteral("10"));
        QVERIFY(!editor.editSize(7, QStringLiteral("40")));
        editor.select(7);
        editor.defaultSize();
        editor.changeSize(-1);  // "-" works on every row
        QCOMPARE(editor.rows()[7].size, QStringLiteral("20"));
        editor.select(1);
        editor.resetSize();
        QCOMPARE(editor.rows()[1].size, QStringLiteral("100"));  // Manufacturer's width in the list
    }

    // "Default All" then "Ok": nothing written, the columns back in place; the next save of the
    // columns leaves no entries for that layout.
    void defaultAllWritesNothing() {
        Editing e;
        e.dir.write("layouts_worklist.ini", "[Layout2_Width]\r\nYear=80\r\n[Layout1_Visible]\r\nName=0\r\n");
        e.view.shown[WorkListList].widths[1] = 80;
        ColumnsEditor editor(WorkListList, e.view.shown[WorkListList]);
        editor.reload(EditorRows::Defaults);
        QVERIFY(!WriteEditorLayout(e.context, WorkListList, editor.rows()));
        QCOMPARE(e.view.shown[WorkListList], ColumnLayout::defaults(WorkListList));
        QCOMPARE(e.dir.read("layouts_worklist.ini"),
                 QByteArray("[Layout2_Width]\r\nYear=80\r\n[Layout1_Visible]\r\nName=0\r\n"));
        SaveColumnLayout(e.context);
        QCOMPARE(e.dir.read("layouts_worklist.ini"), QByteArray("[Layout1_Visible]\r\nName=0\r\n"));
    }

    // What "Ok" writes: a width below 0 as it is, no width for a status column, and the list shown
    // from the file at once.
    void okWritesAndShows() {
        Editing e;
        ColumnsEditor editor(SearchResultsList, ColumnLayout::defaults(SearchResultsList));
        editor.select(1);
        editor.changeSize(-60);
        editor.select(9);
        editor.changeSize(-5);
        editor.moveUp();
        editor.setChecked(8, false);
        QVERIFY(WriteEditorLayout(e.context, SearchResultsList, editor.rows()));
        QCOMPARE(e.dir.read("layouts_searchresults.ini"),
                 QByteArray("[Layout2_Width]\r\nYear=-10\r\n[Layout2_Position]\r\nColorStatus=8\r\n"
                            "EmulationStatus=9\r\n[Layout2_Visible]\r\nColorStatus=0\r\n"));
        const ColumnLayout& shown = e.view.shown[SearchResultsList];
        QCOMPARE(shown.widths[1], -10);
        QCOMPARE(shown.widths[9], 21);
        QCOMPARE(shown.order[8], 9);
        QVERIFY(!shown.visible[9]);
        QCOMPARE(e.view.categories, kCategoriesPanelMinWidth);  // read again with the profile
    }
};

KESTRUM_REGISTER_TEST(ColumnsEditorTest)
#include "tst_columnseditor.moc"
