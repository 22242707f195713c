#include "FakeDialogPort.h"
#include "FakeWizardView.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "app/AppState.h"
#include "app/Subsystems.h"
#include "app/WindowPlacement.h"
#include "app/Wizard.h"
#include "common/RunControl.h"
#include "gamesdb/GamesListFile.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString kFinishTitle =
    "    You have chosen to %1. Click on \"Finish\" button to process the games you selected.\r\nTo abort, "
    "click on \"Exit\" button. If  you wish to change your selected options, click on \"Back\" button.";
const QString kNoDestination =
    "    A destination folder was not selected. Select an existing folder or type a new one, it will be "
    "created if it doesn't exist.";
const QString kNotFullPath =
    "    The destination folder must be a full path. Relative paths are not supported.";
const QString kBadEmulator = "Error | Select a valid executable file.";
const QString kBadCategories =
    "Error | Select a valid category ini file (usually catver.ini or category.ini).";

// A wizard over a private program folder whose hand-overs and window chores only log their calls,
// in order.
struct Rig {
    TempProgramFolder dir;
    TempProgramFolder resources;  // the icons and the user guide, apart from the data
    AppState state;
    FakeDialogPort port;
    QStringList calls;
    bool uiIniFound = false;
    int refuseRow = -1;
    WizardHandOvers handOvers = loggingHandOvers();
    FakeWizardView view{&calls};
    RunControl runs;
    Wizard wizard{state, port, view, handOvers, runs};

    Rig() {
        state.setup.ProgramFolder = dir.path();
        state.setup.ResourceFolder = resources.path();
    }

    WizardHandOvers loggingHandOvers() {
        // Serves the void and the bool hand-overs alike: the answer is "accepted".
        const auto log = [this](const char* name) {
            return [this, name] {
                calls.append(name);
                return true;
            };
        };
        WizardHandOvers h;
        h.ReadEmulatorIni = log("ReadEmulatorIni");
        h.ReadUiIni = [this] {
            calls.append("ReadUiIni");
            return uiIniFound;
        };
        h.LoadImageFolders = log("LoadImageFolders");
        h.CheckImageFolderEdit = [this](int row) {
            calls.append(QString("Check %1").arg(row));
            return row != refuseRow;
        };
        h.ApplyImageFolders = log("ApplyImageFolders");
        h.LoadCategories = [this] {
            calls.append("LoadCategories");
            state.games.CategoriesList = QStringList{"Maze"};
            return true;
        };
        h.CreateGamesList = log("CreateGamesList");
        h.SwitchGamesTab = [this](int tab) {
            calls.append(QString("SwitchGamesTab(%1)").arg(tab));
            state.gamesPage.gamesTab = tab;
        };
        h.BuildSearchFolders = log("BuildSearchFolders");
        h.ProcessingJob = log("ProcessingJob");
        h.SaveSplitterPosition = log("SaveSplitterPosition");
        h.SaveColumnLayout = log("SaveColumnLayout");
        h.LoadListIcons = log("LoadListIcons");
        h.ApplyWindowLayout = log("ApplyWindowLayout");
        h.LoadColumnLayout = log("LoadColumnLayout");
        h.ResetFilters = log("ResetFilters");
        return h;
    }

    // Valid emulator and category files and one game in the Work List: every check passes.
    void makeEveryStepValid() {
        state.setup.mameExecutableFile = dir.write("mame", "#!/bin/sh\n");
        QFile::setPermissions(state.setup.mameExecutableFile,
                              QFile::permissions(state.setup.mameExecutableFile) | QFileDevice::ExeOwner);
        state.setup.categoryFile = dir.write("catver.ini", "[Category]\r\n");
        TGameInfo game;
        game.Name = "pacman";
        state.gamesPage.WorkList.append(game);
    }

    // "caption | text" of every message shown, marking any that is not a plain warning.
    QStringList shown() const {
        QStringList out;
        for (const FakeDialogPort::Message& m : port.messages) {
            out.append(m.caption + " | " + m.text);
            if (m.kind != "message" || m.icon != MessageIcon::Warning) {
                out.append("(not a warning message box)");
            }
        }
        return out;
    }
};

QStringList imageChecks(int last) {
    QStringList rows;
    for (int row = 0; row <= last; ++row) {
        rows.append(QString("Check %1").arg(row));
    }
    return rows;
}

const QStringList kAllChecksApplied = imageChecks(kImageCategoryCount - 1) + QStringList{"ApplyImageFolders"};
const QStringList kEmulatorRead = {"ReadEmulatorIni", "ReadUiIni"};

}  // namespace

class WizardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transitions_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("uiIni");  // ReadUiIni's answer, and the flag already set for page 3
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("calls");
        const QStringList none;
        const QString setup = "SETUP: EMULATOR AND CATEGORIES FILES";
        QTest::newRow("0 -> 1") << 0 << 1 << false << 1 << setup << none;
        QTest::newRow("1 -> 0") << 1 << -1 << false << 0 << "WELCOME" << none;
        QTest::newRow("1 -> 2 without ui.ini") << 1 << 1 << false << 2 << "SETUP 2: IMAGES FOLDERS"
                                               << kEmulatorRead + QStringList{"LoadImageFolders"};
        QTest::newRow("1 -> 3 with ui.ini")
            << 1 << 1 << true << 3 << "SELECT FILE TYPES" << kEmulatorRead + kAllChecksApplied;
        QTest::newRow("2 -> 1") << 2 << -1 << false << 1 << setup << none;
        QTest::newRow("2 -> 3") << 2 << 1 << false << 3 << "SELECT FILE TYPES" << kAllChecksApplied;
        QTest::newRow("3 -> 2") << 3 << -1 << false << 2 << "SETUP 2: IMAGES FOLDERS" << none;
        QTest::newRow("3 -> 1 with ui.ini") << 3 << -1 << true << 1 << setup << none;
        QTest::newRow("3 -> 4") << 3 << 1 << false << 4 << "SELECT ACTION TYPE" << none;
        QTest::newRow("4 -> 3 checks nothing") << 4 << -1 << false << 3 << "SELECT FILE TYPES" << none;
        QTest::newRow("4 -> 5") << 4 << 1 << false << 5 << "SELECT GAMES TO RENAME"
                                << QStringList{"LoadCategories", "CreateGamesList"};
        QTest::newRow("5 -> 4") << 5 << -1 << false << 4 << "SELECT ACTION TYPE" << none;
        QTest::newRow("5 -> 6") << 5 << 1 << false << 6 << "COMPLETE THE WIZARD"
                                << QStringList{"BuildSearchFolders"};
        QTest::newRow("6 -> 5") << 6 << -1 << false << 5 << "SELECT GAMES TO RENAME" << none;
        QTest::newRow("FINISH runs the job")
            << 6 << 1 << false << 6 << "untouched" << QStringList{"ProcessingJob"};
    }
    void transitions() {
        QFETCH(int, from);
        QFETCH(int, step);
        QFETCH(bool, uiIni);
        QFETCH(int, to);
        QFETCH(QString, title);
        QFETCH(QStringList, calls);
        Rig rig;
        rig.makeEveryStepValid();
        rig.state.wizard.page = WizardPage(from);
        rig.state.emulator.ImageFoldersFromUiIni = uiIni;
        rig.uiIniFound = uiIni;
        rig.state.texts.pageTitle = "untouched";
        rig.state.texts.imageFoldersPanelShown = from == 2;
        rig.state.texts.searchWorkListPanelShown = from == 5;
        rig.wizard.WizardStep(step);
        QCOMPARE(rig.shown(), QStringList());
        QCOMPARE(int(rig.state.wizard.page), to);
        QCOMPARE(rig.state.texts.imageFoldersPanelShown, to == 2);
        QCOMPARE(rig.state.texts.searchWorkListPanelShown, to == 5);
        QCOMPARE(rig.state.texts.pageTitle, title);
        if (from != to) {
            calls.append("FocusPageStart");  // every page that is arrived at takes the focus
        }
        QCOMPARE(rig.calls, calls);
        QCOMPARE(rig.port.processEventsCalls, from == to ? 0 : 1);
    }

    // A whole walk, where the way back from page 3 follows what ReadUiIni found on the way in.
    void uiIniDecidesTheWayBackFromFileTypes_data() {
        QTest::addColumn<bool>("found");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("ui.ini found") << true << QList<int>{1, 3, 1, 3, 4, 5, 6, 6};
        QTest::newRow("no ui.ini") << false << QList<int>{1, 2, 3, 2, 3, 4, 5, 6, 6};
    }
    void uiIniDecidesTheWayBackFromFileTypes() {
        QFETCH(bool, found);
        QFETCH(QList<int>, pages);
        Rig rig;
        rig.makeEveryStepValid();
        rig.uiIniFound = found;
        QList<int> seen;
        for (int i = 0; i < pages.size(); ++i) {
            rig.wizard.WizardStep(i > 0 && pages[i] < pages[i - 1] ? -1 : 1);
            seen.append(int(rig.state.wizard.page));
        }
        QCOMPARE(seen, pages);
        QCOMPARE(rig.state.emulator.ImageFoldersFromUiIni, found);
        QCOMPARE(rig.calls.count("ProcessingJob"), 1);
        QCOMPARE(rig.calls.count("LoadImageFolders"), found ? 0 : 1);
    }

    void stepButtons() {
        Rig rig;
        QCOMPARE(rig.state.texts.nextCaption, QString("START"));
        QCOMPARE(rig.state.texts.nextColor, kNavyRgb);
        QVERIFY(!rig.state.texts.backEnabled);
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.state.texts.nextCaption, QString("NEXT"));
        QCOMPARE(rig.state.texts.nextColor, kNavyRgb);
        QVERIFY(rig.state.texts.backEnabled);
        rig.wizard.WizardStep(-1);
        QCOMPARE(rig.state.texts.nextCaption, QString("START"));
        QCOMPARE(rig.state.texts.nextColor, kGreenRgb);
        QVERIFY(!rig.state.texts.backEnabled);
    }

    void startFillsDefaultsAndOffersRebuild_data() {
        QTest::addColumn<QStringList>("files");  // a name ending in "/" is made a folder
        QTest::addColumn<QString>("categoryBox");
        QTest::addColumn<QString>("messBox");
        QTest::addColumn<QString>("category");  // a bare name is one in the program folder
        QTest::addColumn<QString>("mess");
        const auto row = [](const char* name, const QStringList& files, const QString& categoryBox,
                            const QString& messBox, const QString& category, const QString& mess) {
            QTest::newRow(name) << files << categoryBox << messBox << category << mess;
        };
        const QStringList all = {"catver.ini", "category.ini", "mess.ini", "listfull.txt"};
        row("catver.ini first", all, "", "", "catver.ini", "mess.ini");
        row("category.ini without catver.ini", {"category.ini"}, "", "", "category.ini", "");
        row("no files", {}, "", "", "", "");
        row("filled boxes are kept", all, "/x/cat.ini", "/x/mess.ini", "/x/cat.ini", "/x/mess.ini");
        row("folders do not count", {"catver.ini/", "mess.ini/", "listfull.txt/"}, "", "", "", "");
    }
    void startFillsDefaultsAndOffersRebuild() {
        QFETCH(QStringList, files);
        QFETCH(QString, categoryBox);
        QFETCH(QString, messBox);
        QFETCH(QString, category);
        QFETCH(QString, mess);
        Rig rig;
        for (const QString& name : files) {
            name.endsWith('/') ? rig.dir.makeFolder(name) : rig.dir.write(name, "[x]\r\n");
        }
        rig.state.setup.rebuildGamesListVisible = !files.contains("listfull.txt");
        rig.state.setup.categoryFile = categoryBox;
        rig.state.setup.nonArcadeMachineFile = messBox;
        rig.wizard.WizardStep(1);
        const auto expected = [&](const QString& name) {
            return name.isEmpty() || name.startsWith('/') ? name : rig.dir.file(name);
        };
        QCOMPARE(rig.state.setup.categoryFile, expected(category));
        QCOMPARE(rig.state.setup.nonArcadeMachineFile, expected(mess));
        QCOMPARE(rig.state.setup.rebuildGamesListVisible, files.contains("listfull.txt"));
    }

    void leavingSetupWithInvalidFiles_data() {
        QTest::addColumn<QString>("emulator");  // "missing", "folder", "empty", "text", "fifo" or "valid"
        QTest::addColumn<QString>("categories");
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char* name, const QString& emulator, const QString& categories,
                            const QStringList& messages) {
            QTest::newRow(name) << emulator << categories << messages;
        };
        row("both missing", "missing", "missing", {kBadEmulator, kBadCategories});
        row("both empty", "empty", "empty", {kBadEmulator, kBadCategories});
        row("emulator is a folder", "folder", "valid", {kBadEmulator});
        row("categories is a folder", "valid", "folder", {kBadCategories});
        // A program on Linux has an execute bit; reading a FIFO would block the program for ever.
        row("emulator without an execute bit", "text", "valid", {kBadEmulator});
        row("emulator is a FIFO", "fifo", "valid", {kBadEmulator});
        row("categories is a FIFO", "valid", "fifo", {kBadCategories});
    }
    void leavingSetupWithInvalidFiles() {
        QFETCH(QString, emulator);
        QFETCH(QString, categories);
        QFETCH(QStringList, messages);
        Rig rig;
        const auto make = [&](const QString& kind, const QString& name) {
            if (kind == "valid" || kind == "text") {
                const QString path = rig.dir.write(name, "x");
                if (kind == "valid") {
                    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
                }
                return path;
            }
            if (kind == "fifo") {
                const QString path = rig.dir.file(name);
                ::mkfifo(QFile::encodeName(path).constData(), 0755);
                return path;
            }
            if (kind == "folder") {
                return rig.dir.makeFolder(name).chopped(1);
            }
            return kind == "missing" ? rig.dir.file(name) : QString();
        };
        rig.state.setup.mameExecutableFile = make(emulator, "mame");
        rig.state.setup.categoryFile = make(categories, "catver.ini");
        rig.state.wizard.page = WizardPage(1);
        rig.state.texts.pageTitle = "before";
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.shown(), messages);
        QCOMPARE(int(rig.state.wizard.page), 1);
        QCOMPARE(rig.state.texts.pageTitle, QString("before"));
        QCOMPARE(rig.calls, QStringList());
        QCOMPARE(rig.view.showStateCalls, 0);
    }

    void leavingSetupStampsCategoriesAndShowsLoading() {
        Rig rig;
        rig.makeEveryStepValid();
        rig.state.wizard.page = WizardPage(1);
        QString messageWhileReading;
        int repaintsBeforeReading = -1;
        rig.handOvers.ReadEmulatorIni = [&] {
            rig.calls.append("ReadEmulatorIni");
            messageWhileReading = rig.state.texts.messages;
            repaintsBeforeReading = rig.view.showStateCalls;
        };
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.state.setup.categoryFileStamp, ListStamp(rig.state.setup.categoryFile));
        QVERIFY(rig.state.setup.categoryFileStamp != QString("-1"));
        QCOMPARE(messageWhileReading, QString("Loading MAME Settings..."));
        QCOMPARE(repaintsBeforeReading, 1);
        QCOMPARE(rig.state.texts.messages, QString());
        QCOMPARE(rig.calls.mid(0, 2), kEmulatorRead);
    }

    void refusedImageFolderStopsTheStep_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("row");
        QTest::newRow("first box") << 2 << 0;
        QTest::newRow("middle box") << 2 << 8;
        QTest::newRow("last box") << 2 << kImageCategoryCount - 1;
        QTest::newRow("boxes from ui.ini") << 1 << 5;
    }
    void refusedImageFolderStopsTheStep() {
        QFETCH(int, from);
        QFETCH(int, row);
        Rig rig;
        rig.makeEveryStepValid();
        rig.uiIniFound = true;
        rig.refuseRow = row;
        rig.state.wizard.page = WizardPage(from);
        rig.state.texts.imageFoldersPanelShown = from == 2;
        rig.state.texts.pageTitle = "before";
        rig.wizard.WizardStep(1);
        QCOMPARE(int(rig.state.wizard.page), from);
        QCOMPARE(rig.state.texts.pageTitle, QString("before"));
        QCOMPARE(rig.state.texts.imageFoldersPanelShown, from == 2);
        QCOMPARE(rig.calls, (from == 1 ? kEmulatorRead : QStringList()) + imageChecks(row));
    }

    void fileTypesNeedOneChecked_data() {
        QTest::addColumn<int>("checked");  // -1: none
        QTest::newRow("none") << -1;
        QTest::newRow("only ROMs") << int(GameROMs);
        QTest::newRow("only the last image category") << kFileTypeCount - 1;
    }
    void fileTypesNeedOneChecked() {
        QFETCH(int, checked);
        Rig rig;
        rig.state.wizard.page = WizardPage(3);
        rig.state.setup.fileTypeChecked.fill(false);
        if (checked >= 0) {
            rig.state.setup.fileTypeChecked[checked] = true;
        }
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.shown(), checked < 0
                                  ? QStringList{"No Selection | No file types are selected! Select at "
                                                "least one."}
                                  : QStringList());
        QCOMPARE(int(rig.state.wizard.page), checked < 0 ? 3 : 4);
    }

    void gamesListStepHoldsTheButtonsAndShowsBusy() {
        Rig rig;
        rig.state.wizard.page = WizardPage(4);
        rig.state.gamesPage.gamesTab = 1;
        rig.state.texts.messages = "stale";
        QStringList during;
        const auto inside = [&](const char* name) {
            return [&, name] {
                rig.calls.append(name);
                during.append(QString("%1 back=%2 next=%3 busy=%4 panel=%5")
                                  .arg(name)
                                  .arg(rig.state.texts.backEnabled)
                                  .arg(rig.state.texts.nextEnabled)
                                  .arg(rig.port.busyChanges == QList<bool>{true})
                                  .arg(rig.state.texts.searchWorkListPanelShown));
                return true;
            };
        };
        rig.handOvers.LoadCategories = inside("LoadCategories");
        rig.handOvers.CreateGamesList = inside("CreateGamesList");
        rig.wizard.WizardStep(1);
        QCOMPARE(during, (QStringList{"LoadCategories back=0 next=0 busy=1 panel=1",
                                      "CreateGamesList back=0 next=0 busy=1 panel=1"}));
        QCOMPARE(rig.calls,
                 (QStringList{"SwitchGamesTab(0)", "LoadCategories", "CreateGamesList", "FocusPageStart"}));
        QVERIFY(rig.state.texts.backEnabled);
        QVERIFY(rig.state.texts.nextEnabled);
        QCOMPARE(rig.port.busyChanges, (QList<bool>{true, false}));
        QCOMPARE(rig.state.texts.messages, QString());
        QCOMPARE(int(rig.state.wizard.page), 5);
    }

    void moveDestination_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("refusal");  // empty when the step goes ahead
        const auto row = [](const char* name, int operation, const QString& destination,
                            const QString& refusal) {
            QTest::newRow(name) << operation << destination << refusal;
        };
        row("move, empty", MoveFiles, "", kNoDestination);
        row("move, drive letter", MoveFiles, "D:\\x", kNotFullPath);
        row("move, network share", MoveFiles, "\\\\server\\share", kNotFullPath);
        row("move, relative", MoveFiles, "relative/dir", kNotFullPath);
        row("move, absolute and missing", MoveFiles, "/media/arcade/keep", "");
        row("rename, empty", RenameFiles, "", "");
        row("delete, relative", DeleteFiles, "relative/dir", "");
    }
    void moveDestination() {
        QFETCH(int, operation);
        QFETCH(QString, destination);
        QFETCH(QString, refusal);
        Rig rig;
        rig.state.wizard.page = WizardPage(4);
        rig.state.texts.pageTitle = "before";
        rig.state.texts.backEnabled = true;
        rig.wizard.selectOperation(OperationMode(operation));
        rig.state.setup.moveFilesToFolder = destination;
        rig.wizard.WizardStep(1);
        if (refusal.isEmpty()) {
            QCOMPARE(rig.shown(), QStringList());
            QCOMPARE(int(rig.state.wizard.page), 5);
            return;
        }
        QCOMPARE(rig.shown(), QStringList{"Action Type: Move Files | " + refusal});
        QCOMPARE(int(rig.state.wizard.page), 4);
        QCOMPARE(rig.state.texts.pageTitle, QString("before"));
        QCOMPARE(rig.calls, QStringList());
        QVERIFY(rig.port.busyChanges.isEmpty());
        QVERIFY(rig.state.texts.backEnabled);
        QVERIFY(rig.state.texts.nextEnabled);
    }

    void finishPage_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("patterns");
        const auto row = [](const char* name, int operation, const QString& upper, const QString& patterns) {
            QTest::newRow(name) << operation << upper << patterns;
        };
        row("rename", RenameFiles, "RENAME FILES", "Search Folders [Rename Files]");
        row("restore keeps its blank", RestoreFiles, "RESTORE FILES ", "Search Folders [Restore Files ]");
        row("delete renamed", DeleteRenamedFiles, "DELETE RENAMED FILES",
            "Search Folders [Delete Renamed Files]");
    }
    void finishPage() {
        QFETCH(int, operation);
        QFETCH(QString, upper);
        QFETCH(QString, patterns);
        Rig rig;
        rig.makeEveryStepValid();
        rig.wizard.selectOperation(OperationMode(operation));
        rig.state.wizard.page = WizardPage(5);
        rig.state.texts.searchWorkListPanelShown = true;
        rig.wizard.WizardStep(1);
        QCOMPARE(int(rig.state.wizard.page), 6);
        QCOMPARE(rig.state.texts.nextCaption, QString("FINISH"));
        QCOMPARE(rig.state.texts.nextColor, kGreenRgb);
        QCOMPARE(rig.state.texts.finishWizardTitle, kFinishTitle.arg(upper));
        QCOMPARE(rig.state.texts.searchPatternsCaption, patterns);
        QVERIFY(!rig.state.texts.searchWorkListPanelShown);

        rig.wizard.WizardStep(-1);
        QCOMPARE(int(rig.state.wizard.page), 5);
        QCOMPARE(rig.state.texts.nextCaption, QString("NEXT"));
        QCOMPARE(rig.state.texts.nextColor, kNavyRgb);
        QVERIFY(rig.state.texts.searchWorkListPanelShown);

        // The Work List is checked again on each NEXT.
        rig.state.gamesPage.WorkList.clear();
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.shown(),
                 QStringList{"No Games Selected | No games were added to the work list. Add at least one."});
        QCOMPARE(int(rig.state.wizard.page), 5);
        QCOMPARE(rig.state.texts.nextCaption, QString("NEXT"));
        QVERIFY(rig.state.texts.searchWorkListPanelShown);
        QCOMPARE(rig.calls.count("BuildSearchFolders"), 1);
    }

    void pageTitles_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("title");
        QTest::newRow("5 delete") << 5 << int(DeleteFiles) << "SELECT GAMES TO DELETE";
        QTest::newRow("5 rename") << 5 << int(RenameFiles) << "SELECT GAMES TO RENAME";
        QTest::newRow("5 restore") << 5 << int(RestoreFiles) << "SELECT GAMES TO RESTORE";
        QTest::newRow("5 delete renamed") << 5 << int(DeleteRenamedFiles) << "SELECT GAMES TO DELETE RENAMED";
        QTest::newRow("5 move") << 5 << int(MoveFiles) << "SELECT GAMES TO MOVE";
    }
    void pageTitles() {
        QFETCH(int, page);
        QFETCH(int, operation);
        QFETCH(QString, title);
        QCOMPARE(pageTitleOf(WizardPage(page), OperationMode(operation)), title);
        Rig rig;
        rig.wizard.selectOperation(OperationMode(operation));
        rig.wizard.SetPageTitle(WizardPage(page));
        QCOMPARE(rig.state.texts.pageTitle, title);
    }

    void versionText() {
        QCOMPARE(versionTextOf("1.2.0.0"), QString("v1.2"));
        QCOMPARE(versionTextOf("1.2.3.0"), QString("v1.2.3"));
        QCOMPARE(versionTextOf("2.10.0.0"), QString("v2.10"));
    }

    // What the categories and the games list give feeds the games page; neither stops the step.
    void gamesPageUsesTheResults_data() {
        QTest::addColumn<bool>("categoriesRead");
        QTest::addColumn<bool>("listCreated");
        QTest::addColumn<int>("rowAfter");
        QTest::newRow("both") << true << true << 0;  // row 4 is gone from the two-row list
        QTest::newRow("categories unreadable") << false << true << 4;
        QTest::newRow("no games list") << true << false << 0;
    }
    void gamesPageUsesTheResults() {
        QFETCH(bool, categoriesRead);
        QFETCH(bool, listCreated);
        QFETCH(int, rowAfter);
        Rig rig;
        rig.state.wizard.page = WizardPage::Operation;
        rig.state.gamesPage.selectedCategoryRow = 4;
        bool mapWhileCreating = false;
        rig.handOvers.LoadCategories = [&] {
            rig.state.games.categoryMap = std::make_shared<CategoryMap>();
            rig.state.games.CategoriesList = QStringList{"Maze", "Shooter"};
            return categoriesRead;
        };
        rig.handOvers.CreateGamesList = [&] {
            mapWhileCreating = bool(rig.state.games.categoryMap);
            return listCreated;
        };
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.state.wizard.page, WizardPage::Games);
        QCOMPARE(rig.state.gamesPage.selectedCategoryRow, rowAfter);
        QCOMPARE(rig.state.texts.noGamesList, !listCreated);  // the table of all games is empty here
        QVERIFY(mapWhileCreating);
        QVERIFY(!rig.state.games.categoryMap);  // it lives only while the list is built or loaded
    }

    // A category file of which not one category could be read is named in a warning; the step
    // goes on to the games page.
    void categoryFileWithoutCategories_data() {
        QTest::addColumn<bool>("read");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<bool>("warned");
        QTest::newRow("none read") << true << QStringList() << true;
        QTest::newRow("some read") << true << QStringList{"Maze"} << false;
        QTest::newRow("file not usable") << false << QStringList() << false;
    }
    void categoryFileWithoutCategories() {
        QFETCH(bool, read);
        QFETCH(QStringList, categories);
        QFETCH(bool, warned);
        Rig rig;
        rig.state.wizard.page = WizardPage::Operation;
        rig.state.setup.categoryFile = QStringLiteral("/x/readme.txt");
        rig.handOvers.LoadCategories = [&] {
            rig.state.games.CategoriesList = categories;
            return read;
        };
        rig.wizard.WizardStep(1);
        QCOMPARE(rig.state.wizard.page, WizardPage::Games);
        QCOMPARE(rig.shown(),
                 warned ? QStringList{"Categories | No categories could be read from \"/x/readme.txt\".\r\n"
                                      "Check that it is a catver.ini or category.ini file."}
                        : QStringList());
    }

    // The icons are loaded again once the settings are read: at the stored size.
    void storedIconSizeLoadsTheIcons_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("size");
        QTest::newRow("large") << QByteArray("[Appearance]\r\nGameIconSize=1\r\n") << 1;
        QTest::newRow("small") << QByteArray("[Appearance]\r\nGameIconSize=3\r\n") << 3;
        QTest::newRow("no settings") << QByteArray() << 3;
    }
    void storedIconSizeLoadsTheIcons() {
        QFETCH(QByteArray, settings);
        QFETCH(int, size);
        Rig rig;
        if (!settings.isEmpty()) {
            rig.dir.write("Kestrum.ini", settings);
        }
        rig.wizard.firstShowing();
        QCOMPARE(rig.state.gamesPage.gameIconSize, size);
        QCOMPARE(rig.calls, QStringList{"LoadListIcons"});
    }

    // A step button or a close request handled while the games list loads must wait for it.
    void stepAndCloseDuringALongStep() {
        Rig rig;
        rig.state.wizard.page = WizardPage(4);
        bool closedAtOnce = true;
        bool closeAfterwards = false;
        rig.handOvers.CreateGamesList = [&] {
            rig.calls.append("CreateGamesList");
            rig.wizard.WizardStep(1);
            rig.wizard.WizardStep(-1);
            closedAtOnce = rig.wizard.closeRequested();
            return true;
        };
        rig.view.onCloseWindow = [&] { closeAfterwards = rig.wizard.closeRequested(); };
        rig.wizard.WizardStep(1);
        QVERIFY(!closedAtOnce);
        QVERIFY(closeAfterwards);
        QCOMPARE(int(rig.state.wizard.page), 5);
        QCOMPARE(rig.calls, (QStringList{"LoadCategories", "CreateGamesList", "FocusPageStart", "CloseWindow",
                                         "SaveColumnLayout"}));
        QVERIFY(QFile::exists(rig.dir.file("Kestrum.ini")));
    }

    // A close request while the emulator runs asks first; Yes stops it and closes afterwards.
    void closeWhileTheEmulatorRunsAsks_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void closeWhileTheEmulatorRunsAsks() {
        QFETCH(bool, answer);
        Rig rig;
        rig.state.wizard.page = WizardPage::Operation;
        rig.port.answers.enqueue(answer);
        bool closedAtOnce = true;
        bool stopAsked = false;
        rig.handOvers.CreateGamesList = [&] {
            rig.runs.runStarted();
            closedAtOnce = rig.wizard.closeRequested();
            stopAsked = rig.runs.stopRequested();
            rig.runs.runEnded();
            return false;
        };
        rig.wizard.WizardStep(1);
        QVERIFY(!closedAtOnce);
        QCOMPARE(stopAsked, answer);
        QCOMPARE(rig.port.messages.size(), 1);
        QCOMPARE(rig.port.messages[0].kind, QString("question"));
        QCOMPARE(rig.port.messages[0].caption, QString("Kestrum"));
        QCOMPARE(rig.port.messages[0].text,
                 QString("The emulator is still running. Stop it and close Kestrum?"));
        QCOMPARE(rig.calls.contains("CloseWindow"), answer);
    }

    void closeSaves_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("aborting");
        QTest::addColumn<QStringList>("calls");  // empty: nothing saved, no Kestrum.ini
        const QStringList withSplitter = {"SaveSplitterPosition", "SaveColumnLayout"};
        QTest::newRow("welcome page") << 0 << 2 << false << QStringList();
        QTest::newRow("tabs") << 3 << 1 << false << QStringList{"SaveColumnLayout"};
        QTest::newRow("side by side") << 5 << 2 << false << withSplitter;
        QTest::newRow("top and bottom") << 1 << 3 << false << withSplitter;
        QTest::newRow("aborting") << 3 << 2 << true << QStringList();
    }
    void closeSaves() {
        QFETCH(int, page);
        QFETCH(int, layout);
        QFETCH(bool, aborting);
        QFETCH(QStringList, calls);
        Rig rig;
        rig.state.wizard.page = WizardPage(page);
        rig.state.gamesPage.layout = layout;
        rig.state.wizard.Aborting = aborting;
        bool settingsWrittenFirst = false;
        QString messageWhileSaving;
        rig.handOvers.SaveColumnLayout = [&] {
            rig.calls.append("SaveColumnLayout");
            settingsWrittenFirst = QFile::exists(rig.dir.file("Kestrum.ini"));
            messageWhileSaving = rig.state.texts.messages;
        };
        QVERIFY(rig.wizard.closeRequested());
        QCOMPARE(rig.calls, calls);
        QCOMPARE(QFile::exists(rig.dir.file("Kestrum.ini")), !calls.isEmpty());
        if (!calls.isEmpty()) {
            QVERIFY(settingsWrittenFirst);
            QCOMPARE(messageWhileSaving, QString("Saving Settings and Freeing Resources..."));
        }
    }

    void chooseLayout_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("pending");  // FirstActivationPending
        QTest::addColumn<QStringList>("calls");
        const QStringList apply = {"ApplyWindowLayout", "LoadColumnLayout"};
        QTest::newRow("same layout") << 2 << 2 << false << QStringList();
        QTest::newRow("before first activation") << 2 << 3 << true << apply;
        QTest::newRow("from tabs") << 1 << 2 << false << QStringList{"SaveColumnLayout"} + apply;
        QTest::newRow("from side by side")
            << 2 << 3 << false << QStringList{"SaveColumnLayout", "SaveSplitterPosition"} + apply;
        QTest::newRow("from top and bottom")
            << 3 << 1 << false << QStringList{"SaveColumnLayout", "SaveSplitterPosition"} + apply;
    }
    void chooseLayout() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, pending);
        QFETCH(QStringList, calls);
        Rig rig;
        rig.state.gamesPage.layout = from;
        rig.state.wizard.FirstActivationPending = pending;
        int layoutApplied = 0;
        rig.handOvers.ApplyWindowLayout = [&] {
            rig.calls.append("ApplyWindowLayout");
            layoutApplied = rig.state.gamesPage.layout;
        };
        rig.wizard.chooseLayout(to);
        QCOMPARE(rig.calls, calls);
        QCOMPARE(rig.state.gamesPage.layout, to);
        QCOMPARE(layoutApplied, calls.contains("ApplyWindowLayout") ? to : 0);
    }

    void windowPlacement() {
        // 1000 - 750 - 2 = 248 across; 600 - 40 - 50 - 467 = 43 spare, half of it rounded down.
        QCOMPARE(centredPageArea(1000, 600, 40, 50), (Placement{124, 61}));
        // Smaller than the page: left 1, and the whole negative spare is added to the top.
        QCOMPARE(centredPageArea(700, 500, 40, 50), (Placement{1, -17}));
        QCOMPARE(centredPageArea(752, 557, 40, 50), (Placement{1, 40}));
        QCOMPARE(centredWindow(1280, 800, 768, 555), (Placement{256, 122}));
        // Quotients round toward zero, also when the window is larger than the screen.
        QCOMPARE(centredWindow(700, 500, 768, 555), (Placement{-34, -27}));
    }

    // The user guide and the links: when the desktop cannot open them, or the guide is gone, the
    // user is told which file or address.
    void documentsThatCannotBeOpened() {
        Rig rig;
        rig.dir.write("kestrum_docs.htm", "<html></html>");  // the data folder is not where it lives
        rig.wizard.viewDocumentation();
        QCOMPARE(rig.shown().last(), "Kestrum | The user guide \"" + rig.resources.file("kestrum_docs.htm") +
                                         "\" is missing. Reinstall Kestrum to get it back.");
        rig.resources.write("kestrum_docs.htm", "<html></html>");
        rig.wizard.viewDocumentation();
        QCOMPARE(rig.port.openedDocuments, QStringList{rig.resources.file("kestrum_docs.htm")});
        QCOMPARE(rig.port.messages.size(), 1);
        rig.port.documentsOpen = false;
        rig.wizard.viewDocumentation();
        QVERIFY(
            rig.shown().last().startsWith("Kestrum | No program could be found to show the user guide \"" +
                                          rig.resources.file("kestrum_docs.htm")));
        rig.wizard.openAddress(QStringLiteral("https://www.mamedev.org/"));
        QCOMPARE(rig.shown().last(), QStringLiteral("Kestrum | No web browser could be found to open "
                                                    "https://www.mamedev.org/."));
    }
};

KESTRUM_REGISTER_TEST(WizardTest)
#include "tst_wizard.moc"
