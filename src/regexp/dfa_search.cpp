#include "dfa_search.h"

#include <algorithm>
#include <cstring>

#include "debug_check.h"

namespace xvkit::regexp {

namespace {

constexpr std::uint32_t kNoState = 0xFFFFFFFF;

// State flags.
constexpr std::uint8_t kInjecting = 1;    // new starts are still tried
constexpr std::uint8_t kMatchHere = 2;    // a match ends at the state's position
constexpr std::uint8_t kMatchBefore = 4;  // a match ends one character before it
constexpr std::uint8_t kMatchFlags = kMatchHere | kMatchBefore;

// A table entry is four times the successor's row (its number shifted by the
// row width) plus flags in the low bits.
constexpr std::uint32_t kUnknown = 0xFFFFFFFF;
constexpr std::uint32_t kLookBit = 1;  // the successor has a match, or is dead
constexpr std::uint32_t kIdleBit = 2;  // the successor is the idle state
constexpr std::uint32_t kEntryFlags = kLookBit | kIdleBit;
constexpr int kEntryShift = 2;

constexpr std::uint8_t kEndUnknown = 2;

// Jumps over characters that no start can take are tried on this many visits
// of the idle state before they must have paid, by this many characters each:
// a vector scan that stops within four characters costs about what four
// table steps cost.
constexpr std::size_t kJumpTrial = 32;
constexpr std::size_t kJumpPays = 4;

}  // namespace

DfaSearcher::DfaSearcher(const Program& program, std::size_t budget)
    : program_(program),
      budget_(budget),
      initial_{kNoState, kNoState},
      idle_(kNoState),
      jumping_(program.firstSlotRequired()) {
    // Characters fall into the same class while every map agrees on them.
    std::uint8_t ids[256] = {};
    int classes = 1;
    const auto split = [&](const ByteMap& map) {
        std::int16_t renumber[512];
        std::fill(std::begin(renumber), std::end(renumber), -1);
        int next = 0;
        for (int c = 0; c < 256; ++c) {
            const int key = ids[c] * 2 + (map.contains(static_cast<unsigned char>(c)) ? 1 : 0);
            if (renumber[key] < 0)
                renumber[key] = static_cast<std::int16_t>(next++);
            ids[c] = static_cast<std::uint8_t>(renumber[key]);
        }
        classes = next;
    };
    for (int k = 0; k < program.count(); ++k)
        split(program.slot(k).map);
    if (program.startRestricted())
        split(program.startAfter());
    std::memcpy(classOf_, ids, sizeof classOf_);
    while ((1 << shift_) < classes)
        ++shift_;
    std::memset(mark_, 0, sizeof mark_[0] * static_cast<std::size_t>(program.count()));
    std::memset(visited_, 0, sizeof visited_[0] * static_cast<std::size_t>(program.count()));
}

bool DfaSearcher::search(const unsigned char* text, std::size_t n, std::size_t start,
                         std::size_t lastStart, std::size_t* matchStart, std::size_t* matchLength) {
    XVKIT_DCHECK(start <= n);
    if (lastStart < start)
        return false;
    const std::size_t end = matchEnd(text, n, start, lastStart);
    if (end == kNoPosition)
        return false;
    std::size_t first = start;
    if (program_.startsAtLineStart()) {
        const void* newline = memrchr(text + start, kNewline, end - start);
        if (newline != nullptr)
            first = static_cast<std::size_t>(static_cast<const unsigned char*>(newline) - text) + 1;
    } else if (!program_.anchored()) {
        first = earliestStart(text, n, start, end);
    }
    XVKIT_DCHECK(first != kNoPosition && first <= end);
    *matchStart = first;
    *matchLength = end - first;
    return true;
}

// Where the leftmost match ends, or kNoPosition.
std::size_t DfaSearcher::matchEnd(const unsigned char* text, std::size_t n, std::size_t start,
                                  std::size_t lastStart) {
    // The last position where a match may start: the state there is the last
    // to hold a new start.
    const std::size_t lastInjection = program_.anchored() ? start : std::min(lastStart, n);
    std::uint32_t s = initialState(program_.startAllowed(text, start));
    if (start == lastInjection)
        s = withoutStarts(s);
    std::size_t end = kNoPosition;
    std::size_t p = start;
    for (;;) {
        // Look at state s at position p.
        const State& state = states_[s];
        if (state.flags & kMatchHere)
            end = p;
        else if (state.flags & kMatchBefore)
            end = p - 1;
        if (state.length == 0 && !(state.flags & kInjecting))
            return end;
        if (s == idle_ && jumping_ && p < n) {
            if (!program_.slot(0).accepts(text[p])) {
                // Only a new start is live, and it needs a character slot 0 takes.
                const std::size_t from = p;
                do {
                    p = program_.nextCandidate(text, n, p + 1, lastInjection);
                } while (p != kNoPosition && !program_.startAllowed(text, p));
                if (p == kNoPosition)
                    return end;
                jumped_ += p - from;
                if (p == lastInjection)
                    s = withoutStarts(s);
            }
            if (++idleVisits_ > kJumpTrial && jumped_ < idleVisits_ * kJumpPays)
                stopJumping();
        }
        if (p == n)
            break;
        // The hot loop: one lookup per character until an entry with a flag
        // (unknown entries have every flag set), or the last position where
        // a match may start.
        const std::size_t stop = p < lastInjection ? lastInjection : n;
        const std::uint32_t* const table = table_.data();
        std::size_t row = std::size_t{s} << shift_;
        const unsigned char* q = text + p;
        const unsigned char* const last = text + stop;
        std::uint32_t t = 0;
        // Two characters a round while two remain, which halves the loop's
        // own counting and testing.
        while (last - q >= 2) {
            t = table[row + classOf_[q[0]]];
            if (t & kEntryFlags)
                break;
            row = t >> kEntryShift;
            t = table[row + classOf_[q[1]]];
            if (t & kEntryFlags) {
                ++q;
                break;
            }
            row = t >> kEntryShift;
            q += 2;
        }
        if (last - q == 1 && !(t & kEntryFlags)) {
            t = table[row + classOf_[*q]];
            if (!(t & kEntryFlags)) {
                row = t >> kEntryShift;
                ++q;
            }
        }
        if (q == last) {
            s = static_cast<std::uint32_t>(row >> shift_);
        } else if (t == kUnknown) {
            const std::size_t resets = resets_;
            s = transition(static_cast<std::uint32_t>(row >> shift_), *q);
            // Emptied tables have no row to write to.
            if (resets_ == resets)
                table_[row + classOf_[*q]] = entry(s);
            ++q;
        } else {
            s = static_cast<std::uint32_t>((t >> kEntryShift) >> shift_);
            ++q;
        }
        p = static_cast<std::size_t>(q - text);
        if (p == lastInjection && p < n)
            s = withoutStarts(s);
    }
    // At the end of the text the pending assertions are decided.
    return matchesAtEnd(s) ? n : end;
}

// The table entry that leads to state `s`.
std::uint32_t DfaSearcher::entry(std::uint32_t s) const {
    const State& state = states_[s];
    const bool look =
        (state.flags & kMatchFlags) || (state.length == 0 && !(state.flags & kInjecting));
    const bool idle = s == idle_ && jumping_;
    return static_cast<std::uint32_t>(((std::size_t{s} << shift_) << kEntryShift) |
                                      (look ? kLookBit : 0) | (idle ? kIdleBit : 0));
}

// Jumps over characters that no start can take pay only when they are long;
// once they prove short for this pattern, the idle state is stepped through
// like any other.
void DfaSearcher::stopJumping() {
    jumping_ = false;
    for (std::uint32_t& t : table_) {
        if (t != kUnknown)
            t &= ~kIdleBit;
    }
}

std::uint32_t DfaSearcher::initialState(bool startAllowed) {
    const int variant = startAllowed ? 1 : 0;
    if (initial_[variant] == kNoState) {
        beginList();
        std::uint8_t flags = 0;
        if (startAllowed && enter(0))
            flags = kMatchHere;
        else if (!program_.anchored())
            flags = kInjecting;
        initial_[variant] = intern(flags);
    }
    return initial_[variant];
}

// State `s` with no new start after its position.
std::uint32_t DfaSearcher::withoutStarts(std::uint32_t s) {
    const State state = states_[s];
    if (!(state.flags & kInjecting))
        return s;
    beginList();
    std::copy_n(pool_.begin() + state.begin, state.length, list_);
    listLength_ = state.length;
    return intern(static_cast<std::uint8_t>(state.flags & ~kInjecting));
}

void DfaSearcher::beginList() {
    ++generation_;
    listLength_ = 0;
}

// Appends slot `k` at the next position and the slots after it reached
// without consuming; an assertion stays pending. Returns true on reaching
// the end of the code (a match).
bool DfaSearcher::enter(int k) {
    for (;;) {
        if (k == program_.count())
            return true;
        if (mark_[k] == generation_)
            return false;
        mark_[k] = generation_;
        list_[listLength_++] = static_cast<std::uint16_t>(k);
        const Kind kind = program_.slot(k).kind;
        if (kind == Kind::once || kind == Kind::assertion)
            return false;
        ++k;
    }
}

// The consuming slot `k` at the current position takes `c`, unless a thread
// of higher priority was there first. Returns true on reaching the end of
// the code after `c`.
bool DfaSearcher::visit(int k, unsigned char c) {
    if (visited_[k] == generation_)
        return false;
    visited_[k] = generation_;
    const Slot& slot = program_.slot(k);
    return slot.accepts(c) && enter(slot.kind == Kind::repeated ? k : k + 1);
}

// Goes on from slot `k` at the current position, whose pending assertion
// held before `c`; returns true on reaching the end of the code there, and
// sets matchAfter_ when a slot reached takes `c` and the code ends after it.
bool DfaSearcher::follow(int k, unsigned char c) {
    for (;;) {
        if (k == program_.count())
            return true;
        const Slot& slot = program_.slot(k);
        if (slot.kind == Kind::assertion) {
            if (!slot.passable(c))
                return false;
            ++k;
            continue;
        }
        if (visit(k, c)) {
            matchAfter_ = true;
            return false;
        }
        if (slot.kind == Kind::once)
            return false;
        ++k;
    }
}

// Builds in list_ the slots live after state `s` takes `c`; returns the
// flags of that state. A match discards every slot after the one that
// reached it, and stops new starts.
std::uint8_t DfaSearcher::step(std::uint32_t s, unsigned char c) {
    const State state = states_[s];
    beginList();
    matchAfter_ = false;
    std::uint8_t flags = 0;
    for (int j = 0; j < state.length && flags == 0; ++j) {
        const int k = pool_[state.begin + static_cast<std::size_t>(j)];
        const Slot& slot = program_.slot(k);
        if (slot.kind == Kind::assertion) {
            if (slot.passable(c) && follow(k + 1, c))
                flags = kMatchBefore;
        } else if (visit(k, c)) {
            matchAfter_ = true;
        }
        if (matchAfter_)
            flags = kMatchHere;
    }
    if (flags == 0 && (state.flags & kInjecting)) {
        const bool startAllowed = !program_.startRestricted() || program_.startAfter().contains(c);
        flags = startAllowed && enter(0) ? kMatchHere : kInjecting;
    }
    return flags;
}

// The successor of state `s` on `c` before the end of the text.
std::uint32_t DfaSearcher::transition(std::uint32_t s, unsigned char c) {
    return intern(step(s, c));
}

bool DfaSearcher::matchesAtEnd(std::uint32_t s) {
    State& state = states_[s];
    if (state.atEnd == kEndUnknown) {
        bool found = false;
        for (int j = 0; j < state.length && !found; ++j) {
            const int k = pool_[state.begin + static_cast<std::size_t>(j)];
            if (program_.slot(k).kind != Kind::assertion)
                continue;  // nothing is left to consume
            // Every assertion holds at the end; only a slot taken once stops the way.
            for (int i = k + 1;; ++i) {
                if (i == program_.count()) {
                    found = true;
                    break;
                }
                if (program_.slot(i).kind == Kind::once)
                    break;
            }
        }
        state.atEnd = found ? 1 : 0;
    }
    return state.atEnd == 1;
}

std::size_t DfaSearcher::memory() const {
    return table_.size() * sizeof table_[0] + states_.size() * sizeof(State) +
           pool_.size() * sizeof pool_[0] + hash_.size() * sizeof hash_[0];
}

void DfaSearcher::clear() {
    table_.clear();
    states_.clear();
    pool_.clear();
    std::fill(hash_.begin(), hash_.end(), kNoState);
    initial_[0] = initial_[1] = kNoState;
    idle_ = kNoState;
    ++resets_;
}

// The number of the state holding list_ with `flags`, made if new.
std::uint32_t DfaSearcher::intern(std::uint8_t flags) {
    std::uint32_t h = 0x811C9DC5u ^ flags;
    for (int j = 0; j < listLength_; ++j)
        h = (h ^ list_[j]) * 0x01000193u;
    h ^= h >> 15;
    const auto same = [&](std::uint32_t s) {
        const State& state = states_[s];
        return state.flags == flags && state.length == listLength_ &&
               std::equal(list_, list_ + listLength_, pool_.begin() + state.begin);
    };
    if (!hash_.empty()) {
        for (std::size_t i = h & (hash_.size() - 1);; i = (i + 1) & (hash_.size() - 1)) {
            if (hash_[i] == kNoState)
                break;
            if (same(hash_[i]))
                return hash_[i];
        }
    }
    const std::size_t row = std::size_t{1} << shift_;
    const std::size_t cost = row * sizeof table_[0] + sizeof(State) +
                             static_cast<std::size_t>(listLength_) * sizeof pool_[0];
    if (!states_.empty() && memory() + cost > budget_)
        clear();
    const auto s = static_cast<std::uint32_t>(states_.size());
    states_.push_back({static_cast<std::uint32_t>(pool_.size()),
                       static_cast<std::uint16_t>(listLength_), flags, kEndUnknown});
    pool_.insert(pool_.end(), list_, list_ + listLength_);
    table_.resize(table_.size() + row, kUnknown);
    // Nothing but a new start is live, and that start needs a character.
    if (flags == kInjecting && listLength_ == 1 && list_[0] == 0 && program_.firstSlotRequired())
        idle_ = s;
    // At most half full, so that probes stay short.
    if (hash_.size() < 2 * states_.size()) {
        std::size_t size = 64;  // a power of two, so that a mask picks the slot
        while (size < 4 * states_.size())
            size *= 2;
        hash_.assign(size, kNoState);
        for (std::uint32_t t = 0; t < s; ++t) {
            std::uint32_t th = 0x811C9DC5u ^ states_[t].flags;
            for (std::uint16_t j = 0; j < states_[t].length; ++j)
                th = (th ^ pool_[states_[t].begin + j]) * 0x01000193u;
            th ^= th >> 15;
            std::size_t i = th & (hash_.size() - 1);
            while (hash_[i] != kNoState)
                i = (i + 1) & (hash_.size() - 1);
            hash_[i] = t;
        }
    }
    std::size_t i = h & (hash_.size() - 1);
    while (hash_[i] != kNoState)
        i = (i + 1) & (hash_.size() - 1);
    hash_[i] = s;
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
    const int atEnd = end < n ? text[end] : kEndOfText;
    live[count] = true;
    for (int b = count - 1; b >= 0; --b)
        live[b] = program_.slot(b).passable(atEnd) && live[b + 1];
    std::size_t earliest = live[0] && program_.startAllowed(text, end) ? end : kNoPosition;
    for (std::size_t p = end; p > start; --p) {
        const unsigned char c = text[p - 1];
        bool any = false;
        before[count] = false;
        for (int b = count - 1; b >= 0; --b) {
            const Slot& slot = program_.slot(b);
            bool reached = false;
            if (slot.consumes() && slot.accepts(c))
                reached = slot.kind == Kind::repeated ? live[b] : live[b + 1];
            // Slots are visited from the back, so before[b + 1] is final here.
            before[b] = reached || (slot.passable(c) && before[b + 1]);
            any = any || before[b];
        }
        if (!any)
            break;
        if (before[0] && program_.startAllowed(text, p - 1))
            earliest = p - 1;
        std::swap(live, before);
    }
    return earliest;
}

}  // namespace xvkit::regexp
