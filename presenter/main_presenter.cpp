#include "presenter/main_presenter.h"

#include "core/date_fields.h"
#include "core/figures.h"
#include "core/plan.h"
#include "core/range.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/answers.h"
#include "presenter/messages.h"
#include "presenter/notices.h"
#include "presenter/report.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/plan_history.h"

#include <algorithm>

namespace presenter {

using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Answer = platform::MessageBox::Answer;

namespace {

constexpr std::string_view kUndoHint = "Ångra senaste inmatningen i programmet.";

// A figure as a label: red when it tells of extra time or an extra cost.
Label labelOf(const core::FigureText& figure) {
    return {figure.text, figure.extra ? Colour::Red : Colour::Normal};
}

// How the window names a date's day and month: "05 December 2001".
std::string dayText(const core::Date& date) {
    return core::twoDigits(date.day) + " " + core::monthYearCaption(date);
}

// Why the date lists' texts name no day to look up, and what that says; a refusal without a text
// is silent. The lists offer only real dates, so these guard texts that came some other way.
struct DateRefusal {
    std::string text;
    int clears = -1; // the list emptied, if any
    std::string_view title = messages::kWrongInputTitle;
};

std::optional<DateRefusal> dateRefusal(const std::array<std::string, 3>& lists) {
    const auto& [year, month, day] = lists;
    if (core::trimBlanks(year).empty()) {
        return DateRefusal{"Du måste ange ett årtal.\nFrån 00 till 99"};
    }
    if (core::trimBlanks(month).empty()) {
        return DateRefusal{};
    }
    if (const auto first = core::parseDigits(month.substr(0, 2)); first && *first > 12) {
        return DateRefusal{"Det finns bara 12 månader på ett år!", 1};
    }
    if (month == "00" || month == "0") {
        return DateRefusal{"Månad nummer \"" + month + "\" finns inte.", 1};
    }
    const auto dayNumber = core::parseDigits(day);
    if (!core::parseDigits(month) || !dayNumber) {
        return DateRefusal{};
    }
    if (*dayNumber < 1) {
        return DateRefusal{"Dag med datum noll finns inte.", 2, "felaktig inmatning"};
    }
    return std::nullopt;
}

} // namespace

MainPresenter::MainPresenter(platform::Services services, core::ProgramSettings& settings)
    : m_services(services), m_settings(settings) {}

// ---------------------------------------------------------------------------------------------
// The view

MainView MainPresenter::viewOf(const State& state) {
    MainView view;
    view.title = state.title;
    const ChosenDate& chosen = state.chosen;
    view.cmbSok_0 = chosen.lists[0];
    view.cmbSok_1 = chosen.lists[1];
    view.cmbSok_2 = chosen.lists[2];
    view.daysInList = chosen.days;
    view.lblVisa_3 = chosen.date ? "Nu visas " + core::longDateText(*chosen.date)
                                 : std::string(messages::kInvalidDate);
    view.cmbTid = state.typed.fields;
    if (state.shown) {
        view.ramMonadstid = core::monthYearCaption(state.shown->day);
        visa(*state.shown, view);
        manad(*state.shown, view);
    }

    view.cmdAngra = {true, state.undo};
    view.cmdRedo = {true, state.redo};
    view.cmdKastapost = {!state.dayRestore, true};
    view.cmdAngrapost = {state.dayRestore, true};
    view.cmdKastamon = {!state.monthRestore, true};
    view.cmdAngramon = {state.monthRestore, state.monthRestoreEnabled};

    // The hints name the date chosen, or without one the day shown, and what was deleted last.
    const auto named =
        chosen.date ? chosen.date : (state.shown ? std::optional(state.shown->day) : std::nullopt);
    const std::string month = named ? core::monthYearCaption(*named) : "";
    view.angraHint = state.acrossMonths ? std::string(messages::kUndoAcrossMonths) : kUndoHint;
    if (state.planUndo) {
        view.angraHint = messages::undoPlanChange(*state.planUndo);
    }
    view.kastamonHint = "Tar bort all tid under hela " + month + ".";
    view.kastapostHint = "Tar bort all sparad tid den " + (named ? dayText(*named) : " ") + ".";
    view.printHint = "Skriver ut tider och kostnader för " + month + ".";
    view.angramonHint = "Återställer all tid i hela " +
                        (state.deletedMonth ? core::monthYearCaption(*state.deletedMonth) : "") +
                        ".";
    view.angrapostHint = "Återställer all sparad tid den " +
                         (state.deletedDay ? dayText(*state.deletedDay) : "") + ".";
    view.planWindow = state.planWindow;
    view.ended = state.ended;
    return view;
}

// The day's three labels: its figures, or the headings for a day without a record.
void MainPresenter::visa(const Snapshot& shown, MainView& view) {
    const core::DayRecord& record = shown.month.days[static_cast<std::size_t>(shown.day.day - 1)];
    if (shown.emptiedByUndo || !shown.month.usable() || !core::dayHasRecord(record)) {
        view.lblDagstid = {"Tid i dag:"};
        view.lblTidkvar = {"Tid kvar: / Extra tid:"};
        view.lblDagskost = {"Kostnad:"};
        return;
    }
    const core::DayFigures figures = core::dayFigures(record, shown.dailyAllowance);
    view.lblDagstid = {figures.connected.text};
    view.lblTidkvar = labelOf(figures.remaining);
    view.lblDagskost = labelOf(figures.cost);
}

// The month's four labels: its figures, the headings and the plan's fee for a month without
// records, the headings alone for one that cannot be read.
void MainPresenter::manad(const Snapshot& shown, MainView& view) {
    if (shown.emptiedByUndo) {
        const auto plan = core::planForAllowance(shown.dailyAllowance);
        view.lblTid = {"Månadstid:"};
        view.lblDyrtid = {"Extra månadstid:"};
        view.lblKostnad = {"Månadskostnad:"};
        view.lblSumma = {"Total månadskostnad:" +
                         (plan ? " " + core::decimalText(plan->feeKronor) + " kr" : "")};
        return;
    }
    core::MonthFigures figures =
        shown.month.hasRecords()
            ? core::monthFigures(core::sumMonth(shown.month.days), shown.dailyAllowance)
            : core::emptyMonthFigures(shown.dailyAllowance);
    if (!shown.month.usable()) {
        figures.total = {"Total månadskostnad:"};
    }
    view.lblTid = {figures.connected.text};
    view.lblDyrtid = labelOf(figures.extra);
    view.lblKostnad = labelOf(figures.cost);
    view.lblSumma = labelOf(figures.total);
}

void MainPresenter::refresh() {
    if (!m_state.chosen.date) {
        return; // no day to look up: the figures shown stay
    }
    const core::Date day = *m_state.chosen.date;
    const std::string file = storage::monthFileName(day);
    Snapshot shown{day, storage::readMonth(m_services.files, file), allowanceFor(day)};
    if (shown.month.usable()) {
        m_reportedFile.clear();
    } else if (file != m_reportedFile) {
        reportUnusable(file, shown.month.state); // once, not at every look at the same month
    }
    m_state.shown = std::move(shown);
}

const MainView& MainPresenter::done(Focus focus) {
    m_view = viewOf(m_state);
    m_view.focus = focus;
    return m_view;
}

// ---------------------------------------------------------------------------------------------
// Load and activation

const MainView& MainPresenter::load() {
    // Today, or the nearest date the lists offer.
    const core::Date today =
        std::clamp(m_services.clock.today(), core::kFirstListDate, core::kLastListDate);
    const core::DateTexts texts = core::textsOfDate(today);
    m_state.chosen = {{texts.year, texts.month, texts.day},
                      core::daysOfListMonth(texts.year, texts.month),
                      today};
    m_state.entryFile = storage::monthFileName(today);

    // The settings hold the plan in force now: a change from a month that has come since is
    // written there first.
    storage::alignSettings(m_services.files, today);
    storage::SettingsFile settingsFile(m_services.files);
    const auto loaded = settingsFile.loadAtStart();
    m_settings.planText = loaded.settings.planText;
    m_settings.dailyAllowance = loaded.settings.dailyAllowance;
    m_settingsFile.unreadable = loaded.unreadable;
    m_settingsFile.damaged = loaded.damaged;
    m_settingsFile.error = loaded.error;
    if (loaded.unreadable) {
        message(std::string(loaded.damaged ? "Filen tid.it är skadad"
                                           : "Filen tid.it kunde inte läsas") +
                    ", så abonnemanget är inte känt.\nMånadskostnaderna visas utan den fasta "
                    "avgiften, och ingen tid kan sparas förrän filen går att läsa.",
                loaded.damaged ? messages::kDamagedTitle : messages::kUnreadableTitle, Buttons::Ok,
                Icon::Exclamation);
    }
    m_state.planWindow = loaded.firstStart;
    m_state.title = std::string(core::kProgramName) + "   " + m_settings.planText;
    loadPlans(true);
    refresh();
    if (!m_state.planWindow) {
        storage::Journal journal(m_services.files, m_plans);
        takeWaiting(journal, Tell::Everything);
    }
    return done();
}

const MainView& MainPresenter::planStored() {
    m_state.title = std::string(core::kProgramName) + "      " + m_settings.planText;
    m_state.planWindow = false;
    m_settingsFile = {};
    loadPlans(false);
    storage::Journal journal(m_services.files, m_plans);
    takeWaiting(journal, Tell::Everything);
    return done();
}

const MainView& MainPresenter::activate() {
    // The lists hold the date last chosen: only the focus moves.
    return done(Focus::Minutes);
}

// ---------------------------------------------------------------------------------------------
// The date lists and the time fields

const MainView& MainPresenter::chooseDate(int list, std::string_view text) {
    std::string& chosen = m_state.chosen.lists[list == 0 ? 0U : list == 1 ? 1U : 2U];
    if (chosen != text) {
        chosen = std::string(text);
        checkChosenDate();
    }
    return done();
}

// The day list holds the chosen month's days, a day the month lacks giving way to its last; the
// texts are checked, and a real date's figures read.
void MainPresenter::checkChosenDate() {
    ChosenDate& chosen = m_state.chosen;
    auto& [year, month, day] = chosen.lists;
    chosen.days = core::daysOfListMonth(year, month);
    if (const auto number = core::parseDigits(day); number && *number > chosen.days) {
        day = core::twoDigits(chosen.days);
    }
    if (const auto refusal = dateRefusal(chosen.lists)) {
        if (!refusal->text.empty()) {
            message(refusal->text, refusal->title, Buttons::Ok, Icon::Exclamation);
        }
        if (refusal->clears >= 0) {
            chosen.lists[static_cast<std::size_t>(refusal->clears)].clear();
        }
        chosen.date.reset();
        return;
    }
    chosen.date = core::dateOfTexts(core::fixedWidth(year, 2), core::fixedWidth(month, 2),
                                    core::fixedWidth(day, 2));
    refresh();
}

const MainView& MainPresenter::typeTime(int field, std::string_view text) {
    const auto index = static_cast<std::size_t>(std::clamp(field, 0, 2));
    TypedTime& typed = m_state.typed;
    typed.fields[index] = std::string(text.substr(0, core::kTimeFieldLength));
    typed.fields = core::tidyTimeFields(typed.fields);
    typed.seconds = core::enteredSeconds(typed.fields);
    // One digit of hours, or two characters of minutes, and the focus moves on.
    if (index == 0 && typed.fields[0].size() == 1) {
        return done(Focus::Minutes);
    }
    if (index == 1 && typed.fields[1].size() > 1) {
        return done(Focus::Seconds);
    }
    return done();
}

// ---------------------------------------------------------------------------------------------
// Booking: save, close and the bookings handed over

MainPresenter::Booking MainPresenter::summera(storage::Journal& journal, const core::Date& date) {
    if (core::nothingToBook(m_state.typed.fields)) {
        return Booking::NothingEntered;
    }
    const storage::EntryResult booked =
        journal.book(storage::PendingEntry{{{date, m_state.typed.seconds, std::nullopt}}});
    const storage::BookingResult result = storage::bookingResultOf(booked);
    // A refused booking changes no file, so the undo, redo and restore buttons keep their state.
    switch (result.outcome) {
    case storage::BookingOutcome::DayFull:
        message(std::string(messages::kDayFull), "Dygnet är slut", Buttons::Ok, Icon::Exclamation);
        return Booking::DayFull;
    case storage::BookingOutcome::NoPlan:
        message(messages::noPlan(settingsFileState()), messages::kCannotSaveTitle, Buttons::Ok,
                Icon::Exclamation);
        return Booking::NotBooked;
    case storage::BookingOutcome::Failed:
        message(messages::notSaved(messages::monthNotWritten(storage::monthFileName(date),
                                                             result.monthState, result.error)),
                messages::kCannotSaveTitle, Buttons::Ok, Icon::Exclamation);
        return Booking::NotBooked;
    case storage::BookingOutcome::Booked:
    case storage::BookingOutcome::BookedWithoutUndo:
        break;
    }
    noticeBooking(m_services.notifier, m_services.files, result.before, result.record,
                  allowanceFor(date));
    bookedAsSave(booked);
    refresh();
    // A booking of no time on a day without any leaves it without a record, and the user is told.
    // (The month's own word that it has no records never follows: a day read with a record lies
    // in a month with records, and one without has been told of already.)
    const Snapshot& shown = *m_state.shown;
    if (shown.month.usable() &&
        !core::dayHasRecord(shown.month.days[static_cast<std::size_t>(date.day - 1)])) {
        message("Någon post har inte sparats den " + core::decimalText(date.day) + " " +
                    std::string(core::monthNameLower(date.month)) + " " +
                    core::decimalText(date.year) + ".",
                "Ingen post hittas", Buttons::Ok, Icon::None);
    }
    return Booking::Booked;
}

// As after a save: the booking swept the copies of the last booking and of any deletion, and its
// own undo copy is offered, unless it spanned two months.
void MainPresenter::bookedAsSave(const storage::EntryResult& result) {
    m_state.entryFile = result.entryFile;
    m_state.entryBackup = result.entryBackup;
    m_state.redo = false;
    m_state.undo = result.undoCopy && !result.acrossMonths;
    m_state.acrossMonths = result.acrossMonths;
    m_state.planUndo.reset(); // the booking swept the copies of the plans as they were
    m_state.dayRestore = false;
    m_state.monthRestore = false;
}

storage::SettingsFile::Loaded MainPresenter::settingsFileState() const {
    storage::SettingsFile::Loaded loaded = m_settingsFile;
    loaded.settings.planText = m_settings.planText;
    loaded.settings.dailyAllowance = static_cast<std::int16_t>(m_settings.dailyAllowance);
    return loaded;
}

void MainPresenter::takeWaiting(storage::Journal& journal, Tell tell) {
    const std::vector<storage::EntryResult> results =
        journal.bookWaiting(answerText(m_services.files, settingsFileState(), m_plans), {},
                            m_services.clock.nanosecondsSince1970());
    if (results.empty()) {
        return;
    }
    noticeWaiting(m_services.notifier, m_services.files, results, m_plans);
    const auto last = std::find_if(results.rbegin(), results.rend(), [](const auto& result) {
        return result.outcome == storage::EntryOutcome::Booked && !result.bookedBefore;
    });
    if (last != results.rend()) {
        bookedAsSave(*last);
        refresh(); // the figures of the date shown are read again, without a word
    }
    tellWaiting(results, tell);
}

// Tells in one message what became of entries whose commands no longer wait for the answer: with
// Everything what was booked too, otherwise only what was not.
void MainPresenter::tellWaiting(const std::vector<storage::EntryResult>& results, Tell tell) {
    std::string text;
    for (const storage::EntryResult& result : results) {
        const bool booked = result.outcome == storage::EntryOutcome::Booked;
        if (result.outcome == storage::EntryOutcome::Kept ||
            (booked && tell == Tell::WhatNoCommandHears) ||
            (m_commandWaits && m_commandWaits(result.name))) {
            continue;
        }
        text += "\n\n" + messages::entryOutcome(result, settingsFileState());
    }
    if (!text.empty()) {
        message("Bokningar från kommandoraden som väntade:" + text, "Väntande bokningar",
                Buttons::Ok, Icon::None);
    }
}

const MainView& MainPresenter::handOver(const std::string& name) {
    (void)name; // every entry that waits is booked, the named one among them
    storage::Journal journal(m_services.files, m_plans);
    takeWaiting(journal, Tell::WhatNoCommandHears);
    return done();
}

const MainView& MainPresenter::save() {
    // Bookings that wait are booked first, in the order they were made; one listing of the data
    // folder serves them and this booking.
    storage::Journal journal(m_services.files, m_plans);
    takeWaiting(journal, Tell::Everything);
    if (!m_state.chosen.date) {
        message("Felaktigt datum. Ändra innnan du sparar.", "Felaktigt datum!", Buttons::Ok,
                Icon::Exclamation);
        return done(Focus::Minutes);
    }
    const Booking booking = summera(journal, *m_state.chosen.date);
    if (booking == Booking::DayFull || booking == Booking::Booked) {
        m_state.typed = {};
    }
    // Nothing entered, or nothing booked: the typed time stays for another try.
    return done(Focus::Minutes);
}

const MainView& MainPresenter::close() {
    if (!m_state.chosen.date) {
        endProgram(true);
        return done();
    }
    if (core::somethingTyped(m_state.typed.fields)) {
        const Answer answer = message("Vill du spara innan du stänger programmet?",
                                      "Spara inmatade värden?", Buttons::YesNoCancel, Icon::None);
        if (answer == Answer::Cancel) {
            return done(); // the copies go only once the program really ends
        }
        if (answer == Answer::No) {
            endProgram(true);
            return done();
        }
    }
    storage::Journal journal(m_services.files, m_plans);
    switch (summera(journal, *m_state.chosen.date)) {
    case Booking::NotBooked:
        break; // the time could not be booked: stay open so that it is not lost
    case Booking::Booked:
        endProgram(false); // the booking swept the older copies; its own undo copy stays
        break;
    case Booking::NothingEntered:
    case Booking::DayFull:
        endProgram(true);
        break;
    }
    return done();
}

void MainPresenter::endProgram(bool sweep) {
    if (sweep) {
        storage::sweepBackups(m_services.files);
    }
    m_state.ended = true;
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

const MainView& MainPresenter::undo() {
    if (m_state.planUndo) {
        return undoPlanChange();
    }
    const storage::SwapResult swap =
        storage::swapWithBackup(m_services.files, m_state.entryFile, m_state.entryBackup);
    if (!swap.swapped) {
        swapNotPossible("Den senaste inmatningen kan inte ångras.", "Ångra är inte möjligt");
        return done();
    }
    m_state.undo = false;
    m_state.redo = true;
    const auto& date = m_state.chosen.date;
    if (swap.backupLength == 0 && date && storage::monthFileName(*date) == m_state.entryFile) {
        // The month had nothing before the booking taken back: headings and the fee alone.
        m_state.shown = Snapshot{*date, storage::MonthRead{storage::MonthState::Empty},
                                 allowanceFor(*date), true};
    } else {
        refresh(); // a month other than the one undone is shown as it is
    }
    return done();
}

const MainView& MainPresenter::redo() {
    const storage::SwapResult swap =
        storage::swapWithBackup(m_services.files, m_state.entryFile, m_state.entryBackup);
    if (!swap.swapped) {
        swapNotPossible("Den senaste inmatningen kan inte göras om.", "Gör om är inte möjligt");
        return done();
    }
    m_state.undo = true;
    m_state.redo = false;
    refresh();
    return done();
}

void MainPresenter::swapNotPossible(const std::string& what, std::string_view title) {
    message(what + "\nKopian av månaden saknas eller kunde inte bytas ut, så månadsfilen och "
                   "kopian har lämnats som de var.",
            title, Buttons::Ok, Icon::Exclamation);
    m_state.undo = false;
    m_state.redo = false;
}

// ---------------------------------------------------------------------------------------------
// Plans

void MainPresenter::loadPlans(bool atStart) {
    const storage::PlanHistory history = storage::loadPlanHistory(m_services.files);
    m_plans = history.schedule(m_settings.dailyAllowance);
    if (atStart && !history.usable()) {
        message("Filen abonnemang.it är skadad eller kunde inte läsas, så varje månad räknas med "
                "abonnemanget i tid.it.\nFilen lämnas orörd.",
                messages::kDamagedTitle, Buttons::Ok, Icon::Exclamation);
    }
}

// The plan in force now from the settings file, its title, and the plans of every month.
void MainPresenter::reloadPlans() {
    const storage::SettingsFile::Loaded loaded = storage::SettingsFile(m_services.files).load();
    m_settings.planText = loaded.settings.planText;
    m_settings.dailyAllowance = loaded.settings.dailyAllowance;
    m_state.title = std::string(core::kProgramName) + "   " + m_settings.planText;
    loadPlans(false);
}

const MainView& MainPresenter::changePlan(std::int32_t dailyAllowance, const core::Date& from) {
    const core::Date today = m_services.clock.today();
    switch (storage::changePlan(m_services.files, from, dailyAllowance, today)) {
    case storage::PlanChangeOutcome::Changed:
        break;
    case storage::PlanChangeOutcome::Damaged:
        message("Abonnemanget kan inte bytas, eftersom filen abonnemang.it eller tid.it är skadad "
                "eller inte gick att läsa.\nIngenting har ändrats.",
                "Kan inte byta abonnemang", Buttons::Ok, Icon::Exclamation);
        return done();
    case storage::PlanChangeOutcome::Failed:
        message(messages::withCause("Abonnemanget kunde inte bytas, eftersom datamappen inte gick "
                                    "att skriva i",
                                    m_services.files.lastError()) +
                    ".\nIngenting har ändrats.",
                "Kan inte byta abonnemang", Buttons::Ok, Icon::Exclamation);
        return done();
    }
    reloadPlans();
    // Ångra now takes back the change, and nothing else until the next booking.
    m_state.planUndo = core::PlanChange{from.year, from.month, dailyAllowance};
    m_state.undo = true;
    m_state.redo = false;
    m_state.acrossMonths = false;
    refresh();
    return done();
}

const MainView& MainPresenter::undoPlanChange() {
    m_state.planUndo.reset();
    m_state.undo = false;
    m_state.redo = false;
    if (!storage::undoPlanChange(m_services.files)) {
        message("Bytet av abonnemang kan inte ångras, eftersom kopian av de tidigare abonnemangen "
                "saknas eller inte gick att läsa.\nIngenting har ändrats.",
                "Ångra är inte möjligt", Buttons::Ok, Icon::Exclamation);
        return done();
    }
    reloadPlans();
    refresh();
    return done();
}

// ---------------------------------------------------------------------------------------------
// Deleting and restoring

const MainView& MainPresenter::deleteDay() {
    if (!hasRealDate()) {
        return done();
    }
    const core::Date date = *m_state.chosen.date;
    const std::string file = storage::monthFileName(date);
    const std::string day = dayText(date);
    const auto noRecord = [&] {
        message("Ingen post finns sparad den " + day + ".", "Finns ingen post att ta bort!",
                Buttons::Ok, Icon::None);
    };
    const auto state = usableMonth(file);
    if (!state || *state != storage::MonthState::HasRecords) {
        if (state) {
            noRecord();
        }
        return done();
    }
    if (!confirmed("Vill du ta bort alla inmatade tider den " + day + "?", "All tid tas bort!",
                   Icon::Exclamation)) {
        return done(); // nothing has changed: the copies and the buttons stay as they were
    }
    switch (storage::deleteDay(m_services.files, file, date.day)) {
    case storage::DayDeletion::NoRecord:
        noRecord();
        return done();
    case storage::DayDeletion::Failed:
        message(messages::notDeleted("Tiden den " + day,
                                     "filen " + file + " inte gick att läsa eller skriva"),
                messages::kCannotDeleteTitle, Buttons::Ok, Icon::Exclamation);
        return done();
    case storage::DayDeletion::Deleted:
        break;
    }
    // The deletion ends what undo and redo could bring back: a redo now would put back a month
    // that still holds the deleted day, or take away the one restored.
    m_state.deletedDay = date;
    m_state.undo = false;
    m_state.redo = false;
    if (!m_state.entryBackup.empty()) {
        m_services.files.removeFile(m_state.entryBackup);
    }
    m_state.dayRestore = true;
    m_state.monthRestoreEnabled = false;
    refresh();
    return done();
}

const MainView& MainPresenter::restoreDay() {
    if (!m_state.deletedDay) {
        return done();
    }
    const core::Date date = *m_state.deletedDay;
    const std::string file = storage::monthFileName(date);
    if (!confirmed("Vill du återställa all sparad tid den " + dayText(date) + ".",
                   messages::kRestoreDayTitle, Icon::None)) {
        return done();
    }
    const storage::DayRestore restore = storage::restoreDay(m_services.files, file, date.day);
    m_state.dayRestore = false;
    std::string why;
    switch (restore) {
    case storage::DayRestore::Restored:
        refresh();
        return done();
    case storage::DayRestore::BackupMissing:
    case storage::DayRestore::BackupUnusable:
        why = messages::copyCannotServe(storage::kDayBackup,
                                        restore == storage::DayRestore::BackupMissing);
        break;
    case storage::DayRestore::MonthChanged:
        why = "månaden har ändrats sedan dagen togs bort.";
        break;
    case storage::DayRestore::Failed:
        why = "filen " + file + " inte gick att skriva.";
        break;
    }
    message(messages::notRestored("Tiden den " + dayText(date), why), messages::kRestoreDayTitle,
            Buttons::Ok, Icon::Exclamation);
    return done();
}

const MainView& MainPresenter::deleteMonth() {
    if (!hasRealDate()) {
        return done();
    }
    const core::Date date = *m_state.chosen.date;
    const std::string file = storage::monthFileName(date);
    const std::string caption = core::monthYearCaption(date);
    const auto state = usableMonth(file);
    if (!state || *state != storage::MonthState::HasRecords) {
        if (state) {
            message("Du behöver inte ta bort " + caption + ". Inga poster finns sparade.",
                    "Finns inga poster att ta bort!", Buttons::Ok, Icon::None);
        }
        return done(); // nothing deleted: the copies and the buttons stay as they were
    }
    if (!confirmed("Vill du ta bort alla inmatade poster i " + caption + "?",
                   "Alla värden raderas!", Icon::Exclamation)) {
        return done();
    }
    // A copy of a month deleted before, whose restore is no longer offered, gives way.
    m_services.files.removeFile(storage::kMonthBackup);
    if (!storage::deleteMonth(m_services.files, file)) {
        message(messages::notDeleted(caption, {}), messages::kCannotDeleteTitle, Buttons::Ok,
                Icon::Exclamation);
        return done();
    }
    // The deletion ends undo, redo and the restore of a day: their copies go.
    for (const std::string_view copy :
         {std::string_view(m_state.entryBackup), storage::kDayBackup, storage::kNewMonthFile}) {
        if (!copy.empty()) {
            m_services.files.removeFile(copy);
        }
    }
    m_state.deletedMonth = date;
    m_state.undo = false;
    m_state.redo = false;
    m_state.monthRestore = true;
    m_state.monthRestoreEnabled = true;
    m_state.dayRestore = false;
    refresh();
    return done();
}

const MainView& MainPresenter::restoreMonth() {
    if (!m_state.deletedMonth) {
        return done();
    }
    const std::string file = storage::monthFileName(*m_state.deletedMonth);
    const std::string caption = core::monthYearCaption(*m_state.deletedMonth);
    if (!confirmed("Vill du återställa alla poster i " + caption + "?",
                   messages::kRestoreMonthTitle, Icon::None)) {
        return done();
    }
    const storage::MonthRestore restore = storage::restoreMonth(m_services.files, file);
    m_state.monthRestore = false;
    std::string why;
    switch (restore) {
    case storage::MonthRestore::Restored:
        refresh();
        return done();
    case storage::MonthRestore::MonthExists:
        why = "nya poster har sparats i månaden sedan den togs bort.";
        break;
    case storage::MonthRestore::BackupMissing:
    case storage::MonthRestore::BackupUnusable:
        why = messages::copyCannotServe(storage::kMonthBackup,
                                        restore == storage::MonthRestore::BackupMissing);
        break;
    case storage::MonthRestore::Failed:
        why = "filen " + file + " inte gick att skapa.";
        break;
    }
    message(messages::notRestored(caption, why), messages::kRestoreMonthTitle, Buttons::Ok,
            Icon::Exclamation);
    return done();
}

const MainView& MainPresenter::deleteEverything() {
    if (message("Alla sparade värden försvinner\noch kan inte återskapas.\nVill du fortsätta?\n"
                "Programmet kommer att stängas.",
                "Allt raderas!", Buttons::YesNo, Icon::Stop, true) != Answer::Yes) {
        return done();
    }
    const auto left = storage::deleteEverything(m_services.files);
    if (!left || !left->empty()) {
        std::string names;
        for (const std::string& name : left.value_or(std::vector<std::string>{})) {
            names += (names.empty() ? "" : ", ") + name;
        }
        message(left ? "Alla filer kunde inte tas bort: " + names +
                           " finns kvar i programmets datamapp.\nProgrammet stängs nu."
                     : std::string("Datamappen gick inte att läsa, så det går inte att säga om "
                                   "allt togs bort.\nProgrammet stängs nu."),
                "Kan inte ta bort allt", Buttons::Ok, Icon::Exclamation);
    }
    endProgram(false);
    return done();
}

// ---------------------------------------------------------------------------------------------
// The month report

const MainView& MainPresenter::print() {
    if (!hasRealDate()) {
        return done();
    }
    const std::string file = storage::monthFileName(*m_state.chosen.date);
    const std::string caption = core::monthYearCaption(*m_state.chosen.date);
    // The month is read whole, once, before the dialog, so no file is left open whatever
    // happens later.
    const storage::MonthRead month = storage::readMonth(m_services.files, file);
    if (!month.usable()) {
        reportUnusable(file, month.state);
        return done();
    }
    if (!month.hasRecords()) {
        message("Inga poster har sparats i " + caption + "\nDet finns inget att skriva ut",
                "Utskrift är inte möjlig!", Buttons::Ok, Icon::Exclamation);
        return done();
    }
    const std::optional<int> copies = m_services.printDialog.ask();
    if (!copies) {
        return done();
    }
    if (!m_services.printer.print(
            monthReport({month.records(), allowanceFor(*m_state.chosen.date), caption, *copies}))) {
        message("Utskriften av " + caption +
                    " misslyckades. Skrivaren eller filen som valdes i utskriftsdialogen gick "
                    "inte att skriva till.\nKontrollera den och försök igen.",
                "Utskriften misslyckades", Buttons::Ok, Icon::Exclamation);
    }
    return done();
}

// ---------------------------------------------------------------------------------------------
// Helpers

bool MainPresenter::hasRealDate() {
    if (m_state.chosen.date) {
        return true;
    }
    message(std::string(messages::kChooseRealDate), messages::kInvalidDate, Buttons::Ok,
            Icon::Exclamation);
    return false;
}

std::optional<storage::MonthState> MainPresenter::usableMonth(const std::string& file) {
    const storage::MonthState state = storage::monthState(m_services.files, file);
    if (!storage::usable(state)) {
        reportUnusable(file, state);
        return std::nullopt;
    }
    return state;
}

void MainPresenter::reportUnusable(const std::string& file, storage::MonthState state) {
    m_reportedFile = file;
    if (state == storage::MonthState::Damaged) {
        message("Filen " + file +
                    " är skadad: den är större än en månadsfil kan vara, eller är ingen vanlig "
                    "fil.\nMånadens tider kan inte visas, och filen lämnas orörd.",
                messages::kDamagedTitle, Buttons::Ok, Icon::Exclamation);
        return;
    }
    message("Filen " + file + " kunde inte läsas, så månadens tider kan inte visas.",
            messages::kUnreadableTitle, Buttons::Ok, Icon::Exclamation);
}

bool MainPresenter::confirmed(const std::string& question, std::string_view title, Icon icon) {
    return message(question, title, Buttons::YesNo, icon) == Answer::Yes;
}

platform::MessageBox::Answer MainPresenter::message(const std::string& text, std::string_view title,
                                                    Buttons buttons, Icon icon,
                                                    bool secondIsDefault) {
    return m_services.messages.show(text, std::string(title), buttons, icon, secondIsDefault);
}

} // namespace presenter
