#pragma once

class QLabel;

namespace forms {

// A label whose text changes at every booking (the day's and the month's figures) makes its
// window lay itself out again at each change: Qt measures the new text and sets the geometry of
// every control again, the largest part of a click's work in the window, and the same geometry
// comes out. This moves the label into a holder without a layout, which takes the label's place
// in its layout (same item, same alignment) and gives the label its own size. The holder gives
// the layout the label's size hints as last measured. When a new text differs from the measured
// one in more than its digits (which are all one width in the fonts the windows use), or the
// label's font, style or margins change, it has the label measured again and the window laid out
// at once, before it is painted: the window looks as it would with the label straight in its
// layout.
//
// The label keeps its name, text, palette and place on the window; it only gains a parent between
// it and the layout's widget. It does nothing for a label that is in no layout or wraps its words
// (its height would depend on its width). It does not follow the label's other properties that
// change its size (margin, indent, text format) or its size policy after it is held.
void keepLabelSteady(QLabel* label);

} // namespace forms
