#include "core/allowance_notice.h"

#include "core/booking.h"
#include "core/plan.h"
#include "core/texts.h"

namespace core {

namespace {

constexpr const char* kChargeSentence =
    "Tid utöver den kostar 40 öre per bokning och 10 öre per minut.";

// A duration as a phrase within a sentence: durationText without its trailing blank.
std::string durationPhrase(std::int64_t seconds) {
    return std::string(trimBlanks(durationText(seconds)));
}

bool plausible(const DayRecord& day) {
    return day.connectedSeconds >= 0 && day.connectedSeconds <= kSecondsPerDay &&
           day.extraSeconds >= 0 && day.extraSeconds <= kSecondsPerDay;
}

} // namespace

std::optional<AllowanceNotice> allowanceNotice(const DayRecord& before, const DayRecord& after,
                                               std::int32_t dailyAllowance) {
    if (!planForAllowance(dailyAllowance) || !plausible(before) || !plausible(after) ||
        after.connectedSeconds < before.connectedSeconds) {
        return std::nullopt;
    }
    const std::string prepaid = "Dagens förbetalda tid (" + durationPhrase(dailyAllowance) + ")";

    if (before.connectedSeconds <= dailyAllowance && after.connectedSeconds > dailyAllowance) {
        const std::int32_t extra = after.connectedSeconds - dailyAllowance;
        return AllowanceNotice{"Extra tid har börjat",
                               prepaid + " är slut. " + kChargeSentence +
                                   " Extra tid hittills: " + durationPhrase(extra) + "."};
    }

    const std::int32_t leftBefore = dailyAllowance - before.connectedSeconds;
    const std::int32_t leftAfter = dailyAllowance - after.connectedSeconds;
    if (leftBefore >= kAllowanceWarningSeconds && leftAfter >= 0 &&
        leftAfter < kAllowanceWarningSeconds) {
        const std::string what = leftAfter == 0
                                     ? prepaid + " är nu helt använd. "
                                     : prepaid + ": " + durationPhrase(leftAfter) + " kvar. ";
        return AllowanceNotice{"Snart slut på dagens förbetalda tid", what + kChargeSentence};
    }
    return std::nullopt;
}

} // namespace core
