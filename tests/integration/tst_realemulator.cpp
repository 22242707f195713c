#include "FakeDialogPort.h"
#include "FakeWindows.h"
#include "FakeWizardView.h"
#include "TempProgramFolder.h"
#include "WiredWizard.h"
#include "app/AppState.h"
#include "app/Subsystems.h"
#include "app/Wizard.h"
#include "common/RunControl.h"
#include "emulator/CommandRunner.h"
#include "emulator/EmulatorIni.h"
#include "emulator/EmulatorVersion.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListBuild.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/SetDependencies.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace {
const QString kPackagedEmulator = QStringLiteral("/usr/games/mame");
}

// The Debian emulator package, run through the real code in a temporary emulator folder with
// HOME pointing at a temporary folder.
class RealEmulatorTest : public QObject {
    Q_OBJECT
private:
    TempProgramFolder m_program;
    TempProgramFolder m_home;
    QString m_emulator;
    QByteArray m_savedHome;

    QString home() const { return m_home.path(); }  // ends with "/"

private Q_SLOTS:
    void initTestCase() {
        if (!QFile::exists(kPackagedEmulator)) {
            if (qEnvironmentVariableIsSet("KESTRUM_REQUIRE_EMULATOR")) {
                QFAIL(
                    "the Debian mame package is not installed, although scripts/test should have installed "
                    "it");
            }
            QSKIP(
                "the Debian mame package is not installed (apt-get install mame); skipping the real-emulator "
                "tests");
        }
        m_savedHome = qgetenv("HOME");
        qputenv("HOME", m_home.path().chopped(1).toUtf8());
        m_emulator = m_program.makeFolder("emulator") + "mame";
        QVERIFY(QFile::link(kPackagedEmulator, m_emulator));
    }
    void cleanupTestCase() {
        if (!m_savedHome.isNull()) {
            qputenv("HOME", m_savedHome);
        }
    }

    void versionFromHelp() {
        FakeDialogPort port;
        RunControl runs;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(DetectEmulatorVersion(port, runs, m_emulator, m_program.path()), QStringLiteral("0.251"));
        qInfo("one -help through the shell took %lld ms", clock.elapsed());
        QVERIFY(!QFile::exists(m_program.file("iMAMEVersion.tmp")));
        const EmulatorIdentity identity = DescribeEmulator(port, runs, m_emulator, m_program.path());
        QVERIFY2(identity.description.startsWith("MAME v0.251 ("), qPrintable(identity.description));
        QCOMPARE(ListCommandChoice(EmulatorVersionNumber(identity.version)), ListCommand::ListXml);
        QVERIFY(port.messages.isEmpty());
    }

    void packagedIniThenItsOwn() {
        AppState state;
        state.setup.ProgramFolder = m_program.path();
        state.setup.mameExecutableFile = m_emulator;
        state.emulator.iniFallbackFolders = defaultEmulatorIniFolders();
        QCOMPARE(state.emulator.iniFallbackFolders.first(), home() + ".mame/");
        QCOMPARE(FindEmulatorIni(state.emulator, state.setup), QStringLiteral("/etc/mame/mame.ini"));

        FakeDialogPort port;
        RunControl runs;
        QElapsedTimer clock;
        clock.start();
        CreateEmulatorConfig(state.setup, port, runs);
        qInfo("one -createconfig took %lld ms", clock.elapsed());
        const QString folder = m_program.file("emulator/");
        QCOMPARE(FindEmulatorIni(state.emulator, state.setup), folder + "mame.ini");

        // The wizard leaves page 1 for page 3: the emulator's own ui.ini names the image folders.
        state.setup.categoryFile = m_program.write("catver.ini", "[Category]\r\n");
        state.wizard.page = WizardPage::Emulator;
        WiredWizard wired(state, port);
        wired.wizard.WizardStep(+1);
        QCOMPARE(state.wizard.page, WizardPage::FileTypes);
        QVERIFY(state.emulator.ImageFoldersFromUiIni);
        QVERIFY2(port.messages.isEmpty(), qPrintable(port.texts().join(" | ")));

        const EmulatorFolders& folders = state.emulator.folders;
        QCOMPARE(folders.RomFolders, QStringList({home() + "mame/roms/", "/usr/local/share/games/mame/roms/",
                                                  "/usr/share/games/mame/roms/"}));
        QCOMPARE(folders.CfgFolder, home() + ".mame/cfg/");
        QCOMPARE(folders.NvramFolder, home() + ".mame/nvram/");
        QCOMPARE(folders.IniFolder, folder + "ini/");  // "$HOME/.mame;/etc/mame" holds a ";"
        QCOMPARE(folders.FolderOfType(ImageSnap), home() + ".mame/snap/");
        QCOMPARE(folders.FolderOfType(ImageCabinet), folder + "cabinets/");
        QCOMPARE(folders.FolderOfType(ImageGameArtwork), folder + "artpreview/");
        QCOMPARE(folders.FolderOfType(ImageTitle), folder + "titles/");
    }

