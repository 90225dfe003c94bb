#pragma once

#include "presenter/main_view.h"

#include <QIcon>
#include <QString>
#include <string>

class QAbstractButton;
class QComboBox;
class QKeySequence;
class QLabel;
class QShortcut;
class QWidget;

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
// and at twice it for high-resolution screens, read as PNG without asking the image-format
// plugins, which would all be loaded to guess the format.
QIcon programIcon(const char* name);

// A button that shows one of the program's icons and no text, with its Qt object name and a
// Swedish accessible name.
QAbstractButton* makePictureButton(QWidget* parent, const char* objectName, const char* icon,
                                   const QString& accessibleName);

// Gives a window a keyboard shortcut for one of its buttons. The shortcut runs exactly what a click
// on the button runs, and only while the button is enabled and visible; otherwise it does nothing.
QShortcut* addButtonShortcut(QWidget* window, const QKeySequence& keys, QAbstractButton* button);

// A drop-down list of one- or two-digit numbers that cannot be typed into, as narrow as two
// characters of its font allow. It does not fill itself; see fillList.
QComboBox* makeDateList(QWidget* parent, const QString& objectName);

// Replaces a list's entries with the numbers first to last, leaving no entry chosen (and an
// editable list's text empty), without running its handlers.
void fillList(QComboBox* list, int first, int last, bool twoDigits);

// Makes a day list hold exactly the entries "01" up to the given number of days, keeping the day
// chosen. Nothing changes when it already does. When the chosen day is not among the new
// entries, the month's last day is chosen, which runs the list's handler at once; the function
// returns true then, and false otherwise.
bool rebuildDayList(QComboBox* list, int days);

// Selects the entry with this text. Returns false, changing nothing, when there is none. The
// selection runs the list's handler when it changes the selected entry.
bool selectText(QComboBox* list, const QString& text);

} // namespace forms
