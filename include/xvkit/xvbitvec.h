// xvkit/xvbitvec.h
//
// Bit vectors.
//
//   XVTBitVec<N>    a fixed set of N bits packed into 32-bit words; no lock
//   XVTValArray<T>  a growable array of values (a thin standard vector)
//   XVBitVec        a growable, lockable vector of boolean elements held one
//                   byte per element, with an elementwise boolean algebra
//
// Example:
//
//   XVBitVec a(4, false), b(4, false);
//   a.setBit(0); a.setBit(1);              // a = 1,1,0,0
//   b.setBit(0); b.setBit(2);              // b = 1,0,1,0
//   XVBitVec x = a ^ b;                    // 0,1,1,0
//   x.firstTrue();                         // 1
//   (!a).firstTrue();                      // 2
//
//   XVTBitVec<256> digits;
//   for (size_t c = '0'; c <= '9'; ++c) digits.setBit(c);
//   digits.testBit('7');                   // true

#ifndef XVKIT_XVBITVEC_H_
#define XVKIT_XVBITVEC_H_

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include <xvkit/xvobject.h>

// A set of `N` bits whose size is fixed at compile time. Bit `i` is bit
// `i % 32` (value `1 << (i % 32)`) of word `i / 32`. A new set has every bit
// clear; copies copy the bits. Not reference counted and never locked.
template <std::size_t N>
class XVTBitVec {
  public:
    static constexpr std::size_t kWords = (N + 31) / 32;

    XVTBitVec() = default;
    XVTBitVec(const XVTBitVec&) = default;
    XVTBitVec& operator=(const XVTBitVec&) = default;
    virtual ~XVTBitVec() = default;

    // Whether bit `i` is set. Throws std::out_of_range
    // ("void XVTBitVec<N>::testBit ( size_t i )") when `i >= N`.
    bool testBit(std::size_t i) const {
        if (i >= N)
            throw std::out_of_range("void XVTBitVec<N>::testBit ( size_t i )");
        return (words_[i / 32] >> (i % 32)) & 1u;
    }
    // Sets bit `i`. Throws std::out_of_range
    // ("void XVTBitVec<N>::setBit ( size_t i )") when `i >= N`.
    void setBit(std::size_t i) {
        if (i >= N)
            throw std::out_of_range("void XVTBitVec<N>::setBit ( size_t i )");
        words_[i / 32] |= std::uint32_t{1} << (i % 32);
    }
    // Clears bit `i`. Throws std::out_of_range
    // ("void XVTBitVec<N>::clearBit ( size_t i )") when `i >= N`.
    void clearBit(std::size_t i) {
        if (i >= N)
            throw std::out_of_range("void XVTBitVec<N>::clearBit ( size_t i )");
        words_[i / 32] &= ~(std::uint32_t{1} << (i % 32));
    }

    // Word `w` of the packed storage, 0 <= w < kWords (unchecked).
    std::uint32_t word(std::size_t w) const { return words_[w]; }

    // Word-by-word exclusive or; with an all-set operand this inverts the set.
    XVTBitVec& operator^=(const XVTBitVec& other) {
        for (std::size_t w = 0; w < kWords; ++w)
            words_[w] ^= other.words_[w];
        return *this;
    }

    bool operator==(const XVTBitVec& other) const {
        for (std::size_t w = 0; w < kWords; ++w) {
            if (words_[w] != other.words_[w])
                return false;
        }
        return true;
    }
    bool operator!=(const XVTBitVec& other) const { return !(*this == other); }

  private:
    std::uint32_t words_[kWords] = {};
};

// An ordered, growable sequence of `T` values held by copy and indexed from 0,
// with the semantics of std::vector (amortised constant-time appending).
template <class T>
class XVTValArray {
  public:
    XVTValArray() = default;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    // Element `i`, unchecked (0 <= i < size()).
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    // Element `i`; throws std::out_of_range ("T& XVTValArray<T>::at ( size_t i )")
    // when `i >= size()`.
    T& at(std::size_t i) { return items_[checked(i)]; }
    const T& at(std::size_t i) const { return items_[checked(i)]; }

