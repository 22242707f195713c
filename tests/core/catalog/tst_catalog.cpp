#include "TestMain.h"
#include "catalog/FileTypes.h"
#include "catalog/SetupChoices.h"

#include <QTest>

class CatalogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each image category has its archive; the other types and numbers outside the table none.
    void archiveNames_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("archive");
        QTest::newRow("ROM sets") << int(GameROMs) << "";
        QTest::newRow("nvram") << int(GameNVRAM) << "";
        QTest::newRow("first image") << int(ImageTitle) << "titles.zip";
        QTest::newRow("snap") << int(ImageSnap) << "snap.zip";
        QTest::newRow("artwork") << int(ImageGameArtwork) << "artpreview.zip";
        QTest::newRow("last image") << int(ImageSelect) << "select.zip";
        QTest::newRow("past the table") << kFileTypeCount << "";
        QTest::newRow("negative") << -1 << "";
    }
    void archiveNames() {
        QFETCH(int, type);
        QFETCH(QString, archive);
        QCOMPARE(ArchiveName(type), archive);
    }

    // Exactly marquee, flyer, cabinet, control panel, software cover and PCB images may be .jpg.
    void jpgTypes() {
        QList<int> jpg;
        for (int type = -1; type <= kFileTypeCount; ++type) {
            if (AcceptsJpg(type)) {
                jpg.append(type);
            }
        }
        QCOMPARE(jpg, (QList<int>{ImageMarquee, ImageFlyer, ImageCabinet, ImageControlPanel,
                                  ImageSoftwareCover, ImagePCB}));
        // The captions of the file types page say the same.
        for (int type = 0; type < kFileTypeCount; ++type) {
            QCOMPARE(QByteArray(FileTypeTable[type].caption).contains(".jpg"), AcceptsJpg(type));
        }
    }

    void actionNames() {
        QStringList names;
        for (int operation = -1; operation <= kOperationCount; ++operation) {
            names.append(ActionName(OperationMode(operation)));
        }
        QCOMPARE(names, (QStringList{"", "Delete Files", "Rename Files", "Restore Files ",
                                     "Delete Renamed Files", "Move Files", ""}));
    }
};

KESTRUM_REGISTER_TEST(CatalogTest)
KESTRUM_TEST_MAIN
#include "tst_catalog.moc"
