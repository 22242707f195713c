#pragma once

#include "app/WizardView.h"

#include <QStringList>
#include <functional>

// Records the window chores the wizard asks for, in order.
class FakeWizardView final : public WizardView {
public:
    // The chores are recorded in `log` when given (beside other calls), else in `chores`.
    explicit FakeWizardView(QStringList* log = nullptr) : m_log(log ? log : &chores) {}

    QStringList chores;
    int showStateCalls = 0;
    std::function<void()> onShowState;
    std::function<void()> onCloseWindow;

    void centrePageArea() override { m_log->append(QStringLiteral("CentrePageArea")); }
    void focusPageStart() override { m_log->append(QStringLiteral("FocusPageStart")); }
    void closeWindow() override {
        m_log->append(QStringLiteral("CloseWindow"));
        if (onCloseWindow) {
            onCloseWindow();
        }
    }
    void showState() override {
        ++showStateCalls;
        if (onShowState) {
            onShowState();
        }
    }

private:
    QStringList* m_log;
};
