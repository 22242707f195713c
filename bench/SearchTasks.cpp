// The search and the Work List on the real games list, loaded as the program loads it.
#include "BenchSupport.h"
#include "catalog/SetupChoices.h"
#include "common/FileOps.h"
#include "common/RunControl.h"
#include "emulator/EmulatorState.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GamesData.h"
#include "gamesdb/GamesListFile.h"
#include "gamesdb/GamesListLoader.h"
#include "search/GameRowOrder.h"
#include "search/GamesPage.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

class NoPageView final : public GamesPageView {
public:
    void showNow() override {}
    void focusWorkList() override {}
};

double medianSeconds(QList<qint64> nanoseconds) {
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return nanoseconds.isEmpty() ? 0.0 : double(nanoseconds[nanoseconds.size() / 2]) / 1e9;
}

int intOption(const QStringList& args, const char* name) {
    const QString value = optionValue(args, QString::fromLatin1(name));
    return value.isEmpty() ? 0 : value.toInt();
}

}  // namespace

int searchGames(const QStringList& args) {
    QTemporaryDir folder;
    SetupChoices setup;
    setup.ProgramFolder = folder.path() + u'/';
    setup.categoryFile = optionValue(args, QStringLiteral("--categories"));
    setup.nonArcadeMachineFile = optionValue(args, QStringLiteral("--nonarcade"));
    EmulatorState emulator;
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == QStringLiteral("--rom-folder")) {
            emulator.folders.RomFolders.append(withTrailingSeparator(args[i + 1]));
        }
    }
    setup.scanGameFilesQuickScan = !emulator.folders.RomFolders.isEmpty();
    if (!QFile::copy(args[1], gamesListPath(setup.ProgramFolder))) {
        return 2;
    }
    GamesData games;
    SilentPort port;
    RunControl runs;
    QuietWaitWindow wait;
    QuietGamesEvents events;
    GamesContext load{games, setup, emulator, port, runs, wait, events};
    LoadCategories(games, setup, events);
    if (!LoadGamesList(load)) {
        return 1;
    }
    games.categoryMap.reset();

    GamesPageState page;
    static const char* const kBoxOptions[kFilterBoxCount] = {"--media",        "--driver",    "--set-type",
                                                             "--machine-type", "--interface", "--orientation",
                                                             "--game-status"};
    for (int box = 0; box < kFilterBoxCount; ++box) {
        page.filters.searchCriteria[box] = intOption(args, kBoxOptions[box]);
    }
    page.filters.StatusCategory = intOption(args, "--status-category");
    NoPageView view;
    GamesPageContext context{page, games, setup, port, view};
    const QString text = optionValue(args, QStringLiteral("--text"));
    const SearchKind kind = SearchKind(intOption(args, "--kind"));
    const bool exact = args.contains(QStringLiteral("--exact"));
    if (args.contains(QStringLiteral("--sort"))) {
        page.searchResultsSort = {intOption(args, "--sort"), args.contains(QStringLiteral("--descending"))};
        page.workListSort = page.searchResultsSort;
    }

    QList<qint64> searches;
    QList<qint64> adds;
    QElapsedTimer clock;
    for (int run = 0; run < 11; ++run) {
        clock.start();
        RunSearch(context, text, exact, kind);
        searches.append(clock.nsecsElapsed());
    }
    const qsizetype results = page.SearchResults.size();
    const QString dump = optionValue(args, QStringLiteral("--dump"));
    if (!dump.isEmpty()) {
        QByteArray out;
        for (const TGameInfo& game : page.SearchResults) {
            out +=
                (game.Name + u'\t' + game.Category + u'\t' + QString::number(game.IconIndex)).toUtf8() + '\n';
        }
        writeFileAtomically(dump, out);
    }
    // A header click's re-sort of the results, and the floor: a plain stable sort of the same rows'
    // titles with a plain case-insensitive comparison.
    QList<qint64> resorts;
    QList<qint64> floors;
    const int resort = args.contains(QStringLiteral("--resort")) ? intOption(args, "--resort") : -1;
    for (int run = 0; run < 11; ++run) {
        if (resort >= 0) {
            GameList rows = page.SearchResults;
            clock.start();
            sortGameRows(rows, {resort, false});
            resorts.append(clock.nsecsElapsed());
        }
        QStringList titles;
        titles.reserve(page.SearchResults.size());
        for (const TGameInfo& game : std::as_const(page.SearchResults)) {
            titles.append(game.Title);
        }
        clock.start();
        std::stable_sort(titles.begin(), titles.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        floors.append(clock.nsecsElapsed());
    }
    for (int run = 0; run < 11; ++run) {
        RunSearch(context, text, exact, kind);
        clock.start();
        AddSearchResultsToWorkList(context, false);
        adds.append(clock.nsecsElapsed());
        ClearGameList(context, WorkListList);
    }
    printLine(
        QStringLiteral("{\"task\":\"search\",\"games\":%1,\"results\":%2,\"seconds\":%3,\"add_seconds\":%4,"
                       "\"resort_seconds\":%5,\"floor_seconds\":%6,\"runs\":11,\"peak_rss_mb\":%7}")
            .arg(games.FullGamesList.size())
            .arg(results)
            .arg(medianSeconds(searches), 0, 'f', 5)
            .arg(medianSeconds(adds), 0, 'f', 5)
            .arg(medianSeconds(resorts), 0, 'f', 5)
            .arg(medianSeconds(floors), 0, 'f', 5)
            .arg(peakRssMegabytes(), 0, 'f', 1));
    return 0;
}
