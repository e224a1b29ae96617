#include "byte_scan.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "debug_check.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define XVKIT_VECTOR_SCANS 1
#endif

namespace xvkit::regexp {

namespace {

// Characters per vector step.
constexpr std::size_t kVector = 32;
// The bit in which an ASCII letter's two cases differ.
constexpr char kCaseBit = 0x20;

// How many of ten thousand characters of common text (English prose, code,
// logs) are each character; a rough ranking is all the scans need.
constexpr std::array<short, 256> kFrequency = [] {
    // a to z, from English letter counts.
    constexpr short kLetters[26] = {650, 120, 220, 340, 1000, 180, 160, 490, 560, 10,  60, 320, 200,
                                    560, 600, 150, 10,  480,  510, 730, 220, 80,  190, 15, 160, 8};
    std::array<short, 256> frequency{};
    for (int c = 0; c < 256; ++c)
        frequency[c] = c >= 0x80 ? 10 : c < ' ' || c == 0x7F ? 1 : 5;
    for (int k = 0; k < 26; ++k) {
        frequency['a' + k] = kLetters[k];
        frequency['A' + k] = static_cast<short>(kLetters[k] / 10 + 5);
    }
    for (int c = '0'; c <= '9'; ++c)
        frequency[c] = 20;
    for (const unsigned char c : {'\t', '-', '_', '"', '\'', '/', ':', '(', ')', '='})
        frequency[c] = 30;
    frequency[','] = frequency['.'] = 100;
    frequency['\n'] = 150;
    frequency[' '] = 1500;
    return frequency;
}();

#if XVKIT_VECTOR_SCANS

// The vector steps are one AVX2 register wide.
static_assert(kVector == sizeof(__m256i));

__attribute__((target("avx2"))) inline __m256i load(const unsigned char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

__attribute__((target("avx2"))) inline __m256i broadcastRows(const unsigned char* rows) {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(rows)));
}

// The positions of `block` whose characters are members, as bits, from the
// two nibble tables: the row of the low nibble (from the low or high table as
// the top bit says) has the bit of the high nibble set for members.
struct SetTest {
    __m256i lowRows, highRows, nibbleBits, lowNibbleAndTop, top, nibble;

    __attribute__((target("avx2"))) unsigned members(__m256i block) const {
        const __m256i index = _mm256_and_si256(block, lowNibbleAndTop);
        // pshufb gives 0 for an index with its top bit set, so each table
        // answers only for its half of the characters.
        const __m256i rows =
            _mm256_or_si256(_mm256_shuffle_epi8(lowRows, index),
                            _mm256_shuffle_epi8(highRows, _mm256_xor_si256(index, top)));
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(block, 4), nibble);
        const __m256i bit = _mm256_shuffle_epi8(nibbleBits, high);
        return static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(rows, bit), bit)));
    }
};

// The positions where a literal may begin, as bits: those where two of its
// characters stand at their offsets. A case-blind letter is compared in
// lower case: the text's bytes get the case bit set first, which maps only
// the letter's two cases to it.
struct PairTest {
    __m256i rare, other, rareCase, otherCase;
    std::size_t rareOffset, otherOffset;

    __attribute__((target("avx2"))) __m256i hits(const unsigned char* at) const {
        const __m256i rareBytes = _mm256_or_si256(load(at + rareOffset), rareCase);
        const __m256i otherBytes = _mm256_or_si256(load(at + otherOffset), otherCase);
        return _mm256_and_si256(_mm256_cmpeq_epi8(rareBytes, rare),
                                _mm256_cmpeq_epi8(otherBytes, other));
    }
    __attribute__((target("avx2"))) unsigned candidates(const unsigned char* at) const {
        return static_cast<unsigned>(_mm256_movemask_epi8(hits(at)));
    }
    // Whether two blocks from `at` hold no candidate.
    __attribute__((target("avx2"))) bool noneInTwo(const unsigned char* at) const {
        const __m256i both = _mm256_or_si256(hits(at), hits(at + kVector));
        return _mm256_testz_si256(both, both) != 0;
    }
};

#endif

}  // namespace

bool vectorScansAvailable() {
#if XVKIT_VECTOR_SCANS
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return available;
#else
    return false;
#endif
}

// Visits the members only: a finder is made for every pattern a thread meets.
ByteClassFinder::ByteClassFinder(const ByteMap& map) : map_(map) {
    for (int w = 0; w < kMapWords; ++w) {
        for (unsigned bits = map.words[w]; bits != 0; bits &= bits - 1) {
            const int low = __builtin_ctz(bits);
            ++count_;
            only_ = static_cast<unsigned char>(w * 16 + low);
            unsigned char* rows = w < 8 ? lowRows_ : highRows_;
            rows[low] |= static_cast<unsigned char>(1u << (w & 7));
        }
    }
}

int ByteClassFinder::frequencyOf(const ByteMap& map) {
    int total = 0;
    for (int w = 0; w < kMapWords; ++w) {
        for (unsigned bits = map.words[w]; bits != 0; bits &= bits - 1)
            total += kFrequency[static_cast<unsigned char>(w * 16 + __builtin_ctz(bits))];
    }
    return total;
}

