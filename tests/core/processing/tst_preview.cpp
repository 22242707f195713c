// The preview against the job it foresees: for every operation over one collection, the preview
// changes nothing, counts what the job then counts, and lists exactly the paths and archive entries
// the job then changes.
#include "JobCollection.h"
#include "TestMain.h"
#include "processing/JobPreview.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using PreviewJobFixture = JobCollection;

// What the preview says the job changes, as the tree after it: loose paths gone or moved, folders
// made, and each archive's entries renamed or deleted.
Tree foreseen(const Tree& before, const JobPreview& preview, const PreviewJobFixture& fixture) {
    Tree after = before;
    QMap<QString, QStringList> archives;
    for (const PreviewLine& line : preview.lines) {
        QString path = fixture.relative(line.path);
        if (line.folder && !path.endsWith(u'/')) {
            path += u'/';
        }
        if (!line.entry.isEmpty()) {
            QStringList& names = archives[path];
            if (names.isEmpty()) {
                names = QString::fromUtf8(before.value(path)).split(u'|');
            }
            names.removeOne(line.entry);
            if (!line.target.isEmpty()) {
                names.append(line.target);
            }
            continue;
        }
        switch (line.change) {
            case PreviewChange::Delete:
                after.remove(path);
                break;
            case PreviewChange::Rename:
            case PreviewChange::Restore:
            case PreviewChange::Move:
                after.insert(fixture.relative(line.target), after.take(path));
                break;
            case PreviewChange::MakeFolder:
                for (QString folder = path; folder.count(u'/') > 0;
                     folder = folder.section(u'/', 0, -3) + u'/') {
                    after.insert(folder, {});
                    if (folder.count(u'/') == 1) {
                        break;
                    }
                }
                break;
            case PreviewChange::Keep:
                break;
        }
    }
    for (auto it = archives.begin(); it != archives.end(); ++it) {
        it.value().sort();
        after.insert(it.key(), it.value().join(u'|').toUtf8());
    }
    return after;
}

