// Model-based test of the main window. RapidCheck generates sequences of the user's steps
// (booking, undo, redo, deleting and restoring days and months, closing, deleting everything,
// restarts, the range window); each sequence runs on the program, over an in-memory file layer,
// and on the reference model (reference_model.h), which knows the rules but none of the program's
// code. After every step the files, every figure and button shown and the messages must agree,
// and no booked second may have gone without the user's word. A failing sequence is shrunk by
// RapidCheck and reported step by step.
//
// Most sequences drive the main window's presenter; a smaller number drive the real window, to
// show that the widgets show what the presenter decides. SURFKLOCKA_MODEL_SEQUENCES sets the
// number of presenter sequences (100 000 unless set), SURFKLOCKA_MODEL_WINDOW_SEQUENCES that of
// window sequences (200, never more than the first), SURFKLOCKA_MODEL_SEED the seed (1); RC_PARAMS
// is RapidCheck's own and wins over the seed.

#include "actions.h"
#include "drivers.h"
#include "reference_model.h"

#include <QApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <rapidcheck.h>
#include <sstream>
#include <string>

namespace model_test {

namespace {

using reference::Answer;
using reference::Model;
using Files = platform::fakes::MemoryFileSystem::Files;

constexpr int kMaxSteps = 60;

// A day's cost here stays below 2^14 öre (at most 82 800 extra seconds, and 40 öre for each of at
// most 60 bookings), where a float rounds by at most 2^-11 öre; a booking rounds twice (its charge,
// then the sum).
constexpr double kFloatSlackPerCharge = 1e-3;

const char* buttonOf(Kind kind) {
    switch (kind) {
    case Kind::Save:
        return "cmdSpara";
    case Kind::Undo:
        return "cmdAngra";
    case Kind::Redo:
        return "cmdRedo";
    case Kind::DeleteDay:
        return "cmdKastapost";
    case Kind::RestoreDay:
        return "cmdAngrapost";
    case Kind::DeleteMonth:
        return "cmdKastamon";
    case Kind::RestoreMonth:
        return "cmdAngramon";
    case Kind::Close:
        return "cmdStang";
    case Kind::DeleteEverything:
        return "cmdKasta";
    case Kind::Type:
    case Kind::Choose:
    case Kind::Restart:
    case Kind::RangeWindow:
        break;
    }
    return nullptr;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// ---------------------------------------------------------------------------------------------
// Comparisons

std::optional<std::string> compareView(const reference::View& expected, const Shown& shown) {
    const auto differs = [](const char* what, const std::string& want, const std::string& got) {
        return std::string(what) + " shows " + quoted(got) + ", not " + quoted(want);
    };
    if (shown.title != expected.title) {
        return differs("the title", expected.title, shown.title);
    }
    if (shown.ramMonadstid != expected.ramMonadstid) {
        return differs("ramMonadstid", expected.ramMonadstid, shown.ramMonadstid);
    }
    if (shown.lblVisa_3 != expected.lblVisa_3) {
        return differs("lblVisa_3", expected.lblVisa_3, shown.lblVisa_3);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (shown.cmbSok[i] != expected.cmbSok[i]) {
            return differs(("cmbSok_" + std::to_string(i)).c_str(), expected.cmbSok[i],
                           shown.cmbSok[i]);
        }
        if (shown.cmbTid[i] != expected.cmbTid[i]) {
            return differs(("cmbTid_" + std::to_string(i)).c_str(), expected.cmbTid[i],
                           shown.cmbTid[i]);
        }
    }
    if (shown.daysInList != expected.daysInList) {
        return "the day list offers " + std::to_string(shown.daysInList) + " days, not " +
               std::to_string(expected.daysInList);
    }
    // The amounts (lblDagskost, lblKostnad, lblSumma) are the model's exact öre, rounded.
    const std::array<const reference::Label*, 7> labels = {
        &expected.lblDagstid, &expected.lblTidkvar, &expected.lblDagskost, &expected.lblTid,
        &expected.lblDyrtid,  &expected.lblKostnad, &expected.lblSumma};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const reference::Label& want = *labels[i];
        const auto& [text, red] = shown.labels[i];
        if (text != want.text && (want.alternative.empty() || text != want.alternative)) {
            return differs(kLabelNames[i], want.text, text);
        }
        if (red != (want.colour == reference::Colour::Red)) {
            return std::string(kLabelNames[i]) + " is " + (red ? "red" : "not red") + ", not " +
                   (red ? "normal" : "red");
        }
    }
    const std::array<const reference::Button*, 6> buttons = {
        &expected.cmdAngra,     &expected.cmdRedo,     &expected.cmdKastapost,
        &expected.cmdAngrapost, &expected.cmdKastamon, &expected.cmdAngramon};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const auto& [isShown, isEnabled] = shown.buttons[i];
        if (isShown != buttons[i]->shown) {
            return std::string(kButtonNames[i]) + (isShown ? " is shown" : " is hidden");
        }
        // A hidden button's state cannot be seen or used.
        if (isShown && isEnabled != buttons[i]->enabled) {
            return std::string(kButtonNames[i]) + (isEnabled ? " is enabled" : " is disabled");
        }
    }
    return std::nullopt;
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += (i % 16 == 0 && i != 0) ? " | " : (i == 0 ? "" : " ");
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

std::string monthText(const reference::Month& month) {
    if (month.empty()) {
        return "nothing: length 0";
    }
    std::vector<std::uint8_t> bytes;
    for (const reference::Day& day : month) {
        const auto record = reference::encodeDay(day);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return hex(bytes);
}

// Every file of the data folder against the model: the same names; tid.it byte for byte; each
// month file and copy record by record, byte for byte but for the float cost, which must lie
// within the rounding its charges can carry of the exact cost (and be exactly zero without them).
std::optional<std::string> compareFiles(const Model& model, const Files& actual) {
    for (const auto& [name, bytes] : actual) {
        if (name == "tid.it" ? !model.settings() : !model.months().contains(name)) {
            return "the data folder holds " + name + " (" + hex(bytes) + "), which it should not";
        }
    }
    if (model.settings()) {
        const auto found = actual.find("tid.it");
        if (found == actual.end()) {
            return std::string("tid.it is missing");
        }
        if (found->second != *model.settings()) {
            return "tid.it holds " + hex(found->second) + ", not " + hex(*model.settings());
        }
    }
    for (const auto& entry : model.months()) {
        const std::string& name = entry.first;
        const auto& month = entry.second;
        const auto found = actual.find(name);
        if (found == actual.end()) {
            return name + " is missing (it should hold " + monthText(month) + ")";
        }
        const std::vector<std::uint8_t>& bytes = found->second;
        const auto mismatch = [&] {
            return name + " holds " + hex(bytes) + ", not " + monthText(month);
        };
        if (bytes.size() != month.size() * reference::kRecordBytes) {
            return mismatch();
        }
        for (std::size_t index = 0; index < month.size(); ++index) {
            const reference::Day& day = month[index];
            const auto want = reference::encodeDay(day);
            const std::size_t offset = index * reference::kRecordBytes;
            if (!std::equal(want.begin() + 4, want.end(),
                            bytes.begin() + static_cast<std::ptrdiff_t>(offset + 4))) {
                return mismatch();
            }
            const reference::RawDay raw = reference::decodeDay(bytes, static_cast<int>(index) + 1);
            const double exact = static_cast<double>(day.costSixths) / 6.0;
            const bool costRight =
                day.costSixths == 0
                    ? raw.costBits == 0
                    : std::isfinite(raw.cost) && std::abs(static_cast<double>(raw.cost) - exact) <=
                                                     kFloatSlackPerCharge * day.charges;
            if (!costRight) {
                return name + " day " + std::to_string(index + 1) + " costs " +
                       std::to_string(raw.cost) + " öre, not " + std::to_string(exact) +
                       " (exactly " + std::to_string(day.costSixths) + " sixths of an öre)";
            }
        }
    }
    return std::nullopt;
}

// The connected seconds of every day of every month file in the folder.
std::map<std::pair<std::string, int>, std::int64_t> bookedSeconds(const Files& files) {
    std::map<std::pair<std::string, int>, std::int64_t> seconds;
    for (const auto& [name, bytes] : files) {
        if (!name.ends_with(".tid")) {
            continue;
        }
        for (int day = 1; day <= reference::kLongestMonth; ++day) {
            if (const std::int32_t connected = reference::decodeDay(bytes, day).connected) {
                seconds[{name, day}] = connected;
            }
        }
    }
    return seconds;
}

// What the user's step allows to take away: a day or a month deleted on the user's yes,
// everything, or the last booking that undo takes back.
struct Removal {
    bool everything = false;
    std::string month;
    std::pair<std::string, int> day;
    std::pair<std::string, int> undone;

    bool allows(const std::pair<std::string, int>& at) const {
        return everything || at.first == month || at == day || at == undone;
    }
};

// ---------------------------------------------------------------------------------------------
// One sequence

class Run {
public:
    Run(Driver& driver, int plan, bool exchangeUnsupported) : m_driver(driver), m_model(plan) {
        driver.files().exchangeUnsupported = exchangeUnsupported;
        driver.files().files() = {{"tid.it", reference::settingsBytes(plan)}};
        m_today = kToday[0];
        m_model.start(m_today);
        m_driver.start(m_today);
    }

    // The first start, before any step.
    std::optional<std::string> checkStart() {
        if (const auto messages = compareMessages()) {
            return messages;
        }
        if (!m_driver.mainWindowShown()) {
            return std::string("the main window is not shown");
        }
        if (const auto files = compareFiles(m_model, m_driver.files().files())) {
            return files;
        }
        return compareView(m_model.view(), m_driver.shown());
    }

    // Runs a step on both; what differs afterwards, if anything. A button that is hidden or
    // disabled is not clicked, as the user cannot click it: the step is then skipped.
    std::optional<std::string> step(const Action& action, bool& skipped) {
        skipped = false;
        const Files before = m_driver.files().files();
        const Shown shownBefore = m_driver.shown();
        const auto secondsBefore = bookedSeconds(before);
        const Removal allowed = allowedRemoval(action);
        m_driver.messages().clear();
        m_driver.messages().dropScript();
        m_model.takeMessages();
        m_restarted = false;
        m_titles.clear();

        if (const char* button = buttonOf(action.kind); button != nullptr) {
            if (!offered(action.kind)) {
                skipped = true;
                return std::nullopt;
            }
            m_driver.messages().script({answerOf(action.answer)});
        }
        if (const auto failure = apply(action)) {
            return failure;
        }
        m_driver.messages().dropScript();
        return check(action, before, shownBefore, secondsBefore, allowed);
    }

private:
    static platform::MessageBox::Answer answerOf(Answer answer) {
        switch (answer) {
        case Answer::Yes:
            return platform::MessageBox::Answer::Yes;
        case Answer::No:
            return platform::MessageBox::Answer::No;
        case Answer::Cancel:
            break;
        }
        return platform::MessageBox::Answer::Cancel;
    }

    bool offered(Kind kind) const {
        const reference::View& view = m_model.view();
        const auto usable = [](const reference::Button& button) {
            return button.shown && button.enabled;
        };
        switch (kind) {
        case Kind::Undo:
            return usable(view.cmdAngra);
        case Kind::Redo:
            return usable(view.cmdRedo);
        case Kind::DeleteDay:
            return usable(view.cmdKastapost);
        case Kind::RestoreDay:
            return usable(view.cmdAngrapost);
        case Kind::DeleteMonth:
            return usable(view.cmdKastamon);
        case Kind::RestoreMonth:
            return usable(view.cmdAngramon);
        default:
            return true; // save, close and delete everything are always there
        }
    }

    Removal allowedRemoval(const Action& action) const {
        Removal removal;
        const bool yes = action.answer == Answer::Yes;
        switch (action.kind) {
        case Kind::DeleteDay:
            if (yes) {
                removal.day = {m_model.chosenMonthFile(), m_model.chosenDay()};
            }
            break;
        case Kind::DeleteMonth:
            if (yes) {
                removal.month = m_model.chosenMonthFile();
            }
            break;
        case Kind::DeleteEverything:
            removal.everything = yes;
            break;
        case Kind::Undo:
            removal.undone = {m_model.lastBooking().file, m_model.lastBooking().day};
            break;
        default:
            break;
        }
        return removal;
    }

    std::optional<std::string> apply(const Action& action) {
        const auto index = [](int i) { return static_cast<std::size_t>(i); };
        switch (action.kind) {
        case Kind::Choose: {
            const std::string month = kMonths.at(index(action.first));
            const std::array<std::string, 3> texts = {month.substr(0, 2), month.substr(2),
                                                      kDays.at(index(action.second))};
            for (int list = 0; list < 3; ++list) {
                const std::string& text = texts.at(index(list));
                // The day list holds only the chosen month's days.
                if (list == 2 && std::stoi(text) > m_model.view().daysInList) {
                    continue;
                }
                m_model.chooseDate(list, text);
                m_driver.chooseDate(list, text);
            }
            return std::nullopt;
        }
        case Kind::Type:
            m_model.typeTime(action.first, typedText(action));
            m_driver.typeTime(action.first, typedText(action));
            return std::nullopt;
        case Kind::Save:
            m_model.save();
            break;
        case Kind::Undo:
            m_model.undo();
            break;
        case Kind::Redo:
            m_model.redo();
            break;
        case Kind::DeleteDay:
            m_model.deleteDay(action.answer);
            break;
        case Kind::RestoreDay:
            m_model.restoreDay(action.answer);
            break;
        case Kind::DeleteMonth:
            m_model.deleteMonth(action.answer);
            break;
        case Kind::RestoreMonth:
            m_model.restoreMonth(action.answer);
            break;
        case Kind::Close:
            m_model.close(action.answer);
            break;
        case Kind::DeleteEverything:
            m_model.deleteEverything(action.answer);
            break;
        case Kind::Restart:
            // The program ends without a close (it is killed, or the machine stops) and starts
            // again: the copies stay, and the new run knows none of them.
            m_today = kToday.at(index(action.first));
            m_model.start(m_today);
            m_driver.start(m_today);
            return std::nullopt;
        case Kind::RangeWindow:
            m_model.rangeWindow();
            m_driver.rangeWindow();
            return std::nullopt;
        }
        m_driver.click(buttonOf(action.kind));
        if (m_driver.ended() != m_model.ended()) {
            return std::string(m_model.ended() ? "the program did not end" : "the program ended");
        }
        if (!m_model.ended()) {
            return std::nullopt;
        }
        if (const auto messages = compareMessages()) {
            return messages;
        }
        // The program has ended; it is started again.
        m_restarted = true;
        m_model.start(m_today);
        m_driver.start(m_today);
        if (action.kind == Kind::DeleteEverything) {
            return firstStart(action);
        }
        return std::nullopt;
    }

    // After deleting everything: the plan window asks for the plan, and may be cancelled once.
    std::optional<std::string> firstStart(const Action& action) {
        if (!m_model.planWindow() || !m_driver.planWindowShown()) {
            return std::string("the start after deleting everything did not ask for the plan");
        }
        if (action.cancelPlanWindow) {
            m_model.planCancel();
            m_driver.planCancel();
            if (!m_driver.ended()) {
                return std::string("cancelling the plan window did not end the program");
            }
            if (const auto files = compareFiles(m_model, m_driver.files().files())) {
                return "after cancelling the plan window: " + *files;
            }
            m_model.start(m_today);
            m_driver.start(m_today);
            if (!m_driver.planWindowShown()) {
                return std::string("the start after a cancelled plan window did not ask again");
            }
        }
        m_model.planOk(action.first);
        m_driver.planOk(action.first);
        if (m_driver.planWindowShown()) {
            return std::string("the plan window did not close on OK");
        }
        return std::nullopt;
    }

    std::optional<std::string> compareMessages() {
        const std::vector<std::string> expected = m_model.takeMessages();
        std::vector<std::string> shown;
        for (const auto& box : m_driver.messages().shown()) {
            shown.push_back(box.title);
        }
        m_driver.messages().clear();
        m_titles.insert(m_titles.end(), shown.begin(), shown.end());
        if (m_driver.messages().unscriptedQuestions() != 0) {
            return std::string("a question was asked that the step did not expect");
        }
        if (shown != expected) {
            const auto list = [](const std::vector<std::string>& titles) {
                std::string text = "(";
                for (const std::string& title : titles) {
                    text += (text.size() > 1 ? ", " : "") + quoted(title);
                }
                return text + ")";
            };
            return "the message boxes shown were " + list(shown) + ", not " + list(expected);
        }
        return std::nullopt;
    }

    std::optional<std::string>
    check(const Action& action, const Files& before, const Shown& shownBefore,
          const std::map<std::pair<std::string, int>, std::int64_t>& secondsBefore,
          const Removal& allowed) {
        if (const auto messages = compareMessages()) {
            return messages;
        }
        if (!m_driver.mainWindowShown()) {
            return std::string("the main window is not in use after the step");
        }
        const Files& files = m_driver.files().files();
        if (const auto difference = compareFiles(m_model, files)) {
            return difference;
        }
        const Shown shown = m_driver.shown();
        if (const auto difference = compareView(m_model.view(), shown)) {
            return difference;
        }

        // No booked second goes without the user's word: only a deletion answered yes, or undo.
        // A restore is no such step: it never lowers a day booked after the deletion.
        const auto secondsAfter = bookedSeconds(files);
        for (const auto& [at, seconds] : secondsBefore) {
            const auto found = secondsAfter.find(at);
            const std::int64_t now = found == secondsAfter.end() ? 0 : found->second;
            if (now < seconds && !allowed.allows(at)) {
                return at.first + " day " + std::to_string(at.second) + " lost " +
                       std::to_string(seconds - now) + " booked seconds";
            }
        }
        // The files hold what the user booked and did not take back.
        for (const auto& [name, days] : m_model.ledger()) {
            for (int day = 1; day <= reference::kLongestMonth; ++day) {
                const auto found = secondsAfter.find({name, day});
                const std::int64_t held = found == secondsAfter.end() ? 0 : found->second;
                if (held != days.at(static_cast<std::size_t>(day - 1))) {
                    return name + " day " + std::to_string(day) + " holds " + std::to_string(held) +
                           " seconds, but the user booked " +
                           std::to_string(days.at(static_cast<std::size_t>(day - 1)));
                }
            }
        }
        for (const auto& [at, seconds] : secondsAfter) {
            if (m_model.booked(at.first, at.second) != seconds) {
                return at.first + " day " + std::to_string(at.second) + " holds " +
                       std::to_string(seconds) + " seconds the user did not book";
            }
        }

        // A question answered no, a cancelled close and a refused booking change nothing; the
        // refused booking only empties the time fields.
        const bool refused = action.kind == Kind::Save &&
                             std::ranges::find(m_titles, "Dygnet är slut") != m_titles.end();
        const bool asks = action.kind == Kind::DeleteDay || action.kind == Kind::RestoreDay ||
                          action.kind == Kind::DeleteMonth || action.kind == Kind::RestoreMonth ||
                          action.kind == Kind::DeleteEverything;
        const bool declined =
            (asks && action.answer == Answer::No) ||
            (action.kind == Kind::Close && action.answer == Answer::Cancel && !m_restarted);
        if (refused || declined) {
            Shown unchanged = shownBefore;
            if (refused) {
                unchanged.cmbTid = {};
            }
            if (files != before || shown != unchanged) {
                return std::string(refused ? "a refused booking" : "a step answered no") +
                       " changed files or what is shown";
            }
        }
        return checkCopies(shown);
    }

    // Undo, redo and the restores are offered only while their copies are there and can serve.
    std::optional<std::string> checkCopies(const Shown& shown) const {
        const Files& files = m_driver.files().files();
        const auto usable = [&shown](std::size_t button) {
            return shown.buttons[button].first && shown.buttons[button].second;
        };
        const auto has = [&files](const std::string& name) { return files.contains(name); };
        if ((usable(0) || usable(1)) && (!has(m_model.entryBackup()) || has("temp.tmp"))) {
            return "undo or redo is offered without the undo copy " + m_model.entryBackup();
        }
        if (usable(3)) {
            const std::string& month = m_model.deletedDayFile();
            if (!has("post2.tmp")) {
                return std::string("the day's restore is offered without post2.tmp");
            }
            const std::vector<std::uint8_t> now =
                has(month) ? files.at(month) : std::vector<std::uint8_t>{};
            if (now != reference::withoutDayBytes(files.at("post2.tmp"), m_model.deletedDay())) {
                return "the day's restore is offered, but " + month +
                       " is no longer what the deletion left";
            }
        }
        if (usable(5) && (!has("mon.tmp") || has(m_model.deletedMonthFile()))) {
            return "the month's restore is offered, but mon.tmp is gone or " +
                   m_model.deletedMonthFile() + " is there again";
        }
        return std::nullopt;
    }

    Driver& m_driver;
    Model m_model;
    reference::Date m_today;
    bool m_restarted = false;          // the step ended the program, and it was started again
    std::vector<std::string> m_titles; // the titles of the message boxes the step showed
};

// Runs a sequence; where it first fails and why, with the steps up to there.
std::optional<std::string> runSequence(Driver& driver, int plan, bool exchangeUnsupported,
                                       const std::vector<Action>& actions) {
    std::string steps =
        "\nplan " + std::string(reference::kPlans.at(static_cast<std::size_t>(plan)).text) +
        (exchangeUnsupported ? ", swaps by copies" : ", swaps by exchange") + "; the steps:";
    std::optional<Run> run;
    try {
        run.emplace(driver, plan, exchangeUnsupported);
        if (const auto failure = run->checkStart()) {
            return "at the start: " + *failure + steps;
        }
        for (std::size_t i = 0; i < actions.size(); ++i) {
            bool skipped = false;
            const auto failure = run->step(actions[i], skipped);
            steps += "\n  " + std::to_string(i + 1) + ". " + describe(actions[i]) +
                     (skipped ? " (not offered: skipped)" : "");
            if (failure) {
                return "step " + std::to_string(i + 1) + " (" + describe(actions[i]) +
                       "): " + *failure + steps;
            }
        }
    } catch (const std::exception& error) {
        return std::string("stopped by an exception: ") + error.what() + steps;
    }
    return std::nullopt;
}

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

// Checks `count` generated sequences on drivers made by `makeDriver`.
void checkSequences(long count, std::unique_ptr<Driver> (*makeDriver)()) {
    // The seed is RapidCheck's (RC_PARAMS), which main sets from SURFKLOCKA_MODEL_SEED.
    rc::detail::TestParams params = rc::detail::configuration().testParams;
    params.maxSuccess = static_cast<int>(count);
    params.maxSize = kMaxSteps;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    rc::detail::TestMetadata metadata;
    metadata.id = std::string(test->test_suite_name()) + "/" + test->name();
    metadata.description = test->name();

    const auto result = rc::detail::checkTestable(
        [makeDriver] {
            const int plan = *choice(reference::kPlans.size());
            const bool exchangeUnsupported = *choice(2) == 1;
            const auto actions =
                *rc::gen::resize(kMaxSteps, rc::gen::container<std::vector<Action>>(genAction()));
            const std::unique_ptr<Driver> driver = makeDriver();
            if (const auto failure = runSequence(*driver, plan, exchangeUnsupported, actions)) {
                RC_FAIL(*failure);
            }
        },
        metadata, params);
    if (!result.is<rc::detail::SuccessResult>()) {
        std::ostringstream report;
        rc::detail::printResultMessage(result, report);
        ADD_FAILURE() << "seed " << params.seed << ": " << report.str();
    }
}

} // namespace

TEST(ModelTest, PresenterKeepsFilesFiguresAndButtonsWithTheModel) {
    checkSequences(fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 100000), makePresenterDriver);
}

TEST(ModelTest, WindowShowsWhatTheModelShows) {
    const long sequences = fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 100000);
    checkSequences(std::min(sequences, fromEnvironment("SURFKLOCKA_MODEL_WINDOW_SEQUENCES", 200)),
                   makeWindowDriver);
}

} // namespace model_test

int main(int argc, char** argv) {
    // Reproducible runs: the same sequences every time unless a seed is given.
    if (std::getenv("RC_PARAMS") == nullptr) {
        const char* seed = std::getenv("SURFKLOCKA_MODEL_SEED");
        const std::string params =
            std::string("seed=") + (seed != nullptr && *seed != '\0' ? seed : "1");
        setenv("RC_PARAMS", params.c_str(), 1);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns of every window it cannot size; the run has many.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && !message.contains(QLatin1String("propagateSizeHints"))) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
    });
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
