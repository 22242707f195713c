#include "GamesListLoader.h"

#include "Categories.h"
#include "DependencyFile.h"
#include "GamesData.h"
#include "GamesListFile.h"
#include "catalog/SetupChoices.h"
#include "common/CodePage.h"
#include "common/EventPump.h"
#include "common/FileOps.h"
#include "common/Text.h"
#include "emulator/EmulatorState.h"
#include "progress/ProgressWindows.h"

#include <QHash>

namespace {

QByteArrayView nameOf(QByteArrayView line) {
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? line : line.first(equals);
}

}  // namespace

bool LoadGamesList(GamesContext& context) {
    GamesData& games = context.games;
    const SetupChoices& setup = context.setup;
    const QString path = gamesListPath(setup.ProgramFolder);
    if (!FileExistsNotFolder(path)) {
        return false;
    }
    const QByteArray bytes = readWholeFile(path).value_or(QByteArray());
    const QList<QByteArrayView> lines = splitLines(bytes);
    if (lines.size() <= 2) {
        deleteFile(path);  // a build that found no games
        return false;
    }

    const bool quickScan = setup.scanGameFilesQuickScan;
    context.wait.setProgress(0);
    context.wait.show();
    context.wait.setMessage((quickScan
                                 ? QStringLiteral("Loading games list, searching game ROMs [.zip; .7z].")
                                 : QStringLiteral("Loading games list.")) +
                            QStringLiteral("\r\nMerged sets are not supported!"));
    context.events.replacingGamesList();
    games.FullGamesList.clear();
    games.FullGamesList.reserve(lines.size() - 2);

    NonArcadeList nonArcade;
    if (!setup.nonArcadeMachineFile.isEmpty() && IsUsableFile(setup.nonArcadeMachineFile)) {
        nonArcade =
            NonArcadeList::fromBytes(readWholeFile(setup.nonArcadeMachineFile).value_or(QByteArray()));
    }
    context.events.gamesListRead(decodeUtf8OrCp1252(lines[1]));

    const CategoryMap* categories = games.categoryMap.get();
    // Tens of thousands of games share a few hundred categories: decode each text once and let
    // the games share the decoded string.
    SharedGameTexts shared;
    RomFolderProbe roms(context.emulator.folders.RomFolders);
    EventPump pump(context.port);
    QByteArray fileName;
    const qsizetype last = lines.size() - 1;
    for (qsizetype i = 2; i <= last; ++i) {
        const QByteArrayView line = lines[i];
        if (!isGameLine(line)) {
            continue;  // never a game named "" standing for a whole folder
        }
        TGameInfo game;
        ParseGameLine(line, game, &shared);
        const QByteArrayView name = nameOf(line);
        bool found = false;
        if (quickScan) {
            fileName.resize(0);  // keeps the buffer, unlike clear()
            fileName += name;
            fileName += ".zip";
            found = roms.find(fileName) >= 0;
            if (!found) {
                fileName.chop(4);
                fileName += ".7z";
                found = roms.find(fileName) >= 0;
            }
        }
        if (categories) {
            QByteArrayView category = categories->lookupView(name);
            if (category.isEmpty() && !game.CloneOf.isEmpty()) {
                category = categories->lookupView(TaggedValue(line.sliced(name.size()), "cloneof"));
            }
            const QByteArray probe = QByteArray::fromRawData(category.data(), category.size());
            auto decoded = shared.decoded.constFind(probe);
            if (decoded == shared.decoded.cend()) {
                decoded = shared.decoded.insert(category.toByteArray(), decodeUtf8OrCp1252(category));
            }
            game.Category = *decoded;
        }
        if (!nonArcade.isEmpty() && nonArcade.contains(name)) {
            game.NonArcade = 1;
        }
        game.IconIndex = game.Kind + (quickScan && !found ? 4 : 0);
        games.FullGamesList.append(std::move(game));
        context.wait.advance(i, last);
        pump.tick();
    }
    games.LoadedWithQuickScan = quickScan;
    games.dependencies = loadDependencies(setup.ProgramFolder, lines[0], bytes.size());
    context.wait.close();
    context.events.gamesListLoadEnded();
    return !games.FullGamesList.isEmpty();
}
