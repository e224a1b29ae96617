// The one reader of compiled pattern code: everything that interprets the
// code words of XREMakePattern (the search engines, the pattern cache, the
// tests' interpreter) reads them item by item through CodeReader.
//
// A code is a sequence of items, each a literal, the any-character `.`, a
// class, or an anchor, optionally behind one closure word, ending in the end
// word. The code must be terminated and valid (a compilation that returned 0).

#ifndef XVKIT_SRC_REGEXP_CODE_READER_H_
#define XVKIT_SRC_REGEXP_CODE_READER_H_

#include <cstddef>

#include <xvkit/xvregexp.h>

#include "byte_map.h"

namespace xvkit::regexp {

// The one character `.` does not match.
constexpr unsigned char kAnyExcludes = '\n';

enum class ItemType : unsigned char { literal, any, charClass, beginAnchor, endAnchor };
enum class Repeat : unsigned char { once, optional, zeroOrMore, oneOrMore };

struct CodeItem {
    ItemType type;
    Repeat repeat;
    unsigned char literal;           // for a literal
    const unsigned short* classMap;  // the 16 map words, for a class

    bool isAnchor() const { return type == ItemType::beginAnchor || type == ItemType::endAnchor; }
    // Whether the item (not an anchor) takes `c`.
    bool accepts(unsigned char c) const {
        switch (type) {
            case ItemType::literal:
                return c == literal;
            case ItemType::any:
                return c != kAnyExcludes;
            default:
                return (classMap[c >> 4] >> (c & 15)) & 1u;
        }
    }
    // The characters the item (not an anchor) takes.
    ByteMap map() const {
        if (type == ItemType::charClass)
            return ByteMap::fromCode(classMap);
        if (type == ItemType::literal)
            return ByteMap::single(literal);
        ByteMap any = ByteMap::all();
        any.remove(kAnyExcludes);
        return any;
    }
};

class CodeReader {
  public:
    explicit CodeReader(const unsigned short* code) : at_(code) {}

    bool done() const { return *at_ == kXRECodeEnd; }
    // The item at the reading position, which then moves past it.
    CodeItem next() {
        if (*at_ < kXRECodeEnd)  // a literal alone, the most common item
            return {ItemType::literal, Repeat::once, static_cast<unsigned char>(*at_++), nullptr};
        CodeItem item{ItemType::literal, Repeat::once, 0, nullptr};
        switch (*at_) {
            case kXRECodeStar:
                item.repeat = Repeat::zeroOrMore;
                ++at_;
                break;
            case kXRECodePlus:
                item.repeat = Repeat::oneOrMore;
                ++at_;
                break;
            case kXRECodeOptional:
                item.repeat = Repeat::optional;
                ++at_;
                break;
            default:
                break;
        }
        const unsigned short word = *at_++;
        switch (word) {
            case kXRECodeAny:
                item.type = ItemType::any;
                break;
            case kXRECodeClass:
                item.type = ItemType::charClass;
                item.classMap = at_;
                at_ += kXREClassWords - 1;
                break;
            case kXRECodeBeginAnchor:
                item.type = ItemType::beginAnchor;
                break;
            case kXRECodeEndAnchor:
                item.type = ItemType::endAnchor;
                break;
            default:
                item.literal = static_cast<unsigned char>(word);
                break;
        }
        return item;
    }
    // The number of words read so far from `code`, the start of the reading.
    std::size_t wordsFrom(const unsigned short* code) const {
        return static_cast<std::size_t>(at_ - code);
    }

  private:
    const unsigned short* at_;
};

// Whether `code` begins with the beginning anchor.
inline bool beginsWithAnchor(const unsigned short* code) {
    return *code == kXRECodeBeginAnchor;
}

// The code after the beginning anchor that `code` begins with.
inline const unsigned short* afterBeginAnchor(const unsigned short* code) {
    return code + 1;
}

// The number of words of `code`, its end word included.
inline std::size_t codeWords(const unsigned short* code) {
    CodeReader reader(code);
    while (!reader.done())
        reader.next();
    return reader.wordsFrom(code) + 1;
}

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_CODE_READER_H_
