#pragma once

#include <QString>
#include <QStringList>

struct EmulatorState;
struct SetupChoices;
class DialogPort;
class RunControl;

// Reading the emulator's own ini files for its content folders. The emulator's files are never
// written; the emulator is only asked to create its default ini file.

// $NAME, ${NAME} and a leading ~ as the shell would expand them ($ without a name stays).
QString expandEnvironment(const QString& value);
// Absolute when it begins with "/" (after expansion), else relative to the given folder; ends
// with "/". An empty value, or one that expands to nothing, gives "".
QString ResolveEmulatorPath(const QString& value, const QString& emulatorFolder);
// The default ini folders of a packaged emulator, searched after the emulator's own folder.
QStringList defaultEmulatorIniFolders();

// `folder` + `relative` when it exists, else the same path matched without regard to letter case.
QString findFileIgnoringCase(const QString& folder, const QString& relative);

QString emulatorFolderOf(const SetupChoices& setup);
// What relative folder values resolve against: the emulator's folder, or $HOME/ for a packaged
// emulator whose main ini file lies in a default ini folder.
QString folderValuesBase(const EmulatorState& emulator, const SetupChoices& setup);
QString FindEmulatorIni(const EmulatorState& emulator, const SetupChoices& setup);
// The content folders from the emulator's main ini file (created with -createconfig when the
// user agrees; a stopped run gives up); the snapshot folder also fills its box of the images page.
void ReadEmulatorIni(EmulatorState& emulator, SetupChoices& setup, DialogPort& port, RunControl& control);
void SplitRomPath(EmulatorState& emulator, const SetupChoices& setup, const QString& rompath);
// Runs the emulator with -createconfig in its folder, or in $HOME/.mame/ (made when missing) when
// its folder may not be written; false when the run did not end by itself.
bool CreateEmulatorConfig(const SetupChoices& setup, DialogPort& port, RunControl& control);
// The image folder boxes from the emulator's ui.ini, when it has one.
bool ReadUiIni(EmulatorState& emulator, SetupChoices& setup);
// The image folder boxes from the [Images] section of Kestrum.ini.
void LoadImageFolders(EmulatorState& emulator, SetupChoices& setup);
void ApplyImageFolders(EmulatorState& emulator, const SetupChoices& setup);
bool CheckImageFolderEdit(const SetupChoices& setup, DialogPort& port, int row);
