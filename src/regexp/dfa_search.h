// The search for long texts. A forward pass runs the lock-step search without
// the match starts: the ordered state lists it visits are few, so each is
// made once, given a number, and its successor on each class of characters
// (characters that every test of the pattern treats alike) is kept in a
// table, leaving one table lookup per text character. It finds where the
// leftmost match ends. A backward pass from that end then finds the earliest
// position from which the pattern matches exactly up to it, which is the
// leftmost start: a match from an earlier start would itself be the leftmost.
// A pattern whose matches start at line starts needs no backward pass: its
// match starts where the line of that end starts.
//
// An assertion needs the character after its position, which the forward
// pass has not read yet: it stays in the state list as a pending thread and
// is decided by the next step (or at the end of the text), so that a step may
// find a match that ended one character earlier.
//
// States are found through a hash table. The tables grow as the searches need
// states, within a memory budget; when a new state would pass it, every state
// is dropped and the search goes on from the state it is in, so that memory
// stays bounded and the time linear in the text: a step costs one lookup, or
// the making of one state, whose cost depends on the pattern only.
//
// The tables depend only on the pattern, so one searcher serves any number of
// searches with its pattern, each adding the states it is the first to need.

#ifndef XVKIT_SRC_REGEXP_DFA_SEARCH_H_
#define XVKIT_SRC_REGEXP_DFA_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "program.h"

namespace xvkit::regexp {

// Below this many characters the lock-step search is as quick as building
// the tables for a pattern met for the first time.
constexpr std::size_t kShortText = 32;

class DfaSearcher {
  public:
    // The memory a searcher's tables may fill unless told otherwise (their
    // vectors may hold up to twice as much).
    static constexpr std::size_t kDefaultBudget = 256 * 1024;

    // `program` must outlive the searcher.
    explicit DfaSearcher(const Program& program, std::size_t budget = kDefaultBudget);
    DfaSearcher(const DfaSearcher&) = delete;
    DfaSearcher& operator=(const DfaSearcher&) = delete;

    // Searches the `n` characters of `text` from `start` <= `n` for the
    // leftmost match that starts at or before `lastStart`. On a match stores
    // its start and length and returns true.
    bool search(const unsigned char* text, std::size_t n, std::size_t start, std::size_t lastStart,
                std::size_t* matchStart, std::size_t* matchLength);
    bool search(const unsigned char* text, std::size_t n, std::size_t start,
                std::size_t* matchStart, std::size_t* matchLength) {
        return search(text, n, start, n, matchStart, matchLength);
    }

    // How many times the tables reached their budget and were emptied.
    std::size_t resets() const { return resets_; }
    // How many states the tables hold.
    std::size_t stateCount() const { return states_.size(); }

  private:
    // A state: the ordered list of live slots (consuming slots, and pending
    // assertions), whether new starts are still tried (they stop at the first
    // match), and whether the step into it found a match ending at its own
    // position or at the one before.
    struct State {
        std::uint32_t begin;  // first slot number in pool_
        std::uint16_t length;
        std::uint8_t flags;
        std::uint8_t atEnd;  // whether a match ends at the end of the text, once known
    };

    std::size_t matchEnd(const unsigned char* text, std::size_t n, std::size_t start,
                         std::size_t lastStart);
    std::size_t earliestStart(const unsigned char* text, std::size_t n, std::size_t start,
                              std::size_t end) const;
    std::uint32_t initialState(bool startAllowed);
    std::uint32_t withoutStarts(std::uint32_t s);
    std::uint32_t transition(std::uint32_t s, unsigned char c);
    bool matchesAtEnd(std::uint32_t s);
    void beginList();
    bool enter(int k);
    bool visit(int k, unsigned char c);
    bool follow(int k, unsigned char c);
    std::uint8_t step(std::uint32_t s, unsigned char c);
    std::uint32_t intern(std::uint8_t flags);
    std::uint32_t entry(std::uint32_t s) const;
    std::size_t memory() const;
    void clear();
    void stopJumping();

    const Program& program_;
    const std::size_t budget_;
    // classOf_[c]: the class of character c; a state's row has 1 << shift_ entries.
    std::uint8_t classOf_[256];
    int shift_ = 0;
    // table_[(s << shift_) + class] is the entry for the successor of state s.
    std::vector<std::uint32_t> table_;
    std::vector<State> states_;
    std::vector<std::uint16_t> pool_;
    // Open addressing over state numbers, kNoState when free.
    std::vector<std::uint32_t> hash_;
    std::size_t resets_ = 0;
    // The states every search begins in, by whether a match may start there.
    std::uint32_t initial_[2];
    // The state in which only a new start that needs a character is live.
    std::uint32_t idle_;
    // Whether the search jumps from the idle state to the next character a
    // start can take, with the record that decides it.
    bool jumping_;
    std::size_t idleVisits_ = 0;
    std::size_t jumped_ = 0;
    // The list being built, with the generation that marks its slots, and
    // the generation that marks the slots a step has visited.
    std::uint16_t list_[kMaxSlots];
    int listLength_ = 0;
    std::uint32_t mark_[kMaxSlots];
    std::uint32_t visited_[kMaxSlots];
    std::uint32_t generation_ = 0;
    // Whether the step under way reached a match after its character.
    bool matchAfter_ = false;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_DFA_SEARCH_H_
