#include "light_matcher.h"

#include <cstring>
#include <memory>
#include <optional>

#include <xvkit/xvregexp.h>

#include "debug_check.h"
#include "dfa_search.h"
#include "lockstep_search.h"
#include "program.h"

namespace xvkit::regexp {

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
        // Equal words up to the cached end word make the same code. Codes are
        // short, so a plain loop beats a call to memcmp.
        std::size_t same = 0;
        while (same < words_ && code[same] == code_[same])
            ++same;
        if (words_ > 0 && same == words_)
            return true;
        const std::size_t words = codeWords(code);
        XVKIT_DCHECK(words <= kMaxCodeWords);
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

// Whether the table-driven search pays for a search from `start`: its tables
// are built as they are needed, which costs more than a lock-step search of a
// short text unless this thread's last search used the pattern too.
bool tablesPay(const DfaSearcher& dfa, bool known, std::size_t n, std::size_t start) {
    return start < n && (known || n - start >= kShortText) && dfa.failures() < kMaxDfaFailures;
}

bool searchWith(CachedPattern& cached, const unsigned short* code, const unsigned char* bytes,
                std::size_t n, std::size_t start, std::size_t* matchStart, std::size_t* matchLength,
                Engine* decidedBy) {
    const bool known = cached.hold(code);
    const Program& program = cached.program();
    if (program.pureLiteral() && !program.anchored()) {
        *decidedBy = Engine::literalScan;
        const std::size_t at = program.findPrefix(bytes, n, start);
        if (at == kNoPosition)
            return false;
        *matchStart = at;
        *matchLength = program.prefixLength();
        return true;
    }
    if (!program.anchored()) {
        start = program.earliestStart(bytes, n, start);
        if (start == kNoPosition) {
            *decidedBy = Engine::requiredScan;
            return false;
        }
    }
    DfaSearcher& dfa = cached.dfa();
    if (tablesPay(dfa, known, n, start)) {
        *decidedBy = Engine::tables;
        switch (dfa.search(bytes, n, start, matchStart, matchLength)) {
            case DfaOutcome::found:
                return true;
            case DfaOutcome::notFound:
                return false;
            case DfaOutcome::tooManyStates:
                break;
        }
    }
    *decidedBy = Engine::lockstep;
    return lockstepSearch(program, bytes, n, start, matchStart, matchLength);
}

}  // namespace

HeadOutcome matchAnchoredHead(const unsigned short* code, const unsigned char* text, std::size_t n,
                              std::size_t start, std::size_t* matchLength) {
    XVKIT_DCHECK(code[0] == kXRECodeBeginAnchor && start <= n);
    std::size_t p = start;
    for (const unsigned short* w = code + 1;;) {
        const unsigned short word = *w;
        if (word == kXRECodeEnd) {
            *matchLength = p - start;
            return HeadOutcome::found;
        }
        if (word == kXRECodeStar || word == kXRECodePlus || word == kXRECodeOptional)
            return HeadOutcome::undecided;
        if (word == kXRECodeEndAnchor) {
            if (p != n)
                return HeadOutcome::notFound;
            ++w;
            continue;
        }
        if (p == n)
            return HeadOutcome::notFound;
        const unsigned char c = text[p++];
        if (word == kXRECodeClass) {
            if (!((w[1 + (c >> 4)] >> (c & 15)) & 1u))
                return HeadOutcome::notFound;
            w += kXREClassWords;
            continue;
        }
        if (word == kXRECodeAny ? c == '\n' : c != word)
            return HeadOutcome::notFound;
        ++w;
    }
}

bool search(const unsigned short* code, const char* text, std::size_t n, std::size_t start,
            std::size_t* matchStart, std::size_t* matchLength, Engine* decidedBy) {
    XVKIT_DCHECK(start <= n);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    Engine engine = Engine::anchoredHead;
    bool found = false;
    const HeadOutcome head = code[0] == kXRECodeBeginAnchor
                                 ? matchAnchoredHead(code, bytes, n, start, matchLength)
                                 : HeadOutcome::undecided;
    if (head != HeadOutcome::undecided) {
        *matchStart = start;
        found = head == HeadOutcome::found;
    } else if (CachedPattern* cached = cachedPattern()) {
        found = searchWith(*cached, code, bytes, n, start, matchStart, matchLength, &engine);
    } else {
        // The thread is ending and its cache is gone: this search decodes for itself.
        const auto own = std::make_unique<CachedPattern>();
        found = searchWith(*own, code, bytes, n, start, matchStart, matchLength, &engine);
    }
    if (decidedBy != nullptr)
        *decidedBy = engine;
    return found;
}

}  // namespace xvkit::regexp
