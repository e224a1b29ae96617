// Zones taken from the C runtime's TZ setting: the process-wide zones, and
// the same instants through glibc (mktime, localtime_r) and through QNTime
// for every hour of 1990-1999.
#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "tz_peer.h"

namespace {

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

// "offset name / offset name", and whether daylight saving is observed.
std::string describe(const QNZone& z) {
    char text[96];
    std::snprintf(text, sizeof text, "%ld %s / %ld %s%s", z.timeZoneOffset(),
                  z.timeZoneName().c_str(), z.altZoneOffset(), z.altZoneName().c_str(),
                  z.daylightObserved() ? " observed" : "");
    return text;
}

TEST(QNZoneProcess, ZonesFromTheRuntime) {
    ScopedTZ tz("EST5EDT");
    EXPECT_EQ(describe(QNZone::local()), "18000 EST / 14400 EDT observed");
    EXPECT_EQ(describe(QNZone::system()), "18000 EST / 14400 EDT observed");
    EXPECT_NE(&QNZone::system(), &QNZone::local());
    EXPECT_EQ(describe(QNZone::standard()), "18000 EST / 18000 EST");
    // The North American schedule, history included.
    EXPECT_EQ(QNTime::beginDST(1975, QNZone::local()),
              QNTime::beginDST(1975, QNZoneSimple(QNZone::usEastern, QNZone::northAmerican)));

    ScopedTZ mst("MST7");
    char expected[64];  // the runtime's daylight name, whatever it is
    std::snprintf(expected, sizeof expected, "25200 MST / 21600 %s", tzname[1]);
    EXPECT_EQ(describe(QNZone::local()), expected);
}

TEST(QNZoneProcess, UtcIsBuiltOnceUntilCleared) {
    const QNZone* first = &QNZone::utc();
    EXPECT_EQ(&QNZone::utc(), first);
    EXPECT_EQ(first->altZoneName(), "GMT");
    QNZone::clearUtc();
    // Hold the freed block so that a rebuilt zone cannot reuse its address.
    const QNZoneSimple* blocker = new QNZoneSimple(0, "X");
    EXPECT_NE(&QNZone::utc(), first);
    EXPECT_EQ(QNZone::utc().timeZoneName(), "GMT");
    delete blocker;
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
    // A fresh local zone reads the runtime setting as it is now.
    setenv("TZ", "MST7", 1);
    EXPECT_EQ(QNZone::local().timeZoneName(), "MST");
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

using tzpeer::kUnixToCount;

bool sameWallClock(const tm& a, const tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
           a.tm_hour == b.tm_hour && a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

// The instant glibc gives a wall-clock time: the earlier of the standard and
// daylight readings that really show that time, or -1 for a skipped time.
time_t glibcInstant(const tm& wall) {
    time_t best = -1;
    for (int isdst : {0, 1}) {
        tm in = wall;
        in.tm_isdst = isdst;
        const time_t t = mktime(&in);
        tm back;
        localtime_r(&t, &back);
        if (sameWallClock(back, wall) && (best == -1 || t < best))
            best = t;
    }
    return best;
}

// Compares both directions for every hour (and the last second of every hour)
// of 1990-1999, skipped and repeated wall-clock hours included.
void compareDecade(const QNZone& zone) {
    const time_t first = static_cast<time_t>(
        QNTime(QNDate(1, 1, 1990), 0, 0, 0, QNZone::utc()).seconds() - kUnixToCount);
    const time_t last = static_cast<time_t>(
        QNTime(QNDate(1, 1, 2000), 0, 0, 0, QNZone::utc()).seconds() - kUnixToCount);
    int daylightHours = 0;
    for (time_t t = first; t < last; t += 3600) {
        for (time_t s : {t, t + 3599}) {
            tm expected, got;
            localtime_r(&s, &expected);
            QNTime(static_cast<unsigned long>(s + kUnixToCount)).extract(&got, zone);
            ASSERT_TRUE(sameWallClock(got, expected)) << "extract of time_t " << s;
            ASSERT_EQ(got.tm_isdst, expected.tm_isdst) << s;
            ASSERT_EQ(got.tm_wday, expected.tm_wday) << s;
            ASSERT_EQ(got.tm_yday, expected.tm_yday) << s;
        }
        daylightHours += QNTime(static_cast<unsigned long>(t + kUnixToCount)).isDST(zone);
    }
    for (QNDate day(1, 1, 1990); day < QNDate(1, 1, 2000); ++day) {
        for (unsigned hour = 0; hour < 24; ++hour) {
            tm wall;
            day.extract(&wall);
            wall.tm_hour = static_cast<int>(hour);
            const time_t expected = glibcInstant(wall);
            const unsigned long want =
                expected == -1 ? 0ul : static_cast<unsigned long>(expected + kUnixToCount);
            ASSERT_EQ(QNTime(day, hour, 0, 0, zone).seconds(), want)
                << day.dayOfMonth() << '/' << day.month() << '/' << day.year() << ' ' << hour;
        }
    }
    // Months of daylight time every year: the comparison covered both clocks.
    EXPECT_GT(daylightHours, 10 * 3000);
    EXPECT_LT(daylightHours, 10 * 6000);
}

TEST(QNTimeGlibcPeer, NorthAmericanRuleOfTheNineties) {
    ScopedTZ tz("EST5EDT,M4.1.0,M10.5.0");
    compareDecade(QNZoneSimple(QNZone::usEastern, QNZone::northAmerican));
    compareDecade(QNZone::local());  // the process-wide zone built from this setting
}

TEST(QNTimeGlibcPeer, WesternEuropeanRule) {
    ScopedTZ tz("CET-1CEST,M3.5.0,M9.5.0");
    compareDecade(QNZoneSimple(QNZone::middleEuropean, QNZone::westernEuropean));
}

TEST(QNTimeGlibcPeer, SouthernHemisphereRule) {
    // First Sunday in October to the third Sunday in March (03:00 daylight).
    ScopedTZ tz("AEST-10AEDT,M10.1.0,M3.3.0/3");
    const QNDaylightRule south{nullptr, 0, true, {9, 0, 0, 120}, {2, 2, 0, 180}};
    compareDecade(QNZoneSimple(&south, -36000, "AEST", -39600, "AEDT"));
}

}  // namespace
