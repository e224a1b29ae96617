// The same instants through glibc (mktime, localtime_r) and through QNTime,
// for every hour of 1990-1999, in zones whose POSIX TZ rule matches a QNZone.
#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <algorithm>
#include <cstdint>
#include <ctime>

#include "tz_env.h"

namespace {

constexpr std::int64_t kUnixEpoch = 2177452800;

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
// of 1990-1999.
void compareDecade(const QNZone& zone) {
    const time_t first = static_cast<time_t>(
        QNTime(QNDate(1, 1, 1990), 0, 0, 0, QNZone::utc()).seconds() - kUnixEpoch);
    const time_t last = static_cast<time_t>(
        QNTime(QNDate(1, 1, 2000), 0, 0, 0, QNZone::utc()).seconds() - kUnixEpoch);
    int daylightHours = 0;
    for (time_t t = first; t < last; t += 3600) {
        for (time_t s : {t, t + 3599}) {
            tm expected;
            localtime_r(&s, &expected);
            tm got;
            QNTime(static_cast<unsigned long>(s + kUnixEpoch)).extract(&got, zone);
            ASSERT_TRUE(sameWallClock(got, expected)) << "extract of time_t " << s;
            ASSERT_EQ(got.tm_isdst, expected.tm_isdst) << s;
            ASSERT_EQ(got.tm_wday, expected.tm_wday) << s;
            ASSERT_EQ(got.tm_yday, expected.tm_yday) << s;
        }
        daylightHours += QNTime(static_cast<unsigned long>(t + kUnixEpoch)).isDST(zone);
    }
    // Every wall-clock hour, skipped and repeated ones included.
    for (QNDate day(1, 1, 1990); day < QNDate(1, 1, 2000); ++day) {
        for (unsigned hour = 0; hour < 24; ++hour) {
            tm wall;
            day.extract(&wall);
            wall.tm_hour = static_cast<int>(hour);
            const time_t expected = glibcInstant(wall);
            const unsigned long got = QNTime(day, hour, 0, 0, zone).seconds();
            const unsigned long want =
                expected == -1 ? 0ul : static_cast<unsigned long>(expected + kUnixEpoch);
            ASSERT_EQ(got, want) << day.dayOfMonth() << '/' << day.month() << '/' << day.year()
                                 << ' ' << hour << ":00";
        }
    }
    // Months of daylight time every year: the comparison covered both clocks.
    EXPECT_GT(daylightHours, 10 * 3000);
    EXPECT_LT(daylightHours, 10 * 6000);
}

TEST(QNTimeGlibcPeer, NorthAmericanRuleOfTheNineties) {
    ScopedTZ tz("EST5EDT,M4.1.0,M10.5.0");
    compareDecade(QNZoneSimple(QNZone::usEastern, QNZone::northAmerican));
    // The process-wide local zone built from this runtime setting.
    compareDecade(QNZone::local());
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
