#pragma once

#include "presenter/main_view.h"

#include <QIcon>
#include <QString>
#include <string>

class QLabel;

namespace forms {

// Small helpers the program's windows share for their controls. They only set up and write
// controls; what the texts say is decided by the presenters.

inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Writes a label's caption and its text colour: pure red, or the palette's button-text colour for
// Normal.
void showLabel(QLabel* label, const presenter::Label& shown);

// One of the program's icons by its name ("spara"), made once and shared: the picture at its size
// and at twice it for high-resolution screens, from pixels compiled into the program
// (forms/icon_pixels.h), so that nothing is read or decoded.
QIcon programIcon(const char* name);

} // namespace forms
