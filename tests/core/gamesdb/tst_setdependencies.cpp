// Which sets of the Work List games outside it need, over a small machine list made for the test.
#include "TestMain.h"
#include "catalog/SetupChoices.h"
#include "gamesdb/SetDependencies.h"

#include <QTest>

namespace {

TGameInfo machine(const QString& name, const QString& cloneOf = {}) {
    TGameInfo game;
    game.Name = name;
    game.CloneOf = cloneOf;
    return game;
}

// A BIOS and three games on it (one a clone of another), a parent with two clones, a CPU device,
// a sound board device that uses it and a game that uses the sound board, a game that needs nothing,
// and two machines that need each other.
const GameList kAll = {machine("neogeo"),
                       machine("mslug"),
                       machine("mslug2"),
                       machine("kof98"),
                       machine("kof98a", "kof98"),
                       machine("puckman"),
                       machine("pacman", "puckman"),
                       machine("pacmanf", "puckman"),
                       machine("z80"),
                       machine("namco51"),
                       machine("galaga"),
                       machine("1942"),
                       machine("loopa"),
                       machine("loopb")};

DependencyTable needs() {
    return {{"mslug", {"neogeo", {}}},  {"mslug2", {"neogeo", {}}},    {"kof98", {"neogeo", {}}},
            {"kof98a", {"kof98", {}}},  {"pacman", {"puckman", {}}},   {"pacmanf", {"puckman", {}}},
            {"namco51", {{}, {"z80"}}}, {"galaga", {{}, {"namco51"}}}, {"loopa", {{}, {"loopb"}}},
            {"loopb", {{}, {"loopa"}}}};
}

GameList listOf(const QStringList& names) {
    GameList list;
    for (const QString& name : names) {
        list.append(machine(name));
    }
    return list;
}

QStringList texts(const NeededSets& found) {
    QStringList out;
    for (const NeededSet& set : found.sets) {
        out.append(neededSetText(set));
    }
    return out;
}

}  // namespace

class SetDependenciesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void neededSets_data() {
        QTest::addColumn<QStringList>("workList");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<int>("games");
        // kof98a needs neogeo through its parent.
        QTest::newRow("bios") << QStringList{"neogeo"}
                              << QStringList{"neogeo: needed by 4 games not in the Work List"} << 4;
        QTest::newRow("parent") << QStringList{"puckman", "1942"}
                                << QStringList{"puckman: needed by 2 games not in the Work List"} << 2;
        // The sound board device needs the CPU, and so does the game through the board.
        QTest::newRow("device of a device")
            << QStringList{"z80"} << QStringList{"z80: needed by 2 games not in the Work List"} << 2;
        // Listed games need nothing of the list; kof98a counts once although it needs both sets.
        QTest::newRow("a chain in the list") << QStringList{"kof98", "neogeo", "mslug"}
                                             << QStringList{"neogeo: needed by 2 games not in the Work List",
                                                            "kof98: needed by 1 games not in the Work List"}
                                             << 2;
        QTest::newRow("nothing needed") << QStringList{"1942", "pacman"} << QStringList{} << 0;
        QTest::newRow("machines that need each other")
            << QStringList{"loopa"} << QStringList{"loopa: needed by 1 games not in the Work List"} << 1;
    }
    void neededSets() {
        QFETCH(QStringList, workList);
        QFETCH(QStringList, warnings);
        QFETCH(int, games);
        const NeededSets found = setsNeededElsewhere(kAll, needs(), listOf(workList));
        QCOMPARE(texts(found), warnings);
        QCOMPARE(found.games, games);
    }

    // Only what deletes, renames or moves ROM sets is asked about; Restore and Delete Renamed never.
    void whichJobsChangeSharedSets() {
        SetupChoices setup;
        setup.fileTypeChecked.fill(false);
        for (const OperationMode operation : {DeleteFiles, RenameFiles, RestoreFiles, DeleteRenamedFiles}) {
            setup.operation = operation;
            QVERIFY(!changesSharedSets(setup));
        }
        setup.operation = MoveFiles;
        QVERIFY(changesSharedSets(setup));
        setup.fileTypeChecked[GameROMs] = true;
        for (const OperationMode operation : {DeleteFiles, RenameFiles, MoveFiles}) {
            setup.operation = operation;
            QVERIFY(changesSharedSets(setup));
        }
        for (const OperationMode operation : {RestoreFiles, DeleteRenamedFiles}) {
            setup.operation = operation;
            QVERIFY(!changesSharedSets(setup));
        }
    }
};

KESTRUM_REGISTER_TEST(SetDependenciesTest)
#include "tst_setdependencies.moc"
