// What `xvkit grep` does to a pattern before the library compiles it. The
// pattern language is the library's light regular expressions; where a grep
// user would mean something else the pattern is either rewritten to that
// meaning or refused.
//
// Rewritten, in both dialects:
//   [...]                a class of exactly the members GNU grep gives it:
//                        [[:digit:]] and the other POSIX classes, [[.c.]] and
//                        [[=c=]], ']' first
//   \d \w \s, \D \W \S   [0-9], [0-9A-Za-z_], white space, and their negations
// The extended dialect (-E, the default) is the library's own; a top-level
// a|b becomes the patterns a and b. The basic dialect (-G) reads GNU's basic
// syntax: a\|b becomes two patterns, \+ and \? are closures, and + ? | ( ) { }
// are literal characters, as is a '*' that starts the pattern.
//
// Refused: groups, intervals {n,m}, back-references \1..\9, word boundaries
// \b \B \< \>, a trailing backslash, [:name:] outside brackets, unknown
// class names, unclosed brackets, and ranges that are reversed or start or
// end at a class.
#ifndef XVKIT_TOOLS_GREP_PATTERN_H_
#define XVKIT_TOOLS_GREP_PATTERN_H_

#include <string>
#include <string_view>
#include <vector>

namespace xvtool {

// How the patterns are read: the tool's own dialect (-E, the default), GNU's
// basic syntax mapped onto it (-G), or plain strings (-F).
enum class Dialect { extended, basic, fixed };

struct Rewritten {
    // The patterns in the library's language that the user's pattern stands
    // for, one per top-level alternative; an empty one matches every line.
    std::vector<std::string> patterns;
    std::string refusal;  // why the pattern is refused; empty when it is not
};

// Rewrites `pattern`, in the extended or the basic dialect.
Rewritten rewriteGrepPattern(std::string_view pattern, Dialect dialect);

// One pattern for the matcher: in the library's language, or a plain string
// (-F); `shown` is what the user typed, for messages.
struct PatternSource {
    std::string text;
    bool fixed = false;
    std::string shown;
};

// The patterns for the matcher: each of `patterns` rewritten, or taken as a
// plain string in the fixed dialect. Empty, with the reason in `refusal`,
// when one is refused.
std::vector<PatternSource> patternSources(const std::vector<std::string>& patterns, Dialect dialect,
                                          std::string& refusal);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_PATTERN_H_
