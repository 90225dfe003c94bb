#include "core/range.h"

#include "core/date_fields.h"
#include "core/texts.h"

#include <algorithm>

namespace core {

namespace {

// A month counted from the start of year 0: year × 12 + month.
int monthIndex(const Date& date) {
    return date.year * 12 + date.month;
}

Date clampToLists(const Date& date) {
    return std::clamp(date, kFirstListDate, kLastListDate);
}

} // namespace

RangeCheck checkRange(const Date& from, const Date& to) {
    const std::int64_t days = daysBetween(from, to);
    if (days < 0) {
        return RangeCheck::WrongOrder;
    }
    if (days > kLongestRangeDays) {
        return RangeCheck::TooLong;
    }
    return RangeCheck::Accepted;
}

DateRange defaultRange(const Date& today) {
    const Date from = addDays(addMonthsClamped(today, -3), 1);
    return DateRange{clampToLists(from), clampToLists(today)};
}

std::vector<RangeMonth> rangeWalk(const Date& from, const Date& to) {
    std::vector<RangeMonth> months;
    const auto offered = [](const Date& date) {
        return date.isValid() && date >= kFirstListDate && date <= kLastListDate;
    };
    if (!offered(from) || !offered(to) || checkRange(from, to) != RangeCheck::Accepted) {
        return months;
    }
    const int first = monthIndex(from);
    const int last = monthIndex(to);
    for (int index = first; index <= last; ++index) {
        // Month 12 of a year has index year × 12 + 12, which (index − 1) / 12 maps back to it.
        RangeMonth month;
        month.year = (index - 1) / 12;
        month.month = (index - 1) % 12 + 1;
        month.firstDay = index == first ? from.day : 1;
        month.lastDay = index == last ? to.day : 31;
        months.push_back(month);
    }
    return months;
}

int monthBoundaries(const Date& from, const Date& to) {
    return monthIndex(to) - monthIndex(from);
}

void addDay(RangeSums& sums, const DayRecord& day) {
    if (day.connectedSeconds == 0) {
        return;
    }
    sums.connectedSeconds += day.connectedSeconds;
    sums.extraSeconds += day.extraSeconds;
    sums.costOre += day.extraCost;
}

float rangeTotalCost(const RangeTotals& totals) {
    const float extraKronor = totals.sums.costOre / 100.0f;
    return extraKronor + static_cast<float>(totals.feesKronor);
}

RangeTexts rangeTexts(const RangeTotals& totals) {
    RangeTexts texts;
    texts.connected = "Ansluten tid: " + durationText(totals.sums.connectedSeconds);
    texts.extra = "Extra tid: " + durationText(totals.sums.extraSeconds);
    texts.cost =
        "Extra kostnad: " + amountTextOfOre(totals.sums.costOre, AmountPattern::OneIntegerDigit) +
        " kr";
    texts.total =
        "Total kosttnad: " + amountText(rangeTotalCost(totals), AmountPattern::OneIntegerDigit) +
        " kr" + "\n(Fasta kostnaden uppräknas varje hel månad.)";
    return texts;
}

} // namespace core