    // The packaged emulator as installed, its ini file in /etc/mame/ and the user's ui.ini in
    // $HOME/.mame/: every folder lies under HOME, none under /usr/games.
    void packagedEmulatorUsesHomeFolders() {
        m_home.write(".mame/ui.ini", "titles_directory titles\ncabinets_directory \"my cabs;cabdevs\"\n");
        AppState state;
        state.setup.ProgramFolder = m_program.path();
        state.setup.mameExecutableFile = kPackagedEmulator;
        state.setup.categoryFile = m_program.write("catver.ini", "[Category]\r\n");
        state.emulator.iniFallbackFolders = defaultEmulatorIniFolders();
        state.wizard.page = WizardPage::Emulator;
        FakeDialogPort port;
        WiredWizard wired(state, port);
        wired.wizard.WizardStep(+1);
        QCOMPARE(state.wizard.page, WizardPage::FileTypes);
        QVERIFY2(port.messages.isEmpty(), qPrintable(port.texts().join(" | ")));
        const EmulatorFolders& folders = state.emulator.folders;
        QCOMPARE(folders.RomFolders.first(), home() + "mame/roms/");
        QCOMPARE(folders.IniFolder, home() + ".mame/");  // the first entry of inipath that exists
        QCOMPARE(folders.CfgFolder, home() + ".mame/cfg/");
        QCOMPARE(folders.FolderOfType(ImageTitle), home() + "titles/");
        QCOMPARE(folders.FolderOfType(ImageCabinet), home() + "my cabs/");
        QCOMPARE(folders.FolderOfType(ImageSnap), home() + ".mame/snap/");
        QStringList all =
            folders.RomFolders + QStringList{folders.IniFolder, folders.CfgFolder, folders.NvramFolder};
        for (const QString& image : folders.ImageFolders) {
            all.append(image);
        }
        for (const QString& folder : all) {
            QVERIFY2(!folder.startsWith("/usr/games"), qPrintable(folder));
        }
    }

    // The whole games list from the emulator's -listxml output, with the published category file.
    void buildsTheGamesList() {
        AppState state;
        state.setup.ProgramFolder = m_program.path();
        state.setup.mameExecutableFile = m_emulator;
        state.setup.categoryFile = QStringLiteral(KESTRUM_SHARED_DATA "/catver.ini");
        state.setup.scanGameFilesQuickScan = false;
        FakeDialogPort port;
        WiredWizard wired(state, port);  // the wizard shows what the games database reports
        FakeWaitWindow& wait = wired.wait;
        GamesContext context{state.games, state.setup, state.emulator, port, wired.runs, wait, wired.wizard};
        QVERIFY(LoadCategories(state.games, state.setup, wired.wizard));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(CreateGamesList(context));
        qInfo("the games list was built and loaded in %lld ms", clock.elapsed());
        QVERIFY2(port.messages.isEmpty(), qPrintable(port.texts().join(" | ")));
        QVERIFY2(state.games.FullGamesList.size() >= 40000,
                 qPrintable(QString::number(state.games.FullGamesList.size())));
        const QList<QByteArray> head = m_program.read("listfull.txt").left(4096).split('\n');
        QVERIFY2(head.size() > 3 && head[1].startsWith("MAME v0.251 ("), head.value(1).constData());
        QCOMPARE(head[0].trimmed(), ListStamp(m_emulator).toLatin1());
        QVERIFY(!QFile::exists(m_program.file("listxml.xml")));
        QCOMPARE(state.texts.versionUsedCaption.toUtf8(), head[1].trimmed());
        const auto pacman = std::find_if(state.games.FullGamesList.cbegin(), state.games.FullGamesList.cend(),
                                         [](const TGameInfo& game) { return game.Name == "pacman"; });
        QVERIFY(pacman != state.games.FullGamesList.cend());
        QCOMPARE(pacman->CloneOf, QStringLiteral("puckman"));
        QCOMPARE(pacman->Kind, qint32(KindClone));
        QVERIFY(!pacman->Category.isEmpty());  // taken from its own entry or its parent's
        QVERIFY(wait.closes >= 1);
        QVERIFY(!wait.visible);
        checkDependencies(state.games);
    }

private:
    // A few relations known in this emulator's list: BIOS, parent and device sets.
    static void checkDependencies(const GamesData& games) {
        QVERIFY2(games.dependencies, "listdeps.txt is missing or not tied to listfull.txt");
        const DependencyTable& needs = *games.dependencies;
        QCOMPARE(needs.value("mslug").romOf, QStringLiteral("neogeo"));
        QVERIFY(needs.value("galaga").devices.contains("namco51"));
        QVERIFY(!needs.value("galaga").devices.contains("z80"));  // no ROMs: no set of its own
        QVERIFY(!needs.contains("pacman"));                       // its parent is in the games list

        const auto named = [&games](const QString& name) {
            return *std::find_if(games.FullGamesList.cbegin(), games.FullGamesList.cend(),
                                 [&name](const TGameInfo& game) { return game.Name == name; });
        };
        QElapsedTimer clock;
        clock.start();
        const NeededSets needed = setsNeededElsewhere(games.FullGamesList, needs,
                                                      {named("neogeo"), named("namco51"), named("puckman")});
        qInfo("the sets needed elsewhere were found in %lld ms", clock.elapsed());
        QStringList sets;
        for (const NeededSet& set : needed.sets) {
            sets.append(set.name);
        }
        QCOMPARE(sets.size(), 3);
        QVERIFY2(sets.first() == "neogeo", qPrintable(sets.join(' ')));
        QVERIFY(needed.sets.first().games > 163);  // the games naming it, and their clones
        QVERIFY(needed.games > needed.sets.first().games);
    }
};

QTEST_GUILESS_MAIN(RealEmulatorTest)
#include "tst_realemulator.moc"
