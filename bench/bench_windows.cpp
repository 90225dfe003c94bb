// The windows, offscreen, with a year of data: clicking cmdSpara until the day and month labels
// show the new figures and are painted, and opening the range window until it shows its totals
// and is painted. Both are timed by hand around exactly that work; setting up each click (typing
// the time, closing the range window again) is not timed. The click's floor: a bare window of
// seven labels, which does the booking's one durable write of the month and shows seven new texts.

#include "app/frmSurfur.h"
#include "core/figures.h"
#include "core/range.h"
#include "forms/group_box_frame.h"
#include "platform/posix_file_system.h"
#include "posix_baseline.h"
#include "sample_data.h"
#include "storage/month_file.h"
#include "storage/range_totals.h"
#include "support/fakes/fake_clock.h"
#include "support/fakes/fake_message_box.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr core::Date kToday{2002, 1, 14};
constexpr const char* kTodaysMonth = "0201.tid";
constexpr const char* kTodaysCopy = "0201.tmp";

// Counts the paint events of every widget of one window.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QObject* parent) : QObject(parent) {}
    int paintsOf(const QWidget* widget) const { return widget == m_last ? m_count : 0; }
    void reset() {
        m_count = 0;
        m_last = nullptr;
    }
    void watch(const QWidget* widget) {
        m_count = 0;
        m_last = widget;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == m_last) {
            ++m_count;
        }
        return false;
    }

private:
    const QWidget* m_last = nullptr;
    int m_count = 0;
};

PaintCounter* paints = nullptr;

// The main window on a file layer holding a year of data, started as the program starts it, with
// fakes for the clock, the message box, the printer and the links.
struct MainWindow {
    explicit MainWindow(platform::FileSystem& files) : services(fakes.with(files)) {
        ready = bench::writeYearOfData(files, kToday);
        window = std::make_unique<app::frmSurfur>(services, settings);
        window->start();
        QCoreApplication::processEvents();
        ready = ready && window->isVisible() && fakes.messages.shown().empty();
    }
    template <typename T>
    T* find(QObject* in, const char* name) const {
        return in->findChild<T*>(QString::fromLatin1(name));
    }

    platform::fakes::FakeOutside fakes{kToday};
    platform::Services services;
    core::ProgramSettings settings;
    std::unique_ptr<app::frmSurfur> window;
    bool ready = false;
};

