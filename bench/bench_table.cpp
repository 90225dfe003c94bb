// Reads the JSON reports of bench_storage, bench_windows and bench_startup (run with repetitions
// and aggregates) and prints the one table of bench/run.sh in Markdown: each operation's median,
// its baseline's median, their ratio, the goal and whether it is met. It measures nothing itself.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <cstdio>

namespace {

enum class Goal {
    Ratio,    // measured / baseline at most the limit
    Absolute, // measured at most the limit, in seconds
    None,     // shown for information
};

enum class Quantity { Time, Cpu, Memory };

struct Row {
    const char* operation;
    const char* measured; // benchmark name
    const char* baseline; // benchmark name, or nullptr
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

bool readReport(const QString& path, Medians& medians) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_table: cannot read %s\n", qPrintable(path));
        return false;
    }
    const QJsonArray runs =
        QJsonDocument::fromJson(file.readAll()).object()[u"benchmarks"].toArray();
    for (const QJsonValue& value : runs) {
        const QJsonObject run = value.toObject();
        if (run[u"aggregate_name"].toString() != QLatin1String("median") ||
            run.contains(u"error_occurred")) {
            continue;
        }
        const QString name = run[u"run_name"].toString().section(u'/', 0, 0);
        medians.seconds[name] =
            run.contains(u"median_us")
                ? run[u"median_us"].toDouble() / 1e6
                : toSeconds(run[u"real_time"].toDouble(), run[u"time_unit"].toString());
        if (run.contains(u"peak_kB")) {
            medians.kilobytes[name] = run[u"peak_kB"].toDouble();
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

} // namespace

int main(int argc, char* argv[]) {
    Medians medians;
    for (int i = 1; i < argc; ++i) {
        if (!readReport(QString::fromLocal8Bit(argv[i]), medians)) {
            return 1;
        }
    }

    const Row rows[] = {
        // 1. A booking costs what durability costs, once.
        {"Booking one day (`bookTime`, crash-safe)", "BM_BookDay_Program", "BM_BookDay_Baseline",
         Quantity::Time, Goal::Ratio, 1.25},
        // Against the booking's durable floor: a click on disk can be no faster than that.
        {"Clicking `cmdSpara` to the labels updated, data folder on disk", "BM_SaveClick_Disk",
         "BM_BookDay_Baseline", Quantity::Time, Goal::Ratio, 1.25},
        // 2. Start-up against a window with one label.
        {"Start-up to main window shown and idle: CPU time", "BM_Startup_Program",
         "BM_Startup_LabelWindow", Quantity::Cpu, Goal::Ratio, 1.15},
        {"Start-up to main window shown and idle: peak memory (resident)", "BM_Startup_Program",
         "BM_Startup_LabelWindow", Quantity::Memory, Goal::Ratio, 1.15},
        // 3. Commands against a QCoreApplication that prints one line.
        {"`surfklocka visa`: CPU time", "BM_Command_Visa", "BM_Command_CoreLine", Quantity::Cpu,
         Goal::Ratio, 1.2},
        {"`surfklocka visa`: peak memory", "BM_Command_Visa", "BM_Command_CoreLine",
         Quantity::Memory, Goal::Ratio, 1.2},
        {"`surfklocka boka`: CPU time", "BM_Command_Boka", "BM_Command_CoreLine", Quantity::Cpu,
         Goal::Ratio, 1.2},
        {"`surfklocka boka`: peak memory", "BM_Command_Boka", "BM_Command_CoreLine",
         Quantity::Memory, Goal::Ratio, 1.2},
        // 4. Opening the range window.
        {"Opening the range window, a year of data on disk", "BM_OpenRange_Disk", nullptr,
         Quantity::Time, Goal::Absolute, 1e-3},
        // 5. Scale: every month of 2001-2099 against today's month alone.
        {"Scale: start-up CPU time, 99 years against one month", "BM_Startup_EveryYear",
         "BM_Startup_OneMonth", Quantity::Cpu, Goal::Ratio, 1.1},
        {"Scale: a booking (`boka`) CPU time, 99 years against one month",
         "BM_Command_Boka_EveryYear", "BM_Command_Boka_OneMonth", Quantity::Cpu, Goal::Ratio, 1.1},
        {"Scale: the month view (`visa`) CPU time, 99 years against one month",
         "BM_Command_Visa_EveryYear", "BM_Command_Visa_OneMonth", Quantity::Cpu, Goal::Ratio, 1.1},
        {"Scale: a 365-day range (`summa`) CPU time, 99 years against one month",
         "BM_Command_Summa_EveryYear", "BM_Command_Summa_OneMonth", Quantity::Cpu, Goal::Ratio,
         1.1},
        // For information.
        {"Info: start-up wall time against the window with one label", "BM_Startup_Program",
         "BM_Startup_LabelWindow", Quantity::Time, Goal::None, 0.0},
        {"Info: clicking `cmdSpara`, files in memory", "BM_SaveClick_Memory", nullptr,
         Quantity::Time, Goal::None, 0.0},
        {"Info: opening the range window, a year of data in memory", "BM_OpenRange_Memory", nullptr,
         Quantity::Time, Goal::None, 0.0},
        {"Info: reading one month (`readMonth`) against raw POSIX", "BM_ReadMonth_Program",
         "BM_ReadMonth_Baseline", Quantity::Time, Goal::None, 0.0},
        {"Info: summing 365 days over 13 month files (`sumRange`) against raw POSIX",
         "BM_SumRange_Program", "BM_SumRange_Baseline", Quantity::Time, Goal::None, 0.0},
        {"Info: durable month write against a plain `pwrite` of one record",
         "BM_RecordWrite_Durable", "BM_RecordWrite_Pwrite", Quantity::Time, Goal::None, 0.0},
        {"Info: peak memory of the window with one label against an empty window",
         "BM_Startup_LabelWindow", "BM_Startup_EmptyWindow", Quantity::Memory, Goal::None, 0.0},
    };

    std::printf("| Operation | Measured | Baseline | Ratio | Goal | Met? |\n");
    std::printf("|---|---:|---:|---:|---|---|\n");
    bool allMet = true;
    for (const Row& row : rows) {
        const auto& values = row.quantity == Quantity::Time  ? medians.seconds
                             : row.quantity == Quantity::Cpu ? medians.cpuSeconds
                                                             : medians.kilobytes;
        const auto text = [&row](double value) {
            return row.quantity == Quantity::Memory ? memoryText(value) : timeText(value);
        };
        // -1 for a benchmark that did not run.
        const double measured = values.value(QLatin1String(row.measured), -1.0);
        const double baseline =
            row.baseline != nullptr ? values.value(QLatin1String(row.baseline), -1.0) : -1.0;
        const QString measuredText = measured >= 0.0 ? text(measured) : QStringLiteral("not run");
        QString baselineText = QStringLiteral("—");
        QString ratioText = QStringLiteral("—");
        if (row.baseline != nullptr) {
            baselineText = baseline >= 0.0 ? text(baseline) : QStringLiteral("not run");
            if (measured >= 0.0 && baseline > 0.0) {
                ratioText = QString::number(measured / baseline, 'f', 2) + QStringLiteral("×");
            }
        }
        QString goalText = QStringLiteral("—");
        QString metText = QStringLiteral("info");
        if (row.goal != Goal::None) {
            bool met = false;
            if (row.goal == Goal::Ratio) {
                goalText = QStringLiteral("≤ ") + QString::number(row.limit, 'f', 2) +
                           QStringLiteral("× baseline");
                met = measured >= 0.0 && baseline > 0.0 && measured <= row.limit * baseline;
            } else {
                goalText = QStringLiteral("median < ") + timeText(row.limit);
                met = measured >= 0.0 && measured < row.limit;
            }
            metText = met ? QStringLiteral("yes") : QStringLiteral("**no**");
            allMet = allMet && met;
        }
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.operation, qPrintable(measuredText),
                    qPrintable(baselineText), qPrintable(ratioText), qPrintable(goalText),
                    qPrintable(metText));
    }
    std::printf("\n%s\n", allMet ? "Every goal met." : "Not every goal met; see bench/README.md.");
    return 0;
}
