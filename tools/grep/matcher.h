// The search of `xvkit grep`: every pattern compiled into one XVRegExprSet in
// line mode, so that one call finds the leftmost match of any of them in a
// whole buffer of lines, never across a line's end.
#ifndef XVKIT_TOOLS_GREP_MATCHER_H_
#define XVKIT_TOOLS_GREP_MATCHER_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <xvkit/xvregexset.h>

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
};

class Matcher {
  public:
    // The patterns as one set; nothing, with a one-line reason in `error`,
    // when one of them does not compile.
    static std::optional<Matcher> compile(const std::vector<PatternSource>& patterns,
                                          const MatchMode& mode, std::string& error);

    // The leftmost match (at one start, the longest) that starts at or after
    // `from` in the lines of `text`, which end at `size` with a newline. The
    // bytes before `from` are context: the start of a line, or a word's edge.
    bool find(const char* text, std::size_t size, std::size_t from, Match& m) const {
        XVRegExprSet::Match found;
        if (!set_.find(text, size, from, &found))
            return false;
        m = {found.start, found.length};
        return true;
    }

  private:
    explicit Matcher(XVRegExprSet set) : set_(std::move(set)) {}

    XVRegExprSet set_;
};

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_MATCHER_H_
