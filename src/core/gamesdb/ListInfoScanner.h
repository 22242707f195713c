#pragma once

#include "GamesDatabase.h"
#include "GamesListBuild.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <functional>

// The driver source file of each game from -listdetails output: the name in columns 1 to 8,
// the driver in columns 10 to 19, both trimmed; looked up without regard to A-Z case.
QHash<QByteArray, QByteArray> driverTable(QByteArrayView listDetails);

// The games of -listinfo output as the lines of listfull.txt, without the two header lines.
qint64 ScanListInfo(QByteArrayView listInfo, const QHash<QByteArray, QByteArray>& drivers, QByteArray& out,
                    const std::function<void(qint64, qint64)>& onLine);

// Turns listinfo.txt and listdetails.txt into listfull.txt and deletes both.
ScanResult ParseListInfo(GamesContext& context);
