#include "forms/ui_helpers.h"

#include "core/date_fields.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

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
