#pragma once

#include "GameInfo.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>

// listfull.txt: line 1 the emulator's stamp, line 2 its description, then one game per line:
// Name "=" a four-character header (kind, disk, mechanical) and the tagged fields.

// A game as the builders take it from the emulator's output: the texts are the output's bytes.
struct RawGameInfo {
    QByteArray Name;
    QByteArray Title;
    QByteArray Year;
    QByteArray Manufacturer;
    QByteArray Driver;
    QByteArray CloneOf;
    qint32 Kind = -1;
    quint8 HasCHD = 0;
    quint8 Mechanical = 0;
    qint16 ScreenOrientation = -1;
    qint8 DriverStatus = StatusUnknown;
    qint8 EmulationStatus = StatusUnknown;
    qint8 ColorStatus = StatusUnknown;
    qint8 SoundStatus = StatusUnknown;
    qint8 GraphicStatus = StatusUnknown;
};

// Clears the record, keeping the texts' buffers: the scanners reuse one record for every game.
inline void ClearGameInfo(RawGameInfo& game) {
    for (QByteArray* text :
         {&game.Name, &game.Title, &game.Year, &game.Manufacturer, &game.Driver, &game.CloneOf}) {
        text->resize(0);
    }
    game.Kind = -1;
    game.HasCHD = 0;
    game.Mechanical = 0;
    game.ScreenOrientation = -1;
    game.DriverStatus = game.EmulationStatus = game.ColorStatus = game.SoundStatus = game.GraphicStatus =
        StatusUnknown;
}

// Replaces a text with bytes, reusing its buffer.
inline void setBytes(QByteArray& text, QByteArrayView bytes) {
    text.resize(0);
    text.append(bytes);
}

// "good" 0, "imperfect" 1, "preliminary" 2 (letter case ignored); anything else -1.
qint8 StatusCodeOf(QByteArrayView word);

// The part of a game line after "=": the header and the tagged fields.
QByteArray FormatGameLine(const RawGameInfo& game);
void appendGameLine(QByteArray& out, const RawGameInfo& game);  // Name "=" ... CR LF
QByteArray FormatGameLine(const TGameInfo& game);

// Texts that many games share (years, drivers, manufacturers), kept once while a list loads.
struct SharedGameTexts {
    QHash<QByteArray, QByteArray> bytes;
    QHash<QByteArray, QString> decoded;
};

// A game's line: a name, then "=". A blank line, one without "=" or starting with it is not one.
bool isGameLine(QByteArrayView line);

// Fills a cleared record from a line. Title and Manufacturer are decoded as UTF-8 when valid,
// else as Windows-1252; Name and CloneOf as Windows-1252; Year and Driver stay bytes. With
// `shared`, equal years, drivers and manufacturers share one copy.
void ParseGameLine(QByteArrayView line, TGameInfo& game, SharedGameTexts* shared = nullptr);

// The file's modification time (local, symbolic links followed) packed as a DOS date-time and
// written as a signed decimal; "-1" when the path is missing or a folder.
QString ListStamp(const QString& path);
qint32 DosDateTime(const QDateTime& local);

QString gamesListPath(const QString& programFolder);
// Whether listfull.txt in the program folder was built from this emulator executable.
bool isCurrentGamesList(const QString& programFolder, const QString& emulator);
