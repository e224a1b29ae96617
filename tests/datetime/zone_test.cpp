#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qnzone.h>
#include <climits>
#include <ctime>
#include <string>

namespace {

// A wall-clock `tm` with consistent weekday.
tm wallClock(unsigned day, unsigned month, unsigned year, int hour, int minute, int second = 0) {
    tm t;
    QNDate(day, month, year).extract(&t);
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

struct Boundary {
    int mday, mon, hour, min;
};

Boundary beginOf(const QNZone& zone, int year) {
    tm t{};
    t.tm_year = year - 1900;
    zone.getBeginDaylight(&t);
    return {t.tm_mday, t.tm_mon + 1, t.tm_hour, t.tm_min};
}

Boundary endOf(const QNZone& zone, int year) {
    tm t{};
    t.tm_year = year - 1900;
    zone.getEndDaylight(&t);
    return {t.tm_mday, t.tm_mon + 1, t.tm_hour, t.tm_min};
}

bool sameBoundary(const Boundary& a, const Boundary& b) {
    return a.mday == b.mday && a.mon == b.mon && a.hour == b.hour && a.min == b.min;
}

bool isCleared(const tm& t) {
    return t.tm_sec == INT_MIN && t.tm_min == INT_MIN && t.tm_hour == INT_MIN &&
           t.tm_mday == INT_MIN && t.tm_mon == INT_MIN && t.tm_year == INT_MIN &&
           t.tm_wday == INT_MIN && t.tm_yday == INT_MIN && t.tm_isdst == INT_MIN;
}

TEST(QNDaylightSchedule, NorthAmericanHistory) {
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1997), {6, 4, 2, 0}));
    EXPECT_TRUE(sameBoundary(endOf(eastern, 1997), {26, 10, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1987), {5, 4, 2, 0}));   // first Sunday
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1986), {27, 4, 2, 0}));  // last Sunday
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1976), {25, 4, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1975), {23, 2, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1974), {6, 1, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1970), {5, 4, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1967), {2, 4, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1966), {24, 4, 2, 0}));
    EXPECT_TRUE(sameBoundary(endOf(eastern, 1966), {30, 10, 2, 0}));
    EXPECT_TRUE(sameBoundary(beginOf(eastern, 1901), {28, 4, 2, 0}));
}

TEST(QNDaylightSchedule, WesternEuropeanAndLeapFebruary) {
    const QNZoneSimple met(QNZone::middleEuropean, QNZone::westernEuropean);
    EXPECT_TRUE(sameBoundary(beginOf(met, 1997), {30, 3, 2, 0}));
    EXPECT_TRUE(sameBoundary(endOf(met, 1997), {28, 9, 2, 0}));
    // Last Sunday of a leap February falls on the 29th.
    const QNDaylightRule rule{nullptr, 0, true, {1, 4, 0, 90}, {9, 4, 0, 120}};
    const QNZoneSimple zone(&rule, 0, "A", -3600, "B");
    EXPECT_TRUE(sameBoundary(beginOf(zone, 2004), {29, 2, 1, 30}));
    EXPECT_TRUE(sameBoundary(beginOf(zone, 2003), {23, 2, 1, 30}));
}

TEST(QNDaylightSchedule, BoundaryFillsOnlyItsFields) {
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    tm t{};
    t.tm_year = 97;
    t.tm_yday = 1234;
    t.tm_sec = 59;
    eastern.getEndDaylight(&t);
    EXPECT_EQ(t.tm_year, 97);
    EXPECT_EQ(t.tm_yday, 1234);
    EXPECT_EQ(t.tm_wday, 0);
    EXPECT_EQ(t.tm_sec, 0);
    EXPECT_EQ(t.tm_isdst, -1);
}

TEST(QNDaylightBoundary, AfterComparesMonthDayThenMinute) {
    const QNDaylightBoundary lastSundayOctober{9, 4, 0, 120};
    tm t = wallClock(26, 10, 1997, 2, 0);
    EXPECT_FALSE(lastSundayOctober.after(&t));
    t = wallClock(26, 10, 1997, 1, 59, 59);  // seconds do not count
    EXPECT_TRUE(lastSundayOctober.after(&t));
    t = wallClock(25, 10, 1997, 23, 59);
    EXPECT_TRUE(lastSundayOctober.after(&t));
    t = wallClock(27, 10, 1997, 0, 0);
    EXPECT_FALSE(lastSundayOctober.after(&t));
    t = wallClock(31, 9, 1997, 23, 0);  // earlier month, whatever the day
    EXPECT_TRUE(lastSundayOctober.after(&t));
    t = wallClock(1, 11, 1997, 0, 0);
    EXPECT_FALSE(lastSundayOctober.after(&t));

    // The nth weekday is found from any day of the month.
    const QNDaylightBoundary secondTuesdayMay{4, 1, 2, 0};
    for (unsigned d = 1; d <= 31; ++d) {
        t = wallClock(d, 5, 1997, 0, 0);
        tm placed = t;
        secondTuesdayMay.date(&placed);
        EXPECT_EQ(placed.tm_mday, 13) << "from day " << d;
    }

    // A negative week means a fixed day of the month.
    const QNDaylightBoundary fifteenthJune{5, -1, 15, 60};
    t = wallClock(15, 6, 1997, 0, 59);
    EXPECT_TRUE(fifteenthJune.after(&t));
    t = wallClock(15, 6, 1997, 1, 0);
    EXPECT_FALSE(fifteenthJune.after(&t));
}

