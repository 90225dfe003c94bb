#include "forms/group_box_frame.h"

#include "forms/icon_pixels.h"

#include <QBackingStore>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QTimer>
#include <cstdint>
#include <cstring>
#include <optional>

namespace forms {

namespace {

// The bytes of a number as they lie in memory, each as two hexadecimal digits, low one first.
template <typename Number>
QString memoryHex(Number value) {
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    constexpr char kDigits[] = "0123456789abcdef";
    QString text;
    for (const unsigned char byte : bytes) {
        text += QLatin1Char(kDigits[byte & 0x0F]);
        text += QLatin1Char(kDigits[byte >> 4]);
    }
    return text;
}

// Everything a group box's picture depends on: when any of it changes, the box is drawn anew.
struct BoxLook {
    QSize size;
    qreal ratio = 1.0;
    QString title;
    QString font;
    qint64 palette = 0;
    qint64 windowPalette = 0;
    QRgb background = 0;
    QImage::Format format = QImage::Format_Invalid;
    const QStyle* style = nullptr;
    bool enabled = false;
    bool active = false;
    bool flat = false;
    int alignment = 0;
    bool operator==(const BoxLook&) const = default;
};

// A box's picture over the window's background, and the look it was drawn with.
struct BoxPicture {
    BoxLook look;
    QImage image;
    int paints = 0;
    bool due = false; // to be drawn once the event loop is back
};

class GroupBoxFrame final : public QObject {
public:
    explicit GroupBoxFrame(QObject* parent)
        : QObject(parent), m_key(pixmapCacheKey(groupBoxFrameFile())) {
        // The picture as the build read it, when this Qt holds the same: nothing is decoded.
        QImage image = qtResourcePicture(groupBoxFrameFile());
        if (image.isNull()) {
            QImageReader reader(groupBoxFrameFile(), "png");
            // Without guessing from the content, which would load every image-format plugin.
            reader.setAutoDetectImageFormat(false);
            image = reader.read();
        }
        if (!image.isNull()) {
            m_frame = QPixmap::fromImage(image);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) {
            return false;
        }
        auto* box = qobject_cast<QGroupBox*>(watched);
        if (box == nullptr) {
            return false;
        }
        if (!m_frame.isNull()) {
            QPixmap cached;
            if (!QPixmapCache::find(m_key, &cached)) {
                QPixmapCache::insert(m_key, m_frame);
            }
        }
        return box != m_drawing && paintFromPicture(box, static_cast<QPaintEvent*>(event));
    }

private:
    bool paintFromPicture(QGroupBox* box, const QPaintEvent* event);
    static std::optional<BoxLook> lookOf(const QGroupBox* box);
    void drawPicture(QGroupBox* box);

    QString m_key;
    QPixmap m_frame;
    QHash<const QGroupBox*, BoxPicture> m_pictures;
    const QGroupBox* m_drawing = nullptr;
};

// A box can be drawn from a picture when it lies straight on its window, whose background is one
// colour, and nothing about it follows the mouse or the focus; and when the window is drawn on a
// picture in memory.
std::optional<BoxLook> GroupBoxFrame::lookOf(const QGroupBox* box) {
    const QWidget* window = box->window();
    QBackingStore* store = window->backingStore();
    const QPaintDevice* device = store != nullptr ? store->paintDevice() : nullptr;
    if (box->parentWidget() != window || box->isCheckable() ||
        box->testAttribute(Qt::WA_StyledBackground) ||
        window->testAttribute(Qt::WA_TranslucentBackground) || device == nullptr ||
        device->devType() != QInternal::Image) {
        return std::nullopt;
    }
    const QBrush& background = window->palette().brush(window->backgroundRole());
    if (background.style() != Qt::SolidPattern || !background.isOpaque()) {
        return std::nullopt;
    }
    return BoxLook{box->size(),
                   box->devicePixelRatioF(),
                   box->title(),
                   box->font().key(),
                   box->palette().cacheKey(),
                   window->palette().cacheKey(),
                   background.color().rgba(),
                   static_cast<const QImage*>(device)->format(),
                   box->style(),
                   box->isEnabled(),
                   box->isActiveWindow(),
                   box->isFlat(),
                   static_cast<int>(box->alignment())};
}

// The box drawn by its own paint event on the window's background, in the window's pixel format:
// the very pixels the window gets when the box draws itself there. Drawn between paints, since a
// widget cannot be drawn elsewhere while it paints.
void GroupBoxFrame::drawPicture(QGroupBox* box) {
    BoxPicture& picture = m_pictures[box];
    picture.due = false;
    const std::optional<BoxLook> look = lookOf(box);
    if (!look) {
        return;
    }
    QImage image(look->size * look->ratio, look->format);
    if (image.isNull()) {
        return;
    }
    image.setDevicePixelRatio(look->ratio);
    image.fill(QColor::fromRgba(look->background));
    m_drawing = box;
    box->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    m_drawing = nullptr;
    picture.image = image;
    picture.look = *look;
}

// The window is drawn again wherever a label in the box changes, and the box with it. A box that
// looks as its picture is copied from the picture instead of being drawn by the style. A box that
// is painted a second time gets its picture (the first paint, at the start, needs none), and a new
// one whenever it looks different.
bool GroupBoxFrame::paintFromPicture(QGroupBox* box, const QPaintEvent* event) {
    const std::optional<BoxLook> look = lookOf(box);
    if (!look) {
        return false;
    }
    if (!m_pictures.contains(box)) {
        connect(box, &QObject::destroyed, this, [this, box] { m_pictures.remove(box); });
    }
    BoxPicture& picture = m_pictures[box];
    if (!picture.image.isNull() && picture.look == *look) {
        QPainter painter(box);
        painter.setClipRegion(event->region());
        painter.drawImage(QPoint(0, 0), picture.image);
        return true;
    }
    if (++picture.paints >= 2 && !picture.due) {
        picture.due = true;
        QTimer::singleShot(0, box, [this, box] { drawPicture(box); });
    }
    return false;
}

} // namespace

QString groupBoxFrameFile() {
    return QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
}

QString pixmapCacheKey(const QString& file) {
    const QFileInfo info(file);
    return QStringLiteral("qt_pixmap") + info.absoluteFilePath() +
           memoryHex(static_cast<std::uint32_t>(info.lastModified().toSecsSinceEpoch())) +
           memoryHex(static_cast<std::uint64_t>(info.size())) + memoryHex(std::uint32_t{0});
}

QObject* keepGroupBoxFrameCached(QObject* application) {
    auto* frame = new GroupBoxFrame(application);
    application->installEventFilter(frame);
    return frame;
}

} // namespace forms
