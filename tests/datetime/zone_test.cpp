#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qnzone.h>
#include <climits>
#include <cstdio>
#include <ctime>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tz_peer.h"

namespace {

tm at(const QNDate& day, int hour, int minute) {
    tm t;
    day.extract(&t);
    t.tm_hour = hour;
    t.tm_min = minute;
    return t;
}

// "day/month hh:mm" of a zone's begin or end boundary in `year`, or "cleared".
std::string boundary(const QNZone& zone, int year, bool begin) {
    tm t{0, 0, 0, 0, 0, year - 1900, 0, 77, 0, 0, nullptr};
    begin ? zone.getBeginDaylight(&t) : zone.getEndDaylight(&t);
    if (t.tm_year == INT_MIN && t.tm_yday == INT_MIN && t.tm_isdst == INT_MIN)
        return "cleared";
    // The year and day of year are left alone; the weekday is the day's.
    EXPECT_TRUE(t.tm_year == year - 1900 && t.tm_yday == 77 && t.tm_isdst == -1 && t.tm_sec == 0 &&
                static_cast<int>(QNDate(&t).weekDay() % 7) == t.tm_wday)
        << year;
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d %02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_hour,
                  t.tm_min);
    return text;
}

const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);

TEST(QNDaylightSchedule, BuiltInSchedulesByYear) {
    // North American rules of 1987, 1976, 1975, 1974, 1967 and year 0 (the
    // western European rule is compared with the C runtime).
    const std::tuple<int, const char*, const char*> northAmerican[] = {
        {1987, "5/4 02:00", "25/10 02:00"},  {1986, "27/4 02:00", "26/10 02:00"},
        {1976, "25/4 02:00", "31/10 02:00"}, {1975, "23/2 02:00", "26/10 02:00"},
        {1974, "6/1 02:00", "27/10 02:00"},  {1970, "5/4 02:00", "25/10 02:00"},
        {1967, "2/4 02:00", "29/10 02:00"},  {1966, "24/4 02:00", "30/10 02:00"}};
    for (const auto& [year, begin, end] : northAmerican)
        EXPECT_EQ(boundary(eastern, year, true) + " - " + boundary(eastern, year, false),
                  std::string(begin) + " - " + end);
    // Values other than the three named ones, first of all the next one, give null.
    for (int value : {int{QNZone::noDST}, QNZone::westernEuropean + 1, -1})
        EXPECT_EQ(QNZone::dstRule(static_cast<QNZone::DstRule>(value)), nullptr) << value;
}

TEST(QNDaylightSchedule, CallersChainAndSixteenBitYears) {
    // Last Sunday of February at 01:30: the 29th in a leap year.
    const QNDaylightRule since1990{nullptr, 1990, true, {1, 4, 0, 90}, {9, 4, 0, 120}};
    const QNDaylightRule off2010{&since1990, 2010, false, {3, 0, 0, 120}, {9, 4, 0, 120}};
    const QNZoneSimple zone(&off2010, 18000, "EST", 14400, "EDT");
    EXPECT_EQ(boundary(zone, 2004, true), "29/2 01:30");
    EXPECT_EQ(boundary(zone, 2003, true), "23/2 01:30");
    EXPECT_EQ(boundary(zone, 1980, true), "cleared");  // before the oldest rule
    EXPECT_EQ(boundary(zone, 2011, true), "cleared");  // rule not observed
    for (const auto& [year, daylight] : {std::pair{1980u, false}, {1995u, true}, {2011u, false}}) {
        const tm t = at(QNDate(1, 7, year), 12, 0);
        EXPECT_EQ(zone.isDaylight(&t), daylight) << year;
    }
    // Rule lookup truncates years to 16 bits: 67540 finds the rule of 1990
    // through 2004 (a full compare would find the unobserved one), while the
    // calendar stays that of 67540. 34768 reads as a negative year that even a
    // year-0 rule does not cover.
    EXPECT_EQ(boundary(zone, 67540, true), "25/2 01:30");
    EXPECT_EQ(boundary(eastern, 34768, true), "cleared");
}

