#include "zone_calc.h"

namespace xvkit::tz {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kDaysPerYear = 365;
constexpr std::int64_t kDaysPer4Years = 4 * kDaysPerYear + 1;
constexpr int kFirstYear = 1901;        // day 0; 1904 is the first leap year after it
constexpr int kTuesday = 2;             // 1 January 1901
constexpr int kLastDayOfFebruary = 58;  // 0-based day of the year, leap or not

// Days before each month of a leap year, and the month of each day of one.
constexpr std::array<int, 13> kLeapMonthStart = {0,   31,  60,  91,  121, 152, 182,
                                                 213, 244, 274, 305, 335, 366};
constexpr std::array<unsigned char, 366> kLeapMonthOfDay = [] {
    std::array<unsigned char, 366> months{};
    for (int m = 0; m < 12; ++m) {
        for (int d = kLeapMonthStart[m]; d < kLeapMonthStart[m + 1]; ++d)
            months[d] = static_cast<unsigned char>(m);
    }
    return months;
}();

}  // namespace

void readCivil(std::int64_t s, tm* t) {
    std::int64_t days = s / kSecondsPerDay;
    std::int64_t second = s % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --days;
    }
    XVKIT_DCHECK(days >= -kDaysPerYear && days < 199 * kDaysPerYear);
    int year, dayOfYear;
    bool leap;
    if (days >= 0) {
        const std::int64_t inCycle = days % kDaysPer4Years;
        // The fourth year of a cycle is the leap year; its last day is 1460.
        const std::int64_t yearOfCycle = inCycle == kDaysPer4Years - 1 ? 3 : inCycle / kDaysPerYear;
        year = static_cast<int>(kFirstYear + days / kDaysPer4Years * 4 + yearOfCycle);
        dayOfYear = static_cast<int>(inCycle - yearOfCycle * kDaysPerYear);
        leap = yearOfCycle == 3;
    } else {
        year = kFirstYear - 1;  // 1900, a common year
        dayOfYear = static_cast<int>(kDaysPerYear + days);
        leap = false;
    }
    // Days of a common year after February move up one to the leap layout.
    const int leapDay = dayOfYear + (!leap && dayOfYear > kLastDayOfFebruary ? 1 : 0);
    const int month = kLeapMonthOfDay[static_cast<std::size_t>(leapDay)];
    t->tm_sec = static_cast<int>(second % 60);
    t->tm_min = static_cast<int>(second / 60 % 60);
    t->tm_hour = static_cast<int>(second / 3600);
    t->tm_mday = leapDay - kLeapMonthStart[static_cast<std::size_t>(month)] + 1;
    t->tm_mon = month;
    t->tm_year = year - 1900;
    t->tm_wday = static_cast<int>((days % 7 + 7 + kTuesday) % 7);
    t->tm_yday = dayOfYear;
}

}  // namespace xvkit::tz
