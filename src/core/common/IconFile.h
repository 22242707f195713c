#pragma once

#include <QByteArrayView>
#include <QList>

// The directory of an .ico file, read from its own bytes: Qt's reader turns 16- and 24-bit images
// into 32-bit ones, so the colour depth must come from the file.
struct IconImageInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // from the stored image itself when the directory leaves it out
};
// The images in stored order; empty for bytes that are not an icon file.
QList<IconImageInfo> iconImages(QByteArrayView file);
// The first image in stored order of the given size at 32 bits per pixel, or -1.
int pickIconImage(QByteArrayView file, int width, int height);
