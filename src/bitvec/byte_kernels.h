// Bulk loops over byte-per-element storage, read as non-zero = true.
//
// Each kernel computes element i from the sources' bytes i only, so a
// destination that is one of its sources (the compound operators) gives the
// same result as a separate one. n may be 0, and the pointers are then not
// read.

#ifndef XVKIT_SRC_BITVEC_BYTE_KERNELS_H_
#define XVKIT_SRC_BITVEC_BYTE_KERNELS_H_

#include <cstddef>

namespace xvkit::bitvec {

// dst[i] = a[i] == 0
void notBytes(unsigned char* dst, const unsigned char* a, std::size_t n);
// dst[i] = 1 where a[i] or b[i] is non-zero, else 0
void orBytes(unsigned char* dst, const unsigned char* a, const unsigned char* b, std::size_t n);
// dst[i] = 1 where a[i] and b[i] are both non-zero, else 0
void andBytes(unsigned char* dst, const unsigned char* a, const unsigned char* b, std::size_t n);
// dst[i] = 0 where a[i] and b[i] are both non-zero, else a[i] + b[i]
void xorBytes(unsigned char* dst, const unsigned char* a, const unsigned char* b, std::size_t n);
// Whether any of the n bytes at p is non-zero.
bool anyNonZero(const unsigned char* p, std::size_t n);

}  // namespace xvkit::bitvec

#endif  // XVKIT_SRC_BITVEC_BYTE_KERNELS_H_
