#include "TempProgramFolder.h"
#include "TestMain.h"
#include "app/AppState.h"
#include "app/Settings.h"

#include <QFile>
#include <QTest>

namespace {

AppState freshState(const TempProgramFolder& dir) {
    AppState state;
    state.setup.ProgramFolder = dir.path();
    return state;
}

// The file SaveSettings writes for a state at its defaults, line by line (the image folders
// from the images page, not from ui.ini).
QByteArray defaultFile(const QByteArray& emulatorLines = {}) {
    QByteArray f =
        "[Configuration]\r\nWindowState=Normal\r\nScreenWidth=768\r\nScreenHeight=555\r\nLayoutIndex=1\r\n"
        "[Appearance]\r\nGamesListBackgroundColor=16777215\r\n"
        "ParentGameFontColor=0\r\nParentGameFontName=Segoe "
        "UI\r\nParentGameFontSize=9\r\nParentGameFontStyle=0\r\n"
        "CloneGameFontColor=0\r\nCloneGameFontName=Segoe "
        "UI\r\nCloneGameFontSize=9\r\nCloneGameFontStyle=0\r\n"
        "GameIconSize=3\r\nCategoriesListBackgroundColor=16777215\r\n"
        "CategoriesListFontColor=0\r\nCategoriesListFontName=Segoe UI\r\nCategoriesListFontSize=9\r\n"
        "CategoriesListFontStyle=0\r\nCategoriesCellHeightSize=3\r\n"
        "[Emulator]\r\n";
    f += emulatorLines;
    f += "ScanGameFilesQuickScan=1\r\n"
         "[File Type]\r\nGameROMs=1\r\nGameCFG=0\r\nGameINI=0\r\nGameNVRAM=0\r\nImageTitleSnapshot=0\r\n"
         "ImageGameSnapshot=1\r\nImageMarquee=0\r\nImageFlyer=0\r\nImageCabinet=0\r\nImageControlPanel=0\r\n"
         "ImageSoftwareCover=0\r\nImagePCB=0\r\nImageGameArtwork=0\r\nImageEnd=0\r\nImageBoss=0\r\nImageLogo="
         "0\r\n"
         "ImageScore=0\r\nImageVersus=0\r\nImageGameOver=0\r\nImageHowToPlay=0\r\nImageSelect=0\r\n"
         "[List Sort]\r\nSearchResultsColumn=0\r\nSearchResultsDirection=0\r\nWorkListColumn=0\r\n"
         "WorkListDirection=0\r\n"
         "[Search Criteria]\r\nMediaType=0\r\nDriverStatus=0\r\nGameSetType=0\r\nMachineType=0\r\n"
         "InterfaceType=0\r\nScreenOrientation=0\r\nGameStatus=0\r\n"
         "[Images]\r\ntitles_directory=titles\r\nsnapshot_directory=snap\r\nmarquees_directory=marquees\r\n"
         "flyers_directory=flyers\r\ncabinets_directory=cabinets\r\ncpanels_directory=cpanel\r\n"
         "covers_directory=covers\r\npcbs_directory=pcb\r\nartwork_preview_directory=artpreview\r\n"
         "ends_directory=ends\r\nbosses_directory=bosses\r\nlogos_directory=logo\r\n"
         "scores_directory=scores\r\nversus_directory=versus\r\ngameover_directory=gameover\r\n"
         "howto_directory=howto\r\nselect_directory=select\r\n";
    return f;
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void missingFileKeepsInitialState() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        LoadSettings(state);
        QVERIFY(state.setup.mameExecutableFile.isEmpty());
        QVERIFY(state.setup.fileTypeChecked[GameROMs]);
        QVERIFY(state.setup.fileTypeChecked[ImageSnap]);
        QVERIFY(!state.setup.fileTypeChecked[GameCfg]);
        QVERIFY(state.setup.scanGameFilesQuickScan);
        QCOMPARE(state.setup.operation, int(RenameFiles));
        QCOMPARE(state.gamesPage.layout, 1);
    }

