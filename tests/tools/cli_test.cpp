// The tool's command line, help, errors and the date, time, number and money
// subcommands, run as a real program.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <xvkit/qndate.h>

#include "run_tool.h"

namespace {

void expectError(const RunResult& r, int status, const std::string& message) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "xvkit: " + message + "\n");
}

TEST(ToolCommandLine, HelpListsCommandsAndExitStatuses) {
    RunResult r = runTool({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* word :
         {"tour ", "date ", "time ", "num ", "money ", "locale ", "grep ", "Exit status:"}) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
    for (const char* command : {"tour", "date", "time", "num", "money", "locale", "grep"}) {
        RunResult h = runTool({command, "--help"});
        EXPECT_EQ(h.status, 0) << command;
        EXPECT_EQ(h.out.rfind(std::string("usage: xvkit ") + command, 0), 0u) << command;
        EXPECT_NE(h.out.find("Exit status:"), std::string::npos) << command;
    }
}

TEST(ToolCommandLine, HelpDescribesEveryOption) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> options = {
        {"date", {"--locale", "--zone", "--format"}},
        {"time", {"--locale", "--zone", "--format", "--dst"}},
        {"num", {"--locale", "--precision", "--parse"}},
        {"money", {"--locale", "--symbol", "--parse"}},
        {"grep", {"-n", "-c", "-o"}},
    };
    for (const auto& [command, names] : options) {
        const std::string help = runTool({command, "--help"}).out;
        for (const std::string& name : names)
            EXPECT_NE(help.find("\n  " + name + " "), std::string::npos) << command << " " << name;
    }
}

TEST(ToolCommandLine, UnwritableOutputIsStatus2) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"tour"}, {"num", "1"}, {"grep", "-c", "x"}}) {
        RunResult r = runToolInto(args, "/dev/full");
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(r.err, "xvkit: cannot write the output\n") << args[0];
    }
}

TEST(ToolCommandLine, BadUsageIsOneLineAndStatus2) {
    expectError(runTool({"bogus"}), 2, "unknown command 'bogus' (see 'xvkit --help')");
    expectError(runTool({"num", "--foo", "1"}), 2,
                "unknown option '--foo' (see 'xvkit num --help')");
    expectError(runTool({"num", "--precision"}), 2,
                "option '--precision' needs a value (see 'xvkit num --help')");
    expectError(runTool({"num", "--parse=1", "1"}), 2, "option '--parse' takes no value");
    expectError(runTool({"grep", "-nx", "a"}), 2, "unknown option '-x' (see 'xvkit grep --help')");
    expectError(runTool({"num", "--precision", "x", "1"}), 2, "bad precision 'x'");
    expectError(runTool({"money", "--symbol", "euro", "1"}), 2,
                "bad symbol 'euro' (none, local or intl)");
    expectError(runTool({"num"}), 2, "num needs a VALUE (see 'xvkit num --help')");
}

TEST(ToolCommandLine, OptionForms) {
    // "--name=value", a value as the next word, "--" before operands that
    // look like options, and negative numbers as operands.
    EXPECT_EQ(runTool({"num", "--precision=1", "2.25"}).out, "2.2\n");
    EXPECT_EQ(runTool({"num", "--precision", "3", "-2"}).out, "-2.000\n");
    EXPECT_EQ(runTool({"num", "--precision", "0", "--precision", "1", "7"}).out, "7.0\n");
    EXPECT_EQ(runTool({"num", "-.5", "--precision=1"}).out, "-0.5\n");
    RunResult r = runTool({"grep", "-c", "--", "--x"}, "a--x\n--y\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\n");
}

