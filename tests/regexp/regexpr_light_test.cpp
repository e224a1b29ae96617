#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include <xvkit/xvregexp.h>

namespace {

using namespace std::string_literals;
using Found = std::pair<std::size_t, std::size_t>;  // start and length
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kUntouched = 12345;

Found find(const XVRegExprLight& re, const XVString& text, std::size_t from = 0) {
    std::size_t len = kUntouched;
    const std::size_t at = re.index(text, &len, from);
    return {at, len};
}

// A search of `text` from `from` that finds the match (at, len).
struct SearchCase {
    const char* pattern;
    std::string text;
    std::size_t from;
    std::size_t at;
    std::size_t len;
};

template <std::size_t N>
void expectSearches(const SearchCase (&cases)[N]) {
    for (const SearchCase& c : cases) {
        XVRegExprLight re(c.pattern);
        ASSERT_EQ(re.status(), XVRegExprLight::ok) << c.pattern;
        EXPECT_EQ(find(re, c.text, c.from), Found(c.at, c.len)) << c.pattern << " from " << c.from;
    }
}

// Leftmost start and greedy closures that give back what the rest needs; the
// end anchor and empty matches at the end; the beginning anchor bound to the
// search start; start positions at the end, and past it with *len untouched;
// embedded NUL characters as ordinary characters.
TEST(RegExprLightTest, Searches) {
    const SearchCase cases[] = {
        {"b+", "abbbc", 0, 1, 3},
        {"a*", "bbb", 0, 0, 0},
        {"a?ab", "ab", 0, 0, 2},
        {"[0-9]+", "ab12345cd", 0, 2, 5},
        {"a*b", "aaac", 0, kNone, 0},
        {"a*ab", "xaaab", 0, 1, 4},
        {"a.*b", "a1b2b3", 0, 0, 5},
        {"[ab]*b[ab]*a", "abababx", 0, 0, 5},
        {"hel+o", "helo hellllo", 0, 0, 4},
        {"a.c", "a\nc", 0, kNone, 0},
        {"(a)", "x(a)", 0, 1, 3},
        {"\xe9t\xe9", "l'\xe9t\xe9", 0, 2, 3},
        {"$", "abc", 0, 3, 0},
        {"x$", "abx", 0, 2, 1},
        {"x$", "axb", 0, kNone, 0},
        {"x*$", "xaxx", 0, 2, 2},
        {"a$b", "xa$b", 0, 1, 3},
        {"^b", "ab", 0, kNone, 0},
        {"^b", "ab", 1, 1, 1},
        {"^a*", "baa", 1, 1, 2},
        {"^abc$", "abc", 0, 0, 3},
        {"a^b", "ba^b", 0, 1, 3},
        {"$", "abc", 3, 3, 0},
        {"a*", "abc", 3, 3, 0},
        {"a", "abc", 3, kNone, 0},
        {"b", "abcb", 2, 3, 1},
        {"a*", "", 0, 0, 0},
        {"a*", "abc", 4, kNone, kUntouched},
        {"$", "", 1, kNone, kUntouched},
        {"x", "abc", kNone, kNone, kUntouched},
        {"\\0", "ab\0cd\0"s, 0, 2, 1},
        {"d.$", "ab\0cd\0"s, 0, 4, 2},
        {"[^a-z]+", "ab\0cd\0"s, 3, 5, 1},
    };
    expectSearches(cases);
    // A pattern string stops at its first NUL.
    EXPECT_EQ(find(XVRegExprLight(XVString("b\0x", 3)), "abx"), Found(1, 1));
}

// Anchored codes run straight from their words up to the first closure.
// Unanchored ones look first for the rarest character every match needs (here
// the digit or the `x`) and from it back over what the slots before it take,
// at most 4096 characters; a text without that character has no match.
TEST(RegExprLightTest, ShortcutsAgreeWithTheFullSearch) {
    const std::string run(4096, 'a');
    const SearchCase cases[] = {
        {"^abc", "abcd", 0, 0, 3},
        {"^abc", "xabc", 1, 1, 3},
        {"^abc", "ab", 0, kNone, 0},
        {"^abc", "abx", 0, kNone, 0},
        {"^a.c$", "abc", 0, 0, 3},
        {"^a.c$", "abcd", 0, kNone, 0},
        {"^a.c$", "a\nc", 0, kNone, 0},
        {"^[0-9]x", "5x", 0, 0, 2},
        {"^", "abc", 2, 2, 0},
        {"^$", "", 0, 0, 0},
        {"^$", "ab", 1, kNone, 0},
        {"^ab*", "abbbc", 0, 0, 4},
        {"^ab*", "xbbb", 0, kNone, 0},
        {"[a-z]+[0-9]", "xx ab1", 0, 3, 3},
        {"[a-z]+[0-9]", "ab x1", 0, 3, 2},
        {"[a-z]+[0-9]", "ab x1", 4, kNone, 0},
        {"n[a-z]*e[a-z]*e[0-9]+", "abc1 needle42Q", 0, 5, 8},
        {"a[0-9]", "aaaa", 0, kNone, 0},
        {"[0-9]+x", "ab12x", 0, 2, 3},
        {".*[0-9]", "x\n" + run + "7", 0, 2, 4097},
        {".*[0-9]", "x\n" + run + "a7", 0, 2, 4098},
        {".*[0-9]", std::string(100, 'a') + "\n" + run + run + "7", 0, 101, 8193},
    };
    expectSearches(cases);
}

TEST(RegExprLightTest, FailedCompilationRefusesToSearch) {
    for (const char* bad : {"*a", "", "a[", "a**"}) {
        const XVRegExprLight re(bad);
        std::size_t len = 7;
        try {
            re.index("aaa", &len, 0);
            ADD_FAILURE() << "no exception for " << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(),
                         "XVRegExprLight::index(const XVString& string, size_t* len, size_t i) "
                         "const");
        }
        EXPECT_EQ(len, 7u);
        // The refusal does not depend on the start position.
        EXPECT_THROW(re.index("aaa", &len, 99), std::runtime_error);
    }
    XVRegExprLight syntax("*a");
    EXPECT_EQ(syntax.status(), XVRegExprLight::syntaxError);
    EXPECT_EQ(syntax.status(), XVRegExprLight::ok);
    // The code is still broken after the status was read.
    EXPECT_THROW(find(syntax, "a"), std::runtime_error);

