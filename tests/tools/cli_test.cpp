// The tool's command line, help and errors, and every subcommand but grep,
// run as a real program with the test locales on LOCPATH; its zones follow
// the real rules (their history against the peers is in zone_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include <xvkit/qndate.h>

#include "run_tool.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const std::string kOutside =
    " lies outside the range of instants, 1 January 1901 to 6 February 2037 06:28:15 UTC";

TEST(ToolCommandLine, HelpDescribesCommandsOptionsAndExitStatuses) {
    const RunResult r = runTool({"--help"});
    EXPECT_TRUE(r.status == 0 && r.err.empty() && contains(r.out, "Exit status:"));
    // Each command, in the help and in its own help with the options it lists.
    for (const char* line :
         {"tour", "locale", "date --locale --zone --format", "time --locale --zone --format --dst",
          "num --locale --precision --parse", "money --locale --symbol --parse", "grep -n -c -o"}) {
        std::istringstream words(line);
        std::string command, option;
        words >> command;
        EXPECT_TRUE(contains(r.out, command + " ")) << command;
        const RunResult h = runTool({command, "--help"});
        EXPECT_TRUE(h.status == 0 && h.out.starts_with("usage: xvkit " + command) &&
                    contains(h.out, "Exit status:"))
            << h.out;
        while (words >> option)
            EXPECT_TRUE(contains(h.out, "\n  " + option + " ")) << command << " " << option;
    }
}

TEST(ToolCommandLine, UnwritableOutputIsStatus2) {
    for (const char* args : {" tour", " num 1", " grep -c x </dev/null"}) {
        const RunResult r = runProgram(
            "/bin/sh", {"-c", XVKIT_TOOL + std::string(args) + " >/dev/full"}, "", {"TZ=UTC0"});
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err, "xvkit: cannot write the output\n") << args;
    }
}

TEST(ToolCommandLine, OptionFormsAndBadUsage) {
    expectRuns({
        // "--name=value", a value as the next word, the last one winning, and
        // negative numbers as operands.
        {"num|--precision=1|2.25", 0, "2.2\n"},
        {"num|--precision|0|--precision|1|7", 0, "7.0\n"},
        {"num|--precision|3|-2", 0, "-2.000\n"},
        {"num|-.5|--precision=1", 0, "-0.5\n"},
        {"bogus", 2, "", "unknown command 'bogus' (see 'xvkit --help')"},
        {"num|--foo|1", 2, "", "unknown option '--foo' (see 'xvkit num --help')"},
        {"num|--precision", 2, "", "option '--precision' needs a value (see 'xvkit num --help')"},
        {"num|--parse=1|1", 2, "", "option '--parse' takes no value"},
        {"grep|-nj|a", 2, "", "unknown option '-j' (see 'xvkit grep --help')"},
        {"num|--precision|x|1", 2, "", "bad precision 'x'"},
        {"num", 2, "", "num needs a VALUE (see 'xvkit num --help')"},
        {"tour|x", 2, "", "tour takes no arguments (see 'xvkit tour --help')"},
        {"locale", 2, "", "locale needs one NAME (see 'xvkit locale --help')"},
        // "--" before operands that look like options.
        {"grep|-c|--|--x", 0, "1\n", "", "a--x\n--y\n"},
    });
}

