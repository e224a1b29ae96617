#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>

#include <xvkit/xvregexp.h>

namespace {

using Found = std::pair<std::size_t, std::size_t>;  // start and length
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kUntouched = 12345;

Found find(const XVRegExprLight& re, const XVString& text, std::size_t from = 0) {
    std::size_t len = kUntouched;
    return {re.index(text, &len, from), len};  // a braced list is read in order
}

// The engine test compares every search with the interpreter; these rows are
// what it cannot draw: a start of npos, and a match start found back from the
// rarest character every match needs, over at most 4096 characters.
TEST(RegExprLightTest, Searches) {
    const std::string run(4096, 'a');
    const std::tuple<const char*, std::string, std::size_t, Found> cases[] = {
        {"x", "abc", kNone, {kNone, kUntouched}},
        {".*[0-9]", "x\n" + run + "7", 0, {2, 4097}},
        {".*[0-9]", "x\n" + run + "a7", 0, {2, 4098}},
        {".*[0-9]", std::string(100, 'a') + "\n" + run + run + "7", 0, {101, 8193}},
    };
    for (const auto& [pattern, text, from, found] : cases)
        EXPECT_EQ(find(XVRegExprLight(pattern), text, from), found) << pattern;
    // A pattern string stops at its first NUL.
    EXPECT_EQ(find(XVRegExprLight(XVString("b\0x", 3)), "abx"), Found(1, 1));
}

TEST(RegExprLightTest, FailedCompilationRefusesToSearch) {
    std::size_t len = 7;
    try {
        XVRegExprLight("a[").index("aaa", &len, 0);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "XVRegExprLight::index(const XVString& string, size_t* len, size_t i) const");
    }
    // The refusal does not depend on the start position, and leaves *len alone;
    // the code is still broken after the status was read (which resets it).
    XVRegExprLight syntax("*a");
    EXPECT_EQ(syntax.status(), XVRegExprLight::syntaxError);
    EXPECT_EQ(syntax.status(), XVRegExprLight::ok);
    EXPECT_THROW(syntax.index("aaa", &len, 0), std::runtime_error);
    for (const char* bad : {"", "a**"})
        for (std::size_t from : {0, 99})
            EXPECT_THROW(XVRegExprLight(bad).index("aaa", &len, from), std::runtime_error) << bad;
    EXPECT_EQ(len, 7u);
    EXPECT_EQ(XVRegExprLight(std::string(256, 'a').c_str()).status(), XVRegExprLight::compileError);
    EXPECT_EQ(find(XVRegExprLight(std::string(255, 'a').c_str()), std::string(300, 'a')),
              Found(0, 255));
}

TEST(RegExprLightTest, CopiesAndAssignments) {
    const XVRegExprLight original("b+c");
    XVRegExprLight assigned("zzz");
    assigned = original;
    assigned = assigned;
    EXPECT_EQ(find(XVRegExprLight(original), "abbc"), Found(1, 3));
    EXPECT_EQ(find(assigned, "abbc"), Found(1, 3));

    // Copies carry the status, and reading it on one leaves the others alone.
    XVRegExprLight bad("a["), badCopy(bad), badAssigned("x");
    badAssigned = bad;
    for (XVRegExprLight* re : {&badCopy, &badAssigned, &bad})
        EXPECT_EQ(re->status(), XVRegExprLight::syntaxError);

    // Assigning a pattern recompiles from scratch, including after a failure.
    XVRegExprLight re("*");
    re = "x+";
    EXPECT_EQ(find(re, "axxb"), Found(1, 2));
    re = XVString("[a-");
    EXPECT_EQ(re.status(), XVRegExprLight::syntaxError);
    re = XVString("y$");
    EXPECT_EQ(find(re, "yay"), Found(2, 1));
    re = static_cast<const char*>(nullptr);
    EXPECT_EQ(re.status(), XVRegExprLight::syntaxError);
}

// Searches that need every engine: a literal, the tables on a long text, the
// lock-step search on a short one, and an anchored pattern.
bool searchesRight() {
    static const XVRegExprLight literal("needle");
    static const XVRegExprLight digits("[0-9]+x?");
    static const XVRegExprLight anchored("^b*a+$");
    const XVString longText(std::string(3000, 'q') + "needle 12345x");
    return find(literal, longText) == Found(3000, 6) && find(digits, longText) == Found(3007, 6) &&
           find(digits, "ab 77 cd") == Found(3, 2) && find(anchored, "bbaa") == Found(0, 4) &&
           find(anchored, longText) == Found(kNone, 0);
}

// Searches from an atexit handler and from a static object's destructor, both
// of which run after the exiting thread's thread_local objects are gone.
TEST(RegExprLightDeathTest, SearchesWhileTheProgramExits) {
    struct SearchOnDestruction {
        ~SearchOnDestruction() {
            if (!searchesRight())
                _exit(2);
        }
    };
    EXPECT_EXIT(
        {
            // The first search makes the expressions, which then outlive the searcher.
            if (!searchesRight())
                _exit(1);
            static SearchOnDestruction searcher;
            std::atexit([] {
                if (!searchesRight())
                    _exit(3);
            });
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

// A thread_local object made before the thread's first search is destroyed
// after everything the search made for that thread.
TEST(RegExprLightTest, SearchesWhileAThreadEnds) {
    std::atomic<int> right{0};
    struct SearchOnDestruction {
        std::atomic<int>* right;
        ~SearchOnDestruction() { *right += searchesRight() ? 1 : 0; }
    };
    std::thread([&right] {
        thread_local SearchOnDestruction searcher{&right};
        right += searchesRight() ? 1 : 0;
    }).join();
    EXPECT_EQ(right, 2);
}

// Texts of 100,000 and a million characters: patterns that make plain
// backtracking explode still take linear time, and a matcher whose stack grew
// with the text would overflow it.
TEST(RegExprLightTest, LongTextsTakeLinearTimeAndBoundedStack) {
    const XVString as(std::string(100000, 'a'));
    const XVString asThenB(as + "b");
    std::mt19937 rng(5);
    std::string raw(1 << 20, 'a');
    for (char& c : raw)
        c = "ab"[rng() % 2];
    const XVString abs(raw + "aaaaaaaaxc");
    const std::size_t n = abs.size();
    // Pattern, text, match, and whether the pattern makes plain backtracking explode.
    const std::tuple<std::string, XVString, Found, bool> cases[] = {
        {"a*a*a*a*a*a*a*a*b", as, {kNone, 0}, true},
        {"^.*.*.*.*.*.*b", as, {kNone, 0}, true},
        {"a*a*a*a*a*a*a*a*b", asThenB, {0, asThenB.size()}, true},
        {"a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?a?" + std::string(30, 'a'),
         std::string(30, 'a'),
         {0, 30},
         true},
        {"[ab]*x", abs, {0, n - 1}, false},
        {"[^c]*c", abs, {0, n}, false},
        {"a*[ab]*b*x$", abs, {kNone, 0}, false},  // the `c` after the `x` stops every start
        // Needs hundreds of table states.
        {"[ab]*a[ab][ab][ab][ab][ab][ab][ab]x", abs, {0, n - 1}, false},
    };
    for (const auto& [pattern, text, expected, timed] : cases) {
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_EQ(find(XVRegExprLight(pattern.c_str()), text), expected) << pattern;
        if (timed) {
            EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1)) << pattern;
        }
    }
}

}  // namespace
