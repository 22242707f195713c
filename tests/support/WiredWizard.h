#pragma once

#include "FakeGamesLayout.h"
#include "FakeIconLists.h"
#include "FakeWindows.h"
#include "FakeWizardView.h"
#include "app/AppState.h"
#include "app/Subsystems.h"
#include "app/Wizard.h"
#include "common/RunControl.h"

class DialogPort;

// A wizard over `state` with the program's own wiring of its hand-overs, a fake view and wait window.
struct WiredWizard {
    WiredWizard(AppState& state, DialogPort& port) : wizard(state, port, view, handOvers, runs) {
        connectSubsystems(handOvers, state, port, runs, {wait, log, icons, layout}, wizard);
    }
    WizardHandOvers handOvers;
    FakeWizardView view;
    RunControl runs;
    FakeWaitWindow wait;
    FakeLogWindow log;
    FakeIconLists icons;
    FakeGamesLayout layout;
    Wizard wizard;
};
