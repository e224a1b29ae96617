// A set of byte values in the layout of a class in compiled code: 16 words,
// value `c` a member when bit `c % 16` of word `c / 16` is set. Every
// character test of the regexp subsystem is one of these.

#ifndef XVKIT_SRC_REGEXP_BYTE_MAP_H_
#define XVKIT_SRC_REGEXP_BYTE_MAP_H_

#include <cstring>

namespace xvkit::regexp {

constexpr int kMapWords = 16;

// The lower case of an ASCII letter; any other byte as it is.
inline unsigned char asciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

struct ByteMap {
    unsigned short words[kMapWords] = {};

    // The map of a class's 16 code words.
    static ByteMap fromCode(const unsigned short* map) {
        ByteMap m;
        std::memcpy(m.words, map, sizeof m.words);
        return m;
    }
    static ByteMap single(unsigned char c) {
        ByteMap m;
        m.add(c);
        return m;
    }
    static ByteMap all() {
        ByteMap m;
        m.invert();
        return m;
    }
    // ASCII letters, digits and `_`: what a word is made of.
    static ByteMap wordCharacters();

    bool contains(unsigned char c) const { return (words[c >> 4] >> (c & 15)) & 1u; }
    void add(unsigned char c) {
        words[c >> 4] = static_cast<unsigned short>(words[c >> 4] | bit(c));
    }
    void remove(unsigned char c) {
        words[c >> 4] = static_cast<unsigned short>(words[c >> 4] & ~bit(c));
    }
    // Adds every value from `from` to `to`, inclusive.
    void addRange(int from, int to) {
        for (int c = from; c <= to; ++c)
            add(static_cast<unsigned char>(c));
    }
    void invert() {
        for (unsigned short& w : words)
            w = static_cast<unsigned short>(~w);
    }
    ByteMap& operator|=(const ByteMap& other) {
        for (int w = 0; w < kMapWords; ++w)
            words[w] = static_cast<unsigned short>(words[w] | other.words[w]);
        return *this;
    }
    bool operator==(const ByteMap& other) const = default;

    int count() const {
        int total = 0;
        for (const unsigned short w : words)
            total += __builtin_popcount(w);
        return total;
    }
    bool empty() const { return count() == 0; }
    // The lowest member; the map must not be empty.
    unsigned char first() const {
        int w = 0;
        while (words[w] == 0)
            ++w;
        return static_cast<unsigned char>(w * 16 + __builtin_ctz(words[w]));
    }
    // Adds the other case of every ASCII letter that is a member.
    void addOtherCases() {
        for (int c = 'A'; c <= 'Z'; ++c) {
            const auto upper = static_cast<unsigned char>(c);
            const unsigned char lower = asciiLower(upper);
            if (contains(upper) || contains(lower)) {
                add(upper);
                add(lower);
            }
        }
    }

  private:
    static unsigned short bit(unsigned char c) {
        return static_cast<unsigned short>(1u << (c & 15));
    }
};

inline ByteMap ByteMap::wordCharacters() {
    ByteMap m;
    m.addRange('0', '9');
    m.addRange('A', 'Z');
    m.addRange('a', 'z');
    m.add('_');
    return m;
}

}  // namespace xvkit::regexp

#endif  // XVKIT_SRC_REGEXP_BYTE_MAP_H_
