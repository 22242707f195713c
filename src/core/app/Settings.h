#pragma once

struct AppState;

// Kestrum.ini: the user's choices between runs. LoadSettings runs once when the main window is
// first shown; SaveSettings when it closes after the wizard has left its welcome page.
void LoadSettings(AppState& state);
bool SaveSettings(const AppState& state);
