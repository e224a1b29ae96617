// A plain backtracking interpreter of compiled pattern code, as direct as
// possible so that it can serve as the oracle for the library's engines: a
// closure takes as many characters as it can, then gives them back one at a
// time until the rest matches. It reads the code through the library's one
// code reader, and applies the match rules of pattern sets (line mode,
// case-blindness, whole words, whole lines) on its own, straight from their
// definitions. Exponential at worst: small inputs only.

#ifndef XVKIT_TESTS_SUPPORT_REFERENCE_MATCHER_H_
#define XVKIT_TESTS_SUPPORT_REFERENCE_MATCHER_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <xvkit/xvregexset.h>

#include "regexp/code_reader.h"
#include "regexp/match_rules.h"
#include "regexp/pattern_compiler.h"

namespace xvkit::reference {

using regexp::CodeItem;
using regexp::CodeReader;
using regexp::ItemType;
using regexp::MatchRules;
using regexp::Repeat;

constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

inline bool isWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

inline unsigned char otherCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c - 'A' + 'a');
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 'a' + 'A');
    return c;
}

// The searched text under the rules: in line mode a final newline ends the
// last line, and no position follows it.
class Subject {
  public:
    Subject(const std::string& text, const MatchRules& rules) : text_(text), rules_(rules) {
        n_ = text.size();
        if (rules.lines && n_ > 0 && text[n_ - 1] == '\n')
            --n_;
    }
    // The number of positions after 0 that may hold a match.
    std::size_t size() const { return n_; }
    bool usable() const { return !rules_.lines || !text_.empty(); }
    unsigned char at(std::size_t p) const { return static_cast<unsigned char>(text_[p]); }
    bool lineStart(std::size_t p) const { return p == 0 || at(p - 1) == '\n'; }
    bool lineEnd(std::size_t p) const { return p == n_ || at(p) == '\n'; }
    // Whether a match may start at `p`, for a search from `start`, given
    // whether the pattern begins with `^`.
    bool startOk(std::size_t p, std::size_t start, bool beginAnchor) const {
        const bool anchored = beginAnchor || rules_.wholeLines;
        if (anchored && !(rules_.lines ? lineStart(p) : p == start))
            return false;
        return !wordRule() || p == 0 || !isWordByte(at(p - 1));
    }
    // Whether a match may end at `e`.
    bool endOk(std::size_t e) const {
        if (rules_.wholeLines && !(rules_.lines ? lineEnd(e) : e == n_))
            return false;
        return !wordRule() || e == n_ || !isWordByte(at(e));
    }
    // Whether the end anchor holds at `p`.
    bool endAnchorHolds(std::size_t p) const { return rules_.lines ? lineEnd(p) : p == n_; }
    // Whether a character that `accepts` takes stands at `p`.
    template <typename Accepts>
    bool takes(std::size_t p, Accepts accepts) const {
        if (p >= n_ || (rules_.lines && at(p) == '\n'))
            return false;
        return accepts(at(p)) || (rules_.caseBlind && accepts(otherCase(at(p))));
    }

  private:
    bool wordRule() const { return rules_.words && !rules_.wholeLines; }

    const std::string& text_;
    MatchRules rules_;
    std::size_t n_;
};

class Matcher {
  public:
    explicit Matcher(const Subject& subject) : subject_(subject) {}

    // The end of a match of the code at `w` from text position `p`, or
    // kNoMatch: the first the backtracking tries whose end is allowed.
    std::size_t matchHere(const unsigned short* w, std::size_t p) const {
        CodeReader reader(w);
        if (reader.done())
            return subject_.endOk(p) ? p : kNoMatch;
        const CodeItem item = reader.next();
        const unsigned short* rest = w + reader.wordsFrom(w);
        if (item.type == ItemType::endAnchor)
            return subject_.endAnchorHolds(p) ? matchHere(rest, p) : kNoMatch;
        const auto single = [&](std::size_t at) {
            return subject_.takes(at, [&item](unsigned char c) { return item.accepts(c); });
        };
        if (item.repeat == Repeat::once)
            return single(p) ? matchHere(rest, p + 1) : kNoMatch;
        const std::ptrdiff_t most = item.repeat == Repeat::optional ? 1 : PTRDIFF_MAX;
        std::ptrdiff_t taken = 0;
        while (taken < most && single(p + taken))
            ++taken;
        for (; taken >= (item.repeat == Repeat::oneOrMore ? 1 : 0); --taken) {
            const std::size_t end = matchHere(rest, p + taken);
            if (end != kNoMatch)
                return end;
        }
        return kNoMatch;
    }

