// xvkit/xvregexp.h
//
// The light regular-expression engine.
//
//   XREMakePattern          compiles a pattern into an array of 16-bit code words
//   XVTRegExprTraits<char>  the character vocabulary and out-of-line symbol sets
//   XVRegExprLight          a compiled pattern that searches strings
//
// The pattern language: literal characters with backslash escapes, `.` (any
// character but newline), classes `[...]` with ranges and `^` negation, the
// closures `*`, `+` and `?` on the single item before them, `^` as the first
// character (anchored at the search start) and `$` as the last character
// (anchored at the end of the text). `(`, `)`, `{`, `}` and `|` are literals.
//
// Example:
//
//   XVRegExprLight digits("[0-9]+");
//   size_t len = 0;
//   size_t at = digits.index("ab12345cd", &len, 0);   // at == 2, len == 5
//
// Escapes (a backslash followed by):
//   b e f n r s t  (either case)  backspace, escape, form feed, newline,
//                                 carriage return, space, tab
//   x or X and 1-2 hex digits     that code («\x5e» is `^`); without a hex
//                                 digit the letter itself
//   ^ and a character c           the control code of upper-case c minus 64,
//                                 kept to 8 bits («\^A» is 1, «\^?» is 255)
//   1-3 octal digits              that code, kept to 8 bits («\0» is NUL)
//   anything else                 that character («\.», «\$», «\\»)
//   nothing (end of pattern)      the backslash itself

#ifndef XVKIT_XVREGEXP_H_
#define XVKIT_XVREGEXP_H_

#include <cstddef>

#include <xvkit/xvbitvec.h>
#include <xvkit/xvplatform.h>
#include <xvkit/xvstring.h>

// Code words of a compiled pattern. Literals are the words 0 to 255; a class
// is kXRECodeClass followed by a 256-bit map in 16 words (character `c` is a
// member when bit `c % 16` of word `c / 16` is set); a closure word stands
// immediately before the item it repeats; kXRECodeEnd ends the code.
inline constexpr unsigned short kXRECodeEnd = 0x8000;
inline constexpr unsigned short kXRECodeEndAnchor = 0x8024;    // `$`
inline constexpr unsigned short kXRECodeStar = 0x802A;         // `*`, zero or more
inline constexpr unsigned short kXRECodePlus = 0x802B;         // `+`, one or more
inline constexpr unsigned short kXRECodeAny = 0x802E;          // `.`
inline constexpr unsigned short kXRECodeOptional = 0x803F;     // `?`, zero or one
inline constexpr unsigned short kXRECodeClass = 0x805B;        // `[`
inline constexpr unsigned short kXRECodeBeginAnchor = 0x805E;  // `^`
inline constexpr int kXREClassWords = 17;

// Compiles the NUL-terminated `pattern` into `code`, which has room for
// `maxLength` words; the whole code, end word included, takes at most
// `maxLength` words. Returns
//   0  compiled: `code` holds a complete code ending in kXRECodeEnd;
//   1  syntax error: empty pattern (or null `pattern`), a first character
//      `*`, `+` or `?`, an empty class «[]», a class without its `]`, or a
//      pattern ending in the control escape «\^»;
//   2  `code` is null (only for a pattern that passes the first-character test);
//   3  the code does not fit, or a closure follows an anchor or another closure.
// On a non-zero result the content of `code` is unspecified. Never throws.
XVKIT_API int XREMakePattern(const char* pattern, unsigned short* code, int maxLength);

template <class charT>
class XVTRegExprTraits;

