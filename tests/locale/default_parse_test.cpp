// Reading operations of the built-in English locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>
#include <string_view>

#include "reader_contract.h"

namespace {

using namespace std::literals;
using namespace xvkit::reader_contract;

const QNLocaleDefault& loc = QNLocaleDefault::instance();
constexpr QNLocale::CurrSymbol kLocal = QNLocale::symbolLocal;
constexpr QNLocale::CurrSymbol kIntl = QNLocale::symbolInternational;
constexpr int kSentinel = 0x5A5A5A5A;

const char* const kNames[] = {"January",  "February", "March",    "April",     "May",
                              "June",     "July",     "August",   "September", "October",
                              "November", "December", "Monday",   "Tuesday",   "Wednesday",
                              "Thursday", "Friday",   "Saturday", "Sunday"};

// Reads `text` with the date or the time reader into a marked record.
// Returns "refused", or what was read as "year-month-day" or
// "hour:minute:second"; a reader that breaks the reader contract gives
// "changed fields".
std::string read(bool date, const XVString& text, tm* result = nullptr) {
    tm t = markedTm();
    const bool ok = date ? loc.stringToDate(text, &t) : loc.stringToTime(text, &t);
    if (result)
        *result = t;
    if (!tmContractKept(date ? TmReader::date : TmReader::time, ok, t))
        return "changed fields";
    if (!ok)
        return "refused";
    return date ? std::to_string(t.tm_year + 1900LL) + "-" + std::to_string(t.tm_mon + 1LL) + "-" +
                      std::to_string(t.tm_mday)
                : std::to_string(t.tm_hour) + ":" + std::to_string(t.tm_min) + ":" +
                      std::to_string(t.tm_sec);
}

// The value a number or money reader gave (shortest form, whatever the
// numeric locale), or "refused" when it failed and left the sentinel in place.
template <class T>
std::string result(bool ok, T value) {
    if (!ok)
        return value == static_cast<T>(kSentinel) ? "refused" : "changed";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

template <class T>
std::string readNumber(const XVString& text) {
    T value = kSentinel;
    const bool ok = loc.stringToNum(text, &value);
    return result(ok, value);
}

auto moneyReader(QNLocale::CurrSymbol symbol) {
    return [symbol](const XVString& text) {
        double d = kSentinel;
        const bool ok = loc.stringToMoney(text, &d, symbol);
        return result(ok, d);
    };
}

// Checks rows of "input => expected" against `reader`.
template <class Reader>
void expectRows(Reader reader, std::initializer_list<std::string_view> rows) {
    for (const std::string_view row : rows) {
        const std::size_t arrow = row.find(" => ");
        const XVString text(row.data(), arrow);
        EXPECT_EQ(reader(text), row.substr(arrow + 4)) << text;
    }
}

const auto readDate = [](const XVString& text) { return read(true, text); };
const auto readTime = [](const XVString& text) { return read(false, text); };

// Magnitudes above 2147483647 are clamped to it, as by a 32-bit strtol; an
// embedded NUL is left over like any other character.
TEST(DefaultParse, WholeNumbers) {
    expectRows(readNumber<long>,
               {"  - 42   => -42", "+7 => 7", "\t12\n => 12", "2147483647 => 2147483647",
                "2147483648 => 2147483647", "-99999999999999999999 => -2147483647", " => refused",
                "    => refused", "12abc => refused", "--5 => refused", "1 2 => refused",
                "+ -5 => refused", "- => refused", "1.5 => refused", "0x10 => refused",
                "12\0003 => refused"sv});
}

// strtod reads with the C runtime's current decimal point.
TEST(DefaultParse, RealNumbers) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    expectRows(readNumber<double>,
               {".5 => 0.5", "-1.5e3 => -1500", " + 2.  => 2", "- .25 => -0.25", "1e400 => inf",
                ". => refused", "e5 => refused", " => refused", "1.5e => refused", "inf => refused",
                "nan => refused", "1,5 => refused", "2 3 => refused"});
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        << "de_DE.UTF-8 missing: build xvkit_test_locales, run with LOCPATH";
    expectRows(readNumber<double>, {" -1,5  => -1.5", "1.5 => refused"});
    std::setlocale(LC_NUMERIC, saved.c_str());
}

// Years below 100 are years of the 1900s; no digit may follow the year; 29
// February only in leap years. With several month names the latest month
// wins (December is searched first, full name before short); names count
// inside other words and at either end of the text.
TEST(DefaultParse, Dates) {
    expectRows(readDate,
               {"3/5/97 => 1997-3-5", "12-25-2005 => 2005-12-25", "3/5/5 => 1905-3-5",
                "3/5/0 => 1900-3-5", "3/5/100 => 100-3-5", "3/5/97 ! => 1997-3-5",
                "2/29/96 => 1996-2-29", "2/29/2000 => 2000-2-29", "  on 07.04.1997. => 1997-7-4"});
    // Each number reads as strtol reads it with a 32-bit long: a larger year
    // is clamped to 2147483647, which is then validated as any other year.
    expectRows(readDate,
               {"1/1/2147483647 => 2147483647-1-1", "12/31/2147483648 => 2147483647-12-31",
                "3/5/99999999999999999999 => 2147483647-3-5", "May 5 99999999999 => 2147483647-5-5",
                "2/28/99999999999 => 2147483647-2-28", "2/29/99999999999 => refused",
                "2/29/2147483647 => refused", "1/99999999999/1997 => refused",
                "99999999999/1/1997 => refused"});
    expectRows(readDate, {"5 march 1997 => 1997-3-5", "Tuesday, March 4, 1997 => 1997-3-4",
                          "Mar/May 5 1997 => 1997-5-5", "January or Dec 1 1997 => 1997-12-1",
                          "Junes 2 97 => 1997-6-2", "Decade 1, 97 => 1997-12-1",
                          "5 97 dEC => 1997-12-5", "mAy5/97 => 1997-5-5"});
    expectRows(readDate, {"3/5/97 10:00 => refused", "-3/5/97 1 => refused", "2/29/97 => refused",
                          "2/29/1900 => refused", "2/29/0 => refused", "13/1/97 => refused",
                          "0/1/97 => refused", "4/31/97 => refused", "3/0/97 => refused",
                          "3/5 => refused", " => refused", "March => refused", "March 5 => refused",
                          "no digits => refused", "Ma 5 97 => refused", "Dec 5 97 Ja 1 => refused",
                          "\xC4\xC5\xC3 5 97 => refused", "1/1/-5 => 1905-1-1"});
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
            EXPECT_EQ(read(true, XVString(text + " 7 1997")),
                      "1997-" + std::to_string(std::max(a, b) + 1) + "-7")
                << text;
        }
    }
}

