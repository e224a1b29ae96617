// QNLocaleSnapshot reading with captured conventions: the digit-group
// check, whole and real numbers, money pieces in any order, dates by the
// captured order, times with the captured markers, and names. Every reading
// also checks that a failure leaves its output exactly as it was.

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <xvkit/qnlocale.h>

#include "locale_test_support.h"

namespace {

using namespace locale_test;
using namespace xvkit::reader_contract;

const QNLocaleSnapshot c("C"), german("de_DE.UTF-8"), us("en_US.UTF-8"), japanese("ja_JP.UTF-8"),
    empty("xv_EMPTY.UTF-8"), rows("xv_ROWS.UTF-8"), own("xv_TEST.UTF-8");

// `text` followed by `times` copies of `piece`.
std::string repeated(std::string text, const char* piece, int times) {
    while (times-- > 0)
        text += piece;
    return text;
}

TEST(SnapshotParse, WholeNumbersWithTheGroupCheck) {
    // Separators only where the grouping puts them, the leftmost group no
    // longer than the others; the 32-bit range of the library's longs. More
    // separators than a reader can hold are refused, not misread.
    expectReads(us, 'n',
                {" 1,234,567  => 1234567", "1234567 => 1234567", "- 42 => -42", "+42 => 42",
                 "2147483647 => 2147483647", "-2147483647 => -2147483647", "0 => 0",
                 "0000000000000000000000000000042 => 42"},
                {"12,34,567", "1,2345", "1234,567", "1,234,", "2147483648", "-2147483648",
                 "99999999999999999999", "-0", "12a", "", "--1", repeated("0", ",000", 200)});
    expectReads(QNLocaleSnapshot("en_IN.UTF-8"), 'n', {"12,34,567 => 1234567"}, {"1,234,567"});

    // A trailing blank separator is white space, any other trailing one fails.
    expectReads(rows, 'n', {"1 234  => 1234", "1 234 => 1234", "1  => 1"}, {"12 34 "});
    // No separator, no grouping: a comma is just a stray character.
    expectReads(c, 'n', {}, {"1,234"});
}

TEST(SnapshotParse, RealNumbersWhateverTheRuntimePoint) {
    for (const char* runtime : {"C", "de_DE.UTF-8", "xv_TEST.UTF-8"}) {
        SCOPED_TRACE(runtime);
        RuntimeLocale switched(runtime);
        expectReads(us, 'r', {"1,234.5 => 1234.5", "1.5 => 1.5"});
        // '.' separates groups in German.
        expectReads(german, 'r', {"-1.234,5 => -1234.5"}, {"1.5"});
        expectReads(own, 'r', {"12\u202f34\u202f567\u066b25 => 1234567.25"});
    }
    // strtod's overflow is read whole; fewer than 256 characters. (Plain
    // digit, point and exponent forms are compared with strtod below.)
    const std::string longest = std::string(254, '0') + "1", longestRow = longest + " => 1";
    expectReads(us, 'r', {"- .5 => -0.5", "+2.5E-1  => 0.25", "1e999 => inf", longestRow},
                {"1e", "1e+", "1,23.4", "inf", "0x10", longest + "0"});
}

// Short real numbers are converted without strtod; every text must still
// give strtod's value bit for bit, in every rounding mode and whatever the
// runtime's decimal point: around 2^53, 19 digits, exponents of ten
// around 22, zeros, and random texts of all these shapes.
TEST(SnapshotParse, RealNumbersAreStrtodsInEveryRoundingMode) {
    // clang-format off
    std::vector<std::string> texts = {
        "9007199254740991", "9007199254740992", "9007199254740993", "-9007199254740993",
        "1234567890123456789", "12345678901234567890", "0.1", "-0.1", "0.3", "2.5e-1", "1e22",
        "1e23", "-1e-22", "1e-23", "123456789e-22", "0.000", "-0.0e5", "00001.5000", "4.9e-324",
        "1.7976931348623157e308", "1e0400", "1e-0400", "0e99999"};
    // clang-format on
    std::mt19937 random(19);
    const auto digits = [&random](unsigned n) {
        std::string d;
        for (unsigned i = 0; i < n; ++i)
            d += static_cast<char>('0' + random() % 10);
        return d;
    };
    for (int i = 0; i < 2000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        text += digits(random() % 12);
        if (random() % 2)
            text.append(".").append(digits(random() % 12));
        if (random() % 2) {
            text += random() % 2 ? "e-" : "e";
            text += digits(1 + random() % 2);
        }
        texts.push_back(text);
    }
    const int saved = std::fegetround();
    for (const char* runtime : {"C", "de_DE.UTF-8"}) {
        RuntimeLocale switched(runtime);
        for (int mode : {FE_TONEAREST, FE_DOWNWARD, FE_TOWARDZERO, FE_UPWARD}) {
            std::fesetround(mode);
            for (const std::string& text : texts) {
                double read = 7.5;
                const bool ok = us.stringToNum(XVString(text), &read);
                std::string cText = text;
                if (const auto point = cText.find('.'); point != std::string::npos)
                    cText.replace(point, 1, localeconv()->decimal_point);
                char* end = nullptr;
                const double expected = std::strtod(cText.c_str(), &end);
                const bool readable = !text.empty() && text != "-" && text != "." &&
                                      text.find_first_of("0123456789") < text.find('e');
                ASSERT_EQ(ok, readable) << text;
                if (ok) {
                    EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0)
                        << text << " mode " << mode << " in " << runtime << ": " << read
                        << " against " << expected;
                }
            }
        }
    }
    std::fesetround(saved);
}

