#include "pattern_set.h"

#include <xvkit/xvregexp.h>

#include "lockstep_search.h"

namespace xvkit::regexp {

namespace {

// The code array of a light pattern: XVRegExprLight's size.
constexpr int kCodeWords = 256;

unsigned char lowered(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Whether the better of two matches is `b` rather than `a`: the leftmost,
// then the longest, then the lowest index.
bool better(const SetMatch& b, const SetMatch& a) {
    if (b.start != a.start)
        return b.start < a.start;
    if (b.length != a.length)
        return b.length > a.length;
    return b.pattern < a.pattern;
}

}  // namespace

PatternSet::PatternSet(const std::vector<PatternSource>& sources, const MatchRules& rules)
    : rules_(rules) {
    patterns_.resize(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        Pattern& pattern = patterns_[i];
        const PatternSource& source = sources[i];
        if (source.fixed) {
            pattern.result = {0, CompileFailure::none, 0};
            pattern.fixed = true;
            pattern.bytes.assign(source.text);
            if (rules.caseBlind) {
                for (char& c : pattern.bytes)
                    c = static_cast<char>(lowered(static_cast<unsigned char>(c)));
            }
            pattern.boundaries = boundariesFor(rules, false, false);
            pattern.matchable = !rules.lines || pattern.bytes.find(static_cast<char>(kNewline)) ==
                                                    std::string::npos;
            continue;
        }
        // Up to the first NUL, as XVRegExprLight reads a string.
        const std::string text(source.text.substr(0, source.text.find('\0')));
        unsigned short code[kCodeWords];
        pattern.result =
            compilePattern(text.c_str(), code, kCodeWords, {.caseBlindClasses = rules.caseBlind});
        if (pattern.result.status == 0)
            pattern.program = std::make_unique<Program>(code, rules);
    }
}

PatternSet::~PatternSet() = default;

bool PatternSet::findFixed(const Pattern& pattern, const unsigned char* text, std::size_t n,
                           std::size_t start, std::size_t* at) const {
    const std::size_t length = pattern.bytes.size();
    if (!pattern.matchable || n - start < length)
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(pattern.bytes.data());
    const std::size_t last = pattern.boundaries.anchored ? start : n - length;
    for (std::size_t p = start; p <= last; ++p) {
        if (!pattern.boundaries.startAllowed(text, p))
            continue;
        std::size_t j = 0;
        while (j < length && (rules_.caseBlind ? lowered(text[p + j]) : text[p + j]) == bytes[j])
            ++j;
        if (j == length && pattern.boundaries.endAllowed(text, n, p + length)) {
            *at = p;
            return true;
        }
    }
    return false;
}

bool PatternSet::find(const unsigned char* text, std::size_t size, std::size_t start,
                      SetMatch* match) const {
    std::size_t n = size;
    if (rules_.lines) {
        // A final newline ends the last line; no line follows it.
        if (size == 0)
            return false;
        if (text[size - 1] == kNewline)
            n = size - 1;
    }
    if (start > n)
        return false;
    bool found = false;
    SetMatch best{0, 0, 0};
    for (std::size_t i = 0; i < patterns_.size(); ++i) {
        const Pattern& pattern = patterns_[i];
        SetMatch candidate{0, 0, i};
        bool hit = false;
        if (pattern.fixed) {
            hit = findFixed(pattern, text, n, start, &candidate.start);
            candidate.length = pattern.bytes.size();
        } else if (pattern.program) {
            hit = lockstepSearch(*pattern.program, text, n, start, &candidate.start,
                                 &candidate.length);
        }
        if (hit && (!found || better(candidate, best))) {
            best = candidate;
            found = true;
        }
    }
    if (found)
        *match = best;
    return found;
}

}  // namespace xvkit::regexp
