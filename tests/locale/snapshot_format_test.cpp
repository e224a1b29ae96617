// QNLocaleSnapshot formatting from its captured data: grouping, real
// numbers whatever the runtime's locale, money in all ten pattern rows and
// the symbol choices, directives on odd records, and results that outgrow
// the usual working areas (run under the sanitizers, these prove that
// nothing is written past a buffer).

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "snapshot_test_support.h"

namespace {

using namespace snapshot_test;

const QNLocale::CurrSymbol kLocal = QNLocale::symbolLocal;
const QNLocale::CurrSymbol kIntl = QNLocale::symbolInternational;
const QNLocale::CurrSymbol kNone = QNLocale::symbolNone;

TEST(SnapshotFormat, GroupsDigits) {
    const QNLocaleSnapshot us("en_US.UTF-8"), india("en_IN.UTF-8"), edge("xv_EDGE.UTF-8"), c("C");
    EXPECT_EQ(us.asString(0L), "0");
    EXPECT_EQ(us.asString(-1234567L), "-1,234,567");
    EXPECT_EQ(us.asString(-123L), "-123");  // never a separator after '-'
    EXPECT_EQ(us.asString(-2147483647L - 1), "-2,147,483,648");
    EXPECT_EQ(us.asString(LONG_MIN), "-9,223,372,036,854,775,808");
    EXPECT_EQ(us.asString(ULONG_MAX), "18,446,744,073,709,551,615");
    // 3;2: a group of three, then the last size repeats.
    EXPECT_EQ(india.asString(1234567UL), "12,34,567");
    EXPECT_EQ(india.asString(-123456789L), "-12,34,56,789");
    EXPECT_EQ(india.asString(-12345L), "-12,345");
    // The printed digits '3' and '2' group as the sizes 3 and 2.
    EXPECT_EQ(edge.asString(1234567L), "12\u201934\u2019567");
    EXPECT_EQ(edge.asString(1234.5, 1, false), "1\u2019234.5");
    EXPECT_EQ(c.asString(1234567L), "1234567");  // no grouping
    // CHAR_MAX groups as 15: xv_TEST's money grouping is 2;CHAR_MAX.
    const QNLocaleSnapshot own("xv_TEST.UTF-8");
    EXPECT_EQ(own.moneyAsString(1e20, kNone), "+ 1\u00a0000000000000000\u00a000\u066b000");
    EXPECT_EQ(own.moneyAsString(-123456789, kNone), "1234\u00a056\u066b789\u2212");
}

TEST(SnapshotFormat, RealNumbersUseTheCapturedPointWhateverTheRuntime) {
    const QNLocaleSnapshot german("de_DE.UTF-8"), us("en_US.UTF-8"), own("xv_TEST.UTF-8");
    for (const char* runtime : {"C", "de_DE.UTF-8", "xv_TEST.UTF-8", "ja_JP.UTF-8"}) {
        SCOPED_TRACE(runtime);
        RuntimeLocale switched(runtime);
        EXPECT_EQ(german.asString(1234.5, 2, false), "1.234,50");
        EXPECT_EQ(german.asString(-1234.0, 0, true), "-1.234,");
        EXPECT_EQ(us.asString(1234.0, 0, true), "1,234.");
        EXPECT_EQ(us.asString(1234.0, 0, false), "1,234");
        EXPECT_EQ(us.asString(-0.0, 2, false), "-0.00");
        EXPECT_EQ(us.asString(0.125, -5, false), "0.125000");  // negative: 6 decimals
        EXPECT_EQ(own.asString(-1234.5, 1, false), "-1\u202f234\u066b5");
        EXPECT_EQ(us.moneyAsString(-123456, kLocal), "-$1,234.56");
    }
    // C's "inf" and "nan" stand where its point does: the sign and the point
    // are all that is left.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(us.asString(inf, 2, false), ".");
    EXPECT_EQ(us.asString(-inf, 0, false), "-.");
    EXPECT_EQ(german.asString(std::nan(""), 3, true), ",");
    EXPECT_EQ(us.moneyAsString(-inf, kLocal), "-$.");
}

TEST(SnapshotFormat, MoneyInEveryPatternRow) {
    const struct {
        const char* locale;
        double amount;
        const char* text;
    } cases[] = {
        // Row 0 "(m $", blank flag 1.
        {"xv_EDGE.UTF-8", 123456, "(1,234.56 \u00a4)"},
        // Row 1 "-m $".
        {"de_DE.UTF-8", -123456, "-1.234,56 \u20ac"},
        // Row 2 "m $-", blank flag 2; row 3 "m- $", blank flag 0.
        {"xv_ROWS.UTF-8", 123456, "1,234.56 $+"},
        {"xv_ROWS.UTF-8", -123456, "1,234.56-$"},
        // Row 4 "m $-" and row 8 "-$ m", three decimals, multibyte texts.
        {"xv_TEST.UTF-8", -1234567, "12\u00a034\u066b567\u20ac\u20ac\u2212"},
        {"xv_TEST.UTF-8", 1234567, "+\u20ac\u20ac 12\u00a034\u066b567"},
        // Rows 5 and 6 of the C locale: its blank flags are CHAR_MAX.
        {"C", -1234, "( 1234)"},
        {"C", 1234, " 1234"},
        // Row 7 "$ m-", blank flag 1.
        {"xv_EDGE.UTF-8", -123456, "\u00a4 1,234.56-"},
        // Row 9 "$ -m", no decimals.
        {"ja_JP.UTF-8", -1234, "\uffe5-1,234"},
        // Amounts count hundredths; -0.0 is not negative.
        {"en_US.UTF-8", 5, "$0.05"},
        {"en_US.UTF-8", -0.0, "$0.00"},
        {"en_US.UTF-8", 0.4, "$0.00"},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.locale);
        EXPECT_EQ(QNLocaleSnapshot(expected.locale).moneyAsString(expected.amount, kLocal),
                  expected.text);
    }
}

