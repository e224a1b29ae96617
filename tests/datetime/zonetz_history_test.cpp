// QNZoneTZ over each zone's whole history: period(), extract() and instants()
// against the C runtime over 1901-2037, and values pinned on zone files kept
// in the repository.
#include <gtest/gtest.h>

#include <string>

#include "tz_peer.h"

namespace {

// Zones with hard histories, each over the whole range against the C runtime.
TEST(QNZoneTZHistory, DatabaseZonesAnswerAsTheCRuntimeDoesOverTheWholeRange) {
    const char* const zones[] = {
        "Europe/Moscow",        // offset changes without daylight time (2011, 2014)
        "Asia/Pyongyang",       // 30 minutes back in 2015 and forward in 2018
        "America/Caracas",      // 30 minutes back in 2007 and forward in 2016
        "Pacific/Apia",         // 30 December 2011 skipped across the date line
        "Pacific/Kiritimati",   // a day skipped in 1994/1995
        "Europe/London",        // double summer time 1941-1945 and 1947
        "Europe/Berlin",        // double summer time 1945 and 1947
        "Europe/Lisbon",        // several changes of standard offset
        "Europe/Dublin",        // negative daylight saving
        "Africa/Casablanca",    // negative saving during Ramadan, offset changed in 2018
        "Asia/Kathmandu",       // +05:30 to +05:45 in 1986
        "Pacific/Chatham",      // +12:45 / +13:45
        "Australia/Lord_Howe",  // 30-minute daylight saving
        "Antarctica/Casey",     // offset changed twice in one year (2018)
    };
    for (const char* name : zones) {
        XVString why;
        const auto zone = QNZoneTZ::fromDatabase(name, &why);
        ASSERT_TRUE(zone) << name << ": " << why;
        tzpeer::ScopedEnv tz("TZ", name);
        EXPECT_EQ(tzpeer::historyDisagreements(tzpeer::ExactCheck(*zone, false)), "") << name;
    }
}

// POSIX settings over the whole range (before 1970 against the same dates 84
// years on, since the C runtime applies a POSIX rule from 1970 only).
TEST(QNZoneTZHistory, PosixSettingsAnswerAsTheCRuntimeDoesOverTheWholeRange) {
    const char* const settings[] = {
        "EST5EDT",
        "AEST-10AEDT,M10.1.0,M4.1.0/3",
        "IST-1GMT0,M10.5.0,M3.5.0/1",
        "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1",
        "ABC-5:45DEF-6:45:30,59/26,300/0",
        // Standard time between two daylight periods shorter than the
        // difference of the offsets.
        "STD5DST3,M3.2.0/3,M3.2.0/4",
        // A repeated time at the end of the range whose later reading lies past it.
        "bcBxs-14:06<+0C1>4,J38/05:52:47,M2.3.6",
    };
    tzpeer::ZoneFolder folder;
    tzpeer::ScopedEnv tzdir("TZDIR", folder.path());
    for (const char* setting : settings) {
        XVString why;
        const auto zone = QNZoneTZ::fromPosix(setting, &why);
        ASSERT_TRUE(zone) << setting << ": " << why;
        tzpeer::ScopedEnv tz("TZ", setting);
        EXPECT_EQ(tzpeer::historyDisagreements(tzpeer::ExactCheck(*zone, true)), "") << setting;
    }
}

}  // namespace
