// Run by the build: turns the program's PNG icon pictures into a C++ source file holding their
// pixels (forms/icon_pixels.h), as Qt's PNG reader gives them (size, bytes per line, device pixel
// ratio: "@2x" pictures read as 2) in the format a pixmap keeps them in.
//
// Usage: surfklocka_icon_pixels OUTPUT.cpp NAME=PICTURE.png ...
// A name may be given several times, once for each picture of that icon.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>
#include <cstring>

namespace {

// One picture's table entry and its pixels as an array named pixels<index>.
bool writePicture(QFile& out, int index, const QString& name, const QString& path,
                  QByteArray& table) {
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
    for (int line = 0; line < image.height(); ++line) {
        const uchar* data = image.constScanLine(line);
        for (qsizetype i = 0; i < image.bytesPerLine(); ++i) {
            bytes += (i % 16 == 0 ? "\n    " : " ") + QByteArray::number(data[i]) + ",";
        }
    }
    bytes += "\n};\n\n";
    table += "    {\"" + name.toLatin1() + "\", " + QByteArray::number(image.width()) + ", " +
             QByteArray::number(image.height()) + ", " + QByteArray::number(image.bytesPerLine()) +
             ", static_cast<QImage::Format>(" + QByteArray::number(int(image.format())) + "), " +
             QByteArray::number(qRound(image.devicePixelRatio())) + ", pixels" +
             QByteArray::number(index) + "},\n";
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
    for (int i = 2; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0 ||
            !writePicture(out, i - 2, argument.left(equals), argument.mid(equals + 1), table)) {
            return 1;
        }
    }
    table += "};\n\n} // namespace\n\nnamespace forms {\n\n"
             "std::span<const IconPicture> iconPictures() {\n    return pictures;\n}\n\n"
             "} // namespace forms\n";
    return out.write(table) == table.size() && out.flush() ? 0 : 1;
}
