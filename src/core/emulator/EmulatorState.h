#pragma once

#include "EmulatorFolders.h"

#include <QString>
#include <QStringList>

// What the program learnt of the chosen emulator: its content folders and who it is.
struct EmulatorState {
    EmulatorFolders folders;
    // Where a packaged emulator keeps its ini files, searched after the emulator's own folder.
    QStringList iniFallbackFolders;
    // What relative folder values resolve against when not the emulator's folder: $HOME/ for a
    // packaged emulator whose main ini file was found in a default ini folder.
    QString valuesBase;
    // The image folders came from the emulator's ui.ini (else from the images page).
    bool ImageFoldersFromUiIni = false;
    QString EmulatorDescription;
    QString EmulatorVersion;
};
