#include "program.h"

#include <cstring>

#include <xvkit/xvregexp.h>

namespace xvkit_regexp {

namespace {

bool isClosure(unsigned short w) {
    return w == kXRECodeStar || w == kXRECodePlus || w == kXRECodeOptional;
}

std::size_t offset(const void* at, const unsigned char* text) {
    return at ? static_cast<std::size_t>(static_cast<const unsigned char*>(at) - text)
              : kNoPosition;
}

}  // namespace

unsigned short* Program::ownMap() {
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
    for (int k = 1; k < count_ && requiredLiteral_ < 0; ++k) {
        if (slots_[k].kind == Kind::once)
            requiredLiteral_ = literals[k];
    }
    while (prefixLength_ < count_ && slots_[prefixLength_].kind == Kind::once &&
           literals[prefixLength_] >= 0) {
        prefix_[prefixLength_] = static_cast<unsigned char>(literals[prefixLength_]);
        ++prefixLength_;
    }
}

std::size_t Program::nextCandidate(const unsigned char* text, std::size_t n, std::size_t p) const {
    if (prefixLength_ >= 2)
        return offset(memmem(text + p, n - p, prefix_, prefixLength()), text);
    if (prefixLength_ == 1)
        return offset(std::memchr(text + p, prefix_[0], n - p), text);
    const Slot& first = slots_[0];
    if (n - p < 256) {
        for (std::size_t q = p; q < n; ++q) {
            if (first.accepts(text[q]))
                return q;
        }
        return kNoPosition;
    }
    if (!firstTableReady_) {
        for (int c = 0; c < 256; ++c)
            firstTable_[c] = first.accepts(static_cast<unsigned char>(c));
        firstTableReady_ = true;
    }
    std::size_t q = p;
    for (; q + 4 <= n; q += 4) {
        if (firstTable_[text[q]] | firstTable_[text[q + 1]] | firstTable_[text[q + 2]] |
            firstTable_[text[q + 3]]) {
            break;
        }
    }
    for (; q < n; ++q) {
        if (firstTable_[text[q]])
            return q;
    }
    return kNoPosition;
}

}  // namespace xvkit_regexp
