// Model-based test of the main window. RapidCheck generates sequences of the user's steps
// (booking, undo, redo, deleting and restoring days and months, closing, restarts, the range
// window); each runs on the main window's presenter, over an in-memory file layer, and on the
// reference folder (reference_model.h), which knows the rules but none of the program's code.
// After every step the data folder must hold byte for byte what the reference worked out, and
// each day the seconds the ledger says the user booked and did not take back; a step answered no,
// or a close cancelled, changes no file and nothing shown; and undo, redo and the restores are
// offered only while their copies are there and can serve. A failing sequence is shrunk and told
// step by step. What the window shows is checked by the presenter's example tests; here fewer
// sequences also run on the real window beside the presenter, which must show the same and leave
// the same files: the window's wiring.
//
// SURFKLOCKA_MODEL_SEQUENCES sets the number of sequences (100 000 unless set),
// SURFKLOCKA_MODEL_WINDOW_SEQUENCES how many also run on the window (200), SURFKLOCKA_MODEL_SEED
// the seed (1); RC_PARAMS is RapidCheck's own and wins over the seed.

#include "app/frmSurfur.h"
#include "presenter/main_presenter.h"
#include "presenter/range_presenter.h"
#include "reference_model.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <sstream>

namespace {

using presenter::MainPresenter;
using presenter::MainView;
using reference::Answer;
using reference::Bytes;
using Files = reference::Files;

// ---------------------------------------------------------------------------------------------
// The program, through the presenter or through the real window

constexpr std::array<std::pair<const char*, presenter::Label MainView::*>, 7> kLabels = {
    {{"lblDagstid", &MainView::lblDagstid},
     {"lblTidkvar", &MainView::lblTidkvar},
     {"lblDagskost", &MainView::lblDagskost},
     {"lblTid", &MainView::lblTid},
     {"lblDyrtid", &MainView::lblDyrtid},
     {"lblKostnad", &MainView::lblKostnad},
     {"lblSumma", &MainView::lblSumma}}};
constexpr std::array<std::pair<const char*, presenter::Button MainView::*>, 6> kButtons = {
    {{"cmdAngra", &MainView::cmdAngra},
     {"cmdRedo", &MainView::cmdRedo},
     {"cmdKastapost", &MainView::cmdKastapost},
     {"cmdAngrapost", &MainView::cmdAngrapost},
     {"cmdKastamon", &MainView::cmdKastamon},
     {"cmdAngramon", &MainView::cmdAngramon}}};

// What the main window shows, in one line: the title, the captions, the lists, the time fields,
// each label (* when red) and each button (+ enabled, - disabled, or hidden).
std::string text(const MainView& view) {
    std::string out = view.title + "|" + view.ramMonadstid + "|" + view.lblVisa_3 + "|" +
                      view.cmbSok_0 + view.cmbSok_1 + view.cmbSok_2 + "/" +
                      std::to_string(view.daysInList) + "|" + view.cmbTid[0] + ":" +
                      view.cmbTid[1] + ":" + view.cmbTid[2];
    for (const auto& [name, label] : kLabels) {
        out +=
            "|" + (view.*label).text + ((view.*label).colour == presenter::Colour::Red ? "*" : "");
    }
    for (const auto& [name, button] : kButtons) {
        out += std::string(" ") + name +
               (!(view.*button).shown    ? " hidden"
                : (view.*button).enabled ? "+"
                                         : "-");
    }
    return out;
}

struct Program {
    virtual ~Program() = default;
    // A new run on the data folder as it stands, the clock on `today`.
    virtual void start(const core::Date& today) = 0;
    // A date list or time field given a text, or a button clicked; cmdFran_till opens the range
    // window, which is closed again.
    virtual void use(const std::string& control, const std::string& text) = 0;
    virtual MainView shown() const = 0; // the texts, lists, labels and buttons
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
    void use(const std::string& control, const std::string& text) override {
        static const std::map<std::string, const MainView& (MainPresenter::*)()> kCommands = {
            {"cmdSpara", &MainPresenter::save},
            {"cmdStang", &MainPresenter::close},
            {"cmdAngra", &MainPresenter::undo},
            {"cmdRedo", &MainPresenter::redo},
            {"cmdKastapost", &MainPresenter::deleteDay},
            {"cmdAngrapost", &MainPresenter::restoreDay},
            {"cmdKastamon", &MainPresenter::deleteMonth},
            {"cmdAngramon", &MainPresenter::restoreMonth},
            {"cmdFran_till", &MainPresenter::activate}};
        const int index = control.back() - '0';
        if (control.starts_with("cmb")) {
            control[3] == 'S' ? main->chooseDate(index, text) : main->typeTime(index, text);
            return;
        }
        if (control == "cmdFran_till") {
            presenter::RangePresenter range(services, settings);
            range.load();
            range.close();
        }
        ((*main).*kCommands.at(control))();
    }
    MainView shown() const override { return main->view(); }
    bool ended() const override { return main->view().ended; }

