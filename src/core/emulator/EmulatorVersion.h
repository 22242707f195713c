#pragma once

#include <QDateTime>
#include <QString>

class DialogPort;
class RunControl;

enum class ListCommand { ListXml, ListInfoAndDetails };

struct EmulatorIdentity {
    QString description;  // "MAME v0.251 (Jan 01 2023)", the header of listfull.txt
    QString version;      // "0.251", or "" when unknown
};

// The version of the emulator: from its version resource when it has one, else from the first
// line of its -help output (written to iMAMEVersion.tmp in the program folder).
QString DetectEmulatorVersion(DialogPort& port, RunControl& control, const QString& emulator,
                              const QString& programFolder);
// The version within the first line of -help output ("MAME v0.251 (unknown)" gives 0.251).
QString versionFromHelpLine(const QString& line);
QString EmulatorDisplayName(const QString& emulator);
// "(mmm dd yyyy)" with the locale's short month name (English where the locale has none).
QString emulatorDateText(const QDateTime& modified);
EmulatorIdentity DescribeEmulator(DialogPort& port, RunControl& control, const QString& emulator,
                                  const QString& programFolder);
// The leading digits after the first two characters ("0.37b16" gives 37); -1 when there are none.
int EmulatorVersionNumber(const QString& version);
ListCommand ListCommandChoice(int versionNumber);
