#include "forms/widget_helpers.h"

#include "core/date_fields.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QSignalBlocker>
#include <QStringList>
#include <vector>

namespace forms {

namespace {

// The icon of a PNG file and of its twice-as-large "@2x" sibling where there is one, read with
// the format named, so that no image-format plugin is loaded to find it out.
QIcon pngIcon(const QString& file) {
    QIcon icon;
    for (const QString& path :
         {file, QString(file).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"))}) {
        QImageReader reader(path, "png");
        // Without guessing from the content, which would load every image-format plugin.
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

// The program's icons, each made once while the application runs and shared by every button that
// shows it. An SVG icon reads and parses its file when it is made and renders it again for every
// new icon, which took a tenth of the time to open a window. The icons go with the application.
class IconCache final : public QObject {
public:
    using QObject::QObject;

    static QIcon icon(const QString& file) {
        static QPointer<IconCache> cache;
        if (cache == nullptr) {
            cache = new IconCache(QCoreApplication::instance());
        }
        auto found = cache->m_icons.constFind(file);
        if (found == cache->m_icons.cend()) {
            found = cache->m_icons.insert(file, pngIcon(file));
        }
        return *found;
    }

private:
    QHash<QString, QIcon> m_icons;
};

} // namespace

QIcon programIcon(const char* name) {
    return IconCache::icon(QStringLiteral(":/icons/") + QString::fromLatin1(name) +
                           QStringLiteral(".png"));
}

void showLabel(QLabel* label, const presenter::Label& shown) {
    label->setText(qs(shown.text));
    QPalette palette = label->palette();
    const QColor value = shown.colour == presenter::Colour::Red
                             ? QColor(255, 0, 0)
                             : palette.color(QPalette::ButtonText);
    palette.setColor(QPalette::WindowText, value);
    label->setPalette(palette);
}

void fillList(QComboBox* list, int first, int last, bool twoDigits) {
    QStringList entries;
    entries.reserve(last - first + 1);
    for (int n = first; n <= last; ++n) {
        entries.append(twoDigits ? qs(core::twoDigits(n)) : QString::number(n));
    }
    const QSignalBlocker blocker(list);
    list->clear();
    // One insertion for all entries: the list's model and view are told once, not per entry.
    list->addItems(entries);
    list->setCurrentIndex(-1);
    if (list->isEditable()) {
        list->clearEditText();
    }
}

} // namespace forms
