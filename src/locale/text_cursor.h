// The text-scanning vocabulary of the locale readers: byte classes and a
// cursor that moves forward through a text (and, to give back what a reader
// took, backward). Internal to the library.
#ifndef XVKIT_SRC_LOCALE_TEXT_CURSOR_H_
#define XVKIT_SRC_LOCALE_TEXT_CURSOR_H_

#include <cctype>
#include <cstddef>
#include <cstring>

#include <xvkit/xvstring.h>

#include "debug_check.h"

namespace xvkit::locale {

// A decimal digit '0'..'9' (what isdigit accepts in every C runtime locale).
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether some character of `s` is a decimal digit.
inline bool holdsDigit(const XVString& s) {
    for (char c : s) {
        if (isDigit(c))
            return true;
    }
    return false;
}

// A position in the characters of a text. The text's own NUL stands at
// `end`, so a C reader started at `at` never runs past it.
struct Cursor {
    const char* at;
    const char* end;

    explicit Cursor(const XVString& text) : at(text.c_str()), end(text.c_str() + text.size()) {}

    bool atEnd() const { return at == end; }
    std::size_t left() const { return static_cast<std::size_t>(end - at); }
    // The character here, or NUL at the end (the text's own NUL).
    char peek() const { return *at; }
    // The character here, consumed.
    char take() {
        XVKIT_DCHECK(at != end);
        return *at++;
    }
    // Consumes the character here and the white space after it.
    void takeThenSkipWhite() {
        take();
        skipWhite();
    }
    // sign := ["-" | "+"] {white space}; the sign read, or 0.
    char takeSign() {
        if (peek() != '-' && peek() != '+')
            return 0;
        const char sign = take();
        skipWhite();
        return sign;
    }
    // Moves past white space as the C runtime's current locale classifies
    // it: what isspace accepts, read from the table that glibc's isspace
    // reads, taken once per skip instead of a call per character.
    void skipWhite() {
        const unsigned short* const classes = *__ctype_b_loc();
        while (at != end && (classes[static_cast<unsigned char>(*at)] & _ISspace) != 0)
            ++at;
    }
    // Whether nothing but white space is left, which it skips.
    bool onlyWhiteLeft() {
        skipWhite();
        return atEnd();
    }
    // Moves to the next digit; false when none is left.
    bool toDigit() {
        while (at != end && !isDigit(*at))
            ++at;
        return at != end;
    }
    // Moves past the `n` characters of `literal` when they stand here; an
    // empty literal never does.
    bool match(const char* literal, std::size_t n) {
        // The first character settles most tries without a call.
        if (n == 0 || left() < n || *at != *literal || std::memcmp(at, literal, n) != 0)
            return false;
        at += n;
        return true;
    }
    bool match(const XVString& literal) { return match(literal.data(), literal.size()); }
};

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_TEXT_CURSOR_H_