// Text after a time is ignored, unlike after a date.
TEST(DefaultParse, Times) {
    expectRows(readTime,
               {"14:07:09 => 14:7:9", "9 => 9:0:0", "9.30 => 9:30:0", "10 30 => 10:30:0",
                "0:00 => 0:0:0", "23:59:59 => 23:59:59", "12 am => 0:0:0", "12:30 PM => 12:30:0",
                "1:15 pm => 13:15:0", "11:59:59pM => 23:59:59", "10:30 garbage => 10:30:0",
                "  7:05:03 AMX => 7:5:3", "13 a.m. pm => 13:0:0"});
    expectRows(readTime, {"13:00 pm => refused", "0 am => refused", "0:30 AM => refused",
                          "24:00 => refused", "10:60 => refused", "10:30:60 => refused",
                          "-1:00 => refused", "10:-5 => refused", " => refused", "pm => refused",
                          "x10 => refused", "99999999999999999999 => refused"});
}

// A trailing '-' only with the local symbol; "USD" with any other non-zero
// symbol, in upper case; never a symbol with `symbolNone`.
TEST(DefaultParse, MoneyInEverySignForm) {
    expectRows(moneyReader(kLocal),
               {"$123.45 => 12345", "($1.00) => -100",  "-$5 => -500",         "$-5 => -500",
                "$5- => -500",      "5 - => -500",      "(5.00 => -500",       "( $ 7 ) => -700",
                "123 => 12300",     ".07 => 7",         "  $0.00   => 0",      "1.5 => refused",
                "$ => refused",     " => refused",      "$5-- => refused",     "--5 => refused",
                "(5)) => refused",  "5.123 => refused", "1,000.00 => refused", "USD 5 => refused"});
    expectRows(moneyReader(kIntl), {"USD 12.00 => 1200", "USD(3.10) => -310", "-12 => -1200",
                                    "usd 12.00 => refused", "$5 => refused", "5- => refused"});
    expectRows(moneyReader(QNLocale::CurrSymbol(9)), {"12 => 1200", "USD 1 => 100"});
    expectRows(moneyReader(QNLocale::symbolNone), {"12.00 => refused"});
}

TEST(DefaultParse, MoneyTextsReadBack) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    for (double amount : {0.0, 1.0, -1.0, 99.0, -12345.0, 100000000000.0, -999999999999999.0}) {
        double d = 0.5;
        const XVString text = loc.moneyAsString(amount, kLocal);
        EXPECT_TRUE(loc.stringToMoney(text, &d, kLocal)) << text;
        EXPECT_EQ(d, amount) << text;
        // "USD" is only recognised first, so "(USD 1.00)" does not read back.
        const XVString international = loc.moneyAsString(amount, kIntl);
        EXPECT_EQ(loc.stringToMoney(international, &d, kIntl), amount >= 0) << international;
        EXPECT_EQ(d, amount) << international;
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
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

}  // namespace

// Texts built from the characters the readers look at, including embedded
// NULs: each reader either accepts with in-range fields or leaves the
// sentinel. Under the sanitizer build this also checks that no read runs off
// the text.
TEST(DefaultParse, RandomTextsGiveValidResultsOrNone) {
    static const char alphabet[] = "0123456789 /:.-+()$USDusdamAPMpJjanFebMrchDeNov,e\t\0";
    unsigned int seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        XVString text;
        seed = seed * 1103515245u + 12345u;
        const unsigned int length = seed >> 28;
        for (unsigned int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
        }
        tm t;
        const std::string date = read(true, text, &t);
        EXPECT_TRUE(date == "refused" || QNDate(&t).isValid()) << text;
        const std::string time = read(false, text, &t);
        EXPECT_TRUE(time == "refused" || (t.tm_hour >= 0 && t.tm_hour < 24 && t.tm_min >= 0 &&
                                          t.tm_min < 60 && t.tm_sec >= 0 && t.tm_sec < 60))
            << text;
        for (const std::string& reading : {date, time, moneyReader(kLocal)(text),
                                           readNumber<long>(text), readNumber<double>(text)})
            EXPECT_EQ(reading.find("changed"), std::string::npos) << text;
    }
}
