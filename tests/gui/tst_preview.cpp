// The Finish page's Preview over a small collection: the window lists what FINISH would do, saves
// that list where the user says, and neither it nor the save changes a file of the collection. A job
// FINISH would refuse shows FINISH's own message instead.
#include "GuiSupport.h"
#include "TempProgramFolder.h"
#include "app/TFormMain.h"
#include "app/dialogs/TFormPreview.h"
#include "processing/JobPreview.h"
#include "processing/ProcessingJob.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <sys/stat.h>

namespace {

using Tree = QMap<QString, QByteArray>;

// Every file and folder under `root`, each file with its permission bits and contents.
Tree treeOf(const QString& root) {
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size());
        if (it.fileInfo().isDir()) {
            tree.insert(relative + u'/', {});
            continue;
        }
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
        tree.insert(relative, QByteArray::number(int(file.permissions()), 16) + ':' + bytes);
    }
    return tree;
}

TGameInfo game(const QString& name) {
    TGameInfo info;
    info.Name = name;
    info.Title = name;
    return info;
}

// pacman's set and snapshot are there to rename, galaga's set is protected and its snapshot lies in
// the category archive; dkong is not on the Work List.
struct Collection {
    ProgramFolderWithIcons dir;
    QString root = dir.makeFolder(QStringLiteral("mame"));

    Collection() {
        dir.write("mame/roms/pacman.zip", "pacman set");
        dir.write("mame/roms/galaga.zip", "galaga set");
        dir.write("mame/roms/dkong.zip", "dkong set");
        dir.write("mame/snap/pacman.png", "pacman snap");
        ::chmod(QFile::encodeName(root + "roms/galaga.zip").constData(), 0444);
        QProcess python;
        python.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, zipfile\n"
                                     "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                                     "    z.writestr('galaga.png', 'galaga shot')\n"
                                     "    z.writestr('dkong.png', 'dkong shot')\n"),
                      root + "snap/snap.zip"});
        python.waitForFinished(30000);
        if (python.exitCode() != 0) {
            qFatal("python3 could not write the archive: %s", python.readAllStandardError().constData());
        }
    }

    // The state the Finish page shows after the wizard's pages: Rename Files on ROM sets and snapshots.
    void choose(TFormMain& window, const QStringList& games) const {
        AppState& state = window.state();
        state.emulator.folders.RomFolders = {root + "roms/"};
        state.emulator.folders.ImageFolders[ImageSnap - kFirstImageType] = root + "snap/";
        state.setup.operation = RenameFiles;
        state.setup.fileTypeChecked.fill(false);
        state.setup.fileTypeChecked[GameROMs] = true;
        state.setup.fileTypeChecked[ImageSnap] = true;
        state.gamesPage.WorkList.clear();
        for (const QString& name : games) {
            state.gamesPage.WorkList.append(game(name));
        }
        state.wizard.page = WizardPage::Games;
        state.texts.backEnabled = true;
        window.ButtonNextClick(+1);  // the wizard's own arrival on the Finish page
    }
};

// A click delivered as the window system delivers it: a window blocked by a modal one never sees it
// (QTest's clicks on a widget go straight to the widget).
void clickAsTheWindowSystem(QWidget* widget) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private:
    static QDialog* previewOf(TFormMain& window) { return window.findChild<QDialog*>("FormPreview"); }

