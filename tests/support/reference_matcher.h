// A plain backtracking interpreter of compiled pattern code, as direct as
// possible so that it can serve as the oracle for the library's engines: a
// closure takes as many characters as it can, then gives them back one at a
// time until the rest matches. Exponential at worst: small inputs only.

#ifndef XVKIT_TESTS_SUPPORT_REFERENCE_MATCHER_H_
#define XVKIT_TESTS_SUPPORT_REFERENCE_MATCHER_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include <xvkit/xvregexp.h>

namespace xvkit::reference {

constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

class Matcher {
  public:
    explicit Matcher(const std::string& text) : text_(text) {}

    // The end of a match of the code at `w` from text position `p`, or kNoMatch.
    std::size_t matchHere(const unsigned short* w, std::size_t p) const {
        if (*w == kXRECodeEnd)
            return p;
        if (*w != kXRECodeStar && *w != kXRECodePlus && *w != kXRECodeOptional)
            return single(w, p) ? matchHere(next(w), p + (*w != kXRECodeEndAnchor)) : kNoMatch;
        const unsigned short* item = w + 1;
        const std::ptrdiff_t most = *w == kXRECodeOptional ? 1 : PTRDIFF_MAX;
        std::ptrdiff_t taken = 0;
        while (taken < most && single(item, p + taken))
            ++taken;
        for (; taken >= (*w == kXRECodePlus ? 1 : 0); --taken) {
            const std::size_t end = matchHere(next(item), p + taken);
            if (end != kNoMatch)
                return end;
        }
        return kNoMatch;
    }

  private:
    static const unsigned short* next(const unsigned short* w) {
        return w + (*w == kXRECodeClass ? kXREClassWords : 1);
    }

    bool single(const unsigned short* w, std::size_t p) const {
        const bool remains = p < text_.size();
        const unsigned c = remains ? static_cast<unsigned char>(text_[p]) : 0;
        switch (*w) {
            case kXRECodeAny:
                return remains && c != '\n';
            case kXRECodeClass:
                return remains && ((w[1 + c / 16] >> (c % 16)) & 1u);
            case kXRECodeEndAnchor:
                return !remains;
            default:
                return remains && c == *w;
        }
    }

    const std::string& text_;
};

// The search of XVRegExprLight::index over a valid, terminated `code`: the
// start of the leftmost match with its length in `*len`, or kNoMatch with
// `*len` 0; kNoMatch with `*len` untouched when `i` is past the end.
inline std::size_t referenceIndex(const unsigned short* code, const std::string& text,
                                  std::size_t* len, std::size_t i) {
    if (i > text.size())
        return kNoMatch;
    const Matcher matcher(text);
    const bool anchored = code[0] == kXRECodeBeginAnchor;
    const unsigned short* body = anchored ? code + 1 : code;
    const std::size_t lastStart = anchored ? i : text.size();
    for (std::size_t p = i; p <= lastStart; ++p) {
        const std::size_t end = matcher.matchHere(body, p);
        if (end != kNoMatch) {
            *len = end - p;
            return p;
        }
    }
    *len = 0;
    return kNoMatch;
}

}  // namespace xvkit::reference

#endif  // XVKIT_TESTS_SUPPORT_REFERENCE_MATCHER_H_
