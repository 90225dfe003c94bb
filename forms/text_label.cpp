#include "forms/text_label.h"

#include <QFontMetrics>
#include <QStyle>
#include <QTextDocument>

namespace forms {

TextLabel::TextLabel(QWidget* parent) : QLabel(parent) {}

bool TextLabel::measuresItself() const {
    const QString& shown = text();
    const bool plain = textFormat() == Qt::PlainText ||
                       (textFormat() == Qt::AutoText && !Qt::mightBeRichText(shown));
    const auto selectable = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    // U+009C separates the variants of a text of several lengths, of which Qt draws the longest
    // that fits.
    return plain && !wordWrap() && !shown.isEmpty() && !(textInteractionFlags() & selectable) &&
           !shown.contains(QChar(0x9c)) && (buddy() != nullptr || !shown.contains(u'&'));
}

TextLabel::Measure TextLabel::current() const {
    Measure measure;
    measure.text = text();
    measure.font = font();
    measure.contents = contentsMargins();
    measure.minimum = minimumSize();
    measure.frame = frameWidth();
    measure.margin = margin();
    measure.indent = indent();
    measure.resolution = logicalDpiY();
    measure.alignment = alignment();
    measure.mnemonic = buddy() != nullptr;
    return measure;
}

// The size QLabel finds for its text at any width, as it finds it.
QSize TextLabel::measured(const Measure& measure) const {
    const QFontMetrics metrics = fontMetrics();
    int horizontal = 2 * measure.margin;
    int vertical = horizontal;
    // Right to left only swaps left and right, which take the indent alike.
    const Qt::Alignment align = QStyle::visualAlignment(Qt::LeftToRight, measure.alignment);
    int indentation = measure.indent;
    if (indentation < 0 && measure.frame != 0) {
        indentation = metrics.horizontalAdvance(u'x') - measure.margin * 2;
    }
    if (indentation > 0) {
        if (align & (Qt::AlignLeft | Qt::AlignRight)) {
            horizontal += indentation;
        }
        if (align & (Qt::AlignTop | Qt::AlignBottom)) {
            vertical += indentation;
        }
    }
    int flags = static_cast<int>((align & ~(Qt::AlignVCenter | Qt::AlignHCenter)).toInt());
    if (measure.mnemonic) {
        // The '&' is left out, whether the style underlines the next letter or not.
        flags |= Qt::TextShowMnemonic;
    }
    const QMargins& contents = measure.contents;
    const int width = (measure.minimum.width() > 0 ? measure.minimum.width() : 2000) - horizontal -
                      contents.left() - contents.right();
    const QRect bounds = metrics.boundingRect(0, 0, width, 2000, flags, measure.text);
    const QSize size(bounds.width() + horizontal + contents.left() + contents.right(),
                     bounds.height() + vertical + contents.top() + contents.bottom());
    return size.expandedTo(measure.minimum);
}

QSize TextLabel::kept() const {
    ensurePolished();
    Measure now = current();
    if (!m_size.isValid() || !(now == m_measure)) {
        m_size = measured(now);
        m_measure = std::move(now);
    }
    return m_size;
}

QSize TextLabel::sizeHint() const {
    return measuresItself() ? kept() : QLabel::sizeHint();
}

QSize TextLabel::minimumSizeHint() const {
    return measuresItself() ? kept() : QLabel::minimumSizeHint();
}

} // namespace forms
