#include "EmulatorFixture.h"
#include "TestMain.h"
#include "common/FileOps.h"
#include "emulator/EmulatorIni.h"

#include <QFile>
#include <QTest>

namespace {

const QString kCreateQuestion = QStringLiteral(
    "   MAME initialization file is not found, cannot load emulator settings!\r\nRemember that you need to "
    "configure MAME before using Kestrum...\r\n\r\nWould you like to create it now ?");

// Folders that no ini line has set yet: a read must change only what its lines name.
void presetFolders(AppState& state) {
    EmulatorFolders& folders = state.emulator.folders;
    folders.RomFolders = {QStringLiteral("/old/roms/")};
    folders.IniFolder = QStringLiteral("/old/ini/");
    folders.CfgFolder = QStringLiteral("/old/cfg/");
    folders.NvramFolder = QStringLiteral("/old/nvram/");
    folders.ImageFolders[1] = QStringLiteral("/old/snap/");
    state.setup.imageFolderBoxes[1] = QStringLiteral("/old/snap/");
}

}  // namespace

class EmulatorIniTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each candidate is found only once every earlier one is gone.
    void searchOrder() {
        EmulatorFixture f(QStringLiteral("emulator/mame64"));
        const QStringList order = {"@mame.ini",   "@ini/mame.ini",   "@mame64.ini", "@ini/mame64.ini",
                                   "@mameui.ini", "@ini/mameui.ini", "@hbmame.ini", "@ume.ini",
                                   "H:mame.ini",  "H:ume.ini",       "S:mame.ini"};
        for (const QString& candidate : order) {
            f.write(candidate, "rompath roms\n");
        }
        for (const QString& candidate : order) {
            QCOMPARE(FindEmulatorIni(f.state.emulator, f.state.setup), f.place(candidate));
            QVERIFY(QFile::remove(f.place(candidate)));
        }
        QCOMPARE(FindEmulatorIni(f.state.emulator, f.state.setup), QString());
    }

    void nameMatching_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("found");
        QTest::newRow("upper case") << QStringList{"@MAME.INI"} << QStringList{} << "@MAME.INI";
        QTest::newRow("upper case subfolder")
            << QStringList{"@INI/Mame.Ini"} << QStringList{} << "@INI/Mame.Ini";
        QTest::newRow("exact name wins")
            << QStringList{"@MAME.INI", "@mame.ini"} << QStringList{} << "@mame.ini";
        QTest::newRow("folder does not count")
            << QStringList{"@ini/mame.ini"} << QStringList{"@mame.ini", "@MAME.INI"} << "@ini/mame.ini";
        QTest::newRow("own folder before fallbacks")
            << QStringList{"H:mame.ini", "@ume.ini"} << QStringList{} << "@ume.ini";
        QTest::newRow("fallback, any case") << QStringList{"S:Mame.ini"} << QStringList{} << "S:Mame.ini";
        QTest::newRow("nothing") << QStringList{} << QStringList{"@mame.ini"} << "";
    }
    void nameMatching() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(QString, found);
        EmulatorFixture f;
        for (const QString& folder : folders) {
            QDir().mkpath(f.place(folder));
        }
        for (const QString& file : files) {
            f.write(file, "rompath roms\n");
        }
        QCOMPARE(FindEmulatorIni(f.state.emulator, f.state.setup), f.place(found));
    }

    // Expected folders: ini, cfg, nvram and snapshots; "=" is the folder as it was before the read.
    void readsFolders_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("roms");
        QTest::addColumn<QStringList>("folders");
        const auto row = [](const char* name, const char* ini, const QStringList& roms,
                            const QStringList& folders) {
            QTest::newRow(name) << QByteArray(ini) << roms << folders;
        };
        row("every key",
            "# a comment\nrompath roms;/a/arcade;\ninipath .;ini\ncfg_directory /x/cfg\n"
            "nvram_directory nvram\nsnapshot_directory snaps\nother_key x\n",
            {"@roms/", "/a/arcade/"}, {"@ini/", "/x/cfg/", "@nvram/", "@snaps/"});
        row("inipath absolute", "rompath roms\ninipath /x/Ini\n", {"@roms/"}, {"/x/Ini/", "=", "=", "="});
        row("inipath list", "rompath roms\ninipath /x;/y\n", {"@roms/"}, {"@ini/", "=", "=", "="});
        row("empty values give defaults",
            "rompath \ninipath \ncfg_directory \nnvram_directory \nsnapshot_directory \n", {"@roms/"},
            {"@ini/", "@cfg/", "@nvram/", "@snap/"});
        row("rp", "rp /a;/b\n", {"/a/", "/b/"}, {"=", "=", "=", "="});
        row("last line wins", "rompath /a\ncfg_directory /c1\nrp /b\ncfg_directory /c2\n", {"/b/"},
            {"=", "/c2/", "=", "="});
        row("upper case, tab, longer keys, comments and leading blanks not recognised",
            "rompath /r\nROMPATH /a\nrompath\t/b\nrompaths /c\nCfg_Directory /d\ncfg_directory\t/e\n"
            "#cfg_directory /f\n  nvram_directory /g\n",
            {"/r/"}, {"=", "=", "=", "="});
        row("byte-order mark and CR LF", "\xEF\xBB\xBFrompath /a\r\ncfg_directory /c\r\n", {"/a/"},
            {"=", "/c/", "=", "="});
        row("value trimmed", "rompath    /a b \t\r\n", {"/a b/"}, {"=", "=", "=", "="});
        row("environment", "rompath ~/roms;$HOME/more\nsnapshot_directory ${HOME}/snap\n",
            {"/home/tester/roms/", "/home/tester/more/"}, {"=", "=", "=", "/home/tester/snap/"});
    }
    void readsFolders() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, roms);
        QFETCH(QStringList, folders);
        const ScopedEnv home("HOME", "/home/tester");
        EmulatorFixture f;
        presetFolders(f.state);
        const QStringList before = {f.state.emulator.folders.IniFolder, f.state.emulator.folders.CfgFolder,
                                    f.state.emulator.folders.NvramFolder,
                                    f.state.emulator.folders.ImageFolders[1]};
        QStringList expected = f.place(folders);
        for (int i = 0; i < expected.size(); ++i) {
            if (expected[i] == u'=') {
                expected[i] = before[i];
            }
        }
        f.write(QStringLiteral("@mame.ini"), ini);

        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QCOMPARE(f.port.messages.size(), 0);
        const EmulatorFolders& read = f.state.emulator.folders;
        QCOMPARE(read.RomFolders, f.place(roms));
        QCOMPARE((QStringList{read.IniFolder, read.CfgFolder, read.NvramFolder, read.ImageFolders[1]}),
                 expected);
        QCOMPARE(f.state.setup.imageFolderBoxes[1], expected[3]);
        QVERIFY(f.emulator.calls().isEmpty());
    }

    void missingRompathIsReported() {
        EmulatorFixture f;
        presetFolders(f.state);
        const QString ini = f.write(QStringLiteral("@ini/mame.ini"), "cfg_directory /c\nROMPATH /a\n");
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QCOMPARE(f.port.messages.size(), 1);
        QCOMPARE(f.port.messages[0].kind, QStringLiteral("message"));
        QCOMPARE(f.port.messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(f.port.messages[0].text,
                 QStringLiteral("ROMs path could not be read from \"") + ini + "\".");
        QCOMPARE(f.port.messages[0].icon, MessageIcon::Error);
        QCOMPARE(f.state.emulator.folders.RomFolders, QStringList{QStringLiteral("/old/roms/")});
        QCOMPARE(f.state.emulator.folders.CfgFolder, QStringLiteral("/c/"));
    }

    void missingLineKeepsFolderAcrossReads() {
        EmulatorFixture f;
        f.write(QStringLiteral("@mame.ini"), "rompath roms\n");
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QCOMPARE(f.state.emulator.folders.CfgFolder, QString());
        QCOMPARE(f.state.emulator.folders.ImageFolders[1], QString());
        QCOMPARE(f.state.setup.imageFolderBoxes[1], QString());

        f.write(QStringLiteral("@mame.ini"), "rompath /r1\ncfg_directory /c1\n");
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        f.write(QStringLiteral("@mame.ini"), "rompath /r2\n");
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QCOMPARE(f.state.emulator.folders.CfgFolder, QStringLiteral("/c1/"));
        QCOMPARE(f.state.emulator.folders.RomFolders, QStringList{QStringLiteral("/r2/")});
        QVERIFY(f.port.messages.isEmpty());
    }

    // A packaged emulator (its main ini file in a default ini folder) is started from the user's
    // home: every relative folder value, of its ini files and of the images page, resolves there.
    void packagedEmulatorResolvesAgainstHome() {
        EmulatorFixture f;
        const QString home = f.program.makeFolder(QStringLiteral("home"));
        const ScopedEnv scopedHome("HOME", home.chopped(1).toUtf8());  // as a shell gives it
        f.state.emulator.iniFallbackFolders = {home + ".mame/", f.etcFallback()};
        f.program.makeFolder(QStringLiteral("home/.mame/ini"));
        f.program.write(QStringLiteral("home/.mame/mame.ini"),
                        "rompath roms;;/abs\ncfg_directory \"my cfg\"\nnvram_directory nvram\n"
                        "inipath $HOME/.mame/missing;$HOME/.mame/ini;/etc/mame\nsnapshot_directory snap\n");
        f.program.write(QStringLiteral("home/.mame/ui.ini"),
                        "titles_directory titles\ncabinets_directory \"my cabs;x\"\n");
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QVERIFY(f.port.messages.isEmpty());
        const EmulatorFolders& folders = f.state.emulator.folders;
        QCOMPARE(folders.RomFolders, (QStringList{home + "roms/", "/abs/"}));
        QCOMPARE(folders.CfgFolder, home + "my cfg/");
        QCOMPARE(folders.NvramFolder, home + "nvram/");
        QCOMPARE(folders.IniFolder, home + ".mame/ini/");  // the first entry that is a folder
        QCOMPARE(folders.FolderOfType(ImageSnap), home + "snap/");
        QVERIFY(ReadUiIni(f.state.emulator, f.state.setup));
        QCOMPARE(folders.FolderOfType(ImageTitle), home + "titles/");
        QCOMPARE(folders.FolderOfType(ImageCabinet), home + "my cabs/");
        // The images page's boxes alike.
        f.state.setup.imageFolderBoxes[2] = QStringLiteral("marquees");
        ApplyImageFolders(f.state.emulator, f.state.setup);
        QCOMPARE(folders.FolderOfType(ImageMarquee), home + "marquees/");
        for (const QString& folder : folders.RomFolders + QStringList{folders.CfgFolder, folders.IniFolder}) {
            QVERIFY2(!folder.startsWith(f.emulatorFolder()), qPrintable(folder));
        }
    }

    // A list of ini folders none of which exists gives "ini"; the emulator's own main ini file keeps
    // the emulator's folder for relative values and a list always gives "ini".
    void iniPathLists_data() {
        QTest::addColumn<bool>("packaged");
        QTest::addColumn<QString>("expected");  // "~" stands for the home folder, "@" the emulator's
        QTest::newRow("packaged, none exists") << true << "~ini/";
        QTest::newRow("own folder") << false << "@ini/";
    }
    void iniPathLists() {
        QFETCH(bool, packaged);
        QFETCH(QString, expected);
        EmulatorFixture f;
        const QString home = f.program.makeFolder(QStringLiteral("home"));
        const ScopedEnv scopedHome("HOME", home.chopped(1).toUtf8());  // as a shell gives it
        f.program.makeFolder(QStringLiteral("emulator/ini2"));
        f.state.emulator.iniFallbackFolders = {home + ".mame/"};
        f.write(packaged ? QStringLiteral("H:x") : QStringLiteral("@x"), "");
        f.program.write(
            packaged ? QStringLiteral("home/.mame/mame.ini") : QStringLiteral("emulator/mame.ini"),
            "rompath roms\ninipath /nowhere;ini2\n");
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        expected.replace(u'~', home).replace(u'@', f.emulatorFolder());
        QCOMPARE(f.state.emulator.folders.IniFolder, expected);
    }

    // Where the emulator's own folder may not be written (judged by its bits, not by who runs the
    // test), -createconfig runs in $HOME/.mame/, made when missing, where the search finds the file.
    void createConfigGoesHomeWhenTheFolderIsReadOnly() {
        EmulatorFixture f;
        const QString home = f.program.makeFolder(QStringLiteral("home"));
        const ScopedEnv scopedHome("HOME", home.chopped(1).toUtf8());  // as a shell gives it
        f.state.emulator.iniFallbackFolders = {home + ".mame/"};
        f.emulator.set("CREATECONFIG", f.program.write(QStringLiteral("template.ini"), "rompath roms\n"));
        QFile::setPermissions(f.emulatorFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
        QVERIFY(!isFolderWritable(f.emulatorFolder()));
        f.port.answers.enqueue(true);
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QFile::setPermissions(f.emulatorFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(QFile::exists(home + ".mame/mame.ini"));
        QVERIFY(!QFile::exists(f.emulatorFolder() + "mame.ini"));
        QCOMPARE(f.state.emulator.folders.RomFolders, QStringList{home + "roms/"});
    }

    void noEmulatorChangesNothing_data() {
        QTest::addColumn<QString>("exe");
        QTest::newRow("missing") << "@gone";
        QTest::newRow("folder") << "@";
    }
    void noEmulatorChangesNothing() {
        QFETCH(QString, exe);
        EmulatorFixture f;
        f.write(QStringLiteral("@mame.ini"), "rompath /new\n");
        f.state.setup.mameExecutableFile = f.place(exe);
        presetFolders(f.state);
        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QVERIFY(f.port.messages.isEmpty());
        QCOMPARE(f.state.emulator.folders.RomFolders, QStringList{QStringLiteral("/old/roms/")});
        QVERIFY(f.emulator.calls().isEmpty());
    }

    void createConfigQuestion_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("emulatorCreatesIni");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("roms");
        QTest::newRow("no") << QList<bool>{false} << true << 1 << QStringList{"/old/roms/"};
        QTest::newRow("yes, ini created") << QList<bool>{true} << true << 1 << QStringList{"/made/"};
        QTest::newRow("yes, nothing created, then no")
            << QList<bool>{true, false} << false << 2 << QStringList{"/old/roms/"};
    }
    void createConfigQuestion() {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, emulatorCreatesIni);
        QFETCH(int, questions);
        QFETCH(QStringList, roms);
        EmulatorFixture f;
        TempProgramFolder elsewhere;
        if (emulatorCreatesIni) {
            f.emulator.set("CREATECONFIG",
                           f.program.write(QStringLiteral("template.txt"), "rompath /made\n"));
        }
        presetFolders(f.state);
        for (const bool answer : answers) {
            f.port.answers.enqueue(answer);
        }
        QDir::setCurrent(elsewhere.path());

        ReadEmulatorIni(f.state.emulator, f.state.setup, f.port, f.runs);
        QCOMPARE(f.port.messages.size(), questions);
        for (const FakeDialogPort::Message& message : f.port.messages) {
            QCOMPARE(message.kind, QStringLiteral("question"));
            QCOMPARE(message.caption, QStringLiteral("Error"));
            QCOMPARE(message.text, kCreateQuestion);
            QCOMPARE(message.icon, MessageIcon::Exclamation);
        }
        const bool ran = answers.first();
        QCOMPARE(f.emulator.calls(), ran ? QStringList{QStringLiteral("-createconfig")} : QStringList{});
        QCOMPARE(QFile::exists(f.place(QStringLiteral("@mame.ini"))), ran && emulatorCreatesIni);
        QCOMPARE(f.state.emulator.folders.RomFolders, roms);
        QCOMPARE(f.state.emulator.folders.CfgFolder, QStringLiteral("/old/cfg/"));
        if (ran) {
            QCOMPARE(currentFolder(), f.program.path());
        }
    }
};

KESTRUM_REGISTER_TEST(EmulatorIniTest)
#include "tst_emulatorini.moc"