// The timed work of both benchmarks: a click, and the events it leaves behind run. Kept out of
// line so that a profiler can be pointed at it (valgrind --toggle-collect=*clickAndRun*). Returns
// the seconds it took.
[[gnu::noinline]] double clickAndRun(QAbstractButton* button) {
    const auto start = std::chrono::steady_clock::now();
    button->click();
    QCoreApplication::processEvents();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of the iterations' times, as a counter: the goal is about a single click, and the
// mean of a repetition would let a few slow clicks (a flush to disk, a busy machine) decide it.
class Times {
public:
    void add(double seconds) { m_seconds.push_back(seconds); }
    void report(benchmark::State& state) {
        if (m_seconds.empty()) {
            return;
        }
        const auto middle = m_seconds.begin() + static_cast<std::ptrdiff_t>(m_seconds.size() / 2);
        std::nth_element(m_seconds.begin(), middle, m_seconds.end());
        state.counters["median_us"] = *middle * 1e6;
    }

private:
    std::vector<double> m_seconds;
};

// One second typed, cmdSpara clicked, and the events that follow run: the booking, the day and
// month labels written and painted. Checked after each click: the day's record grew by one second
// and the day label shows its time.
void clickSpara(benchmark::State& state, platform::FileSystem& files) {
    MainWindow main(files);
    auto* secondsField = main.find<QComboBox>(main.window.get(), "cmbTid_2");
    auto* spara = main.find<QAbstractButton>(main.window.get(), "cmdSpara");
    auto* dayLabel = main.find<QLabel>(main.window.get(), "lblDagstid");
    if (!main.ready || secondsField == nullptr || spara == nullptr || dayLabel == nullptr) {
        state.SkipWithError("the main window could not be started");
        return;
    }
    Times times;
    for (auto _ : state) {
        const auto before = storage::readDay(files, kTodaysMonth, kToday.day);
        secondsField->setEditText(QStringLiteral("1"));
        paints->watch(dayLabel);

        const double seconds = clickAndRun(spara);
        state.SetIterationTime(seconds);
        times.add(seconds);

        const auto after = storage::readDay(files, kTodaysMonth, kToday.day);
        if (!before || !after || after->connectedSeconds != before->connectedSeconds + 1 ||
            !main.fakes.messages.shown().empty() || paints->paintsOf(dayLabel) == 0 ||
            dayLabel->text().toStdString() !=
                core::dayFigures(*after, bench::kAllowance).connected.text) {
            state.SkipWithError("the click did not book the second and show it");
            break;
        }
    }
    paints->reset();
    times.report(state);
}

void BM_SaveClick_Memory(benchmark::State& state) {
    platform::fakes::MemoryFileSystem files;
    clickSpara(state, files);
}

void BM_SaveClick_Disk(benchmark::State& state) {
    testing_support::TempDir dir;
    platform::PosixFileSystem files(dir.path());
    clickSpara(state, files);
}

// The floor of a click on disk: what no click that books and shows the figures can do without.
// A bare window of seven labels, as many as the main window's figures; per click, the month read,
// one second added to today's record and the booking's file work done as bench/boka_floor.c does
// it (the new month to a temporary file with one fdatasync, the month as it was linked as the undo
// copy, the rename, one fsync of the folder), then the seven labels given new texts and the events
// that follow run, so that they are painted. Returns the seconds it took.
[[gnu::noinline]] double floorClick(int dirFd, const std::array<QLabel*, 7>& labels, int count) {
    const auto start = std::chrono::steady_clock::now();
    std::array<std::uint8_t, storage::kMonthFileMaxBytes> month{};
    const std::ptrdiff_t length = bench::readWhole(dirFd, kTodaysMonth, month);
    const std::size_t offset = static_cast<std::size_t>(kToday.day - 1) * 16;
    if (length < static_cast<std::ptrdiff_t>(offset + 16)) {
        return -1.0;
    }
    bench::RawDay record = bench::rawDay(month.data() + offset);
    record.connectedSeconds += 1;
    std::memcpy(month.data() + offset, &record, sizeof record);
    if (!bench::durableBooking(dirFd, kTodaysMonth, kTodaysCopy,
                               std::span(month.data(), static_cast<std::size_t>(length)))) {
        return -1.0;
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i]->setText(QStringLiteral("Ansluten tid: %1 h %2 m %3 s")
                               .arg(i)
                               .arg(count / 60 % 60)
                               .arg(count % 60));
    }
    QCoreApplication::processEvents();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_SaveClick_Floor(benchmark::State& state) {
    testing_support::TempDir dir;
    platform::PosixFileSystem files(dir.path());
    const int dirFd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    std::array<QLabel*, 7> labels{};
    for (QLabel*& label : labels) {
        label = new QLabel(QStringLiteral("Ansluten tid: 0 h 0 m 0 s"), &window);
        layout->addWidget(label);
    }
    window.show();
    QCoreApplication::processEvents();
    if (dirFd < 0 || !bench::writeYearOfData(files, kToday)) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    Times times;
    int count = 0;
    for (auto _ : state) {
        paints->watch(labels.front());
        const double seconds = floorClick(dirFd, labels, ++count);
        if (seconds < 0.0 || paints->paintsOf(labels.front()) == 0) {
            state.SkipWithError("the floor did not write the month and paint its labels");
            break;
        }
        state.SetIterationTime(seconds);
        times.add(seconds);
    }
    paints->reset();
    ::close(dirFd);
    times.report(state);
}

// cmdFran_till clicked and the events that follow run: the range window built, its default range
// (the three months up to today) summed from the month files, the window shown and painted.
// Checked after each opening: the window shows the totals of that range. The window is closed
// again, untimed.
void openRange(benchmark::State& state, platform::FileSystem& files) {
    MainWindow main(files);
    auto* open = main.find<QAbstractButton>(main.window.get(), "cmdFran_till");
    const core::DateRange range = core::defaultRange(kToday);
    const auto totals = storage::sumRange(files, range.from, range.to, bench::kAllowance);
    if (!main.ready || open == nullptr || !totals || totals->sums.connectedSeconds == 0) {
        state.SkipWithError("the main window could not be started");
        return;
    }
    const std::string expected = core::rangeTexts(*totals).connected;
    Times times;
    for (auto _ : state) {
        const double seconds = clickAndRun(open);
        state.SetIterationTime(seconds);
        times.add(seconds);

        QWidget* window = main.find<QWidget>(main.window.get(), "frmFran_till");
        auto* total = window == nullptr ? nullptr : main.find<QLabel>(window, "lblTid");
        auto* close = window == nullptr ? nullptr : main.find<QAbstractButton>(window, "cmdStang");
        if (total == nullptr || close == nullptr || !window->isVisible() ||
            total->text().toStdString() != expected || !main.fakes.messages.shown().empty()) {
            state.SkipWithError("the range window did not show the range's totals");
            break;
        }
        close->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    times.report(state);
}

void BM_OpenRange_Disk(benchmark::State& state) {
    testing_support::TempDir dir;
    platform::PosixFileSystem files(dir.path());
    openRange(state, files);
}

void BM_OpenRange_Memory(benchmark::State& state) {
    platform::fakes::MemoryFileSystem files;
    openRange(state, files);
}

} // namespace

BENCHMARK(BM_SaveClick_Memory)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveClick_Disk)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveClick_Floor)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenRange_Memory)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenRange_Disk)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The windows are real but never reach a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    // As the program sets up its application object (app/windows_main.cpp).
    forms::keepGroupBoxFrameCached(&application);
    paints = new PaintCounter(&application);
    application.installEventFilter(paints);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
