// Randomized model-based test: sequences of booking, undo, redo, deleting and restoring, closing
// and restarting run on the real main window over an in-memory file layer, and after every action
// the files, the buttons and the figures shown are compared with a reference model. Seeded and
// reproducible (SURFKLOCKA_MODEL_SEQUENCES sequences, 10000 by default, from SURFKLOCKA_MODEL_SEED,
// 1 by default); a failing sequence is shrunk before it is reported.

#include "app/frmSurfur.h"
#include "core/booking.h"
#include "core/texts.h"
#include "core/time_fields.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_message_box.h"
#include "platform/fakes/fake_services.h"
#include "platform/fakes/memory_file_system.h"
#include "storage/month_file.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <utility>

namespace {

using Answer = platform::MessageBox::Answer;
using Bytes = std::vector<std::uint8_t>;

// The user's actions and the buttons they click; choosing a date clicks none.
const char* const kNames[] = {"choose",       "book",           "undo",
                              "redo",         "delete day",     "restore day",
                              "delete month", "restore month",  "cancelled close",
                              "close",        "book and close", "delete everything"};
const char* const kButtons[] = {nullptr,        "cmdSpara",     "cmdAngra",    "cmdRedo",
                                "cmdKastapost", "cmdAngrapost", "cmdKastamon", "cmdAngramon",
                                "cmdStang",     "cmdStang",     "cmdStang",    "cmdKasta"};
const std::pair<const char*, std::int16_t> kPlans[] = {
    {"1 h / dygn", 3600}, {"2 h / dygn", 7200}, {"8 h / dygn", 28800}};

struct Op {
    std::size_t action;
    core::TimeTexts texts; // the date chosen (yy, mm, dd) or the time typed (h, min, s)
    bool yes;              // the answer to a question to delete or restore
    int plan;              // the plan chosen at the first start after deleting everything

    std::string_view name() const { return kNames[action]; }
    bool asks() const { return name().starts_with("delete") || name().starts_with("restore"); }
    std::string describe() const {
        return std::string(name()) +
               (texts == core::TimeTexts{} ? "" : " " + ::testing::PrintToString(texts)) +
               (asks() ? (yes ? " yes" : " no") : "") +
               (name() == "delete everything" && yes ? ", plan " + std::to_string(plan) : "");
    }
};

Op randomOp(std::mt19937& random) {
    const auto pick = [&random](std::vector<std::string> choices) {
        return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
    };
    Op op;
    op.action =
        std::discrete_distribution<std::size_t>({15, 30, 10, 6, 8, 6, 7, 5, 4, 3, 2, 3})(random);
    if (op.name() == "choose") { // few months and days, so that actions meet the same files often
        const std::string month = pick({"0111", "0112", "0201"});
        op.texts = {month.substr(0, 2), month.substr(2), pick({"05", "06", "31"})};
    } else if (op.name().starts_with("book")) {
        op.texts = {pick({"", "", "0", "1", "2", "20"}), pick({"", "0", "5", "30", "59"}),
                    pick({"", "", "7", "45"})};
    } else if (op.name() == "cancelled close") {
        op.texts = {"", "1", ""}; // time typed, so that closing asks
    }
    op.yes = std::bernoulli_distribution(0.8)(random);
    op.plan = std::uniform_int_distribution(0, 2)(random);
    return op;
}

// The model's month files, read and written with storage's own record layout.

core::DayRecord dayOf(const Bytes& file, int day) {
    return storage::decodeMonth(file).at(static_cast<std::size_t>(day - 1));
}

void putDay(Bytes& file, int day, const core::DayRecord& record) {
    file.resize(std::max<std::size_t>(file.size(), day * 16));
    std::ranges::copy(storage::encodeDayRecord(record), file.begin() + (day - 1) * 16);
}

// What deleting a day leaves of a month: the other days with time, at their record numbers.
Bytes withoutDay(const Bytes& month, int day) {
    Bytes rest;
    for (int other = 1; other <= 31; ++other) {
        if (other != day && dayOf(month, other).connectedSeconds != 0) {
            putDay(rest, other, dayOf(month, other));
        }
    }
    return rest;
}

// The settings file once a plan is chosen: the first start's mark, the plan's text and allowance.
Bytes planFile(int plan) {
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::copy_n(kPlans[plan].first, 10, bytes.begin() + 30);
    bytes[60] = static_cast<std::uint8_t>(kPlans[plan].second & 0xFF);
    bytes[61] = static_cast<std::uint8_t>(kPlans[plan].second >> 8);
    return bytes;
}

// One run of a sequence on the real window (the m_ members), and the model of what it must show:
// which files hold what, and which buttons can be used.
struct Run {
    platform::fakes::MemoryFileSystem::Files files;
    std::int16_t allowance = kPlans[0].second;
    // cmdAngra, cmdRedo and cmdAngramon enabled; the day's and the month's delete buttons shown
    // (their restore buttons shown otherwise). Set at every start.
    bool undo, redo, dayDelete, monthDelete, monthRestore;
    std::string entryFile, entryBackup, deletedDayFile, deletedMonthFile;
    int deletedDay = 0;

