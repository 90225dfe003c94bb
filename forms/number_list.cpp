#include "forms/number_list.h"

#include "core/date_fields.h"
#include "forms/widget_helpers.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtMath>
#include <algorithm>

namespace forms {

namespace {

// The widths of numbers' drawn texts, as QComboBox measures an entry, by the font and the
// resolution they are drawn at, and then by the text. The lists live in the windows' thread only.
QHash<QString, int>& measuredWidths(const QString& font) {
    static QHash<QString, QHash<QString, int>> widths;
    return widths[font];
}

// A completer that stands in while a list becomes editable, shared by all lists: it is never left
// on a line edit.
QCompleter* noCompletion() {
    static QPointer<QCompleter> none;
    if (none.isNull()) {
        none = new QCompleter(QCoreApplication::instance());
    }
    return none;
}

} // namespace

NumberList::NumberList(QWidget* parent) : QComboBox(parent) {}

void NumberList::setNumbers(int first, int last, bool twoDigits) {
    QStringList numbers;
    numbers.reserve(std::max(0, last - first + 1));
    for (int n = first; n <= last; ++n) {
        numbers.append(twoDigits ? qs(core::twoDigits(n)) : QString::number(n));
    }
    const QSignalBlocker blocker(this);
    clear();
    // One insertion for all entries: the list's model and view are told once, not per entry.
    addItems(numbers);
    setCurrentIndex(-1);
    if (isEditable()) {
        clearEditText();
    }
    m_numbers = std::move(numbers);
}

void NumberList::setEditable(bool editable) {
    if (!editable || isEditable()) {
        QComboBox::setEditable(editable);
        return;
    }
    if (findChild<QAbstractItemView*>() != nullptr) {
        // A popup made already (at a change of style, for one) is changed by QComboBox.
        QComboBox::setEditable(true);
        setCompleter(nullptr);
        return;
    }
    // QComboBox makes the popup here, before the list is editable. It is made when it is first
    // wanted instead, as it is when a list is made editable in a style that does not draw popups
    // as menus, and then given what a popup made now would keep.
    QStyleOptionComboBox option;
    initStyleOption(&option);
    m_menuPopupDue = style()->styleHint(QStyle::SH_ComboBox_Popup, &option, this);
    auto* edit = new QLineEdit(this);
    edit->setPalette(palette());
    // QComboBox makes a completer only for a line edit without one.
    edit->setCompleter(noCompletion());
    setLineEdit(edit);
    edit->setCompleter(nullptr);
    if (!testAttribute(Qt::WA_Resized)) {
        adjustSize();
    }
}

void NumberList::showPopup() {
    if (m_menuPopupDue) {
        // A popup made for a menu follows the mouse, and keeps a scroll bar once editable.
        view()->setMouseTracking(true);
        view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_menuPopupDue = false;
    }
    QComboBox::showPopup();
}

void NumberList::restyledPopup() {
    if (m_menuPopupDue) {
        // QComboBox makes the popup when its style changes, and the new style decides whether it
        // follows the mouse; the scroll bar stays.
        view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_menuPopupDue = false;
    }
}

bool NumberList::measuresItself() const {
    return count() == m_numbers.size() &&
           sizeAdjustPolicy() == QComboBox::AdjustToContentsOnFirstShow &&
           minimumContentsLength() == 0 && placeholderText().isEmpty();
}

int NumberList::widestNumber() const {
    const QFontMetrics metrics = fontMetrics();
    if (m_numbers.isEmpty()) {
        return 7 * metrics.horizontalAdvance(u'x');
    }
    const QFont shown = font();
    QHash<QString, int>& widths =
        measuredWidths(shown.key() + u'/' + QString::number(shown.hintingPreference()) + u'@' +
                       QString::number(logicalDpiY()));
    int widest = 0;
    for (const QString& number : m_numbers) {
        auto width = widths.constFind(number);
        if (width == widths.cend()) {
            width = widths.insert(number, metrics.boundingRect(number).width());
        }
        widest = std::max(widest, *width);
    }
    return widest;
}

QSize NumberList::measured() const {
    const QSize text(widestNumber(),
                     std::max(qCeil(QFontMetricsF(fontMetrics()).height()), 14) + 2);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
}

// A size as kept: measured when first asked for after it was dropped.
QSize NumberList::kept(QSize& size) const {
    if (!size.isValid()) {
        size = measured();
    }
    return size;
}

QSize NumberList::sizeHint() const {
    return measuresItself() ? kept(m_hint) : QComboBox::sizeHint();
}

QSize NumberList::minimumSizeHint() const {
    return measuresItself() ? kept(m_minimum) : QComboBox::minimumSizeHint();
}

void NumberList::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange) {
        m_hint = QSize();
        m_minimum = QSize();
    } else if (event->type() == QEvent::FontChange) {
        m_hint = QSize();
    }
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::StyleChange) {
        restyledPopup();
    }
}

void NumberList::showEvent(QShowEvent* event) {
    if (!m_shown) {
        m_hint = QSize();
        m_shown = true;
    }
    QComboBox::showEvent(event);
}

} // namespace forms
