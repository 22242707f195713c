#include "SetDependencies.h"

#include "catalog/SetupChoices.h"

#include <algorithm>

NeededSets setsNeededElsewhere(const GameList& allGames, const DependencyTable& needs,
                               const GameList& workList) {
    QHash<QString, const TGameInfo*> byName;
    byName.reserve(allGames.size());
    for (const TGameInfo& game : allGames) {
        byName.insert(game.Name, &game);
    }
    QSet<QString> listed;
    for (const TGameInfo& game : workList) {
        listed.insert(game.Name);
    }
    // The sets one machine names directly.
    const auto direct = [&](const QString& name, QStringList& out) {
        if (const TGameInfo* game = byName.value(name); game && !game->CloneOf.isEmpty()) {
            out.append(game->CloneOf);
        }
        const auto found = needs.constFind(name);
        if (found != needs.cend()) {
            if (!found->romOf.isEmpty()) {
                out.append(found->romOf);
            }
            out += found->devices;
        }
    };

    QHash<QString, int> counts;
    NeededSets result;
    QSet<QString> reached;
    QStringList pending;
    for (const TGameInfo& game : allGames) {
        if (listed.contains(game.Name)) {
            continue;
        }
        reached.clear();
        pending.clear();
        direct(game.Name, pending);
        bool needsListed = false;
        while (!pending.isEmpty()) {
            const QString set = pending.takeLast();
            if (set == game.Name || reached.contains(set)) {
                continue;
            }
            reached.insert(set);
            if (listed.contains(set)) {
                ++counts[set];
                needsListed = true;
            }
            direct(set, pending);
        }
        result.games += needsListed ? 1 : 0;
    }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        result.sets.append({it.key(), it.value()});
    }
    std::sort(result.sets.begin(), result.sets.end(), [](const NeededSet& a, const NeededSet& b) {
        return a.games != b.games ? a.games > b.games : a.name < b.name;
    });
    return result;
}

bool changesSharedSets(const SetupChoices& setup) {
    return setup.operation == MoveFiles ||
           ((setup.operation == DeleteFiles || setup.operation == RenameFiles) &&
            setup.fileTypeChecked[GameROMs]);
}

QString neededSetText(const NeededSet& set) {
    return QStringLiteral("%1: needed by %2 games not in the Work List").arg(set.name).arg(set.games);
}
