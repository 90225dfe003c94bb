#include "reference_model.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <utility>

namespace reference {

namespace {

constexpr const char* kDayCopy = "post2.tmp";
constexpr const char* kOldNewMonth = "post.tmp";
constexpr const char* kMonthCopy = "mon.tmp";
constexpr const char* kSwapFile = "temp.tmp";
constexpr const char* kProgram = "Surfklocka 3.11";

// The charge of a booking beyond the allowance: 40 öre, and 10 öre a minute counted to the
// second, that is a sixth of an öre a second.
constexpr std::int64_t kStartChargeSixths = 40 * 6;

constexpr std::array<const char*, 12> kMonthNames = {
    "Januari", "Februari", "Mars",      "April",   "Maj",      "Juni",
    "Juli",    "Augusti",  "September", "Oktober", "November", "December"};
constexpr std::array<const char*, 12> kMonthShort = {"jan", "feb", "mar", "apr", "maj", "jun",
                                                     "jul", "aug", "sep", "okt", "nov", "dec"};
// 1 January 2001 was a Monday.
constexpr std::array<const char*, 7> kWeekdays = {"måndag", "tisdag", "onsdag", "torsdag",
                                                  "fredag", "lördag", "söndag"};

void putLittle(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        at[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFu);
    }
}

std::uint32_t getLittle(const std::uint8_t* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    }
    return value;
}

bool leapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int number(const std::string& digits) {
    int value = 0;
    for (const char c : digits) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
        }
    }
    return value;
}

// A time field holds a number when it is one or two digits, optionally after a blank.
bool isTimeNumber(const std::string& text) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.size() == 1) {
        return digit(text[0]);
    }
    return text.size() == 2 && (digit(text[0]) || text[0] == ' ') && digit(text[1]);
}

bool nothingToBook(const std::array<std::string, 3>& fields) {
    return std::ranges::all_of(
        fields, [](const std::string& f) { return f.empty() || f == "0" || f == "00"; });
}

bool somethingTyped(const std::array<std::string, 3>& fields) {
    return std::ranges::any_of(
        fields, [](const std::string& f) { return f.find_first_not_of(' ') != std::string::npos; });
}

// Hours, minutes and seconds of the fields: two characters of each, a non-number counting 0.
std::int32_t enteredSeconds(const std::array<std::string, 3>& fields) {
    std::array<std::int32_t, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string text = fields[i].substr(0, 2);
        values[i] = isTimeNumber(text) ? number(text) : 0;
    }
    return values[0] * 3600 + values[1] * 60 + values[2];
}

// A label showing an exact amount in sixths of an öre, rounded half up to whole öre.
Label amountLabel(const std::string& before, std::int64_t sixths, int integerDigits,
                  Colour colour) {
    Label label;
    label.text = before + amountText((sixths + 3) / 6, integerDigits) + " kr";
    if (sixths % 6 == 3) {
        label.alternative = before + amountText(sixths / 6, integerDigits) + " kr";
    }
    label.colour = colour;
    return label;
}

