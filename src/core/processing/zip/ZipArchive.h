#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

// Raised by a failed open and by the changes of an update: the message names the archive and what
// failed.
class ZipError : public std::runtime_error {
public:
    explicit ZipError(const QString& message);
    // "<archive>: <what>", with the system's error text when `error` is not 0.
    static ZipError about(const QString& archive, const QString& what, int error = 0);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// One ZIP archive on disk. Entries are listed and looked up by their names without folder part;
// an update collects renames and deletions, and its commit writes a new archive beside the old one,
// copying every kept entry's bytes unchanged, and puts it in place only once it is whole on disk.
class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Reads the end records and the central directory and checks that every entry lies inside the
    // file behind a local header; changes nothing on disk. Raises ZipError when the file is missing
    // or is not a sound archive.
    void open(const QString& path);
    // Always safe, open or not; changes not committed are dropped.
    void close();
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    // The entries that are files; folder entries are not counted.
    int fileCount() const { return int(m_names.size()); }
    // Each file entry's name without its folder part, in central directory order.
    QStringList names() const { return m_names; }
    // Whether a file entry has this name without folder part, A-Z compared without regard to case.
    bool contains(const QString& name) const;

    // From here on renames and deletions are collected; the commit writes them. Changes of an
    // earlier update that was not committed are dropped.
    void beginUpdate();
    // The entry found by `name` is stored under its stored name plus ".krm"; found by name without
    // folder part, the first in central directory order. An entry that already has the new name
    // (byte for byte) is deleted, as a rename over a loose file replaces it.
    void renameEntry(const QString& name);
    // The entry found by `name`, whose stored name ends in ".krm", loses those four bytes; an entry
    // that already has the restored name is deleted.
    void restoreEntry(const QString& name);
    void deleteEntry(const QString& name);
    // The changes collected since beginUpdate, in central directory order, named as stored (folder
    // part included): what a commit would write. Nothing is written to find them.
    struct PendingChange {
        QString name;
        QString newName;  // "" when the entry is deleted
        quint64 storedSize = 0;
    };
    QList<PendingChange> pendingChanges() const;
    // Writes the archive anew with the collected changes and renames it over the old file. On
    // failure the old file is untouched and no temporary file remains. Afterwards the archive is
    // open on the new file. With `removedEntries`, a path where no file is, the entries the commit
    // deletes are written there too, in the same pass and byte for byte, as an archive of their own;
    // when it cannot be written the commit does not happen. Nothing is written there when no entry
    // is deleted.
    void commitUpdate(const QString& removedEntries = {});

private:
    enum class Change : quint8 { None, Renamed, Deleted };
    struct Entry {
        qsizetype record = 0;  // where its record starts in m_directory
        quint64 localOffset = 0;
        quint64 compressedSize = 0;
        quint64 uncompressedSize = 0;
        quint32 localHeaderSize = 0;  // the local header with its name and extra field
        bool folder = false;
        // Which central header fields the entry's ZIP64 extra field holds.
        bool uncompressedIn64 = false;
        bool compressedIn64 = false;
        bool offsetIn64 = false;
        bool diskIn64 = false;
        Change change = Change::None;
        QByteArray newName;
    };
    struct Piece;

    [[noreturn]] void fail(const QString& what, int error = 0) const;
    void readEndRecords();
    void readDirectory(quint64 count);
    void readZip64Fields(Entry& entry, QByteArrayView extra, quint32 disk);
    void checkLocalHeaders();
    void listNames();

    QByteArrayView storedName(const Entry& entry) const;
    QByteArrayView extraField(const Entry& entry) const;
    QByteArrayView entryComment(const Entry& entry) const;
    int changeableEntry(const QString& name) const;
    void giveName(int index, const QByteArray& name);

    QByteArray bytesAt(quint64 at, quint64 size) const;
    QByteArray renamedLocalHeader(const Entry& entry) const;
    std::vector<Piece> planPieces(std::vector<quint64>& newOffsets, std::vector<quint32>& headerSizes,
                                  quint64& total) const;
    std::vector<Piece> planRemoved(QByteArray& ending) const;
    void appendCentralRecord(QByteArray& out, const Entry& entry, quint64 offset) const;
    void appendEndRecords(QByteArray& out, quint64 count, quint64 directoryOffset, bool zip64,
                          QByteArrayView comment) const;
    void takeWritten(QByteArray directory, quint64 directoryStart, quint64 fileSize,
                     const std::vector<quint32>& headerSizes);

    QString m_path;
    int m_fd = -1;
    quint64 m_fileSize = 0;
    quint64 m_directoryStart = 0;  // where the central directory lies in the file
    quint64 m_shift = 0;           // bytes put in front of the archive that its offsets leave out
    quint64 m_prefixEnd = 0;       // the data before the first local header ends here
    QByteArray m_directory;        // the central directory as read
    QByteArray m_comment;
    std::vector<Entry> m_entries;  // in central directory order
    std::vector<int> m_fileOrder;  // entry indexes by local header offset
    QStringList m_names;
    QHash<QString, int> m_lookup;  // A-Z lowered name without folder part -> first file entry
    bool m_updating = false;
    QMultiHash<QByteArray, int> m_holders;  // stored name -> entries that will hold it after the update
};
