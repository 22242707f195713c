#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

bool FileExistsNotFolder(const QString& path);
// An existing file, not a folder, whose size is greater than zero.
bool IsUsableFile(const QString& path);
// Size in bytes of whatever entry the path names (a folder included); -1 when there is none.
qint64 FileSizeOf(const QString& path);

// Moves or renames a file, replacing an existing target. Across file systems the data goes to a
// temporary file beside the target first, so a failure leaves source and target as they were.
// Two paths naming one file are refused.
bool MoveFileReplacing(const QString& source, const QString& target);

// Deletes the files (not the subfolders) of a folder, ignoring failures.
void DeleteFolderFiles(const QString& folder);

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
// Lets tests make rename() report another file system (EXDEV) or fail the copy after n bytes.
// Every rename of the file operations goes through the seam.
using RenameFunction = int (*)(const char* from, const char* to);
void setRename(RenameFunction rename);
void setCopyFailureAfter(qint64 bytes);  // -1: never fail
void reset();
}  // namespace filesystem_testing
