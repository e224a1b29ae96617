// The literal automaton against a plain search for every string at every
// position: sets of short and long strings (so that both filters and every
// gram length and stride run), case-blind or not, with walks down the trie
// and with the automaton that takes over when the walks grow long.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "regexp/literal_set.h"

namespace xvkit::regexp {
namespace {

using Occurrence = std::pair<std::size_t, std::uint32_t>;  // start, id

unsigned char lowered(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Every occurrence from `p`, by start then id.
std::vector<Occurrence> plainSearch(const std::vector<std::string>& strings, bool caseBlind,
                                    const std::string& text, std::size_t p) {
    std::vector<Occurrence> found;
    for (std::size_t st = p; st < text.size(); ++st) {
        for (std::uint32_t id = 0; id < strings.size(); ++id) {
            const std::string& s = strings[id];
            if (st + s.size() > text.size())
                continue;
            bool same = true;
            for (std::size_t k = 0; k < s.size() && same; ++k) {
                const auto a = static_cast<unsigned char>(text[st + k]);
                const auto b = static_cast<unsigned char>(s[k]);
                same = caseBlind ? lowered(a) == lowered(b) : a == b;
            }
            if (same)
                found.emplace_back(st, id);
        }
    }
    return found;
}

// Collects occurrences, stopping after `limit` of them.
class Collector : public LiteralVisitor {
  public:
    explicit Collector(std::size_t limit = static_cast<std::size_t>(-1)) : limit_(limit) {}
    bool visit(std::size_t start, std::uint32_t id) override {
        found.emplace_back(start, id);
        return found.size() < limit_;
    }
    std::vector<Occurrence> found;

  private:
    std::size_t limit_;
};

// Collects the occurrences at the first start that has any, and wants none after.
class FirstStart : public Collector {
  public:
    bool wantsAfter(std::size_t /*start*/) override { return found.empty(); }
};

std::string randomString(std::mt19937& rng, std::size_t length, const std::string& alphabet) {
    std::string s(length, ' ');
    for (char& c : s)
        c = alphabet[rng() % alphabet.size()];
    return s;
}

TEST(LiteralSetTest, FindsEveryOccurrenceInOrder) {
    std::mt19937 rng(8);
    const std::string alphabet("abAB\0\n\xff", 7);
    const struct {
        std::size_t minLength, maxLength, maxCount;
        int rounds;
    } shapes[] = {
        {1, 3, 6, 200},    // short strings only
        {4, 12, 40, 200},  // long strings only, strides up to 9
        {1, 12, 40, 200},  // both
        {8, 20, 400, 40},  // many long strings: longer grams
    };
    int compared = 0, occurrences = 0, walks = 0;
    for (const auto& shape : shapes) {
        for (int round = 0; round < shape.rounds; ++round) {
            std::vector<std::string> strings(1 + rng() % shape.maxCount);
            for (std::string& s : strings) {
                const std::size_t length =
                    shape.minLength + rng() % (shape.maxLength - shape.minLength + 1);
                s = randomString(rng, length, alphabet);
            }
            const bool caseBlind = rng() % 2 == 0;
            const LiteralSet set(strings, caseBlind);
            for (int t = 0; t < 4; ++t) {
                // Occurrences planted in noise, at every offset of the blocks.
                std::string text = randomString(rng, rng() % 300, alphabet);
                for (int k = 0; k < 6 && !text.empty(); ++k) {
                    const std::string& s = strings[rng() % strings.size()];
                    text.replace(rng() % text.size(), s.size(), s);
                }
                const std::size_t p = rng() % 3 == 0 ? rng() % (text.size() + 1) : 0;
                Collector all;
                const LiteralScan how = set.scan(
                    reinterpret_cast<const unsigned char*>(text.data()), text.size(), p, all);
                walks += how == (strings.size() == 1 ? LiteralScan::oneString : LiteralScan::walks);
                ASSERT_TRUE(std::is_sorted(
                    all.found.begin(), all.found.end(),
                    [](const Occurrence& a, const Occurrence& b) { return a.first < b.first; }));
                std::sort(all.found.begin(), all.found.end());
                ASSERT_EQ(all.found, plainSearch(strings, caseBlind, text, p))
                    << strings.size() << " strings, the first «" << strings[0] << "»";
                FirstStart first;
                set.scan(reinterpret_cast<const unsigned char*>(text.data()), text.size(), p,
                         first);
                std::sort(first.found.begin(), first.found.end());
                std::vector<Occurrence> atFirst;
                for (const Occurrence& o : all.found) {
                    if (o.first == all.found.front().first)
                        atFirst.push_back(o);
                }
                ASSERT_EQ(first.found, atFirst);
                ++compared;
                occurrences += static_cast<int>(all.found.size());
            }
        }
    }
    EXPECT_GT(occurrences, compared * 3);
    // Short texts never need the automaton; a set of one string never builds it.
    EXPECT_EQ(walks, compared);
}

// Strings that the text runs along for long without finishing: the walks
// would take the text length times the string length, so the automaton runs
// instead; it finds the same occurrences, in the same order. With "ba" the
// filters choose the starts, with "baa" the prefix fingerprints.
TEST(LiteralSetTest, TheAutomatonTakesOverFromLongWalks) {
    std::string text(20000, 'a');
    text[5000] = 'b';
    text[9000] = 'c';
    text += "ab";
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (const char* shortest : {"ba", "baa"}) {
        const std::vector<std::string> strings = {std::string(300, 'a') + "b", "aab", shortest,
                                                  std::string(40, 'a') + "c"};
        const LiteralSet set(strings, false);
        for (const std::size_t p : {std::size_t{0}, std::size_t{4999}, std::size_t{8000}}) {
            Collector all;
            EXPECT_EQ(set.scan(bytes, text.size(), p, all), LiteralScan::automaton) << p;
            EXPECT_TRUE(std::is_sorted(
                all.found.begin(), all.found.end(),
                [](const Occurrence& a, const Occurrence& b) { return a.first < b.first; }));
            const std::vector<Occurrence> expected = plainSearch(strings, false, text, p);
            std::sort(all.found.begin(), all.found.end());
            EXPECT_EQ(all.found, expected) << p;
            // A visitor that stops at the first gets the leftmost.
            Collector first(1);
            set.scan(bytes, text.size(), p, first);
            ASSERT_EQ(first.found.size(), 1u);
            EXPECT_EQ(first.found[0].first, expected[0].first) << p;
        }
    }
}

}  // namespace
}  // namespace xvkit::regexp
