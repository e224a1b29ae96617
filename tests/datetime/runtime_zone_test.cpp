// Zones taken from the C runtime's TZ setting: the process-wide zones, and
// the built-in schedules against glibc (mktime, localtime_r) over 1990-1999.
#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <cstdio>
#include <utility>

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

using tzpeer::summary;

TEST(QNZoneProcess, ZonesFromTheRuntime) {
    ScopedTZ tz("EST5EDT");
    EXPECT_EQ(summary(QNZone::local()), "18000 EST / 14400 EDT observed");
    EXPECT_EQ(summary(QNZone::system()), "18000 EST / 14400 EDT observed");
    EXPECT_NE(&QNZone::system(), &QNZone::local());
    EXPECT_EQ(summary(QNZone::standard()), "18000 EST / 18000 EST");
    // The North American schedule, history included.
    EXPECT_EQ(QNTime::beginDST(1975, QNZone::local()),
              QNTime::beginDST(1975, QNZoneSimple(QNZone::usEastern, QNZone::northAmerican)));

    ScopedTZ mst("MST7");
    char expected[64];  // the runtime's daylight name, whatever it is
    std::snprintf(expected, sizeof expected, "25200 MST / 21600 %s", tzname[1]);
    EXPECT_EQ(summary(QNZone::local()), expected);
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

// Every change of time of 1990-1999 and twice a day in between, both ways,
// under the C runtime's rule of the same schedule.
TEST(QNTimeGlibcPeer, SchedulesAgreeWithTheCRuntime) {
    const QNZoneSimple northAmerican(QNZone::usEastern, QNZone::northAmerican);
    const QNZoneSimple european(QNZone::dstRule(QNZone::westernEuropean), -3600, "CET", -7200,
                                "CEST");
    // First Sunday in October to the third Sunday in March (03:00 daylight).
    const QNDaylightRule southRule{nullptr, 0, true, {9, 0, 0, 120}, {2, 2, 0, 180}};
    const QNZoneSimple south(&southRule, -36000, "AEST", -39600, "AEDT");
    const std::pair<const char*, const QNZone*> cases[] = {
        {"EST5EDT,M4.1.0,M10.5.0", &northAmerican},
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
