// The whole wizard walked as a user does, once for each operation, over a generated collection:
// choose the emulator (through the file dialog), the category file and the non-arcade list, NEXT
// through every page, filter and search, add to the Work List, FINISH. After each job the whole
// collection (names and contents, archives entry by entry) and the log are what the operation
// should leave, and nothing else changed.
#include "FakeEmulator.h"
#include "GuiSupport.h"
#include "TempProgramFolder.h"
#include "app/TFormMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>

namespace {

using Tree = QMap<QString, QByteArray>;

// The collection's archives are made and read by Python's zipfile, a reader that is not ours and
// checks every entry's CRC; an archive shows in a tree as its sorted "name=content" lines.
QByteArray python(const QString& script, const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return "python3 failed: " + process.readAllStandardError();
    }
    return process.readAllStandardOutput();
}

void makeArchive(const QString& path, const QStringList& entries) {
    QDir().mkpath(QFileInfo(path).path());
    python(QStringLiteral("import sys, zipfile\n"
                          "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                          "    for e in sys.argv[2:]: z.writestr(e.split('=')[0], e.split('=')[1])\n"),
           QStringList{path} + entries);
}

QByteArray archiveContent(const QString& path) {
    const QByteArray listed =
        python(QStringLiteral("import sys, zipfile\n"
                              "z = zipfile.ZipFile(sys.argv[1])\n"
                              "print('\\n'.join(sorted(i.filename + '=' + "
                              "z.read(i).decode('latin-1').encode('unicode_escape').decode() for i in "
                              "z.infolist())))\n"),
               {path});
    return "zip:" + listed.trimmed();
}

bool startsLikeAnArchive(const QString&, const QByteArray& bytes) {
    return bytes.startsWith("PK");
}

// Every file and folder under `root` (the archives `byEntries` picks by their entries), except the files
// directly in it (the emulator, its ini files and the stand-in's records).
Tree treeOf(const QString& root,
            const std::function<bool(const QString&, const QByteArray&)>& byEntries = startsLikeAnArchive) {
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            tree.insert(relative + u'/', {});
        } else if (relative.contains(u'/')) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            tree.insert(relative, byEntries(relative, bytes) ? archiveContent(path) : bytes);
        }
    }
    return tree;
}

void writeTree(const QString& root, const Tree& tree) {
    for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
        const QString path = root + it.key();
        if (it.key().endsWith(u'/')) {
            QDir().mkpath(path);
        } else if (it.value().startsWith("zip:")) {
            makeArchive(path, QString::fromUtf8(it.value().mid(4)).split(u'\n'));
        } else {
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(it.value());
        }
    }
}

// Four games go to the Work List: puckman and mspacman (the parents of the maze category) and
// galaga and galaga88 (a title search). pacman, xevious, dkong, neogeo and a2600 must stay untouched.
// A second puckman set lies in the second ROM folder, old renamed files lie beside current ones,
// galaga88's nvram folder holds a subfolder, the snapshots' archive lies only at snap/snap/snap.zip.
Tree collection() {
    return {
        {"roms/", ""},
        {"roms/puckman.zip", "puckman set"},
        {"roms/pacman.zip", "pacman set"},
        {"roms/mspacman.7z", "mspacman set"},
        {"roms/galaga.zip", "galaga set"},
        {"roms/xevious.zip", "xevious set"},
        {"roms/dkong.zip", "dkong set"},
        {"roms/dkong.zip.krm", "old dkong set"},
        {"roms/neogeo.zip", "bios"},
        {"roms2/", ""},
        {"roms2/puckman.zip", "second puckman set"},
        {"roms2/galaga.7z", "galaga 7z set"},
        {"roms2/galaga88.7z", "galaga88 set"},
        {"roms2/mspacman.zip.krm", "renamed mspacman set"},
        {"roms2/a2600.zip", "console"},
        {"cfg/", ""},
        {"cfg/puckman.cfg", "puckman cfg"},
        {"cfg/galaga.cfg", "galaga cfg"},
        {"cfg/xevious.cfg", "xevious cfg"},
        {"ini/", ""},
        {"ini/mspacman.ini", "mspacman ini"},
        {"ini/dkong.ini", "dkong ini"},
        {"nvram/", ""},
        {"nvram/puckman/", ""},
        {"nvram/puckman/eeprom", "puckman eeprom"},
        {"nvram/puckman/nvram", "puckman nvram"},
        {"nvram/galaga88/", ""},
        {"nvram/galaga88/sram", "galaga88 sram"},
        {"nvram/galaga88/sub/", ""},
        {"nvram/galaga88/sub/flash", "galaga88 flash"},
        {"nvram/xevious/", ""},
        {"nvram/xevious/eeprom", "xevious eeprom"},
        {"snap/", ""},
        {"snap/puckman.png", "puckman snap"},
        {"snap/galaga.png.krm", "renamed galaga snap"},
        {"snap/snap/", ""},
        {"snap/snap/snap.zip",
         "zip:GALAGA.PNG=galaga shot\ngalaga88.png.krm=galaga88 shot\nmspacman.png=mspacman shot\n"
         "pacman.png=pacman shot\nxevious.png=xevious shot"},
        {"titles/", ""},
        {"titles/puckman.png", "puckman title"},
        {"titles/dkong.png", "dkong title"},
        {"marquees/", ""},
        {"marquees/galaga.png", "galaga marquee png"},
        {"marquees/galaga.jpg", "galaga marquee jpg"},
        {"marquees/mspacman.jpg.krm", "renamed mspacman marquee"},
        {"flyers/", ""},
        {"flyers/galaga88.jpg", "galaga88 flyer"},
        {"flyers/xevious.png", "xevious flyer"},
        {"flyers/flyers.zip",
         "zip:dkong.png=dkong flyer\ngalaga.jpg=galaga flyer jpg\ngalaga.png=galaga flyer png\n"
         "galaga88.jpg.krm=renamed galaga88 flyer\nmspacman.jpg=mspacman flyer\npuckman.png=puckman flyer"},
    };
}

