#include "forms/ui_helpers.h"

#include "core/date_fields.h"

#include <QComboBox>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <vector>

namespace forms {

void setLabelColour(QLabel* label, core::Colour colour) {
    if (colour == core::Colour::Unchanged) {
        return;
    }
    QPalette palette = label->palette();
    const QColor value =
        colour == core::Colour::Red ? QColor(255, 0, 0) : palette.color(QPalette::ButtonText);
    palette.setColor(QPalette::WindowText, value);
    label->setPalette(palette);
}

void showLabel(QLabel* label, const core::LabelText& text) {
    label->setText(qs(text.text));
    setLabelColour(label, text.colour);
}

QAbstractButton* makePictureButton(QWidget* parent, const char* objectName, const char* icon,
                                   const QString& accessibleName) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
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
    return list;
}

void fillList(QComboBox* list, int first, int last, bool twoDigits) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (int n = first; n <= last; ++n) {
        list->addItem(twoDigits ? qs(core::twoDigits(n)) : QString::number(n));
    }
    list->setCurrentIndex(-1);
    if (list->isEditable()) {
        list->clearEditText();
    }
}

bool rebuildDayList(QComboBox* list, int days) {
    const std::vector<std::string> entries = core::dayListEntries(days);
    bool same = list->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < list->count(); ++i) {
        same = list->itemText(i) == qs(entries[static_cast<std::size_t>(i)]);
    }
    if (same) {
        return false;
    }
    const QString chosen = list->currentText();
    {
        const QSignalBlocker blocker(list);
        list->clear();
        for (const std::string& entry : entries) {
            list->addItem(qs(entry));
        }
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
