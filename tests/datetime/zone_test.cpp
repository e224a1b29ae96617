#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qnzone.h>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

tm wallClock(unsigned day, unsigned month, unsigned year, int hour, int minute) {
    tm t;
    QNDate(day, month, year).extract(&t);
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

// "day/month hh:mm" of a zone's begin or end boundary in `year`, or "cleared".
std::string boundary(const QNZone& zone, int year, bool begin) {
    tm t{};
    t.tm_year = year - 1900;
    t.tm_yday = 77;
    begin ? zone.getBeginDaylight(&t) : zone.getEndDaylight(&t);
    if (t.tm_year == INT_MIN && t.tm_yday == INT_MIN && t.tm_isdst == INT_MIN)
        return "cleared";
    EXPECT_EQ(t.tm_year, year - 1900);
    EXPECT_EQ(t.tm_yday, 77);
    EXPECT_EQ(t.tm_isdst, -1);
    char text[32];
    snprintf(text, sizeof text, "%d/%d %02d:%02d:%02d w%d", t.tm_mday, t.tm_mon + 1, t.tm_hour,
             t.tm_min, t.tm_sec, t.tm_wday);
    return text;
}

TEST(QNDaylightSchedule, BuiltInSchedulesByYear) {
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    EXPECT_EQ(boundary(eastern, 1997, true), "6/4 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1997, false), "26/10 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1987, true), "5/4 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1986, true), "27/4 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1976, true), "25/4 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1975, true), "23/2 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1974, true), "6/1 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1970, true), "5/4 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1966, true), "24/4 02:00:00 w0");
    EXPECT_EQ(boundary(eastern, 1966, false), "30/10 02:00:00 w0");
    const QNZoneSimple met(QNZone::middleEuropean, QNZone::westernEuropean);
    EXPECT_EQ(boundary(met, 1997, true), "30/3 02:00:00 w0");
    EXPECT_EQ(boundary(met, 1997, false), "28/9 02:00:00 w0");
    EXPECT_EQ(QNZone::dstRule(QNZone::noDST), nullptr);
    EXPECT_EQ(QNZone::dstRule(static_cast<QNZone::DstRule>(3)), nullptr);
}

TEST(QNDaylightSchedule, CallersChainAndSixteenBitYears) {
    // Last Sunday of February at 01:30: the 29th in a leap year.
    const QNDaylightRule since1990{nullptr, 1990, true, {1, 4, 0, 90}, {9, 4, 0, 120}};
    const QNDaylightRule off2010{&since1990, 2010, false, {3, 0, 0, 120}, {9, 4, 0, 120}};
    const QNZoneSimple zone(&off2010, 18000, "EST", 14400, "EDT");
    EXPECT_EQ(boundary(zone, 2004, true), "29/2 01:30:00 w0");
    EXPECT_EQ(boundary(zone, 2003, true), "23/2 01:30:00 w0");
    EXPECT_EQ(boundary(zone, 1980, true), "cleared");
    EXPECT_EQ(boundary(zone, 2011, true), "cleared");  // rule not observed
    tm t = wallClock(1, 7, 1980, 12, 0);
    EXPECT_FALSE(zone.isDaylight(&t));
    t = wallClock(1, 7, 1995, 12, 0);
    EXPECT_TRUE(zone.isDaylight(&t));
    t = wallClock(1, 7, 2011, 12, 0);
    EXPECT_FALSE(zone.isDaylight(&t));
    // Rule lookup truncates years to 16 bits: 67540 finds the rule of 1990
    // through 2004 (a full compare would find the unobserved one), while the
    // calendar stays that of 67540. 34768 reads as a negative year that even a
    // year-0 rule does not cover.
    EXPECT_EQ(boundary(zone, 67540, true), "25/2 01:30:00 w0");
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    EXPECT_EQ(boundary(eastern, 34768, true), "cleared");
}

TEST(QNDaylightBoundary, AfterIsStrictlyBeforeTheBoundaryMinute) {
    const QNDaylightBoundary lastSundayOctober{9, 4, 0, 120};
    tm t = wallClock(26, 10, 1997, 2, 0);
    EXPECT_FALSE(lastSundayOctober.after(&t));
    t = wallClock(26, 10, 1997, 1, 59);
    t.tm_sec = 59;
    EXPECT_TRUE(lastSundayOctober.after(&t));
    t = wallClock(27, 10, 1997, 0, 0);
    EXPECT_FALSE(lastSundayOctober.after(&t));
    t = wallClock(31, 9, 1997, 23, 0);  // an earlier month, whatever the day
    EXPECT_TRUE(lastSundayOctober.after(&t));
    // The second Tuesday is found from a day late in the month too.
    const QNDaylightBoundary secondTuesdayMay{4, 1, 2, 0};
    t = wallClock(30, 5, 1997, 0, 0);
    secondTuesdayMay.date(&t);
    EXPECT_EQ(t.tm_mday, 13);
    // A negative week names a fixed day.
    const QNDaylightBoundary fifteenthJune{5, -1, 15, 60};
    t = wallClock(15, 6, 1997, 0, 59);
    EXPECT_TRUE(fifteenthJune.after(&t));
}

