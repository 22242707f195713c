#pragma once

#include "progress/ProgressWindows.h"

#include <QStringList>

// Window contracts that remember what they were asked to show.
class FakeWaitWindow final : public WaitWindow {
public:
    bool visible = false;
    int shows = 0;
    int closes = 0;
    int value = 0;
    QStringList messages;

    void show() override {
        visible = true;
        ++shows;
    }
    void setMessage(const QString& text) override { messages.append(text); }
    void setProgress(int percent) override { value = percent; }
    int progress() const override { return value; }
    void close() override {
        visible = false;
        value = 0;
        ++closes;
    }
};

class FakeLogWindow final : public LogWindow {
public:
    QString title;
    QStringList lines;
    int value = 0;
    bool visible = false;

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
    void show() override { visible = true; }
};
