// The tour, the locale dump and the --locale option of the xvkit tool, run as
// a real program with the test locales on LOCPATH.
#include <gtest/gtest.h>

#include <string>

#include "run_tool.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ToolTour, IsTheDefaultAndShowsEveryFamily) {
    RunResult tour = runTool({"tour"});
    EXPECT_EQ(tour.status, 0);
    EXPECT_EQ(tour.err, "");
    EXPECT_EQ(runTool({}).out, tour.out);
    // Results of the library on the tour's fixed inputs.
    for (const char* line : {
             "Tuesday 02/29/00",                      // QNDate(29, 2, 2000)
             "2451604, 60",                           // its day number and day of year
             "03/05/00",                              // the following Sunday
             "Wednesday 05 March 1997",               // "03/05/97" read by the C snapshot
             "3124180800",                            // 1/1/2000 12:00 UTC
             "Sat Jan  1 07:00:00 2000 EST",          // the same instant in US Eastern
             "04/06/97 03:00:00 EDT",                 // daylight time begins
             "10/26/97 01:00:00 EST",                 // and ends
             "($123.45)", "-12345 cents", "13:15",    // the English locale
             "-1234.50",                              // the C snapshot
             "1000001000001000", "0011100011100011",  // a & b, a ^ b
             "at 2, length 5", "at 1, length 8",      // [0-9]+, b.*d
         }) {
        EXPECT_TRUE(contains(tour.out, line)) << line << "\n" << tour.out;
    }
    EXPECT_EQ(runTool({"tour", "x"}).status, 2);
}

TEST(ToolLocale, DumpsWhatTheSnapshotCaptured) {
    RunResult german = runTool({"locale", "de_DE.UTF-8"});
    ASSERT_EQ(german.status, 0) << german.err;
    for (const char* line : {"decimal point          \",\"", "thousands separator    \".\"",
                             "grouping               3;3", "international symbol   \"EUR \"",
                             "\"Montag\"", "\"Dezember\"", "date order             day-month-year",
                             "x (date)               \"..\" + d at 0, m at 1, Y at 2"}) {
        EXPECT_TRUE(contains(german.out, line)) << line << "\n" << german.out;
    }
    EXPECT_TRUE(contains(runTool({"locale", "en_IN.UTF-8"}).out, "grouping               3;2"));
    EXPECT_TRUE(
        contains(runTool({"locale", "sv_SE.UTF-8"}).out, "date order             year-month-day"));
    EXPECT_TRUE(contains(runTool({"locale", "ja_JP.UTF-8"}).out, "(month names not read)"));

    RunResult unknown = runTool({"locale", "xx_NOWHERE.UTF-8"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "xvkit: unknown locale 'xx_NOWHERE.UTF-8'\n");
    EXPECT_EQ(runTool({"locale"}).status, 2);
}

TEST(ToolLocale, OptionSelectsASnapshot) {
    EXPECT_EQ(runTool({"num", "--locale", "de_DE.UTF-8", "1234567", "-1234.5"}).out,
              "1.234.567\n-1.234,50\n");
    EXPECT_EQ(runTool({"num", "--locale=en_IN.UTF-8", "123456789"}).out, "12,34,56,789\n");
    EXPECT_EQ(runTool({"num", "--locale", "de_DE.UTF-8", "--parse", "1.234.567"}).out, "1234567\n");
    RunResult r = runTool({"date", "--locale", "de_DE.UTF-8", "--format", "%A %x", "30.11.1990"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Freitag 30.11.1990 (day 2448226, weekday 5)\n");
    EXPECT_EQ(runTool({"date", "--locale", "sv_SE.UTF-8", "--format", "%x", "1990-11-30"}).out,
              "1990-11-30 (day 2448226, weekday 5)\n");
    // An empty name takes the environment's locale.
    EXPECT_EQ(runTool({"num", "--locale=", "1234567"}, "", {{"LC_ALL", "de_DE.UTF-8"}}).out,
              "1.234.567\n");
    RunResult bad = runTool({"money", "--locale", "xx_NOWHERE", "1"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "xvkit: unknown locale 'xx_NOWHERE'\n");
}

}  // namespace
