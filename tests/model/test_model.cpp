// Randomized model-based test of booking, undo, redo, deleting and restoring, closing and
// restarting. Each sequence of user actions is run on the real main window over an in-memory file
// layer, and after every action the files, the buttons and the figures shown are compared with a
// reference model of what they must be. Sequences are seeded and reproducible; a failing one is
// shrunk to a short sequence before it is reported.
//
//   SURFKLOCKA_MODEL_SEQUENCES  how many sequences (10000 by default)
//   SURFKLOCKA_MODEL_SEED       the first seed (1 by default)

#include "app/frmSurfur.h"
#include "core/booking.h"
#include "core/texts.h"
#include "core/time_fields.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_message_box.h"
#include "platform/fakes/fake_services.h"
#include "platform/fakes/memory_file_system.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sstream>

namespace {

using Answer = platform::MessageBox::Answer;
using Bytes = std::vector<std::uint8_t>;
using Files = platform::fakes::MemoryFileSystem::Files;

// ---------------------------------------------------------------------------------------------
// User actions

struct Op {
    enum class Kind {
        Choose,
        Book,
        Undo,
        Redo,
        DeleteDay,
        RestoreDay,
        DeleteMonth,
        RestoreMonth,
        CancelledClose,
        Close,
        CloseBooking,
        DeleteEverything,
    };
    Kind kind = Kind::Choose;
    std::string year, month, day;
    std::array<std::string, 3> time;
    bool yes = true;
    int plan = 0;

    std::string describe() const {
        static const char* names[] = {"choose",       "book",           "undo",
                                      "redo",         "delete day",     "restore day",
                                      "delete month", "restore month",  "cancelled close",
                                      "close",        "close and book", "delete everything"};
        std::ostringstream text;
        text << names[static_cast<int>(kind)];
        if (kind == Kind::Choose) {
            text << " " << year << "-" << month << "-" << day;
        }
        if (kind == Kind::Book || kind == Kind::CloseBooking) {
            text << " [" << time[0] << "|" << time[1] << "|" << time[2] << "]";
        }
        if (kind >= Kind::DeleteDay && kind <= Kind::RestoreMonth) {
            text << (yes ? " yes" : " no");
        }
        if (kind == Kind::DeleteEverything) {
            text << (yes ? " yes, plan " + std::to_string(plan) : " no");
        }
        return text.str();
    }
};

Op randomOp(std::mt19937& random) {
    const auto pick = [&random](std::initializer_list<const char*> choices) {
        std::uniform_int_distribution<std::size_t> index(0, choices.size() - 1);
        return std::string(*(choices.begin() + index(random)));
    };
    std::discrete_distribution<int> kind({15, 30, 10, 6, 8, 6, 7, 5, 4, 3, 2, 3});
    Op op;
    op.kind = static_cast<Op::Kind>(kind(random));
    op.yes = std::bernoulli_distribution(0.8)(random);
    op.plan = std::uniform_int_distribution<int>(0, 2)(random);
    // Few months and days, so that actions meet the same files often.
    const int month = std::uniform_int_distribution<int>(0, 2)(random);
    op.year = month == 2 ? "02" : "01";
    op.month = std::array<const char*, 3>{"11", "12", "01"}[static_cast<std::size_t>(month)];
    op.day = pick({"05", "06", "31"});
    op.time = {pick({"", "", "0", "1", "2", "20"}), pick({"", "0", "5", "30", "59"}),
               pick({"", "", "7", "45"})};
    return op;
}

// ---------------------------------------------------------------------------------------------
// The reference model

std::int32_t int32At(const Bytes& file, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint8_t byte = at + i < file.size() ? file[at + i] : 0;
        value |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    return static_cast<std::int32_t>(value);
}

core::DayRecord dayOf(const Bytes& file, int day) {
    const std::size_t at = static_cast<std::size_t>(day - 1) * 16;
    core::DayRecord record;
    const std::int32_t costBits = int32At(file, at);
    std::memcpy(&record.extraCost, &costBits, 4);
    record.connectedSeconds = int32At(file, at + 4);
    record.extraSeconds = int32At(file, at + 8);
    const std::int32_t last = int32At(file, at + 12);
    record.dayNumber = static_cast<std::int16_t>(last & 0xFFFF);
    record.overAllowance = static_cast<std::int16_t>((last >> 16) & 0xFFFF);
    return record;
}

void putDay(Bytes& file, int day, const core::DayRecord& record) {
    const std::size_t at = static_cast<std::size_t>(day - 1) * 16;
    if (file.size() < at + 16) {
        file.resize(at + 16, 0);
    }
    std::uint32_t costBits;
    std::memcpy(&costBits, &record.extraCost, 4);
    const std::uint32_t values[] = {
        costBits, static_cast<std::uint32_t>(record.connectedSeconds),
        static_cast<std::uint32_t>(record.extraSeconds),
        static_cast<std::uint16_t>(record.dayNumber) |
            (static_cast<std::uint32_t>(static_cast<std::uint16_t>(record.overAllowance)) << 16)};
    for (std::size_t v = 0; v < 4; ++v) {
        for (std::size_t i = 0; i < 4; ++i) {
            file[at + v * 4 + i] = static_cast<std::uint8_t>(values[v] >> (8 * i));
        }
    }
}

Bytes planFile(int plan) {
    static const char* texts[] = {"1 h / dygn", "2 h / dygn", "8 h / dygn"};
    static const std::int16_t allowances[] = {3600, 7200, 28800};
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::memcpy(bytes.data() + 30, texts[plan], 10);
    bytes[60] = static_cast<std::uint8_t>(allowances[plan] & 0xFF);
    bytes[61] = static_cast<std::uint8_t>(allowances[plan] >> 8);
    return bytes;
}

struct Model {
    Files files;
    std::int16_t allowance = 3600;
    bool undoEnabled = false;
    bool redoEnabled = false;
    bool dayDeleteShown = true;
    bool monthDeleteShown = true;
    bool monthRestoreEnabled = true;
    std::string entryFile, entryBackup, deletedDayFile, deletedMonthFile;

