#pragma once

// A reference model of the main window, written from the rules of the program alone: what the
// data folder must hold, and what the window must show, after each of the user's steps. It uses
// nothing of the program's own code: its own record layout, its own cost arithmetic (exact, in
// sixths of an öre), its own texts and its own calendar. The model test runs the same steps on
// the program and on this model and compares the two after every step.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace reference {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::int32_t kSecondsPerDay = 86400;
inline constexpr std::size_t kRecordBytes = 16;
inline constexpr int kLongestMonth = 31;

struct Plan {
    const char* text; // exactly ten characters
    std::int16_t allowance;
    int feeKronor;
};
inline constexpr std::array<Plan, 3> kPlans = {{
    {"1 h / dygn", 3600, 145},
    {"2 h / dygn", 7200, 245},
    {"8 h / dygn", 28800, 595},
}};

struct Date {
    int year = 2001;
    int month = 1;
    int day = 1;
};

// ---------------------------------------------------------------------------------------------
// The files

// A day's record as the model keeps it. The program stores the cost as a single-precision float;
// the model keeps it exact, as a whole number of sixths of an öre (every charge is 40 öre plus a
// number of seconds times a sixth of an öre), and counts the charges that made it: each one may
// leave a float rounding behind in the file.
struct Day {
    std::int64_t costSixths = 0;
    int charges = 0;
    std::int32_t connected = 0;
    std::int32_t extra = 0;
    std::int16_t number = 0;
    bool over = false;

    bool operator==(const Day&) const = default;
};

// A month file, or a copy of one: record n is element n - 1, and the file holds exactly these
// records (16 bytes each). An empty vector is a file of length 0.
using Month = std::vector<Day>;

// The day's record, or an empty one when the file ends before it.
Day dayOf(const Month& month, int day);
// Writes the record of a day; the file grows to it, with empty records in between.
void putDay(Month& month, int day, const Day& record);
// What deleting a day leaves of a month: every other day with connected time at its own record
// number, the file ending with the highest of them.
Month withoutDay(const Month& month, int day);

// The record as it lies in a file: little-endian, cost (float) at 0, connected seconds at 4,
// extra seconds at 8, day number at 12 and the over-allowance flag (0 or -1) at 14.
struct RawDay {
    std::uint32_t costBits = 0;
    float cost = 0.0f;
    std::int32_t connected = 0;
    std::int32_t extra = 0;
    std::int16_t number = 0;
    std::int16_t flag = 0;
};
// Reads record `day` of a file's bytes; a record past the end reads as zeros.
RawDay decodeDay(const Bytes& file, int day);
// The bytes of a record, with the cost written as the float nearest to the exact cost.
std::array<std::uint8_t, kRecordBytes> encodeDay(const Day& day);
// What deleting a day leaves of a month file, worked on the bytes.
Bytes withoutDayBytes(const Bytes& file, int day);

// The settings file as the plan window leaves it: the first start's mark (-1), the plan's text
// and its allowance, each at the start of its 30-byte record.
Bytes settingsBytes(int plan);

// ---------------------------------------------------------------------------------------------
// Texts and the calendar

int daysInMonth(int year, int month);
std::string twoDigits(int number);
// "1 h 2 m 5 s ": each part followed by its unit and a blank, a part of 0 left out.
std::string durationText(std::int64_t seconds);
// Whole öre as kronor with a decimal comma and at least `integerDigits` digits before it.
std::string amountText(std::int64_t ore, int integerDigits);
// "December 2001".
std::string monthCaption(int year, int month);
// "Nu visas lördag 1 dec 2001".
std::string shownDateText(const Date& date);

// ---------------------------------------------------------------------------------------------
// The window

enum class Colour { Normal, Red };

struct Label {
    std::string text;
    // A second text that is as right as the first: an amount that lies exactly on half an öre
    // may be shown rounded either way, since the float sum in the file may lie a hair either
    // side of it. Empty when there is no such second text.
    std::string alternative;
    Colour colour = Colour::Normal;
};

struct Button {
    bool shown = true;
    bool enabled = true;
};

// What the main window must show.
struct View {
    std::string title;
    std::string ramMonadstid;
    std::string lblVisa_3;
    std::array<std::string, 3> cmbSok;
    int daysInList = 31;
    std::array<std::string, 3> cmbTid;

