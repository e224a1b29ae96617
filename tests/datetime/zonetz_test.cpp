// QNZoneTZ: what the readers accept and refuse, the daylight boundaries and
// ranges, and readings against the C runtime.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tz_peer.h"

namespace {

using tzpeer::utcCount;

// Settings of every form against the C runtime over 1901-2036; the first ones
// also by their offsets, names and daylight boundaries of 2024 (0 for none).
TEST(QNZoneTZ, ReadsEveryFormOfAPosixSettingAsTheCRuntimeDoes) {
    struct {
        const char *setting, *summary;
        unsigned long begin2024, end2024;
    } const cases[] = {
        {"EST5EDT", "18000 EST / 14400 EDT observed", utcCount(10, 3, 2024, 7),
         utcCount(3, 11, 2024, 6)},  // the runtime's default rule
        // Julian 60 is 1 March in every year; time 1:30:15 on standard time.
        {"XXX3:15YYY2,J60/1:30:15,J300/-1", "11700 XXX / 7200 YYY observed",
         utcCount(1, 3, 2024, 4, 45) + 15, utcCount(27, 10, 2024, 1)},
        // Zero-based 59 is 29 February in a leap year; 26 hours runs into 1 March.
        {"ABC-5:45DEF-6:45:30,59/26,300/0", "-20700 ABC / -24330 DEF observed",
         utcCount(29, 2, 2024, 20, 15), utcCount(26, 10, 2024, 17, 14) + 30},
        {"<+0330>-3:30", "-12600 +0330 / -12600 +0330", 0, 0},
        {"EST+5", "18000 EST / 18000 EST", 0, 0},
        {"EST5EDT,M3.2.0,M11.1.0", nullptr, 0, 0},                // month-week-day dates
        {"CET-1CEST,M3.5.0,M10.5.0/3", nullptr, 0, 0},            // last week, explicit time
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", nullptr, 0, 0},          // southern hemisphere
        {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", nullptr, 0, 0},  // quoted, 30-minute saving
        {"IST-1GMT0,M10.5.0,M3.5.0/1", nullptr, 0, 0},            // negative saving
        {"<-03>3<-02>,M3.5.0/-2,M10.5.0/-1", nullptr, 0, 0},      // negative times, implicit offset
        {"NZST-12NZDT,M9.5.0,M4.1.0/3", nullptr, 0, 0},           // southern, other weeks
        {"PST8PDT7,M4.1.0/2:00:00,M10.5.0/2:00:00", nullptr, 0, 0},  // explicit daylight offset
        {"UTC0", nullptr, 0, 0},
        {"XST-5:59:59", nullptr, 0, 0},  // the largest minutes and seconds
    };
    // With TZDIR at an empty folder the C runtime reads "EST5EDT" as a
    // setting instead of loading the database file of that name.
    tzpeer::ZoneFolder folder;
    tzpeer::ScopedEnv tzdir("TZDIR", folder.path());
    for (const auto& c : cases) {
        XVString why;
        const auto zone = QNZoneTZ::fromPosix(c.setting, &why);
        ASSERT_TRUE(zone) << c.setting << ": " << why;
        if (c.summary) {
            EXPECT_EQ(
                std::make_tuple(tzpeer::summary(*zone), QNTime::beginDST(2024, *zone).seconds(),
                                QNTime::endDST(2024, *zone).seconds()),
                std::make_tuple(std::string(c.summary), c.begin2024, c.end2024));
        }
        EXPECT_EQ(zone->exactFrom(), 1901u) << c.setting;
        tzpeer::ScopedEnv tz("TZ", c.setting);
        EXPECT_EQ(tzpeer::disagreements({*zone, 1901, 2036}), "") << c.setting;
    }
}

TEST(QNZoneTZ, RefusesMalformedSettingsWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "a zone name of three or more letters expected at the end"},
        {"ES5", "a zone name of three or more letters expected at 'ES5'"},
        {"EST", "an offset expected at the end"},
        {"EST25", "hours out of range at the end"},
        {"EST5:60", "minutes out of range at the end"},
        {"EST5:00:60", "seconds out of range at the end"},
        {"EST1234", "a number of at most 3 digits expected at '4'"},
        {"<AB>5", "a quoted name of three or more characters expected at '<AB>5'"},
        {"<+03-3", "a '>' closing the quoted name expected at '<+03-3'"},
        {"EST5ED", "a zone name of three or more letters expected at 'ED'"},
        {"EST5EDT;", "an offset expected at ';'"},
        {"EST5EDT4;", "',' and a rule expected at ';'"},
        {"EST5EDT,M3.2.0", "',' and the end of daylight time expected at the end"},
        {"EST5EDT,M13.1.0,M11.1.0", "a month 1..12 expected at '.1.0,M11.1.0'"},
        {"EST5EDT,M3.6.0,M11.1.0", "a week 1..5 expected at '.0,M11.1.0'"},
        {"EST5EDT,M3.0.0,M11.1.0", "a week 1..5 expected at '.0,M11.1.0'"},
        {"EST5EDT,M3.2.7,M11.1.0", "a weekday 0..6 expected at ',M11.1.0'"},
        {"EST5EDT,M3-2.0,M11.1.0", "a '.' after the month expected at '-2.0,M11.1.0'"},
        {"EST5EDT,J0,J365", "a day 1..365 expected at ',J365'"},
        {"EST5EDT,366,1", "a day 0..365 expected at ',1'"},
        {"EST5EDT,X,1", "a rule date (Jn, n or Mm.w.d) expected at 'X,1'"},
        {"EST5EDT,M3.2.0/168,M11.1.0", "hours out of range at ',M11.1.0'"},
        {"EST5EDT,M3.2.0,M11.1.0x", "unexpected text at 'x'"},
        {"EST5x", "a zone name of three or more letters expected at 'x'"},
    };
    for (const auto& [setting, reason] : cases) {
        XVString why;
        EXPECT_EQ(QNZoneTZ::fromPosix(setting, &why) ? "read" : std::string(why),
                  "bad POSIX setting '" + std::string(setting) + "': " + reason);
    }
    EXPECT_FALSE(QNZoneTZ::fromPosix(nullptr));
}

