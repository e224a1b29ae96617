// The search behind XVRegExprSet: many patterns, each a light regular
// expression or a fixed string, compiled under one set of match rules, and
// searched together for the leftmost match of any of them.
//
// Each pattern takes one of these roles:
//   - literal: a fixed string, or a light pattern that is a plain literal;
//     one LiteralSet finds them all, and a match is where one occurs (and
//     the rules allow it);
//   - triggered: a light pattern every match of which holds a literal run
//     (its trigger) rare enough to look for; the same LiteralSet finds the
//     triggers, and each occurrence bounds where a match may start (from
//     what the items before the run may take), which the lock-step search
//     then settles for that pattern alone;
//   - scanned: any other light pattern, searched on its own (first for the
//     rarest character it needs, then with its tables, which each thread
//     keeps for the sets it searched with lately), only up to the best start
//     found so far;
//   - at start: a literal that the rules bind to the search start (whole
//     lines without line mode), compared there;
//   - empty: the empty fixed string, which matches wherever the rules allow;
//   - never: a pattern that failed to compile, or that no text can match.
// The literal scan goes in order of start, so it stops as soon as no later
// occurrence can start a match before the best one found.

#ifndef XVKIT_SRC_REGEXP_PATTERN_SET_H_
#define XVKIT_SRC_REGEXP_PATTERN_SET_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "byte_map.h"
#include "literal_set.h"
#include "match_rules.h"
#include "pattern_compiler.h"
#include "program.h"

namespace xvkit::regexp {

struct SetMatch {
    std::size_t start;
    std::size_t length;
    std::size_t pattern;
};

struct PatternSource {
    std::string_view text;  // a light pattern is read up to its first NUL
    bool fixed;             // a fixed string rather than a light pattern
};

class PatternSet {
  public:
    enum class Role : unsigned char { never, empty, literal, atStart, triggered, scanned };

    PatternSet(const std::vector<PatternSource>& sources, const MatchRules& rules);
    ~PatternSet();
    PatternSet(const PatternSet&) = delete;
    PatternSet& operator=(const PatternSet&) = delete;

    std::size_t size() const { return patterns_.size(); }
    // How pattern `i` compiled (a fixed string always compiles).
    const CompileResult& compiled(std::size_t i) const { return patterns_[i].result; }

    // The leftmost match at or after `start` <= `size` of the `size` bytes of
    // `text`: the leftmost start, then the longest, then the lowest index.
    // With `anyMatch`, the first match found, whichever it is. Stores in
    // `*decidedBy`, unless it is null, the role of the pattern that matched,
    // so that tests can tell that each is reached.
    bool find(const unsigned char* text, std::size_t size, std::size_t start, bool anyMatch,
              SetMatch* match, Role* decidedBy = nullptr) const;

  private:
    static constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1);

    struct Pattern {
        CompileResult result{0, CompileFailure::none, 0};
        Role role = Role::never;
        std::unique_ptr<Program> program;
        // literal, at start and empty: the bytes (lowered when case-blind),
        // and where a match may start and end.
        std::string literal;
        Boundaries boundaries;
        // triggered: how many characters the items before the trigger take
        // (at least, at most), and which.
        std::size_t minBefore = 0;
        std::size_t maxBefore = 0;
        ByteMap before;
    };

    class Search;
    friend class Search;

    void classifyFixed(Pattern& pattern, std::string_view text);
    // `rareTrigger`: how often (per position) a literal run shorter than
    // four bytes may occur in common text and still be a trigger.
    void classifyLight(Pattern& pattern, std::string_view source, double rareTrigger);

    MatchRules rules_;
    std::uint64_t serial_;
    std::vector<Pattern> patterns_;
    std::unique_ptr<LiteralSet> literals_;
    std::vector<std::uint32_t> literalPattern_;  // the pattern of each literal
    // Patterns settled before the literal scan (empty, at start, anchored
    // scanned ones: they cost little and may bound it), and after it.
    std::vector<std::uint32_t> first_;
    std::vector<std::uint32_t> scanned_;
    // How far before its trigger a triggered pattern's match may start: at
    // most maxBoundedBefore_, or over characters of unboundedBefore_.
    std::size_t maxBoundedBefore_ = 0;
    bool anyUnbounded_ = false;
    ByteMap unboundedBefore_;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_PATTERN_SET_H_
