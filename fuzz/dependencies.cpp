// listdeps.txt: its reader on any bytes, and the file the -listxml scan writes for any output,
// which its reader must always take back.
#include "FuzzSupport.h"

#include "gamesdb/DependencyFile.h"
#include "gamesdb/ListXmlScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = fuzzsupport::bytesOf(data, size);

    // The bytes as the body of a file tied to a list, so that the reader gets past the first line.
    const QByteArray file = QByteArray("KESTRUM-DEPS 1\t-1\t42\n") + bytes.toByteArray();
    if (const auto table = readDependencies(file, "-1", 42)) {
        for (auto it = table->cbegin(); it != table->cend(); ++it) {
            FUZZ_CHECK(!it.key().isEmpty());
            for (const QString& device : it->devices) {
                FUZZ_CHECK(!device.isEmpty());
            }
        }
    }
    FUZZ_CHECK(!readDependencies(file, "-1", 43));
    FUZZ_CHECK(!readDependencies(file, "-2", 42));

    // The bytes as emulator output: what the scan gathers reads back whole, each machine once
    // and never needing itself.
    QByteArray games;
    DependencyCollector needs;
    ScanListXml(bytes, games, &needs);
    const QByteArray written = needs.fileBytes("-1", 42);
    const auto table = readDependencies(written, "-1", 42);
    FUZZ_CHECK(table);
    FUZZ_CHECK(table->size() <= written.count('\n') - 1);  // two names may decode alike
    for (auto it = table->cbegin(); it != table->cend(); ++it) {
        FUZZ_CHECK(!it->devices.contains(it.key()));
        FUZZ_CHECK(it->romOf != it.key());
        FUZZ_CHECK(!it->romOf.isEmpty() || !it->devices.isEmpty());
    }
    return 0;
}