TEST(SnapshotFormat, MoneySymbols) {
    const QNLocaleSnapshot us("en_US.UTF-8"), own("xv_TEST.UTF-8"), c("C");
    // International: the code, '-' when negative, the number; never a blank.
    EXPECT_EQ(us.moneyAsString(123456, kIntl), "USD 1,234.56");
    EXPECT_EQ(us.moneyAsString(-123456, kIntl), "USD -1,234.56");
    EXPECT_EQ(own.moneyAsString(-1234567, kIntl), "EUR -12\u00a034\u066b567");
    EXPECT_EQ(c.moneyAsString(-1234, kIntl), "-1234");
    // None, and any other value: the captured layout without a symbol.
    EXPECT_EQ(us.moneyAsString(-123456, kNone), "-1,234.56");
    EXPECT_EQ(own.moneyAsString(1234567, kNone), "+ 12\u00a034\u066b567");
    EXPECT_EQ(us.moneyAsString(123456, static_cast<QNLocale::CurrSymbol>(7)), "1,234.56");
}

TEST(SnapshotFormat, DirectivesOnOddRecords) {
    const QNLocaleSnapshot us("en_US.UTF-8"), own("xv_TEST.UTF-8");
    const QNZoneSimple zone(nullptr, 0, "STD", -3600, "ALT");
    tm t = utcTm(1997, 2, 2, 0, 7, 9);
    EXPECT_EQ(own.asString(&t, 'x', zone), " 3/ 2/1997");  // blank-filled month and day
    EXPECT_EQ(us.asString(&t, 'I', zone), "12");
    t.tm_hour = 13;
    EXPECT_EQ(us.asString(&t, 'I', zone), "01");
    t.tm_hour = 12;
    EXPECT_EQ(us.asString(&t, 'p', zone), "PM");
    t.tm_hour = -5;
    EXPECT_EQ(us.asString(&t, 'p', zone), "AM");
    t.tm_isdst = 0;
    EXPECT_EQ(us.asString(&t, 'Z', zone), "STD");
    t.tm_isdst = 1;
    EXPECT_EQ(us.asString(&t, 'Z', zone), "ALT");
    t.tm_isdst = -1;
    EXPECT_EQ(us.asString(&t, 'Z', zone), "");
    t.tm_mon = 12;
    t.tm_wday = 7;
    for (char d : std::string("BbAa"))
        EXPECT_EQ(us.asString(&t, d, zone), "") << d;
    for (char d : std::string("Eeq%\0-", 6))
        EXPECT_EQ(us.asString(&t, d, zone), "") << static_cast<int>(d);
    EXPECT_EQ(us.asString(nullptr, 'Y', zone), "");

    // Fields out of range print the low 32 bits of the exact value.
    tm odd{};
    odd.tm_year = 10000 - 1900;
    odd.tm_yday = -1;
    odd.tm_wday = INT_MAX;
    odd.tm_mday = INT_MIN;
    odd.tm_mon = INT_MAX;
    odd.tm_hour = INT_MIN;
    odd.tm_sec = -1;
    EXPECT_EQ(us.asString(&odd, 'Y', zone), "10000");  // more digits are kept
    EXPECT_EQ(us.asString(&odd, 'j', zone), "000");
    EXPECT_EQ(us.asString(&odd, 'S', zone), "4294967295");
    EXPECT_EQ(us.asString(&odd, 'd', zone), "2147483648");
    EXPECT_EQ(us.asString(&odd, 'm', zone), "2147483648");
    EXPECT_EQ(us.asString(&odd, 'I', zone), "2147483648");
    EXPECT_EQ(us.asString(&odd, 'w', zone), "2147483647");
    // (-1 - INT_MAX + 7) / 7 = -306783377, as 32 bits.
    EXPECT_EQ(us.asString(&odd, 'U', zone), "3988183919");
    odd.tm_year = INT_MAX;
    EXPECT_EQ(us.asString(&odd, 'Y', zone), "2147485547");
    EXPECT_EQ(us.asString(&odd, 'y', zone), "47");
    odd.tm_year = -1901;  // the year -1
    EXPECT_EQ(us.asString(&odd, 'Y', zone), "4294967295");
    EXPECT_EQ(us.asString(&odd, 'y', zone), "4294967295");
}

