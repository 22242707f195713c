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

class DependencyCollector;

// The games of -listxml output as the lines of listfull.txt, without the two header lines; with
// `needs`, the machines' dependencies are gathered there too.
qint64 ScanListXml(QByteArrayView xml, QByteArray& out, DependencyCollector* needs = nullptr);

// Turns listxml.xml in the program folder into listfull.txt and listdeps.txt and deletes listxml.xml.
ScanResult ParseListXml(GamesContext& context, ScanFigures* figures = nullptr);
