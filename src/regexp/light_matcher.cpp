#include "light_matcher.h"

#include <cstring>
#include <memory>
#include <optional>

#include <xvkit/xvregexp.h>

#include "dfa_search.h"
#include "lockstep_search.h"
#include "program.h"

namespace xvkit_regexp {

namespace {

// Below this many characters the lock-step search is as quick as the tables.
constexpr std::size_t kShortText = 32;
// A pattern whose tables overflowed this often is left to the lock-step search.
constexpr int kMaxDfaFailures = 2;

// The number of words of a terminated code, its end word included.
std::size_t codeWords(const unsigned short* code) {
    std::size_t w = 0;
    while (code[w] != kXRECodeEnd)
        w += code[w] == kXRECodeClass ? kXREClassWords : 1;
    return w + 1;
}

// A decoded pattern with its search tables, kept per thread for the pattern
// searched last so that repeated searches with one pattern build the tables
// once. It holds its own copy of the code.
struct CachedPattern {
    explicit CachedPattern(const unsigned short* source, std::size_t words)
        : words(words), code(copy(source, words)), program(code.get()), dfa(program) {}

    static std::unique_ptr<unsigned short[]> copy(const unsigned short* source, std::size_t words) {
        std::unique_ptr<unsigned short[]> own(new unsigned short[words]);
        std::memcpy(own.get(), source, words * sizeof *source);
        return own;
    }

    bool holds(const unsigned short* other, std::size_t otherWords) const {
        return words == otherWords && std::memcmp(code.get(), other, words * sizeof *other) == 0;
    }

    std::size_t words;
    std::unique_ptr<unsigned short[]> code;
    Program program;
    DfaSearcher dfa;
};

CachedPattern& cachedPattern(const unsigned short* code) {
    thread_local std::unique_ptr<CachedPattern> cache;
    const std::size_t words = codeWords(code);
    if (!cache || !cache->holds(code, words))
        cache = std::make_unique<CachedPattern>(code, words);
    return *cache;
}

// The first occurrence of `length` >= 1 characters of `needle` in [start, n)
// of `text`, or null. Short texts do without memmem's set-up.
const unsigned char* findLiteral(const unsigned char* text, std::size_t n, std::size_t start,
                                 const unsigned char* needle, std::size_t length) {
    if (n - start >= 256)
        return static_cast<const unsigned char*>(memmem(text + start, n - start, needle, length));
    const unsigned char* const last = text + n - length;  // the last possible start
    for (const unsigned char* p = text + start; p <= last && n - start >= length; ++p) {
        p = static_cast<const unsigned char*>(std::memchr(p, needle[0], last - p + 1));
        if (p == nullptr)
            return nullptr;
        if (std::memcmp(p + 1, needle + 1, length - 1) == 0)
            return p;
    }
    return nullptr;
}

// A search that is over before any matcher runs: a literal pattern, or a text
// without a character every match needs. Returns false when the matchers
// must run.
bool quickSearch(const Program& program, const unsigned char* text, std::size_t n,
                 std::size_t start, std::size_t* matchStart, std::size_t* matchLength,
                 bool* found) {
    if (program.pureLiteral() && !program.anchored()) {
        const unsigned char* at =
            findLiteral(text, n, start, program.prefix(), program.prefixLength());
        *found = at != nullptr;
        if (at != nullptr) {
            *matchStart = static_cast<std::size_t>(at - text);
            *matchLength = program.prefixLength();
        }
        return true;
    }
    const int required = program.requiredLiteral();
    if (required >= 0 && std::memchr(text + start, required, n - start) == nullptr) {
        *found = false;
        return true;
    }
    return false;
}

}  // namespace

bool search(const unsigned short* code, const char* text, std::size_t n, std::size_t start,
            std::size_t* matchStart, std::size_t* matchLength) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    bool found = false;
    if (n - start < kShortText) {
        const Program program(code);
        if (quickSearch(program, bytes, n, start, matchStart, matchLength, &found))
            return found;
        return lockstepSearch(program, bytes, n, start, matchStart, matchLength);
    }
    CachedPattern& cached = cachedPattern(code);
    const Program& program = cached.program;
    if (quickSearch(program, bytes, n, start, matchStart, matchLength, &found))
        return found;
    if (cached.dfa.failures() < kMaxDfaFailures) {
        switch (cached.dfa.search(bytes, n, start, matchStart, matchLength)) {
            case DfaOutcome::found:
                return true;
            case DfaOutcome::notFound:
                return false;
            case DfaOutcome::tooManyStates:
                break;
        }
    }
    return lockstepSearch(program, bytes, n, start, matchStart, matchLength);
}

}  // namespace xvkit_regexp
