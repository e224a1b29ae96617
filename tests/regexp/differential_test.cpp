// The library's matcher against the plain backtracking interpreter, on random
// patterns and texts over a small alphabet, and its time and stack use on long
// texts that make backtracking explode.

#include <gtest/gtest.h>

#include <pthread.h>

#include <chrono>
#include <random>
#include <string>

#include <xvkit/xvregexp.h>

#include "reference_matcher.h"

namespace {

// Pattern pieces chosen so that random combinations meet each other often.
const char* const kItems[] = {"a",        "b",   "c",   ".",     "[ab]",  "[^a]",  "[a-c]",
                              "[^\\n]",   "\\0", "\\n", "\\x61", "\\142", "[b-a]", "\\.",
                              "[\\0b]",   "[^]", "^",   "$",     "\xe9",  "\\xff", "[\\x80-\\xff]",
                              "[^\\xe9a]"};
const char* const kClosures[] = {"", "", "", "*", "+", "?"};
// Letters, a newline, a NUL, a dot and two bytes above 127.
const char kTextAlphabet[] = {'a', 'b', 'c', '\n', '\0', '.', '\xe9', '\xff'};

// A random pattern of up to `maxItems` items, with the count of its closures.
std::string randomPattern(std::mt19937& rng, int maxItems, int* closures) {
    std::string pattern;
    *closures = 0;
    if (rng() % 4 == 0)
        pattern += '^';
    const int items = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxItems));
    for (int k = 0; k < items; ++k) {
        pattern += kItems[rng() % std::size(kItems)];
        const char* closure = kClosures[rng() % std::size(kClosures)];
        pattern += closure;
        *closures += *closure != '\0';
    }
    if (rng() % 4 == 0)
        pattern += '$';
    return pattern;
}

std::string randomText(std::mt19937& rng, std::size_t minLength, std::size_t maxLength) {
    std::string text(minLength + rng() % (maxLength - minLength + 1), 'a');
    for (char& c : text)
        c = kTextAlphabet[rng() % std::size(kTextAlphabet)];
    return text;
}

// One search with both matchers; reports a difference and returns false.
bool agrees(const std::string& pattern, const unsigned short* code, const XVRegExprLight& re,
            const XVString& text, std::size_t from, bool* matched) {
    std::size_t expectedLen = 99;
    std::size_t actualLen = 99;
    const std::size_t expected = xvkit::reference::referenceIndex(code, text, &expectedLen, from);
    const std::size_t actual = re.index(text, &actualLen, from);
    *matched = expected != xvkit::reference::kNoMatch;
    if (actual == expected && actualLen == expectedLen)
        return true;
    ADD_FAILURE() << "pattern «" << pattern << "» text «" << text << "» from " << from << ": got "
                  << static_cast<long long>(actual) << "/" << actualLen << ", expected "
                  << static_cast<long long>(expected) << "/" << expectedLen;
    return false;
}

TEST(DifferentialTest, RandomPatternsAndTexts) {
    const struct {
        unsigned seed;
        int rounds;             // random patterns
        int maxItems;           // items per pattern
        int maxClosures;        // patterns with more are skipped (the oracle backtracks)
        int searches;           // texts searched with each pattern
        std::size_t minLength;  // text lengths
        std::size_t maxLength;
        int minCompared;
    } draws[] = {
        {20261206, 20000, 6, 99, 4, 0, 12, 70000},
        // Long enough for the table-driven search.
        {7, 5000, 4, 99, 4, 32, 70, 17000},
        // Many searches with one pattern reuse its tables, which grow from
        // search to search and change how the search skips ahead.
        {2027, 600, 5, 2, 24, 32, 400, 8000},
    };
    for (const auto& draw : draws) {
        std::mt19937 rng(draw.seed);
        int compared = 0;
        int matched = 0;
        for (int round = 0; round < draw.rounds; ++round) {
            int closures = 0;
            const std::string pattern = randomPattern(rng, draw.maxItems, &closures);
            unsigned short code[256];
            const int status = XREMakePattern(pattern.c_str(), code, 256);
            XVRegExprLight re(pattern.c_str());
            ASSERT_EQ(static_cast<int>(re.status()), status) << pattern;
            if (status != 0 || closures > draw.maxClosures)
                continue;
            for (int t = 0; t < draw.searches; ++t) {
                const XVString text(randomText(rng, draw.minLength, draw.maxLength));
                const std::size_t from = rng() % 4 == 0 ? rng() % (text.size() + 2) : 0;
                bool hit = false;
                ASSERT_TRUE(agrees(pattern, code, re, text, from, &hit));
                ++compared;
                matched += hit;
            }
        }
        // The generator must exercise both outcomes substantially.
        EXPECT_GT(compared, draw.minCompared) << draw.seed;
        EXPECT_GT(matched, compared / 10) << draw.seed;
        EXPECT_LT(matched, compared * 9 / 10) << draw.seed;
    }
}

