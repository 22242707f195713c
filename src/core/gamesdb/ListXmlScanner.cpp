#include "ListXmlScanner.h"
#include "ListXmlScanner.inl"

#include "GamesListBuild.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/EventPump.h"
#include "common/FileOps.h"
#include "progress/ProgressWindows.h"

#include <QElapsedTimer>
#include <QFile>

namespace listxml_detail {

void startMachine(MachineState& m, QByteArrayView line) {
    // One pass over the attribute openings of the line serves every attribute it is asked for:
    // a value is that of the first opening whose name ends with the attribute's name, a flag
    // holds when any of them reads "yes" (or "no").
    std::optional<QByteArrayView> name, cloneOf, romOf, sourceFile;
    bool device = false;
    bool bios = false;
    bool notRunnable = false;
    bool mechanical = false;
    forEachAttributeOpening(line, [&](qsizetype nameEnd, qsizetype valueStart) {
        const QByteArrayView rest = line.sliced(valueStart);
        const auto take = [&](std::optional<QByteArrayView>& slot, QByteArrayView attribute) {
            if (!slot && attributeNamed(line, nameEnd, attribute)) {
                slot = attributeValueAt(line, valueStart);
            }
        };
        take(name, "name");
        take(cloneOf, "cloneof");
        take(romOf, "romof");
        take(sourceFile, "sourcefile");
        device = device || (rest.startsWith("yes\"") && attributeNamed(line, nameEnd, "isdevice"));
        bios = bios || (rest.startsWith("yes\"") && attributeNamed(line, nameEnd, "isbios"));
        mechanical =
            mechanical || (rest.startsWith("yes\"") && attributeNamed(line, nameEnd, "ismechanical"));
        notRunnable = notRunnable || (rest.startsWith("no\"") && attributeNamed(line, nameEnd, "runnable"));
    });
    m.isDevice = device;
    m.isBiosLike = bios || (!device && notRunnable);
    m.hasRom = false;
    m.hasDisk = false;
    ClearGameInfo(m.game);
    setBytes(m.game.Name, name.value_or(QByteArrayView()));
    setBytes(m.game.CloneOf, cloneOf.value_or(QByteArrayView()));
    if ((m.isDevice || m.isBiosLike) && m.game.CloneOf.isEmpty()) {
        setBytes(m.game.CloneOf, romOf.value_or(QByteArrayView()));
    }
    setBytes(m.romOf, romOf.value_or(QByteArrayView()));
    if (m.romOf == m.game.CloneOf) {
        m.romOf.resize(0);  // the parent: the games list holds it
    }
    m.devices.clear();
    m.lastDevice.resize(0);
    setBytes(m.game.Driver, sourceFile.value_or(QByteArrayView()));
    m.game.Mechanical = mechanical ? 1 : 0;
    m.inside = true;
    m.orientationTaken = false;
}

void endMachine(MachineState& m, QByteArray& out, qint64& games, DependencyCollector& needs) {
    const bool listed = m.hasRom || m.hasDisk;
    needs.addMachine(m.game.Name, m.romOf, m.devices, listed);
    if (listed) {
        m.game.HasCHD = m.hasDisk ? 1 : 0;
        m.game.Kind = m.isDevice     ? qint32(KindDevice)
                      : m.isBiosLike ? qint32(KindBios)
                                     : (m.game.CloneOf.isEmpty() ? qint32(KindParent) : qint32(KindClone));
        appendGameLine(out, m.game);
        ++games;
    }
    m.inside = false;
}

namespace {

// The text between an opening tag of `openLength` characters and the first `close` on the line;
// empty when the end tag is missing.
QByteArrayView elementText(QByteArrayView line, qsizetype openLength, QByteArrayView close) {
    const qsizetype end = findBytes(line, close, openLength);
    return end < 0 ? QByteArrayView() : line.sliced(openLength, end - openLength);
}

void setOrientationFromRotate(MachineState& m, QByteArrayView rotate) {
    qint64 value = -1;
    if (!rotate.isEmpty()) {
        // A rotation that is not a whole number leaves the orientation as it is.
        if (!parseDecimalInt(rotate, value) || rotate.front() == '+' || isBlankOrControl(rotate.front()) ||
            isBlankOrControl(rotate.back())) {
            return;
        }
    }
    if (value == 0 || value == 180) {
        m.game.ScreenOrientation = 0;
    } else if (value == 90 || value == 270) {
        m.game.ScreenOrientation = 1;
    }
}

// The five statuses of a driver line, each the first value of its attribute (missing: -1).
void setDriverStatuses(MachineState& m, QByteArrayView line) {
    static constexpr QByteArrayView kAttributes[5] = {"status", "emulation", "color", "sound", "graphic"};
    qint8* const fields[5] = {&m.game.DriverStatus, &m.game.EmulationStatus, &m.game.ColorStatus,
                              &m.game.SoundStatus, &m.game.GraphicStatus};
    bool found[5] = {};
    for (qint8* field : fields) {
        *field = StatusUnknown;
    }
    forEachAttributeOpening(line, [&](qsizetype nameEnd, qsizetype valueStart) {
        for (int i = 0; i < 5; ++i) {
            if (!found[i] && attributeNamed(line, nameEnd, kAttributes[i])) {
                found[i] = true;
                *fields[i] = StatusCodeOf(attributeValueAt(line, valueStart));
            }
        }
    });
}

void setFeature(MachineState& m, QByteArrayView line) {
    const QByteArrayView type = AttributeValue(line, "type");
    qint8* field = nullptr;
    if (equalsIgnoringAsciiCase(type, "sound") && m.game.SoundStatus == StatusUnknown) {
        field = &m.game.SoundStatus;
    } else if (equalsIgnoringAsciiCase(type, "graphics") && m.game.GraphicStatus == StatusUnknown) {
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
            equalsIgnoringAsciiCase(status, "unemulated") ? qint8(StatusPreliminary) : StatusCodeOf(status);
    }
}

// A machine names hundreds of thousands of devices in all, mostly as `<device_ref name="z80"/>`
// and often the same one a few times in a row: those cost a compare, not a look-up.
void addDevice(MachineState& m, QByteArrayView line, DependencyCollector& needs) {
    static constexpr QByteArrayView kPlain = "<device_ref name=\"";
    const qsizetype close = StartsWith(line, kPlain) ? line.indexOf('"', kPlain.size()) : -1;
    const QByteArrayView name =
        close > 0 ? line.sliced(kPlain.size(), close - kPlain.size()) : AttributeValue(line, "name");
    if (!m.devices.empty() && name == m.lastDevice) {
        m.devices.push_back(m.devices.back());
        return;
    }
    setBytes(m.lastDevice, name);
    m.devices.push_back(needs.deviceId(name));
}

}  // namespace

void scanMachineLine(MachineState& m, QByteArrayView line, DependencyCollector& needs) {
    switch (line[1]) {
        case 'd':
            if (StartsWith(line, "<device_ref ")) {
                addDevice(m, line, needs);
            } else if (StartsWith(line, "<description>")) {
                decodeCharRefsInto(elementText(line, 13, "</description>"), m.game.Title);
                if (m.game.Mechanical) {
                    normaliseTitleInPlace(m.game.Title);
                }
            } else if (StartsWith(line, "<disk ")) {
                m.hasDisk = true;
            } else if (StartsWith(line, "<display ") && !m.orientationTaken) {
                m.orientationTaken = true;
                setOrientationFromRotate(m, AttributeValue(line, "rotate"));
            } else if (StartsWith(line, "<driver ")) {
                setDriverStatuses(m, line);
            }
            break;
        case 'y':
            if (StartsWith(line, "<year>")) {
                setBytes(m.game.Year, elementText(line, 6, "</year>"));
            }
            break;
        case 'm':
            if (StartsWith(line, "<manufacturer>")) {
                decodeCharRefsInto(elementText(line, 14, "</manufacturer>"), m.game.Manufacturer);
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

qint64 ScanListXml(QByteArrayView xml, QByteArray& out, DependencyCollector* needs) {
    DependencyCollector unused;
    return listxml_detail::ScanText(xml, out, needs ? *needs : unused, [](qint64, qint64) {});
}

ScanResult ParseListXml(GamesContext& context, ScanFigures* figures) {
    const SetupChoices& setup = context.setup;
    const QString xmlPath = setup.ProgramFolder + QStringLiteral("listxml.xml");
    ScanFigures local;
    ScanFigures& f = figures ? *figures : local;
    context.wait.setProgress(0);

    // Read once, in blocks: the output of a current emulator is hundreds of megabytes. The bar
    // follows the bytes read.
    QFile file(xmlPath);
    const bool opened = file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    const qint64 size = opened ? file.size() : 0;
    const bool onlyByteOrderMark = size == 3 && file.peek(3) == QByteArrayView("\xEF\xBB\xBF");
    context.port.processPendingEvents();
    if (size == 0 || onlyByteOrderMark) {
        return ScanResult::EmptyOutput;  // no lines
    }
    pauseMilliseconds(100, context.pausedNanoseconds);
    context.wait.setMessage(QStringLiteral("Parsing \"listxml.xml\" and creating \"listfull.txt\"..."));

    QByteArray out = gamesListHeader(setup, context.emulator);
    out.reserve(std::max<qint64>(out.size(), size / 32));
    EventPump pump(context.port, 30, 4096);
    DependencyCollector needs;
    const auto scan = listxml_detail::ScanFile(
        file.handle(), out, needs, [&pump] { pump.tick(); },
        [&](qint64 bytesRead) { context.wait.advance(bytesRead, size); });
    file.close();
    f.lines = scan ? scan->lines : 0;
    f.games = scan ? scan->games : 0;
    // A file that could not be read to its end gives no list rather than half of one, and a list
    // without games none at all: the old one stays. The dependencies go first: the header ties
    // them to the new list, so an old list left by a failed write does not take them.
    bool written = false;
    if (f.games > 0) {
        const QString depsPath = dependenciesPath(setup.ProgramFolder);
        const QByteArrayView stampLine = QByteArrayView(out).first(out.indexOf("\r\n"));
        qint64 depsFlush = 0;
        if (!writeFileAtomically(depsPath, needs.fileBytes(stampLine, out.size()), &depsFlush)) {
            deleteFile(depsPath);
        }
        written = writeFileAtomically(gamesListPath(setup.ProgramFolder), out, &f.flushNanoseconds);
        f.flushNanoseconds += depsFlush;
    }
    deleteFile(xmlPath);
    return written ? ScanResult::Written : ScanResult::NotWritten;
}
