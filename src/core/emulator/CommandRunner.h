#pragma once

#include <QString>
#include <QStringList>

class DialogPort;

constexpr int kCommandLineLimit = 1024;

// Quotes a path for /bin/sh: single quotes, a ' inside written as '\''.
QString shellQuote(const QString& text);

// Starts `program` with `arguments` in `workingFolder` (stdin from /dev/null, output hidden) and,
// when `wait` is set, waits for it in 10 ms slices, processing pending events between slices.
// The current folder is `programFolder` again afterwards. Gives the exit code, or -1 when nothing ran;
// callers judge success by the output file the emulator should have written.
int RunProcess(DialogPort& port, const QString& program, const QStringList& arguments, bool wait,
               const QString& workingFolder, const QString& programFolder);

// Runs `/bin/sh -c INNER`, waiting, for commands that redirect the emulator's output into a file.
int RunThroughShell(DialogPort& port, const QString& inner, const QString& workingFolder,
                    const QString& programFolder);

// The inner command "'emulator' -switch > 'output'".
QString redirectedCommand(const QString& emulator, const QString& commandSwitch, const QString& outputFile);
