// Reads the JSON reports of bench_storage, bench_windows and bench_processes (run with repetitions,
// each repetition and the aggregates reported), and the window's start counted by callgrind in
// bench/run.sh, and prints the one table of bench/run.sh in Markdown: each operation's median, its
// floor's median, their ratio with its 95 % interval, the goal and whether it is met. It measures
// nothing itself.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace {

enum class Goal {
    Ratio,    // measured / floor at most the limit
    Absolute, // measured at most the limit, in seconds
    None,     // shown for information
};

enum class Quantity { Time, Cpu, Memory, Instructions };

struct Row {
    const char* goalNumber; // the goal of the issue it measures
    const char* operation;
    const char* measured; // benchmark name
    const char* floor;    // benchmark name, or nullptr
    Quantity quantity;
    Goal goal;
    double limit;
};

// Median of each benchmark over the repetitions: the time of one operation in seconds, or the
// peak memory in kB. A benchmark that counted its own per-iteration median (median_us) is taken by
// that rather than by its repetitions' means.
struct Medians {
    QMap<QString, double> seconds;
    QMap<QString, double> cpuSeconds;
    QMap<QString, double> kilobytes;
    QMap<QString, double> instructions;
};

// Each benchmark's value in every one of its repetitions, by the same measures as its median.
struct Repetitions {
    QMap<QString, std::vector<double>> seconds;
    QMap<QString, std::vector<double>> cpuSeconds;
    QMap<QString, std::vector<double>> kilobytes;
};

struct Report {
    Medians medians;
    Repetitions repetitions;
};

double toSeconds(double value, const QString& unit) {
    if (unit == QLatin1String("ns")) {
        return value / 1e9;
    }
    if (unit == QLatin1String("us")) {
        return value / 1e6;
    }
    if (unit == QLatin1String("ms")) {
        return value / 1e3;
    }
    return value;
}

// A run's time of one operation in seconds.
double secondsOf(const QJsonObject& run) {
    return run.contains(u"median_us")
               ? run[u"median_us"].toDouble() / 1e6
               : toSeconds(run[u"real_time"].toDouble(), run[u"time_unit"].toString());
}

// One repetition of a benchmark, kept beside the others of the same benchmark.
void addRepetition(const QString& name, const QJsonObject& run, Repetitions& repetitions) {
    repetitions.seconds[name].push_back(secondsOf(run));
    if (run.contains(u"peak_kB")) {
        repetitions.kilobytes[name].push_back(run[u"peak_kB"].toDouble());
    }
    if (run.contains(u"cpu_s")) {
        repetitions.cpuSeconds[name].push_back(run[u"cpu_s"].toDouble());
    }
}

bool readReport(const QString& path, Report& report) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_table: cannot read %s\n", qPrintable(path));
        return false;
    }
    const QJsonArray runs =
        QJsonDocument::fromJson(file.readAll()).object()[u"benchmarks"].toArray();
    for (const QJsonValue& value : runs) {
        const QJsonObject run = value.toObject();
        if (run.contains(u"error_occurred")) {
            continue;
        }
        const QString name = run[u"run_name"].toString().section(u'/', 0, 0);
        if (run[u"run_type"].toString() == QLatin1String("iteration")) {
            addRepetition(name, run, report.repetitions);
            continue;
        }
        if (run[u"aggregate_name"].toString() != QLatin1String("median")) {
            continue;
        }
        Medians& medians = report.medians;
        medians.seconds[name] = secondsOf(run);
        if (run.contains(u"peak_kB")) {
            medians.kilobytes[name] = run[u"peak_kB"].toDouble();
        }
        if (run.contains(u"instructions") && run[u"instructions"].toDouble() >= 0.0) {
            medians.instructions[name] = run[u"instructions"].toDouble();
        }
        if (run.contains(u"cpu_s")) {
            medians.cpuSeconds[name] = run[u"cpu_s"].toDouble();
        }
    }
    return true;
}

QString timeText(double seconds) {
    if (seconds < 1e-3) {
        return QString::number(seconds * 1e6, 'f', seconds < 1e-5 ? 2 : 1) + QStringLiteral(" µs");
    }
    return QString::number(seconds * 1e3, 'f', seconds < 1e-2 ? 2 : 1) + QStringLiteral(" ms");
}

QString memoryText(double kilobytes) {
    return QString::number(kilobytes / 1024.0, 'f', 1) + QStringLiteral(" MiB");
}

QString instructionsText(double count) {
    return QString::number(count / 1e6, 'f', 1) + QStringLiteral(" M");
}

