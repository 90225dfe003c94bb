#include "presenter/chart_presenter.h"

#include "core/date_fields.h"
#include "core/figures.h"
#include "core/projection.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "storage/month_file.h"
#include "storage/notice_settings.h"
#include "storage/plan_history.h"

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

ChartPresenter::ChartPresenter(platform::Services services, const core::ProgramSettings& settings)
    : m_services(services), m_settings(settings) {}

bool ChartPresenter::open(const std::optional<core::Date>& chosen) {
    if (!chosen) {
        m_services.messages.show("Välj ett riktigt datum först, så visas den månaden.",
                                 "Felaktigt datum", Buttons::Ok, Icon::Exclamation);
        return false;
    }
    m_chosen = *chosen;
    m_view.chkVarning = storage::NoticeSettings(m_services.files).load().on;
    show(core::Date{chosen->year, chosen->month, 1});
    return true;
}

const ChartView& ChartPresenter::step(int months) {
    const core::Date month = core::addMonthsClamped(m_month, months);
    if (month >= kFirstMonth && month <= kLastMonth) {
        show(month);
    }
    return m_view;
}

void ChartPresenter::show(const core::Date& month) {
    m_month = month;
    const bool chosenMonth = m_chosen.year == month.year && m_chosen.month == month.month;
    // The month is shown with the plan in force in it.
    const std::int32_t allowance = storage::loadPlanHistory(m_services.files)
                                       .schedule(m_settings.dailyAllowance)
                                       .allowanceFor(month.year, month.month);
    m_view = loadChart(m_services.files, month, chosenMonth ? m_chosen.day : 0, allowance,
                       m_view.chkVarning);
    m_view.cmdForra = month > kFirstMonth;
    m_view.cmdNasta = month < kLastMonth;
    if (!m_view.unreadable.empty()) {
        return;
    }
    const storage::MonthRead read =
        storage::readMonth(m_services.files, storage::monthFileName(month));
    if (const auto projection =
            core::projectMonth(month, read.records(), m_services.clock.today(), allowance)) {
        m_view.lblPrognos.emplace_back();
        for (const std::string& line : core::projectionLines(*projection)) {
            m_view.lblPrognos.push_back(line);
        }
    }
}

const ChartView& ChartPresenter::toggleWarning(bool on) {
    m_view.lblSparat.clear();
    storage::NoticeSettings notices(m_services.files);
    if (notices.store(on)) {
        m_view.chkVarning = on;
        return m_view;
    }
    const storage::NoticeSettings::Loaded stored = notices.load();
    m_services.messages.show(
        stored.state == storage::NoticeFileState::Damaged
            ? "Inställningen kunde inte sparas, eftersom filen avisering.it är skadad. "
              "Ta bort filen och försök igen."
            : "Inställningen kunde inte sparas, eftersom filen avisering.it inte gick "
              "att skriva.",
        "Kan inte spara", Buttons::Ok, Icon::Exclamation);
    m_view.chkVarning = stored.on;
    return m_view;
}

std::optional<ImageTarget> ChartPresenter::askSave() {
    m_view.lblSparat.clear();
    const auto choice = m_services.saveFile.ask(kSaveTitle, suggestedImageName(m_view.picDiagram),
                                                saveFilters(kImageTypes));
    if (!choice || choice->path.empty()) {
        return std::nullopt;
    }
    SaveTarget target = saveTarget(choice->path, kImageTypes, choice->filter);
    return ImageTarget{std::move(target.path),
                       target.type == 1 ? ImageFormat::Svg : ImageFormat::Png};
}

const ChartView& ChartPresenter::saved(const ImageTarget& target, const std::string& bytes) {
    m_view.lblSparat.clear();
    if (bytes.empty()) {
        m_services.messages.show("Bilden kunde inte göras, så den sparades inte.", kSaveTitle,
                                 Buttons::Ok, Icon::Exclamation);
    } else if (const auto failure = m_services.saveFile.write(target.path, bytes)) {
        m_services.messages.show("Bilden kunde inte sparas: " + *failure, kSaveTitle, Buttons::Ok,
                                 Icon::Exclamation);
    } else {
        m_view.lblSparat = savedAsText(target.path, m_services.saveFile.homeFolder());
    }
    return m_view;
}

} // namespace presenter
