#pragma once

// The user's steps that the model test generates, and how each is told in a report.

#include "reference_model.h"

#include <array>
#include <ostream>
#include <rapidcheck.h>
#include <string>

namespace model_test {

enum class Kind {
    Save,
    Type,
    Choose,
    Undo,
    Redo,
    DeleteDay,
    RestoreDay,
    DeleteMonth,
    RestoreMonth,
    Close,
    DeleteEverything,
    Restart,
    RangeWindow,
};

// A few months and days, so that the steps meet the same files often. The day lists offer only
// the month's days, so "31" is no choice in a month of 30 days.
inline constexpr std::array<const char*, 4> kMonths = {"0111", "0112", "0201", "0202"};
inline constexpr std::array<const char*, 3> kDays = {"05", "06", "31"};
// What may be typed into a time field: two characters at most; "75" carries into the next larger
// field, "x" is cleared. The hours field takes fewer hours, so that days fill up less often.
inline constexpr std::array<const char*, 9> kTimeTexts = {"",   "0",  "1",  "20", "59",
                                                          "45", " 7", "75", "x"};
inline constexpr std::array<const char*, 7> kHourTexts = {"", "0", "1", "2", " 7", "20", "x"};
// The dates a run may start on.
inline constexpr std::array<reference::Date, 3> kToday = {
    {{2001, 12, 5}, {2002, 1, 31}, {2002, 2, 6}}};

struct Action {
    Kind kind = Kind::Save;
    // Choose: the month (kMonths) and the day (kDays). Type: the field (0 hours, 1 minutes,
    // 2 seconds) and the text (kHourTexts for hours, kTimeTexts for the others). Restart: the date
    // of the new run (kToday). DeleteEverything: the plan chosen at the first start that follows.
    int first = 0;
    int second = 0;
    // The answer to the step's question, if it asks one.
    reference::Answer answer = reference::Answer::Yes;
    // DeleteEverything: the first plan window is cancelled, which ends the program once more.
    bool cancelPlanWindow = false;
};

// The text a Type step types.
std::string typedText(const Action& action);
std::string describe(const Action& action);
// How RapidCheck shows a step in a counterexample.
void showValue(const Action& action, std::ostream& out);

// One of n choices (0 to n - 1), uniformly, shrinking towards 0.
rc::Gen<int> choice(std::size_t n);

// Steps weighted so that bookings, undo and deletions meet each other often.
rc::Gen<Action> genAction();

} // namespace model_test
