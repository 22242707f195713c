#pragma once

#include "common/DialogPort.h"

#include <QPointer>
#include <QWidget>

// The dialog port with real Qt dialogs, owned by the main window.
class QtDialogPort final : public DialogPort {
public:
    explicit QtDialogPort(QWidget* owner);
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

    // "Description (*.ext)|*.ext|..." as a Qt name filter list.
    static QString qtNameFilters(const QString& filter);
    // Texts use CR LF for line breaks; widgets want LF.
    static QString displayText(const QString& text);

private:
    QString fileDialog(bool save, const QString& title, const QString& folder, const QString& filter,
                       const QString& defaultExtension);

    QPointer<QWidget> m_owner;
    bool m_busy = false;
};
