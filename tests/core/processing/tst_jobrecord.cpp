// The record every job writes into the records folder: read back and applied to the collection as it
// was, it must give the collection as the job left it, line for line what the job's counters count.
#include "JobCollection.h"
#include "TestMain.h"
#include "processing/zip/ZipIo.h"

#include <QRegularExpression>

namespace {

// The change lines: after the heading's three lines, up to the empty line before the last lines.
QStringList changeLines(const QStringList& record) {
    const qsizetype end = record.lastIndexOf(QString());
    return end > 3 ? record.mid(3, end - 3) : QStringList{};
}

// A record's change lines applied to the collection as it was; `verb` is what a rename, restore or
// move is called. Lines the counters count are counted; lines that do not fit the disk are faults.
struct Replay {
    Tree tree;
    int counted = 0;
    QStringList faults;

    void apply(const QString& line, const JobCollection& job, const QString& verb) {
        static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
        QStringList q;
        for (auto it = quoted.globalMatch(line); it.hasNext();) {
            q.append(it.next().captured(1));
        }
        const QString what = line.section(u' ', 0, 0);
        const bool replacing = line.contains(QStringLiteral(", replacing the "));
        bool fits = !q.isEmpty() && (what == u"Deleted" || what == u"Removed" || what == verb);
        if (fits && line.contains(QStringLiteral(" in the archive "))) {  // an entry: old, new, archive
            const QString archive = job.relative(q.last());
            QStringList names = QString::fromUtf8(tree.value(archive)).split(u'|');
            fits = names.removeOne(q[0]) && (what == u"Deleted" || names.removeOne(q[1]) == replacing);
            if (what != u"Deleted") {
                names.append(q[1]);
            }
            names.sort();
            tree.insert(archive, names.join(u'|').toUtf8());
        } else if (fits &&
                   line.endsWith(QStringLiteral("which stays (it holds a subfolder or a protected file)"))) {
            for (const QString& name : q.mid(0, q.size() - 1)) {  // files, then their folder
                fits = tree.remove(job.relative(q.last()) + u'/' + name) == 1 && fits;
            }
            --counted;                            // the folder stays: the counters count nothing
        } else if (fits && what == u"Removed") {  // the folder, then its files
            for (const QString& name : q.mid(1)) {
                fits = tree.remove(job.relative(q[0]) + u'/' + name) == 1 && fits;
            }
            fits = tree.remove(job.relative(q[0]) + u'/') == 1 && fits;
        } else if (fits && what == u"Deleted") {
            fits = tree.remove(job.relative(q[0])) == 1;
        } else if (fits && q.size() == 2) {
            const QString from = job.relative(q[0]);
            const QString to = job.relative(q[1]);
            fits = tree.contains(from) && tree.contains(to) == replacing;
            tree.insert(to, tree.take(from));
            for (QString folder = to.section(u'/', 0, -2); !folder.isEmpty();
                 folder = folder.section(u'/', 0, -2)) {
                tree.insert(folder + u'/', {});  // a move makes the folders of its target
                if (!folder.contains(u'/')) {
                    break;
                }
            }
        } else {
            fits = false;
        }
        ++counted;
        if (!fits) {
            faults.append(line);
        }
    }
};

}  // namespace

class JobRecordTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { zip_testing::reset(); }
    void cleanup() { zip_testing::reset(); }

    // Every operation over the collection: loose files, nvram folders (one of them keeps a subfolder)
    // and archive entries (one rename replaces an entry).
    void recordIsExactlyWhatTheJobDid_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("moveTo");
        QTest::addColumn<QString>("verb");
        QTest::newRow("delete") << int(DeleteFiles) << QString() << QString();
        QTest::newRow("rename") << int(RenameFiles) << QString() << "Renamed";
        QTest::newRow("restore") << int(RestoreFiles) << QString() << "Restored";
        QTest::newRow("delete renamed") << int(DeleteRenamedFiles) << QString() << QString();
        QTest::newRow("move to a new folder") << int(MoveFiles) << QStringLiteral("keep/sets") << "Moved";
        QTest::newRow("move onto the same files") << int(MoveFiles) << QStringLiteral("roms") << "Moved";
    }

    void recordIsExactlyWhatTheJobDid() {
        QFETCH(int, operation);
        QFETCH(QString, moveTo);
        QFETCH(QString, verb);
        JobCollection job;
        job.setup.moveFilesToFolder = moveTo.isEmpty() ? QString() : job.dir.file(moveTo);
        Replay replay;
        replay.tree = treeOf(job.dir.path(), true);
        const JobCounters counters = job.run(OperationMode(operation));
        QVERIFY(counters.Total > 0);

        const QStringList record = job.record();
        QCOMPARE(record.mid(0, 3),
                 (QStringList{QStringLiteral("Kestrum record: %1, 5 games, started 2017-03-05 14:03:59")
                                  .arg(ActionName(OperationMode(operation)).trimmed()),
                              "To put files back, see \"Records of the jobs\" in the user guide.", ""}));
        QCOMPARE(record.last(3),
                 (QStringList{"", "All changes completed!",
                              QStringLiteral("Total files processed: %1").arg(counters.Total)}));
        for (const QString& line : changeLines(record)) {
            replay.apply(line, job, verb);
        }
        QCOMPARE(replay.faults.join(u'\n'), QString());
        QCOMPARE(replay.counted, counters.Total);
        QCOMPARE(differences(treeOf(job.dir.path(), true), replay.tree), QString());
    }

    // The lines name each change and what it replaced; the file is named by the start and the
    // operation, and a second job started in the same second does not write over the first's record.
    void linesAndFileNames() {
        JobFixture job({"pacman"});
        job.check({GameROMs, ImageSnap});
        const QString set = job.dir.write("roms/pacman.zip", "new");
        job.dir.write("roms/pacman.zip.krm", "old");
        job.dir.write("snap/pacman.png", "shot");
        const QString snap = job.dir.file("snap/snap.zip");
        QCOMPARE(ziptest::makeWithPython(snap, {ziptest::Made{"pacman.png", "p", false, {}, false}}),
                 QString());
        job.run(RenameFiles);
        QCOMPARE(changeLines(job.record()),
                 (QStringList{
                     "Renamed \"" + set + "\" to \"" + set + ".krm\", replacing the file that had that name",
                     "Renamed \"" + job.dir.file("snap/pacman.png") + "\" to \"" +
                         job.dir.file("snap/pacman.png.krm") + "\"",
                     "Renamed \"pacman.png\" to \"pacman.png.krm\" in the archive \"" + snap + "\""}));

        job.run(RestoreFiles);
        job.run(RestoreFiles);
        QStringList names = QDir(recordsFolder(job.setup.ProgramFolder)).entryList(QDir::Files);
        names.sort();
        QCOMPARE(names, (QStringList{"2017-03-05 14-03-59 Rename Files.txt",
                                     "2017-03-05 14-03-59 Restore Files (2).txt",
                                     "2017-03-05 14-03-59 Restore Files.txt"}));
        QCOMPARE(job.data.read("history/2017-03-05 14-03-59 Restore Files (2).txt").split('\n').last(2),
                 (QList<QByteArray>{"Job finished. No files were changed!\r", ""}));
    }

    // Each change is on disk as soon as it has happened: a crash leaves the account of what was done.
    void writtenAsTheJobGoes() {
        JobFixture job({"pacman", "galaga"});
        job.check({GameROMs});
        job.dir.write("roms/pacman.zip", "p");
        job.dir.write("roms/galaga.zip", "g");
        QStringList duringJob;
        job.port.onProcessEvents = [&] {
            if (QFile::exists(job.dir.file("roms/pacman.zip.krm")) && duringJob.isEmpty()) {
                duringJob = job.record();
            }
        };
        job.run(RenameFiles);
        QCOMPARE(duringJob.last(), "Renamed \"" + job.dir.file("roms/pacman.zip") + "\" to \"" +
                                       job.dir.file("roms/pacman.zip.krm") + "\"");
    }

    // A record that cannot be written costs the job nothing; the log names the file.
    void unwritableRecordIsToldInTheLog() {
        JobFixture job({"pacman"});
        job.check({GameROMs});
        job.dir.write("roms/pacman.zip", "p");
        job.data.write("history", "a file where the folder should be");
        QCOMPARE(job.run(RenameFiles).Total, 1);
        QVERIFY(QFile::exists(job.dir.file("roms/pacman.zip.krm")));
        QVERIFY2(
            job.log.lines.contains("The record of this job could not be written to \"" + job.data.path() +
                                   "history/2017-03-05 14-03-59 Rename Files.txt\" (its folder could not "
                                   "be made)."),
            qPrintable(job.log.lines.join('\n')));
        QCOMPARE(job.log.lines.last(), QStringLiteral("Total files processed: 1"));
    }

    // An archive whose commit fails is not recorded: nothing of it changed. The record says how the
    // job ended.
    void failedCommitIsNotRecorded() {
        JobFixture job({"pacman"});
        job.check({GameROMs, ImageSnap});
        const QString set = job.dir.write("roms/pacman.zip", "p");
        const QString snap = job.dir.file("snap/snap.zip");
        QCOMPARE(ziptest::makeWithPython(snap, {ziptest::Made{"pacman.png", "p", false, {}, false}}),
                 QString());
        zip_testing::failCall(3);
        job.run(RenameFiles);
        const QStringList record = job.record();
        QCOMPARE(changeLines(record), QStringList{"Renamed \"" + set + "\" to \"" + set + ".krm\""});
        QVERIFY2(record.last().startsWith("The job ended with an error: ") && record.last().contains(snap),
                 qPrintable(record.last()));
    }

    // "Open Records Folder": the folder, made when missing, opened by the desktop; else a message.
    void openRecordsFolder() {
        TempProgramFolder data;
        FakeDialogPort port;
        OpenRecordsFolder(port, data.path());
        QCOMPARE(port.openedDocuments, QStringList{data.path() + "history/"});
        QVERIFY(port.messages.isEmpty());
        port.documentsOpen = false;
        OpenRecordsFolder(port, data.path());
        QCOMPARE(port.texts(), QStringList{"No program could be found to open the folder \"" + data.path() +
                                           "history/\"."});

        TempProgramFolder blocked;
        blocked.write("history", "x");
        FakeDialogPort other;
        OpenRecordsFolder(other, blocked.path());
        QVERIFY(other.openedDocuments.isEmpty());
        QCOMPARE(other.texts(),
                 QStringList{"The folder \"" + blocked.path() + "history/\" could not be made."});
    }
};

KESTRUM_REGISTER_TEST(JobRecordTest)
#include "tst_jobrecord.moc"