QByteArray machine(const char* name, const char* title, const char* year, const char* extra = "",
                   const char* rotate = "0") {
    return QByteArray("\t<machine name=\"") + name + "\" sourcefile=\"" + name + ".cpp\"" + extra +
           ">\n\t\t<description>" + title + "</description>\n\t\t<year>" + year +
           "</year>\n\t\t<manufacturer>Maker</manufacturer>\n\t\t<rom name=\"" + name +
           ".bin\" size=\"16\" crc=\"00000000\" region=\"maincpu\"/>\n\t\t<display tag=\"screen\" "
           "type=\"raster\" "
           "rotate=\"" +
           rotate +
           "\" width=\"288\" height=\"224\" refresh=\"60\" />\n\t\t<driver status=\"good\" "
           "emulation=\"good\" savestate=\"supported\"/>\n\t</machine>\n";
}

QByteArray listXml() {
    return "<?xml version=\"1.0\"?>\n<mame build=\"0.251 (unknown)\" debug=\"no\" mameconfig=\"10\">\n" +
           machine("puckman", "Puck Man (Japan set 1)", "1980", "", "90") +
           machine("pacman", "Pac-Man (Midway)", "1980", " cloneof=\"puckman\" romof=\"puckman\"", "90") +
           machine("mspacman", "Ms. Pac-Man", "1981", "", "90") +
           machine("galaga", "Galaga", "1981", "", "90") +
           machine("galaga88", "Galaga '88", "1987", " cloneof=\"galaga\" romof=\"galaga\"", "90") +
           machine("xevious", "Xevious", "1982", "", "90") +
           machine("dkong", "Donkey Kong", "1981", "", "90") +
           machine("neogeo", "Neo-Geo MV-6F", "1990", " isbios=\"yes\"") +
           machine("a2600", "Atari 2600", "1977") + "</mame>\n";
}

const QByteArray kCategories =
    "[Category]\r\npuckman=Maze / Collect\r\npacman=Maze / Collect\r\nmspacman=Maze / Collect\r\n"
    "galaga=Shooter / Flying Vertical\r\ngalaga88=Shooter / Flying Vertical\r\n"
    "xevious=Shooter / Flying Vertical\r\ndkong=Platform / Climb\r\nneogeo=System / BIOS\r\n"
    "a2600=Console\r\n[VerAdded]\r\npuckman=.37b\r\n";

// The file types every walk checks, beside the ROM sets and the snapshots checked by default.
const char* const kCheckedTypes[] = {"OperateGameCfg",    "OperateGameIni",      "OperateGameNVRAM",
                                     "OperateImageTitle", "OperateImageMarquee", "OperateImageFlyer"};