private Q_SLOTS:
    void listsTheJobSavesTheListAndChangesNothing() {
        Collection collection;
        const QString root = collection.root;
        const Tree before = treeOf(root);
        MessageBoxWatcher boxes;
        TFormMain window(portableFolders(collection.dir.path()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        collection.choose(window, {"pacman", "galaga"});
        QCOMPARE(window.findChild<QStackedWidget*>("NotebookPages")->currentIndex(), 6);

        // The button sits whole beside the foot note, under the folders list.
        auto* button = buttonNamed(&window, "ButtonPreview");
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->toolTip(), QStringLiteral("Show every file this job would change"));
        const QWidget* page = button->parentWidget();
        QVERIFY(page->rect().contains(button->geometry()));
        QVERIFY(button->width() >= button->sizeHint().width());
        for (const char* neighbour : {"FoldersSettings", "LabelFinishWizardFootNote"}) {
            QVERIFY2(!button->geometry().intersects(page->findChild<QWidget*>(neighbour)->geometry()),
                     neighbour);
        }
        saveScreenshot(&window, QStringLiteral("preview-finish-page"));
        window.resize(1180, 760);
        QVERIFY(page->rect().contains(button->geometry()));
        saveScreenshot(&window, QStringLiteral("preview-finish-page-1180x760"));

        const JobPreview expected = PreviewJob(window.state().gamesPage.WorkList, window.state().setup,
                                               window.state().emulator.folders);
        QTest::mouseClick(button, Qt::LeftButton);
        QDialog* preview = previewOf(window);
        QVERIFY(preview);
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        QVERIFY(!QApplication::overrideCursor());  // the busy pointer is gone again
        QCOMPARE(preview->windowTitle(), QStringLiteral("Preview: Rename Files"));
        QCOMPARE(preview->windowModality(), Qt::WindowModal);
        QCOMPARE(preview->parentWidget(), &window);
        saveScreenshot(preview, QStringLiteral("preview-window"));

        auto* list = preview->findChild<QPlainTextEdit*>("PreviewList");
        QVERIFY(list && list->isReadOnly());
        QCOMPARE(list->toPlainText().split(u'\n'),
                 (QStringList{root + "roms/pacman.zip: renamed to pacman.zip.krm",
                              root + "snap/pacman.png: renamed to pacman.png.krm",
                              root + "roms/galaga.zip: not changed (no write permission)",
                              "snap.zip: galaga.png: renamed to galaga.png.krm"}));
        auto* summary = preview->findChild<QTextEdit*>("PreviewSummary");
        QVERIFY(summary && summary->isReadOnly());
        QCOMPARE(summary->toPlainText().split(u'\n'), previewSummary(expected));
        QCOMPARE(summary->verticalScrollBar()->maximum(), 0);  // every summary line in sight
        QVERIFY(summary->toPlainText().contains(root + "snap/snap.zip: 1 entries, archive rewritten"));
        QCOMPARE(preview->findChild<QLabel*>("LabelPreviewList")->text(),
                 QStringLiteral("Files, folders and archive entries: 4"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));

        // The main window takes no input while the window is up: the Work List stays as previewed.
        QVERIFY(buttonNamed(&window, "ButtonBack")->isEnabled());
        clickAsTheWindowSystem(buttonNamed(&window, "ButtonBack"));
        QCOMPARE(window.findChild<QStackedWidget*>("NotebookPages")->currentIndex(), 6);

        // "Save List...": the file dialog and the message open in front of the preview window.
        const QString saved = collection.dir.file("preview list.txt");
        QWidget* dialogParent = nullptr;
        QString dialogTitle;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            dialogParent = dialog->parentWidget();
            dialogTitle = dialog->windowTitle();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(saved);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(buttonNamed(preview, "ButtonSaveList"), Qt::LeftButton);
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(dialogParent, static_cast<QWidget*>(preview));
        QCOMPARE(dialogTitle, QStringLiteral("Save List"));
        QCOMPARE(boxes.seen[0].caption, QStringLiteral("Save List"));
        QVERIFY2(boxes.seen[0].text.contains(saved), qPrintable(boxes.seen[0].text));
        QCOMPARE(boxes.seen[0].parent, static_cast<QWidget*>(preview));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), previewText(expected));
        QVERIFY(preview->isVisible());  // saving leaves the window up

        QTest::keyClick(list, Qt::Key_Escape);
        QTRY_VERIFY(!previewOf(window));  // closed and gone
        QCOMPARE(treeOf(root), before);
        QCOMPARE(window.state().gamesPage.WorkList.size(), 2);

        // Enter closes too (Close is the default button); each preview sees the disk as it is now.
        QFile::remove(root + "snap/pacman.png");
        QTest::mouseClick(button, Qt::LeftButton);
        preview = previewOf(window);
        QVERIFY(preview);
        list = preview->findChild<QPlainTextEdit*>("PreviewList");
        QVERIFY(!list->toPlainText().contains("pacman.png"));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!previewOf(window));
        QCOMPARE(boxes.seen.size(), 1);
        clickAsTheWindowSystem(buttonNamed(&window, "ButtonBack"));  // and now the window takes it
        QCOMPARE(window.findChild<QStackedWidget*>("NotebookPages")->currentIndex(), 5);
    }

    void refusedAsFinishRefuses_data() {
        QTest::addColumn<QStringList>("games");
        QTest::addColumn<bool>("onlyCfg");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::newRow("empty Work List")
            << QStringList() << false << "No Games Selected" << int(QMessageBox::Warning);
        QTest::newRow("nothing to rename")
            << QStringList{"pacman"} << true << "Rename Files" << int(QMessageBox::Critical);
    }

    void refusedAsFinishRefuses() {
        QFETCH(QStringList, games);
        QFETCH(bool, onlyCfg);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        Collection collection;
        const Tree before = treeOf(collection.root);
        MessageBoxWatcher boxes;
        QList<int> icons;
        boxes.onSeen = [&icons](QMessageBox* box) { icons.append(int(box->icon())); };
        TFormMain window(portableFolders(collection.dir.path()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        collection.choose(window, {"pacman"});
        QCOMPARE(window.findChild<QStackedWidget*>("NotebookPages")->currentIndex(), 6);
        window.state().gamesPage.WorkList.clear();
        for (const QString& name : games) {
            window.state().gamesPage.WorkList.append(game(name));
        }
        if (onlyCfg) {
            window.state().setup.fileTypeChecked.fill(false);
            window.state().setup.fileTypeChecked[GameCfg] = true;
        }
        SetupChoices setup = window.state().setup;
        const std::optional<JobRefusal> finish = checkJobStart(window.state().gamesPage.WorkList, setup);
        QVERIFY(finish);

        QTest::mouseClick(buttonNamed(&window, "ButtonPreview"), Qt::LeftButton);
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].caption, caption);
        QCOMPARE(boxes.seen[0].caption, finish->caption);
        QCOMPARE(boxes.seen[0].text, QtDialogPort::displayText(finish->text));
        QCOMPARE(icons, QList<int>{icon});
        QVERIFY(!previewOf(window));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(treeOf(collection.root), before);
    }

    // A set other games need is named on the Finish page and in the preview, and FINISH asks first:
    // No renames nothing. A list without dependencies says the check is unavailable.
    void warnsAboutSetsOtherGamesNeed() {
        Collection collection;
        const Tree before = treeOf(collection.root);
        MessageBoxWatcher boxes;
        TFormMain window(portableFolders(collection.dir.path()));
        window.state().games.FullGamesList = {game("pacman"), game("galaga"), game("dkong"), game("dkongjr")};
        window.state().games.dependencies = DependencyTable{{"dkongjr", {"dkong", {}}}};
        window.resize(768, 555);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        collection.choose(window, {"pacman", "dkong"});
        auto* caption = window.findChild<QLabel*>("LabelNeededSets");
        auto* sets = window.findChild<QListWidget*>("NeededSetsList");
        QVERIFY(caption->isVisible() && sets->isVisible());
        QCOMPARE(caption->text(),
                 QStringLiteral("Sets other games need: 1 games that are not in the Work List "
                                "need sets this job will change."));
        QCOMPARE(sets->count(), 1);
        QCOMPARE(sets->item(0)->text(), QStringLiteral("dkong: needed by 1 games not in the Work List"));
        QVERIFY(buttonNamed(&window, "ButtonPreview")->isVisible());  // the page still fits its window
        saveScreenshot(&window, QStringLiteral("page6-needed-sets"));

        QTest::mouseClick(buttonNamed(&window, "ButtonPreview"), Qt::LeftButton);
        QTRY_VERIFY(previewOf(window));
        QVERIFY(previewOf(window)
                    ->findChild<QPlainTextEdit*>("PreviewList")
                    ->toPlainText()
                    .contains(
                        collection.root +
                        "roms/dkong.zip: renamed to dkong.zip.krm; needed by 1 games not in the Work List"));
        previewOf(window)->close();
        QTRY_VERIFY(!previewOf(window));

        QTest::mouseClick(buttonNamed(&window, "ButtonNext"), Qt::LeftButton);
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].caption, QStringLiteral("Sets Other Games Need"));
        QCOMPARE(boxes.seen[0].text,
                 QStringLiteral("1 games that are not in the Work List need sets this job "
                                "will change. Go on?"));
        QCOMPARE(treeOf(collection.root), before);

        QVERIFY(!window.findChild<QLabel*>("LabelDeletesGoToTrash")->isVisible());
        window.state().games.dependencies.reset();
        collection.choose(window, {"pacman", "dkong"});
        QCOMPARE(caption->text(), QStringLiteral("Dependency check unavailable: rebuild the games list to "
                                                 "enable it."));
        QVERIFY(caption->isVisible() && !sets->isVisible());

        // Deletes that go to the trash are announced on the page.
        window.state().setup.moveDeletedFilesToTrash = true;
        window.state().setup.operation = DeleteFiles;
        window.state().wizard.page = WizardPage::Games;
        window.ButtonNextClick(+1);
        QVERIFY(window.findChild<QLabel*>("LabelDeletesGoToTrash")->isVisible());
        saveScreenshot(&window, QStringLiteral("page6-deletes-go-to-trash"));
    }

    // While the last job's log window (which stays on top) is up, the preview opens in front of it.
    void opensInFrontOfTheLogWindow() {
        Collection collection;
        TFormMain window(portableFolders(collection.dir.path()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        collection.choose(window, {"pacman"});
        QWidget* log = window.findChild<QWidget*>("FormLog");
        for (const bool logShown : {true, false}) {
            log->setVisible(logShown);
            QTest::mouseClick(buttonNamed(&window, "ButtonPreview"), Qt::LeftButton);
            QTRY_VERIFY(previewOf(window));
            QCOMPARE(previewOf(window)->windowFlags().testFlag(Qt::WindowStaysOnTopHint), logShown);
            previewOf(window)->close();
            QTRY_VERIFY(!previewOf(window));
        }
    }

    // A long Work List: the window shows every line, and stays resizable.
    void fiftyThousandLines() {
        JobPreview preview;
        for (int i = 0; i < 50000; ++i) {
            PreviewLine line;
            line.type = i % kFileTypeCount;  // a summary line for every type
            line.change = PreviewChange::Rename;
            line.path = QStringLiteral("/media/arcade/roms/game%1.zip").arg(i);
            line.target = line.path + QStringLiteral(".krm");
            line.bytes = 1000;
            preview.lines.append(line);
        }
        QWidget main;
        main.resize(768, 555);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TFormPreview window(preview, QDir::tempPath(), &main);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* list = window.findChild<QPlainTextEdit*>("PreviewList");
        QCOMPARE(list->blockCount(), 50000);
        QCOMPARE(list->document()->lastBlock().text(),
                 QStringLiteral("/media/arcade/roms/game49999.zip: renamed to game49999.zip.krm"));
        saveScreenshot(&window, QStringLiteral("preview-window-50000-lines"));
        // The summary's 21 lines scroll in a few lines' height; the list keeps most of the window.
        const auto* summary = window.findChild<QTextEdit*>("PreviewSummary");
        QCOMPARE(summary->toPlainText().count(u'\n'), kFileTypeCount - 1);
        QVERIFY(summary->verticalScrollBar()->maximum() > 0);
        QVERIFY2(list->height() > window.height() / 2, qPrintable(QString::number(list->height())));
        QVERIFY(window.minimumSize().width() < window.width());
        QVERIFY(window.maximumSize().width() > window.width());
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
