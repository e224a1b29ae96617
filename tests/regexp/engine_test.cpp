// Each search engine called directly, and the public search, against the plain
// backtracking interpreter on random searches, under every combination of
// match rules; and which engine decides a public search, so that a changed
// threshold cannot leave one of them untested.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include <xvkit/xvregexp.h>

#include "reference_matcher.h"
#include "regexp/code_reader.h"
#include "regexp/dfa_search.h"
#include "regexp/light_matcher.h"
#include "regexp/lockstep_search.h"
#include "regexp/pattern_compiler.h"
#include "regexp/program.h"
#include "regexp_draws.h"

namespace xvkit::regexp {

void PrintTo(Engine engine, std::ostream* out) {
    const char* names[] = {"anchoredHead", "literalScan", "requiredScan", "tables", "lockstep"};
    *out << names[static_cast<int>(engine)];
}

namespace {

using reference::kNoMatch;
using Found = std::pair<std::size_t, std::size_t>;  // start and length; kNoMatch and 0 for none

Found found(bool hit, std::size_t at, std::size_t length) {
    return hit ? Found{at, length} : Found{kNoMatch, 0};
}

// A pattern compiled for the public class and decoded under `rules` for the
// engines, with one table-driven searcher that keeps its tables from search
// to search.
struct Compiled {
    Compiled(std::string p, const MatchRules& r = {},
             std::size_t budget = DfaSearcher::kDefaultBudget)
        : pattern(std::move(p)), rules(r), re(pattern.c_str()) {
        status = compilePattern(pattern.c_str(), code, 256, {.caseBlindClasses = rules.caseBlind})
                     .status;
        if (status == 0) {
            program = std::make_unique<Program>(code, rules);
            tables = std::make_unique<DfaSearcher>(*program, budget);
        }
    }
    bool plain() const {
        return !rules.lines && !rules.caseBlind && !rules.words && !rules.wholeLines;
    }

