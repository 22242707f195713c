#pragma once

#include <QString>
#include <QStringList>

struct AppState;
class DialogPort;

// Reading the emulator's own ini files for its content folders. The emulator's files are never
// written; the emulator is only asked to create its default ini file.

// $NAME, ${NAME} and a leading ~ as the shell would expand them ($ without a name stays).
QString ExpandEnvironment(const QString& value);
// Absolute when it begins with "/" (after expansion), else relative to the emulator's folder;
// ends with "/". An empty value gives "".
QString ResolveEmulatorPath(const QString& value, const QString& emulatorFolder);
// The default ini folders of a packaged emulator, searched after the emulator's own folder.
QStringList DefaultEmulatorIniFolders();

// `folder` + `relative` when it exists, else the same path matched without regard to letter case.
QString FindFileIgnoringCase(const QString& folder, const QString& relative);

QString EmulatorFolderOf(const AppState& state);
QString FindEmulatorIni(const AppState& state);
void ReadEmulatorIni(AppState& state, DialogPort& port);
void SplitRomPath(AppState& state, const QString& rompath);
void CreateEmulatorConfig(const AppState& state, DialogPort& port);
bool ReadUiIni(AppState& state);
void LoadImageFolders(AppState& state);
void ApplyImageFolders(AppState& state);
bool SaveImageFolders(AppState& state);
bool CheckImageFolderEdit(const AppState& state, DialogPort& port, int row);
