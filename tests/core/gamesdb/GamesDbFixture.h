#pragma once

#include "FakeDialogPort.h"
#include "FakeGamesDbEvents.h"
#include "FakeWindows.h"
#include "GameRows.h"
#include "TempProgramFolder.h"
#include "app/AppState.h"
#include "common/RunControl.h"
#include "gamesdb/GameInfo.h"
#include "gamesdb/GamesDatabase.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <ctime>

// A private program folder with the state, dialog port and wait window the games database works on.
struct GamesFixture {
    GamesFixture() { state.setup.ProgramFolder = program.path(); }
    QString listPath() const { return program.file(QStringLiteral("listfull.txt")); }

    TempProgramFolder program;
    AppState state;
    FakeDialogPort port;
    FakeWaitWindow wait;
    FakeGamesDbEvents events;
    RunControl runs;
    GamesContext context{state.games, state.setup, state.emulator, port, runs, wait, events};
};

// The stored fields of a record in one text: name|header|title|year|manufacturer|driver|cloneof|
// orientation|driver emulation color sound graphic. The header is kind (two digits), disk, mechanical.
inline QString describe(const TGameInfo& g) {
    return QStringLiteral("%1|%2%3%4|%5|%6|%7|%8|%9|%10|%11 %12 %13 %14 %15")
        .arg(g.Name)
        .arg(g.Kind, 2, 10, QChar(u'0'))
        .arg(g.HasCHD)
        .arg(g.Mechanical)
        .arg(g.Title, QString::fromLatin1(g.Year), g.Manufacturer, QString::fromLatin1(g.Driver), g.CloneOf)
        .arg(g.ScreenOrientation)
        .arg(g.DriverStatus)
        .arg(g.EmulationStatus)
        .arg(g.ColorStatus)
        .arg(g.SoundStatus)
        .arg(g.GraphicStatus);
}

// Sets an environment variable (and the C library's idea of the time zone) for one scope.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const QByteArray& tz)
        : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ")) {
        qputenv("TZ", tz);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_had) {
            qputenv("TZ", m_old);
        } else {
            qunsetenv("TZ");
        }
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

inline bool setModifiedTime(const QString& path, const QDateTime& when) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}
