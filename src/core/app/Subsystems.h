#pragma once

struct AppState;
class DialogPort;
class WaitWindow;
class Wizard;

// Puts the subsystems built so far behind the wizard's seams. The window adds its own (layout,
// focus, close); seams of subsystems not built yet stay empty and do nothing.
void connectSubsystems(Wizard& wizard, AppState& state, DialogPort& port, WaitWindow& wait);
