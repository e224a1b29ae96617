// Formatting of the built-in English locale and the shared format expansion.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

const QNLocaleDefault& loc = QNLocaleDefault::instance();
const QNZoneSimple est(18000, "EST");

// Pins LC_NUMERIC for one test and restores the previous setting.
class NumericLocale {
  public:
    explicit NumericLocale(const char* name)
        : saved_(std::setlocale(LC_NUMERIC, nullptr)),
          ok_(std::setlocale(LC_NUMERIC, name) != nullptr) {}
    ~NumericLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_;
};

// The numeric locales the real-number texts are checked in: '.', ',' and a
// two-byte decimal point (U+066B). The last two are the test locales found
// through LOCPATH.
const char* const kNumericLocales[] = {"C", "de_DE.UTF-8", "xv_TEST.UTF-8"};

// The C library's formatting of `format`, however long the text.
template <class... Args>
std::string cText(const char* format, Args... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, format, args...);
    return text;
}

tm makeTm(int year, int mon, int mday, int hour, int min, int sec, int wday, int yday,
          int isdst = 0) {
    tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = mday;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    t.tm_wday = wday;
    t.tm_yday = yday;
    t.tm_isdst = isdst;
    return t;
}

// Wednesday 5 March 1997, 14:07:09, standard time.
const tm kSample = makeTm(1997, 3, 5, 14, 7, 9, 3, 63);

std::string dir(const tm& t, char d, const QNZone& zone = est) {
    return loc.asString(&t, d, zone);
}

TEST(DefaultFormat, DirectiveTableForOneDate) {
    EXPECT_EQ(loc.asString(&kSample, "%a|%A|%b|%B|%d|%H|%I|%j|%m|%M|%p|%S|%U|%w|%W|%y|%Y|%Z", est),
              "Wed|Wednesday|Mar|March|05|14|02|064|03|07|pm|09|09|3|09|97|1997|EST");
    EXPECT_EQ(loc.asString(&kSample, "%x|%X|%c|%C", est),
              "03/05/97|14:07:09|03/05/97 14:07:09|Wed Mar  5 14:07:09 EST 1997");
    for (char other : {'D', 'e', 'T', 'q', '%', '\0', '-'})
        EXPECT_EQ(dir(kSample, other), "");
}

TEST(DefaultFormat, TwelveHourClockAndWeeksAtYearStart) {
    tm t = kSample;
    t.tm_hour = 0;
    EXPECT_EQ(dir(t, 'I') + dir(t, 'p'), "12am");
    t.tm_hour = 11;
    EXPECT_EQ(dir(t, 'I') + dir(t, 'p'), "11am");
    t.tm_hour = 12;
    EXPECT_EQ(dir(t, 'I') + dir(t, 'p'), "12pm");
    t.tm_hour = 23;
    EXPECT_EQ(dir(t, 'I') + dir(t, 'p'), "11pm");

    const tm wed1 = makeTm(1997, 1, 1, 0, 0, 0, 3, 0);
    const tm sun5 = makeTm(1997, 1, 5, 0, 0, 0, 0, 4);
    const tm mon6 = makeTm(1997, 1, 6, 0, 0, 0, 1, 5);
    EXPECT_EQ(dir(wed1, 'U') + dir(wed1, 'W'), "0000");
    EXPECT_EQ(dir(sun5, 'U') + dir(sun5, 'W'), "0100");
    EXPECT_EQ(dir(mon6, 'U') + dir(mon6, 'W'), "0101");
}

TEST(DefaultFormat, DateDirectiveUsesTwoDigitsOnlyFor1901To1999) {
    const struct {
        int year;
        const char* x;
        const char* y;
    } cases[] = {{1900, "03/05/1900", "00"}, {1901, "03/05/01", "01"},
                 {1999, "03/05/99", "99"},   {2000, "03/05/2000", "00"},
                 {2005, "03/05/2005", "05"}, {10000, "03/05/10000", "00"},
                 {5, "03/05/0005", "05"}};
    for (const auto& c : cases) {
        tm t = kSample;
        t.tm_year = c.year - 1900;
        EXPECT_EQ(dir(t, 'x'), c.x) << c.year;
        EXPECT_EQ(dir(t, 'y'), c.y) << c.year;
    }
}

