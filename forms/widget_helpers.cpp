#include "forms/widget_helpers.h"

#include "forms/icon_pixels.h"

#include <QCoreApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QResource>
#include <vector>

namespace forms {

namespace {

// The icon of the pictures compiled in under a name: its picture and its twice-as-large one. The
// pictures have an alpha channel, so the pixmaps keep it without Qt reading their pixels to see
// whether they are opaque: only the pictures drawn are read from the program's file.
QIcon builtInIcon(const QString& name) {
    QIcon icon;
    for (const IconPicture& picture : iconPictures()) {
        if (name == QLatin1String(picture.name)) {
            icon.addPixmap(QPixmap::fromImage(iconImage(picture), Qt::NoOpaqueDetection));
        }
    }
    return icon;
}

// The program's icons, each made once while the application runs and shared by every button that
// shows it. An SVG icon reads and parses its file when it is made and renders it again for every
// new icon, which took a tenth of the time to open a window; decoding PNG pictures took a tenth of
// the main window's start. The icons go with the application.
class IconCache final : public QObject {
public:
    using QObject::QObject;

    static QIcon icon(const QString& name) {
        static QPointer<IconCache> cache;
        if (cache == nullptr) {
            cache = new IconCache(QCoreApplication::instance());
        }
        auto found = cache->m_icons.constFind(name);
        if (found == cache->m_icons.cend()) {
            found = cache->m_icons.insert(name, builtInIcon(name));
        }
        return *found;
    }

private:
    QHash<QString, QIcon> m_icons;
};

} // namespace

QImage iconImage(const IconPicture& picture) {
    QImage image(picture.pixels, picture.width, picture.height, picture.bytesPerLine,
                 picture.format);
    image.setDevicePixelRatio(picture.devicePixelRatio);
    return image;
}

QImage qtResourcePicture(const QString& path) {
    for (const QtPicture& built : qtPictures()) {
        if (path != QLatin1String(built.path)) {
            continue;
        }
        const QResource resource(path);
        const QByteArrayView held(resource.data(), resource.size());
        const bool same = resource.isValid() &&
                          resource.compressionAlgorithm() == built.compression &&
                          held == QByteArrayView(built.stored, built.storedSize);
        return same ? iconImage(built.picture) : QImage();
    }
    return QImage();
}

QIcon programIcon(const char* name) {
    return IconCache::icon(QString::fromLatin1(name));
}

void showLabel(QLabel* label, const presenter::Label& shown) {
    label->setText(qs(shown.text));
    QPalette palette = label->palette();
    const QColor value = shown.colour == presenter::Colour::Red
                             ? QColor(255, 0, 0)
                             : palette.color(QPalette::ButtonText);
    // Given once and then only when the colour changes: setting a palette makes Qt resolve it
    // against the window's and tell the label's children, at every booking.
    if (label->testAttribute(Qt::WA_SetPalette) && palette.color(QPalette::WindowText) == value) {
        return;
    }
    palette.setColor(QPalette::WindowText, value);
    label->setPalette(palette);
}

} // namespace forms
