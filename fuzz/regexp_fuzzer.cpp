// Compiles arbitrary patterns and searches arbitrary texts, checking the
// library's search, its lock-step and table-driven engines on their own (with
// and without match rules), and a pattern set of those patterns, against the
// plain backtracking interpreter; and the set, without rules, against one
// XVRegExprLight per pattern.
//
// Input: one byte for the start position; one byte of options (bit 0 line
// mode, 1 case-blind, 2 whole words, 3 whole lines; bit 4 + k: pattern k is
// a fixed string); up to kMaxPatterns patterns separated by 0x1E, ending at
// the first NUL; then the text (NUL characters included).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <xvkit/xvregexp.h>
#include <xvkit/xvregexset.h>

#include "reference_matcher.h"
#include "regexp/code_reader.h"
#include "regexp/dfa_search.h"
#include "regexp/lockstep_search.h"
#include "regexp/pattern_compiler.h"
#include "regexp/program.h"

namespace {

using namespace xvkit::regexp;
using xvkit::reference::kNoMatch;
using xvkit::reference::SetHit;

// The interpreter backtracks exponentially; these bounds keep each run short.
constexpr std::size_t kMaxPattern = 40;
constexpr std::size_t kMaxText = 40;
constexpr int kMaxClosures = 5;
constexpr std::size_t kMaxPatterns = 4;
constexpr char kSeparator = '\x1e';
// Small tables, so that searches fill them and start over.
constexpr std::size_t kSmallBudget = 2048;

int closures(const unsigned short* code) {
    int count = 0;
    for (CodeReader reader(code); !reader.done();)
        count += reader.next().repeat != Repeat::once;
    return count;
}

void expectSame(bool hit, std::size_t at, std::size_t length, const SetHit& expected) {
    if (hit ? at != expected.start || length != expected.length : expected.start != kNoMatch)
        std::abort();
}

// The checks of one light pattern on its own; returns whether the set check
// may use the interpreter on it (it compiled or failed, and is small).
bool checkPattern(const std::string& pattern, const MatchRules& rules, const XVString& text,
                  std::size_t from) {
    // Every maxLength the compiler might see, including too small ones.
    unsigned short small[20];
    for (int maxLength = -1; maxLength <= 20; ++maxLength) {
        const int status = XREMakePattern(pattern.c_str(), small, maxLength);
        if (status < 0 || status > 3)
            std::abort();
    }
    if (XREMakePattern(pattern.c_str(), small, std::numeric_limits<int>::min()) !=
        XREMakePattern(pattern.c_str(), small, 0))
        std::abort();

    unsigned short code[256];
    const int status = XREMakePattern(pattern.c_str(), code, 256);
    XVRegExprLight re(pattern.c_str());
    if (static_cast<int>(re.status()) != status)
        std::abort();
    if (status != 0) {
        std::size_t len = 0;
        try {
            re.index(text, &len, 0);
            std::abort();  // a failed compilation must refuse to search
        } catch (const std::runtime_error&) {
        }
        return true;
    }
    if (closures(code) > kMaxClosures)
        return false;

    SetHit expected;
    std::size_t actualLen = 77;
    expected.length = 77;
    expected.start = xvkit::reference::referenceIndex(code, text, &expected.length, from);
    if (re.index(text, &actualLen, from) != expected.start || actualLen != expected.length)
        std::abort();

    // Each engine on its own, with the rules too.
    unsigned short ruled[256];
    compilePattern(pattern.c_str(), ruled, 256, {.caseBlindClasses = rules.caseBlind});
    std::size_t n = text.size();
    if (rules.lines && n > 0 && text[n - 1] == '\n')
        --n;
    for (const bool withRules : {false, true}) {
        const MatchRules used = withRules ? rules : MatchRules{};
        const unsigned short* usedCode = withRules ? ruled : code;
        SetHit want;
        want.start = xvkit::reference::referenceIndex(usedCode, text, &want.length, from, used);
        const std::size_t size = withRules ? n : text.size();
        if (from > size || (used.lines && text.empty()))
            continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const auto program = std::make_unique<Program>(usedCode, used);
        std::size_t at = 0;
        std::size_t length = 0;
        const bool hit = lockstepSearch(*program, bytes, size, from, &at, &length);
        expectSame(hit, at, length, want);
        for (const std::size_t budget : {DfaSearcher::kDefaultBudget, kSmallBudget}) {
            const auto tables = std::make_unique<DfaSearcher>(*program, budget);
            const bool found = tables->search(bytes, size, from, &at, &length);
            expectSame(found, at, length, want);
        }
    }

    // A long text built from the input takes the table-driven path; only the
    // bounds are checked there.
    XVString longText;
    while (longText.size() < 4096 && !text.empty())
        longText += text;
    std::size_t longLen = 0;
    const std::size_t at = re.index(longText, &longLen, 0);
    if (at != static_cast<std::size_t>(-1) && at + longLen > longText.size())
        std::abort();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t startByte = data[0];
    const std::uint8_t optionByte = data[1];
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const std::size_t restSize = size - 2;
    const void* nul = std::memchr(rest, 0, restSize);
    const std::size_t patternsSize =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - rest) : restSize;
    const std::size_t textBegin = nul ? patternsSize + 1 : restSize;
    const XVString text(std::string(rest + textBegin, restSize - textBegin).substr(0, kMaxText));
    const std::size_t from = startByte % (text.size() + 2);
    const MatchRules rules{.lines = (optionByte & 1) != 0,
                           .caseBlind = (optionByte & 2) != 0,
                           .words = (optionByte & 4) != 0,
                           .wholeLines = (optionByte & 8) != 0};

    std::vector<XVRegExprSet::Pattern> patterns;
    bool referable = true;
    for (std::string_view block(rest, patternsSize); patterns.size() < kMaxPatterns;) {
        const std::size_t end = std::min(block.find(kSeparator), block.size());
        const std::string pattern(block.substr(0, end));
        if (pattern.size() > kMaxPattern)
            return 0;
        const bool fixed = (optionByte >> (4 + patterns.size()) & 1) != 0;
        patterns.push_back(
            {pattern, fixed ? XVRegExprSet::fixedString : XVRegExprSet::lightPattern});
        if (!fixed)
            referable = checkPattern(pattern, rules, text, from) && referable;
        if (end == block.size())
            break;
        block.remove_prefix(end + 1);
    }

    // The set against the interpreter, and without rules against one
    // XVRegExprLight per pattern.
    const XVRegExprSet set(patterns, {.ignoreCase = rules.caseBlind,
                                      .lines = rules.lines,
                                      .words = rules.words,
                                      .wholeLines = rules.wholeLines});
    XVRegExprSet::Match m;
    const bool found = set.find(text.data(), text.size(), from, &m);
    if (found != set.matches(text.data(), text.size(), from))
        std::abort();
    if (referable) {
        const SetHit best = xvkit::reference::referenceSet(patterns, rules, text, from);
        if (found ? !(best == SetHit{m.start, m.length, m.pattern}) : best.start != kNoMatch)
            std::abort();
    }

    XVString longText;
    while (longText.size() < 4096 && !text.empty())
        longText += text;
    if (set.find(longText.data(), longText.size(), 0, &m) &&
        (m.start + m.length > longText.size() || m.pattern >= patterns.size()))
        std::abort();
    return 0;
}
