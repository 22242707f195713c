#include "GamesListBuild.h"

#include "GamesData.h"
#include "GamesListFile.h"
#include "GamesListLoader.h"
#include "ListInfoScanner.h"
#include "ListXmlScanner.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/RunControl.h"
#include "emulator/CommandRunner.h"
#include "emulator/EmulatorState.h"
#include "emulator/EmulatorVersion.h"
#include "progress/ProgressWindows.h"

#include <QElapsedTimer>
#include <QThread>

#include <optional>

namespace {

const QString kRetry = QStringLiteral("\r\n\r\n    Would you like to retry ?");

// Runs the emulator with one list switch, its output redirected into the program folder. An old
// output is deleted first: only this run's may be read.
RunOutcome runListCommand(GamesContext& context, const QString& commandSwitch, const QString& outputName) {
    const SetupChoices& setup = context.setup;
    context.wait.setMessage(QStringLiteral("Generating ") + outputName +
                            QStringLiteral("\" file. Please wait..."));
    deleteFile(setup.ProgramFolder + outputName);
    return RunThroughShell(
        context.port, context.runs,
        redirectedCommand(setup.mameExecutableFile, commandSwitch, setup.ProgramFolder + outputName),
        folderOfPath(setup.mameExecutableFile), setup.ProgramFolder);
}

}  // namespace

void pauseMilliseconds(int milliseconds, qint64* pausedNanoseconds) {
    QElapsedTimer clock;
    clock.start();
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    if (pausedNanoseconds) {
        *pausedNanoseconds += clock.nsecsElapsed();
    }
}

QByteArray gamesListHeader(const SetupChoices& setup, const EmulatorState& emulator) {
    return ListStamp(setup.mameExecutableFile).toLatin1() + "\r\n" + emulator.EmulatorDescription.toUtf8() +
           "\r\n";
}

