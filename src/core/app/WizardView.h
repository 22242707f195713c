#pragma once

// The window chores the wizard asks for. The main window implements them; tests use a fake.
class WizardView {
public:
    virtual ~WizardView() = default;
    virtual void centrePageArea() = 0;
    // Selects the category search text and gives it the keyboard focus.
    virtual void focusCategoryText() = 0;
    // A close request that had to wait for a long step, carried out now (with its saves).
    virtual void closeWindow() = 0;
    // The window redraws the current page and the bars from the state at once.
    virtual void showState() = 0;
};
