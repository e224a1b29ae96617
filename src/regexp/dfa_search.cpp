#include "dfa_search.h"

#include <cstdint>
#include <cstring>

namespace xvkit_regexp {

namespace {

constexpr int kMaxStates = 48;
constexpr int kPoolSize = 2048;  // slot numbers of all state lists together
constexpr unsigned char kUnknown = 0xFF;
constexpr unsigned char kAcceptBit = 0x40;  // set in a transition that reaches a match
constexpr unsigned char kStateMask = 0x3F;

// The forward pass. A state is the ordered list of live slots and whether new
// starts are still being tried (they stop at the first match).
class ForwardPass {
  public:
    explicit ForwardPass(const Program& program) : program_(program) {
        std::memset(mark_, 0, sizeof mark_[0] * static_cast<std::size_t>(program.count()));
    }

    // Where the leftmost match ends, or kNoPosition; tooManyStates_ tells
    // whether the pass gave up.
    std::size_t matchEnd(const unsigned char* text, std::size_t n, std::size_t start) {
        std::size_t end = kNoPosition;
        beginList();
        const bool emptyMatch = enter(0, false);
        int s = intern(!program_.anchored() && !emptyMatch);
        if (s < 0)
            return kNoPosition;
        if (emptyMatch)
            end = start;

        std::size_t p = start;
        std::size_t idleVisits = 0;
        std::size_t skipped = 0;
        for (;;) {
            if (special_[s]) {
                if (s == dead_)
                    return end;
                // Only new starts are live: jump to where one can take a character.
                if (!program_.slot(0).accepts(text[p])) {
                    const std::size_t from = p;
                    p = program_.nextCandidate(text, n, p + 1);
                    if (p == kNoPosition)
                        return end;
                    skipped += p - from;
                }
                // Short jumps cost more than the table steps they save.
                if (++idleVisits > 32 && skipped < idleVisits * 16)
                    special_[s] = false;
            }
            if (p + 1 >= n)
                break;
            unsigned char t = table_[s][text[p]];
            if (t == kUnknown) {
                t = transition(s, text[p], false);
                if (t == kUnknown)
                    return kNoPosition;
                table_[s][text[p]] = t;
            }
            ++p;
            s = t & kStateMask;
            if (t & kAcceptBit)
                end = p;
        }
        // The step onto the end of the text, where the end anchor holds; not kept.
        const unsigned char t = transition(s, text[p], true);
        if (t != kUnknown && (t & kAcceptBit))
            end = n;
        return end;
    }

    bool tooManyStates() const { return tooManyStates_; }

  private:
    struct State {
        int begin;   // first slot number in pool_
        int length;  // number of slots
        bool injecting;
    };

    void beginList() {
        ++generation_;
        listLength_ = 0;
    }

    // Appends slot `k` and the slots after it reached without consuming;
    // returns true on reaching the end of the code (a match).
    bool enter(int k, bool atEnd) {
        for (;;) {
            if (k == program_.count())
                return true;
            const Slot& slot = program_.slot(k);
            if (slot.kind == Kind::endAnchor) {
                if (!atEnd)
                    return false;
                ++k;
                continue;
            }
            if (mark_[k] == generation_)
                return false;
            mark_[k] = generation_;
            list_[listLength_++] = static_cast<unsigned short>(k);
            if (slot.kind == Kind::once)
                return false;
            ++k;
        }
    }

    // The successor of state `s` on `c` as a table entry, or kUnknown when it
    // would need a state beyond the limit.
    unsigned char transition(int s, unsigned char c, bool atEnd) {
        const State state = states_[s];
        beginList();
        bool accepted = false;
        for (int j = 0; j < state.length && !accepted; ++j) {
            const int k = pool_[state.begin + j];
            const Slot& slot = program_.slot(k);
            if (!slot.accepts(c))
                continue;
            accepted = enter(slot.kind == Kind::repeated ? k : k + 1, atEnd);
        }
        bool injecting = state.injecting && !accepted;
        if (injecting && enter(0, atEnd)) {
            accepted = true;
            injecting = false;
        }
        const int next = intern(injecting);
        if (next < 0)
            return kUnknown;
        return static_cast<unsigned char>(next | (accepted ? kAcceptBit : 0));
    }

