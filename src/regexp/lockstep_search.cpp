#include "lockstep_search.h"

#include <algorithm>
#include <cstring>

#include "debug_check.h"

namespace xvkit::regexp {

namespace {

struct Thread {
    int slot;
    std::size_t start;
};

class LockstepSearch {
  public:
    LockstepSearch(const Program& program, const unsigned char* text, std::size_t n)
        : program_(program), text_(text), n_(n) {
        std::memset(mark_, 0, sizeof mark_[0] * static_cast<std::size_t>(program.count()));
    }

    // How far the last run read (about: a scan for a first character that
    // found none counts up to the last start).
    std::size_t readTo() const { return readTo_; }

    bool run(std::size_t start, std::size_t lastStart, std::size_t* matchStart,
             std::size_t* matchLength) {
        Thread* current = listA_;
        Thread* next = listB_;
        int currentCount = 0;
        std::size_t p = start;
        const bool anchored = program_.anchored();
        if (anchored)
            lastStart = start;
        lastStart = std::min(lastStart, n_);
        const bool skipAhead = program_.firstSlotRequired() && !anchored;
        for (;;) {
            // A new start has the lowest priority; none is tried once a match is known.
            if (!found_ && p <= lastStart) {
                if (currentCount == 0 && skipAhead) {
                    p = program_.nextCandidate(text_, n_, p, lastStart);
                    if (p == kNoPosition)
                        break;
                }
                if (program_.startAllowed(text_, p))
                    add(current, currentCount, 0, p, p);
            }
            if (p == n_)
                break;
            if (currentCount == 0) {
                if (found_ || p >= lastStart)
                    break;
                ++p;
                continue;
            }
            const unsigned char c = text_[p];
            int nextCount = 0;
            for (int t = 0; t < currentCount; ++t) {
                const Slot& slot = program_.slot(current[t].slot);
                if (!slot.accepts(c))
                    continue;
                const int to = slot.kind == Kind::repeated ? current[t].slot : current[t].slot + 1;
                // A match ends the search for every state after this one.
                if (add(next, nextCount, to, current[t].start, p + 1))
                    break;
            }
            std::swap(current, next);
            currentCount = nextCount;
            ++p;
        }
        readTo_ = p == kNoPosition ? lastStart : p;
        if (!found_)
            return false;
        *matchStart = matchStart_;
        *matchLength = matchEnd_ - matchStart_;
        return true;
    }

  private:
    // Enters slot `k` at position `p` for a state whose match started at
    // `start`, following the moves that consume nothing (skipping an optional
    // or repeated item, passing an assertion that holds). Returns true on
    // reaching the end of the code, which records the match.
    bool add(Thread* list, int& count, int k, std::size_t start, std::size_t p) {
        const int next = p < n_ ? text_[p] : kEndOfText;
        for (;;) {
            if (k == program_.count()) {
                found_ = true;
                matchStart_ = start;
                matchEnd_ = p;
                return true;
            }
            const Slot& slot = program_.slot(k);
            if (slot.kind == Kind::assertion) {
                if (!slot.passable(next))
                    return false;
                ++k;
                continue;
            }
            if (mark_[k] == p + 1)
                return false;
            mark_[k] = p + 1;
            list[count++] = {k, start};
            if (slot.kind == Kind::once)
                return false;
            ++k;
        }
    }

    const Program& program_;
    const unsigned char* text_;
    std::size_t n_;
    bool found_ = false;
    std::size_t matchStart_ = 0;
    std::size_t matchEnd_ = 0;
    std::size_t readTo_ = 0;
    // mark_[k] == p + 1 when slot k already holds a state at position p.
    std::size_t mark_[kMaxSlots];
    Thread listA_[kMaxSlots];
    Thread listB_[kMaxSlots];
};

}  // namespace

bool lockstepSearch(const Program& program, const unsigned char* text, std::size_t n,
                    std::size_t start, std::size_t lastStart, std::size_t* matchStart,
                    std::size_t* matchLength, std::size_t* readTo) {
    XVKIT_DCHECK(start <= n);
    if (readTo != nullptr)
        *readTo = start;
    if (lastStart < start)
        return false;
    LockstepSearch search(program, text, n);
    const bool found = search.run(start, lastStart, matchStart, matchLength);
    if (readTo != nullptr)
        *readTo = search.readTo();
    return found;
}

}  // namespace xvkit::regexp
