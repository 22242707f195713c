// The job's passes over the category archives, on archives made by Python's zipfile and read back by it.
#include "JobFixture.h"
#include "TestMain.h"
#include "ZipOracles.h"
#include "processing/zip/ZipIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

namespace {

struct ArchiveJob : JobFixture {
    using JobFixture::JobFixture;
    QString archive(const QString& path, const QStringList& names) {
        QList<ziptest::Made> entries;
        for (const QString& name : names) {
            entries.append(ziptest::Made{name, name.toUtf8().repeated(50), false, {}, false});
        }
        QDir().mkpath(QFileInfo(dir.file(path)).path());
        const QString error = ziptest::makeWithPython(dir.file(path), entries);
        if (!error.isEmpty()) {
            qWarning("%s", qPrintable(error));
        }
        return dir.file(path);
    }
    QStringList lines() const { return log.lines.mid(3); }  // after the heading, date and empty line
};

QStringList namesIn(const QString& path) {
    QStringList names;
    for (const ziptest::EntryFacts& entry : ziptest::readWithPython(path).entries) {
        names.append(QString::fromUtf8(entry.name));
    }
    return names;
}

}  // namespace

class ImageArchivesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { zip_testing::reset(); }
    void cleanup() { zip_testing::reset(); }

    // The log of two games, ROM sets and Game Snapshot, one snapshot loose and one in snap.zip.
    void logOfTheExample() {
        ArchiveJob job({"pacman", "galaga"});
        job.check({GameROMs, ImageSnap});
        job.dir.write("roms/pacman.zip", "p");
        job.dir.write("roms/galaga.zip", "g");
        job.dir.write("snap/pacman.png", "s");
        const QString snap = job.archive("snap/snap.zip", {"galaga.png", "digdug.png"});
        const JobCounters counters = job.run(RenameFiles);
        QCOMPARE(job.log.lines, (QStringList{"Processing 2 games...", "Mar/05/2017 14:03:59", "",
                                             "Game Files / ROMs [.zip; .7z]: 2 files found and processed.",
                                             "Game Snapshot [.png]: 1 files found and processed.",
                                             "snap.zip: done! 1 files processed in 00:00 seconds", "",
                                             "All changes completed!", "Total files processed: 4"}));
        QCOMPARE(counters.Total, 4);
        QCOMPARE(namesIn(snap), (QStringList{"galaga.png.krm", "digdug.png"}));
        QCOMPARE(job.port.busyChanges.last(), false);  // the normal pointer is back
    }

    // Stored letter case is kept and matched without regard to it; Restore looks only for ".krm".
    void namesAsStored() {
        ArchiveJob job({"pacman", "galaga"});
        job.check({ImageSnap});
        const QString snap = job.archive("snap/snap.zip", {"PACMAN.PNG", "galaga.png"});
        job.run(RestoreFiles);
        QCOMPARE(job.lines().last(), QStringLiteral("Job finished. No files were changed!"));
        QCOMPARE(job.lines()[1], QStringLiteral("snap.zip: done! No files were found."));
        job.page.WorkList.removeLast();
        job.run(RenameFiles);
        QCOMPARE(namesIn(snap), (QStringList{"PACMAN.PNG.krm", "galaga.png"}));
        job.run(RestoreFiles);
        QCOMPARE(namesIn(snap), (QStringList{"PACMAN.PNG", "galaga.png"}));
        job.run(RenameFiles);
        job.run(DeleteRenamedFiles);
        QCOMPARE(namesIn(snap), QStringList{"galaga.png"});
    }

    // A category that takes ".jpg" changes the ".jpg" entry only when there is no ".png" one.
    void pngBeforeJpg() {
        ArchiveJob job({"pacman", "galaga"});
        job.check({ImageFlyer, ImageSnap});
        const QString flyers = job.archive("flyers/flyers.zip", {"pacman.png", "pacman.jpg", "galaga.jpg"});
        const QString snap = job.archive("snap/snap.zip", {"galaga.jpg"});  // snapshots are ".png" only
        job.run(RenameFiles);
        QCOMPARE(namesIn(flyers), (QStringList{"pacman.png.krm", "pacman.jpg", "galaga.jpg.krm"}));
        QCOMPARE(namesIn(snap), QStringList{"galaga.jpg"});
        QCOMPARE(job.lines().mid(2, 2),
                 (QStringList{"snap.zip: done! No files were found.",
                              "flyers.zip: done! 2 files processed in 00:00 seconds"}));
    }

    // Passed over without a line: a protected archive, a folder named like one, an empty archive.
    // Found: an archive only in the subfolder named after its category. A game listed twice counts once.
    void whichArchivesArePassed() {
        ArchiveJob job({"pacman", "pacman"});
        job.check({ImageTitle, ImageSnap, ImageMarquee, ImageCabinet});
        const QString titles = job.archive("titles/titles.zip", {"pacman.png"});
        QFile::setPermissions(titles, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        job.dir.write("titles/titles.zip.kestrum-tmp", "left by a commit that was killed");
        job.dir.makeFolder("snap/snap.zip");
        const QString marquees = job.archive("marquees/marquees/marquees.zip", {"pacman.png"});
        job.archive("cabinets/cabinets.zip", {});
        const QByteArray before = ziptest::readFile(titles);
        const JobCounters counters = job.run(DeleteFiles);
        QCOMPARE(job.lines().mid(4, 1),
                 QStringList{"marquees.zip: done! 1 files processed in 00:00 seconds"});
        QCOMPARE(job.lines().filter(".zip").size(), 1);
        QCOMPARE(counters.Total, 1);
        QVERIFY(namesIn(marquees).isEmpty());
        QCOMPARE(ziptest::readFile(titles), before);
        QVERIFY(!QFile::exists(titles + ".kestrum-tmp"));  // gone even though the archive was passed over
    }

    // Nothing matched: the archive is written anew all the same; a leftover of an interrupted commit
    // goes first.
    void commitsEvenWithoutMatches() {
        ArchiveJob job({"nosuchgame"});
        job.check({ImageSnap});
        const QString snap = job.archive("snap/snap.zip", {"pacman.png"});
        job.dir.write("snap/snap.zip.kestrum-tmp", "half a copy");
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(snap).constData(), &before), 0);
        job.run(RenameFiles);
        QCOMPARE(job.lines()[1], QStringLiteral("snap.zip: done! No files were found."));
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(snap).constData(), &after), 0);
        QVERIFY(after.st_ino != before.st_ino);
        QVERIFY(!QFile::exists(snap + ".kestrum-tmp"));
        QCOMPARE(namesIn(snap), QStringList{"pacman.png"});
    }

    // The leftover of a commit killed half-way (by SIGKILL, in the bench program) goes before the pass.
    void leftoverOfAKilledCommit() {
        ArchiveJob job({"pacman"});
        job.check({ImageSnap});
        const QString snap = job.archive("snap/snap.zip", {"pacman.png", "galaga.png", "mappy.png"});
        const QByteArray before = ziptest::readFile(snap);
        for (int call = 1; call < 12 && !QFile::exists(snap + ".kestrum-tmp"); ++call) {
            QProcess bench;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("KESTRUM_ZIP_KILL_AT"), QString::number(call));
            bench.setProcessEnvironment(environment);
            bench.start(QStringLiteral(KESTRUM_BENCH_EXE), {"archive", snap, "--delete", "1", "--in-place"});
            QVERIFY(bench.waitForFinished(30000));
            QCOMPARE(bench.exitStatus(), QProcess::CrashExit);
        }
        QVERIFY(QFile::exists(snap + ".kestrum-tmp"));
        QCOMPARE(ziptest::readFile(snap), before);  // killed before its rename: the archive as it was
        job.run(RenameFiles);
        QVERIFY(!QFile::exists(snap + ".kestrum-tmp"));
        QCOMPARE(namesIn(snap), (QStringList{"pacman.png.krm", "galaga.png", "mappy.png"}));
    }

    // A commit that fails ends the job with the engine's message; the archive is as it was.
    void failedCommitEndsTheJob() {
        ArchiveJob job({"pacman"});
        job.check({ImageSnap});
        const QString snap = job.archive("snap/snap.zip", {"pacman.png", "galaga.png"});
        const QByteArray before = ziptest::readFile(snap);
        zip_testing::failCall(3);
        job.run(RenameFiles);
        QCOMPARE(job.port.messages.size(), 1);
        QCOMPARE(job.port.messages[0].caption, QStringLiteral("Error"));
        QVERIFY(job.port.messages[0].text.contains(snap));
        QCOMPARE(job.port.messages[0].icon, MessageIcon::Error);
        QVERIFY(!job.log.lines.contains("All changes completed!"));
        QCOMPARE(job.port.busyChanges.last(), false);
        QCOMPARE(ziptest::readFile(snap), before);
        QVERIFY(!QFile::exists(snap + ".kestrum-tmp"));
    }

    // Rename then Restore: both archives come back with the same entries, names and data.
    void renameAndRestoreGiveTheArchivesBack() {
        ArchiveJob job({"pacman", "galaga", "dkong"});
        job.check({ImageSnap, ImageFlyer});
        const QString snap = job.archive("snap/snap.zip", {"pacman.png", "frogger.png", "galaga.png"});
        const QString flyers = job.archive("flyers/flyers.zip", {"dkong.jpg", "pacman.png", "mappy.png"});
        const ziptest::ArchiveFacts snapBefore = ziptest::readWithPython(snap);
        const ziptest::ArchiveFacts flyersBefore = ziptest::readWithPython(flyers);
        QCOMPARE(job.run(RenameFiles).Total, 4);
        QCOMPARE(namesIn(flyers), (QStringList{"dkong.jpg.krm", "pacman.png.krm", "mappy.png"}));
        QCOMPARE(job.run(RestoreFiles).Total, 4);
        for (const auto& [path, before] : {std::pair{snap, snapBefore}, std::pair{flyers, flyersBefore}}) {
            const ziptest::ArchiveFacts after = ziptest::readWithPython(path);
            QCOMPARE(after.entries.size(), before.entries.size());
            for (qsizetype i = 0; i < after.entries.size(); ++i) {
                QCOMPARE(after.entries[i].name, before.entries[i].name);
                QCOMPARE(after.entries[i].crc, before.entries[i].crc);
                QCOMPARE(after.entries[i].rawHash, before.entries[i].rawHash);
            }
        }
    }
};

KESTRUM_REGISTER_TEST(ImageArchivesTest)
#include "tst_imagearchives.moc"