    // Inserts `count` copies of `value` before index `pos` (`pos == size()`
    // appends). Throws std::out_of_range ("void XVTValArray<T>::insert ( size_t
    // pos, const T& value, size_t count )") when `pos > size()`, and
    // std::length_error when the array would exceed its maximum size.
    void insert(std::size_t pos, const T& value, std::size_t count = 1) {
        if (pos > items_.size()) {
            throw std::out_of_range(
                "void XVTValArray<T>::insert ( size_t pos, const T& value, size_t count )");
        }
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(pos), count, value);
    }
    // Appends one copy of `value`.
    void append(const T& value) { items_.push_back(value); }

    typename std::vector<T>::iterator begin() { return items_.begin(); }
    typename std::vector<T>::iterator end() { return items_.end(); }
    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }

  private:
    std::size_t checked(std::size_t i) const {
        if (i >= items_.size())
            throw std::out_of_range("T& XVTValArray<T>::at ( size_t i )");
        return i;
    }

    std::vector<T> items_;
};

// A resizable vector of boolean elements, one whole byte per element: element
// `i` is byte `i` of `data()`, 0 for false and 1 for true. The library's own
// writers store only 0 and 1 (except `^`, which passes an operand's byte on
// where the other byte is 0); bytes written from outside are kept unchanged.
// Readers take any non-zero byte as true, except `firstTrue`, which looks for
// the byte 1, and `isEqual`/`==`/`!=` between vectors, which compare raw bytes.
//
// Locking: every operation holds an XVSingleLock on `GetSyncObject()` of each
// vector it touches, the left operand first. XVObject supplies no
// synchronisation object, so a plain XVBitVec locks nothing; a derived class
// that returns a re-entrant lock (CCriticalSection) from `GetSyncObject` makes
// every operation atomic. The lock must be re-entrant: `v = v` and `v ^= v`
// take it twice.
//
// Storage comes from malloc/realloc and is released with free. Growing
// reallocates to exactly the new length; shrinking keeps the buffer. Elements
// added by growing are unspecified until written. When a growth fails the
// operation throws std::runtime_error ("void XVBitVec::resize ( size_t N )")
// and the vector keeps its old storage and length.
class XVKIT_API XVBitVec : public XVObject {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Empty: no storage (a null `data()`), length 0. Allocates nothing.
    XVBitVec() = default;
    // `n` elements, each `b`.
    XVBitVec(std::size_t n, bool b);
    // `n` elements holding the first `n` bytes of `bytes`, unchanged.
    XVBitVec(const unsigned char* bytes, std::size_t n);
    // A copy of `v`'s length and bytes with a fresh reference count and
    // storage of its own; takes `v`'s lock. There is no move: a temporary or
    // `std::move(v)` is copied too, and `v` keeps its value.
    XVBitVec(const XVBitVec& v);
    ~XVBitVec() override;

    // Element `i` := 1. Throws std::out_of_range
    // ("void XVBitVec::setBit ( size_t i )") when `i >= length()`.
    void setBit(std::size_t i);
    // Element `i` := 0. Throws std::out_of_range
    // ("XVBitVec::clearBit ( size_t i )") when `i >= length()`.
    void clearBit(std::size_t i);
    // Whether element `i` is non-zero. Throws std::out_of_range with the
    // setBit text ("void XVBitVec::setBit ( size_t i )") when `i >= length()`.
    bool testBit(std::size_t i) const;
    // As testBit; throws std::out_of_range
    // ("bool XVBitVec::operator [] ( size_t i ) const") when `i >= length()`.
    bool operator[](std::size_t i) const;
    bool operator()(std::size_t i) const;
    // The byte of element `i`; any value may be stored through it. Throws
    // std::out_of_range ("bool& XVBitVec::operator [] ( size_t i )") when
    // `i >= length()`.
    unsigned char& operator[](std::size_t i);
    unsigned char& operator()(std::size_t i);

