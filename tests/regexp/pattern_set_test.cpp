// XVRegExprSet against one XVRegExprLight per pattern (per line in line
// mode), and under every match rule against the interpreter; its statuses,
// line mode, words and whole lines on chosen cases.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <xvkit/xvregexp.h>
#include <xvkit/xvregexset.h>

#include "reference_matcher.h"
#include "regexp/pattern_set.h"
#include "regexp_draws.h"

namespace xvkit::regexp {
namespace {

using reference::kNoMatch;
using reference::SetHit;
using Pattern = XVRegExprSet::Pattern;

// What a set reports, as a hit (start kNoMatch for none).
SetHit setFind(const XVRegExprSet& set, const std::string& text, std::size_t from) {
    XVRegExprSet::Match m;
    if (!set.find(text.data(), text.size(), from, &m))
        return {};
    return {m.start, m.length, m.pattern};
}

// The answer of one XVRegExprLight per light pattern, searched over the whole
// text or, in line mode, over the first line where any of them matches; a
// pattern that begins with `^` is tried only on lines that start at or after
// `from`, as the beginning anchor binds to where XVRegExprLight starts.
SetHit lightFind(const std::vector<Pattern>& patterns, bool lines, const std::string& text,
                 std::size_t from) {
    std::size_t lineStart = 0;
    std::size_t lineEnd = text.size();
    if (lines) {
        lineStart = text.rfind('\n', from == 0 ? std::string::npos : from - 1);
        lineStart = lineStart == std::string::npos || from == 0 ? 0 : lineStart + 1;
    }
    for (;;) {
        if (lines) {
            lineEnd = text.find('\n', lineStart);
            if (lineEnd == std::string::npos)
                lineEnd = text.size();
            if (lineStart == text.size() && (text.empty() || text.back() == '\n'))
                return {};
        }
        const XVString line(text.substr(lineStart, lineEnd - lineStart));
        const std::size_t offset = std::max(from, lineStart) - lineStart;
        std::vector<SetHit> hits;
        for (std::size_t i = 0; i < patterns.size(); ++i) {
            const XVRegExprLight re(patterns[i].text.c_str());
            SetHit hit;
            hit.pattern = i;
            if (patterns[i].text[0] != '^' || offset == 0 || !lines) {
                const std::size_t at = re.index(line, &hit.length, offset);
                hit.start = at == static_cast<std::size_t>(-1) ? kNoMatch : at + lineStart;
            }
            hits.push_back(hit);
        }
        const SetHit best = reference::bestOf(hits);
        if (best.start != kNoMatch || !lines || lineEnd == text.size())
            return best;
        lineStart = lineEnd + 1;
    }
}

std::vector<Pattern> randomSet(std::mt19937& rng, bool withFixed, bool allCompile) {
    std::vector<Pattern> patterns;
    const int count = 1 + static_cast<int>(rng() % 5);
    while (static_cast<int>(patterns.size()) < count) {
        if (withFixed && rng() % 3 == 0) {
            patterns.push_back({randomText(rng, 0, 3), XVRegExprSet::fixedString});
            continue;
        }
        int closures = 0;
        std::string pattern = randomPattern(rng, 5, &closures);
        if (closures > 3)
            continue;
        unsigned short code[256];
        if (allCompile && XREMakePattern(pattern.c_str(), code, 256) != 0)
            continue;
        patterns.push_back({pattern, XVRegExprSet::lightPattern});
    }
    return patterns;
}

TEST(PatternSetTest, FindsWhatOneLightExpressionPerPatternFinds) {
    std::mt19937 rng(4242);
    int compared = 0, matched = 0, lineMode = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::vector<Pattern> patterns = randomSet(rng, false, true);
        const bool lines = rng() % 2 == 0;
        const XVRegExprSet set(patterns, {.lines = lines});
        ASSERT_TRUE(set.ok());
        for (int t = 0; t < 3; ++t) {
            const std::string text = randomText(rng, 0, 30);
            const std::size_t from = rng() % 3 == 0 ? rng() % (text.size() + 1) : 0;
            const SetHit expected = lightFind(patterns, lines, text, from);
            ASSERT_EQ(setFind(set, text, from), expected)
                << patterns.size() << " patterns, the first «" << patterns[0].text << "», lines "
                << lines << ", text «" << text << "» from " << from;
            ++compared;
            matched += expected.start != kNoMatch;
            lineMode += lines;
        }
    }
    EXPECT_GT(matched, compared / 4);
    EXPECT_LT(matched, compared * 9 / 10);
    EXPECT_GT(lineMode, compared / 3);
}

TEST(PatternSetTest, EveryRuleAgreesWithTheInterpreter) {
    std::mt19937 rng(777);
    int compared = 0, matched = 0;
    for (int round = 0; round < 5000; ++round) {
        const std::vector<Pattern> patterns = randomSet(rng, true, false);
        const MatchRules rules = randomRules(rng);
        const XVRegExprSet::Options options{.ignoreCase = rules.caseBlind,
                                            .lines = rules.lines,
                                            .words = rules.words,
                                            .wholeLines = rules.wholeLines};
        const XVRegExprSet set(patterns, options);
        for (int t = 0; t < 3; ++t) {
            const std::string text = randomText(rng, 0, 30);
            const std::size_t from = rng() % 3 == 0 ? rng() % (text.size() + 2) : 0;
            const SetHit expected = reference::referenceSet(patterns, rules, text, from);
            ASSERT_EQ(setFind(set, text, from), expected)
                << patterns.size() << " patterns, the first «" << patterns[0].text << "», rules "
                << rulesName(rules) << ", text «" << text << "» from " << from;
            ASSERT_EQ(set.matches(text.data(), text.size(), from), expected.start != kNoMatch);
            ++compared;
            matched += expected.start != kNoMatch;
        }
    }
    EXPECT_GT(matched, compared / 5);
    EXPECT_LT(matched, compared * 9 / 10);
}

// Letters of both cases, a word byte and a byte above 127: words that
// patterns and texts share, so that literal runs and triggers meet.
const std::string kWordLetters = "abAB_\xe9";

// A pattern of each kind the set treats apart: fixed strings (the empty one
// too), plain literals, patterns with a literal run among other items, and
// anchored or short ones that are searched on their own.
Pattern roleDraw(std::mt19937& rng) {
    const auto word = [&rng](std::size_t minLength) {
        return randomText(rng, minLength, minLength + 4, kWordLetters);
    };
    int closures = 0;
    switch (rng() % 8) {
        case 0:
            return {randomText(rng, 0, 9, kWordLetters + " \n"), XVRegExprSet::fixedString};
        case 1:
            return {word(2)};
        case 2:
            return {"^" + word(1)};
        case 3:
        case 4: {
            const std::string items[] = {"[ab]*", ".", "b?", "[^a]+", "A*", ""};
            return {items[rng() % std::size(items)] + word(2) + items[rng() % std::size(items)] +
                    word(0)};
        }
        default: {
            std::string pattern;
            do
                pattern = randomPattern(rng, 4, &closures);
            while (closures > 2);
            return {pattern};
        }
    }
}

TEST(PatternSetTest, EveryRoleAgreesWithTheInterpreter) {
    using Role = PatternSet::Role;
    std::mt19937 rng(1234);
    int decided[static_cast<int>(Role::scanned) + 1] = {};
    int compared = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<Pattern> patterns(1 + rng() % 6);
        for (Pattern& p : patterns)
            p = roleDraw(rng);
        const MatchRules rules = randomRules(rng);
        std::vector<PatternSource> sources;
        for (const Pattern& p : patterns)
            sources.push_back({p.text, p.syntax == XVRegExprSet::fixedString});
        const PatternSet set(sources, rules);
        for (int t = 0; t < 4; ++t) {
            std::string text = randomText(rng, 0, 200, kWordLetters + " \n");
            for (int k = 0; k < 3 && !text.empty(); ++k)
                text.insert(rng() % text.size(), patterns[rng() % patterns.size()].text);
            // A text that is one of the strings, whole lines or not.
            if (t == 0)
                text = patterns[rng() % patterns.size()].text;
            const std::size_t from = rng() % 4 == 0 ? rng() % (text.size() + 1) : 0;
            const SetHit expected = reference::referenceSet(patterns, rules, text, from);
            SetMatch m{};
            Role role = Role::never;
            const bool hit = set.find(reinterpret_cast<const unsigned char*>(text.data()),
                                      text.size(), from, false, &m, &role);
            const SetHit got = hit ? SetHit{m.start, m.length, m.pattern} : SetHit{};
            ASSERT_EQ(got, expected)
                << patterns.size() << " patterns, the first «" << patterns[0].text << "», rules "
                << rulesName(rules) << ", text «" << text << "» from " << from;
            ++compared;
            decided[static_cast<int>(role)] += hit;
        }
    }
    for (const Role role :
         {Role::empty, Role::literal, Role::atStart, Role::triggered, Role::scanned})
        EXPECT_GT(decided[static_cast<int>(role)], compared / 500) << static_cast<int>(role);
}

