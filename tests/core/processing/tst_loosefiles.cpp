// The loose-file work of games on a collection built in a temporary folder.
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "emulator/EmulatorFolders.h"
#include "processing/JobDisk.h"
#include "processing/ProcessGame.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTest>

#include <sys/stat.h>

namespace {

using Tree = QMap<QString, QByteArray>;  // relative path to contents; folders end with "/"

// Two ROM folders (pacman.zip in both), cfg, ini, an nvram folder with and one without a subfolder,
// loose .png and .jpg images.
const Tree kCollection = {
    {"roms1/", ""},
    {"roms1/pacman.zip", "p1"},
    {"roms1/pacman.7z", "p7"},
    {"roms2/", ""},
    {"roms2/pacman.zip", "p2"},
    {"roms2/galaga.7z", "g7"},
    {"cfg/", ""},
    {"cfg/pacman.cfg", "c"},
    {"ini/", ""},
    {"ini/pacman.ini", "i"},
    {"nvram/", ""},
    {"nvram/pacman/", ""},
    {"nvram/pacman/a", "e"},
    {"nvram/pacman/b", "n"},
    {"nvram/galaga/", ""},
    {"nvram/galaga/a", "e"},
    {"nvram/galaga/sub/", ""},
    {"nvram/galaga/sub/keep", "k"},
    {"snap/", ""},
    {"snap/pacman.png", "s"},
    {"snap/galaga.png", "s"},
    {"marquees/", ""},
    {"marquees/pacman.png", "m"},
    {"marquees/pacman.jpg", "j"},
    {"flyers/", ""},
    {"flyers/galaga.jpg", "f"},
};
const QStringList kRenamedByOneRun = {"roms1/pacman.zip",    "roms1/pacman.7z",  "roms2/galaga.7z",
                                      "snap/pacman.png",     "snap/galaga.png",  "marquees/pacman.png",
                                      "marquees/pacman.jpg", "flyers/galaga.jpg"};
const char* kOneRunCounted = "8 | 0:3 5:2 6:2 7:1";

Tree treeOf(const QString& root) {
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        tree.insert(path.mid(root.size()) + (it.fileInfo().isDir() ? "/" : ""),
                    file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return tree;
}

Tree without(Tree tree, const QStringList& paths) {
    for (const QString& path : paths) {
        tree.remove(path);
    }
    return tree;
}

Tree renamed(Tree tree, const QStringList& paths) {
    for (const QString& path : paths) {
        tree.insert(path + ".krm", tree.take(path));
    }
    return tree;
}

struct Collection {
    TempProgramFolder dir;
    EmulatorFolders folders;
    SetupChoices setup;

    Collection() {
        for (auto it = kCollection.begin(); it != kCollection.end(); ++it) {
            it.key().endsWith(u'/') ? void(dir.makeFolder(it.key())) : void(dir.write(it.key(), it.value()));
        }
        folders.RomFolders = {dir.file("roms1/"), dir.file("roms2/")};
        folders.CfgFolder = dir.file("cfg/");
        folders.IniFolder = dir.file("ini/");
        folders.NvramFolder = dir.file("nvram/");
        for (int row = 0; row < kImageCategoryCount; ++row) {
            folders.ImageFolders[row] = dir.file(QLatin1String(ImageCategoryTable[row].folderName) + u'/');
        }
        setup.fileTypeChecked.fill(true);
    }
    Tree tree() const { return treeOf(dir.path()); }
    // Runs the operation on the games; the counters as "Total | type:Found ...".
    QString run(OperationMode operation, const QStringList& games = {"pacman", "galaga"}) {
        setup.operation = operation;
        JobCounters counters;
        RealDisk disk(folders);
        for (const QString& game : games) {
            ProcessGame(game, setup, folders, counters, disk);
        }
        QString text = QString::number(counters.Total) + " |";
        for (int type = 0; type < kFileTypeCount; ++type) {
            text += counters.Found[type] ? QStringLiteral(" %1:%2").arg(type).arg(counters.Found[type]) : "";
        }
        return text;
    }
};

}  // namespace

class LooseFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Only the first ROM folder's pacman.zip goes; the nvram folder with a subfolder stays and
    // counts as found only.
    void deleteFilesEveryType() {
        Collection c;
        QCOMPARE(c.run(DeleteFiles), "11 | 0:3 1:1 2:1 3:2 5:2 6:2 7:1");
        QCOMPARE(c.tree(), without(kCollection,
                                   {"roms1/pacman.zip", "roms1/pacman.7z", "roms2/galaga.7z",
                                    "cfg/pacman.cfg", "ini/pacman.ini", "nvram/pacman/", "nvram/pacman/a",
                                    "nvram/pacman/b", "nvram/galaga/a", "snap/pacman.png", "snap/galaga.png",
                                    "marquees/pacman.png", "marquees/pacman.jpg", "flyers/galaga.jpg"}));
    }

    // A second run renames the second ROM folder's copy, a third finds nothing; two restores bring
    // back the collection.
    void renameRestoreAndDeleteRenamed() {
        Collection c;
        QCOMPARE(c.run(RenameFiles), kOneRunCounted);
        QCOMPARE(c.tree(), renamed(kCollection, kRenamedByOneRun));
        QCOMPARE(c.run(RenameFiles), "1 | 0:1");
        QCOMPARE(c.run(RenameFiles), "0 |");
        QCOMPARE(c.run(RestoreFiles), kOneRunCounted);
        QCOMPARE(c.tree(), renamed(kCollection, {"roms2/pacman.zip"}));
        QCOMPARE(c.run(RestoreFiles), "1 | 0:1");
        QCOMPARE(c.tree(), kCollection);

        c.run(RenameFiles);
        QCOMPARE(c.run(DeleteRenamedFiles), kOneRunCounted);
        QCOMPARE(c.tree(), without(kCollection, kRenamedByOneRun));
    }

