// The tool's zones over their whole history: readings against GNU date (the
// C runtime's localtime under TZ), wall-clock times that the clock shows
// twice or skips, and `xvkit zone` against zdump's verbose output for single
// years and for the whole range.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "run_tool.h"

namespace {

const std::string kFormat = "%Y-%m-%d %H:%M:%S %Z";

// GNU date's reading of `instant` under TZ=`zone` in `format`.
std::string peerReading(const char* zone, const char* instant, const std::string& format) {
    const RunResult r =
        runProgram(XVKIT_GNU_DATE, {"-d", instant, "+" + format}, "", {std::string("TZ=") + zone});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}

TEST(ToolZoneHistory, ReadingsAgreeWithTheCRuntime) {
    // (zone, instant): the six of the history issue first, then offsets
    // changed without daylight time, a day skipped by the date line, double
    // daylight time, negative daylight saving, 30- and 45-minute offsets.
    const std::pair<const char*, const char*> cases[] = {
        {"Europe/Moscow", "2012-07-01T12:00:00Z"},
        {"Asia/Pyongyang", "2016-01-01T00:00:00Z"},
        {"Pacific/Apia", "1975-01-15T12:00:00Z"},
        {"Europe/Lisbon", "1993-07-01T12:00:00Z"},
        {"America/Caracas", "2010-01-01T12:00:00Z"},
        {"Europe/Berlin", "1945-06-01T12:00:00Z"},
        {"Europe/Moscow", "1919-07-01T12:00:00Z"},
        {"Pacific/Apia", "2011-12-31T12:00:00Z"},
        {"Pacific/Kiritimati", "1994-12-31T12:00:00Z"},
        {"Europe/London", "1941-06-01T12:00:00Z"},
        {"America/St_Johns", "1988-06-01T12:00:00Z"},
        {"Europe/Dublin", "1971-01-01T00:00:00Z"},
        {"Europe/Dublin", "2024-01-15T12:00:00Z"},
        {"Africa/Casablanca", "2020-05-01T12:00:00Z"},
        {"Asia/Kolkata", "1942-10-01T12:00:00Z"},
        {"Australia/Lord_Howe", "2024-07-01T12:00:00Z"},
        {"Asia/Kathmandu", "1985-06-01T12:00:00Z"},
        {"Antarctica/Troll", "2024-06-01T12:00:00Z"},
        {"Asia/Dhaka", "2009-12-31T16:59:59Z"},
        {"Asia/Dhaka", "2009-12-31T17:00:00Z"},
        {"America/Sao_Paulo", "1963-12-01T00:00:00Z"},
    };
    for (const auto& [zone, instant] : cases) {
        const RunResult ours = runTool({"time", "-z", zone, "-f", kFormat, instant});
        EXPECT_EQ(ours.out, peerReading(zone, instant, kFormat)) << zone << " " << instant;
        // --iso gives the offset in force; the peer writes UTC's as +00:00.
        std::string peerIso = peerReading(zone, instant, "%Y-%m-%dT%H:%M:%S%:z");
        if (peerIso.ends_with("+00:00\n"))
            peerIso.replace(peerIso.size() - 7, 6, "Z");
        EXPECT_EQ(runTool({"time", "-z", zone, "--iso", instant}).out, peerIso)
            << zone << " " << instant;
    }
}

TEST(ToolZoneHistory, RepeatedTimesTakeTheEarlierInstantSkippedOnesNameTheChange) {
    const std::string skipped = " lies in the stretch skipped when the clock went from ";
    expectRuns({
        // Put back: the clock shows these twice.
        {"time|-z|Europe/Dublin|--iso|2024-10-27T01:30:00", 0, "2024-10-27T01:30:00+01:00\n"},
        {"time|-z|America/New_York|-iv|11/3/2024|1:30", 0,
         "2024-11-03T01:30:00-04:00 (count 3908064600, daylight time)\n"},
        {"time|-z|Australia/Lord_Howe|--iso|2024-04-07T01:45", 0, "2024-04-07T01:45:00+11:00\n"},
        // Put forward: these the clock never shows.
        {"time|-z|America/New_York|3/10/2024|2:30", 1, "",
         "no such instant: '2:30' on 03/10/2024" + skipped +
             "2024-03-10 01:59:59 EST (UTC-05:00) to 2024-03-10 03:00:00 EDT (UTC-04:00)"},
        {"time|-z|Australia/Lord_Howe|2024-10-06T02:15", 1, "",
         "no such instant: '2024-10-06T02:15'" + skipped +
             "2024-10-06 01:59:59 +1030 (UTC+10:30) to 2024-10-06 02:30:00 +11 (UTC+11:00)"},
        {"time|-z|Pacific/Apia|2011-12-30T12:00", 1, "",
         "no such instant: '2011-12-30T12:00'" + skipped +
             "2011-12-29 23:59:59 -10 (UTC-10:00) to 2011-12-31 00:00:00 +14 (UTC+14:00)"},
        {"time|-z|Europe/Moscow|2011-03-27T02:30", 1, "",
         "no such instant: '2011-03-27T02:30'" + skipped +
             "2011-03-27 01:59:59 MSK (UTC+03:00) to 2011-03-27 03:00:00 MSK (UTC+04:00)"},
    });
}

// The lines of `text` that describe a change of time, each with the run of
// blanks after the zone name (zdump pads names to a common width) made one.
std::vector<std::string> changeLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t nameEnd = line.find(' ');
        if (line.find(" UT = ") != std::string::npos)
            lines.push_back(line.substr(0, nameEnd) + "  " +
                            line.substr(line.find_first_not_of(' ', nameEnd)));
    }
    return lines;
}