TEST(ToolDateAndTime, ReadAndFormat) {
    const std::string skipped =
        " lies in the stretch skipped when the clock went from 1997-04-06 01:59:59 EST "
        "(UTC-05:00) to 1997-04-06 03:00:00 EDT (UTC-04:00)";
    const std::string usDates =
        " (the locale writes dates as '03/05/97'; YYYY-MM-DD is read in every locale)";
    expectRuns({
        {"date|March|5,|1997", 0, "Wednesday 05 March 1997 (day 2450513, weekday 3)\n"},
        {"date|--format|%d/%m/%Y %j 100%%|12-25-2005", 0, "25/12/2005 359 100%\n"},
        {"date|--format=%x|-v|2/29/2000", 0, "02/29/2000 (day 2451604, weekday 2)\n"},
        {"date|2/30/1997", 1, "", "cannot read '2/30/1997' as a date" + usDates},
        {"date|someday", 1, "", "cannot read 'someday' as a date" + usDates},
        // 18:15 UTC; 1901 to 1970 is 2177452800 seconds.
        {"time|--zone|EST5EDT|3/5/97|1:15 pm", 0,
         "Wednesday 05 March 1997 13:15:00 EST (count 3035038500, standard time)\n"},
        {"time|--zone=EST5EDT|--format|%H:%M %Z|--verbose|7/4/97|12:00", 0,
         "12:00 EDT (count 3045484800, daylight time)\n"},
        // The zone also comes from the environment.
        {"time|-vf|%H:%M|7/4/97|12:00", 0, "12:00 (count 3045495600, daylight time)\n", "", "",
         "TZ=PST8PDT"},
        {"time|--zone|EST5EDT|4/6/97|2:30", 1, "", "no such instant: '2:30' on 04/06/97" + skipped},
        {"time|3/5/97|noon", 1, "", "cannot read 'noon' as a time"},
        {"time|a|b|c", 2, "", "too many arguments (see 'xvkit time --help')"},
        // At both ends of the 32-bit count, wall-clock times that it cannot
        // hold are refused rather than wrapped around to the other end.
        {"time|12/31/1900|23:00", 1, "", "no such instant: '23:00' on 12/31/1900" + kOutside},
        {"time|2/6/2037|6:28:16", 1, "", "no such instant: '6:28:16' on 02/06/2037" + kOutside},
        {"time|2/6/2037|6:28:15", 0,
         "Friday 06 February 2037 06:28:15 UTC (count 4294967295, standard time)\n"},
        {"time|--zone|EST5EDT|12/31/1900|23:00", 0,
         "Monday 31 December 1900 23:00:00 EST (count 14400, standard time)\n"},
    });
}

TEST(ToolDateAndTime, ConvertsBetweenZonesAndReadsRfc3339) {
    expectRuns({
        {"time|-z|America/New_York|--to|Asia/Tokyo|--iso|2024-03-15|9:00", 0,
         "2024-03-15T22:00:00+09:00\n"},
        // One line per --to, in order, in the format.
        {"time|-z|America/New_York|--to|Asia/Tokyo|--to=UTC0|--to|Europe/London|-f|%H:%M %Z|"
         "3/15/2024|9:00 am",
         0, "22:00 JST\n13:00 UTC\n13:00 GMT\n"},
        {"time|-z|Europe/Paris|--to|America/Sao_Paulo|3/15/2024|12:00", 0,
         "Friday 15 March 2024 08:00:00 -03 (count 3887953200, standard time)\n"},
        // An ISO time with an offset needs no zone to read it in.
        {"time|--to|Asia/Kolkata|-i|2024-03-15T09:00:00-04:00", 0, "2024-03-15T18:30:00+05:30\n"},
        {"time|--to|Nowhere/Land|12:00", 2, "",
         "bad zone: no zone 'Nowhere/Land' under /usr/share/zoneinfo"},
        {"time|--to|UTC0|--dst|2024", 2, "", "--dst and --to exclude each other"},
        // 't' and 'z' in either case, a blank for 'T' (in one word or two), a
        // fraction of a second after '.' or ',' dropped.
        {"time|-i|2024-03-10t12:00:00.999z", 0, "2024-03-10T12:00:00Z\n"},
        {"time|-i|2024-03-10 12:00:00,5+01:00", 0, "2024-03-10T11:00:00Z\n"},
        {"time|-i|2024-03-10|23:59:59.999999999Z", 0, "2024-03-10T23:59:59Z\n"},
        {"time|-i|2037-02-06T06:28:15.9Z", 0, "2037-02-06T06:28:15Z\n"},
        {"time|-i|1901-01-01T00:00:00.5Z", 1, "",
         "no such instant: '1901-01-01T00:00:00.5Z'" + kOutside},
        {"time|-i|2024-03-10T12:00:00.Z", 1, "", "cannot read '2024-03-10T12:00:00.Z' as a time"},
    });
}

TEST(ToolDateAndTime, DaylightChangesOfAYear) {
    const std::string outside = " fall outside the range of instants (1901 to 6 February 2037)";
    expectRuns({
        {"time|--zone|EST5EDT|--dst|1997", 0,
         "begins Sunday 06 April 1997 03:00:00 EDT (count 3037762800, daylight time)\n"
         "ends   Sunday 26 October 1997 01:00:00 EST (count 3055298400, standard time)\n"},
        {"time|--zone|EST5EDT|--dst|2036|--format|%Y-%m-%d %H:%M", 0,
         "begins 2036-03-09 03:00\n"
         "ends   2036-11-02 01:00\n"},
        {"time|--zone|UTC0|--dst|1997", 0, "no daylight time in 1997\n"},
        // Changes that the 32-bit count cannot hold are refused, not wrapped.
        {"time|--zone|EST5EDT|--dst|1900", 1, "", "the daylight-saving changes of 1900" + outside},
        {"time|--zone|EST5EDT|--dst|2037", 1, "", "the daylight-saving changes of 2037" + outside},
        {"time|--zone|EST5EDT|--dst|4294967296", 1, "",
         "the daylight-saving changes of 4294967296" + outside},
        {"time|--dst|199x", 2, "", "bad year '199x'"},
        {"time|--dst|1997|12:00", 2, "", "--dst takes no DATE or TIME"},
    });
}

