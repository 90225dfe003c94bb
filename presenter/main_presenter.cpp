#include "presenter/main_presenter.h"

#include "core/date_fields.h"
#include "core/range.h"
#include "core/report.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/answers.h"
#include "presenter/messages.h"
#include "presenter/notices.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/settings_file.h"

#include <algorithm>

namespace presenter {

using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Answer = platform::MessageBox::Answer;

namespace {

constexpr const char* kInvalidDate = "Felaktigt datum";
constexpr const char* kUndoHint = "Ångra senaste inmatningen i programmet.";

// A month file that is there but cannot be used: it is shown as holding nothing, and left alone.
bool unusable(storage::MonthState state) {
    return state == storage::MonthState::Unreadable || state == storage::MonthState::Damaged;
}

// Why a restore's copy cannot serve: it is gone, or it cannot be read.
std::string copyCannotServe(std::string_view copy, bool missing) {
    return "kopian av månaden (" + std::string(copy) +
           (missing ? ") inte finns kvar." : ") inte går att läsa eller är skadad.");
}

// Writes a caption, and the colour unless the figure keeps the label's colour.
void show(Label& label, const core::LabelText& text) {
    label.text = text.text;
    if (text.colour != core::Colour::Unchanged) {
        label.colour = text.colour;
    }
}

} // namespace

MainPresenter::MainPresenter(platform::Services services, core::ProgramSettings& settings)
    : m_services(services), m_settings(settings) {}

// ---------------------------------------------------------------------------------------------
// Load and activation

const MainView& MainPresenter::load() {
    // Today, or the nearest date the lists offer.
    const core::Date today =
        std::clamp(m_services.clock.today(), core::kFirstListDate, core::kLastListDate);
    const core::DateTexts texts = core::textsOfDate(today);
    m_yearText = texts.year;
    m_monthText = texts.month;
    m_dayText = texts.day;
    m_view.cmbSok_0 = texts.year;
    m_view.cmbSok_1 = texts.month;
    m_view.cmbSok_2 = texts.day;
    m_view.daysInList = core::daysOfListMonth(texts.year, texts.month);
    m_view.ramMonadstid = core::monthYearCaption(core::Date{today.year, today.month, 1});
    m_view.lblVisa_3 = core::shownDateText(m_yearText, m_monthText, m_dayText);

    storage::SettingsFile settingsFile(m_services.files);
    const auto state = settingsFile.loadAtStart();
    m_settings.planText = state.settings.planText;
    m_settings.dailyAllowance = state.settings.dailyAllowance;
    m_settingsFile.unreadable = state.unreadable;
    m_settingsFile.damaged = state.damaged;
    m_settingsFile.error = state.error;
    if (state.unreadable) {
        message(std::string(state.damaged ? "Filen tid.it är skadad"
                                          : "Filen tid.it kunde inte läsas") +
                    ", så abonnemanget är inte känt.\nMånadskostnaderna visas utan den fasta "
                    "avgiften, och ingen tid kan sparas förrän filen går att läsa.",
                state.damaged ? "Skadad fil" : "Kan inte läsa", Buttons::Ok, Icon::Exclamation);
    }
    m_view.planWindow = state.firstStart;

    m_view.title = std::string(core::kProgramName) + "   " + m_settings.planText;
    m_view.lblDagstid = {"Tid i dag:"};
    m_view.lblTidkvar = {"Tid kvar: / Extra tid:"};
    m_view.lblDagskost = {"Kostnad:"};
    m_view.lblTid = {"Månadstid:"};
    m_view.lblDyrtid = {"Extra månadstid:"};
    m_view.lblKostnad = {"Månadskostnad:"};
    m_view.lblSumma = {"Total månadskostnad:"};
    m_view.cmdAngra = {true, false};
    m_view.cmdRedo = {true, false};
    m_view.cmdAngrapost = {false, true};
    m_view.cmdAngramon = {false, true};
    m_view.angraHint = kUndoHint;
    m_quietView = true;
    m_entryFile = storage::monthFileName(m_yearText, m_monthText);
    visa();
    if (!m_view.planWindow) {
        storage::Journal journal(m_services.files, m_settings.dailyAllowance);
        takeWaiting(journal, Tell::Everything);
    }
    return done();
}

const MainView& MainPresenter::planStored() {
    m_view.title = std::string(core::kProgramName) + "      " + m_settings.planText;
    m_view.planWindow = false;
    m_settingsFile = {};
    storage::Journal journal(m_services.files, m_settings.dailyAllowance);
    takeWaiting(journal, Tell::Everything);
    return done();
}

const MainView& MainPresenter::activate() {
    m_view.lblVisa_3 = core::shownDateText(m_yearText, m_monthText, m_dayText);
    // The date lists go back to the date last chosen; a change runs the lists' handler.
    const std::string year(core::trimBlanks(m_yearText));
    const std::string month(core::trimBlanks(m_monthText));
    const std::string day(core::trimBlanks(m_dayText));
    if (m_view.cmbSok_0 != year || m_view.cmbSok_1 != month || m_view.cmbSok_2 != day) {
        m_view.cmbSok_0 = year;
        m_view.cmbSok_1 = month;
        m_view.cmbSok_2 = day;
        dateChanged();
    }
    return done(Focus::Minutes);
}

// ---------------------------------------------------------------------------------------------
// The date lists and the time fields

const MainView& MainPresenter::chooseDate(int list, std::string_view text) {
    std::string& chosen = list == 0   ? m_view.cmbSok_0
                          : list == 1 ? m_view.cmbSok_1
                                      : m_view.cmbSok_2;
    if (chosen == text) {
        return done();
    }
    chosen = std::string(text);
    dateChanged();
    return done();
}

void MainPresenter::dateChanged() {
    // The day list holds the chosen month's days; a day the month lacks gives way to its last.
    m_view.daysInList = core::daysOfListMonth(m_view.cmbSok_0, m_view.cmbSok_1);
    if (const auto day = core::parseDigits(m_view.cmbSok_2); day && *day > m_view.daysInList) {
        m_view.cmbSok_2 = core::twoDigits(m_view.daysInList);
    }
    m_dateInvalid = false;
    m_quietView = true;
    visa();
    m_yearText = core::fixedWidth(m_view.cmbSok_0, 2);
    m_monthText = core::fixedWidth(m_view.cmbSok_1, 2);
    m_dayText = core::fixedWidth(m_view.cmbSok_2, 2);
    m_view.lblVisa_3 = core::shownDateText(m_yearText, m_monthText, m_dayText);
    if (!core::dateOfTexts(m_yearText, m_monthText, m_dayText)) {
        m_view.lblVisa_3 = kInvalidDate;
        m_dateInvalid = true;
    }
}

const MainView& MainPresenter::typeTime(int field, std::string_view text) {
    const auto index = static_cast<std::size_t>(std::clamp(field, 0, 2));
    m_view.cmbTid[index] = std::string(text.substr(0, core::kTimeFieldLength));
    m_view.cmbTid = core::tidyTimeFields(m_view.cmbTid);
    // One digit of hours, or two characters of minutes, and the focus moves on.
    if (index == 0 && m_view.cmbTid[0].size() == 1) {
        return done(Focus::Minutes);
    }
    if (index == 1 && m_view.cmbTid[1].size() > 1) {
        return done(Focus::Seconds);
    }
    return done();
}

// ---------------------------------------------------------------------------------------------
// The day and the month

void MainPresenter::ram() {
    if (const auto caption =
            core::monthCaptionOf(m_view.cmbSok_0, m_view.cmbSok_1, m_view.cmbSok_2)) {
        m_monthCaption = caption->monthCaption;
        m_shownDay = caption->shownDay;
    }
}

void MainPresenter::visa() {
    const std::string& year = m_view.cmbSok_0;
    const std::string& month = m_view.cmbSok_1;
    const std::string& day = m_view.cmbSok_2;

    if (core::trimBlanks(year).empty()) {
        message("Du måste ange ett årtal.\nFrån 00 till 99", "Felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        return;
    }
    if (core::trimBlanks(month).empty()) {
        if (!m_quietView) {
            message("Du måste ange en månad.\n1 för januari, 2 för februari och så vidare.",
                    "Felaktig inmatning", Buttons::Ok, Icon::Exclamation);
        }
        return;
    }
    if (const auto first = core::parseDigits(month.substr(0, 2)); first && *first > 12) {
        message("Det finns bara 12 månader på ett år!", "Felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        m_view.cmbSok_1.clear();
        return;
    }
    if (month == "00" || month == "0") {
        message("Månad nummer \"" + month + "\" finns inte.", "Felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        m_view.cmbSok_1.clear();
        return;
    }
    const auto monthNumber = core::parseDigits(month);
    if (!monthNumber) {
        return; // not a month at all: nothing to look up
    }
    std::string yearPart = year;
    if (yearPart.size() < 2) {
        yearPart.assign(1, '0').append(core::trimBlanks(year));
    }
    std::string monthPart = month;
    if (monthPart.size() < 2) {
        monthPart.assign(1, '0').append(core::trimBlanks(month));
    }
    const std::string monthFile = storage::monthFileName(yearPart, monthPart);

    if (core::trimBlanks(day).empty()) {
        if (!m_quietView) {
            message("Du måste ange ett datum att söka på", "Felaktig inmatning", Buttons::Ok,
                    Icon::None);
        }
        return;
    }
    const auto dayNumber = core::parseDigits(day);
    if (!dayNumber) {
        return;
    }
    if (*dayNumber < 1) {
        message("Dag med datum noll finns inte.", "felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        m_view.cmbSok_2.clear();
        return;
    }
    if (*dayNumber > 31) {
        message("Ingen månad har fler än 31 dagar.", "felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        m_view.cmbSok_2.clear();
        return;
    }

    // The month is read once, here; the month figures are worked out from the same read.
    const storage::MonthRead read = storage::readMonth(m_services.files, monthFile);
    if (unusable(read.state)) {
        reportUnusable(monthFile, read.state);
        m_quietView = false;
        showDayHeadings();
        m_dayMissing = true;
        manad(read);
        return;
    }
    m_reportedFile.clear();
    const core::DayRecord& record = read.days[static_cast<std::size_t>(*dayNumber - 1)];
    if (!read.hasRecords() || !core::dayHasRecord(record)) {
        if (!m_quietView) {
            message("Någon post har inte sparats den " + core::decimalText(*dayNumber) + " " +
                        std::string(core::monthNameLower(*monthNumber)) + " 20" + yearPart + ".",
                    "Ingen post hittas", Buttons::Ok, Icon::None);
        }
        m_quietView = false;
        showDayHeadings();
        m_dayMissing = true;
        manad(read);
        return;
    }

    const core::DayFigures figures = core::dayFigures(record, m_settings.dailyAllowance);
    show(m_view.lblDagskost, figures.cost);
    show(m_view.lblDagstid, figures.connected);
    show(m_view.lblTidkvar, figures.remaining);
    m_quietView = false;
    manad(read);
}

void MainPresenter::manad(const storage::MonthRead& month) {
    // The plan is the one read at start or stored by the plan window: the settings file is not
    // read again for every refresh.
    if (unusable(month.state)) {
        // No figures can be worked out: the headings are shown; the day view has told the user.
        ram();
        m_view.ramMonadstid = m_monthCaption;
        m_dayMissing = false;
        const core::MonthFigures headings = core::emptyMonthFigures(m_settings.dailyAllowance);
        show(m_view.lblKostnad, headings.cost);
        show(m_view.lblDyrtid, headings.extra);
        show(m_view.lblTid, headings.connected);
        show(m_view.lblSumma, {"Total månadskostnad:", core::Colour::Normal});
        return;
    }
    if (month.hasRecords()) {
        const core::MonthSums sums = core::sumMonth(month.days);
        const core::MonthFigures figures = core::monthFigures(sums, m_settings.dailyAllowance);
        show(m_view.lblSumma, figures.total);
        show(m_view.lblTid, figures.connected);
        show(m_view.lblDyrtid, figures.extra);
        show(m_view.lblKostnad, figures.cost);
        m_monthTimeText = figures.monthTimeText;
        m_monthExtraText = figures.monthExtraText;
        m_monthCostText = figures.monthCostText;
        m_view.cmdKastamon.enabled = true;
        // The frame names the month whose figures it shows.
        ram();
        m_view.ramMonadstid = m_monthCaption;
        return;
    }

    const core::MonthFigures figures = core::emptyMonthFigures(m_settings.dailyAllowance);
    show(m_view.lblSumma, figures.total);
    ram();
    m_view.ramMonadstid = m_monthCaption;
    if (!m_dayMissing) {
        message("Inga poster finns sparade i " + m_monthCaption + ".", "Ingen post hittas",
                Buttons::Ok, Icon::None);
    }
    m_dayMissing = false;
    show(m_view.lblKostnad, figures.cost);
    show(m_view.lblDyrtid, figures.extra);
    show(m_view.lblTid, figures.connected);
}

MainPresenter::Booking MainPresenter::summera(storage::Journal& journal) {
    m_yearText = core::fixedWidth(m_view.cmbSok_0, 2);
    m_monthText = core::fixedWidth(m_view.cmbSok_1, 2);
    m_dayText = core::fixedWidth(m_view.cmbSok_2, 2);

    if (core::nothingToBook(m_view.cmbTid)) {
        return Booking::NothingEntered;
    }
    const auto date = core::dateOfTexts(m_yearText, m_monthText, m_dayText);
    const std::int32_t seconds = core::enteredSeconds(m_view.cmbTid);
    const storage::EntryResult booked =
        journal.book(storage::PendingEntry{{{date.value_or(core::Date{}), seconds, std::nullopt}}});
    const storage::BookingResult result = storage::bookingResultOf(booked);

    // A refused booking changes no file, so the undo, redo and restore buttons keep their state.
    switch (result.outcome) {
    case storage::BookingOutcome::DayFull:
        message(std::string(messages::kDayFull), "Dygnet är slut", Buttons::Ok, Icon::Exclamation);
        return Booking::DayFull;
    case storage::BookingOutcome::NoPlan:
        message(messages::noPlan(settingsFileState()), "Kan inte spara", Buttons::Ok,
                Icon::Exclamation);
        return Booking::NotBooked;
    case storage::BookingOutcome::Failed:
        message(
            messages::notSaved(messages::monthNotWritten(
                storage::monthFileName(m_yearText, m_monthText), result.monthState, result.error)),
            "Kan inte spara", Buttons::Ok, Icon::Exclamation);
        return Booking::NotBooked;
    case storage::BookingOutcome::Booked:
    case storage::BookingOutcome::BookedWithoutUndo:
        break;
    }

    noticeBooking(m_services.notifier, m_services.files, result.before, result.record,
                  m_settings.dailyAllowance);
    bookedAsSave(booked);
    visa();
    ram();
    m_view.ramMonadstid = m_monthCaption;
    return Booking::Booked;
}

// As after a save: the booking swept the copies of the last booking and of any deletion, and its
// own undo copy is offered, unless it spanned two months.
void MainPresenter::bookedAsSave(const storage::EntryResult& result) {
    m_entryFile = result.entryFile;
    m_entryBackup = result.entryBackup;
    m_view.cmdRedo.enabled = false;
    m_view.cmdAngra.enabled = result.undoCopy && !result.acrossMonths;
    m_view.angraHint = result.acrossMonths ? messages::kUndoAcrossMonths : kUndoHint;
    m_view.cmdAngramon.shown = false;
    m_view.cmdKastamon.shown = true;
    m_view.cmdAngrapost.shown = false;
    m_view.cmdKastapost.shown = true;
}

storage::SettingsFile::Loaded MainPresenter::settingsFileState() const {
    storage::SettingsFile::Loaded loaded = m_settingsFile;
    loaded.settings.planText = m_settings.planText;
    loaded.settings.dailyAllowance = static_cast<std::int16_t>(m_settings.dailyAllowance);
    return loaded;
}

// ---------------------------------------------------------------------------------------------
// Save and close

std::optional<core::Date> MainPresenter::chosenDate() const {
    const auto year = core::parseDigits(m_view.cmbSok_0);
    const auto month = core::parseDigits(m_view.cmbSok_1);
    const auto day = core::parseDigits(m_view.cmbSok_2);
    if (m_dateInvalid || !year || !month || !day) {
        return std::nullopt;
    }
    const core::Date date{2000 + *year, *month, *day};
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

void MainPresenter::takeWaiting(storage::Journal& journal, Tell tell) {
    const std::vector<storage::EntryResult> results =
        journal.bookWaiting(answerText(m_services.files, settingsFileState()), {},
                            m_services.clock.nanosecondsSince1970());
    if (results.empty()) {
        return;
    }
    noticeWaiting(m_services.notifier, m_services.files, results, m_settings.dailyAllowance);
    const auto last = std::find_if(results.rbegin(), results.rend(), [](const auto& result) {
        return result.outcome == storage::EntryOutcome::Booked && !result.bookedBefore;
    });
    if (last != results.rend()) {
        bookedAsSave(*last);
        // The figures of the date shown are read again, without a word, when it is a real date.
        if (chosenDate()) {
            m_quietView = true;
            visa();
            ram();
            m_view.ramMonadstid = m_monthCaption;
        }
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
    storage::Journal journal(m_services.files, m_settings.dailyAllowance);
    takeWaiting(journal, Tell::WhatNoCommandHears);
    return done();
}

const MainView& MainPresenter::save() {
    // Bookings that wait are booked first, in the order they were made; one listing of the data
    // folder serves them and this booking.
    storage::Journal journal(m_services.files, m_settings.dailyAllowance);
    takeWaiting(journal, Tell::Everything);
    if (m_dateInvalid) {
        message("Felaktigt datum. Ändra innnan du sparar.", "Felaktigt datum!", Buttons::Ok,
                Icon::Exclamation);
        return done(Focus::Minutes);
    }
    const Booking booking = summera(journal);
    if (booking == Booking::DayFull || booking == Booking::Booked) {
        m_view.cmbTid = {};
    }
    // Nothing entered, or nothing booked: the typed time stays for another try.
    return done(Focus::Minutes);
}

const MainView& MainPresenter::close() {
    if (m_dateInvalid) {
        endProgram(true);
        return done();
    }
    if (core::somethingTyped(m_view.cmbTid)) {
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
    storage::Journal journal(m_services.files, m_settings.dailyAllowance);
    switch (summera(journal)) {
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
    m_view.ended = true;
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

const MainView& MainPresenter::undo() {
    const storage::SwapResult swap =
        storage::swapWithBackup(m_services.files, m_entryFile, m_entryBackup);
    if (!swap.swapped) {
        swapNotPossible("Den senaste inmatningen kan inte ångras.", "Ångra är inte möjligt");
        return done();
    }
    m_view.cmdAngra.enabled = false;
    m_view.cmdRedo.enabled = true;
    if (swap.backupLength != 0 || chosenMonthFile() != m_entryFile) {
        // The figures shown are read again; a month other than the one undone is shown as it is.
        m_quietView = true;
        visa();
    } else {
        showEmptyMonth(); // the month had nothing before the booking that was taken back
    }
    return done();
}

const MainView& MainPresenter::redo() {
    const storage::SwapResult swap =
        storage::swapWithBackup(m_services.files, m_entryFile, m_entryBackup);
    if (!swap.swapped) {
        swapNotPossible("Den senaste inmatningen kan inte göras om.", "Gör om är inte möjligt");
        return done();
    }
    m_view.cmdAngra.enabled = true;
    m_view.cmdRedo.enabled = false;
    m_quietView = true;
    visa();
    return done();
}

void MainPresenter::swapNotPossible(const std::string& what, const std::string& title) {
    message(what + "\nKopian av månaden saknas eller kunde inte bytas ut, så månadsfilen och "
                   "kopian har lämnats som de var.",
            title, Buttons::Ok, Icon::Exclamation);
    m_view.cmdAngra.enabled = false;
    m_view.cmdRedo.enabled = false;
}

void MainPresenter::showEmptyMonth() {
    const auto normal = core::Colour::Normal;
    show(m_view.lblDagskost, {"Kostnad:", normal});
    show(m_view.lblDagstid, {"Tid i dag:", core::Colour::Unchanged});
    show(m_view.lblTidkvar, {"Tid kvar: / Extra tid:", normal});
    show(m_view.lblTid, {"Månadstid:", core::Colour::Unchanged});
    show(m_view.lblDyrtid, {"Extra månadstid:", normal});
    show(m_view.lblKostnad, {"Månadskostnad:", normal});
    showFeeOnlyTotal();
}

void MainPresenter::showFeeOnlyTotal() {
    m_view.lblSumma.colour = core::Colour::Normal;
    if (const auto total = core::feeOnlyTotalText(m_settings.dailyAllowance)) {
        m_view.lblSumma.text = *total;
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting and restoring

const MainView& MainPresenter::deleteDay() {
    const std::string file = chosenMonthFile();
    const std::string dayText = core::fixedWidth(m_view.cmbSok_2, 2);
    const int day = core::parseDigits(dayText).value_or(0);

    const auto noRecord = [&] {
        ram();
        message("Ingen post finns sparad den " + dayText + " " + m_monthCaption + ".",
                "Finns ingen post att ta bort!", Buttons::Ok, Icon::None);
    };
    const storage::MonthState state = storage::monthState(m_services.files, file);
    if (unusable(state)) {
        reportUnusable(file, state, true);
        return done();
    }
    if (state != storage::MonthState::HasRecords) {
        noRecord();
        return done();
    }
    ram();
    if (message("Vill du ta bort alla inmatade tider den " + dayText + " " + m_monthCaption + "?",
                "All tid tas bort!", Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
        return done(); // nothing has changed: the copies and the buttons stay as they were
    }
    switch (storage::deleteDay(m_services.files, file, day)) {
    case storage::DayDeletion::NoRecord:
        noRecord();
        return done();
    case storage::DayDeletion::Failed:
        message("Tiden den " + dayText + " " + m_monthCaption +
                    " kunde inte tas bort, eftersom filen " + file +
                    " inte gick att läsa eller skriva.\nIngenting har ändrats.",
                "Kan inte ta bort", Buttons::Ok, Icon::Exclamation);
        return done();
    case storage::DayDeletion::Deleted:
        break;
    }
    m_deletedDayFile = file;
    m_deletedDay = day;
    // The deletion ends what undo and redo could bring back: a redo now would put back a month
    // that still holds the deleted day, or take away the one restored.
    m_view.cmdAngra.enabled = false;
    m_view.cmdRedo.enabled = false;
    if (!m_entryBackup.empty()) {
        m_services.files.removeFile(m_entryBackup);
    }
    m_view.cmdKastapost.shown = false;
    m_view.cmdAngrapost.shown = true;
    m_view.cmdAngramon.enabled = false;
    m_quietView = true;
    m_deletedDayText = m_shownDay + " " + m_monthCaption;
    visa();
    return done();
}

const MainView& MainPresenter::restoreDay() {
    if (message("Vill du återställa all sparad tid den " + m_deletedDayText + ".",
                "Återställ borttagen post", Buttons::YesNo, Icon::None) != Answer::Yes) {
        return done();
    }
    const storage::DayRestore restore =
        storage::restoreDay(m_services.files, m_deletedDayFile, m_deletedDay);
    m_view.cmdAngrapost.shown = false;
    m_view.cmdKastapost.shown = true;
    std::string why;
    switch (restore) {
    case storage::DayRestore::Restored:
        m_quietView = true;
        visa();
        return done();
    case storage::DayRestore::BackupMissing:
    case storage::DayRestore::BackupUnusable:
        why = copyCannotServe(storage::kDayBackup, restore == storage::DayRestore::BackupMissing);
        break;
    case storage::DayRestore::MonthChanged:
        why = "månaden har ändrats sedan dagen togs bort.";
        break;
    case storage::DayRestore::Failed:
        why = "filen " + m_deletedDayFile + " inte gick att skriva.";
        break;
    }
    message("Tiden den " + m_deletedDayText + " kan inte återställas, eftersom " + why +
                "\nIngenting har skrivits över.",
            "Återställ borttagen post", Buttons::Ok, Icon::Exclamation);
    return done();
}

const MainView& MainPresenter::deleteMonth() {
    const std::string file = chosenMonthFile();
    const storage::MonthState state = storage::monthState(m_services.files, file);
    if (unusable(state)) {
        reportUnusable(file, state, true);
        return done();
    }
    if (state != storage::MonthState::HasRecords) {
        ram();
        message("Du behöver inte ta bort " + m_monthCaption + ". Inga poster finns sparade.",
                "Finns inga poster att ta bort!", Buttons::Ok, Icon::None);
        return done(); // nothing deleted: the copies and the buttons stay as they were
    }
    ram();
    if (message("Vill du ta bort alla inmatade poster i " + m_monthCaption + "?",
                "Alla värden raderas!", Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
        return done();
    }
    // A copy of a month deleted before, whose restore is no longer offered, gives way.
    m_services.files.removeFile(storage::kMonthBackup);
    if (!storage::deleteMonth(m_services.files, file)) {
        message(m_monthCaption + " kunde inte tas bort.\nIngenting har ändrats.",
                "Kan inte ta bort", Buttons::Ok, Icon::Exclamation);
        return done();
    }
    // The deletion ends undo, redo and the restore of a day: their copies go.
    for (const std::string_view copy :
         {std::string_view(m_entryBackup), storage::kDayBackup, storage::kNewMonthFile}) {
        if (!copy.empty()) {
            m_services.files.removeFile(copy);
        }
    }
    m_deletedMonthFile = file;
    m_view.cmdAngra.enabled = false;
    showFeeOnlyTotal();
    m_deletedMonthText = m_monthCaption;
    m_view.cmdRedo.enabled = false;
    m_view.cmdKastamon.shown = false;
    m_view.cmdAngramon = {true, true};
    m_quietView = true;
    m_view.cmdAngrapost.shown = false;
    m_view.cmdKastapost.shown = true;
    visa();
    return done();
}

const MainView& MainPresenter::restoreMonth() {
    if (message("Vill du återställa alla poster i " + m_deletedMonthText + "?",
                "Återställ borttagen månad", Buttons::YesNo, Icon::None) != Answer::Yes) {
        return done();
    }
    const storage::MonthRestore restore =
        storage::restoreMonth(m_services.files, m_deletedMonthFile);
    m_view.cmdAngramon.shown = false;
    m_view.cmdKastamon.shown = true;
    std::string why;
    switch (restore) {
    case storage::MonthRestore::Restored:
        m_view.cmdKastapost.enabled = true;
        m_quietView = true;
        visa();
        return done();
    case storage::MonthRestore::MonthExists:
        why = "nya poster har sparats i månaden sedan den togs bort.";
        break;
    case storage::MonthRestore::BackupMissing:
    case storage::MonthRestore::BackupUnusable:
        why =
            copyCannotServe(storage::kMonthBackup, restore == storage::MonthRestore::BackupMissing);
        break;
    case storage::MonthRestore::Failed:
        why = "filen " + m_deletedMonthFile + " inte gick att skapa.";
        break;
    }
    message(m_deletedMonthText + " kan inte återställas, eftersom " + why +
                "\nIngenting har skrivits över.",
            "Återställ borttagen månad", Buttons::Ok, Icon::Exclamation);
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
    const std::string file = chosenMonthFile();
    // The month is read whole, once, before the dialog, so no file is left open whatever
    // happens later.
    const storage::MonthRead month = storage::readMonth(m_services.files, file);
    ram();
    if (unusable(month.state)) {
        reportUnusable(file, month.state, true);
        return done();
    }
    if (!month.hasRecords()) {
        message("Inga poster har sparats i " + m_monthCaption + "\nDet finns inget att skriva ut",
                "Utskrift är inte möjlig!", Buttons::Ok, Icon::Exclamation);
        return done();
    }
    const std::optional<int> copies = m_services.printDialog.ask();
    if (!copies) {
        return done();
    }
    core::MonthReportInput report;
    report.records = month.records();
    report.dailyAllowance = m_settings.dailyAllowance;
    report.monthCaption = m_monthCaption;
    report.monthTimeText = m_monthTimeText;
    report.monthExtraText = m_monthExtraText;
    report.monthCostText = m_monthCostText;
    report.copies = *copies;
    if (!m_services.printer.print(core::monthReport(report))) {
        message("Utskriften av " + m_monthCaption +
                    " misslyckades. Skrivaren eller filen som valdes i utskriftsdialogen gick "
                    "inte att skriva till.\nKontrollera den och försök igen.",
                "Utskriften misslyckades", Buttons::Ok, Icon::Exclamation);
    }
    return done();
}

// ---------------------------------------------------------------------------------------------
// Helpers

void MainPresenter::reportUnusable(const std::string& file, storage::MonthState state,
                                   bool always) {
    // Once per cause: the month shown is not reported again at every refresh of it.
    if (!always && file == m_reportedFile) {
        return;
    }
    m_reportedFile = file;
    if (state == storage::MonthState::Damaged) {
        message("Filen " + file +
                    " är skadad: den är större än en månadsfil kan vara, eller är ingen vanlig "
                    "fil.\nMånadens tider kan inte visas, och filen lämnas orörd.",
                "Skadad fil", Buttons::Ok, Icon::Exclamation);
        return;
    }
    message("Filen " + file + " kunde inte läsas, så månadens tider kan inte visas.",
            "Kan inte läsa", Buttons::Ok, Icon::Exclamation);
}

void MainPresenter::showDayHeadings() {
    const core::DayFigures headings = core::dayHeadings();
    show(m_view.lblDagstid, headings.connected);
    show(m_view.lblTidkvar, headings.remaining);
    show(m_view.lblDagskost, headings.cost);
}

void MainPresenter::updateHints() {
    // The hints name the month and day chosen now, and the day and month deleted last.
    const auto caption = core::monthCaptionOf(m_view.cmbSok_0, m_view.cmbSok_1, m_view.cmbSok_2);
    const std::string month = caption ? caption->monthCaption : m_monthCaption;
    const std::string day = caption ? caption->shownDay : m_shownDay;
    m_view.kastamonHint = "Tar bort all tid under hela " + month + ".";
    m_view.kastapostHint = "Tar bort all sparad tid den " + day + " " + month + ".";
    m_view.printHint = "Skriver ut tider och kostnader för " + month + ".";
    m_view.angramonHint = "Återställer all tid i hela " + m_deletedMonthText + ".";
    m_view.angrapostHint = "Återställer all sparad tid den " + m_deletedDayText + ".";
}

platform::MessageBox::Answer MainPresenter::message(const std::string& text,
                                                    const std::string& title, Buttons buttons,
                                                    Icon icon, bool secondIsDefault) {
    return m_services.messages.show(text, title, buttons, icon, secondIsDefault);
}

std::string MainPresenter::chosenMonthFile() const {
    return storage::monthFileName(core::fixedWidth(m_view.cmbSok_0, 2),
                                  core::fixedWidth(m_view.cmbSok_1, 2));
}

const MainView& MainPresenter::done(Focus focus) {
    updateHints();
    m_view.focus = focus;
    return m_view;
}

} // namespace presenter
