// Run by the build: turns the program's PNG icon pictures into a C++ source file holding their
// pixels (forms/icon_pixels.h), as Qt's PNG reader gives them (size, bytes per line, device pixel
// ratio: "@2x" pictures read as 2) in the format a pixmap keeps them in. A picture of Qt's own
// resources (":/...", those of Qt Widgets) is kept the same way, with the bytes Qt holds it as.
//
// Usage: surfklocka_icon_pixels OUTPUT.cpp NAME=PICTURE.png ... [:/QT/PICTURE.png ...]
// A name may be given several times, once for each picture of that icon.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QString>
#include <cstdio>
#include <cstring>

namespace {

// The bytes as the lines of an array's initializer.
QByteArray arrayLines(const uchar* data, qsizetype size, qsizetype lineLength) {
    QByteArray lines;
    for (qsizetype i = 0; i < size; ++i) {
        lines += (i % lineLength % 16 == 0 ? "\n    " : " ") + QByteArray::number(data[i]) + ",";
    }
    return lines;
}

// One picture's pixels as an array named pixels<index>, and its table entry (an IconPicture's
// fields) added to `entry`.
bool writePicture(QFile& out, int index, const QString& name, const QString& path,
                  QByteArray& entry) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    // In the format a pixmap of it holds (Qt's raster pixmaps keep images with an alpha channel
    // premultiplied): a pixmap made from it then shares the compiled-in bytes instead of
    // converting them into a copy of its own.
    if (image.format() == QImage::Format_ARGB32) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    if (image.isNull()) {
        std::fprintf(stderr, "surfklocka_icon_pixels: %s: %s\n", qPrintable(path),
                     qPrintable(reader.errorString()));
        return false;
    }
    // The pictures for screens scaled to 200 % lie apart from the others, so that a window on a
    // screen at 100 % has none of their pages mapped: the kernel maps the pages around each one
    // read, and the two sizes of one icon would otherwise lie side by side.
    const bool scaled = qRound(image.devicePixelRatio()) != 1;
    QByteArray bytes =
        QByteArray(scaled ? "[[gnu::section(\".rodata.surfklocka_scaled\")]] " : "") +
        "alignas(16) const unsigned char pixels" + QByteArray::number(index) + "[] = {";
    bytes += arrayLines(image.constBits(), image.sizeInBytes(), image.bytesPerLine()) + "\n};\n\n";
    entry += "{\"" + name.toLatin1() + "\", " + QByteArray::number(image.width()) + ", " +
             QByteArray::number(image.height()) + ", " + QByteArray::number(image.bytesPerLine()) +
             ", static_cast<QImage::Format>(" + QByteArray::number(int(image.format())) + "), " +
             QByteArray::number(qRound(image.devicePixelRatio())) + ", pixels" +
             QByteArray::number(index) + "}";
    return out.write(bytes) == bytes.size();
}

// One of Qt's pictures: its pixels, the bytes its resource holds as an array named stored<index>,
// and its table entry (a QtPicture's fields) added to `table`.
bool writeQtPicture(QFile& out, int index, const QString& path, QByteArray& table) {
    const QResource resource(path);
    QByteArray entry = "    {\"" + path.toLatin1() + "\", ";
    if (!resource.isValid() || !writePicture(out, index, path, path, entry)) {
        std::fprintf(stderr, "surfklocka_icon_pixels: %s: no such picture in Qt\n",
                     qPrintable(path));
        return false;
    }
    const QByteArray bytes = "const unsigned char stored" + QByteArray::number(index) + "[] = {" +
                             arrayLines(resource.data(), resource.size(), 16) + "\n};\n\n";
    table += entry + ", stored" + QByteArray::number(index) + ", " +
             QByteArray::number(resource.size()) + ", " +
             QByteArray::number(int(resource.compressionAlgorithm())) + "},\n";
    return out.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: surfklocka_icon_pixels OUTPUT.cpp NAME=PICTURE.png ...\n", stderr);
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return 1;
    }
    out.write("// Made by the build (tools/icon_pixels.cpp) from the icons' PNG pictures.\n"
              "#include \"forms/icon_pixels.h\"\n\nnamespace {\n\n");
    QByteArray table = "const forms::IconPicture pictures[] = {\n";
    QByteArray qtTable = "const forms::QtPicture qtPictures[] = {\n";
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(QStringLiteral(":/"))) {
            if (!writeQtPicture(out, i - 2, argument, qtTable)) {
                return 1;
            }
            continue;
        }
        const qsizetype equals = argument.indexOf(u'=');
        QByteArray entry = "    ";
        if (equals <= 0 ||
            !writePicture(out, i - 2, argument.left(equals), argument.mid(equals + 1), entry)) {
            return 1;
        }
        table += entry + ",\n";
    }
    table += "};\n\n" + qtTable +
             "};\n\n} // namespace\n\nnamespace forms {\n\n"
             "std::span<const IconPicture> iconPictures() {\n    return pictures;\n}\n\n"
             "std::span<const QtPicture> qtPictures() {\n    return ::qtPictures;\n}\n\n"
             "} // namespace forms\n";
    return out.write(table) == table.size() && out.flush() ? 0 : 1;
}
