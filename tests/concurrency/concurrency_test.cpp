// Several threads use one regular expression and one English locale at once;
// built with ThreadSanitizer by scripts/tsan.sh, any data race fails the run.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <xvkit/qnlocale.h>
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

}  // namespace