    std::string pattern;
    MatchRules rules;
    XVRegExprLight re;
    unsigned short code[256] = {};
    int status = 0;
    std::unique_ptr<Program> program;
    std::unique_ptr<DfaSearcher> tables;
};

struct Tally {
    int compared = 0, matched = 0;
    int decided[static_cast<int>(Engine::lockstep) + 1] = {};
};

// Runs every engine that applies on one search, each against the
// interpreter (and, for plain rules, the public search too); reports every
// difference and returns false.
bool everyEngineAgrees(Compiled& c, const std::string& text, std::size_t from,
                       std::size_t lastStart, Tally& tally) {
    std::size_t length = 77;
    std::size_t at = reference::referenceIndex(c.code, text, &length, from, c.rules);
    bool agree = true;
    const auto expect = [&](const char* engine, const Found& got, const Found& want) {
        if (got == want)
            return;
        agree = false;
        ADD_FAILURE() << engine << ": pattern «" << c.pattern << "» rules " << rulesName(c.rules)
                      << " text «" << text << "» from " << from << " last start " << lastStart
                      << ": got " << static_cast<long long>(got.first) << "/" << got.second
                      << ", expected " << static_cast<long long>(want.first) << "/" << want.second;
    };
    if (c.plain()) {
        std::size_t publicLength = 77;  // left alone for a start past the end
        expect("index", {c.re.index(text, &publicLength, from), publicLength}, {at, length});
    }
    // The engines take the text as a set search gives it to them.
    std::size_t n = text.size();
    if (c.rules.lines && n > 0 && text[n - 1] == '\n')
        --n;
    if (from > n || (c.rules.lines && text.empty()))
        return agree;
    ++tally.compared;
    tally.matched += at != kNoMatch;
    const Found whole{at, length};
    const Found limited = at != kNoMatch && at <= lastStart ? whole : Found{kNoMatch, 0};

    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const Program& program = *c.program;
    std::size_t s = 0, l = 0;
    if (c.plain()) {
        Engine engine{};
        const bool hit = search(c.code, text.data(), n, from, &s, &l, &engine);
        expect("search", found(hit, s, l), whole);
        ++tally.decided[static_cast<int>(engine)];
        if (beginsWithAnchor(c.code)) {
            const HeadOutcome head = matchAnchoredHead(c.code, bytes, n, from, &l);
            if (head != HeadOutcome::undecided)
                expect("anchored head", found(head == HeadOutcome::found, from, l), whole);
        } else if (program.pureLiteral()) {
            const std::size_t literal = program.findPrefix(bytes, n, from);
            expect("literal scan", found(literal != kNoPosition, literal, program.prefixLength()),
                   whole);
        }
    }
    if (!program.anchored()) {
        // The required scan may skip only starts before the leftmost match.
        const std::size_t earliest = program.earliestStart(bytes, n, from);
        if (earliest == kNoPosition ? at != kNoMatch : earliest < from || earliest > at)
            expect("required scan", {earliest, 0}, whole);
    }
    bool hit = lockstepSearch(program, bytes, n, from, &s, &l);
    expect("lockstep", found(hit, s, l), whole);
    hit = lockstepSearch(program, bytes, n, from, lastStart, &s, &l);
    expect("lockstep to a last start", found(hit, s, l), limited);
    hit = c.tables->search(bytes, n, from, &s, &l);
    expect("tables", found(hit, s, l), whole);
    hit = c.tables->search(bytes, n, from, lastStart, &s, &l);
    expect("tables to a last start", found(hit, s, l), limited);
    return agree;
}

TEST(EngineTest, EveryEngineAgreesWithTheInterpreter) {
    // Closures are limited where texts are long: the interpreter backtracks.
    const struct {
        unsigned seed;
        int rounds, maxItems, maxClosures, searches;
        std::size_t minLength, maxLength;
        bool withRules;
        std::size_t budget;
        int minCompared;
    } draws[] = {
        {20261206, 12000, 6, 99, 4, 0, 12, false, DfaSearcher::kDefaultBudget, 35000},
        // Long enough for the table-driven search.
        {7, 3000, 4, 99, 4, 32, 70, false, DfaSearcher::kDefaultBudget, 9000},
        // Many searches with one pattern reuse its tables, which grow from
        // search to search and change how the search skips ahead.
        {2027, 400, 5, 2, 24, 32, 400, false, DfaSearcher::kDefaultBudget, 5000},
        // Line mode, case-blindness, whole words and whole lines.
        {31, 12000, 6, 99, 4, 0, 16, true, DfaSearcher::kDefaultBudget, 35000},
        // Tables so small that searches empty them and go on.
        {61, 1500, 6, 3, 8, 20, 120, true, 1024, 8000},
    };
    Tally tally;
    for (const auto& draw : draws) {
        std::mt19937 rng(draw.seed);
        const int compared = tally.compared;
        const int matched = tally.matched;
        std::size_t resets = 0;
        for (int round = 0; round < draw.rounds; ++round) {
            int closures = 0;
            const MatchRules rules = draw.withRules ? randomRules(rng) : MatchRules{};
            Compiled c(randomPattern(rng, draw.maxItems, &closures), rules, draw.budget);
            ASSERT_EQ(static_cast<int>(c.re.status()), c.status) << c.pattern;
            if (c.status != 0 || closures > draw.maxClosures)
                continue;
            for (int t = 0; t < draw.searches; ++t) {
                const std::string text = randomText(rng, draw.minLength, draw.maxLength);
                const std::size_t from = rng() % 4 == 0 ? rng() % (text.size() + 2) : 0;
                const std::size_t lastStart = rng() % (text.size() + 1);
                ASSERT_TRUE(everyEngineAgrees(c, text, from, lastStart, tally));
            }
            resets += c.tables->resets();
        }
        // The generator must exercise both outcomes substantially.
        const int drawCompared = tally.compared - compared;
        EXPECT_GT(drawCompared, draw.minCompared) << draw.seed;
        EXPECT_GT(tally.matched - matched, drawCompared / 10) << draw.seed;
        EXPECT_LT(tally.matched - matched, drawCompared * 9 / 10) << draw.seed;
        if (draw.budget < DfaSearcher::kDefaultBudget) {
            EXPECT_GT(resets, 100u) << draw.seed;
        }
    }
    // Every engine decided a fair share of the public searches.
    for (int engine = 0; engine < static_cast<int>(std::size(tally.decided)); ++engine)
        EXPECT_GT(tally.decided[engine], 500) << testing::PrintToString(Engine(engine));
}

Found publicSearch(const std::string& pattern, const std::string& text, std::size_t from,
                   Engine* engine) {
    const Compiled c{pattern};
    std::size_t s = 0, l = 0;
    const bool hit = search(c.code, text.data(), text.size(), from, &s, &l, engine);
    return found(hit, s, l);
}

// Which engine decides a public search, on inputs searched in order on one
// thread (its cache holds the patterns searched lately), so that a changed
// threshold (32 characters, the cache) fails a row. The search reports its
// engine, as the choice also depends on what happens on the way (an anchored
// head that cannot decide).
TEST(EngineTest, EachEngineDecidesItsSearches) {
    std::mt19937 rng(11);
    const std::string manyStates = "[ab]*a[ab][ab][ab][ab][ab][ab][ab][ab]c?";
    const std::string manyStatesText = randomText(rng, 2000, 2000, "ab");
    const std::tuple<std::string, std::string, std::size_t, Engine> searches[] = {
        {"^ab", "abc", 0, Engine::anchoredHead},
        {"^ab", "xb", 0, Engine::anchoredHead},
        {"^a*b", "aab", 0, Engine::lockstep},  // a new pattern on a short text
        {"^a*b", "aab", 0, Engine::tables},    // the same pattern again
        {"needle", "a needle", 0, Engine::literalScan},
        {"e", "a needle", 0, Engine::literalScan},                 // one character is a literal too
        {"[e]", "a needle", 0, Engine::literalScan},               // and so is a class of one
        {"a*b", std::string(30, 'a') + "b", 0, Engine::lockstep},  // 31 characters
        {"[0-9]+x", "no digit", 0, Engine::requiredScan},
        {"a*b", std::string(31, 'a') + "b", 0, Engine::tables},  // 32 characters
        {"a*b", "xab", 3, Engine::requiredScan},
        {"a*", "aa", 0, Engine::lockstep},
        {"a*", "aa", 2, Engine::lockstep},  // the tables need a character to start from
        // More states than fit in a few kilobytes; the tables grow.
        {manyStates, manyStatesText, 0, Engine::tables},
    };
    for (const auto& [pattern, text, from, expected] : searches) {
        const Compiled c{pattern};
        std::size_t length = 0;
        const std::size_t at = reference::referenceIndex(c.code, text, &length, from);
        Engine engine{};
        EXPECT_EQ(publicSearch(pattern, text, from, &engine), Found(at, length))
            << pattern << " on " << text;
        EXPECT_EQ(engine, expected) << pattern << " on " << text;
    }
}

// A thread keeps the tables of the last eight patterns it searched with: on a
// short text a kept pattern runs its tables, a new or dropped one the
// lock-step search.
TEST(EngineTest, TheCacheKeepsTheLastEightPatterns) {
    const auto engineOf = [](const std::string& pattern) {
        Engine engine{};
        const Found result = publicSearch(pattern, "xxab", 0, &engine);
        EXPECT_EQ(result, Found(2, 2)) << pattern;
        return engine;
    };
    const auto pattern = [](int k) {
        std::string text = "a";
        for (int y = 0; y <= k; ++y)
            text += "y?";
        return text + "b";
    };
    for (int k = 0; k < kCachedPatterns; ++k)
        EXPECT_EQ(engineOf(pattern(k)), Engine::lockstep) << k;
    for (int k = 0; k < kCachedPatterns; ++k)
        EXPECT_EQ(engineOf(pattern(k)), Engine::tables) << k;
    // A ninth pattern takes the place of the one used longest ago.
    EXPECT_EQ(engineOf(pattern(kCachedPatterns)), Engine::lockstep);
    EXPECT_EQ(engineOf(pattern(1)), Engine::tables);
    EXPECT_EQ(engineOf(pattern(0)), Engine::lockstep);
}

// The tables of a pattern with more states than its budget holds are emptied
// and refilled as a search goes, which still finds the interpreter's match,
// and keep working for later searches.
TEST(EngineTest, TablesStartOverWhenTheBudgetIsSpent) {
    std::mt19937 rng(3);
    const Compiled c("[ab]*a[ab][ab][ab][ab][ab][ab]x", {}, 2048);
    for (int round = 0; round < 2; ++round) {
        std::string text = randomText(rng, 1000, 1000, "ab") + "ax";
        std::size_t length = 0;
        const std::size_t at = reference::referenceIndex(c.code, text, &length, 0);
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        std::size_t s = 0, l = 0;
        const bool hit = c.tables->search(bytes, text.size(), 0, &s, &l);
        EXPECT_EQ(found(hit, s, l), Found(at, length));
    }
    EXPECT_GT(c.tables->resets(), 0u);
    EXPECT_LT(c.tables->stateCount(), 2048u / 16);
}

}  // namespace
}  // namespace xvkit::regexp
