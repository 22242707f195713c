#pragma once

#include "GamesDatabase.h"

#include <QByteArray>
#include <QString>

// Makes sure listfull.txt belongs to the chosen emulator, has it built when it does not (from
// -listxml, or -listinfo and -listdetails before 0.70), then loads it.
bool CreateGamesList(GamesContext& context);

// An emulator run's output: true when usable; otherwise it is deleted and the user is asked
// whether to retry the whole creation (which then runs from the start).
bool checkEmulatorOutput(GamesContext& context, const QString& path);

// An emulator output without lines: it is deleted and the user is asked whether to retry the
// whole creation; the caller's attempt goes on either way.
void retryAfterEmptyOutput(GamesContext& context, const QString& path, qint64* pausedNanoseconds = nullptr);

// Lines 1 and 2 of listfull.txt: the emulator's stamp (taken now) and its description.
QByteArray gamesListHeader(const SetupChoices& setup, const EmulatorState& emulator);

// A fixed pause of the build; `pausedNanoseconds`, when given, adds the time it took.
void pauseMilliseconds(int milliseconds, qint64* pausedNanoseconds = nullptr);
