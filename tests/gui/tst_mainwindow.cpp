#include "GuiSupport.h"
#include "TempProgramFolder.h"
#include "app/Application.h"
#include "app/TFormMain.h"
#include "common/DialogPort.h"
#include "progress/TFormListXML.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTest>

namespace {
QString pageTitle(TFormMain& w) {
    return w.findChild<QLabel*>("LabelPageTitle")->text();
}
int currentPage(TFormMain& w) {
    return w.findChild<QStackedWidget*>("NotebookPages")->currentIndex();
}
QColor captionColour(QAbstractButton* b) {
    return b->palette().color(QPalette::ButtonText);
}
void click(TFormMain& w, const char* name) {
    QTest::mouseClick(buttonNamed(&w, name), Qt::LeftButton);
}
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsOnTheWelcomePage() {
        ProgramFolderWithIcons dir;
        TFormMain w(portableFolders(dir.path()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrum v1.0"));
        QCOMPARE(currentPage(w), 0);
        QCOMPARE(pageTitle(w), QStringLiteral("WELCOME"));
        auto* next = buttonNamed(&w, "ButtonNext");
        QCOMPARE(next->text(), QStringLiteral("START"));
        QCOMPARE(captionColour(next), QColor(0, 0, 128));
        QVERIFY(!buttonNamed(&w, "ButtonBack")->isEnabled());
        QCOMPARE(w.size(), QSize(768, 555));
        QVERIFY(w.findChild<QCheckBox*>("OperateGameROMs")->isChecked());
        QVERIFY(w.findChild<QCheckBox*>("OperateImageSnap")->isChecked());
        QVERIFY(w.findChild<QAbstractButton*>("ActionRenameFiles")->isChecked());
        QVERIFY(w.findChild<QCheckBox*>("ScanGameFilesQuickScan")->isChecked());
    }

    void startNextBackAndExit() {
        ProgramFolderWithIcons dir;
        dir.write("listfull.txt", "x\r\n");
        const QString emulator = dir.write("emu/mame", "#!/bin/sh\n");
        QFile::setPermissions(emulator, QFile::permissions(emulator) | QFileDevice::ExeOwner);
        const QString categories = dir.write("catver.ini", "[Category]\r\n");
        MessageBoxWatcher boxes;
        TFormMain w(portableFolders(dir.path()));
        w.state().emulator.iniFallbackFolders.clear();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        click(w, "ButtonNext");
        QCOMPARE(currentPage(w), 1);
        QCOMPARE(pageTitle(w), QStringLiteral("SETUP: EMULATOR AND CATEGORIES FILES"));
        QCOMPARE(buttonNamed(&w, "ButtonNext")->text(), QStringLiteral("NEXT"));
        QVERIFY(buttonNamed(&w, "ButtonBack")->isEnabled());
        QVERIFY(w.findChild<QCheckBox*>("RebuildGamesList")->isVisible());
        QCOMPARE(w.findChild<QLineEdit*>("CategoryFile")->text(), categories);  // the default category file

        // Both files invalid: two messages, the page stays.
        QTest::keyClicks(w.findChild<QLineEdit*>("MAMEExecutableFile"), dir.path() + "nothing");
        w.findChild<QLineEdit*>("CategoryFile")->clear();
        QTest::keyClicks(w.findChild<QLineEdit*>("CategoryFile"), "x");
        click(w, "ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].text, QStringLiteral("Select a valid executable file."));
        QCOMPARE(boxes.seen[1].caption, QStringLiteral("Error"));
        QCOMPARE(currentPage(w), 1);

        w.findChild<QLineEdit*>("MAMEExecutableFile")->clear();
        QTest::keyClicks(w.findChild<QLineEdit*>("MAMEExecutableFile"), emulator);
        w.findChild<QLineEdit*>("CategoryFile")->clear();
        QTest::keyClicks(w.findChild<QLineEdit*>("CategoryFile"), categories);
        click(w, "ButtonNext");
        QCOMPARE(currentPage(w), 2);
        QCOMPARE(pageTitle(w), QStringLiteral("SETUP 2: IMAGES FOLDERS"));
        QVERIFY(w.findChild<QWidget*>("PanelImagesFolders")->isVisible());

        click(w, "ButtonBack");
        QCOMPARE(currentPage(w), 1);
        QVERIFY(!w.findChild<QWidget*>("PanelImagesFolders")->isVisible());
        click(w, "ButtonBack");
        QCOMPARE(currentPage(w), 0);
        QCOMPARE(buttonNamed(&w, "ButtonNext")->text(), QStringLiteral("START"));
        QCOMPARE(captionColour(buttonNamed(&w, "ButtonNext")), QColor(0, 128, 0));
        QVERIFY(!buttonNamed(&w, "ButtonBack")->isEnabled());

        click(w, "ButtonNext");
        click(w, "ButtonExit");
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(QFile::exists(dir.file("Kestrum.ini")));
        QVERIFY(dir.read("Kestrum.ini").contains("MAMEFile=" + emulator.toUtf8() + "\r\n"));
    }

    void closingOnTheWelcomePageSavesNothing() {
        ProgramFolderWithIcons dir;
        TFormMain w(portableFolders(dir.path()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        click(w, "ButtonExit");
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(!QFile::exists(dir.file("Kestrum.ini")));
    }

    void settingsAreRestoredAtFirstShowing() {
        ProgramFolderWithIcons dir;
        dir.write("Kestrum.ini",
                  "[Configuration]\r\nScreenWidth=900\r\nScreenHeight=600\r\n[Emulator]\r\n"
                  "DestinationFolderToMoveFiles=/media/keep\r\nScanGameFilesQuickScan=0\r\n"
                  "MoveDeletedFilesToTrash=1\r\n[File Type]\r\nGameCFG=1\r\n");
        TFormMain w(portableFolders(dir.path()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(900, 600));
        QCOMPARE(w.findChild<QLineEdit*>("MoveFilesToFolder")->text(), QStringLiteral("/media/keep"));
        QVERIFY(!w.findChild<QCheckBox*>("ScanGameFilesQuickScan")->isChecked());
        auto* trash = w.findChild<QCheckBox*>("MoveDeletedFilesToTrash");
        QVERIFY(trash->isChecked());
        trash->click();
        QVERIFY(!w.state().setup.moveDeletedFilesToTrash);
        QVERIFY(w.findChild<QCheckBox*>("OperateGameCfg")->isChecked());
        QVERIFY(!w.state().games.LoadedWithQuickScan);
    }

    // After every page change the first box of the page has the keyboard focus (NEXT where there is
    // none), never EXIT; Enter on a setup page presses NEXT; Enter in the category text does not.
    void focusFollowsThePageAndEnterPressesNext() {
        ProgramFolderWithIcons dir;
        const QString emulator = dir.write("emu/mame", "#!/bin/sh\n");
        QFile::setPermissions(emulator, QFile::permissions(emulator) | QFileDevice::ExeOwner);
        const QString categories = dir.write("catver.ini", "[Category]\r\npacman=Maze\r\n[VerAdded]\r\n");
        MessageBoxWatcher boxes;  // answers No to creating mame.ini and to every retry
        TFormMain w(portableFolders(dir.path()));
        w.state().emulator.iniFallbackFolders.clear();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        // The window's focus child: the widget that has the keys whenever the window is active.
        const auto focused = [&w] { return w.focusWidget() ? w.focusWidget()->objectName() : QString(); };
        const auto enter = [&w] { QTest::keyClick(w.focusWidget(), Qt::Key_Return); };

        click(w, "ButtonNext");
        QCOMPARE(focused(), QStringLiteral("MAMEExecutableFile"));
        QTest::keyClicks(w.findChild<QLineEdit*>("MAMEExecutableFile"), emulator);
        QCOMPARE(w.findChild<QLineEdit*>("CategoryFile")->text(), categories);
        enter();
        QTRY_COMPARE(currentPage(w), 2);
        QCOMPARE(focused(), QStringLiteral("TitleDir"));
        enter();
        QCOMPARE(currentPage(w), 3);
        QCOMPARE(focused(), QStringLiteral("OperateGameROMs"));
        enter();
        QCOMPARE(currentPage(w), 4);
        QCOMPARE(focused(), QStringLiteral("ActionRenameFiles"));
        enter();
        QTRY_COMPARE(currentPage(w), 5);
        QCOMPARE(focused(), QStringLiteral("CategoryText"));
        QVERIFY(w.findChild<QLabel*>("LabelNoGamesList")->isVisible());  // the emulator printed no list
        enter();                                                         // the category search's, not NEXT's
        QCOMPARE(currentPage(w), 5);
        click(w, "ButtonBack");
        QCOMPARE(focused(), QStringLiteral("ActionRenameFiles"));
        for (int i = 0; i < 4; ++i) {
            click(w, "ButtonBack");
            QVERIFY2(focused() != QStringLiteral("ButtonExit"), qPrintable(QString::number(currentPage(w))));
        }
        QCOMPARE(currentPage(w), 0);
        QCOMPARE(focused(), QStringLiteral("ButtonNext"));  // the welcome page has no box
    }

    // The title is exactly the caption: no application display name is set for the desktop to
    // add, and tooltips come after 200 ms.
    void titleAndTooltips() {
        prepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        QCoreApplication::setApplicationName(QStringLiteral("renamed"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("renamed"));  // none of its own
        QCoreApplication::setApplicationName(QStringLiteral("kestrum"));
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 200);
        ProgramFolderWithIcons dir;
        TFormMain w(portableFolders(dir.path()));
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrum v1.0"));
    }

    // A question asked while the wait window is up is its child and stays on top: the wait
    // window never covers it.
    void questionsAppearInFrontOfTheWaitWindow() {
        ProgramFolderWithIcons dir;
        MessageBoxWatcher boxes;
        TFormMain w(portableFolders(dir.path()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* wait = w.findChild<TFormListXML*>();
        wait->show();
        QVERIFY(!w.dialogs().askYesNo("Error", "Would you like to retry ?", MessageIcon::Warning));
        wait->close();
        w.dialogs().showMessage("Error", "after", MessageIcon::Warning);
        QCOMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].parent, static_cast<QWidget*>(wait));
        QVERIFY(boxes.seen[0].staysOnTop);
        QCOMPARE(boxes.seen[1].parent, static_cast<QWidget*>(&w));
    }

    // A missing icon is named in a message for each list that wanted it, and leaves an empty image
    // in its place: the BIOS icon never shows for clones.
    void missingIconKeepsEveryOtherIndex() {
        ProgramFolderWithIcons dir({"game_clone"});
        MessageBoxWatcher boxes;
        TFormMain w(portableFolders(dir.path()));
        const QString text =
            "    Failed to load icon \"game_clone.ico\".\r\nFile \"icons\\game_clone.ico\" could not be "
            "found or it "
            "doesn't have the 16x16 size. Contact the author about this.";
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].text, QString(text).replace("\r\n", "\n"));
        const ImageLists& icons = w.icons();
        QCOMPARE(icons.games().size(), 18);
        QCOMPARE(icons.gameIcons().size(), 8);
        const QImage clone = icons.gameIcons()[1].toImage();
        QCOMPARE(clone.pixelColor(8, 8).alpha(), 0);
        QVERIFY(icons.gameIcons()[2].toImage().pixelColor(8, 8).alpha() > 0);  // the BIOS icon at 2
        QCOMPARE(icons.games()[8].toImage(), icons.gameIcons()[2].toImage());  // "game_bios" in both
    }

    void setupControls() {
        ProgramFolderWithIcons dir;
        TFormMain w(portableFolders(dir.path()));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Clear All and Select All touch only the seventeen image boxes.
        buttonNamed(&w, "ButtonClearAllImageCategories")->click();
        QVERIFY(!w.state().setup.fileTypeChecked[ImageSnap]);
        QVERIFY(w.state().setup.fileTypeChecked[GameROMs]);
        QVERIFY(!w.findChild<QCheckBox*>("OperateImageSnap")->isChecked());
        buttonNamed(&w, "ButtonSelectAllImageCategories")->click();
        QVERIFY(w.findChild<QCheckBox*>("OperateImageSelect")->isChecked());
        QVERIFY(!w.findChild<QCheckBox*>("OperateGameCfg")->isChecked());

        // The images tabs: the chosen tab button is bold and 2 pixels taller; choosing it again does nothing.
        auto* tab1 = buttonNamed(&w, "ButtonImages1");
        auto* tab2 = buttonNamed(&w, "ButtonImages2");
        const QRect tab1Chosen = tab1->geometry();
        tab1->click();
        QCOMPARE(tab1->geometry(), tab1Chosen);
        tab2->click();
        QCOMPARE(w.state().wizard.imagesTab, 1);
        QVERIFY(tab2->font().bold());
        QVERIFY(!tab1->font().bold());
        QCOMPARE(tab1->height(), tab1Chosen.height() - 2);
        QCOMPARE(tab2->height(), tab1Chosen.height());
        // The boxes of both tabs start at one place, so they do not jump when the tabs switch.
        auto* panel = w.findChild<QWidget*>("PanelImagesFolders");
        QCOMPARE(w.findChild<QLineEdit*>("PCBDir")->mapTo(panel, QPoint()).x(),
                 w.findChild<QLineEdit*>("SnapDir")->mapTo(panel, QPoint()).x());

        // The rebuild box turns bold while checked.
        auto* rebuild = w.findChild<QCheckBox*>("RebuildGamesList");
        rebuild->setChecked(true);
        QVERIFY(rebuild->font().bold());
        QVERIFY(w.state().setup.rebuildGamesListChecked);

        auto* move = w.findChild<QAbstractButton*>("ActionMoveFiles");
        move->click();
        QCOMPARE(w.state().setup.operation, 4);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
