#pragma once

#include <QString>
#include <QStringList>

class DialogPort;
class RunControl;

constexpr int kCommandLineLimit = 1024;

// Quotes a path for /bin/sh: single quotes, a ' inside written as '\''.
QString shellQuote(const QString& text);

// How a run ended.
struct RunOutcome {
    enum class Ending { Refused, NotStarted, Exited, Signalled, Stopped };
    Ending ending = Ending::NotStarted;
    int status = -1;  // the exit status, or the signal that ended it

    bool succeeded() const { return ending == Ending::Exited && status == 0; }
    bool stopped() const { return ending == Ending::Stopped; }
};

// Starts `program` with `arguments` in `workingFolder` (stdin from /dev/null, output hidden) in a
// process group of its own and waits for it in 10 ms slices, processing pending events between
// slices. When `control` is asked to stop, the whole group gets SIGTERM, and SIGKILL 2 s later.
// The current folder is `programFolder` again afterwards.
RunOutcome RunProcess(DialogPort& port, RunControl& control, const QString& program,
                      const QStringList& arguments, const QString& workingFolder,
                      const QString& programFolder);

// Runs `/bin/sh -c INNER`, for commands that redirect the emulator's output into a file.
RunOutcome RunThroughShell(DialogPort& port, RunControl& control, const QString& inner,
                           const QString& workingFolder, const QString& programFolder);

// The inner command "'emulator' -switch > 'output'".
QString redirectedCommand(const QString& emulator, const QString& commandSwitch, const QString& outputFile);

namespace runner_testing {
// Grace between the polite signal and the kill of a stopped run (2000 ms unless changed).
void setStopGraceMilliseconds(int milliseconds);
}  // namespace runner_testing
