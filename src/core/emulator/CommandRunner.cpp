#include "CommandRunner.h"

#include "common/DialogPort.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kShell = "/bin/sh";

void showStartFailure(DialogPort& port, const QString& commandLine, int error) {
    port.showMessage(QStringLiteral("Error - Failed to Create the Process"),
                     QStringLiteral("%1\r\n\r\nError Code %2: ").arg(commandLine, QString::number(error)) +
                         QString::fromLocal8Bit(std::strerror(error)),
                     MessageIcon::Error);
}

// Spawns the child with stdin, stdout and stderr on /dev/null (the shell's ">" redirects stdout).
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
    const int error = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error;
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

int RunProcess(DialogPort& port, const QString& program, const QStringList& arguments, bool wait,
               const QString& workingFolder, const QString& programFolder) {
    const QString commandLine = (QStringList{program} + arguments).join(u' ');
    if (commandLine.size() > kCommandLineLimit) {
        port.showMessage(
            QStringLiteral("Error"),
            QStringLiteral("The command line has more than 1024 chars - [%1]").arg(commandLine.size()),
            MessageIcon::Error);
        return -1;
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
    int exitCode = -1;
    if (error != 0) {
        showStartFailure(port, commandLine, error);
    } else if (wait) {
        // Poll in 10 ms slices so the window stays alive during a run of many seconds.
        while (true) {
            int status = 0;
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid) {
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (done < 0 && errno != EINTR) {
                break;
            }
            port.processPendingEvents();
            QThread::msleep(10);
        }
        QThread::msleep(10);
    } else {
        exitCode = 0;
    }
    if (!programFolder.isEmpty()) {
        QDir::setCurrent(programFolder);
    }
    return exitCode;
}

int RunThroughShell(DialogPort& port, const QString& inner, const QString& workingFolder,
                    const QString& programFolder) {
    return RunProcess(port, QString::fromLatin1(kShell), {QStringLiteral("-c"), inner}, true, workingFolder,
                      programFolder);
}
