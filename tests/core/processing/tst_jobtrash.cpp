// Delete jobs with "Move deleted files to the trash": the collection ends as a plain delete leaves it,
// and everything deleted is in the trash — loose files and nvram files with their information files,
// archive entries in an archive of their own. A trash that cannot be written deletes nothing.
#include "JobCollection.h"
#include "TestMain.h"
#include "TrashHome.h"
#include "common/FileOps.h"

#include <QRegularExpression>
#include <QTest>

#include <cerrno>

namespace {

// The files of the trash: name in files/ -> the original path its information file names.
QMap<QString, QString> trashedPaths(const QString& trash) {
    QMap<QString, QString> out;
    for (const QString& name : QDir(trash + "/files").entryList(QDir::Files | QDir::Hidden)) {
        QFile info(trash + "/info/" + name + ".trashinfo");
        const QByteArray text = info.open(QIODevice::ReadOnly) ? info.readAll() : QByteArray();
        const QRegularExpressionMatch path =
            QRegularExpression(QStringLiteral("^Path=(.*)$"), QRegularExpression::MultilineOption)
                .match(QString::fromLatin1(text));
        out.insert(name, path.hasMatch()
                             ? QString::fromUtf8(QByteArray::fromPercentEncoding(path.captured(1).toLatin1()))
                             : QStringLiteral("(no information file)"));
    }
    return out;
}

int failRename(const char*, const char*) {
    errno = EACCES;
    return -1;
}

}  // namespace

class JobTrashTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deletedFilesGoToTheTrash_data() {
        QTest::addColumn<int>("operation");
        QTest::newRow("delete") << int(DeleteFiles);
        QTest::newRow("delete renamed") << int(DeleteRenamedFiles);
    }
    void deletedFilesGoToTheTrash() {
        QFETCH(int, operation);
        TrashHome home;
        JobCollection plain;
        const JobCounters plainCounts = plain.run(OperationMode(operation));
        JobCollection job;
        job.setup.moveDeletedFilesToTrash = true;
        const Tree before = treeOf(job.dir.path(), false);
        const Tree entriesBefore = treeOf(job.dir.path(), true);
        const JobCounters counts = job.run(OperationMode(operation));

        // The collection changes exactly as the plain delete changes it, counted alike.
        QCOMPARE(differences(treeOf(job.dir.path(), true), treeOf(plain.dir.path(), true)), QString());
        QCOMPARE(counts.Total, plainCounts.Total);
        QVERIFY(counts.Total > 0);

        // Each loose file that went is in the trash, with the path it had and its contents.
        const QMap<QString, QString> trashed = trashedPaths(home.trash());
        const Tree after = treeOf(job.dir.path(), false);
        QStringList expected;
        QStringList arrived;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (!it.key().endsWith(u'/') && it.key() != "snap/snap.zip" && it.key() != "titles/titles.zip" &&
                !after.contains(it.key())) {
                expected.append(job.dir.path() + it.key());
            }
        }
        QStringList archivesInTrash;
        for (auto it = trashed.cbegin(); it != trashed.cend(); ++it) {
            if (it.key().contains(" deleted ")) {
                archivesInTrash.append(it.key());
                continue;
            }
            arrived.append(it.value());
            QCOMPARE(ziptest::readFile(home.trash() + "/files/" + it.key()),
                     before.value(it.value().mid(job.dir.path().size())));
        }
        expected.sort();
        arrived.sort();
        QCOMPARE(arrived, expected);

        // Each archive's deleted entries are together in one archive in the trash, named after it.
        const Tree entriesAfter = treeOf(job.dir.path(), true);
        int archives = 0;
        for (const QString& archive :
             {QStringLiteral("snap/snap.zip"), QStringLiteral("titles/titles.zip")}) {
            QStringList gone = QString::fromUtf8(entriesBefore.value(archive)).split(u'|');
            for (const QString& name : QString::fromUtf8(entriesAfter.value(archive)).split(u'|')) {
                gone.removeOne(name);
            }
            if (gone.isEmpty()) {
                continue;
            }
            ++archives;
            const QString stem = archive.section(u'/', -1).chopped(4);
            const QStringList named = archivesInTrash.filter(QRegularExpression(
                QStringLiteral("^%1 deleted \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d\\.zip$").arg(stem)));
            QCOMPARE(named.size(), 1);
            QCOMPARE(trashed.value(named[0]), job.dir.path() + archive.section(u'/', 0, 0) + u'/' + named[0]);
            gone.sort();
            QCOMPARE(namesIn(home.trash() + "/files/" + named[0]), gone);
        }
        QVERIFY(archives > 0);
        QCOMPARE(archivesInTrash.size(), archives);

        const QStringList record = job.record();
        QVERIFY(record.contains("Deleted files and archive entries go to the desktop's trash."));
        QVERIFY(!record.filter("Moved to the trash \"").isEmpty());
        QVERIFY(record.filter(QRegularExpression("^Deleted \"")).isEmpty());  // nothing deleted for good
    }

    // A plain file where the trash folder should be, or a trash that refuses the move: every file
    // stays and the log says how many could not go; the archives are not changed.
    void unusableTrashDeletesNothing_data() {
        QTest::addColumn<bool>("plainFile");
        QTest::newRow("a file in the trash folder's place") << true;
        QTest::newRow("the move into the trash fails") << false;
    }
    void unusableTrashDeletesNothing() {
        QFETCH(bool, plainFile);
        TrashHome home;
        JobCollection job;
        job.setup.moveDeletedFilesToTrash = true;
        if (plainFile) {
            QDir().mkpath(home.dir.file("data"));
            home.dir.write("data/Trash", "not a folder");
        } else {
            filesystem_testing::setRename(failRename);
        }
        Tree before = treeOf(job.dir.path(), true);
        const JobCounters counts = job.run(DeleteFiles);
        filesystem_testing::reset();
        Tree after = treeOf(job.dir.path(), true);
        if (!plainFile) {
            // The archives' deleted entries are written into the trash by the commit, not moved there.
            for (const char* archive : {"snap/snap.zip", "titles/titles.zip"}) {
                before.remove(archive);
                after.remove(archive);
            }
        }
        QCOMPARE(differences(after, before), QString());
        QCOMPARE(counts.Total, plainFile ? 0 : 3);  // the three archive entries
        // roms/pacman.zip twice (once each folder), galaga.7z, cfg, ini, three nvram files, two pictures.
        QVERIFY2(job.log.lines.contains("10 files could not be moved to the trash and were not deleted."),
                 qPrintable(job.log.lines.join('\n')));
        if (plainFile) {
            QVERIFY(!job.log.lines.filter("snap.zip: not changed, the trash cannot take its deleted entries")
                         .isEmpty());
        }
    }
};

KESTRUM_REGISTER_TEST(JobTrashTest)
#include "tst_jobtrash.moc"
