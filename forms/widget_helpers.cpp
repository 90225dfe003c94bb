#include "forms/widget_helpers.h"

#include "core/date_fields.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStringList>
#include <QToolButton>
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

QAbstractButton* makePictureButton(QWidget* parent, const char* objectName, const char* icon,
                                   const QString& accessibleName) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(IconCache::icon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
    button->setIconSize(QSize(32, 32));
    button->setAccessibleName(accessibleName);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QShortcut* addButtonShortcut(QWidget* window, const QKeySequence& keys, QAbstractButton* button) {
    auto* shortcut = new QShortcut(keys, window);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled() && button->isVisible()) {
            button->click();
        }
    });
    return shortcut;
}

QComboBox* makeDateList(QWidget* parent, const QString& objectName) {
    auto* list = new QComboBox(parent);
    list->setObjectName(objectName);
    list->setEditable(false);
    list->setMaxVisibleItems(12);
    // As wide as two characters: every entry is a number of one or two digits. The width comes
    // from the font alone, so laying out a window does not measure each of the 99 entries of a
    // year list.
    list->setMinimumContentsLength(2);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
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

bool rebuildDayList(QComboBox* list, int days) {
    QStringList entries;
    for (const std::string& entry : core::dayListEntries(days)) {
        entries.append(qs(entry));
    }
    bool same = list->count() == entries.size();
    for (int i = 0; same && i < list->count(); ++i) {
        same = list->itemText(i) == entries[i];
    }
    if (same) {
        return false;
    }
    const QString chosen = list->currentText();
    {
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(entries);
        list->setCurrentIndex(chosen.isEmpty() ? -1 : list->findText(chosen, Qt::MatchExactly));
    }
    if (chosen.isEmpty() || list->currentIndex() >= 0 || list->count() == 0) {
        return false;
    }
    // The month has no such day: its last day is chosen, and the handler runs for it.
    list->setCurrentIndex(list->count() - 1);
    return true;
}

bool selectText(QComboBox* list, const QString& text) {
    const int index = list->findText(text, Qt::MatchExactly);
    if (index < 0) {
        return false;
    }
    list->setCurrentIndex(index);
    return true;
}

} // namespace forms
