// Compiles arbitrary patterns and searches arbitrary texts, checking the
// library's search, and its lock-step and table-driven engines on their own,
// against the plain backtracking interpreter.
//
// Input: one byte for the start position, the pattern up to the first NUL,
// then the text (NUL characters included).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include <xvkit/xvregexp.h>

#include "reference_matcher.h"
#include "regexp/dfa_search.h"
#include "regexp/lockstep_search.h"
#include "regexp/program.h"

namespace {

// The interpreter backtracks exponentially; these bounds keep each run short.
constexpr std::size_t kMaxPattern = 40;
constexpr std::size_t kMaxText = 40;
constexpr int kMaxClosures = 5;

int closures(const unsigned short* code) {
    int count = 0;
    for (const unsigned short* w = code; *w != kXRECodeEnd;) {
        if (*w == kXRECodeStar || *w == kXRECodePlus || *w == kXRECodeOptional)
            ++count;
        w += *w == kXRECodeClass ? kXREClassWords : 1;
    }
    return count;
}

// Aborts unless an engine's search result is the interpreter's.
void expectSame(bool hit, std::size_t at, std::size_t length, std::size_t expected,
                std::size_t expectedLength) {
    if (hit ? at != expected || length != expectedLength : expected != xvkit::reference::kNoMatch)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t startByte = data[0];
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const std::size_t restSize = size - 1;
    const void* nul = std::memchr(rest, 0, restSize);
    const std::size_t patternSize =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - rest) : restSize;
    if (patternSize > kMaxPattern)
        return 0;
    const std::string pattern(rest, patternSize);
    const std::size_t textBegin = nul ? patternSize + 1 : restSize;
    const XVString text(std::string(rest + textBegin, restSize - textBegin).substr(0, kMaxText));

    // Every maxLength the compiler might see, including too small ones.
    unsigned short small[20];
    for (int maxLength = -1; maxLength <= 20; ++maxLength) {
        const int status = XREMakePattern(pattern.c_str(), small, maxLength);
        if (status < 0 || status > 3)
            std::abort();
    }
    const int lowest = XREMakePattern(pattern.c_str(), small, std::numeric_limits<int>::min());
    if (lowest != XREMakePattern(pattern.c_str(), small, 0))
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
        return 0;
    }
    if (closures(code) > kMaxClosures)
        return 0;

    const std::size_t from = startByte % (text.size() + 2);
    std::size_t expectedLen = 77;
    std::size_t actualLen = 77;
    const std::size_t expected = xvkit::reference::referenceIndex(code, text, &expectedLen, from);
    const std::size_t actual = re.index(text, &actualLen, from);
    if (actual != expected || actualLen != expectedLen)
        std::abort();
    if (from <= text.size()) {
        using namespace xvkit::regexp;
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const auto program = std::make_unique<Program>(code);
        std::size_t at = 0;
        std::size_t length = 0;
        const bool hit = lockstepSearch(*program, bytes, text.size(), from, &at, &length);
        expectSame(hit, at, length, expected, expectedLen);
        const auto tables = std::make_unique<DfaSearcher>(*program);
        const DfaOutcome outcome = from < text.size()
                                       ? tables->search(bytes, text.size(), from, &at, &length)
                                       : DfaOutcome::tooManyStates;
        if (outcome != DfaOutcome::tooManyStates)
            expectSame(outcome == DfaOutcome::found, at, length, expected, expectedLen);
    }

    // The same search over a long text built from the input, which takes the
    // table-driven path; only the bounded matcher runs on it.
    XVString longText;
    while (longText.size() < 4096 && !text.empty())
        longText += text;
    std::size_t longLen = 0;
    const std::size_t at = re.index(longText, &longLen, 0);
    if (at != static_cast<std::size_t>(-1) && at + longLen > longText.size())
        std::abort();
    return 0;
}
