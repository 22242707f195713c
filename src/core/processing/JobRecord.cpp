#include "JobRecord.h"

#include "common/DialogPort.h"
#include "common/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString quoted(const QString& text) {
    return u'"' + text + u'"';
}

QString quotedList(const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        out.append(quoted(name));
    }
    return out.join(QStringLiteral(", "));
}

// What a move is under each operation.
QString movedVerb(OperationMode operation) {
    switch (operation) {
        case RenameFiles:
            return QStringLiteral("Renamed");
        case RestoreFiles:
            return QStringLiteral("Restored");
        case DeleteFiles:
        case DeleteRenamedFiles:
        case MoveFiles:
            break;
    }
    return QStringLiteral("Moved");
}

}  // namespace

QString recordsFolder(const QString& programFolder) {
    return withTrailingSeparator(programFolder) + QStringLiteral("history/");
}

QString recordFileName(const QDateTime& startedAt, OperationMode operation) {
    return startedAt.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss ")) + ActionName(operation).trimmed() +
           QStringLiteral(".txt");
}

void OpenRecordsFolder(DialogPort& port, const QString& programFolder) {
    const QString caption = QStringLiteral("Open Records Folder");
    const QString folder = recordsFolder(programFolder);
    if (programFolder.isEmpty() || !QDir().mkpath(folder)) {
        port.showMessage(caption, QStringLiteral("The folder \"%1\" could not be made.").arg(folder),
                         MessageIcon::Error);
        return;
    }
    if (!port.openDocument(folder)) {
        port.showMessage(caption,
                         QStringLiteral("No program could be found to open the folder \"%1\".").arg(folder),
                         MessageIcon::Warning);
    }
}

JobRecord::JobRecord(const QString& programFolder, OperationMode operation, const QDateTime& startedAt,
                     qsizetype games, Failed failed)
    : m_operation(operation), m_failed(std::move(failed)) {
    open(programFolder, startedAt);
    write(QStringLiteral("Kestrum record: %1, %2 games, started %3")
              .arg(ActionName(operation).trimmed())
              .arg(games)
              .arg(startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    write(QStringLiteral("To put files back, see \"Records of the jobs\" in the user guide."));
    write(QString());
}

void JobRecord::open(const QString& programFolder, const QDateTime& startedAt) {
    const QString name = recordFileName(startedAt, m_operation);
    if (programFolder.isEmpty()) {
        m_path = name;
        fail(QStringLiteral("the program has no data folder"));
        return;
    }
    const QString folder = recordsFolder(programFolder);
    m_path = folder + name;
    if (!QDir().mkpath(folder)) {
        fail(QStringLiteral("its folder could not be made"));
        return;
    }
    // A second job started in the same second gets a name of its own.
    for (int copy = 1; copy <= 100; ++copy) {
        m_path = folder + (copy == 1 ? name : name.chopped(4) + QStringLiteral(" (%1).txt").arg(copy));
        m_file.setFileName(m_path);
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return;
        }
        if (!QFileInfo::exists(m_path)) {
            break;
        }
    }
    fail(m_file.errorString());
}

void JobRecord::write(const QString& line) {
    if (!m_file.isOpen()) {
        return;
    }
    const QByteArray bytes = line.toUtf8() + QByteArrayLiteral("\r\n");
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        fail(m_file.errorString());
        m_file.close();  // a record with a hole in it would mislead
    }
}

void JobRecord::fail(const QString& reason) {
    if (!m_failedOnce && m_failed) {
        m_failed(m_path, reason);
    }
    m_failedOnce = true;
}

void JobRecord::fileDeleted(const QString& path) {
    write(QStringLiteral("Deleted ") + quoted(path));
}

void JobRecord::fileTrashed(const QString& path, const QString& trashedAs) {
    write(QStringLiteral("Moved to the trash ") + quoted(path) + QStringLiteral(" as ") + quoted(trashedAs));
}

void JobRecord::note(const QString& line) {
    write(line);
}

void JobRecord::removedEntriesKept(const QString& archive, const QString& keptIn) {
    write(QStringLiteral("Moved the deleted entries of ") + quoted(archive) +
          QStringLiteral(" to the trash, in ") + quoted(keptIn));
}

void JobRecord::fileMoved(const QString& from, const QString& to, bool replacing) {
    write(movedVerb(m_operation) + u' ' + quoted(from) + QStringLiteral(" to ") + quoted(to) +
          (replacing ? QStringLiteral(", replacing the file that had that name") : QString()));
}

void JobRecord::folderEmptied(const QString& folder, const QStringList& deletedFiles, bool removed,
                              bool trashed) {
    if (removed) {
        write(QStringLiteral("Removed the folder ") + quoted(folder) +
              (deletedFiles.isEmpty() ? QString()
               : trashed
                   ? QStringLiteral(" and moved the files in it to the trash: ") + quotedList(deletedFiles)
                   : QStringLiteral(" and the files in it: ") + quotedList(deletedFiles)));
    } else if (!deletedFiles.isEmpty()) {
        write((trashed ? QStringLiteral("Moved to the trash the files ")
                       : QStringLiteral("Deleted the files ")) +
              quotedList(deletedFiles) + QStringLiteral(" in the folder ") + quoted(folder) +
              QStringLiteral(", which stays (it holds a subfolder or a protected file)"));
    }
}

void JobRecord::archiveCommitted(const QString& archive, const QList<ZipArchive::PendingChange>& changes,
                                 bool trashed) {
    // An entry that a rename or restore replaced goes with it: it is told on that line.
    QSet<QString> newNames;
    QSet<QString> deleted;
    for (const ZipArchive::PendingChange& change : changes) {
        if (change.newName.isEmpty()) {
            deleted.insert(change.name);
        } else {
            newNames.insert(change.newName);
        }
    }
    const QString where = QStringLiteral(" in the archive ") + quoted(archive);
    for (const ZipArchive::PendingChange& change : changes) {
        if (change.newName.isEmpty()) {
            if (!newNames.contains(change.name)) {
                write((trashed ? QStringLiteral("Moved to the trash ") : QStringLiteral("Deleted ")) +
                      quoted(change.name) + where);
            }
        } else {
            write(movedVerb(m_operation) + u' ' + quoted(change.name) + QStringLiteral(" to ") +
                  quoted(change.newName) + where +
                  (deleted.contains(change.newName)
                       ? QStringLiteral(", replacing the entry that had that name")
                       : QString()));
        }
    }
}

void JobRecord::finish(const QStringList& lines) {
    write(QString());
    for (const QString& line : lines) {
        write(line);
    }
}
