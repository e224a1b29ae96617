// QNLocaleSnapshot against real glibc locales (compiled by cmake/locales.cmake
// and found through LOCPATH), with the C runtime itself as the peer.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <string>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

namespace {

const char* const kLocales[] = {"C",           "en_US.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8",
                                "en_IN.UTF-8", "ja_JP.UTF-8", "sv_SE.UTF-8", "xv_TEST.UTF-8"};

// Switches the runtime to `name` for a peer check, failing loudly when the
// compiled test locales are missing.
class RuntimeLocale {
  public:
    explicit RuntimeLocale(const char* name) : saved_(setlocale(LC_ALL, nullptr)) {
        ok_ = setlocale(LC_ALL, name) != nullptr;
    }
    ~RuntimeLocale() { setlocale(LC_ALL, saved_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_;
};

tm localTm(int year, int mon, int mday, int hour, int min, int sec) {
    tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon;
    t.tm_mday = mday;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    t.tm_isdst = -1;
    mktime(&t);
    return t;
}

std::string runtimeText(const char* format, const tm& t) {
    char buffer[512];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, format, &t));
}

TEST(SnapshotPeer, NumbersAndDirectivesAgreeWithTheRuntime) {
    tzset();
    const QNZoneSimple zone(timezone, XVString(tzname[0]));
    const tm samples[] = {localTm(1990, 10, 30, 22, 54, 56), localTm(1997, 2, 5, 0, 7, 9),
                          localTm(1969, 0, 1, 12, 0, 0), localTm(1999, 11, 31, 9, 30, 1),
                          localTm(1904, 1, 29, 13, 5, 0)};
    for (const char* name : kLocales) {
        SCOPED_TRACE(name);
        const QNLocaleSnapshot snapshot(name);
        RuntimeLocale runtime(name);
        ASSERT_TRUE(runtime.ok()) << "locale " << name
                                  << " missing: build xvkit_test_locales, run with LOCPATH";
        for (long v : {0L, 7L, 999L, 1000L, 1234567L, -1234567890L, 2147483647L}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%'ld", v);
            EXPECT_EQ(snapshot.asString(v), expected);
        }
        for (const tm& t : samples) {
            if (t.tm_isdst != 0)
                continue;  // the zone above has no daylight names
            for (char d : std::string("aAbBcdHIjmMpSUwWxXyYZ")) {
                const char format[] = {'%', d, '\0'};
                std::string expected = runtimeText(format, t);
                // Short month names are stored without trailing blanks.
                if (d == 'b')
                    expected.erase(expected.find_last_not_of(' ') + 1);
                EXPECT_EQ(snapshot.asString(&t, d, zone), expected) << "%" << d;
            }
            // 'C' replays the captured probe layout: the runtime's century of
            // 1990, whatever the year formatted.
            EXPECT_EQ(snapshot.asString(&t, 'C', zone), "19");
        }
    }
}

TEST(SnapshotCapture, RestoresTheRuntimeLocaleAndReadsItsConventions) {
    RuntimeLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok());
    const QNLocaleSnapshot c("C");
    EXPECT_STREQ(setlocale(LC_ALL, nullptr), "de_DE.UTF-8");
    const QNLocaleSnapshot current;  // captures de_DE itself
    EXPECT_EQ(current.conventions().decimalPoint, ",");
    EXPECT_EQ(current.conventions().dateOrder, 0);
    // C gives CHAR_MAX for every money number.
    const auto& k = c.conventions();
    EXPECT_EQ(k.fracDigits, 0);
    EXPECT_EQ(k.nSignPosn, 0);
    EXPECT_EQ(k.pSignPosn, 1);
    EXPECT_EQ(std::string(k.moneyPosPattern, 4), "-$ m");
    EXPECT_EQ(std::string(k.moneyNegPattern, 4), "($ m");
    EXPECT_EQ(c.moneyAsString(1234, QNLocale::symbolLocal), " 1234");
    EXPECT_EQ(c.moneyAsString(-1234, QNLocale::symbolLocal), "( 1234)");
    EXPECT_EQ(k.textForx, "//");
    EXPECT_EQ(k.dateOrder, 1);
}

TEST(SnapshotCapture, DecomposesLayoutsAndDetectsBlankFill) {
    const QNLocaleSnapshot sweden("sv_SE.UTF-8");
    EXPECT_EQ(sweden.conventions().textForx, "--");
    EXPECT_EQ(sweden.conventions().dateOrder, 3);
    const QNTimeFmtList* l = sweden.conventions().listForx;
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->component, 0);
    EXPECT_EQ(l->position, 0);
    ASSERT_NE(l->next, nullptr);
    EXPECT_EQ(l->next->component, 7);
    EXPECT_EQ(l->next->position, 1);

    const QNLocaleSnapshot own("xv_TEST.UTF-8");
    const QNZoneSimple zone(0, "UTC");
    tm t = localTm(1997, 2, 2, 1, 2, 3);
    EXPECT_EQ(own.asString(&t, 'x', zone), " 3/ 2/1997");
    EXPECT_EQ(own.conventions().monthAbbs[4], "May");
    EXPECT_GT(QNLocaleSnapshot("ja_JP.UTF-8").conventions().monthNamesWithDigits, 0);
}

