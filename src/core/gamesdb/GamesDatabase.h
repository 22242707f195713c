#pragma once

#include <QString>

struct GamesData;
struct SetupChoices;
struct EmulatorState;
class DialogPort;
class RunControl;
class WaitWindow;

// What the games database tells the window while it works. It reports what happened; the window
// decides what to show.
class GamesDbEvents {
public:
    virtual ~GamesDbEvents() = default;
    // The category file is about to be read (true), or has been read (false).
    virtual void loadingCategories(bool started) = 0;
    // The table of all games is about to be replaced: lists drawn from it are stale.
    virtual void replacingGamesList() = 0;
    // Line 2 of the games list file just read: the emulator that built it.
    virtual void gamesListRead(const QString& emulatorLine) = 0;
    virtual void gamesListLoadEnded() = 0;
    // The emulator's run has ended; the window may show its state now.
    virtual void emulatorRunEnded() = 0;
};

// What the games database works on.
struct GamesContext {
    GamesData& games;
    SetupChoices& setup;  // the rebuild box is unchecked once a rebuild is done
    EmulatorState& emulator;
    DialogPort& port;
    RunControl& runs;  // the emulator's runs, which the user may stop
    WaitWindow& wait;
    GamesDbEvents& events;
    qint64* pausedNanoseconds = nullptr;  // when given, the build's fixed pauses add their time
};
