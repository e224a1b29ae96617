// Random patterns, texts and match rules for the tests that hold the
// engines and the pattern set to the interpreter.

#ifndef XVKIT_TESTS_REGEXP_REGEXP_DRAWS_H_
#define XVKIT_TESTS_REGEXP_REGEXP_DRAWS_H_

#include <random>
#include <string>

#include "regexp/match_rules.h"

namespace xvkit::regexp {

// Pattern pieces chosen so that random combinations meet each other often;
// upper-case letters and negated classes meet case-blindness.
inline const char* const kItems[] = {
    "a",         "b",   "c",     ".",     "[ab]",  "[^a]",  "[a-c]",
    "[^\\n]",    "\\0", "\\n",   "\\x61", "\\142", "[b-a]", "\\.",
    "[\\0b]",    "[^]", "^",     "$",     "\xe9",  "\\xff", "[\\x80-\\xff]",
    "[^\\xe9a]", "A",   "[A-B]", "[^B]",  "_",     " "};
inline const char* const kClosures[] = {"", "", "", "*", "+", "?"};
// Letters of both cases, a word byte, a space, a newline, a NUL, a dot and
// two bytes above 127.
inline const std::string kTextAlphabet(
    "abc\n\0.\xe9\xff"
    "AB_ ",
    12);

// A random pattern of up to `maxItems` items, with the count of its closures.
inline std::string randomPattern(std::mt19937& rng, int maxItems, int* closures) {
    std::string pattern = rng() % 4 == 0 ? "^" : "";
    *closures = 0;
    const int items = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxItems));
    for (int k = 0; k < items; ++k) {
        pattern += kItems[rng() % std::size(kItems)];
        const char* closure = kClosures[rng() % std::size(kClosures)];
        pattern += closure;
        *closures += *closure != '\0';
    }
    return rng() % 4 == 0 ? pattern + "$" : pattern;
}

inline std::string randomText(std::mt19937& rng, std::size_t minLength, std::size_t maxLength,
                              const std::string& alphabet = kTextAlphabet) {
    std::string text(minLength + rng() % (maxLength - minLength + 1), ' ');
    for (char& c : text)
        c = alphabet[rng() % alphabet.size()];
    return text;
}

inline MatchRules randomRules(std::mt19937& rng) {
    const unsigned bits = rng();
    return {.lines = (bits & 1) != 0,
            .caseBlind = (bits & 2) != 0,
            .words = (bits & 4) != 0,
            .wholeLines = (bits & 24) == 24};  // less often: it rarely matches
}

inline std::string rulesName(const MatchRules& rules) {
    std::string name;
    name += rules.lines ? "L" : "-";
    name += rules.caseBlind ? "i" : "-";
    name += rules.words ? "w" : "-";
    name += rules.wholeLines ? "x" : "-";
    return name;
}

}  // namespace xvkit::regexp

#endif  // XVKIT_TESTS_REGEXP_REGEXP_DRAWS_H_
