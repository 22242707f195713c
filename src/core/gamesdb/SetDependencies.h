#pragma once

#include "GameInfo.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct SetupChoices;

// What the games list cannot hold of a machine: the set it takes ROMs from (romof: for a clone its
// parent, for a game its BIOS) and the devices it names.
struct MachineNeeds {
    QString romOf;
    QStringList devices;
};
using DependencyTable = QHash<QString, MachineNeeds>;

// A set of the Work List that games outside it need, and how many of them.
struct NeededSet {
    QString name;
    int games = 0;
};
struct NeededSets {
    QList<NeededSet> sets;  // most needed first, then by name
    int games = 0;          // the games outside the Work List that need any of them, each once
};

// The Work List's sets that other games need — as parent (CloneOf), BIOS (romof) or device,
// followed from set to set (a clone's parent's BIOS counts) — each game counted once per set.
NeededSets setsNeededElsewhere(const GameList& allGames, const DependencyTable& needs,
                               const GameList& workList);

// Whether the job would change sets other games may need: Move Files, or Delete Files or Rename
// Files with the ROM sets checked.
bool changesSharedSets(const SetupChoices& setup);

// "neogeo: needed by 157 games not in the Work List"
QString neededSetText(const NeededSet& set);
