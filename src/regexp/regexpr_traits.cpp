// XVTRegExprTraits<char>: out-of-line symbol sets.

#include <xvkit/xvregexp.h>

bool XVTRegExprTraits<char>::isMatchedInSymbolSet(XVTBitVec<256>& set, char c) {
    return set.testBit(static_cast<unsigned char>(c));
}

unsigned int XVTRegExprTraits<char>::addSymbolSet(XVTValArray<XVTBitVec<256>>& sets,
                                                  const XVString& text) {
    if (text.empty())
        return 0;
    if (sets.empty())
        sets.append(XVTBitVec<256>());

    const std::size_t n = text.length();
    const bool negated = text[0] == '^';
    const std::size_t first = negated ? 1 : 0;
    XVTBitVec<256> set;
    for (std::size_t j = first; j < n; ++j) {
        const auto code = static_cast<unsigned char>(text[j]);
        if (code == '-' && j != first && j != n - 1) {
            // The left neighbour is already a member; the right one is consumed.
            const auto from = static_cast<unsigned char>(text[j - 1]);
            const auto to = static_cast<unsigned char>(text[j + 1]);
            for (unsigned int c = from; c <= to; ++c)
                set.setBit(c);
            ++j;
            continue;
        }
        set.setBit(code);
    }
    if (negated) {
        XVTBitVec<256> all;
        for (std::size_t c = 0; c < 256; ++c)
            all.setBit(c);
        set ^= all;
    }
    sets.append(set);
    return static_cast<unsigned int>(sets.size() - 1);
}
