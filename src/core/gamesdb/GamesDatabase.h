#pragma once

struct AppState;
class DialogPort;
class WaitWindow;

// What the games database works on: the main window's state, the dialog port and the wait window.
struct GamesContext {
    AppState& state;
    DialogPort& port;
    WaitWindow& wait;
};
