#pragma once

#include <QString>

class QObject;

namespace forms {

// Fusion, the style the windows are drawn in where the desktop names none, paints the frame of
// every group box (the month frame of the main window, the plan window's frames, those of Qt's own
// dialogs) from a PNG picture in Qt's resources, which it loads by name with QPixmap. QPixmap finds
// out a file's format by asking every installed image-format plugin whether it can read it, which
// loads them all, with libjpeg and Qt SVG: a tenth of the main window's start and 1.3 MiB.
//
// Once this is installed on the application object, the picture is taken as the build read it
// from Qt (forms/icon_pixels.h), while this Qt holds the same bytes, or else read as PNG by its
// name, without asking any plugin (the same PNG reader, so the same pixels), and kept in Qt's
// pixmap cache under the key by which QPixmap looks a file up before it loads it; it is put back
// before each paint of a group box, should the cache have let it go. Were the key ever to differ
// (another Qt), Fusion would load the picture itself as before.
//
// It also keeps a picture of each group box that lies straight on its window: the box as the
// style draws it on the window's background, in the window's own pixel format. A box is drawn
// again under every label in it that changes (the labels let the box show through), and from its
// second paint on, a box that looks as before is copied from that picture, pixel for pixel what
// the style would draw, at a fraction of the cost. Any change of the box's size, title, font,
// palette, state or style, or of the window's background, draws the picture anew. A box that is
// checkable (it follows the mouse and the focus), styled by a style sheet, or on a window that is
// not one colour is always drawn by the style.
//
// Returns the object installed, which removeEventFilter takes away again.
QObject* keepGroupBoxFrameCached(QObject* application);

// The picture Fusion draws the frame from, and the key QPixmap keeps a file under in the pixmap
// cache: "qt_pixmap", the absolute path, then the time of the last change (seconds since 1970,
// 32 bits), the size (64 bits) and the kind of pixmap (32 bits, 0), each written as the bytes in
// memory, each byte as two hexadecimal digits with the low one first.
QString groupBoxFrameFile();
QString pixmapCacheKey(const QString& file);

} // namespace forms
