// Several threads use one regular expression, one English locale and one
// locale snapshot at once; built with ThreadSanitizer by scripts/tsan.sh, any
// data race fails the run.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>
#include <xvkit/xvregexp.h>

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 300;

TEST(ConcurrencyTest, SharedExpressionSearches) {
    const XVRegExprLight digits("[0-9]+x?");
    const XVRegExprLight other("b*a+$");
    XVString longText(std::string(5000, 'q'));
    longText += "12345x";
    const XVString shortText("ab 77 cd");
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int r = 0; r < kRounds; ++r) {
                std::size_t len = 0;
                if (digits.index(longText, &len, 0) != 5000 || len != 6)
                    ++wrong;
                if (digits.index(shortText, &len, 0) != 3 || len != 2)
                    ++wrong;
                // Alternating patterns replaces each thread's cached tables.
                if (other.index(longText, &len, 0) != static_cast<std::size_t>(-1))
                    ++wrong;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(ConcurrencyTest, SharedDefaultLocaleFormatsAndParses) {
    const QNLocaleDefault& locale = QNLocaleDefault::instance();
    const XVString expected = locale.asString(1234567L);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r) {
                if (locale.asString(1234567L) != expected)
                    ++wrong;
                long value = 0;
                const XVString text(std::to_string(r * kThreads + t));
                if (!locale.stringToNum(text, &value) || value != r * kThreads + t)
                    ++wrong;
                tm date{};
                if (!locale.stringToDate("March 1, 2000", &date) || date.tm_mon != 2)
                    ++wrong;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(ConcurrencyTest, SharedSnapshotFormatsAndParses) {
    // Captured once, before any thread starts: only building a snapshot
    // touches the C runtime's locale. en_US has grouping, markers, a
    // currency symbol and month names for the readers to search.
    setenv("LOCPATH", XVKIT_TEST_LOCPATH, 0);
    const QNLocaleSnapshot snapshot("en_US.UTF-8");
    ASSERT_EQ(snapshot.conventions().thousandsSep, ",") << "en_US.UTF-8 not found";
    tm when{};
    when.tm_year = 100;
    when.tm_mon = 2;
    when.tm_mday = 1;
    when.tm_wday = 3;
    when.tm_yday = 60;
    when.tm_hour = 13;
    when.tm_min = 45;
    when.tm_sec = 7;
    const QNZone& zone = QNZone::utc();
    const char* const format = "%c|%x|%X|%C|%A %d %B %Y %I:%M:%S %p|%a %b %j %U %W %w %y %Z";
    const XVString formatted = snapshot.asString(&when, format, zone);
    ASSERT_EQ(snapshot.asString(&when, "%A %d %B %Y %I:%M %p", zone),
              "Wednesday 01 March 2000 01:45 PM");
    const XVString whole = snapshot.asString(-1234567L);
    const XVString real = snapshot.asString(-1234.5, 2, false);
    XVString money[3];
    for (int symbol = 0; symbol < 3; ++symbol)
        money[symbol] =
            snapshot.moneyAsString(-123456.0, static_cast<QNLocale::CurrSymbol>(symbol));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r) {
                if (snapshot.asString(&when, format, zone) != formatted)
                    ++wrong;
                if (snapshot.asString(-1234567L) != whole ||
                    snapshot.asString(1234567UL) != "1,234,567" ||
                    snapshot.asString(-1234.5, 2, false) != real)
                    ++wrong;
                for (int symbol = 0; symbol < 3; ++symbol) {
                    const auto s = static_cast<QNLocale::CurrSymbol>(symbol);
                    if (snapshot.moneyAsString(-123456.0, s) != money[symbol])
                        ++wrong;
                }
                long value = 0;
                const long number = (r * kThreads + t) * 1001L;
                if (!snapshot.stringToNum(snapshot.asString(number), &value) || value != number)
                    ++wrong;
                double parsed = 0;
                if (!snapshot.stringToNum(real, &parsed) || parsed != -1234.5)
                    ++wrong;
                if (!snapshot.stringToMoney(money[1], &parsed, QNLocale::symbolLocal) ||
                    parsed != -123456.0)
                    ++wrong;
                tm date{};
                if (!snapshot.stringToDate("Wednesday, March 1, 2000", &date) || date.tm_mon != 2 ||
                    date.tm_mday != 1)
                    ++wrong;
                tm time{};
                if (!snapshot.stringToTime("1:45:07 pm", &time) || time.tm_hour != 13 ||
                    time.tm_min != 45 || time.tm_sec != 7)
                    ++wrong;
                if (snapshot.monthIndex(" march ") != 3 || snapshot.weekdayIndex("Wednesday") != 3)
                    ++wrong;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
