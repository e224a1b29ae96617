// Formatting of the built-in English locale and the shared format expansion.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

const QNLocaleDefault& loc = QNLocaleDefault::instance();
const QNZoneSimple est(18000, "EST");

// Pins LC_NUMERIC for one test and restores the previous setting.
class NumericLocale {
  public:
    explicit NumericLocale(const char* name) : saved_(std::setlocale(LC_NUMERIC, nullptr)) {
        std::setlocale(LC_NUMERIC, name);
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }

  private:
    std::string saved_;
};

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

TEST(DefaultFormat, LongZoneNamesAreKeptWhole) {
    const std::string name(10000, 'z');
    const QNZoneSimple zone(0, name.c_str());
    EXPECT_EQ(dir(kSample, 'Z', zone), name);
    EXPECT_EQ(dir(kSample, 'C', zone), "Wed Mar  5 14:07:09 " + name + " 1997");
    EXPECT_EQ(loc.asString(&kSample, "%Z%Z", zone).size(), 20000u);
}

TEST(DefaultFormat, FormatExpansion) {
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
    EXPECT_EQ(loc.asString(LONG_MIN), std::to_string(LONG_MIN));
    EXPECT_EQ(loc.asString(ULONG_MAX), std::to_string(ULONG_MAX));
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
    EXPECT_EQ(loc.moneyAsString(-INFINITY, QNLocale::symbolLocal), "($inf)");
    EXPECT_EQ(loc.moneyAsString(NAN, QNLocale::symbolLocal), "$nan");
}

}  // namespace
