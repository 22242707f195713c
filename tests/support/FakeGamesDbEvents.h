#pragma once

#include "gamesdb/GamesDatabase.h"

#include <QString>
#include <QStringList>

// Remembers what the games database reported, in order.
class FakeGamesDbEvents final : public GamesDbEvents {
public:
    QStringList events;
    QString emulatorLine;

    void loadingCategories(bool started) override {
        events.append(started ? QStringLiteral("categories started") : QStringLiteral("categories ended"));
    }
    void replacingGamesList() override { events.append(QStringLiteral("replacing")); }
    void gamesListRead(const QString& line) override {
        emulatorLine = line;
        events.append(QStringLiteral("read"));
    }
    void gamesListLoadEnded() override { events.append(QStringLiteral("load ended")); }
    void emulatorRunEnded() override { events.append(QStringLiteral("run ended")); }
};
