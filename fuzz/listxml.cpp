// The -listxml scanner on any bytes, and the line splitting of the file it reads in blocks.
#include "FuzzSupport.h"

#include "common/Lines.h"
#include "common/Text.h"
#include "gamesdb/ListXmlScanner.h"

#include <QList>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// The lines ParseListXml's block reader gives for the bytes, read back from a file in blocks of
// `blockSize` bytes (the program uses 1 MB blocks; small ones make every block edge come up).
QList<QByteArray> linesReadInBlocks(QByteArrayView bytes, size_t blockSize) {
    const int fd = ::memfd_create("listxml", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + at, size_t(bytes.size() - at));
        FUZZ_CHECK(written > 0);
        at += written;
    }
    FUZZ_CHECK(::lseek(fd, 0, SEEK_SET) == 0);
    QList<QByteArray> lines;
    qint64 lastRead = 0;
    const bool read = forEachLineOfFile(
        fd, [&lines](QByteArrayView line) { lines.append(line.toByteArray()); },
        [&lastRead](qint64 bytesRead) {
            FUZZ_CHECK(bytesRead >= lastRead);
            lastRead = bytesRead;
        },
        blockSize);
    ::close(fd);
    FUZZ_CHECK(read);
    FUZZ_CHECK(lastRead == bytes.size() || bytes.isEmpty());
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView xml = fuzzsupport::bytesOf(data, size);

    QByteArray out;
    const qint64 games = ScanListXml(xml, out);
    FUZZ_CHECK(games >= 0);
    FUZZ_CHECK((games == 0) == out.isEmpty());
    FUZZ_CHECK(out.isEmpty() || out.endsWith("\r\n"));

    // The scan of the whole text and the scan of the file see the same lines: the file is split
    // in blocks, a CR LF may straddle two of them and a byte-order mark is skipped only at its start.
    QList<QByteArray> whole;
    forEachLine(skipUtf8Bom(xml), [&whole](QByteArrayView line) { whole.append(line.toByteArray()); });
    FUZZ_CHECK(linesReadInBlocks(xml, 4 + size % 61) == whole);
    return 0;
}
