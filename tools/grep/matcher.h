// The search of `xvkit grep`: patterns of the library's language compiled so
// that one call searches a whole buffer of lines instead of one line.
//
// A buffer holds complete lines, each ending in '\n', after one '\n' at
// position 0. No item of a buffer pattern matches a newline (newline is taken
// out of every class; `.` never matches it), so a match never spans lines and
// the first match in the buffer lies in the first matching line, found where
// the library's matcher found it on that line alone. The anchors become
// newlines: `^P` is searched as "\nP" and `P$` as "P\n", which match exactly
// at line starts and ends.
#ifndef XVKIT_TOOLS_GREP_MATCHER_H_
#define XVKIT_TOOLS_GREP_MATCHER_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <xvkit/xvregexp.h>
#include <xvkit/xvstring.h>

#include "pattern.h"

namespace xvtool {

// A match in a buffer: its start and length, inside one line.
struct Match {
    std::size_t start;
    std::size_t length;
};

struct MatchMode {
    bool ignoreCase = false;  // letters match either case
    bool wordRegexp = false;  // the match must be a whole word
    bool lineRegexp = false;  // the match must be the whole line
    // With ignoreCase: the text searched is lowered by foldCase() and the
    // patterns are lowered too; otherwise the patterns' classes take both
    // cases and the text is searched as it is.
    bool foldedText = false;
};

// Lowers the ASCII letters of `from` into `to` (same length).
void foldCase(const char* from, std::size_t n, char* to);

// One pattern, compiled for buffers.
class PatternMatcher {
  public:
    // `pattern` is in the library's language; `shown` is what the user typed,
    // for messages. Throws NotCompiled when it does not compile.
    PatternMatcher(const std::string& pattern, const std::string& shown, const MatchMode& mode);

    // The first match in `text` starting in [from, limit), where `from` >= 1
    // and `limit` is just past a newline. False when there is none.
    bool find(const XVString& text, std::size_t from, std::size_t limit, Match& m) const;

  private:
    enum class Kind { regex, everywhere, nowhere };

    bool isWordAt(const XVString& text, std::size_t at, Match& m) const;

    Kind kind_ = Kind::regex;
    bool word_;
    std::size_t lead_ = 0;   // 1 when the buffer pattern starts with the newline of '^'
    std::size_t trail_ = 0;  // 1 when it ends with the newline of '$'
    XVRegExprLight re_;
    // For -w: the pattern at the search start, followed by a character that
    // cannot continue a word (the newline included).
    XVRegExprLight wordEnd_;
};

// Several patterns: a line matches when any does; the match reported is the
// leftmost, and the longest of those starting there.
class MatcherSet {
  public:
    // Null, with a one-line reason in `error`, when a pattern does not
    // compile.
    static std::unique_ptr<MatcherSet> compile(const std::vector<PatternSource>& patterns,
                                               const MatchMode& mode, std::string& error);

    // As PatternMatcher::find, over all the patterns. A search reuses an
    // earlier one (from a smaller `from`, or with a smaller `limit`) whose
    // answer is still right, so that looking for a line's next -o match does
    // not make the search for the next matching line scan the same text
    // again. Call `newText()` whenever the buffer changes.
    bool find(const XVString& text, std::size_t from, std::size_t limit, Match& m);
    void newText();

    // Whether the text searched must be lowered by foldCase(). Case-blind
    // patterns search the text as it is unless a literal letter would have
    // to become a class of both cases (which makes its code 17 times longer
    // and takes it out of the matcher's literal search).
    bool foldedText() const { return foldedText_; }

  private:
    MatcherSet() = default;

    struct Cached {
        bool valid = false;
        std::size_t from = 0;
        std::size_t limit = 0;
        bool found = false;
        Match match{0, 0};
    };
    bool foldedText_ = false;
    std::vector<PatternMatcher> matchers_;
    std::vector<Cached> cache_;
};

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_MATCHER_H_