// The role each kind of pattern takes, seen from the search it decides.
TEST(PatternSetTest, EachKindOfPatternTakesItsRole) {
    using Role = PatternSet::Role;
    const MatchRules whole{.wholeLines = true};
    const std::tuple<std::string, bool, MatchRules, std::string, Role> cases[] = {
        {"abAB", false, {}, "xxabAB", Role::literal},  // a plain literal pattern
        {"abAB", true, {}, "xxabAB", Role::literal},
        {"[ab]*abAB", false, {}, "xxabAB", Role::triggered},
        {"x?\\xe9\\xe9", false, {}, "xx\xe9\xe9", Role::triggered},  // a short but rare run
        {"x?es", false, {}, "xxes", Role::scanned},                  // a short, common run
        {"^xx", false, {}, "xxab", Role::scanned},
        {"a*", false, {}, "xxab", Role::scanned},
        {"", true, {}, "xxab", Role::empty},
        {"xxab", true, whole, "xxab", Role::atStart},
    };
    for (const auto& [text, fixed, rules, subject, role] : cases) {
        const PatternSet set({{text, fixed}}, rules);
        SetMatch m{};
        Role decided = Role::never;
        EXPECT_TRUE(set.find(reinterpret_cast<const unsigned char*>(subject.data()), subject.size(),
                             0, false, &m, &decided))
            << text;
        EXPECT_EQ(decided, role) << text;
    }
    // In a large set a short, common run is a trigger: a pass over the text
    // for each such pattern would cost more.
    std::vector<PatternSource> large(9, {"zzzzzz", true});
    large.push_back({"x?es", false});
    const PatternSet set(large, {});
    const std::string subject = "xxes";
    SetMatch m{};
    Role decided = Role::never;
    EXPECT_TRUE(set.find(reinterpret_cast<const unsigned char*>(subject.data()), subject.size(), 0,
                         false, &m, &decided));
    EXPECT_EQ(decided, Role::triggered);
}

