#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <climits>
#include <cstdint>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "tz_peer.h"

namespace {

std::string ymd(const QNDate& d) {
    return std::to_string(d.year()) + "-" + std::to_string(d.month()) + "-" +
           std::to_string(d.dayOfMonth());
}

// A day of year counts from the end of the year before, read with the two-digit
// rule (so year 100 counts from 1999), or from 1 January 1901 for year 0; the
// rest of validation is jday's, compared with the reference below.
TEST(QNDate, ConstructorsFromDayOfYearAndRecord) {
    const std::tuple<unsigned, unsigned, const char*> daysOfYear[] = {
        {1, 100, "2000-1-1"},    {366, 1997, "1998-1-1"}, {366, 2000, "2000-12-31"},
        {0, 1998, "1997-12-31"}, {400, 1997, "1998-2-4"}, {0, 0, "1901-1-1"},
        {31, 0, "1901-2-1"}};
    for (const auto& [dayOfYear, year, expected] : daysOfYear)
        EXPECT_EQ(ymd(QNDate(dayOfYear, year)), expected) << dayOfYear << " of " << year;
    tm t{0, 0, 0, 4, 6, 97, 99, 0, 0, 0, nullptr};  // 4 July 1997; the weekday is ignored
    EXPECT_EQ(ymd(QNDate(&t)), "1997-7-4");
}

// gmtime_r is an independent peer for the whole calendar, 1800 to 2199: day
// numbering, fields, weekday and day of year.
TEST(QNDate, AgreesWithTheCRuntimeOnEveryDayOfFourCenturies) {
    for (long long day = -62091; day < 84006; ++day) {  // days since 1 January 1970
        const time_t at = static_cast<time_t>(day * 86400);
        tm c{};
        ASSERT_NE(gmtime_r(&at, &c), nullptr);
        c.tm_isdst = -1;
        const QNDate date(static_cast<unsigned>(c.tm_mday), static_cast<unsigned>(c.tm_mon + 1),
                          static_cast<unsigned>(c.tm_year + 1900));
        ASSERT_EQ(date.julian(), static_cast<unsigned long>(2440588 + day)) << day;
        tm ours;
        date.extract(&ours);
        ASSERT_EQ(tzpeer::fieldsOf(ours), tzpeer::fieldsOf(c)) << day;
        ASSERT_EQ(date.day(), static_cast<unsigned>(c.tm_yday + 1)) << day;
        ASSERT_EQ(date.firstDayOfMonth(), date.day() + 1 - date.dayOfMonth()) << day;
    }
    tm t;
    QNDate(31, 4, 1997).extract(&t);
    const int m = INT_MIN;
    EXPECT_EQ(tzpeer::fieldsOf(t), std::make_tuple(m, m, m, m, m, m, m, m, m));
}

TEST(QNDate, MonthTablesAndLeapRules) {
    EXPECT_EQ(std::make_tuple(QNDate::daysInMonthYear(2, 2000), QNDate::daysInMonthYear(2, 2100),
                              QNDate::daysInMonthYear(0, 2000), QNDate::daysInMonthYear(13, 2000),
                              QNDate(5, 5, 2000).firstDayOfMonth(13)),
              std::make_tuple(29u, 28u, 0u, 0u, 0u));
    EXPECT_TRUE(QNDate::leapYear(0));  // year 0 itself, not 1900
}

TEST(QNDate, NextAndPreviousFindTheNearestOtherDayOfThatWeekday) {
    for (QNDate d(1, 1, 2000); d < QNDate(8, 1, 2000); ++d) {
        for (unsigned weekday = 1; weekday <= 7; ++weekday) {
            const QNDate next = d.next(weekday), previous = d.previous(weekday);
            const unsigned long ahead = next.julian() - d.julian(),
                                behind = d.julian() - previous.julian();
            EXPECT_TRUE(next.weekDay() == weekday && ahead >= 1 && ahead <= 7) << ahead;
            EXPECT_TRUE(previous.weekDay() == weekday && behind >= 1 && behind <= 7) << behind;
        }
    }
}

TEST(QNDate, ArithmeticWrapsModulo2To32AndOrders) {
    // Only the low 32 bits of a 64-bit unsigned long are a day number.
    QNDate d(0x1FFFFFFFFul);
    const std::vector<unsigned long> steps{(++d).julian(), (d--).julian(),
                                           (d += 0x100000002ul).julian(), (d++).julian(),
                                           (--d).julian()};
    EXPECT_EQ(steps, (std::vector<unsigned long>{0, 0, 1, 1, 1}));
    d.julian(0x100000000ul + 2451545);
    EXPECT_EQ(d -= 0x100000001ul, QNDate(31, 12, 1999));

    const QNDate a(1, 1, 2000), b(2, 1, 2000), c(3, 1, 2000);
    EXPECT_EQ(std::make_tuple(b.compareTo(&a), b.compareTo(&b), a.compareTo(&b)),
              std::make_tuple(1, 0, -1));
    EXPECT_TRUE(b.between(a, c) && a.between(a, c) && c.between(a, c));
    EXPECT_FALSE(b.between(c, a));
    EXPECT_EQ(std::make_tuple(a.max(b), b.max(a), a.min(b), b.min(a)), std::make_tuple(b, b, a, a));
}

TEST(QNDate, TodayFollowsTheLocalCalendar) {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    const QNDate today, expected(&local);
    // The clock may pass midnight between the two readings.
    EXPECT_TRUE(today == expected || today.julian() == expected.julian() + 1);
    EXPECT_TRUE(QNDate::now().isValid());
}

// QNDate's day-number conversions against a line-by-line transcription of
// the published algorithm (ACM Collected Algorithm 199) in 32-bit unsigned
// arithmetic, which the library computes more cheaply: no input may differ.
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
    return m < 10 ? Civil{m + 3, d, 100 * y + j2} : Civil{m - 9, d, 100 * y + j2 + 1};
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
    const u32 m = month > 2 ? month - 3 : month + 9;
    const u32 y = month > 2 ? year : year - 1;
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
    for (std::uint64_t n = 0; n <= UINT32_MAX; n += 65521)
        ASSERT_EQ(ours(std::uint32_t(n)), reference::mdy(std::uint32_t(n))) << n;
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