QStringList texts(const JobPreview& preview) {
    QStringList out;
    for (const PreviewLine& line : preview.lines) {
        out.append(previewLineText(line, preview.toTrash));
    }
    return out;
}

}  // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewAgreesWithTheJob_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("moveTo");
        QTest::newRow("delete") << int(DeleteFiles) << QString();
        QTest::newRow("rename") << int(RenameFiles) << QString();
        QTest::newRow("restore") << int(RestoreFiles) << QString();
        QTest::newRow("delete renamed") << int(DeleteRenamedFiles) << QString();
        QTest::newRow("move to a new folder") << int(MoveFiles) << QStringLiteral("keep/sets");
        QTest::newRow("move onto the same files") << int(MoveFiles) << QStringLiteral("roms");
    }

    void previewAgreesWithTheJob() {
        QFETCH(int, operation);
        QFETCH(QString, moveTo);
        PreviewJobFixture job;
        job.setup.operation = OperationMode(operation);
        job.setup.moveFilesToFolder = moveTo.isEmpty() ? QString() : job.dir.file(moveTo);
        const Tree bytesBefore = treeOf(job.dir.path(), false);
        const Tree before = treeOf(job.dir.path(), true);

        const JobPreview preview = PreviewJob(job.page.WorkList, job.setup, job.emulator.folders);
        QCOMPARE(differences(treeOf(job.dir.path(), false), bytesBefore), QString());  // nothing changed
        QVERIFY(!preview.refusal);
        QVERIFY(!preview.lines.isEmpty());

        const JobCounters counters = job.run(OperationMode(operation));
        QCOMPARE(preview.counters.Total, counters.Total);
        QCOMPARE(preview.counters.Found, counters.Found);
        QCOMPARE(differences(treeOf(job.dir.path(), true), foreseen(before, preview, job)), QString());
    }

    // The cases the list must name: the second listing of a game changes nothing more, a set already
    // renamed is replaced by a rename of its original, a protected set is found and kept, a folder
    // that keeps a subfolder stays, and the renamed archive entry that is in the way goes.
    void linesNameWhatHappens() {
        PreviewJobFixture job;
        job.setup.operation = DeleteFiles;
        QStringList lines = texts(PreviewJob(job.page.WorkList, job.setup, job.emulator.folders));
        const QString root = job.dir.path();
        for (const QString& expected :
             {root + "roms/pacman.zip: deleted",
              root + "roms/mspacman.zip: not changed (no write permission)", root + "nvram/pacman/a: deleted",
              root + "nvram/pacman: deleted",
              root + "nvram/galaga: not changed (it keeps subfolders or protected files)",
              QStringLiteral("snap.zip: galaga.png: deleted")}) {
            QVERIFY2(lines.contains(expected), qPrintable(expected + " in " + lines.join('\n')));
        }
        QCOMPARE(lines.count(root + "roms/pacman.zip: deleted"), 1);
        // pacman's second listing reaches the second folder's set, once the first has gone.
        QCOMPARE(lines.filter("roms2/pacman.zip").size(), 1);

        job.setup.operation = RenameFiles;
        lines = texts(PreviewJob(job.page.WorkList, job.setup, job.emulator.folders));
        QVERIFY(lines.contains(QStringLiteral("snap.zip: mspacman.png: renamed to mspacman.png.krm")));
        QVERIFY(lines.contains(QStringLiteral("snap.zip: mspacman.png.krm: deleted")));
        QVERIFY(lines.contains(root + "roms2/digdug.zip: renamed to digdug.zip.krm"));
    }

    // What FINISH refuses, the preview refuses with the same words; a summary counts per type.
    void refusalsAndSummary() {
        PreviewJobFixture job;
        JobPreview preview = PreviewJob({}, job.setup, job.emulator.folders);
        QVERIFY(preview.refusal->text.startsWith("  There are no games in the work list."));
        QCOMPARE(preview.refusal->caption, QStringLiteral("No Games Selected"));
        QVERIFY(preview.lines.isEmpty());
        job.setup.operation = RenameFiles;
        job.setup.fileTypeChecked.fill(false);
        job.check({GameCfg});
        QVERIFY(PreviewJob(job.page.WorkList, job.setup, job.emulator.folders)
                    .refusal->text.startsWith("  Only game ROMs and images files can be renamed/restored"));

        PreviewJobFixture other;
        other.setup.operation = DeleteFiles;
        const QStringList summary =
            previewSummary(PreviewJob(other.page.WorkList, other.setup, other.emulator.folders));
        for (const QString& line :
             {QStringLiteral(
                  "Game NVRAM Files [NVRAM/EEPROM/SRAM/FLASH]: 3 files, 1 folders, 126 bytes; 1 found "
                  "but not changed"),
              QStringLiteral("Game Snapshot: 1 files, 2 archive entries, 81 bytes"),
              QStringLiteral("Game Files / ROMs [.zip; .7z]: 4 files, 183 bytes; 1 found but not changed")}) {
            QVERIFY2(summary.contains(line), qPrintable(line + " in " + summary.join('\n')));
        }
        QVERIFY2(summary.last().startsWith(other.dir.file("snap/snap.zip: 2 entries, archive rewritten (")),
                 qPrintable(summary.last()));
    }

    // With deletes going to the trash the preview says so, on its summary and on each line; other
    // operations are not concerned.
    void saysWhenDeletesGoToTheTrash() {
        PreviewJobFixture job;
        job.setup.operation = DeleteRenamedFiles;
        job.setup.moveDeletedFilesToTrash = true;
        JobPreview preview = PreviewJob(job.page.WorkList, job.setup, job.emulator.folders);
        QCOMPARE(previewSummary(preview).first(),
                 QStringLiteral("Deleted files and archive entries go to the desktop's trash."));
        const QStringList lines = texts(preview);
        QVERIFY(lines.contains(job.dir.path() + "roms/digdug.zip.krm: moved to the trash"));
        QVERIFY(lines.contains(QStringLiteral("snap.zip: digdug.png.krm: moved to the trash")));
        QVERIFY(lines.filter(": deleted").isEmpty());

        job.setup.operation = RenameFiles;
        preview = PreviewJob(job.page.WorkList, job.setup, job.emulator.folders);
        QVERIFY(!previewText(preview).contains("trash"));
    }

    // The sets other games need are marked on their ROM set lines, every folder of them, and
    // named first in the summary; the game's other files are not marked.
    void marksSetsOtherGamesNeed() {
        PreviewJobFixture job;
        job.setup.operation = RenameFiles;
        const NeededSets needed{{{"pacman", 3}, {"digdug", 1}}, 4};
        const JobPreview preview = PreviewJob(job.page.WorkList, job.setup, job.emulator.folders, needed);
        const QStringList lines = texts(preview);
        const QString root = job.dir.path();
        const QStringList marked = lines.filter("; needed by");
        QCOMPARE(
            marked,
            (QStringList{root + "roms/pacman.zip: renamed to pacman.zip.krm; needed by 3 games not in the "
                                "Work List",
                         root + "roms2/pacman.zip: renamed to pacman.zip.krm; needed by 3 games not in the "
                                "Work List",
                         root + "roms2/digdug.zip: renamed to digdug.zip.krm; needed by 1 games not in the "
                                "Work List"}));
        QCOMPARE(previewSummary(preview).mid(0, 3),
                 (QStringList{"4 games that are not in the Work List need sets this job will change:",
                              "  pacman: needed by 3 games not in the Work List",
                              "  digdug: needed by 1 games not in the Work List"}));
        QVERIFY(!previewSummary(PreviewJob(job.page.WorkList, job.setup, job.emulator.folders))
                     .join('\n')
                     .contains("need"));
    }
};

KESTRUM_REGISTER_TEST(PreviewTest)
#include "tst_preview.moc"
