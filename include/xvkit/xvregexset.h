// xvkit/xvregexset.h
//
// XVRegExprSet: many patterns compiled into one searcher that finds the
// leftmost match of any of them in one pass over raw text, in the manner of
// RE2's RE2::Set and Hyperscan's pattern databases.
//
// Each pattern is either a light regular expression, read exactly as
// XVRegExprLight reads it (<xvkit/xvregexp.h>: literals with backslash
// escapes, `.`, classes, the closures `*` `+` `?`, the anchors `^` `$`; up to
// its first NUL; at most 256 code words), or a fixed string, whose bytes
// (NUL included) match themselves; a fixed string may be empty.
//
// Example: every matching line of a buffer, and where each match lies.
//
//   XVRegExprSet set({"[0-9]+x", "needle", "^#define"}, XVRegExprSet::lightPattern,
//                    {.lines = true});
//   if (!set.ok()) {                                   // which pattern failed, and why
//       std::size_t bad = set.firstFailure();
//       printf("pattern %zu: %s\n", bad, set.status(bad).reason);
//   }
//   XVRegExprSet::Match m;
//   for (std::size_t at = 0; set.find(text, size, at, &m);) {
//       // m.start, m.length, m.pattern (its index); the line holding the match
//       // runs from just after the last '\n' before m.start to the next '\n'.
//       const char* nl = static_cast<const char*>(memchr(text + m.start, '\n', size - m.start));
//       at = nl ? nl - text + 1 : size;             // on to the next line
//   }
//
// What a search finds. From a start position each pattern has the match that
// XVRegExprLight::index finds from there (as the options below change it):
// the leftmost position where it matches, and there the match its
// backtracking tries first (at each closure the most repetitions, given back
// one at a time); a fixed string has its leftmost occurrence. The set reports
// the leftmost of these matches; among those that start at the same
// position, the longest, and among those of one length, the pattern of the
// lowest index. A pattern that failed to compile never matches.
//
// Text is raw bytes: `text` holds `size` bytes, NUL included, and a search
// runs from `start` to `size`. The bytes before `start` are context: line
// mode and whole words look at the byte before `start`, so a search can go
// on from the middle of a text: every match in turn is found by searching
// again from m.start + max(m.length, 1), and the next line from after the
// '\n' that ends the line of a match.
//
// Options (all off by default):
//
//   ignoreCase  ASCII letters match either case: a literal letter matches
//               both, and a class holds both cases of every letter it names,
//               taken before a `^` negates it («[^a]» matches neither `a` nor
//               `A`), as `grep -i` reads it. Other bytes are unchanged.
//   lines       Line mode, for searching a whole buffer of lines in one call.
//               The text is a sequence of lines, each ending in '\n' (the last
//               one may lack it; a text that ends in '\n', or is empty, has no
//               line after it). No match holds a newline: `.` and classes never
//               match it, and a pattern or fixed string that must take one
//               never matches. `^` matches at the start of every line (at 0,
//               or after a '\n') and `$` at the end of every line (before its
//               '\n', or at `size`). Without it, `^` matches at `start` only
//               and `$` at `size` only, as in XVRegExprLight.
//   words       A match must form whole words, as `grep -w` means it: the
//               byte before it (if any) and the byte after it (if any) are not
//               word bytes (ASCII letters, digits, `_`). A pattern whose
//               first match at a start fails this takes there the first of its
//               other matches, in its backtracking order, that passes it.
//   wholeLines  A match must span a whole line in line mode (`grep -x`), or
//               run from `start` to `size` without it. With it `words`
//               changes nothing.
//
// Cost: a search takes time linear in the text for a given set. The fixed
// strings, and the literal runs that the light patterns' matches must hold,
// are found together by one automaton that reads only a sample of the text's
// positions; a light pattern is then tried only where its run occurs. A
// light pattern without such a run (say «[0-9]+x») is searched on its own,
// up to the leftmost match found so far, so that many of them cost about as
// much as searching with each in turn. matches() stops at the first match
// found, which may save reading the rest of the text.
//
// Threads: an XVRegExprSet never changes after construction; any number of
// threads may search with one set at the same time. Copies share the
// compiled patterns and are as cheap as a shared pointer. Each thread keeps
// the tables of the patterns searched on their own for the last four sets
// it searched with (a few kilobytes a pattern, at most about 512 KB),
// released when the thread ends; a search made after that, from an atexit
// handler or a static destructor, works without them.
//
// Failures: a pattern that does not compile is reported by status() and
// never matches; nothing here throws except std::bad_alloc when memory runs
// out, and std::invalid_argument for a null `text` with a non-zero `size`.

