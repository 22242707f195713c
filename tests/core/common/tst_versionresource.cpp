#include "PeBuilder.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "common/VersionResource.h"

#include <QRandomGenerator>
#include <QTest>

class VersionResourceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsFixedVersionAndStrings_data() {
        QTest::addColumn<bool>("pe32Plus");
        QTest::newRow("PE32") << false;
        QTest::newRow("PE32+") << true;
    }
    void readsFixedVersionAndStrings() {
        QFETCH(bool, pe32Plus);
        TempProgramFolder dir;
        PeVersionSpec spec;
        spec.pe32Plus = pe32Plus;
        spec.fileVersion = {0, 185, 3, 7};
        spec.strings = {{"CompanyName", "MAMEdev"}, {"FileVersion", "0.185.3.7"}};
        const QString exe = dir.write("mame64.exe", buildPe(spec));
        QCOMPARE(FileVersionText(exe, true), QStringLiteral("0.185"));
        QCOMPARE(FileVersionText(exe, false), QStringLiteral("0.185.3.7"));
        QCOMPARE(VersionInfoString(exe, "FileVersion"), QStringLiteral("0.185.3.7"));
        QCOMPARE(VersionInfoString(exe, "CompanyName"), QStringLiteral("MAMEdev"));
        QCOMPARE(VersionInfoString(exe, "ProductName"), QString());
        QCOMPARE(VersionInfoString(QString(), "FileVersion"), QString());
    }

    void largeVersionNumbers() {
        TempProgramFolder dir;
        PeVersionSpec spec;
        spec.fileVersion = {65535, 0, 0, 65535};
        const QString exe = dir.write("x.exe", buildPe(spec));
        QCOMPARE(FileVersionText(exe, false), QStringLiteral("65535.0.0.65535"));
    }

    void stringTableOfTheFirstTranslation() {
        TempProgramFolder dir;
        PeVersionSpec spec;
        spec.language = 0x0407;
        spec.codePage = 0x04E4;
        const QByteArray pe = buildPe(spec);
        QCOMPARE(readVersionString(pe, "FileVersion"), QStringLiteral("0.185.0.0"));
        spec.withTranslation = false;
        QCOMPARE(readVersionString(buildPe(spec), "FileVersion"), QString());
    }

    void noResourceGivesEmptyTexts() {
        TempProgramFolder dir;
        PeVersionSpec noFixed;
        noFixed.withFixedInfo = false;
        const QString withoutFixed = dir.write("a.exe", buildPe(noFixed));
        QCOMPARE(FileVersionText(withoutFixed, true), QString());
        QCOMPARE(VersionInfoString(withoutFixed, "FileVersion"), QStringLiteral("0.185.0.0"));

        PeVersionSpec iconOnly;
        iconOnly.withVersionResource = false;
        const QString icons = dir.write("b.exe", buildPe(iconOnly));
        QCOMPARE(FileVersionText(icons, true), QString());
        QCOMPARE(VersionInfoString(icons, "FileVersion"), QString());

        const QString script = dir.write("mame", "#!/bin/sh\necho MAME v0.251\n");
        QCOMPARE(FileVersionText(script, true), QString());
        QCOMPARE(FileVersionText(dir.write("empty.exe", ""), true), QString());
        QCOMPARE(FileVersionText(dir.makeFolder("folder.exe"), true), QString());
        QCOMPARE(FileVersionText(dir.file("missing.exe"), true), QString());
    }

    // A crafted or damaged file must never make the reader crash or read out of bounds.
    void damagedFilesAreSafe() {
        PeVersionSpec spec;
        spec.strings = {{"FileVersion", "1.2.0.0"}};
        const QByteArray pe = buildPe(spec);
        for (qsizetype size = 0; size < pe.size(); ++size) {
            const QByteArray cut = pe.left(size);
            const auto version = readFixedFileVersion(cut);
            if (version) {
                QCOMPARE(version->mostSignificant, quint32(185));
            }
            readVersionString(cut, "FileVersion");
        }
        QRandomGenerator random(20261209);
        for (int round = 0; round < 4000; ++round) {
            QByteArray damaged = pe;
            const int flips = 1 + int(random.bounded(8));
            for (int i = 0; i < flips; ++i) {
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            }
            readFixedFileVersion(damaged);
            readVersionString(damaged, "FileVersion");
        }
        QVERIFY(readFixedFileVersion(pe).has_value());
    }
};

KESTRUM_REGISTER_TEST(VersionResourceTest)
#include "tst_versionresource.moc"
