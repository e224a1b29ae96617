// XREMakePattern: the pattern compiler.

#include <cstring>

#include <xvkit/xvregexp.h>

#include "byte_map.h"
#include "pattern_compiler.h"

namespace xvkit::regexp {

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

bool isAnchorOrClosure(unsigned short word) {
    return word == kXRECodeEndAnchor || word == kXRECodeBeginAnchor || word == kXRECodeStar ||
           word == kXRECodePlus || word == kXRECodeOptional;
}

unsigned short closureWord(char c) {
    return c == '*' ? kXRECodeStar : c == '+' ? kXRECodePlus : kXRECodeOptional;
}

class Compiler {
  public:
    Compiler(const char* pattern, unsigned short* code, int maxLength, CompileOptions options)
        : pattern_(pattern),
          p_(pattern),
          code_(code),
          // The last of the `maxLength` words is kept for the end word; the
          // limit is wide so that no `maxLength`, however small, overflows.
          limit_(static_cast<long long>(maxLength) - 1),
          options_(options) {}

    CompileResult run() {
        if (*p_ == '\0')
            return fail(CompileFailure::emptyPattern);
        if (*p_ == '*' || *p_ == '+' || *p_ == '?')
            return fail(CompileFailure::leadingClosure);
        if (code_ == nullptr)
            return fail(CompileFailure::noCodeArray);
        while (*p_ != '\0') {
            if (pos_ >= limit_)
                return fail(CompileFailure::tooLong);
            const char c = *p_;
            if (c == '*' || c == '+' || c == '?') {
                if (isAnchorOrClosure(code_[last_])) {
                    return fail(code_[last_] == kXRECodeEndAnchor ||
                                        code_[last_] == kXRECodeBeginAnchor
                                    ? CompileFailure::closureAfterAnchor
                                    : CompileFailure::closureAfterClosure);
                }
                // Shift the last item up one word and put the closure in front of it.
                std::memmove(code_ + last_ + 1, code_ + last_, (pos_ - last_) * sizeof *code_);
                code_[last_] = closureWord(c);
                ++pos_;
                ++p_;
                continue;
            }
            last_ = pos_;
            if (const CompileFailure failure = item(c); failure != CompileFailure::none)
                return fail(failure);
        }
        code_[pos_] = kXRECodeEnd;
        return {0, CompileFailure::none, 0};
    }

  private:
    // Writes the item that starts with `c` at p_.
    CompileFailure item(char c) {
        switch (c) {
            case '$':
                code_[pos_++] = p_[1] == '\0' ? kXRECodeEndAnchor : '$';
                ++p_;
                return CompileFailure::none;
            case '^':
                code_[pos_] = pos_ == 0 ? kXRECodeBeginAnchor : '^';
                ++pos_;
                ++p_;
                return CompileFailure::none;
            case '.':
                code_[pos_++] = kXRECodeAny;
                ++p_;
                return CompileFailure::none;
            case '[': {
                if (pos_ + 16LL >= limit_)
                    return CompileFailure::tooLong;
                code_[pos_] = kXRECodeClass;
                const CompileFailure failure = parseClass();
                if (failure == CompileFailure::none)
                    pos_ += kXREClassWords;
                return failure;
            }
            default: {
                const char* escape = p_;
                const int value = readChar(p_);
                if (value < 0) {
                    p_ = escape;
                    return CompileFailure::danglingControlEscape;
                }
                code_[pos_++] = static_cast<unsigned short>(value);
                return CompileFailure::none;
            }
        }
    }

    // Parses the class whose `[` is at p_ into the 16 words after the class
    // word; on success moves p_ past the closing `]`.
    CompileFailure parseClass() {
        const char* open = p_++;
        if (*p_ == ']') {
            p_ = open;
            return CompileFailure::emptyClass;
        }
        const bool negated = *p_ == '^';
        if (negated)
            ++p_;
        ByteMap map;
        while (*p_ != '\0' && *p_ != ']') {
            const char* escape = p_;
            const int first = readChar(p_);
            if (first < 0) {
                p_ = escape;
                return CompileFailure::danglingControlEscape;
            }
            int last = first;
            if (p_[0] == '-' && p_[1] != '\0' && p_[1] != ']') {
                ++p_;
                escape = p_;
                last = readChar(p_);
                if (last < 0) {
                    p_ = escape;
                    return CompileFailure::danglingControlEscape;
                }
            }
            // A reversed range means the same range written the other way round.
            map.addRange(first < last ? first : last, first < last ? last : first);
        }
        if (*p_ != ']') {
            p_ = open;
            return CompileFailure::unclosedClass;
        }
        ++p_;
        if (options_.caseBlindClasses)
            map.addOtherCases();
        if (negated)
            map.invert();
        std::memcpy(code_ + pos_ + 1, map.words, sizeof map.words);
        return CompileFailure::none;
    }

    CompileResult fail(CompileFailure failure) const {
        int status = kCompileError;
        if (failure == CompileFailure::noCodeArray)
            status = kNoCodeArray;
        else if (failure < CompileFailure::noCodeArray)
            status = kSyntaxError;
        return {status, failure, static_cast<std::size_t>(p_ - pattern_)};
    }

    const char* const pattern_;
    const char* p_;
    unsigned short* const code_;
    const long long limit_;
    const CompileOptions options_;
    // The next word to write, and where the last item began.
    int pos_ = 0;
    int last_ = 0;
};

}  // namespace

CompileResult compilePattern(const char* pattern, unsigned short* code, int maxLength,
                             CompileOptions options) {
    if (pattern == nullptr)
        return {kSyntaxError, CompileFailure::emptyPattern, 0};
    return Compiler(pattern, code, maxLength, options).run();
}

const char* failureText(CompileFailure failure) {
    switch (failure) {
        case CompileFailure::none:
            return "compiled";
        case CompileFailure::emptyPattern:
            return "the pattern is empty";
        case CompileFailure::leadingClosure:
            return "the pattern starts with '*', '+' or '?'";
        case CompileFailure::emptyClass:
            return "an empty class '[]'";
        case CompileFailure::unclosedClass:
            return "a class without its closing ']'";
        case CompileFailure::danglingControlEscape:
            return "the control escape '\\^' without its character";
        case CompileFailure::noCodeArray:
            return "no code array";
        case CompileFailure::tooLong:
            return "the compiled pattern does not fit in its code array";
        case CompileFailure::closureAfterAnchor:
            return "a closure ('*', '+' or '?') after an anchor";
        case CompileFailure::closureAfterClosure:
            return "a closure ('*', '+' or '?') after another closure";
    }
    return "unknown failure";
}

}  // namespace xvkit::regexp

int XREMakePattern(const char* pattern, unsigned short* code, int maxLength) {
    return xvkit::regexp::compilePattern(pattern, code, maxLength).status;
}
