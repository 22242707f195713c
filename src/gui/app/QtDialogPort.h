#pragma once

#include "common/DialogPort.h"

#include <QPointer>
#include <QWidget>

class QDialog;
class QMessageBox;

// The dialog port with real Qt dialogs, owned by the main window.
class QtDialogPort final : public DialogPort {
public:
    explicit QtDialogPort(QWidget* owner);
    // While one of these stay-on-top windows is up, every dialog is shown in front of it, as its
    // child: the wait window first, else the log window.
    void setWaitWindow(QWidget* waitWindow) { m_waitWindow = waitWindow; }
    void setLogWindow(QWidget* logWindow) { m_logWindow = logWindow; }
    ~QtDialogPort() override;

    void showMessage(const QString& caption, const QString& text, MessageIcon icon) override;
    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter,
                         const QString& defaultExtension) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& filter,
                         const QString& defaultExtension) override;
    QString folderName(const QString& title, const QString& folder) override;
    bool openDocument(const QString& pathOrAddress) override;
    void setBusyPointer(bool busy) override;
    void processPendingEvents() override;

    // "Description (*.ext)|*.ext|..." as a Qt name filter list.
    static QString qtNameFilters(const QString& filter);
    // Texts use CR LF for line breaks; widgets want LF.
    static QString displayText(const QString& text);

private:
    QWidget* dialogParent() const;
    void keepInFront(QDialog& dialog) const;
    void handBackKeyboard(const QMessageBox& box) const;
    QString fileDialog(bool save, const QString& title, const QString& folder, const QString& filter,
                       const QString& defaultExtension);

    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_waitWindow;
    QPointer<QWidget> m_logWindow;
    bool m_busy = false;
};
