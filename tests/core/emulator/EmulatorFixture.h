#pragma once

#include "FakeDialogPort.h"
#include "FakeEmulator.h"
#include "TempProgramFolder.h"
#include "app/AppState.h"
#include "common/RunControl.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

// A program folder with the stand-in emulator in its own subfolder and two private fallback ini
// folders, so no test ever sees the machine's own emulator ini files.
struct EmulatorFixture {
    explicit EmulatorFixture(const QString& relativeExe = QStringLiteral("emulator/mame"))
        : emulator(program, relativeExe) {
        state.setup.ProgramFolder = program.path();
        state.setup.mameExecutableFile = emulator.path();
        state.emulator.iniFallbackFolders = {program.makeFolder(QStringLiteral("fallback-home")),
                                             program.makeFolder(QStringLiteral("fallback-etc"))};
    }

    QString emulatorFolder() const { return emulator.folder(); }
    QString homeFallback() const { return state.emulator.iniFallbackFolders[0]; }
    QString etcFallback() const { return state.emulator.iniFallbackFolders[1]; }
    // "@x" is the emulator folder + "x", "H:x" and "S:x" the fallback folders + "x"; others stay.
    QString place(const QString& text) const {
        if (text.startsWith(u'@')) {
            return emulatorFolder() + text.mid(1);
        }
        if (text.startsWith(QStringLiteral("H:"))) {
            return homeFallback() + text.mid(2);
        }
        if (text.startsWith(QStringLiteral("S:"))) {
            return etcFallback() + text.mid(2);
        }
        return text;
    }
    QStringList place(const QStringList& texts) const {
        QStringList placed;
        for (const QString& text : texts) {
            placed.append(place(text));
        }
        return placed;
    }
    // Writes a file at a placed path ("@mame.ini", "H:ui.ini").
    QString write(const QString& where, const QByteArray& bytes) const {
        const QString full = place(where);
        return program.write(full.mid(program.path().size()), bytes);
    }

    TempProgramFolder program;
    FakeEmulator emulator;
    AppState state;
    FakeDialogPort port;
    RunControl runs;
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    ~ScopedEnv() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

inline QString currentFolder() {
    return QDir::currentPath() + u'/';
}
