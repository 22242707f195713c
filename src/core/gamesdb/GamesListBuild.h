#pragma once

#include "GamesDatabase.h"

#include <QByteArray>
#include <QString>

// Makes sure listfull.txt belongs to the chosen emulator, has it built when it does not (from
// -listxml, or -listinfo and -listdetails before 0.70), then loads it. An emulator run that fails,
// is killed or is stopped gives no list; an existing listfull.txt stays until a new one is written
// whole. A retry the user asks for starts a new attempt; the result is that of the attempt that
// ended the creation.
bool CreateGamesList(GamesContext& context);

// What a scan of the emulator's output gave.
enum class ScanResult { Written, NotWritten, EmptyOutput };

// Lines 1 and 2 of listfull.txt: the emulator's stamp (taken now) and its description.
QByteArray gamesListHeader(const SetupChoices& setup, const EmulatorState& emulator);

// A fixed pause of the build; `pausedNanoseconds`, when given, adds the time it took.
void pauseMilliseconds(int milliseconds, qint64* pausedNanoseconds = nullptr);
