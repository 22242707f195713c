// The version resource of a Windows executable, read from its bytes and from the file.
#include "FuzzSupport.h"

#include "common/VersionResource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = fuzzsupport::bytesOf(data, size);
    const auto fixed = readFixedFileVersion(bytes);
    for (const char* key : {"FileVersion", "ProductVersion", "ProductName", "CompanyName", "f"}) {
        (void)readVersionString(bytes, QString::fromLatin1(key));
    }
    FUZZ_CHECK(readVersionString(bytes, QString()).isEmpty());

    // The path functions map the file and read the same bytes.
    const QString path = fuzzsupport::processFolder() + QStringLiteral("emulator.exe");
    fuzzsupport::writeFile(path, bytes);
    const QString version = FileVersionText(path, false);
    FUZZ_CHECK(version.isEmpty() == !fixed.has_value());
    if (fixed) {
        FUZZ_CHECK(version == QString::asprintf("%u.%u.%u.%u", fixed->mostSignificant >> 16,
                                                fixed->mostSignificant & 0xFFFF,
                                                fixed->leastSignificant >> 16,
                                                fixed->leastSignificant & 0xFFFF));
    }
    FUZZ_CHECK(VersionInfoString(path, QStringLiteral("FileVersion")) ==
               readVersionString(bytes, QStringLiteral("FileVersion")));
    return 0;
}
