// What EmulatorIni.cpp and UiIni.cpp share (and the ini reader's fuzz target); not for other files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

struct EmulatorState;
struct SetupChoices;

namespace emulatorini_detail {

// The ini line's key and value: the key is the text before the first blank, the value what
// follows it, trimmed. A line that is empty, starts with "#" or has no blank has no key.
struct IniLine {
    QByteArray key;
    QString value;
};
QList<IniLine> readIniLines(const QString& path);
QList<IniLine> parseIniLines(QByteArrayView bytes);  // the same for a file's bytes

// One pair of surrounding double quotes removed: the emulator writes a value with a blank that way.
QString unquoted(const QString& value);

struct FoundIni {
    QString path;                  // "" when none was found
    bool inDefaultFolder = false;  // found in $HOME/.mame/ or /etc/mame/, not the emulator's folder
};
// The first of `ownFolderNames` in the emulator's folder, else of `defaultFolderNames` in the
// default ini folders, each matched exactly first, then without regard to letter case.
FoundIni findIni(const EmulatorState& emulator, const SetupChoices& setup, const QStringList& ownFolderNames,
                 const QStringList& defaultFolderNames);

}  // namespace emulatorini_detail