TEST(DefaultFormat, ZoneNamesFollowDaylightFlag) {
    const QNZoneSimple eastern(QNZone::StdZone(5), QNZone::DstRule(1));
    const QNZoneSimple unnamed(0, "");
    tm t = kSample;
    t.tm_isdst = 1;
    EXPECT_EQ(dir(t, 'Z', eastern), "EDT");
    EXPECT_EQ(dir(t, 'C', eastern), "Wed Mar  5 14:07:09 EDT 1997");
    t.tm_isdst = -1;
    EXPECT_EQ(dir(t, 'Z', eastern), "");
    EXPECT_EQ(dir(t, 'C', eastern), "Wed Mar  5 14:07:09  1997");
    t.tm_isdst = 0;
    EXPECT_EQ(dir(t, 'C', unnamed), "Wed Mar  5 14:07:09  1997");
}

TEST(DefaultFormat, NameDirectivesGiveEmptyTextOutsideTheTables) {
    tm t = kSample;
    t.tm_wday = 7;
    t.tm_mon = -1;
    EXPECT_EQ(dir(t, 'a') + dir(t, 'A') + dir(t, 'b') + dir(t, 'B'), "");
    EXPECT_EQ(dir(t, 'C'), std::string(9, ' ') + "5 14:07:09 EST 1997");
    t.tm_wday = 0;
    t.tm_mon = 11;
    EXPECT_EQ(dir(t, 'A') + dir(t, 'B'), "SundayDecember");
}

// Every directive of an extreme record: the texts are those of 64-bit field
// arithmetic, and the sanitizer build checks that nothing overruns.
TEST(DefaultFormat, ExtremeFieldsGiveExactTexts) {
    tm t;
    t.tm_sec = t.tm_min = t.tm_hour = t.tm_mday = t.tm_mon = INT_MAX;
    t.tm_year = t.tm_wday = t.tm_yday = t.tm_isdst = INT_MAX;
    EXPECT_EQ(dir(t, 'Y'), "2147485547");
    EXPECT_EQ(dir(t, 'y'), "47");
    EXPECT_EQ(dir(t, 'm'), "2147483648");
    EXPECT_EQ(dir(t, 'j'), "2147483648");
    EXPECT_EQ(dir(t, 'U'), "01");  // (yday - wday + 7) / 7
    EXPECT_EQ(dir(t, 'W'), "306783379");
    EXPECT_EQ(dir(t, 'x'), "2147483648/2147483647/2147485547");
    EXPECT_EQ(dir(t, 'I'), "07");
    EXPECT_EQ(dir(t, 'p'), "pm");

    QNDate::clobber(&t);  // every field INT_MIN
    EXPECT_EQ(dir(t, 'Y'), "-2147481748");
    EXPECT_EQ(dir(t, 'y'), "-48");
    EXPECT_EQ(dir(t, 'j'), "-2147483647");
    EXPECT_EQ(dir(t, 'W'), "-306783376");
    EXPECT_EQ(dir(t, 'I'), "-8");
    EXPECT_EQ(dir(t, 'p'), "am");
    EXPECT_EQ(dir(t, 'C'),
              std::string(8, ' ') + "-2147483648 -2147483648:-2147483648:-2147483648  -2147481748");
    for (int d = CHAR_MIN; d <= CHAR_MAX; ++d)
        EXPECT_LT(dir(t, static_cast<char>(d)).size(), 256u);
}