// The character vocabulary of the pattern language and the out-of-line symbol
// sets: classes kept as XVTBitVec<256> sets in an XVTValArray instead of inline
// in the code. Holds no data.
template <>
class XVKIT_API XVTRegExprTraits<char> {
  public:
    static char a() { return 'a'; }
    static char b() { return 'b'; }
    static char bar() { return '|'; }
    static char backslash() { return '\\'; }
    static char backspace() { return '\b'; }
    static char c() { return 'c'; }
    static char closeBrace() { return '}'; }
    static char closeBracket() { return ']'; }
    static char closeParen() { return ')'; }
    static char colon() { return ':'; }
    static char d() { return 'd'; }
    static char dash() { return '-'; }
    static char dollar() { return '$'; }
    static char dot() { return '.'; }
    static char e() { return 'e'; }
    static char eight() { return '8'; }
    static char equal() { return '='; }
    static char f() { return 'f'; }
    static char five() { return '5'; }
    static char formfeed() { return '\f'; }
    static char four() { return '4'; }
    static char hat() { return '^'; }
    static char n() { return 'n'; }
    static char newlineChar() { return '\n'; }
    static char nine() { return '9'; }
    static char one() { return '1'; }
    static char openBrace() { return '{'; }
    static char openBracket() { return '['; }
    static char openParen() { return '('; }
    static char plus() { return '+'; }
    static char questionMark() { return '?'; }
    static char r() { return 'r'; }
    static char seven() { return '7'; }
    static char six() { return '6'; }
    static char star() { return '*'; }
    static char t() { return 't'; }
    static char tab() { return '\t'; }
    static char three() { return '3'; }
    static char two() { return '2'; }
    static char x() { return 'x'; }
    static char zero() { return '0'; }
    static bool isChar() { return true; }
    static char nullCharT() { return '\0'; }

    // Whether `set` holds the unsigned 8-bit code of `c`. Never throws.
    static bool isMatchedInSymbolSet(XVTBitVec<256>& set, char c);

    // Builds the set described by `text`, the body of a class without its
    // brackets, appends it to `sets` and returns its index. An empty `text`
    // returns 0 and appends nothing; an empty `sets` first receives the empty
    // set, so index 0 always holds it. A leading `^` negates the set. A `-`
    // that is neither the first member nor the last character joins its two
    // neighbours into a range, which adds nothing when the left code is above
    // the right one («z-a» holds only `z`). Every other character, `\`
    // included, is a member: no escapes are read. Equal sets are not merged.
    static unsigned int addSymbolSet(XVTValArray<XVTBitVec<256>>& sets, const XVString& text);
};

// A compiled pattern that searches strings: leftmost start, greedy closures
// that give back one character at a time until the rest matches (the results
// of a plain backtracking matcher, found in time linear in the text for a
// given pattern and without recursion).
//
// A failed compilation is kept in the status and makes `index` throw until
// `status()` has been read; after that `index` still refuses the broken code
// with the same exception. Copies carry the code and the status.
//
// `index` is const and keeps no state: any number of threads may search with
// one expression at once, at any time, from atexit handlers and static or
// thread_local destructors included. `status()` and the assignments need
// exclusive access.
class XVKIT_API XVRegExprLight {
  public:
    enum statVal { ok = 0, syntaxError = 1, noCodeArray = 2, compileError = 3 };

    // Compiles `pattern` (NUL-terminated; null compiles as the empty pattern).
    XVRegExprLight(const char* pattern);  // NOLINT: implicit by design
    // Compiles the characters of `pattern` up to its first NUL.
    XVRegExprLight(const XVString& pattern);  // NOLINT: implicit by design
    XVRegExprLight(const XVRegExprLight& r);
    ~XVRegExprLight();

    XVRegExprLight& operator=(const XVRegExprLight& r);
    XVRegExprLight& operator=(const char* pattern);
    XVRegExprLight& operator=(const XVString& pattern);

    // The result of the last compilation; resets it to `ok`.
    statVal status();

    // Searches `s` from position `i` and returns the start of the first match,
    // with its length (possibly 0) in `*len`; on no match returns (size_t)-1
    // with `*len` 0. When `i` is past the end of `s` returns (size_t)-1 and
    // leaves `*len` as it was. Embedded NUL characters are ordinary characters;
    // `^` matches at `i`. Throws std::runtime_error ("XVRegExprLight::index(const
    // XVString& string, size_t* len, size_t i) const") when the compilation
    // failed. `len` must not be null.
    std::size_t index(const XVString& s, std::size_t* len, std::size_t i) const;

  private:
    static const unsigned int maxpat_ = 256;

    void genPattern(const char* pattern);
    void copyPattern(const XVRegExprLight& r);

    unsigned short* code_;
    statVal status_;
};

#endif  // XVKIT_XVREGEXP_H_