    // Deletes the copies, or everything: the copies, the month files and the settings file.
    void sweep(bool everything = false) {
        std::erase_if(files, [everything](const auto& file) {
            return file.first.ends_with(".tmp") ||
                   (everything && (file.first.ends_with(".tid") || file.first == "tid.it"));
        });
    }

    explicit Run(bool exchangeUnsupported) {
        m_files.exchangeUnsupported = exchangeUnsupported;
        files = m_files.files() = {{"tid.it", planFile(0)}};
        start();
    }

    // Applies one action; returns what differs from the model afterwards, if anything.
    std::optional<std::string> apply(const Op& op) {
        const std::string_view name = op.name();
        const auto [file, day] = chosen();
        m_fakes.messages.dropScript();
        for (std::size_t i = 0; i < 3; ++i) { // the date chosen, or the time typed
            child<QComboBox>((name == "choose" ? "cmbSok_" : "cmbTid_") + std::to_string(i))
                ->setCurrentText(QString::fromStdString(op.texts[i]));
        }
        QAbstractButton* const button = name == "choose" ? nullptr : child(kButtons[op.action]);
        // Undo to restore month, whose buttons the model knows, are clicked only when they can be.
        if (name == "choose" ||
            (op.action >= 2 && op.action <= 7 && (button->isHidden() || !button->isEnabled()))) {
            return compare();
        }
        if (op.asks()) {
            m_fakes.messages.script({op.yes ? Answer::Yes : Answer::No});
        }
        if (name.ends_with("close")) { // typed time is booked or not; a cancelled close keeps all
            m_fakes.messages.script({name == "cancelled close" ? Answer::Cancel : Answer::Yes});
            if (name != "cancelled close") {
                sweep();
            }
        }
        if (name.starts_with("book") && !core::nothingToBook(op.texts)) {
            // A booking refused at 24 hours changes no file and no button.
            const Bytes bytes = files.contains(file) ? files.at(file) : Bytes{};
            const auto seconds = core::enteredSeconds(op.texts);
            if (const auto after = core::bookOnDay(dayOf(bytes, day), seconds, allowance, day)) {
                sweep();
                undo = true;
                redo = false;
                dayDelete = monthDelete = true;
                entryFile = file;
                entryBackup = file.substr(0, 4) + ".tmp";
                files[entryBackup] = bytes;
                putDay(files[file] = bytes, day, *after);
            }
        } else if (name == "undo" || name == "redo") {
            // A month file that is gone counts as empty.
            const bool can = files.contains(entryBackup) && !files.contains("temp.tmp");
            if (can) {
                std::swap(files[entryFile], files[entryBackup]);
            }
            undo = can && name == "redo";
            redo = can && name == "undo";
        } else if (name == "delete day") {
            // Answered no, or nothing to delete: nothing changes.
            if (op.yes && files.contains(file) && dayOf(files[file], day).connectedSeconds != 0) {
                deletedDayFile = file;
                deletedDay = day;
                files["post2.tmp"] = std::exchange(files[file], withoutDay(files[file], day));
                files.erase(entryBackup); // undo and redo end here
                dayDelete = undo = redo = monthRestore = false;
            }
        } else if (name == "restore day" && op.yes) {
            // Only over what the deletion left; a month file that is gone counts as empty.
            const Bytes month = files.contains(deletedDayFile) ? files[deletedDayFile] : Bytes{};
            if (files.contains("post2.tmp") &&
                month == withoutDay(files.at("post2.tmp"), deletedDay)) {
                files[deletedDayFile] = files.extract("post2.tmp").mapped();
            }
            dayDelete = true;
        } else if (name == "delete month") {
            // Answered no, or an empty month: nothing changes. Yes ends undo, redo and the
            // restore of a day.
            if (op.yes && files.contains(file) && !files.at(file).empty()) {
                deletedMonthFile = file;
                files["mon.tmp"] = files.extract(file).mapped();
                for (const std::string& copy : {entryBackup, std::string("post2.tmp")}) {
                    files.erase(copy);
                }
                undo = redo = monthDelete = false;
                monthRestore = dayDelete = true;
            }
        } else if (name == "restore month" && op.yes) {
            if (files.contains("mon.tmp") && !files.contains(deletedMonthFile)) {
                files[deletedMonthFile] = files.extract("mon.tmp").mapped();
            }
            monthDelete = true;
        } else if (name == "delete everything" && op.yes) {
            sweep(true);
        }
        button->click();

        const bool ends = (name.ends_with("close") && name != "cancelled close") ||
                          (name == "delete everything" && op.yes);
        if (ends != m_ended) {
            return ends ? "the program did not end" : "the program ended";
        }
        if (ends) {
            start();
        }
        if (ends && name == "delete everything") {
            files["tid.it"] = {0xFF, 0xFF}; // the first start's mark, and the plan asked for
            if (child<QWidget>("frmNetlink") == nullptr || m_files.files() != files) {
                return "the first start after deleting everything did not ask for the plan";
            }
            child<QRadioButton>("optNetlink_" + std::to_string(op.plan))->setChecked(true);
            child("cmdOk")->click();
            files["tid.it"] = planFile(op.plan);
            allowance = kPlans[op.plan].second;
        }
        return compare();
    }