TEST(ToolZoneHistory, ChangesOfAYearAgreeWithZdump) {
    // (zone, year, changes in the year as zdump counts them: in UTC)
    const std::tuple<const char*, int, std::size_t> cases[] = {
        {"America/New_York", 2024, 2},  {"Australia/Lord_Howe", 2024, 2},
        {"Europe/Dublin", 2024, 2},     {"Africa/Cairo", 2014, 4},
        {"America/Sao_Paulo", 2018, 2}, {"Europe/Berlin", 1985, 2},
        {"Antarctica/Troll", 2030, 2},  {"Asia/Tokyo", 2024, 0},
        {"Asia/Dhaka", 2009, 2},        {"Europe/Moscow", 2011, 1},
        {"Asia/Pyongyang", 2015, 1},    {"Pacific/Apia", 2011, 3},
        {"Africa/Casablanca", 2020, 2}, {"America/St_Johns", 1988, 2},
        {"Europe/London", 1941, 2},
    };
    for (const auto& [zone, year, changes] : cases) {
        const std::string from = std::to_string(year), to = std::to_string(year + 1);
        const RunResult ours = runTool({"zone", "--year", from, zone});
        const RunResult peer = runProgram(XVKIT_ZDUMP, {"-v", "-c", from + "," + to, zone});
        ASSERT_TRUE(ours.status == 0 && peer.status == 0) << zone << ": " << ours.err;
        const auto lines = changeLines(ours.out);
        EXPECT_EQ(lines.size(), 2 * changes) << zone << " " << year;
        EXPECT_EQ(lines, changeLines(peer.out)) << zone << " " << year;
    }
}

TEST(ToolZoneHistory, WholeHistoryAgreesWithZdump) {
    // 1901 to the end of 2036: zdump prints the changes of 2037 past the last
    // instant too.
    for (const char* zone :
         {"Europe/Berlin", "Europe/Moscow", "America/Sao_Paulo", "Pacific/Apia", "Europe/Dublin",
          "Australia/Lord_Howe", "America/St_Johns", "Africa/Casablanca", "Asia/Kolkata",
          "Pacific/Kiritimati", "Antarctica/Troll", "Europe/London", "America/Caracas"}) {
        const RunResult ours = runTool({"zone", "--year", "1901,2037", zone});
        const RunResult peer = runProgram(XVKIT_ZDUMP, {"-v", "-c", "1901,2037", zone});
        ASSERT_TRUE(ours.status == 0 && peer.status == 0) << zone << ": " << ours.err;
        const auto lines = changeLines(ours.out);
        EXPECT_GE(lines.size(), 4u) << zone;
        EXPECT_EQ(lines, changeLines(peer.out)) << zone;
    }
}

TEST(ToolZoneHistory, YearsAndZoneNames) {
    // A POSIX setting longer than a file name may be is still a setting.
    const std::string longName(300, 'A');
    expectRuns({
        {"zone|--year|2024|" + longName + "5", 0,
         "zone        " + longName + "5\nstandard    " + longName +
             "  UTC-05:00\ndaylight    none\nexact from  1901\nno changes in 2024\n"},
        {"time|-z|" + longName + "5|--iso|2024-01-01T00:00:00Z", 0, "2023-12-31T19:00:00-05:00\n"},
    });
    const std::string zoneLines =
        "zone        Asia/Kolkata\n"
        "standard    IST  UTC+05:30\n"
        "daylight    +0630  UTC+06:30\n"
        "exact from  1907\n";
    expectRuns({
        {"zone|--year|1946,2000|Asia/Kolkata", 0, zoneLines + "no changes in 1946 to 1999\n"},
        {"zone|--year|2000,1999|UTC", 2, "", "bad year '2000,1999' (1901 to 2037)"},
        {"zone|--year|2037,2039|UTC", 2, "", "bad year '2037,2039' (1901 to 2037)"},
        {"zone|--year|1990,x|UTC", 2, "", "bad year 'x'"},
    });
}

}  // namespace
