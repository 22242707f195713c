// The desktop's trash, pointed at a temporary home: what arrives there, with which information, in
// which file system's trash; and a trash that cannot be written deletes nothing.
#include "TestMain.h"
#include "TrashHome.h"
#include "common/FileOps.h"
#include "common/Trash.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

const QDateTime kDeletedAt(QDate(2026, 12, 9), QTime(14, 3, 7));

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

int failRename(const char*, const char*) {
    errno = EACCES;
    return -1;
}

}  // namespace

class TrashTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A file on the home's file system goes to the home trash with its information file; a second
    // file of the same name gets a name of its own; odd characters are written encoded.
    void homeTrash() {
        TrashHome home;
        const QString first = home.dir.write("roms/pacman.zip", "first");
        const QString second = home.dir.write("roms2/pacman.zip", "second");
        const QString odd = home.dir.write("snap/Caf\u00e9 100%.png", "odd");
        QCOMPARE(trashFolderFor(first), home.trash());

        TrashOutcome outcome = moveToTrash(first, kDeletedAt);
        QVERIFY2(outcome.trashed, qPrintable(outcome.error));
        QCOMPARE(outcome.trashedAs, home.trash() + "/files/pacman.zip");
        QVERIFY(!QFile::exists(first));
        QCOMPARE(readAll(outcome.trashedAs), QByteArray("first"));
        QCOMPARE(readAll(home.trash() + "/info/pacman.zip.trashinfo"),
                 "[Trash Info]\nPath=" + QFile::encodeName(first) + "\nDeletionDate=2026-12-09T14:03:07\n");

        outcome = moveToTrash(second, kDeletedAt);
        QVERIFY(outcome.trashed);
        QCOMPARE(outcome.trashedAs, home.trash() + "/files/pacman (2).zip");
        QCOMPARE(readAll(outcome.trashedAs), QByteArray("second"));
        QVERIFY(readAll(home.trash() + "/info/pacman (2).zip.trashinfo").contains("roms2/pacman.zip\n"));

        QVERIFY(moveToTrash(odd, kDeletedAt).trashed);
        QVERIFY(readAll(home.trash() + "/info/Caf\u00e9 100%.png.trashinfo")
                    .contains("/snap/Caf%C3%A9%20100%25.png\n"));
        QCOMPARE(QFileInfo(home.trash() + "/files").permissions() & QFileDevice::ReadOther, 0);
    }

    // When the trash cannot be written — a plain file where its folder should be, or a move that
    // fails — the file stays where it was and no information file is left behind.
    void unusableTrashDeletesNothing() {
        TrashHome home;
        const QString file = home.dir.write("roms/pacman.zip", "set");
        home.dir.write("data/Trash", "not a folder");
        TrashOutcome outcome = moveToTrash(file, kDeletedAt);
        QVERIFY(!outcome.trashed);
        QVERIFY2(outcome.error.contains(home.trash()), qPrintable(outcome.error));
        QCOMPARE(readAll(file), QByteArray("set"));

        QVERIFY(QFile::remove(home.trash()));
        filesystem_testing::setRename(failRename);
        outcome = moveToTrash(file, kDeletedAt);
        filesystem_testing::reset();
        QVERIFY(!outcome.trashed);
        QVERIFY2(outcome.error.contains(home.trash() + "/files"), qPrintable(outcome.error));
        QCOMPARE(readAll(file), QByteArray("set"));
        QCOMPARE(QDir(home.trash() + "/info").entryList(QDir::Files), QStringList());

        QVERIFY(!moveToTrash(home.dir.makeFolder("nvram/pacman"), kDeletedAt).trashed);  // a folder
        QVERIFY(!moveToTrash(home.dir.file("missing.zip"), kDeletedAt).trashed);
    }

    // A file on another file system goes to that file system's own trash, never across.
    void otherFileSystemHasItsOwnTrash() {
        TrashHome home;
        struct stat shm {};
        struct stat data {};
        if (::stat("/dev/shm", &shm) != 0 || !S_ISDIR(shm.st_mode) || ::access("/dev/shm", W_OK) != 0 ||
            ::stat(QFile::encodeName(home.dir.path()).constData(), &data) != 0 || data.st_dev == shm.st_dev) {
            QSKIP("no writable /dev/shm on a file system of its own here");
        }
        QTemporaryDir dir(QStringLiteral("/dev/shm/kestrum-test-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("kestrum-trash-test-%1.zip").arg(::getpid()));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write("set") == 3);
        out.close();

        const QString uid = QString::number(::getuid());
        const QString expected = QFileInfo::exists("/dev/shm/.Trash") && QFileInfo("/dev/shm/.Trash").isDir()
                                     ? "/dev/shm/.Trash/" + uid
                                     : "/dev/shm/.Trash-" + uid;
        const bool trashExisted = QFileInfo::exists(expected);
        QCOMPARE(trashFolderFor(file), expected);
        const TrashOutcome outcome = moveToTrash(file, kDeletedAt);
        QVERIFY2(outcome.trashed, qPrintable(outcome.error));
        QVERIFY(outcome.trashedAs.startsWith(expected + "/files/"));
        const QString info = expected + "/info/" + outcome.trashedAs.section(u'/', -1) + ".trashinfo";
        const QByteArray written = readAll(info);
        QCOMPARE(readAll(outcome.trashedAs), QByteArray("set"));
        QVERIFY(!QDir(home.trash()).exists());
        // Leave /dev/shm as it was.
        QFile::remove(outcome.trashedAs);
        QFile::remove(info);
        if (!trashExisted) {
            QDir(expected).removeRecursively();
        }
        QVERIFY(written.startsWith("[Trash Info]\nPath=" + QFile::encodeName(file) + "\n"));
    }
};

KESTRUM_REGISTER_TEST(TrashTest)
#include "tst_trash.moc"
