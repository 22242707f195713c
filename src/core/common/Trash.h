#pragma once

#include <QDateTime>
#include <QString>

// The desktop's trash (the freedesktop.org trash): a file goes into the trash of its own file system
// with an information file that file managers use to put it back. The home trash is
// $XDG_DATA_HOME/Trash (~/.local/share/Trash); a file on another file system goes to $top/.Trash/<uid>
// when $top/.Trash is a folder with the sticky bit (not a link), else to $top/.Trash-<uid>, $top being
// the top folder of its file system. A file is only ever renamed into a trash, never copied: one that
// cannot be renamed there stays where it is.

struct TrashOutcome {
    bool trashed = false;
    QString trashedAs;  // the file's path inside the trash's files/ folder
    QString error;      // why not, naming the folder or file concerned
};

// Moves a file (not a folder) to the trash. `deletedAt` is written as the deletion date.
TrashOutcome moveToTrash(const QString& path, const QDateTime& deletedAt = QDateTime::currentDateTime());

// The trash a file would go to (the folder holding files/ and info/), or "" when none is usable;
// the folders are not made.
QString trashFolderFor(const QString& path);

// The home trash: $XDG_DATA_HOME/Trash, or $HOME/.local/share/Trash when that is unset or relative.
QString homeTrashFolder();
