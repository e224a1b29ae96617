// QNZoneTZ: what the readers accept and refuse, the daylight boundaries and
// ranges, and readings against the C runtime.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstdio>
#include <future>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tz_peer.h"
#include "tzif_image.h"

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
    const std::vector<char> good = tzpeer::fixtureBytes("America_New_York");
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
    // From memory the reason is the damage alone; no bytes at all are an
    // empty image, null bytes of some size none.
    XVString why;
    EXPECT_FALSE(QNZoneTZ::fromTZif(good.data(), 40, "Cut", &why));
    EXPECT_EQ(std::string(why), "truncated header");
    EXPECT_FALSE(QNZoneTZ::fromTZif(nullptr, 0, "Empty", &why));
    EXPECT_EQ(std::string(why), "truncated header");
    EXPECT_FALSE(QNZoneTZ::fromTZif(nullptr, 5, "Null", &why));
    EXPECT_EQ(std::string(why), "no TZif data");
    const auto unnamed = QNZoneTZ::fromTZif(good.data(), good.size(), nullptr);
    EXPECT_TRUE(unnamed && unnamed->name().empty());
}

// A FIFO under TZDIR must be refused at once, not wait for a writer.
TEST(QNZoneTZ, RefusesAFifoWithoutWaitingForAWriter) {
    tzpeer::ZoneFolder folder;
    const std::string fifo = std::string(folder.path()) + "/Hang";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    tzpeer::ScopedEnv tzdir("TZDIR", folder.path());
    auto reason = std::async(std::launch::async, [] {
        XVString why;
        return QNZoneTZ::fromDatabase("Hang", &why) ? std::string("read") : std::string(why);
    });
    if (reason.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
        // Let the blocked reader go before failing.
        close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        ADD_FAILURE() << "blocked opening a FIFO";
    }
    EXPECT_EQ(reason.get(), fifo + " is not a zone file");
    XVString why;
    EXPECT_TRUE(!QNZoneTZ::fromSetting("/dev/null", &why) &&
                std::string(why) == "/dev/null is not a zone file")
        << why;
}

// A text too long to be a file name still names no file, so it is read as
// a POSIX setting, as the C runtime does.
TEST(QNZoneTZ, ReadsASettingTooLongForAFileNameAsPosix) {
    const std::string setting = std::string(300, 'A') + "5";
    XVString why;
    const auto zone = QNZoneTZ::fromSetting(setting.c_str(), &why);
    ASSERT_TRUE(zone) << why;
    EXPECT_EQ(std::make_tuple(std::string(zone->timeZoneName()), zone->timeZoneOffset()),
              std::make_tuple(std::string(300, 'A'), 18000l));
}

// Every reason is one line: control bytes, a NUL in a footer included, are
// escaped, never passed on or cut at.
TEST(QNZoneTZ, GivesReasonsOnOneLineForEveryByte) {
    const auto oneLine = [](const XVString& why) {
        return !why.empty() && std::none_of(why.begin(), why.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        });
    };
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        for (const std::string& text :
             {std::string(1, c), std::string("A").append(1, c).append("B"),
              std::string("EST5EDT,M3.2.0,M11.1.0").append(1, c)}) {
            XVString bySetting, byName, byPosix;
            const bool setting = QNZoneTZ::fromSetting(text.c_str(), &bySetting) != nullptr;
            const bool name = QNZoneTZ::fromDatabase(text.c_str(), &byName) != nullptr;
            const bool posix = QNZoneTZ::fromPosix(text.c_str(), &byPosix) != nullptr;
            EXPECT_TRUE((setting || oneLine(bySetting)) && (name || oneLine(byName)) &&
                        (posix || oneLine(byPosix)))
                << byte << ": " << bySetting << " | " << byName << " | " << byPosix;
        }
    }
    XVString why;
    tzpeer::ScopedEnv tzdir("TZDIR", nullptr);
    EXPECT_FALSE(QNZoneTZ::fromSetting("A\nB", &why));
    EXPECT_EQ(std::string(why), "no zone 'A\\nB' under /usr/share/zoneinfo");
    const std::vector<char> nulInFooter =
        tzpeer::tzifImage({}, {{3600, false, "CET"}}, std::string("CET-1\0CEST", 10));
    EXPECT_FALSE(QNZoneTZ::fromTZif(nulInFooter.data(), nulInFooter.size(), "Nul", &why));
    EXPECT_EQ(std::string(why),
              "bad footer rule: a zone name of three or more letters expected at '\\x00CEST'");
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

