// Instants read in zones, daylight-saving schedules and simple zones, and the
// process-wide zones taken from the C runtime's TZ setting.
#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tz_peer.h"

namespace {

using tzpeer::kUnixToCount;
using tzpeer::utcCount;

const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
const QNZoneSimple fixed{18000, "EST"};

// The reading of `t` in `zone`, or the universal reading without a zone.
std::string read(const QNTime& t, const QNZone* zone = nullptr) {
    tm x;
    zone ? t.extract(&x, *zone) : t.extractGMT(&x);
    return x.tm_year == INT_MIN && x.tm_isdst == INT_MIN ? "cleared" : tzpeer::describe(x);
}

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

TEST(QNTime, CountMatchesTheCClock) {
    // Every week across the whole range, pre-1970 negative time_t included.
    for (std::int64_t s = 1; s <= UINT32_MAX; s += 7 * 86400 + 3599) {
        const time_t unix = static_cast<time_t>(s - kUnixToCount);
        tm expected;
        ASSERT_NE(gmtime_r(&unix, &expected), nullptr);
        ASSERT_EQ(read(QNTime(static_cast<unsigned long>(s))), tzpeer::describe(expected)) << s;
        ASSERT_EQ(QNTime(&expected, QNZone::utc()).seconds(), static_cast<unsigned long>(s));
    }
    EXPECT_EQ(read(QNTime(0xFFFFFFFFul)), "2037-02-06 06:28:15 std w5 d36");
    EXPECT_EQ(read(QNTime(0ul)), "1901-01-01 00:00:00 std w2 d0");  // not tested for validity
    const std::int64_t now = static_cast<std::int64_t>(time(nullptr)) + kUnixToCount;
    const auto counted = static_cast<std::int64_t>(QNTime::now().seconds());
    EXPECT_TRUE(counted - now >= 0 && counted - now <= 2) << counted - now;
}

TEST(QNTime, ConstructionAtTheEdgesOfTheRange) {
    EXPECT_EQ(utcCount(1, 1, 1901, 0, 0, 0), 0u);  // the epoch itself is the invalid count
    EXPECT_EQ(QNTime(QNDate(31, 12, 1900), 23, 0, 0, fixed).seconds(), 14400u);
    EXPECT_EQ(QNTime(QNDate(30, 12, 1900), 23, 0, 0, fixed).seconds(), 0u);
    EXPECT_EQ(QNTime(QNDate(0ul), 12, 0, 0, fixed).seconds(), 0u);
    EXPECT_EQ(utcCount(1, 3, 1997, 25, 0),
              utcCount(2, 3, 1997, 1, 0));          // fields are not range-checked
    tm t{0, 0, 12, 4, 6, 97, 1, 0, 0, 0, nullptr};  // weekday, day of year, daylight flag ignored
    EXPECT_EQ(QNTime(&t, eastern).seconds(), utcCount(4, 7, 1997, 16, 0));
}

// The reading does not wrap to 2037 before 1 January 1901 local time, and
// runs on into 2037 east of Greenwich at the top of the range.
TEST(QNTime, ExtractReadsTheClockThatApplies) {
    const QNZoneSimple east(QNZone::east10, QNZone::noDST);
    const std::tuple<unsigned long, const QNZone*, const char*> cases[] = {
        {3600, &fixed, "1900-12-31 20:00:00 std w1 d364"},
        {0xFFFFFFFF, &east, "2037-02-06 16:28:15 std w5 d36"},
        {0, &eastern, "cleared"}};
    for (const auto& [seconds, zone, expected] : cases)
        EXPECT_EQ(read(QNTime(seconds), zone), expected) << seconds;
    EXPECT_EQ(QNTime(utcCount(4, 7, 1997, 16, 5)).minute(eastern), 5u);
    EXPECT_EQ(QNTime(0ul).hour(eastern), 0x80000000u);
}

TEST(QNTime, DaylightBoundaryInstantsAndDates) {
    EXPECT_EQ(QNTime::beginDST(1997, eastern).seconds(), utcCount(6, 4, 1997, 7, 0));
    EXPECT_EQ(QNTime::endDST(1997, eastern).seconds(), utcCount(26, 10, 1997, 6, 0));
    EXPECT_FALSE(QNTime::beginDST(1997, fixed).isValid() || QNTime::endDST(1997, fixed).isValid());

    // 03:30 UTC on 26 October is still 25 October, 23:30 daylight time.
    EXPECT_EQ(QNDate(QNTime(utcCount(26, 10, 1997, 3, 30)), eastern), QNDate(25, 10, 1997));
    EXPECT_EQ(QNDate(QNTime(utcCount(26, 10, 1997, 4, 30)), eastern), QNDate(26, 10, 1997));
    EXPECT_EQ(QNDate(QNTime(utcCount(26, 10, 1997, 4, 30)), fixed), QNDate(25, 10, 1997));
    EXPECT_FALSE(QNDate(QNTime(0ul), eastern).isValid());
}

TEST(QNTime, ArithmeticWrapsAndOrders) {
    QNTime t(0x10000000Aul);  // only 32 bits count
    const std::vector<unsigned long> steps{(++t).seconds(),     (t++).seconds(),
                                           (t--).seconds(),     (--t).seconds(),
                                           (t -= 11).seconds(), (t += 0x100000003ul).seconds()};
    EXPECT_EQ(steps, (std::vector<unsigned long>{11, 11, 12, 10, 0xFFFFFFFF, 2}));

    const QNTime a(100ul), b(200ul);
    EXPECT_EQ(std::make_tuple(a.compareTo(&b), b.compareTo(&a), a.compareTo(&a)),
              std::make_tuple(-1, 1, 0));
    EXPECT_TRUE(a.between(a, b) && b.between(a, b));
    EXPECT_FALSE(a.between(b, a));
    EXPECT_EQ(std::make_tuple(a.max(b), b.max(a), a.min(b), b.min(a)), std::make_tuple(b, b, a, a));
}

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
                for (unsigned day = 1; day <= length; ++day)
                    if (QNDate(day, month, year).weekDay() % 7 == weekday)
                        occurrences.push_back(day);
                for (int week = 0; week <= 5; ++week) {
                    const unsigned expected = week < 4 ? occurrences[week] : occurrences.back();
                    const QNDaylightBoundary b{static_cast<int>(month) - 1, week,
                                               static_cast<int>(weekday), 1439};
                    for (unsigned from = 1; from <= length; ++from) {
                        tm t = at(QNDate(from, month, year), 0, 0);
                        b.date(&t);
                        ASSERT_EQ(std::make_pair(t.tm_mday, t.tm_hour * 100 + t.tm_min),
                                  std::make_pair(static_cast<int>(expected), 2359))
                            << year << '/' << month << " week " << week << " weekday " << weekday
                            << " from " << from;
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
    EXPECT_EQ(tzpeer::summary(fixed), "18000 EST / 18000 EST");
    tm t = at(QNDate(1, 7, 1997), 12, 0);
    EXPECT_FALSE(fixed.isDaylight(&t));
}

// Drops the process-wide zones so the next read rebuilds them from the C
// runtime (what the library's cache release does).
void dropProcessZones() {
    delete QNZone::local(nullptr);
    delete QNZone::standard(nullptr);
    delete QNZone::system(nullptr);
    QNZone::clearUtc();
}

// Runs a scope under a POSIX TZ setting and leaves the C runtime and the
// process-wide zones as they were found.
class ScopedTZ {
  public:
    explicit ScopedTZ(const char* tz) : tz_("TZ", tz) { dropProcessZones(); }
    ~ScopedTZ() { dropProcessZones(); }  // before tz_ restores the setting

  private:
    tzpeer::ScopedEnv tz_;
};

TEST(QNZoneProcess, ZonesFromTheRuntime) {
    ScopedTZ tz("EST5EDT");
    EXPECT_EQ(tzpeer::summary(QNZone::local()), "18000 EST / 14400 EDT observed");
    EXPECT_EQ(tzpeer::summary(QNZone::system()), "18000 EST / 14400 EDT observed");
    EXPECT_NE(&QNZone::system(), &QNZone::local());
    EXPECT_EQ(tzpeer::summary(QNZone::standard()), "18000 EST / 18000 EST");
    // The North American schedule, history included.
    EXPECT_EQ(QNTime::beginDST(1975, QNZone::local()), QNTime::beginDST(1975, eastern));
}

TEST(QNZoneProcess, UtcIsBuiltOnceUntilCleared) {
    const QNZone* first = &QNZone::utc();
    EXPECT_EQ(&QNZone::utc(), first);
    EXPECT_EQ(first->altZoneName(), "GMT");
    QNZone::clearUtc();
    // Hold the freed block so that a rebuilt zone cannot reuse its address.
    const auto blocker = std::make_unique<QNZoneSimple>(0, "X");
    EXPECT_NE(&QNZone::utc(), first);
    EXPECT_EQ(QNZone::utc().timeZoneName(), "GMT");
    QNZone::clearUtc();
    QNZone::clearUtc();  // nothing to clear
}

TEST(QNZoneProcess, SettersReturnThePreviousZone) {
    ScopedTZ tz("EST5EDT");
    EXPECT_EQ(QNZone::local(nullptr), nullptr);  // nothing built yet
    const QNZone* built = &QNZone::local();
    const QNZoneSimple mine(QNZone::usPacific, QNZone::northAmerican);
    EXPECT_EQ(QNZone::local(&mine), built);
    delete built;
    EXPECT_EQ(&QNZone::local(), &mine);
    // The standard zone is derived when first read, from the local zone then.
    EXPECT_EQ(QNZone::standard().timeZoneName(), "PST");
    EXPECT_EQ(QNZone::local(nullptr), &mine);
    // A fresh local zone reads the runtime setting as it is now; without daylight
    // saving its daylight name is the runtime's, whatever it is.
    setenv("TZ", "MST7", 1);
    const std::string mst = tzpeer::summary(QNZone::local());
    EXPECT_EQ(mst, "25200 MST / 21600 " + std::string(tzname[1]));
    EXPECT_EQ(QNZone::standard().timeZoneName(), "PST");

    const QNZone* builtSystem = &QNZone::system();
    EXPECT_EQ(QNZone::system(&mine), builtSystem);
    delete builtSystem;
    EXPECT_EQ(QNZone::system(nullptr), &mine);
    const QNZone* builtStandard = QNZone::standard(&mine);
    EXPECT_EQ(builtStandard->timeZoneName(), "PST");
    delete builtStandard;
    EXPECT_EQ(QNZone::standard(nullptr), &mine);
}

// Every change of time of 1990-1999 and twice a day in between, both ways,
// under the C runtime's rule of the same schedule.
TEST(QNTimeGlibcPeer, SchedulesAgreeWithTheCRuntime) {
    const QNZoneSimple european(QNZone::dstRule(QNZone::westernEuropean), -3600, "CET", -7200,
                                "CEST");
    // First Sunday in October to the third Sunday in March (03:00 daylight).
    const QNDaylightRule southRule{nullptr, 0, true, {9, 0, 0, 120}, {2, 2, 0, 180}};
    const QNZoneSimple south(&southRule, -36000, "AEST", -39600, "AEDT");
    const std::pair<const char*, const QNZone*> cases[] = {
        {"EST5EDT,M4.1.0,M10.5.0", &eastern},
        {"CET-1CEST,M3.5.0,M9.5.0", &european},
        {"AEST-10AEDT,M10.1.0,M3.3.0/3", &south}};
    for (const auto& [setting, zone] : cases) {
        ScopedTZ tz(setting);
        EXPECT_EQ(tzpeer::disagreements({*zone, 1990, 1999}), "") << setting;
    }
    ScopedTZ tz(cases[0].first);  // the local zone built from this setting
    EXPECT_EQ(tzpeer::disagreements({QNZone::local(), 1990, 1999}), "");
}

}  // namespace
