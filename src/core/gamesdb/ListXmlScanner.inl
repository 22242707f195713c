// The -listxml line scanner, a template so the per-line callback is inlined into the loop. Only
// ListXmlScanner.cpp includes it.
#pragma once

#include "DependencyFile.h"
#include "GamesListFile.h"
#include "common/Lines.h"
#include "common/Text.h"

namespace listxml_detail {

struct MachineState {
    bool inside = false;
    bool isDevice = false;
    bool isBiosLike = false;
    bool hasRom = false;
    bool hasDisk = false;
    bool orientationTaken = false;
    RawGameInfo game;
    QByteArray romOf;          // only when it is not the parent written as CloneOf
    std::vector<int> devices;  // the devices it names, as the collector numbers them
    QByteArray lastDevice;     // the name of the last of them
};

void startMachine(MachineState& m, QByteArrayView line);
void endMachine(MachineState& m, QByteArray& out, qint64& games, DependencyCollector& needs);
void scanMachineLine(MachineState& m, QByteArrayView line, DependencyCollector& needs);

// Looks at each line alone, by the tag it begins with; writes a game line at each machine's end.
class LineScanner {
public:
    LineScanner(QByteArray& out, DependencyCollector& needs) : m_out(out), m_needs(needs) {}
    qint64 games() const { return m_games; }

    // Inlined into the line loops: a call per line would cost as much as the tests it makes.
    inline void __attribute__((always_inline)) scan(QByteArrayView line) {
        const char* p = line.data();
        const char* const end = p + line.size();
        if (line.size() >= 8) {
            // Count the leading blanks and controls of eight bytes at once: the high bit of each
            // byte of `text` is set where the byte is above 0x20.
            uint64_t word;
            __builtin_memcpy(&word, p, 8);
            const uint64_t high = 0x8080808080808080ull;
            const uint64_t text = (((word & ~high) + 0x5F5F5F5F5F5F5F5Full) | word) & high;
            if (text) {
                p += __builtin_ctzll(text) / 8;
            } else {
                p += 8;
                while (p < end && isBlankOrControl(*p)) {
                    ++p;
                }
            }
        } else {
            while (p < end && isBlankOrControl(*p)) {
                ++p;
            }
        }
        if (end - p <= 1 || p[0] != '<') {
            return;
        }
        const QByteArrayView tag(p, end - p);
        switch (p[1]) {
            case 'm':
                if (StartsWith(tag, "<machine ")) {
                    startMachine(m_machine, tag);
                } else if (m_machine.inside) {
                    scanMachineLine(m_machine, tag, m_needs);
                }
                break;
            case 'g':
                if (StartsWith(tag, "<game ")) {
                    startMachine(m_machine, tag);
                }
                break;
            case 'r':
                // ROM lines are most of the output: test them here rather than in a call.
                m_machine.hasRom = m_machine.hasRom || (m_machine.inside && StartsWith(tag, "<rom "));
                break;
            case '/':
                if (m_machine.inside && (StartsWith(tag, "</machine>") || StartsWith(tag, "</game>"))) {
                    endMachine(m_machine, m_out, m_games, m_needs);
                }
                break;
            case 'd':
                // Most "<d" lines are dipswitch, dipvalue and diplocation lines: only description,
                // device_ref, disk, display and driver lines are worth a closer look.
                if (m_machine.inside && tag.size() > 3 && (p[2] == 'r' || p[3] == 's' || p[3] == 'v')) {
                    scanMachineLine(m_machine, tag, m_needs);
                }
                break;
            case 'y':
            case 'v':
            case 'f':
                if (m_machine.inside) {
                    scanMachineLine(m_machine, tag, m_needs);
                }
                break;
            default:
                break;
        }
    }

private:
    MachineState m_machine;
    QByteArray& m_out;
    DependencyCollector& m_needs;
    qint64 m_games = 0;
};

template <typename OnLine>
qint64 ScanText(QByteArrayView xml, QByteArray& out, DependencyCollector& needs, OnLine onLine) {
    xml = skipUtf8Bom(xml);
    const LineCount count = countLines(xml);
    const qint64 last = count.lines - 1;
    listxml_detail::LineScanner scanner(out, needs);
    qint64 index = 0;
    forEachLine(
        xml,
        [&](QByteArrayView line) __attribute__((always_inline)) {
            scanner.scan(line);
            onLine(index++, last);
        },
        count.hasCarriageReturn ? 1 : 0);
    return scanner.games();
}

struct FileScan {
    qint64 lines = 0;
    qint64 games = 0;
};

// The same for a whole file, read once in blocks from its start. `onLine()` is called after every
// line, `afterBlock(bytesRead)` after every block.
template <typename OnLine, typename AfterBlock>
std::optional<FileScan> ScanFile(int fd, QByteArray& out, DependencyCollector& needs, OnLine onLine,
                                 AfterBlock afterBlock) {
    LineScanner scanner(out, needs);
    qint64 lines = 0;
    const bool read = forEachLineOfFile(
        fd,
        [&](QByteArrayView line) __attribute__((always_inline)) {
            scanner.scan(line);
            ++lines;
            onLine();
        },
        afterBlock);
    return read ? std::optional<FileScan>(FileScan{lines, scanner.games()}) : std::nullopt;
}

}  // namespace listxml_detail
