// A compiled pattern code decoded into the form the search engines run.
//
// A code is a straight sequence of single-character items, each taken once,
// optionally or repeatedly, with an optional anchor at each end. Decoding
// turns it into slots: `a+` becomes `a` once followed by `a` repeated, every
// character test becomes a byte map, and the end anchor becomes an
// assertion on the character that follows. Match rules beyond the plain
// reading (line mode, case-blindness, whole words, whole lines) are applied
// here, so that every engine runs them alike.

#ifndef XVKIT_SRC_REGEXP_PROGRAM_H_
#define XVKIT_SRC_REGEXP_PROGRAM_H_

#include <cstddef>
#include <vector>

#include "byte_map.h"
#include "byte_scan.h"
#include "debug_check.h"
#include "match_rules.h"

namespace xvkit::regexp {

// A code has at most 255 words before its end word, and no item yields more
// slots than it has words; the match rules add at most one assertion.
constexpr int kMaxCodeSlots = 255;
constexpr int kMaxSlots = kMaxCodeSlots + 1;

// What follows a position: a character, or the end of the text.
constexpr int kEndOfText = -1;

enum class Kind : unsigned char { once, optional, repeated, assertion };

struct Slot {
    Kind kind;
    // The characters a consuming slot takes; for an assertion, the
    // characters that may follow its position (the end of the text always may).
    ByteMap map;

    bool consumes() const { return kind != Kind::assertion; }
    bool accepts(unsigned char c) const { return map.contains(c); }
    // Whether the slot can be passed without consuming, at a position
    // followed by `next` (a character, or kEndOfText).
    bool passable(int next) const {
        if (kind == Kind::assertion)
            return next == kEndOfText || map.contains(static_cast<unsigned char>(next));
        return kind != Kind::once;
    }
};

class Program {
  public:
    // Decodes the terminated, valid `code` under `rules`.
    explicit Program(const unsigned short* code, const MatchRules& rules = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    int count() const { return count_; }
    // Whether any text can match: false when a slot taken once takes no
    // character (a newline in line mode).
    bool matchable() const { return matchable_; }
    const Boundaries& boundaries() const { return boundaries_; }
    const Slot& slot(int k) const { return slots_[static_cast<std::size_t>(k)]; }
    // Whether a match can start only at the search start (the beginning anchor).
    bool anchored() const { return boundaries_.anchored; }
    // Whether a match may start only after certain characters (or at position 0).
    bool startRestricted() const { return boundaries_.startRestricted; }
    // Whether a match may start at `p` of `text`, the search start apart.
    bool startAllowed(const unsigned char* text, std::size_t p) const {
        return boundaries_.startAllowed(text, p);
    }
    const ByteMap& startAfter() const { return boundaries_.startAfter; }
    // Whether a match starts exactly at the start of the line its end lies
    // in: starts are restricted to line starts (line mode's `^`, or whole
    // lines) and line mode keeps every match inside one line.
    bool startsAtLineStart() const { return startsAtLineStart_; }
    // Whether the code is a plain literal text (the prefix) and nothing else.
    bool pureLiteral() const {
        return count() > 0 && prefixLength_ == count() && !boundaries_.startRestricted;
    }
    std::size_t prefixLength() const { return static_cast<std::size_t>(prefixLength_); }
    // Whether every match must begin with a character accepted by slot 0, so
    // that positions where slot 0 fails can be skipped.
    bool firstSlotRequired() const { return count() > 0 && slots_[0].kind == Kind::once; }
    // The lowest position at or after `p` where a match of an unanchored code
    // can begin, from where the first character that a required slot accepts
    // stands and how far back the slots before it could reach; kNoPosition
    // when the text from `p` has no such character, so that nothing matches.
    std::size_t earliestStart(const unsigned char* text, std::size_t n, std::size_t p) const;

    // The first position in [p, last] of the `n` characters of `text` where
    // a match could start, when firstSlotRequired(); kNoPosition when there
    // is none (the scan reads no further than a match from `last` needs).
    std::size_t nextCandidate(const unsigned char* text, std::size_t n, std::size_t p,
                              std::size_t last) const;
    // The first position in [p, n) where the prefix begins, when pureLiteral().
    std::size_t findPrefix(const unsigned char* text, std::size_t n, std::size_t p) const {
        XVKIT_DCHECK(pureLiteral());
        return prefixFinder_.find(text, n, p);
    }

  private:
    void addSlot(Kind kind, const ByteMap& map);
    void chooseRequiredSlot();

    std::vector<Slot> slots_;
    int count_ = 0;  // the size of slots_, kept for the searches that ask it often
    bool matchable_ = true;
    // The start rules; the end rule is the last slot, an assertion.
    Boundaries boundaries_;
    bool startsAtLineStart_ = false;
    // The literal characters every match begins with.
    unsigned char prefix_[kMaxSlots];
    int prefixLength_ = 0;
    LiteralFinder prefixFinder_;
    // The characters slot 0 accepts.
    ByteClassFinder firstSet_;
    // The rarest slot every match takes once (-1 when none), the characters it
    // accepts, and the characters the slots before it accept.
    int requiredSlot_ = -1;
    ByteClassFinder requiredSet_;
    ByteMap beforeRequired_;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_PROGRAM_H_
