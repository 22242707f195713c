#include "FileDialog.h"

#include "DialogPort.h"
#include "FileOps.h"

#include <QDir>

FileKindInfo fileKindFilter(FileKind kind) {
    switch (kind) {
        case FileKind::Executable:
            // Linux executables have no extension, so the picker shows every file.
            return {QStringLiteral("Executable files (*)|*"), QString()};
        case FileKind::Ini:
            return {QStringLiteral("Initialization files (*.ini)|*.ini"), QStringLiteral("ini")};
        case FileKind::Zip:
            return {QStringLiteral("Zip Files (*.zip)|*.zip"), QStringLiteral("zip")};
        case FileKind::SevenZip:
            return {QStringLiteral("7-Zip Files (*.7z)|*.7z"), QStringLiteral("7z")};
        case FileKind::GamesList:
            return {QStringLiteral("Games List Files (.txt)|*.txt"), QStringLiteral("txt")};
        case FileKind::AnyFile:
            return {QStringLiteral("All Files (*.*)|*.*"), QStringLiteral("*")};
        case FileKind::Text:
            return {QStringLiteral("Text Files (*.txt)|*.txt"), QStringLiteral("txt")};
    }
    return {};
}

QString FileDialog(DialogPort& port, FileDialogMode mode, const QString& title, const QString& folder,
                   const QString& filter, const QString& defaultExtension, const QString& programFolder) {
    const QString chosen = mode == FileDialogMode::Open
                               ? port.openFileName(title, folder, filter, defaultExtension)
                               : port.saveFileName(title, folder, filter, defaultExtension);
    if (!programFolder.isEmpty()) {
        QDir::setCurrent(programFolder);
    }
    return chosen;
}

QString PickFile(DialogPort& port, FileKind kind, const QString& title, const QString& initialFolder,
                 FileDialogMode mode, const QString& programFolder, QString* editText) {
    const FileKindInfo info = fileKindFilter(kind);
    const QString chosen = FileDialog(port, mode, title, withTrailingSeparator(initialFolder), info.filter,
                                      info.defaultExtension, programFolder);
    if (!chosen.isEmpty() && editText) {
        *editText = chosen;
    }
    return chosen;
}
