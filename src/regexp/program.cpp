#include "program.h"

#include <cstring>

#include <xvkit/xvregexp.h>

#include "debug_check.h"

namespace xvkit::regexp {

namespace {

bool isClosure(unsigned short w) {
    return w == kXRECodeStar || w == kXRECodePlus || w == kXRECodeOptional;
}

// How far back from a required character a match start is looked for.
constexpr std::size_t kMaxLookBehind = 4096;

}  // namespace

unsigned short* Program::ownMap() {
    XVKIT_DCHECK(ownMapCount_ < kMaxSlots);
    unsigned short* map = ownMaps_[ownMapCount_++];
    std::memset(map, 0, sizeof ownMaps_[0]);
    return map;
}

Program::Program(const unsigned short* w) {
    if (*w == kXRECodeBeginAnchor) {
        anchored_ = true;
        ++w;
    }
    int literals[kMaxSlots];  // the literal of each slot, or -1
    while (*w != kXRECodeEnd) {
        // Room for the two slots an item yields at most.
        XVKIT_DCHECK(count_ <= kMaxSlots - 2);
        const unsigned short closure = isClosure(*w) ? *w++ : 0;
        const unsigned short item = *w;
        if (item == kXRECodeEndAnchor) {
            literals[count_] = -1;
            slots_[count_++] = {Kind::endAnchor, nullptr};
            ++w;
            continue;
        }
        const unsigned short* map;
        if (item == kXRECodeClass) {
            map = w + 1;
            w += kXREClassWords;
        } else {
            unsigned short* own = ownMap();
            if (item == kXRECodeAny) {
                std::memset(own, 0xFF, sizeof ownMaps_[0]);
                own['\n' >> 4] &= static_cast<unsigned short>(~(1u << ('\n' & 15)));
            } else {
                own[item >> 4] = static_cast<unsigned short>(1u << (item & 15));
            }
            map = own;
            ++w;
        }
        const int literal = item < 256 ? item : -1;
        literals[count_] = literal;
        if (closure == kXRECodePlus) {
            slots_[count_++] = {Kind::once, map};
            literals[count_] = -1;
            slots_[count_++] = {Kind::repeated, map};
        } else {
            const Kind kind = closure == kXRECodeStar       ? Kind::repeated
                              : closure == kXRECodeOptional ? Kind::optional
                                                            : Kind::once;
            slots_[count_++] = {kind, map};
        }
    }
    while (prefixLength_ < count_ && slots_[prefixLength_].kind == Kind::once &&
           literals[prefixLength_] >= 0) {
        prefix_[prefixLength_] = static_cast<unsigned char>(literals[prefixLength_]);
        ++prefixLength_;
    }
    if (prefixLength_ > 0)
        prefixFinder_ = LiteralFinder(prefix_, prefixLength());
    if (count_ > 0 && slots_[0].map != nullptr)
        firstSet_ = ByteSet(slots_[0].map);
    chooseRequiredSlot();
}

void Program::chooseRequiredSlot() {
    if (anchored_)
        return;
    int best = 0;
    for (int k = 0; k < count_; ++k) {
        if (slots_[k].kind != Kind::once)
            continue;
        const int frequency = ByteSet::frequencyOf(slots_[k].map);
        if (requiredSlot_ < 0 || frequency < best) {
            requiredSlot_ = k;
            best = frequency;
        }
    }
    if (requiredSlot_ < 0)
        return;
    requiredSet_ = ByteSet(slots_[requiredSlot_].map);
    unsigned short before[16] = {};
    for (int k = 0; k < requiredSlot_; ++k) {
        for (int w = 0; w < 16 && slots_[k].map != nullptr; ++w)
            before[w] |= slots_[k].map[w];
    }
    beforeRequired_ = ByteSet(before);
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

std::size_t Program::nextCandidate(const unsigned char* text, std::size_t n, std::size_t p) const {
    XVKIT_DCHECK(firstSlotRequired());
    return prefixLength_ >= 2 ? prefixFinder_.find(text, n, p) : firstSet_.find(text, n, p);
}

}  // namespace xvkit::regexp
