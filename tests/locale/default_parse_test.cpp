// Reading operations of the built-in English locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>
#include <string>

#include "locale_test_support.h"

namespace {

using namespace std::literals;
using namespace xvkit::reader_contract;
using namespace locale_test;

const QNLocaleDefault& loc = QNLocaleDefault::instance();

const char* const kNames[] = {"January",  "February", "March",    "April",     "May",
                              "June",     "July",     "August",   "September", "October",
                              "November", "December", "Monday",   "Tuesday",   "Wednesday",
                              "Thursday", "Friday",   "Saturday", "Sunday"};

// Magnitudes above 2147483647 are clamped to it, as by a 32-bit strtol; an
// embedded NUL is left over like any other character.
TEST(DefaultParse, WholeNumbers) {
    expectReads(loc, 'n',
                {"  - 42   => -42", "\t+12\n => 12", "2147483647 => 2147483647",
                 "2147483648 => 2147483647", "-99999999999999999999 => -2147483647"},
                {"   ", "12abc", "--5", "1 2", "-", "1.5", "12\0003"s});
}

// strtod reads with the C runtime's current decimal point.
TEST(DefaultParse, RealNumbers) {
    RuntimeLocale runtime("C");
    expectReads(loc, 'r', {"-1.5e3 => -1500", " + 2.  => 2", "- .25 => -0.25", "1e400 => inf"},
                {".", "", "1.5e", "inf", "1,5", "2 3"});
    RuntimeLocale german("de_DE.UTF-8");
    expectReads(loc, 'r', {" -1,5  => -1.5"}, {"1.5"});
}

// Years below 100 are years of the 1900s; no digit may follow the year; 29
// February only in leap years. With several month names the latest month
// wins (December is searched first, full name before short); names count
// inside other words and at either end of the text.
TEST(DefaultParse, Dates) {
    expectReads(
        loc, 'd',
        {"12-25-2005 => 2005-12-25", "3/5/0 => 1900-03-05", "3/5/99 => 1999-03-05",
         "3/5/100 => 0100-03-05", "3/5/97 ! => 1997-03-05", "2/29/2000 => 2000-02-29",
         "  on 07.04.1997. => 1997-07-04", "1/1/-5 => 1905-01-01",
         "Tuesday, March 4, 1997 => 1997-03-04", "Junes 2 97 => 1997-06-02",
         "Decade 1, 97 => 1997-12-01", "5 97 dEC => 1997-12-05", "mAy5/97 => 1997-05-05"},
        {"3/5/97 10:00", "-3/5/97 1", "2/29/97", "2/29/1900", "13/1/97", "0/1/97", "4/31/97",
         "3/0/97", "3/5", "March 5", "Ma 5 97", "Dec 5 97 Ja 1", "\xC4\xC5\xC3 5 97"});
    // Each number reads as strtol reads it with a 32-bit long: a larger year
    // is clamped to 2147483647, which is then validated as any other year.
    expectReads(loc, 'd',
                {"1/1/2147483647 => 2147483647-01-01", "12/31/2147483648 => 2147483647-12-31",
                 "May 5 99999999999 => 2147483647-05-05"},
                {"2/29/99999999999", "1/99999999999/1997", "99999999999/1/1997"});
}

// A month or weekday name in lower case (0), upper case (1), alternating case
// (2), or its short form as written (3).
std::string spelled(std::string name, int how) {
    for (std::size_t i = 0; i < name.size() && how < 3; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        name[i] = static_cast<char>(how == 1 || (how == 2 && i % 2 == 0) ? std::toupper(c)
                                                                         : std::tolower(c));
    }
    return how == 3 ? name.substr(0, 3) : name;
}

// Whichever names a text holds, the latest month in the year wins: every
// pair of months, full or short, in any case and order.
TEST(DefaultParse, DateMonthNamesAreSearchedFromDecember) {
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const int how = (a + 5 * b) % 4;
            const std::string text = spelled(kNames[a], how) + "," + spelled(kNames[b], 3 - how);
            char expected[32];
            std::snprintf(expected, sizeof expected, "1997-%02d-07", std::max(a, b) + 1);
            EXPECT_EQ(readingOf(loc, 'd', XVString(text + " 7 1997")), expected) << text;
        }
    }
}

// Text after a time is ignored, unlike after a date.
TEST(DefaultParse, Times) {
    expectReads(loc, 't',
                {"9 => 09:00:00", "9.30 => 09:30:00", "10 30 => 10:30:00", "0:00 => 00:00:00",
                 "23:59:59 => 23:59:59", "12 am => 00:00:00", "12:30 PM => 12:30:00",
                 "11:59:59pM => 23:59:59", "10:30 garbage => 10:30:00", "13 a.m. pm => 13:00:00"},
                {"13:00 pm", "0 am", "24:00", "10:60", "10:30:60", "-1:00", "10:-5", "", "x10",
                 "99999999999999999999"});
}

