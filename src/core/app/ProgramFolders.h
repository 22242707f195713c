#pragma once

#include <QString>

// Where the program reads its own resources (the list icons, the user guide) and where it writes
// everything else (Kestrum.ini, listfull.txt, the layout files, the emulator's temporary output, the
// saved Work Lists). Both end with "/".
struct ProgramFolders {
    QString resources;
    QString data;
};

// One folder for both: a portable copy, a test's or a benchmark's sandbox.
ProgramFolders portableFolders(const QString& folder);

// The folders of the program whose executable lies in executableFolder. A copy that holds icons/
// beside its executable is portable and keeps everything there. An installed one (its resources in
// <prefix>/share/kestrum/ beside <prefix>/bin/) reads them there and writes into the user's data
// location (~/.local/share/kestrum/), which is made when missing. Anything else is treated as a
// portable copy that has lost its icons.
ProgramFolders locateProgramFolders(const QString& executableFolder);
