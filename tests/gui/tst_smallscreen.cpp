#include "GuiSupport.h"
#include "TempProgramFolder.h"
#include "app/TFormMain.h"

#include <QScreen>
#include <QTest>

// On a screen less than 720 pixels high the window is fixed, 10 pixels smaller, and keeps to the
// first layout: the layout is neither read from nor written to the settings.
class SmallScreenTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fixedWindowWithoutLayoutSelector() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().height(), 700);
        ProgramFolderWithIcons dir;
        dir.write("Kestrum.ini",
                  "[Configuration]\r\nLayoutIndex=3\r\nScreenWidth=900\r\nScreenHeight=650\r\n");
        TFormMain w(portableFolders(dir.path()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(758, 545));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!w.state().wizard.layoutSelectorShown);
        QCOMPARE(w.state().gamesPage.layout, 1);
        QVERIFY(!w.findChild<QWidget*>("ButtonLayout2")
                     ->isVisibleTo(w.findChild<QWidget*>("PanelSearchWorkList")));
        QTest::mouseClick(buttonNamed(&w, "ButtonNext"), Qt::LeftButton);  // leave the welcome page
        QTest::mouseClick(buttonNamed(&w, "ButtonExit"), Qt::LeftButton);
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(!dir.read("Kestrum.ini").contains("LayoutIndex"));
    }
};

QTEST_MAIN(SmallScreenTest)
#include "tst_smallscreen.moc"
