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

// Every byte, as the set of a name that may begin anywhere.
inline void addEveryByte(FoldedByteSet& set) {
    for (std::uint64_t& word : set)
        word = ~std::uint64_t{0};
}

// Whether the two sets share a byte.
inline bool intersects(const FoldedByteSet& a, const FoldedByteSet& b) {
    return ((a[0] & b[0]) | (a[1] & b[1]) | (a[2] & b[2]) | (a[3] & b[3])) != 0;
}

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_FOLDED_BYTES_H_
