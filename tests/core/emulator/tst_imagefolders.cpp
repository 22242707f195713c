#include "EmulatorFixture.h"
#include "TestMain.h"
#include "app/Settings.h"
#include "emulator/EmulatorIni.h"

#include <QFile>
#include <QTest>

namespace {

// The Images keys and default folders, rows 0 to 16.
const QStringList kKeys = {"titles_directory", "snapshot_directory", "marquees_directory",
                           "flyers_directory", "cabinets_directory", "cpanels_directory",
                           "covers_directory", "pcbs_directory",     "artwork_preview_directory",
                           "ends_directory",   "bosses_directory",   "logos_directory",
                           "scores_directory", "versus_directory",   "gameover_directory",
                           "howto_directory",  "select_directory"};
const QStringList kDefaults = {"titles", "snap",   "marquees",   "flyers", "cabinets", "cpanel",
                               "covers", "pcb",    "artpreview", "ends",   "bosses",   "logo",
                               "scores", "versus", "gameover",   "howto",  "select"};

void presetBoxes(AppState& state) {
    for (int row = 0; row < kImageCategoryCount; ++row) {
        state.setup.imageFolderBoxes[row] = QStringLiteral("old%1").arg(row);
        state.emulator.folders.ImageFolders[row] = QStringLiteral("/old/%1/").arg(row);
    }
}

}  // namespace

class ImageFoldersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readUiIniValues_data() {
        QTest::addColumn<QByteArray>("ui");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* name, const char* ui, int row, const char* box, const char* folder) {
            QTest::newRow(name) << QByteArray(ui) << row << QString::fromUtf8(box)
                                << QString::fromUtf8(folder);
        };
        row("cabinets before semicolon", "cabinets_directory cabinets;cabdevs\n", 4, "cabinets",
            "@cabinets/");
        row("artwork default pair", "artwork_preview_directory \"artwork preview;artpreview\"", 8,
            "artpreview", "@artpreview/");
        row("artwork default pair, any case", "artwork_preview_directory \"ArtWork PREVIEW;ArtPreview\"", 8,
            "artpreview", "@artpreview/");
        row("artwork after semicolon", "artwork_preview_directory a;b\"", 8, "b", "@b/");
        row("artwork quoted pair", "artwork_preview_directory \"/x;/y\"", 8, "/y", "/y/");
        row("artwork nothing after semicolon", "artwork_preview_directory a;", 8, "", "");
        row("artwork single folder", "artwork_preview_directory /art", 8, "/art", "/art/");
        // The emulator writes a value with a blank in quotes: one pair of them goes, before any rule.
        row("other keys unquoted", "titles_directory \"t;u\"", 0, "t;u", "@t;u/");
        row("quoted value with a blank", "flyers_directory \"/media/x y/flyers\"", 3, "/media/x y/flyers",
            "/media/x y/flyers/");
        row("quoted cabinets before semicolon", "cabinets_directory \"my cabs;cabdevs\"", 4, "my cabs",
            "@my cabs/");
        row("a lone quote stays", "logos_directory \"logo", 11, "\"logo", "@\"logo/");
        row("empty gives default", "marquees_directory \n", 2, "marquees", "@marquees/");
        row("empty pcbs", "pcbs_directory   \r\n", 7, "pcb", "@pcb/");
        row("empty artwork", "artwork_preview_directory ", 8, "artpreview", "@artpreview/");
        row("snapshot key ignored", "snapshot_directory /snaps\n", 1, "old1", "@old1/");
        row("box without line kept", "titles_directory /t\n", 16, "old16", "@old16/");
        row("last row", "select_directory /sel\n", 16, "/sel", "/sel/");
        row("last line wins", "titles_directory /a\ntitles_directory /b\n", 0, "/b", "/b/");
        row("upper case key", "TITLES_DIRECTORY /a\n", 0, "old0", "@old0/");
        row("byte-order mark", "\xEF\xBB\xBFtitles_directory /t\n", 0, "/t", "/t/");
        row("environment", "flyers_directory $HOME/flyers\n", 3, "$HOME/flyers", "/home/tester/flyers/");
    }
    void readUiIniValues() {
        QFETCH(QByteArray, ui);
        QFETCH(int, row);
        QFETCH(QString, box);
        QFETCH(QString, folder);
        const ScopedEnv home("HOME", "/home/tester");
        EmulatorFixture f;
        presetBoxes(f.state);
        f.write(QStringLiteral("@ui.ini"), ui);
        QVERIFY(ReadUiIni(f.state.emulator, f.state.setup));
        QCOMPARE(f.state.setup.imageFolderBoxes[row], box);
        QCOMPARE(f.state.emulator.folders.ImageFolders[row], f.place(folder));
    }

    void readUiIniLocation_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("title");
        QTest::newRow("emulator folder") << QStringList{"@ui.ini", "@ini/ui.ini", "H:ui.ini"} << "@ui.ini";
        QTest::newRow("ini subfolder") << QStringList{"@ini/ui.ini", "H:ui.ini"} << "@ini/ui.ini";
        QTest::newRow("first fallback") << QStringList{"H:ui.ini", "S:ui.ini"} << "H:ui.ini";
        QTest::newRow("second fallback") << QStringList{"S:ui.ini"} << "S:ui.ini";
        QTest::newRow("any case") << QStringList{"@UI.INI"} << "@UI.INI";
        QTest::newRow("not found") << QStringList{} << "";
    }
    void readUiIniLocation() {
        QFETCH(QStringList, files);
        QFETCH(QString, title);
        EmulatorFixture f;
        presetBoxes(f.state);
        QDir().mkpath(f.place(QStringLiteral("@ini/UI.ini")));  // a folder never counts
        for (const QString& file : files) {
            // Each file names itself as the titles folder.
            f.write(file, "titles_directory " + f.place(file).toUtf8() + "\n");
        }
        QCOMPARE(ReadUiIni(f.state.emulator, f.state.setup), !title.isEmpty());
        if (title.isEmpty()) {
            QCOMPARE(f.state.setup.imageFolderBoxes[0], QStringLiteral("old0"));
            QCOMPARE(f.state.emulator.folders.ImageFolders[0], QStringLiteral("/old/0/"));
        } else {
            QCOMPARE(f.state.setup.imageFolderBoxes[0], f.place(title));
            QCOMPARE(f.state.emulator.folders.ImageFolders[0], f.place(title) + u'/');
        }
    }

    // Without Kestrum.ini every box keeps its text, the snapshot folder of mame.ini included.
    void loadImageFolders_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("no settings file") << QByteArray();
        QTest::newRow("no Images section")
            << QByteArray("[Settings]\r\nMAMEExecutableFile=/usr/games/mame\r\n");
        QTest::newRow("Images section") << QByteArray(
            "[Settings]\r\ntitles_directory=/wrong\r\n[Images]\r\ntitles_directory=/t\r\n"
            "snapshot_directory=\r\nSELECT_DIRECTORY=sel\r\n");
    }
    void loadImageFolders() {
        QFETCH(QByteArray, settings);
        EmulatorFixture f;
        presetBoxes(f.state);
        f.state.setup.imageFolderBoxes[1] = QStringLiteral("/from/mame.ini/snap/");
        const auto before = f.state.emulator.folders.ImageFolders;
        if (!settings.isNull()) {
            f.program.write(QStringLiteral("Kestrum.ini"), settings);
        }
        LoadImageFolders(f.state.emulator, f.state.setup);
        for (int row = 0; row < kImageCategoryCount; ++row) {
            if (settings.isNull()) {
                QCOMPARE(f.state.setup.imageFolderBoxes[row],
                         row == 1 ? "/from/mame.ini/snap/" : "old" + QString::number(row));
                QCOMPARE(f.state.emulator.folders.ImageFolders[row], before[row]);
                continue;
            }
            const bool withImages = settings.contains("[Images]");
            const QString expected = withImages && row == 0    ? QStringLiteral("/t")
                                     : withImages && row == 16 ? QStringLiteral("sel")
                                                               : kDefaults[row];
            QCOMPARE(f.state.setup.imageFolderBoxes[row], expected);
            QCOMPARE(f.state.emulator.folders.ImageFolders[row],
                     (expected.startsWith(u'/') ? expected : f.emulatorFolder() + expected) + u'/');
        }
    }

    // The settings file carries the images page's folders last, empty boxes as their defaults.
    void settingsEndWithTheImagesSection() {
        EmulatorFixture f;
        f.state.emulator.ImageFoldersFromUiIni = true;
        QVERIFY(SaveSettings(f.state));
        const QByteArray withoutImages = f.program.read(QStringLiteral("Kestrum.ini"));
        QVERIFY(!withoutImages.contains("[Images]"));

        f.state.emulator.ImageFoldersFromUiIni = false;
        f.state.setup.imageFolderBoxes[0] = QStringLiteral("/t");
        f.state.setup.imageFolderBoxes[8] = QStringLiteral("/art \u00e9");  // written as UTF-8
        QVERIFY(SaveSettings(f.state));
        QByteArray expected = withoutImages + "[Images]\r\n";
        for (int row = 0; row < kImageCategoryCount; ++row) {
            const QString value = row == 0   ? QStringLiteral("/t")
                                  : row == 8 ? QStringLiteral("/art \u00e9")
                                             : kDefaults[row];
            expected += kKeys[row].toLatin1() + '=' + value.toUtf8() + "\r\n";
        }
        QCOMPARE(f.program.read(QStringLiteral("Kestrum.ini")), expected);

        // What was saved comes back.
        f.state.setup.imageFolderBoxes = {};
        LoadImageFolders(f.state.emulator, f.state.setup);
        QCOMPARE(f.state.setup.imageFolderBoxes[0], QStringLiteral("/t"));
        QCOMPARE(f.state.setup.imageFolderBoxes[1], QStringLiteral("snap"));
        QCOMPARE(f.state.setup.imageFolderBoxes[8], QStringLiteral("/art \u00e9"));
    }

    void checkImageFolderEdit_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("refusedAs");
        const auto row = [](const char* name, int row, const char* box, const char* refusedAs) {
            QTest::newRow(name) << row << QString::fromUtf8(box) << QString::fromUtf8(refusedAs);
        };
        row("zip, upper case", 1, "/x/snap.ZIP", "SnapDir");
        row("zip, relative", 0, "titles.zip", "TitleDir");
        row("only the extension", 8, ".Zip", "GameArtworkDir");
        row("last row", 16, "select.zip", "SelectDir");
        row("zip folder with separator", 1, "/x/snap.zip/", "");
        row("empty", 1, "", "");
        row("zip without dot", 4, "/x/zip", "");
        row("longer extension", 4, "/x/a.zipx", "");
        row("short", 4, "zip", "");
    }
    void checkImageFolderEdit() {
        QFETCH(int, row);
        QFETCH(QString, box);
        QFETCH(QString, refusedAs);
        AppState state;
        FakeDialogPort port;
        state.setup.imageFolderBoxes[row] = box;
        QCOMPARE(CheckImageFolderEdit(state.setup, port, row), refusedAs.isEmpty());
        if (refusedAs.isEmpty()) {
            QVERIFY(port.messages.isEmpty());
        } else {
            QCOMPARE(port.messages.size(), 1);
            QCOMPARE(port.messages[0].kind, QStringLiteral("message"));
            QCOMPARE(port.messages[0].caption, QStringLiteral("Invalid folder [") + refusedAs + u']');
            QCOMPARE(port.messages[0].text, QStringLiteral("You must select a folder, not a .zip file."));
            QCOMPARE(port.messages[0].icon, MessageIcon::Warning);
        }
    }
};

KESTRUM_REGISTER_TEST(ImageFoldersTest)
#include "tst_imagefolders.moc"
