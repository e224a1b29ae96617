// The vocabulary that QNZoneTZ's readers share: a zone's history as a list of
// local time types and the instants at which one gives way to the next, and
// the proleptic Gregorian calendar in 64-bit seconds since 1970.
#ifndef XVKIT_SRC_DATETIME_TZ_HISTORY_H_
#define XVKIT_SRC_DATETIME_TZ_HISTORY_H_

#include <cstdint>
#include <string>
#include <vector>

#include <xvkit/qnzonetz.h>

namespace xvkit::tz {

// Seconds since 1970-01-01 00:00:00 UTC (the C clock), wide enough for any
// instant a zone file or a rule can name.
using Seconds = std::int64_t;

inline constexpr Seconds kSecondsPerDay = 86400;
inline constexpr Seconds kSecondsPerHour = 3600;
// The range of QNTime, 1901 to 2037, in Seconds: counts 0 and 2^32 - 1.
inline constexpr Seconds kFirstInstant = -2177452800;
inline constexpr Seconds kLastCount = QNZoneTZ::lastCount;
inline constexpr Seconds kLastInstant = kFirstInstant + kLastCount;
// Years whose transitions a zone keeps: one more on each side of the range,
// so that the wall clock of its first and last days is answered too.
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2038;

// The offsets a zone may have: those of RFC 8536 (3.2), which also bound a
// POSIX setting's (24:59:59 either way, and an hour more for daylight time).
inline constexpr std::int32_t kMinGmtoff = -89999;
inline constexpr std::int32_t kMaxGmtoff = 93599;

// One kind of local time: its offset EAST of Greenwich (the database's sign),
// whether it is daylight time, and its abbreviation.
struct LocalType {
    std::int32_t gmtoff = 0;
    bool isdst = false;
    std::string abbr;

    bool operator==(const LocalType&) const = default;
};

// From `at` on, local time is `types[type]`.
struct Transition {
    Seconds at;
    std::size_t type;
};

// A zone's local time over all instants: `types[initial]` before the first
// transition, then each transition in turn (sorted, strictly increasing).
struct History {
    std::vector<LocalType> types;
    std::size_t initial = 0;
    std::vector<Transition> transitions;
};

// The calendar here is apart from QNDate's on purpose: QNDate counts Julian
// days in 32 bits that wrap exactly as its contract states, and converts back
// with multiplications tuned to that range, while zone rules need days before
// 1970 (negative counts) and day counts that carry over past a month's end.

// Days from 1970-01-01 to year-month-day of the proleptic Gregorian calendar
// (month 1..12, any day count; days beyond the month carry over).
constexpr std::int64_t daysFromCivil(std::int64_t year, int month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t shifted = month > 2 ? month - 3 : month + 9;  // 0 = March
    const std::int64_t dayOfYear = (153 * shifted + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + (day - 1);
}

struct CivilDay {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

// The calendar day `days` after 1970-01-01.
constexpr CivilDay civilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;  // 0 = March
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// Floor division and its non-negative remainder.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return a - floorDiv(a, b) * b;
}

// The weekday (0 = Sunday .. 6) of the day `days` after 1970-01-01, a Thursday.
constexpr int weekdayOf(std::int64_t days) {
    constexpr int kThursday = 4;
    return static_cast<int>(floorMod(days + kThursday, 7));
}

// The year in which the local reading `local` (Seconds plus an offset) falls.
constexpr std::int64_t yearOf(Seconds local) {
    return civilFromDays(floorDiv(local, kSecondsPerDay)).year;
}

// Local midnight of 1 January of `year`, in local Seconds.
constexpr Seconds startOfYear(std::int64_t year) {
    return daysFromCivil(year, 1, 1) * kSecondsPerDay;
}

static_assert(daysFromCivil(1970, 1, 1) == 0);
static_assert(daysFromCivil(1901, 1, 1) * kSecondsPerDay == kFirstInstant);
static_assert(civilFromDays(daysFromCivil(2024, 2, 29)).day == 29);
static_assert(civilFromDays(-1).year == 1969);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_HISTORY_H_