    void restart() {
        undoEnabled = redoEnabled = false;
        dayDeleteShown = monthDeleteShown = monthRestoreEnabled = true;
    }

    void sweep() {
        std::erase_if(files, [](const auto& file) {
            return file.first.size() > 4 && file.first.ends_with(".tmp");
        });
    }

    bool hasRecords(const std::string& name) const {
        const auto found = files.find(name);
        return found != files.end() && !found->second.empty();
    }

    void swap(bool undo) {
        if (!files.contains(entryFile) || !files.contains(entryBackup) ||
            files.contains("temp.tmp")) {
            undoEnabled = redoEnabled = false;
            return;
        }
        std::swap(files[entryFile], files[entryBackup]);
        undoEnabled = !undo;
        redoEnabled = undo;
    }

    void book(const std::string& monthFile, int day, const core::TimeTexts& typed) {
        if (core::nothingToBook(typed)) {
            return;
        }
        sweep();
        undoEnabled = redoEnabled = false;
        entryFile = monthFile;
        entryBackup = monthFile.substr(0, 4) + ".tmp";
        Bytes& month = files[monthFile];
        const auto after = core::bookOnDay(dayOf(month, day), core::enteredSeconds(typed),
                                           allowance, static_cast<std::int16_t>(day));
        if (after) {
            files[entryBackup] = month;
            putDay(month, day, *after);
            undoEnabled = true;
        }
        dayDeleteShown = monthDeleteShown = true;
    }

    void deleteDay(const std::string& monthFile, int day, bool yes) {
        deletedDayFile = monthFile;
        files.erase("post2.tmp");
        if (!hasRecords(monthFile) || !yes || dayOf(files[monthFile], day).connectedSeconds == 0) {
            return;
        }
        Bytes rebuilt;
        for (int other = 1; other <= 31; ++other) {
            const core::DayRecord record = dayOf(files[monthFile], other);
            if (other != day && record.connectedSeconds != 0) {
                putDay(rebuilt, other, record);
            }
        }
        files["post2.tmp"] = files[monthFile];
        files[monthFile] = rebuilt;
        dayDeleteShown = false;
        undoEnabled = false;
        monthRestoreEnabled = false;
    }

