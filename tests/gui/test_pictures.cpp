// The pictures the windows draw at start-up, without an image-format plugin: the main window shown
// with its month frame loads none, the frame is drawn from the very picture Qt's own loading
// gives, under the key Qt looks it up by, and the icons' compiled-in pixels are exactly what Qt's
// PNG reader reads from the pictures the build drew.

#include "forms/group_box_frame.h"
#include "forms/icon_pixels.h"
#include "harness.h"

#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>
#include <QTest>
#include <map>
#include <string>

namespace {

// The image-format plugins this process has loaded, from its memory map.
QStringList loadedImagePlugins() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    QStringList plugins;
    if (!maps.open(QIODevice::ReadOnly)) {
        plugins << QStringLiteral("(/proc/self/maps could not be read)");
        return plugins;
    }
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QString path = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        if (path.contains(QStringLiteral("/imageformats/")) && !plugins.contains(path)) {
            plugins << path;
        }
    }
    return plugins;
}

QImage readPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First, while nothing has loaded a plugin yet.
    void theMainWindowIsShownWithItsMonthFrameAndNoImagePlugin() {
        QVERIFY(loadedImagePlugins().isEmpty());
        forms::keepGroupBoxFrameCached(QCoreApplication::instance());
        testing_support::Harness harness;
        harness.storePlan("1 h / dygn", 3600);
        app::frmSurfur& window = harness.start();
        auto* frame = harness.find<QGroupBox>("ramMonadstid");
        QVERIFY(frame != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Painted: the frame's picture came from the cache, not from a file.
        QVERIFY(!frame->grab().isNull());
        QCOMPARE(loadedImagePlugins(), QStringList());
    }

    // Qt's own loading of the frame's picture (which asks every plugin) keeps it under the key the
    // cache was given, with the same pixels as the picture read as PNG.
    void qtLoadsTheFramesPictureUnderTheSameKeyAndWithTheSamePixels() {
        const QImage asPng = readPng(forms::groupBoxFrameFile());
        QVERIFY(!asPng.isNull());
        QPixmapCache::clear();
        const QPixmap byQt(forms::groupBoxFrameFile());
        QVERIFY(!byQt.isNull());
        QPixmap cached;
        QVERIFY(QPixmapCache::find(forms::pixmapCacheKey(forms::groupBoxFrameFile()), &cached));
        QCOMPARE(cached.toImage(), byQt.toImage());
        QCOMPARE(QPixmap::fromImage(asPng).toImage(), byQt.toImage());
    }

    // Every icon has its picture and its twice-as-large one, and each gives byte for byte the
    // pixmap that the picture the build drew gives when read by the PNG reader, with the same
    // pixel ratio; the pixmap keeps the compiled-in bytes themselves.
    void theIconsPixelsAreWhatThePngReaderReads() {
        std::map<std::string, int> pictures;
        for (const forms::IconPicture& picture : forms::iconPictures()) {
            const int count = ++pictures[picture.name];
            const QString file = QStringLiteral(SURFKLOCKA_ICON_PICTURE_DIR "/") +
                                 QString::fromLatin1(picture.name) +
                                 (count == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png"));
            const QImage expected = readPng(file);
            const QImage built = forms::iconImage(picture);
            QVERIFY2(!expected.isNull(), qPrintable(file));
            QCOMPARE(built.size(), expected.size());
            QCOMPARE(built.size(), count == 1 ? QSize(32, 32) : QSize(64, 64));
            QCOMPARE(built.devicePixelRatio(), expected.devicePixelRatio());
            QCOMPARE(built.devicePixelRatio(), count == 1 ? 1.0 : 2.0);
            const QImage fromBuilt = QPixmap::fromImage(built).toImage();
            const QImage fromPicture = QPixmap::fromImage(expected).toImage();
            QCOMPARE(fromBuilt.format(), fromPicture.format());
            QCOMPARE(fromBuilt, fromPicture);
            QCOMPARE(fromBuilt.constBits(), picture.pixels);
        }
        // The fifteen icons of resources/icons, each with its two pictures.
        QCOMPARE(pictures.size(), std::size_t{15});
        for (const auto& [name, count] : pictures) {
            QCOMPARE(count, 2);
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
