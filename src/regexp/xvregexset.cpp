// XVRegExprSet: the public face of the pattern set.

#include <stdexcept>

#include <xvkit/xvregexset.h>

#include "pattern_set.h"

namespace {

using xvkit::regexp::CompileResult;
using xvkit::regexp::MatchRules;
using xvkit::regexp::PatternSet;
using xvkit::regexp::PatternSource;

MatchRules rulesOf(const XVRegExprSet::Options& options) {
    return {.lines = options.lines,
            .caseBlind = options.ignoreCase,
            .words = options.words,
            .wholeLines = options.wholeLines};
}

std::vector<XVRegExprSet::Pattern> withSyntax(const std::vector<std::string>& texts,
                                              XVRegExprSet::Syntax syntax) {
    std::vector<XVRegExprSet::Pattern> patterns;
    patterns.reserve(texts.size());
    for (const std::string& text : texts)
        patterns.push_back({text, syntax});
    return patterns;
}

std::vector<PatternSource> sourcesOf(const std::vector<XVRegExprSet::Pattern>& patterns) {
    std::vector<PatternSource> sources;
    sources.reserve(patterns.size());
    for (const XVRegExprSet::Pattern& pattern : patterns)
        sources.push_back({pattern.text, pattern.syntax == XVRegExprSet::fixedString});
    return sources;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

class XVRegExprSet::Impl {
  public:
    Impl(const std::vector<Pattern>& patterns, const Options& options)
        : options(options), set(sourcesOf(patterns), rulesOf(options)) {
        statuses.reserve(patterns.size());
        for (std::size_t i = 0; i < set.size(); ++i) {
            const CompileResult& result = set.compiled(i);
            statuses.push_back({static_cast<XVRegExprLight::statVal>(result.status),
                                xvkit::regexp::failureText(result.failure), result.offset});
            if (result.status != 0 && firstFailure == kNone)
                firstFailure = i;
        }
    }

    const Options options;
    const PatternSet set;
    std::vector<Status> statuses;
    std::size_t firstFailure = kNone;
};

XVRegExprSet::XVRegExprSet() : XVRegExprSet(std::vector<Pattern>{}, Options{}) {}

XVRegExprSet::XVRegExprSet(const std::vector<std::string>& texts, Syntax syntax)
    : XVRegExprSet(withSyntax(texts, syntax), Options{}) {}

XVRegExprSet::XVRegExprSet(const std::vector<std::string>& texts, Syntax syntax,
                           const Options& options)
    : XVRegExprSet(withSyntax(texts, syntax), options) {}

XVRegExprSet::XVRegExprSet(const std::vector<Pattern>& patterns, const Options& options)
    : impl_(std::make_shared<const Impl>(patterns, options)) {}

XVRegExprSet::XVRegExprSet(const XVRegExprSet&) = default;

// A moved-from set holds no implementation and reads as the set of no pattern.
XVRegExprSet::XVRegExprSet(XVRegExprSet&& other) noexcept = default;

XVRegExprSet& XVRegExprSet::operator=(const XVRegExprSet&) = default;

XVRegExprSet& XVRegExprSet::operator=(XVRegExprSet&& other) noexcept = default;

XVRegExprSet::~XVRegExprSet() = default;

const XVRegExprSet::Impl& XVRegExprSet::impl() const {
    if (impl_)
        return *impl_;
    static const Impl noPattern(std::vector<Pattern>{}, Options{});
    return noPattern;
}

std::size_t XVRegExprSet::size() const {
    return impl().set.size();
}

const XVRegExprSet::Options& XVRegExprSet::options() const {
    return impl().options;
}

bool XVRegExprSet::ok() const {
    return impl().firstFailure == kNone;
}

std::size_t XVRegExprSet::firstFailure() const {
    return impl().firstFailure;
}

const XVRegExprSet::Status& XVRegExprSet::status(std::size_t i) const {
    if (i >= impl().statuses.size())
        throw std::out_of_range("XVRegExprSet::status(size_t i) const");
    return impl().statuses[i];
}

bool XVRegExprSet::find(const char* text, std::size_t size, std::size_t start, Match* match) const {
    if (text == nullptr && size > 0)
        throw std::invalid_argument(
            "XVRegExprSet::find(const char* text, size_t size, size_t start, Match* match) const");
    if (start > size)
        return false;
    if (text == nullptr)
        text = "";  // the scans may not be handed a null pointer, even for no byte
    xvkit::regexp::SetMatch found{0, 0, 0};
    if (!impl().set.find(reinterpret_cast<const unsigned char*>(text), size, start,
                         match == nullptr, &found))
        return false;
    if (match != nullptr)
        *match = {found.start, found.length, found.pattern};
    return true;
}

bool XVRegExprSet::matches(const char* text, std::size_t size, std::size_t start) const {
    return find(text, size, start, nullptr);
}
