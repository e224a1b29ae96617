#include "program.h"

#include <algorithm>

#include "code_reader.h"
#include "debug_check.h"

namespace xvkit::regexp {

namespace {

// How far back from a required character a match start is looked for.
constexpr std::size_t kMaxLookBehind = 4096;

}  // namespace

Program::Program(const unsigned short* code, const MatchRules& rules) {
    slots_.reserve(codeWords(code));
    CodeReader reader(code);
    bool beginAnchor = false;
    bool endAnchor = false;
    while (!reader.done()) {
        const CodeItem item = reader.next();
        if (item.type == ItemType::beginAnchor) {
            beginAnchor = true;
            continue;
        }
        if (item.type == ItemType::endAnchor) {
            endAnchor = true;  // only ever the last item
            continue;
        }
        ByteMap map = item.map();
        if (rules.lines)
            map.remove(kNewline);
        if (rules.caseBlind)
            map.addOtherCases();
        switch (item.repeat) {
            case Repeat::once:
                addSlot(Kind::once, map);
                break;
            case Repeat::optional:
                addSlot(Kind::optional, map);
                break;
            case Repeat::zeroOrMore:
                addSlot(Kind::repeated, map);
                break;
            case Repeat::oneOrMore:
                addSlot(Kind::once, map);
                addSlot(Kind::repeated, map);
                break;
        }
    }
    boundaries_ = boundariesFor(rules, beginAnchor, endAnchor);
    startsAtLineStart_ = rules.lines && boundaries_.startRestricted &&
                         boundaries_.startAfter == ByteMap::single(kNewline);
    if (boundaries_.endRestricted)
        addSlot(Kind::assertion, boundaries_.endBefore);
    while (prefixLength_ < count() && slots_[prefixLength_].kind == Kind::once &&
           slots_[prefixLength_].map.count() == 1) {
        prefix_[prefixLength_] = slots_[prefixLength_].map.first();
        ++prefixLength_;
    }
    if (prefixLength_ > 0)
        prefixFinder_ = LiteralFinder(prefix_, prefixLength());
    if (count() > 0 && slots_[0].consumes())
        firstSet_ = ByteClassFinder(slots_[0].map);
    chooseRequiredSlot();
}

void Program::addSlot(Kind kind, const ByteMap& map) {
    XVKIT_DCHECK(count() < kMaxSlots);
    slots_.push_back({kind, map});
    ++count_;
    if (kind == Kind::once && map.empty())
        matchable_ = false;
}

void Program::chooseRequiredSlot() {
    if (boundaries_.anchored)
        return;
    int best = 0;
    for (int k = 0; k < count(); ++k) {
        if (slots_[k].kind != Kind::once)
            continue;
        const int frequency = ByteClassFinder::frequencyOf(slots_[k].map);
        if (requiredSlot_ < 0 || frequency < best) {
            requiredSlot_ = k;
            best = frequency;
        }
    }
    if (requiredSlot_ < 0)
        return;
    requiredSet_ = ByteClassFinder(slots_[requiredSlot_].map);
    for (int k = 0; k < requiredSlot_; ++k) {
        if (slots_[k].consumes())
            beforeRequired_ |= slots_[k].map;
    }
}

std::size_t Program::earliestStart(const unsigned char* text, std::size_t n, std::size_t p) const {
    XVKIT_DCHECK(p <= n);
    if (requiredSlot_ < 0)
        return p;
    const std::size_t required = requiredSet_.find(text, n, p);
    if (required == kNoPosition)
        return kNoPosition;
    // Every character from the match start up to the required one is taken by
    // a slot before it. The walk back is bounded, so that patterns whose first
    // slots take nearly anything cost little; past the bound it proves nothing.
    const std::size_t floor = required - p > kMaxLookBehind ? required - kMaxLookBehind : p;
    std::size_t q = required;
    while (q > floor && beforeRequired_.contains(text[q - 1]))
        --q;
    if (q == floor && floor > p && beforeRequired_.contains(text[floor - 1]))
        return p;
    return q;
}

std::size_t Program::nextCandidate(const unsigned char* text, std::size_t n, std::size_t p,
                                   std::size_t last) const {
    XVKIT_DCHECK(firstSlotRequired());
    if (p > last || p >= n)
        return kNoPosition;
    if (prefixLength_ >= 2)
        return prefixFinder_.find(text, std::min(n, last + prefixLength()), p);
    return firstSet_.find(text, std::min(n, last + 1), p);
}

}  // namespace xvkit::regexp
