// Several threads use one regular expression, one English locale and one
// locale snapshot at once; built with ThreadSanitizer by scripts/tsan.sh, any
// data race fails the run.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>
#include <xvkit/xvregexp.h>
#include <xvkit/xvregexset.h>

namespace {

// Calls `work(n)` on 4 threads at once, for n = 0 to 1199 between them, and
// returns how many calls gave a wrong result (returned false).
int wrongResultsOnThreads(const std::function<bool(int)>& work) {
    constexpr int kThreads = 4, kRounds = 300;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int r = 0; r < kRounds; ++r)
                wrong += work(r * kThreads + t) ? 0 : 1;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return wrong;
}

TEST(ConcurrencyTest, SharedExpressionSearches) {
    const XVRegExprLight digits("[0-9]+x?"), other("b*a+$");
    const XVString longText(std::string(5000, 'q') + "12345x");
    const XVString shortText("ab 77 cd");
    EXPECT_EQ(wrongResultsOnThreads([&](int) {
                  std::size_t len = 0, shortLen = 0, otherLen = 0;
                  // Alternating patterns replaces each thread's cached tables.
                  return digits.index(longText, &len, 0) == 5000 && len == 6 &&
                         digits.index(shortText, &shortLen, 0) == 3 && shortLen == 2 &&
                         other.index(longText, &otherLen, 0) == static_cast<std::size_t>(-1);
              }),
              0);
}

TEST(ConcurrencyTest, SharedPatternSetSearches) {
    // A literal, a pattern found through its literal run, and one searched
    // on its own with tables each thread keeps.
    const XVRegExprSet set({"needle", "q[0-9]+x", "[0-9][0-9]*y"}, XVRegExprSet::lightPattern,
                           {.lines = true});
    const std::string text = std::string(300, 'q') + "\n12345y needle q7x\n";
    EXPECT_EQ(wrongResultsOnThreads([&](int n) {
                  XVRegExprSet::Match m;
                  const std::size_t from = n % 2 == 0 ? 0 : 306;
                  return set.find(text.data(), text.size(), from, &m) &&
                         m.start == (from == 0 ? 301u : 308u) &&
                         m.pattern == (from == 0 ? 2u : 0u) &&
                         set.matches(text.data(), text.size(), 0);
              }),
              0);
}

TEST(ConcurrencyTest, SharedDefaultLocaleFormatsAndParses) {
    const QNLocaleDefault& locale = QNLocaleDefault::instance();
    const XVString expected = locale.asString(1234567L);
    EXPECT_EQ(wrongResultsOnThreads([&](int n) {
                  long value = 0;
                  tm date{};
                  return locale.asString(1234567L) == expected &&
                         locale.stringToNum(std::to_string(n), &value) && value == n &&
                         locale.stringToDate("March 1, 2000", &date) && date.tm_mon == 2;
              }),
              0);
}

TEST(ConcurrencyTest, SharedSnapshotFormatsAndParses) {
    // Captured once, before any thread starts: only building a snapshot
    // touches the C runtime's locale. en_US has grouping, markers, a
    // currency symbol and month names for the readers to search.
    setenv("LOCPATH", XVKIT_TEST_LOCPATH, 0);
    const QNLocaleSnapshot snapshot("en_US.UTF-8");
    ASSERT_EQ(snapshot.conventions().thousandsSep, ",") << "en_US.UTF-8 not found";
    const tm when{7, 45, 13, 1, 2, 100, 3, 60, 0, 0, nullptr};  // Wednesday 1 March 2000
    const QNZone& zone = QNZone::utc();
    const char* const format = "%c|%x|%X|%C|%A %d %B %Y %I:%M:%S %p|%a %b %j %U %W %w %y %Z";
    const XVString formatted = snapshot.asString(&when, format, zone);
    const XVString whole = snapshot.asString(-1234567L);
    const XVString real = snapshot.asString(-1234.5, 2, false);
    const XVString money = snapshot.moneyAsString(-123456.0, QNLocale::symbolLocal);
    EXPECT_EQ(
        wrongResultsOnThreads([&](int n) {
            long value = 0;
            double parsed = 0, amount = 0;
            tm date{}, time{};
            return snapshot.asString(&when, format, zone) == formatted &&
                   snapshot.asString(-1234567L) == whole &&
                   snapshot.asString(1234567UL) == "1,234,567" &&
                   snapshot.asString(-1234.5, 2, false) == real &&
                   snapshot.stringToNum(snapshot.asString(n * 1001L), &value) &&
                   value == n * 1001L && snapshot.stringToNum(real, &parsed) && parsed == -1234.5 &&
                   snapshot.moneyAsString(-123456.0, QNLocale::symbolLocal) == money &&
                   snapshot.stringToMoney(money, &amount, QNLocale::symbolLocal) &&
                   amount == -123456.0 &&
                   snapshot.stringToDate("Wednesday, March 1, 2000", &date) && date.tm_mon == 2 &&
                   date.tm_mday == 1 && snapshot.stringToTime("1:45:07 pm", &time) &&
                   time.tm_hour == 13 && time.tm_min == 45 && time.tm_sec == 7 &&
                   snapshot.monthIndex(" march ") == 3 && snapshot.weekdayIndex("Wednesday") == 3;
        }),
        0);
}

}  // namespace
