#include "ListIcons.h"

#include "common/FileOps.h"
#include "common/IconFile.h"

QString iconPath(const QString& resourceFolder, const char* name) {
    return resourceFolder + QStringLiteral("icons/") + QLatin1String(name) + QStringLiteral(".ico");
}

int pickListIcon(const QString& resourceFolder, const char* name, int width, int height) {
    const QString path = iconPath(resourceFolder, name);
    if (!FileExistsNotFolder(path)) {
        return -1;
    }
    return pickIconImage(readWholeFile(path).value_or(QByteArray()), width, height);
}

QString iconLoadFailureText(const char* name, int width, int height) {
    const QString file = QLatin1String(name) + QStringLiteral(".ico");
    return QStringLiteral("    Failed to load icon \"") + file + QStringLiteral("\".\r\nFile \"icons\\") +
           file +
           QStringLiteral(
               "\" could not be found or it doesn't have the %1x%2 size. Contact the author about this.")
               .arg(width)
               .arg(height);
}