TEST(SnapshotParse, MoneyPiecesInAnyOrder) {
    // Each piece at most once; exactly as many decimals as captured; ten
    // separators are read, an eleventh is an error.
    expectReads(us, '$',
                {"$1,234.56 => 123456", "1,234.56 $ => 123456", "-$1,234.56 => -123456",
                 "$-1,234.56 => -123456", "1,234.56$- => -123456", "($1,234.56) => -123456",
                 " ( $ 12 )  => -1200", "+ $12 => 1200", ".50 => 50", "$1.00 => 100"},
                {"$12.3", "$12.345", "($12.00", "$$12", "--12", "-(12)", "12 13", "$", "12,34",
                 repeated("1", ",000", 11)});
    EXPECT_NE(readingOf(us, '$', repeated("1", ",000", 10)), "fail");
    // International: the code, at most one sign, the number, in one pass.
    expectReads(us, 'i', {"USD -1,234.56 => -123456", "USD 1,234.56 => 123456"},
                {"-USD 1,234.56", "$1.00"});
    expectReads(us, '0', {}, {"USD 12"});
    // Multibyte signs, symbol and separators; three decimals.
    expectReads(own, '$',
                {"12\u00a034\u066b567\u20ac\u20ac\u2212 => -1234567",
                 "+\u20ac\u20ac 12\u00a034\u066b567 => 1234567"},
                {"\u20ac\u20ac 12\u066b56"});
    // No decimals: the point is not looked for.
    expectReads(japanese, '$', {"\uffe5-1,234 => -1234"}, {"\uffe51,234.5"});
    double amount = 7;
    EXPECT_FALSE(us.stringToMoney("12", &amount, static_cast<QNLocale::CurrSymbol>(5)));
}

TEST(SnapshotParse, DatesInTheCapturedOrder) {
    // Month, day, year; fields run together until a separator is seen; with
    // a month name, day and year only, any case ("Nov" is found in "Novem").
    expectReads(us, 'd',
                {"11-30-2036 => 2036-11-30", "1/2/0 => 1900-01-02", "3/5/99 => 1999-03-05",
                 "1/2/100 => 0100-01-02", "1130/90 => 1990-11-30", "113090 => 1990-11-30",
                 "30 november 1990 => 1990-11-30", "Nov 30, 1990 => 1990-11-30",
                 "Friday, NOVEMBER 30, 1990 => 1990-11-30", "30 Novem 1990 => 1990-11-30"},
                {"2/29/1900", "4/31/1990", "13/1/90", "0/1/90", "1/0/90", "11/30/90 5", "11/305/90",
                 "11/30", "Nov 31, 1990"});
    // Only ASCII letters are folded: "MÄRZ" is no month name here.
    expectReads(german, 'd', {"1.2.1996 => 1996-02-01", "30. März 1990 => 1990-03-30"},
                {"30. MÄRZ 1990"});
    expectReads(QNLocaleSnapshot("sv_SE.UTF-8"), 'd',
                {"19901130 => 1990-11-30", "1990 nov 30 => 1990-11-30"});
    expectReads(rows, 'd', {"1990.30.11 => 1990-11-30", "1990 30 Nov => 1990-11-30"});
    // Month names with digits are never looked for: the digits are fields.
    expectReads(japanese, 'd', {"1990年11月30日 => 1990-11-30"}, {"11月30日"});
    expectReads(c, 'd', {"30 Nov 90 => 1990-11-30"});
}

TEST(SnapshotParse, TimesWithTheCapturedMarkers) {
    // With both markers the hour stands as written.
    expectReads(
        us, 't',
        {"10:30 => 10:30:00", "10:30:45 => 10:30:45", "1030 => 10:30:00", "103045 => 10:30:45",
         "3:15 pm => 15:15:00", "12:05 AM => 00:05:00", "12:05 PM => 12:05:00",
         "3:15 AM PM => 03:15:00", "0:30 => 00:30:00"},
        {"15:00 PM", "0:30 am", "24:00", "10:60", "10:30:60", "10:30:45:1", "10:305", "10"});
    // German has empty markers: both count as present, hours stand as read.
    expectReads(german, 't', {"15:00 => 15:00:00", "12:00 => 12:00:00"});
    expectReads(own, 't', {"3:15 \u0645 => 15:15:00", "12:05 \u0635 => 00:05:00"});
}

// Empty names and markers are found at the start of any text: every date
// has a month name, December (the first searched), and is read as day and
// year; both markers are present, so hours stand as read.
TEST(SnapshotParse, EmptyNamesAreFoundEverywhere) {
    expectReads(empty, 'd',
                {"30/1990 => 1990-12-30", "5 97 => 1997-12-05", "x31x2036 => 2036-12-31"},
                {"11/30/1990", "32 1990", "30", ""});
    expectReads(empty, 't', {"3:15 => 03:15:00", "15:00 pm => 15:00:00", "12:05 => 12:05:00"});
    expectReads(empty, 'M', {" => 12", "   => 12", "Nov => 0"});
    expectReads(empty, 'W', {" => 6", "Sunday => 0"});
}

TEST(SnapshotParse, MonthAndWeekdayNames) {
    // Month names are stripped of blanks on both sides, weekday names not.
    expectReads(
        us, 'M',
        {" Nov  => 11", "NOVEMBER => 11", "january => 1", "Novem => 0", " => 0", "    => 0"});
    expectReads(us, 'W', {"sun => 7", "Monday => 1", "SATURDAY => 6", " Sun => 0", "Su => 0"});
    expectReads(own, 'M', {"may => 5"});  // captured "May " without its blank
    // " 1月" as captured.
    expectReads(japanese, 'M', {"1月 => 1", " 11月  => 11"});
    expectReads(japanese, 'W', {"日曜日 => 7"});
}

}  // namespace