    EXPECT_EQ(XVRegExprLight(std::string(256, 'a').c_str()).status(), XVRegExprLight::compileError);
    XVRegExprLight longest(std::string(255, 'a').c_str());
    EXPECT_EQ(longest.status(), XVRegExprLight::ok);
    EXPECT_EQ(find(longest, std::string(300, 'a')), Found(0, 255));
}

TEST(RegExprLightTest, CopiesAndAssignments) {
    const XVRegExprLight original("b+c");
    XVRegExprLight assigned("zzz");
    assigned = original;
    EXPECT_EQ(find(XVRegExprLight(original), "abbc"), Found(1, 3));
    EXPECT_EQ(find(assigned, "abbc"), Found(1, 3));
    assigned = assigned;
    EXPECT_EQ(find(assigned, "abbc"), Found(1, 3));

    // Copies carry the status, and reading it on one leaves the others alone.
    XVRegExprLight bad("a[");
    XVRegExprLight badCopy(bad);
    XVRegExprLight badAssigned("x");
    badAssigned = bad;
    EXPECT_EQ(badCopy.status(), XVRegExprLight::syntaxError);
    EXPECT_EQ(badAssigned.status(), XVRegExprLight::syntaxError);
    EXPECT_EQ(bad.status(), XVRegExprLight::syntaxError);

    // Assigning a pattern recompiles from scratch, including after a failure.
    XVRegExprLight re("*");
    re = "x+";
    EXPECT_EQ(re.status(), XVRegExprLight::ok);
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

}  // namespace
