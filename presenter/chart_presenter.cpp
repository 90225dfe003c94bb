#include "presenter/chart_presenter.h"

#include "core/date_fields.h"
#include "core/figures.h"
#include "core/projection.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "storage/month_file.h"
#include "storage/notice_settings.h"

#include <algorithm>
#include <cctype>

namespace presenter {

namespace {

using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

constexpr const char* kSaveTitle = "Spara bild";

// A duration as the summary shows it; "0 s" for none, where durationText gives nothing.
std::string summaryDuration(std::int64_t seconds) {
    const std::string text = core::durationText(seconds);
    return text.empty() ? "0 s" : text;
}

bool endsWithNoCase(const std::string& text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    return std::equal(ending.begin(), ending.end(), text.end() - static_cast<long>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

ChartView loadChart(platform::FileSystem& files, const core::Date& month, int chosenDay,
                    std::int32_t dailyAllowance, bool warn) {
    ChartView view;
    view.chkVarning = warn;
    view.caption = "Diagram – " + core::monthYearCaption(core::Date{month.year, month.month, 1});

    storage::MonthRead read;
    std::string fileName;
    if (month.year >= 2001 && month.year <= 2099 && month.month >= 1 && month.month <= 12) {
        const core::DateTexts texts = core::textsOfDate(core::Date{month.year, month.month, 1});
        fileName = storage::monthFileName(texts.year, texts.month);
        read = storage::readMonth(files, fileName);
    }
    const bool unreadable =
        read.state == storage::MonthState::Unreadable || read.state == storage::MonthState::Damaged;
    const std::span<const core::DayRecord> records =
        unreadable ? std::span<const core::DayRecord>{} : read.records();

    view.picDiagram = core::monthChart(month.year, month.month, records, dailyAllowance, chosenDay);
    if (unreadable) {
        view.unreadable = "Månadsfilen " + fileName +
                          " kunde inte läsas, så diagrammet visar ingen tid för månaden.";
        view.lblPrognos = {view.unreadable};
        return view;
    }
    const core::MonthSums sums = core::sumMonth(records);
    view.lblPrognos = {
        "Ansluten tid: " + summaryDuration(sums.connectedSeconds),
        "Extra tid: " + summaryDuration(sums.extraSeconds),
        "Total månadskostnad: " +
            core::amountText(core::totalMonthlyCost(sums, dailyAllowance),
                             core::AmountPattern::TwoIntegerDigits) +
            " kr",
    };
    return view;
}

std::string suggestedImageName(const core::MonthChart& chart) {
    std::string month = core::decimalText(chart.month);
    if (month.size() < 2) {
        month.insert(0, "0");
    }
    return "Diagram " + core::decimalText(chart.year) + "-" + month + ".png";
}

ImageTarget imageTarget(std::string path) {
    if (endsWithNoCase(path, ".svg")) {
        return {std::move(path), ImageFormat::Svg};
    }
    if (!endsWithNoCase(path, ".png")) {
        path += ".png";
    }
    return {std::move(path), ImageFormat::Png};
}

std::optional<ImageTarget> ChartSaver::ask(const ChartView& view) {
    const auto path = m_saveFile.ask(suggestedImageName(view.picDiagram), kImageFilters);
    if (!path || path->empty()) {
        return std::nullopt;
    }
    return imageTarget(*path);
}

bool ChartSaver::write(const ImageTarget& target, const std::string& bytes) {
    if (bytes.empty()) {
        m_messages.show("Bilden kunde inte göras, så den sparades inte.", kSaveTitle, Buttons::Ok,
                        Icon::Exclamation);
        return false;
    }
    if (const auto failure = m_saveFile.write(target.path, bytes)) {
        m_messages.show("Bilden kunde inte sparas: " + *failure, kSaveTitle, Buttons::Ok,
                        Icon::Exclamation);
        return false;
    }
    return true;
}

ChartView openChart(platform::FileSystem& files, const platform::Clock& clock,
                    const core::Date& chosen, std::int32_t dailyAllowance) {
    const bool warn = storage::NoticeSettings(files).load().on;
    ChartView view = loadChart(files, chosen, chosen.day, dailyAllowance, warn);
    if (!view.unreadable.empty()) {
        return view;
    }
    const core::Date first{chosen.year, chosen.month, 1};
    const std::string file =
        storage::monthFileName(core::twoDigits(chosen.year % 100), core::twoDigits(chosen.month));
    const storage::MonthRead read = storage::readMonth(files, file);
    if (const auto projection =
            core::projectMonth(first, read.records(), clock.today(), dailyAllowance)) {
        view.lblPrognos.emplace_back();
        for (const std::string& line : core::projectionLines(*projection)) {
            view.lblPrognos.push_back(line);
        }
    }
    return view;
}

bool storeWarning(platform::FileSystem& files, platform::MessageBox& messages, bool on) {
    storage::NoticeSettings notices(files);
    if (notices.store(on)) {
        return on;
    }
    const storage::NoticeSettings::Loaded stored = notices.load();
    messages.show(stored.state == storage::NoticeFileState::Damaged
                      ? "Inställningen kunde inte sparas, eftersom filen avisering.it är skadad. "
                        "Ta bort filen och försök igen."
                      : "Inställningen kunde inte sparas, eftersom filen avisering.it inte gick "
                        "att skriva.",
                  "Kan inte spara", platform::MessageBox::Buttons::Ok,
                  platform::MessageBox::Icon::Exclamation);
    return stored.on;
}

} // namespace presenter
