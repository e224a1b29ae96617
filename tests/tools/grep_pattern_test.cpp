// grep's pattern rewriter, checked by what the rewritten patterns match when
// the library compiles them, and its --include, --exclude and --exclude-dir
// filters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <xvkit/xvregexp.h>

#include "grep/filters.h"
#include "grep/pattern.h"

namespace {

using xvtool::Dialect;

// Whether some alternative of the rewritten pattern matches in `line`.
bool anyMatches(const std::vector<std::string>& alternatives, const std::string& line) {
    for (const std::string& a : alternatives) {
        if (a.empty())
            return true;
        XVRegExprLight re(a.c_str());
        EXPECT_EQ(re.status(), XVRegExprLight::ok) << a;
        std::size_t length = 0;
        if (re.index(XVString(line), &length, 0) != static_cast<std::size_t>(-1))
            return true;
    }
    return false;
}

TEST(ToolGrepPattern, RewritesToWhatGnuGrepMatches) {
    const struct {
        std::string pattern;
        Dialect dialect;
        std::size_t alternatives;
        std::vector<std::string> matching, notMatching;
    } cases[] = {
        {"a|b|", Dialect::extended, 3, {"x"}, {}},
        {"a\\|b", Dialect::extended, 1, {"a|b"}, {"a", "b"}},
        {"[[:digit:]]x", Dialect::extended, 1, {"7x"}, {"ax", "7"}},
        {"[^[:alpha:]_]", Dialect::extended, 1, {"a-"}, {"ab_"}},
        {"[[.a.]-c][[=z=]]", Dialect::extended, 1, {"bz"}, {"dz", "b"}},
        {"[]a]+", Dialect::extended, 1, {"]"}, {"b"}},
        {"[^]a]", Dialect::extended, 1, {"b"}, {"]a"}},
        {"[a-]", Dialect::extended, 1, {"-"}, {"b"}},
        {"[--/]", Dialect::extended, 1, {"."}, {"0"}},
        {"[\\x41-\\x43]", Dialect::extended, 1, {"B"}, {"D"}},
        {"\\d\\D\\w\\W\\s\\S", Dialect::extended, 1, {"1a_- x"}, {"1a_-xx"}},
        // The basic dialect: \| \+ \? are operators, + ? | ( ) { } literals,
        // and so is a '*' that starts the pattern or follows its '^'.
        {"a\\|b", Dialect::basic, 2, {"b"}, {"c"}},
        {"ab\\+c\\?$", Dialect::basic, 1, {"abbb"}, {"ac"}},
        {"a+b?|(c){2}", Dialect::basic, 1, {"a+b?|(c){2}"}, {"aab|cc"}},
        {"*a", Dialect::basic, 1, {"*a"}, {"a"}},
        {"^*a\\|*b", Dialect::basic, 2, {"*a", "x*b"}, {"x*a", "b"}},
        {"x*", Dialect::basic, 1, {""}, {}},
    };
    for (const auto& c : cases) {
        const xvtool::Rewritten r = xvtool::rewriteGrepPattern(c.pattern, c.dialect);
        ASSERT_EQ(r.refusal, "") << c.pattern;
        EXPECT_EQ(r.patterns.size(), c.alternatives) << c.pattern;
        for (const std::string& line : c.matching)
            EXPECT_TRUE(anyMatches(r.patterns, line)) << c.pattern << " on " << line;
        for (const std::string& line : c.notMatching)
            EXPECT_FALSE(anyMatches(r.patterns, line)) << c.pattern << " on " << line;
    }
}

TEST(ToolGrepPattern, RefusesWhatItCannotSay) {
    const struct {
        std::string pattern;
        Dialect dialect;
        std::string why;
    } cases[] = {
        {"a\\", Dialect::extended, "a trailing backslash escapes nothing"},
        {"\\", Dialect::basic, "a trailing backslash escapes nothing"},
        {"[z-a]", Dialect::extended, "the range 'z-a' is reversed"},
        {"[[:alpha:]-z]", Dialect::extended, "a range cannot start or end at a class"},
        {"[a-[=z=]]", Dialect::extended, "a range cannot start or end at a class"},
        {"[[.ab.]]", Dialect::extended, "[.ab.] names no single character"},
        {"[[:alpha]", Dialect::extended, "'[:' is not closed by ':]'"},
        {"[[.a.]", Dialect::extended, "the bracket '[' is not closed"},
        {"[[:word:]]", Dialect::basic, "unknown character class [:word:]"},
        {"(a)", Dialect::extended, "groups are not supported; write '\\(' for a literal '('"},
        {"\\(a\\)", Dialect::basic, "groups \\( \\) are not supported; write '(' for a literal"},
        {"a{2}", Dialect::extended, "intervals {n,m} are not supported"},
        {"a\\{2\\}", Dialect::basic, "intervals \\{n,m\\} are not supported"},
        {"(a)\\1", Dialect::basic, "back-references (\\1) are not supported"},
        {"\\<a", Dialect::basic, "word boundaries (\\<) are not supported"},
    };
    for (const auto& c : cases) {
        const xvtool::Rewritten r = xvtool::rewriteGrepPattern(c.pattern, c.dialect);
        EXPECT_TRUE(r.patterns.empty()) << c.pattern;
        EXPECT_NE(r.refusal.find(c.why), std::string::npos) << c.pattern << ": " << r.refusal;
    }
    std::string refusal;
    const auto sources = xvtool::patternSources({"a", "[b", "c"}, Dialect::extended, refusal);
    EXPECT_TRUE(sources.empty());
    EXPECT_EQ(refusal,
              "pattern '[b' is refused: the bracket '[' is not closed; write '\\[' for a "
              "literal '['");
}

TEST(ToolGrepPattern, SourcesKeepWhatTheUserTyped) {
    std::string refusal;
    const auto fixed = xvtool::patternSources({"a|b", "(c"}, Dialect::fixed, refusal);
    ASSERT_EQ(fixed.size(), 2u);
    EXPECT_TRUE(fixed[0].fixed && fixed[0].text == "a|b" && fixed[1].text == "(c");
    const auto split = xvtool::patternSources({"a|b"}, Dialect::extended, refusal);
    ASSERT_EQ(split.size(), 2u);
    EXPECT_TRUE(!split[1].fixed && split[1].text == "b" && split[1].shown == "a|b");
    EXPECT_EQ(refusal, "");
}

TEST(ToolGrepFilters, GlobsAsGnuGrepMatchesThem) {
    using xvtool::NameFilter;
    using xvtool::NameOrigin;
    const std::vector<NameFilter> none;
    const std::vector<NameFilter> cOnlyNotA = {{"*.c", true}, {"a*", false}};
    const std::vector<NameFilter> notAButC = {{"a*", false}, {"*.c", true}};
    const struct {
        const std::vector<NameFilter>& filters;
        std::string name;
        NameOrigin origin;
        bool searched;
    } files[] = {
        {none, "x", NameOrigin::entry, true},
        // The last filter that matches decides; with none, the first one's kind.
        {cOnlyNotA, "b.c", NameOrigin::entry, true},
        {cOnlyNotA, "a.c", NameOrigin::entry, false},
        {cOnlyNotA, "b.h", NameOrigin::entry, false},
        {notAButC, "a.c", NameOrigin::entry, true},
        {notAButC, "b.h", NameOrigin::entry, true},
        {notAButC, "a.h", NameOrigin::entry, false},
        // '*' takes a leading '.'; a name from the command line is also
        // matched from after each '/'.
        {cOnlyNotA, ".b.c", NameOrigin::entry, true},
        {notAButC, "dir/a.h", NameOrigin::operand, false},
        {notAButC, "b/a.h", NameOrigin::operand, false},
        {notAButC, "b/b.h", NameOrigin::operand, true},
    };
    for (const auto& f : files)
        EXPECT_EQ(xvtool::searchesFile(f.filters, f.name, f.origin), f.searched) << f.name;
    const std::vector<std::string> dirs = {"sub", ".*"};
    EXPECT_TRUE(xvtool::skipsDirectory(dirs, ".git", NameOrigin::entry));
    EXPECT_TRUE(xvtool::skipsDirectory(dirs, "top/sub", NameOrigin::operand));
    EXPECT_FALSE(xvtool::skipsDirectory(dirs, "top/sub/", NameOrigin::operand));
    EXPECT_FALSE(xvtool::skipsDirectory(dirs, "subway", NameOrigin::entry));
    EXPECT_TRUE(xvtool::skipsDirectory({"t*"}, "tree/.", NameOrigin::operand));
}

}  // namespace