int ByteClassFinder::frequencyOf(unsigned char c) {
    return kFrequency[c];
}

std::size_t ByteClassFinder::find(const unsigned char* text, std::size_t n, std::size_t p) const {
    XVKIT_DCHECK(p <= n);
    if (count_ == 1) {
        const void* at = std::memchr(text + p, only_, n - p);
        return at ? static_cast<std::size_t>(static_cast<const unsigned char*>(at) - text)
                  : kNoPosition;
    }
    if (count_ == 0)
        return kNoPosition;
    return n - p >= kVector && vectorScansAvailable() ? findVector(text, n, p)
                                                      : findScalar(text, n, p);
}

std::size_t ByteClassFinder::findScalar(const unsigned char* text, std::size_t n,
                                        std::size_t p) const {
    std::size_t q = p;
    for (; q + 4 <= n; q += 4) {
        if (bit(text[q]) | bit(text[q + 1]) | bit(text[q + 2]) | bit(text[q + 3]))
            break;
    }
    for (; q < n; ++q) {
        if (contains(text[q]))
            return q;
    }
    return kNoPosition;
}

#if XVKIT_VECTOR_SCANS

__attribute__((target("avx2"))) std::size_t ByteClassFinder::findVector(const unsigned char* text,
                                                                        std::size_t n,
                                                                        std::size_t p) const {
    if (n - p < kVector)
        return findScalar(text, n, p);
    alignas(16) static constexpr unsigned char kNibbleBits[16] = {1, 2, 4, 8, 16, 32, 64, 128,
                                                                  1, 2, 4, 8, 16, 32, 64, 128};
    const SetTest test{broadcastRows(lowRows_),
                       broadcastRows(highRows_),
                       broadcastRows(kNibbleBits),
                       _mm256_set1_epi8(static_cast<char>(0x8F)),
                       _mm256_set1_epi8(static_cast<char>(0x80)),
                       _mm256_set1_epi8(0x0F)};
    std::size_t q = p;
    for (; q + 2 * kVector <= n; q += 2 * kVector) {
        const unsigned first = test.members(load(text + q));
        const unsigned second = test.members(load(text + q + kVector));
        if ((first | second) != 0)
            return q + (first != 0 ? __builtin_ctz(first) : kVector + __builtin_ctz(second));
    }
    for (; q + kVector <= n; q += kVector) {
        if (const unsigned found = test.members(load(text + q)))
            return q + __builtin_ctz(found);
    }
    if (q == n)
        return kNoPosition;
    // The last block overlaps the one before; its first characters were tested.
    const std::size_t back = n - kVector;
    const unsigned found = test.members(load(text + back)) >> (q - back);
    return found != 0 ? q + __builtin_ctz(found) : kNoPosition;
}

#else

std::size_t ByteClassFinder::findVector(const unsigned char* text, std::size_t n,
                                        std::size_t p) const {
    return findScalar(text, n, p);
}

#endif

LiteralFinder::LiteralFinder(const unsigned char* literal, std::size_t length, bool caseBlind)
    : literal_(literal), length_(length), caseBlind_(caseBlind) {
    XVKIT_DCHECK(length >= 1 && length <= kMaxLiteral);
    XVKIT_DCHECK(!caseBlind || std::all_of(literal, literal + length,
                                           [](unsigned char c) { return asciiLower(c) == c; }));
    for (std::size_t k = 1; k < length; ++k) {
        if (kFrequency[literal[k]] < kFrequency[literal[rare_]])
            rare_ = k;
    }
    other_ = rare_ == 0 && length > 1 ? 1 : 0;
    for (std::size_t k = 0; k < length; ++k) {
        if (k != rare_ && literal[k] != literal[rare_] &&
            kFrequency[literal[k]] < kFrequency[literal[other_]])
            other_ = k;
    }
}

bool LiteralFinder::matchesAt(const unsigned char* at) const {
    if (!caseBlind_)
        return std::memcmp(at, literal_, length_) == 0;
    for (std::size_t k = 0; k < length_; ++k) {
        if (asciiLower(at[k]) != literal_[k])
            return false;
    }
    return true;
}

std::size_t LiteralFinder::find(const unsigned char* text, std::size_t n, std::size_t p) const {
    XVKIT_DCHECK(p <= n);
    if (n - p < length_)
        return kNoPosition;
    return n - p >= length_ + kVector && vectorScansAvailable() ? findVector(text, n, p)
                                                                : findScalar(text, n, p);
}

std::size_t LiteralFinder::findScalar(const unsigned char* text, std::size_t n,
                                      std::size_t p) const {
    if (n - p < length_)
        return kNoPosition;
    // Candidates are where the rarest character sits at its offset.
    const unsigned char rare = literal_[rare_];
    const unsigned char* q = text + p + rare_;
    const unsigned char* const last = text + n - length_ + rare_;
    if (caseBlindLetter(rare)) {
        for (; q <= last; ++q) {
            if (folded(*q) == rare && matchesAt(q - rare_))
                return static_cast<std::size_t>(q - rare_ - text);
        }
        return kNoPosition;
    }
    while (q <= last) {
        q = static_cast<const unsigned char*>(std::memchr(q, rare, last - q + 1));
        if (q == nullptr)
            return kNoPosition;
        if (matchesAt(q - rare_))
            return static_cast<std::size_t>(q - rare_ - text);
        ++q;
    }
    return kNoPosition;
}

