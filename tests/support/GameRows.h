#pragma once

#include "gamesdb/GameInfo.h"

#include <QStringList>

// The names of a list's rows, in their order.
inline QStringList namesOf(const GameList& games) {
    QStringList names;
    for (const TGameInfo& game : games) {
        names.append(game.Name);
    }
    return names;
}
