// Sets of bytes compared without regard to case, as XVString::index with
// `caseInsensitive` compares them: through the "C" locale's mapping, which
// folds only the ASCII letters. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_FOLDED_BYTES_H_
#define XVKIT_SRC_LOCALE_FOLDED_BYTES_H_

#include <cstdint>

namespace xvkit::locale {

// `c` with an ASCII capital made small.
inline char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A set of folded bytes, one bit each, kept in four words so that a class
// may hold one without this header.
using FoldedByteSet = std::uint64_t[4];

inline void addFolded(FoldedByteSet& set, char c) {
    const auto b = static_cast<unsigned char>(folded(c));
    set[b / 64] |= std::uint64_t{1} << (b % 64);
}

inline bool hasFolded(const FoldedByteSet& set, char c) {
    const auto b = static_cast<unsigned char>(folded(c));
    return (set[b / 64] >> (b % 64)) & 1;
}

// Adds `c` in both cases, so that `hasEitherCase` needs no folding.
inline void addEitherCase(FoldedByteSet& set, char c) {
    const char small = folded(c);
    for (const char each :
         {small, small >= 'a' && small <= 'z' ? static_cast<char>(small - 'a' + 'A') : small}) {
        const auto b = static_cast<unsigned char>(each);
        set[b / 64] |= std::uint64_t{1} << (b % 64);
    }
}

// Whether `c`, as it stands, is in a set made with `addEitherCase`.
inline bool hasEitherCase(const FoldedByteSet& set, char c) {
    const auto b = static_cast<unsigned char>(c);
    return (set[b / 64] >> (b % 64)) & 1;
}

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_FOLDED_BYTES_H_
