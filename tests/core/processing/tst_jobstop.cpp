// A stop asked while a job runs: after the game in progress, or after the archive pass in progress,
// never inside one; the log, the record and the closing message say where the job stopped.
#include "JobCollection.h"
#include "TestMain.h"

namespace {

const QStringList kGames{"pacman", "galaga", "digdug"};

// Three games with their ROM sets loose and their title and game snapshots in the two archives
// (titles.zip is passed over first), ROM sets and both snapshot types checked.
struct StopJob : JobFixture {
    QString titles = dir.file("titles/titles.zip");
    QString snap = dir.file("snap/snap.zip");

    StopJob() : JobFixture(kGames) {
        for (const QString& game : kGames) {
            dir.write("roms/" + game + ".zip", game.toUtf8());
        }
        for (const QString& archive : {titles, snap}) {
            QList<ziptest::Made> entries;
            for (const QString& name : kGames + QStringList{"xevious"}) {
                entries.append(ziptest::Made{name + ".png", name.toUtf8().repeated(30), false, {}, false});
            }
            const QString error = ziptest::makeWithPython(archive, entries);
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
        check({GameROMs, ImageTitle, ImageSnap});
        setup.moveFilesToFolder = dir.file("keep");
    }
    bool setLeft(const QString& game) const { return !QFile::exists(dir.file("roms/" + game + ".zip")); }
    bool archivePassStarted(const QString& archive) const {
        return std::any_of(log.lines.cbegin(), log.lines.cend(),
                           [&](const QString& line) { return line.startsWith(archive); });
    }
    // The record's last lines, after its last empty line.
    QStringList recordEnd() const {
        const QStringList lines = record();
        return lines.mid(lines.lastIndexOf(QString()) + 1);
    }
};

}  // namespace

class JobStopTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The stop is asked once the named game's set has left its place.
    void stopBetweenGames_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("stopAfter");  // the index of the game
        QTest::addColumn<QString>("stopLine");
        QTest::newRow("after the first game") << int(RenameFiles) << 0 << "Stopped after 1 of 3 games.";
        // The archives are still to come: they are skipped.
        QTest::newRow("during the last game, archives to come")
            << int(RenameFiles) << 2 << "Stopped after 3 of 3 games.";
        // Nothing is left to do: the job has simply ended.
        QTest::newRow("during the last game of a move") << int(MoveFiles) << 2 << QString();
    }

    void stopBetweenGames() {
        QFETCH(int, operation);
        QFETCH(int, stopAfter);
        QFETCH(QString, stopLine);
        StopJob job;
        const QByteArray titlesBefore = ziptest::readFile(job.titles);
        const QByteArray snapBefore = ziptest::readFile(job.snap);
        bool runningDuringJob = false;
        job.port.onProcessEvents = [&] {
            runningDuringJob = job.log.jobRun().running();
            if (job.setLeft(kGames[stopAfter])) {
                job.log.jobRun().requestStop();
            }
        };
        const JobCounters counters = job.run(OperationMode(operation));
        QVERIFY(runningDuringJob);
        QVERIFY(!job.log.jobRun().running());  // the Stop button is gone again
        QCOMPARE(counters.Total, stopAfter + 1);
        for (qsizetype game = 0; game < kGames.size(); ++game) {
            QCOMPARE(job.setLeft(kGames[game]), game <= stopAfter);
        }
        const QString total = QStringLiteral("Total files processed: %1").arg(counters.Total);
        const QString romLine = QStringLiteral("Game Files / ROMs [.zip; .7z]: %1 files found and processed.")
                                    .arg(counters.Total);
        if (stopLine.isEmpty()) {
            QCOMPARE(job.log.lines.mid(3), (QStringList{romLine, "", "All changes completed!", total}));
            QCOMPARE(job.recordEnd(), (QStringList{"All changes completed!", total}));
            QVERIFY(job.port.messages.last().text.startsWith("All changes completed!"));
            return;
        }
        QCOMPARE(job.log.lines.mid(3),
                 (QStringList{stopLine, romLine, "Title Snapshot [.png]: No files where found.",
                              "Game Snapshot [.png]: No files where found.", "", total}));
        QCOMPARE(ziptest::readFile(job.titles), titlesBefore);
        QCOMPARE(ziptest::readFile(job.snap), snapBefore);
        QCOMPARE(job.recordEnd(), (QStringList{stopLine, total}));
        QCOMPARE(job.port.messages.size(), 1);
        QCOMPARE(job.port.messages[0].caption, QStringLiteral("Rename Files"));
        QCOMPARE(job.port.messages[0].text,
                 "The job was stopped. " + total + "\r\nYou may also close the log window when ready...");
    }

    // The stop is asked as soon as the named archive's pass has begun: that pass changes every Work
    // List game's entry and commits; the archives after it stay as they were.
    void stopDuringArchives_data() {
        QTest::addColumn<QString>("stopDuring");
        QTest::addColumn<QString>("stopLine");
        QTest::newRow("the first archive")
            << "titles.zip"
            << "Stopped after the archive titles.zip; later archives were not processed.";
        QTest::newRow("the last archive") << "snap.zip" << QString();
    }

    void stopDuringArchives() {
        QFETCH(QString, stopDuring);
        QFETCH(QString, stopLine);
        StopJob job;
        const QByteArray snapBefore = ziptest::readFile(job.snap);
        job.port.onProcessEvents = [&] {
            if (job.archivePassStarted(stopDuring)) {
                job.log.jobRun().requestStop();
            }
        };
        const JobCounters counters = job.run(RenameFiles);
        const QStringList renamed{"digdug.png.krm", "galaga.png.krm", "pacman.png.krm", "xevious.png"};
        QCOMPARE(namesIn(job.titles), renamed);
        const QString total = QStringLiteral("Total files processed: %1").arg(counters.Total);
        if (stopLine.isEmpty()) {
            QCOMPARE(namesIn(job.snap), renamed);
            QCOMPARE(counters.Total, 9);
            QCOMPARE(job.log.lines.last(2), (QStringList{"All changes completed!", total}));
            return;
        }
        QCOMPARE(ziptest::readFile(job.snap), snapBefore);
        QCOMPARE(counters.Total, 6);
        QCOMPARE(job.log.lines.last(3), (QStringList{stopLine, "", total}));
        QVERIFY(job.log.lines.at(job.log.lines.size() - 4).startsWith("titles.zip: done! 3 files processed"));
        QCOMPARE(job.recordEnd(), (QStringList{stopLine, total}));
        QVERIFY(job.port.messages.last().text.startsWith("The job was stopped. " + total));
    }

    // A close request during a job asks first. No lets the job go on to its end; Yes stops it after
    // the game in progress, and a second request does not ask again. Without a job nothing is asked.
    void closeRequestDuringAJob_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }

    void closeRequestDuringAJob() {
        QFETCH(bool, yes);
        StopJob job;
        QVERIFY(confirmCloseDuringJob(job.log, job.port));
        QVERIFY(job.port.messages.isEmpty());

        job.port.answers.enqueue(yes);
        QList<bool> mayClose;
        job.port.onProcessEvents = [&] {
            if (job.setLeft("pacman") && mayClose.isEmpty()) {
                mayClose.append(confirmCloseDuringJob(job.log, job.port));
                if (yes) {
                    mayClose.append(confirmCloseDuringJob(job.log, job.port));  // before the job has ended
                }
            }
        };
        job.run(RenameFiles);
        QCOMPARE(job.port.messages[0].kind, QStringLiteral("question"));
        QCOMPARE(job.port.messages[0].caption, QStringLiteral("Kestrum"));
        QCOMPARE(job.port.messages[0].text, QStringLiteral("A job is running. Stop it and close Kestrum?"));
        QCOMPARE(job.port.messages.size(), 2);  // the question once, then the closing message
        if (yes) {
            QCOMPARE(mayClose, (QList<bool>{true, true}));
            QVERIFY(job.log.lines.contains("Stopped after 1 of 3 games."));
            QVERIFY(!job.setLeft("galaga"));
        } else {
            QCOMPARE(mayClose, QList<bool>{false});
            QCOMPARE(job.log.lines.last(), QStringLiteral("Total files processed: 9"));
            QVERIFY(job.setLeft("digdug"));
        }
    }
};

KESTRUM_REGISTER_TEST(JobStopTest)
#include "tst_jobstop.moc"
