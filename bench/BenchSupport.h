#pragma once

#include "common/DialogPort.h"
#include "gamesdb/GamesDatabase.h"
#include "progress/ProgressWindows.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A dialog port that answers every question No and keeps every message for the JSON line.
class SilentPort final : public DialogPort {
public:
    void showMessage(const QString& caption, const QString& text, MessageIcon) override {
        messages.append({caption, text});
    }
    bool askYesNo(const QString& caption, const QString& text, MessageIcon icon) override {
        showMessage(caption, text, icon);
        return false;
    }
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString folderName(const QString&, const QString&) override { return {}; }
    bool openDocument(const QString&) override { return false; }
    void setBusyPointer(bool) override {}
    void processPendingEvents() override { ++eventPumps; }

    QList<QPair<QString, QString>> messages;
    qint64 eventPumps = 0;
};

// A wait window that shows nothing; it tells when each message was set.
class QuietWaitWindow final : public WaitWindow {
public:
    void show() override {}
    void setMessage(const QString& text) override {
        if (onMessage) {
            onMessage(text);
        }
    }
    void setProgress(int percent) override {
        value = percent;
        ++moves;
    }
    int progress() const override { return value; }
    void close() override { value = 0; }

    std::function<void(const QString&)> onMessage;
    int value = 0;
    int moves = 0;
};

// A log window that keeps its lines for the JSON line.
class RecordingLogWindow final : public LogWindow {
public:
    void setTitle(const QString& text) override { title = text; }
    int addLine(const QString& line) override {
        lines.append(line);
        return int(lines.size() - 1);
    }
    void replaceLine(int index, const QString& line) override {
        if (index >= 0 && index < lines.size()) {
            lines[index] = line;
        }
    }
    int lineCount() const override { return int(lines.size()); }
    void scrollToEnd() override {}
    void setProgress(int percent) override { value = percent; }
    int progress() const override { return value; }
    void show() override {}

    QString title;
    QStringList lines;
    int value = 0;
};

// Hears what the games database reports; the build task times the load by it.
class QuietGamesEvents final : public GamesDbEvents {
public:
    void loadingCategories(bool) override {}
    void replacingGamesList() override {}
    void gamesListRead(const QString&) override {}
    void gamesListLoadEnded() override {
        if (onLoadEnded) {
            onLoadEnded();
        }
    }
    void emulatorRunEnded() override {}
    std::function<void()> onLoadEnded;
};

double peakRssMegabytes();
// The value after `name` on the command line, or "".
QString optionValue(const QStringList& args, const QString& name);
// A JSON string literal.
QString jsonText(const QString& text);
QString jsonList(const QStringList& texts);
QString jsonMessages(const QList<QPair<QString, QString>>& messages);
void printLine(const QString& json);

// The tasks; each prints one JSON line and gives the exit status.
int scanListXml(const QStringList& args);
int scanListInfo(const QStringList& args);
int loadGamesList(const QStringList& args);
int buildGamesList(const QStringList& args);
int emulatorFolders(const QStringList& args);
int searchGames(const QStringList& args);
int timeJob(const QStringList& args);
int timePreview(const QStringList& args);
int runJob(const QStringList& args);
int timeArchiveCommit(const QStringList& args);
