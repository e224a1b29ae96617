// The search behind XVRegExprLight::index. It returns what a plain
// backtracking matcher returns (leftmost start; at each closure the most
// repetitions first, given back one at a time until the rest matches) in time
// linear in the text for a given pattern, without recursion. An anchored code
// is first run straight from its words up to its first closure, which decides
// most such searches at once. Otherwise the pattern is decoded: a literal
// pattern is found by the literal scan of byte_scan.h; other unanchored
// patterns first scan for the rarest character every match needs, which
// bounds where a match can begin (or shows there is none); then the
// table-driven pass of dfa_search.h runs when the tables pay (a long text, or
// a pattern this thread searched with lately), and the lock-step search of
// lockstep_search.h everywhere else. Each thread keeps the decoded patterns
// and tables of the last eight patterns it searched with until the thread
// ends; a search made after that (from a destructor or an atexit handler)
// decodes for itself.

#ifndef XVKIT_SRC_REGEXP_LIGHT_MATCHER_H_
#define XVKIT_SRC_REGEXP_LIGHT_MATCHER_H_

#include <cstddef>

namespace xvkit::regexp {

// How many patterns each thread keeps decoded, with their tables.
constexpr int kCachedPatterns = 8;

// The engines that can decide a search, in the order a search tries them.
enum class Engine : unsigned char {
    anchoredHead,  // an anchored code, run straight from its words (matchAnchoredHead)
    literalScan,   // a literal pattern, found by the literal scan of byte_scan.h
    requiredScan,  // the text holds no character that every match needs
    tables,        // the table-driven search of dfa_search.h
    lockstep,      // the lock-step search of lockstep_search.h
};

// Searches `text` (`n` characters, NUL included) from `start` <= `n` with the
// terminated, valid `code`, an array of 256 words. On a match stores its start
// and length and returns true. Stores in `*decidedBy`, unless it is null, the
// engine that decided the search, so that tests can tell that each is reached.
bool search(const unsigned short* code, const char* text, std::size_t n, std::size_t start,
            std::size_t* matchStart, std::size_t* matchLength, Engine* decidedBy = nullptr);

enum class HeadOutcome { found, notFound, undecided };

// Runs the items of the anchored `code` (it begins with the beginning anchor)
// up to its first closure at `start` <= `n` of `text`: fixed items at fixed
// positions, so a failing one fails the only attempt there is. Decides a code
// without closures, and most failing searches of the others; on `found`
// stores the match length.
HeadOutcome matchAnchoredHead(const unsigned short* code, const unsigned char* text, std::size_t n,
                              std::size_t start, std::size_t* matchLength);

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_LIGHT_MATCHER_H_