    // The number of the state holding the current list, made if new; -1 when
    // the limit is reached.
    int intern(bool injecting) {
        for (int s = 0; s < stateCount_; ++s) {
            const State& state = states_[s];
            if (state.injecting == injecting && state.length == listLength_ &&
                std::memcmp(pool_ + state.begin, list_, sizeof list_[0] * listLength_) == 0) {
                return s;
            }
        }
        if (stateCount_ == kMaxStates || poolUsed_ + listLength_ > kPoolSize) {
            tooManyStates_ = true;
            return -1;
        }
        const int s = stateCount_++;
        states_[s] = {poolUsed_, listLength_, injecting};
        std::memcpy(pool_ + poolUsed_, list_, sizeof list_[0] * listLength_);
        poolUsed_ += listLength_;
        std::memset(table_[s], kUnknown, sizeof table_[s]);
        const bool dead = listLength_ == 0 && !injecting;
        // Nothing but a new start is live, and that start needs a character.
        const bool idle =
            injecting && listLength_ == 1 && list_[0] == 0 && program_.firstSlotRequired();
        if (dead)
            dead_ = s;
        special_[s] = dead || idle;
        return s;
    }

    const Program& program_;
    unsigned char table_[kMaxStates][256];
    State states_[kMaxStates];
    bool special_[kMaxStates];
    int stateCount_ = 0;
    int dead_ = -1;
    unsigned short pool_[kPoolSize];
    int poolUsed_ = 0;
    bool tooManyStates_ = false;
    // The list being built, with the generation that marks its slots.
    unsigned short list_[kMaxSlots];
    int listLength_ = 0;
    std::uint32_t mark_[kMaxSlots];
    std::uint32_t generation_ = 0;
};

// The earliest position in [start, end] from which the pattern matches the
// text exactly up to `end`, or kNoPosition. Boundary b (0 to count) stands for
// "slots b onwards match the text from here to `end`".
std::size_t earliestStart(const Program& program, const unsigned char* text, std::size_t n,
                          std::size_t start, std::size_t end) {
    const int count = program.count();
    bool bufferA[kMaxSlots + 1];
    bool bufferB[kMaxSlots + 1];
    bool* live = bufferA;
    bool* before = bufferB;
    std::memset(live, 0, sizeof bufferA);
    live[count] = true;
    for (int b = count - 1; b >= 0; --b)
        live[b] = program.slot(b).skippable(end == n) && live[b + 1];
    std::size_t earliest = live[0] ? end : kNoPosition;
    for (std::size_t p = end; p > start; --p) {
        const unsigned char c = text[p - 1];
        bool any = false;
        before[count] = false;
        for (int b = count - 1; b >= 0; --b) {
            const Slot& slot = program.slot(b);
            bool reached = false;
            if (slot.kind != Kind::endAnchor && slot.accepts(c)) {
                reached = slot.kind == Kind::repeated ? live[b] : live[b + 1];
            }
            // Slots are visited from the back, so before[b + 1] is final here.
            before[b] = reached || (slot.skippable(false) && before[b + 1]);
            any = any || before[b];
        }
        if (!any)
            break;
        if (before[0])
            earliest = p - 1;
        bool* swap = live;
        live = before;
        before = swap;
    }
    return earliest;
}

}  // namespace

DfaOutcome dfaSearch(const Program& program, const unsigned char* text, std::size_t n,
                     std::size_t start, std::size_t* matchStart, std::size_t* matchLength) {
    ForwardPass forward(program);
    const std::size_t end = forward.matchEnd(text, n, start);
    if (forward.tooManyStates())
        return DfaOutcome::tooManyStates;
    if (end == kNoPosition)
        return DfaOutcome::notFound;
    const std::size_t first =
        program.anchored() ? start : earliestStart(program, text, n, start, end);
    *matchStart = first;
    *matchLength = end - first;
    return DfaOutcome::found;
}

}  // namespace xvkit_regexp
