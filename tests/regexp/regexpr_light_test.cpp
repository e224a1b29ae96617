#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include <xvkit/xvregexp.h>

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Found {
    std::size_t at;
    std::size_t len;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
    return os << "{at " << static_cast<long long>(f.at) << ", len " << f.len << "}";
}

Found find(const XVRegExprLight& re, const XVString& text, std::size_t from = 0) {
    std::size_t len = 12345;
    const std::size_t at = re.index(text, &len, from);
    return {at, len};
}

Found find(const char* pattern, const XVString& text, std::size_t from = 0) {
    XVRegExprLight re(pattern);
    EXPECT_EQ(re.status(), XVRegExprLight::ok) << pattern;
    return find(re, text, from);
}

TEST(RegExprLightTest, LeftmostGreedyWithGiveBack) {
    EXPECT_EQ(find("b+", "abbbc"), (Found{1, 3}));
    EXPECT_EQ(find("a*", "bbb"), (Found{0, 0}));
    EXPECT_EQ(find("a?ab", "ab"), (Found{0, 2}));
    EXPECT_EQ(find("[0-9]+", "ab12345cd"), (Found{2, 5}));
    EXPECT_EQ(find("a*b", "aaac"), (Found{kNone, 0}));
    EXPECT_EQ(find("a*ab", "xaaab"), (Found{1, 4}));
    EXPECT_EQ(find("a.*b", "a1b2b3"), (Found{0, 5}));
    EXPECT_EQ(find("x*", "aaxx"), (Found{0, 0}));
    EXPECT_EQ(find("x+", "aaxx"), (Found{2, 2}));
    EXPECT_EQ(find("[ab]*b[ab]*a", "abababx"), (Found{0, 5}));
    EXPECT_EQ(find("a.c", "a\nc"), (Found{kNone, 0}));
    EXPECT_EQ(find("a.c",
                   "xa\x01"
                   "c"),
              (Found{1, 3}));
    EXPECT_EQ(find("(a)", "x(a)"), (Found{1, 3}));
    EXPECT_EQ(find("hello", "say hello, hello"), (Found{4, 5}));
    EXPECT_EQ(find("hel+o", "helo hellllo"), (Found{0, 4}));
    EXPECT_EQ(find("\xe9t\xe9", "l'\xe9t\xe9"), (Found{2, 3}));
}

TEST(RegExprLightTest, Anchors) {
    EXPECT_EQ(find("$", "abc"), (Found{3, 0}));
    EXPECT_EQ(find("x$", "abx"), (Found{2, 1}));
    EXPECT_EQ(find("x$", "axb"), (Found{kNone, 0}));
    EXPECT_EQ(find("x*$", "xaxx"), (Found{2, 2}));
    EXPECT_EQ(find("a$b", "xa$b"), (Found{1, 3}));
    EXPECT_EQ(find("^b", "ab"), (Found{kNone, 0}));
    EXPECT_EQ(find("^b", "ab", 1), (Found{1, 1}));
    EXPECT_EQ(find("^a*", "baa", 1), (Found{1, 2}));
    EXPECT_EQ(find("^", "abc", 2), (Found{2, 0}));
    EXPECT_EQ(find("^abc$", "abc"), (Found{0, 3}));
    EXPECT_EQ(find("^abc$", "abcd"), (Found{kNone, 0}));
    EXPECT_EQ(find("a^b", "ba^b"), (Found{1, 3}));
}

TEST(RegExprLightTest, StartPositionsAtAndPastTheEnd) {
    EXPECT_EQ(find("$", "abc", 3), (Found{3, 0}));
    EXPECT_EQ(find("a*", "abc", 3), (Found{3, 0}));
    EXPECT_EQ(find("a", "abc", 3), (Found{kNone, 0}));
    EXPECT_EQ(find("b", "abcb", 2), (Found{3, 1}));
    EXPECT_EQ(find("a*", "", 0), (Found{0, 0}));

    // Past the end: no match and *len left as it was.
    EXPECT_EQ(find("a*", "abc", 4), (Found{kNone, 12345}));
    EXPECT_EQ(find("$", "", 1), (Found{kNone, 12345}));
    EXPECT_EQ(find("x", "abc", kNone), (Found{kNone, 12345}));
}

TEST(RegExprLightTest, EmbeddedNulCharacters) {
    const XVString text("ab\0cd\0", 6);
    EXPECT_EQ(find("\\0", text), (Found{2, 1}));
    EXPECT_EQ(find("\\0c", text), (Found{2, 2}));
    EXPECT_EQ(find("d.$", text), (Found{4, 2}));
    EXPECT_EQ(find("[^a-z]+", text, 3), (Found{5, 1}));
    EXPECT_EQ(find("cd", text), (Found{3, 2}));
    // A pattern string stops at its first NUL.
    const XVRegExprLight cut(XVString("b\0x", 3));
    EXPECT_EQ(find(cut, "abx"), (Found{1, 1}));
}

TEST(RegExprLightTest, FailedCompilationRefusesToSearch) {
    const std::string message =
        "XVRegExprLight::index(const XVString& string, size_t* len, size_t i) const";
    for (const char* bad : {"*a", "", "a[", "a**"}) {
        XVRegExprLight re(bad);
        std::size_t len = 7;
        try {
            re.index("aaa", &len, 0);
            ADD_FAILURE() << "no exception for " << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), message);
        }
        EXPECT_EQ(len, 7u);
        // The refusal does not depend on the start position.
        EXPECT_THROW(re.index("aaa", &len, 99), std::runtime_error);
    }
    XVRegExprLight syntax("*a");
    EXPECT_EQ(syntax.status(), XVRegExprLight::syntaxError);
    EXPECT_EQ(syntax.status(), XVRegExprLight::ok);
    // The code is still broken after the status was read.
    std::size_t len = 0;
    EXPECT_THROW(syntax.index("a", &len, 0), std::runtime_error);

    XVRegExprLight tooLong(std::string(256, 'a').c_str());
    EXPECT_EQ(tooLong.status(), XVRegExprLight::compileError);
    XVRegExprLight longest(std::string(255, 'a').c_str());
    EXPECT_EQ(longest.status(), XVRegExprLight::ok);
    EXPECT_EQ(find(longest, std::string(300, 'a')), (Found{0, 255}));
}

TEST(RegExprLightTest, CopiesAndAssignments) {
    XVRegExprLight original("b+c");
    XVRegExprLight copy(original);
    EXPECT_EQ(find(copy, "abbc"), (Found{1, 3}));

    XVRegExprLight assigned("zzz");
    assigned = original;
    EXPECT_EQ(find(assigned, "abbc"), (Found{1, 3}));
    assigned = assigned;
    EXPECT_EQ(find(assigned, "abbc"), (Found{1, 3}));

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
    EXPECT_EQ(find(re, "axxb"), (Found{1, 2}));
    re = XVString("[a-");
    EXPECT_EQ(re.status(), XVRegExprLight::syntaxError);
    re = XVString("y$");
    EXPECT_EQ(find(re, "yay"), (Found{2, 1}));
    re = static_cast<const char*>(nullptr);
    EXPECT_EQ(re.status(), XVRegExprLight::syntaxError);
}

TEST(RegExprLightTest, OneExpressionServesManySearches) {
    const XVRegExprLight word("[a-z]+");
    const XVString text("12 ab cde f");
    std::size_t len = 0;
    std::string words;
    for (std::size_t at = word.index(text, &len, 0); at != kNone;
         at = word.index(text, &len, at + len)) {
        words += text.substr(at, len) + ",";
    }
    EXPECT_EQ(words, "ab,cde,f,");
}

}  // namespace
