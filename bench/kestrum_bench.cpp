// kestrum-bench TASK ARGS...
//   listxml FILE [--keep DIR]                          scan -listxml output into listfull.txt
//   listinfo INFO DETAILS [--keep DIR]                 the same from -listinfo / -listdetails output
//   load LISTFULL [--rom-folder DIR]... [--categories FILE] [--nonarcade FILE] [--no-quick-scan]
//                                                      load categories and the games list
// Each prints one JSON line: task, seconds, lines, games, peak_rss_mb and the figures timed apart.
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/RunControl.h"
#include "common/Text.h"
#include "emulator/EmulatorState.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesData.h"
#include "gamesdb/GamesDatabase.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/GamesListLoader.h"
#include "gamesdb/ListInfoScanner.h"
#include "gamesdb/ListXmlScanner.h"
#include "progress/ProgressWindows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>
#include <cstdio>

namespace {

class SilentPort final : public DialogPort {
public:
    void showMessage(const QString& caption, const QString& text, MessageIcon) override {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(caption), qPrintable(text));
    }
    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon) override {
        showMessage(caption, text, icon);
        return false;
    }
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString folderName(const QString&, const QString&) override { return {}; }
    void openDocument(const QString&) override {}
    void setBusyPointer(bool) override {}
    void processPendingEvents() override { ++eventPumps; }
    qint64 eventPumps = 0;
};

class QuietWaitWindow final : public WaitWindow {
public:
    void show() override {}
    void setMessage(const QString&) override {}
    void setProgress(int percent) override {
        value = percent;
        ++moves;
    }
    int progress() const override { return value; }
    void close() override { value = 0; }
    int value = 0;
    int moves = 0;
};

class QuietGamesEvents final : public GamesDbEvents {
public:
    void loadingCategories(bool) override {}
    void replacingGamesList() override {}
    void gamesListRead(const QString&) override {}
    void gamesListLoadEnded() override {}
    void emulatorRunEnded() override {}
};

double peakRssMegabytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Puts `source` into the program folder under `name`: a hard link when possible, else a copy.
bool place(const QString& source, const QString& target) {
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0) {
        return true;
    }
    return QFile::copy(source, target);
}

QString optionValue(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
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

int usage() {
    std::fprintf(
        stderr,
        "usage: kestrum-bench listxml FILE [--keep DIR]\n"
        "       kestrum-bench listinfo INFO DETAILS [--keep DIR]\n"
        "       kestrum-bench load LISTFULL [--rom-folder DIR]... [--categories FILE] [--nonarcade FILE] "
        "[--no-quick-scan]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        return usage();
    }
    const QString task = args[0];
    QTemporaryDir folder;
    SetupChoices setup;
    EmulatorState emulator;
    GamesData games;
    setup.ProgramFolder = folder.path() + u'/';
    setup.mameExecutableFile = args[1];  // any existing file serves for the stamp
    emulator.EmulatorDescription = QStringLiteral("kestrum-bench");
    SilentPort port;
    QuietWaitWindow wait;
    QuietGamesEvents events;
    RunControl runs;
    GamesContext context{games, setup, emulator, port, runs, wait, events};
    QElapsedTimer clock;

    if (task == QStringLiteral("listxml")) {
        if (!place(args[1], setup.ProgramFolder + QStringLiteral("listxml.xml"))) {
            return usage();
        }
        ScanFigures figures;
        clock.start();
        const bool ok = ParseListXml(context, &figures) == ScanResult::Written;
        const qint64 total = clock.nsecsElapsed();
        const double seconds = double(total - figures.pauseNanoseconds - figures.flushNanoseconds) / 1e9;
        std::printf(
            "{\"task\":\"listxml\",\"seconds\":%.4f,\"lines\":%lld,\"games\":%lld,\"peak_rss_mb\":%.1f,"
            "\"pauses_seconds\":%.4f,\"flush_seconds\":%.4f,\"count_pass_seconds\":%.4f,\"progress_moves\":%"
            "d,"
            "\"event_pumps\":%lld,\"ok\":%s}\n",
            seconds, figures.lines, figures.games, peakRssMegabytes(), figures.pauseNanoseconds / 1e9,
            figures.flushNanoseconds / 1e9, figures.countNanoseconds / 1e9, wait.moves, port.eventPumps,
            ok ? "true" : "false");
        keep(args, setup);
        return ok ? 0 : 1;
    }
    if (task == QStringLiteral("listinfo") && args.size() >= 3) {
        if (!place(args[1], setup.ProgramFolder + QStringLiteral("listinfo.txt")) ||
            !place(args[2], setup.ProgramFolder + QStringLiteral("listdetails.txt"))) {
            return usage();
        }
        const qint64 lines = fileLines(args[1]);
        clock.start();
        const bool ok = ParseListInfo(context) == ScanResult::Written;
        const double seconds = double(clock.nsecsElapsed()) / 1e9 - 0.1;  // less its fixed 100 ms pause
        const qint64 games = fileLines(gamesListPath(setup.ProgramFolder)) - 2;
        std::printf(
            "{\"task\":\"listinfo\",\"seconds\":%.4f,\"lines\":%lld,\"games\":%lld,\"peak_rss_mb\":%.1f,"
            "\"ok\":%s}\n",
            seconds, lines, games, peakRssMegabytes(), ok ? "true" : "false");
        keep(args, setup);
        return ok ? 0 : 1;
    }
    if (task == QStringLiteral("load")) {
        if (!place(args[1], gamesListPath(setup.ProgramFolder))) {
            return usage();
        }
        for (qsizetype i = 0; i + 1 < args.size(); ++i) {
            if (args[i] == QStringLiteral("--rom-folder")) {
                emulator.folders.RomFolders.append(withTrailingSeparator(args[i + 1]));
            }
        }
        setup.categoryFile = optionValue(args, QStringLiteral("--categories"));
        setup.nonArcadeMachineFile = optionValue(args, QStringLiteral("--nonarcade"));
        setup.scanGameFilesQuickScan = !args.contains(QStringLiteral("--no-quick-scan"));
        const qint64 lines = fileLines(args[1]);
        clock.start();
        LoadCategories(games, setup, events);
        const qint64 categoriesDone = clock.nsecsElapsed();
        const bool ok = LoadGamesList(context);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        qint64 unavailable = 0;
        for (const TGameInfo& game : games.FullGamesList) {
            unavailable += game.IconIndex >= 4 ? 1 : 0;
        }
        std::printf(
            "{\"task\":\"load\",\"seconds\":%.4f,\"lines\":%lld,\"games\":%lld,\"peak_rss_mb\":%.1f,"
            "\"categories_seconds\":%.4f,\"categories\":%lld,\"unavailable\":%lld,\"ok\":%s}\n",
            seconds, lines, qint64(games.FullGamesList.size()), peakRssMegabytes(), categoriesDone / 1e9,
            qint64(games.CategoriesList.size()), unavailable, ok ? "true" : "false");
        return ok ? 0 : 1;
    }
    return usage();
}