// The paths whose contents differ, each with what `actual` holds there.
QString differences(const Tree& actual, const Tree& expected) {
    QStringList out;
    QStringList paths = actual.keys() + expected.keys();
    paths.removeDuplicates();
    for (const QString& path : paths) {
        const QByteArray is = actual.value(path, "(missing)");
        if (is != expected.value(path, "(missing)")) {
            out.append(path + QStringLiteral(": ") + QString::fromUtf8(is));
        }
    }
    return out.join(QStringLiteral(" | "));
}

QStringList lines(const QString& text) {
    return text.split(u'\n');
}

}  // namespace

class WalksTest : public QObject {
    Q_OBJECT
private:
    TFormMain* m_window = nullptr;

    int page() const { return m_window->findChild<QStackedWidget*>("NotebookPages")->currentIndex(); }
    void press(const char* name) { QTest::mouseClick(buttonNamed(m_window, name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        auto* edit = m_window->findChild<QLineEdit*>(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // The user presses the box's "Select" button and picks `path` in the file dialog.
    void choose(const char* button, const QString& path) {
        QTimer::singleShot(0, this, [path] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
        press(button);
    }
    void chooseFilter(const char* box, int steps) {
        auto* combo = m_window->findChild<QComboBox*>(box);
        combo->setFocus();
        for (int i = 0; i < std::abs(steps); ++i) {
            QTest::keyClick(combo, steps > 0 ? Qt::Key_Down : Qt::Key_Up);
        }
    }
    QStringList shown(const char* list) {
        auto* view = m_window->findChild<QAbstractItemView*>(list);
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            names.append(view->model()->index(row, 0).data().toString());
        }
        return names;
    }

private Q_SLOTS:
    void walkEachOperation_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("actionName");
        QTest::addColumn<Tree>("changes");  // path -> new content, "" content for a path that is gone
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("closing");
        const QString done =
            QStringLiteral("All changes completed!\nYou may also close the log window when ready...");
        const QString prefix = QStringLiteral("Processing 4 games...|DATE||");

        QTest::newRow("Delete Files")
            << "ActionDeleteFiles"
            << "Delete Files"
            << Tree{{"roms/puckman.zip", {}},
                    {"roms/mspacman.7z", {}},
                    {"roms/galaga.zip", {}},
                    {"roms2/galaga.7z", {}},
                    {"roms2/galaga88.7z", {}},
                    {"cfg/puckman.cfg", {}},
                    {"cfg/galaga.cfg", {}},
                    {"ini/mspacman.ini", {}},
                    {"nvram/puckman/", {}},
                    {"nvram/puckman/eeprom", {}},
                    {"nvram/puckman/nvram", {}},
                    {"nvram/galaga88/sram", {}},
                    {"titles/puckman.png", {}},
                    {"snap/puckman.png", {}},
                    {"marquees/galaga.png", {}},
                    {"marquees/galaga.jpg", {}},
                    {"flyers/galaga88.jpg", {}},
                    {"snap/snap/snap.zip",
                     "zip:galaga88.png.krm=galaga88 shot\npacman.png=pacman shot\nxevious.png=xevious shot"},
                    {"flyers/flyers.zip",
                     "zip:dkong.png=dkong flyer\ngalaga.jpg=galaga flyer jpg\ngalaga88.jpg.krm=renamed "
                     "galaga88 "
                     "flyer"}}
            << (prefix +
                "Game Files / ROMs [.zip; .7z]: 5 files found and processed.|"
                "Game Configuration File [.cfg]: 2 files found and processed.|"
                "Game Custom Settings File [.ini]: 1 files found and processed.|"
                "Game NVRAM Files [NVRAM/EEPROM/SRAM/FLASH]: 2 files found and processed.|"
                "Title Snapshot [.png]: 1 files found and processed.|"
                "Game Snapshot [.png]: 1 files found and processed.|"
                "Marquee [.png; .jpg]: 2 files found and processed.|"
                "Flyer [.png; .jpg]: 1 files found and processed.|"
                "snap.zip: done! 2 files processed in TIME seconds|"
                "flyers.zip: done! 3 files processed in TIME seconds||"
                "All changes completed!|Total files processed: 19")
                   .split(u'|')
            << done;

        QTest::newRow("Rename Files")
            << "ActionRenameFiles"
            << "Rename Files"
            << Tree{{"roms/puckman.zip", {}},
                    {"roms/puckman.zip.krm", "puckman set"},
                    {"roms/mspacman.7z", {}},
                    {"roms/mspacman.7z.krm", "mspacman set"},
                    {"roms/galaga.zip", {}},
                    {"roms/galaga.zip.krm", "galaga set"},
                    {"roms2/galaga.7z", {}},
                    {"roms2/galaga.7z.krm", "galaga 7z set"},
                    {"roms2/galaga88.7z", {}},
                    {"roms2/galaga88.7z.krm", "galaga88 set"},
                    {"titles/puckman.png", {}},
                    {"titles/puckman.png.krm", "puckman title"},
                    {"snap/puckman.png", {}},
                    {"snap/puckman.png.krm", "puckman snap"},
                    {"marquees/galaga.png", {}},
                    {"marquees/galaga.png.krm", "galaga marquee png"},
                    {"marquees/galaga.jpg", {}},
                    {"marquees/galaga.jpg.krm", "galaga marquee jpg"},
                    {"flyers/galaga88.jpg", {}},
                    {"flyers/galaga88.jpg.krm", "galaga88 flyer"},
                    {"snap/snap/snap.zip",
                     "zip:GALAGA.PNG.krm=galaga shot\ngalaga88.png.krm=galaga88 "
                     "shot\nmspacman.png.krm=mspacman "
                     "shot\npacman.png=pacman shot\nxevious.png=xevious shot"},
                    {"flyers/flyers.zip",
                     "zip:dkong.png=dkong flyer\ngalaga.jpg=galaga flyer jpg\ngalaga.png.krm=galaga flyer "
                     "png\ngalaga88.jpg.krm=renamed galaga88 flyer\nmspacman.jpg.krm=mspacman "
                     "flyer\npuckman.png.krm=puckman flyer"}}
            << (prefix +
                "Game Files / ROMs [.zip; .7z]: 5 files found and processed.|"
                "Title Snapshot [.png]: 1 files found and processed.|"
                "Game Snapshot [.png]: 1 files found and processed.|"
                "Marquee [.png; .jpg]: 2 files found and processed.|"
                "Flyer [.png; .jpg]: 1 files found and processed.|"
                "snap.zip: done! 2 files processed in TIME seconds|"
                "flyers.zip: done! 3 files processed in TIME seconds||"
                "All changes completed!|Total files processed: 15")
                   .split(u'|')
            << done;

        const Tree restored{
            {"roms2/mspacman.zip.krm", {}},
            {"roms2/mspacman.zip", "renamed mspacman set"},
            {"snap/galaga.png.krm", {}},
            {"snap/galaga.png", "renamed galaga snap"},
            {"marquees/mspacman.jpg.krm", {}},
            {"marquees/mspacman.jpg", "renamed mspacman marquee"},
            {"snap/snap/snap.zip",
             "zip:GALAGA.PNG=galaga shot\ngalaga88.png=galaga88 shot\nmspacman.png=mspacman shot\n"
             "pacman.png=pacman shot\nxevious.png=xevious shot"},
            {"flyers/flyers.zip",
             "zip:dkong.png=dkong flyer\ngalaga.jpg=galaga flyer jpg\ngalaga.png=galaga flyer png\n"
             "galaga88.jpg=renamed galaga88 flyer\nmspacman.jpg=mspacman flyer\npuckman.png=puckman flyer"}};
        const QStringList renamedLines = (prefix +
                                          "Game Files / ROMs [.zip; .7z]: 1 files found and processed.|"
                                          "Title Snapshot [.png]: No files where found.|"
                                          "Game Snapshot [.png]: 1 files found and processed.|"
                                          "Marquee [.png; .jpg]: 1 files found and processed.|"
                                          "Flyer [.png; .jpg]: No files where found.|"
                                          "snap.zip: done! 1 files processed in TIME seconds|"
                                          "flyers.zip: done! 1 files processed in TIME seconds||"
                                          "All changes completed!|Total files processed: 5")
                                             .split(u'|');
        QTest::newRow("Restore Files") << "ActionRestoreFiles"
                                       << "Restore Files " << restored << renamedLines << done;

        QTest::newRow("Delete Renamed Files")
            << "ActionDeleteRenamedFiles"
            << "Delete Renamed Files"
            << Tree{{"roms2/mspacman.zip.krm", {}},
                    {"snap/galaga.png.krm", {}},
                    {"marquees/mspacman.jpg.krm", {}},
                    {"snap/snap/snap.zip",
                     "zip:GALAGA.PNG=galaga shot\nmspacman.png=mspacman shot\npacman.png=pacman "
                     "shot\nxevious.png=xevious shot"},
                    {"flyers/flyers.zip",
                     "zip:dkong.png=dkong flyer\ngalaga.jpg=galaga flyer jpg\ngalaga.png=galaga flyer "
                     "png\nmspacman.jpg=mspacman flyer\npuckman.png=puckman flyer"}}
            << renamedLines << done;

        // The destination folder and its parent are made at the first ROM set.
        QTest::newRow("Move Files") << "ActionMoveFiles"
                                    << "Move Files"
                                    << Tree{{"roms/puckman.zip", {}},
                                            {"roms/mspacman.7z", {}},
                                            {"roms/galaga.zip", {}},
                                            {"roms2/galaga.7z", {}},
                                            {"roms2/galaga88.7z", {}},
                                            {"keep/", ""},
                                            {"keep/sets/", ""},
                                            {"keep/sets/puckman.zip", "puckman set"},
                                            {"keep/sets/mspacman.7z", "mspacman set"},
                                            {"keep/sets/galaga.zip", "galaga set"},
                                            {"keep/sets/galaga.7z", "galaga 7z set"},
                                            {"keep/sets/galaga88.7z", "galaga88 set"}}
                                    << (prefix +
                                        "Game Files / ROMs [.zip; .7z]: 5 files found and processed.||"
                                        "All changes completed!|Total files processed: 5")
                                           .split(u'|')
                                    << done;
    }

    void walkEachOperation() {
        QFETCH(QString, action);
        QFETCH(QString, actionName);
        QFETCH(Tree, changes);
        QFETCH(QStringList, log);
        QFETCH(QString, closing);

        ProgramFolderWithIcons dir;
        FakeEmulator fake(dir);
        fake.set("LISTXML", dir.write("fixtures/machines.xml", listXml()));
        const QString emulatorFolder = fake.folder();
        dir.write("emulator/mame.ini",
                  "rompath roms;roms2\ninipath ini\ncfg_directory cfg\nnvram_directory nvram\n"
                  "snapshot_directory snap\n");
        dir.write("emulator/ui.ini",
                  "titles_directory titles\nmarquees_directory marquees\nflyers_directory flyers\n");
        dir.write("catver.ini", kCategories);
        dir.write("mess.ini", "[ROOT_FOLDER]\r\na2600\r\n");
        writeTree(emulatorFolder, collection());
        const Tree before = treeOf(emulatorFolder);
        QCOMPARE(differences(before, collection()), QString());

        MessageBoxWatcher boxes;
        TFormMain window(portableFolders(dir.path()));
        window.state().emulator.iniFallbackFolders.clear();  // only the emulator's own folder
        m_window = &window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        press("ButtonNext");
        QCOMPARE(page(), 1);
        choose("ButtonSelectMAMEExecutableFile", fake.path());
        QCOMPARE(window.findChild<QLineEdit*>("MAMEExecutableFile")->text(), fake.path());
        type("CategoryFile", dir.file("catver.ini"));
        type("NonArcadeMachineFile", dir.file("mess.ini"));
        press("ButtonNext");
        QCOMPARE(page(), 3);  // the emulator's ui.ini names the image folders

        for (const char* name : kCheckedTypes) {
            auto* box = window.findChild<QCheckBox*>(name);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            QVERIFY2(box->isChecked(), name);
        }
        press("ButtonNext");
        QCOMPARE(page(), 4);
        auto* radio = buttonNamed(&window, action);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
        QVERIFY(radio->isChecked());
        if (action == QStringLiteral("ActionMoveFiles")) {
            type("MoveFilesToFolder", emulatorFolder + "keep/sets");
        }
        press("ButtonNext");
        QCOMPARE(page(), 5);
        QCOMPARE(window.state().games.FullGamesList.size(), 9);

        // The parents of the maze category, then a title search with every kind of set.
        chooseFilter("SearchCriteriaParentsClones", 1);
        auto* categories = window.findChild<QListWidget*>("CategoriesList");
        const QList<QListWidgetItem*> maze = categories->findItems("Maze / Collect", Qt::MatchExactly);
        QCOMPARE(maze.size(), 1);
        QTest::mouseClick(categories->viewport(), Qt::LeftButton, {},
                          categories->visualItemRect(maze[0]).center());
        QCOMPARE(shown("SearchResults"), (QStringList{"Ms. Pac-Man", "Puck Man (Japan set 1)"}));
        press("ButtonAddToWorkList");
        press("ButtonSearchGamesPage");
        chooseFilter("SearchCriteriaParentsClones", -1);
        type("CategoryText", QStringLiteral("galaga"));
        press("ButtonSearchGameTitleText");
        QCOMPARE(shown("SearchResults"), (QStringList{"Galaga", "Galaga '88"}));
        press("ButtonAddToWorkList");
        QCOMPARE(window.findChild<QLabel*>("LabelWorkListTotal")->text(), QStringLiteral("4 games in list"));
        saveScreenshot(&window, QStringLiteral("walk-%1-worklist").arg(actionName.trimmed()));

        press("ButtonNext");
        QCOMPARE(page(), 6);
        auto* folders = window.findChild<QTreeWidget*>("FoldersSettings");
        if (action != QStringLiteral("ActionMoveFiles")) {
            for (const char* archived : {"Game Snapshot Folder", "Flyer Folder"}) {
                QVERIFY2(!folders->findItems(archived, Qt::MatchExactly).value(0)->icon(1).isNull(),
                         archived);
            }
            QVERIFY(folders->findItems("Title Snapshot Folder", Qt::MatchExactly).value(0)->icon(1).isNull());
        }
        // The maze parents and Galaga have clones outside the Work List: a job that changes sets asks.
        const bool asks = action == QStringLiteral("ActionDeleteFiles") ||
                          action == QStringLiteral("ActionRenameFiles") ||
                          action == QStringLiteral("ActionMoveFiles");
        boxes.answers.enqueue(true);
        press("ButtonNext");  // FINISH
        QTRY_COMPARE(boxes.seen.size(), asks ? 2 : 1);
        if (asks) {
            QCOMPARE(boxes.seen[0].caption, QStringLiteral("Sets Other Games Need"));
            boxes.seen.removeFirst();
        }
        QCOMPARE(boxes.seen[0].caption, actionName);
        QCOMPARE(boxes.seen[0].text, closing);

        auto* logWindow = window.findChild<QWidget*>("FormLog");
        saveScreenshot(logWindow, QStringLiteral("walk-%1-log").arg(actionName.trimmed()));
        const QStringList written = lines(logWindow->findChild<QPlainTextEdit*>()->toPlainText());
        QCOMPARE(written.size(), log.size());
        for (qsizetype i = 0; i < log.size(); ++i) {
            QString pattern = QRegularExpression::escape(log[i]);
            pattern.replace(QStringLiteral("DATE"),
                            QStringLiteral("[A-Za-z]{3}/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d"));
            pattern.replace(QStringLiteral("TIME"), QStringLiteral("\\d\\d:\\d\\d"));
            QVERIFY2(QRegularExpression(QStringLiteral("^%1$").arg(pattern)).match(written[i]).hasMatch(),
                     qPrintable(QStringLiteral("line %1: %2").arg(i).arg(written[i])));
        }

        Tree expected = before;
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (it.value().isNull()) {
                QVERIFY2(expected.remove(it.key()) == 1, qPrintable(it.key()));
            } else {
                expected.insert(it.key(), it.value());
            }
        }
        QCOMPARE(differences(treeOf(emulatorFolder), expected), QString());

        press("ButtonExit");
        QTRY_VERIFY(!window.isVisible());
        m_window = nullptr;
    }

    // The Debian emulator as installed, its folders under a temporary HOME: the games list is built
    // from its own -listxml output, two real machines are found by their titles, their ROM sets and
    // snapshots renamed, then restored.
    void realEmulatorRenameThenRestore() {
        const QString emulator = QStringLiteral("/usr/games/mame");
        if (!QFile::exists(emulator)) {
            if (qEnvironmentVariableIsSet("KESTRUM_REQUIRE_EMULATOR")) {
                QFAIL(
                    "the Debian mame package is not installed, although scripts/test should have installed "
                    "it");
            }
            QSKIP("the Debian mame package is not installed (apt-get install mame)");
        }
        TempProgramFolder home;
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", home.path().chopped(1).toUtf8());
        const auto restoreHome = qScopeGuard([&savedHome] { qputenv("HOME", savedHome); });
        const Tree collection{{"mame/", ""},
                              {"mame/roms/", ""},
                              {"mame/roms/puckman.zip", "puckman set"},
                              {"mame/roms/galaga.zip", "galaga set"},
                              {"mame/roms/dkong.zip", "dkong set"},
                              {".mame/", ""},
                              {".mame/snap/", ""},
                              {".mame/snap/puckman.png", "puckman snap"},
                              {".mame/snap/snap.zip", "zip:dkong.png=dkong shot\ngalaga.png=galaga shot"}};
        writeTree(home.path(), collection);

        ProgramFolderWithIcons dir;
        MessageBoxWatcher boxes;
        TFormMain window(portableFolders(dir.path()));
        m_window = &window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        press("ButtonNext");
        type("MAMEExecutableFile", emulator);
        type("CategoryFile", QStringLiteral(KESTRUM_SHARED_DATA "/catver.ini"));
        press("ButtonNext");
        QCOMPARE(page(), 2);  // no ui.ini: the image folders are asked for
        QCOMPARE(window.findChild<QLineEdit*>("SnapDir")->text(), home.path() + ".mame/snap/");
        press("ButtonNext");
        QCOMPARE(page(), 3);
        press("ButtonNext");
        auto* rename = buttonNamed(&window, "ActionRenameFiles");
        QTest::mouseClick(rename, Qt::LeftButton, {}, QPoint(6, rename->height() / 2));
        press("ButtonNext");
        QTRY_COMPARE_WITH_TIMEOUT(page(), 5, 120000);
        QVERIFY2(window.state().games.FullGamesList.size() > 40000,
                 qPrintable(QString::number(window.state().games.FullGamesList.size())));
        QVERIFY2(boxes.seen.isEmpty(), qPrintable(boxes.seen.value(0).text));

        for (const QString& title :
             {QStringLiteral("Puck Man (Japan set 1)"), QStringLiteral("Galaga (Namco rev. B)")}) {
            press("ButtonSearchGamesPage");
            type("CategoryText", title);
            press("ButtonSearchGameTitleText");
            QCOMPARE(shown("SearchResults"), QStringList{title});
            press("ButtonAddToWorkList");
        }
        press("ButtonNext");
        QCOMPARE(page(), 6);
        // Puck Man's and Galaga's clones need their sets: the emulator's own list says so.
        auto* neededList = window.findChild<QListWidget*>("NeededSetsList");
        QStringList needed;
        for (int row = 0; row < neededList->count(); ++row) {
            needed.append(neededList->item(row)->text().section(u':', 0, 0));
        }
        needed.sort();
        QCOMPARE(needed, (QStringList{"galaga", "puckman"}));
        boxes.answers.enqueue(true);
        press("ButtonNext");  // FINISH
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[0].caption, QStringLiteral("Sets Other Games Need"));
        boxes.seen.removeFirst();
        QCOMPARE(boxes.seen[0].caption, QStringLiteral("Rename Files"));
        Tree renamed = collection;
        renamed.remove("mame/roms/puckman.zip");
        renamed.remove("mame/roms/galaga.zip");
        renamed.remove(".mame/snap/puckman.png");
        renamed.insert("mame/roms/puckman.zip.krm", "puckman set");
        renamed.insert("mame/roms/galaga.zip.krm", "galaga set");
        renamed.insert(".mame/snap/puckman.png.krm", "puckman snap");
        renamed.insert(".mame/snap/snap.zip", "zip:dkong.png=dkong shot\ngalaga.png.krm=galaga shot");
        QCOMPARE(differences(treeOf(home.path()), renamed), QString());

        // Back to the operation page for Restore Files; the games list is current, so it is not built again.
        press("ButtonBack");
        press("ButtonBack");
        auto* restore = buttonNamed(&window, "ActionRestoreFiles");
        QTest::mouseClick(restore, Qt::LeftButton, {}, QPoint(6, restore->height() / 2));
        press("ButtonNext");
        QTRY_COMPARE_WITH_TIMEOUT(page(), 5, 60000);
        QCOMPARE(window.findChild<QLabel*>("LabelWorkListTotal")->text(), QStringLiteral("2 games in list"));
        press("ButtonNext");
        press("ButtonNext");  // FINISH
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[1].caption, QStringLiteral("Restore Files "));
        QCOMPARE(differences(treeOf(home.path()), collection), QString());
        press("ButtonExit");
        QTRY_VERIFY(!window.isVisible());
        m_window = nullptr;
    }