    void restoreDay(bool yes) {
        if (!yes) {
            return;
        }
        if (files.contains("post2.tmp")) {
            files[deletedDayFile] = files["post2.tmp"];
            files.erase("post2.tmp");
        }
        dayDeleteShown = true;
    }

    void deleteMonth(const std::string& monthFile, bool yes) {
        deletedMonthFile = monthFile;
        undoEnabled = false;
        if (!redoEnabled) {
            sweep();
        }
        if (!hasRecords(monthFile)) {
            dayDeleteShown = true;
            return;
        }
        if (!yes || files.contains("mon.tmp")) {
            return;
        }
        files["mon.tmp"] = files[monthFile];
        files.erase(monthFile);
        redoEnabled = false;
        monthDeleteShown = false;
        monthRestoreEnabled = true;
        dayDeleteShown = true;
    }

    void restoreMonth(bool yes) {
        if (!yes) {
            return;
        }
        monthDeleteShown = true;
        if (files.contains("mon.tmp") && !files.contains(deletedMonthFile)) {
            files[deletedMonthFile] = files["mon.tmp"];
            files.erase("mon.tmp");
        }
    }

    void deleteEverything() {
        std::erase_if(files, [](const auto& file) {
            return (file.first.size() > 4 &&
                    (file.first.ends_with(".tmp") || file.first.ends_with(".tid"))) ||
                   file.first == "tid.it";
        });
    }
};

// ---------------------------------------------------------------------------------------------
// One run of a sequence on the real window

class Run {
public:
    explicit Run(bool exchangeUnsupported) : m_clock(core::Date{2001, 12, 5}) {
        m_files.exchangeUnsupported = exchangeUnsupported;
        m_files.files()["tid.it"] = planFile(0);
        m_model.files = m_files.files();
        startWindow();
    }

    // Applies one action; returns what differs from the model afterwards, if anything.
    std::optional<std::string> apply(const Op& op) {
        const std::string shownFile = listText("cmbSok_0") + listText("cmbSok_1") + ".tid";
        const int shownDay = std::atoi(listText("cmbSok_2").c_str());
        m_messages.dropScript();
        switch (op.kind) {
        case Op::Kind::Choose:
            list("cmbSok_0")->setCurrentText(QString::fromStdString(op.year));
            list("cmbSok_1")->setCurrentText(QString::fromStdString(op.month));
            list("cmbSok_2")->setCurrentText(QString::fromStdString(op.day));
            break;
        case Op::Kind::Book:
            type(op.time);
            m_model.book(shownFile, shownDay, typedTimes());
            button("cmdSpara")->click();
            break;
        case Op::Kind::Undo:
            if (clickable("cmdAngra")) {
                m_model.swap(true);
                button("cmdAngra")->click();
            }
            break;
        case Op::Kind::Redo:
            if (clickable("cmdRedo")) {
                m_model.swap(false);
                button("cmdRedo")->click();
            }
            break;
        case Op::Kind::DeleteDay:
            if (clickable("cmdKastapost")) {
                m_messages.script({op.yes ? Answer::Yes : Answer::No});
                m_model.deleteDay(shownFile, shownDay, op.yes);
                button("cmdKastapost")->click();
            }
            break;
        case Op::Kind::RestoreDay:
            if (clickable("cmdAngrapost")) {
                m_messages.script({op.yes ? Answer::Yes : Answer::No});
                m_model.restoreDay(op.yes);
                button("cmdAngrapost")->click();
            }
            break;
        case Op::Kind::DeleteMonth:
            if (clickable("cmdKastamon")) {
                m_messages.script({op.yes ? Answer::Yes : Answer::No});
                m_model.deleteMonth(shownFile, op.yes);
                button("cmdKastamon")->click();
            }
            break;
        case Op::Kind::RestoreMonth:
            if (clickable("cmdAngramon")) {
                m_messages.script({op.yes ? Answer::Yes : Answer::No});
                m_model.restoreMonth(op.yes);
                button("cmdAngramon")->click();
            }
            break;
        case Op::Kind::CancelledClose:
            type({"", "1", ""});
            m_messages.script({Answer::Cancel});
            m_model.sweep();
            button("cmdStang")->click();
            type({"", "", ""});
            if (m_ended) {
                return "the program ended although closing was cancelled";
            }
            break;
        case Op::Kind::Close:
        case Op::Kind::CloseBooking: {
            const bool booking = op.kind == Op::Kind::CloseBooking && core::somethingTyped(op.time);
            type(booking ? op.time : core::TimeTexts{"", "", ""});
            m_messages.script({Answer::Yes});
            m_model.sweep();
            if (booking) {
                m_model.book(shownFile, shownDay, typedTimes());
            }
            button("cmdStang")->click();
            if (!m_ended) {
                return "the program did not end when closed";
            }
            m_model.restart();
            startWindow();
            break;
        }
        case Op::Kind::DeleteEverything:
            m_messages.script({op.yes ? Answer::Yes : Answer::No});
            button("cmdKasta")->click();
            if (op.yes) {
                m_model.deleteEverything();
                if (!m_ended) {
                    return "the program did not end after deleting everything";
                }
                m_model.restart();
                startWindow();
                if (!firstStartWith(op.plan)) {
                    return "the plan was not asked for after deleting everything";
                }
            }
            break;
        }
        return compare();
    }

private:
    void startWindow() {
        m_window.reset();
        m_ended = false;
        m_window = std::make_unique<app::frmSurfur>(m_services, m_settings);
        QObject::connect(m_window.get(), &app::frmSurfur::programEnded, [this] { m_ended = true; });
        m_window->start();
    }

