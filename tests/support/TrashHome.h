// The desktop's trash pointed at a folder of the test (XDG_DATA_HOME) for one scope.
#pragma once

#include "TempProgramFolder.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct TrashHome {
    TempProgramFolder dir;
    QByteArray saved = qgetenv("XDG_DATA_HOME");
    bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");

    TrashHome() { qputenv("XDG_DATA_HOME", dir.file("data").toUtf8()); }
    ~TrashHome() {
        if (wasSet) {
            qputenv("XDG_DATA_HOME", saved);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    TrashHome(const TrashHome&) = delete;
    TrashHome& operator=(const TrashHome&) = delete;

    QString trash() const { return dir.file("data/Trash"); }
};
