#include "EmulatorFixture.h"
#include "TestMain.h"
#include "emulator/EmulatorFolders.h"
#include "emulator/EmulatorIni.h"

#include <QDir>
#include <QTest>

// Folder values as the emulator's ini files hold them, and the ROM folder list.
class EmulatorPathTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void resolve_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* name, const char* a, const char* b) {
            QTest::newRow(name) << QString::fromUtf8(a) << QString::fromUtf8(b);
        };
        row("empty", "", "");
        row("absolute", "/a/roms", "/a/roms/");
        row("absolute with separator", "/a/roms/", "/a/roms/");
        row("relative", "roms", "/emu/roms/");
        row("relative with separator", "roms/", "/emu/roms/");
        row("parent stays as written", "..\\x", "/emu/..\\x/");
        row("parent, slash", "../x", "/emu/../x/");
        row("drive letter is relative", "D:\\Arcade", "/emu/D:\\Arcade/");
        row("network path is relative", "\\\\server\\share", "/emu/\\\\server\\share/");
        row("blanks", " my roms ", "/emu/ my roms /");
        row("$HOME", "$HOME/x", "/home/tester/x/");
        row("${HOME}", "${HOME}/x", "/home/tester/x/");
        row("variable inside", "a${KESTRUM_TEST_SET}b", "/emu/aVALUEb/");
        row("variable ends at non-name", "$KESTRUM_TEST_SET-2", "/emu/VALUE-2/");
        row("~/", "~/x", "/home/tester/x/");
        row("~ alone", "~", "/home/tester/");
        row("~ not leading", "a/~/x", "/emu/a/~/x/");
        row("~user not expanded", "~user/x", "/emu/~user/x/");
        row("$ alone", "$", "/emu/$/");
        row("$ before digit", "$1x", "/emu/$1x/");
        row("$ at end", "roms$", "/emu/roms$/");
        row("${} empty", "${}x", "/emu/${}x/");
        row("unset gives nothing", "$KESTRUM_TEST_UNSET/x", "/x/");
        row("unset braced", "r${KESTRUM_TEST_UNSET}s", "/emu/rs/");
    }
    void resolve() {
        QFETCH(QString, value);
        QFETCH(QString, folder);
        const ScopedEnv home("HOME", "/home/tester");
        const ScopedEnv set("KESTRUM_TEST_SET", "VALUE");
        const ScopedEnv unset("KESTRUM_TEST_UNSET", QByteArray());
        QCOMPARE(ResolveEmulatorPath(value, QStringLiteral("/emu/")), folder);
    }

    void splitRomPath_data() {
        QTest::addColumn<QString>("rompath");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("one") << "roms" << QStringList{"/emu/roms/"};
        QTest::newRow("trailing semicolon") << "roms;/a/arcade;" << QStringList{"/emu/roms/", "/a/arcade/"};
        // An empty entry names no folder: nothing is ever looked for as a bare name.
        QTest::newRow("empty middle") << "roms;;/a" << QStringList{"/emu/roms/", "/a/"};
        QTest::newRow("only separators") << ";;" << QStringList{};
        QTest::newRow("unset variable") << "$KESTRUM_UNSET_VARIABLE;/a" << QStringList{"/a/"};
        QTest::newRow("quoted") << "\"roms;/a/arcade\"" << QStringList{"/emu/roms/", "/a/arcade/"};
        QTest::newRow("quoted piece with blanks")
            << "\"/my roms\";roms" << QStringList{"/my roms/", "/emu/roms/"};
        QTest::newRow("drive letter") << "roms;D:\\Arcade" << QStringList{"/emu/roms/", "/emu/D:\\Arcade/"};
        QTest::newRow("pieces expanded")
            << "~/a;$HOME/b" << QStringList{"/home/tester/a/", "/home/tester/b/"};
    }
    void splitRomPath() {
        QFETCH(QString, rompath);
        QFETCH(QStringList, folders);
        const ScopedEnv home("HOME", "/home/tester");
        AppState state;
        state.setup.mameExecutableFile = QStringLiteral("/emu/mame");
        state.emulator.folders.RomFolders = {QStringLiteral("/old/")};
        SplitRomPath(state.emulator, state.setup, rompath);
        QCOMPARE(state.emulator.folders.RomFolders, folders);
    }

    void findInRomFolders() {
        TempProgramFolder program;
        EmulatorFolders folders;
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("pacman.zip")), QString());

        program.makeFolder(QStringLiteral("a/pacman.zip"));  // a folder does not count
        program.write(QStringLiteral("b/pacman.zip"), "PK");
        program.write(QStringLiteral("c/pacman.zip"), "PK");
        program.write(QStringLiteral("c/galaga.zip"), "PK");
        folders.RomFolders = {program.file("missing/"), program.file("a/"), program.file("b/"),
                              program.file("c/")};
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("pacman.zip")),
                 program.file(QStringLiteral("b/pacman.zip")));
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("galaga.zip")),
                 program.file(QStringLiteral("c/galaga.zip")));
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("PACMAN.ZIP")), QString());
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("dkong.zip")), QString());

        // An empty folder text is not the current folder: a file lying there is never found.
        QDir::setCurrent(program.path());
        program.write(QStringLiteral("dkong.zip"), "PK");
        folders.RomFolders = {QString(), program.file("c/")};
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("dkong.zip")), QString());
        QCOMPARE(folders.FindInRomFolders(QStringLiteral("galaga.zip")),
                 program.file(QStringLiteral("c/galaga.zip")));
    }

    void folderOfType() {
        EmulatorFolders folders;
        folders.RomFolders = {QStringLiteral("/roms/")};
        folders.CfgFolder = QStringLiteral("/cfg/");
        folders.IniFolder = QStringLiteral("/ini/");
        folders.NvramFolder = QStringLiteral("/nvram/");
        for (int row = 0; row < kImageCategoryCount; ++row) {
            folders.ImageFolders[row] = QStringLiteral("/image%1/").arg(row);
        }
        QCOMPARE(folders.FolderOfType(GameROMs), QString());
        QCOMPARE(folders.FolderOfType(1), QStringLiteral("/cfg/"));
        QCOMPARE(folders.FolderOfType(2), QStringLiteral("/ini/"));
        QCOMPARE(folders.FolderOfType(3), QStringLiteral("/nvram/"));
        QCOMPARE(folders.FolderOfType(4), QStringLiteral("/image0/"));
        QCOMPARE(folders.FolderOfType(5), QStringLiteral("/image1/"));
        QCOMPARE(folders.FolderOfType(20), QStringLiteral("/image16/"));
        QCOMPARE(folders.FolderOfType(21), QString());
    }
};

KESTRUM_REGISTER_TEST(EmulatorPathTest)
#include "tst_emulatorpaths.moc"
