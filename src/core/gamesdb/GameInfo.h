#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// StatusCode: the scale of the five status fields.
enum StatusCode : qint8 { StatusUnknown = -1, StatusGood = 0, StatusImperfect = 1, StatusPreliminary = 2 };
enum GameKind : qint32 { KindParent = 0, KindClone = 1, KindBios = 2, KindDevice = 3 };

// The record of one game (one machine of the emulator). Every list row carries its own copy.
struct TGameInfo {
    qint32 IconIndex = -1;  // Kind, plus 4 when the quick ROM scan found no ROM set file
    qint32 Kind = -1;
    quint8 HasCHD = 0;
    quint8 NonArcade = 0;
    QString Title;
    QByteArray Year;
    QString Manufacturer;
    qint16 ScreenOrientation = -1;  // 0 horizontal, 1 vertical, -1 unknown
    QByteArray Driver;
    qint8 DriverStatus = StatusUnknown;
    qint8 EmulationStatus = StatusUnknown;
    qint8 ColorStatus = StatusUnknown;
    qint8 SoundStatus = StatusUnknown;
    qint8 GraphicStatus = StatusUnknown;
    QString Name;
    QString CloneOf;
    quint8 Mechanical = 0;
    QString Category;
};

// The five statuses by number: 0 driver, 1 emulation, 2 color, 3 sound, 4 graphic (else driver).
inline qint8 statusAt(const TGameInfo& game, int index) {
    switch (index) {
        case 1:
            return game.EmulationStatus;
        case 2:
            return game.ColorStatus;
        case 3:
            return game.SoundStatus;
        case 4:
            return game.GraphicStatus;
        default:
            return game.DriverStatus;
    }
}

inline void ClearGameInfo(TGameInfo& game) {
    game = TGameInfo();
}

using GameList = QList<TGameInfo>;