    std::optional<MainPresenter> main;
};

struct WindowProgram final : Program {
    ~WindowProgram() override { start(std::nullopt); }
    void start(std::optional<core::Date> today) {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (today) {
            outside.clock.set(*today);
            window = std::make_unique<app::frmSurfur>(services, settings = {}); // a new process
            QObject::connect(window.get(), &app::frmSurfur::programEnded,
                             [this] { isEnded = true; });
            isEnded = false;
            window->start();
        }
    }
    void start(const core::Date& today) override { start(std::optional(today)); }
    void use(const std::string& control, const std::string& text) override {
        if (auto* list = find<QComboBox>(control, false)) {
            const QString typed = QString::fromStdString(text);
            control[3] == 'S' ? list->setCurrentText(typed) : list->setEditText(typed);
            return;
        }
        find<QAbstractButton>(control)->click();
        if (control == "cmdFran_till") {
            find<QWidget>("frmFran_till")
                ->findChild<QAbstractButton*>(QStringLiteral("cmdStang"))
                ->click();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    MainView shown() const override {
        MainView view;
        view.title = window->windowTitle().toStdString();
        view.ramMonadstid = find<QGroupBox>("ramMonadstid")->title().toStdString();
        view.lblVisa_3 = find<QLabel>("lblVisa_3")->text().toStdString();
        for (std::size_t i = 0; i < 3; ++i) {
            *std::array{&view.cmbSok_0, &view.cmbSok_1, &view.cmbSok_2}[i] =
                find<QComboBox>("cmbSok_" + std::to_string(i))->currentText().toStdString();
            view.cmbTid[i] =
                find<QComboBox>("cmbTid_" + std::to_string(i))->currentText().toStdString();
        }
        view.daysInList = find<QComboBox>("cmbSok_2")->count();
        for (const auto& [name, member] : kLabels) {
            const auto* label = find<QLabel>(name);
            const bool red = label->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
            view.*member = {label->text().toStdString(),
                            red ? presenter::Colour::Red : presenter::Colour::Normal};
        }
        for (const auto& [name, member] : kButtons) {
            view.*member = {!find<QAbstractButton>(name)->isHidden(),
                            find<QAbstractButton>(name)->isEnabled()};
        }
        return view;
    }
    bool ended() const override { return isEnded; }

    // A child of the main window by its object name; a missing one is a fault of the window.
    template <typename T>
    T* find(const std::string& name, bool needed = true) const {
        T* found = window->findChild<T*>(QString::fromStdString(name));
        return found != nullptr || !needed ? found : throw std::runtime_error("no " + name);
    }

    std::unique_ptr<app::frmSurfur> window;
    bool isEnded = false;
};

// ---------------------------------------------------------------------------------------------
// The user's steps

enum class Kind {
    Save,
    Undo,
    Redo,
    DeleteDay,
    RestoreDay,
    DeleteMonth,
    RestoreMonth,
    Close,
    RangeWindow,
    Type,
    Choose,
    Restart
};
constexpr std::array<const char*, 12> kSteps = {
    "cmdSpara",    "cmdAngra", "cmdRedo",      "cmdKastapost", "cmdAngrapost", "cmdKastamon",
    "cmdAngramon", "cmdStang", "cmdFran_till", "type",         "choose",       "restart"};
constexpr std::array<bool (reference::Folder::*)(const reference::Entry&, Answer), 9> kModelSteps =
    {&reference::Folder::save,         &reference::Folder::undo,
     &reference::Folder::redo,         &reference::Folder::deleteDay,
     &reference::Folder::restoreDay,   &reference::Folder::deleteMonth,
     &reference::Folder::restoreMonth, &reference::Folder::close,
     &reference::Folder::rangeWindow};
// A few months and days, so that the steps meet the same files often.
constexpr std::array<const char*, 4> kMonths = {"0111", "0112", "0201", "0202"};
constexpr std::array<const char*, 3> kDays = {"05", "06", "31"};
// What may be typed into a time field: "75" carries into the next larger field, "x" is cleared.
constexpr std::array<const char*, 9> kTimeTexts = {"", "0", "1", "2", "20", "59", " 7", "75", "x"};
// The dates a run starts on. The range window's default range, the three months up to today,
// takes in November 2001 from each.
constexpr std::array<core::Date, 3> kToday = {{{2001, 12, 5}, {2002, 1, 31}, {2002, 2, 6}}};

struct Action {
    Kind kind = Kind::Save;
    // Type: the field (0 hours) and kTimeTexts. Choose: kMonths and kDays. Restart: kToday.
    std::size_t first = 0;
    std::size_t second = 0;
    Answer answer = Answer::Yes; // to the step's question, if it asks one
};

void showValue(const Action& action, std::ostream& out) {
    out << kSteps.at(static_cast<std::size_t>(action.kind)) << " " << action.first << " "
        << action.second << " "
        << std::array{"yes", "no", "cancel"}[static_cast<int>(action.answer)];
}

// One of n choices, uniformly (at RapidCheck's nominal size of 100), shrinking towards 0.
rc::Gen<std::size_t> choice(std::size_t n) {
    return rc::gen::resize(100, rc::gen::inRange<std::size_t>(0, n));
}

// Steps weighted so that bookings, undo and deletions meet each other often; the simpler steps
// first, as a counterexample shrinks towards them.
rc::Gen<Action> genAction() {
    return rc::gen::exec([] {
        const Kind kind = *rc::gen::weightedElement<Kind>({{14, Kind::Save},
                                                           {9, Kind::Undo},
                                                           {7, Kind::Redo},
                                                           {7, Kind::DeleteDay},
                                                           {8, Kind::RestoreDay},
                                                           {5, Kind::DeleteMonth},
                                                           {7, Kind::RestoreMonth},
                                                           {3, Kind::Close},
                                                           {2, Kind::RangeWindow},
                                                           {26, Kind::Type},
                                                           {12, Kind::Choose},
                                                           {2, Kind::Restart}});
        const std::size_t first = *choice(kind == Kind::Choose ? kMonths.size() : 3);
        const std::size_t second = *choice(kind == Kind::Choose ? kDays.size() : kTimeTexts.size());
        return Action{kind, first, second,
                      *rc::gen::weightedElement<Answer>(
                          {{6, Answer::Yes}, {2, Answer::No}, {1, Answer::Cancel}})};
    });
}

// ---------------------------------------------------------------------------------------------
// The checks

// The folder against the model, byte for byte, and every day's connected seconds against the
// ledger.
std::optional<std::string> compareFiles(const reference::Folder& model, const Files& files) {
    for (const auto& [name, bytes] : model.files) {
        if (!files.contains(name) || files.at(name) != bytes) {
            return name + " is missing or not what the steps leave";
        }
    }
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
    if (files != model.files) {
        return std::string("the data folder holds a file it should not");
    }
    return held == booked ? std::nullopt
                          : std::optional<std::string>("the days hold other seconds than booked");
}

bool offered(const presenter::Button& button) {
    return button.shown && button.enabled;
}

// Undo, redo and the restores are offered only while their copies are there and can serve.
std::optional<std::string> checkCopies(const reference::Folder& model, const MainView& view) {
    const auto& months = model.files;
    const auto month = months.find(model.deletedDay.first);
    if ((offered(view.cmdAngra) || offered(view.cmdRedo)) &&
        (!months.contains(model.entryBackup) || months.contains("temp.tmp"))) {
        return "undo or redo is offered without the undo copy " + model.entryBackup;
    }
    if (offered(view.cmdAngrapost) &&
        (!months.contains("post2.tmp") ||
         (month == months.end() ? Bytes{} : month->second) !=
             reference::withoutDay(months.at("post2.tmp"), model.deletedDay.second))) {
        return std::string("the day's restore is offered without its copy, or over a change");
    }
    if (offered(view.cmdAngramon) &&
        (!months.contains("mon.tmp") || months.contains(model.deletedMonth))) {
        return std::string("the month's restore is offered without its copy, or over the month");
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// One sequence, on the presenter alone or on the presenter and the window side by side

class Run {
public:
    Run(std::vector<Program*> programs, const reference::Plan& plan, bool exchangeUnsupported)
        : m_programs(std::move(programs)), m_model(plan) {
        for (Program* program : m_programs) {
            program->files.exchangeUnsupported = exchangeUnsupported;
            program->files.files() = m_model.files;
        }
        start(kToday[0]);
    }

    // Runs a step; what is wrong afterwards, if anything. A button that is not offered cannot be
    // clicked: the step is then skipped.
    std::optional<std::string> step(const Action& action, bool& skipped) {
        const Files before = main().files.files();
        const MainView shown = main().shown();
        const auto kind = static_cast<std::size_t>(action.kind);
        skipped = kind >= 1 && kind <= 6 && !offered(shown.*kButtons.at(kind - 1).second);
        const reference::Entry entry{
            {shown.cmbSok_0 + shown.cmbSok_1 + ".tid", std::atoi(shown.cmbSok_2.c_str())},
            shown.cmbTid};
        bool ended = false;
        for (int list = 0; list < 3 && action.kind == Kind::Choose; ++list) {
            const std::string month = kMonths.at(action.first);
            const std::string text =
                list == 2 ? kDays.at(action.second) : month.substr(2 * ix(list), 2);
            // The day list offers only the chosen month's days.
            if (list < 2 || std::stoi(text) <= main().shown().daysInList) {
                use("cmbSok_" + std::to_string(list), text);
            }
        }
        if (action.kind == Kind::Type) {
            use("cmbTid_" + std::to_string(action.first), kTimeTexts.at(action.second));
        } else if (action.kind == Kind::Restart) {
            // The program ends without a close (killed, or the machine stops) and starts again:
            // the copies stay, and the new run knows none of them.
            start(kToday.at(action.first));
        } else if (!skipped && kind < kModelSteps.size()) {
            ended =
                (m_model.*kModelSteps.at(kind))(entry, action.answer) && action.kind == Kind::Close;
            for (Program* program : m_programs) {
                program->outside.messages.script(
                    {std::array{platform::MessageBox::Answer::Yes, platform::MessageBox::Answer::No,
                                platform::MessageBox::Answer::Cancel}
                         .at(static_cast<std::size_t>(action.answer))});
            }
            use(kSteps.at(kind), "");
        }
        for (Program* program : m_programs) {
            program->outside.messages.dropScript();
            if (program->ended() != ended) {
                return std::string(ended ? "the program did not end" : "the program ended");
            }
        }
        if (ended) {
            start(m_today);
        } else if (action.answer != Answer::Yes && kind >= 3 && kind <= 7 &&
                   (main().files.files() != before || text(main().shown()) != text(shown))) {
            return std::string("a step answered no changed files or what is shown");
        }
        return check();
    }

private:
    static std::size_t ix(int index) { return static_cast<std::size_t>(index); }
    Program& main() { return *m_programs.front(); }
    void use(const std::string& control, const std::string& text) {
        for (Program* program : m_programs) {
            program->use(control, text);
        }
    }
    void start(const core::Date& today) {
        m_today = today;
        m_model.start(std::to_string(10000 + today.year % 100 * 100 + today.month).substr(1) +
                      ".tid");
        for (Program* program : m_programs) {
            program->start(today);
        }
    }

    std::optional<std::string> check() {
        const Files& files = main().files.files();
        const MainView shown = main().shown();
        auto failure = compareFiles(m_model, files);
        failure = failure ? failure : checkCopies(m_model, shown);
        for (Program* program : m_programs) {
            if (!failure &&
                (program->files.files() != files || text(program->shown()) != text(shown))) {
                failure = "the window left other files, or shows\n    " + text(program->shown()) +
                          "\n  where the presenter shows\n    " + text(shown);
            }
        }
        return failure;
    }

    std::vector<Program*> m_programs; // the presenter first
    reference::Folder m_model;
    core::Date m_today;
};

std::optional<std::string> runSequence(bool window, const std::vector<Action>& actions) {
    const reference::Plan& plan = reference::kPlans.at(*choice(reference::kPlans.size()));
    const bool exchangeUnsupported = *choice(2) == 1;
    std::ostringstream steps;
    steps << "\nplan " << plan.text << (exchangeUnsupported ? ", swaps by copies" : "")
          << "; the steps:";
    try {
        PresenterProgram presenter;
        WindowProgram shown;
        Run run(window ? std::vector<Program*>{&presenter, &shown}
                       : std::vector<Program*>{&presenter},
                plan, exchangeUnsupported);
        for (std::size_t i = 0; i < actions.size(); ++i) {
            bool skipped = false;
            const auto failure = run.step(actions[i], skipped);
            steps << "\n  " << i + 1 << ". " << rc::toString(actions[i])
                  << (skipped ? " (not offered: skipped)" : "");
            if (failure) {
                return "step " + std::to_string(i + 1) + ": " + *failure + steps.str();
            }
        }
    } catch (const std::exception& error) {
        return std::string("stopped by an exception: ") + error.what() + steps.str();
    }
    return std::nullopt;
}

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

void checkSequences(long count, bool window) {
    // The seed is RapidCheck's (RC_PARAMS), which main sets from SURFKLOCKA_MODEL_SEED.
    rc::detail::TestParams params = rc::detail::configuration().testParams;
    params.maxSuccess = static_cast<int>(count);
    params.maxSize = 60; // steps
    const auto result = rc::detail::checkTestable(
        [window] {
            const auto actions =
                *rc::gen::resize(60, rc::gen::container<std::vector<Action>>(genAction()));
            if (const auto failure = runSequence(window, actions)) {
                RC_FAIL(*failure);
            }
        },
        rc::detail::TestMetadata{}, params);
    std::ostringstream report;
    rc::detail::printResultMessage(result, report);
    EXPECT_TRUE(result.is<rc::detail::SuccessResult>())
        << "seed " << params.seed << ": " << report.str();
}

} // namespace

TEST(ModelTest, PresenterKeepsTheFilesTheLedgerAndTheCopies) {
    checkSequences(fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 100000), false);
}

TEST(ModelTest, WindowShowsAndWritesWhatThePresenterDoes) {
    checkSequences(std::min(fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 100000),
                            fromEnvironment("SURFKLOCKA_MODEL_WINDOW_SEQUENCES", 200)),
                   true);
}

int main(int argc, char** argv) {
    // Reproducible runs: the same sequences every time unless a seed is given.
    const char* seed = std::getenv("SURFKLOCKA_MODEL_SEED");
    setenv("RC_PARAMS", ("seed=" + std::string(seed != nullptr && *seed ? seed : "1")).c_str(), 0);
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
