#pragma once

#include <QFont>
#include <QLabel>
#include <QMargins>
#include <QSize>
#include <QString>

namespace forms {

// A label of plain text that does not wrap (the main window's labels). It asks for the sizes a
// QLabel with the same text and settings asks for, to the pixel, but lays its text out once to
// find them, where a QLabel lays it out three times: for its size, its width at the least and its
// height on one line, which for a text that does not wrap all come out the same.
//
// It measures again whenever anything the size depends on has changed since: text, font and
// its resolution, margins, indent, frame, alignment, buddy or smallest size. A label that wraps its
// words, shows rich text, no text, a picture or a movie, or lets its text be selected is measured
// by QLabel itself, and so is a text with a '&' on a label without a buddy (QLabel keeps an earlier
// buddy's mnemonic for it).
class TextLabel : public QLabel {
public:
    explicit TextLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    // What the size depends on, as last measured.
    struct Measure {
        QString text;
        QFont font;
        QMargins contents;
        QSize minimum;
        int frame = 0;
        int margin = 0;
        int indent = 0;
        int resolution = 0; // of the screen the font is drawn on
        Qt::Alignment alignment;
        bool mnemonic = false;
        bool operator==(const Measure&) const = default;
    };

    bool measuresItself() const;
    Measure current() const;
    QSize measured(const Measure& measure) const;
    QSize kept() const;

    mutable Measure m_measure;
    mutable QSize m_size;
};

} // namespace forms
