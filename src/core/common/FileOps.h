#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// A regular file (after links): a folder, a FIFO, a socket or a device is not a usable file.
bool FileExistsNotFolder(const QString& path);
// A regular file (after links) whose size is greater than zero.
bool IsUsableFile(const QString& path);
// A regular file with an execute permission bit.
bool isExecutableFile(const QString& path);
// A regular file without any write permission bit: the program never deletes, renames, moves or
// replaces it (judged by the bits, whoever runs the program).
bool isProtectedFile(const QString& path);
// Size in bytes of whatever entry the path names (a folder included); -1 when there is none.
qint64 FileSizeOf(const QString& path);

// What the file checks read of a path (after links), so that their decisions can be foreseen.
struct FileStatus {
    quint64 device = 0;
    quint64 inode = 0;
    bool file = false;  // a regular file
    bool folder = false;
    bool writable = false;  // any write permission bit
    qint64 size = 0;
    // What a delete, rename or move may change: a regular file with a write permission bit.
    bool changeable() const { return file && writable; }
};
std::optional<FileStatus> fileStatusOf(const QString& path);

// Whether a folder may be written, judged by the write bit of the permission class (owner, group,
// other) that applies to this process, ignoring the bypass root has.
bool isFolderWritable(const QString& folder);

// Moves or renames a file, replacing an existing target. Across file systems the data goes to a
// temporary file beside the target first; on any failure the source and an existing target stay
// as they were and no partial file remains. Two paths naming one file, a protected or special
// source or target, and a folder as target are refused.
bool MoveFileReplacing(const QString& source, const QString& target);

// How a content file that may go is taken away: unlinked when empty, else this (the desktop's trash);
// whether it went.
using RemoveFile = std::function<bool(const QString& path)>;

// Deletes the files (not the subfolders) of a folder, ignoring failures; protected files stay.
// Gives the names of the files it deleted, sorted.
QStringList DeleteFolderFiles(const QString& folder, const RemoveFile& remove = {});
// Deletes a content file unless it is protected or not a regular file.
bool deleteContentFile(const QString& path, const RemoveFile& remove = {});

// Writes a whole file through "<name>.kestrum-tmp" beside it and renames that over the old file,
// so a crash never leaves the file truncated or missing. Symbolic links are kept.
// `flushNanoseconds`, when given, receives the time spent flushing the data to disk.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, qint64* flushNanoseconds = nullptr);

std::optional<QByteArray> readWholeFile(const QString& path);

bool deleteFile(const QString& path);

QString withTrailingSeparator(const QString& folder);
// The folder part of a path, with its trailing separator ("" when the path has none).
QString folderOfPath(const QString& path);

namespace filesystem_testing {
// Lets tests make rename() report another file system (EXDEV), fail a rename or an unlink, or fail
// the copy after n bytes. Every rename and unlink of the moves goes through these seams.
using RenameFunction = int (*)(const char* from, const char* to);
using UnlinkFunction = int (*)(const char* path);
void setRename(RenameFunction rename);
void setUnlink(UnlinkFunction unlink);
void setCopyFailureAfter(qint64 bytes);  // -1: never fail
void reset();
}  // namespace filesystem_testing
