// ZipArchive on any bytes: open and list; then, on a copy, an update of one entry (renamed, deleted
// or restored), its commit and a second update of what the commit left open. An archive
// that does not open, and a change or commit that fails, raise ZipError and leave the file as it
// was; a commit that succeeds writes an archive that opens again and lists what the open one lists.
#include "FuzzSupport.h"

#include "common/FileOps.h"
#include "common/Text.h"
#include "processing/zip/ZipArchive.h"
#include "processing/zip/ZipIo.h"

namespace {

// The archive at `path`, opened anew from disk: it must open.
QStringList namesOnDisk(const QString& path) {
    ZipArchive archive;
    try {
        archive.open(path);
    } catch (const ZipError& error) {
        std::fprintf(stderr, "a committed archive does not open: %s\n", qPrintable(error.message()));
        std::abort();
    }
    return archive.names();
}

enum class Action { Rename, Delete, Restore };

// One update of the entry `name`; false when it raised ZipError (the file must then be unchanged).
bool update(ZipArchive& archive, const QString& name, Action action) {
    const QString path = archive.path();
    const QByteArray before = readWholeFile(path).value_or(QByteArray());
    const QStringList namesBefore = archive.names();
    try {
        archive.beginUpdate();
        switch (action) {
            case Action::Rename:
                archive.renameEntry(name);
                break;
            case Action::Delete:
                archive.deleteEntry(name);
                break;
            case Action::Restore:
                archive.restoreEntry(name);
                break;
        }
        archive.commitUpdate();
    } catch (const ZipError&) {
        FUZZ_CHECK(readWholeFile(path).value_or(QByteArray()) == before);
        FUZZ_CHECK(!QFile::exists(path + QStringLiteral(".kestrum-tmp")));
        return false;
    }
    FUZZ_CHECK(archive.isOpen());
    FUZZ_CHECK(!QFile::exists(path + QStringLiteral(".kestrum-tmp")));
    FUZZ_CHECK(namesOnDisk(path) == archive.names());
    for (const QString& listed : archive.names()) {
        FUZZ_CHECK(archive.contains(listed));
    }
    if (action == Action::Delete) {
        // The entry found by a name is the first of that name (A-Z folded) in directory order.
        QStringList expected = namesBefore;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            if (AsciiLowerCase(expected[i]) == AsciiLowerCase(name)) {
                expected.removeAt(i);
                break;
            }
        }
        FUZZ_CHECK(archive.names() == expected);
    } else {
        FUZZ_CHECK(archive.fileCount() <= namesBefore.size());
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = fuzzsupport::bytesOf(data, size);
    const QString folder = fuzzsupport::processFolder();
    const QString original = folder + QStringLiteral("archive.zip");
    fuzzsupport::writeFile(original, bytes);

    QStringList names;
    {
        ZipArchive archive;
        try {
            archive.open(original);
        } catch (const ZipError&) {
            FUZZ_CHECK(!archive.isOpen());
            return 0;
        }
        names = archive.names();
        FUZZ_CHECK(archive.fileCount() == names.size());
        for (const QString& name : names) {
            FUZZ_CHECK(archive.contains(name) && archive.contains(AsciiUpperCase(name)));
        }
        archive.close();
        FUZZ_CHECK(!archive.isOpen() && archive.names().isEmpty());
    }
    if (names.isEmpty()) {
        return 0;
    }

    // The input's size picks the change and the ways of writing, so that mutations reach them all:
    // ZIP64 records for any size, and the buffered copy where copy_file_range is refused.
    zip_testing::reset();
    if (size & 2) {
        zip_testing::setZip64Limits(2, 64);
    }
    zip_testing::refuseCopyRange((size & 4) != 0);
    const QString copy = folder + QStringLiteral("copy.zip");
    fuzzsupport::writeFile(copy, bytes);
    ZipArchive archive;
    archive.open(copy);  // the same bytes opened above
    // Delete or rename the first entry, or restore the first whose name ends in ".krm".
    QString name = names.front();
    Action action = size % 3 == 0 ? Action::Delete : Action::Rename;
    if (size % 3 == 2) {
        for (const QString& listed : names) {
            if (listed.endsWith(QStringLiteral(".krm"), Qt::CaseInsensitive)) {
                name = listed;
                action = Action::Restore;
                break;
            }
        }
    }
    if (update(archive, name, action) && !archive.names().isEmpty()) {
        // The archive stays open on what the commit wrote, without reading it back: a second
        // update works from that state. A renamed first entry is restored (it is still the first).
        if (action == Action::Rename && name == names.front()) {
            // Back as it was, unless an entry holding one of the two names was replaced.
            if (update(archive, archive.names().front(), Action::Restore) &&
                archive.fileCount() == names.size()) {
                FUZZ_CHECK(archive.names() == names);
            }
        } else {
            update(archive, archive.names().back(), (size & 8) ? Action::Delete : Action::Rename);
        }
    }
    zip_testing::reset();
    return 0;
}
