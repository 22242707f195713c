#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Windows-1252 is the 8-bit code page of the program's files and of old emulator output.
QString decodeCp1252(QByteArrayView bytes);

bool isValidUtf8(QByteArrayView bytes);

// UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise. Plain ASCII is both.
QString decodeUtf8OrCp1252(QByteArrayView bytes);
