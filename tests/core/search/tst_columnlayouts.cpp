// The games page's layouts: the splitter file and the per-layout column profiles of both lists.
#include "LayoutFixture.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "WiredWizard.h"
#include "catalog/SetupChoices.h"
#include "common/IniDocument.h"
#include "search/ColumnLayouts.h"

#include <QFile>
#include <QTest>

namespace {

using Layouts = LayoutFixture;

}  // namespace

class ColumnLayoutsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void profilesArePerLayout() {
        Layouts l;
        l.page.layout = 1;
        l.view.shown[SearchResultsList].widths[1] = 70;
        SaveColumnLayout(l.context);
        l.page.layout = 2;
        LoadColumnLayout(l.context, true, true);  // nothing stored for layout 2: the defaults
        QCOMPARE(l.view.shown[SearchResultsList].widths[1], 50);
        SaveColumnLayout(l.context);
        l.page.layout = 1;
        LoadColumnLayout(l.context, true, true);
        QCOMPARE(l.view.shown[SearchResultsList].widths[1], 70);
        l.page.layout = 2;
        LoadColumnLayout(l.context, true, true);
        QCOMPARE(l.view.shown[SearchResultsList].widths[1], 50);
        QCOMPARE(l.searchResultsFile(),
                 QByteArray("[Layout1_Category]\r\nWidth=205\r\n[Layout1_Width]\r\nYear=70\r\n"
                            "[Layout2_Category]\r\nWidth=205\r\n"));
    }

    // The example of a Search Results profile, written and read back; the Work List's all-default
    // profile leaves no file, the Search Results' always holds the categories panel.
    void writtenAsTheSystemWritesThem() {
        Layouts l;
        l.page.layout = 2;
        l.view.categories = 240;
        ColumnLayout& shown = l.view.shown[SearchResultsList];
        shown.widths[1] = 70;
        shown.visible[10] = false;
        shown.order = {0, 1, 5, 2, 3, 4, 6, 7, 8, 9, 10, 11};  // Category moved to position 2
        SaveColumnLayout(l.context);
        QCOMPARE(l.searchResultsFile(),
                 QByteArray(
                     "[Layout2_Category]\r\nWidth=240\r\n[Layout2_Width]\r\nYear=70\r\n[Layout2_Position]\r\n"
                     "Manufacturer=3\r\nName=4\r\nClone=5\r\nCategory=2\r\n[Layout2_Visible]\r\n"
                     "SoundStatus=0\r\n"));
        QVERIFY(!l.workListFileExists());

        const ColumnLayout saved = shown;
        l.view.shown[SearchResultsList] = ColumnLayout::defaults(SearchResultsList);
        l.view.categories = 0;
        LoadColumnLayout(l.context, true, false);
        QCOMPARE(l.view.shown[SearchResultsList], saved);
        QCOMPARE(l.view.categories, 240);

        // A Work List profile appears when something differs and goes when all is default again.
        l.view.shown[WorkListList].visible[3] = false;
        SaveColumnLayout(l.context);
        QCOMPARE(l.dir.read("layouts_worklist.ini"), QByteArray("[Layout2_Visible]\r\nName=0\r\n"));
        l.view.shown[WorkListList] = ColumnLayout::defaults(WorkListList);
        SaveColumnLayout(l.context);
        QVERIFY(!l.workListFileExists());
    }

    void outOfRangePositionKeepsTheRest() {
        Layouts l;
        l.page.layout = 3;
        l.dir.write("layouts_worklist.ini",
                    "\xEF\xBB\xBF[Layout3_Position]\r\nYear=12\r\nName=1\r\n[Layout3_Width]\r\nTitle=300\r\n"
                    "[Layout3_Visible]\r\nCategory=0\r\n");
        LoadColumnLayout(l.context, false, true);
        const ColumnLayout& shown = l.view.shown[WorkListList];
        QCOMPARE(shown.order, ColumnLayout::defaults(WorkListList).order);
        QCOMPARE(shown.widths[0], 300);
        QVERIFY(!shown.visible[5]);

        // Two columns at one position, or one at position 0, fall back likewise.
        for (const char* positions : {"Year=2\r\n", "Year=0\r\nName=1\r\n"}) {
            const IniDocument file = IniDocument::parse(QByteArray("[P]\r\n") + positions);
            QCOMPARE(ReadColumnPositions(file, "P"), ColumnLayout::defaults(WorkListList).order);
        }
        const IniDocument swapped = IniDocument::parse("[P]\r\nYear=2\r\nManufacturer=1\r\n");
        QCOMPARE(ReadColumnPositions(swapped, "P")[1], 2);
    }

    void splitterPositions() {
        Layouts l;
        l.page.layout = 2;
        ApplyWindowLayout(l.context);  // no layouts.ini: half the window
        l.page.layout = 3;
        l.dir.write("layouts.ini", "[Layout]\r\nLayout2_SplitterPos=500\r\n");
        ApplyWindowLayout(l.context);  // no key for layout 3: its default
        l.page.layout = 2;
        ApplyWindowLayout(l.context);
        QCOMPARE(l.view.arranged, (QStringList{"2:384", "3:384", "2:500"}));
        l.page.layout = 3;
        l.view.searchList = 222;
        SaveSplitterPosition(l.context);
        l.page.layout = 1;
        SaveSplitterPosition(l.context);  // nothing in layout 1
        QCOMPARE(l.dir.read("layouts.ini"),
                 QByteArray("[Layout]\r\nLayout2_SplitterPos=500\r\nLayout3_SplitterPos=222\r\n"));
    }

    // The layout buttons through the wizard's own wiring: the layout left is saved first, the one
    // already chosen does nothing.
    void layoutButtons() {
        TempProgramFolder dir;
        AppState state;
        FakeDialogPort port;
        WiredWizard wired(state, port);
        wired.wizard.windowCreated(portableFolders(dir.path()), 1080);
        state.wizard.FirstActivationPending = false;
        wired.layout.shown[WorkListList].widths[2] = 99;
        wired.wizard.chooseLayout(1);
        QVERIFY(wired.layout.arranged.isEmpty());
        QVERIFY(!QFile::exists(dir.file("layouts_worklist.ini")));
        wired.wizard.chooseLayout(3);
        QCOMPARE(dir.read("layouts_worklist.ini"), QByteArray("[Layout1_Width]\r\nManufacturer=99\r\n"));
        QCOMPARE(wired.layout.arranged, QStringList{"3:384"});
        wired.layout.searchList = 250;
        wired.wizard.chooseLayout(2);
        QCOMPARE(dir.read("layouts.ini"), QByteArray("[Layout]\r\nLayout3_SplitterPos=250\r\n"));
        QCOMPARE(state.gamesPage.layout, 2);
    }
};

KESTRUM_REGISTER_TEST(ColumnLayoutsTest)
#include "tst_columnlayouts.moc"
