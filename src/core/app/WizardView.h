#pragma once

// The window chores the wizard asks for. The main window implements them; tests use a fake.
class WizardView {
public:
    virtual ~WizardView() = default;
    virtual void centrePageArea() = 0;
    // Gives the keyboard focus to the first box of the page now shown (on the games page the
    // category text, selected), or to NEXT where the page has none.
    virtual void focusPageStart() = 0;
    // A close request that had to wait for a long step, carried out now (with its saves).
    virtual void closeWindow() = 0;
    // The window redraws the current page and the bars from the state at once.
    virtual void showState() = 0;
};
