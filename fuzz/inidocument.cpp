// The program's own ini files (Kestrum.ini, the layout files): read, looked up, edited, written.
#include "FuzzSupport.h"

#include "common/IniDocument.h"
#include "common/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = fuzzsupport::bytesOf(data, size);
    IniDocument document = IniDocument::parse(bytes);

    // What a written file holds reads back the same: writing it again gives the same bytes.
    const QByteArray written = document.serialized();
    FUZZ_CHECK(IniDocument::parse(written).serialized() == written);

    // Look-ups of the names the file itself uses, and of the sections the program reads.
    const IniDocument reread = IniDocument::parse(written);
    QByteArrayView section;
    for (const QByteArrayView line : splitLines(written)) {
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.sliced(1, line.size() - 2);
            continue;
        }
        const QByteArrayView key = line.first(line.indexOf('='));
        const auto value = document.value(section, key);
        FUZZ_CHECK(value.has_value());
        FUZZ_CHECK(reread.value(section, key) == value);
        FUZZ_CHECK(document.text(section, key).has_value());
    }
    (void)document.text("Images", "SnapDir");
    (void)document.value("Settings", "Version");

    // Edits where the file stands: a value set is found again, a removed section is gone.
    document.setValue("Layout", "Splitter", "120");
    FUZZ_CHECK(document.value("layout", "splitter") == QByteArray("120"));
    document.removeSection("Images");
    FUZZ_CHECK(!document.value("Images", "SnapDir").has_value());
    const QByteArray edited = document.serialized();
    FUZZ_CHECK(IniDocument::parse(edited).value("Layout", "Splitter") == QByteArray("120"));
    return 0;
}
