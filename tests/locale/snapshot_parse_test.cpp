// QNLocaleSnapshot reading with captured conventions: the digit-group
// check, whole and real numbers, money pieces in any order, dates by the
// captured order, times with the captured markers, and names. A reading
// that fails leaves its output exactly as it was.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include <xvkit/qnlocale.h>

#include "snapshot_test_support.h"

namespace {

using namespace snapshot_test;

const QNLocale::CurrSymbol kLocal = QNLocale::symbolLocal;
const QNLocale::CurrSymbol kIntl = QNLocale::symbolInternational;

// The result of a reading: "fail", or the value read.
std::string whole(const QNLocale& l, const char* text) {
    long v = 0;
    return l.stringToNum(text, &v) ? std::to_string(v) : "fail";
}

// The shortest text that reads back as the value, independent of the C
// runtime's locale.
std::string real(const QNLocale& l, const std::string& text) {
    double v = 0;
    if (!l.stringToNum(XVString(text), &v))
        return "fail";
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

std::string money(const QNLocale& l, const char* text, QNLocale::CurrSymbol symbol = kLocal) {
    double v = 0;
    if (!l.stringToMoney(text, &v, symbol))
        return "fail";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", v);
    return buffer;
}

// "yyyy-mm-dd" of what stringToDate set.
std::string date(const QNLocale& l, const char* text) {
    tm t{};
    if (!l.stringToDate(text, &t))
        return "fail";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday);
    return buffer;
}

std::string timeOfDay(const QNLocale& l, const char* text) {
    tm t{};
    if (!l.stringToTime(text, &t))
        return "fail";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

TEST(SnapshotParse, WholeNumbersWithTheGroupCheck) {
    const QNLocaleSnapshot us("en_US.UTF-8"), india("en_IN.UTF-8"), rows("xv_ROWS.UTF-8"), c("C"),
        french("fr_FR.UTF-8");
    EXPECT_EQ(whole(us, " 1,234,567 "), "1234567");
    EXPECT_EQ(whole(us, "1234567"), "1234567");
    EXPECT_EQ(whole(us, "12,34,567"), "fail");  // separators only where the grouping puts them
    EXPECT_EQ(whole(us, "1,2345"), "fail");
    EXPECT_EQ(whole(us, "1234,567"), "fail");  // the leftmost group is too long
    EXPECT_EQ(whole(us, "1,234,"), "fail");
    EXPECT_EQ(whole(us, "- 42"), "-42");
    EXPECT_EQ(whole(us, "+42"), "42");
    EXPECT_EQ(whole(us, "2147483647"), "2147483647");
    EXPECT_EQ(whole(us, "-2147483647"), "-2147483647");
    EXPECT_EQ(whole(us, "2147483648"), "fail");
    EXPECT_EQ(whole(us, "-2147483648"), "fail");
    EXPECT_EQ(whole(us, "99999999999999999999"), "fail");
    EXPECT_EQ(whole(us, "-0"), "fail");
    EXPECT_EQ(whole(us, "0"), "0");
    EXPECT_EQ(whole(us, "0000000000000000000000000000042"), "42");
    EXPECT_EQ(whole(us, "12a"), "fail");
    EXPECT_EQ(whole(us, ""), "fail");
    EXPECT_EQ(whole(us, "--1"), "fail");
    EXPECT_EQ(whole(india, "12,34,567"), "1234567");
    EXPECT_EQ(whole(india, "1,234,567"), "fail");
    EXPECT_EQ(whole(french, "1\u202f234\u202f567"), "1234567");
    // A trailing blank separator is white space, any other trailing one fails.
    EXPECT_EQ(whole(rows, "1 234 "), "1234");
    EXPECT_EQ(whole(rows, "1 234"), "1234");
    EXPECT_EQ(whole(rows, "1 "), "1");
    EXPECT_EQ(whole(rows, "12 34 "), "fail");
    // No separator, no grouping: a comma is just a stray character.
    EXPECT_EQ(whole(c, "1,234"), "fail");
    // More separators than a reader can hold are refused, not misread.
    std::string zeros = "0";
    for (int i = 0; i < 200; ++i)
        zeros += ",000";
    EXPECT_EQ(whole(us, zeros.c_str()), "fail");
}

TEST(SnapshotParse, RealNumbersWhateverTheRuntimePoint) {
    const QNLocaleSnapshot us("en_US.UTF-8"), german("de_DE.UTF-8"), own("xv_TEST.UTF-8");
    for (const char* runtime : {"C", "de_DE.UTF-8", "xv_TEST.UTF-8"}) {
        SCOPED_TRACE(runtime);
        RuntimeLocale switched(runtime);
        EXPECT_EQ(real(us, "1,234.5"), "1234.5");
        EXPECT_EQ(real(german, "-1.234,5"), "-1234.5");
        EXPECT_EQ(real(own, "12\u202f34\u202f567\u066b25"), "1234567.25");
        EXPECT_EQ(real(us, "1.5"), "1.5");
        EXPECT_EQ(real(german, "1.5"), "fail");  // '.' separates groups in German
    }
    EXPECT_EQ(real(us, ".5"), "0.5");
    EXPECT_EQ(real(us, "5."), "5");
    EXPECT_EQ(real(us, "."), "fail");
    EXPECT_EQ(real(us, "-."), "fail");
    EXPECT_EQ(real(us, "- .5"), "-0.5");
    EXPECT_EQ(real(us, "1e3"), "1000");
    EXPECT_EQ(real(us, "+2.5E-1 "), "0.25");
    EXPECT_EQ(real(us, "1e"), "fail");
    EXPECT_EQ(real(us, "1e+"), "fail");
    EXPECT_EQ(real(us, "e5"), "fail");
    EXPECT_EQ(real(us, "-0"), "-0");
    EXPECT_EQ(real(us, "1,23.4"), "fail");
    EXPECT_EQ(real(us, "inf"), "fail");
    EXPECT_EQ(real(us, "0x10"), "fail");
    EXPECT_EQ(real(us, "1e999"), "inf");  // strtod's overflow, read whole
    // Fewer than 256 characters.
    const std::string longest = std::string(254, '0') + "1";
    EXPECT_EQ(real(us, longest), "1");
    EXPECT_EQ(real(us, longest + "0"), "fail");
}

TEST(SnapshotParse, MoneyPiecesInAnyOrder) {
    const QNLocaleSnapshot us("en_US.UTF-8"), own("xv_TEST.UTF-8"), japan("ja_JP.UTF-8");
    EXPECT_EQ(money(us, "$1,234.56"), "123456");
    EXPECT_EQ(money(us, "1,234.56 $"), "123456");
    EXPECT_EQ(money(us, "-$1,234.56"), "-123456");
    EXPECT_EQ(money(us, "$-1,234.56"), "-123456");
    EXPECT_EQ(money(us, "1,234.56$-"), "-123456");
    EXPECT_EQ(money(us, "($1,234.56)"), "-123456");
    EXPECT_EQ(money(us, " ( $ 12 ) "), "-1200");
    EXPECT_EQ(money(us, "+ $12"), "1200");
    EXPECT_EQ(money(us, "$12"), "1200");
    EXPECT_EQ(money(us, ".50"), "50");
    EXPECT_EQ(money(us, "$12.3"), "fail");  // exactly two decimals
    EXPECT_EQ(money(us, "$12.345"), "fail");
    EXPECT_EQ(money(us, "($12.00"), "fail");
    EXPECT_EQ(money(us, "$$12"), "fail");  // each piece at most once
    EXPECT_EQ(money(us, "--12"), "fail");
    EXPECT_EQ(money(us, "-(12)"), "fail");
    EXPECT_EQ(money(us, "12 13"), "fail");
    EXPECT_EQ(money(us, "$"), "fail");
    EXPECT_EQ(money(us, "12,34"), "fail");
    EXPECT_EQ(money(us, "USD 12", QNLocale::symbolNone), "fail");
    EXPECT_EQ(money(us, "12", static_cast<QNLocale::CurrSymbol>(5)), "fail");
    // International: the code, at most one sign, the number, in one pass.
    EXPECT_EQ(money(us, "USD -1,234.56", kIntl), "-123456");
    EXPECT_EQ(money(us, "USD 1,234.56", kIntl), "123456");
    EXPECT_EQ(money(us, "-USD 1,234.56", kIntl), "fail");
    EXPECT_EQ(money(us, "$1.00", kIntl), "fail");
    // Ten separators are read; an eleventh is an error.
    std::string ten = "1";
    for (int i = 0; i < 10; ++i)
        ten += ",000";
    EXPECT_NE(money(us, ten.c_str()), "fail");
    EXPECT_EQ(money(us, (ten + ",000").c_str()), "fail");
    // Multibyte signs, symbol and separators; three decimals.
    EXPECT_EQ(money(own, "12\u00a034\u066b567\u20ac\u20ac\u2212"), "-1234567");
    EXPECT_EQ(money(own, "+\u20ac\u20ac 12\u00a034\u066b567"), "1234567");
    EXPECT_EQ(money(own, "\u20ac\u20ac 12\u066b56"), "fail");
    // No decimals: the point is not looked for.
    EXPECT_EQ(money(japan, "\uffe5-1,234"), "-1234");
    EXPECT_EQ(money(japan, "\uffe51,234.5"), "fail");
}

TEST(SnapshotParse, DatesInTheCapturedOrder) {
    const QNLocaleSnapshot us("en_US.UTF-8"), german("de_DE.UTF-8"), sweden("sv_SE.UTF-8"),
        japan("ja_JP.UTF-8"), rows("xv_ROWS.UTF-8"), c("C");
    // Month, day, year.
    EXPECT_EQ(date(us, "11/30/90"), "1990-11-30");
    EXPECT_EQ(date(us, "11/30/1990"), "1990-11-30");
    EXPECT_EQ(date(us, "11-30-2036"), "2036-11-30");
    EXPECT_EQ(date(us, "2/29/1996"), "1996-02-29");
    EXPECT_EQ(date(us, "2/29/2000"), "2000-02-29");
    EXPECT_EQ(date(us, "2/29/1900"), "fail");
    EXPECT_EQ(date(us, "4/31/1990"), "fail");
    EXPECT_EQ(date(us, "13/1/90"), "fail");
    EXPECT_EQ(date(us, "0/1/90"), "fail");
    EXPECT_EQ(date(us, "1/0/90"), "fail");
    EXPECT_EQ(date(us, "11/30/90 5"), "fail");
    EXPECT_EQ(date(us, "11/305/90"), "fail");  // three digits after a separator
    EXPECT_EQ(date(us, "11/30"), "fail");
    EXPECT_EQ(date(us, "1/2/0"), "1900-01-02");
    EXPECT_EQ(date(us, "1/2/99"), "1999-01-02");
    EXPECT_EQ(date(us, "1/2/100"), "0100-01-02");
    // Fields run together until a separator is seen.
    EXPECT_EQ(date(us, "1130/90"), "1990-11-30");
    EXPECT_EQ(date(us, "113090"), "1990-11-30");
    // With a month name: day and year only (rows 4 to 7), any case.
    EXPECT_EQ(date(us, "30 November 1990"), "1990-11-30");
    EXPECT_EQ(date(us, "Nov 30, 1990"), "1990-11-30");
    EXPECT_EQ(date(us, "nov 30 1990"), "1990-11-30");
    EXPECT_EQ(date(us, "Friday, NOVEMBER 30, 1990"), "1990-11-30");
    EXPECT_EQ(date(us, "30 Novem 1990"), "1990-11-30");  // "Nov" is found
    EXPECT_EQ(date(us, "Nov 31, 1990"), "fail");
    EXPECT_EQ(date(german, "30.11.1990"), "1990-11-30");
    EXPECT_EQ(date(german, "1.2.1996"), "1996-02-01");
    EXPECT_EQ(date(german, "30. März 1990"), "1990-03-30");
    // Only ASCII letters are folded: "MÄRZ" is no month name here.
    EXPECT_EQ(date(german, "30. MÄRZ 1990"), "fail");
    EXPECT_EQ(date(sweden, "1990-11-30"), "1990-11-30");
    EXPECT_EQ(date(sweden, "19901130"), "1990-11-30");
    EXPECT_EQ(date(sweden, "1990 nov 30"), "1990-11-30");
    EXPECT_EQ(date(rows, "1990.30.11"), "1990-11-30");  // year, day, month
    EXPECT_EQ(date(rows, "1990 30 Nov"), "1990-11-30");
    // Month names with digits: never looked for, the digits are fields.
    EXPECT_EQ(date(japan, "1990年11月30日"), "1990-11-30");
    EXPECT_EQ(date(japan, "11月30日"), "fail");
    // "C" reads month, day, year.
    EXPECT_EQ(date(c, "11/30/90"), "1990-11-30");
    EXPECT_EQ(date(c, "30 Nov 90"), "1990-11-30");
}

TEST(SnapshotParse, TimesWithTheCapturedMarkers) {
    const QNLocaleSnapshot us("en_US.UTF-8"), german("de_DE.UTF-8"), own("xv_TEST.UTF-8");
    EXPECT_EQ(timeOfDay(us, "10:30"), "10:30:00");
    EXPECT_EQ(timeOfDay(us, "10:30:45"), "10:30:45");
    EXPECT_EQ(timeOfDay(us, "1030"), "10:30:00");
    EXPECT_EQ(timeOfDay(us, "103045"), "10:30:45");
    EXPECT_EQ(timeOfDay(us, "3:15 pm"), "15:15:00");
    EXPECT_EQ(timeOfDay(us, "3:15 am"), "03:15:00");
    EXPECT_EQ(timeOfDay(us, "12:05 AM"), "00:05:00");
    EXPECT_EQ(timeOfDay(us, "12:05 PM"), "12:05:00");
    EXPECT_EQ(timeOfDay(us, "3:15 AM PM"), "03:15:00");  // both markers: as written
    EXPECT_EQ(timeOfDay(us, "15:00 PM"), "fail");
    EXPECT_EQ(timeOfDay(us, "0:30 am"), "fail");
    EXPECT_EQ(timeOfDay(us, "0:30"), "00:30:00");
    EXPECT_EQ(timeOfDay(us, "24:00"), "fail");
    EXPECT_EQ(timeOfDay(us, "10:60"), "fail");
    EXPECT_EQ(timeOfDay(us, "10:30:60"), "fail");
    EXPECT_EQ(timeOfDay(us, "10:30:45:1"), "fail");
    EXPECT_EQ(timeOfDay(us, "10:305"), "fail");
    EXPECT_EQ(timeOfDay(us, "10"), "fail");
    // German has empty markers: both count as present, hours stand as read.
    EXPECT_EQ(timeOfDay(german, "15:00"), "15:00:00");
    EXPECT_EQ(timeOfDay(german, "12:00"), "12:00:00");
    EXPECT_EQ(timeOfDay(german, "0:00"), "00:00:00");
    EXPECT_EQ(timeOfDay(own, "3:15 \u0645"), "15:15:00");
    EXPECT_EQ(timeOfDay(own, "12:05 \u0635"), "00:05:00");
}

TEST(SnapshotParse, MonthAndWeekdayNames) {
    const QNLocaleSnapshot us("en_US.UTF-8"), own("xv_TEST.UTF-8"), japan("ja_JP.UTF-8");
    EXPECT_EQ(us.monthIndex(" Nov "), 11);
    EXPECT_EQ(us.monthIndex("NOVEMBER"), 11);
    EXPECT_EQ(us.monthIndex("january"), 1);
    EXPECT_EQ(us.monthIndex("Novem"), 0);
    EXPECT_EQ(us.monthIndex(""), 0);
    EXPECT_EQ(us.monthIndex("   "), 0);
    EXPECT_EQ(own.monthIndex("may"), 5);    // captured "May " without its blank
    EXPECT_EQ(japan.monthIndex("1月"), 1);  // " 1月" stripped
    EXPECT_EQ(japan.monthIndex(" 11月 "), 11);
    EXPECT_EQ(us.weekdayIndex("sun"), 7);
    EXPECT_EQ(us.weekdayIndex("Monday"), 1);
    EXPECT_EQ(us.weekdayIndex("SATURDAY"), 6);
    EXPECT_EQ(us.weekdayIndex(" Sun"), 0);  // weekday names are not stripped
    EXPECT_EQ(us.weekdayIndex("Su"), 0);
    EXPECT_EQ(japan.weekdayIndex("日曜日"), 7);
}

TEST(SnapshotParse, OutputsChangeOnlyOnSuccess) {
    const QNLocaleSnapshot us("en_US.UTF-8");
    const char* const texts[] = {"",         "x",        "12a",   "1,2",   "$12.3",
                                 "13/45/90", "25:00",    "1e",    "--1",   "(12",
                                 "11/30/90", "10:30:45", "$1.00", "1,234", "2.5"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        long n = 77;
        const bool wholeRead = us.stringToNum(text, &n);
        EXPECT_TRUE(wholeRead || n == 77);
        double x = 7.5, m = -7.5;
        EXPECT_TRUE(us.stringToNum(text, &x) || x == 7.5);
        EXPECT_TRUE(us.stringToMoney(text, &m, kLocal) || m == -7.5);

        tm marked;
        std::memset(&marked, 0x5a, sizeof marked);
        tm d = marked, t = marked;
        const bool dateRead = us.stringToDate(text, &d);
        const bool timeRead = us.stringToTime(text, &t);
        // Success sets its three fields and nothing else.
        if (dateRead) {
            d.tm_year = d.tm_mon = d.tm_mday = marked.tm_mday;
        }
        if (timeRead) {
            t.tm_hour = t.tm_min = t.tm_sec = marked.tm_sec;
        }
        EXPECT_EQ(std::memcmp(&d, &marked, sizeof marked), 0);
        EXPECT_EQ(std::memcmp(&t, &marked, sizeof marked), 0);
    }
}

}  // namespace
