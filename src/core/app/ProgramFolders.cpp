#include "ProgramFolders.h"

#include "common/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ProgramFolders portableFolders(const QString& folder) {
    const QString own = withTrailingSeparator(folder);
    return {own, own};
}

ProgramFolders locateProgramFolders(const QString& executableFolder) {
    const ProgramFolders portable = portableFolders(executableFolder);
    if (QFileInfo(portable.resources + QStringLiteral("icons")).isDir()) {
        return portable;
    }
    const QString installed =
        withTrailingSeparator(QDir::cleanPath(portable.resources + QStringLiteral("../share/kestrum")));
    if (!QFileInfo(installed + QStringLiteral("icons")).isDir()) {
        return portable;
    }
    const QString data = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (data.isEmpty()) {
        return portable;  // no home to write into: the executable's folder is the only candidate left
    }
    QDir().mkpath(data);
    return {installed, withTrailingSeparator(data)};
}
