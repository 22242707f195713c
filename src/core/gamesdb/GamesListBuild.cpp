#include "GamesListBuild.h"

#include "GamesData.h"
#include "GamesListFile.h"
#include "GamesListLoader.h"
#include "ListInfoScanner.h"
#include "ListXmlScanner.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "emulator/CommandRunner.h"
#include "emulator/EmulatorState.h"
#include "emulator/EmulatorVersion.h"
#include "progress/ProgressWindows.h"

#include <QElapsedTimer>
#include <QThread>

#include <optional>

namespace {

const QString kRetry = QStringLiteral("\r\n\r\n    Would you like to retry ?");

// Runs the emulator with one list switch, its output redirected into the program folder.
void runListCommand(GamesContext& context, const QString& commandSwitch, const QString& outputName) {
    const SetupChoices& setup = context.setup;
    context.wait.setMessage(QStringLiteral("Generating ") + outputName +
                            QStringLiteral("\" file. Please wait..."));
    RunThroughShell(
        context.port,
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
    enum Ending {
        Ended,          // `result` is the creation's result, unless an interrupted attempt waits
        Retry,          // the user asked for a new attempt; this one ends without loading
        RetryThenLoad,  // a new attempt first, then this one goes on with its load step
    };
    Ending ending = Ended;
    bool result = false;  // for RetryThenLoad: the scanner's result, which its load step gives
};

bool askRetry(GamesContext& context, const QString& text) {
    return context.port.askYesNo(QStringLiteral("Error"), text + kRetry, MessageIcon::Warning);
}

// The output check of every emulator run: a usable output passes; otherwise it is deleted and the
// user chooses between a new attempt and giving up.
std::optional<Attempt> checkEmulatorOutput(GamesContext& context, const QString& path) {
    if (IsUsableFile(path)) {
        return std::nullopt;
    }
    deleteFile(path);
    if (askRetry(context, QStringLiteral("    File \"") + path +
                              QStringLiteral("\" not found, it's empty or could not be read."))) {
        pauseMilliseconds(100);
        return Attempt{Attempt::Retry};
    }
    context.wait.close();
    return Attempt{Attempt::Ended, false};
}

// The last step of an attempt: load the list; when no games came of it the user may start again.
Attempt loadStep(GamesContext& context, bool scanned) {
    if (LoadGamesList(context)) {
        context.wait.close();
        return {Attempt::Ended, scanned};
    }
    if (askRetry(context, QStringLiteral("    There was an error trying to create \"") +
                              context.setup.ProgramFolder +
                              QStringLiteral("listfull.txt\" file.  Cannot continue until this file is "
                                             "properly created."))) {
        return {Attempt::Retry};
    }
    context.wait.close();
    return {Attempt::Ended, scanned};
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
    const EmulatorIdentity identity = DescribeEmulator(context.port, emulator, setup.ProgramFolder);
    identified.EmulatorDescription = identity.description;
    identified.EmulatorVersion = identity.version.isEmpty()
                                     ? DetectEmulatorVersion(context.port, emulator, setup.ProgramFolder)
                                     : identity.version;

    const bool legacy = ListCommandChoice(EmulatorVersionNumber(identified.EmulatorVersion)) ==
                        ListCommand::ListInfoAndDetails;
    if (legacy) {
        for (const auto& [commandSwitch, output] :
             {std::pair{QStringLiteral("-listinfo"), QStringLiteral("listinfo.txt")},
              std::pair{QStringLiteral("-listdetails"), QStringLiteral("listdetails.txt")}}) {
            runListCommand(context, commandSwitch, output);
            context.events.emulatorRunEnded();
            pauseMilliseconds(50);
            if (const auto ended = checkEmulatorOutput(context, setup.ProgramFolder + output)) {
                return *ended;
            }
        }
    } else {
        runListCommand(context, QStringLiteral("-listxml"), QStringLiteral("listxml.xml"));
        pauseMilliseconds(50);
        if (const auto ended =
                checkEmulatorOutput(context, setup.ProgramFolder + QStringLiteral("listxml.xml"))) {
            return *ended;
        }
    }

    context.events.emulatorRunEnded();
    deleteFile(gamesListPath(setup.ProgramFolder));
    pauseMilliseconds(5);
    context.wait.setMessage(QStringLiteral("Creating Games List\r\n") + identified.EmulatorDescription);
    context.port.processPendingEvents();
    const ScanResult scan = legacy ? ParseListInfo(context) : ParseListXml(context);
    if (scan != ScanResult::EmptyOutput) {
        return loadStep(context, scan == ScanResult::Written);
    }
    // An output without lines: the -listxml scan counts as done, the legacy one as failed.
    const bool scanned = !legacy;
    const QString path =
        setup.ProgramFolder + (legacy ? QStringLiteral("listinfo.txt") : QStringLiteral("listxml.xml"));
    deleteFile(path);
    if (askRetry(context, QStringLiteral("    File \"") + path +
                              QStringLiteral("\" is empty, there's nothing to read."))) {
        pauseMilliseconds(100);
        return {Attempt::RetryThenLoad, scanned};
    }
    return loadStep(context, scanned);
}

// One attempt from the start: nothing to do when listfull.txt is current, else a build.
Attempt attempt(GamesContext& context) {
    const SetupChoices& setup = context.setup;
    GamesData& games = context.games;
    if (!IsUsableFile(setup.mameExecutableFile)) {
        return {Attempt::Ended, false};
    }
    if (setup.rebuildGamesListVisible && setup.rebuildGamesListChecked) {
        deleteFile(gamesListPath(setup.ProgramFolder));
    }
    if (isCurrentGamesList(setup.ProgramFolder, setup.mameExecutableFile)) {
        if (games.FullGamesList.isEmpty() || setup.scanGameFilesQuickScan != games.LoadedWithQuickScan) {
            LoadGamesList(context);
        }
        return {Attempt::Ended, true};
    }
    return build(context);
}

}  // namespace

bool CreateGamesList(GamesContext& context) {
    // Attempts interrupted by a retry that go on with their load step once it has ended, innermost
    // last; each holds the result its load step gives.
    QList<bool> waitingToLoad;
    Attempt last = attempt(context);
    while (true) {
        if (last.ending == Attempt::Retry) {
            last = attempt(context);
        } else if (last.ending == Attempt::RetryThenLoad) {
            waitingToLoad.append(last.result);
            last = attempt(context);
        } else if (!waitingToLoad.isEmpty()) {
            last = loadStep(context, waitingToLoad.takeLast());
        } else {
            return last.result;
        }
    }
}
