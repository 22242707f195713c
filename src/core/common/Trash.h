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

// A name reserved in a trash for a file written straight into it: the information file naming
// `originalPath` (where the file would have been) is written and `path` in files/ is free.
struct TrashSlot {
    QString path;
    QString infoPath;
    QString error;  // why no name could be reserved; the other two are then empty
};
// In the trash of the file system of `originalPath` (of its folder when it does not exist).
TrashSlot reserveTrashSlot(const QString& originalPath,
                           const QDateTime& deletedAt = QDateTime::currentDateTime());
// Gives the name back when nothing was written there: the information file goes.
void releaseTrashSlot(const TrashSlot& slot);

// Moves a file (not a folder) to the trash. `deletedAt` is written as the deletion date.
TrashOutcome moveToTrash(const QString& path, const QDateTime& deletedAt = QDateTime::currentDateTime());

// Makes the trash a file would go to (with its files/ and info/ folders) when missing: "" when it
// can take files, else why not, naming the folder.
QString prepareTrashFor(const QString& path);

// The trash a file would go to (the folder holding files/ and info/), or "" when neither the file
// nor its folder is there; the folders are not made.
QString trashFolderFor(const QString& path);

// The home trash: $XDG_DATA_HOME/Trash, or $HOME/.local/share/Trash when that is unset or relative.
QString homeTrashFolder();
