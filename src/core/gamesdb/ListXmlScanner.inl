// The -listxml line scanner, a template so the per-line callback is inlined into the loop.
#pragma once

#include "GamesListFile.h"
#include "common/Text.h"

#include <cstring>

namespace listxml_detail {

struct MachineState {
    bool inside = false;
    bool isDevice = false;
    bool isBiosLike = false;
    bool hasRom = false;
    bool hasDisk = false;
    bool orientationTaken = false;
    RawGameInfo game;
};

void startMachine(MachineState& m, QByteArrayView line);
void endMachine(MachineState& m, QByteArray& out, qint64& games);
void scanMachineLine(MachineState& m, QByteArrayView line);

inline bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Calls visit(line) for each line; breaks are CR LF, LF or CR; no empty line after a final break.
template <typename Visit>
void forEachLine(QByteArrayView text, Visit visit) {
    const char* p = text.data();
    const char* const end = p + text.size();
    // Most output uses LF only: then a single memchr per line finds the break.
    const bool lfOnly = std::memchr(p, '\r', static_cast<size_t>(text.size())) == nullptr;
    while (p < end) {
        const char* lineEnd;
        if (lfOnly) {
            lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            if (!lineEnd) {
                lineEnd = end;
            }
        } else {
            lineEnd = p;
            while (lineEnd < end && !isLineBreak(*lineEnd)) {
                ++lineEnd;
            }
        }
        visit(QByteArrayView(p, lineEnd - p));
        if (lineEnd < end && *lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') {
            ++lineEnd;
        }
        p = lineEnd + 1;
    }
}

qint64 countLines(QByteArrayView text);

}  // namespace listxml_detail

template <typename OnLine>
qint64 ScanListXml(QByteArrayView xml, QByteArray& out, OnLine onLine) {
    using namespace listxml_detail;
    const qint64 last = countLines(xml) - 1;
    MachineState machine;
    qint64 games = 0;
    qint64 index = 0;
    forEachLine(xml, [&](QByteArrayView line) {
        line = TrimLeadingBlanksAndControls(line);
        if (line.size() > 1 && line[0] == '<') {
            if (StartsWith(line, "<machine ") || StartsWith(line, "<game ")) {
                startMachine(machine, line);
            } else if (machine.inside) {
                if (line[1] == '/') {
                    if (StartsWith(line, "</machine>") || StartsWith(line, "</game>")) {
                        endMachine(machine, out, games);
                    }
                } else {
                    scanMachineLine(machine, line);
                }
            }
        }
        onLine(index++, last);
    });
    return games;
}
