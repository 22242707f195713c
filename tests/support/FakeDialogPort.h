#pragma once

#include "common/DialogPort.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

// A scripted dialog port: records every message and question in order, answers questions and
// file dialogs from queues, and counts the other calls.
class FakeDialogPort final : public DialogPort {
public:
    struct Message {
        QString kind;  // "message" or "question"
        QString caption;
        QString text;
        MessageIcon icon;
    };

    QList<Message> messages;
    QQueue<bool> answers;         // for askYesNo; an empty queue answers No
    QQueue<QString> fileAnswers;  // for the file and folder dialogs; empty means cancelled
    QStringList dialogTitles;
    QStringList dialogFilters;
    QStringList dialogFolders;
    QStringList openedDocuments;
    bool documentsOpen = true;  // what the desktop answers when asked to open one
    QList<bool> busyChanges;
    int processEventsCalls = 0;
    std::function<void()> onProcessEvents;  // lets a test act "while" the core waits

    void showMessage(const QString& caption, const QString& text, MessageIcon icon) override {
        messages.append({QStringLiteral("message"), caption, text, icon});
    }
    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon) override {
        messages.append({QStringLiteral("question"), caption, text, icon});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString openFileName(const QString& title, const QString& folder, const QString& filter,
                         const QString&) override {
        return answerFile(title, folder, filter);
    }
    QString saveFileName(const QString& title, const QString& folder, const QString& filter,
                         const QString&) override {
        return answerFile(title, folder, filter);
    }
    QString folderName(const QString& title, const QString& folder) override {
        return answerFile(title, folder, QString());
    }
    bool openDocument(const QString& pathOrAddress) override {
        openedDocuments.append(pathOrAddress);
        return documentsOpen;
    }
    void setBusyPointer(bool busy) override { busyChanges.append(busy); }
    void processPendingEvents() override {
        ++processEventsCalls;
        if (onProcessEvents) {
            onProcessEvents();
        }
    }

    QStringList texts() const {
        QStringList all;
        for (const Message& m : messages) {
            all.append(m.text);
        }
        return all;
    }

private:
    QString answerFile(const QString& title, const QString& folder, const QString& filter) {
        dialogTitles.append(title);
        dialogFolders.append(folder);
        dialogFilters.append(filter);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }
};
