#pragma once

#include "core/time_fields.h"

#include <string>

namespace presenter {

// What the main window shows, named after its controls, as its presenter (main_presenter.h)
// derives it. Plain data: the window renders a view as it stands, whatever it showed before.

// A label's text colour.
enum class Colour {
    Normal, // the palette's button-text colour
    Red,    // pure red, RGB 255, 0, 0: extra time and extra costs
};

// A label as the window shows it: its caption and its colour.
struct Label {
    std::string text;
    Colour colour = Colour::Normal;

    bool operator==(const Label&) const = default;
};

// A button's state: shown or hidden, and enabled or not while shown.
struct Button {
    bool shown = true;
    bool enabled = true;

    bool operator==(const Button&) const = default;
};

// Where the keyboard focus is to go after a command.
enum class Focus {
    Unchanged,
    Minutes, // cmbTid(1)
    Seconds, // cmbTid(2)
};

struct MainView {
    std::string title;        // the window's title
    std::string ramMonadstid; // the month frame's caption
    std::string lblVisa_3;    // the chosen date, or "Felaktigt datum"

    // The date lists: the entry chosen in each ("" for none) and how many days the day list
    // offers ("01" up to that number).
    std::string cmbSok_0;
    std::string cmbSok_1;
    std::string cmbSok_2;
    int daysInList = 31;
    // The time fields' texts: hours, minutes, seconds.
    core::TimeTexts cmbTid;

    Label lblDagstid;
    Label lblTidkvar;
    Label lblDagskost;
    Label lblTid;
    Label lblDyrtid;
    Label lblKostnad;
    Label lblSumma;

    Button cmdAngra;
    Button cmdRedo;
    Button cmdKastapost;
    Button cmdAngrapost;
    Button cmdKastamon;
    Button cmdAngramon;

    // The hints that name the chosen or the deleted day or month, and undo's hint, which says why
    // it is not offered after a booking that cannot be taken back.
    std::string angraHint;
    std::string kastamonHint;
    std::string kastapostHint;
    std::string printHint;
    std::string angramonHint;
    std::string angrapostHint;

    Focus focus = Focus::Unchanged;
    bool planWindow = false; // a first start: the plan window is shown, this window hidden
    bool ended = false;      // the program is to end now

    bool operator==(const MainView&) const = default;
};

} // namespace presenter
