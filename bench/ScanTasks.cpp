// The scanners and the loader alone, on files given: their time beside the floors of scripts/bench.
#include "BenchSupport.h"
#include "catalog/SetupChoices.h"
#include "common/FileOps.h"
#include "common/RunControl.h"
#include "common/Text.h"
#include "emulator/EmulatorState.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesData.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/GamesListLoader.h"
#include "gamesdb/ListInfoScanner.h"
#include "gamesdb/ListXmlScanner.h"

#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>
#include <cstdio>

namespace {

// A program folder of its own with the games database's parts around it.
struct ScanBench {
    explicit ScanBench(const QString& stampedFile) {
        setup.ProgramFolder = folder.path() + u'/';
        setup.mameExecutableFile = stampedFile;  // any existing file serves for the stamp
        emulator.EmulatorDescription = QStringLiteral("kestrum-bench");
    }
    QTemporaryDir folder;
    SetupChoices setup;
    EmulatorState emulator;
    GamesData games;
    SilentPort port;
    QuietWaitWindow wait;
    QuietGamesEvents events;
    RunControl runs;
    GamesContext context{games, setup, emulator, port, runs, wait, events};
};

// Puts `source` into the program folder under `name`: a hard link when possible, else a copy.
bool place(const QString& source, const QString& target) {
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0) {
        return true;
    }
    return QFile::copy(source, target);
}

void keep(const QStringList& args, const SetupChoices& setup) {
    const QString folder = optionValue(args, QStringLiteral("--keep"));
    if (!folder.isEmpty()) {
        const QString target = withTrailingSeparator(folder) + QStringLiteral("listfull.txt");
        QFile::remove(target);
        QFile::copy(gamesListPath(setup.ProgramFolder), target);
    }
}

qint64 fileLines(const QString& path) {
    return splitLines(readWholeFile(path).value_or(QByteArray())).size();
}

}  // namespace

int scanListXml(const QStringList& args) {
    ScanBench b(args[1]);
    if (!place(args[1], b.setup.ProgramFolder + QStringLiteral("listxml.xml"))) {
        return 2;
    }
    ScanFigures figures;
    qint64 paused = 0;
    b.context.pausedNanoseconds = &paused;
    QElapsedTimer clock;
    clock.start();
    const bool ok = ParseListXml(b.context, &figures) == ScanResult::Written;
    const qint64 total = clock.nsecsElapsed();
    const double seconds = double(total - paused - figures.flushNanoseconds) / 1e9;
    std::printf(
        "{\"task\":\"listxml\",\"seconds\":%.4f,\"lines\":%lld,\"games\":%lld,\"peak_rss_mb\":%.1f,"
        "\"pauses_seconds\":%.4f,\"flush_seconds\":%.4f,\"progress_moves\":%d,\"event_pumps\":%lld,"
        "\"ok\":%s}\n",
        seconds, figures.lines, figures.games, peakRssMegabytes(), paused / 1e9,
        figures.flushNanoseconds / 1e9, b.wait.moves, b.port.eventPumps, ok ? "true" : "false");
    keep(args, b.setup);
    return ok ? 0 : 1;
}

int scanListInfo(const QStringList& args) {
    ScanBench b(args[1]);
    if (!place(args[1], b.setup.ProgramFolder + QStringLiteral("listinfo.txt")) ||
        !place(args[2], b.setup.ProgramFolder + QStringLiteral("listdetails.txt"))) {
        return 2;
    }
    const qint64 lines = fileLines(args[1]);
    qint64 paused = 0;
    b.context.pausedNanoseconds = &paused;
    QElapsedTimer clock;
    clock.start();
    const bool ok = ParseListInfo(b.context) == ScanResult::Written;
    const double seconds = double(clock.nsecsElapsed() - paused) / 1e9;
    const qint64 games = fileLines(gamesListPath(b.setup.ProgramFolder)) - 2;
    std::printf(
        "{\"task\":\"listinfo\",\"seconds\":%.4f,\"lines\":%lld,\"games\":%lld,\"peak_rss_mb\":%.1f,"
        "\"ok\":%s}\n",
        seconds, lines, games, peakRssMegabytes(), ok ? "true" : "false");
    keep(args, b.setup);
    return ok ? 0 : 1;
}

int loadGamesList(const QStringList& args) {
    ScanBench b(args[1]);
    if (!place(args[1], gamesListPath(b.setup.ProgramFolder))) {
        return 2;
    }
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == QStringLiteral("--rom-folder")) {
            b.emulator.folders.RomFolders.append(withTrailingSeparator(args[i + 1]));
        }
    }
    b.setup.categoryFile = optionValue(args, QStringLiteral("--categories"));
    b.setup.nonArcadeMachineFile = optionValue(args, QStringLiteral("--nonarcade"));
    b.setup.scanGameFilesQuickScan = !args.contains(QStringLiteral("--no-quick-scan"));
    const qint64 lines = fileLines(args[1]);
    QElapsedTimer clock;
    clock.start();
    LoadCategories(b.games, b.setup, b.events);
    const qint64 categoriesDone = clock.nsecsElapsed();
    const bool ok = LoadGamesList(b.context);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    qint64 unavailable = 0;
    for (const TGameInfo& game : b.games.FullGamesList) {
        unavailable += game.IconIndex >= 4 ? 1 : 0;
    }
    std::printf(
        "{\"task\":\"load\",\"seconds\":%.4f,\"lines\":%lld,\"games\":%lld,\"peak_rss_mb\":%.1f,"
        "\"categories_seconds\":%.4f,\"categories\":%lld,\"unavailable\":%lld,\"ok\":%s}\n",
        seconds, lines, qint64(b.games.FullGamesList.size()), peakRssMegabytes(), categoriesDone / 1e9,
        qint64(b.games.CategoriesList.size()), unavailable, ok ? "true" : "false");
    return ok ? 0 : 1;
}
