// QNZoneTZ on its own: what the readers accept and refuse, and the daylight
// boundaries and ranges that the comparisons with the C runtime do not show.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tz_peer.h"

namespace {

using tzpeer::utcCount;

TEST(QNZoneTZ, ReadsEveryFormOfAPosixSetting) {
    struct {
        const char* setting;
        long offset, altOffset;
        const char *name, *altName;
        bool observed;
        unsigned long begin2024, end2024;  // beginDST/endDST of 2024, 0 for none
    } const cases[] = {
        {"EST5EDT", 18000, 14400, "EST", "EDT", true, utcCount(10, 3, 2024, 7),
         utcCount(3, 11, 2024, 6)},
        // Julian 60 is 1 March in every year; time 1:30:15 on standard time.
        {"XXX3:15YYY2,J60/1:30:15,J300/-1", 11700, 7200, "XXX", "YYY", true,
         utcCount(1, 3, 2024, 4, 45) + 15, utcCount(27, 10, 2024, 1)},
        // Zero-based 59 is 29 February in a leap year; 26 hours runs into 1 March.
        {"ABC-5:45DEF-6:45:30,59/26,300/0", -20700, -24330, "ABC", "DEF", true,
         utcCount(29, 2, 2024, 20, 15), utcCount(26, 10, 2024, 17, 14) + 30},
        {"<+0330>-3:30", -12600, -12600, "+0330", "+0330", false, 0, 0},
        {"EST+5", 18000, 18000, "EST", "EST", false, 0, 0},
    };
    for (const auto& c : cases) {
        XVString why;
        const auto zone = QNZoneTZ::fromPosix(c.setting, &why);
        ASSERT_TRUE(zone) << c.setting << ": " << why;
        EXPECT_EQ(zone->timeZoneOffset(), c.offset) << c.setting;
        EXPECT_EQ(zone->altZoneOffset(), c.altOffset) << c.setting;
        EXPECT_EQ(zone->timeZoneName(), c.name) << c.setting;
        EXPECT_EQ(zone->altZoneName(), c.altName) << c.setting;
        EXPECT_EQ(zone->daylightObserved(), c.observed) << c.setting;
        EXPECT_EQ(zone->exactFrom(), 1901u) << c.setting;
        EXPECT_EQ(QNTime::beginDST(2024, *zone).seconds(), c.begin2024) << c.setting;
        EXPECT_EQ(QNTime::endDST(2024, *zone).seconds(), c.end2024) << c.setting;
    }
}

TEST(QNZoneTZ, RefusesMalformedSettingsWithAReason) {
    struct {
        const char* setting;
        const char* why;
    } const cases[] = {
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
        {"EST5EDT,M3.2.7,M11.1.0", "a weekday 0..6 expected at ',M11.1.0'"},
        {"EST5EDT,M3-2.0,M11.1.0", "a '.' after the month expected at '-2.0,M11.1.0'"},
        {"EST5EDT,J0,J365", "a day 1..365 expected at ',J365'"},
        {"EST5EDT,366,1", "a day 0..365 expected at ',1'"},
        {"EST5EDT,X,1", "a rule date (Jn, n or Mm.w.d) expected at 'X,1'"},
        {"EST5EDT,M3.2.0/168,M11.1.0", "hours out of range at ',M11.1.0'"},
        {"EST5EDT,M3.2.0,M11.1.0x", "unexpected text at 'x'"},
        {"EST5x", "a zone name of three or more letters expected at 'x'"},
    };
    for (const auto& c : cases) {
        XVString why;
        EXPECT_FALSE(QNZoneTZ::fromPosix(c.setting, &why)) << c.setting;
        EXPECT_EQ(std::string(why), "bad POSIX setting '" + std::string(c.setting) + "': " + c.why);
    }
    EXPECT_FALSE(QNZoneTZ::fromPosix(nullptr));
}

TEST(QNZoneTZ, RefusesNamesOutsideTheDatabaseAndMissingZones) {
    struct {
        const char* name;
        std::string why;
    } const cases[] = {
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
    for (const auto& c : cases) {
        XVString why;
        EXPECT_FALSE(QNZoneTZ::fromDatabase(c.name, &why)) << c.name;
        EXPECT_EQ(std::string(why), c.why) << c.name;
    }
    EXPECT_FALSE(QNZoneTZ::fromDatabase(nullptr));
}

TEST(QNZoneTZ, RefusesDamagedZoneFiles) {
    std::ifstream in("/usr/share/zoneinfo/America/New_York", std::ios::binary);
    const std::vector<char> good{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(good.size(), 1000u);
    tzpeer::ZoneFolder folder;
    tzpeer::ScopedEnv tzdir("TZDIR", folder.path());
    folder.write("Good", good);
    ASSERT_TRUE(QNZoneTZ::fromDatabase("Good"));
    // Every cut short of the whole file loses at least the footer's end.
    for (std::size_t size = 0; size < good.size(); size += 7) {
        folder.write("Cut", std::vector<char>(good.begin(), good.begin() + size));
        XVString why;
        EXPECT_FALSE(QNZoneTZ::fromDatabase("Cut", &why)) << size;
        EXPECT_FALSE(why.empty());
    }
    // Header bytes: version 4, counts from 20 (isutcnt, isstdcnt, leapcnt,
    // timecnt, typecnt, charcnt), four bytes each, most significant first.
    struct {
        std::vector<std::pair<std::size_t, char>> changes;
        const char* why;  // null: still a good zone
    } const damages[] = {
        {{{0, 'X'}}, "not a TZif file"},
        {{{32, 0x7f}}, "truncated data"},
        {{{43, 0}}, "no abbreviations"},
        {{{27, 1}}, "indicator counts differ from the type count"},
        {{{39, 0}}, "type count out of range"},
        // Version 1 alone: the 32-bit data.
        {{{4, 0}}, nullptr},
        {{{4, 0}, {31, 1}}, "zones with leap seconds are not supported"},
    };
    for (const auto& d : damages) {
        std::vector<char> bad = good;
        for (const auto& [at, value] : d.changes)
            bad[at] = value;
        folder.write("Bad", bad);
        XVString why;
        const auto zone = QNZoneTZ::fromDatabase("Bad", &why);
        if (d.why == nullptr) {
            EXPECT_TRUE(zone) << why;
            continue;
        }
        EXPECT_FALSE(zone);
        EXPECT_EQ(std::string(why), std::string(folder.path()) + "/Bad: " + d.why);
    }
}

TEST(QNZoneTZ, ReadsTheTZVariableAsTheCRuntimeDoes) {
    struct {
        const char* tz;
        const char* standardName;  // null for no zone
        const char* origin;
    } const cases[] = {
        {"", "UTC", "UTC"},
        {":", "UTC", "UTC"},
        {"Europe/Paris", "CET", "Europe/Paris"},
        {":Europe/Paris", "CET", ":Europe/Paris"},
        {"/usr/share/zoneinfo/Asia/Tokyo", "JST", "/usr/share/zoneinfo/Asia/Tokyo"},
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", "AEST", "AEST-10AEDT,M10.1.0,M4.1.0/3"},
        {":AEST-10AEDT,M10.1.0,M4.1.0/3", nullptr, nullptr},  // ':' names a file only
        {"Nowhere/Land", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        tzpeer::ScopedEnv tz("TZ", c.tz);
        XVString why;
        const auto zone = QNZoneTZ::fromEnvironment(&why);
        if (c.standardName == nullptr) {
            EXPECT_FALSE(zone) << c.tz;
            EXPECT_FALSE(why.empty()) << c.tz;
            continue;
        }
        ASSERT_TRUE(zone) << c.tz << ": " << why;
        EXPECT_EQ(std::string(zone->timeZoneName()), c.standardName) << c.tz;
        EXPECT_EQ(std::string(zone->name()), c.origin);
    }
}

TEST(QNZoneTZ, AnswersLikeTheDatabaseForRealZones) {
    struct {
        const char* zone;
        unsigned exactFrom;
        bool observed;
        unsigned year;
        unsigned long begin, end;
    } const cases[] = {
        {"America/New_York", 1946, true, 2024, utcCount(10, 3, 2024, 7), utcCount(3, 11, 2024, 6)},
        // Southern hemisphere: the year's end of daylight time comes first.
        {"Australia/Sydney", 1901, true, 2024, utcCount(5, 10, 2024, 16), utcCount(6, 4, 2024, 16)},
        // Negative saving: winter is daylight (GMT), summer standard (IST).
        {"Europe/Dublin", 1969, true, 2024, utcCount(27, 10, 2024, 1), utcCount(31, 3, 2024, 1)},
        // Daylight time in 1942-1945 only.
        {"Asia/Kolkata", 1907, true, 2024, 0, 0},
        {"Europe/Moscow", 2015, true, 2024, 0, 0},
        {"Africa/Casablanca", 2019, true, 2024, utcCount(10, 3, 2024, 2), utcCount(14, 4, 2024, 2)},
        {"Etc/UTC", 1901, false, 2024, 0, 0},
    };
    for (const auto& c : cases) {
        const auto zone = QNZoneTZ::fromDatabase(c.zone);
        ASSERT_TRUE(zone) << c.zone;
        EXPECT_EQ(zone->exactFrom(), c.exactFrom) << c.zone;
        EXPECT_EQ(zone->daylightObserved(), c.observed) << c.zone;
        EXPECT_EQ(QNTime::beginDST(c.year, *zone).seconds(), c.begin) << c.zone;
        EXPECT_EQ(QNTime::endDST(c.year, *zone).seconds(), c.end) << c.zone;
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
