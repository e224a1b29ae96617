// The built-in English locale: formatting, the format expansion every
// locale shares, and reading.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include "derived_locales.h"
#include "locale_test_support.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace std::literals;
using namespace locale_test;
using xvkit::reader_contract::readingOf;
using xvkit::testing::Bracketing;
using xvkit::testing::Inheriting;

const QNLocaleDefault& loc = QNLocaleDefault::instance();
const QNZoneSimple est(18000, "EST");
const QNZoneSimple eastern(QNZone::StdZone(5), QNZone::DstRule(1));
constexpr QNLocale::CurrSymbol kLocal = QNLocale::symbolLocal;
constexpr QNLocale::CurrSymbol kIntl = QNLocale::symbolInternational;

const char* const kNames[] = {"January",  "February", "March",    "April",     "May",
                              "June",     "July",     "August",   "September", "October",
                              "November", "December", "Monday",   "Tuesday",   "Wednesday",
                              "Thursday", "Friday",   "Saturday", "Sunday"};

// Wednesday 5 March 1997, 14:07:09, standard time.
const tm kSample{9, 7, 14, 5, 2, 97, 3, 63, 0, 0, nullptr};

std::string dir(const tm& t, char d, const QNZone& zone = est) {
    return loc.asString(&t, d, zone);
}

// Zone names of any length, empty or beyond any working buffer, are kept whole.
TEST(DefaultFormat, ZoneNamesOfAnyLength) {
    for (const std::string& name : {std::string(), std::string(10000, 'z')}) {
        const QNZoneSimple zone(0, name.c_str());
        EXPECT_EQ(loc.asString(&kSample, "%Z%Z", zone), name + name);
        EXPECT_EQ(dir(kSample, 'C', zone), "Wed Mar  5 14:07:09 " + name + " 1997");
    }
}

// No directive of the English locale or of a snapshot writes past a buffer
// for records with every field at INT_MAX, INT_MIN or -1 (the sanitizer
// build checks); names just outside their tables are empty.
TEST(DefaultFormat, ExtremeFieldsStayInBounds) {
    const QNLocaleSnapshot edge("xv_EDGE.UTF-8");
    for (int fill : {INT_MAX, INT_MIN, -1}) {
        const tm t{fill, fill, fill, fill, fill, fill, fill, fill, fill, 0, nullptr};
        for (int d = CHAR_MIN; d <= CHAR_MAX; ++d) {
            EXPECT_LT(dir(t, static_cast<char>(d)).size(), 256u);
            EXPECT_LT(edge.asString(&t, static_cast<char>(d), est).size(), 512u);
        }
    }
    tm t = kSample;
    t.tm_wday = 7, t.tm_mon = -1;
    EXPECT_EQ(loc.asString(&t, "%a%A%b%B", est), "");
}

