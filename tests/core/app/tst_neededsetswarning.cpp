// The Finish page's warning about sets other games need, and FINISH's question, with the program's
// own wiring over a small collection.
#include "FakeDialogPort.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "WiredWizard.h"

#include <QFile>
#include <QTest>

namespace {

const QString kQuestion =
    "question | Sets Other Games Need | 2 games that are not in the Work List need sets this job will "
    "change. "
    "Go on?";

TGameInfo machine(const QString& name, const QString& cloneOf = {}) {
    TGameInfo game;
    game.Name = name;
    game.CloneOf = cloneOf;
    return game;
}

// A BIOS with a game on it and that game's clone, and a ROM folder holding every set; the Work
// List holds the BIOS.
struct Collection {
    TempProgramFolder dir;
    AppState state;
    FakeDialogPort port;
    WiredWizard wired{state, port};

    explicit Collection(OperationMode operation, bool withDependencies = true) {
        state.setup.ProgramFolder = dir.path();
        state.setup.operation = operation;
        state.setup.fileTypeChecked.fill(false);
        state.setup.fileTypeChecked[GameROMs] = true;
        state.setup.moveFilesToFolder = dir.makeFolder("keep");
        state.emulator.folders.RomFolders = {dir.makeFolder("roms")};
        for (const char* set : {"neogeo.zip", "mslug.zip", "mslugx.zip", "neogeo.zip.krm"}) {
            dir.write(QStringLiteral("roms/") + set, "set");
        }
        state.games.FullGamesList = {machine("neogeo"), machine("mslug"), machine("mslugx", "mslug")};
        if (withDependencies) {
            state.games.dependencies = DependencyTable{{"mslug", {"neogeo", {}}}};
        }
        state.gamesPage.WorkList = {machine("neogeo")};
        state.wizard.page = WizardPage::Games;
    }
    void finish() { wired.wizard.WizardStep(1); }
    QStringList shown() const {
        QStringList out;
        for (const FakeDialogPort::Message& m : port.messages) {
            out.append(m.kind + " | " + m.caption + " | " + m.text);
        }
        return out;
    }
    bool setThere() const { return QFile::exists(dir.file("roms/neogeo.zip")); }
};

}  // namespace

class NeededSetsWarningTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // No at the question leaves every file as it was; Yes runs the job.
    void finishAsksBeforeChangingNeededSets_data() {
        QTest::addColumn<int>("operation");
        QTest::newRow("delete") << int(DeleteFiles);
        QTest::newRow("rename") << int(RenameFiles);
        QTest::newRow("move") << int(MoveFiles);
    }
    void finishAsksBeforeChangingNeededSets() {
        QFETCH(int, operation);
        Collection c{OperationMode(operation)};
        c.finish();
        QCOMPARE(c.state.wizard.page, WizardPage::Finish);
        QCOMPARE(c.state.texts.neededSets.games, 2);  // the game on the BIOS and its clone
        QCOMPARE(c.state.texts.neededSets.sets.size(), 1);
        QCOMPARE(neededSetText(c.state.texts.neededSets.sets[0]),
                 QStringLiteral("neogeo: needed by 2 games not in the Work List"));
        QVERIFY(!c.state.texts.dependencyCheckUnavailable);

        c.finish();
        QCOMPARE(c.shown(), QStringList{kQuestion});
        QCOMPARE(c.port.messages[0].icon, MessageIcon::Warning);
        QVERIFY(c.setThere());
        QVERIFY(c.wired.log.lines.isEmpty());

        c.port.answers.enqueue(true);
        c.finish();
        QCOMPARE(c.shown().count(kQuestion), 2);
        QVERIFY(!c.setThere());
    }

    // Restore and Delete Renamed never ask, nor do jobs that leave the ROM sets alone; a list
    // without dependencies says the check is unavailable and the job runs as it did.
    void whenNothingIsAsked_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<bool>("roms");
        QTest::addColumn<bool>("dependencies");
        QTest::addColumn<bool>("unavailable");
        QTest::newRow("restore") << int(RestoreFiles) << true << true << false;
        QTest::newRow("delete renamed") << int(DeleteRenamedFiles) << true << true << false;
        QTest::newRow("delete without ROM sets") << int(DeleteFiles) << false << true << false;
        QTest::newRow("delete, no dependencies") << int(DeleteFiles) << true << false << true;
        QTest::newRow("restore, no dependencies") << int(RestoreFiles) << true << false << false;
    }
    void whenNothingIsAsked() {
        QFETCH(int, operation);
        QFETCH(bool, roms);
        QFETCH(bool, dependencies);
        QFETCH(bool, unavailable);
        Collection c{OperationMode(operation), dependencies};
        c.state.setup.fileTypeChecked[GameROMs] = roms;
        c.state.setup.fileTypeChecked[GameCfg] = true;
        c.finish();
        QCOMPARE(c.state.texts.neededSets.games, 0);
        QVERIFY(c.state.texts.neededSets.sets.isEmpty());
        QCOMPARE(c.state.texts.dependencyCheckUnavailable, unavailable);
        c.finish();
        QVERIFY2(!c.shown().join('\n').contains("Sets Other Games Need"), qPrintable(c.shown().join('\n')));
        QVERIFY(!c.wired.log.lines.isEmpty());  // the job ran
    }
};

KESTRUM_REGISTER_TEST(NeededSetsWarningTest)
#include "tst_neededsetswarning.moc"
