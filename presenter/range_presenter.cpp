#include "presenter/range_presenter.h"

#include "core/date_fields.h"
#include "core/iso_date.h"
#include "core/plan_comparison.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/export.h"
#include "presenter/messages.h"
#include "presenter/saving.h"
#include "storage/plan_history.h"
#include "storage/range_totals.h"

#include <optional>
#include <utility>

namespace presenter {

using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

namespace {

constexpr const char* kTooLongLabel = "Felaktiga datum. Längre tid än 12 månader.";
constexpr const char* kRangeTitle = "Felaktiga datum";

// Whether a list of the entries "01" up to `entries` offers this text.
bool offers(int entries, std::string_view text) {
    const auto number = core::parseDigits(text);
    return number && *number >= 1 && *number <= entries && core::twoDigits(*number) == text;
}

// "\"FRÅN\"" or "\"TILL\"", as the messages name the dates.
std::string nameOf(RangeField field) {
    return field == RangeField::Fran ? "\"FRÅN\"" : "\"TILL\"";
}

} // namespace

RangePresenter::RangePresenter(platform::Services services, const core::ProgramSettings& settings)
    : m_services(services), m_settings(settings) {}

// ---------------------------------------------------------------------------------------------
// The view

RangeView RangePresenter::viewOf(const State& state) {
    RangeView view;
    view.title = state.title;
    const auto& [fran, till] = state.fields;
    view.cmbFran = fran.lists;
    view.cmbTill = till.lists;
    view.franDays = fran.days;
    view.tillDays = till.days;
    // A date is named by its long date, or, while it is no real date, by its list texts.
    const auto dateText = [](const DateField& field) {
        return field.date ? core::longDateText(*field.date)
                          : "20" + core::fixedWidth(field.lists[0], 2) + "," +
                                core::fixedWidth(field.lists[1], 2) + "," +
                                core::fixedWidth(field.lists[2], 2);
    };
    switch (state.heading) {
    case Heading::Initial:
        break;
    case Heading::Range:
        view.lblHit_Dit = "Från och med " + dateText(fran) + " till och med " + dateText(till);
        break;
    case Heading::FranInvalid:
    case Heading::TillInvalid:
        view.lblHit_Dit =
            "Felaktigt datum i " +
            nameOf(state.heading == Heading::FranInvalid ? RangeField::Fran : RangeField::Till) +
            " fältet.";
        break;
    case Heading::TooLong:
        view.lblHit_Dit = kTooLongLabel;
        break;
    }
    view.lblTid = state.sums.connected;
    view.lblExtrtid = state.sums.extra;
    view.lblKost = state.sums.cost;
    view.lblTotalkost = state.sums.total;
    if (state.comparison) {
        view.lblPlan = *state.comparison;
        view.lblJamforelse = std::string(core::kComparisonCaption);
    }
    view.cmdStangHint = state.loaded ? "Stänger \"Från och Till\"." : "";
    view.cmdExportera = state.summed.has_value();
    view.lblSparat = state.saved;
    return view;
}

const RangeView& RangePresenter::done() {
    m_view = viewOf(m_state);
    return m_view;
}

// ---------------------------------------------------------------------------------------------
// Commands

const RangeView& RangePresenter::load() {
    m_state = State{};
    m_state.title =
        std::string(core::kProgramName) + "      " + m_settings.planText + "      Från och Till";
    // Each choice runs the checks; the last one checks the complete default range and sums it.
    // The checks run while the defaults are chosen find the dates incomplete; they say nothing.
    const core::DateRange range = core::defaultRange(m_services.clock.today());
    const core::DateTexts fran = core::textsOfDate(range.from);
    const core::DateTexts till = core::textsOfDate(range.to);
    const std::array<std::pair<RangeField, core::DateTexts>, 2> defaults = {
        {{RangeField::Fran, fran}, {RangeField::Till, till}}};
    for (const auto& [field, texts] : defaults) {
        select(field, 0, texts.year, Tell::Nothing);
        select(field, 1, texts.month, Tell::Nothing);
        select(field, 2, texts.day, Tell::Nothing);
    }
    m_state.loaded = true;
    return done();
}

const RangeView& RangePresenter::choose(RangeField field, int list, std::string_view text) {
    if (!m_state.closed && list >= 0 && list < 3) {
        m_state.saved.clear();
        select(field, static_cast<std::size_t>(list), text, Tell::Everything);
    }
    return done();
}

const RangeView& RangePresenter::exportera() {
    if (m_state.closed || !m_state.summed) {
        return m_view;
    }
    m_state.saved.clear();
    const core::DateRange range = *m_state.summed;
    const std::string suggested =
        "surfklocka_" + core::isoDateText(range.from) + "_" + core::isoDateText(range.to) + ".csv";
    const auto choice = m_services.saveFile.ask("Exportera", suggested, exportFilters());
    if (!choice || choice->path.empty()) {
        return done();
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
        m_state.saved = savedAsText(target.path, m_services.saveFile.homeFolder());
    }
    return done();
}

const RangeView& RangePresenter::close() {
    m_state.closed = true;
    m_state.summed.reset();
    return done();
}

// ---------------------------------------------------------------------------------------------
// The checks

void RangePresenter::select(RangeField field, std::size_t list, std::string_view text, Tell tell) {
    DateField& chosen = fieldOf(field);
    const int entries = list == 0 ? kYearEntries : list == 1 ? kMonthEntries : chosen.days;
    if (!offers(entries, text) || chosen.lists[list] == text) {
        return;
    }
    chosen.lists[list] = std::string(text);
    rangeCheck(field, tell);
}

// The range check that follows every choice in a FRÅN or TILL list.
void RangePresenter::rangeCheck(RangeField field, Tell tell) {
    m_state.summed.reset();
    if (!checkDate(field, tell)) {
        return;
    }
    const auto& [fran, till] = m_state.fields;
    if (!fran.date || !till.date) {
        return; // a date is incomplete or invalid: the results stay as they are
    }
    switch (core::checkRange(*fran.date, *till.date)) {
    case core::RangeCheck::WrongOrder:
        m_state.comparison.reset();
        if (tell == Tell::Everything) {
            m_services.messages.show(std::string(messages::kRangeOrder), kRangeTitle, Buttons::Ok,
                                     Icon::None);
        }
        return;
    case core::RangeCheck::TooLong:
        m_state.comparison.reset();
        if (tell == Tell::Everything) {
            m_state.heading = Heading::TooLong;
            m_services.messages.show(std::string(messages::kRangeTooLong), kRangeTitle, Buttons::Ok,
                                     Icon::None);
        }
        return;
    case core::RangeCheck::Accepted:
        summa({*fran.date, *till.date});
        return;
    }
}

// Reads and checks one date. A date flagged invalid blocks the check of the other date until it
// is itself corrected.
bool RangePresenter::checkDate(RangeField field, Tell tell) {
    if (skott(field, tell)) {
        return false;
    }
    DateField& checked = fieldOf(field);
    const RangeField other = field == RangeField::Fran ? RangeField::Till : RangeField::Fran;
    checked.date = core::dateOfTexts(core::fixedWidth(checked.lists[0], 2),
                                     core::fixedWidth(checked.lists[1], 2),
                                     core::fixedWidth(checked.lists[2], 2));
    m_state.heading = Heading::Range;
    if (fieldOf(other).flagged) {
        showDateError(other);
    } else if (tell == Tell::Everything && !checked.date) {
        showDateError(field);
        checked.flagged = true;
    } else {
        checked.flagged = false;
    }
    return true;
}

bool RangePresenter::skott(RangeField field, Tell tell) {
    DateField& chosen = fieldOf(field);
    const int days = core::daysOfListMonth(chosen.lists[0], chosen.lists[1]);
    if (days == chosen.days) {
        return false;
    }
    chosen.days = days;
    if (chosen.lists[2].empty() || offers(days, chosen.lists[2])) {
        return false;
    }
    // The month has no such day: its last day is chosen, and checked as any choice is.
    select(field, 2, core::twoDigits(days), tell);
    return true;
}

void RangePresenter::summa(const core::DateRange& range) {
    const auto totals = storage::sumRange(
        m_services.files, range.from, range.to,
        storage::loadPlanHistory(m_services.files).schedule(m_settings.dailyAllowance));
    m_state.sums = core::rangeTexts(totals.value_or(core::RangeTotals{}));
    m_state.comparison.reset();
    if (!totals) {
        return;
    }
    reportUnreadable(totals->unreadableFiles);
    m_state.summed = range;
    // Every plan's fee shared out over the days of the range, unlike the total above.
    m_state.comparison = core::planComparisonTexts(
        core::comparePlans(*totals, range.from, range.to, m_settings.dailyAllowance));
}

// ---------------------------------------------------------------------------------------------
// Helpers

void RangePresenter::showDateError(RangeField field) {
    m_state.heading = field == RangeField::Fran ? Heading::FranInvalid : Heading::TillInvalid;
    m_services.messages.show("Felaktigt datum valt i " + nameOf(field) + " fältet.",
                             std::string(messages::kInvalidDate), Buttons::Ok, Icon::None);
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
    m_services.messages.show(text, std::string(messages::kUnreadableTitle), Buttons::Ok,
                             Icon::Exclamation);
}

RangePresenter::DateField& RangePresenter::fieldOf(RangeField field) {
    return m_state.fields[field == RangeField::Fran ? 0 : 1];
}

} // namespace presenter