// "d/m hh:mm wW" of a daylight boundary of `year`, or "cleared"; the fields
// that the boundary does not set must stay as they were.
std::string boundary(const QNZone& zone, int year, bool begin) {
    tm t{-5, -5, -5, -5, -5, year - 1900, -5, 77, -5, 0, nullptr};
    begin ? zone.getBeginDaylight(&t) : zone.getEndDaylight(&t);
    if (t.tm_year == INT_MIN && t.tm_mday == INT_MIN && t.tm_isdst == INT_MIN)
        return "cleared";
    EXPECT_TRUE(t.tm_year == year - 1900 && t.tm_yday == 77 && t.tm_isdst == -1 && t.tm_sec == 0)
        << year;
    char text[40];
    std::snprintf(text, sizeof text, "%d/%d %02d:%02d w%d", t.tm_mday, t.tm_mon + 1, t.tm_hour,
                  t.tm_min, t.tm_wday);
    return text;
}

// The QNZone answers of zones kept in the repository (and of a setting):
// exactFrom, the changes of a year and its daylight boundaries (begin on
// standard time, end on daylight time), and the instants of those.
TEST(QNZoneTZ, GivesTheDaylightChangesOfAYear) {
    struct {
        const char* file;
        unsigned exactFrom;
        bool observed;
        int year;
        std::vector<unsigned long> changes;
        const char *begin, *end;
        bool posix = false;  // `file` is a POSIX setting
    } const cases[] = {
        {"America_New_York",
         1946,
         true,
         2024,
         {utcCount(10, 3, 2024, 7), utcCount(3, 11, 2024, 6)},
         "10/3 02:00 w0",
         "3/11 02:00 w0"},
        // Southern hemisphere: the year's end of daylight time comes first.
        {"Australia_Sydney",
         1901,
         true,
         2024,
         {utcCount(6, 4, 2024, 16), utcCount(5, 10, 2024, 16)},
         "6/10 02:00 w0",
         "7/4 03:00 w0"},
        // Negative saving: winter (GMT) is daylight time, summer (IST) standard.
        {"Europe_Dublin",
         1969,
         true,
         2024,
         {utcCount(31, 3, 2024, 1), utcCount(27, 10, 2024, 1)},
         "27/10 02:00 w0",
         "31/3 01:00 w0"},
        {"Africa_Casablanca",
         2019,
         true,
         2024,
         {utcCount(10, 3, 2024, 2), utcCount(14, 4, 2024, 2)},
         "10/3 03:00 w0",
         "14/4 02:00 w0"},
        // Daylight time of 1942-1945 only; the end of 14 May is read as 24:00.
        {"Asia_Kolkata",
         1907,
         true,
         1942,
         {utcCount(14, 5, 1942, 17, 30), utcCount(31, 8, 1942, 18, 30)},
         "1/9 00:00 w2",
         "15/5 00:00 w5"},
        {"Asia_Kolkata", 1907, true, 2024, {}, "cleared", "cleared"},
        // Standard offset changed in 2011 and 2014, daylight time until 2010.
        {"Europe_Moscow", 2015, true, 2024, {}, "cleared", "cleared"},
        {"Europe_Moscow",
         2015,
         true,
         2010,
         {utcCount(27, 3, 2010, 23), utcCount(30, 10, 2010, 23)},
         "28/3 02:00 w0",
         "31/10 03:00 w0"},
        {"Etc_UTC", 1901, false, 2024, {}, "cleared", "cleared"},
        // Daylight time begins at the first second of the year.
        {"XXX3YYY,J1/0,J180/0",
         1901,
         true,
         2024,
         {utcCount(1, 1, 2024, 3), utcCount(29, 6, 2024, 2)},
         "1/1 00:00 w1",
         "29/6 00:00 w6",
         true},
    };
    for (const auto& c : cases) {
        const std::vector<char> bytes = tzpeer::fixtureBytes(c.file);
        XVString why;
        const auto zone = c.posix ? QNZoneTZ::fromPosix(c.file, &why)
                                  : QNZoneTZ::fromTZif(bytes.data(), bytes.size(), c.file, &why);
        ASSERT_TRUE(zone) << c.file << ": " << why;
        std::vector<unsigned long> changes;
        for (const QNTime& t : zone->changes(static_cast<unsigned>(c.year)))
            changes.push_back(t.seconds());
        EXPECT_EQ(std::make_tuple(zone->exactFrom(), zone->daylightObserved(), changes,
                                  boundary(*zone, c.year, true), boundary(*zone, c.year, false)),
                  std::make_tuple(c.exactFrom, c.observed, c.changes, std::string(c.begin),
                                  std::string(c.end)))
            << c.file << " " << c.year;
        // beginDST and endDST are the two changes, into and out of daylight time.
        if (c.changes.size() == 2) {
            const QNTime begin = QNTime::beginDST(c.year, *zone),
                         end = QNTime::endDST(c.year, *zone);
            EXPECT_TRUE(std::min(begin, end).seconds() == c.changes[0] &&
                        std::max(begin, end).seconds() == c.changes[1] && begin.isDST(*zone) &&
                        !end.isDST(*zone))
                << c.file;
        }
    }
}

