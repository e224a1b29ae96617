// The search for long texts. A forward pass runs the lock-step search without
// the match starts: the ordered state lists it visits are few, so each is
// made once, given a number, and its successor on each character is kept in a
// table, leaving one table lookup per text character. It finds where the
// leftmost match ends. A backward pass from that end then finds the earliest
// position from which the pattern matches exactly up to it, which is the
// leftmost start: a match from an earlier start would itself be the leftmost.
//
// The tables depend only on the pattern, so one searcher serves any number of
// searches with its pattern, each adding the states it is the first to need.

#ifndef XVKIT_SRC_REGEXP_DFA_SEARCH_H_
#define XVKIT_SRC_REGEXP_DFA_SEARCH_H_

#include <cstddef>
#include <cstdint>

#include "program.h"

namespace xvkit::regexp {

enum class DfaOutcome { found, notFound, tooManyStates };

class DfaSearcher {
  public:
    // `program` must outlive the searcher.
    explicit DfaSearcher(const Program& program);
    DfaSearcher(const DfaSearcher&) = delete;
    DfaSearcher& operator=(const DfaSearcher&) = delete;

    // Searches the `n` characters of `text` from `start` < `n`. On a match
    // stores its start and length. Gives up with tooManyStates, having stored
    // nothing and emptied the tables, when the search needs more states than
    // the tables hold.
    DfaOutcome search(const unsigned char* text, std::size_t n, std::size_t start,
                      std::size_t* matchStart, std::size_t* matchLength);

    // How many searches gave up so far.
    int failures() const { return failures_; }

  private:
    static constexpr int kMaxStates = 64;
    static constexpr int kPoolSize = 4096;  // slot numbers of all state lists together

    // A state: the ordered list of live slots, whether new starts are still
    // tried (they stop at the first match), and whether the step into it
    // reached a match.
    struct State {
        int begin;   // first slot number in pool_
        int length;  // number of slots
        bool injecting;
        bool accepting;
    };

    std::size_t matchEnd(const unsigned char* text, std::size_t n, std::size_t start);
    std::size_t earliestStart(const unsigned char* text, std::size_t n, std::size_t start,
                              std::size_t end) const;
    int initialState();
    void beginList();
    bool enter(int k, bool atEnd);
    bool step(int s, unsigned char c, bool atEnd, bool* injecting);
    int transition(int s, unsigned char c);
    bool matchesAtEnd(int s, unsigned char c);
    int intern(bool injecting, bool accepting);
    std::uint16_t entry(int s) const;
    void stopJumping();
    void clear();

    const Program& program_;
    // table_[s * 256 + c] is the entry for the successor of state s on c.
    std::uint16_t table_[kMaxStates * 256];
    // endTable_[s * 256 + c]: whether the step from s on c onto the end of the
    // text reaches a match (0 or 1), or kEndUnknown.
    std::uint8_t endTable_[kMaxStates * 256];
    State states_[kMaxStates];
    int stateCount_ = 0;
    // The state every search begins in, once made.
    int initial_ = -1;
    // The state in which only a new start that needs a character is live.
    int idle_ = -1;
    // Whether the search jumps from the idle state to the next character a
    // start can take, with the record that decides it.
    bool jumping_;
    std::size_t idleVisits_ = 0;
    std::size_t jumped_ = 0;
    unsigned short pool_[kPoolSize];
    int poolUsed_ = 0;
    bool full_ = false;
    int failures_ = 0;
    // The list being built, with the generation that marks its slots.
    unsigned short list_[kMaxSlots];
    int listLength_ = 0;
    std::uint32_t mark_[kMaxSlots];
    std::uint32_t generation_ = 0;
};

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_DFA_SEARCH_H_
