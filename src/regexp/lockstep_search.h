// The lock-step search: every alternative a backtracking matcher would try is
// run at once, one text character at a time. The live states at a position
// are kept in the order the backtracker would try them; a state reached a
// second time at the same position is dropped (it could only repeat a search
// already under way with a higher priority), and a match discards every state
// of lower priority. Each state carries the start of its match. An assertion
// looks at the character after its position, which the search can see. The
// cost is the text length times the pattern length; nothing recurses or
// allocates.

#ifndef XVKIT_SRC_REGEXP_LOCKSTEP_SEARCH_H_
#define XVKIT_SRC_REGEXP_LOCKSTEP_SEARCH_H_

#include <cstddef>

#include "program.h"

namespace xvkit::regexp {

// Searches the `n` characters of `text` from `start` <= `n` for the leftmost
// match that starts at or before `lastStart`. On a match stores its start and
// length and returns true. Stores in `*readTo`, unless it is null, how far the
// search read.
bool lockstepSearch(const Program& program, const unsigned char* text, std::size_t n,
                    std::size_t start, std::size_t lastStart, std::size_t* matchStart,
                    std::size_t* matchLength, std::size_t* readTo = nullptr);

inline bool lockstepSearch(const Program& program, const unsigned char* text, std::size_t n,
                           std::size_t start, std::size_t* matchStart, std::size_t* matchLength) {
    return lockstepSearch(program, text, n, start, n, matchStart, matchLength);
}

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_LOCKSTEP_SEARCH_H_
