// What the wizard runs on leaving page 1 (the folders) and on entering the games page (the build),
// through the real code with every question answered No.
#include "HeadlessWizard.h"
#include "common/FileOps.h"
#include "emulator/EmulatorIni.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesListBuild.h"
#include "gamesdb/GamesListFile.h"

#include <QFile>

namespace {

// The program folder named by --program-folder, else a temporary one.
struct ProgramFolder {
    explicit ProgramFolder(const QStringList& args) {
        const QString given = optionValue(args, QStringLiteral("--program-folder"));
        path = given.isEmpty() ? temporary.path() : given;
        path = withTrailingSeparator(path);
    }
    QTemporaryDir temporary;
    QString path;
};

double seconds(qint64 nanoseconds) {
    return double(nanoseconds) / 1e9;
}

}  // namespace

int buildGamesList(const QStringList& args) {
    const ProgramFolder folder(args);
    AppState state;
    SetupChoices& setup = state.setup;
    setup.ProgramFolder = folder.path;
    setup.mameExecutableFile = args[1];
    setup.categoryFile = optionValue(args, QStringLiteral("--category"));
    setup.categoryFileStamp = ListStamp(setup.categoryFile);
    setup.nonArcadeMachineFile = optionValue(args, QStringLiteral("--nonarcade"));
    setup.scanGameFilesQuickScan = !args.contains(QStringLiteral("--no-quick-scan"));
    setup.rebuildGamesListVisible = setup.rebuildGamesListChecked =
        args.contains(QStringLiteral("--rebuild"));
    state.games.LoadedWithQuickScan = setup.scanGameFilesQuickScan;
    state.emulator.iniFallbackFolders = defaultEmulatorIniFolders();
    SilentPort port;
    RunControl runs;
    ReadEmulatorIni(state.emulator, setup, port, runs);  // the ROM folders of the quick scan
    port.messages.clear();

    // The parts of the build, timed by what they report.
    QElapsedTimer clock;
    qint64 emulatorNanoseconds = 0;
    qint64 runStarted = 0;
    runs.onRunningChanged = [&](bool running) {
        if (running) {
            runStarted = clock.nsecsElapsed();
        } else {
            emulatorNanoseconds += clock.nsecsElapsed() - runStarted;
        }
    };
    qint64 scanStarted = -1;
    qint64 loadStarted = -1;
    qint64 loadEnded = -1;
    QuietWaitWindow wait;
    wait.onMessage = [&](const QString& text) {
        if (text.startsWith(QStringLiteral("Parsing"))) {
            scanStarted = clock.nsecsElapsed();
        } else if (text.startsWith(QStringLiteral("Loading games list"))) {
            loadStarted = clock.nsecsElapsed();
        }
    };
    QuietGamesEvents events;
    events.onLoadEnded = [&] { loadEnded = clock.nsecsElapsed(); };
    qint64 paused = 0;
    GamesContext context{state.games, setup, state.emulator, port, runs, wait, events, &paused};

    clock.start();
    LoadCategories(state.games, setup, events);
    const qint64 categoriesDone = clock.nsecsElapsed();
    const bool ok = CreateGamesList(context);
    const qint64 total = clock.nsecsElapsed();
    const qint64 scan = scanStarted >= 0 && loadStarted >= 0 ? loadStarted - scanStarted : 0;
    const qint64 load = loadStarted >= 0 && loadEnded >= 0 ? loadEnded - loadStarted : 0;
    printLine(
        QStringLiteral("{\"task\":\"build\",\"ok\":%1,\"games\":%2,\"seconds\":%3,\"emulator_seconds\":%4,"
                       "\"categories_seconds\":%5,\"scan_seconds\":%6,\"load_seconds\":%7,"
                       "\"pause_seconds\":%8,\"peak_rss_mb\":%9,\"messages\":%10}")
            .arg(ok ? QStringLiteral("true") : QStringLiteral("false"))
            .arg(state.games.FullGamesList.size())
            .arg(seconds(total), 0, 'f', 4)
            .arg(seconds(emulatorNanoseconds), 0, 'f', 4)
            .arg(seconds(categoriesDone), 0, 'f', 4)
            .arg(seconds(scan), 0, 'f', 4)
            .arg(seconds(load), 0, 'f', 4)
            .arg(seconds(paused), 0, 'f', 4)
            .arg(peakRssMegabytes(), 0, 'f', 1)
            .arg(jsonMessages(port.messages)));
    return ok ? 0 : 1;
}

int emulatorFolders(const QStringList& args) {
    const ProgramFolder folder(args);
    HeadlessWizard headless;
    const AppState& state = headless.state;
    headless.wizard.windowCreated(portableFolders(folder.path), 1080);
    headless.leaveEmulatorPage(args[1]);

    const EmulatorFolders& folders = state.emulator.folders;
    QStringList images;
    for (const QString& image : folders.ImageFolders) {
        images.append(image);
    }
    printLine(
        QStringLiteral("{\"task\":\"folders\",\"page\":%1,\"ui_ini\":%2,\"RomFolders\":%3,\"IniFolder\":%4,"
                       "\"CfgFolder\":%5,\"NvramFolder\":%6,\"ImageFolders\":%7,\"messages\":%8}")
            .arg(int(state.wizard.page))
            .arg(state.emulator.ImageFoldersFromUiIni ? QStringLiteral("true") : QStringLiteral("false"))
            .arg(jsonList(folders.RomFolders), jsonText(folders.IniFolder), jsonText(folders.CfgFolder),
                 jsonText(folders.NvramFolder), jsonList(images), jsonMessages(headless.port.messages)));
    return state.wizard.page == WizardPage::Emulator ? 1 : 0;
}