#ifndef XVKIT_XVREGEXSET_H_
#define XVKIT_XVREGEXSET_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <xvkit/xvplatform.h>
#include <xvkit/xvregexp.h>

class XVKIT_API XVRegExprSet {
  public:
    // How the text of a pattern is read.
    enum Syntax : unsigned char {
        lightPattern,  // XVRegExprLight's language, up to the first NUL
        fixedString,   // the bytes themselves
    };

    struct Pattern {
        std::string text;
        Syntax syntax = lightPattern;
    };

    struct Options {
        bool ignoreCase = false;
        bool lines = false;
        bool words = false;
        bool wholeLines = false;
    };

    // A match: where it starts, how long it is (possibly 0), and the index of
    // its pattern in the list the set was made from.
    struct Match {
        std::size_t start = 0;
        std::size_t length = 0;
        std::size_t pattern = 0;
    };

    // The outcome of compiling one pattern.
    struct Status {
        // ok, syntaxError or compileError, as XVRegExprLight::status() would
        // report the pattern; always ok for a fixed string.
        XVRegExprLight::statVal code = XVRegExprLight::ok;
        // A fixed English text saying why, e.g. "a class without its closing
        // ']'", "the pattern is empty", "a closure ('*', '+' or '?') after
        // another closure", "the compiled pattern does not fit in its code
        // array"; "compiled" for a pattern that compiled.
        const char* reason = "compiled";
        // Where in the pattern text the compiler stopped: the offending
        // character (the `[` of an unclosed class, the closure after an
        // anchor); 0 for a pattern that compiled.
        std::size_t offset = 0;
    };

    // The set of no pattern: ok(), and never matches.
    XVRegExprSet();
    // The patterns `texts`, each read as `syntax`, with `options` (or none).
    explicit XVRegExprSet(const std::vector<std::string>& texts, Syntax syntax = lightPattern);
    XVRegExprSet(const std::vector<std::string>& texts, Syntax syntax, const Options& options);
    // Patterns of either syntax (`options` may be `{}`).
    XVRegExprSet(const std::vector<Pattern>& patterns, const Options& options);

    XVRegExprSet(const XVRegExprSet&);
    XVRegExprSet(XVRegExprSet&&) noexcept;  // leaves `other` the set of no pattern
    XVRegExprSet& operator=(const XVRegExprSet&);
    XVRegExprSet& operator=(XVRegExprSet&&) noexcept;
    ~XVRegExprSet();

    // The number of patterns, failed ones included.
    std::size_t size() const;
    const Options& options() const;

    // Whether every pattern compiled.
    bool ok() const;
    // The index of the first pattern that failed to compile, or (size_t)-1.
    std::size_t firstFailure() const;
    // How pattern `i` compiled. Throws std::out_of_range
    // ("XVRegExprSet::status(size_t i) const") when `i` >= size().
    const Status& status(std::size_t i) const;

    // The leftmost match at or after `start` in the `size` bytes of `text`
    // (see above); stores it in `*match` and returns true, or returns false
    // and leaves `*match` alone. A `start` past `size` finds nothing; a null
    // `match` only answers whether there is one (as matches()).
    bool find(const char* text, std::size_t size, std::size_t start, Match* match) const;

    // Whether any pattern matches at or after `start`: the question of
    // `grep -c`, `-l` and `-q`, answered without settling which match is the
    // leftmost where that costs less.
    bool matches(const char* text, std::size_t size, std::size_t start = 0) const;

  private:
    class Impl;
    const Impl& impl() const;

    std::shared_ptr<const Impl> impl_;
};

#endif  // XVKIT_XVREGEXSET_H_
