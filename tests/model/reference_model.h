#pragma once

// The data folder as the rules say the user's steps leave it, worked out with none of the
// program's code: the files byte for byte, each day record written from its fields by hand
// (support/month_bytes.h) with the cost added in single precision as the tariff says, and a ledger
// of the seconds the user booked and has not taken back, kept apart from the records: bookings
// add, undo takes the last booking back and redo brings it again, deletions take away and
// restores bring back what they took.

#include "support/month_bytes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace reference {

using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, Bytes>;
using DayOf = std::pair<std::string, int>; // a month file and a day of it
using Seconds = std::map<DayOf, std::int64_t>;

struct Plan {
    const char* text; // ten characters
    std::int16_t allowance;
};
inline constexpr std::array<Plan, 3> kPlans = {
    {{"1 h / dygn", 3600}, {"2 h / dygn", 7200}, {"8 h / dygn", 28800}}};

// A field of record `day` of a month file: the cost (float) at 0, the connected seconds at 4,
// the extra seconds at 8, the over-allowance flag at 14; 0 past the end of the file.
template <typename T>
T field(const Bytes& month, int day, std::size_t offset) {
    T value{};
    const std::size_t at = static_cast<std::size_t>(day - 1) * 16 + offset;
    if (at + sizeof value <= month.size()) {
        std::memcpy(&value, month.data() + at, sizeof value);
    }
    return value;
}

// What deleting a day leaves of a month: the other days with connected time, at their places.
inline Bytes withoutDay(const Bytes& month, int day) {
    Bytes rest;
    for (int other = 1; other * 16 <= static_cast<int>(month.size()); ++other) {
        if (other != day && field<std::int32_t>(month, other, 4) != 0) {
            rest.resize(static_cast<std::size_t>(other) * 16);
            std::copy_n(month.begin() + (other - 1) * 16, 16, rest.end() - 16);
        }
    }
    return rest;
}

enum class Answer { Yes, No, Cancel };

// What the main window holds when a step is taken: the chosen month file and day, and the time
// fields' texts, which are what is booked.
struct Entry {
    DayOf chosen;
    std::array<std::string, 3> fields;
};

// Each step of the user's, with the answer to the question it asks; close is true when the
// program ends.
class Folder {
public:
    // A folder holding tid.it as the plan window leaves it: the first start's mark (-1), the
    // plan's text at 30 and its allowance at 60.
    explicit Folder(const Plan& plan) : m_allowance(plan.allowance) {
        Bytes& settings = files["tid.it"] = Bytes(62, 0);
        settings[0] = settings[1] = 0xFF;
        std::copy_n(plan.text, 10, settings.begin() + 30);
        std::memcpy(settings.data() + 60, &plan.allowance, 2);
    }

    // A new run, which knows no copy of the last.
    void start() { *this = Folder(std::move(files), std::move(ledger), m_allowance); }