// Every directive but the week numbers (below) against the C formatting of
// its field (64-bit field arithmetic), for records whose fields mix
// ordinary, negative and extreme values; the first two hold INT_MAX and
// INT_MIN in every field.
// (strftime agrees where it means the same: 'p' is lower case here, 'x' keeps
// four digits outside 1901..1999, 'c' and 'C' are this locale's own layouts.)
TEST(DefaultFormat, DirectivesAreTheCFormattingOfTheirFields) {
    const int samples[] = {0,   1,    -1,    5,     9,           10,         11,      12,
                           13,  23,   59,    99,    100,         365,        1000,    -9,
                           -10, -100, -1899, -1900, -1901,       8099,       INT_MAX, INT_MIN,
                           6,   7,    -7,    2000,  INT_MAX - 1, INT_MIN + 1};
    std::minstd_rand random(7);
    const auto pick = [&] { return samples[random() % std::size(samples)]; };
    for (int round = 0; round < 3000; ++round) {
        const auto field = [&] { return round < 2 ? (round == 0 ? INT_MAX : INT_MIN) : pick(); };
        tm t;
        t.tm_sec = field(), t.tm_min = field(), t.tm_hour = field(), t.tm_mday = field();
        t.tm_mon = round % 3 == 2 ? round % 12 : field();
        t.tm_year = field(), t.tm_wday = round % 3 == 2 ? round % 7 : field();
        t.tm_yday = field(), t.tm_isdst = round % 4 - 1;
        const long long year = t.tm_year + 1900LL;
        const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        const char* day = t.tm_wday >= 0 && t.tm_wday < 7 ? kNames[12 + (t.tm_wday + 6) % 7] : "";
        const char* month = t.tm_mon >= 0 && t.tm_mon < 12 ? kNames[t.tm_mon] : "";
        const std::string zone = t.tm_isdst == 0 ? "EST" : t.tm_isdst == 1 ? "EDT" : "";
        const std::string x =
            t.tm_year >= 1 && t.tm_year <= 99
                ? printed("%02lld/%02d/%02d", t.tm_mon + 1LL, t.tm_mday, t.tm_year)
                : printed("%02lld/%02d/%04lld", t.tm_mon + 1LL, t.tm_mday, year);
        const std::string clock = printed("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
        const std::string names = printed("%.3s|%s|%.3s|%s|", day, day, month, month);
        ASSERT_EQ(loc.asString(&t, "%a|%A|%b|%B|%d|%H|%I|%j|%m|%M|%S|%w|%X|%y|%Y", eastern),
                  names + printed("%02d|%02d|%02d|%03lld|%02lld|%02d|%02d|%1d|%s|%02lld|%04lld",
                                  t.tm_mday, t.tm_hour, hour12, t.tm_yday + 1LL, t.tm_mon + 1LL,
                                  t.tm_min, t.tm_sec, t.tm_wday, clock.c_str(), year % 100, year));
        ASSERT_EQ(loc.asString(&t, "%x|%c|%Z", eastern), x + "|" + x + " " + clock + "|" + zone);
        ASSERT_EQ(dir(t, 'C', eastern), printed("%3.3s %3.3s %2d %s %s %4lld", day, month,
                                                t.tm_mday, clock.c_str(), zone.c_str(), year));
    }
}

// The week numbers 'U' (weeks from Sunday) and 'W' (from Monday), with
// every other numeric directive, against strftime for every day of 1900 to
// 2100 at changing hours; fields beyond a calendar's keep the 64-bit
// arithmetic (INT_MAX and INT_MIN give their exact, not wrapped, weeks).
TEST(DefaultFormat, WeekNumbersAndNumbersAgreeWithStrftime) {
    RuntimeLocale runtime("C");
    const char* const format = "%U|%W|%d|%H|%I|%j|%m|%M|%S|%w|%y|%Y";
    tm t{};
    t.tm_year = 0, t.tm_mday = 1, t.tm_isdst = 0;
    for (int day = 0; day < 73414; ++day) {  // 1900-01-01 to 2100-12-31
        tm probe = t;
        probe.tm_mday += day;
        probe.tm_hour = day % 24, probe.tm_min = day % 60, probe.tm_sec = day % 61;
        timegm(&probe);  // completes the weekday and the day of the year
        char expected[64];
        ASSERT_GT(std::strftime(expected, sizeof expected, format, &probe), 0u);
        ASSERT_EQ(loc.asString(&probe, format, eastern), expected) << day;
    }
    tm extreme = kSample;
    for (const auto& [yday, wday, weeks] :
         {std::tuple{INT_MAX, 0, "306783379|306783378"},
          std::tuple{INT_MAX, 1, "306783379|306783379"},
          std::tuple{INT_MIN, 6, "-306783378|-306783378"},
          std::tuple{INT_MIN, 0, "-306783377|-306783378"}, std::tuple{-1, 0, "00|00"},
          std::tuple{-14, 0, "-1|-1"}}) {
        extreme.tm_yday = yday, extreme.tm_wday = wday;
        EXPECT_EQ(loc.asString(&extreme, "%U|%W", eastern), weeks) << yday << " " << wday;
    }
}

TEST(DefaultFormat, FormatExpansion) {
    for (const std::string_view row :
         {"% => ", "%d% => 05", "ab%%% => ab%", "%d/%m/%Y % => 05/03/1997 ", "100%% %d => 100% 05",
          " => ", "%q|%-d => |d"}) {
        // The format copied at its exact size, so the sanitizer build catches a
        // read past the NUL after a '%' that ends it.
        std::vector<char> format(row.begin(), row.begin() + row.find(" => "));
        format.push_back('\0');
        EXPECT_EQ(loc.asString(&kSample, format.data(), est), row.substr(row.find(" => ") + 4));
    }
    EXPECT_EQ(loc.asString(&kSample, static_cast<const char*>(nullptr), est), "");
}

// The expansion writes the directives straight into one buffer: in every
// locale, a format of every directive character but '%' and NUL gives what
// the directive operation gives for each, and a derived locale's override
// shows in every format and inside the composite directives, which go
// through the virtual table, also in a class derived from the overriding
// one; a derived locale that overrides nothing gives its base's texts.
TEST(FormatExpansion, IsTheDirectiveOperationForEveryDirectiveInEveryLocale) {
    const Bracketing<QNLocaleDefault> english(loc);
    const Inheriting<QNLocaleDefault> plainEnglish(loc);
    const Inheriting<Bracketing<QNLocaleDefault>> bracketingChild(loc);
    std::vector<const QNLocale*> locales = {&loc, &english, &plainEnglish, &bracketingChild};
    std::vector<std::unique_ptr<QNLocale>> snapshots;
    for (const char* name : kLocales) {
        snapshots.push_back(std::make_unique<QNLocaleSnapshot>(name));
        snapshots.push_back(std::make_unique<Bracketing<QNLocaleSnapshot>>(name));
        snapshots.push_back(std::make_unique<Inheriting<QNLocaleSnapshot>>(name));
        snapshots.push_back(std::make_unique<Inheriting<Bracketing<QNLocaleSnapshot>>>(name));
    }
    for (const auto& snapshot : snapshots)
        locales.push_back(snapshot.get());
    for (const QNLocale* l : locales) {
        std::string format, expected;
        for (int code = 1; code < 256; ++code) {
            const char d = static_cast<char>(code);
            if (d == '%')
                continue;
            format.append("<%").append(1, d).append(">");
            expected.append("<").append(l->asString(&kSample, d, est)).append(">");
        }
        EXPECT_EQ(l->asString(&kSample, format.c_str(), est), expected);
    }
    EXPECT_EQ(english.asString(&kSample, "%d/%m", est), "[05]/[03]");
    EXPECT_EQ(bracketingChild.asString(&kSample, "%d/%m", est), "[05]/[03]");
    EXPECT_EQ(plainEnglish.asString(&kSample, "%d/%m %c", est), "05/03 03/05/97 14:07:09");
    EXPECT_EQ(snapshots[3]->asString(&kSample, "%d", est), "[05]");
    EXPECT_EQ(english.asString(&kSample, 'c', est), "[[03/05/97] [14:07:09]]");
    EXPECT_EQ(english.asString(&kSample, 'C', est), "[Wed Mar  5 14:07:09 [EST] 1997]");
}

TEST(DefaultFormat, WholeNumbersAreTheCFormatting) {
    EXPECT_EQ(loc.asString(LONG_MIN), printed("%ld", LONG_MIN));
    EXPECT_EQ(loc.asString(ULONG_MAX), printed("%lu", ULONG_MAX));
    for (long v = 1; v < LONG_MAX / 10; v *= 10) {
        for (long w : {v - 1, v, -v, -v + 1})
            EXPECT_EQ(loc.asString(w), printed("%ld", w));
        const unsigned long u = static_cast<unsigned long>(v) * 10 - 1;
        EXPECT_EQ(loc.asString(u), printed("%lu", u));
    }
}

// Beyond the 1074 decimals a double holds only zeros would follow, so larger
// precisions stop there.
TEST(DefaultFormat, RealNumberPrecisionLimits) {
    RuntimeLocale c("C");
    EXPECT_EQ(loc.asString(-1e308, 1074, true), printed("%.1074f", -1e308));
    EXPECT_EQ(loc.asString(1e-300, 5000, false), printed("%.1074f", 1e-300));
    EXPECT_EQ(loc.asString(0.0, INT_MAX, false).size(), 1076u);
}

// The real-number and money texts are the C library's in every numeric
// locale ('.', ',' and the two-byte U+066B of the test locales found through
// LOCPATH): digits and rounding, the point kept by `showpoint`, texts longer
// than 80 bytes, a negative precision as C's default of 6.
TEST(DefaultFormat, RealNumbersAreTheCFormattingInEveryNumericLocale) {
    std::vector<double> values = {0.0,    -0.0, 0.5,  2.5,      -2.5,      0.125, 1.005,
                                  2.675,  1e-7, 0.1,  9.9999,   1e15 + 1,  1e22,  -1e300,
                                  5e-324, NAN,  -NAN, INFINITY, -INFINITY, 1e308, -1e308};
    std::minstd_rand random(2024);
    for (int i = 0; i < 300; ++i)
        values.push_back(std::ldexp(random() / 2147483647.0 - 0.5, int(random() % 64) - 32));
    for (const char* name : {"C", "de_DE.UTF-8", "xv_TEST.UTF-8"}) {
        RuntimeLocale numeric(name);
        for (double v : values) {
            for (int precision : {-1, 0, 1, 2, 3, 6, 11, 17, 30, 80, 500}) {
                EXPECT_EQ(
                    loc.asString(v, precision, false) + "|" + loc.asString(v, precision, true),
                    printed("%.*f|%#.*f", precision, v, precision, v))
                    << name;
            }
            const double amount = std::fabs(v) * 1e6;
            if (amount > 0 && amount < 1e18) {
                EXPECT_EQ(
                    loc.moneyAsString(amount, kLocal) + "|" + loc.moneyAsString(-amount, kIntl),
                    printed("$%.2f|(USD %.2f)", amount * 0.01, amount * 0.01));
            }
        }
    }
}

// Each amount with the local symbol, the international one, none, and a value
// outside the enumeration. The largest amounts below 1e18 give the longest
// texts of the fixed form (the unit value rounds to a double of step 2); from
// 1e18 on, the exponent form. Negative amounts in parentheses; never a minus
// sign, not for -0.0, a NaN with its sign bit or an amount that rounds to zero.
TEST(DefaultFormat, Money) {
    RuntimeLocale numeric("C");
    const std::pair<double, const char*> cases[] = {
        {12345, "123.45"},      {-1e18 + 128, "9999999999999998.00"},
        {-1e18, "1.00000e+16"}, {-INFINITY, "inf"},
        {-0.0, "0.00"},         {-NAN, "nan"},
        {-0.4, "0.00"},         {-12345, "123.45"}};
    for (const auto& [amount, number] : cases) {
        const std::string n = number;
        const std::string texts = amount < 0
                                      ? "($" + n + ")|(USD " + n + ")|(" + n + ")|(" + n + ")"
                                      : "$" + n + "|USD " + n + "|" + n + "|" + n;
        std::string written;
        for (QNLocale::CurrSymbol symbol :
             {kLocal, kIntl, QNLocale::symbolNone, QNLocale::CurrSymbol(-1)})
            written.append(loc.moneyAsString(amount, symbol)).append("|");
        EXPECT_EQ(written, texts + "|") << amount;
    }
}

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
        EXPECT_EQ(readingOf(loc, '$', loc.moneyAsString(amount, kLocal)), units);
        // "USD" is only recognised first, so "(USD 1.00)" does not read back.
        EXPECT_EQ(readingOf(loc, 'i', loc.moneyAsString(amount, kIntl)),
                  amount >= 0 ? units : "fail");
    }
}

// Every name, full and short, in every case; names are matched whole ("Jun",
// one letter short of "June", is a name itself).
TEST(DefaultParse, MonthAndWeekdayNames) {
    const auto index = [](const std::string& t) {
        return readingOf(loc, 'M', t) + "/" + readingOf(loc, 'W', t);
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
        EXPECT_TRUE(
            (date == "fail" || (std::sscanf(date.c_str(), "%u-%u-%u", &year, &month, &day) == 3 &&
                                QNDate(day, month, year).isValid())) &&
            (time == "fail" ||
             (std::sscanf(time.c_str(), "%u:%u:%u", &hour, &minute, &second) == 3 && hour < 24 &&
              minute < 60 && second < 60)))
            << date << " " << time << " from " << text;
        for (char kind : {'$', 'n', 'r'})
            EXPECT_NE(readingOf(loc, kind, text), "touched") << kind << " " << text;
    }
}

}  // namespace
