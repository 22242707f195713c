// The update: renames keep the stored bytes, replacements by exact name, and refused changes.
#include "TestMain.h"
#include "ZipOracles.h"
#include "processing/zip/ZipArchive.h"
#include "processing/zip/ZipIo.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace ziptest;

namespace {

Made entry(const char* name, const QByteArray& data, const QByteArray& extra = {}) {
    return {QString::fromUtf8(name), data, false, extra, false};
}

// An extended timestamp field, then an Info-ZIP Unicode Path field naming "b.png".
const QByteArray kTimeAndUnicodePath = QByteArray::fromHex(
                                           "555405000100000000"
                                           "75700a00"
                                           "01"
                                           "00000000") +
                                       "b.png";

}  // namespace

class ZipUpdateTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;
    ArchiveFacts m_before;

    void make(const QList<Made>& entries) {
        m_path = m_dir.filePath(QStringLiteral("snap.zip"));
        QCOMPARE(makeWithPython(m_path, entries), QString());
        m_before = readWithPython(m_path);
        QVERIFY(m_before.error.isEmpty());
    }

private Q_SLOTS:
    void init() { zip_testing::reset(); }

    void renameAndRestoreKeepTheStoredName() {
        make({entry("PACMAN.PNG", "pac"), entry("sub/Pac.png", "sub"), entry("ñandú.png", "utf"),
              entry("b.png", "bee", kTimeAndUnicodePath), entry("c.png", "sea", kTimeAndUnicodePath)});
        const QByteArray original = readFile(m_path);
        ZipArchive archive;
        archive.open(m_path);
        archive.beginUpdate();
        archive.renameEntry(QStringLiteral("pacman.png"));
        archive.renameEntry(QStringLiteral("pac.PNG"));
        archive.renameEntry(QStringLiteral("ñandú.png"));
        archive.renameEntry(QStringLiteral("B.png"));
        archive.commitUpdate();
        verifyArchive(m_path, expectedAfter(m_before,
                                            {{"PACMAN.PNG", "PACMAN.PNG.krm"},
                                             {"sub/Pac.png", "sub/Pac.png.krm"},
                                             {"ñandú.png", "ñandú.png.krm"},
                                             {"b.png", "b.png.krm"}},
                                            {}));
        QCOMPARE(archive.names(), QStringList({QStringLiteral("PACMAN.PNG.krm"),
                                               QStringLiteral("Pac.png.krm"), QStringLiteral("ñandú.png.krm"),
                                               QStringLiteral("b.png.krm"), QStringLiteral("c.png")}));
        // The Unicode Path field goes with the rename only; other fields stay.
        const ArchiveFacts after = readWithPython(m_path);
        QCOMPARE(after.entries[3].centralExtras, QList<int>({0x5455}));
        QCOMPARE(after.entries[3].localExtras, QList<int>({0x5455}));
        QCOMPARE(after.entries[4].centralExtras, QList<int>({0x5455, 0x7075}));
        QCOMPARE(after.entries[4].localExtras, QList<int>({0x5455, 0x7075}));

        archive.beginUpdate();
        archive.restoreEntry(QStringLiteral("pacman.png.KRM"));
        archive.restoreEntry(QStringLiteral("pac.png.krm"));
        archive.restoreEntry(QStringLiteral("ñandú.png.krm"));
        archive.commitUpdate();
        // The restored entries are stored as they were before the rename.
        QVERIFY(readFile(m_path).startsWith(original.left(qsizetype(m_before.entries[3].offset))));
        verifyArchive(m_path, expectedAfter(m_before, {{"b.png", "b.png.krm"}}, {}));
    }

    void changeOntoAnExactNameReplacesIt() {
        make({entry("a.png", "A"), entry("a.png.krm", "B"), entry("x.png", "C"), entry("X.PNG.krm", "D"),
              entry("b.png", "E"), entry("b.png.krm", "F"), entry("one/y.png", "G"), entry("Y.PNG", "H")});
        ZipArchive archive;
        archive.open(m_path);
        archive.beginUpdate();
        archive.renameEntry(QStringLiteral("a.png"));       // replaces a.png.krm
        archive.renameEntry(QStringLiteral("x.png"));       // X.PNG.krm differs in case: both stay
        archive.restoreEntry(QStringLiteral("b.png.krm"));  // replaces b.png
        archive.deleteEntry(QStringLiteral("y.png"));       // the first in the directory
        archive.commitUpdate();
        verifyArchive(
            m_path,
            expectedAfter(m_before, {{"a.png", "a.png.krm"}, {"x.png", "x.png.krm"}, {"b.png.krm", "b.png"}},
                          {"a.png.krm", "b.png", "one/y.png"}));
        QCOMPARE(archive.fileCount(), 5);
    }

    void changesThatAreRefused() {
        make({entry("a.png", "A"), entry("a.png.krm", "B"), entry("c.png", "C"), entry("f.png.krm.krm", "D"),
              entry("f.png", "E"), entry("sub/.krm", "F")});
        ZipArchive archive;
        archive.open(m_path);
        QVERIFY_THROWS_EXCEPTION(ZipError, archive.renameEntry(QStringLiteral("c.png")));  // no update begun
        archive.beginUpdate();
        auto refused = [&](const std::function<void()>& change, const char* why) {
            try {
                change();
            } catch (const ZipError& error) {
                QVERIFY2(error.message().startsWith(m_path + QStringLiteral(": ")),
                         qPrintable(error.message()));
                return;
            }
            QFAIL(why);
        };
        refused([&] { archive.renameEntry(QStringLiteral("none.png")); }, "renamed a missing entry");
        refused([&] { archive.deleteEntry(QStringLiteral("none.png")); }, "deleted a missing entry");
        refused([&] { archive.restoreEntry(QStringLiteral("c.png")); }, "restored a name without .krm");
        refused([&] { archive.restoreEntry(QStringLiteral(".krm")); }, "restored a name that would be empty");
        archive.renameEntry(QStringLiteral("a.png"));  // replaces a.png.krm
        refused([&] { archive.renameEntry(QStringLiteral("a.png")); }, "renamed an entry twice");
        refused([&] { archive.deleteEntry(QStringLiteral("A.PNG")); }, "deleted a renamed entry");
        refused([&] { archive.deleteEntry(QStringLiteral("a.png.krm")); }, "deleted a replaced entry");
        archive.restoreEntry(QStringLiteral("f.png.krm.krm"));
        refused([&] { archive.renameEntry(QStringLiteral("f.png")); }, "gave two entries one name");
        archive.commitUpdate();
        verifyArchive(
            m_path,
            expectedAfter(m_before, {{"a.png", "a.png.krm"}, {"f.png.krm.krm", "f.png.krm"}}, {"a.png.krm"}));
    }
};

KESTRUM_REGISTER_TEST(ZipUpdateTest)
#include "tst_zipupdate.moc"