    void defaultsAreWrittenByteForByte() {
        TempProgramFolder dir;
        const AppState state = freshState(dir);
        QVERIFY(SaveSettings(state));
        QCOMPARE(dir.read("Kestrum.ini"), defaultFile());
    }

    void onlyMameFileRestoresItAndDefaultsTheRest() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Emulator]\r\nMAMEFile=/usr/games/mame\r\n");
        AppState state = freshState(dir);
        state.wizard.windowWidth = 1000;  // as if something had changed it before
        state.setup.fileTypeChecked[GameCfg] = true;
        LoadSettings(state);
        QCOMPARE(state.setup.mameExecutableFile, QStringLiteral("/usr/games/mame"));
        QCOMPARE(state.wizard.windowWidth, 768);
        QCOMPARE(state.wizard.windowHeight, 555);
        QCOMPARE(state.gamesPage.layout, 1);
        QVERIFY(state.setup.fileTypeChecked[GameROMs]);
        QVERIFY(state.setup.fileTypeChecked[ImageSnap]);
        QVERIFY(!state.setup.fileTypeChecked[GameCfg]);
        QVERIFY(!state.wizard.settingsSaidMaximized);
    }

    void emptyMameFileValue() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Emulator]\r\nMAMEFile=\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.setup.mameExecutableFile, QString());
        QVERIFY(state.setup.scanGameFilesQuickScan);
    }

    void windowState_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("exact") << QByteArray("Maximized") << true;
        QTest::newRow("lower case") << QByteArray("maximized") << false;
        QTest::newRow("normal") << QByteArray("Normal") << false;
        QTest::newRow("blanks trimmed") << QByteArray("  Maximized ") << true;
    }
    void windowState() {
        QFETCH(QByteArray, value);
        QFETCH(bool, maximized);
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[configuration]\r\nwindowstate=" + value + "\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.wizard.settingsSaidMaximized, maximized);
    }

    void maximisedCloseLeavesSizeOut() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.wizard.windowWidth = 1200;
        state.wizard.windowHeight = 700;
        state.wizard.windowMaximized = true;
        QVERIFY(SaveSettings(state));
        const QByteArray file = dir.read("Kestrum.ini");
        QVERIFY(file.startsWith("[Configuration]\r\nWindowState=Maximized\r\nLayoutIndex=1\r\n[Appearance]"));
        AppState next = freshState(dir);
        LoadSettings(next);
        QVERIFY(next.wizard.settingsSaidMaximized);
        QCOMPARE(next.wizard.windowWidth, 768);
        QCOMPARE(next.wizard.windowHeight, 555);
    }

    void emulatorKeysWrittenOnlyWhenTheirConditionHolds() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.setup.mameExecutableFile = dir.write("empty-mame", "");
        state.setup.categoryFile = dir.file("missing-catver.ini");
        QVERIFY(SaveSettings(state));
        QCOMPARE(dir.read("Kestrum.ini"),
                 defaultFile("CategoryFile=" + state.setup.categoryFile.toUtf8() + "\r\n"));

        state.setup.mameExecutableFile = dir.write("mame", "#!/bin/sh\n");
        state.setup.categoryFile.clear();
        state.setup.nonArcadeMachineFile = "mess.ini";
        state.setup.moveFilesToFolder = "/media/keep";
        QVERIFY(SaveSettings(state));
        QCOMPARE(
            dir.read("Kestrum.ini"),
            defaultFile("MAMEFile=" + state.setup.mameExecutableFile.toUtf8() +
                        "\r\nNonArcadeMachineFile=mess.ini\r\nDestinationFolderToMoveFiles=/media/keep\r\n"));

        state.setup.mameExecutableFile = dir.makeFolder("mamefolder");
        QVERIFY(SaveSettings(state));
        QVERIFY(!dir.read("Kestrum.ini").contains("MAMEFile="));
    }

    void categoriesRowHeight_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("readBack");
        QTest::newRow("20") << 20 << 3 << 20;
        QTest::newRow("28") << 28 << 2 << 28;
        QTest::newRow("36") << 36 << 1 << 36;
        QTest::newRow("52") << 52 << 0 << 52;
        QTest::newRow("24 is not in the table") << 24 << 3 << 20;
    }
    void categoriesRowHeight() {
        QFETCH(int, height);
        QFETCH(int, index);
        QFETCH(int, readBack);
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.appearance.categoriesRowHeight = height;
        QVERIFY(SaveSettings(state));
        QVERIFY(dir.read("Kestrum.ini")
                    .contains("\r\nCategoriesCellHeightSize=" + QByteArray::number(index) + "\r\n"));
        AppState next = freshState(dir);
        LoadSettings(next);
        QCOMPARE(next.appearance.categoriesRowHeight, readBack);
    }

    void smallScreenNeitherReadsNorWritesTheLayout() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Configuration]\r\nLayoutIndex=3\r\n");
        AppState small = freshState(dir);
        small.wizard.layoutSelectorShown = false;
        LoadSettings(small);
        QCOMPARE(small.gamesPage.layout, 1);
        QVERIFY(SaveSettings(small));
        QVERIFY(!dir.read("Kestrum.ini").contains("LayoutIndex"));

        dir.write("Kestrum.ini", "[Configuration]\r\nLayoutIndex=3\r\n");
        AppState large = freshState(dir);
        LoadSettings(large);
        QCOMPARE(large.gamesPage.layout, 3);
    }

    // Hand-edited values outside a key's range fall back to the key's default.
    void outOfRangeValuesReadAsDefaults_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("layout 4") << QByteArray("[Configuration]\r\nLayoutIndex=4\r\n");
        QTest::newRow("layout text") << QByteArray("[Configuration]\r\nLayoutIndex=two\r\n");
        QTest::newRow("icon size 7") << QByteArray("[Appearance]\r\nGameIconSize=7\r\n");
        QTest::newRow("row height -1") << QByteArray("[Appearance]\r\nCategoriesCellHeightSize=-1\r\n");
        QTest::newRow("yes/no 2") << QByteArray("[File Type]\r\nGameROMs=2\r\nImageGameSnapshot=yes\r\n");
        QTest::newRow("sort column 12") << QByteArray("[List Sort]\r\nSearchResultsColumn=12\r\n");
        QTest::newRow("filter index 3")
            << QByteArray("[Search Criteria]\r\nMediaType=3\r\nGameSetType=9\r\n");
        QTest::newRow("width 0x300") << QByteArray("[Configuration]\r\nScreenWidth=0x300\r\n");
        QTest::newRow("colour too big")
            << QByteArray("[Appearance]\r\nGamesListBackgroundColor=4294967296\r\n");
    }
    void outOfRangeValuesReadAsDefaults() {
        QFETCH(QByteArray, file);
        TempProgramFolder dir;
        dir.write("Kestrum.ini", file);
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.gamesPage.layout, 1);
        QCOMPARE(state.gamesPage.gameIconSize, 3);
        QCOMPARE(state.appearance.categoriesRowHeight, 20);
        QVERIFY(state.setup.fileTypeChecked[GameROMs]);
        QVERIFY(state.setup.fileTypeChecked[ImageSnap]);
        QCOMPARE(state.gamesPage.searchResultsSort, SortState());
        QCOMPARE(state.gamesPage.filters.searchCriteria, (std::array<int, kSearchCriteriaCount>{}));
        QCOMPARE(state.wizard.windowWidth, 768);
        QCOMPARE(state.appearance.gamesListBackgroundColor, kWhite);
    }

    void valuesRoundTrip() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.wizard.windowWidth = 1024;
        state.wizard.windowHeight = 700;
        state.gamesPage.layout = 2;
        state.appearance.gamesListBackgroundColor = -2147483643;  // a system colour
        state.appearance.parentGameFont = {"DejaVu Sans", 11, FontBold | FontItalic, 255};
        state.gamesPage.gameIconSize = 1;
        state.setup.fileTypeChecked.fill(true);
        state.setup.scanGameFilesQuickScan = false;
        state.setup.moveDeletedFilesToTrash = true;
        state.gamesPage.searchResultsSort = {4, true};
        state.gamesPage.workListSort = {2, false};
        state.gamesPage.filters.searchCriteria = {2, 3, 4, 2, 2, 3, 2};
        state.setup.categoryFile = QString::fromUtf8("/home/\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B/catver.ini");
        QVERIFY(SaveSettings(state));
        QVERIFY(dir.read("Kestrum.ini")
                    .contains("CategoryFile=/home/\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B/catver.ini\r\n"));
        AppState back = freshState(dir);
        LoadSettings(back);
        QCOMPARE(back.wizard.windowWidth, 1024);
        QCOMPARE(back.wizard.windowHeight, 700);
        QCOMPARE(back.gamesPage.layout, 2);
        QCOMPARE(back.appearance.gamesListBackgroundColor, state.appearance.gamesListBackgroundColor);
        QCOMPARE(back.appearance.parentGameFont, state.appearance.parentGameFont);
        QCOMPARE(back.gamesPage.gameIconSize, 1);
        QCOMPARE(back.setup.fileTypeChecked, state.setup.fileTypeChecked);
        QVERIFY(!back.setup.scanGameFilesQuickScan);
        QVERIFY(back.setup.moveDeletedFilesToTrash);  // off by default (the default file has no key)
        QCOMPARE(back.gamesPage.searchResultsSort, state.gamesPage.searchResultsSort);
        QCOMPARE(back.gamesPage.workListSort, state.gamesPage.workListSort);
        QCOMPARE(back.gamesPage.filters.searchCriteria, state.gamesPage.filters.searchCriteria);
        QCOMPARE(back.setup.categoryFile, state.setup.categoryFile);
    }

    void sortDirectionNeedsAColumnBeyondTheFirst() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[List Sort]\r\nSearchResultsColumn=0\r\nSearchResultsDirection=1\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.gamesPage.searchResultsSort, SortState());
    }

    void eightBitTextsAreReadAsWindows1252() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Emulator]\r\nCategoryFile=C:\\Jeux\\cat\xE9gories.ini\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.setup.categoryFile, QString::fromUtf8("C:\\Jeux\\cat\xC3\xA9gories.ini"));
    }

    void fileFoundWhateverItsCase() {
        TempProgramFolder dir;
        dir.write("KESTRUM.INI", "[Emulator]\r\nCategoryFile=upper\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.setup.categoryFile, QStringLiteral("upper"));

        dir.write("Kestrum.ini", "[Emulator]\r\nCategoryFile=exact\r\n");
        LoadSettings(state);
        QCOMPARE(state.setup.categoryFile, QStringLiteral("exact"));

        QVERIFY(SaveSettings(state));
        QVERIFY(dir.read("Kestrum.ini").contains("CategoryFile=exact\r\n"));
    }

    void otherKeysAndSectionsAreDroppedAndTheOldFileReplacedWhole() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Mine]\r\nKeep=1\r\n[Emulator]\r\nCategoryFile=a\r\nExtra=2\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QVERIFY(SaveSettings(state));
        QCOMPARE(dir.read("Kestrum.ini"), defaultFile("CategoryFile=a\r\n"));
        QVERIFY(!QFile::exists(dir.file("Kestrum.ini.kestrum-tmp")));
    }

    void failedWriteKeepsTheOldFile() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Emulator]\r\nCategoryFile=old\r\n");
        dir.makeFolder("Kestrum.ini.kestrum-tmp/blocker");  // the temporary name cannot be created
        AppState state = freshState(dir);
        state.setup.categoryFile = "new";
        QVERIFY(!SaveSettings(state));
        QCOMPARE(dir.read("Kestrum.ini"), QByteArray("[Emulator]\r\nCategoryFile=old\r\n"));
    }
};

KESTRUM_REGISTER_TEST(SettingsTest)
KESTRUM_TEST_MAIN
#include "tst_settings.moc"
