// Model-based test of the main window. RapidCheck generates sequences of the user's steps
// (booking, undo, redo, deleting and restoring days and months, closing, restarts); each runs on
// the program, over an in-memory file layer, and on the reference folder (reference_model.h),
// which knows the rules but none of the program's code. After every step the data folder must
// hold byte for byte what the reference worked out, and each day the seconds the ledger says the
// user booked and did not take back; a step answered no changes no file and nothing shown; and
// undo, redo and the restores are offered only while their copies are there and can serve. A
// failing sequence is shrunk and told step by step. What the window shows is checked by the
// presenter's example tests (test_main_presenter_views.cpp).
//
// Most sequences drive the main window's presenter; fewer drive the real window, whose buttons
// must reach the presenter's commands and show its buttons: the wiring. SURFKLOCKA_MODEL_SEQUENCES
// sets the number of presenter sequences (100 000 unless set), SURFKLOCKA_MODEL_WINDOW_SEQUENCES
// that of window sequences (200, never more than the first), SURFKLOCKA_MODEL_SEED the seed (1);
// RC_PARAMS is RapidCheck's own and wins over the seed.

#include "app/frmSurfur.h"
#include "presenter/main_presenter.h"
#include "reference_model.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <gtest/gtest.h>
#include <rapidcheck.h>

namespace {

using presenter::MainPresenter;
using presenter::MainView;
using reference::Answer;
using reference::Files;

// The steps: the buttons (the first seven ask nothing or whether to go on; then cmdStang), then
// typing into a time field, choosing a date, and a restart.
constexpr std::size_t kClose = 7, kType = 8, kChoose = 9, kRestart = 10;
constexpr std::array<const char*, 11> kSteps = {
    "cmdSpara",    "cmdAngra", "cmdRedo", "cmdKastapost", "cmdAngrapost", "cmdKastamon",
    "cmdAngramon", "cmdStang", "type",    "choose",       "restart"};
using Folder = reference::Folder;
constexpr std::array<bool (Folder::*)(const reference::Entry&, Answer), 8> kModelSteps = {
    &Folder::save,       &Folder::undo,        &Folder::redo,         &Folder::deleteDay,
    &Folder::restoreDay, &Folder::deleteMonth, &Folder::restoreMonth, &Folder::close};
constexpr std::array<const MainView& (MainPresenter::*)(), 8> kCommands = {
    &MainPresenter::save,         &MainPresenter::undo,       &MainPresenter::redo,
    &MainPresenter::deleteDay,    &MainPresenter::restoreDay, &MainPresenter::deleteMonth,
    &MainPresenter::restoreMonth, &MainPresenter::close};
constexpr std::array<presenter::Button MainView::*, 6> kButtons = {
    &MainView::cmdAngra,     &MainView::cmdRedo,     &MainView::cmdKastapost,
    &MainView::cmdAngrapost, &MainView::cmdKastamon, &MainView::cmdAngramon};
// A few months and days, so that the steps meet the same files often.
constexpr std::array<const char*, 4> kMonths = {"0111", "0112", "0201", "0202"};
constexpr std::array<const char*, 3> kDays = {"05", "06", "31"};
// What may be typed into a time field: "75" carries into the next larger field, "x" is cleared.
constexpr std::array<const char*, 9> kTimeTexts = {"", "0", "1", "2", "20", "59", " 7", "75", "x"};
// The dates a run starts on.
constexpr std::array<core::Date, 3> kToday = {{{2001, 12, 5}, {2002, 1, 31}, {2002, 2, 6}}};

// The program, through the presenter or through the real window.
struct Program {
    virtual ~Program() = default;
    // A new run on the data folder as it stands, the clock on `today`.
    virtual void start(const core::Date& today) = 0;
    // A date list or time field given a text, or a step's button clicked.
    virtual void use(const std::string& control, const std::string& text, std::size_t step) = 0;
    // What the window shows: all of it from the presenter, the lists and buttons from the window.
    virtual MainView shown() const = 0;
    virtual bool ended() const = 0;

    platform::fakes::MemoryFileSystem files;
    platform::fakes::FakeOutside outside{core::Date{2001, 12, 5}};
    platform::Services services = outside.with(files);
    core::ProgramSettings settings;
};

struct PresenterProgram final : Program {
    void start(const core::Date& today) override {
        outside.clock.set(today);
        main.emplace(services, settings = {}).load(); // a new process
        main->activate();
    }
    void use(const std::string& control, const std::string& text, std::size_t step) override {
        const int index = control.back() - '0';
        control == "cmbSok_" + std::to_string(index)   ? main->chooseDate(index, text)
        : control == "cmbTid_" + std::to_string(index) ? main->typeTime(index, text)
                                                       : ((*main).*kCommands.at(step))();
    }
    MainView shown() const override { return main->view(); }
    bool ended() const override { return main->view().ended; }

