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
// Every folder its own file system: a rename works only within one folder.
int renameWithinFoldersOnly(const char* from, const char* to) {
    const auto folder = [](const char* path) {
        return QByteArray(path).left(QByteArray(path).lastIndexOf('/'));
    };
    if (folder(from) != folder(to)) {
        errno = EXDEV;
        return -1;
    }
    return ::rename(from, to);
}
mode_t modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : 0;
}
void setMode(const QString& path, mode_t mode) {
    ::chmod(QFile::encodeName(path).constData(), mode);
}
}  // namespace

class FileOpsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { filesystem_testing::reset(); }

    void existenceAndSize() {
        TempProgramFolder dir;
        const QString file = dir.write("a.zip", "abc");
        const QString empty = dir.write("empty.zip", "");
        const QString folder = dir.makeFolder("pacman.zip");
        QVERIFY(FileExistsNotFolder(file));
        QVERIFY(FileExistsNotFolder(empty));
        QVERIFY(!FileExistsNotFolder(folder));
        QVERIFY(!FileExistsNotFolder(dir.file("missing")));
        QVERIFY(!FileExistsNotFolder(QString()));
        QVERIFY(IsUsableFile(file));
        QVERIFY(!IsUsableFile(empty));
        QVERIFY(!IsUsableFile(folder));
        QCOMPARE(FileSizeOf(file), qint64(3));
        QCOMPARE(FileSizeOf(empty), qint64(0));
        QCOMPARE(FileSizeOf(dir.file("missing")), qint64(-1));
    }

    void deleteFolderFilesKeepsSubfolders() {
        TempProgramFolder dir;
        dir.write("nvram/pacman/eeprom", "1");
        dir.write("nvram/pacman/sub/keep", "2");
        dir.write("nvram/pacman/.hidden", "3");
        DeleteFolderFiles(dir.file("nvram/pacman"));  // no trailing separator
        QVERIFY(!QFile::exists(dir.file("nvram/pacman/eeprom")));
        QVERIFY(!QFile::exists(dir.file("nvram/pacman/.hidden")));
        QVERIFY(QFile::exists(dir.file("nvram/pacman/sub/keep")));
        DeleteFolderFiles(QString());  // does nothing
    }

    void moveWithinFileSystemReplaces() {
        TempProgramFolder dir;
        const QString source = dir.write("roms/pacman.zip", "new");
        const QString target = dir.write("keep/pacman.zip", "old");
        QVERIFY(MoveFileReplacing(source, target));
        QVERIFY(!QFile::exists(source));
        QCOMPARE(dir.read("keep/pacman.zip"), QByteArray("new"));
    }

    void moveRefusesOneFileUnderTwoNames() {
        TempProgramFolder dir;
        const QString source = dir.write("pacman.zip", "data");
        const QString link = dir.file("link.zip");
        QVERIFY(::link(QFile::encodeName(source).constData(), QFile::encodeName(link).constData()) == 0);
        QVERIFY(!MoveFileReplacing(source, link));
        QCOMPARE(dir.read("pacman.zip"), QByteArray("data"));
        QVERIFY(!MoveFileReplacing(source, source));
        QCOMPARE(dir.read("pacman.zip"), QByteArray("data"));
    }

    void moveMissingSourceFails() {
        TempProgramFolder dir;
        QVERIFY(!MoveFileReplacing(dir.file("missing.zip"), dir.file("x.zip")));
        QVERIFY(!MoveFileReplacing(dir.makeFolder("folder.zip"), dir.file("x.zip")));
    }

    // The copy is made under a temporary name beside the target: only there can it be renamed over it.
    void moveAcrossFileSystemsCopiesThenDeletes() {
        TempProgramFolder dir;
        filesystem_testing::setRename(&renameWithinFoldersOnly);
        QByteArray big(3 << 20, 'x');
        big[12345] = 'y';
        const QString source = dir.write("roms/pacman.zip", big);
        setMode(source, 0640);
        const QString target = dir.write("keep/pacman.zip", "old");
        QVERIFY(MoveFileReplacing(source, target));
        QVERIFY(!QFile::exists(source));
        QCOMPARE(dir.read("keep/pacman.zip"), big);
        QVERIFY(!QFile::exists(target + ".kestrum-tmp"));
        QCOMPARE(modeOf(target), mode_t(0640));
    }

    void failedCrossCopyLeavesBothFiles() {
        TempProgramFolder dir;
        filesystem_testing::setRename(&renameWithinFoldersOnly);
        filesystem_testing::setCopyFailureAfter(1 << 20);
        const QByteArray data(3 << 20, 'z');
        const QString source = dir.write("roms/pacman.zip", data);
        const QString target = dir.write("keep/pacman.zip", "old");
        QVERIFY(!MoveFileReplacing(source, target));
        QCOMPARE(dir.read("roms/pacman.zip"), data);
        QCOMPARE(dir.read("keep/pacman.zip"), QByteArray("old"));
        QVERIFY(!QFile::exists(target + ".kestrum-tmp"));
    }

    void crossCopyIntoMissingFolderFails() {
        TempProgramFolder dir;
        filesystem_testing::setRename(&renameWithinFoldersOnly);
        const QString source = dir.write("pacman.zip", "abc");
        QVERIFY(!MoveFileReplacing(source, dir.file("nowhere/pacman.zip")));
        QCOMPARE(dir.read("pacman.zip"), QByteArray("abc"));
    }

    void moveToARealSecondFileSystem() {
        struct stat tmpInfo {};
        struct stat shmInfo {};
        if (::stat("/dev/shm", &shmInfo) != 0 ||
            ::stat(QFile::encodeName(QDir::tempPath()).constData(), &tmpInfo) != 0 ||
            shmInfo.st_dev == tmpInfo.st_dev || ::access("/dev/shm", W_OK) != 0) {
            QSKIP("no writable second file system at /dev/shm");
        }
        TempProgramFolder dir;
        QTemporaryDir other(QStringLiteral("/dev/shm/kestrum-test-XXXXXX"));
        QVERIFY(other.isValid());
        const QString source = dir.write("pacman.zip", "cross");
        const QString target = other.path() + "/pacman.zip";
        QVERIFY(MoveFileReplacing(source, target));
        QVERIFY(!QFile::exists(source));
        QFile in(target);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), QByteArray("cross"));
    }

    void atomicWriteReplacesAndKeepsLinks() {
        TempProgramFolder dir;
        const QString real = dir.write("real/Kestrum.ini", "old");
        setMode(real, 0600);
        const QString link = dir.file("Kestrum.ini");
        QVERIFY(QFile::link(real, link));
        dir.write("real/Kestrum.ini.kestrum-tmp", "leftover");
        QVERIFY(writeFileAtomically(link, "new\r\n"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(dir.read("real/Kestrum.ini"), QByteArray("new\r\n"));
        QVERIFY(!QFile::exists(real + ".kestrum-tmp"));
        QCOMPARE(modeOf(real), mode_t(0600));
        QVERIFY(writeFileAtomically(dir.file("fresh.txt"), ""));
        QVERIFY(QFile::exists(dir.file("fresh.txt")));
        QVERIFY(!writeFileAtomically(dir.file("missing/x.txt"), "a"));
    }

    void pathPieces() {
        QCOMPARE(withTrailingSeparator("/a"), QStringLiteral("/a/"));
        QCOMPARE(withTrailingSeparator("/a/"), QStringLiteral("/a/"));
        QCOMPARE(withTrailingSeparator(""), QString());
        QCOMPARE(folderOfPath("/usr/games/mame"), QStringLiteral("/usr/games/"));
        QCOMPARE(folderOfPath("mame"), QString());
    }
};

KESTRUM_REGISTER_TEST(FileOpsTest)
#include "tst_fileops.moc"
