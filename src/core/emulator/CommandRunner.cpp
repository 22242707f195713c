#include "CommandRunner.h"

#include "common/DialogPort.h"
#include "common/RunControl.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kShell = "/bin/sh";
int g_stopGraceMilliseconds = 2000;

void showStartFailure(DialogPort& port, const QString& commandLine, int error) {
    port.showMessage(QStringLiteral("Error - Failed to Create the Process"),
                     QStringLiteral("%1\r\n\r\nError Code %2: ").arg(commandLine, QString::number(error)) +
                         QString::fromLocal8Bit(std::strerror(error)),
                     MessageIcon::Error);
}

// Spawns the child with stdin, stdout and stderr on /dev/null (the shell's ">" redirects stdout),
// leading a process group of its own so that a stop reaches everything it started.
int spawn(const QByteArray& program, const std::vector<QByteArray>& arguments, const QByteArray& folder,
          pid_t& pid) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.constData()));
    for (const QByteArray& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.constData()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!folder.isEmpty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int error = posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

RunOutcome outcomeOf(int status) {
    if (WIFEXITED(status)) {
        return {RunOutcome::Ending::Exited, WEXITSTATUS(status)};
    }
    return {RunOutcome::Ending::Signalled, WIFSIGNALED(status) ? WTERMSIG(status) : -1};
}

enum class Waited { Ended, GaveUp, Failed };

// Waits for the child in slices that keep the window alive, until it ends or `giveUp` says so.
Waited waitInSlices(DialogPort& port, pid_t pid, int& status, const std::function<bool()>& giveUp) {
    while (true) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return Waited::Ended;
        }
        if (done < 0 && errno != EINTR) {
            return Waited::Failed;
        }
        if (giveUp()) {
            return Waited::GaveUp;
        }
        port.processPendingEvents();
        QThread::msleep(10);
    }
}

// Ends the child's whole process group: politely first, by force after the grace period.
void stopGroup(DialogPort& port, pid_t pid) {
    ::kill(-pid, SIGTERM);
    QElapsedTimer grace;
    grace.start();
    int status = 0;
    const Waited waited =
        waitInSlices(port, pid, status, [&grace] { return grace.elapsed() >= g_stopGraceMilliseconds; });
    ::kill(-pid, SIGKILL);  // also whatever the child left behind in its group
    if (waited == Waited::GaveUp) {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

}  // namespace

QString shellQuote(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

QString redirectedCommand(const QString& emulator, const QString& commandSwitch, const QString& outputFile) {
    return shellQuote(emulator) + u' ' + commandSwitch + QStringLiteral(" > ") + shellQuote(outputFile);
}

RunOutcome RunProcess(DialogPort& port, RunControl& control, const QString& program,
                      const QStringList& arguments, const QString& workingFolder,
                      const QString& programFolder) {
    const QString commandLine = (QStringList{program} + arguments).join(u' ');
    if (commandLine.size() > kCommandLineLimit) {
        port.showMessage(
            QStringLiteral("Error"),
            QStringLiteral("The command line has more than 1024 chars - [%1]").arg(commandLine.size()),
            MessageIcon::Error);
        return {RunOutcome::Ending::Refused};
    }
    std::vector<QByteArray> encoded;
    for (const QString& argument : arguments) {
        encoded.push_back(QFile::encodeName(argument));
    }
    if (!workingFolder.isEmpty()) {
        QDir::setCurrent(workingFolder);
    }
    pid_t pid = 0;
    const int error = spawn(QFile::encodeName(program), encoded, QFile::encodeName(workingFolder), pid);
    RunOutcome outcome;
    if (error != 0) {
        showStartFailure(port, commandLine, error);
    } else {
        control.runStarted();
        int status = 0;
        const Waited waited = waitInSlices(port, pid, status, [&control] { return control.stopRequested(); });
        if (waited == Waited::Ended) {
            outcome = outcomeOf(status);
        } else if (waited == Waited::GaveUp) {
            stopGroup(port, pid);
            outcome = {RunOutcome::Ending::Stopped};
        }
        control.runEnded();
        QThread::msleep(10);
    }
    if (!programFolder.isEmpty()) {
        QDir::setCurrent(programFolder);
    }
    return outcome;
}

RunOutcome RunThroughShell(DialogPort& port, RunControl& control, const QString& inner,
                           const QString& workingFolder, const QString& programFolder) {
    return RunProcess(port, control, QString::fromLatin1(kShell), {QStringLiteral("-c"), inner},
                      workingFolder, programFolder);
}

namespace runner_testing {
void setStopGraceMilliseconds(int milliseconds) {
    g_stopGraceMilliseconds = milliseconds;
}
}  // namespace runner_testing