// Every directive against the C formatting of its defining formula, for
// records whose fields mix ordinary, negative and extreme values.
TEST(DefaultFormat, DirectivesAreTheCFormattingOfTheirFields) {
    const int samples[] = {0,   1,    -1,    5,     9,           10,         11,      12,
                           13,  23,   59,    99,    100,         365,        1000,    -9,
                           -10, -100, -1899, -1900, -1901,       8099,       INT_MAX, INT_MIN,
                           6,   7,    -7,    2000,  INT_MAX - 1, INT_MIN + 1};
    const char* const shortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const char* const shortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QNZoneSimple eastern(QNZone::StdZone(5), QNZone::DstRule(1));
    unsigned int seed = 7;
    const auto pick = [&] {
        seed = seed * 1103515245u + 12345u;
        return samples[(seed >> 16) % (sizeof samples / sizeof samples[0])];
    };
    for (int round = 0; round < 3000; ++round) {
        tm t;
        t.tm_sec = pick(), t.tm_min = pick(), t.tm_hour = pick(), t.tm_mday = pick();
        t.tm_mon = round % 3 == 0 ? round % 12 : pick();
        t.tm_year = pick(), t.tm_wday = round % 3 == 0 ? round % 7 : pick();
        t.tm_yday = pick(), t.tm_isdst = round % 4 - 1;
        const long long year = t.tm_year + 1900LL;
        const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        const char* day = t.tm_wday >= 0 && t.tm_wday < 7 ? shortDays[t.tm_wday] : "";
        const char* month = t.tm_mon >= 0 && t.tm_mon < 12 ? shortMonths[t.tm_mon] : "";
        const std::string zone = t.tm_isdst == 0 ? "EST" : t.tm_isdst == 1 ? "EDT" : "";
        const std::string x = t.tm_year >= 1 && t.tm_year <= 99
                                  ? cText("%02lld/%02d/%02d", t.tm_mon + 1LL, t.tm_mday, t.tm_year)
                                  : cText("%02lld/%02d/%04lld", t.tm_mon + 1LL, t.tm_mday, year);
        const std::string expected[][2] = {
            {"d", cText("%02d", t.tm_mday)},
            {"H", cText("%02d", t.tm_hour)},
            {"I", cText("%02d", hour12)},
            {"j", cText("%03lld", t.tm_yday + 1LL)},
            {"m", cText("%02lld", t.tm_mon + 1LL)},
            {"M", cText("%02d", t.tm_min)},
            {"S", cText("%02d", t.tm_sec)},
            {"U", cText("%02lld", (t.tm_yday - static_cast<long long>(t.tm_wday) + 7) / 7)},
            {"w", cText("%1d", t.tm_wday)},
            {"W", cText("%02lld", (t.tm_yday - (t.tm_wday + 6LL) % 7 + 7) / 7)},
            {"x", x},
            {"X", cText("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec)},
            {"c", x + " " + cText("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec)},
            {"y", cText("%02lld", year % 100)},
            {"Y", cText("%04lld", year)},
            {"C", cText("%3s %3s %2d %02d:%02d:%02d %s %4lld", day, month, t.tm_mday, t.tm_hour,
                        t.tm_min, t.tm_sec, zone.c_str(), year)},
        };
        for (const auto& [directive, text] : expected) {
            ASSERT_EQ(dir(t, directive[0], eastern), text)
                << directive << " " << t.tm_mday << " " << t.tm_mon << " " << t.tm_year << " "
                << t.tm_hour << " " << t.tm_wday << " " << t.tm_yday;
        }
    }
}

// Under the Itanium C++ ABI (GCC and Clang on Linux) a pointer to a virtual
// member function holds 1 + the byte offset of its virtual-table slot.
template <class F>
std::ptrdiff_t slotOf(F member) {
    struct {
        std::ptrdiff_t ptr;
        std::ptrdiff_t adjust;
    } raw;
    static_assert(sizeof member == sizeof raw);
    std::memcpy(&raw, &member, sizeof raw);
    return (raw.ptr - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

// Slots 0 and 1 hold the destructor (complete and deleting); the operations
// follow in their declared order, the same in the English locale.
TEST(DefaultFormat, VirtualSlotsKeepTheInterfaceOrder) {
    using L = QNLocale;
    using D = QNLocaleDefault;
    const std::ptrdiff_t slots[] = {
        slotOf(static_cast<XVString (L::*)(const tm*, char, const QNZone&) const>(&L::asString)),
        slotOf(static_cast<XVString (L::*)(double, int, bool) const>(&L::asString)),
        slotOf(static_cast<XVString (L::*)(unsigned long) const>(&L::asString)),
        slotOf(static_cast<XVString (L::*)(long) const>(&L::asString)),
        slotOf(&L::moneyAsString),
        slotOf(static_cast<bool (L::*)(const XVString&, long*) const>(&L::stringToNum)),
        slotOf(static_cast<bool (L::*)(const XVString&, double*) const>(&L::stringToNum)),
        slotOf(&L::stringToDate),
        slotOf(&L::stringToTime),
        slotOf(&L::stringToMoney),
        slotOf(&L::monthIndex),
        slotOf(&L::weekdayIndex),
    };
    for (std::ptrdiff_t i = 0; i < 12; ++i)
        EXPECT_EQ(slots[i], i + 2);
    EXPECT_EQ(slotOf(static_cast<XVString (D::*)(long) const>(&D::asString)), 5);
    EXPECT_EQ(slotOf(&D::weekdayIndex), 13);
}

TEST(DefaultFormat, LongZoneNamesAreKeptWhole) {
    const std::string name(10000, 'z');
    const QNZoneSimple zone(0, name.c_str());
    EXPECT_EQ(dir(kSample, 'Z', zone), name);
    EXPECT_EQ(dir(kSample, 'C', zone), "Wed Mar  5 14:07:09 " + name + " 1997");
    EXPECT_EQ(loc.asString(&kSample, "%Z%Z", zone).size(), 20000u);
}

TEST(DefaultFormat, FormatExpansion) {
    // A '%' that ends the format: the format sits in an allocation of its
    // exact size, so the sanitizer build catches a read past the NUL.
    for (const std::string format : {"%", "%d%", "ab%%%"}) {
        const auto exact = std::make_unique<char[]>(format.size() + 1);
        std::memcpy(exact.get(), format.c_str(), format.size() + 1);
        const std::string expected = format == "%" ? "" : format == "%d%" ? "05" : "ab%";
        EXPECT_EQ(loc.asString(&kSample, exact.get(), est), expected) << format;
    }
    EXPECT_EQ(loc.asString(&kSample, "%%", est), "%");
    EXPECT_EQ(loc.asString(&kSample, "100%% %d", est), "100% 05");
    EXPECT_EQ(loc.asString(&kSample, "", est), "");
    EXPECT_EQ(loc.asString(&kSample, static_cast<const char*>(nullptr), est), "");
    EXPECT_EQ(loc.asString(&kSample, "%q|%-d", est), "|d");
    EXPECT_EQ(loc.asString(&kSample, "%d/%m/%Y %", est), "05/03/1997 ");
    EXPECT_EQ(loc.asString(&kSample, "%A, %B %d, %Y at %I:%M %p", est),
              "Wednesday, March 05, 1997 at 02:07 pm");
}

// A locale that overrides the directive operation changes every format and
// the composite directives, which go through the virtual table.
TEST(DefaultFormat, ExpansionAndCompositesCallTheOverride) {
    class Bracketed : public QNLocaleDefault {
      public:
        Bracketed() : QNLocaleDefault(QNLocaleDefault::instance()) {}
        using QNLocaleDefault::asString;
        XVString asString(const tm* t, char d, const QNZone& z) const override {
            XVString text = QNLocaleDefault::asString(t, d, z);
            if (d == 'x' || d == 'X' || d == 'Z') {
                text.insert(0, 1, '<');
                text += '>';
            }
            return text;
        }
    };
    const Bracketed b;
    const QNLocale& base = b;
    EXPECT_EQ(base.asString(&kSample, "%x|%d", est), "<03/05/97>|05");
    EXPECT_EQ(base.asString(&kSample, 'c', est), "<03/05/97> <14:07:09>");
    EXPECT_EQ(base.asString(&kSample, 'C', est), "Wed Mar  5 14:07:09 <EST> 1997");
}

// Directives that mean the same in strftime under the "C" locale must agree
// with it. Deliberate differences, not compared: 'p' is lower case here,
// 'x' keeps four digits outside 1901..1999, 'c' and 'C' are this locale's
// own layouts.
TEST(DefaultFormat, AgreesWithStrftimeInTheCLocale) {
    const std::string saved = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    for (time_t s = -2'000'000'000; s < 2'100'000'000; s += 7'777'777) {
        tm t;
        gmtime_r(&s, &t);
        for (char d : std::string("aAbBdHIjmMSUwWXyY")) {
            char buffer[64];
            const char format[] = {'%', d, '\0'};
            std::strftime(buffer, sizeof buffer, format, &t);
            EXPECT_EQ(dir(t, d), buffer) << d << " at " << s;
        }
        if (t.tm_year >= 1 && t.tm_year <= 99) {
            char buffer[64];
            std::strftime(buffer, sizeof buffer, "%x", &t);
            EXPECT_EQ(dir(t, 'x'), buffer);
        }
    }
    std::setlocale(LC_TIME, saved.c_str());
}

TEST(DefaultFormat, WholeNumbers) {
    EXPECT_EQ(loc.asString(-42L), "-42");
    EXPECT_EQ(loc.asString(4294967295UL), "4294967295");
    EXPECT_EQ(loc.asString(LONG_MIN), cText("%ld", LONG_MIN));
    EXPECT_EQ(loc.asString(ULONG_MAX), cText("%lu", ULONG_MAX));
    for (long v = 1; v > 0 && v < LONG_MAX / 10; v *= 10) {
        for (long w : {v - 1, v, -v, -v + 1})
            EXPECT_EQ(loc.asString(w), cText("%ld", w));
        EXPECT_EQ(loc.asString(static_cast<unsigned long>(v) * 10 - 1),
                  cText("%lu", static_cast<unsigned long>(v) * 10 - 1));
    }
}

TEST(DefaultFormat, RealNumbers) {
    NumericLocale c("C");
    EXPECT_EQ(loc.asString(2.0, 0, false), "2");
    EXPECT_EQ(loc.asString(2.0, 0, true), "2.");
    EXPECT_EQ(loc.asString(3.14159, 2, false), "3.14");
    EXPECT_EQ(loc.asString(-0.5, 3, false), "-0.500");
    EXPECT_EQ(loc.asString(1.5, -1, false), "1.500000");  // negative: C's default 6
    EXPECT_EQ(loc.asString(NAN, 2, false), "nan");
    EXPECT_EQ(loc.asString(-INFINITY, 2, true), "-inf");
    EXPECT_EQ(loc.asString(INFINITY, 0, true), "inf");  // no point after a non-number
    EXPECT_EQ(loc.asString(-0.0, 2, false), "-0.00");
    EXPECT_EQ(loc.asString(-0.0, 0, true), "-0.");
    EXPECT_EQ(loc.asString(0.125, 2, false), "0.12");  // ties round to even, as in C
    EXPECT_EQ(loc.asString(0.375, 2, false), "0.38");

    // Texts beyond the usual 80 bytes come out whole, as C prints them.
    for (int precision : {70, 500, 1074}) {
        const int n = std::snprintf(nullptr, 0, "%.*f", precision, 1e308);
        std::vector<char> expected(static_cast<std::size_t>(n) + 1);
        std::snprintf(expected.data(), expected.size(), "%.*f", precision, 1e308);
        EXPECT_EQ(loc.asString(1e308, precision, false), expected.data()) << precision;
    }
    // Beyond the 1074 decimals a double holds, only zeros would follow.
    EXPECT_EQ(loc.asString(1e-300, 5000, false), loc.asString(1e-300, 1074, false));
    EXPECT_EQ(loc.asString(0.0, INT_MAX, false).size(), 1076u);
}

TEST(DefaultFormat, Money) {
    NumericLocale c("C");
    EXPECT_EQ(loc.moneyAsString(12345, QNLocale::symbolLocal), "$123.45");
    EXPECT_EQ(loc.moneyAsString(-12345, QNLocale::symbolInternational), "(USD 123.45)");
    EXPECT_EQ(loc.moneyAsString(-12345, QNLocale::symbolLocal), "($123.45)");
    EXPECT_EQ(loc.moneyAsString(5, QNLocale::symbolNone), "0.05");
    EXPECT_EQ(loc.moneyAsString(5, QNLocale::CurrSymbol(7)), "0.05");
    EXPECT_EQ(loc.moneyAsString(0, QNLocale::symbolLocal), "$0.00");
    // The largest amount below 1e18; the unit value rounds to a double of step 2.
    EXPECT_EQ(loc.moneyAsString(1e18 - 128, QNLocale::symbolNone), "9999999999999998.00");
    EXPECT_EQ(loc.moneyAsString(1e18, QNLocale::symbolNone), "1.00000e+16");
    EXPECT_EQ(loc.moneyAsString(-1e300, QNLocale::symbolInternational), "(USD 1.00000e+298)");
    EXPECT_EQ(loc.moneyAsString(-1e18, QNLocale::symbolInternational), "(USD 1.00000e+16)");
    EXPECT_EQ(loc.moneyAsString(-INFINITY, QNLocale::symbolLocal), "($inf)");
    EXPECT_EQ(loc.moneyAsString(NAN, QNLocale::symbolLocal), "$nan");
    // Never a minus sign: not for a negative zero, a NaN with its sign bit,
    // or a negative amount that rounds to zero.
    EXPECT_EQ(loc.moneyAsString(-0.0, QNLocale::symbolLocal), "$0.00");
    EXPECT_EQ(loc.moneyAsString(-NAN, QNLocale::symbolNone), "nan");
    EXPECT_EQ(loc.moneyAsString(-0.4, QNLocale::symbolLocal), "($0.00)");
    EXPECT_EQ(loc.moneyAsString(-5, QNLocale::CurrSymbol(-1)), "(0.05)");
    EXPECT_EQ(loc.moneyAsString(-1e18 + 128, QNLocale::symbolInternational),
              "(USD 9999999999999998.00)");  // the longest text of the fixed form
}

// The real-number and money texts are the C library's in every numeric
// locale: digits and rounding, the locale's decimal point (one or more
// bytes), the point kept by `showpoint`, texts longer than 80 bytes.
TEST(DefaultFormat, RealNumbersAreTheCFormattingInEveryNumericLocale) {
    std::vector<double> values = {0.0,    -0.0, 0.5,  2.5,      -2.5,     0.125, 1.005,
                                  2.675,  1e-7, 0.1,  9.9999,   1e15 + 1, 1e22,  -1e300,
                                  5e-324, NAN,  -NAN, INFINITY, -INFINITY};
    unsigned int seed = 2024;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double mantissa = static_cast<double>(seed) / 4294967296.0 - 0.5;
        seed = seed * 1103515245u + 12345u;
        values.push_back(std::ldexp(mantissa, static_cast<int>(seed >> 26) - 32));
    }
    for (const char* name : kNumericLocales) {
        NumericLocale numeric(name);
        ASSERT_TRUE(numeric.ok()) << name << " missing: build xvkit_test_locales, run with LOCPATH";
        for (double v : values) {
            for (int precision : {0, 1, 2, 3, 6, 11, 17, 30, 80, 500}) {
                EXPECT_EQ(loc.asString(v, precision, false), cText("%.*f", precision, v))
                    << name << " " << precision;
                EXPECT_EQ(loc.asString(v, precision, true), cText("%#.*f", precision, v))
                    << name << " " << precision;
            }
            const double amount = std::fabs(v) * 1e6;
            if (amount > 0 && amount < 1e18) {
                // Appended piece by piece: GCC 12 at -O3 warns on "$" + text.
                const std::string number = cText("%.2f", amount * 0.01);
                std::string local("$");
                local.append(number);
                std::string international("(USD ");
                international.append(number).append(")");
                EXPECT_EQ(loc.moneyAsString(amount, QNLocale::symbolLocal), local);
                EXPECT_EQ(loc.moneyAsString(-amount, QNLocale::symbolInternational), international);
            }
        }
    }
}

// The C library rounds in the current rounding mode; the texts follow it.
TEST(DefaultFormat, RealNumbersFollowTheRoundingMode) {
    NumericLocale c("C");
    const int saved = std::fegetround();
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    EXPECT_EQ(loc.asString(0.125, 2, false), "0.13");
    EXPECT_EQ(loc.moneyAsString(1.25, QNLocale::symbolLocal), "$0.02");
    for (int mode : {FE_DOWNWARD, FE_TOWARDZERO, FE_UPWARD}) {
        std::fesetround(mode);
        for (double v : {0.125, -0.125, 2.0 / 3, -2.0 / 3, 1e-3})
            EXPECT_EQ(loc.asString(v, 2, false), cText("%.2f", v)) << mode << " " << v;
    }
    std::fesetround(saved);
}

}  // namespace