namespace {

// How one attempt of the creation ended.
struct Attempt {
    bool retry = false;   // the user asked for a new attempt; this one ends without loading
    bool result = false;  // otherwise: the creation's result
};

bool askRetry(GamesContext& context, const QString& text) {
    return context.port.askYesNo(QStringLiteral("Error"), text + kRetry, MessageIcon::Warning);
}

// The attempt ends without a list: the user declined a retry, or stopped the emulator (then no
// retry is offered).
Attempt giveUp(GamesContext& context) {
    context.wait.close();
    return {false, false};
}

// The output check of every emulator run: the output of a run that ended well and wrote something
// passes; otherwise it is deleted and the user chooses between a new attempt and giving up.
std::optional<Attempt> checkEmulatorOutput(GamesContext& context, const RunOutcome& run,
                                           const QString& path) {
    if (run.succeeded() && IsUsableFile(path)) {
        return std::nullopt;
    }
    deleteFile(path);
    if (run.stopped()) {
        return giveUp(context);
    }
    if (askRetry(context, QStringLiteral("    File \"") + path +
                              QStringLiteral("\" not found, it's empty or could not be read."))) {
        pauseMilliseconds(100, context.pausedNanoseconds);
        return Attempt{true};
    }
    return giveUp(context);
}

// The end of a build that wrote no list: the old listfull.txt, if any, stays, and the user may
// start again.
Attempt noListMade(GamesContext& context, bool scanned) {
    if (askRetry(context, QStringLiteral("    There was an error trying to create \"") +
                              context.setup.ProgramFolder +
                              QStringLiteral("listfull.txt\" file.  Cannot continue until this file is "
                                             "properly created."))) {
        return {true};
    }
    context.wait.close();
    return {false, scanned};
}

// The last step of a build: load the new list. A rebuild asked for is then done.
Attempt loadNewList(GamesContext& context) {
    if (!LoadGamesList(context)) {
        return noListMade(context, true);
    }
    context.wait.close();
    context.setup.rebuildGamesListChecked = false;
    return {false, true};
}

// Builds listfull.txt from the emulator's output and loads it.
Attempt build(GamesContext& context) {
    const SetupChoices& setup = context.setup;
    EmulatorState& identified = context.emulator;
    const QString emulator = setup.mameExecutableFile;
    context.events.replacingGamesList();
    context.port.setBusyPointer(false);
    context.wait.setMessage(QStringLiteral("Detecting MAME version. Please wait..."));
    context.wait.show();
    context.runs.forgetStop();  // one asked for an earlier run is not for this build
    const EmulatorIdentity identity =
        DescribeEmulator(context.port, context.runs, emulator, setup.ProgramFolder);
    if (context.runs.stopRequested()) {
        return giveUp(context);
    }
    identified.EmulatorDescription = identity.description;
    identified.EmulatorVersion =
        identity.version.isEmpty()
            ? DetectEmulatorVersion(context.port, context.runs, emulator, setup.ProgramFolder)
            : identity.version;
    if (context.runs.stopRequested()) {
        return giveUp(context);
    }

    const bool legacy = ListCommandChoice(EmulatorVersionNumber(identified.EmulatorVersion)) ==
                        ListCommand::ListInfoAndDetails;
    if (legacy) {
        for (const auto& [commandSwitch, output] :
             {std::pair{QStringLiteral("-listinfo"), QStringLiteral("listinfo.txt")},
              std::pair{QStringLiteral("-listdetails"), QStringLiteral("listdetails.txt")}}) {
            const RunOutcome run = runListCommand(context, commandSwitch, output);
            context.events.emulatorRunEnded();
            pauseMilliseconds(50, context.pausedNanoseconds);
            if (const auto ended = checkEmulatorOutput(context, run, setup.ProgramFolder + output)) {
                return *ended;
            }
        }
    } else {
        const RunOutcome run =
            runListCommand(context, QStringLiteral("-listxml"), QStringLiteral("listxml.xml"));
        pauseMilliseconds(50, context.pausedNanoseconds);
        if (const auto ended =
                checkEmulatorOutput(context, run, setup.ProgramFolder + QStringLiteral("listxml.xml"))) {
            return *ended;
        }
    }

    // The old listfull.txt stays in force until the scan has written the new one whole.
    context.events.emulatorRunEnded();
    pauseMilliseconds(5, context.pausedNanoseconds);
    context.wait.setMessage(QStringLiteral("Creating Games List\r\n") + identified.EmulatorDescription);
    context.port.processPendingEvents();
    const ScanResult scan = legacy ? ParseListInfo(context) : ParseListXml(context);
    if (scan == ScanResult::Written) {
        return loadNewList(context);
    }
    if (scan == ScanResult::NotWritten) {
        return noListMade(context, false);
    }
    // An output without lines: the -listxml scan counts as done, the legacy one as failed.
    const QString path =
        setup.ProgramFolder + (legacy ? QStringLiteral("listinfo.txt") : QStringLiteral("listxml.xml"));
    deleteFile(path);
    if (askRetry(context, QStringLiteral("    File \"") + path +
                              QStringLiteral("\" is empty, there's nothing to read."))) {
        pauseMilliseconds(100, context.pausedNanoseconds);
        return {true};
    }
    return noListMade(context, !legacy);
}

// One attempt from the start: only a load when listfull.txt is current and no rebuild was asked
// for, else a build.
Attempt attempt(GamesContext& context) {
    const SetupChoices& setup = context.setup;
    GamesData& games = context.games;
    if (!IsUsableFile(setup.mameExecutableFile)) {
        return {false, false};
    }
    const bool rebuild = setup.rebuildGamesListVisible && setup.rebuildGamesListChecked;
    if (!rebuild && isCurrentGamesList(setup.ProgramFolder, setup.mameExecutableFile)) {
        if (games.FullGamesList.isEmpty() || setup.scanGameFilesQuickScan != games.LoadedWithQuickScan) {
            LoadGamesList(context);
        }
        return {false, true};
    }
    return build(context);
}

}  // namespace

bool CreateGamesList(GamesContext& context) {
    Attempt last = attempt(context);
    while (last.retry) {
        last = attempt(context);
    }
    return last.result;
}