  private:
    const Subject& subject_;
};

// The search of XVRegExprLight::index over a valid, terminated `code`, under
// `rules` (none for XVRegExprLight itself): the start of the leftmost match
// with its length in `*len`, or kNoMatch with `*len` 0; kNoMatch with `*len`
// untouched when `i` is past the end.
inline std::size_t referenceIndex(const unsigned short* code, const std::string& text,
                                  std::size_t* len, std::size_t i, const MatchRules& rules = {}) {
    if (i > text.size())
        return kNoMatch;
    const Subject subject(text, rules);
    *len = 0;
    if (!subject.usable() || i > subject.size())
        return kNoMatch;
    const Matcher matcher(subject);
    const bool beginAnchor = regexp::beginsWithAnchor(code);
    const unsigned short* body = beginAnchor ? regexp::afterBeginAnchor(code) : code;
    for (std::size_t p = i; p <= subject.size(); ++p) {
        if (!subject.startOk(p, i, beginAnchor))
            continue;
        const std::size_t end = matcher.matchHere(body, p);
        if (end != kNoMatch) {
            *len = end - p;
            return p;
        }
    }
    return kNoMatch;
}

// The leftmost occurrence of the fixed string `bytes` at or after `i` under
// `rules`, or kNoMatch.
inline std::size_t referenceFixed(const std::string& bytes, const std::string& text, std::size_t i,
                                  const MatchRules& rules = {}) {
    const Subject subject(text, rules);
    if (!subject.usable() || i > subject.size())
        return kNoMatch;
    for (std::size_t p = i; p + bytes.size() <= subject.size(); ++p) {
        if (!subject.startOk(p, i, false) || !subject.endOk(p + bytes.size()))
            continue;
        std::size_t j = 0;
        while (j < bytes.size() &&
               subject.takes(p + j, [&](unsigned char c) { return c == (unsigned char)bytes[j]; }))
            ++j;
        if (j == bytes.size())
            return p;
    }
    return kNoMatch;
}

// One hit of a pattern of a set.
struct SetHit {
    std::size_t start = kNoMatch;
    std::size_t length = 0;
    std::size_t pattern = 0;
};

// Equal when both are none, or the same match of the same pattern.
inline bool operator==(const SetHit& a, const SetHit& b) {
    return a.start == b.start &&
           (a.start == kNoMatch || (a.length == b.length && a.pattern == b.pattern));
}

inline std::ostream& operator<<(std::ostream& out, const SetHit& hit) {
    if (hit.start == kNoMatch)
        return out << "none";
    return out << hit.start << "/" << hit.length << " #" << hit.pattern;
}

// The better of the patterns' own matches, as a set reports it: the leftmost,
// then the longest, then the lowest index. `hits` holds each pattern's match
// in index order (start kNoMatch for none).
inline SetHit bestOf(const std::vector<SetHit>& hits) {
    SetHit best;
    for (const SetHit& hit : hits) {
        if (hit.start == kNoMatch)
            continue;
        if (best.start == kNoMatch || hit.start < best.start ||
            (hit.start == best.start && hit.length > best.length))
            best = hit;
    }
    return best;
}

// The interpreter's answer for a pattern set: each pattern's own match (a
// light pattern compiled as the set compiles it, up to its first NUL), the
// best of them.
inline SetHit referenceSet(const std::vector<XVRegExprSet::Pattern>& patterns,
                           const MatchRules& rules, const std::string& text, std::size_t from) {
    std::vector<SetHit> hits;
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        SetHit hit;
        hit.pattern = i;
        const std::string& source = patterns[i].text;
        if (patterns[i].syntax == XVRegExprSet::fixedString) {
            hit.start = referenceFixed(source, text, from, rules);
            hit.length = source.size();
        } else {
            unsigned short code[256];
            const std::string light = source.substr(0, source.find('\0'));
            if (regexp::compilePattern(light.c_str(), code, 256,
                                       {.caseBlindClasses = rules.caseBlind})
                    .status == 0)
                hit.start = referenceIndex(code, text, &hit.length, from, rules);
        }
        hits.push_back(hit);
    }
    return bestOf(hits);
}

}  // namespace xvkit::reference

#endif  // XVKIT_TESTS_SUPPORT_REFERENCE_MATCHER_H_
