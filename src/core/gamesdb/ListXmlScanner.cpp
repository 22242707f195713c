#include "ListXmlScanner.h"

#include "GamesListBuild.h"
#include "app/AppState.h"
#include "common/DialogPort.h"
#include "common/EventPump.h"
#include "common/FileOps.h"
#include "progress/ProgressWindows.h"

#include <QElapsedTimer>
#include <QFile>

namespace {

bool isEdgeBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// The number of a numeric reference: ASCII digits only (hex after x or X), any length, modulo 256;
// an empty number or one with any other character counts as 32.
char numericReference(QByteArrayView digits) {
    int base = 10;
    if (!digits.isEmpty() && (digits[0] == 'x' || digits[0] == 'X')) {
        base = 16;
        digits = digits.sliced(1);
    }
    if (digits.isEmpty()) {
        return ' ';
    }
    unsigned value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return ' ';
        }
        value = (value * unsigned(base) + unsigned(digit)) % 256;
    }
    return static_cast<char>(value);
}

}  // namespace

QByteArray DecodeCharRefs(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isEdgeBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isEdgeBlank(text[end - 1])) {
        --end;
    }
    text = text.sliced(begin, end - begin);
    if (!text.contains('&')) {
        return text.toByteArray();
    }
    static const struct {
        QByteArrayView name;
        char replacement;
    } kNamed[] = {{"quot", '"'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}, {"amp", '&'}, {"nbsp", ' '}};

    QByteArray out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        qsizetype refEnd = i + 1;
        while (refEnd < text.size() && text[refEnd] != ';' && text[refEnd] != ' ') {
            ++refEnd;
        }
        const QByteArrayView reference = text.sliced(i + 1, refEnd - i - 1);
        // The ";" or blank that ended the reference goes with it.
        const qsizetype after = refEnd < text.size() ? refEnd + 1 : refEnd;
        if (reference.startsWith('#')) {
            out += numericReference(reference.sliced(1));
            i = after;
            continue;
        }
        bool replaced = false;
        for (const auto& named : kNamed) {
            if (reference == named.name) {
                out += named.replacement;
                i = after;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += '&';
            ++i;
        }
    }
    return out;
}

QByteArray NormaliseTitle(QByteArrayView text, bool apply) {
    if (!apply) {
        return text.toByteArray();
    }
    const qsizetype at = AsciiLowerCase(text).indexOf(", the");
    if (at < 0) {
        return text.toByteArray();
    }
    QByteArray out = "The ";
    out += text.first(at);
    out += text.sliced(at + 5);
    return out;
}

