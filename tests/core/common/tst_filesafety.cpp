// Moves that fail at any step, protected files and special files: nothing is ever lost.
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "common/FileOps.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace {

QByteArray folderOf(const char* path) {
    const QByteArray p(path);
    return p.left(p.lastIndexOf('/'));
}

// The step of a move across file systems that the seams make fail.
QByteArray g_failingStep;

// Every folder its own file system, and the chosen step refused.
int renameWithFault(const char* from, const char* to) {
    if (folderOf(from) != folderOf(to)) {
        errno = EXDEV;
        return -1;
    }
    const QByteArray source(from);
    const QByteArray target(to);
    if ((g_failingStep == "aside" && target.contains(".kestrum-moving")) ||
        (g_failingStep == "target aside" && target.contains(".kestrum-replaced")) ||
        (g_failingStep == "commit" && source.endsWith(".kestrum-tmp"))) {
        errno = EACCES;
        return -1;
    }
    return ::rename(from, to);
}

int unlinkWithFault(const char* path) {
    if (g_failingStep == "unlink" && QByteArray(path).contains(".kestrum-moving")) {
        errno = EACCES;
        return -1;
    }
    return ::unlink(path);
}

void setMode(const QString& path, mode_t mode) {
    ::chmod(QFile::encodeName(path).constData(), mode);
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

}  // namespace

class FileSafetyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() {
        filesystem_testing::reset();
        g_failingStep.clear();
    }

    // Whichever step fails, the source and the old target are back as they were and nothing else
    // is left in either folder.
    void failedCrossMoveChangesNothing_data() {
        QTest::addColumn<QByteArray>("step");
        QTest::addColumn<bool>("targetExists");
        for (const char* step : {"aside", "copy", "target aside", "commit", "unlink"}) {
            QTest::addRow("%s, over a target", step) << QByteArray(step) << true;
            if (QByteArray(step) != "target aside") {  // without a target nothing is put aside
                QTest::addRow("%s, no target", step) << QByteArray(step) << false;
            }
        }
    }
    void failedCrossMoveChangesNothing() {
        QFETCH(QByteArray, step);
        QFETCH(bool, targetExists);
        TempProgramFolder dir;
        filesystem_testing::setRename(&renameWithFault);
        filesystem_testing::setUnlink(&unlinkWithFault);
        g_failingStep = step;
        if (step == "copy") {
            filesystem_testing::setCopyFailureAfter(10);
        }
        const QByteArray data(100000, 's');
        const QString source = dir.write("roms/pacman.zip", data);
        const QString target = dir.file("keep/pacman.zip");
        if (targetExists) {
            dir.write("keep/pacman.zip", "old");
        } else {
            dir.makeFolder("keep");
        }
        QVERIFY(!MoveFileReplacing(source, target));
        QCOMPARE(dir.read("roms/pacman.zip"), data);
        QCOMPARE(entriesOf(dir.file("roms")), QStringList{"pacman.zip"});
        if (targetExists) {
            QCOMPARE(dir.read("keep/pacman.zip"), QByteArray("old"));
            QCOMPARE(entriesOf(dir.file("keep")), QStringList{"pacman.zip"});
        } else {
            QCOMPARE(entriesOf(dir.file("keep")), QStringList());
        }
    }

    // A name put aside by an earlier, interrupted move is never taken over.
    void anOldAsideNameIsKept() {
        TempProgramFolder dir;
        filesystem_testing::setRename(&renameWithFault);
        const QString source = dir.write("roms/pacman.zip", "new");
        dir.write("roms/pacman.zip.kestrum-moving", "only copy of something");
        dir.makeFolder("keep");
        QVERIFY(MoveFileReplacing(source, dir.file("keep/pacman.zip")));
        QCOMPARE(dir.read("keep/pacman.zip"), QByteArray("new"));
        QCOMPARE(dir.read("roms/pacman.zip.kestrum-moving"), QByteArray("only copy of something"));
        QCOMPARE(entriesOf(dir.file("roms")), QStringList{"pacman.zip.kestrum-moving"});
    }

    // A file without any write permission bit is never deleted, moved or replaced, whoever runs
    // the program (root included: judged by the bits).
    void protectedFilesStay_data() {
        QTest::addColumn<bool>("acrossFileSystems");
        QTest::newRow("same file system") << false;
        QTest::newRow("across file systems") << true;
    }
    void protectedFilesStay() {
        QFETCH(bool, acrossFileSystems);
        TempProgramFolder dir;
        if (acrossFileSystems) {
            filesystem_testing::setRename(&renameWithFault);
        }
        const QString source = dir.write("roms/pacman.zip", "new");
        const QString target = dir.write("keep/pacman.zip", "old");
        setMode(target, 0444);
        QVERIFY(isProtectedFile(target));
        QVERIFY(!MoveFileReplacing(source, target));
        QCOMPARE(dir.read("keep/pacman.zip"), QByteArray("old"));
        QCOMPARE(dir.read("roms/pacman.zip"), QByteArray("new"));

        setMode(source, 0444);
        QVERIFY(!MoveFileReplacing(source, dir.file("keep/other.zip")));
        QCOMPARE(dir.read("roms/pacman.zip"), QByteArray("new"));
        QVERIFY(!deleteContentFile(source));
        QVERIFY(QFile::exists(source));
    }

    void deleteFolderFilesKeepsProtectedFiles() {
        TempProgramFolder dir;
        const QString kept = dir.write("nvram/pacman/eeprom", "saved");
        dir.write("nvram/pacman/ram", "x");
        setMode(kept, 0400);
        dir.write("nvram/pacman/a", "y");
        QCOMPARE(DeleteFolderFiles(dir.file("nvram/pacman/")), (QStringList{"a", "ram"}));  // what went
        QCOMPARE(entriesOf(dir.file("nvram/pacman")), QStringList{"eeprom"});
    }

    // A FIFO or a device is not a usable file: reading one would block the program.
    void specialFilesAreNotUsable() {
        TempProgramFolder dir;
        const QString fifo = dir.file("mame");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0755), 0);
        QVERIFY(!FileExistsNotFolder(fifo));
        QVERIFY(!IsUsableFile(fifo));
        QVERIFY(!isExecutableFile(fifo));
        QVERIFY(!FileExistsNotFolder(QStringLiteral("/dev/null")));
        QVERIFY(!deleteContentFile(fifo));
        QVERIFY(!MoveFileReplacing(fifo, dir.file("moved")));
        const QString link = dir.file("link-to-fifo");
        QVERIFY(QFile::link(fifo, link));
        QVERIFY(!IsUsableFile(link));
    }

    void executeBit() {
        TempProgramFolder dir;
        const QString text = dir.write("notes.txt", "not a program");
        QVERIFY(!isExecutableFile(text));
        setMode(text, 0744);
        QVERIFY(isExecutableFile(text));
        QVERIFY(!isExecutableFile(dir.makeFolder("folder")));
    }
};

KESTRUM_REGISTER_TEST(FileSafetyTest)
#include "tst_filesafety.moc"
