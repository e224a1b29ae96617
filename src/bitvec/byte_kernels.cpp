// The bulk byte loops, written once over 32-byte vectors (GCC/Clang vector
// extensions) and compiled twice: for the baseline x86-64 (SSE2, where each
// vector operation becomes two) and for AVX2, chosen once at run time.
// Loads and stores go through memcpy, so any alignment is fine and a
// destination equal to a source is read before it is written.
#include "byte_kernels.h"

#include <cstring>

// Every helper that takes or returns a vector is forced inline into the
// kernel that uses it: each kernel is compiled for its own instruction set,
// and a 32-byte vector passed through a real call between code built for
// AVX2 and code built without it would not arrive intact (the calling
// conventions differ). This matters at -O0, where nothing else is inlined.
#define XVBITVEC_INLINE __attribute__((always_inline)) inline

namespace xvkit::bitvec {
namespace {

using Vec = unsigned char __attribute__((vector_size(32)));
constexpr std::size_t kLanes = sizeof(Vec);

XVBITVEC_INLINE Vec load(const unsigned char* p) {
    Vec v;
    std::memcpy(&v, p, kLanes);
    return v;
}

XVBITVEC_INLINE void store(unsigned char* p, Vec v) {
    std::memcpy(p, &v, kLanes);
}

// Comparisons give all-ones lanes; masking with 1 makes the element bytes.
struct Not {
    XVBITVEC_INLINE static Vec vec(Vec x) { return (Vec)(x == 0) & 1; }
    static unsigned char one(unsigned char x) { return x == 0; }
};
struct Or {
    XVBITVEC_INLINE static Vec vec(Vec x, Vec y) { return (Vec)((x | y) != 0) & 1; }
    static unsigned char one(unsigned char x, unsigned char y) { return (x | y) != 0; }
};
struct And {
    XVBITVEC_INLINE static Vec vec(Vec x, Vec y) { return (Vec)((x != 0) & (y != 0)) & 1; }
    static unsigned char one(unsigned char x, unsigned char y) { return x != 0 && y != 0; }
};
// Where one byte is 0 the sum is x | y; where both are non-zero it is cleared.
struct Xor {
    XVBITVEC_INLINE static Vec vec(Vec x, Vec y) { return (x | y) & ~(Vec)((x != 0) & (y != 0)); }
    static unsigned char one(unsigned char x, unsigned char y) {
        return (x != 0 && y != 0) ? 0 : static_cast<unsigned char>(x | y);
    }
};

template <class Op>
XVBITVEC_INLINE void unary(unsigned char* dst, const unsigned char* a, std::size_t n) {
    std::size_t i = 0;
    for (; n - i >= 2 * kLanes; i += 2 * kLanes) {
        const Vec x0 = load(a + i), x1 = load(a + i + kLanes);
        store(dst + i, Op::vec(x0));
        store(dst + i + kLanes, Op::vec(x1));
    }
    for (; i < n; ++i)
        dst[i] = Op::one(a[i]);
}

template <class Op>
XVBITVEC_INLINE void binary(unsigned char* dst, const unsigned char* a, const unsigned char* b,
                            std::size_t n) {
    std::size_t i = 0;
    for (; n - i >= 2 * kLanes; i += 2 * kLanes) {
        const Vec x0 = load(a + i), x1 = load(a + i + kLanes);
        const Vec y0 = load(b + i), y1 = load(b + i + kLanes);
        store(dst + i, Op::vec(x0, y0));
        store(dst + i + kLanes, Op::vec(x1, y1));
    }
    for (; i < n; ++i)
        dst[i] = Op::one(a[i], b[i]);
}

XVBITVEC_INLINE bool any(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    for (; n - i >= 4 * kLanes; i += 4 * kLanes) {
        const Vec v = load(p + i) | load(p + i + kLanes) | load(p + i + 2 * kLanes) |
                      load(p + i + 3 * kLanes);
        unsigned long long words[kLanes / 8];
        std::memcpy(words, &v, kLanes);
        if ((words[0] | words[1] | words[2] | words[3]) != 0)
            return true;
    }
    for (; i < n; ++i) {
        if (p[i] != 0)
            return true;
    }
    return false;
}

// One kernel set per instruction set.
struct Kernels {
    void (*notBytes)(unsigned char*, const unsigned char*, std::size_t);
    void (*orBytes)(unsigned char*, const unsigned char*, const unsigned char*, std::size_t);
    void (*andBytes)(unsigned char*, const unsigned char*, const unsigned char*, std::size_t);
    void (*xorBytes)(unsigned char*, const unsigned char*, const unsigned char*, std::size_t);
    bool (*anyNonZero)(const unsigned char*, std::size_t);
};

#define XVBITVEC_KERNELS(suffix, attr)                                                           \
    attr void not_##suffix(unsigned char* d, const unsigned char* a, std::size_t n) {            \
        unary<Not>(d, a, n);                                                                     \
    }                                                                                            \
    attr void or_##suffix(unsigned char* d, const unsigned char* a, const unsigned char* b,      \
                          std::size_t n) {                                                       \
        binary<Or>(d, a, b, n);                                                                  \
    }                                                                                            \
    attr void and_##suffix(unsigned char* d, const unsigned char* a, const unsigned char* b,     \
                           std::size_t n) {                                                      \
        binary<And>(d, a, b, n);                                                                 \
    }                                                                                            \
    attr void xor_##suffix(unsigned char* d, const unsigned char* a, const unsigned char* b,     \
                           std::size_t n) {                                                      \
        binary<Xor>(d, a, b, n);                                                                 \
    }                                                                                            \
    attr bool any_##suffix(const unsigned char* p, std::size_t n) {                              \
        return any(p, n);                                                                        \
    }                                                                                            \
    constexpr Kernels kernels_##suffix = {not_##suffix, or_##suffix, and_##suffix, xor_##suffix, \
                                          any_##suffix};

XVBITVEC_KERNELS(base, )
#if defined(__x86_64__)
XVBITVEC_KERNELS(avx2, __attribute__((target("avx2"))))
#endif
#undef XVBITVEC_KERNELS
#undef XVBITVEC_INLINE

const Kernels& kernels() {
#if defined(__x86_64__)
    static const Kernels& chosen = __builtin_cpu_supports("avx2") ? kernels_avx2 : kernels_base;
    return chosen;
#else
    return kernels_base;
#endif
}

}  // namespace

void notBytes(unsigned char* dst, const unsigned char* a, std::size_t n) {
    kernels().notBytes(dst, a, n);
}
void orBytes(unsigned char* dst, const unsigned char* a, const unsigned char* b, std::size_t n) {
    kernels().orBytes(dst, a, b, n);
}
void andBytes(unsigned char* dst, const unsigned char* a, const unsigned char* b, std::size_t n) {
    kernels().andBytes(dst, a, b, n);
}
void xorBytes(unsigned char* dst, const unsigned char* a, const unsigned char* b, std::size_t n) {
    kernels().xorBytes(dst, a, b, n);
}
bool anyNonZero(const unsigned char* p, std::size_t n) {
    return kernels().anyNonZero(p, n);
}

}  // namespace xvkit::bitvec