    // Only ROM sets move, into a folder made on the way; a move onto the file itself changes nothing.
    void moveFiles() {
        Collection c;
        c.setup.moveFilesToFolder = c.dir.file("keep/deep");
        QCOMPARE(c.run(MoveFiles), "3 | 0:3");
        Tree expected = without(kCollection, {"roms1/pacman.zip", "roms1/pacman.7z", "roms2/galaga.7z"});
        expected.insert({{"keep/", ""},
                         {"keep/deep/", ""},
                         {"keep/deep/pacman.zip", "p1"},
                         {"keep/deep/pacman.7z", "p7"},
                         {"keep/deep/galaga.7z", "g7"}});
        QCOMPARE(c.tree(), expected);

        Collection same;
        same.setup.moveFilesToFolder = same.dir.file("roms1");
        QCOMPARE(same.run(MoveFiles, {"pacman"}), "0 | 0:2");
        same.setup.moveFilesToFolder = same.dir.file("cfg/pacman.cfg/keep");  // cannot be made
        QCOMPARE(same.run(MoveFiles, {"pacman"}), "0 |");
        QCOMPARE(same.tree(), kCollection);
    }

    void restoreReplacesAndStaysInItsFolder() {
        Collection c;
        c.dir.write("roms1/pacman.zip.krm", "renamed");
        QVERIFY(QFile::rename(c.dir.file("roms2/galaga.7z"), c.dir.file("roms2/galaga.7z.krm")));
        QCOMPARE(c.run(RestoreFiles), "2 | 0:2");
        Tree expected = kCollection;
        expected["roms1/pacman.zip"] = "renamed";
        QCOMPARE(c.tree(), expected);
    }

    // Files without a write bit are found but stay, whoever runs the tests; so does their nvram folder.
    void protectedFilesCountAsFoundOnly() {
        Collection c;
        for (const char* path : {"roms1/pacman.zip", "snap/pacman.png", "nvram/pacman/a"}) {
            QVERIFY(::chmod(QFile::encodeName(c.dir.file(path)).constData(), 0444) == 0);
        }
        QCOMPARE(c.run(DeleteFiles, {"pacman"}), "5 | 0:2 1:1 2:1 3:1 5:1 6:2");
        QCOMPARE(c.tree(),
                 without(kCollection, {"roms1/pacman.7z", "cfg/pacman.cfg", "ini/pacman.ini",
                                       "nvram/pacman/b", "marquees/pacman.png", "marquees/pacman.jpg"}));
        QCOMPARE(c.run(RenameFiles, {"pacman"}), "0 | 0:1 5:1");
    }

    // Folders named like a game's files are not files; an empty name or folder text names nothing.
    void whatIsNotFound() {
        Collection c;
        for (const char* folder : {"roms1/dkong.zip", "cfg/dkong.cfg", "snap/dkong.png"}) {
            c.dir.makeFolder(folder);
        }
        c.dir.write("nvram/dkong", "a file, not a folder");
        const Tree before = c.tree();
        QCOMPARE(c.run(DeleteFiles, {"dkong", ""}), "0 |");
        QCOMPARE(c.run(RenameFiles, {"dkong", ""}), "0 |");
        QCOMPARE(c.tree(), before);

        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(c.dir.file("roms1")));
        c.folders.RomFolders.prepend(QString());
        c.folders.CfgFolder.clear();
        c.folders.ImageFolders.fill(QString());
        c.dir.write("roms1/pacman.cfg", "c");
        c.dir.write("roms1/pacman.png", "s");
        const QString counted = c.run(DeleteFiles, {"pacman"});
        QDir::setCurrent(current);
        QCOMPARE(counted, "4 | 0:2 2:1 3:1");
        QVERIFY(QFile::exists(c.dir.file("roms1/pacman.cfg")));
        QVERIFY(QFile::exists(c.dir.file("roms1/pacman.png")));
    }

    // /dev/shm is a file system of its own on Linux: the move copies, then removes the source.
    void moveAcrossFileSystems() {
        Collection c;
        struct stat shm {};
        struct stat temp {};
        if (::stat("/dev/shm", &shm) != 0 ||
            ::stat(QFile::encodeName(c.dir.path()).constData(), &temp) != 0 || shm.st_dev == temp.st_dev) {
            QSKIP("/dev/shm is missing or on the same file system as the temporary folder");
        }
        QTemporaryDir other(QStringLiteral("/dev/shm/kestrum-test-XXXXXX"));
        QVERIFY(other.isValid());
        QByteArray big(3 << 20, 'x');
        big[123456] = 'y';
        c.dir.write("roms1/pacman.zip", big);
        c.setup.moveFilesToFolder = other.path() + "/keep";
        QCOMPARE(c.run(MoveFiles, {"pacman"}), "2 | 0:2");
        QCOMPARE(treeOf(other.path() + u'/'),
                 (Tree{{"keep/", ""}, {"keep/pacman.zip", big}, {"keep/pacman.7z", "p7"}}));
        QCOMPARE(c.tree(), without(kCollection, {"roms1/pacman.zip", "roms1/pacman.7z"}));
    }
};

KESTRUM_REGISTER_TEST(LooseFilesTest)
#include "tst_loosefiles.moc"