// Each goal beside its floor, then what is shown for information.
const Row kRows[] = {
    // 1. The command line: a month's view and sum against Timewarrior's summary of the same
    // month, a booking against the same file work in plain C and Timewarrior's track.
    {"1", "`surfklocka visa` of a month (30 days): CPU, against `timew summary` (30 intervals)",
     "BM_Visa_Month", "BM_TimewSummary_Month", Quantity::Cpu, Goal::Ratio, 1.0},
    {"1", "`surfklocka summa` of a month (30 days): CPU, against `timew summary`", "BM_Summa_Month",
     "BM_TimewSummary_Month", Quantity::Cpu, Goal::Ratio, 1.0},
    {"1", "`surfklocka boka`: CPU, against the same file work in plain C", "BM_Boka_Month",
     "BM_BokaFloor_Month", Quantity::Cpu, Goal::Ratio, 1.5},
    {"1", "`surfklocka boka`: peak memory, against `timew track`", "BM_Boka_Month",
     "BM_TimewTrack_Month", Quantity::Memory, Goal::Ratio, 1.0},
    {"1", "`surfklocka boka`: CPU, against `timew track`", "BM_Boka_Month", "BM_TimewTrack_Month",
     Quantity::Cpu, Goal::None, 0.0},
    {"1", "`surfklocka visa`: peak memory, against `timew summary`", "BM_Visa_Month",
     "BM_TimewSummary_Month", Quantity::Memory, Goal::None, 0.0},
    {"1", "`surfklocka boka`: peak memory, against the same file work in plain C", "BM_Boka_Month",
     "BM_BokaFloor_Month", Quantity::Memory, Goal::None, 0.0},
    // 2. The window's start against a window with one label.
    {"2", "Window shown and idle, a month of data: CPU, against a one-label window",
     "BM_Window_Month", "BM_LabelWindow", Quantity::Cpu, Goal::Ratio, 1.15},
    {"2", "Window shown and idle, a month of data: peak memory, against a one-label window",
     "BM_Window_Month", "BM_LabelWindow", Quantity::Memory, Goal::Ratio, 1.15},
    {"2", "Window shown and idle: wall time, against a one-label window", "BM_Window_Month",
     "BM_LabelWindow", Quantity::Time, Goal::None, 0.0},
    {"2",
     "Window shown and idle, a month of data: instructions (callgrind), against a one-label "
     "window",
     "Callgrind_Window_Month", "Callgrind_LabelWindow", Quantity::Instructions, Goal::None, 0.0},
    {"2", "One-label window: peak memory, against an empty window", "BM_LabelWindow",
     "BM_EmptyWindow", Quantity::Memory, Goal::None, 0.0},
    // 3. Scale: every month of 2001-2099 against one month.
    {"3", "`surfklocka boka` in a folder of 99 years (1188 months): CPU, against one month",
     "BM_Boka_EveryYear", "BM_Boka_Month", Quantity::Cpu, Goal::Ratio, 1.1},
    {"3", "`surfklocka visa` in a folder of 99 years: CPU, against one month", "BM_Visa_EveryYear",
     "BM_Visa_Month", Quantity::Cpu, Goal::None, 0.0},
    {"3", "`surfklocka summa` in a folder of 99 years: CPU, against one month",
     "BM_Summa_EveryYear", "BM_Summa_Month", Quantity::Cpu, Goal::None, 0.0},
    // 4. The click on cmdSpara against a bare window's one flush and seven labels.
    {"4",
     "Clicking `cmdSpara`, data folder on disk: wall time, against one flush and seven "
     "labels of a bare window",
     "BM_SaveClick_Disk", "BM_SaveClick_Floor", Quantity::Time, Goal::Ratio, 1.25},
    {"4", "Clicking `cmdSpara`, files in memory: wall time", "BM_SaveClick_Memory", nullptr,
     Quantity::Time, Goal::None, 0.0},
    // Goals of earlier work, still measured.
    {"—", "Booking one day (`bookTime`, crash-safe), against raw POSIX as durable",
     "BM_BookDay_Program", "BM_BookDay_Baseline", Quantity::Time, Goal::Ratio, 1.25},
    {"—", "Opening the range window, a year of data on disk", "BM_OpenRange_Disk", nullptr,
     Quantity::Time, Goal::Absolute, 1e-3},
    {"—", "Opening the range window, a year of data in memory", "BM_OpenRange_Memory", nullptr,
     Quantity::Time, Goal::None, 0.0},
    {"—", "Reading one month (`readMonth`), against raw POSIX", "BM_ReadMonth_Program",
     "BM_ReadMonth_Baseline", Quantity::Time, Goal::None, 0.0},
    {"—", "Summing 365 days over 13 month files (`sumRange`), against raw POSIX",
     "BM_SumRange_Program", "BM_SumRange_Baseline", Quantity::Time, Goal::None, 0.0},
    {"—", "Durable month write, against a plain `pwrite` of one record", "BM_RecordWrite_Durable",
     "BM_RecordWrite_Pwrite", Quantity::Time, Goal::None, 0.0},
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The ratio of two medians as the machine's noise lets it vary: its 95 % interval by the
// bootstrap, each benchmark's repetitions drawn again with replacement, 2000 times. The seed is
// fixed, so that the same report always prints the same table. None without five repetitions of
// each.
struct Interval {
    double low = 0.0;
    double high = 0.0;
};
std::optional<Interval> ratioInterval(const std::vector<double>& measured,
                                      const std::vector<double>& floor) {
    if (measured.size() < 5 || floor.size() < 5) {
        return std::nullopt;
    }
    std::mt19937 random(20011129);
    const auto drawn = [&random](const std::vector<double>& values) {
        std::uniform_int_distribution<std::size_t> pick(0, values.size() - 1);
        std::vector<double> draw(values.size());
        for (double& value : draw) {
            value = values[pick(random)];
        }
        return median(std::move(draw));
    };
    std::vector<double> ratios;
    for (int draw = 0; draw < 2000; ++draw) {
        const double floorMedian = drawn(floor);
        const double measuredMedian = drawn(measured);
        if (floorMedian > 0.0) {
            ratios.push_back(measuredMedian / floorMedian);
        }
    }
    if (ratios.size() < 2000) {
        return std::nullopt;
    }
    std::sort(ratios.begin(), ratios.end());
    return Interval{ratios[50], ratios[1949]};
}

// How a row stands against its goal: met even at the top of its interval, met by its median only,
// or not met.
enum class Standing { Info, Met, WithinNoise, NotMet };

QString valueText(Quantity quantity, double value) {
    switch (quantity) {
    case Quantity::Memory:
        return memoryText(value);
    case Quantity::Instructions:
        return instructionsText(value);
    default:
        return timeText(value);
    }
}

QString ratioText(double ratio, const std::optional<Interval>& interval) {
    QString text = QString::number(ratio, 'f', 2) + QStringLiteral("×");
    if (interval) {
        text += QStringLiteral(" (") + QString::number(interval->low, 'f', 2) +
                QStringLiteral("–") + QString::number(interval->high, 'f', 2) + QStringLiteral(")");
    }
    return text;
}

Standing standingOf(const Row& row, double measured, double floor,
                    const std::optional<Interval>& interval) {
    if (row.goal == Goal::Absolute) {
        return measured >= 0.0 && measured < row.limit ? Standing::Met : Standing::NotMet;
    }
    if (row.goal != Goal::Ratio) {
        return Standing::Info;
    }
    if (measured < 0.0 || floor <= 0.0 || measured > row.limit * floor) {
        return Standing::NotMet;
    }
    return interval && interval->high > row.limit ? Standing::WithinNoise : Standing::Met;
}

// Prints one row of the table, and returns how it stands against its goal.
Standing printRow(const Row& row, const Report& report) {
    const auto pick = [&row](const auto& byQuantity) -> const auto& {
        switch (row.quantity) {
        case Quantity::Time:
            return byQuantity.seconds;
        case Quantity::Cpu:
            return byQuantity.cpuSeconds;
        default:
            return byQuantity.kilobytes;
        }
    };
    const QMap<QString, double>& values =
        row.quantity == Quantity::Instructions ? report.medians.instructions : pick(report.medians);
    // -1 for a benchmark that did not run.
    const double measured = values.value(QLatin1String(row.measured), -1.0);
    const double floor = row.floor != nullptr ? values.value(QLatin1String(row.floor), -1.0) : -1.0;
    std::optional<Interval> interval;
    QString floorText = QStringLiteral("—");
    QString ratio = QStringLiteral("—");
    if (row.floor != nullptr) {
        floorText = floor >= 0.0 ? valueText(row.quantity, floor) : QStringLiteral("not run");
        if (measured >= 0.0 && floor > 0.0) {
            if (row.quantity != Quantity::Instructions) {
                const auto& repetitions = pick(report.repetitions);
                interval = ratioInterval(repetitions.value(QLatin1String(row.measured)),
                                         repetitions.value(QLatin1String(row.floor)));
            }
            ratio = ratioText(measured / floor, interval);
        }
    }
    QString goalText = QStringLiteral("—");
    if (row.goal == Goal::Ratio) {
        goalText =
            QStringLiteral("≤ ") + QString::number(row.limit, 'f', 2) + QStringLiteral("× floor");
    } else if (row.goal == Goal::Absolute) {
        goalText = QStringLiteral("median < ") + timeText(row.limit);
    }
    const Standing standing = standingOf(row, measured, floor, interval);
    const char* standingText[] = {"info", "met", "met by the median, within noise", "**not met**"};
    std::printf(
        "| %s | %s | %s | %s | %s | %s | %s |\n", row.goalNumber, row.operation,
        qPrintable(measured >= 0.0 ? valueText(row.quantity, measured) : QStringLiteral("not run")),
        qPrintable(floorText), qPrintable(ratio), qPrintable(goalText),
        standingText[static_cast<int>(standing)]);
    return standing;
}

} // namespace

int main(int argc, char* argv[]) {
    Report report;
    for (int i = 1; i < argc; ++i) {
        if (!readReport(QString::fromLocal8Bit(argv[i]), report)) {
            return 1;
        }
    }
    std::printf("| # | Operation | Measured | Floor | Ratio (95 %% interval) | Goal | Met? |\n");
    std::printf("|---|---|---:|---:|---:|---|---|\n");
    Standing worst = Standing::Met;
    for (const Row& row : kRows) {
        worst = std::max(worst, printRow(row, report));
    }
    std::printf("\n%s\n", worst == Standing::NotMet ? "Not every goal met; see bench/README.md."
                          : worst == Standing::WithinNoise
                              ? "Every goal met by its median, not every one beyond this "
                                "machine's noise; see the intervals."
                              : "Every goal met.");
    return 0;
}
