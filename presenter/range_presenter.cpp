#include "presenter/range_presenter.h"

#include "core/date_fields.h"
#include "core/iso_date.h"
#include "core/plan_comparison.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/export.h"
#include "presenter/saving.h"
#include "storage/range_totals.h"

#include <optional>
#include <utility>

namespace presenter {

using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

namespace {

constexpr const char* kTooLongLabel = "Felaktiga datum. Längre tid än 12 månader.";
constexpr const char* kTooLongMessage = "Det går inte att summera längre\ntid än 12 månader.";
constexpr const char* kOrderMessage = "\"FRÅN\" måste vara tidigare än \"TILL\".";
constexpr const char* kRangeTitle = "Felaktiga datum";
constexpr const char* kDateTitle = "Felaktigt datum";
// Whether a list of the entries "01" up to `entries` offers this text.
bool offers(int entries, std::string_view text) {
    const auto number = core::parseDigits(text);
    return number && *number >= 1 && *number <= entries && core::twoDigits(*number) == text;
}

// The date three list texts denote; nullopt when it is incomplete or not a real date.
std::optional<core::Date> dateOfLists(const std::array<std::string, 3>& texts) {
    return core::dateOfTexts(core::fixedWidth(texts[0], 2), core::fixedWidth(texts[1], 2),
                             core::fixedWidth(texts[2], 2));
}

} // namespace

RangePresenter::RangePresenter(platform::Services services, const core::ProgramSettings& settings)
    : m_services(services), m_settings(settings) {}

// ---------------------------------------------------------------------------------------------
// Commands

const RangeView& RangePresenter::load() {
    m_view = RangeView{};
    m_state = State{};
    m_closed = false;
    // The checks run while the defaults are chosen find the dates incomplete; they say nothing.
    m_loading = true;
    m_view.title =
        std::string(core::kProgramName) + "      " + m_settings.planText + "      Från och Till";

    const core::DateRange range = core::defaultRange(m_services.clock.today());
    // Each choice runs the checks; the last one checks the complete default range and sums it.
    const core::DateTexts fran = core::textsOfDate(range.from);
    select(RangeField::Fran, 0, fran.year);
    select(RangeField::Fran, 1, fran.month);
    select(RangeField::Fran, 2, fran.day);
    const core::DateTexts till = core::textsOfDate(range.to);
    select(RangeField::Till, 0, till.year);
    select(RangeField::Till, 1, till.month);
    select(RangeField::Till, 2, till.day);

    m_view.cmdStangHint = "Stänger \"Från och Till\".";
    m_loading = false;
    return m_view;
}

const RangeView& RangePresenter::choose(RangeField field, int list, std::string_view text) {
    if (!m_closed && list >= 0 && list < 3 && select(field, static_cast<std::size_t>(list), text)) {
        m_view.lblSparat.clear();
    }
    return m_view;
}

const RangeView& RangePresenter::exportera() {
    if (m_closed || !m_state.shown) {
        return m_view;
    }
    m_view.lblSparat.clear();
    const core::DateRange range = *m_state.shown;
    const std::string suggested =
        "surfklocka_" + core::isoDateText(range.from) + "_" + core::isoDateText(range.to) + ".csv";
    const auto choice = m_services.saveFile.ask("Exportera", suggested, exportFilters());
    if (!choice || choice->path.empty()) {
        return m_view;
    }
    const ExportTarget target = exportTarget(choice->path, choice->filter);
    const ExportOutcome outcome = exportRange(m_services.files, range.from, range.to,
                                              core::trimBlanks(m_settings.planText), target.format);
    std::optional<std::string> failure;
    if (!outcome.done) {
        failure = outcome.reason;
    } else {
        failure = m_services.saveFile.write(target.path, outcome.text);
    }
    if (failure) {
        m_services.messages.show("Exporten kunde inte sparas: " + *failure, "Exportera",
                                 Buttons::Ok, Icon::Exclamation);
    } else {
        m_view.lblSparat = savedAsText(target.path, m_services.saveFile.homeFolder());
    }
    return m_view;
}

const RangeView& RangePresenter::close() {
    m_closed = true;
    m_state.totals = core::RangeTotals{};
    m_state.shown.reset();
    m_view.cmdExportera = false;
    return m_view;
}

// ---------------------------------------------------------------------------------------------
// The checks

bool RangePresenter::select(RangeField field, std::size_t list, std::string_view text) {
    const int entries = list == 0 ? kYearEntries : list == 1 ? kMonthEntries : dayEntries(field);
    std::string& chosen = lists(field)[list];
    if (!offers(entries, text) || chosen == text) {
        return false;
    }
    chosen = std::string(text);
    rangeCheck(field);
    return true;
}

// The range check that follows every choice in a FRÅN or TILL list.
void RangePresenter::rangeCheck(RangeField field) {
    m_state.totals = core::RangeTotals{};
    m_state.shown.reset();
    m_view.cmdExportera = false;
    if (!checkDate(field)) {
        return;
    }
    const auto from = core::dateOfKey(m_state.franDatum);
    const auto to = core::dateOfKey(m_state.tillDatum);
    if (!from || !to) {
        return; // a date is incomplete or invalid: the results stay as they are
    }
    switch (core::checkRange(*from, *to)) {
    case core::RangeCheck::WrongOrder:
        clearComparison();
        if (!m_loading) {
            m_services.messages.show(kOrderMessage, kRangeTitle, Buttons::Ok, Icon::None);
        }
        return;
    case core::RangeCheck::TooLong:
        clearComparison();
        if (!m_loading) {
            m_view.lblHit_Dit = kTooLongLabel;
            m_services.messages.show(kTooLongMessage, kRangeTitle, Buttons::Ok, Icon::None);
        }
        return;
    case core::RangeCheck::Accepted:
        oppna();
        visa_summa();
        return;
    }
}

// Reads and checks one date: its key, its text in the range text, and its invalid flag. A date
// flagged invalid blocks the check of the other date until it is itself corrected.
bool RangePresenter::checkDate(RangeField field) {
    if (skott(field)) {
        return false;
    }
    const bool fran = field == RangeField::Fran;
    const auto& texts = lists(field);
    const std::string year = core::fixedWidth(texts[0], 2);
    const std::string month = core::fixedWidth(texts[1], 2);
    const std::string day = core::fixedWidth(texts[2], 2);
    const std::string key = year + "," + month + "," + day;
    const auto date = core::dateOfTexts(year, month, day);
    // An invalid date shows its key in place of a date text.
    const std::string dateText = date ? core::longDateText(*date) : "20" + key;
    if (fran) {
        m_state.franDatum = key;
        m_state.franText = "Från och med " + dateText;
    } else {
        m_state.tillDatum = key;
        m_state.tillText = "till och med " + dateText;
    }
    m_state.hitDit = m_state.franText + " " + m_state.tillText;
    m_view.lblHit_Dit = m_state.hitDit;

    bool& flag = fran ? m_state.franFel : m_state.tillFel;
    const bool otherFlagged = fran ? m_state.tillFel : m_state.franFel;
    if (otherFlagged) {
        showDateError(fran ? RangeField::Till : RangeField::Fran);
    } else if (!m_loading && !date) {
        showDateError(field);
        flag = true;
    } else {
        flag = false;
    }
    return true;
}

bool RangePresenter::skott(RangeField field) {
    const auto& texts = lists(field);
    int& entries = dayEntries(field);
    const int days = core::daysOfListMonth(texts[0], texts[1]);
    if (days == entries) {
        return false;
    }
    entries = days;
    if (texts[2].empty() || offers(days, texts[2])) {
        return false;
    }
    // The month has no such day: its last day is chosen, and checked as any choice is.
    select(field, 2, core::twoDigits(days));
    return true;
}

void RangePresenter::oppna() {
    const auto from = dateOfLists(m_view.cmbFran);
    const auto to = dateOfLists(m_view.cmbTill);
    if (!from || !to) {
        return;
    }
    auto totals = storage::sumRange(m_services.files, *from, *to, m_settings.dailyAllowance);
    if (!totals) {
        return;
    }
    reportUnreadable(totals->unreadableFiles);
    m_state.totals = std::move(*totals);
    m_state.shown = core::DateRange{*from, *to};
    m_view.cmdExportera = true;
}

void RangePresenter::visa_summa() {
    const core::RangeTexts texts = core::rangeTexts(m_state.totals);
    m_view.lblTid = texts.connected;
    m_view.lblExtrtid = texts.extra;
    m_view.lblKost = texts.cost;
    m_view.lblTotalkost = texts.total;
    clearComparison();
    if (m_state.shown) {
        // Every plan's fee shared out over the days of the range, unlike the total above.
        m_view.lblPlan = core::planComparisonTexts(core::comparePlans(
            m_state.totals, m_state.shown->from, m_state.shown->to, m_settings.dailyAllowance));
        m_view.lblJamforelse = std::string(core::kComparisonCaption);
    }
}

void RangePresenter::clearComparison() {
    m_view.lblPlan = {};
    m_view.lblJamforelse.clear();
}

// ---------------------------------------------------------------------------------------------
// Helpers

void RangePresenter::showDateError(RangeField field) {
    const std::string name = field == RangeField::Fran ? "\"FRÅN\"" : "\"TILL\"";
    m_view.lblHit_Dit = "Felaktigt datum i " + name + " fältet.";
    m_services.messages.show("Felaktigt datum valt i " + name + " fältet.", kDateTitle, Buttons::Ok,
                             Icon::None);
}

void RangePresenter::reportUnreadable(const std::vector<std::string>& names) {
    std::vector<std::string> fresh;
    for (const std::string& name : names) {
        if (m_state.reportedFiles.insert(name).second) {
            fresh.push_back(name);
        }
    }
    if (fresh.empty()) {
        return;
    }
    // "Filen 0111.tid" or "Filerna 0111.tid, 0112.tid och 0201.tid", in calendar order.
    std::string files = fresh.front();
    for (std::size_t i = 1; i < fresh.size(); ++i) {
        files += (i + 1 == fresh.size() ? " och " : ", ") + fresh[i];
    }
    const std::string text =
        fresh.size() == 1
            ? "Filen " + files + " kunde inte läsas, så tiden i den månaden är inte med i summorna."
            : "Filerna " + files +
                  " kunde inte läsas, så tiden i de månaderna är inte med i summorna.";
    m_services.messages.show(text, "Kan inte läsa", Buttons::Ok, Icon::Exclamation);
}

std::array<std::string, 3>& RangePresenter::lists(RangeField field) {
    return field == RangeField::Fran ? m_view.cmbFran : m_view.cmbTill;
}

int& RangePresenter::dayEntries(RangeField field) {
    return field == RangeField::Fran ? m_view.franDays : m_view.tillDays;
}

} // namespace presenter
