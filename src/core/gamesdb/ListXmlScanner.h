#pragma once

#include "GamesDatabase.h"
#include "GamesListBuild.h"

#include <QByteArray>
#include <QByteArrayView>

// Figures of one scan, for the benchmark: the fixed pauses and the final flush are timed apart.
struct ScanFigures {
    qint64 lines = 0;
    qint64 games = 0;
    qint64 flushNanoseconds = 0;
};

// The games of -listxml output as the lines of listfull.txt, without the two header lines.
qint64 ScanListXml(QByteArrayView xml, QByteArray& out);

// Turns listxml.xml in the program folder into listfull.txt and deletes listxml.xml.
ScanResult ParseListXml(GamesContext& context, ScanFigures* figures = nullptr);
