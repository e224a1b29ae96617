// Reading operations of the built-in English locale.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const QNLocaleDefault& loc = QNLocaleDefault::instance();

constexpr int kSentinel = 0x5A5A5A5A;

tm sentinelTm() {
    tm t;
    std::memset(&t, 0x5A, sizeof t);
    return t;
}

// The fields other than the three a reader may set must keep the sentinel.
bool othersUntouched(const tm& t, bool date) {
    const int untouched[] = {date ? t.tm_hour : t.tm_year,
                             date ? t.tm_min : t.tm_mon,
                             date ? t.tm_sec : t.tm_mday,
                             t.tm_wday,
                             t.tm_yday,
                             t.tm_isdst};
    for (int v : untouched) {
        if (v != kSentinel)
            return false;
    }
    return true;
}

TEST(DefaultParse, WholeNumbers) {
    const struct {
        const char* text;
        long value;
    } good[] = {{"  - 42  ", -42},
                {"+7", 7},
                {"0", 0},
                {"\t12\n", 12},
                {"2147483647", 2147483647},
                {"2147483648", 2147483647},  // clamped like a 32-bit strtol
                {"99999999999999999999", 2147483647},
                {"-99999999999999999999", -2147483647}};
    for (const auto& c : good) {
        long n = 1;
        EXPECT_TRUE(loc.stringToNum(XVString(c.text), &n)) << c.text;
        EXPECT_EQ(n, c.value) << c.text;
    }
    for (const char* text : {"", "   ", "abc", "12abc", "--5", "1 2", "+ -5", "-", "1.5", "0x10"}) {
        long n = kSentinel;
        EXPECT_FALSE(loc.stringToNum(XVString(text), &n)) << text;
        EXPECT_EQ(n, kSentinel) << text;
    }
    long n = kSentinel;
    EXPECT_FALSE(loc.stringToNum(XVString("12\0"
                                          "3",
                                          4),
                                 &n));  // an embedded NUL is left over
    EXPECT_EQ(n, kSentinel);
}

TEST(DefaultParse, RealNumbers) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    const struct {
        const char* text;
        double value;
    } good[] = {
        {".5", 0.5}, {"-1.5e3", -1500}, {" + 2. ", 2}, {"- .25", -0.25}, {"1e400", HUGE_VAL}};
    for (const auto& c : good) {
        double d = 1;
        EXPECT_TRUE(loc.stringToNum(XVString(c.text), &d)) << c.text;
        EXPECT_EQ(d, c.value) << c.text;
    }
    for (const char* text : {".", "e5", "", "1.5e", "inf", "nan", "1,5", "2 3"}) {
        double d = kSentinel;
        EXPECT_FALSE(loc.stringToNum(XVString(text), &d)) << text;
        EXPECT_EQ(d, kSentinel) << text;
    }
    // strtod reads with the C runtime's current decimal point.
    ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        << "de_DE.UTF-8 missing: build xvkit_test_locales, run with LOCPATH";
    double d = kSentinel;
    EXPECT_TRUE(loc.stringToNum(XVString(" -1,5 "), &d));
    EXPECT_EQ(d, -1.5);
    d = kSentinel;
    EXPECT_FALSE(loc.stringToNum(XVString("1.5"), &d));
    EXPECT_EQ(d, kSentinel);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

// "year-month-day" of the fields a date reader sets.
std::string ymd(const tm& t) {
    return std::to_string(t.tm_year + 1900LL) + "-" + std::to_string(t.tm_mon + 1LL) + "-" +
           std::to_string(t.tm_mday);
}

std::string hms(const tm& t) {
    return std::to_string(t.tm_hour) + ":" + std::to_string(t.tm_min) + ":" +
           std::to_string(t.tm_sec);
}

TEST(DefaultParse, Dates) {
    const char* const good[][2] = {{"3/5/97", "1997-3-5"},
                                   {"12-25-2005", "2005-12-25"},
                                   {"3/5/5", "1905-3-5"},
                                   {"3/5/0", "1900-3-5"},
                                   {"3/5/100", "100-3-5"},
                                   {"March 5, 1997", "1997-3-5"},
                                   {"5 march 1997", "1997-3-5"},
                                   {"5-MAR-97", "1997-3-5"},
                                   {"Tuesday, March 4, 1997", "1997-3-4"},
                                   {"2/29/96", "1996-2-29"},
                                   {"2/29/2000", "2000-2-29"},
                                   {"3/5/97 !", "1997-3-5"},
                                   {"  on 07.04.1997.", "1997-7-4"},
                                   // December is searched first, full name before short, so the
                                   // later month wins wherever the names stand.
                                   {"Mar/May 5 1997", "1997-5-5"},
                                   {"January or Dec 1 1997", "1997-12-1"},
                                   {"Junes 2 97", "1997-6-2"},
                                   // Names count inside other words, at either end of the text.
                                   {"Decade 1, 97", "1997-12-1"},
                                   {"5 97 dEC", "1997-12-5"},
                                   {"mAy5/97", "1997-5-5"},
                                   {"1/1/2147485547", "2147485547-1-1"},
                                   {"2/29/1600", "1600-2-29"}};
    for (const auto& c : good) {
        tm t = sentinelTm();
        ASSERT_TRUE(loc.stringToDate(XVString(c[0]), &t)) << c[0];
        EXPECT_EQ(ymd(t), c[1]) << c[0];
        EXPECT_TRUE(othersUntouched(t, true)) << c[0];
    }
    const std::string untouched = ymd(sentinelTm());
    for (const char* text :
         {"2/29/97", "2/29/1900", "13/1/97", "0/1/97", "4/31/97", "3/0/97", "3/5", "3/5/97 10:00",
          "", "March", "March 5", "no digits", "3/5/99999999999999999999", "-3/5/97 1", "2/29/0",
          "1/1/2147485548", "Ma 5 97", "Dec 5 97 Ja 1", "\xC4\xC5\xC3 5 97"}) {
        tm t = sentinelTm();
        EXPECT_FALSE(loc.stringToDate(XVString(text), &t)) << text;
        EXPECT_TRUE(othersUntouched(t, true) && ymd(t) == untouched) << text;
    }
}

