#include "GamesListBuild.h"

#include "GamesListFile.h"
#include "GamesListLoader.h"
#include "ListInfoScanner.h"
#include "ListXmlScanner.h"
#include "app/AppState.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "emulator/CommandRunner.h"
#include "emulator/EmulatorVersion.h"
#include "progress/ProgressWindows.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

const QString kRetry = QStringLiteral("\r\n\r\n    Would you like to retry ?");

// Runs the emulator with one list switch, its output redirected into the program folder.
void runListCommand(GamesContext& context, const QString& commandSwitch, const QString& outputName) {
    AppState& state = context.state;
    context.wait.setMessage(QStringLiteral("Generating ") + outputName +
                            QStringLiteral("\" file. Please wait..."));
    RunThroughShell(
        context.port,
        RedirectedCommand(state.mameExecutableFile, commandSwitch, state.ProgramFolder + outputName),
        FolderOfPath(state.mameExecutableFile), state.ProgramFolder);
}

}  // namespace

void PauseMilliseconds(int milliseconds, qint64* pausedNanoseconds) {
    QElapsedTimer clock;
    clock.start();
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    if (pausedNanoseconds) {
        *pausedNanoseconds += clock.nsecsElapsed();
    }
}

QByteArray GamesListHeader(const AppState& state) {
    return ListStamp(state.mameExecutableFile).toLatin1() + "\r\n" + state.EmulatorDescription.toUtf8() +
           "\r\n";
}

bool CheckEmulatorOutput(GamesContext& context, const QString& path) {
    if (IsUsableFile(path)) {
        return true;
    }
    DeleteFile(path);
    if (context.port.askYesNo(QStringLiteral("Error"),
                              QStringLiteral("    File \"") + path +
                                  QStringLiteral("\" not found, it's empty or could not be read.") + kRetry,
                              MessageIcon::Warning)) {
        PauseMilliseconds(100);
        CreateGamesList(context);
    } else {
        context.wait.close();
    }
    return false;
}

void RetryAfterEmptyOutput(GamesContext& context, const QString& path, qint64* pausedNanoseconds) {
    DeleteFile(path);
    if (context.port.askYesNo(QStringLiteral("Error"),
                              QStringLiteral("    File \"") + path +
                                  QStringLiteral("\" is empty, there's nothing to read.") + kRetry,
                              MessageIcon::Warning)) {
        PauseMilliseconds(100, pausedNanoseconds);
        CreateGamesList(context);
    }
}

bool CreateGamesList(GamesContext& context) {
    AppState& state = context.state;
    const QString emulator = state.mameExecutableFile;
    if (!IsUsableFile(emulator)) {
        return false;
    }
    const QString listPath = GamesListPath(state.ProgramFolder);
    if (state.rebuildGamesListVisible && state.rebuildGamesListChecked) {
        DeleteFile(listPath);
    }
    if (IsCurrentGamesList(state.ProgramFolder, emulator)) {
        if (state.FullGamesList.isEmpty() || state.scanGameFilesQuickScan != state.LoadedWithQuickScan) {
            LoadGamesList(context);
        }
        return true;
    }

    state.SearchResults.clear();
    context.port.setBusyPointer(false);
    context.wait.setMessage(QStringLiteral("Detecting MAME version. Please wait..."));
    context.wait.show();
    const EmulatorIdentity identity = DescribeEmulator(context.port, emulator, state.ProgramFolder);
    state.EmulatorDescription = identity.description;
    state.EmulatorVersion = identity.version.isEmpty()
                                ? DetectEmulatorVersion(context.port, emulator, state.ProgramFolder)
                                : identity.version;

    const bool legacy =
        ListCommandChoice(EmulatorVersionNumber(state.EmulatorVersion)) == ListCommand::ListInfoAndDetails;
    if (legacy) {
        for (const auto& [commandSwitch, output] :
             {std::pair{QStringLiteral("-listinfo"), QStringLiteral("listinfo.txt")},
              std::pair{QStringLiteral("-listdetails"), QStringLiteral("listdetails.txt")}}) {
            runListCommand(context, commandSwitch, output);
            context.port.showStateNow();
            PauseMilliseconds(50);
            if (!CheckEmulatorOutput(context, state.ProgramFolder + output)) {
                return false;
            }
        }
    } else {
        runListCommand(context, QStringLiteral("-listxml"), QStringLiteral("listxml.xml"));
        PauseMilliseconds(50);
        if (!CheckEmulatorOutput(context, state.ProgramFolder + QStringLiteral("listxml.xml"))) {
            return false;
        }
    }

    context.port.showStateNow();
    DeleteFile(listPath);
    PauseMilliseconds(5);
    context.wait.setMessage(QStringLiteral("Creating Games List\r\n") + state.EmulatorDescription);
    context.port.processPendingEvents();
    const bool scanned = legacy ? ParseListInfo(context) : ParseListXml(context);

    if (LoadGamesList(context)) {
        context.wait.close();
    } else if (context.port.askYesNo(
                   QStringLiteral("Error"),
                   QStringLiteral("    There was an error trying to create \"") + state.ProgramFolder +
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
