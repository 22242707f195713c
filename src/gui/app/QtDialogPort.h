#pragma once

#include "common/DialogPort.h"

#include <QPointer>
#include <QWidget>
#include <functional>

// The dialog port with real Qt dialogs, owned by the main window.
class QtDialogPort final : public DialogPort {
public:
    // `redraw` brings the window up to date with the state (used by showStateNow).
    QtDialogPort(QWidget* owner, std::function<void()> redraw);
    ~QtDialogPort() override;

    void showMessage(const QString& caption, const QString& text, MessageIcon icon) override;
    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter,
                         const QString& defaultExtension) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& filter,
                         const QString& defaultExtension) override;
    QString folderName(const QString& title, const QString& folder) override;
    void openDocument(const QString& pathOrAddress) override;
    void setBusyPointer(bool busy) override;
    void processPendingEvents() override;
    void showStateNow() override;

    // "Description (*.ext)|*.ext|..." as a Qt name filter list.
    static QString qtNameFilters(const QString& filter);
    // Texts use CR LF for line breaks; widgets want LF.
    static QString displayText(const QString& text);

private:
    QString fileDialog(bool save, const QString& title, const QString& folder, const QString& filter,
                       const QString& defaultExtension);

    QPointer<QWidget> m_owner;
    std::function<void()> m_redraw;
    bool m_busy = false;
};