// Whichever names a text holds, the latest month in the year wins: every
// pair of months, full or short, in any case and order.
TEST(DefaultParse, DateMonthNamesAreSearchedFromDecember) {
    const char* const full[] = {"January",   "February", "March",    "April",
                                "May",       "June",     "July",     "August",
                                "September", "October",  "November", "December"};
    const auto variant = [](std::string name, int how) {
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (how == 1 || (how == 2 && i % 2 == 0))
                name[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
        }
        return how == 3 ? name.substr(0, 3) : name;
    };
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const int how = (a + 5 * b) % 4;
            const std::string text =
                variant(full[a], how) + "," + variant(full[b], 3 - how) + " 7 1997";
            tm t = sentinelTm();
            ASSERT_TRUE(loc.stringToDate(XVString(text), &t)) << text;
            EXPECT_EQ(t.tm_mon, std::max(a, b)) << text;
            EXPECT_EQ(t.tm_mday, 7) << text;
        }
    }
}

TEST(DefaultParse, Times) {
    const char* const good[][2] = {{"14:07:09", "14:7:9"},
                                   {"9", "9:0:0"},
                                   {"9.30", "9:30:0"},
                                   {"10 30", "10:30:0"},
                                   {"12 am", "0:0:0"},
                                   {"12:30 PM", "12:30:0"},
                                   {"1:15 pm", "13:15:0"},
                                   {"11:59:59pM", "23:59:59"},
                                   {"10:30 garbage", "10:30:0"},
                                   {"  7:05:03 AMX", "7:5:3"},
                                   {"12 pm", "12:0:0"},
                                   {"12:00", "12:0:0"},
                                   {"0:00", "0:0:0"},
                                   {"23:59:59", "23:59:59"},
                                   {"13 a.m. pm", "13:0:0"},
                                   {"9:5", "9:5:0"}};
    for (const auto& c : good) {
        tm t = sentinelTm();
        ASSERT_TRUE(loc.stringToTime(XVString(c[0]), &t)) << c[0];
        EXPECT_EQ(hms(t), c[1]) << c[0];
        EXPECT_TRUE(othersUntouched(t, false)) << c[0];
    }
    const std::string untouched = hms(sentinelTm());
    for (const char* text : {"13:00 pm", "0 am", "24:00", "10:60", "10:30:60", "-1:00", "10:-5", "",
                             "pm", "x10", "99999999999999999999", "0:30 AM"}) {
        tm t = sentinelTm();
        EXPECT_FALSE(loc.stringToTime(XVString(text), &t)) << text;
        EXPECT_TRUE(othersUntouched(t, false) && hms(t) == untouched) << text;
    }
}

TEST(DefaultParse, MoneyInEverySignForm) {
    const QNLocale::CurrSymbol local = QNLocale::symbolLocal;
    const QNLocale::CurrSymbol intl = QNLocale::symbolInternational;
    const struct {
        const char* text;
        QNLocale::CurrSymbol symbol;
        double value;
    } good[] = {{"$123.45", local, 12345}, {"($1.00)", local, -100},
                {"-$5", local, -500},      {"$-5", local, -500},
                {"$5-", local, -500},      {"5 -", local, -500},
                {"(5.00", local, -500},    {"( $ 7 )", local, -700},
                {"123", local, 12300},     {".07", local, 7},
                {"USD 12.00", intl, 1200}, {"USD(3.10)", intl, -310},
                {"-12", intl, -1200},      {"12", QNLocale::CurrSymbol(9), 1200},
                {"  $0.00  ", local, 0}};
    for (const auto& c : good) {
        double d = 1;
        EXPECT_TRUE(loc.stringToMoney(XVString(c.text), &d, c.symbol)) << c.text;
        EXPECT_EQ(d, c.value) << c.text;
    }
    const struct {
        const char* text;
        QNLocale::CurrSymbol symbol;
    } bad[] = {{"1.5", local},     {"$", local},
               {"", local},        {"$5--", local},
               {"--5", local},     {"usd 12.00", intl},
               {"$5", intl},       {"USD 5", local},
               {"5-", intl},       {"12.00", QNLocale::symbolNone},
               {"(5))", local},    {"5.123", local},
               {"1,000.00", local}};
    for (const auto& c : bad) {
        double d = kSentinel;
        EXPECT_FALSE(loc.stringToMoney(XVString(c.text), &d, c.symbol)) << c.text;
        EXPECT_EQ(d, kSentinel) << c.text;
    }
}