    void start() {
        undo = redo = false;
        entryBackup.clear(); // a new run knows no undo copy of the last one

        dayDelete = monthDelete = monthRestore = true;
        m_ended = false;
        m_window = std::make_unique<app::frmSurfur>(m_services, m_settings);
        QObject::connect(m_window.get(), &app::frmSurfur::programEnded, [this] { m_ended = true; });
        m_window->start();
    }

    template <typename T = QAbstractButton>
    T* child(const std::string& name) const {
        return m_window->findChild<T*>(QString::fromStdString(name));
    }
    // The month file and the day chosen.
    std::pair<std::string, int> chosen() const {
        const auto text = [this](int i) {
            return child<QComboBox>("cmbSok_" + std::to_string(i))->currentText().toStdString();
        };
        return {text(0) + text(1) + ".tid", std::atoi(text(2).c_str())};
    }

    std::optional<std::string> compare() const {
        if (m_files.files() != files) {
            return "the files differ: " + ::testing::PrintToString(m_files.files()) +
                   " in the program, " + ::testing::PrintToString(files) + " in the model";
        }
        if (m_fakes.messages.unscriptedQuestions() != 0 || !m_window->isVisible()) {
            return "a question the user would not have been asked, or the window not shown";
        }
        const std::tuple<const char*, bool, bool> buttons[] = {
            // name, shown, enabled when shown
            {"cmdAngra", true, undo},           {"cmdRedo", true, redo},
            {"cmdKastapost", dayDelete, true},  {"cmdAngrapost", !dayDelete, true},
            {"cmdKastamon", monthDelete, true}, {"cmdAngramon", !monthDelete, monthRestore}};
        for (const auto& [name, shown, enabled] : buttons) {
            if (child(name)->isHidden() == shown ||
                (shown && child(name)->isEnabled() != enabled)) {
                return std::string(name) + " is not " +
                       (shown ? (enabled ? "enabled" : "disabled") : "hidden");
            }
        }
        // The figures shown are those of the chosen day and month as the files hold them.
        const auto [file, day] = chosen();
        const Bytes month = files.contains(file) ? files.at(file) : Bytes{};
        std::int64_t sum = 0;
        for (int other = 1; other <= 31; ++other) {
            sum += dayOf(month, other).connectedSeconds;
        }
        const std::int64_t today = dayOf(month, day).connectedSeconds;
        const std::pair<const char*, std::string> labels[] = {
            {"lblTid", sum < 1 ? "Månadstid:" : "Ansluten tid: " + core::durationText(sum)},
            {"lblDagstid",
             today < 1 ? "Tid i dag:" : "Ansluten tid: " + core::durationText(today)}};
        for (const auto& [name, expected] : labels) {
            if (child<QLabel>(name)->text().toStdString() != expected) {
                return std::string(name) + " does not show \"" + expected + "\"";
            }
        }
        return std::nullopt;
    }

    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeOutside m_fakes{core::Date{2001, 12, 5}};
    platform::Services m_services = m_fakes.with(m_files);
    core::ProgramSettings m_settings;
    std::unique_ptr<app::frmSurfur> m_window;
    bool m_ended = false;
};

// Where a sequence first fails and why; nothing when it passes.
std::optional<std::string> runSequence(const std::vector<Op>& ops, bool exchangeUnsupported) {
    Run run(exchangeUnsupported);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (const auto what = run.apply(ops[i])) {
            return "action " + std::to_string(i + 1) + ": " + *what;
        }
    }
    return std::nullopt;
}