    // The demo collection of "scripts/run --demo": its settings fill in the paths; the maze games'
    // ROM sets (in both ROM folders) and pictures (loose and archived) are renamed and nothing else
    // changes; Restore Files then puts the collection back as it was.
    void demoCollectionRenameThenRestore() {
        ProgramFolderWithIcons resources;
        const QString sandbox = resources.file(QStringLiteral("demo"));
        QProcess make;
        make.start(QStringLiteral("python3"),
                   {QStringLiteral(KESTRUM_SOURCE_DIR "/../scripts/make-demo"), sandbox});
        QVERIFY(make.waitForFinished(120000));
        QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
        const QString emulator = sandbox + QStringLiteral("/emulator/");
        const auto categoryArchives = [](const QString& path, const QByteArray&) {
            return path == QStringLiteral("titles/titles.zip") || path == QStringLiteral("flyers/flyers.zip");
        };
        const Tree before = treeOf(emulator, categoryArchives);

        MessageBoxWatcher boxes;
        TFormMain window(ProgramFolders{resources.path(), sandbox + u'/'});
        window.state().emulator.iniFallbackFolders.clear();
        m_window = &window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        press("ButtonNext");
        QCOMPARE(window.findChild<QLineEdit*>("MAMEExecutableFile")->text(), emulator + "mame");
        QCOMPARE(window.findChild<QLineEdit*>("CategoryFile")->text(), sandbox + "/catver.ini");
        QCOMPARE(window.findChild<QLineEdit*>("NonArcadeMachineFile")->text(), sandbox + "/mess.ini");
        press("ButtonNext");
        QCOMPARE(page(), 3);
        press("ButtonNext");
        auto* rename = buttonNamed(&window, "ActionRenameFiles");
        QTest::mouseClick(rename, Qt::LeftButton, {}, QPoint(6, rename->height() / 2));
        press("ButtonNext");
        QTRY_COMPARE(page(), 5);
        QCOMPARE(window.state().games.FullGamesList.size(), 299);
        auto* categories = window.findChild<QListWidget*>("CategoriesList");
        const QList<QListWidgetItem*> maze = categories->findItems("Maze / Collect", Qt::MatchExactly);
        QCOMPARE(maze.size(), 1);
        QTest::mouseClick(categories->viewport(), Qt::LeftButton, {},
                          categories->visualItemRect(maze[0]).center());
        saveScreenshot(&window, QStringLiteral("demo-games-page"));
        press("ButtonAddToWorkList");
        QSet<QString> chosen;
        for (const TGameInfo& game : window.state().gamesPage.WorkList) {
            chosen.insert(game.Name);
        }
        QVERIFY2(chosen.size() >= 10, qPrintable(QString::number(chosen.size())));
        press("ButtonNext");
        press("ButtonNext");  // FINISH
        QTRY_COMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].caption, QStringLiteral("Rename Files"));
        saveScreenshot(window.findChild<QWidget*>("FormLog"), QStringLiteral("demo-log-rename"));

        // A file or archive entry belongs to the game its name starts with.
        const auto gameOf = [](const QString& path) { return path.section(u'/', -1).section(u'.', 0, 0); };
        Tree expected;
        int renamedFiles = 0;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const QString& path = it.key();
            const bool renamable =
                QRegularExpression(QStringLiteral("^(roms2?|snap|marquees)/[^/]+$")).match(path).hasMatch();
            if (renamable && chosen.contains(gameOf(path))) {
                expected.insert(path + QStringLiteral(".krm"), it.value());
                ++renamedFiles;
            } else if (categoryArchives(path, {})) {
                QStringList entries = QString::fromLatin1(it.value().mid(4)).split(u'\n');
                for (QString& entry : entries) {
                    const QString name = entry.section(u'=', 0, 0);
                    if (chosen.contains(gameOf(name))) {
                        entry.insert(name.size(), QStringLiteral(".krm"));
                    }
                }
                entries.sort();
                expected.insert(path, "zip:" + entries.join(u'\n').toLatin1());
            } else {
                expected.insert(path, it.value());
            }
        }
        QVERIFY(renamedFiles >= chosen.size());
        QCOMPARE(differences(treeOf(emulator, categoryArchives), expected), QString());

        press("ButtonBack");
        press("ButtonBack");
        auto* restore = buttonNamed(&window, "ActionRestoreFiles");
        QTest::mouseClick(restore, Qt::LeftButton, {}, QPoint(6, restore->height() / 2));
        press("ButtonNext");
        QTRY_COMPARE(page(), 5);
        press("ButtonNext");
        press("ButtonNext");  // FINISH
        QTRY_COMPARE(boxes.seen.size(), 2);
        QCOMPARE(boxes.seen[1].caption, QStringLiteral("Restore Files "));
        QCOMPARE(differences(treeOf(emulator, categoryArchives), before), QString());
        press("ButtonExit");
        QTRY_VERIFY(!window.isVisible());
        m_window = nullptr;
    }
};

QTEST_MAIN(WalksTest)
#include "tst_walks.moc"
