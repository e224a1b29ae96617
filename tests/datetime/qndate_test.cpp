#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <climits>
#include <ctime>

namespace {

void expectDate(const QNDate& d, unsigned day, unsigned month, unsigned year) {
    EXPECT_EQ(d.dayOfMonth(), day);
    EXPECT_EQ(d.month(), month);
    EXPECT_EQ(d.year(), year);
}

TEST(QNDate, IsOneThirtyTwoBitDayNumber) {
    EXPECT_EQ(sizeof(QNDate), 4u);
    EXPECT_EQ(QNDate(1, 1, 2000).binaryStoreSize(), 4u);
    EXPECT_EQ(QNDate(1, 1, 2000).julian(), 2451545u);
    EXPECT_EQ(QNDate(1, 1, 2000).weekDay(), 6u);
    EXPECT_EQ(QNDate(0u, 0u).julian(), 2415386u);
    EXPECT_EQ(QNDate(1, 1, 1901).julian(), 2415386u);
    EXPECT_EQ(QNDate(1, 1, 2000).hash(), 2451545u);
}

TEST(QNDate, ValidatesCalendarInput) {
    EXPECT_FALSE(QNDate(29, 2, 1900).isValid());
    EXPECT_TRUE(QNDate(29, 2, 2000).isValid());
    EXPECT_FALSE(QNDate(29, 2, 2100).isValid());
    EXPECT_FALSE(QNDate(31, 4, 1997).isValid());
    EXPECT_FALSE(QNDate(0, 5, 1997).isValid());
    EXPECT_FALSE(QNDate(1, 13, 1997).isValid());
    EXPECT_FALSE(QNDate(1, 0, 1997).isValid());
    EXPECT_FALSE(QNDate(0ul).isValid());
}

TEST(QNDate, TwoDigitYears) {
    expectDate(QNDate(1, 1, 97), 1, 1, 1997);
    expectDate(QNDate(1, 1, 0), 1, 1, 1900);
    expectDate(QNDate(1, 1, 100), 1, 1, 100);
    EXPECT_FALSE(QNDate(29, 2, 0).isValid());  // 1900 is not leap
}

TEST(QNDate, DayOfYearConstructor) {
    expectDate(QNDate(1u, 100u), 1, 1, 2000);  // the year before is 99, read as 1999
    expectDate(QNDate(1u, 1998u), 1, 1, 1998);
    expectDate(QNDate(366u, 1997u), 1, 1, 1998);
    expectDate(QNDate(366u, 2000u), 31, 12, 2000);
    expectDate(QNDate(0u, 1998u), 31, 12, 1997);
    expectDate(QNDate(31u, 0u), 1, 2, 1901);
    expectDate(QNDate(400u, 1997u), 4, 2, 1998);
}

TEST(QNDate, OverflowedDayNumbersAreRejected) {
    // Years whose day number does not fit 32 bits wrap and fail the reverse check.
    EXPECT_EQ(QNDate::jday(1, 1, 4000000000u), 0u);
    EXPECT_EQ(QNDate::jday(1, 1, 2939806u), 0u);  // 146097 * c no longer fits
    EXPECT_EQ(QNDate::jday(6, 15, 11754508u), 0u);
    EXPECT_EQ(QNDate::jday(12, 31, UINT_MAX), 0u);
    // The last years that do fit still work and round-trip.
    const unsigned long j = QNDate::jday(1, 1, 2939805u);
    ASSERT_NE(j, 0u);
    expectDate(QNDate(j), 1, 1, 2939805u);
}

TEST(QNDate, RoundTripsEveryDayOfFourCenturies) {
    unsigned long expected = QNDate::jday(1, 1, 1800);
    for (unsigned y = 1800; y < 2200; ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            for (unsigned d = 1; d <= QNDate::daysInMonthYear(m, y); ++d, ++expected) {
                const QNDate date(d, m, y);
                ASSERT_EQ(date.julian(), expected) << d << '/' << m << '/' << y;
                ASSERT_EQ(date.month(), m);
                ASSERT_EQ(date.dayOfMonth(), d);
                ASSERT_EQ(date.year(), y);
                ASSERT_EQ(date.day(), date.firstDayOfMonth() + d - 1);
            }
        }
    }
}

TEST(QNDate, AgreesWithTheCRuntimeCalendar) {
    // timegm/gmtime_r are an independent peer for weekday and day of year.
    for (time_t day = -25000; day < 25000; day += 7) {
        const time_t t = day * 86400 + 12 * 3600;
        tm c{};
        gmtime_r(&t, &c);
        tm ours{};
        QNDate(static_cast<unsigned>(c.tm_mday), static_cast<unsigned>(c.tm_mon + 1),
               static_cast<unsigned>(c.tm_year + 1900))
            .extract(&ours);
        ASSERT_EQ(ours.tm_wday, c.tm_wday) << day;
        ASSERT_EQ(ours.tm_yday, c.tm_yday) << day;
        ASSERT_EQ(ours.tm_mday, c.tm_mday);
        ASSERT_EQ(ours.tm_mon, c.tm_mon);
        ASSERT_EQ(ours.tm_year, c.tm_year);
    }
}

TEST(QNDate, MonthTablesAndLeapRules) {
    EXPECT_EQ(QNDate::daysInMonthYear(2, 2000), 29u);
    EXPECT_EQ(QNDate::daysInMonthYear(2, 2100), 28u);
    EXPECT_EQ(QNDate::daysInMonthYear(0, 2000), 0u);
    EXPECT_EQ(QNDate::daysInMonthYear(13, 2000), 0u);
    EXPECT_EQ(QNDate::daysInYear(1996), 366u);
    EXPECT_EQ(QNDate::daysInYear(1900), 365u);
    EXPECT_TRUE(QNDate::leapYear(0));  // year 0 itself, not 1900
    EXPECT_FALSE(QNDate::leapYear(1900));
}

