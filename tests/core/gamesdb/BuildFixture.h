#pragma once

#include "FakeEmulator.h"
#include "GamesDbFixture.h"
#include "gamesdb/GamesListFile.h"

const QString kRetry = QStringLiteral("\r\n\r\n    Would you like to retry ?");

inline TGameInfo marker() {
    TGameInfo game;
    game.Name = QStringLiteral("marker");
    return game;
}

// The stand-in emulator answering from the committed fixtures, a table already holding one row.
struct BuildFixture : GamesFixture {
    BuildFixture() : emulator(program) {
        state.setup.mameExecutableFile = emulator.path();
        state.setup.scanGameFilesQuickScan = false;
        state.games.LoadedWithQuickScan = false;
        state.games.FullGamesList = {marker()};
        emulator.set("LISTXML", testDataPath("emulator/listxml.xml"));
        emulator.set("LISTINFO", testDataPath("emulator/listinfo.txt"));
        emulator.set("LISTDETAILS", testDataPath("emulator/listdetails.txt"));
    }
    void writeList(const QByteArray& stamp) const {
        program.write("listfull.txt", stamp + "\r\nMAME v0.251 (old)\r\nonly=0000<title>Only/>\r\n");
    }
    void writeCurrentList() const { writeList(ListStamp(state.setup.mameExecutableFile).toLatin1()); }
    QString notFound(const QString& name) const {
        return QStringLiteral("    File \"") + program.path() + name +
               QStringLiteral("\" not found, it's empty or could not be read.") + kRetry;
    }
    QString cannotCreate() const {
        return QStringLiteral("    There was an error trying to create \"") + program.path() +
               QStringLiteral("listfull.txt\" file.  Cannot continue until this file is properly created.") +
               kRetry;
    }

    // When the first question comes, the emulator is mended: it prints the whole -listxml output.
    void mendListXmlAtFirstQuestion() {
        port.onProcessEvents = [this] {
            if (!mended && !port.messages.isEmpty()) {
                emulator.set("LISTXML", testDataPath("emulator/listxml.xml"));
                mended = true;
            }
        };
    }

    FakeEmulator emulator;
    bool mended = false;
};
