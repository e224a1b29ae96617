// Bulk loops over byte-per-element storage.
//
// Each kernel walks fixed 64-byte blocks through local copies, so the inner
// loop has a constant trip count and no aliasing question: the compiler turns
// it into vector code at -O2, and a destination that is one of the sources
// (the compound operators) is still computed correctly. The tail is scalar.

#ifndef XVKIT_SRC_BITVEC_BYTE_KERNELS_H_
#define XVKIT_SRC_BITVEC_BYTE_KERNELS_H_

#include <cstddef>
#include <cstring>

namespace xvbitvec {

inline constexpr std::size_t kBlock = 64;

// dst[i] = op(a[i], b[i]) for i < n.
template <class Op>
inline void combine(unsigned char* dst, const unsigned char* a, const unsigned char* b,
                    std::size_t n, Op op) {
    std::size_t i = 0;
    for (; n - i >= kBlock; i += kBlock) {
        unsigned char x[kBlock], y[kBlock], r[kBlock];
        std::memcpy(x, a + i, kBlock);
        std::memcpy(y, b + i, kBlock);
        for (std::size_t k = 0; k < kBlock; ++k)
            r[k] = op(x[k], y[k]);
        std::memcpy(dst + i, r, kBlock);
    }
    for (; i < n; ++i)
        dst[i] = op(a[i], b[i]);
}

// dst[i] = op(a[i]) for i < n.
template <class Op>
inline void transform(unsigned char* dst, const unsigned char* a, std::size_t n, Op op) {
    std::size_t i = 0;
    for (; n - i >= kBlock; i += kBlock) {
        unsigned char x[kBlock], r[kBlock];
        std::memcpy(x, a + i, kBlock);
        for (std::size_t k = 0; k < kBlock; ++k)
            r[k] = op(x[k]);
        std::memcpy(dst + i, r, kBlock);
    }
    for (; i < n; ++i)
        dst[i] = op(a[i]);
}

// Whether any of the n bytes at p is non-zero.
inline bool anyNonZero(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    for (; n - i >= kBlock; i += kBlock) {
        unsigned char x[kBlock];
        std::memcpy(x, p + i, kBlock);
        unsigned char acc = 0;
        for (std::size_t k = 0; k < kBlock; ++k)
            acc |= x[k];
        if (acc != 0)
            return true;
    }
    for (; i < n; ++i) {
        if (p[i] != 0)
            return true;
    }
    return false;
}

// The element operations. Bytes are read as non-zero = true.
struct Not {
    unsigned char operator()(unsigned char x) const { return x == 0; }
};
struct Or {
    unsigned char operator()(unsigned char x, unsigned char y) const { return (x | y) != 0; }
};
struct And {
    unsigned char operator()(unsigned char x, unsigned char y) const { return (x != 0) & (y != 0); }
};
// 0 where both are non-zero, else x + y; with one of them 0 the sum is x | y.
struct Xor {
    unsigned char operator()(unsigned char x, unsigned char y) const {
        const unsigned char keep = ((x == 0) | (y == 0)) ? 0xFF : 0x00;
        return static_cast<unsigned char>((x | y) & keep);
    }
};

}  // namespace xvbitvec

#endif  // XVKIT_SRC_BITVEC_BYTE_KERNELS_H_
