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

bool checkEmulatorOutput(GamesContext& context, const QString& path) {
    if (IsUsableFile(path)) {
        return true;
    }
    deleteFile(path);
    if (context.port.askYesNo(QStringLiteral("Error"),
                              QStringLiteral("    File \"") + path +
                                  QStringLiteral("\" not found, it's empty or could not be read.") + kRetry,
                              MessageIcon::Warning)) {
        pauseMilliseconds(100);
        CreateGamesList(context);
    } else {
        context.wait.close();
    }
    return false;
}

void retryAfterEmptyOutput(GamesContext& context, const QString& path, qint64* pausedNanoseconds) {
    deleteFile(path);
    if (context.port.askYesNo(QStringLiteral("Error"),
                              QStringLiteral("    File \"") + path +
                                  QStringLiteral("\" is empty, there's nothing to read.") + kRetry,
                              MessageIcon::Warning)) {
        pauseMilliseconds(100, pausedNanoseconds);
        CreateGamesList(context);
    }
}

bool CreateGamesList(GamesContext& context) {
    const SetupChoices& setup = context.setup;
    GamesData& games = context.games;
    EmulatorState& identified = context.emulator;
    const QString emulator = setup.mameExecutableFile;
    if (!IsUsableFile(emulator)) {
        return false;
    }
    const QString listPath = gamesListPath(setup.ProgramFolder);
    if (setup.rebuildGamesListVisible && setup.rebuildGamesListChecked) {
        deleteFile(listPath);
    }
    if (isCurrentGamesList(setup.ProgramFolder, emulator)) {
        if (games.FullGamesList.isEmpty() || setup.scanGameFilesQuickScan != games.LoadedWithQuickScan) {
            LoadGamesList(context);
        }
        return true;
    }

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
            if (!checkEmulatorOutput(context, setup.ProgramFolder + output)) {
                return false;
            }
        }
    } else {
        runListCommand(context, QStringLiteral("-listxml"), QStringLiteral("listxml.xml"));
        pauseMilliseconds(50);
        if (!checkEmulatorOutput(context, setup.ProgramFolder + QStringLiteral("listxml.xml"))) {
            return false;
        }
    }

    context.events.emulatorRunEnded();
    deleteFile(listPath);
    pauseMilliseconds(5);
    context.wait.setMessage(QStringLiteral("Creating Games List\r\n") + identified.EmulatorDescription);
    context.port.processPendingEvents();
    const bool scanned = legacy ? ParseListInfo(context) : ParseListXml(context);

    if (LoadGamesList(context)) {
        context.wait.close();
    } else if (context.port.askYesNo(
                   QStringLiteral("Error"),
                   QStringLiteral("    There was an error trying to create \"") + setup.ProgramFolder +
                       QStringLiteral("listfull.txt\" file.  Cannot continue until this file is "
                                      "properly created.") +
                       kRetry,
                   MessageIcon::Warning)) {
        return CreateGamesList(context);
    } else {
        context.wait.close();
    }
    return scanned;
}
