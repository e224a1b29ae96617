// QNDate's day-number conversions against a line-by-line transcription of
// the published algorithm (ACM Collected Algorithm 199) in 32-bit unsigned
// arithmetic, which the library computes more cheaply: no input may differ.
#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <climits>
#include <cstdint>

namespace {

namespace reference {

using u32 = std::uint32_t;

struct Civil {
    u32 month, day, year;
    bool operator==(const Civil&) const = default;
};

Civil mdy(u32 dayNumber) {
    u32 j = dayNumber - 1721119;
    const u32 y = (4 * j - 1) / 146097;
    j = 4 * j - 1 - 146097 * y;
    u32 d = j / 4;
    const u32 j2 = (4 * d + 3) / 1461;
    j = 4 * d + 3 - 1461 * j2;
    d = (j + 4) / 4;
    const u32 m = (5 * d - 3) / 153;
    j = 5 * d - 3 - 153 * m;
    d = (j + 5) / 5;
    Civil c{0, d, 100 * y + j2};
    if (m < 10) {
        c.month = m + 3;
    } else {
        c.month = m - 9;
        c.year += 1;
    }
    return c;
}

bool dayWithinMonth(u32 month, u32 day, u32 year) {
    static const u32 lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return day != 0 && month >= 1 && month <= 12 &&
           day <= lengths[month - 1] + (month == 2 && leap ? 1 : 0);
}

u32 jday(u32 month, u32 day, u32 year) {
    if (year < 100)
        year += 1900;
    if (!dayWithinMonth(month, day, year))
        return 0;
    u32 m, y;
    if (month > 2) {
        m = month - 3;
        y = year;
    } else {
        m = month + 9;
        y = year - 1;
    }
    const u32 c = y / 100;
    const u32 ya = y - 100 * c;
    const u32 j = (146097 * c) / 4 + (1461 * ya) / 4 + (153 * m + 2) / 5 + day + 1721119;
    return mdy(j).year == year ? j : 0;
}

}  // namespace reference

reference::Civil ours(std::uint32_t dayNumber) {
    const QNDate d{static_cast<unsigned long>(dayNumber)};
    return {d.month(), d.dayOfMonth(), d.year()};
}

// 2^24 consecutive days hold every remainder the algorithm's inner steps can
// see (a 400-year cycle is 146097 days); then samples across the whole 32-bit
// range, and the neighbourhoods of both ends of the range and of the day
// numbers whose 4 * j - 1 (j counted from 1 March of the year 0) wraps.
TEST(QNDateReference, DayNumbersSplitTheSame) {
    for (std::uint32_t n = 1721120; n < 1721120 + (1u << 24); ++n)
        ASSERT_EQ(ours(n), reference::mdy(n)) << n;
    for (std::uint64_t n = 0; n <= UINT32_MAX; n += 65521) {
        const auto day = static_cast<std::uint32_t>(n);
        ASSERT_EQ(ours(day), reference::mdy(day)) << n;
    }
    for (std::uint32_t centre : {0u, 1721119u, 1721119u + (1u << 30), 1721119u + (1u << 31),
                                 1721119u + 3u * (1u << 30), UINT32_MAX}) {
        for (std::uint32_t k = 0; k < 400000; ++k) {
            const std::uint32_t n = centre - 200000 + k;  // wraps around 0 on purpose
            ASSERT_EQ(ours(n), reference::mdy(n)) << n;
        }
    }
}

// Every month 0..13 and day 0..32 of the years in each range. Years 0..99
// take the two-digit rule; the calendar repeats every 400 years, so three
// cycles show the formula for every year that cannot wrap. The cheap path ends
// at year 2000000; results wrap from about year 2939805 (the reverse check must
// reject them), 146097 * c wraps from year 2939900, and the whole product wraps
// again every 11758980 years.
TEST(QNDateReference, JdayAgreesOnThreeCalendarCyclesAndWhereResultsWrap) {
    const std::uint64_t ranges[][3] = {{0, 1300, 1},
                                       {1999000, 2001000, 1},
                                       {2939000, 2941000, 1},
                                       {11758000, 11760000, 1},
                                       {UINT32_MAX - 1000, UINT32_MAX, 1},
                                       {0, UINT32_MAX, 1000003}};
    for (const auto& [first, last, step] : ranges) {
        for (std::uint64_t y = first; y <= last; y += step) {
            const auto year = static_cast<std::uint32_t>(y);
            for (std::uint32_t month = 0; month <= 13; ++month) {
                for (std::uint32_t day = 0; day <= 32; ++day) {
                    ASSERT_EQ(QNDate::jday(month, day, year), reference::jday(month, day, year))
                        << day << '/' << month << '/' << year;
                }
            }
        }
    }
}

}  // namespace
