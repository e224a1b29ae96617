// What `xvkit grep` does to a pattern before the library compiles it. The
// pattern language is the library's light regular expressions; where a grep
// user would mean something else the pattern is either rewritten to that
// meaning or refused.
//
// Rewritten:
//   [[:digit:]] and the other POSIX classes inside brackets  -> ranges
//   \d \w \s, \D \W \S                  -> [0-9], [0-9A-Za-z_], whitespace and
//                                          their negations
//   a|b at the top level                -> the patterns a and b
// Refused (with a hint for the literal): groups ( ), intervals {n,m},
// back-references \1..\9, \b \B \< \>, and [:name:] outside brackets.
#ifndef XVKIT_TOOLS_GREP_PATTERN_H_
#define XVKIT_TOOLS_GREP_PATTERN_H_

#include <string>
#include <string_view>
#include <vector>

namespace xvtool {

// The patterns in the library's language that `pattern` stands for: one per
// top-level alternative. An empty alternative stays empty (it matches every
// line). Throws CliError (kExitTrouble) with a one-line reason for a refused
// pattern.
std::vector<std::string> rewriteGrepPattern(std::string_view pattern);

// `text` as a pattern that matches exactly those bytes (for -F).
std::string literalPattern(std::string_view text);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_PATTERN_H_
