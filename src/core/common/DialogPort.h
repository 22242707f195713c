#pragma once

#include <QString>

enum class MessageIcon { Warning, Error, Exclamation, Information };

// Everything the core says to or asks of the user goes through this port: the gui implements it
// with real dialogs, the tests with a scripted fake.
class DialogPort {
public:
    virtual ~DialogPort() = default;

    virtual void showMessage(const QString& caption, const QString& text, MessageIcon icon) = 0;
    virtual bool askYesNo(const QString& caption, const QString& text, MessageIcon icon) = 0;

    // Filters are "Description (*.ext)|*.ext" pairs separated by "|". Empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter,
                                 const QString& defaultExtension) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder, const QString& filter,
                                 const QString& defaultExtension) = 0;
    virtual QString folderName(const QString& title, const QString& folder) = 0;

    // Opens a document or web address with the desktop's handler; false when none could.
    virtual bool openDocument(const QString& pathOrAddress) = 0;

    virtual void setBusyPointer(bool busy) = 0;
    virtual void processPendingEvents() = 0;
};
