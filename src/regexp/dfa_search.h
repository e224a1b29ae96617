// The search for long texts. A forward pass runs the lock-step search without
// the match starts: the ordered state lists it visits are few, so each is
// made once, given a number, and its successor on each character is kept in a
// table, leaving one table lookup per text character. It finds where the
// leftmost match ends. A backward pass from that end then finds the earliest
// position from which the pattern matches exactly up to it, which is the
// leftmost start: a match from an earlier start would itself be the leftmost.

#ifndef XVKIT_SRC_REGEXP_DFA_SEARCH_H_
#define XVKIT_SRC_REGEXP_DFA_SEARCH_H_

#include <cstddef>

#include "program.h"

namespace xvkit_regexp {

enum class DfaOutcome { found, notFound, tooManyStates };

// Searches the `n` characters of `text` from `start` < `n`. On a match stores
// its start and length. Gives up with tooManyStates, having stored nothing,
// when the pattern needs more states than the pass keeps.
DfaOutcome dfaSearch(const Program& program, const unsigned char* text, std::size_t n,
                     std::size_t start, std::size_t* matchStart, std::size_t* matchLength);

}  // namespace xvkit_regexp

#endif  // XVKIT_SRC_REGEXP_DFA_SEARCH_H_