    std::size_t length() const;
    // The element bytes; null for a vector that never had storage. Valid until
    // the next resize or the destruction.
    const unsigned char* data() const;
    // Index of the first byte 0, or npos when there is none.
    std::size_t firstFalse() const;
    // Index of the first byte exactly 1, or npos when there is none.
    std::size_t firstTrue() const;

    // Same length and the same raw bytes (two empty vectors are equal).
    bool isEqual(const XVBitVec& v) const;
    bool operator==(const XVBitVec& v) const { return isEqual(v); }
    bool operator!=(const XVBitVec& v) const { return !isEqual(v); }
    // Non-empty and every element (non-zero = true) equals `b`.
    bool operator==(bool b) const;
    // Some element (non-zero = true) differs from `b`. False when empty, so an
    // empty vector is neither `== b` nor `!= b`.
    bool operator!=(bool b) const;

    // Resizes to `v`'s length, then copies `v`'s bytes over (self-assignment
    // leaves the vector as it is). This vector keeps its own buffer, also when
    // `v` is a temporary; shrinking keeps all of it. May throw as resize
    // does, leaving this vector unchanged.
    XVBitVec& operator=(const XVBitVec& v);
    // Every element := `b`; the length is unchanged.
    XVBitVec& operator=(bool b);

    // Sets the length to `n`: shrinking keeps the buffer and its bytes;
    // growing reallocates to exactly `n` bytes and leaves the added elements
    // unspecified. Throws std::runtime_error ("void XVBitVec::resize ( size_t
    // N )") when the storage cannot be had, leaving the vector unchanged.
    void resize(std::size_t n);

    // Elementwise, in place. Each throws std::length_error ("XVBitVec&
    // XVBitVec::operator ^= ( const XVBitVec& vec )") when the lengths differ,
    // leaving the vector unchanged.
    //   ^=  0 where both bytes are non-zero, else the sum (the non-zero byte)
    //   |=  1 where either byte is non-zero, else 0
    //   &=  1 where both bytes are non-zero, else 0
    XVBitVec& operator^=(const XVBitVec& v);
    XVBitVec& operator|=(const XVBitVec& v);
    XVBitVec& operator&=(const XVBitVec& v);

  private:
    friend XVKIT_API XVBitVec operator!(const XVBitVec& a);
    friend XVKIT_API XVBitVec operator^(const XVBitVec& a, const XVBitVec& b);
    friend XVKIT_API XVBitVec operator|(const XVBitVec& a, const XVBitVec& b);
    friend XVKIT_API XVBitVec operator&(const XVBitVec& a, const XVBitVec& b);

    // Grows or shrinks without locking; the callers hold the lock.
    void setLength(std::size_t n);

    // One of the elementwise byte loops: dst, a, b, count.
    using Kernel = void (*)(unsigned char*, const unsigned char*, const unsigned char*,
                            std::size_t);
    // Under the locks of `a` then `b`: throws std::length_error(`mismatch`)
    // when their lengths differ, else stores kernel(a, b) in `out`, sized to
    // them. `out` is either `a` itself or a new, empty vector.
    XVKIT_INTERNAL static void combine(XVBitVec& out, const XVBitVec& a, const XVBitVec& b,
                                       Kernel kernel, const char* mismatch);

    unsigned char* bytes_ = nullptr;
    std::size_t length_ = 0;
};

// 1 where `a`'s byte is 0, else 0. Throws only std::runtime_error when the
// result cannot be allocated.
XVKIT_API XVBitVec operator!(const XVBitVec& a);
// Elementwise results as the compound operators. Each throws std::length_error
// ("XVBitVec\t\toperator ! ( const XVBitVec& a, const XVBitVec& b )", with two
// tab characters) when the lengths differ.
XVKIT_API XVBitVec operator^(const XVBitVec& a, const XVBitVec& b);
XVKIT_API XVBitVec operator|(const XVBitVec& a, const XVBitVec& b);
XVKIT_API XVBitVec operator&(const XVBitVec& a, const XVBitVec& b);

#endif  // XVKIT_XVBITVEC_H_
