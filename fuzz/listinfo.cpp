// The -listinfo scanner and the -listdetails driver table. The input is the -listinfo output, then
// after its first NUL byte the -listdetails output.
#include "FuzzSupport.h"

#include "gamesdb/ListInfoScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input = fuzzsupport::bytesOf(data, size);
    const qsizetype nul = input.indexOf('\0');
    const QByteArrayView info = nul < 0 ? input : input.first(nul);
    const QByteArrayView details = nul < 0 ? QByteArrayView() : input.sliced(nul + 1);

    const QHash<QByteArray, QByteArray> drivers = driverTable(details);
    for (auto it = drivers.cbegin(); it != drivers.cend(); ++it) {
        FUZZ_CHECK(it.key().size() <= 8 && it.value().size() <= 10);
    }
    QByteArray out;
    qint64 calls = 0;
    qint64 lastSeen = -2;
    const qint64 games = ScanListInfo(info, drivers, out, [&](qint64 index, qint64 last) {
        FUZZ_CHECK(index == calls && index <= last);
        FUZZ_CHECK(lastSeen == -2 || lastSeen == last);
        lastSeen = last;
        ++calls;
    });
    FUZZ_CHECK(games >= 0 && games <= calls);
    FUZZ_CHECK((games == 0) == out.isEmpty());
    return 0;
}