TEST(QNDaylightRule, NorthernAndSouthernSchedules) {
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    tm t = wallClock(6, 4, 1997, 1, 59);
    EXPECT_FALSE(eastern.isDaylight(&t));
    t = wallClock(6, 4, 1997, 2, 0);
    EXPECT_TRUE(eastern.isDaylight(&t));
    t = wallClock(26, 10, 1997, 1, 59);
    EXPECT_TRUE(eastern.isDaylight(&t));
    t = wallClock(26, 10, 1997, 2, 0);
    EXPECT_FALSE(eastern.isDaylight(&t));

    // Begins in October, ends in March: daylight across the turn of the year.
    const QNDaylightRule south{nullptr, 0, true, {9, 0, 0, 120}, {2, 4, 0, 180}};
    EXPECT_TRUE(south.isDaylight(&(t = wallClock(15, 1, 1997, 12, 0))));
    EXPECT_FALSE(south.isDaylight(&(t = wallClock(15, 6, 1997, 12, 0))));
    EXPECT_TRUE(south.isDaylight(&(t = wallClock(30, 3, 1997, 2, 59))));
    EXPECT_FALSE(south.isDaylight(&(t = wallClock(30, 3, 1997, 3, 0))));
    EXPECT_FALSE(south.isDaylight(&(t = wallClock(5, 10, 1997, 1, 59))));
    EXPECT_TRUE(south.isDaylight(&(t = wallClock(5, 10, 1997, 2, 0))));
    EXPECT_TRUE(south.isDaylight(&(t = wallClock(31, 12, 1997, 23, 59))));

    QNDaylightRule unobserved{nullptr, 0, false, {3, 0, 0, 120}, {9, 4, 0, 120}};
    EXPECT_FALSE(unobserved.isDaylight(&(t = wallClock(1, 7, 1997, 12, 0))));
}

TEST(QNDaylightRule, AssignmentCopiesOnlyTheBoundaries) {
    const QNDaylightRule source{nullptr, 1990, true, {1, 2, 3, 4}, {5, 6, 0, 7}};
    QNDaylightRule target{&source, 2000, false, {0, 0, 0, 0}, {0, 0, 0, 0}};
    target = source;
    EXPECT_EQ(target.next, &source);
    EXPECT_EQ(target.firstYear, 2000);
    EXPECT_FALSE(target.observed);
    EXPECT_EQ(target.begin.week, 2);
    EXPECT_EQ(target.end.minute, 7);
}

TEST(QNDaylightRule, LookupByFirstYear) {
    const QNDaylightRule since1990{nullptr, 1990, true, {3, 0, 0, 120}, {9, 4, 0, 120}};
    const QNZoneSimple zone(&since1990, 18000, "EST", 14400, "EDT");
    tm t = wallClock(1, 7, 1980, 12, 0);
    EXPECT_FALSE(zone.isDaylight(&t));
    t = wallClock(1, 7, 1990, 12, 0);
    EXPECT_TRUE(zone.isDaylight(&t));
    t = tm{};
    t.tm_year = 80;
    zone.getBeginDaylight(&t);
    EXPECT_TRUE(isCleared(t));

    // Years are compared as 16-bit values: 67536 reads as 2000, and 34768 as
    // a negative year that even a year-0 rule does not cover.
    t = tm{};
    t.tm_year = 67536 - 1900;
    zone.getEndDaylight(&t);
    EXPECT_EQ(t.tm_mon, 9);
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    t = tm{};
    t.tm_year = 34768 - 1900;
    eastern.getBeginDaylight(&t);
    EXPECT_TRUE(isCleared(t));

    // An unobserved rule in the chain switches daylight saving off for its years.
    const QNDaylightRule off{&since1990, 2000, false, {3, 0, 0, 120}, {9, 4, 0, 120}};
    const QNZoneSimple suspended(&off, 18000, "EST", 14400, "EDT");
    t = wallClock(1, 7, 2001, 12, 0);
    EXPECT_FALSE(suspended.isDaylight(&t));
    t = tm{};
    t.tm_year = 101;
    suspended.getBeginDaylight(&t);
    EXPECT_TRUE(isCleared(t));
}

