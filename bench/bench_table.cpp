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

enum class Quantity { Time, Memory };

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
        {"Booking one day (`bookTime`, crash-safe)", "BM_BookDay_Program", "BM_BookDay_Baseline",
         Quantity::Time, Goal::Ratio, 1.25},
        {"Reading one month (`readMonth`)", "BM_ReadMonth_Program", "BM_ReadMonth_Baseline",
         Quantity::Time, Goal::Ratio, 2.0},
        {"Summing 365 days over 13 month files (`sumRange`)", "BM_SumRange_Program",
         "BM_SumRange_Baseline", Quantity::Time, Goal::Ratio, 2.0},
        {"Start-up to main window shown and idle", "BM_Startup_Program", "BM_Startup_EmptyWindow",
         Quantity::Time, Goal::Ratio, 1.15},
        {"Start-up peak memory (resident)", "BM_Startup_Program", "BM_Startup_EmptyWindow",
         Quantity::Memory, Goal::Ratio, 1.15},
        // Against the booking's durable floor: a click on disk can be no faster than that.
        {"Clicking `cmdSpara` to the labels updated, data folder on disk", "BM_SaveClick_Disk",
         "BM_BookDay_Baseline", Quantity::Time, Goal::Ratio, 1.25},
        {"Clicking `cmdSpara` to the labels updated, files in memory", "BM_SaveClick_Memory",
         nullptr, Quantity::Time, Goal::Absolute, 1e-3},
        {"Opening the range window, a year of data on disk", "BM_OpenRange_Disk", nullptr,
         Quantity::Time, Goal::Absolute, 1e-3},
        {"Opening the range window, a year of data in memory", "BM_OpenRange_Memory", nullptr,
         Quantity::Time, Goal::Absolute, 1e-3},
        {"Info: durable month write against a plain `pwrite` of one record",
         "BM_RecordWrite_Durable", "BM_RecordWrite_Pwrite", Quantity::Time, Goal::None, 0.0},
        {"Info: start-up of a window with one label against the empty window",
         "BM_Startup_LabelWindow", "BM_Startup_EmptyWindow", Quantity::Time, Goal::None, 0.0},
        {"Info: peak memory of a window with one label against the empty window",
         "BM_Startup_LabelWindow", "BM_Startup_EmptyWindow", Quantity::Memory, Goal::None, 0.0},
    };

    std::printf("| Operation | Measured | Baseline | Ratio | Goal | Met? |\n");
    std::printf("|---|---:|---:|---:|---|---|\n");
    bool allMet = true;
    for (const Row& row : rows) {
        const auto& values = row.quantity == Quantity::Time ? medians.seconds : medians.kilobytes;
        const auto text = [&row](double value) {
            return row.quantity == Quantity::Time ? timeText(value) : memoryText(value);
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
