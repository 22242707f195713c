#pragma once

#include "GamesDatabase.h"

#include <QByteArray>
#include <QByteArrayView>

// Figures of one scan, for the benchmark: the fixed pauses and the final flush are timed apart.
struct ScanFigures {
    qint64 lines = 0;
    qint64 games = 0;
    qint64 pauseNanoseconds = 0;
    qint64 flushNanoseconds = 0;
};

// Trims tab, LF, CR and blank at both ends and replaces numeric and the six named character
// references; any other reference is left as it is.
QByteArray DecodeCharRefs(QByteArrayView text);
// Moves ", The" of a title to the front ("Addams Family, The" gives "The Addams Family").
QByteArray NormaliseTitle(QByteArrayView text, bool apply);

// The games of -listxml output as the lines of listfull.txt, without the two header lines.
// `onLine(index, lastIndex)` is called after every line.
template <typename OnLine>
qint64 ScanListXml(QByteArrayView xml, QByteArray& out, OnLine onLine);

// Turns listxml.xml in the program folder into listfull.txt and deletes listxml.xml.
bool ParseListXml(GamesContext& context, ScanFigures* figures = nullptr);

#include "ListXmlScanner.inl"