#if XVKIT_VECTOR_SCANS

__attribute__((target("avx2"))) std::size_t LiteralFinder::findVector(const unsigned char* text,
                                                                      std::size_t n,
                                                                      std::size_t p) const {
    if (n - p < length_ + kVector)
        return findScalar(text, n, p);
    const PairTest test{_mm256_set1_epi8(static_cast<char>(literal_[rare_])),
                        _mm256_set1_epi8(static_cast<char>(literal_[other_])),
                        _mm256_set1_epi8(caseBlindLetter(literal_[rare_]) ? kCaseBit : 0),
                        _mm256_set1_epi8(caseBlindLetter(literal_[other_]) ? kCaseBit : 0),
                        rare_,
                        other_};
    // The last start whose block of candidates lies wholly in the text.
    const std::size_t lastBlock = n - length_ - kVector + 1;
    std::size_t q = p;
    for (;;) {
        while (q + kVector <= lastBlock && test.noneInTwo(text + q))
            q += 2 * kVector;
        if (q > lastBlock)
            q = lastBlock;
        for (unsigned found = test.candidates(text + q); found != 0; found &= found - 1) {
            const std::size_t at = q + __builtin_ctz(found);
            if (matchesAt(text + at))
                return at;
        }
        if (q == lastBlock)
            return kNoPosition;
        // The last block may overlap the one before; its candidates are tested again.
        q = q + kVector <= lastBlock ? q + kVector : lastBlock;
    }
}

#else

std::size_t LiteralFinder::findVector(const unsigned char* text, std::size_t n,
                                      std::size_t p) const {
    return findScalar(text, n, p);
}

#endif

PrefixFingerprints::PrefixFingerprints(const std::vector<std::string>& strings, bool caseBlind) {
    XVKIT_DCHECK(strings.size() <= kMaxStrings);
    for (std::size_t k = 0; k < strings.size(); ++k) {
        const std::string& s = strings[k];
        XVKIT_DCHECK(s.size() >= kPrefix);
        const auto bucket = static_cast<unsigned char>(1u << (k % kBuckets));
        for (std::size_t i = 0; i < kPrefix; ++i) {
            const auto c = static_cast<unsigned char>(s[i]);
            ByteMap values = ByteMap::single(c);
            if (caseBlind)
                values.addOtherCases();
            for (int v = 0; v < 256; ++v) {
                if (!values.contains(static_cast<unsigned char>(v)))
                    continue;
                lowNibbles_[i][v & 0x0F] |= bucket;
                highNibbles_[i][v >> 4] |= bucket;
            }
        }
    }
}

std::size_t PrefixFingerprints::find(const unsigned char* text, std::size_t n,
                                     std::size_t p) const {
    XVKIT_DCHECK(p <= n);
    return n - p >= kVector + kPrefix - 1 && vectorScansAvailable() ? findVector(text, n, p)
                                                                    : findScalar(text, n, p);
}

std::size_t PrefixFingerprints::findScalar(const unsigned char* text, std::size_t n,
                                           std::size_t p) const {
    for (std::size_t q = p; q + kPrefix <= n; ++q) {
        unsigned char live = buckets(0, text[q]);
        for (std::size_t i = 1; i < kPrefix && live != 0; ++i)
            live &= buckets(i, text[q + i]);
        if (live != 0)
            return q;
    }
    return kNoPosition;
}

#if XVKIT_VECTOR_SCANS

__attribute__((target("avx2"))) std::size_t PrefixFingerprints::findVector(
    const unsigned char* text, std::size_t n, std::size_t p) const {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i low[kPrefix], high[kPrefix];
    for (std::size_t i = 0; i < kPrefix; ++i) {
        low[i] = broadcastRows(lowNibbles_[i]);
        high[i] = broadcastRows(highNibbles_[i]);
    }
    std::size_t q = p;
    for (; q + kVector + kPrefix - 1 <= n; q += kVector) {
        __m256i live = _mm256_set1_epi8(-1);
        for (std::size_t i = 0; i < kPrefix; ++i) {
            const __m256i block = load(text + q + i);
            const __m256i lows = _mm256_shuffle_epi8(low[i], _mm256_and_si256(block, nibble));
            const __m256i highs =
                _mm256_shuffle_epi8(high[i], _mm256_and_si256(_mm256_srli_epi16(block, 4), nibble));
            live = _mm256_and_si256(live, _mm256_and_si256(lows, highs));
        }
        const auto none = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(live, _mm256_setzero_si256())));
        if (none != 0xFFFFFFFFu)
            return q + __builtin_ctz(~none);
    }
    return findScalar(text, n, q);
}

#else

std::size_t PrefixFingerprints::findVector(const unsigned char* text, std::size_t n,
                                           std::size_t p) const {
    return findScalar(text, n, p);
}

#endif

}  // namespace xvkit::regexp
