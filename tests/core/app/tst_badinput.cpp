// Bad files met by the wizard: a Kestrum.ini of garbage reads as the defaults of its keys and is
// written clean at close; a category file that is binary is named in a warning.
#include "FakeDialogPort.h"
#include "GameRows.h"
#include "PeBuilder.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "WiredWizard.h"
#include "app/Settings.h"
#include "gamesdb/GamesListFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// What SaveSettings writes after LoadSettings has read `file` as Kestrum.ini (none when null).
QByteArray savedAfterLoading(const QByteArray& file) {
    TempProgramFolder dir;
    if (!file.isNull()) {
        dir.write("Kestrum.ini", file);
    }
    AppState state;
    state.setup.ProgramFolder = dir.path();
    LoadSettings(state);
    if (!SaveSettings(state)) {
        return "(not saved)";
    }
    return dir.read("Kestrum.ini");
}

QString executable(const TempProgramFolder& dir, const QString& name) {
    const QString path = dir.write(name, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

}  // namespace

class BadSettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every key of a file of garbage reads as its default: the file written at close is the one a
    // run without any Kestrum.ini writes.
    void garbageReadsAsDefaults_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("words where numbers go") << QByteArray(
            "[Configuration]\r\nScreenWidth=wide\r\nScreenHeight=12px\r\nLayoutIndex=one\r\n"
            "[Appearance]\r\nGamesListBackgroundColor=white\r\nParentGameFontSize=large\r\n"
            "ParentGameFontStyle=bold\r\nGameIconSize=1.5\r\nCategoriesCellHeightSize= \r\n"
            "[Emulator]\r\nScanGameFilesQuickScan=no\r\n[File Type]\r\nGameCFG=true\r\n"
            "[List Sort]\r\nWorkListColumn=2a\r\n[Search Criteria]\r\nGameStatus=--1\r\n");
        QTest::newRow("huge numbers") << QByteArray(
            "[Configuration]\r\nScreenWidth=99999999999999999999999999999\r\n"
            "ScreenHeight=4294967296\r\nLayoutIndex=18446744073709551617\r\n"
            "[Appearance]\r\nCloneGameFontSize=2147483648\r\nCloneGameFontColor=9223372036854775807\r\n"
            "CategoriesListFontStyle=65536\r\nGameIconSize=4294967299\r\n"
            "[List Sort]\r\nSearchResultsColumn=9223372036854775807\r\nSearchResultsDirection=1\r\n"
            "[Search Criteria]\r\nMediaType=4294967296\r\n");
        QTest::newRow("negative sizes") << QByteArray(
            "[Configuration]\r\nScreenWidth=-1024\r\nScreenHeight=-1\r\nLayoutIndex=-2\r\n"
            "[Appearance]\r\nParentGameFontSize=-9\r\nCategoriesListFontSize=0\r\n"
            "CategoriesListFontStyle=-1\r\nCategoriesCellHeightSize=-3\r\n"
            "GamesListBackgroundColor=-2147483649\r\n"
            "[List Sort]\r\nWorkListColumn=-1\r\nWorkListDirection=1\r\n"
            "[Search Criteria]\r\nDriverStatus=-1\r\n");
        QTest::newRow("keys outside their sections") << QByteArray(
            "ScreenWidth=1024\r\n[Configuratoin]\r\nScreenHeight=700\r\n[Appearance\r\n"
            "GameIconSize=1\r\nEmulator]\r\nMAMEFile=/usr/games/mame\r\n[]\r\nGameCFG=1\r\n");
        QTest::newRow("NUL bytes in keys and values")
            << QByteArray(
                   "[Configuration]\r\nScreenWidth=1~024\r\nScreen~Height=700\r\n"
                   "[File~Type]\r\nGameCFG=1\r\n[Appearance]\r\nGameIconSize=1~2\r\n")
                   .replace('~', '\0');
        QTest::newRow("random bytes") << randomBytes(64 * 1024, 3);
        QTest::newRow("an executable") << buildPe(PeVersionSpec());
        QTest::newRow("empty") << QByteArray("");
    }
    void garbageReadsAsDefaults() {
        QFETCH(QByteArray, file);
        QCOMPARE(savedAfterLoading(file), savedAfterLoading(QByteArray()));
    }

    // The paths of a hand-edited file are taken as written; leaving the emulator page then names
    // what is wrong, and the file written at close keeps only what may be kept. A path cut short by
    // a NUL names no file at all, even when its part before the NUL is a program.
    void badPathsAreRefusedByTheWizard_data() {
        QTest::addColumn<QByteArray>("emulator");    // "@" the program folder
        QTest::addColumn<QByteArray>("categories");  // "@" the program folder
        QTest::addColumn<QStringList>("messages");
        const QString badEmulator = "Select a valid executable file.";
        const QString badCategories =
            "Select a valid category ini file (usually catver.ini or category.ini).";
        QTest::newRow("missing files") << QByteArray("@no/such/mame") << QByteArray("@no/such/catver.ini")
                                       << QStringList{badEmulator, badCategories};
        QTest::newRow("folders") << QByteArray("@folder") << QByteArray("@folder/")
                                 << QStringList{badEmulator, badCategories};
        QTest::newRow("binary bytes") << QByteArray("@\xff\xfe\x01mame\x80") << QByteArray("@cat\x9d\x81.ini")
                                      << QStringList{badEmulator, badCategories};
        QTest::newRow("a program, then a NUL")
            << QByteArray("@mame~/../other").replace('~', '\0')
            << QByteArray("@catver.ini~x").replace('~', '\0') << QStringList{badEmulator, badCategories};
    }
    void badPathsAreRefusedByTheWizard() {
        QFETCH(QByteArray, emulator);
        QFETCH(QByteArray, categories);
        QFETCH(QStringList, messages);
        TempProgramFolder dir;
        executable(dir, "mame");
        dir.write("catver.ini", "[Category]\r\npacman=Maze\r\n[VerAdded]\r\npacman=0.1\r\n");
        dir.makeFolder("folder");
        const QByteArray folder = QFile::encodeName(dir.path());
        dir.write("Kestrum.ini", "[Emulator]\r\nMAMEFile=" + emulator.replace('@', folder) +
                                     "\r\nCategoryFile=" + categories.replace('@', folder) + "\r\n");
        AppState state;
        FakeDialogPort port;
        WiredWizard wired(state, port);
        wired.wizard.windowCreated(portableFolders(dir.path()), 800);
        wired.wizard.firstShowing();
        wired.wizard.WizardStep(1);
        QCOMPARE(state.wizard.page, WizardPage::Emulator);
        wired.wizard.WizardStep(1);
        QCOMPARE(port.texts().join(" / "), messages.join(" / "));
        QCOMPARE(state.wizard.page, WizardPage::Emulator);
        QVERIFY(wired.wizard.closeRequested());
        const QByteArray saved = dir.read("Kestrum.ini");
        QVERIFY(!saved.contains("MAMEFile="));
        QVERIFY(saved.endsWith("select_directory=select\r\n"));
        AppState again;
        again.setup.ProgramFolder = dir.path();
        LoadSettings(again);
        QCOMPARE(again.setup.categoryFile, state.setup.categoryFile);
    }
};

class BadCategoryFileTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A binary file chosen as the category file gives no category: the wizard names the file in
    // its warning and goes on to the games page, whose games carry no category; the file is as it was.
    void binaryCategoryFileIsNamed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("random bytes") << randomBytes(256 * 1024, 9);
        QTest::newRow("an executable") << buildPe(PeVersionSpec());
        QTest::newRow("only NUL bytes") << QByteArray(4096, '\0');
    }
    void binaryCategoryFileIsNamed() {
        QFETCH(QByteArray, bytes);
        TempProgramFolder dir;
        AppState state;
        FakeDialogPort port;
        WiredWizard wired(state, port);
        wired.wizard.windowCreated(portableFolders(dir.path()), 800);
        state.setup.categoryFile = dir.write("cat.exe", bytes);
        // A current games list, so the games are loaded without running the emulator.
        state.setup.mameExecutableFile = executable(dir, "mame");
        dir.write("listfull.txt", ListStamp(state.setup.mameExecutableFile).toLatin1() +
                                      "\r\nMAME v0.251\r\npacman=0000<title>Pac-Man/>\r\n");
        state.setup.scanGameFilesQuickScan = false;
        state.wizard.page = WizardPage::Operation;
        wired.wizard.WizardStep(1);
        QCOMPARE(state.wizard.page, WizardPage::Games);
        QCOMPARE(port.messages.size(), 1);
        QCOMPARE(port.messages[0].caption, QStringLiteral("Categories"));
        QCOMPARE(port.messages[0].text, "No categories could be read from \"" + state.setup.categoryFile +
                                            "\".\r\nCheck that it is a catver.ini or category.ini file.");
        QCOMPARE(port.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(state.games.CategoriesList, QStringList());
        QCOMPARE(namesOf(state.games.FullGamesList), QStringList{"pacman"});
        QCOMPARE(state.games.FullGamesList[0].Category, QString());
        QCOMPARE(dir.read("cat.exe"), bytes);
    }
};

KESTRUM_REGISTER_TEST(BadSettingsTest)
KESTRUM_REGISTER_TEST(BadCategoryFileTest)
#include "tst_badinput.moc"