// Patterns whose table-driven search needs more states than it keeps.
TEST(DifferentialTest, ManyStatePatterns) {
    std::mt19937 rng(11);
    for (const char* pattern :
         {"[ab]*a[ab][ab][ab][ab][ab][ab]c?", "a?b?a?b?a?b?a?b?a?b?a?b?c", "[ab]*b.....a$"}) {
        unsigned short code[256];
        ASSERT_EQ(XREMakePattern(pattern, code, 256), 0) << pattern;
        const XVRegExprLight re(pattern);
        for (int t = 0; t < 50; ++t) {
            std::string text(200, 'a');
            for (char& c : text)
                c = "abbc"[rng() % 4];
            bool hit = false;
            ASSERT_TRUE(agrees(pattern, code, re, text, 0, &hit));
        }
    }
}

// Runs a search on a thread whose stack is far smaller than the text: the
// matcher's stack use may depend on the pattern, never on the text.
struct SmallStackSearch {
    const std::string& pattern;
    const XVString& text;
    std::size_t at = 0;
    std::size_t len = 0;
    double seconds = 0;

    static void* run(void* self) {
        auto* job = static_cast<SmallStackSearch*>(self);
        const XVRegExprLight re(job->pattern.c_str());
        const auto begin = std::chrono::steady_clock::now();
        job->at = re.index(job->text, &job->len, 0);
        job->seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        return nullptr;
    }
};

TEST(DifferentialTest, LongTextsTakeLinearTimeAndBoundedStack) {
    const XVString as(std::string(100000, 'a'));
    const XVString asThenB(as + "b");
    const XVString thirty(std::string(30, 'a'));
    std::string optional;
    for (int k = 0; k < 30; ++k)
        optional += "a?";
    std::mt19937 rng(5);
    std::string raw(1 << 20, 'a');
    for (char& c : raw)
        c = "ab"[rng() % 2];
    const XVString abs(raw + "aaaaaaaaxc");
    const std::size_t n = abs.size();
    constexpr std::size_t kNone = xvkit::reference::kNoMatch;
    const struct {
        std::string pattern;
        const XVString& text;
        std::size_t at;
        std::size_t len;
        bool timed;  // makes plain backtracking explode
    } cases[] = {
        {"a*a*a*a*a*a*a*a*b", as, kNone, 0, true},
        {"^.*.*.*.*.*.*b", as, kNone, 0, true},
        {"a*a*a*a*a*a*a*a*b", asThenB, 0, asThenB.size(), true},
        {optional + std::string(30, 'a'), thirty, 0, 30, true},
        {"[ab]*x", abs, 0, n - 1, false},
        {"[^c]*c", abs, 0, n, false},
        {"a*[ab]*b*x$", abs, kNone, 0, false},  // the `c` after the `x` stops every start
        // Needs more table states than are kept, so the lock-step search runs.
        {"[ab]*a[ab][ab][ab][ab][ab][ab][ab]x", abs, 0, n - 1, false},
    };
    pthread_attr_t attr;
    ASSERT_EQ(pthread_attr_init(&attr), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, 256 * 1024), 0);
    for (const auto& c : cases) {
        SmallStackSearch job{c.pattern, c.text};
        pthread_t thread;
        ASSERT_EQ(pthread_create(&thread, &attr, &SmallStackSearch::run, &job), 0);
        ASSERT_EQ(pthread_join(thread, nullptr), 0);
        EXPECT_EQ(job.at, c.at) << c.pattern;
        EXPECT_EQ(job.len, c.len) << c.pattern;
        if (c.timed) {
            EXPECT_LT(job.seconds, 1.0) << c.pattern;
        }
    }
    pthread_attr_destroy(&attr);
}

}  // namespace
