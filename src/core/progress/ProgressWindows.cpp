#include "ProgressWindows.h"

#include "common/DialogPort.h"
#include "common/FileDialog.h"
#include "common/FileOps.h"

int forwardProgress(int current, qint64 done, qint64 total) {
    if (total < 2) {
        return current;
    }
    const qint64 percent = done * 100 / total;
    return percent > current ? static_cast<int>(percent) : current;
}

QString SaveLogText(const QString& text, DialogPort& port, const QString& programFolder) {
    const QString title = QStringLiteral("Save Log");
    const QString path =
        PickFile(port, FileKind::Text, title, programFolder, FileDialogMode::Save, programFolder);
    if (path.isEmpty()) {
        return {};
    }
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\n', QStringLiteral("\r\n"));
    if (!writeFileAtomically(path, (lines + QStringLiteral("\r\n")).toUtf8())) {
        port.showMessage(title, QStringLiteral("The log could not be written to \"%1\".").arg(path),
                         MessageIcon::Error);
        return {};
    }
    port.showMessage(title, QStringLiteral("The log was saved to \"%1\".").arg(path),
                     MessageIcon::Information);
    return path;
}
