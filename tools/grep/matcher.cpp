#include "matcher.h"

#include "options.h"

namespace xvtool {

std::optional<Matcher> Matcher::compile(const std::vector<PatternSource>& sources,
                                        const MatchMode& mode, std::string& error) {
    std::vector<XVRegExprSet::Pattern> patterns;
    for (const PatternSource& source : sources) {
        // The empty pattern, which matches everywhere, is the empty string.
        const bool fixed = source.fixed || source.text.empty();
        patterns.push_back(
            {source.text, fixed ? XVRegExprSet::fixedString : XVRegExprSet::lightPattern});
    }
    XVRegExprSet::Options options;
    options.lines = true;
    options.ignoreCase = mode.ignoreCase;
    options.words = mode.wordRegexp;
    options.wholeLines = mode.lineRegexp;
    XVRegExprSet set(patterns, options);
    if (const std::size_t bad = set.firstFailure(); bad != static_cast<std::size_t>(-1)) {
        error = "pattern " + quoteArg(sources[bad].shown) +
                " does not compile: " + set.status(bad).reason;
        return std::nullopt;
    }
    return Matcher(std::move(set));
}

}  // namespace xvtool
