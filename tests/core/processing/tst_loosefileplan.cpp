// The plans and the order of the steps, without a disk.
#include "TestMain.h"
#include "emulator/EmulatorFolders.h"
#include "processing/LooseFiles.h"
#include "processing/ProcessGame.h"

#include <QTest>

namespace {

// pacman.zip lies in the first ROM folder, pacman.7z.krm in the second.
QString findRom(const QString& fileName) {
    return fileName == "pacman.zip"      ? "/r1/pacman.zip"
           : fileName == "pacman.7z.krm" ? "/r2/pacman.7z.krm"
                                         : "";
}

// "action path -> target | test tested", or "nothing".
QString describe(const LooseFilePlan& plan) {
    static const char* actions[] = {"nothing", "delete", "empty and remove", "move"};
    static const char* tests[] = {"file", "folder", "folder made"};
    if (plan.action == LooseAction::Nothing) {
        return "nothing";
    }
    return QStringLiteral("%1 %2 -> %3 | %4 %5")
        .arg(actions[int(plan.action)], plan.path, plan.target, tests[int(plan.test)], plan.testedPath);
}

std::array<bool, kFileTypeCount> checks(std::initializer_list<int> types) {
    std::array<bool, kFileTypeCount> checked{};
    for (int type : types) {
        checked[type] = true;
    }
    return checked;
}

}  // namespace

class LooseFilePlanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void plans_data() {
        QTest::addColumn<QString>("game");
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* game, int operation, int type, const char* ext,
                            const char* expected) {
            QTest::newRow(name) << game << operation << type << ext << expected;
        };
        row("rename rom", "pacman", RenameFiles, GameROMs, ".zip",
            "move /r1/pacman.zip -> /r1/pacman.zip.krm | file /r1/pacman.zip");
        row("rename missing rom", "pacman", RenameFiles, GameROMs, ".7z", "nothing");
        row("restore rom", "pacman", RestoreFiles, GameROMs, ".7z",
            "move /r2/pacman.7z.krm -> /r2/pacman.7z | file /r2/pacman.7z.krm");
        row("move rom", "pacman", MoveFiles, GameROMs, ".zip",
            "move /r1/pacman.zip -> /keep/pacman.zip | folder made /keep/");
        row("move image", "pacman", MoveFiles, ImageSnap, ".png", "nothing");
        row("delete nvram", "pacman", DeleteFiles, GameNVRAM, "",
            "empty and remove /n/pacman ->  | folder /n/pacman");
        row("rename cfg", "pacman", RenameFiles, GameCfg, ".cfg", "nothing");
        row("ini without folder", "pacman", DeleteFiles, GameIni, ".ini", "nothing");
        row("nvram of no name", "", DeleteFiles, GameNVRAM, "", "nothing");
        row("name with a folder", "../pacman", DeleteFiles, GameCfg, ".cfg", "nothing");
        row("rename jpg", "pacman", RenameFiles, ImageMarquee, ".jpg",
            "move /i/pacman.jpg -> /i/pacman.jpg.krm | file /i/pacman.jpg");
    }
    void plans() {
        QFETCH(QString, game);
        QFETCH(int, operation);
        QFETCH(int, type);
        QFETCH(QString, ext);
        EmulatorFolders folders;  // no ini folder
        folders.CfgFolder = "/c/";
        folders.NvramFolder = "/n/";
        folders.ImageFolders.fill("/i/");
        SetupChoices setup;
        setup.operation = OperationMode(operation);
        setup.moveFilesToFolder = "/keep";
        QTEST(describe(planLooseFile(game, type, ext, setup, folders, &findRom)), "expected");
        if (operation == MoveFiles) {
            setup.moveFilesToFolder = "/keep/";
            QTEST(describe(planLooseFile(game, type, ext, setup, folders, &findRom)), "expected");
            setup.moveFilesToFolder.clear();  // never a bare name in the current folder
            QCOMPARE(describe(planLooseFile(game, type, ext, setup, folders, &findRom)), "nothing");
        }
    }

    void stepOrder() {
        const auto checked = checks({ImageMarquee, GameNVRAM, ImageSnap, GameCfg, GameROMs});
        const QList<LooseFileStep> roms = {{GameROMs, ".zip"}, {GameROMs, ".7z"}};
        const QList<LooseFileStep> cfgAndNvram = {{GameCfg, ".cfg"}, {GameNVRAM, ""}};
        const QList<LooseFileStep> images = {
            {ImageSnap, ".png"}, {ImageMarquee, ".png"}, {ImageMarquee, ".jpg"}};
        QCOMPARE(looseFileSteps(DeleteFiles, checked), roms + cfgAndNvram + images);
        QCOMPARE(looseFileSteps(RenameFiles, checked), roms + images);
        QCOMPARE(looseFileSteps(MoveFiles, checked), roms);
        QVERIFY(looseFileSteps(MoveFiles, checks({ImageSnap})).isEmpty());
        QCOMPARE(summaryLineTypes(DeleteFiles, checked),
                 (QList<int>{GameROMs, GameCfg, GameNVRAM, ImageSnap, ImageMarquee}));
        std::array<bool, kFileTypeCount> all;
        all.fill(true);
        QCOMPARE(looseFileSteps(DeleteFiles, all).size(), 2 + 3 + kImageCategoryCount + 6);
        QCOMPARE(summaryLineTypes(DeleteFiles, all).size(), kFileTypeCount);
    }

    void summaryLines() {
        JobCounters counters;
        counters.Found[GameROMs] = 2;
        counters.Found[ImageMarquee] = 1;
        QCOMPARE(TypeSummaryLine(GameROMs, counters),
                 "Game Files / ROMs [.zip; .7z]: 2 files found and processed.");
        QCOMPARE(TypeSummaryLine(GameNVRAM, counters),
                 "Game NVRAM Files [NVRAM/EEPROM/SRAM/FLASH]: No files where found.");
        QCOMPARE(TypeSummaryLine(ImageMarquee, counters),
                 "Marquee [.png; .jpg]: 1 files found and processed.");
        QCOMPARE(TypeSummaryLine(ImageGameArtwork, counters), "Game Artwork [.png]: No files where found.");
    }
};

KESTRUM_REGISTER_TEST(LooseFilePlanTest)
KESTRUM_TEST_MAIN
#include "tst_loosefileplan.moc"