TEST(ToolDateAndTime, TodayAndNowWhenNoText) {
    const std::time_t now = std::time(nullptr);
    tm utc;
    gmtime_r(&now, &utc);
    const QNDate today(utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d (day %lu, weekday %u)\n",
                  utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, today.julian(), today.weekDay());
    expectRuns({{"date|--format|%Y-%m-%d|-v", 0, expected}});

    const unsigned long before = static_cast<unsigned long>(now) + 2177452800UL;
    const RunResult r = runTool({"time", "--format", "%Z", "-v"});
    const unsigned long after = static_cast<unsigned long>(std::time(nullptr)) + 2177452800UL;
    unsigned long count = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "UTC (count %lu, standard time)", &count), 1) << r.out;
    EXPECT_TRUE(count >= before && count <= after) << count;
}

TEST(ToolNumbersAndMoney, FormatAndReadBackInALocale) {
    expectRuns({
        {"num|1234567|-1234.5|0.125", 0, "1234567\n-1234.50\n0.12\n"},
        {"num|--parse| -42 |3.25", 0, "-42\n3.25\n"},
        // Unreadable values are reported; the others are still printed.
        {"num|5|abc|6", 1, "5\n6\n", "cannot read 'abc' as a number"},
        {"money|12345|-12345", 0, "$123.45\n($123.45)\n"},
        {"money|--symbol|intl|100", 0, "USD 1.00\n"},
        {"money|--symbol|none|5", 0, "0.05\n"},
        {"money|--parse|$123.45|($1.00)", 0, "12345\n-100\n"},
        {"money|--parse|--symbol|intl|USD 2.50|$2.50", 1, "250\n",
         "cannot read '$2.50' as a money amount"},
        {"num|--locale|de_DE.UTF-8|1234567|-1234.5", 0, "1.234.567\n-1.234,50\n"},
        {"num|--locale=en_IN.UTF-8|123456789", 0, "12,34,56,789\n"},
        {"date|--locale|de_DE.UTF-8|--format|%A %x|30.11.1990", 0, "Freitag 30.11.1990\n"},
        // An empty name takes the environment's locale.
        {"num|--locale=|1234567", 0, "1.234.567\n", "", "", "LC_ALL=de_DE.UTF-8"},
        {"money|--locale|xx_NOWHERE|1", 2, "",
         "unknown locale 'xx_NOWHERE' (see 'locale -a' for the installed ones)"},
    });
}

TEST(ToolTour, IsTheDefaultAndShowsEveryFamily) {
    const RunResult tour = runTool({"tour"});
    EXPECT_TRUE(tour.status == 0 && tour.err.empty());
    EXPECT_EQ(runTool({}).out, tour.out);
    // One result of each family on the tour's fixed inputs: dates, instants
    // and zones, the English locale, the C snapshot, bit vectors, searches.
    for (const char* line : {"Tuesday 02/29/00", "Sat Jan  1 07:00:00 2000 EST", "($123.45)",
                             "-1234.50", "1000001000001000", "at 2, length 5"}) {
        EXPECT_TRUE(contains(tour.out, line)) << line << "\n" << tour.out;
    }
}

TEST(ToolLocale, DumpsWhatTheSnapshotCaptured) {
    const char* const cases[][2] = {
        {"de_DE.UTF-8", "decimal point          \",\""},
        {"de_DE.UTF-8", "grouping               3;3"},
        {"de_DE.UTF-8", "international symbol   \"EUR \""},
        {"de_DE.UTF-8", "\"Montag\""},
        {"de_DE.UTF-8", "date order             day-month-year"},
        {"de_DE.UTF-8", "x (date)               \"..\" + d at 0, m at 1, Y at 2"},
        {"en_IN.UTF-8", "grouping               3;2"},
        {"sv_SE.UTF-8", "date order             year-month-day"},
        {"ja_JP.UTF-8", "(month names not read)"}};
    for (const auto& [locale, line] : cases) {
        const RunResult r = runTool({"locale", locale});
        EXPECT_TRUE(r.status == 0 && contains(r.out, line)) << line << "\n" << r.out << r.err;
    }
    expectRuns({{"locale|xx_NOWHERE.UTF-8", 2, "",
                 "unknown locale 'xx_NOWHERE.UTF-8' (install it (package locales-all), or "
                 "compile it with 'localedef -i xx_NOWHERE -f UTF-8 DIR/xx_NOWHERE.UTF-8' and "
                 "set LOCPATH=DIR)"}});
}

