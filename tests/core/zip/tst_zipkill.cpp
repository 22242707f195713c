// A commit killed at any call of its I/O leaves the old archive or the whole new one, and the next
// commit on it works. The kills are real: kestrum-bench commits in place and its I/O layer sends
// itself SIGKILL at the call the environment names.
#include "TestMain.h"
#include "ZipOracles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ziptest;

namespace {

const QList<Made> kEntries = {
    {QStringLiteral("1943.png"), QByteArray("alpha ").repeated(400), false, {}, false},
    {QStringLiteral("snap/88games.png"), QByteArray("bravo ").repeated(300), false, {}, false},
    {QStringLiteral("aburner.png"), "stored as it is", true, {}, false},
    {QStringLiteral("galaga.png"), QByteArray("delta ").repeated(500), false, {}, false},
    {QStringLiteral("galaga.txt"), "not an image", true, {}, false},
    {QStringLiteral("mspacman.png"), QByteArray("echo ").repeated(200), false, {}, false},
    {QStringLiteral("puckman.png"), QByteArray("foxtrot ").repeated(250), false, {}, false},
    {QStringLiteral("xevious.png"), QByteArray("golf ").repeated(350), false, {}, false},
};
// Three of the seven images, spread evenly as the bench picks them: the 0th, 2nd (7/3) and 4th (14/3).
const QHash<QByteArray, QByteArray> kRenamed = {
    {"1943.png", "1943.png.krm"},
    {"aburner.png", "aburner.png.krm"},
    {"mspacman.png", "mspacman.png.krm"},
};

struct BenchRun {
    bool killed = false;
    int exitCode = -1;
    QJsonObject figures;
};

// kestrum-bench archive ARGS; with `killAt` its commit is killed at that call.
BenchRun runBench(const QStringList& args, int killAt = 0) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("KESTRUM_ZIP_KILL_AT"));
    if (killAt > 0) {
        environment.insert(QStringLiteral("KESTRUM_ZIP_KILL_AT"), QString::number(killAt));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KESTRUM_BENCH_EXE), QStringList{QStringLiteral("archive")} + args);
    BenchRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.killed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.figures = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    return run;
}

const QStringList kRename = {QStringLiteral("--rename"), QStringLiteral("3"), QStringLiteral("--in-place")};
const QStringList kRestore = {QStringLiteral("--restore"), QStringLiteral("3"), QStringLiteral("--in-place")};

}  // namespace

class ZipKillTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aKilledCommitLeavesTheOldArchiveOrTheWholeNewOne() {
        QTemporaryDir references;
        const QString original = references.filePath(QStringLiteral("original.zip"));
        QCOMPARE(makeWithPython(original, kEntries), QString());
        const QByteArray before = readFile(original);

        // The commit run to its end: how many calls it makes and the archive it writes.
        const QString whole = references.filePath(QStringLiteral("whole.zip"));
        writeFile(whole, before);
        const BenchRun reference = runBench(QStringList{whole} + kRename);
        QVERIFY(!reference.killed);
        QCOMPARE(reference.exitCode, 0);
        QCOMPARE(reference.figures.value(QStringLiteral("changed")).toInt(), 3);
        const int calls = reference.figures.value(QStringLiteral("commit_calls")).toInt();
        QVERIFY(calls > 10);
        const QByteArray after = readFile(whole);
        verifyArchive(whole, expectedAfter(readWithPython(original), kRenamed, {}));
        if (QTest::currentTestFailed()) {
            return;
        }
        // The commit's last four calls rename the copy over the archive, then open, flush and close
        // the folder; a kill at the rename stops it before it acts.
        const int renameCall = calls - 3;

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        int leftovers = 0;
        for (int k = 1; k <= calls; ++k) {
            writeFile(path, before);
            const BenchRun killed = runBench(QStringList{path} + kRename, k);
            QVERIFY2(killed.killed, qPrintable(QStringLiteral("call %1").arg(k)));
            const bool renamed = k > renameCall;
            QVERIFY2(readFile(path) == (renamed ? after : before),
                     qPrintable(QStringLiteral("call %1").arg(k)));
            if (filesIn(dir.path()).size() > 1) {
                QCOMPARE(filesIn(dir.path()),
                         QStringList({QStringLiteral("snap.zip"), QStringLiteral("snap.zip.kestrum-tmp")}));
                ++leftovers;
            }
            // The next commit: the interrupted one again, or the way back after a finished one.
            const BenchRun next = runBench(QStringList{path} + (renamed ? kRestore : kRename));
            QVERIFY(!next.killed);
            QCOMPARE(next.exitCode, 0);
            QVERIFY2(readFile(path) == (renamed ? before : after),
                     qPrintable(QStringLiteral("call %1").arg(k)));
            QCOMPARE(filesIn(dir.path()), QStringList({QStringLiteral("snap.zip")}));
        }
        // Kills between creating the copy and renaming it leave it behind for the next commit.
        QVERIFY(leftovers > 3);
    }

    void aCopysCommitIsNeverKilled() {
        QTemporaryDir dir;
        const QString original = dir.filePath(QStringLiteral("original.zip"));
        QCOMPARE(makeWithPython(original, kEntries), QString());
        const QByteArray before = readFile(original);
        const QString kept = dir.filePath(QStringLiteral("kept.zip"));
        const BenchRun run = runBench(
            {original, QStringLiteral("--rename"), QStringLiteral("3"), QStringLiteral("--keep"), kept}, 1);
        QVERIFY(!run.killed);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(original), before);
        verifyArchive(kept, expectedAfter(readWithPython(original), kRenamed, {}));
    }
};

KESTRUM_REGISTER_TEST(ZipKillTest)
#include "tst_zipkill.moc"
