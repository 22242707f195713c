// The folders the Finish page lists, and where a category's archive is found.
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "catalog/SetupChoices.h"
#include "emulator/EmulatorFolders.h"
#include "processing/SearchFolders.h"

#include <QTest>

namespace {

QStringList shown(const QList<SearchFolderRow>& rows) {
    QStringList texts;
    for (const SearchFolderRow& row : rows) {
        texts.append(row.type + " | " + row.folder + (row.archive ? " [zip]" : ""));
    }
    return texts;
}

}  // namespace

class SearchFoldersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void archiveCandidates() {
        TempProgramFolder dir;
        EmulatorFolders folders;
        folders.ImageFolders[ImageSnap - kFirstImageType] = dir.makeFolder("snap");
        folders.ImageFolders[ImageFlyer - kFirstImageType] = dir.makeFolder("flyers");
        dir.makeFolder("snap/snap.zip");  // a folder is no archive
        QCOMPARE(FindImageArchive(folders, ImageSnap), QString());
        dir.write("snap/snap/snap.zip", "PK");
        QCOMPARE(FindImageArchive(folders, ImageSnap), dir.file("snap/snap/snap.zip"));
        dir.write("flyers/flyers.zip", "PK");
        dir.write("flyers/flyers/flyers.zip", "PK");
        QCOMPARE(FindImageArchive(folders, ImageFlyer),
                 dir.file("flyers/flyers.zip"));                     // the first candidate wins
        QCOMPARE(FindImageArchive(folders, ImageTitle), QString());  // no folder text
        QCOMPARE(FindImageArchive(folders, GameCfg), QString());
    }

    void rowsByOperation() {
        TempProgramFolder dir;
        EmulatorFolders folders;
        folders.RomFolders = {"/roms/", "/more roms/"};
        folders.CfgFolder = "/cfg/";
        folders.NvramFolder = "/nvram/";
        folders.ImageFolders[ImageSnap - kFirstImageType] = dir.makeFolder("snap");
        folders.ImageFolders[ImageGameArtwork - kFirstImageType] = "/artpreview/";
        dir.write("snap/snap.zip", "PK");
        SetupChoices setup;
        setup.fileTypeChecked.fill(false);
        for (const int type : {GameROMs, GameCfg, GameNVRAM, ImageSnap, ImageGameArtwork}) {
            setup.fileTypeChecked[type] = true;
        }
        setup.operation = DeleteFiles;
        QCOMPARE(shown(BuildSearchFolders(setup, folders)),
                 (QStringList{"ROMs Folders | /roms/", " | /more roms/", "Game CFG Folder | /cfg/",
                              "Game NVRAM Folder | /nvram/",
                              "Game Snapshot Folder | " + dir.file("snap/") + " [zip]",
                              "Game Artwork Folder | /artpreview/"}));
        setup.operation = RenameFiles;  // cfg, ini and nvram are deleted only
        QCOMPARE(BuildSearchFolders(setup, folders).size(), 4);

        setup.operation = MoveFiles;
        setup.fileTypeChecked[GameROMs] = false;
        setup.moveFilesToFolder = "/keep";
        QCOMPARE(shown(BuildSearchFolders(setup, folders)), QStringList{"Folder to Move Files | /keep"});
        setup.fileTypeChecked[GameROMs] = true;
        folders.RomFolders.clear();
        QCOMPARE(BuildSearchFolders(setup, folders).size(), 1);
    }
};

KESTRUM_REGISTER_TEST(SearchFoldersTest)
#include "tst_searchfolders.moc"
