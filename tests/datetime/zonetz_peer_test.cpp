// QNZoneTZ against the C runtime: database zones chosen for their hard cases
// over 1970-2036, and POSIX settings of every form over 1901-2036.
#include <gtest/gtest.h>

#include <string>

#include "tz_peer.h"

namespace {

TEST(QNZoneTZPeer, DatabaseZonesAgreeWithTheCRuntime) {
    const char* const zones[] = {
        "America/New_York",     // the North American rules and their changes
        "Europe/Berlin",        // the European rule, changes at 01:00 UTC
        "Australia/Sydney",     // southern hemisphere
        "America/Sao_Paulo",    // southern, dropped daylight saving in 2019
        "Europe/Dublin",        // negative daylight saving (GMT in winter)
        "Australia/Lord_Howe",  // 30-minute daylight saving
        "Africa/Cairo",         // daylight saving suspended for Ramadan in 2014
        "Europe/Moscow",        // standard offset changed in 2011 and 2014
        "Asia/Tehran",          // half-hour offset, dropped daylight saving in 2022
        "Antarctica/Troll",     // two-hour daylight saving
        "US/Eastern",           // a link
    };
    for (const char* name : zones) {
        XVString why;
        const auto zone = QNZoneTZ::fromDatabase(name, &why);
        ASSERT_TRUE(zone) << name << ": " << why;
        tzpeer::ScopedEnv tz("TZ", name);
        EXPECT_EQ(tzpeer::disagreements({*zone, 1970, 2036}), "") << name;
    }
}

TEST(QNZoneTZPeer, PosixSettingsAgreeWithTheCRuntime) {
    const char* const settings[] = {
        "EST5EDT",                                  // the runtime's default rule
        "EST5EDT,M3.2.0,M11.1.0",                   // month-week-day dates
        "CET-1CEST,M3.5.0,M10.5.0/3",               // last week, explicit time
        "AEST-10AEDT,M10.1.0,M4.1.0/3",             // southern hemisphere
        "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0",     // quoted names, 30-minute saving
        "IST-1GMT0,M10.5.0,M3.5.0/1",               // negative saving
        "XXX3:15YYY2,J60/1:30:15,J300/-1",          // Julian days, negative time
        "ABC-5:45DEF-6:45:30,59/26,300/0",          // zero-based days, time past 24h
        "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1",         // negative times, implicit offset
        "NZST-12NZDT,M9.5.0,M4.1.0/3",              // southern, different weeks
        "PST8PDT7,M4.1.0/2:00:00,M10.5.0/2:00:00",  // explicit daylight offset
        "<+0330>-3:30",                             // no daylight time
        "UTC0",
    };
    // With TZDIR at an empty folder the C runtime reads "EST5EDT" as a
    // setting instead of loading the database file of that name.
    tzpeer::ZoneFolder folder;
    tzpeer::ScopedEnv tzdir("TZDIR", folder.path());
    for (const char* setting : settings) {
        XVString why;
        const auto zone = QNZoneTZ::fromPosix(setting, &why);
        ASSERT_TRUE(zone) << setting << ": " << why;
        EXPECT_EQ(zone->exactFrom(), 1901u) << setting;
        tzpeer::ScopedEnv tz("TZ", setting);
        EXPECT_EQ(tzpeer::disagreements({*zone, 1901, 2036}), "") << setting;
    }
}

}  // namespace
