#pragma once

#include <QWidget>

struct AppState;
class DialogPort;
class ImageLists;
class Wizard;

// What every page needs: the state it draws and edits, the dialog port, the wizard, the icons.
struct PageContext {
    AppState& state;
    DialogPort& port;
    Wizard& wizard;
    const ImageLists& icons;
};

// A page (or overlay panel) of the main window: it writes the user's edits into the state as they
// happen and redraws itself from the state on applyState().
class StatePage : public QWidget {
public:
    StatePage(const QString& objectName, PageContext& context, QWidget* parent)
        : QWidget(parent), m_context(context) {
        setObjectName(objectName);
    }
    virtual void applyState() = 0;
    // The box that takes the keyboard focus when the page is shown; none: NEXT takes it.
    virtual QWidget* firstBox() const { return nullptr; }

protected:
    PageContext& m_context;
};
