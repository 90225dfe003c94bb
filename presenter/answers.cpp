#include "presenter/answers.h"

#include "core/date_fields.h"
#include "core/figures.h"
#include "core/iso_date.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/messages.h"
#include "storage/month_file.h"

namespace presenter {

namespace {

// The lines a booking prints: what was booked, the day's figures and the month's, in the main
// window's texts.
std::string bookedLines(platform::FileSystem& files, const core::Date& date, std::int64_t seconds,
                        const core::DayRecord& record, std::int32_t dailyAllowance) {
    std::string out =
        "Bokfört " + core::isoDateText(date) + ": " + core::durationText(seconds) + "\n";
    const core::DayFigures day = core::dayFigures(record, dailyAllowance);
    out += day.connected.text + "\n" + day.remaining.text + "\n" + day.cost.text + "\n";
    const storage::MonthRead month =
        storage::readMonth(files, storage::monthFileName(core::twoDigits(date.year % 100),
                                                         core::twoDigits(date.month)));
    const core::MonthFigures figures =
        month.hasRecords() ? core::monthFigures(core::sumMonth(month.records()), dailyAllowance)
                           : core::emptyMonthFigures(dailyAllowance);
    out += core::monthYearCaption(date) + "\n" + figures.connected.text + "\n" +
           figures.extra.text + "\n" + figures.cost.text + "\n" + figures.total.text + "\n";
    return out;
}

} // namespace

CommandOutput refusedOutput(std::string_view reason) {
    return {kExitRefused, {}, "surfklocka: " + std::string(reason) + "\n"};
}

std::string withoutTrailingBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\n') {
            while (!out.empty() && out.back() == ' ') {
                out.pop_back();
            }
        }
        out += c;
    }
    return out;
}

CommandOutput entryOutput(platform::FileSystem& files, const storage::EntryResult& result,
                          const storage::SettingsFile::Loaded& settings) {
    return entryOutput(files, result, settings,
                       core::PlanSchedule(settings.settings.dailyAllowance));
}

CommandOutput entryOutput(platform::FileSystem& files, const storage::EntryResult& result,
                          const storage::SettingsFile::Loaded& settings,
                          const core::PlanSchedule& plans) {
    const std::string nothing = "\n" + std::string(messages::kNothingBooked);
    switch (result.outcome) {
    case storage::EntryOutcome::Booked: {
        CommandOutput output;
        for (std::size_t i = 0; i < result.entry.parts.size() && i < result.records.size(); ++i) {
            const storage::PendingPart& part = result.entry.parts[i];
            output.out += bookedLines(files, part.date, part.seconds, result.records[i],
                                      plans.allowanceFor(part.date.year, part.date.month));
        }
        output.out = withoutTrailingBlanks(output.out);
        return output;
    }
    case storage::EntryOutcome::Refused:
        return refusedOutput(std::string(messages::kDayFull) + " (" +
                             core::isoDateText(result.refusedDay) + ")." + nothing);
    case storage::EntryOutcome::NoPlan:
        return refusedOutput(messages::noPlan(settings));
    case storage::EntryOutcome::Failed:
        return refusedOutput(messages::notSaved(
            messages::monthNotWritten(result.monthFile, result.monthState, result.error)));
    case storage::EntryOutcome::SetAside:
        return refusedOutput(messages::setAside(result));
    case storage::EntryOutcome::Kept:
        break;
    }
    CommandOutput output = waitingOutput();
    output.out = "Bokningen är påbörjad men kan inte bokföras färdigt nu, eftersom " +
                 messages::monthNotWritten(result.monthFile, result.monthState, result.error) +
                 ".\n" + output.out;
    return output;
}

CommandOutput waitingOutput() {
    return {kExitDone,
            "Bokningen väntar i datamappen och bokförs av Surfklocka så snart det går, senast "
            "vid nästa start eller bokning.\nBokför den inte en gång till.\n",
            {}};
}

storage::AnswerText answerText(platform::FileSystem& files,
                               const storage::SettingsFile::Loaded& settings) {
    return answerText(files, settings, core::PlanSchedule(settings.settings.dailyAllowance));
}

storage::AnswerText answerText(platform::FileSystem& files,
                               const storage::SettingsFile::Loaded& settings,
                               const core::PlanSchedule& plans) {
    return [&files, settings, plans](const storage::EntryResult& result) {
        return outputBytes(entryOutput(files, result, settings, plans));
    };
}

std::string outputBytes(const CommandOutput& output) {
    return core::decimalText(output.exitCode) + "\n" +
           core::decimalText(static_cast<std::int64_t>(output.out.size())) + "\n" + output.out +
           output.err;
}

std::optional<CommandOutput> parseOutputBytes(std::string_view bytes) {
    const std::size_t first = bytes.find('\n');
    const std::size_t second =
        first == std::string_view::npos ? first : bytes.find('\n', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto code = core::digitsNumber(bytes.substr(0, first), 9);
    const auto length = core::digitsNumber(bytes.substr(first + 1, second - first - 1), 9);
    const std::string_view texts = bytes.substr(second + 1);
    if (!code || *code > kExitWrongUse || !length ||
        static_cast<std::size_t>(*length) > texts.size()) {
        return std::nullopt;
    }
    const auto split = static_cast<std::size_t>(*length);
    return CommandOutput{static_cast<int>(*code), std::string(texts.substr(0, split)),
                         std::string(texts.substr(split))};
}

} // namespace presenter
