#include "TempProgramFolder.h"
#include "TestMain.h"
#include "app/AppState.h"
#include "app/Settings.h"

#include <QFile>
#include <QTest>

namespace {

AppState freshState(const TempProgramFolder& dir) {
    AppState state;
    state.ProgramFolder = dir.path();
    return state;
}

// The file SaveSettings writes for a state at its defaults, line by line.
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
         "InterfaceType=0\r\nScreenOrientation=0\r\nGameStatus=0\r\n";
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
        QVERIFY(state.mameExecutableFile.isEmpty());
        QVERIFY(state.fileTypeChecked[GameROMs]);
        QVERIFY(state.fileTypeChecked[ImageSnap]);
        QVERIFY(!state.fileTypeChecked[GameCfg]);
        QVERIFY(state.scanGameFilesQuickScan);
        QCOMPARE(state.operation, int(RenameFiles));
        QCOMPARE(state.layout, 1);
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
        state.windowWidth = 1000;  // as if something had changed it before
        state.fileTypeChecked[GameCfg] = true;
        LoadSettings(state);
        QCOMPARE(state.mameExecutableFile, QStringLiteral("/usr/games/mame"));
        QCOMPARE(state.windowWidth, 768);
        QCOMPARE(state.windowHeight, 555);
        QCOMPARE(state.layout, 1);
        QVERIFY(state.fileTypeChecked[GameROMs]);
        QVERIFY(state.fileTypeChecked[ImageSnap]);
        QVERIFY(!state.fileTypeChecked[GameCfg]);
        QVERIFY(!state.settingsSaidMaximized);
    }

    void emptyMameFileValue() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Emulator]\r\nMAMEFile=\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.mameExecutableFile, QString());
        QVERIFY(state.scanGameFilesQuickScan);
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
        QCOMPARE(state.settingsSaidMaximized, maximized);
    }

    void maximisedCloseLeavesSizeOut() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.windowWidth = 1200;
        state.windowHeight = 700;
        state.windowMaximized = true;
        QVERIFY(SaveSettings(state));
        const QByteArray file = dir.read("Kestrum.ini");
        QVERIFY(file.startsWith("[Configuration]\r\nWindowState=Maximized\r\nLayoutIndex=1\r\n[Appearance]"));
        AppState next = freshState(dir);
        LoadSettings(next);
        QVERIFY(next.settingsSaidMaximized);
        QCOMPARE(next.windowWidth, 768);
        QCOMPARE(next.windowHeight, 555);
    }

    void emulatorKeysWrittenOnlyWhenTheirConditionHolds() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.mameExecutableFile = dir.write("empty-mame", "");
        state.categoryFile = dir.file("missing-catver.ini");
        QVERIFY(SaveSettings(state));
        QCOMPARE(dir.read("Kestrum.ini"),
                 defaultFile("CategoryFile=" + state.categoryFile.toUtf8() + "\r\n"));

        state.mameExecutableFile = dir.write("mame", "#!/bin/sh\n");
        state.categoryFile.clear();
        state.nonArcadeMachineFile = "mess.ini";
        state.moveFilesToFolder = "/media/keep";
        QVERIFY(SaveSettings(state));
        QCOMPARE(
            dir.read("Kestrum.ini"),
            defaultFile("MAMEFile=" + state.mameExecutableFile.toUtf8() +
                        "\r\nNonArcadeMachineFile=mess.ini\r\nDestinationFolderToMoveFiles=/media/keep\r\n"));

        state.mameExecutableFile = dir.makeFolder("mamefolder");
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
        state.categoriesRowHeight = height;
        QVERIFY(SaveSettings(state));
        QVERIFY(dir.read("Kestrum.ini")
                    .contains("\r\nCategoriesCellHeightSize=" + QByteArray::number(index) + "\r\n"));
        AppState next = freshState(dir);
        LoadSettings(next);
        QCOMPARE(next.categoriesRowHeight, readBack);
    }

    void smallScreenNeitherReadsNorWritesTheLayout() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Configuration]\r\nLayoutIndex=3\r\n");
        AppState small = freshState(dir);
        small.layoutSelectorShown = false;
        LoadSettings(small);
        QCOMPARE(small.layout, 1);
        QVERIFY(SaveSettings(small));
        QVERIFY(!dir.read("Kestrum.ini").contains("LayoutIndex"));

        dir.write("Kestrum.ini", "[Configuration]\r\nLayoutIndex=3\r\n");
        AppState large = freshState(dir);
        LoadSettings(large);
        QCOMPARE(large.layout, 3);
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
        QCOMPARE(state.layout, 1);
        QCOMPARE(state.gameIconSize, 3);
        QCOMPARE(state.categoriesRowHeight, 20);
        QVERIFY(state.fileTypeChecked[GameROMs]);
        QVERIFY(state.fileTypeChecked[ImageSnap]);
        QCOMPARE(state.searchResultsSort, SortState());
        QCOMPARE(state.searchCriteria, (std::array<int, kSearchCriteriaCount>{}));
        QCOMPARE(state.windowWidth, 768);
        QCOMPARE(state.gamesListBackgroundColor, kWhite);
    }

    void valuesRoundTrip() {
        TempProgramFolder dir;
        AppState state = freshState(dir);
        state.windowWidth = 1024;
        state.windowHeight = 700;
        state.layout = 2;
        state.gamesListBackgroundColor = -2147483643;  // a system colour
        state.parentGameFont = {"DejaVu Sans", 11, FontBold | FontItalic, 255};
        state.gameIconSize = 1;
        state.fileTypeChecked.fill(true);
        state.scanGameFilesQuickScan = false;
        state.searchResultsSort = {4, true};
        state.workListSort = {2, false};
        state.searchCriteria = {2, 3, 4, 2, 2, 3, 2};
        state.categoryFile = QString::fromUtf8("/home/\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B/catver.ini");
        QVERIFY(SaveSettings(state));
        QVERIFY(dir.read("Kestrum.ini")
                    .contains("CategoryFile=/home/\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B/catver.ini\r\n"));
        AppState back = freshState(dir);
        LoadSettings(back);
        QCOMPARE(back.windowWidth, 1024);
        QCOMPARE(back.windowHeight, 700);
        QCOMPARE(back.layout, 2);
        QCOMPARE(back.gamesListBackgroundColor, state.gamesListBackgroundColor);
        QCOMPARE(back.parentGameFont, state.parentGameFont);
        QCOMPARE(back.gameIconSize, 1);
        QCOMPARE(back.fileTypeChecked, state.fileTypeChecked);
        QVERIFY(!back.scanGameFilesQuickScan);
        QCOMPARE(back.searchResultsSort, state.searchResultsSort);
        QCOMPARE(back.workListSort, state.workListSort);
        QCOMPARE(back.searchCriteria, state.searchCriteria);
        QCOMPARE(back.categoryFile, state.categoryFile);
    }

    void sortDirectionNeedsAColumnBeyondTheFirst() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[List Sort]\r\nSearchResultsColumn=0\r\nSearchResultsDirection=1\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.searchResultsSort, SortState());
    }

    void eightBitTextsAreReadAsWindows1252() {
        TempProgramFolder dir;
        dir.write("Kestrum.ini", "[Emulator]\r\nCategoryFile=C:\\Jeux\\cat\xE9gories.ini\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.categoryFile, QString::fromUtf8("C:\\Jeux\\cat\xC3\xA9gories.ini"));
    }

    void fileFoundWhateverItsCase() {
        TempProgramFolder dir;
        dir.write("KESTRUM.INI", "[Emulator]\r\nCategoryFile=upper\r\n");
        AppState state = freshState(dir);
        LoadSettings(state);
        QCOMPARE(state.categoryFile, QStringLiteral("upper"));

        dir.write("Kestrum.ini", "[Emulator]\r\nCategoryFile=exact\r\n");
        LoadSettings(state);
        QCOMPARE(state.categoryFile, QStringLiteral("exact"));

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
        state.categoryFile = "new";
        QVERIFY(!SaveSettings(state));
        QCOMPARE(dir.read("Kestrum.ini"), QByteArray("[Emulator]\r\nCategoryFile=old\r\n"));
    }
};

KESTRUM_REGISTER_TEST(SettingsTest)
KESTRUM_TEST_MAIN
#include "tst_settings.moc"
