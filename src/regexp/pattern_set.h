// The search behind XVRegExprSet: many patterns, each a light regular
// expression or a fixed string, compiled under one set of match rules, and
// searched together for the leftmost match of any of them.

#ifndef XVKIT_SRC_REGEXP_PATTERN_SET_H_
#define XVKIT_SRC_REGEXP_PATTERN_SET_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    PatternSet(const std::vector<PatternSource>& sources, const MatchRules& rules);
    ~PatternSet();
    PatternSet(const PatternSet&) = delete;
    PatternSet& operator=(const PatternSet&) = delete;

    std::size_t size() const { return patterns_.size(); }
    // How pattern `i` compiled (a fixed string always compiles).
    const CompileResult& compiled(std::size_t i) const { return patterns_[i].result; }

    // The leftmost match at or after `start` <= `size` of the `size` bytes of
    // `text`: the leftmost start, then the longest, then the lowest index.
    bool find(const unsigned char* text, std::size_t size, std::size_t start,
              SetMatch* match) const;

  private:
    struct Pattern {
        CompileResult result;
        std::unique_ptr<Program> program;  // a light pattern that compiled
        bool fixed = false;
        std::string bytes;  // a fixed string, lowered when case-blind
        Boundaries boundaries;
        bool matchable = true;  // false for a fixed string with a newline in line mode
    };

    bool findFixed(const Pattern& pattern, const unsigned char* text, std::size_t n,
                   std::size_t start, std::size_t* at) const;

    MatchRules rules_;
    std::vector<Pattern> patterns_;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_PATTERN_SET_H_