// Which pattern failed and why; the others still search, the failed one never matches.
TEST(PatternSetTest, StatusesSayWhichPatternFailedAndWhy) {
    const XVRegExprSet set(std::vector<Pattern>{{"ab"},
                                                {"a[b", XVRegExprSet::lightPattern},
                                                {"a[b", XVRegExprSet::fixedString},
                                                {"x**"},
                                                {""}},
                           {});
    EXPECT_FALSE(set.ok());
    EXPECT_EQ(set.size(), 5u);
    EXPECT_EQ(set.firstFailure(), 1u);
    const std::tuple<std::size_t, XVRegExprLight::statVal, const char*, std::size_t> statuses[] = {
        {0, XVRegExprLight::ok, "compiled", 0},
        {1, XVRegExprLight::syntaxError, "a class without its closing ']'", 1},
        {2, XVRegExprLight::ok, "compiled", 0},
        {3, XVRegExprLight::compileError, "a closure ('*', '+' or '?') after another closure", 2},
        {4, XVRegExprLight::syntaxError, "the pattern is empty", 0},
    };
    for (const auto& [i, code, reason, offset] : statuses) {
        EXPECT_EQ(set.status(i).code, code) << i;
        EXPECT_STREQ(set.status(i).reason, reason) << i;
        EXPECT_EQ(set.status(i).offset, offset) << i;
    }
    EXPECT_THROW(set.status(5), std::out_of_range);
    EXPECT_EQ(setFind(set, "xa[bab", 0), (SetHit{1, 3, 2}));
    EXPECT_TRUE(XVRegExprSet().ok());
    EXPECT_EQ(XVRegExprSet().firstFailure(), static_cast<std::size_t>(-1));
    // A pattern longer than the code array fails as XVRegExprLight's does.
    const XVRegExprSet tooLong({std::string(256, 'a')});
    EXPECT_EQ(tooLong.status(0).code, XVRegExprLight::compileError);
}