// Every month of a common year, a leap year and a century that is not leap;
// every occurrence and weekday, placed from every day of the month; `after`
// around each boundary found. A boundary at 23:59 shows how the minute of the
// day splits into hour and minute.
TEST(QNDaylightBoundary, DayFormulaAgreesWithCountingWeekdays) {
    for (unsigned year : {1999u, 2000u, 2100u}) {
        for (unsigned month = 1; month <= 12; ++month) {
            const unsigned length = QNDate::daysInMonthYear(month, year);
            for (unsigned weekday = 0; weekday < 7; ++weekday) {
                std::vector<unsigned> occurrences;
                for (unsigned day = 1; day <= length; ++day) {
                    if (QNDate(day, month, year).weekDay() % 7 == weekday)
                        occurrences.push_back(day);
                }
                for (int week = 0; week <= 5; ++week) {
                    const unsigned expected = week < 4 ? occurrences[week] : occurrences.back();
                    const QNDaylightBoundary b{static_cast<int>(month) - 1, week,
                                               static_cast<int>(weekday), 1439};
                    for (unsigned from = 1; from <= length; ++from) {
                        tm t = at(QNDate(from, month, year), 0, 0);
                        b.date(&t);
                        ASSERT_EQ(t.tm_mday, static_cast<int>(expected))
                            << year << '/' << month << " week " << week << " weekday " << weekday
                            << " from " << from;
                        ASSERT_EQ(t.tm_hour * 100 + t.tm_min, 2359);
                    }
                    // The minute edges are compared with the C runtime; here the
                    // neighbouring days, whose year is not compared: one in
                    // another year counts by its month alone.
                    const QNDate day(expected, month, year);
                    tm dayBefore = at(QNDate(day) -= 1, 23, 59), on = at(day, 1, 30);
                    tm dayAfter = at(QNDate(day) += 1, 0, 0);
                    EXPECT_EQ(b.after(&dayBefore), dayBefore.tm_year == on.tm_year);
                    EXPECT_EQ(b.after(&dayAfter), dayAfter.tm_year != on.tm_year);
                }
            }
        }
    }
    // A negative week names a fixed day.
    const QNDaylightBoundary fifteenthJune{5, -1, 15, 60};
    tm t = at(QNDate(15, 6, 1997), 0, 59);
    EXPECT_TRUE(fifteenthJune.after(&t));
    fifteenthJune.date(&(t = at(QNDate(2, 6, 1997), 0, 0)));
    EXPECT_EQ(t.tm_mday, 15);
}

// A southern schedule is compared with the C runtime in runtime_zone_test.cpp.
TEST(QNDaylightRule, AssignmentCopiesTheBoundariesOnly) {
    const QNDaylightRule south{nullptr, 0, true, {9, 0, 0, 120}, {2, 4, 0, 180}};
    QNDaylightRule target{&south, 2000, false, {0, 0, 0, 0}, {0, 0, 0, 0}};
    target = south;  // copies the boundaries only
    EXPECT_EQ(std::make_tuple(target.next, target.firstYear, target.observed, target.end.minute),
              std::make_tuple(&south, 2000, false, 180));
}

TEST(QNZoneSimple, StandardZoneTable) {
    const char* names[24][2] = {
        {"GMT+12", "GMT+11"}, {"GMT+11", "GMT+10"}, {"GMT+10", "GMT+9"},  {"GMT+9", "GMT+8"},
        {"GMT+8", "GMT+7"},   {"GMT+7", "GMT+6"},   {"GMT+6", "GMT+5"},   {"GMT+5", "GMT+4"},
        {"GMT+4", "GMT+3"},   {"GMT+3", "GMT+2"},   {"EET", "EET DST"},   {"MET", "MET DST"},
        {"GMT", "WET DST"},   {"GMT-1", "GMT-2"},   {"GMT-2", "GMT-3"},   {"GMT-3", "GMT-4"},
        {"GMT-4", "GMT-5"},   {"EST", "EDT"},       {"CST", "CDT"},       {"MST", "MDT"},
        {"PST", "PDT"},       {"YST", "YDT"},       {"GMT-10", "GMT-11"}, {"GMT-11", "GMT-12"}};
    for (int v = -12; v <= 11; ++v) {
        const auto id = static_cast<QNZone::StdZone>(v);
        const std::string standard = std::to_string(v * 3600) + " " + names[v + 12][0];
        EXPECT_EQ(tzpeer::summary(QNZoneSimple(id, QNZone::dstRule(QNZone::northAmerican))),
                  standard + " / " + std::to_string((v - 1) * 3600) + " " + names[v + 12][1] +
                      " observed");
        EXPECT_EQ(tzpeer::summary(QNZoneSimple(id, QNZone::noDST)), standard + " / " + standard);
    }
    const QNZoneSimple fixed(18000, "XST");
    EXPECT_EQ(tzpeer::summary(fixed), "18000 XST / 18000 XST");
    EXPECT_EQ(boundary(fixed, 1997, true), "cleared");
    tm t = at(QNDate(1, 7, 1997), 12, 0);
    EXPECT_FALSE(fixed.isDaylight(&t));
}

}  // namespace
