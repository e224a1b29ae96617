// A compiled pattern code decoded into the form the search engines run.
//
// A code is a straight sequence of single-character items, each taken once,
// optionally or repeatedly, with an optional anchor at each end. Decoding
// turns it into slots: `a+` becomes `a` once followed by `a` repeated, and
// every character test becomes a 256-bit map, so that all tests are one bit
// lookup.

#ifndef XVKIT_SRC_REGEXP_PROGRAM_H_
#define XVKIT_SRC_REGEXP_PROGRAM_H_

#include <cstddef>

#include "byte_scan.h"
#include "debug_check.h"

namespace xvkit::regexp {

// A code has at most 255 words before its end word, and no item yields more
// slots than it has words.
constexpr int kMaxSlots = 256;

enum class Kind : unsigned char { once, optional, repeated, endAnchor };

struct Slot {
    Kind kind;
    const unsigned short* map;  // membership map of the character test; null for the anchor

    bool accepts(unsigned char c) const { return (map[c >> 4] >> (c & 15)) & 1u; }
    // Whether the slot can be passed without consuming, at a position that is
    // (`atEnd`) or is not the end of the text.
    bool skippable(bool atEnd) const {
        return kind == Kind::optional || kind == Kind::repeated ||
               (kind == Kind::endAnchor && atEnd);
    }
};

class Program {
  public:
    // Decodes the terminated, valid `code`.
    explicit Program(const unsigned short* code);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    int count() const { return count_; }
    const Slot& slot(int k) const { return slots_[k]; }
    // Whether the code began with the beginning anchor.
    bool anchored() const { return anchored_; }
    // Whether the code is a plain literal text (the prefix) and nothing else.
    bool pureLiteral() const { return count_ > 0 && prefixLength_ == count_; }
    std::size_t prefixLength() const { return static_cast<std::size_t>(prefixLength_); }
    // Whether every match must begin with a character accepted by slot 0, so
    // that positions where slot 0 fails can be skipped.
    bool firstSlotRequired() const { return count_ > 0 && slots_[0].kind == Kind::once; }
    // The lowest position at or after `p` where a match of an unanchored code
    // can begin, from where the first character that a required slot accepts
    // stands and how far back the slots before it could reach; kNoPosition
    // when the text from `p` has no such character, so that nothing matches.
    std::size_t earliestStart(const unsigned char* text, std::size_t n, std::size_t p) const;

    // The first position in [p, n) of `text` where a match could start, when
    // firstSlotRequired(); kNoPosition when there is none.
    std::size_t nextCandidate(const unsigned char* text, std::size_t n, std::size_t p) const;
    // The first position in [p, n) where the prefix begins, when pureLiteral().
    std::size_t findPrefix(const unsigned char* text, std::size_t n, std::size_t p) const {
        XVKIT_DCHECK(pureLiteral());
        return prefixFinder_.find(text, n, p);
    }

  private:
    unsigned short* ownMap();
    void chooseRequiredSlot();

    Slot slots_[kMaxSlots];
    int count_ = 0;
    bool anchored_ = false;
    // Maps of the literal and any-character tests; classes use their inline map.
    unsigned short ownMaps_[kMaxSlots][16];
    int ownMapCount_ = 0;
    // The literal characters every match begins with.
    unsigned char prefix_[kMaxSlots];
    int prefixLength_ = 0;
    LiteralFinder prefixFinder_;
    // The characters slot 0 accepts.
    ByteSet firstSet_;
    // The rarest slot every match takes once (-1 when none), the characters it
    // accepts, and the characters the slots before it accept.
    int requiredSlot_ = -1;
    ByteSet requiredSet_;
    ByteSet beforeRequired_;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_PROGRAM_H_
