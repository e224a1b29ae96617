// How a pattern is matched beyond the plain reading of XVRegExprLight (line
// mode, case-blindness, whole words, whole lines), and what that asks of the
// text on either side of a match.

#ifndef XVKIT_SRC_REGEXP_MATCH_RULES_H_
#define XVKIT_SRC_REGEXP_MATCH_RULES_H_

#include <cstddef>

#include "byte_map.h"

namespace xvkit::regexp {

constexpr unsigned char kNewline = '\n';

struct MatchRules {
    // `^` and `$` hold at line starts and ends; nothing matches a newline.
    bool lines = false;
    // ASCII letters match either case.
    bool caseBlind = false;
    // Neither the byte before a match nor the one after it is a word byte.
    bool words = false;
    // A match spans a whole line (in line mode) or the text from the search start.
    bool wholeLines = false;
};

// Where a match may start and end.
struct Boundaries {
    // Only at the search start.
    bool anchored = false;
    // Only at position 0 or after a byte of `startAfter`.
    bool startRestricted = false;
    ByteMap startAfter;
    // Only at the end of the text or before a byte of `endBefore`.
    bool endRestricted = false;
    ByteMap endBefore;

    bool startAllowed(const unsigned char* text, std::size_t p) const {
        return !startRestricted || p == 0 || startAfter.contains(text[p - 1]);
    }
    bool endAllowed(const unsigned char* text, std::size_t n, std::size_t e) const {
        return !endRestricted || e == n || endBefore.contains(text[e]);
    }
    bool operator==(const Boundaries& other) const = default;
};

// The boundaries of a pattern under `rules`, from whether it begins with `^`
// and ends with `$`. Without line mode `^` binds to the search start and `$`
// to the end of the text; in line mode to line starts and ends. Whole lines
// bind both ends so; whole words then add nothing, and otherwise ask for a
// byte that is not a word byte (or none) on either side.
inline Boundaries boundariesFor(const MatchRules& rules, bool beginAnchor, bool endAnchor) {
    Boundaries b;
    if (beginAnchor || rules.wholeLines) {
        if (rules.lines) {
            b.startRestricted = true;
            b.startAfter = ByteMap::single(kNewline);
        } else {
            b.anchored = true;
        }
    }
    if (endAnchor || rules.wholeLines) {
        b.endRestricted = true;
        if (rules.lines)
            b.endBefore = ByteMap::single(kNewline);
    }
    if (rules.words && !rules.wholeLines) {
        ByteMap nonWord = ByteMap::wordCharacters();
        nonWord.invert();
        // A line start follows a newline, which is no word byte, and a line
        // or text end has none after it: those rules already hold.
        if (!b.startRestricted) {
            b.startRestricted = true;
            b.startAfter = nonWord;
        }
        if (!b.endRestricted) {
            b.endRestricted = true;
            b.endBefore = nonWord;
        }
    }
    return b;
}

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_MATCH_RULES_H_
