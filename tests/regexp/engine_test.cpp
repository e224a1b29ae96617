// Each search engine called directly, and the public search, against the plain
// backtracking interpreter on random searches; and which engine decides a public
// search, so that a changed threshold cannot leave one of them untested.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include <xvkit/xvregexp.h>

#include "reference_matcher.h"
#include "regexp/dfa_search.h"
#include "regexp/light_matcher.h"
#include "regexp/lockstep_search.h"
#include "regexp/program.h"

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

// Pattern pieces chosen so that random combinations meet each other often.
const char* const kItems[] = {"a",        "b",   "c",   ".",     "[ab]",  "[^a]",  "[a-c]",
                              "[^\\n]",   "\\0", "\\n", "\\x61", "\\142", "[b-a]", "\\.",
                              "[\\0b]",   "[^]", "^",   "$",     "\xe9",  "\\xff", "[\\x80-\\xff]",
                              "[^\\xe9a]"};
const char* const kClosures[] = {"", "", "", "*", "+", "?"};
// Letters, a newline, a NUL, a dot and two bytes above 127.
constexpr char kTextAlphabet[] = "abc\n\0.\xe9\xff";

// A random pattern of up to `maxItems` items, with the count of its closures.
std::string randomPattern(std::mt19937& rng, int maxItems, int* closures) {
    std::string pattern = rng() % 4 == 0 ? "^" : "";
    *closures = 0;
    const int items = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxItems));
    for (int k = 0; k < items; ++k) {
        pattern += kItems[rng() % std::size(kItems)];
        const char* closure = kClosures[rng() % std::size(kClosures)];
        pattern += closure;
        *closures += *closure != '\0';
    }
    return rng() % 4 == 0 ? pattern + "$" : pattern;
}

std::string randomText(std::mt19937& rng, std::size_t minLength, std::size_t maxLength,
                       const std::string& alphabet) {
    std::string text(minLength + rng() % (maxLength - minLength + 1), ' ');
    for (char& c : text)
        c = alphabet[rng() % alphabet.size()];
    return text;
}

// A pattern compiled for the public class and decoded for the engines, with
// one table-driven searcher that keeps its tables from search to search.
struct Compiled {
    std::string pattern;
    XVRegExprLight re{pattern.c_str()};
    unsigned short code[256] = {};
    int status = XREMakePattern(pattern.c_str(), code, 256);
    std::unique_ptr<Program> program = status == 0 ? std::make_unique<Program>(code) : nullptr;
    std::unique_ptr<DfaSearcher> tables =
        program ? std::make_unique<DfaSearcher>(*program) : nullptr;
};

struct Tally {
    int compared = 0, matched = 0;
    int decided[static_cast<int>(Engine::lockstep) + 1] = {};
};

// Runs the public search and every engine that applies on one search, each
// against the interpreter; reports every difference and returns false.
bool everyEngineAgrees(Compiled& c, const std::string& text, std::size_t from, Tally& tally) {
    std::size_t length = 77;
    const std::size_t at = reference::referenceIndex(c.code, text, &length, from);
    bool agree = true;
    const auto expect = [&](const char* engine, const Found& got) {
        if (got == Found{at, length})
            return;
        agree = false;
        ADD_FAILURE() << engine << ": pattern «" << c.pattern << "» text «" << text << "» from "
                      << from << ": got " << static_cast<long long>(got.first) << "/" << got.second
                      << ", expected " << static_cast<long long>(at) << "/" << length;
    };
    std::size_t publicLength = 77;  // left alone for a start past the end
    expect("index", {c.re.index(text, &publicLength, from), publicLength});
    const std::size_t n = text.size();
    if (from > n)
        return agree;
    ++tally.compared;
    tally.matched += at != kNoMatch;

    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const Program& program = *c.program;
    std::size_t s = 0, l = 0;
    Engine engine{};
    const bool hit = search(c.code, text.data(), n, from, &s, &l, &engine);
    expect("search", found(hit, s, l));
    ++tally.decided[static_cast<int>(engine)];
    const bool lockstepHit = lockstepSearch(program, bytes, n, from, &s, &l);
    expect("lockstep", found(lockstepHit, s, l));
    if (c.code[0] == kXRECodeBeginAnchor) {
        const HeadOutcome head = matchAnchoredHead(c.code, bytes, n, from, &l);
        if (head != HeadOutcome::undecided)
            expect("anchored head", found(head == HeadOutcome::found, from, l));
    } else if (program.pureLiteral()) {
        const std::size_t literal = program.findPrefix(bytes, n, from);
        expect("literal scan", found(literal != kNoPosition, literal, program.prefixLength()));
    } else {
        // The required scan may skip only starts before the leftmost match.
        const std::size_t earliest = program.earliestStart(bytes, n, from);
        if (earliest == kNoPosition ? at != kNoMatch : earliest < from || earliest > at)
            expect("required scan", {earliest, 0});
    }
    if (from < n) {
        const DfaOutcome outcome = c.tables->search(bytes, n, from, &s, &l);
        if (outcome != DfaOutcome::tooManyStates)
            expect("tables", found(outcome == DfaOutcome::found, s, l));
    }
    return agree;
}