TEST(QNDaylightBoundary, DayFormulaAgreesWithCountingWeekdays) {
    // Every month of a common year, a leap year and a century that is not
    // leap; every occurrence and weekday; placed from every day of the month.
    for (unsigned year : {1999u, 2000u, 2100u}) {
        for (unsigned month = 1; month <= 12; ++month) {
            const unsigned length = QNDate::daysInMonthYear(month, year);
            for (int weekday = 0; weekday < 7; ++weekday) {
                std::vector<int> occurrences;
                for (unsigned day = 1; day <= length; ++day) {
                    if (wallClock(day, month, year, 0, 0).tm_wday == weekday)
                        occurrences.push_back(static_cast<int>(day));
                }
                for (int week = 0; week <= 5; ++week) {
                    const int expected = week < 4 ? occurrences[week] : occurrences.back();
                    const QNDaylightBoundary b{static_cast<int>(month) - 1, week, weekday, 90};
                    for (unsigned from = 1; from <= length; ++from) {
                        tm t = wallClock(from, month, year, 0, 0);
                        b.date(&t);
                        ASSERT_EQ(t.tm_mday, expected)
                            << year << '/' << month << " week " << week << " weekday " << weekday
                            << " from " << from;
                        ASSERT_EQ(t.tm_hour * 60 + t.tm_min, 90);
                    }
                    tm at = wallClock(static_cast<unsigned>(expected), month, year, 1, 29);
                    EXPECT_TRUE(b.after(&at));
                    at.tm_min = 30;
                    EXPECT_FALSE(b.after(&at));
                    if (expected > 1) {
                        tm dayBefore =
                            wallClock(static_cast<unsigned>(expected) - 1, month, year, 23, 59);
                        EXPECT_TRUE(b.after(&dayBefore));
                    }
                }
            }
        }
    }
}

TEST(QNDaylightRule, SouthernScheduleAndAssignment) {
    // Begins in October, ends in March: daylight across the turn of the year.
    const QNDaylightRule south{nullptr, 0, true, {9, 0, 0, 120}, {2, 4, 0, 180}};
    tm t = wallClock(15, 1, 1997, 12, 0);
    EXPECT_TRUE(south.isDaylight(&t));
    t = wallClock(15, 6, 1997, 12, 0);
    EXPECT_FALSE(south.isDaylight(&t));
    t = wallClock(5, 10, 1997, 2, 0);
    EXPECT_TRUE(south.isDaylight(&t));

    QNDaylightRule target{&south, 2000, false, {0, 0, 0, 0}, {0, 0, 0, 0}};
    target = south;  // copies the boundaries only
    EXPECT_EQ(target.firstYear, 2000);
    EXPECT_FALSE(target.observed);
    EXPECT_EQ(target.end.minute, 180);
    EXPECT_FALSE(target.isDaylight(&(t = wallClock(15, 1, 1997, 12, 0))));
}

TEST(QNZoneSimple, StandardZoneTable) {
    const auto gmt = [](int west) {
        return "GMT" + std::string(west < 0 ? "+" : "-") + std::to_string(west < 0 ? -west : west);
    };
    const char* named[][2] = {{"EET", "EET DST"}, {"MET", "MET DST"}, {"GMT", "WET DST"},
                              {"EST", "EDT"},     {"CST", "CDT"},     {"MST", "MDT"},
                              {"PST", "PDT"},     {"YST", "YDT"}};
    for (int v = -12; v <= 11; ++v) {
        const auto id = static_cast<QNZone::StdZone>(v);
        const QNZoneSimple plain(id, QNZone::noDST);
        const QNZoneSimple dst(id, QNZone::dstRule(QNZone::northAmerican));
        std::string standard = gmt(v), daylight = gmt(v + 1);
        if (v >= -2 && v <= 0)
            standard = named[v + 2][0], daylight = named[v + 2][1];
        if (v >= 5 && v <= 9)
            standard = named[v - 2][0], daylight = named[v - 2][1];
        EXPECT_EQ(dst.timeZoneName(), standard) << v;
        EXPECT_EQ(dst.altZoneName(), daylight) << v;
        EXPECT_EQ(dst.timeZoneOffset(), v * 3600L);
        EXPECT_EQ(dst.altZoneOffset(), (v - 1) * 3600L);
        EXPECT_TRUE(dst.daylightObserved());
        EXPECT_EQ(plain.altZoneName(), standard);
        EXPECT_EQ(plain.altZoneOffset(), v * 3600L);
        EXPECT_FALSE(plain.daylightObserved());
    }
    const QNZoneSimple fixed(18000, "XST");
    EXPECT_EQ(fixed.altZoneOffset(), 18000);
    EXPECT_EQ(fixed.altZoneName(), "XST");
    EXPECT_EQ(boundary(fixed, 1997, true), "cleared");
    tm t = wallClock(1, 7, 1997, 12, 0);
    EXPECT_FALSE(fixed.isDaylight(&t));
}

}  // namespace