TEST(SnapshotFormat, UsesCapturedSeparatorsWhateverTheRuntime) {
    const QNLocaleSnapshot german("de_DE.UTF-8");
    RuntimeLocale c("C");
    EXPECT_EQ(german.asString(1234.5, 2, false), "1.234,50");
    EXPECT_EQ(german.asString(1234.0, 0, true), "1.234,");
    EXPECT_EQ(german.moneyAsString(-123456, QNLocale::symbolInternational), "EUR -1.234,56");
    const QNLocaleSnapshot india("en_IN.UTF-8");
    EXPECT_EQ(india.asString(1234567UL), "12,34,567");
    EXPECT_EQ(india.asString(static_cast<long>(-2147483647 - 1)), "-2,14,74,83,648");
    const QNLocaleSnapshot own("xv_TEST.UTF-8");
    EXPECT_EQ(own.asString(1234.5, 1, false), "1\u202f234\u066b5");
    // Huge magnitudes, precisions and non-finite values stay within bounds.
    // 309 digits in groups of 3 then 2: 153 three-byte separators, a
    // two-byte point, 500 fraction digits.
    EXPECT_EQ(own.asString(1e308, 500, false).size(), 309u + 153 * 3 + 2 + 500);
    EXPECT_EQ(german.asString(std::numeric_limits<double>::infinity(), 2, false), ",");
    EXPECT_FALSE(german.moneyAsString(std::nan(""), QNLocale::symbolLocal).empty());
}

TEST(SnapshotParse, ReadsWhatItWrites) {
    const QNLocaleSnapshot us("en_US.UTF-8");
    long n = 0;
    EXPECT_TRUE(us.stringToNum(" 1,234,567 ", &n));
    EXPECT_EQ(n, 1234567);
    EXPECT_FALSE(us.stringToNum("12,34,567", &n));
    EXPECT_FALSE(us.stringToNum("2147483648", &n));
    EXPECT_FALSE(us.stringToNum("-0", &n));
    double x = 0;
    EXPECT_TRUE(us.stringToNum("1,234.5", &x));
    EXPECT_EQ(x, 1234.5);
    EXPECT_FALSE(us.stringToNum("1e", &x));
    double money = 0;
    EXPECT_TRUE(us.stringToMoney("($1,234.56)", &money, QNLocale::symbolLocal));
    EXPECT_EQ(money, -123456);
    EXPECT_FALSE(us.stringToMoney("$12.3", &money, QNLocale::symbolLocal));
    tm t{};
    EXPECT_TRUE(us.stringToDate("Nov 30, 1990", &t));
    EXPECT_EQ(t.tm_mon, 10);
    EXPECT_EQ(t.tm_mday, 30);
    EXPECT_FALSE(us.stringToDate("2/29/1900", &t));
    EXPECT_TRUE(QNLocaleSnapshot("sv_SE.UTF-8").stringToDate("19901130", &t));
    EXPECT_EQ(t.tm_year, 90);
    EXPECT_TRUE(us.stringToTime("12:05 AM", &t));
    EXPECT_EQ(t.tm_hour, 0);
    EXPECT_FALSE(us.stringToTime("15:00 PM", &t));
    EXPECT_EQ(us.monthIndex(" Nov "), 11);
    EXPECT_EQ(us.weekdayIndex("sun"), 7);
    EXPECT_EQ(us.weekdayIndex(" Sun"), 0);
}

TEST(SnapshotParse, FollowsTheCapturedOrderAndMoneyPieces) {
    const QNLocaleSnapshot us("en_US.UTF-8");
    long n = 0;
    EXPECT_FALSE(us.stringToNum("1,234,", &n));
    EXPECT_TRUE(us.stringToNum("- 42", &n));
    EXPECT_EQ(n, -42);
    double x = 0;
    EXPECT_TRUE(us.stringToNum("5.", &x));
    EXPECT_EQ(x, 5.0);
    EXPECT_FALSE(us.stringToNum(".", &x));
    EXPECT_FALSE(us.stringToNum(XVString(std::string(256, '1')), &x));
    double m = 0;
    EXPECT_TRUE(us.stringToMoney("1,234.56 $", &m, QNLocale::symbolLocal));
    EXPECT_EQ(m, 123456);
    EXPECT_TRUE(us.stringToMoney("-$1,234.56", &m, QNLocale::symbolLocal));
    EXPECT_EQ(m, -123456);
    EXPECT_TRUE(us.stringToMoney(".50", &m, QNLocale::symbolLocal));
    EXPECT_EQ(m, 50);
    EXPECT_FALSE(us.stringToMoney("($12.00", &m, QNLocale::symbolLocal));
    EXPECT_TRUE(us.stringToMoney("USD -1,234.56", &m, QNLocale::symbolInternational));
    EXPECT_EQ(m, -123456);
    EXPECT_FALSE(us.stringToMoney("-USD 1,234.56", &m, QNLocale::symbolInternational));
    EXPECT_FALSE(us.stringToMoney("12", &m, QNLocale::symbolNone));
    EXPECT_EQ(us.moneyAsString(123456, QNLocale::symbolLocal), "$1,234.56");
    EXPECT_EQ(us.moneyAsString(-123456, QNLocale::symbolLocal), "-$1,234.56");

    tm t{};
    EXPECT_TRUE(us.stringToDate("11/30/90", &t));
    EXPECT_EQ(t.tm_year, 90);
    EXPECT_FALSE(us.stringToDate("11/305/90", &t));
    EXPECT_FALSE(us.stringToDate("11/30/90 5", &t));
    const QNLocaleSnapshot german("de_DE.UTF-8");
    EXPECT_TRUE(german.stringToDate("1.2.1996", &t));
    EXPECT_EQ(t.tm_mon, 1);
    EXPECT_EQ(t.tm_mday, 1);
    EXPECT_TRUE(us.stringToTime("1030", &t));
    EXPECT_EQ(t.tm_hour, 10);
    EXPECT_EQ(t.tm_min, 30);
    EXPECT_TRUE(us.stringToTime("3:15 pm", &t));
    EXPECT_EQ(t.tm_hour, 15);
    EXPECT_FALSE(us.stringToTime("10:60", &t));
    EXPECT_EQ(us.monthIndex("NOVEMBER"), 11);
}

}  // namespace