TEST(EngineTest, EveryEngineAgreesWithTheInterpreter) {
    const std::string alphabet(kTextAlphabet, sizeof kTextAlphabet - 1);
    // Closures are limited where texts are long: the interpreter backtracks.
    const struct {
        unsigned seed;
        int rounds, maxItems, maxClosures, searches;
        std::size_t minLength, maxLength;
        int minCompared;
    } draws[] = {
        {20261206, 20000, 6, 99, 4, 0, 12, 60000},
        // Long enough for the table-driven search.
        {7, 5000, 4, 99, 4, 32, 70, 15000},
        // Many searches with one pattern reuse its tables, which grow from
        // search to search and change how the search skips ahead.
        {2027, 600, 5, 2, 24, 32, 400, 8000},
    };
    Tally tally;
    for (const auto& draw : draws) {
        std::mt19937 rng(draw.seed);
        const int compared = tally.compared;
        const int matched = tally.matched;
        for (int round = 0; round < draw.rounds; ++round) {
            int closures = 0;
            Compiled c{randomPattern(rng, draw.maxItems, &closures)};
            ASSERT_EQ(static_cast<int>(c.re.status()), c.status) << c.pattern;
            if (c.status != 0 || closures > draw.maxClosures)
                continue;
            for (int t = 0; t < draw.searches; ++t) {
                const std::string text = randomText(rng, draw.minLength, draw.maxLength, alphabet);
                const std::size_t from = rng() % 4 == 0 ? rng() % (text.size() + 2) : 0;
                ASSERT_TRUE(everyEngineAgrees(c, text, from, tally));
            }
        }
        // The generator must exercise both outcomes substantially.
        const int drawCompared = tally.compared - compared;
        EXPECT_GT(drawCompared, draw.minCompared) << draw.seed;
        EXPECT_GT(tally.matched - matched, drawCompared / 10) << draw.seed;
        EXPECT_LT(tally.matched - matched, drawCompared * 9 / 10) << draw.seed;
    }
    // Every engine decided a fair share of the public searches.
    for (int engine = 0; engine < static_cast<int>(std::size(tally.decided)); ++engine)
        EXPECT_GT(tally.decided[engine], 1000) << testing::PrintToString(Engine(engine));
}

// Which engine decides a public search, on inputs searched in order on one
// thread (its cache holds the pattern searched last), so that a changed
// threshold (32 characters, the cache, the overflow count) fails a row. The
// search reports its engine, as the choice also depends on what happens on the
// way (an anchored head that cannot decide, tables that give up).
TEST(EngineTest, EachEngineDecidesItsSearches) {
    std::mt19937 rng(11);
    const std::string manyStates = "[ab]*a[ab][ab][ab][ab][ab][ab]c?";
    const std::string overflowing = randomText(rng, 200, 200, "ab");
    const std::string fewStates = "a" + std::string(40, 'c');
    const std::tuple<std::string, std::string, std::size_t, Engine> searches[] = {
        {"^ab", "abc", 0, Engine::anchoredHead},
        {"^ab", "xb", 0, Engine::anchoredHead},
        {"^a*b", "aab", 0, Engine::lockstep},  // a new pattern on a short text
        {"^a*b", "aab", 0, Engine::tables},    // the same pattern again
        {"needle", "a needle", 0, Engine::literalScan},
        {"e", "a needle", 0, Engine::literalScan},                 // one character is a literal too
        {"a*b", std::string(30, 'a') + "b", 0, Engine::lockstep},  // 31 characters
        {"[0-9]+x", "no digit", 0, Engine::requiredScan},
        {"a*b", std::string(31, 'a') + "b", 0, Engine::tables},  // 32 characters
        {"a*b", "xab", 3, Engine::requiredScan},
        {"a*", "aa", 0, Engine::lockstep},
        {"a*", "aa", 2, Engine::lockstep},  // the tables need a character to start from
        {manyStates, fewStates, 0, Engine::tables},
        {manyStates, overflowing, 0, Engine::lockstep},  // after the tables gave up
        {manyStates, overflowing, 0, Engine::lockstep},
        {manyStates, fewStates, 0, Engine::lockstep},  // the tables gave up twice
    };
    for (const auto& [pattern, text, from, expected] : searches) {
        const Compiled c{pattern};
        std::size_t length = 0;
        const std::size_t at = reference::referenceIndex(c.code, text, &length, from);
        std::size_t s = 0, l = 0;
        Engine engine{};
        const bool hit = search(c.code, text.data(), text.size(), from, &s, &l, &engine);
        EXPECT_EQ(engine, expected) << pattern << " on " << text;
        EXPECT_EQ(found(hit, s, l), Found(at, length)) << pattern << " on " << text;
    }
}

}  // namespace
}  // namespace xvkit::regexp
