// The directory of an .ico file and the pick rule of the game lists' icons.
#include "FuzzSupport.h"

#include "common/IconFile.h"
#include "search/ListIcons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView file = fuzzsupport::bytesOf(data, size);
    const QList<IconImageInfo> images = iconImages(file);
    if (!images.isEmpty()) {
        // As many images as the header counts, each 1 to 256 pixels wide and high.
        FUZZ_CHECK(images.size() == (uchar(file[4]) | (uchar(file[5]) << 8)));
    }
    for (const IconImageInfo& image : images) {
        FUZZ_CHECK(image.width >= 1 && image.width <= 256 && image.height >= 1 && image.height <= 256);
    }

    // pickListIcon reads the file of the icons folder and picks from its bytes.
    static const QString program = [] {
        const QString folder = fuzzsupport::processFolder();
        QDir().mkpath(folder + QStringLiteral("icons"));
        return folder;
    }();
    fuzzsupport::writeFile(iconPath(program, "game_parent"), file);
    for (const int pixels : {16, 24, 32, 48, 64, 256}) {
        const int picked = pickIconImage(file, pixels, pixels);
        FUZZ_CHECK(picked >= -1 && picked < images.size());
        if (picked >= 0) {
            FUZZ_CHECK(images[picked].width == pixels && images[picked].bitsPerPixel == 32);
        }
    }
    FUZZ_CHECK(pickListIcon(program, "game_parent", 16, 16) == pickIconImage(file, 16, 16));
    return 0;
}
