#pragma once

#include "GamesDatabase.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

struct LineCount;

// Figures of one scan, for the benchmark: the fixed pauses and the final flush are timed apart.
struct ScanFigures {
    qint64 lines = 0;
    qint64 games = 0;
    qint64 pauseNanoseconds = 0;
    qint64 flushNanoseconds = 0;
    qint64 countNanoseconds = 0;  // the first pass, which counts the lines
};

// Trims tab, LF, CR and blank at both ends and replaces numeric and the six named character
// references; any other reference is left as it is.
QByteArray DecodeCharRefs(QByteArrayView text);
void DecodeCharRefsInto(QByteArrayView text, QByteArray& out);  // reuses out's buffer
// Moves ", The" of a title to the front ("Addams Family, The" gives "The Addams Family").
QByteArray NormaliseTitle(QByteArrayView text, bool apply);
void NormaliseTitleInPlace(QByteArray& title);

// The games of -listxml output as the lines of listfull.txt, without the two header lines.
// `onLine(index, lastIndex)` is called after every line.
template <typename OnLine>
qint64 ScanListXml(QByteArrayView xml, QByteArray& out, OnLine onLine);

// The same for a whole file read in blocks from its start, given its line count (CountLinesOfFile).
template <typename OnLine>
std::optional<qint64> ScanListXmlFile(int fd, const LineCount& count, QByteArray& out, OnLine onLine);

// Turns listxml.xml in the program folder into listfull.txt and deletes listxml.xml.
bool ParseListXml(GamesContext& context, ScanFigures* figures = nullptr);

#include "ListXmlScanner.inl"