// Chosen cases of each rule: the text, the start, and the match (start, length, pattern).
TEST(PatternSetTest, LinesWordsAndWholeLines) {
    using O = XVRegExprSet::Options;
    const O lines{.lines = true};
    const std::tuple<std::vector<std::string>, O, std::string, std::size_t, SetHit> cases[] = {
        // Line mode: anchors at every line, nothing across a newline.
        {{"^b"}, lines, "ab\nb", 0, {3, 1, 0}},
        {{"^b"}, lines, "ab\nb", 1, {3, 1, 0}},
        {{"a$"}, lines, "xa\nb", 0, {1, 1, 0}},
        {{"a[^x]*b"}, lines, "a\nb ab", 0, {4, 2, 0}},
        {{"^$"}, lines, "a\n\nb\n", 0, {2, 0, 0}},
        {{"^$"}, lines, "a\n", 0, {}},  // a final newline starts no line
        {{"^$"}, lines, "", 0, {}},
        {{"^b"}, {}, "ab", 1, {1, 1, 0}},  // without line mode `^` binds to the start
        // Case-blind: a negated class leaves out both cases.
        {{"[^a]+"}, O{.ignoreCase = true}, "aAbB", 0, {2, 2, 0}},
        {{"ab"}, O{.ignoreCase = true}, "xaB", 0, {1, 2, 0}},
        // Whole words: the first match in the pattern's order that ends at a
        // word's edge, and the byte before the start counts.
        {{"foo[a-z]*"}, O{.words = true}, "foobar9 foox", 0, {8, 4, 0}},
        {{"a+"}, O{.words = true}, "aab aa", 0, {4, 2, 0}},
        {{"a+"}, O{.words = true}, "ba aa", 1, {3, 2, 0}},
        {{"x?"}, O{.words = true}, "ab", 0, {}},
        // Whole lines.
        {{"a+", "b"},
         O{.lines = true, .words = true, .wholeLines = true},
         "aab\nb\n",
         0,
         {4, 1, 1}},
        {{"a+"}, O{.wholeLines = true}, "baa", 1, {1, 2, 0}},
        // At one start the longest, then the lowest index.
        {{"ab", "abc", "abc"}, {}, "xabc", 0, {1, 3, 1}},
        {{"b", "ab"}, {}, "xab", 0, {1, 2, 1}},
    };
    for (const auto& [texts, options, text, from, expected] : cases)
        EXPECT_EQ(setFind(XVRegExprSet(texts, XVRegExprSet::lightPattern, options), text, from),
                  expected)
            << texts[0] << " in «" << text << "»";
    // Fixed strings: any bytes, and the empty string matches everywhere.
    const XVRegExprSet fixed({"a.c", std::string("\0z", 2), ""}, XVRegExprSet::fixedString);
    EXPECT_EQ(setFind(fixed, std::string("abc a.c \0z", 10), 1), (SetHit{1, 0, 2}));
    EXPECT_EQ(setFind(XVRegExprSet({"a.c", std::string("\0z", 2)}, XVRegExprSet::fixedString),
                      std::string("abc a.c \0z", 10), 1),
              (SetHit{4, 3, 0}));
    EXPECT_EQ(setFind(XVRegExprSet({"a\nb"}, XVRegExprSet::fixedString, lines), "a\nb", 0),
              SetHit{});
}

// Sets that would read long texts over and over: a literal run found at
// every position of a long run of letters, by a pattern whose matches run on
// through all of it; a fixed string that the text runs along without
// finishing; a pattern that may reach back without bound before its run.
TEST(PatternSetTest, LongTextsTakeLinearTime) {
    const std::string as(100000, 'a');
    const std::string fixed = std::string(300, 'a') + "b";
    const std::tuple<std::vector<std::string>, XVRegExprSet::Syntax, std::string, SetHit> cases[] =
        {
            {{"aaaa[a-z]*x"}, XVRegExprSet::lightPattern, as, {}},
            {{"aaaa[a-z]*x"}, XVRegExprSet::lightPattern, as + "x", {0, as.size() + 1, 0}},
            {{"[a-z]*aaaab", "aaaa[ab]*c"},
             XVRegExprSet::lightPattern,
             as + " aaaac",
             {as.size() + 1, 5, 1}},
            {{fixed, "ac"}, XVRegExprSet::fixedString, as, {}},
            {{fixed, "ac"}, XVRegExprSet::fixedString, as + "c", {as.size() - 1, 2, 1}},
        };
    for (const auto& [patterns, syntax, text, expected] : cases) {
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_EQ(setFind(XVRegExprSet(patterns, syntax), text, 0), expected) << patterns[0];
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(1)) << patterns[0];
    }
}

TEST(PatternSetTest, TextsStartsCopiesAndMoves) {
    XVRegExprSet set({"b+"});
    XVRegExprSet::Match m{7, 7, 7};
    EXPECT_FALSE(set.find("abb", 3, 4, &m));  // a start past the end
    EXPECT_EQ(m.start, 7u);                   // leaves the match alone
    EXPECT_TRUE(set.find("abb", 3, 2, &m));
    EXPECT_EQ(m.start, 2u);
    EXPECT_FALSE(set.find(nullptr, 0, 0, &m));
    EXPECT_THROW(set.find(nullptr, 1, 0, &m), std::invalid_argument);
    EXPECT_TRUE(set.matches("xb", 2));
    const XVRegExprSet copy(set);
    XVRegExprSet moved(std::move(set));
    EXPECT_TRUE(copy.matches("b", 1));
    EXPECT_TRUE(moved.matches("b", 1));
    EXPECT_EQ(set.size(), 0u);  // NOLINT: a moved-from set is the set of no pattern
    EXPECT_FALSE(set.matches("b", 1));
    set = copy;
    EXPECT_TRUE(set.matches("b", 1));
}

}  // namespace
}  // namespace xvkit::regexp
