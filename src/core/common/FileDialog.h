#pragma once

#include <QString>

class DialogPort;

enum class FileKind { Executable = 0, Ini = 1, Zip = 2, SevenZip = 3, GamesList = 4, AnyFile = 5, Text = 6 };
enum class FileDialogMode { Open, Save };

struct FileKindInfo {
    QString filter;
    QString defaultExtension;
};
FileKindInfo fileKindFilter(FileKind kind);

// Shows the open or save dialog and sets the current folder back to programFolder afterwards.
QString FileDialog(DialogPort& port, FileDialogMode mode, const QString& title, const QString& folder,
                   const QString& filter, const QString& defaultExtension, const QString& programFolder);

// The chosen path, or "" when cancelled (then `editText`, when given, is left alone).
QString PickFile(DialogPort& port, FileKind kind, const QString& title, const QString& initialFolder,
                 FileDialogMode mode, const QString& programFolder, QString* editText = nullptr);