// A trailing '-' only with the local symbol; "USD" with any other non-zero
// symbol, in upper case; never a symbol with `symbolNone`.
TEST(DefaultParse, MoneyInEverySignForm) {
    expectReads(loc, '$',
                {"-$5 => -500", "$-5 => -500", "$5- => -500", "5 - => -500", "(5.00 => -500",
                 "( $ 7 ) => -700", ".07 => 7", "  $0.00   => 0"},
                {"1.5", "$", "$5--", "(5))", "5.123", "1,000.00", "USD 5"});
    expectReads(loc, 'i', {"USD(3.10) => -310", "-12 => -1200"}, {"usd 12.00", "5-"});
    double amount = 0;
    EXPECT_TRUE(loc.stringToMoney("USD 1", &amount, QNLocale::CurrSymbol(9)) && amount == 100);
    EXPECT_TRUE(loc.stringToMoney("12", &amount, QNLocale::CurrSymbol(9)) && amount == 1200);
    expectReads(loc, '0', {}, {"12.00"});
}

TEST(DefaultParse, MoneyTextsReadBack) {
    RuntimeLocale runtime("C");
    for (double amount : {0.0, 1.0, -1.0, 99.0, -12345.0, 100000000000.0, -999999999999999.0}) {
        const std::string units = printed("%.0f", amount);
        EXPECT_EQ(readingOf(loc, '$', loc.moneyAsString(amount, QNLocale::symbolLocal)), units);
        // "USD" is only recognised first, so "(USD 1.00)" does not read back.
        EXPECT_EQ(readingOf(loc, 'i', loc.moneyAsString(amount, QNLocale::symbolInternational)),
                  amount >= 0 ? units : "fail");
    }
}

// Every name, full and short, in every case; names are matched whole ("Jun",
// one letter short of "June", is a name itself).
TEST(DefaultParse, MonthAndWeekdayNames) {
    const auto index = [](const std::string& text) {
        return std::to_string(loc.monthIndex(XVString(text))) + "/" +
               std::to_string(loc.weekdayIndex(XVString(text)));
    };
    for (int i = 0; i < 19; ++i) {
        const std::string expected =
            std::to_string(i < 12 ? i + 1 : 0) + "/" + std::to_string(i < 12 ? 0 : i - 11);
        for (int how = 0; how < 4; ++how) {
            const std::string name = spelled(kNames[i], how);
            for (const std::string& text : {name, name.substr(0, 3)})
                EXPECT_EQ(index(text), expected) << text;
            EXPECT_EQ(index(name + "x"), "0/0") << name;
            if (name.size() != 4) {
                EXPECT_EQ(index(name.substr(0, name.size() - 1)), "0/0") << name;
            }
        }
    }
    for (const std::string& text : {""s, " Sep"s, "Sep "s, "Sep\0"s})
        EXPECT_EQ(index(text), "0/0") << text;
}

// Texts built from the characters the readers look at, including embedded
// NULs: each reader either accepts with in-range fields or leaves its output
// as it was (and, under the sanitizers, reads nothing past the text).
TEST(DefaultParse, RandomTextsGiveValidResultsOrNone) {
    static const char alphabet[] = "0123456789 /:.-+()$USDusdamAPMpJjanFebMrchDeNov,e\t\0";
    std::minstd_rand random(12345);
    for (int round = 0; round < 20000; ++round) {
        XVString text;
        for (auto length = random() % 16; length-- > 0;)
            text += alphabet[random() % (sizeof alphabet - 1)];
        unsigned year, month, day, hour, minute, second;
        const std::string date = readingOf(loc, 'd', text), time = readingOf(loc, 't', text);
        EXPECT_TRUE(date == "fail" ||
                    (std::sscanf(date.c_str(), "%u-%u-%u", &year, &month, &day) == 3 &&
                     QNDate(day, month, year).isValid()))
            << date << " from " << text;
        EXPECT_TRUE(time == "fail" ||
                    (std::sscanf(time.c_str(), "%u:%u:%u", &hour, &minute, &second) == 3 &&
                     hour < 24 && minute < 60 && second < 60))
            << time << " from " << text;
        for (char kind : {'$', 'n', 'r'})
            EXPECT_NE(readingOf(loc, kind, text), "touched") << kind << " " << text;
    }
}

}  // namespace
