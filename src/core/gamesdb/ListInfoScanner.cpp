#include "ListInfoScanner.h"

#include "DependencyFile.h"
#include "GamesListBuild.h"
#include "GamesListFile.h"
#include "ListXmlScanner.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/EventPump.h"
#include "common/FileOps.h"
#include "common/Text.h"
#include "progress/ProgressWindows.h"

namespace {

// The text after a prefix of `length` characters, up to the line's last character (the quotes).
QByteArrayView quotedText(QByteArrayView line, qsizetype length) {
    return line.size() > length + 1 ? line.sliced(length, line.size() - length - 1) : QByteArrayView();
}

struct GameState {
    bool inside = false;
    bool isResource = false;
    bool hasRom = false;
    bool hasDisk = false;
    bool orientationTaken = false;
    RawGameInfo game;
};

void startGame(GameState& g, bool resource) {
    ClearGameInfo(g.game);
    g.isResource = resource;
    g.hasRom = g.hasDisk = g.orientationTaken = false;
    g.inside = true;
}

void scanGameLine(GameState& g, QByteArrayView line, const QHash<QByteArray, QByteArray>& drivers,
                  QByteArray& out, qint64& games) {
    if (StartsWith(line, "name ")) {
        g.game.Name = line.sliced(5).toByteArray();
        g.game.Driver = drivers.value(AsciiLowerCase(g.game.Name));
    } else if (StartsWith(line, "description ")) {
        g.game.Title = DecodeCharRefs(quotedText(line, 13));
    } else if (StartsWith(line, "year ")) {
        g.game.Year = line.sliced(5).toByteArray();
    } else if (StartsWith(line, "manufacturer ")) {
        g.game.Manufacturer = DecodeCharRefs(quotedText(line, 14));
    } else if (StartsWith(line, "history ")) {
        // nothing, and no later test for this line
    } else if (StartsWith(line, "cloneof ")) {
        g.game.CloneOf = line.sliced(8).toByteArray();
    } else if (StartsWith(line, "rom ")) {
        g.hasRom = true;
    } else if (StartsWith(line, "disk ")) {
        g.hasDisk = true;
    } else if (StartsWith(line, "video ")) {
        if (!g.orientationTaken) {
            g.orientationTaken = true;
            g.game.ScreenOrientation = line.contains("orientation vertical") ? 1 : 0;
        }
    } else if (StartsWith(line, "driver ")) {
        g.game.DriverStatus = StatusCodeOf(ValueAfterKey(line, "status", ' '));
        g.game.EmulationStatus = StatusCodeOf(ValueAfterKey(line, "emulation", ' '));
        g.game.ColorStatus = StatusCodeOf(ValueAfterKey(line, "color", ' '));
        g.game.SoundStatus = StatusCodeOf(ValueAfterKey(line, "sound", ' '));
        g.game.GraphicStatus = StatusCodeOf(ValueAfterKey(line, "graphic", ' '));
    } else if (line == ")") {
        if (g.hasRom || g.hasDisk) {
            g.game.HasCHD = g.hasDisk ? 1 : 0;
            g.game.Kind = g.isResource ? qint32(KindBios)
                                       : (g.game.CloneOf.isEmpty() ? qint32(KindParent) : qint32(KindClone));
            appendGameLine(out, g.game);
            ++games;
        }
        g.inside = false;
    }
}

}  // namespace

QHash<QByteArray, QByteArray> driverTable(QByteArrayView listDetails) {
    QHash<QByteArray, QByteArray> drivers;
    for (const QByteArrayView line : splitLines(listDetails)) {
        const QByteArrayView name = trimBlanksAndControls(line.first(std::min<qsizetype>(8, line.size())));
        const QByteArrayView driver =
            line.size() > 9 ? trimBlanksAndControls(line.sliced(9, std::min<qsizetype>(10, line.size() - 9)))
                            : QByteArrayView();
        drivers.insert(AsciiLowerCase(name), driver.toByteArray());
    }
    return drivers;
}

qint64 ScanListInfo(QByteArrayView listInfo, const QHash<QByteArray, QByteArray>& drivers, QByteArray& out,
                    const std::function<void(qint64, qint64)>& onLine) {
    const QList<QByteArrayView> lines = splitLines(listInfo);
    GameState game;
    qint64 games = 0;
    const qint64 last = lines.size() - 1;
    for (qint64 index = 0; index <= last; ++index) {
        const QByteArrayView line = trimLeadingBlanksAndControls(lines[index]);
        if (StartsWith(line, "game (")) {
            startGame(game, false);
        } else if (StartsWith(line, "resource (")) {
            startGame(game, true);
        } else if (game.inside) {
            scanGameLine(game, line, drivers, out, games);
        }
        onLine(index, last);
    }
    return games;
}

ScanResult ParseListInfo(GamesContext& context) {
    const SetupChoices& setup = context.setup;
    const QString infoPath = setup.ProgramFolder + QStringLiteral("listinfo.txt");
    const QString detailsPath = setup.ProgramFolder + QStringLiteral("listdetails.txt");
    context.wait.setProgress(0);
    const QByteArray info = readWholeFile(infoPath).value_or(QByteArray());
    context.port.processPendingEvents();
    if (splitLines(info).isEmpty()) {
        return ScanResult::EmptyOutput;
    }
    pauseMilliseconds(100, context.pausedNanoseconds);
    context.wait.setMessage(QStringLiteral("Parsing \"listinfo.txt\" and creating \"listfull.txt\"..."));
    QByteArray out = gamesListHeader(setup, context.emulator);
    const auto drivers = driverTable(readWholeFile(detailsPath).value_or(QByteArray()));
    EventPump pump(context.port);
    const qint64 games = ScanListInfo(info, drivers, out, [&](qint64 index, qint64 last) {
        context.wait.advance(index, last);
        pump.tick();
    });
    // A list without games is not written: the old one stays. This output names no BIOS or
    // devices, so a new list has no dependencies file.
    const bool written = games > 0 && writeFileAtomically(gamesListPath(setup.ProgramFolder), out);
    if (written) {
        deleteFile(dependenciesPath(setup.ProgramFolder));
    }
    deleteFile(infoPath);
    deleteFile(detailsPath);
    return written ? ScanResult::Written : ScanResult::NotWritten;
}