    bool save(const Entry& entry, Answer) {
        const auto& [file, day] = entry.chosen;
        std::int32_t seconds = 0;
        for (const std::string& text : entry.fields) {
            seconds = seconds * 60 + number(text);
        }
        const Bytes before = files.contains(file) ? files.at(file) : Bytes{};
        const std::int32_t total = field<std::int32_t>(before, day, 4) + seconds;
        const bool over = field<std::int16_t>(before, day, 14) != 0;
        if (std::ranges::all_of(entry.fields,
                                [](auto& f) { return f.empty() || f == "0" || f == "00"; }) ||
            total > 86400) {
            return false;
        }
        // 40 öre, and 10 öre a minute counted to the second (seconds × 10 ÷ 60, in double
        // precision, then single): for the time past the allowance when the booking takes the
        // day past it, for all of the booking's time after that.
        const std::int32_t charged = !over ? total - m_allowance : seconds;
        const bool charge = total > m_allowance;
        const auto record = testing_support::dayRecordBytes(
            total,
            !charge ? 0
            : over  ? field<std::int32_t>(before, day, 8) + seconds
                    : charged,
            field<float>(before, day, 0) +
                (charge ? static_cast<float>(charged * 10 / 60.0 + 40) : 0.0f),
            static_cast<std::int16_t>(day), static_cast<std::int16_t>(charge || over ? -1 : 0));
        // The copies of the last booking and of any deletion go; the undo copy holds the month
        // as it was (a file of length 0 before its first booking).
        sweep();
        entryBackup = file.substr(0, 4) + ".tmp";
        files[entryBackup] = before;
        Bytes& month = files[file] = before;
        month.resize(std::max(month.size(), static_cast<std::size_t>(day) * 16));
        std::copy(record.begin(), record.end(), month.begin() + (day - 1) * 16);
        ledger[m_last = entry.chosen] += m_lastSeconds = seconds;
        return true;
    }
    // A booking made at close keeps its own undo copy; otherwise every copy goes.
    bool close(const Entry& entry, Answer answer) {
        const bool typed = std::ranges::any_of(
            entry.fields, [](auto& f) { return f.find_first_not_of(' ') != std::string::npos; });
        if (!(typed && answer == Answer::Cancel) &&
            ((typed && answer == Answer::No) || !save(entry, answer))) {
            sweep();
        }
        return !(typed && answer == Answer::Cancel);
    }
    bool undo(const Entry&, Answer) { return swap(-1); }
    bool redo(const Entry&, Answer) { return swap(1); }
    bool deleteDay(const Entry& entry, Answer answer) {
        const auto found = files.find(entry.chosen.first);
        if (answer == Answer::Yes && found != files.end() &&
            field<std::int32_t>(found->second, entry.chosen.second, 4) != 0) {
            files.erase("post.tmp");
            files["post2.tmp"] = found->second;
            found->second = withoutDay(found->second, entry.chosen.second);
            files.erase(entryBackup); // undo and redo end here, and their copy goes
            m_deletedDaySeconds = std::exchange(ledger[deletedDay = entry.chosen], 0);
        }
        return false;
    }
    // Only over what the deletion left; a month file that is gone counts as an empty one.
    bool restoreDay(const Entry&, Answer answer) {
        const auto copy = files.find("post2.tmp");
        const auto month = files.find(deletedDay.first);
        if (answer == Answer::Yes && copy != files.end() &&
            (month == files.end() ? Bytes{} : month->second) ==
                withoutDay(copy->second, deletedDay.second)) {
            files[deletedDay.first] = copy->second;
            files.erase("post2.tmp");
            ledger[deletedDay] = m_deletedDaySeconds;
        }
        return false;
    }
    bool deleteMonth(const Entry& entry, Answer answer) {
        const std::string& file = entry.chosen.first;
        if (answer == Answer::Yes && files.contains(file) && !files.at(file).empty()) {
            files["mon.tmp"] = files.at(file);
            // Undo, redo and the restore of a day end here, and their copies go.
            for (const std::string& name :
                 {file, entryBackup, std::string("post2.tmp"), std::string("post.tmp")}) {
                files.erase(name);
            }
            m_deletedMonth.clear();
            std::erase_if(ledger, [&](const auto& day) {
                return day.first.first == file && m_deletedMonth.insert(day).second;
            });
            deletedMonth = file;
        }
        return false;
    }
    // Never over a month file that is there again.
    bool restoreMonth(const Entry&, Answer answer) {
        if (answer == Answer::Yes && files.contains("mon.tmp") && !files.contains(deletedMonth)) {
            files[deletedMonth] = files.at("mon.tmp");
            files.erase("mon.tmp");
            std::ranges::for_each(m_deletedMonth,
                                  [this](auto& day) { ledger[day.first] = day.second; });
        }
        return false;
    }
    Files files;
    Seconds ledger;
    std::string entryBackup; // the run's undo copy; empty until it books
    DayOf deletedDay;        // the run's last deleted day
    std::string deletedMonth;

private:
    Folder(Files kept, Seconds booked, std::int32_t allowance)
        : files(std::move(kept)), ledger(std::move(booked)), m_allowance(allowance) {}

    // Undo (-1) and redo (+1); a month file that is gone counts as an empty one.
    bool swap(int sign) {
        if (!entryBackup.empty() && files.contains(entryBackup) && !files.contains("temp.tmp")) {
            std::swap(files[m_last.first], files[entryBackup]);
            ledger[m_last] += sign * m_lastSeconds;
        }
        return false;
    }
    void sweep() {
        std::erase_if(files, [](const auto& file) { return file.first.ends_with(".tmp"); });
    }
    // A field books a number of one or two digits, after a blank or not; anything else books 0.
    static std::int32_t number(const std::string& text) {
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        const bool two = text.size() == 2 && (digit(text[0]) || text[0] == ' ') && digit(text[1]);
        return two || (text.size() == 1 && digit(text[0])) ? std::stoi(text) : 0;
    }

    std::int32_t m_allowance;
    DayOf m_last; // the run's last booking, which undo and redo swap
    std::int64_t m_lastSeconds = 0;
    std::int64_t m_deletedDaySeconds = 0;
    Seconds m_deletedMonth;
};

} // namespace reference
