// XREMakePattern: the pattern compiler.

#include <cstring>

#include <xvkit/xvregexp.h>

namespace {

constexpr int kSyntaxError = 1;
constexpr int kNoCodeArray = 2;
constexpr int kCompileError = 3;

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads one pattern character at `p`, applying the escape rules, and moves `p`
// past it. Returns the character's 8-bit code, or -1 for the control escape
// «\^» with nothing after it.
int readChar(const char*& p) {
    if (*p != '\\')
        return static_cast<unsigned char>(*p++);
    ++p;
    const char c = *p;
    if (c == '\0')
        return '\\';  // a trailing backslash stands for itself
    ++p;
    switch (c) {
        case 'b':
        case 'B':
            return 8;
        case 'e':
        case 'E':
            return 27;
        case 'f':
        case 'F':
            return 12;
        case 'n':
        case 'N':
            return 10;
        case 'r':
        case 'R':
            return 13;
        case 's':
        case 'S':
            return 32;
        case 't':
        case 'T':
            return 9;
        case 'x':
        case 'X': {
            int value = hexValue(*p);
            if (value < 0)
                return static_cast<unsigned char>(c);
            ++p;
            const int second = hexValue(*p);
            if (second >= 0) {
                value = value * 16 + second;
                ++p;
            }
            return value;
        }
        case '^': {
            const char ctl = *p;
            if (ctl == '\0')
                return -1;
            ++p;
            return (static_cast<unsigned char>(asciiUpper(ctl)) - 64) & 0xFF;
        }
        default:
            break;
    }
    if (isOctal(c)) {
        int value = c - '0';
        for (int digits = 1; digits < 3 && isOctal(*p); ++digits)
            value = value * 8 + (*p++ - '0');
        return value & 0xFF;
    }
    return static_cast<unsigned char>(c);
}

void setBits(unsigned short* map, int from, int to) {
    for (int c = from; c <= to; ++c)
        map[c / 16] |= static_cast<unsigned short>(1u << (c % 16));
}

// Parses the class text after `[` at `p` into the 16 words of `map`; on
// success moves `p` past the closing `]`. Returns 0 or kSyntaxError.
int parseClass(const char*& p, unsigned short* map) {
    if (*p == ']')
        return kSyntaxError;
    const bool negated = *p == '^';
    if (negated)
        ++p;
    std::memset(map, 0, 16 * sizeof *map);
    while (*p != '\0' && *p != ']') {
        const int first = readChar(p);
        if (first < 0)
            return kSyntaxError;
        int last = first;
        if (p[0] == '-' && p[1] != '\0' && p[1] != ']') {
            ++p;
            last = readChar(p);
            if (last < 0)
                return kSyntaxError;
        }
        // A reversed range means the same range written the other way round.
        setBits(map, first < last ? first : last, first < last ? last : first);
    }
    if (*p != ']')
        return kSyntaxError;
    ++p;
    if (negated) {
        for (int w = 0; w < 16; ++w)
            map[w] = static_cast<unsigned short>(~map[w]);
    }
    return 0;
}

bool isAnchorOrClosure(unsigned short word) {
    return word == kXRECodeEndAnchor || word == kXRECodeBeginAnchor || word == kXRECodeStar ||
           word == kXRECodePlus || word == kXRECodeOptional;
}

unsigned short closureWord(char c) {
    return c == '*' ? kXRECodeStar : c == '+' ? kXRECodePlus : kXRECodeOptional;
}

}  // namespace

int XREMakePattern(const char* pattern, unsigned short* code, int maxLength) {
    if (pattern == nullptr)
        return kSyntaxError;
    const char* p = pattern;
    if (*p == '\0' || *p == '*' || *p == '+' || *p == '?')
        return kSyntaxError;
    if (code == nullptr)
        return kNoCodeArray;

    // `pos` is the next word to write; `last` is where the last item began.
    // The last of the `maxLength` words is kept for the end word; the limit is
    // wide so that no `maxLength`, however small, overflows.
    const long long limit = static_cast<long long>(maxLength) - 1;
    int pos = 0;
    int last = 0;
    while (*p != '\0') {
        if (pos >= limit)
            return kCompileError;
        const char c = *p;
        if (c == '*' || c == '+' || c == '?') {
            if (isAnchorOrClosure(code[last]))
                return kCompileError;
            // Shift the last item up one word and put the closure in front of it.
            std::memmove(code + last + 1, code + last, (pos - last) * sizeof *code);
            code[last] = closureWord(c);
            ++pos;
            ++p;
            continue;
        }
        last = pos;
        switch (c) {
            case '$':
                code[pos++] = p[1] == '\0' ? kXRECodeEndAnchor : '$';
                ++p;
                break;
            case '^':
                code[pos] = pos == 0 ? kXRECodeBeginAnchor : '^';
                ++pos;
                ++p;
                break;
            case '.':
                code[pos++] = kXRECodeAny;
                ++p;
                break;
            case '[': {
                if (pos + 16LL >= limit)
                    return kCompileError;
                code[pos] = kXRECodeClass;
                ++p;
                if (parseClass(p, code + pos + 1) != 0)
                    return kSyntaxError;
                pos += kXREClassWords;
                break;
            }
            default: {
                const int value = readChar(p);
                if (value < 0)
                    return kSyntaxError;
                code[pos++] = static_cast<unsigned short>(value);
                break;
            }
        }
    }
    code[pos] = kXRECodeEnd;
    return 0;
}