    std::optional<MainPresenter> main;
};

struct WindowProgram final : Program {
    void start(const core::Date& today) override {
        outside.clock.set(today);
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window = std::make_unique<app::frmSurfur>(services, settings = {}); // a new process
        QObject::connect(window.get(), &app::frmSurfur::programEnded, [this] { isEnded = true; });
        isEnded = false;
        window->start();
    }
    void use(const std::string& control, const std::string& text, std::size_t) override {
        const QString typed = QString::fromStdString(text);
        if (control.starts_with("cmb")) {
            control[3] == 'S' ? find<QComboBox>(control)->setCurrentText(typed)
                              : find<QComboBox>(control)->setEditText(typed);
            return;
        }
        find<QAbstractButton>(control)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    MainView shown() const override {
        MainView view;
        for (std::size_t i = 0; i < 3; ++i) {
            *std::array{&view.cmbSok_0, &view.cmbSok_1, &view.cmbSok_2}[i] =
                find<QComboBox>("cmbSok_" + std::to_string(i))->currentText().toStdString();
            view.cmbTid[i] =
                find<QComboBox>("cmbTid_" + std::to_string(i))->currentText().toStdString();
        }
        view.daysInList = find<QComboBox>("cmbSok_2")->count();
        for (std::size_t i = 0; i < kButtons.size(); ++i) {
            const auto* button = find<QAbstractButton>(kSteps.at(i + 1));
            view.*kButtons.at(i) = {!button->isHidden(), button->isEnabled()};
        }
        return view;
    }
    bool ended() const override { return isEnded; }

    // A child of the main window by its object name; a missing one is a fault of the window.
    template <typename T>
    T* find(const std::string& name) const {
        T* found = window->findChild<T*>(QString::fromStdString(name));
        return found != nullptr ? found : throw std::runtime_error("no " + name);
    }

    std::unique_ptr<app::frmSurfur> window;
    bool isEnded = false;
};

struct Action {
    std::size_t kind = 0; // kSteps
    // Type: the field (0 hours) and kTimeTexts. Choose: kMonths and kDays. Restart: kToday.
    std::size_t first = 0;
    std::size_t second = 0;
    Answer answer = Answer::Yes; // to the step's question, if it asks one
};

void showValue(const Action& action, std::ostream& out) {
    out << kSteps.at(action.kind) << " " << action.first << " " << action.second << " "
        << std::array{"yes", "no", "cancel"}.at(static_cast<std::size_t>(action.answer));
}

// One of n choices, uniformly (at RapidCheck's nominal size of 100), shrinking towards 0.
rc::Gen<std::size_t> choice(std::size_t n) {
    return rc::gen::resize(100, rc::gen::inRange<std::size_t>(0, n));
}

// Steps weighted so that bookings, undo and deletions meet each other often; the simpler steps
// first, as a counterexample shrinks towards them.
rc::Gen<Action> genAction() {
    return rc::gen::exec([] {
        // The share of each step in a hundred, in the order of kSteps.
        constexpr std::array<std::size_t, 11> kShares = {14, 9, 7, 7, 8, 5, 7, 3, 28, 12, 2};
        std::size_t kind = 0;
        for (std::size_t pick = *choice(100); pick >= kShares.at(kind); ++kind) {
            pick -= kShares.at(kind);
        }
        const std::size_t first = *choice(kind == kChoose ? kMonths.size() : 3);
        const std::size_t second = *choice(kind == kChoose ? kDays.size() : kTimeTexts.size());
        return Action{kind, first, second,
                      *rc::gen::weightedElement<Answer>(
                          {{6, Answer::Yes}, {2, Answer::No}, {1, Answer::Cancel}})};
    });
}

bool offered(const presenter::Button& button) {
    return button.shown && button.enabled;
}

// The folder against the model, byte for byte; every day's connected seconds against the
// ledger; and undo, redo and the restores offered only while their copies are there and can
// serve.
std::optional<std::string> check(const Folder& model, const Files& files, const MainView& view) {
    reference::Seconds held;
    reference::Seconds booked = model.ledger;
    std::erase_if(booked, [](const auto& day) { return day.second == 0; });
    for (const auto& [name, bytes] : files) {
        for (int day = 1; name.ends_with(".tid") && day <= 31; ++day) {
            if (const auto connected = reference::field<std::int32_t>(bytes, day, 4)) {
                held[{name, day}] = connected;
            }
        }
    }
    const auto month = files.find(model.deletedDay.first);
    const auto has = [&files](const std::string& name) { return files.contains(name); };
    const std::array<std::pair<bool, const char*>, 5> failures = {
        {{files != model.files, "the data folder is not what the steps leave"},
         {held != booked, "the days hold other seconds than the user booked"},
         {(offered(view.cmdAngra) || offered(view.cmdRedo)) &&
              (!has(model.entryBackup) || has("temp.tmp")),
          "undo or redo is offered without its copy"},
         {offered(view.cmdAngrapost) &&
              (!has("post2.tmp") ||
               (month == files.end() ? reference::Bytes{} : month->second) !=
                   reference::withoutDay(files.at("post2.tmp"), model.deletedDay.second)),
          "the day's restore is offered without its copy, or over a change"},
         {offered(view.cmdAngramon) && (!has("mon.tmp") || has(model.deletedMonth)),
          "the month's restore is offered without its copy, or over the month"}}};
    for (const auto& [failed, why] : failures) {
        if (failed) {
            return why;
        }
    }
    return std::nullopt;
}

// Runs a sequence; where it first fails and why, with the steps up to there. A button that is not
// offered cannot be clicked: the step is then skipped.
std::optional<std::string> runSequence(Program& program, const std::vector<Action>& actions) {
    const reference::Plan& plan = reference::kPlans.at(*choice(reference::kPlans.size()));
    Folder model(plan);
    program.files.exchangeUnsupported = *choice(2) == 1;
    program.files.files() = model.files;
    std::string steps = std::string("\nplan ") + plan.text +
                        (program.files.exchangeUnsupported ? ", swaps by copies" : "") +
                        "; the steps:";
    core::Date today = kToday[0];
    const auto start = [&] {
        model.start();
        program.start(today);
    };
    try {
        start();
        for (std::size_t i = 0; i < actions.size(); ++i) {
            const Action& action = actions[i];
            const auto step = action.kind;
            const Files before = program.files.files();
            MainView shown = program.shown();
            const bool skipped = step >= 1 && step <= 6 && !offered(shown.*kButtons.at(step - 1));
            steps += "\n  " + std::to_string(i + 1) + ". " + rc::toString(action) +
                     (skipped ? " (not offered: skipped)" : "");
            bool ended = false;
            for (std::size_t list = 0; list < 3 && action.kind == kChoose; ++list) {
                const std::string text =
                    list == 2 ? kDays.at(action.second)
                              : std::string(kMonths.at(action.first)).substr(2 * list, 2);
                // The day list offers only the chosen month's days.
                if (list < 2 || std::stoi(text) <= program.shown().daysInList) {
                    program.use("cmbSok_" + std::to_string(list), text, step);
                }
            }
            if (action.kind == kType) {
                program.use("cmbTid_" + std::to_string(action.first), kTimeTexts.at(action.second),
                            step);
            } else if (action.kind == kRestart) {
                // The program ends without a close (killed, or the machine stops) and starts
                // again: the copies stay, and the new run knows none of them.
                today = kToday.at(action.first);
                start();
            } else if (!skipped && step < kModelSteps.size()) {
                const reference::Entry entry{
                    {shown.cmbSok_0 + shown.cmbSok_1 + ".tid", std::atoi(shown.cmbSok_2.c_str())},
                    shown.cmbTid};
                ended =
                    (model.*kModelSteps.at(step))(entry, action.answer) && action.kind == kClose;
                using Reply = platform::MessageBox::Answer;
                program.outside.messages.script(
                    {std::array{Reply::Yes, Reply::No, Reply::Cancel}.at(
                        static_cast<std::size_t>(action.answer))});
                program.use(kSteps.at(step), "", step);
                program.outside.messages.dropScript();
            }
            shown.focus = program.shown().focus;
            const bool declined = !ended && action.answer != Answer::Yes && step >= 3 && step <= 7;
            const bool endedRight = program.ended() == ended;
            if (ended && endedRight) {
                start(); // the user starts the program again
            }
            const auto failure =
                !endedRight ? std::optional<std::string>("the program did or did not end")
                : declined && (program.files.files() != before || program.shown() != shown)
                    ? "a step answered no changed files or what is shown"
                    : check(model, program.files.files(), program.shown());
            if (failure) {
                return "step " + std::to_string(i + 1) + ": " + *failure + steps;
            }
        }
    } catch (const std::exception& error) {
        return std::string("stopped by an exception: ") + error.what() + steps;
    }
    return std::nullopt;
}

template <typename Driven>
void checkSequences(long count) {
    // The seed is RapidCheck's (RC_PARAMS), which main sets from SURFKLOCKA_MODEL_SEED.
    rc::detail::TestParams params = rc::detail::configuration().testParams;
    params.maxSuccess = static_cast<int>(count);
    const auto result = rc::detail::checkTestable(
        [] {
            const auto actions =
                *rc::gen::resize(60, rc::gen::container<std::vector<Action>>(genAction()));
            Driven program;
            if (const auto failure = runSequence(program, actions)) {
                RC_FAIL(*failure);
            }
        },
        rc::detail::TestMetadata{}, params);
    if (!result.template is<rc::detail::SuccessResult>()) {
        rc::detail::printResultMessage(result, std::cerr);
    }
    EXPECT_TRUE(result.template is<rc::detail::SuccessResult>()) << "seed " << params.seed;
}

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

} // namespace

TEST(ModelTest, PresenterKeepsTheFilesTheLedgerAndTheCopies) {
    checkSequences<PresenterProgram>(fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 100000));
}

TEST(ModelTest, WindowReachesThePresenterAndShowsItsButtons) {
    checkSequences<WindowProgram>(
        std::min(fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 100000),
                 fromEnvironment("SURFKLOCKA_MODEL_WINDOW_SEQUENCES", 200)));
}

int main(int argc, char** argv) {
    // Reproducible runs: the same sequences every time unless a seed is given.
    const char* seed = std::getenv("SURFKLOCKA_MODEL_SEED");
    setenv("RC_PARAMS", ("seed=" + std::string(seed != nullptr && *seed ? seed : "1")).c_str(), 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