TEST(ToolConventions, VersionHelpAndShortOptions) {
    EXPECT_EQ(runTool({"-h"}).out, runTool({"--help"}).out);
    EXPECT_EQ(runTool({"money", "-h"}).out, runTool({"money", "--help"}).out);
    expectRuns({
        {"--version", 0, "xvkit " XVKIT_VERSION "\n"},
        {"-V", 0, "xvkit " XVKIT_VERSION "\n"},
        {"num|-lde_DE.UTF-8|-p|1.234.567", 0, "1234567\n"},
        {"money|-s|intl|-p|USD 2.50", 0, "250\n"},
        {"date|-f|%d.%m.%Y|-z|UTC0|2/29/2000", 0, "29.02.2000\n"},
        {"time|-z|EST5EDT|-i|7/4/97|12:00", 0, "1997-07-04T12:00:00-04:00\n"},
        // An operand that looks like an option gets a hint at "--".
        {"money|--parse|-$5", 2, "",
         "unknown option '-$5' (put '--' before an operand that starts with '-'; see 'xvkit "
         "money --help')"},
        {"money|--parse|--|-$5", 0, "-500\n"},
    });
}

TEST(ToolConventions, WholeNumbersOf64Bits) {
    const std::string beyond64 =
        " lies beyond the whole numbers of 64 bits (-9223372036854775808 to "
        "9223372036854775807)";
    const std::string beyondMoney =
        " lies beyond the exact money amounts (-9007199254740991 to 9007199254740991 smallest "
        "units)";
    expectRuns({
        // Formatting: the English locale's 32 bits, then the tool's 64.
        {"num|2147483647|3000000000|-9223372036854775808", 0,
         "2147483647\n3000000000\n-9223372036854775808\n"},
        {"num|-l|en_US.UTF-8|9223372036854775807|-2147483648", 0,
         "9,223,372,036,854,775,807\n-2,147,483,648\n"},
        {"num|-l|en_IN.UTF-8|-9007199254740993", 0, "-9,00,71,99,25,47,40,993\n"},
        {"num|--precision|1|9007199254740993", 0, "9007199254740993.0\n"},
        {"num|9223372036854775808|1", 1, "1\n", "'9223372036854775808'" + beyond64},
        // Reading: exact beyond the locale's readers, plain or grouped as the
        // locale groups.
        {"num|--parse|3000000000|2147483647|-2147483648", 0,
         "3000000000\n2147483647\n-2147483648\n"},
        {"num|-p|-l|en_US.UTF-8|3,000,000,000|-9223372036854775808", 0,
         "3000000000\n-9223372036854775808\n"},
        {"num|-p|-l|en_US.UTF-8|3000,000,000", 1, "", "cannot read '3000,000,000' as a number"},
        {"num|-p|99999999999999999999", 1, "", "'99999999999999999999'" + beyond64},
        // Money: exact up to 2^53 - 1 smallest units.
        {"money|123456789012", 0, "$1234567890.12\n"},
        {"money|9007199254740992", 1, "", "'9007199254740992'" + beyondMoney},
        {"money|--parse|$12345678901234.56|$90071992547409.91", 0,
         "1234567890123456\n9007199254740991\n"},
        {"money|--parse|$90071992547409.92", 1, "", "'$90071992547409.92'" + beyondMoney},
        // Real numbers too: beyond 2^53 - 1 or not finite, with no other
        // form than an exponent.
        {"money|1e16", 1, "", "'1e16'" + beyondMoney},
        {"money|1e300", 1, "", "'1e300'" + beyondMoney},
        {"money|--|-1e309", 1, "", "'-1e309'" + beyondMoney},
        {"money|1e309|5", 1, "$0.05\n", "'1e309'" + beyondMoney},
        {"money|1e15|-9.007199254740991e15", 0, "$10000000000000.00\n($90071992547409.91)\n"},
    });
}

