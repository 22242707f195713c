// A commit that keeps the entries it deletes: they go, byte for byte, into an archive of their own,
// written in the same pass; when that archive cannot be written the commit does not happen.
#include "TestMain.h"
#include "ZipOracles.h"
#include "processing/zip/ZipArchive.h"
#include "processing/zip/ZipIo.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ziptest;

namespace {

const QList<Made> kEntries = {
    {QStringLiteral("a.png"), QByteArray("alpha ").repeated(300), false, {}, false},
    {QStringLiteral("b.png"), QByteArray("bravo ").repeated(300), false, {}, false},
    {QStringLiteral("c.png"), "charlie", true, {}, false},
    {QStringLiteral("d.png"), QByteArray("delta ").repeated(300), false, {}, false},
    {QStringLiteral("e.png"), QByteArray("echo ").repeated(300), false, {}, false},
};

const QString kRemovedName = QStringLiteral("snap deleted 2026-12-09 14-03.zip");

// Renames a.png, deletes b.png and d.png (and c.png when asked), keeping what it deletes.
void commitKeepingRemoved(const QString& path, const QString& removed, bool deleteAll = false) {
    ZipArchive archive;
    archive.open(path);
    archive.beginUpdate();
    if (deleteAll) {
        for (const Made& entry : kEntries) {
            archive.deleteEntry(entry.name);
        }
    } else {
        archive.renameEntry(QStringLiteral("a.png"));
        archive.deleteEntry(QStringLiteral("b.png"));
        archive.deleteEntry(QStringLiteral("d.png"));
    }
    archive.commitUpdate(removed);
}

}  // namespace

class ZipRemovedTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { zip_testing::reset(); }
    void cleanup() { zip_testing::reset(); }

    // Three readers read both archives as expected, the compressed bytes unchanged; data before
    // the archive, data descriptors and ZIP64 records stay with the archive they belong to.
    void deletedEntriesGoToTheirOwnArchive_data() {
        QTest::addColumn<bool>("streamed");
        QTest::addColumn<bool>("zip64");
        QTest::addColumn<bool>("deleteAll");
        QTest::newRow("plain") << false << false << false;
        QTest::newRow("data before it, data descriptors") << true << false << false;
        QTest::newRow("ZIP64 records") << false << true << false;
        QTest::newRow("every entry deleted") << false << false << true;
    }
    void deletedEntriesGoToTheirOwnArchive() {
        QFETCH(bool, streamed);
        QFETCH(bool, zip64);
        QFETCH(bool, deleteAll);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        const QString removed = dir.filePath(kRemovedName);
        MakeOptions options;
        options.comment = "the archive's own comment";
        if (streamed) {
            options.prefix = "data in front of the archive";
            options.streamed = true;
        }
        QCOMPARE(makeWithPython(path, kEntries, options), QString());
        if (zip64) {
            zip_testing::setZip64Limits(2, 64);
        }
        const ArchiveFacts before = readWithPython(path);
        commitKeepingRemoved(path, removed, deleteAll);
        zip_testing::reset();

        const QSet<QByteArray> all{"a.png", "b.png", "c.png", "d.png", "e.png"};
        const QSet<QByteArray> deleted = deleteAll ? all : QSet<QByteArray>{"b.png", "d.png"};
        verifyArchive(path, expectedAfter(before,
                                          deleteAll ? QHash<QByteArray, QByteArray>()
                                                    : QHash<QByteArray, QByteArray>{{"a.png", "a.png.krm"}},
                                          deleted));
        if (QTest::currentTestFailed()) {
            return;
        }
        ArchiveFacts kept = expectedAfter(before, {}, all - deleted);
        kept.comment.clear();
        verifyArchive(removed, kept);
        QCOMPARE(filesIn(dir.path()), (QStringList{kRemovedName, QStringLiteral("snap.zip")}));
    }

    // Nothing deleted, nothing written; a name already taken stops the commit before it starts.
    void writtenOnlyWhereItBelongs() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        const QString removed = dir.filePath(kRemovedName);
        QCOMPARE(makeWithPython(path, kEntries), QString());
        {
            ZipArchive archive;
            archive.open(path);
            archive.beginUpdate();
            archive.renameEntry(QStringLiteral("a.png"));
            archive.commitUpdate(removed);
        }
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("snap.zip")});

        const QByteArray original = readFile(path);
        writeFile(removed, "someone else's file");
        QVERIFY_THROWS_EXCEPTION(ZipError, commitKeepingRemoved(path, removed));
        QCOMPARE(readFile(path), original);
        QCOMPARE(readFile(removed), QByteArray("someone else's file"));
        QCOMPARE(filesIn(dir.path()), (QStringList{kRemovedName, QStringLiteral("snap.zip")}));
    }

    // Whichever step fails, either both archives are whole or the archive is as it was and the
    // archive of deleted entries is not there.
    void everyFailingStepLeavesBothOrNeither() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.zip"));
        const QString removed = dir.filePath(kRemovedName);
        QCOMPARE(makeWithPython(path, kEntries), QString());
        const QByteArray original = readFile(path);
        const auto commitFailingAt = [&](int call) {
            writeFile(path, original);
            QFile::remove(removed);
            zip_testing::failCall(call);
            try {
                commitKeepingRemoved(path, removed);
            } catch (const ZipError& error) {
                return error.message();
            }
            return QString();
        };
        QCOMPARE(commitFailingAt(0), QString());
        const int calls = zip_testing::callCount();
        const QByteArray committed = readFile(path);
        const QByteArray kept = readFile(removed);
        int failed = 0;
        for (int call = 1; call <= calls; ++call) {
            const QString error = commitFailingAt(call);
            if (error.isEmpty()) {
                QCOMPARE(readFile(path), committed);
                QCOMPARE(readFile(removed), kept);
            } else {
                ++failed;
                QCOMPARE(readFile(path), original);
                QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("snap.zip")});
            }
        }
        QVERIFY(failed > 12);  // the steps of both copies
    }
};

KESTRUM_REGISTER_TEST(ZipRemovedTest)
#include "tst_zipremoved.moc"