TEST(ToolDate, ReadsAndFormatsWithDayNumberAndWeekday) {
    RunResult r = runTool({"date", "March", "5,", "1997"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Wednesday 05 March 1997 (day 2450513, weekday 3)\n");
    EXPECT_EQ(runTool({"date", "--format", "%d/%m/%Y %j 100%%", "12-25-2005"}).out,
              "25/12/2005 359 100% (day 2453730, weekday 7)\n");
    EXPECT_EQ(runTool({"date", "--format=%x", "2/29/2000"}).out,
              "02/29/2000 (day 2451604, weekday 2)\n");
}

TEST(ToolDate, TodayWhenNoText) {
    std::time_t now = std::time(nullptr);
    tm utc;
    gmtime_r(&now, &utc);
    QNDate today(utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900);
    RunResult r = runTool({"date", "--format", "%Y-%m-%d"});
    char expected[64];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d (day %lu, weekday %u)\n",
                  utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, today.julian(), today.weekDay());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
}

TEST(ToolDate, UnreadableDatesAreStatus1) {
    expectError(runTool({"date", "2/30/1997"}), 1, "cannot read '2/30/1997' as a date");
    expectError(runTool({"date", "someday"}), 1, "cannot read 'someday' as a date");
}

TEST(ToolTime, ReadsAnInstantInAZone) {
    RunResult r = runTool({"time", "--zone", "EST5EDT", "3/5/97", "1:15 pm"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    // 18:15 UTC; 1901 to 1970 is 2177452800 seconds.
    EXPECT_EQ(r.out, "Wednesday 05 March 1997 13:15:00 EST (count 3035038500, standard time)\n");
    EXPECT_EQ(runTool({"time", "--zone=EST5EDT", "--format", "%H:%M %Z", "7/4/97", "12:00"}).out,
              "12:00 EDT (count 3045484800, daylight time)\n");
    // The zone also comes from the environment.
    EXPECT_EQ(
        runTool({"time", "--format", "%H:%M", "7/4/97", "12:00"}, "", {{"TZ", "PST8PDT"}}).out,
        "12:00 (count 3045495600, daylight time)\n");
}

TEST(ToolTime, NowWhenNoText) {
    unsigned long before = static_cast<unsigned long>(std::time(nullptr)) + 2177452800UL;
    RunResult r = runTool({"time", "--format", "%Z"});
    unsigned long after = static_cast<unsigned long>(std::time(nullptr)) + 2177452800UL;
    EXPECT_EQ(r.status, 0);
    unsigned long count = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "UTC (count %lu, standard time)", &count), 1) << r.out;
    EXPECT_GE(count, before);
    EXPECT_LE(count, after);
}

TEST(ToolTime, DaylightChangesOfAYear) {
    RunResult r = runTool({"time", "--zone", "EST5EDT", "--dst", "1997"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "begins Sunday 06 April 1997 03:00:00 EDT (count 3037762800, daylight time)\n"
              "ends   Sunday 26 October 1997 01:00:00 EST (count 3055298400, standard time)\n");
    r = runTool({"time", "--zone", "UTC0", "--dst", "1997"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "no daylight time in 1997\n");
    // Changes that the 32-bit count cannot hold are refused, not wrapped.
    for (const char* year : {"1900", "2037", "3000", "4294967296"}) {
        expectError(runTool({"time", "--zone", "EST5EDT", "--dst", year}), 1,
                    std::string("the daylight-saving changes of ") + year +
                        " fall outside the range of instants (1901 to 6 February 2037)");
    }
    EXPECT_EQ(
        runTool({"time", "--zone", "EST5EDT", "--dst", "2036", "--format", "%Y-%m-%d %H:%M"}).out,
        "begins 2036-04-06 03:00 (count 4268530800, daylight time)\n"
        "ends   2036-10-26 01:00 (count 4286066400, standard time)\n");
    expectError(runTool({"time", "--dst", "199x"}), 2, "bad year '199x'");
    expectError(runTool({"time", "--dst", "-1"}), 2, "bad year '-1'");
    expectError(runTool({"time", "--dst", "1997", "12:00"}), 2, "--dst takes no DATE or TIME");
}

TEST(ToolTime, InstantsThatCannotBeReadAreStatus1) {
    const std::string why =
        " (outside 1901 to 6 February 2037, or in the hour skipped by the change to daylight "
        "time)";
    expectError(runTool({"time", "--zone", "EST5EDT", "4/6/97", "2:30"}), 1,
                "no such instant: '2:30' on 04/06/97" + why);
    expectError(runTool({"time", "3/5/97", "noon"}), 1, "cannot read 'noon' as a time");
    expectError(runTool({"time", "3/x/1997", "12:00"}), 1, "cannot read '3/x/1997' as a date");
    // At both ends of the 32-bit count, wall-clock times that it cannot hold
    // are refused rather than wrapped around to the other end.
    expectError(runTool({"time", "12/30/1900", "12:00"}), 1,
                "no such instant: '12:00' on 12/30/1900" + why);
    expectError(runTool({"time", "12/31/1900", "23:00"}), 1,
                "no such instant: '23:00' on 12/31/1900" + why);
    expectError(runTool({"time", "2/6/2037", "6:28:16"}), 1,
                "no such instant: '6:28:16' on 02/06/2037" + why);
    expectError(runTool({"time", "2/7/2037", "12:00"}), 1,
                "no such instant: '12:00' on 02/07/2037" + why);
    EXPECT_EQ(runTool({"time", "2/6/2037", "6:28:15"}).out,
              "Friday 06 February 2037 06:28:15 UTC (count 4294967295, standard time)\n");
    EXPECT_EQ(runTool({"time", "--zone", "EST5EDT", "12/31/1900", "23:00"}).out,
              "Monday 31 December 1900 23:00:00 EST (count 14400, standard time)\n");
    expectError(runTool({"time", "a", "b", "c"}), 2,
                "too many arguments (see 'xvkit time --help')");
}

TEST(ToolNumbers, FormatAndReadBack) {
    RunResult r = runTool({"num", "1234567", "-1234.5", "0.125"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1234567\n-1234.50\n0.12\n");
    r = runTool({"num", "--parse", " -42 ", "3.25"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "-42\n3.25\n");
    // Unreadable values are reported; the others are still printed.
    r = runTool({"num", "5", "abc", "6"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "5\n6\n");
    EXPECT_EQ(r.err, "xvkit: cannot read 'abc' as a number\n");
}

TEST(ToolMoney, FormatAndReadBack) {
    EXPECT_EQ(runTool({"money", "12345", "-12345"}).out, "$123.45\n($123.45)\n");
    EXPECT_EQ(runTool({"money", "--symbol", "intl", "100"}).out, "USD 1.00\n");
    EXPECT_EQ(runTool({"money", "--symbol", "none", "5"}).out, "0.05\n");
    RunResult r = runTool({"money", "--parse", "$123.45", "($1.00)"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "12345\n-100\n");
    r = runTool({"money", "--parse", "--symbol", "intl", "USD 2.50", "$2.50"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "250\n");
    EXPECT_EQ(r.err, "xvkit: cannot read '$2.50' as a money amount\n");
}

}  // namespace