TEST(SnapshotFormat, ResultsBeyondTheWorkingAreas) {
    const QNLocaleSnapshot us("en_US.UTF-8"), own("xv_TEST.UTF-8"), edge("xv_EDGE.UTF-8");
    // 309 digits in groups of 3 then 2 (153 three-byte separators), a
    // two-byte point and 500 decimals.
    EXPECT_EQ(own.asString(1e308, 500, false).size(), 309u + 153 * 3 + 2 + 500);
    // A double has at most 1074 decimals: larger precisions give those.
    const XVString tiny = us.asString(5e-324, INT_MAX, true);
    EXPECT_EQ(tiny, us.asString(5e-324, 1074, true));
    EXPECT_EQ(tiny.size(), 2u + 1074);
    EXPECT_EQ(tiny.substr(tiny.size() - 6), "265625");  // 2^-1074 ends so
    EXPECT_EQ(us.asString(-1.7976931348623157e308, INT_MAX, false).size(),
              1 + 309 + 102 + 1 + 1074u);
    const std::string huge = us.moneyAsString(-1.7976931348623157e308, kLocal);
    EXPECT_EQ(huge.substr(0, 6), "-$1,79");
    EXPECT_EQ(huge.size(), 2 + 307 + 102 + 3u);

    // Zone names of any length, alone and inside a layout.
    const std::string longName(5000, 'z');
    const QNZoneSimple zone(0, XVString(longName));
    tm t = probeTm();
    t.tm_isdst = 0;
    EXPECT_EQ(us.asString(&t, 'Z', zone), longName);
    const XVString filled = us.asString(&t, 'c', zone);
    EXPECT_EQ(filled, "Fri 30 Nov 1990 10:54:56 PM " + longName);
    // A layout longer than 255 bytes, filled for its probe date.
    {
        RuntimeLocale runtime("xv_EDGE.UTF-8");
        EXPECT_EQ(edge.asString(&t, 'c', zone), strftimeText("%c", t));
        EXPECT_GT(strftimeText("%c", t).size(), 300u);
    }
    // Every directive on a record of extreme fields.
    tm extreme;
    for (int fill : {INT_MIN, INT_MAX, -1}) {
        extreme = tm{fill, fill, fill, fill, fill, fill, fill, fill, fill, 0, nullptr};
        for (int d = 0; d < 256; ++d) {
            const XVString text = edge.asString(&extreme, static_cast<char>(d), zone);
            EXPECT_LT(text.size(), 512u) << d;
        }
    }
}

}  // namespace
