#include "FakeDialogPort.h"
#include "FakeWindows.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "progress/ElapsedCounter.h"
#include "progress/ProgressWindows.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

class ProgressTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void forwardOnly_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("expected");
        QTest::newRow("total 1 does nothing") << 5 << qint64(1) << qint64(1) << 5;
        QTest::newRow("total 0 does nothing") << 0 << qint64(0) << qint64(0) << 0;
        QTest::newRow("a third") << 0 << qint64(1) << qint64(3) << 33;
        QTest::newRow("two thirds truncated") << 33 << qint64(2) << qint64(3) << 66;
        QTest::newRow("all") << 66 << qint64(3) << qint64(3) << 100;
        QTest::newRow("never back") << 50 << qint64(1) << qint64(10) << 50;
        QTest::newRow("same value") << 10 << qint64(1) << qint64(10) << 10;
        QTest::newRow("six million lines") << 0 << qint64(5941588) << qint64(5941589) << 99;
    }
    void forwardOnly() {
        QFETCH(int, current);
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(int, expected);
        QCOMPARE(forwardProgress(current, done, total), expected);
    }

    void jobProgressOnTheLogWindow() {
        FakeLogWindow log;
        QList<int> seen;
        for (int game = 1; game <= 3; ++game) {
            log.UpdateJobProgress(game, 3);
            seen.append(log.progress());
        }
        QCOMPARE(seen, QList<int>({33, 66, 100}));
        log.ResetJobProgress();
        QCOMPARE(log.progress(), 0);
        log.UpdateJobProgress(1, 1);
        QCOMPARE(log.progress(), 0);
    }

    // "Save Log...": the file dialog starts in the program's folder; the log is written with CR LF
    // line ends and a message names the file, or says that it could not be written. Cancel writes
    // nothing and says nothing.
    void saveLogText() {
        TempProgramFolder dir;
        FakeDialogPort port;
        QCOMPARE(SaveLogText("one", port, dir.path()), QString());
        QVERIFY(port.messages.isEmpty());
        QCOMPARE(port.dialogTitles, QStringList{"Save Log"});
        QCOMPARE(port.dialogFolders, QStringList{dir.path()});

        const QString path = dir.file("job log.txt");
        port.fileAnswers.enqueue(path);
        QCOMPARE(SaveLogText("Processing 2 games...\n\nTwo\r\nlines", port, dir.path()), path);
        QCOMPARE(dir.read("job log.txt"), QByteArray("Processing 2 games...\r\n\r\nTwo\r\nlines\r\n"));
        QCOMPARE(port.texts(), QStringList{"The log was saved to \"" + path + "\"."});

        const QString nowhere = dir.file("missing folder/log.txt");
        port.fileAnswers.enqueue(nowhere);
        QCOMPARE(SaveLogText("x", port, dir.path()), QString());
        QCOMPARE(port.messages.last().text, "The log could not be written to \"" + nowhere + "\".");
        QCOMPARE(port.messages.last().icon, MessageIcon::Error);
    }

    void waitWindowAdvance() {
        FakeWaitWindow wait;
        wait.advance(50, 100);
        QCOMPARE(wait.progress(), 50);
        wait.advance(10, 100);
        QCOMPARE(wait.progress(), 50);
    }

    void elapsedCounter() {
        ElapsedCounter counter;
        QSignalSpy changes(&counter, &ElapsedCounter::changed);
        counter.start();
        QVERIFY(counter.running());
        QCOMPARE(counter.text(), QStringLiteral("00:00"));
        for (int i = 0; i < 65; ++i) {
            counter.tick();
        }
        QCOMPARE(counter.text(), QStringLiteral("01:05"));
        QCOMPARE(changes.last().first().toString(), QStringLiteral("01:05"));
        counter.start();  // shown again while running: the same timer goes on
        QCOMPARE(counter.text(), QStringLiteral("01:05"));
        counter.stop();
        QVERIFY(!counter.running());
        QCOMPARE(counter.text(), QStringLiteral("00:00"));
        counter.start();
        QCOMPARE(counter.elapsed(), qint64(0));
    }

    // A tick that arrives late, after the GUI thread was busy, counts every second that passed:
    // the very first tick after two busy seconds shows two seconds, not one.
    void elapsedCounterCatchesUpAfterBusyWork() {
        ElapsedCounter counter;
        counter.start();
        QSignalSpy ticks(&counter, &ElapsedCounter::changed);
        QThread::msleep(2200);  // busy: no events are processed
        QVERIFY(ticks.wait(5000));
        QCOMPARE(ticks.size(), 1);
        QCOMPARE(counter.elapsed(), qint64(2000));
    }
};

KESTRUM_REGISTER_TEST(ProgressTest)
KESTRUM_TEST_MAIN
#include "tst_progress.moc"
