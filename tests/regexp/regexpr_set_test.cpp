// XVRegExprSet through the shared library: the search loop its header shows,
// over a buffer of lines. The set's behaviour is tested against the
// interpreter in pattern_set_test.cpp.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <xvkit/xvregexset.h>

namespace {

TEST(RegExprSetTest, SearchesABufferOfLines) {
    const XVRegExprSet set({"[0-9]+x", "needle", "^#define"}, XVRegExprSet::lightPattern,
                           {.lines = true});
    ASSERT_TRUE(set.ok());
    const std::string buffer = "int a;\n#define N 12x\nno\nneedle and 7x\n";
    const char* text = buffer.data();
    const std::size_t size = buffer.size();
    // Each matching line, with its leftmost match.
    std::vector<std::pair<std::string, std::size_t>> found;
    XVRegExprSet::Match m;
    for (std::size_t at = 0; set.find(text, size, at, &m);) {
        found.emplace_back(buffer.substr(m.start, m.length), m.pattern);
        const char* nl =
            static_cast<const char*>(std::memchr(text + m.start, '\n', size - m.start));
        at = nl ? static_cast<std::size_t>(nl - text) + 1 : size;
    }
    const std::vector<std::pair<std::string, std::size_t>> expected = {{"#define", 2},
                                                                       {"needle", 1}};
    EXPECT_EQ(found, expected);
    // From the line "no": the next line matches; up to its end, nothing does.
    EXPECT_TRUE(set.matches(text, size, buffer.find("no\n")));
    EXPECT_FALSE(set.matches(text, buffer.find("needle"), buffer.find("no\n")));
}

TEST(RegExprSetTest, ReportsWhichPatternFailed) {
    const XVRegExprSet set({"ok", "bad["});
    EXPECT_FALSE(set.ok());
    EXPECT_EQ(set.firstFailure(), 1u);
    EXPECT_EQ(set.status(1).code, XVRegExprLight::syntaxError);
    EXPECT_STREQ(set.status(1).reason, "a class without its closing ']'");
}

}  // namespace
