#include "storage/plan_history.h"

#include "core/iso_date.h"
#include "core/plan.h"
#include "core/range.h"
#include "core/texts.h"
#include "storage/settings_file.h"

namespace storage {

namespace {

using EntryKind = platform::FileSystem::EntryKind;

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

int monthIndex(const core::PlanChange& change) {
    return change.year * 12 + change.month - 1;
}

std::optional<core::PlanChange> parseLine(std::string_view line) {
    if (line.size() < 9 || line[7] != ' ') {
        return std::nullopt;
    }
    const auto month = core::isoMonthShape(line.substr(0, 7));
    const std::string_view seconds = line.substr(8);
    if (!month || !month->isValid() || *month < core::kFirstListDate ||
        *month > core::kLastListDate || !core::allDigits(seconds) || seconds.size() > 5) {
        return std::nullopt;
    }
    std::int32_t allowance = 0;
    for (const char c : seconds) {
        allowance = allowance * 10 + (c - '0');
    }
    // Only the writer's own digits: a known plan, without leading zeros.
    if (!core::planForAllowance(allowance) || core::decimalText(allowance) != seconds) {
        return std::nullopt;
    }
    return core::PlanChange{month->year, month->month, allowance};
}

} // namespace

std::string planHistoryText(const std::vector<core::PlanChange>& changes) {
    std::string text;
    for (const core::PlanChange& change : changes) {
        text += core::isoMonthText(change.year, change.month) + " " +
                core::decimalText(change.dailyAllowance) + "\n";
    }
    return text;
}

std::optional<std::vector<core::PlanChange>> parsePlanHistory(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kPlanHistoryMaxBytes) {
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.ends_with('\n')) {
        return std::nullopt;
    }
    std::vector<core::PlanChange> changes;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const auto change = parseLine(text.substr(start, end - start));
        if (!change || (!changes.empty() && monthIndex(changes.back()) >= monthIndex(*change))) {
            return std::nullopt;
        }
        changes.push_back(*change);
        start = end + 1;
    }
    return changes;
}

core::PlanSchedule PlanHistory::schedule(std::int32_t current) const {
    return state == PlanHistoryState::Stored ? core::PlanSchedule(changes)
                                             : core::PlanSchedule(current);
}

PlanHistory loadPlanHistory(platform::FileSystem& files) {
    PlanHistory history;
    const auto bytes = files.readFile(kPlanHistoryFileName, kPlanHistoryMaxBytes + 1);
    if (bytes) {
        const auto changes = parsePlanHistory(*bytes);
        history.state = changes ? PlanHistoryState::Stored : PlanHistoryState::Damaged;
        history.changes = changes.value_or(std::vector<core::PlanChange>{});
        return history;
    }
    history.error = files.lastError();
    const auto kind = files.entryKind(kPlanHistoryFileName);
    history.state = kind == EntryKind::Missing ? PlanHistoryState::NoFile
                    : kind == EntryKind::Other ? PlanHistoryState::Damaged
                                               : PlanHistoryState::Unreadable;
    if (history.state != PlanHistoryState::Unreadable) {
        history.error = 0;
    }
    return history;
}

PlanChangeOutcome changePlan(platform::FileSystem& files, const core::Date& from,
                             std::int32_t dailyAllowance, const core::Date& today) {
    const PlanHistory history = loadPlanHistory(files);
    SettingsFile settingsFile(files);
    const SettingsFile::Loaded settings = settingsFile.load();
    const auto plan = core::planForAllowance(dailyAllowance);
    if (!history.usable() || settings.unreadable || !plan) {
        return PlanChangeOutcome::Damaged;
    }
    std::int32_t current = settings.settings.dailyAllowance;
    if (!core::planForAllowance(current)) {
        current = dailyAllowance; // no plan known before: the new one from the start
    }
    const core::PlanSchedule changed =
        history.schedule(current).changedFrom(from.year, from.month, dailyAllowance, current);
    // The copies first, so that Ångra finds what was there: an empty history copy for none.
    const std::string old =
        history.state == PlanHistoryState::Stored ? planHistoryText(history.changes) : "";
    if (!files.replaceFile(kPlanHistoryCopy, bytesOf(old)) ||
        !files.copyFile(kSettingsFileName, kSettingsCopy, kSettingsFileMaxBytes) ||
        !files.replaceFile(kPlanHistoryFileName, bytesOf(planHistoryText(changed.changes())))) {
        return PlanChangeOutcome::Failed;
    }
    const std::int32_t now = changed.allowanceFor(today.year, today.month);
    if (now != settings.settings.dailyAllowance) {
        const auto inForce = core::planForAllowance(now);
        if (!inForce ||
            !settingsFile.storePlan(inForce->planText, static_cast<std::int16_t>(now))) {
            // The history is the one to go by: put it back as it was, so that the change is
            // all or nothing.
            undoPlanChange(files);
            return PlanChangeOutcome::Failed;
        }
    }
    return PlanChangeOutcome::Changed;
}

bool undoPlanChange(platform::FileSystem& files) {
    const auto history = files.readFile(kPlanHistoryCopy, kPlanHistoryMaxBytes + 1);
    const auto settings = files.readFile(kSettingsCopy, kSettingsFileMaxBytes + 1);
    if (!history || !settings) {
        return false;
    }
    const bool historyBack = history->empty()
                                 ? files.removeFile(kPlanHistoryFileName) ||
                                       files.entryKind(kPlanHistoryFileName) == EntryKind::Missing
                                 : files.replaceFile(kPlanHistoryFileName, *history);
    if (!historyBack || !files.replaceFile(kSettingsFileName, *settings)) {
        return false;
    }
    files.removeFile(kPlanHistoryCopy, platform::FileSystem::FolderFlush::Deferred);
    files.removeFile(kSettingsCopy);
    return true;
}

std::optional<std::int32_t> alignSettings(platform::FileSystem& files, const core::Date& today) {
    SettingsFile settingsFile(files);
    const SettingsFile::Loaded settings = settingsFile.load();
    const PlanHistory history = loadPlanHistory(files);
    if (history.state != PlanHistoryState::Stored || settings.unreadable) {
        return settings.settings.dailyAllowance;
    }
    const std::int32_t now =
        history.schedule(settings.settings.dailyAllowance).allowanceFor(today.year, today.month);
    if (now == settings.settings.dailyAllowance) {
        return now;
    }
    const auto plan = core::planForAllowance(now);
    if (!plan || !settingsFile.storePlan(plan->planText, static_cast<std::int16_t>(now))) {
        return std::nullopt;
    }
    return now;
}

} // namespace storage
