// Character references of the emulator's texts (titles, manufacturers) and the title rule after them.
#include "FuzzSupport.h"

#include "common/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView text = fuzzsupport::bytesOf(data, size);
    const QByteArray decoded = DecodeCharRefs(text);
    // A reference is never shorter than what it stands for; nothing else is added.
    FUZZ_CHECK(decoded.size() <= text.size());
    QByteArray reused("a buffer used before");
    decodeCharRefsInto(text, reused);
    FUZZ_CHECK(reused == decoded);
    // Without any reference the text only loses its edge blanks.
    if (!text.contains('&')) {
        FUZZ_CHECK(text.contains(decoded));
    }

    // ", The" moved to the front: "The " takes the place of five characters.
    const QByteArray title = NormaliseTitle(decoded, true);
    FUZZ_CHECK(title == decoded || title.size() == decoded.size() - 1);
    FUZZ_CHECK(NormaliseTitle(decoded, false) == decoded);
    return 0;
}
