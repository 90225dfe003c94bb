#include "actions.h"

#include <cstddef>
#include <utility>

namespace model_test {

namespace {

using reference::Answer;

const char* answerText(Answer answer) {
    switch (answer) {
    case Answer::Yes:
        return "yes";
    case Answer::No:
        return "no";
    case Answer::Cancel:
        return "cancel";
    }
    return "?";
}

std::string dateText(const reference::Date& date) {
    return std::to_string(date.year) + "-" + reference::twoDigits(date.month) + "-" +
           reference::twoDigits(date.day);
}

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

rc::Gen<Action> plain(Kind kind) {
    return rc::gen::just(Action{kind});
}

// A step that asks; mostly answered yes, so that things happen.
rc::Gen<Action> asking(Kind kind) {
    return rc::gen::map(rc::gen::weightedElement<Answer>({{3, Answer::Yes}, {1, Answer::No}}),
                        [kind](Answer answer) {
                            Action action{kind};
                            action.answer = answer;
                            return action;
                        });
}

} // namespace

rc::Gen<int> choice(std::size_t n) {
    // RapidCheck scales inRange with its size; at the nominal size of 100 it spans the range.
    return rc::gen::resize(100, rc::gen::inRange<int>(0, static_cast<int>(n)));
}

std::string typedText(const Action& action) {
    return action.first == 0 ? kHourTexts.at(at(action.second)) : kTimeTexts.at(at(action.second));
}

std::string describe(const Action& action) {
    switch (action.kind) {
    case Kind::Save:
        return "save";
    case Kind::Type: {
        constexpr std::array<const char*, 3> kFields = {"hours", "minutes", "seconds"};
        return std::string("type ") + kFields.at(at(action.first)) + " \"" + typedText(action) +
               "\"";
    }
    case Kind::Choose: {
        const std::string month = kMonths.at(at(action.first));
        return "choose " + month.substr(0, 2) + "-" + month.substr(2) + "-" +
               kDays.at(at(action.second));
    }
    case Kind::Undo:
        return "undo";
    case Kind::Redo:
        return "redo";
    case Kind::DeleteDay:
        return std::string("delete day: ") + answerText(action.answer);
    case Kind::RestoreDay:
        return std::string("restore day: ") + answerText(action.answer);
    case Kind::DeleteMonth:
        return std::string("delete month: ") + answerText(action.answer);
    case Kind::RestoreMonth:
        return std::string("restore month: ") + answerText(action.answer);
    case Kind::Close:
        return std::string("close: ") + answerText(action.answer);
    case Kind::DeleteEverything:
        if (action.answer != Answer::Yes) {
            return std::string("delete everything: ") + answerText(action.answer);
        }
        return std::string("delete everything: yes, then ") +
               (action.cancelPlanWindow ? "cancel the plan window, start again and " : "") +
               "choose the plan " + reference::kPlans.at(at(action.first)).text;
    case Kind::Restart:
        return "restart on " + dateText(kToday.at(at(action.first)));
    case Kind::RangeWindow:
        return "open and close the range window";
    }
    return "?";
}

void showValue(const Action& action, std::ostream& out) {
    out << describe(action);
}

rc::Gen<Action> genAction() {
    const auto choose = rc::gen::map(rc::gen::pair(choice(kMonths.size()), choice(kDays.size())),
                                     [](const std::pair<int, int>& date) {
                                         return Action{Kind::Choose, date.first, date.second};
                                     });
    const auto hours = rc::gen::map(choice(kHourTexts.size()), [](int text) {
        return Action{Kind::Type, 0, text};
    });
    const auto minutesOrSeconds =
        rc::gen::map(rc::gen::pair(rc::gen::map(choice(2), [](int field) { return field + 1; }),
                                   choice(kTimeTexts.size())),
                     [](const std::pair<int, int>& time) {
                         return Action{Kind::Type, time.first, time.second};
                     });
    const auto close =
        rc::gen::map(rc::gen::element(Answer::Yes, Answer::No, Answer::Cancel), [](Answer answer) {
            Action action{Kind::Close};
            action.answer = answer;
            return action;
        });
    const auto deleteEverything = rc::gen::map(
        rc::gen::tuple(rc::gen::weightedElement<Answer>({{3, Answer::Yes}, {1, Answer::No}}),
                       choice(reference::kPlans.size()),
                       rc::gen::weightedElement<bool>({{4, false}, {1, true}})),
        [](const std::tuple<Answer, int, bool>& choice) {
            Action action{Kind::DeleteEverything, std::get<1>(choice)};
            action.answer = std::get<0>(choice);
            action.cancelPlanWindow = std::get<2>(choice);
            return action;
        });
    const auto restart = rc::gen::map(choice(kToday.size()), [](int today) {
        return Action{Kind::Restart, today};
    });

    // The simpler steps come first: a counterexample shrinks towards them.
    return rc::gen::weightedOneOf<Action>({
        {14, plain(Kind::Save)},
        {8, hours},
        {18, minutesOrSeconds},
        {12, choose},
        {9, plain(Kind::Undo)},
        {7, plain(Kind::Redo)},
        {7, asking(Kind::DeleteDay)},
        {8, asking(Kind::RestoreDay)},
        {5, asking(Kind::DeleteMonth)},
        {7, asking(Kind::RestoreMonth)},
        {3, close},
        {1, deleteEverything},
        {2, restart},
        {2, plain(Kind::RangeWindow)},
    });
}

} // namespace model_test