namespace listxml_detail {

qint64 countLines(QByteArrayView text) {
    qint64 lines = 0;
    forEachLine(text, [&lines](QByteArrayView) { ++lines; });
    return lines;
}

void startMachine(MachineState& m, QByteArrayView line) {
    m.isDevice = line.contains("isdevice=\"yes\"");
    m.isBiosLike = line.contains("isbios=\"yes\"") || (!m.isDevice && line.contains("runnable=\"no\""));
    m.hasRom = false;
    m.hasDisk = false;
    ClearGameInfo(m.game);
    m.game.Name = AttributeValue(line, "name").toByteArray();
    m.game.CloneOf = AttributeValue(line, "cloneof").toByteArray();
    if ((m.isDevice || m.isBiosLike) && m.game.CloneOf.isEmpty()) {
        m.game.CloneOf = AttributeValue(line, "romof").toByteArray();
    }
    m.game.Driver = AttributeValue(line, "sourcefile").toByteArray();
    m.game.Mechanical = line.contains("ismechanical=\"yes\"") ? 1 : 0;
    m.inside = true;
    m.orientationTaken = false;
}

void endMachine(MachineState& m, QByteArray& out, qint64& games) {
    if (m.hasRom || m.hasDisk) {
        m.game.HasCHD = m.hasDisk ? 1 : 0;
        m.game.Kind = m.isDevice     ? qint32(KindDevice)
                      : m.isBiosLike ? qint32(KindBios)
                                     : (m.game.CloneOf.isEmpty() ? qint32(KindParent) : qint32(KindClone));
        AppendGameLine(out, m.game);
        ++games;
    }
    m.inside = false;
}

namespace {

// The text between an opening tag of `openLength` characters and the first `close` on the line;
// empty when the end tag is missing.
QByteArrayView elementText(QByteArrayView line, qsizetype openLength, QByteArrayView close) {
    const qsizetype end = line.indexOf(close, openLength);
    return end < 0 ? QByteArrayView() : line.sliced(openLength, end - openLength);
}

void setOrientationFromRotate(MachineState& m, QByteArrayView rotate) {
    qint64 value = -1;
    if (!rotate.isEmpty()) {
        // A rotation that is not a whole number leaves the orientation as it is.
        if (!ParseDecimalInt(rotate, value) || rotate.front() == '+' || IsBlankOrControl(rotate.front()) ||
            IsBlankOrControl(rotate.back())) {
            return;
        }
    }
    if (value == 0 || value == 180) {
        m.game.ScreenOrientation = 0;
    } else if (value == 90 || value == 270) {
        m.game.ScreenOrientation = 1;
    }
}

void setFeature(MachineState& m, QByteArrayView line) {
    const QByteArrayView type = AttributeValue(line, "type");
    qint8* field = nullptr;
    if (EqualsIgnoringAsciiCase(type, "sound") && m.game.SoundStatus == StatusUnknown) {
        field = &m.game.SoundStatus;
    } else if (EqualsIgnoringAsciiCase(type, "graphics") && m.game.GraphicStatus == StatusUnknown) {
        field = &m.game.GraphicStatus;
    }
    if (!field) {
        return;
    }
    QByteArrayView status = AttributeValue(line, "status");
    if (status.isEmpty()) {
        status = AttributeValue(line, "overall");
    }
    if (!status.isEmpty()) {
        *field =
            EqualsIgnoringAsciiCase(status, "unemulated") ? qint8(StatusPreliminary) : StatusCodeOf(status);
    }
}

}  // namespace

void scanMachineLine(MachineState& m, QByteArrayView line) {
    switch (line[1]) {
        case 'd':
            if (StartsWith(line, "<description>")) {
                m.game.Title = NormaliseTitle(DecodeCharRefs(elementText(line, 13, "</description>")),
                                              m.game.Mechanical);
            } else if (StartsWith(line, "<disk ")) {
                m.hasDisk = true;
            } else if (StartsWith(line, "<display ") && !m.orientationTaken) {
                m.orientationTaken = true;
                setOrientationFromRotate(m, AttributeValue(line, "rotate"));
            } else if (StartsWith(line, "<driver ")) {
                m.game.DriverStatus = StatusCodeOf(AttributeValue(line, "status"));
                m.game.EmulationStatus = StatusCodeOf(AttributeValue(line, "emulation"));
                m.game.ColorStatus = StatusCodeOf(AttributeValue(line, "color"));
                m.game.SoundStatus = StatusCodeOf(AttributeValue(line, "sound"));
                m.game.GraphicStatus = StatusCodeOf(AttributeValue(line, "graphic"));
            }
            break;
        case 'y':
            if (StartsWith(line, "<year>")) {
                m.game.Year = elementText(line, 6, "</year>").toByteArray();
            }
            break;
        case 'm':
            if (StartsWith(line, "<manufacturer>")) {
                m.game.Manufacturer = DecodeCharRefs(elementText(line, 14, "</manufacturer>"));
            }
            break;
        case 'r':
            if (StartsWith(line, "<rom ")) {
                m.hasRom = true;
            }
            break;
        case 'v':
            if (StartsWith(line, "<video ") && !m.orientationTaken) {
                m.orientationTaken = true;
                const QByteArrayView orientation = AttributeValue(line, "orientation");
                if (!orientation.isEmpty()) {
                    m.game.ScreenOrientation = orientation == "vertical" ? 1 : 0;
                }
            }
            break;
        case 'f':
            if (StartsWith(line, "<feature ")) {
                setFeature(m, line);
            }
            break;
        default:
            break;
    }
}

}  // namespace listxml_detail

bool ParseListXml(GamesContext& context, ScanFigures* figures) {
    AppState& state = context.state;
    const QString xmlPath = state.ProgramFolder + QStringLiteral("listxml.xml");
    ScanFigures local;
    ScanFigures& f = figures ? *figures : local;
    context.wait.setProgress(0);

    QFile file(xmlPath);
    const bool opened = file.open(QIODevice::ReadOnly);
    const qint64 size = opened ? file.size() : 0;
    // Mapped, not read: the output of a current emulator is hundreds of megabytes.
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    QByteArray readBytes;
    if (!mapped && size > 0) {
        readBytes = file.readAll();
    }
    const QByteArrayView xml = SkipUtf8Bom(
        mapped ? QByteArrayView(reinterpret_cast<const char*>(mapped), size) : QByteArrayView(readBytes));
    context.port.processPendingEvents();
    if (xml.isEmpty()) {
        file.close();
        DeleteFile(xmlPath);
        if (context.port.askYesNo(
                QStringLiteral("Error"),
                QStringLiteral("    File \"") + xmlPath +
                    QStringLiteral("\" is empty, there's nothing to read.\r\n\r\n    Would you "
                                   "like to retry ?"),
                MessageIcon::Warning)) {
            PauseMilliseconds(100, &f.pauseNanoseconds);
            CreateGamesList(context);
        }
        return true;
    }
    PauseMilliseconds(100, &f.pauseNanoseconds);
    context.wait.setMessage(QStringLiteral("Parsing \"listxml.xml\" and creating \"listfull.txt\"..."));

    QByteArray out = GamesListHeader(state);
    out.reserve(std::max<qint64>(out.size(), size / 32));
    EventPump pump(context.port, 30, 4096);
    int nextPercent = 1;
    qint64 threshold = -1;
    f.games = ScanListXml(xml, out, [&](qint64 index, qint64 last) {
        // The bar moves only to a new whole percentage: compare against the next threshold.
        if (index >= threshold) {
            context.wait.advance(index, last);
            nextPercent = context.wait.progress() + 1;
            threshold = last > 0 ? (nextPercent * last + 99) / 100 : 0;
        }
        pump.tick();
        f.lines = index + 1;
    });
    file.close();
    const bool written = WriteFileAtomically(GamesListPath(state.ProgramFolder), out, &f.flushNanoseconds);
    DeleteFile(xmlPath);
    return written;
}
