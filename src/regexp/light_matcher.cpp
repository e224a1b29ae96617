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

// Below this many characters the lock-step search is as quick as building
// the tables for a pattern met for the first time.
constexpr std::size_t kShortText = 32;
// A pattern whose tables overflowed this often is left to the lock-step search.
constexpr int kMaxDfaFailures = 2;
// The largest code, end word included.
constexpr std::size_t kMaxCodeWords = 256;

// The number of words of a terminated code, its end word included.
std::size_t codeWords(const unsigned short* code) {
    std::size_t w = 0;
    while (code[w] != kXRECodeEnd)
        w += code[w] == kXRECodeClass ? kXREClassWords : 1;
    return w + 1;
}

// A decoded pattern with its search tables, kept per thread for the pattern
// searched last, so that repeated searches with one pattern decode it and
// build its tables once. It holds its own copy of the code, and is made over
// in place for the next pattern.
class CachedPattern {
  public:
    // Makes this the pattern of `code`; returns whether it already was.
    bool hold(const unsigned short* code) {
        const std::size_t words = codeWords(code);
        if (words == words_ && std::memcmp(code_, code, words * sizeof *code) == 0)
            return true;
        dfa_.reset();
        program_.reset();
        std::memcpy(code_, code, words * sizeof *code);
        words_ = words;
        program_.emplace(code_);
        dfa_.emplace(*program_);
        return false;
    }

    const Program& program() const { return *program_; }
    DfaSearcher& dfa() { return *dfa_; }

  private:
    std::size_t words_ = 0;
    unsigned short code_[kMaxCodeWords];
    std::optional<Program> program_;
    std::optional<DfaSearcher> dfa_;
};

// The calling thread's cache: made on the thread's first search and released
// with the thread's thread_local objects. Both variables are trivially
// destructible, so they stay readable after that release, while the thread
// still runs atexit handlers, static destructors and later thread_local
// destructors that may search too.
thread_local CachedPattern* threadCache = nullptr;
thread_local bool threadCacheReleased = false;

struct ThreadCacheRelease {
    ~ThreadCacheRelease() {
        delete threadCache;
        threadCache = nullptr;
        threadCacheReleased = true;
    }
};

// The cache of the calling thread, or null once it has been released.
CachedPattern* cachedPattern() {
    if (threadCache == nullptr && !threadCacheReleased) {
        thread_local ThreadCacheRelease release;  // registers the release at thread end
        threadCache = new CachedPattern;
    }
    return threadCache;
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

bool searchWith(CachedPattern& cached, const unsigned short* code, const unsigned char* bytes,
                std::size_t n, std::size_t start, std::size_t* matchStart,
                std::size_t* matchLength) {
    const bool known = cached.hold(code);
    const Program& program = cached.program();
    bool found = false;
    if (quickSearch(program, bytes, n, start, matchStart, matchLength, &found))
        return found;
    DfaSearcher& dfa = cached.dfa();
    const bool useTables = start < n && (known || n - start >= kShortText);
    if (useTables && dfa.failures() < kMaxDfaFailures) {
        switch (dfa.search(bytes, n, start, matchStart, matchLength)) {
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

}  // namespace

bool search(const unsigned short* code, const char* text, std::size_t n, std::size_t start,
            std::size_t* matchStart, std::size_t* matchLength) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (CachedPattern* cached = cachedPattern())
        return searchWith(*cached, code, bytes, n, start, matchStart, matchLength);
    // The thread is ending and its cache is gone: this search decodes for itself.
    const auto own = std::make_unique<CachedPattern>();
    return searchWith(*own, code, bytes, n, start, matchStart, matchLength);
}

}  // namespace xvkit_regexp