    bool firstStartWith(int plan) {
        auto* window = m_window->findChild<QWidget*>(QStringLiteral("frmNetlink"));
        if (window == nullptr || m_files.files().at("tid.it") != Bytes{0xFF, 0xFF}) {
            return false;
        }
        window->findChild<QRadioButton*>(QStringLiteral("optNetlink_%1").arg(plan))
            ->setChecked(true);
        window->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
        m_model.files["tid.it"] = planFile(plan);
        m_model.allowance = std::array<std::int16_t, 3>{3600, 7200, 28800}[plan];
        return m_window->isVisible();
    }

    QComboBox* list(const char* name) const {
        return m_window->findChild<QComboBox*>(QString::fromLatin1(name));
    }
    QAbstractButton* button(const char* name) const {
        return m_window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    std::string listText(const char* name) const { return list(name)->currentText().toStdString(); }
    bool clickable(const char* name) const {
        return !button(name)->isHidden() && button(name)->isEnabled();
    }
    void type(const core::TimeTexts& time) {
        for (int i = 0; i < 3; ++i) {
            list(("cmbTid_" + std::to_string(i)).c_str())
                ->setEditText(QString::fromStdString(time[static_cast<std::size_t>(i)]));
        }
    }
    core::TimeTexts typedTimes() const {
        return {listText("cmbTid_0"), listText("cmbTid_1"), listText("cmbTid_2")};
    }
    std::string labelText(const char* name) const {
        return m_window->findChild<QLabel*>(QString::fromLatin1(name))->text().toStdString();
    }

    std::optional<std::string> compare() const {
        if (m_files.files() != m_model.files) {
            std::string text = "the files differ: on disk";
            for (const auto& [name, bytes] : m_files.files()) {
                text += " " + name + "(" + std::to_string(bytes.size()) + ")";
            }
            text += ", in the model";
            for (const auto& [name, bytes] : m_model.files) {
                text += " " + name + "(" + std::to_string(bytes.size()) + ")";
            }
            return text;
        }
        const struct {
            const char* name;
            bool shown;
            bool enabled;
        } buttons[] = {
            {"cmdAngra", true, m_model.undoEnabled},
            {"cmdRedo", true, m_model.redoEnabled},
            {"cmdKastapost", m_model.dayDeleteShown, true},
            {"cmdAngrapost", !m_model.dayDeleteShown, true},
            {"cmdKastamon", m_model.monthDeleteShown, true},
            {"cmdAngramon", !m_model.monthDeleteShown, m_model.monthRestoreEnabled},
        };
        for (const auto& expected : buttons) {
            const QAbstractButton* actual = button(expected.name);
            if (actual->isHidden() == expected.shown ||
                (expected.shown && actual->isEnabled() != expected.enabled)) {
                return std::string(expected.name) + " is " +
                       (actual->isHidden() ? "hidden" : "shown") + " and " +
                       (actual->isEnabled() ? "enabled" : "disabled");
            }
        }
        if (m_messages.unscriptedQuestions() != 0) {
            return "a question was asked that the user would not have been asked";
        }

        // The figures shown are those of the chosen day and month as the files hold them.
        const std::string monthFile = listText("cmbSok_0") + listText("cmbSok_1") + ".tid";
        const int day = std::atoi(listText("cmbSok_2").c_str());
        const auto found = m_model.files.find(monthFile);
        std::string monthText = "Månadstid:";
        std::string dayText = "Tid i dag:";
        if (found != m_model.files.end() && !found->second.empty()) {
            std::int64_t sum = 0;
            for (int d = 1; d <= 31; ++d) {
                sum += dayOf(found->second, d).connectedSeconds;
            }
            monthText = "Ansluten tid: " + core::durationText(sum);
            const std::int32_t connected = dayOf(found->second, day).connectedSeconds;
            if (connected >= 1) {
                dayText = "Ansluten tid: " + core::durationText(connected);
            }
        }
        if (labelText("lblTid") != monthText) {
            return "lblTid shows \"" + labelText("lblTid") + "\", not \"" + monthText + "\"";
        }
        if (labelText("lblDagstid") != dayText) {
            return "lblDagstid shows \"" + labelText("lblDagstid") + "\", not \"" + dayText + "\"";
        }
        return std::nullopt;
    }

    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeClock m_clock;
    platform::fakes::FakeMessageBox m_messages;
    platform::fakes::FakePrintDialog m_printDialog;
    platform::fakes::FakePrinter m_printer;
    platform::fakes::FakeLinkOpener m_links;
    platform::Services m_services{m_files, m_clock, m_messages, m_printDialog, m_printer, m_links};
    core::ProgramSettings m_settings;
    std::unique_ptr<app::frmSurfur> m_window;
    bool m_ended = false;
    Model m_model;
};

struct Failure {
    std::size_t step;
    std::string what;
};

std::optional<Failure> runSequence(const std::vector<Op>& ops, bool exchangeUnsupported) {
    Run run(exchangeUnsupported);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (auto what = run.apply(ops[i])) {
            return Failure{i, *what};
        }
    }
    return std::nullopt;
}

// Drops actions one at a time for as long as the sequence still fails.
std::vector<Op> shrink(std::vector<Op> ops, bool exchangeUnsupported) {
    bool smaller = true;
    while (smaller) {
        smaller = false;
        for (std::size_t i = 0; i < ops.size(); ++i) {
            std::vector<Op> candidate = ops;
            candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
            if (runSequence(candidate, exchangeUnsupported)) {
                ops = std::move(candidate);
                smaller = true;
                break;
            }
        }
    }
    return ops;
}

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtol(value, nullptr, 10) : fallback;
}

} // namespace

