#include "dfa_search.h"

#include <algorithm>
#include <cstring>

#include "debug_check.h"

namespace xvkit::regexp {

namespace {

// A table entry is 256 times the successor's number plus flags in the low byte.
constexpr std::uint16_t kUnknown = 0xFFFF;
constexpr std::uint16_t kLookBit = 1;  // the successor is accepting or dead
constexpr std::uint16_t kIdleBit = 2;  // the successor is the idle state
constexpr std::uint16_t kFlags = kLookBit | kIdleBit;
constexpr std::uint8_t kEndUnknown = 2;

}  // namespace

DfaSearcher::DfaSearcher(const Program& program)
    : program_(program), jumping_(program.firstSlotRequired()) {
    std::memset(mark_, 0, sizeof mark_[0] * static_cast<std::size_t>(program.count()));
}

DfaOutcome DfaSearcher::search(const unsigned char* text, std::size_t n, std::size_t start,
                               std::size_t* matchStart, std::size_t* matchLength) {
    XVKIT_DCHECK(start < n);
    full_ = false;
    const std::size_t end = matchEnd(text, n, start);
    if (full_) {
        ++failures_;
        clear();
        return DfaOutcome::tooManyStates;
    }
    if (end == kNoPosition)
        return DfaOutcome::notFound;
    const std::size_t first = program_.anchored() ? start : earliestStart(text, n, start, end);
    *matchStart = first;
    *matchLength = end - first;
    return DfaOutcome::found;
}

void DfaSearcher::clear() {
    stateCount_ = 0;
    poolUsed_ = 0;
    idle_ = -1;
    initial_ = -1;
}

// The state at the search start, which is not the end of the text; -1 when
// the tables are full.
int DfaSearcher::initialState() {
    if (initial_ < 0) {
        beginList();
        const bool emptyMatch = enter(0, false);
        initial_ = intern(!program_.anchored() && !emptyMatch, emptyMatch);
    }
    return initial_;
}

// Where the leftmost match ends, or kNoPosition; sets full_ on giving up.
std::size_t DfaSearcher::matchEnd(const unsigned char* text, std::size_t n, std::size_t start) {
    int s = initialState();
    if (s < 0)
        return kNoPosition;

    std::size_t end = kNoPosition;
    std::size_t p = start;
    const unsigned char* const last = text + n - 1;
    for (;;) {
        // Look at state s at position p.
        const State& state = states_[s];
        if (state.accepting)
            end = p;
        if (state.length == 0 && !state.injecting)
            return end;
        if (s == idle_ && jumping_) {
            if (!program_.slot(0).accepts(text[p])) {
                const std::size_t from = p;
                p = program_.nextCandidate(text, n, p + 1);
                if (p == kNoPosition)
                    return end;
                jumped_ += p - from;
            }
            if (++idleVisits_ > 32 && jumped_ < idleVisits_ * 16)
                stopJumping();
        }
        // The hot loop: one lookup per character until an entry with a flag
        // (unknown entries have every flag set). It stops before the last
        // character, whose step is taken apart.
        std::size_t row = static_cast<std::size_t>(s) * 256;
        const unsigned char* q = text + p;
        std::uint16_t t = 0;
        while (q < last) {
            t = table_[row + *q];
            if (t & kFlags)
                break;
            row = t;
            ++q;
        }
        if (q == last) {
            p = n - 1;
            s = static_cast<int>(row >> 8);
            break;
        }
        if (t == kUnknown) {
            const int next = transition(static_cast<int>(row >> 8), *q);
            if (next < 0)
                return kNoPosition;
            t = entry(next);
            table_[row + *q] = t;
        }
        p = static_cast<std::size_t>(q - text) + 1;
        s = t >> 8;
    }
    // The step onto the end of the text, where the end anchor holds.
    return matchesAtEnd(s, text[p]) ? n : end;
}

// The table entry that leads to state `s`.
std::uint16_t DfaSearcher::entry(int s) const {
    const State& state = states_[s];
    const bool look = state.accepting || (state.length == 0 && !state.injecting);
    const bool idle = s == idle_ && jumping_;
    return static_cast<std::uint16_t>(s * 256 | (look ? kLookBit : 0) | (idle ? kIdleBit : 0));
}

// Jumps over characters that no start can take pay only when they are long;
// once they prove short for this pattern, the idle state is stepped through
// like any other.
void DfaSearcher::stopJumping() {
    jumping_ = false;
    for (int s = 0; s < stateCount_; ++s) {
        for (int c = 0; c < 256; ++c) {
            std::uint16_t& t = table_[s * 256 + c];
            if (t != kUnknown)
                t = static_cast<std::uint16_t>(t & ~kIdleBit);
        }
    }
}

void DfaSearcher::beginList() {
    ++generation_;
    listLength_ = 0;
}

// Appends slot `k` and the slots after it reached without consuming; returns
// true on reaching the end of the code (a match).
bool DfaSearcher::enter(int k, bool atEnd) {
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

// Builds in list_ the slots live after state `s` takes `c`, onto the end of
// the text when `atEnd`; returns whether the step reached a match, which
// discards every slot after the one that reached it, and sets `*injecting` to
// whether new starts are still tried.
bool DfaSearcher::step(int s, unsigned char c, bool atEnd, bool* injecting) {
    const State& state = states_[s];
    beginList();
    bool accepted = false;
    for (int j = 0; j < state.length && !accepted; ++j) {
        const int k = pool_[state.begin + j];
        const Slot& slot = program_.slot(k);
        if (slot.accepts(c))
            accepted = enter(slot.kind == Kind::repeated ? k : k + 1, atEnd);
    }
    *injecting = state.injecting && !accepted;
    if (*injecting && enter(0, atEnd)) {
        accepted = true;
        *injecting = false;
    }
    return accepted;
}

// The successor of state `s` on `c` before the end of the text, or -1 when it
// would need a state beyond the limit.
int DfaSearcher::transition(int s, unsigned char c) {
    bool injecting = false;
    const bool accepted = step(s, c, false, &injecting);
    return intern(injecting, accepted);
}

bool DfaSearcher::matchesAtEnd(int s, unsigned char c) {
    std::uint8_t& known = endTable_[s * 256 + c];
    if (known == kEndUnknown) {
        bool injecting = false;
        known = step(s, c, true, &injecting) ? 1 : 0;
    }
    return known == 1;
}

// The number of the state holding the current list, made if new; -1 (and
// full_) when the tables are full.
int DfaSearcher::intern(bool injecting, bool accepting) {
    for (int s = 0; s < stateCount_; ++s) {
        const State& state = states_[s];
        if (state.injecting == injecting && state.accepting == accepting &&
            state.length == listLength_ &&
            std::memcmp(pool_ + state.begin, list_, sizeof list_[0] * listLength_) == 0) {
            return s;
        }
    }
    if (stateCount_ == kMaxStates || poolUsed_ + listLength_ > kPoolSize) {
        full_ = true;
        return -1;
    }
    const int s = stateCount_++;
    states_[s] = {poolUsed_, listLength_, injecting, accepting};
    std::memcpy(pool_ + poolUsed_, list_, sizeof list_[0] * listLength_);
    poolUsed_ += listLength_;
    std::fill(table_ + s * 256, table_ + (s + 1) * 256, kUnknown);
    std::fill(endTable_ + s * 256, endTable_ + (s + 1) * 256, kEndUnknown);
    // Nothing but a new start is live, and that start needs a character.
    const bool idle =
        injecting && listLength_ == 1 && list_[0] == 0 && program_.firstSlotRequired();
    if (idle)
        idle_ = s;
    return s;
}

// The earliest position in [start, end] from which the pattern matches the
// text exactly up to `end`, or kNoPosition. Boundary b (0 to count) stands for
// "slots b onwards match the text from here to `end`".
std::size_t DfaSearcher::earliestStart(const unsigned char* text, std::size_t n, std::size_t start,
                                       std::size_t end) const {
    const int count = program_.count();
    bool bufferA[kMaxSlots + 1];
    bool bufferB[kMaxSlots + 1];
    bool* live = bufferA;
    bool* before = bufferB;
    live[count] = true;
    for (int b = count - 1; b >= 0; --b) {
        live[b] = program_.slot(b).skippable(end == n) && live[b + 1];
    }
    std::size_t earliest = live[0] ? end : kNoPosition;
    for (std::size_t p = end; p > start; --p) {
        const unsigned char c = text[p - 1];
        bool any = false;
        before[count] = false;
        for (int b = count - 1; b >= 0; --b) {
            const Slot& slot = program_.slot(b);
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

}  // namespace xvkit::regexp
