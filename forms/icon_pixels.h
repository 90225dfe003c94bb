#pragma once

#include <QImage>
#include <cstddef>
#include <span>

namespace forms {

// The pixels of the program's icons, compiled into the program: each PNG picture the build draws
// from an icon's SVG file (32 pixels, and 64 pixels for screens scaled to 200 %, "@2x"), read at
// build time by Qt's PNG reader (tools/icon_pixels.cpp) and kept as a pixmap keeps them: alpha
// premultiplied, as Qt's raster pixmaps hold every image with an alpha channel, with the bytes of
// each line and the device pixel ratio the reader set (2 for "@2x"). Making an icon then decodes
// and converts nothing at start-up, and its pixmaps share the compiled-in bytes.
struct IconPicture {
    const char* name; // the icon's name, "spara"
    int width;
    int height;
    qsizetype bytesPerLine;
    QImage::Format format;
    int devicePixelRatio;
    const unsigned char* pixels;
};

// Every picture, each icon's in the order of their pixel ratio.
std::span<const IconPicture> iconPictures();

// A picture as an image over its compiled-in pixels (read-only; a change makes a copy).
QImage iconImage(const IconPicture& picture);

// A picture of Qt's own resources read at build time in the same way ("name" is its path), with
// the bytes the resource holds, as Qt stores them (QResource::data), and how they are compressed.
struct QtPicture {
    const char* path; // ":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"
    IconPicture picture;
    const unsigned char* stored;
    qsizetype storedSize;
    int compression; // QResource::Compression
};

std::span<const QtPicture> qtPictures();

// The picture of Qt's resource at `path` as Qt's PNG reader reads it, from the compiled-in pixels,
// when the Qt the program runs with holds the very bytes the program was built with, and so the
// same picture; a null image otherwise, or for a picture not compiled in.
QImage qtResourcePicture(const QString& path);

} // namespace forms