// Drops actions one at a time for as long as the sequence still fails; reports what is left.
std::string shrink(std::vector<Op> ops, bool exchangeUnsupported) {
    for (std::size_t i = ops.size(); i-- > 0;) {
        std::vector<Op> candidate = ops;
        candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
        if (runSequence(candidate, exchangeUnsupported)) {
            ops = std::move(candidate);
            i = ops.size(); // and again from the end
        }
    }
    std::string report = "\nshrunk to " + std::to_string(ops.size()) + " actions, failing at " +
                         runSequence(ops, exchangeUnsupported).value_or("?") + ":";
    for (const Op& op : ops) {
        report += "\n  " + op.describe();
    }
    return report;
}

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

} // namespace

TEST(ModelTest, RandomSequencesKeepFilesButtonsAndFiguresInStep) {
    const long firstSeed = fromEnvironment("SURFKLOCKA_MODEL_SEED", 1);
    const long sequences = fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 10000);
    for (long seed = firstSeed; seed < firstSeed + sequences; ++seed) {
        std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
        std::vector<Op> ops(std::uniform_int_distribution<std::size_t>(1, 50)(random));
        std::generate(ops.begin(), ops.end(), [&random] { return randomOp(random); });
        // Every other sequence takes the swap by copies, as on file systems without exchange.
        if (const auto failure = runSequence(ops, seed % 2 == 0)) {
            FAIL() << "seed " << seed << " fails at " << *failure << shrink(ops, seed % 2 == 0);
        }
    }
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns of every window it cannot size; the run has thousands.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && !message.contains(QLatin1String("propagateSizeHints"))) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
    });
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
