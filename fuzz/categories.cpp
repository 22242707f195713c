// Category files (catver.ini and category.ini layouts), their captions and the non-arcade list.
#include "FuzzSupport.h"

#include "common/Text.h"
#include "gamesdb/Categories.h"

#include <QHash>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const CategoryMap map = buildCategoryMap(bytes);

    // Every name finds the category of its last entry, whatever the letter case of A-Z.
    QHash<QByteArray, QByteArray> expected;
    for (const auto& [name, category] : map.entries()) {
        expected.insert(AsciiLowerCase(name), category);
    }
    for (const auto& [name, category] : map.entries()) {
        FUZZ_CHECK(map.lookup(name) == expected.value(AsciiLowerCase(name)));
        FUZZ_CHECK(map.lookup(AsciiUpperCase(name)) == map.lookup(name));
    }
    FUZZ_CHECK(map.lookup("\x01not a game\x02").isEmpty() || expected.contains("\x01not a game\x02"));

    const QStringList captions = categoryCaptions(map);
    FUZZ_CHECK(captions.size() <= map.size());
    FUZZ_CHECK(map.size() == 0 || !captions.isEmpty());

    const NonArcadeList nonArcade = NonArcadeList::fromBytes(bytes);
    for (const QByteArrayView line : splitLines(bytes)) {
        FUZZ_CHECK(nonArcade.contains(line));
    }
    return 0;
}
