// Many literal strings found together in a text, in order of where they
// start: the fixed strings of a pattern set, and the literal runs its light
// patterns must contain.
//
// Every string is in one trie (an Aho-Corasick automaton, with failure
// links); a walk down it from a position finds every string that starts
// there. Filters choose the positions worth a walk:
//   - strings of four bytes or more: their first bytes are hashed a gram (4
//     to 8 bytes, more for larger sets) at a time into a filter of bits, at
//     each offset from 0 to the stride minus one, where the stride is the
//     shortest such string's length minus the gram plus one. Any occurrence
//     then covers one text position that is a multiple of the stride away
//     from the search start, at one of those offsets, so only every
//     stride-th position is hashed; a hit is checked against the exact
//     grams, which give the offsets and so the starts;
//   - shorter strings: a vector scan for their first bytes, then a table of
//     their first two.
// When the walks turn out long (many starts whose text runs along a string
// without finishing it), the search runs the automaton over the text
// instead, which reads each byte once: the time stays linear in the text.
// A set of one string (grep's everyday case) skips all of this: a vector
// scan for two of its rarer bytes finds it, as XVRegExprLight finds a
// pattern's leading literal. A set of a few strings of three bytes or more
// takes its candidates from a vector scan of their first bytes' nibbles
// (PrefixFingerprints) instead of the filters.

#ifndef XVKIT_SRC_REGEXP_LITERAL_SET_H_
#define XVKIT_SRC_REGEXP_LITERAL_SET_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_scan.h"

namespace xvkit::regexp {

// Receives the occurrences of a scan; returns false to stop it.
class LiteralVisitor {
  public:
    virtual bool visit(std::size_t start, std::uint32_t id) = 0;
    // Asked, while the scan finds strings by where they start, once every
    // string that starts at `start` has been visited: whether occurrences
    // that start later are still wanted. A search that has its match stops
    // there instead of looking for the next occurrence.
    virtual bool wantsAfter(std::size_t /*start*/) { return true; }

  protected:
    ~LiteralVisitor() = default;
};

// What found the occurrences of a scan: walks down the trie from the
// candidates of the filters, (from some position on) the automaton, or the
// vector scan for the one string of the set.
enum class LiteralScan { walks, automaton, oneString };

class LiteralSet {
  public:
    // `strings` are non-empty; string k gets the id k. When `caseBlind`,
    // ASCII letters match either case.
    LiteralSet(const std::vector<std::string>& strings, bool caseBlind);
    // The finder of a one-string set points into the set.
    LiteralSet(const LiteralSet&) = delete;
    LiteralSet& operator=(const LiteralSet&) = delete;

    std::size_t size() const { return lengths_.size(); }
    std::size_t length(std::uint32_t id) const { return lengths_[id]; }
    std::size_t longest() const { return longest_; }

    // Visits every occurrence that starts at or after `p` in the `n` bytes of
    // `text` (and lies within them), in order of their starts (those at one
    // start in any order), until the visitor says stop.
    LiteralScan scan(const unsigned char* text, std::size_t n, std::size_t p,
                     LiteralVisitor& visitor) const;

  private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    // The shortest and longest gram, and the longest stride.
    static constexpr std::size_t kMinGram = 4;
    static constexpr std::size_t kMaxGram = 8;
    static constexpr std::size_t kMaxStride = 16;

    struct Node {
        std::uint32_t firstEdge = 0;
        std::uint32_t edgeCount = 0;
        std::uint32_t fail = 0;
        // The ids of the strings that end here: ids_[firstId, firstId + idCount).
        std::uint32_t firstId = 0;
        std::uint32_t idCount = 0;
        // The nearest node along the failure links, this one apart, where a
        // string ends; kNone when there is none.
        std::uint32_t dictionary = kNone;
        std::uint32_t depth = 0;
    };
    struct Edge {
        unsigned char byte;
        std::uint32_t child;
    };

    class Scanner;
    friend class Scanner;

    unsigned char fold(unsigned char c) const { return fold_[c]; }
    std::uint32_t child(std::uint32_t node, unsigned char c) const;
    // `folded`: the strings as fold() maps their bytes.
    void build(const std::vector<std::string>& folded);
    void buildFailureLinks();
    void buildFilters(const std::vector<std::string>& folded);
    // The gram at `at`, of which `available` bytes lie in the text.
    std::uint64_t gram(const unsigned char* at, std::size_t available) const;
    static std::uint64_t gramHash(std::uint64_t gram) { return gram * 0x9E3779B97F4A7C15u; }
    bool mayHold(std::uint64_t hash) const;
    // The offsets at which strings hold `gram` among their first bytes, as bits.
    std::uint32_t gramOffsets(std::uint64_t gram, std::uint64_t hash) const;

    bool caseBlind_;
    unsigned char fold_[256];
    std::vector<std::size_t> lengths_;
    std::size_t longest_ = 0;
    // The trie; node 0 is the root, whose children are also in rootChild_.
    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    std::vector<std::uint32_t> ids_;
    std::uint32_t rootChild_[256];

    // Strings of kMinGram bytes or more.
    bool haveLong_ = false;
    std::size_t gramLength_ = kMinGram;
    std::uint64_t gramMask_ = 0;
    std::size_t stride_ = 1;
    // A Bloom filter of the grams, two bits in one word for each.
    int filterShift_ = 0;
    std::vector<std::uint64_t> filter_;
    // Open addressing over the exact grams and their offsets (none when free).
    struct GramOffsets {
        std::uint64_t gram;
        std::uint32_t offsets;
    };
    int gramTableShift_ = 0;
    std::vector<GramOffsets> grams_;
    // Shorter strings: their first bytes, and their first two (a string of
    // one byte sets every pair it begins).
    bool haveShort_ = false;
    ByteClassFinder shortFirst_;
    std::vector<std::uint64_t> shortPairs_;

    // A set of a few strings, none shorter than the fingerprints.
    bool fewStrings_ = false;
    PrefixFingerprints fingerprints_;

    // A set of one string of at most kMaxLiteral bytes: the string (lowered
    // when case blind) and its finder.
    bool oneString_ = false;
    std::string only_;
    LiteralFinder onlyFinder_;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_LITERAL_SET_H_
