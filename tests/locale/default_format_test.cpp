// Formatting of the built-in English locale and the shared format expansion.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include "locale_test_support.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace locale_test;

const QNLocaleDefault& loc = QNLocaleDefault::instance();
const QNZoneSimple est(18000, "EST");
const QNZoneSimple eastern(QNZone::StdZone(5), QNZone::DstRule(1));
constexpr QNLocale::CurrSymbol kLocal = QNLocale::symbolLocal;
constexpr QNLocale::CurrSymbol kIntl = QNLocale::symbolInternational;

// Wednesday 5 March 1997, 14:07:09, standard time.
const tm kSample{9, 7, 14, 5, 2, 97, 3, 63, 0, 0, nullptr};

std::string dir(const tm& t, char d, const QNZone& zone = est) {
    return loc.asString(&t, d, zone);
}

// Zone names of any length, empty or far beyond any working buffer, are kept
// whole.
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

// Every directive against the C formatting of its defining formula (64-bit
// field arithmetic), for records whose fields mix ordinary, negative and
// extreme values; the first two hold INT_MAX and INT_MIN in every field.
TEST(DefaultFormat, DirectivesAreTheCFormattingOfTheirFields) {
    const int samples[] = {0,   1,    -1,    5,     9,           10,         11,      12,
                           13,  23,   59,    99,    100,         365,        1000,    -9,
                           -10, -100, -1899, -1900, -1901,       8099,       INT_MAX, INT_MIN,
                           6,   7,    -7,    2000,  INT_MAX - 1, INT_MIN + 1};
    const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
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
        const char* day = t.tm_wday >= 0 && t.tm_wday < 7 ? days[t.tm_wday] : "";
        const char* month = t.tm_mon >= 0 && t.tm_mon < 12 ? months[t.tm_mon] : "";
        const std::string zone = t.tm_isdst == 0 ? "EST" : t.tm_isdst == 1 ? "EDT" : "";
        const std::string x =
            t.tm_year >= 1 && t.tm_year <= 99
                ? printed("%02lld/%02d/%02d", t.tm_mon + 1LL, t.tm_mday, t.tm_year)
                : printed("%02lld/%02d/%04lld", t.tm_mon + 1LL, t.tm_mday, year);
        const std::string clock = printed("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
        ASSERT_EQ(
            loc.asString(&t, "%a|%b|%d|%H|%I|%j|%m|%M|%S|%U|%w|%W|%X|%y|%Y", eastern),
            printed(
                "%s|%s|%02d|%02d|%02d|%03lld|%02lld|%02d|%02d|%02lld|%1d|%02lld|%s|%02lld|%04lld",
                day, month, t.tm_mday, t.tm_hour, hour12, t.tm_yday + 1LL, t.tm_mon + 1LL, t.tm_min,
                t.tm_sec, (t.tm_yday - static_cast<long long>(t.tm_wday) + 7) / 7, t.tm_wday,
                (t.tm_yday - (t.tm_wday + 6LL) % 7 + 7) / 7, clock.c_str(), year % 100, year));
        ASSERT_EQ(loc.asString(&t, "%x|%c|%Z", eastern), x + "|" + x + " " + clock + "|" + zone);
        ASSERT_EQ(dir(t, 'C', eastern), printed("%3s %3s %2d %s %s %4lld", day, month, t.tm_mday,
                                                clock.c_str(), zone.c_str(), year));
    }
}

// Directives that mean the same in strftime under the "C" locale must agree
// with it. Deliberate differences, not compared: 'p' is lower case here,
// 'x' keeps four digits outside 1901..1999, 'c' and 'C' are this locale's
// own layouts.
TEST(DefaultFormat, AgreesWithStrftimeInTheCLocale) {
    RuntimeLocale c("C");
    for (time_t s = -2'000'000'000; s < 2'100'000'000; s += 7'777'777) {
        tm t;
        gmtime_r(&s, &t);
        const bool twoDigitYear = t.tm_year >= 1 && t.tm_year <= 99;
        for (char d : std::string(twoDigitYear ? "aAbBdHIjmMSUwWXyYx" : "aAbBdHIjmMSUwWXyY")) {
            char buffer[64];
            const char format[] = {'%', d, '\0'};
            std::strftime(buffer, sizeof buffer, format, &t);
            EXPECT_EQ(dir(t, d), buffer) << d << " at " << s;
        }
    }
}

TEST(DefaultFormat, FormatExpansion) {
    const char* const cases[][2] = {{"%", ""},
                                    {"%d%", "05"},
                                    {"ab%%%", "ab%"},
                                    {"%d/%m/%Y %", "05/03/1997 "},
                                    {"100%% %d", "100% 05"},
                                    {"", ""},
                                    {"%q|%-d", "|d"}};
    for (const auto& [format, expected] : cases) {
        // A copy of the exact size, so the sanitizer build catches a read past
        // the NUL after a '%' that ends the format.
        const std::vector<char> exact(format, format + std::strlen(format) + 1);
        EXPECT_EQ(loc.asString(&kSample, exact.data(), est), expected) << format;
    }
    EXPECT_EQ(loc.asString(&kSample, static_cast<const char*>(nullptr), est), "");
}

// `Base` with a directive operation that brackets every text it gives.
template <class Base>
class Bracketing : public Base {
  public:
    template <class... Args>
    explicit Bracketing(Args&&... args) : Base(std::forward<Args>(args)...) {}

    using Base::asString;
    XVString asString(const tm* t, char d, const QNZone& zone) const override {
        std::string text(1, '[');
        text += Base::asString(t, d, zone);
        text += ']';
        return XVString(std::move(text));
    }
};

// The expansion writes the directives straight into one buffer: in every
// locale, a format of every directive character but '%' and NUL gives what
// the directive operation gives for each, and a derived locale's override
// shows in every format and inside the composite directives, which go
// through the virtual table.
TEST(FormatExpansion, IsTheDirectiveOperationForEveryDirectiveInEveryLocale) {
    const Bracketing<QNLocaleDefault> english(loc);
    std::vector<const QNLocale*> locales = {&loc, &english};
    std::vector<std::unique_ptr<QNLocale>> snapshots;
    for (const char* name : kLocales) {
        snapshots.push_back(std::make_unique<QNLocaleSnapshot>(name));
        snapshots.push_back(std::make_unique<Bracketing<QNLocaleSnapshot>>(name));
        locales.push_back(snapshots.end()[-2].get());
        locales.push_back(snapshots.back().get());
    }
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

// A negative precision means C's default of 6; beyond the 1074 decimals a
// double holds only zeros would follow, so larger precisions stop there.
TEST(DefaultFormat, RealNumberPrecisionLimits) {
    RuntimeLocale c("C");
    EXPECT_EQ(loc.asString(1.5, -1, false), "1.500000");
    EXPECT_EQ(loc.asString(-1e308, 1074, true), printed("%.1074f", -1e308));
    EXPECT_EQ(loc.asString(1e-300, 5000, false), printed("%.1074f", 1e-300));
    EXPECT_EQ(loc.asString(0.0, INT_MAX, false).size(), 1076u);
}

// The real-number and money texts are the C library's in every numeric
// locale ('.', ',' and the two-byte U+066B of the test locales found through
// LOCPATH): digits and rounding, the point kept by `showpoint`, texts longer
// than 80 bytes.
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
            for (int precision : {0, 1, 2, 3, 6, 11, 17, 30, 80, 500}) {
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
    const struct {
        double amount;
        const char* number;
    } cases[] = {{12345, "123.45"},      {-1e18 + 128, "9999999999999998.00"},
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

}  // namespace