TEST(QNZone, BuiltInRules) {
    EXPECT_EQ(QNZone::dstRule(QNZone::noDST), nullptr);
    ASSERT_NE(QNZone::dstRule(QNZone::northAmerican), nullptr);
    ASSERT_NE(QNZone::dstRule(QNZone::westernEuropean), nullptr);
    EXPECT_EQ(QNZone::dstRule(QNZone::northAmerican)->firstYear, 1987);
    EXPECT_EQ(QNZone::dstRule(QNZone::westernEuropean)->next, nullptr);
    EXPECT_EQ(QNZone::dstRule(QNZone::northAmerican), QNZone::dstRule(QNZone::northAmerican));
    EXPECT_EQ(QNZone::dstRule(static_cast<QNZone::DstRule>(3)), nullptr);
    EXPECT_EQ(QNZone::dstRule(static_cast<QNZone::DstRule>(-1)), nullptr);
}

TEST(QNZoneSimple, StandardZoneTable) {
    for (int v = -12; v <= 11; ++v) {
        const auto id = static_cast<QNZone::StdZone>(v);
        const QNZoneSimple plain(id, QNZone::noDST);
        const QNZoneSimple dst(id, QNZone::northAmerican);
        EXPECT_EQ(plain.timeZoneOffset(), v * 3600L);
        EXPECT_EQ(plain.altZoneOffset(), v * 3600L);
        EXPECT_FALSE(plain.daylightObserved());
        EXPECT_EQ(plain.altZoneName(), plain.timeZoneName());
        EXPECT_EQ(dst.timeZoneName(), plain.timeZoneName());
        EXPECT_EQ(dst.altZoneOffset(), (v - 1) * 3600L);
        EXPECT_TRUE(dst.daylightObserved());
        // The numbered rows name the offset east of Greenwich.
        if (v <= -3 || (v >= 1 && v <= 4) || v >= 10) {
            const auto gmt = [](int hoursWest) {
                return std::string("GMT") + (hoursWest < 0 ? "+" : "-") +
                       std::to_string(hoursWest < 0 ? -hoursWest : hoursWest);
            };
            EXPECT_EQ(dst.timeZoneName(), gmt(v));
            EXPECT_EQ(dst.altZoneName(), gmt(v + 1)) << v;
        }
    }
    struct Named {
        int value;
        const char* standard;
        const char* daylight;
    };
    const Named named[] = {{-2, "EET", "EET DST"}, {-1, "MET", "MET DST"}, {0, "GMT", "WET DST"},
                           {5, "EST", "EDT"},      {6, "CST", "CDT"},      {7, "MST", "MDT"},
                           {8, "PST", "PDT"},      {9, "YST", "YDT"}};
    for (const Named& row : named) {
        const QNZoneSimple z(static_cast<QNZone::StdZone>(row.value), QNZone::northAmerican);
        EXPECT_EQ(z.timeZoneName(), row.standard);
        EXPECT_EQ(z.altZoneName(), row.daylight);
    }
    // No row: offsets by the formula, no names.
    const QNZoneSimple off(static_cast<QNZone::StdZone>(12), QNZone::noDST);
    EXPECT_EQ(off.timeZoneOffset(), 43200);
    EXPECT_TRUE(off.timeZoneName().empty());
}

TEST(QNZoneSimple, Constructors) {
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    EXPECT_EQ(eastern.timeZoneOffset(), 18000);
    EXPECT_EQ(eastern.altZoneOffset(), 14400);
    EXPECT_EQ(eastern.timeZoneName(), "EST");
    EXPECT_EQ(eastern.altZoneName(), "EDT");

    const QNZoneSimple met(QNZone::middleEuropean, QNZone::westernEuropean);
    EXPECT_EQ(met.timeZoneOffset(), -3600);
    EXPECT_EQ(met.altZoneOffset(), -7200);
    EXPECT_EQ(met.altZoneName(), "MET DST");

    const QNZoneSimple gmt(QNZone::greenwich, QNZone::noDST);
    EXPECT_EQ(gmt.altZoneName(), "GMT");
    EXPECT_FALSE(gmt.daylightObserved());

    const QNZoneSimple west1(QNZone::west1, QNZone::dstRule(QNZone::northAmerican));
    EXPECT_EQ(west1.timeZoneName(), "GMT-1");
    EXPECT_EQ(west1.altZoneName(), "GMT-2");
    EXPECT_EQ(west1.timeZoneOffset(), 3600);
    EXPECT_EQ(west1.altZoneOffset(), 0);

    const QNZoneSimple fixed(18000, "XST");
    EXPECT_EQ(fixed.altZoneOffset(), 18000);
    EXPECT_EQ(fixed.altZoneName(), "XST");
    EXPECT_FALSE(fixed.daylightObserved());
    tm t = wallClock(1, 7, 1997, 12, 0);
    EXPECT_FALSE(fixed.isDaylight(&t));
    fixed.getBeginDaylight(&t);
    EXPECT_TRUE(isCleared(t));

    // Copies share the caller's rule.
    const QNDaylightRule rule{nullptr, 0, true, {3, 0, 0, 120}, {9, 4, 0, 120}};
    QNZoneSimple copy(fixed);
    copy = QNZoneSimple(&rule, 1, "A", 2, "B");
    t = wallClock(1, 7, 1997, 12, 0);
    EXPECT_TRUE(copy.isDaylight(&t));
    EXPECT_EQ(copy.altZoneName(), "B");
}

}  // namespace
