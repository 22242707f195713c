#include "IconFile.h"

#include <QtEndian>

namespace {

quint16 read16(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.data() + at);
}
quint32 read32(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

// The bits per pixel an image's own data declares, for a directory entry that leaves them out: a
// BITMAPINFOHEADER's bit count, or a PNG's depth and colour type (8-bit RGBA is 32).
int storedDepth(QByteArrayView image) {
    if (image.size() >= 26 && image.startsWith("\x89PNG\r\n\x1a\n")) {
        const int depth = static_cast<unsigned char>(image[24]);
        const int colourType = static_cast<unsigned char>(image[25]);
        const int channels = colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
        return depth * channels;
    }
    return image.size() >= 16 ? read16(image, 14) : 0;
}

}  // namespace

QList<IconImageInfo> iconImages(QByteArrayView file) {
    if (file.size() < 6 || read16(file, 0) != 0 || read16(file, 2) != 1) {
        return {};
    }
    const int count = read16(file, 4);
    if (file.size() < 6 + 16 * qsizetype(count)) {
        return {};
    }
    QList<IconImageInfo> images;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * qsizetype(i);
        IconImageInfo info;
        info.width =
            static_cast<unsigned char>(file[entry]) == 0 ? 256 : static_cast<unsigned char>(file[entry]);
        info.height = static_cast<unsigned char>(file[entry + 1]) == 0
                          ? 256
                          : static_cast<unsigned char>(file[entry + 1]);
        const quint32 size = read32(file, entry + 8);
        const quint32 offset = read32(file, entry + 12);
        const bool inside = offset <= quint32(file.size()) && size <= quint32(file.size()) - offset;
        const QByteArrayView image = inside ? file.sliced(offset, size) : QByteArrayView();
        const int listed = read16(file, entry + 6);  // the directory's own bit count, when it gives one
        info.bitsPerPixel = listed > 0 ? listed : storedDepth(image);
        images.append(info);
    }
    return images;
}

int pickIconImage(QByteArrayView file, int width, int height) {
    const QList<IconImageInfo> images = iconImages(file);
    for (qsizetype i = 0; i < images.size(); ++i) {
        if (images[i].width == width && images[i].height == height && images[i].bitsPerPixel == 32) {
            return int(i);
        }
    }
    return -1;
}