// The QNZone answers against the C runtime over 1970-2036, from exactFrom on.
TEST(QNZoneTZ, DatabaseZonesAnswerAsTheCRuntimeDoes) {
    const char* const zones[] = {
        "America/New_York",    "Australia/Sydney",  "Europe/Dublin", "Asia/Kolkata",
        "Europe/Moscow",       "Africa/Casablanca", "Etc/UTC",
        "Europe/Berlin",        // the European rule, changes at 01:00 UTC
        "America/Sao_Paulo",    // southern, dropped daylight saving in 2019
        "Australia/Lord_Howe",  // 30-minute daylight saving
        "Africa/Cairo",         // saving suspended for Ramadan in 2014
        "Asia/Tehran",          // half-hour offset, dropped saving in 2022
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

// QNTime answers a QNZoneTZ from the zone's precomputed spans; a class
// derived from it takes the path of the virtual members, which must agree.
TEST(QNZoneTZ, QNTimeAnswersAsThroughTheVirtualMembers) {
    struct ThroughVirtuals : QNZoneTZ {
        explicit ThroughVirtuals(const QNZoneTZ& zone) : QNZoneTZ(zone) {}
    };
    std::vector<std::unique_ptr<QNZoneTZ>> zones;
    for (const char* file : {"America_New_York", "Australia_Lord_Howe", "Europe_Dublin",
                             "Africa_Casablanca", "Europe_Moscow", "Etc_UTC"}) {
        const std::vector<char> bytes = tzpeer::fixtureBytes(file);
        zones.push_back(QNZoneTZ::fromTZif(bytes.data(), bytes.size(), file));
    }
    for (const char* setting : {"STD5DST3,M3.2.0/3,M3.2.0/4", "EST5EDT,0/0,J365/25",
                                "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1", "AAA-24:59:59BBB,J1,J365/25"})
        zones.push_back(QNZoneTZ::fromPosix(setting));
    std::mt19937 rng(11);
    for (const auto& zone : zones) {
        ASSERT_TRUE(zone);
        const ThroughVirtuals plain(*zone);
        for (int i = 0; i < 20000; ++i) {
            const QNTime t(i < 4 ? std::array<unsigned long, 4>{1, 2, 4294967295ul, 86400}[i]
                                 : rng());
            tm fast, slow;
            t.extract(&fast, *zone);
            t.extract(&slow, plain);
            ASSERT_EQ(std::make_tuple(tzpeer::describe(fast), t.isDST(*zone)),
                      std::make_tuple(tzpeer::describe(slow), t.isDST(plain)))
                << zone->name() << " " << t.seconds();
            // Wall-clock times on the day of `t`, with fields out of range too.
            const QNDate day(2415385 + rng() % 49714);
            const unsigned hour = i % 50 == 0 ? rng() : rng() % 30, minute = rng() % 70;
            ASSERT_EQ(QNTime(day, hour, minute, 7, *zone).seconds(),
                      QNTime(day, hour, minute, 7, plain).seconds())
                << zone->name() << " " << day.julian() << " " << hour << ":" << minute;
        }
        // Day numbers past 2^30 split into dates of other years in QNDate's
        // 32-bit calendar: 2149899837 into 15 March 1903.
        for (const unsigned long day : {2415384ul, 2415385ul, 2465096ul, 5373484ul, (1ul << 30) + 5,
                                        2149899837ul, 4294967295ul}) {
            EXPECT_EQ(QNTime(QNDate(day), 23, 0, 0, *zone).seconds(),
                      QNTime(QNDate(day), 23, 0, 0, plain).seconds())
                << zone->name() << " " << day;
        }
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
