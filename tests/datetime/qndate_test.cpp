#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <climits>
#include <ctime>
#include <string>
#include <tuple>

#include "tz_peer.h"

namespace {

// "year-month-day" of a date, or "invalid".
std::string ymd(const QNDate& d) {
    return d.isValid() ? std::to_string(d.year()) + "-" + std::to_string(d.month()) + "-" +
                             std::to_string(d.dayOfMonth())
                       : "invalid";
}

// Day/month/year validation and the two-digit rule are jday's, compared with
// the reference in qndate_reference_test.cpp. A day of year counts from the
// end of the year before, read with the two-digit rule (so year 100 counts
// from 1999), or from 1 January 1901 for year 0.
TEST(QNDate, ConstructorsFromDayOfYearAndRecord) {
    const std::tuple<unsigned, unsigned, const char*> daysOfYear[] = {
        {1, 100, "2000-1-1"},    {366, 1997, "1998-1-1"}, {366, 2000, "2000-12-31"},
        {0, 1998, "1997-12-31"}, {400, 1997, "1998-2-4"}, {0, 0, "1901-1-1"},
        {31, 0, "1901-2-1"}};
    for (const auto& [dayOfYear, year, expected] : daysOfYear)
        EXPECT_EQ(ymd(QNDate(dayOfYear, year)), expected) << dayOfYear << " of " << year;
    EXPECT_EQ(ymd(QNDate(15, 6, 11754508)), "invalid");  // its day number wraps 32 bits
    tm t{0, 0, 0, 4, 6, 97, 99, 0, 0, 0, nullptr};       // 4 July 1997; the weekday is ignored
    EXPECT_EQ(ymd(QNDate(&t)), "1997-7-4");
    EXPECT_FALSE(QNDate(0ul).isValid());
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
                              QNDate(5, 5, 2000).firstDayOfMonth(3),
                              QNDate(5, 5, 1999).firstDayOfMonth(3),
                              QNDate(5, 5, 2000).firstDayOfMonth(13)),
              std::make_tuple(29u, 28u, 0u, 0u, 61u, 60u, 0u));
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
    EXPECT_FALSE((++d).isValid());
    EXPECT_EQ((d--).julian(), 0u);
    d += 0x100000002ul;
    EXPECT_EQ((d++).julian(), 1u);
    EXPECT_EQ((--d).julian(), 1u);
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

}  // namespace
