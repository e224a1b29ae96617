// Scans that find where a search can begin, many characters per step: the
// first character of a set (a pattern's character test), and the first
// occurrence of a literal text. On x86-64 processors with AVX2 they test 32
// characters at a time; elsewhere they fall back to a plain loop over a table.
// Both forms are exported here so that tests can hold them to the same
// results; the search engines call the dispatching `find` members only.

#ifndef XVKIT_SRC_REGEXP_BYTE_SCAN_H_
#define XVKIT_SRC_REGEXP_BYTE_SCAN_H_

#include <cstddef>
#include <string>
#include <vector>

#include "byte_map.h"

namespace xvkit::regexp {

constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);

// Whether this processor runs the vector forms.
bool vectorScansAvailable();

// The first character of a class (a set of characters) in a text.
class ByteClassFinder {
  public:
    ByteClassFinder() = default;
    explicit ByteClassFinder(const ByteMap& map);

    bool contains(unsigned char c) const { return bit(c) != 0; }
    // An estimate of how many characters of ten thousand in common text are
    // members of `map`; the lower, the fewer candidates a scan for the class
    // stops at.
    static int frequencyOf(const ByteMap& map);
    // The same estimate for one character.
    static int frequencyOf(unsigned char c);

    // The first position in [p, n) of `text` holding a member, or kNoPosition.
    std::size_t find(const unsigned char* text, std::size_t n, std::size_t p) const;
    std::size_t findScalar(const unsigned char* text, std::size_t n, std::size_t p) const;
    std::size_t findVector(const unsigned char* text, std::size_t n, std::size_t p) const;

  private:
    // 1 for a member, else 0.
    unsigned bit(unsigned char c) const { return map_.contains(c) ? 1u : 0u; }

    ByteMap map_;
    int count_ = 0;
    unsigned char only_ = 0;  // the member, when there is exactly one
    // For the vector scan: lowRows_[l] has bit h set when character 16 * h + l
    // is a member (h < 8), highRows_[l] the same for h - 8 (h >= 8).
    alignas(16) unsigned char lowRows_[16] = {};
    alignas(16) unsigned char highRows_[16] = {};
};

// The longest literal a LiteralFinder takes: a pattern code's items.
constexpr std::size_t kMaxLiteral = 256;

// The first occurrence of a literal text of 1 to kMaxLiteral characters, found by
// testing two of its rarer characters at their offsets across the text and
// comparing the whole literal only where both agree.
class LiteralFinder {
  public:
    LiteralFinder() = default;
    // `literal` must outlive the finder. When `caseBlind`, ASCII letters
    // match either case, and `literal` holds them in lower case.
    LiteralFinder(const unsigned char* literal, std::size_t length, bool caseBlind = false);

    // The first position in [p, n) of `text` where the literal begins, or
    // kNoPosition.
    std::size_t find(const unsigned char* text, std::size_t n, std::size_t p) const;
    std::size_t findScalar(const unsigned char* text, std::size_t n, std::size_t p) const;
    std::size_t findVector(const unsigned char* text, std::size_t n, std::size_t p) const;

  private:
    bool matchesAt(const unsigned char* at) const;
    // The byte a text byte `c` is compared as: its lower case when case blind.
    unsigned char folded(unsigned char c) const { return caseBlind_ ? asciiLower(c) : c; }
    // Whether `c` of the literal stands for both cases of a letter.
    bool caseBlindLetter(unsigned char c) const { return caseBlind_ && c >= 'a' && c <= 'z'; }

    const unsigned char* literal_ = nullptr;
    std::size_t length_ = 0;
    bool caseBlind_ = false;
    std::size_t rare_ = 0;   // offset of the rarest character
    std::size_t other_ = 0;  // offset of the next rarest (the same when only one)
};

// Where one of a few strings (up to kMaxStrings, each of kPrefix bytes or
// more) may start, found by the nibbles of their first kPrefix bytes, 32
// positions at a time (the idea of Hyperscan's "Teddy" matcher). Each
// string is put in one of eight buckets; for each of the first bytes, a
// table by low nibble and one by high nibble give the buckets whose strings
// hold a byte with that nibble there. A position is a candidate when some
// bucket survives the lookups of all its first bytes; the strings are then
// compared by the caller.
class PrefixFingerprints {
  public:
    static constexpr std::size_t kMaxStrings = 32;
    static constexpr std::size_t kPrefix = 3;

    PrefixFingerprints() = default;
    // `strings` hold kPrefix bytes or more. When `caseBlind`, ASCII letters
    // match either case.
    PrefixFingerprints(const std::vector<std::string>& strings, bool caseBlind);

    // The first position in [p, n) of `text` followed by kPrefix bytes in
    // the text that is a candidate, or kNoPosition.
    std::size_t find(const unsigned char* text, std::size_t n, std::size_t p) const;
    std::size_t findScalar(const unsigned char* text, std::size_t n, std::size_t p) const;
    std::size_t findVector(const unsigned char* text, std::size_t n, std::size_t p) const;

  private:
    static constexpr int kBuckets = 8;
    // The buckets of the strings with byte value `c` at offset `i`.
    unsigned char buckets(std::size_t i, unsigned char c) const {
        return lowNibbles_[i][c & 0x0F] & highNibbles_[i][c >> 4];
    }

    alignas(16) unsigned char lowNibbles_[kPrefix][16] = {};
    alignas(16) unsigned char highNibbles_[kPrefix][16] = {};
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_BYTE_SCAN_H_
