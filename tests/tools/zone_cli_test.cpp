// The tool's zones: --zone and TZ follow the real rules of a database zone or
// a POSIX setting, and `xvkit zone` prints a year's changes as zdump -v does.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "run_tool.h"

namespace {

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

TEST(ToolZone, ChangesAgreeWithZdump) {
    struct {
        const char* zone;
        int year;
        std::size_t changes;
    } const cases[] = {
        {"America/New_York", 2024, 2}, {"Australia/Lord_Howe", 2024, 2}, {"Europe/Dublin", 2024, 2},
        {"Africa/Cairo", 2014, 4},     {"America/Sao_Paulo", 2018, 2},   {"Europe/Berlin", 1985, 2},
        {"Antarctica/Troll", 2030, 2}, {"Asia/Tokyo", 2024, 0},
    };
    for (const auto& c : cases) {
        const std::string year = std::to_string(c.year);
        const RunResult ours = runTool({"zone", "--year", year, c.zone});
        ASSERT_EQ(ours.status, 0) << c.zone << ": " << ours.err;
        const RunResult peer =
            runProgram(XVKIT_ZDUMP, {"-v", "-c", year + "," + std::to_string(c.year + 1), c.zone});
        ASSERT_EQ(peer.status, 0) << c.zone;
        const auto lines = changeLines(ours.out);
        EXPECT_EQ(lines.size(), 2 * c.changes) << c.zone << " " << year;
        EXPECT_EQ(lines, changeLines(peer.out)) << c.zone << " " << year;
    }
}

TEST(ToolZone, DescribesAZoneAndRefusesUnknownOnes) {
    expectRuns({
        {"zone|--year|2024|Asia/Kolkata", 0,
         "zone        Asia/Kolkata\n"
         "standard    IST  UTC+05:30\n"
         "daylight    +0630  UTC+06:30\n"
         "exact from  1907\n"
         "no changes in 2024\n"},
        // Without a name, the zone of TZ (the change lines are zdump's, above).
        {"zone|--year|2030", 0,
         "zone        <+0330>-3:30\n"
         "standard    +0330  UTC+03:30\n"
         "daylight    none\n"
         "exact from  1901\n"
         "no changes in 2030\n",
         "", "", "TZ=<+0330>-3:30"},
        {"zone|Nowhere/Land", 2, "", "bad zone: no zone 'Nowhere/Land' under /usr/share/zoneinfo"},
        {"zone|../../etc/passwd", 2, "",
         "bad zone: zone name '../../etc/passwd' reaches outside the database folder"},
        {"zone|--year|1900|UTC", 2, "", "bad year '1900' (1901 to 2037)"},
        {"zone|UTC|GMT", 2, "", "too many arguments (see 'xvkit zone --help')"},
    });
}

TEST(ToolZone, TimeFollowsTheRealRules) {
    expectRuns({
        // EST5EDT is New York's rules in the database: daylight time from 10 March.
        {"time|--zone|EST5EDT|3/15/2024|12:00 pm", 0,
         "Friday 15 March 2024 12:00:00 EDT (count 3887971200, daylight time)\n"},
        {"time|--zone|America/New_York|--dst|2024", 0,
         "begins Sunday 10 March 2024 03:00:00 EDT (count 3887506800, daylight time)\n"
         "ends   Sunday 03 November 2024 01:00:00 EST (count 3908066400, standard time)\n"},
        {"time|--zone|Australia/Sydney|1/15/2024|12:00", 0,
         "Monday 15 January 2024 12:00:00 AEDT (count 3882733200, daylight time)\n"},
        {"time|12:00", 2, "", "bad TZ: no zone 'Nowhere/Land' under /usr/share/zoneinfo", "",
         "TZ=Nowhere/Land"},
        {"date|--zone|EST5EDT,M3.2.0,M11.1.0,|3/5/97", 2, "",
         "bad zone: bad POSIX setting 'EST5EDT,M3.2.0,M11.1.0,': unexpected text at ','"},
    });
}

}  // namespace