TEST(DefaultParse, MoneyTextsReadBack) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    for (double amount : {0.0, 1.0, -1.0, 99.0, -12345.0, 100000000000.0, -999999999999999.0}) {
        double d = 0.5;
        const XVString text = loc.moneyAsString(amount, QNLocale::symbolLocal);
        EXPECT_TRUE(loc.stringToMoney(text, &d, QNLocale::symbolLocal)) << text;
        EXPECT_EQ(d, amount) << text;
        // "USD" is only recognised first, so "(USD 1.00)" does not read back.
        const XVString international = loc.moneyAsString(amount, QNLocale::symbolInternational);
        EXPECT_EQ(loc.stringToMoney(international, &d, QNLocale::symbolInternational), amount >= 0)
            << international;
        EXPECT_EQ(d, amount) << international;
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(DefaultParse, EveryNameInAnyCase) {
    const char* const months[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
    const char* const days[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                "Friday", "Saturday", "Sunday"};
    const auto cased = [](std::string name, bool upper) {
        for (char& c : name)
            c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                        : std::tolower(static_cast<unsigned char>(c)));
        return name;
    };
    for (int i = 0; i < 12; ++i) {
        for (const std::string& name : {std::string(months[i]), std::string(months[i], 3)}) {
            EXPECT_EQ(loc.monthIndex(XVString(name)), i + 1) << name;
            EXPECT_EQ(loc.monthIndex(XVString(cased(name, true))), i + 1) << name;
            EXPECT_EQ(loc.monthIndex(XVString(cased(name, false))), i + 1) << name;
            EXPECT_EQ(loc.monthIndex(XVString(name + "x")), 0) << name;
            EXPECT_EQ(loc.weekdayIndex(XVString(name)), 0) << name;
        }
    }
    for (int i = 0; i < 7; ++i) {
        for (const std::string& name : {std::string(days[i]), std::string(days[i], 3)}) {
            EXPECT_EQ(loc.weekdayIndex(XVString(name)), i + 1) << name;
            EXPECT_EQ(loc.weekdayIndex(XVString(cased(name, true))), i + 1) << name;
            EXPECT_EQ(loc.weekdayIndex(XVString(cased(name, false))), i + 1) << name;
            EXPECT_EQ(loc.weekdayIndex(XVString(name.substr(0, name.size() - 1))), 0) << name;
            EXPECT_EQ(loc.monthIndex(XVString(name)), 0) << name;
        }
    }
}

TEST(DefaultParse, MonthAndWeekdayNames) {
    EXPECT_EQ(loc.monthIndex("sep"), 9);
    EXPECT_EQ(loc.monthIndex("SEPTEMBER"), 9);
    EXPECT_EQ(loc.monthIndex("May"), 5);
    EXPECT_EQ(loc.monthIndex("January"), 1);
    EXPECT_EQ(loc.monthIndex("dec"), 12);
    EXPECT_EQ(loc.weekdayIndex("sun"), 7);
    EXPECT_EQ(loc.weekdayIndex("Monday"), 1);
    EXPECT_EQ(loc.weekdayIndex("SATURDAY"), 6);
    for (const char* text : {" Sep", "Sept", "Sep ", "", "Ja", "Monday1"}) {
        EXPECT_EQ(loc.monthIndex(text) + loc.weekdayIndex(text), 0) << text;
    }
    EXPECT_EQ(loc.monthIndex(XVString("Sep\0", 4)), 0);
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
        tm t = sentinelTm();
        if (loc.stringToDate(text, &t)) {
            EXPECT_TRUE(QNDate(&t).isValid() && othersUntouched(t, true)) << text;
        } else {
            EXPECT_EQ(ymd(t), ymd(sentinelTm())) << text;
        }
        t = sentinelTm();
        if (loc.stringToTime(text, &t)) {
            EXPECT_TRUE(t.tm_hour >= 0 && t.tm_hour < 24 && t.tm_min >= 0 && t.tm_min < 60 &&
                        t.tm_sec >= 0 && t.tm_sec < 60 && othersUntouched(t, false))
                << text;
        } else {
            EXPECT_EQ(hms(t), hms(sentinelTm())) << text;
        }
        double money = kSentinel;
        EXPECT_TRUE(loc.stringToMoney(text, &money, QNLocale::symbolLocal) || money == kSentinel);
        long n = kSentinel;
        EXPECT_TRUE(loc.stringToNum(text, &n) || n == kSentinel);
        double d = kSentinel;
        EXPECT_TRUE(loc.stringToNum(text, &d) || d == kSentinel);
    }
}