TEST(QNDate, FirstDayOfMonth) {
    EXPECT_EQ(QNDate(5, 5, 2000).firstDayOfMonth(3), 61u);
    EXPECT_EQ(QNDate(5, 5, 1999).firstDayOfMonth(3), 60u);
    EXPECT_EQ(QNDate(5, 5, 2000).firstDayOfMonth(2), 32u);
    EXPECT_EQ(QNDate(5, 5, 2000).firstDayOfMonth(13), 0u);
    EXPECT_EQ(QNDate(5, 5, 2000).firstDayOfMonth(), 122u);
    EXPECT_EQ(QNDate(1, 1, 2000).firstDayOfMonth(1), 1u);
}

TEST(QNDate, NextAndPrevious) {
    const QNDate sunday(2, 1, 2000);
    ASSERT_EQ(sunday.weekDay(), 7u);
    EXPECT_EQ(sunday.next(7).julian(), sunday.julian() + 7);
    EXPECT_EQ(sunday.previous(7).julian(), sunday.julian() - 7);
    EXPECT_EQ(sunday.next(1).julian(), sunday.julian() + 1);
    EXPECT_EQ(sunday.previous(1).julian(), sunday.julian() - 6);
    EXPECT_EQ(sunday.previous(6).julian(), sunday.julian() - 1);
    const QNDate monday(3, 1, 2000);
    EXPECT_EQ(monday.next(7).julian(), monday.julian() + 6);
    EXPECT_EQ(monday.previous(7).julian(), monday.julian() - 1);
}

TEST(QNDate, ExtractFillsTheCConventions) {
    tm t{};
    QNDate(1, 3, 2000).extract(&t);
    EXPECT_EQ(t.tm_yday, 60);
    EXPECT_EQ(t.tm_wday, 3);
    EXPECT_EQ(t.tm_mon, 2);
    EXPECT_EQ(t.tm_mday, 1);
    EXPECT_EQ(t.tm_year, 100);
    EXPECT_EQ(t.tm_isdst, -1);
    EXPECT_EQ(t.tm_hour | t.tm_min | t.tm_sec, 0);
    QNDate(2, 1, 2000).extract(&t);
    EXPECT_EQ(t.tm_wday, 0);  // Sunday

    QNDate(31, 4, 1997).extract(&t);
    for (int field : {t.tm_sec, t.tm_min, t.tm_hour, t.tm_mday, t.tm_mon, t.tm_year, t.tm_wday,
                      t.tm_yday, t.tm_isdst}) {
        EXPECT_EQ(field, INT_MIN);
    }
}

TEST(QNDate, FromTm) {
    tm t{};
    t.tm_mday = 4;
    t.tm_mon = 6;
    t.tm_year = 97;
    t.tm_wday = 99;  // ignored
    expectDate(QNDate(&t), 4, 7, 1997);
    t.tm_mon = 12;
    EXPECT_FALSE(QNDate(&t).isValid());
    t.tm_mon = -1;
    EXPECT_FALSE(QNDate(&t).isValid());
}

TEST(QNDate, ArithmeticWrapsModulo2To32) {
    // Only the low 32 bits of a 64-bit unsigned long are a day number.
    EXPECT_EQ(QNDate(0x100000005ul).julian(), 5u);
    QNDate set(1ul);
    set.julian(0x100000000ul + 2451545);
    EXPECT_EQ(set, QNDate(1, 1, 2000));
    QNDate back(1, 1, 2000);
    back -= 0x100000000ul + 1;
    EXPECT_EQ(back, QNDate(31, 12, 1999));
    QNDate d(0xFFFFFFFFul);
    d += 1;
    EXPECT_EQ(d.julian(), 0u);
    EXPECT_FALSE(d.isValid());
    d -= 1;
    EXPECT_EQ(d.julian(), 0xFFFFFFFFu);
    d += 0x100000002ul;  // only the low 32 bits count
    EXPECT_EQ(d.julian(), 1u);
    QNDate e(10ul);
    EXPECT_EQ((e++).julian(), 10u);
    EXPECT_EQ(e.julian(), 11u);
    EXPECT_EQ((--e).julian(), 10u);
    EXPECT_EQ((e--).julian(), 10u);
    EXPECT_EQ((++e).julian(), 10u);
}

TEST(QNDate, Ordering) {
    const QNDate a(1, 1, 2000), b(2, 1, 2000), c(3, 1, 2000);
    EXPECT_EQ(b.compareTo(&a), 1);
    EXPECT_EQ(b.compareTo(&b), 0);
    EXPECT_EQ(a.compareTo(&b), -1);
    EXPECT_TRUE(b.between(a, c));
    EXPECT_TRUE(a.between(a, c));
    EXPECT_TRUE(c.between(a, c));
    EXPECT_FALSE(b.between(c, a));
    EXPECT_EQ(a.max(b), b);
    EXPECT_EQ(b.max(a), b);
    EXPECT_EQ(a.min(b), a);
    EXPECT_TRUE(a < b);
}

TEST(QNDate, TodayFollowsTheLocalCalendar) {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    const QNDate today;
    // The clock may pass midnight between the two readings.
    const QNDate expected(&local);
    EXPECT_TRUE(today == expected || today.julian() == expected.julian() + 1);
    EXPECT_TRUE(QNDate::now().isValid());
}

}  // namespace
