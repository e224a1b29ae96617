// Sets of bytes for searches that disregard case, as XVString::index with
// `caseInsensitive` does: through the "C" locale's mapping, which folds only
// the ASCII letters. Either side of a test may do the folding: a set built
// with `addEitherCase` answers `has` for both cases of its letters, and
// `hasEitherCase` asks a plain set for both cases of one letter. Internal to
// the library.
#ifndef XVKIT_SRC_LOCALE_CASE_BLIND_SET_H_
#define XVKIT_SRC_LOCALE_CASE_BLIND_SET_H_

#include <cstdint>

namespace xvkit::locale {

// A set of bytes, one bit each, kept in four words so that a class may hold
// one without this header.
using CaseBlindSet = std::uint64_t[4];

// `c` with an ASCII letter's case swapped; any other byte as it is.
inline unsigned char otherCase(char c) {
    const auto b = static_cast<unsigned char>(c);
    const bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
    return letter ? static_cast<unsigned char>(b ^ ('a' - 'A')) : b;
}

inline void add(CaseBlindSet& set, char c) {
    const auto b = static_cast<unsigned char>(c);
    set[b / 64] |= std::uint64_t{1} << (b % 64);
}

inline bool has(const CaseBlindSet& set, char c) {
    const auto b = static_cast<unsigned char>(c);
    return (set[b / 64] >> (b % 64)) & 1;
}

inline void addEitherCase(CaseBlindSet& set, char c) {
    add(set, c);
    add(set, static_cast<char>(otherCase(c)));
}

inline bool hasEitherCase(const CaseBlindSet& set, char c) {
    return has(set, c) || has(set, static_cast<char>(otherCase(c)));
}

// Every byte, as the set of a name that may begin anywhere.
inline void addEveryByte(CaseBlindSet& set) {
    for (std::uint64_t& word : set)
        word = ~std::uint64_t{0};
}

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_CASE_BLIND_SET_H_