Date addOneDay(Date date) {
    if (++date.day > daysInMonth(date.year, date.month)) {
        date.day = 1;
        if (++date.month > 12) {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

Date minusThreeMonths(Date date) {
    date.month -= 3;
    if (date.month < 1) {
        date.month += 12;
        --date.year;
    }
    date.day = std::min(date.day, daysInMonth(date.year, date.month));
    return date;
}

std::string monthFileOf(int year, int month) {
    return twoDigits(year % 100) + twoDigits(month) + ".tid";
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Files

Day dayOf(const Month& month, int day) {
    const auto index = static_cast<std::size_t>(day - 1);
    return index < month.size() ? month[index] : Day{};
}

void putDay(Month& month, int day, const Day& record) {
    const auto index = static_cast<std::size_t>(day - 1);
    if (month.size() <= index) {
        month.resize(index + 1);
    }
    month[index] = record;
}

Month withoutDay(const Month& month, int day) {
    Month rest;
    for (int other = 1; other <= kLongestMonth; ++other) {
        if (other != day && dayOf(month, other).connected != 0) {
            putDay(rest, other, dayOf(month, other));
        }
    }
    return rest;
}

RawDay decodeDay(const Bytes& file, int day) {
    std::array<std::uint8_t, kRecordBytes> bytes{};
    const std::size_t offset = static_cast<std::size_t>(day - 1) * kRecordBytes;
    for (std::size_t i = 0; i < kRecordBytes && offset + i < file.size(); ++i) {
        bytes[i] = file[offset + i];
    }
    RawDay raw;
    raw.costBits = getLittle(bytes.data(), 4);
    raw.cost = std::bit_cast<float>(raw.costBits);
    raw.connected = static_cast<std::int32_t>(getLittle(bytes.data() + 4, 4));
    raw.extra = static_cast<std::int32_t>(getLittle(bytes.data() + 8, 4));
    raw.number = static_cast<std::int16_t>(getLittle(bytes.data() + 12, 2));
    raw.flag = static_cast<std::int16_t>(getLittle(bytes.data() + 14, 2));
    return raw;
}

std::array<std::uint8_t, kRecordBytes> encodeDay(const Day& day) {
    std::array<std::uint8_t, kRecordBytes> bytes{};
    const auto cost = static_cast<float>(static_cast<double>(day.costSixths) / 6.0);
    putLittle(bytes.data(), std::bit_cast<std::uint32_t>(cost), 4);
    putLittle(bytes.data() + 4, static_cast<std::uint32_t>(day.connected), 4);
    putLittle(bytes.data() + 8, static_cast<std::uint32_t>(day.extra), 4);
    putLittle(bytes.data() + 12, static_cast<std::uint16_t>(day.number), 2);
    putLittle(bytes.data() + 14, day.over ? 0xFFFFu : 0u, 2);
    return bytes;
}

Bytes withoutDayBytes(const Bytes& file, int day) {
    Bytes rest;
    for (int other = 1; other <= kLongestMonth; ++other) {
        if (other == day || decodeDay(file, other).connected == 0) {
            continue;
        }
        const std::size_t offset = static_cast<std::size_t>(other - 1) * kRecordBytes;
        rest.resize(offset + kRecordBytes, 0);
        for (std::size_t i = 0; i < kRecordBytes && offset + i < file.size(); ++i) {
            rest[offset + i] = file[offset + i];
        }
    }
    return rest;
}

Bytes settingsBytes(int plan) {
    const Plan& chosen = kPlans.at(static_cast<std::size_t>(plan));
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::memcpy(bytes.data() + 30, chosen.text, 10);
    putLittle(bytes.data() + 60, static_cast<std::uint16_t>(chosen.allowance), 2);
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Texts and the calendar

int daysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays.at(static_cast<std::size_t>(month - 1));
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

std::string durationText(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds % 3600 / 60;
    const std::int64_t rest = seconds % 60;
    std::string text;
    if (hours != 0) {
        text += std::to_string(hours) + " h ";
    }
    if (minutes != 0) {
        text += std::to_string(minutes) + " m ";
    }
    if (rest != 0) {
        text += std::to_string(rest) + " s ";
    }
    return text;
}

std::string amountText(std::int64_t ore, int integerDigits) {
    std::string kronor = std::to_string(ore / 100);
    if (kronor.size() < static_cast<std::size_t>(integerDigits)) {
        kronor.insert(0, static_cast<std::size_t>(integerDigits) - kronor.size(), '0');
    }
    return kronor + "," + twoDigits(static_cast<int>(ore % 100));
}

std::string monthCaption(int year, int month) {
    return std::string(kMonthNames.at(static_cast<std::size_t>(month - 1))) + " " +
           std::to_string(year);
}

std::string shownDateText(const Date& date) {
    int days = date.day - 1;
    for (int year = 2001; year < date.year; ++year) {
        days += leapYear(year) ? 366 : 365;
    }
    for (int month = 1; month < date.month; ++month) {
        days += daysInMonth(date.year, month);
    }
    return std::string("Nu visas ") + kWeekdays.at(static_cast<std::size_t>(days % 7)) + " " +
           std::to_string(date.day) + " " +
           kMonthShort.at(static_cast<std::size_t>(date.month - 1)) + " " +
           std::to_string(date.year);
}

// ---------------------------------------------------------------------------------------------
// The model

Model::Model(int plan) : m_settings(settingsBytes(plan)) {}

std::vector<std::string> Model::takeMessages() {
    return std::exchange(m_messages, {});
}

std::int64_t Model::booked(const std::string& file, int day) const {
    const auto found = m_ledger.find(file);
    return found == m_ledger.end() ? 0 : found->second.at(static_cast<std::size_t>(day - 1));
}

int Model::chosenDay() const {
    return number(m_view.cmbSok[2]);
}

std::optional<Plan> Model::plan() const {
    for (const Plan& known : kPlans) {
        if (known.allowance == m_allowance) {
            return known;
        }
    }
    return std::nullopt;
}

std::string Model::chosenCaption() const {
    return monthCaption(2000 + number(m_view.cmbSok[0]), number(m_view.cmbSok[1]));
}

void Model::chosenChanged() {
    m_chosenFile = m_view.cmbSok[0] + m_view.cmbSok[1] + ".tid";
}

void Model::sweepCopies() {
    std::erase_if(m_months, [](const auto& file) { return file.first.ends_with(".tmp"); });
}

void Model::start(const Date& today) {
    m_today = today;
    m_view = View{};
    m_ended = false;
    m_entryBackup.clear(); // a new run knows no undo copy of the last one
    m_lastBooking = {};
    m_deletedDayFile.clear();
    m_deletedDay = 0;
    m_deletedMonthFile.clear();

    m_view.cmbSok = {twoDigits(today.year % 100), twoDigits(today.month), twoDigits(today.day)};
    m_view.daysInList = daysInMonth(today.year, today.month);
    m_view.ramMonadstid = monthCaption(today.year, today.month);
    m_view.lblVisa_3 = shownDateText(today);
    chosenChanged();
    m_entryFile = m_chosenFile;

    // The settings: a missing file, or one without the first start's mark, is a first start,
    // and the mark is written; a mark without a known plan asks for the plan again.
    bool firstStart = false;
    if (!m_settings) {
        m_settings = Bytes{0xFF, 0xFF};
        firstStart = true;
    } else if (m_settings->size() < 2 || getLittle(m_settings->data(), 2) == 0) {
        m_settings->resize(std::max<std::size_t>(m_settings->size(), 2), 0);
        (*m_settings)[0] = (*m_settings)[1] = 0xFF;
        firstStart = true;
    }
    const Bytes& settings = *m_settings;
    m_allowance =
        settings.size() >= 62 ? static_cast<std::int16_t>(getLittle(settings.data() + 60, 2)) : 0;
    m_planText = settings.size() >= 40 ? std::string(settings.begin() + 30, settings.begin() + 40)
                                       : std::string();
    firstStart = firstStart || !plan();

    m_view.title = std::string(kProgram) + "   " + m_planText;
    m_view.cmdAngra = {true, false};
    m_view.cmdRedo = {true, false};
    m_view.cmdKastapost = {true, true};
    m_view.cmdAngrapost = {false, true};
    m_view.cmdKastamon = {true, true};
    m_view.cmdAngramon = {false, true};
    visa();
    m_planWindow = firstStart;
}

void Model::planOk(int chosen) {
    const Plan& plan = kPlans.at(static_cast<std::size_t>(chosen));
    Bytes& settings = *m_settings;
    settings.resize(std::max<std::size_t>(settings.size(), 62), 0);
    std::memcpy(settings.data() + 30, plan.text, 10);
    putLittle(settings.data() + 60, static_cast<std::uint16_t>(plan.allowance), 2);
    m_allowance = plan.allowance;
    m_planText = plan.text;
    // The figures shown stay those worked out before the plan was known.
    m_view.title = std::string(kProgram) + "      " + m_planText;
    m_planWindow = false;
}

void Model::planCancel() {
    m_settings.reset();
    m_planWindow = false;
    endRun();
}

// ---------------------------------------------------------------------------------------------
// The day and the month shown

void Model::visa() {
    const auto found = m_months.find(m_chosenFile);
    const Month* month =
        found != m_months.end() && !found->second.empty() ? &found->second : nullptr;
    const Day day = month != nullptr ? dayOf(*month, chosenDay()) : Day{};
    if (day.connected < 1) {
        m_view.lblDagstid = {"Tid i dag:", "", Colour::Normal};
        m_view.lblTidkvar = {"Tid kvar: / Extra tid:", "", Colour::Normal};
        m_view.lblDagskost = {"Kostnad:", "", Colour::Normal};
    } else {
        m_view.lblDagskost = amountLabel("Kostnad: ", day.costSixths, 1,
                                         day.costSixths > 0 ? Colour::Red : Colour::Normal);
        m_view.lblDagstid.text = "Ansluten tid: " + durationText(day.connected);
        m_view.lblDagstid.alternative.clear();
        const std::int64_t left = std::int64_t{m_allowance} - day.connected;
        m_view.lblTidkvar = left < 0
                                ? Label{"Använd extra tid: " + durationText(-left), "", Colour::Red}
                                : Label{"Tid kvar: " + durationText(left), "", Colour::Normal};
    }
    manad(month);
}

void Model::manad(const Month* month) {
    m_view.ramMonadstid = chosenCaption();
    const std::optional<Plan> known = plan();
    const std::int64_t feeSixths = known ? std::int64_t{known->feeKronor} * 100 * 6 : 0;
    if (month == nullptr) {
        m_view.lblSumma = amountLabel("Total månadskostnad: ", feeSixths, 2, Colour::Normal);
        m_view.lblKostnad = {"Extra månadskostnad:", "", Colour::Normal};
        m_view.lblDyrtid = {"Extra månadstid:", "", Colour::Normal};
        m_view.lblTid.text = "Månadstid:";
        return;
    }
    std::int64_t cost = 0;
    std::int64_t connected = 0;
    std::int64_t extra = 0;
    for (const Day& day : *month) {
        cost += day.costSixths;
        connected += day.connected;
        extra += day.extra;
    }
    const Colour costColour = cost > 0 ? Colour::Red : Colour::Normal;
    const std::int64_t total = known ? (extra > 0 ? cost : 0) + feeSixths : 0;
    m_view.lblSumma = amountLabel("Total månadskostnad: ", total, 2, costColour);
    m_view.lblTid.text = "Ansluten tid: " + durationText(connected);
    m_view.lblDyrtid = {"Extra månadstid: " + durationText(extra), "",
                        extra > 0 ? Colour::Red : Colour::Normal};
    m_view.lblKostnad = amountLabel("Extra månadskostnad: ", cost, 1, costColour);
    m_view.cmdKastamon.enabled = true;
}

void Model::showEmptyMonth() {
    m_view.lblDagskost = {"Kostnad:", "", Colour::Normal};
    m_view.lblDagstid.text = "Tid i dag:";
    m_view.lblTidkvar = {"Tid kvar: / Extra tid:", "", Colour::Normal};
    m_view.lblTid.text = "Månadstid:";
    m_view.lblDyrtid = {"Extra månadstid:", "", Colour::Normal};
    m_view.lblKostnad = {"Månadskostnad:", "", Colour::Normal};
    m_view.lblSumma.colour = Colour::Normal;
    m_view.lblSumma.alternative.clear();
    if (const auto known = plan()) {
        m_view.lblSumma.text = "Total månadskostnad: " + std::to_string(known->feeKronor) + " kr";
    }
}

// ---------------------------------------------------------------------------------------------
// The date lists and the time fields

void Model::chooseDate(int list, const std::string& text) {
    std::string& chosen = m_view.cmbSok.at(static_cast<std::size_t>(list));
    if (chosen == text) {
        return;
    }
    chosen = text;
    // The day list offers the month's days; a day the month lacks gives way to its last.
    m_view.daysInList = daysInMonth(2000 + number(m_view.cmbSok[0]), number(m_view.cmbSok[1]));
    if (chosenDay() > m_view.daysInList) {
        m_view.cmbSok[2] = twoDigits(m_view.daysInList);
    }
    chosenChanged();
    visa();
    m_view.lblVisa_3 =
        shownDateText({2000 + number(m_view.cmbSok[0]), number(m_view.cmbSok[1]), chosenDay()});
}

void Model::typeTime(int field, const std::string& text) {
    auto& fields = m_view.cmbTid;
    fields.at(static_cast<std::size_t>(field)) = text.substr(0, 2);
    // Non-numbers are cleared; then 60 minutes, then 60 seconds, carry once into the next field.
    std::array<int, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!isTimeNumber(fields[i])) {
            fields[i].clear();
        }
        values[i] = number(fields[i]);
    }
    for (std::size_t i = 1; i < 3; ++i) {
        if (values[i] > 59) {
            values[i] -= 60;
            fields[i] = std::to_string(values[i]);
            values[i - 1] = std::min(values[i - 1] + 1, 99);
            fields[i - 1] = std::to_string(values[i - 1]);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Booking, saving and closing

Model::Outcome Model::book() {
    if (nothingToBook(m_view.cmbTid)) {
        return Outcome::NothingEntered;
    }
    if (!plan()) {
        message("Kan inte spara"); // extra time cannot be told without the plan
        return Outcome::NotBooked;
    }
    const std::string file = m_chosenFile;
    const int dayNumber = chosenDay();
    const std::int32_t seconds = enteredSeconds(m_view.cmbTid);
    const auto found = m_months.find(file);
    const Month before = found != m_months.end() ? found->second : Month{};
    const Day day = dayOf(before, dayNumber);
    const std::int64_t total = std::int64_t{day.connected} + seconds;
    if (total > kSecondsPerDay) {
        message("Dygnet är slut");
        return Outcome::Refused;
    }

    Day after = day;
    if (total > m_allowance && !day.over) {
        // This booking takes the day past its allowance: 40 öre and all the time beyond.
        after.costSixths += kStartChargeSixths + (total - m_allowance);
        ++after.charges;
        after.extra = static_cast<std::int32_t>(total - m_allowance);
        after.over = true;
    } else if (total > m_allowance) {
        // The day was past it already: 40 öre and this booking's own time.
        after.costSixths += kStartChargeSixths + seconds;
        ++after.charges;
        after.extra = day.extra + seconds;
    } else {
        after.extra = 0;
    }
    after.connected = static_cast<std::int32_t>(total);
    after.number = static_cast<std::int16_t>(dayNumber);

    // The copies of the last booking and of any deletion end here; the undo copy holds the month
    // as it was (an empty file for the month's first booking).
    sweepCopies();
    m_entryFile = file;
    m_entryBackup = file.substr(0, 4) + ".tmp";
    m_months[m_entryBackup] = before;
    Month& month = m_months[file];
    month = before;
    putDay(month, dayNumber, after);

    m_ledger[file].at(static_cast<std::size_t>(dayNumber - 1)) += seconds;
    m_lastBooking = {file, dayNumber, seconds};

    m_view.cmdRedo.enabled = false;
    m_view.cmdAngra.enabled = true;
    m_view.cmdAngramon.shown = false;
    m_view.cmdKastamon.shown = true;
    m_view.cmdAngrapost.shown = false;
    m_view.cmdKastapost.shown = true;
    visa();
    return Outcome::Booked;
}

void Model::save() {
    const Outcome outcome = book();
    if (outcome == Outcome::Refused || outcome == Outcome::Booked) {
        m_view.cmbTid = {};
    }
}

void Model::close(Answer answer) {
    if (somethingTyped(m_view.cmbTid)) {
        message("Spara inmatade värden?");
        if (answer == Answer::Cancel) {
            return; // everything stays, the copies too
        }
        if (answer == Answer::No) {
            sweepCopies();
            endRun();
            return;
        }
    }
    // A booking made at close keeps its own undo copy; otherwise every copy goes. Time that
    // could not be booked keeps the program open.
    const Outcome outcome = book();
    if (outcome == Outcome::NotBooked) {
        return;
    }
    if (outcome != Outcome::Booked) {
        sweepCopies();
    }
    endRun();
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void Model::countLastBooking(int sign) {
    if (m_lastBooking.day != 0) {
        m_ledger[m_lastBooking.file].at(static_cast<std::size_t>(m_lastBooking.day - 1)) +=
            sign * std::int64_t{m_lastBooking.seconds};
    }
}

void Model::undo() {
    if (!m_months.contains(m_entryBackup) || m_months.contains(kSwapFile)) {
        message("Ångra är inte möjligt");
        m_view.cmdAngra.enabled = m_view.cmdRedo.enabled = false;
        return;
    }
    const bool backupEmpty = m_months.at(m_entryBackup).empty();
    // A month file that is gone counts as an empty one.
    std::swap(m_months[m_entryFile], m_months[m_entryBackup]);
    m_view.cmdAngra.enabled = false;
    m_view.cmdRedo.enabled = true;
    countLastBooking(-1);
    if (!backupEmpty || m_chosenFile != m_entryFile) {
        visa();
    } else {
        showEmptyMonth(); // the month had nothing before the booking taken back
    }
}

void Model::redo() {
    if (!m_months.contains(m_entryBackup) || m_months.contains(kSwapFile)) {
        message("Gör om är inte möjligt");
        m_view.cmdAngra.enabled = m_view.cmdRedo.enabled = false;
        return;
    }
    std::swap(m_months[m_entryFile], m_months[m_entryBackup]);
    m_view.cmdAngra.enabled = true;
    m_view.cmdRedo.enabled = false;
    countLastBooking(1);
    visa();
}

// ---------------------------------------------------------------------------------------------
// Deleting and restoring

void Model::deleteDay(Answer answer) {
    const std::string file = m_chosenFile;
    const int dayNumber = chosenDay();
    const auto found = m_months.find(file);
    if (found == m_months.end() || found->second.empty()) {
        message("Finns ingen post att ta bort!");
        return;
    }
    message("All tid tas bort!");
    if (answer != Answer::Yes) {
        return;
    }
    if (dayOf(found->second, dayNumber).connected == 0) {
        message("Finns ingen post att ta bort!");
        return;
    }
    m_months.erase(kOldNewMonth);
    const Month before = found->second;
    m_months[kDayCopy] = before;
    m_months[file] = withoutDay(before, dayNumber);
    m_deletedDayFile = file;
    m_deletedDay = dayNumber;
    // Undo and redo end here, and their copy goes.
    m_view.cmdAngra.enabled = m_view.cmdRedo.enabled = false;
    if (!m_entryBackup.empty()) {
        m_months.erase(m_entryBackup);
    }
    m_view.cmdKastapost.shown = false;
    m_view.cmdAngrapost.shown = true;
    m_view.cmdAngramon.enabled = false;

    auto& seconds = m_ledger[file].at(static_cast<std::size_t>(dayNumber - 1));
    m_deletedDayLedger = std::exchange(seconds, 0);
    visa();
}

void Model::restoreDay(Answer answer) {
    message("Återställ borttagen post");
    if (answer != Answer::Yes) {
        return;
    }
    m_view.cmdAngrapost.shown = false;
    m_view.cmdKastapost.shown = true;
    const auto copy = m_months.find(kDayCopy);
    if (copy == m_months.end()) {
        message("Återställ borttagen post");
        return;
    }
    // Only over what the deletion left; a month file that is gone counts as an empty one.
    const auto month = m_months.find(m_deletedDayFile);
    const Month current = month != m_months.end() ? month->second : Month{};
    if (current != withoutDay(copy->second, m_deletedDay)) {
        message("Återställ borttagen post");
        return;
    }
    m_months[m_deletedDayFile] = copy->second;
    m_months.erase(kDayCopy);
    m_ledger[m_deletedDayFile].at(static_cast<std::size_t>(m_deletedDay - 1)) = m_deletedDayLedger;
    visa();
}

void Model::deleteMonth(Answer answer) {
    const std::string file = m_chosenFile;
    const auto found = m_months.find(file);
    if (found == m_months.end() || found->second.empty()) {
        message("Finns inga poster att ta bort!");
        return;
    }
    message("Alla värden raderas!");
    if (answer != Answer::Yes) {
        return;
    }
    const Month month = found->second;
    m_months.erase(found);
    m_months[kMonthCopy] = month;
    // Undo, redo and the restore of a day end here, and their copies go.
    for (const std::string& copy :
         {m_entryBackup, std::string(kDayCopy), std::string(kOldNewMonth)}) {
        if (!copy.empty()) {
            m_months.erase(copy);
        }
    }
    m_deletedMonthFile = file;
    m_view.cmdAngra.enabled = m_view.cmdRedo.enabled = false;
    m_view.cmdKastamon.shown = false;
    m_view.cmdAngramon = {true, true};
    m_view.cmdAngrapost.shown = false;
    m_view.cmdKastapost.shown = true;

    m_deletedMonthLedger = m_ledger[file];
    m_ledger.erase(file);
    visa();
}

void Model::restoreMonth(Answer answer) {
    message("Återställ borttagen månad");
    if (answer != Answer::Yes) {
        return;
    }
    m_view.cmdAngramon.shown = false;
    m_view.cmdKastamon.shown = true;
    // Never over a month file that is there again.
    const auto copy = m_months.find(kMonthCopy);
    if (copy == m_months.end() || m_months.contains(m_deletedMonthFile)) {
        message("Återställ borttagen månad");
        return;
    }
    Month month = copy->second;
    m_months.erase(copy);
    m_months[m_deletedMonthFile] = std::move(month);
    m_view.cmdKastapost.enabled = true;
    m_ledger[m_deletedMonthFile] = m_deletedMonthLedger;
    visa();
}

void Model::deleteEverything(Answer answer) {
    message("Allt raderas!");
    if (answer != Answer::Yes) {
        return;
    }
    m_months.clear(); // every .tid and every .tmp
    m_settings.reset();
    m_ledger.clear();
    endRun();
}

void Model::rangeWindow() {
    // The default range runs from the day after today three months back up to today.
    const Date from = addOneDay(minusThreeMonths(m_today));
    for (Date month{from.year, from.month, 1};
         month.year < m_today.year || (month.year == m_today.year && month.month <= m_today.month);
         month = month.month == 12 ? Date{month.year + 1, 1, 1}
                                   : Date{month.year, month.month + 1, 1}) {
        const auto found = m_months.find(monthFileOf(month.year, month.month));
        if (found != m_months.end() && found->second.empty()) {
            m_months.erase(found);
        }
    }
}

} // namespace reference