    Label lblDagstid;
    Label lblTidkvar;
    Label lblDagskost;
    Label lblTid;
    Label lblDyrtid;
    Label lblKostnad;
    Label lblSumma;

    Button cmdAngra;
    Button cmdRedo;
    Button cmdKastapost;
    Button cmdAngrapost;
    Button cmdKastamon;
    Button cmdAngramon;
};

enum class Answer { Yes, No, Cancel };

// The last booking of the run, which undo takes back and redo brings back.
struct Booking {
    std::string file;
    int day = 0;
    std::int32_t seconds = 0;
};

// The program as the model sees it: the data folder and one run of the main window. Each step
// is one of the user's commands; a question the step asks is answered with `answer`.
class Model {
public:
    // A data folder holding the settings of a plan chosen earlier, and nothing else.
    explicit Model(int plan);

    // A run starts: the load step with today's date, and the activation that follows unless the
    // plan window is shown.
    void start(const Date& today);
    // The plan window of a first start: OK with a plan chosen, or Avbryt, which ends the program.
    void planOk(int plan);
    void planCancel();

    void chooseDate(int list, const std::string& text);
    void typeTime(int field, const std::string& text);
    void save();
    void close(Answer answer);
    void undo();
    void redo();
    void deleteDay(Answer answer);
    void restoreDay(Answer answer);
    void deleteMonth(Answer answer);
    void restoreMonth(Answer answer);
    void deleteEverything(Answer answer);
    // The range window opens with its default range and closes again: summing the range removes
    // the empty month files it meets. The main window is then activated.
    void rangeWindow();

    const View& view() const { return m_view; }
    bool ended() const { return m_ended; }
    bool planWindow() const { return m_planWindow; }
    // The titles of the message boxes shown since the last call, in order.
    std::vector<std::string> takeMessages();

    // The data folder: month files and their copies (every name but tid.it), and tid.it.
    const std::map<std::string, Month>& months() const { return m_months; }
    const std::optional<Bytes>& settings() const { return m_settings; }

    // The seconds the user booked and has not taken back, by month file and day, kept apart from
    // the files: bookings add, undo takes the last booking back and redo brings it again,
    // deletions take away and restores bring back what they took.
    std::int64_t booked(const std::string& file, int day) const;
    const std::map<std::string, std::array<std::int64_t, kLongestMonth>>& ledger() const {
        return m_ledger;
    }

    // What the run knows.
    const std::string& chosenMonthFile() const { return m_chosenFile; }
    int chosenDay() const;
    const std::string& entryFile() const { return m_entryFile; }
    const std::string& entryBackup() const { return m_entryBackup; }
    const Booking& lastBooking() const { return m_lastBooking; }
    const std::string& deletedDayFile() const { return m_deletedDayFile; }
    int deletedDay() const { return m_deletedDay; }
    const std::string& deletedMonthFile() const { return m_deletedMonthFile; }

private:
    enum class Outcome { NothingEntered, NotBooked, Refused, Booked };

    void visa();
    void manad(const Month* month);
    Outcome book();
    void showEmptyMonth();
    void sweepCopies();
    // The last booking taken back (-1) or brought back (+1), in the ledger.
    void countLastBooking(int sign);
    void endRun() { m_ended = true; }
    void message(const char* title) { m_messages.emplace_back(title); }
    void chosenChanged();
    std::optional<Plan> plan() const;
    std::string chosenCaption() const;

    // The data folder.
    std::map<std::string, Month> m_months;
    std::optional<Bytes> m_settings;
    std::map<std::string, std::array<std::int64_t, kLongestMonth>> m_ledger;
    std::array<std::int64_t, kLongestMonth> m_deletedMonthLedger{};
    std::int64_t m_deletedDayLedger = 0;

    // The run.
    Date m_today;
    View m_view;
    bool m_ended = false;
    bool m_planWindow = false;
    std::int16_t m_allowance = 0;
    std::string m_planText;
    std::string m_chosenFile;
    std::string m_entryFile;
    std::string m_entryBackup; // empty until the run has booked
    Booking m_lastBooking;
    std::string m_deletedDayFile;
    int m_deletedDay = 0;
    std::string m_deletedMonthFile;
    std::vector<std::string> m_messages;
};

} // namespace reference