TEST(QNZoneTZ, RefusesNamesOutsideTheDatabaseAndMissingZones) {
    const std::pair<const char*, const char*> cases[] = {
        {"../../etc/passwd", "zone name '../../etc/passwd' reaches outside the database folder"},
        {"America/../../../etc/passwd",
         "zone name 'America/../../../etc/passwd' reaches outside the database folder"},
        {"/etc/passwd", "zone name '/etc/passwd' is absolute"},
        {"", "empty zone name"},
        {"Nowhere/Land", "no zone 'Nowhere/Land' under /usr/share/zoneinfo"},
        {"America", "/usr/share/zoneinfo/America is not a zone file"},
        {"zone.tab", "/usr/share/zoneinfo/zone.tab: not a TZif file"},
    };
    tzpeer::ScopedEnv tzdir("TZDIR", nullptr);
    for (const auto& [name, reason] : cases) {
        XVString why;
        EXPECT_EQ(QNZoneTZ::fromDatabase(name, &why) ? "read" : std::string(why), reason);
    }
    EXPECT_FALSE(QNZoneTZ::fromDatabase(nullptr));
}

TEST(QNZoneTZ, RefusesDamagedZoneFiles) {
    std::ifstream in("/usr/share/zoneinfo/America/New_York", std::ios::binary);
    const std::vector<char> good{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(good.size(), 1000u);
    tzpeer::ZoneFolder folder;
    tzpeer::ScopedEnv tzdir("TZDIR", folder.path());
    // Every cut short of the whole file loses at least the footer's end.
    for (std::size_t size = 0; size < good.size(); size += 7) {
        folder.write("Cut", std::vector<char>(good.begin(), good.begin() + size));
        XVString why;
        EXPECT_TRUE(!QNZoneTZ::fromDatabase("Cut", &why) && !why.empty()) << size;
    }
    // Header bytes: version 4, counts from 20 (isutcnt, isstdcnt, leapcnt,
    // timecnt, typecnt, charcnt), four bytes each, most significant first.
    // The bytes changed, and the reason for refusing the file (null: still good).
    const std::pair<std::vector<std::pair<std::size_t, char>>, const char*> damages[] = {
        {{{0, 'X'}}, "not a TZif file"},
        {{{32, 0x7f}}, "truncated data"},
        {{{43, 0}}, "no abbreviations"},
        {{{27, 1}}, "indicator counts differ from the type count"},
        {{{39, 0}}, "type count out of range"},
        // Version 1 alone: the 32-bit data.
        {{{4, 0}}, nullptr},
        {{{4, 0}, {31, 1}}, "zones with leap seconds are not supported"},
    };
    for (const auto& [changes, reason] : damages) {
        std::vector<char> bad = good;
        for (const auto& [at, value] : changes)
            bad[at] = value;
        folder.write("Bad", bad);
        XVString why;
        const auto zone = QNZoneTZ::fromDatabase("Bad", &why);
        EXPECT_EQ(zone ? "read" : std::string(why),
                  reason ? std::string(folder.path()) + "/Bad: " + reason : "read");
    }
}

TEST(QNZoneTZ, ReadsTheTZVariableAsTheCRuntimeDoes) {
    // The TZ setting, and the standard name and origin of the zone read, or "refused".
    const std::pair<const char*, const char*> cases[] = {
        {"", "UTC UTC"},
        {":", "UTC UTC"},
        {"Europe/Paris", "CET Europe/Paris"},
        {":Europe/Paris", "CET :Europe/Paris"},
        {"/usr/share/zoneinfo/Asia/Tokyo", "JST /usr/share/zoneinfo/Asia/Tokyo"},
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", "AEST AEST-10AEDT,M10.1.0,M4.1.0/3"},
        {":AEST-10AEDT,M10.1.0,M4.1.0/3", "refused"},  // ':' names a file only
        {"Nowhere/Land", "refused"},
    };
    for (const auto& [setting, expected] : cases) {
        tzpeer::ScopedEnv tz("TZ", setting);
        XVString why;
        const auto zone = QNZoneTZ::fromEnvironment(&why);
        EXPECT_EQ(zone ? std::string(zone->timeZoneName()) + " " + zone->name().c_str()
                       : (why.empty() ? "refused without a reason" : "refused"),
                  expected)
            << setting << ": " << why;
    }
}

// Zones chosen for their hard cases against the C runtime over 1970-2036 (from
// exactFrom on); the first ones also by exactFrom, daylightObserved and the
// daylight boundaries of 2024 (0 for none).
TEST(QNZoneTZ, DatabaseZonesAnswerAsTheCRuntimeDoes) {
    struct {
        const char* name;
        unsigned exactFrom;  // 0: compared with the C runtime only
        bool observed;
        unsigned long begin2024, end2024;
    } const cases[] = {
        {"America/New_York", 1946, true, utcCount(10, 3, 2024, 7), utcCount(3, 11, 2024, 6)},
        // Southern hemisphere: the year's end of daylight time comes first.
        {"Australia/Sydney", 1901, true, utcCount(5, 10, 2024, 16), utcCount(6, 4, 2024, 16)},
        // Negative saving: winter is daylight (GMT), summer standard (IST).
        {"Europe/Dublin", 1969, true, utcCount(27, 10, 2024, 1), utcCount(31, 3, 2024, 1)},
        {"Asia/Kolkata", 1907, true, 0, 0},   // daylight time in 1942-1945 only
        {"Europe/Moscow", 2015, true, 0, 0},  // standard offset changed in 2011 and 2014
        {"Africa/Casablanca", 2019, true, utcCount(10, 3, 2024, 2), utcCount(14, 4, 2024, 2)},
        {"Etc/UTC", 1901, false, 0, 0},
        {"Europe/Berlin", 0, false, 0, 0},        // the European rule, changes at 01:00 UTC
        {"America/Sao_Paulo", 0, false, 0, 0},    // southern, dropped daylight saving in 2019
        {"Australia/Lord_Howe", 0, false, 0, 0},  // 30-minute daylight saving
        {"Africa/Cairo", 0, false, 0, 0},         // saving suspended for Ramadan in 2014
        {"Asia/Tehran", 0, false, 0, 0},          // half-hour offset, dropped saving in 2022
        {"Antarctica/Troll", 0, false, 0, 0},     // two-hour daylight saving
        {"US/Eastern", 0, false, 0, 0},           // a link
    };
    for (const auto& c : cases) {
        XVString why;
        const auto zone = QNZoneTZ::fromDatabase(c.name, &why);
        ASSERT_TRUE(zone) << c.name << ": " << why;
        if (c.exactFrom != 0) {
            EXPECT_EQ(std::make_tuple(zone->exactFrom(), zone->daylightObserved(),
                                      QNTime::beginDST(2024, *zone).seconds(),
                                      QNTime::endDST(2024, *zone).seconds()),
                      std::make_tuple(c.exactFrom, c.observed, c.begin2024, c.end2024))
                << c.name;
        }
        tzpeer::ScopedEnv tz("TZ", c.name);
        EXPECT_EQ(tzpeer::disagreements({*zone, 1970, 2036}), "") << c.name;
    }
}

TEST(QNZoneTZ, CopiesOwnTheirRulesAndServeAsTheLocalZone) {
    auto original = QNZoneTZ::fromDatabase("Australia/Sydney");
    ASSERT_TRUE(original);
    const QNZoneTZ copy(*original);
    QNZoneTZ assigned = *QNZoneTZ::fromPosix("UTC0");
    assigned = *original;
    original.reset();
    const QNTime summer(QNDate(15, 1, 2024), 12, 0, 0, copy);
    EXPECT_EQ(summer.seconds(), utcCount(15, 1, 2024, 1));
    EXPECT_TRUE(summer.isDST(assigned));
    EXPECT_EQ(QNDate(summer, assigned), QNDate(15, 1, 2024));

    const QNZone* previous = QNZone::local(&copy);
    EXPECT_TRUE(summer.isDST(QNZone::local()));
    EXPECT_EQ(QNZone::local(previous), &copy);
}

}  // namespace
