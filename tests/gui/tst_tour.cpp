#include "FakeEmulator.h"
#include "GuiSupport.h"
#include "TempProgramFolder.h"
#include "app/TFormMain.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

// Walks the wizard through all its pages as a user would and, when KESTRUM_SCREENSHOTS names a
// folder, saves a picture of every page and of every message box met on the way.
class TourTest : public QObject {
    Q_OBJECT
private:
    TFormMain* m_window = nullptr;
    MessageBoxWatcher* m_boxes = nullptr;

    int page() const { return m_window->findChild<QStackedWidget*>("NotebookPages")->currentIndex(); }
    void shoot(const QString& suffix = {}) {
        const QString title = m_window->findChild<QLabel*>("LabelPageTitle")->text();
        saveScreenshot(m_window, QStringLiteral("page%1-%2%3").arg(page()).arg(title, suffix));
        m_boxes->screenshotPrefix = QStringLiteral("page%1-message").arg(page());
    }
    void press(const char* name) { QTest::mouseClick(buttonNamed(m_window, name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        auto* edit = m_window->findChild<QLineEdit*>(name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

private Q_SLOTS:
    void walkTheWizard() {
        ProgramFolderWithIcons dir;
        dir.write("listfull.txt", "-1\r\nMAME v0.251 (Jan 01 2023)\r\n");
        FakeEmulator fake(dir);
        fake.set("LISTXML", testDataPath("emulator/listxml.xml"));
        const QString emulator = fake.path();
        dir.write("emulator/mame.ini",
                  "rompath roms;/media/arcade/roms\ncfg_directory cfg\nsnapshot_directory snap\n");
        dir.write(
            "catver.ini",
            "[Category]\r\npuckman=Maze / Collect\r\nneogeo=System / BIOS\r\ncubeqst=Shooter / Laserdisc\r\n"
            "[VerAdded]\r\npuckman=.37b\r\n");
        MessageBoxWatcher boxes;
        m_boxes = &boxes;
        TFormMain window(portableFolders(dir.path()));
        window.state().emulator.iniFallbackFolders.clear();  // only the emulator's own folder
        m_window = &window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(768, 555));
        shoot();

        press("ButtonNext");
        QCOMPARE(page(), 1);
        shoot();
        type("MAMEExecutableFile", dir.path() + "missing-mame");
        type("CategoryFile", dir.path() + "missing.ini");
        press("ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(page(), 1);

        type("MAMEExecutableFile", emulator);
        type("CategoryFile", dir.file("catver.ini"));
        press("ButtonNext");
        QCOMPARE(page(), 2);
        QCOMPARE(window.findChild<QLineEdit*>("SnapDir")->text(), fake.folder() + "snap/");
        shoot(QStringLiteral("-tab1"));
        buttonNamed(&window, "ButtonImages2")->click();
        shoot(QStringLiteral("-tab2"));

        press("ButtonNext");
        QCOMPARE(page(), 3);
        shoot();
        buttonNamed(&window, "ButtonClearAllImageCategories")->click();
        window.findChild<QCheckBox*>("OperateGameROMs")->setChecked(false);
        const int before = boxes.seen.size();
        press("ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), before + 1);
        QCOMPARE(boxes.seen.last().caption, QStringLiteral("No Selection"));
        buttonNamed(&window, "ButtonSelectAllImageCategories")->click();
        window.findChild<QCheckBox*>("OperateGameROMs")->setChecked(true);

        press("ButtonNext");
        QCOMPARE(page(), 4);
        shoot();
        buttonNamed(&window, "ActionMoveFiles")->click();
        press("ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), before + 2);
        QCOMPARE(boxes.seen.last().caption, QStringLiteral("Action Type: Move Files"));
        type("MoveFilesToFolder", QStringLiteral("keep"));
        press("ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), before + 3);
        QCOMPARE(page(), 4);
        type("MoveFilesToFolder", QStringLiteral("/media/arcade/keep"));

        press("ButtonNext");
        QCOMPARE(page(), 5);
        QCOMPARE(window.state().games.FullGamesList.size(), 7);
        QVERIFY(window.findChild<QLabel*>("LabelMAMEVersionUsed")->text().startsWith("MAME v0.251 ("));
        QCOMPARE(window.findChild<QLabel*>("LabelCategoriesListTotal")->text(),
                 QStringLiteral("3 categories in list"));
        shoot();
        press("ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), before + 4);
        QCOMPARE(boxes.seen.last().caption, QStringLiteral("No Games Selected"));
        QCOMPARE(page(), 5);

        type("CategoryText", QStringLiteral("all"));
        press("ButtonSearchCategoryText");
        QCOMPARE(window.findChild<QLabel*>("LabelSearchResultsTotal")->text(),
                 QStringLiteral("7 games in list"));
        shoot(QStringLiteral("-results"));
        press("ButtonAddToWorkList");
        QCOMPARE(window.findChild<QLabel*>("LabelWorkListTotal")->text(), QStringLiteral("7 games in list"));
        shoot(QStringLiteral("-worklist"));
        press("ButtonNext");
        QCOMPARE(page(), 6);
        QCOMPARE(buttonNamed(&window, "ButtonNext")->text(), QStringLiteral("FINISH"));
        shoot();

        press("ButtonBack");
        QCOMPARE(page(), 5);
        QCOMPARE(buttonNamed(&window, "ButtonNext")->text(), QStringLiteral("NEXT"));

        // Rename Files on the Work List: one ROM set and one snapshot are there.
        press("ButtonBack");
        press("ButtonBack");
        buttonNamed(&window, "ActionRenameFiles")->click();
        QDir().mkpath(fake.folder() + "snap");
        QFile archive(fake.folder() + "snap/snap.zip");
        QVERIFY(archive.open(QIODevice::WriteOnly) && archive.write("PK\5\6", 4) == 4);  // not a real one
        archive.close();
        press("ButtonNext");
        press("ButtonNext");
        press("ButtonNext");
        QCOMPARE(page(), 6);
        auto* folders = window.findChild<QTreeWidget*>("FoldersSettings");
        const QList<QTreeWidgetItem*> snapRows = folders->findItems("Game Snapshot Folder", Qt::MatchExactly);
        QCOMPARE(snapRows.size(), 1);
        QVERIFY(!snapRows[0]->icon(1).isNull());  // the archive is there
        QVERIFY(folders->findItems("Title Snapshot Folder", Qt::MatchExactly)[0]->icon(1).isNull());
        shoot(QStringLiteral("-search-folders-with-archive"));
        QDir().mkpath(fake.folder() + "roms");
        QFile::copy(testDataPath("emulator/listxml.xml"), fake.folder() + "roms/puckman.zip");
        QDir().mkpath(fake.folder() + "snap");
        QFile::copy(testDataPath("emulator/listxml.xml"), fake.folder() + "snap/puckman.png");
        // The preview lists the set and the snapshot FINISH will rename, and renames nothing.
        press("ButtonPreview");
        auto* preview = window.findChild<QDialog*>("FormPreview");
        QVERIFY(preview);
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        saveScreenshot(preview, QStringLiteral("page6-preview"));
        // The summary grows with its wrapped lines (the unreadable archive's is long): none is hidden.
        const auto* summary = preview->findChild<QTextEdit*>("PreviewSummary");
        QVERIFY(summary->toPlainText().contains("snap.zip: not rewritten"));
        QCOMPARE(summary->verticalScrollBar()->maximum(), 0);
        QCOMPARE(preview->findChild<QPlainTextEdit*>("PreviewList")->toPlainText(),
                 fake.folder() + "roms/puckman.zip: renamed to puckman.zip.krm\n" + fake.folder() +
                     "snap/puckman.png: renamed to puckman.png.krm");
        QTest::mouseClick(buttonNamed(preview, "ButtonClose"), Qt::LeftButton);
        QTRY_VERIFY(!window.findChild<QDialog*>("FormPreview"));
        QVERIFY(QFile::exists(fake.folder() + "roms/puckman.zip"));
        const int seen = boxes.seen.size();
        // While the job's closing message is up the job is still running: nothing else may start.
        QStringList enabledDuringJob;
        bool stopShownAtClosing = true;
        boxes.onSeen = [&](QMessageBox*) {
            for (const char* name : {"ButtonBack", "ButtonNext", "ButtonExit"}) {
                enabledDuringJob.append(name +
                                        QStringLiteral("=%1").arg(buttonNamed(&window, name)->isEnabled()));
            }
            stopShownAtClosing =
                buttonNamed(window.findChild<QWidget*>("FormLog"), "ButtonStop")->isVisible();
        };
        // While the job runs its log shows Stop; by the closing message the job has ended, and Stop is gone.
        bool stopShownDuringJob = false;
        QTimer::singleShot(0, this, [&] {
            auto* log = window.findChild<QWidget*>("FormLog");
            stopShownDuringJob = log && log->isVisible() && buttonNamed(log, "ButtonStop")->isVisible();
            saveScreenshot(log, QStringLiteral("page6-log-during-job"));
        });
        press("ButtonNext");
        QTRY_COMPARE(boxes.seen.size(), seen + 1);
        boxes.onSeen = nullptr;
        QVERIFY(stopShownDuringJob);
        QVERIFY(!stopShownAtClosing);
        QCOMPARE(enabledDuringJob, (QStringList{"ButtonBack=0", "ButtonNext=0", "ButtonExit=0"}));
        QCOMPARE(boxes.seen.last().text,
                 QStringLiteral("All changes completed!\nYou may also close the log window when ready..."));
        QVERIFY(QFile::exists(fake.folder() + "roms/puckman.zip.krm"));
        auto* log = window.findChild<QWidget*>("FormLog");
        QVERIFY(log && log->isVisible());
        saveScreenshot(log, QStringLiteral("page6-log-after-rename"));
        const QScrollBar* scroll = log->findChild<QPlainTextEdit*>()->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        QCOMPARE(scroll->value(), scroll->maximum());  // the log shows its newest lines
        shoot(QStringLiteral("-after-job"));
        QVERIFY(buttonNamed(&window, "ButtonNext")->isEnabled());
        press("ButtonExit");
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(dir.read("Kestrum.ini").contains("DestinationFolderToMoveFiles=/media/arcade/keep\r\n"));
    }
};

QTEST_MAIN(TourTest)
#include "tst_tour.moc"