TEST(ModelTest, RandomSequencesKeepFilesButtonsAndFiguresInStep) {
    const long sequences = fromEnvironment("SURFKLOCKA_MODEL_SEQUENCES", 10000);
    const long firstSeed = fromEnvironment("SURFKLOCKA_MODEL_SEED", 1);
    long actions = 0;
    for (long seed = firstSeed; seed < firstSeed + sequences; ++seed) {
        std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 50)(random);
        std::vector<Op> ops;
        for (std::size_t i = 0; i < length; ++i) {
            ops.push_back(randomOp(random));
        }
        // Every other sequence takes the three-rename swap, as on file systems without exchange.
        const bool exchangeUnsupported = seed % 2 == 0;
        actions += static_cast<long>(ops.size());
        if (const auto failure = runSequence(ops, exchangeUnsupported)) {
            const std::vector<Op> shortest = shrink(ops, exchangeUnsupported);
            const auto again = runSequence(shortest, exchangeUnsupported);
            std::string steps;
            for (const Op& op : shortest) {
                steps += "\n  " + op.describe();
            }
            FAIL() << "seed " << seed << " fails at action " << failure->step + 1 << ": "
                   << failure->what << "\nshrunk to " << shortest.size() << " actions ("
                   << (again ? again->what : std::string("?")) << "):" << steps;
        }
    }
    RecordProperty("sequences", static_cast<int>(sequences));
    RecordProperty("actions", static_cast<int>(actions));
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
