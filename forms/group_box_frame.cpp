#include "forms/group_box_frame.h"

#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>
#include <cstdint>
#include <cstring>

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

class GroupBoxFrame final : public QObject {
public:
    explicit GroupBoxFrame(QObject* parent)
        : QObject(parent), m_key(pixmapCacheKey(groupBoxFrameFile())) {
        QImageReader reader(groupBoxFrameFile(), "png");
        // Without guessing from the content, which would load every image-format plugin.
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) {
            m_frame = QPixmap::fromImage(image);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_frame.isNull() &&
            qobject_cast<QGroupBox*>(watched) != nullptr) {
            QPixmap cached;
            if (!QPixmapCache::find(m_key, &cached)) {
                QPixmapCache::insert(m_key, m_frame);
            }
        }
        return false;
    }

private:
    QString m_key;
    QPixmap m_frame;
};

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

void keepGroupBoxFrameCached(QObject* application) {
    application->installEventFilter(new GroupBoxFrame(application));
}

} // namespace forms