TEST(ToolConventions, FormatLettersAndIso8601) {
    const std::string known =
        " (the locales know %a %A %b %B %c %C %d %H %I %j %m %M %p %S %U %w %W %x %X %y %Y %Z "
        "and %%)";
    expectRuns({
        {"date|--format|%F %T %z %s|3/5/97", 2, "",
         "unknown format letter 'F' in '%F %T %z %s'" + known},
        {"date|-f|100%|3/5/97", 2, "", "the format '100%' ends in a lone '%' (write %% for '%')"},
        {"date|--iso|-f|%x", 2, "", "--format and --iso exclude each other"},
        // ISO 8601 in every locale, and printed with --iso.
        {"date|2024-03-10", 0, "Sunday 10 March 2024 (day 2460380, weekday 7)\n"},
        {"date|-l|de_DE.UTF-8|-f|%x|1990-11-30", 0, "30.11.1990\n"},
        {"date|--iso|March|5,|1997", 0, "1997-03-05\n"},
        {"date|2024-02-30", 1, "",
         "cannot read '2024-02-30' as a date (month 2 of 2024 has 29 days)"},
        {"date|2024-13-01", 1, "", "cannot read '2024-13-01' as a date (no month 13)"},
        {"time|2024-03-10T12:00:00Z", 0,
         "Sunday 10 March 2024 12:00:00 UTC (count 3887524800, standard time)\n"},
        {"time|1997-07-04T12:00+05:30", 0,
         "Friday 04 July 1997 06:30:00 UTC (count 3045450600, standard time)\n"},
        {"time|-iv|1997-03-05|13:15", 0,
         "1997-03-05T13:15:00Z (count 3035020500, standard time)\n"},
        {"time|1997-07-04T24:00", 1, "",
         "cannot read '1997-07-04T24:00' as a date and time (no hour 24)"},
        {"time|1997-07-04", 1, "",
         "cannot read '1997-07-04' as a time (an ISO 8601 instant needs a time: YYYY-MM-DDTHH:MM)"},
        // An ISO instant outside the 32-bit count.
        {"time|1900-12-31T23:59:59Z", 1, "", "no such instant: '1900-12-31T23:59:59Z'" + kOutside},
    });
}

TEST(ToolConventions, ErrorLinesQuoteArguments) {
    expectRuns({
        {"num|a\nb", 1, "", "cannot read 'a\\nb' as a number"},
        {"num|\t\x1b'\\", 1, "", "cannot read '\\t\\x1b\\'\\\\' as a number"},
        // Valid UTF-8 is kept, invalid bytes are escaped.
        {"num|\xc3\xa9\xff\xc3", 1, "", "cannot read '\xc3\xa9\\xff\\xc3' as a number"},
        {"bo\ngus", 2, "", "unknown command 'bo\\ngus' (see 'xvkit --help')"},
        {"num|-l|x\n.UTF-8|1", 2, "",
         "unknown locale 'x\\n.UTF-8' (see 'locale -a' for the installed ones)"},
    });
}

// Every byte but NUL (which no argument or environment value can hold) in a
// zone name, a TZ value and a grep file name, eight byte values to a name:
// each error is one line with the bytes escaped.
TEST(ToolConventions, ErrorLinesAreOneLineForEveryByte) {
    const auto expectOneLine = [](const RunResult& r, const std::string& what) {
        EXPECT_TRUE(r.status == 0 || r.status == 2) << what << " " << r.status;
        EXPECT_TRUE(r.err.empty() || r.err.starts_with("xvkit: ")) << what;
        EXPECT_EQ(r.err.find('\n'), r.err.empty() ? std::string::npos : r.err.size() - 1) << what;
        const auto control = [](char c) { return (c >= 0 && c < 0x20 && c != '\n') || c == 0x7f; };
        EXPECT_TRUE(std::none_of(r.err.begin(), r.err.end(), control)) << what << ": " << r.err;
    };
    constexpr int kBytesPerName = 8;
    for (int first = 0; first < 256; first += kBytesPerName) {
        std::string name = "A";
        for (int byte = std::max(first, 1); byte < first + kBytesPerName; ++byte)
            name += static_cast<char>(byte);
        name += 'B';
        const std::string what = "bytes " + std::to_string(first) + " on";
        expectOneLine(runTool({"zone", name}), what + " in a zone name");
        expectOneLine(runTool({"date"}, "", "TZ=" + name), what + " in TZ");
        expectOneLine(runTool({"grep", "-c", "x", name}), what + " in a file name");
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
