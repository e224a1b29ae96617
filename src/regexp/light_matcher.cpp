#include "light_matcher.h"

#include <cstring>
#include <memory>
#include <optional>

#include "code_reader.h"
#include "debug_check.h"
#include "dfa_search.h"
#include "lockstep_search.h"
#include "program.h"
#include "thread_object.h"

namespace xvkit::regexp {

namespace {

// The largest code, end word included.
constexpr std::size_t kMaxCodeWords = 256;

// A decoded pattern with its search tables, kept so that repeated searches
// with one pattern decode it and build its tables once. It holds its own copy
// of the code, and is made over in place for another pattern.
class CachedPattern {
  public:
    // Whether this is the pattern of `code`.
    bool holds(const unsigned short* code) const {
        // Equal words up to the cached end word make the same code. Codes are
        // short, so a plain loop beats a call to memcmp.
        std::size_t same = 0;
        while (same < words_ && code[same] == code_[same])
            ++same;
        return words_ > 0 && same == words_;
    }

    // Makes this the pattern of `code`.
    void hold(const unsigned short* code) {
        const std::size_t words = codeWords(code);
        XVKIT_DCHECK(words <= kMaxCodeWords);
        dfa_.reset();
        program_.reset();
        std::memcpy(code_, code, words * sizeof *code);
        words_ = words;
        program_.emplace(code_);
        dfa_.emplace(*program_);
    }

    const Program& program() const { return *program_; }
    DfaSearcher& dfa() { return *dfa_; }

    // When the pattern was last searched with, on its cache's clock.
    unsigned long lastUse = 0;

  private:
    std::size_t words_ = 0;
    unsigned short code_[kMaxCodeWords];
    std::optional<Program> program_;
    std::optional<DfaSearcher> dfa_;
};

// The patterns a thread searched with lately.
class PatternCache {
  public:
    // The entry of `code`, made over from the one used longest ago when the
    // pattern is not there; `*known` tells whether it was.
    CachedPattern& find(const unsigned short* code, bool* known) {
        // Most searches use the pattern of the search before, whose last
        // use is already the latest.
        if (last_->holds(code)) {
            *known = true;
            return *last_;
        }
        CachedPattern* oldest = &entries_[0];
        for (CachedPattern& entry : entries_) {
            if (entry.holds(code)) {
                *known = true;
                entry.lastUse = ++clock_;
                last_ = &entry;
                return entry;
            }
            if (entry.lastUse < oldest->lastUse)
                oldest = &entry;
        }
        *known = false;
        oldest->hold(code);
        oldest->lastUse = ++clock_;
        last_ = oldest;
        return *oldest;
    }

  private:
    CachedPattern entries_[kCachedPatterns];
    CachedPattern* last_ = &entries_[0];
    unsigned long clock_ = 0;
};

// Whether the table-driven search pays for a search from `start`: its tables
// are built as they are needed, which costs more than a lock-step search of a
// short text unless this thread searched with the pattern lately.
bool tablesPay(bool known, std::size_t n, std::size_t start) {
    return start < n && (known || n - start >= kShortText);
}

bool searchWith(CachedPattern& cached, bool known, const unsigned char* bytes, std::size_t n,
                std::size_t start, std::size_t* matchStart, std::size_t* matchLength,
                Engine* decidedBy) {
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
    if (tablesPay(known, n, start)) {
        *decidedBy = Engine::tables;
        return cached.dfa().search(bytes, n, start, matchStart, matchLength);
    }
    *decidedBy = Engine::lockstep;
    return lockstepSearch(program, bytes, n, start, matchStart, matchLength);
}

}  // namespace

HeadOutcome matchAnchoredHead(const unsigned short* code, const unsigned char* text, std::size_t n,
                              std::size_t start, std::size_t* matchLength) {
    XVKIT_DCHECK(beginsWithAnchor(code) && start <= n);
    CodeReader reader(afterBeginAnchor(code));
    std::size_t p = start;
    while (!reader.done()) {
        const CodeItem item = reader.next();
        if (item.repeat != Repeat::once)
            return HeadOutcome::undecided;
        if (item.type == ItemType::literal) {
            if (p == n || text[p] != item.literal)
                return HeadOutcome::notFound;
            ++p;
            continue;
        }
        if (item.type == ItemType::endAnchor) {
            if (p != n)
                return HeadOutcome::notFound;
            continue;
        }
        if (p == n || !item.accepts(text[p]))
            return HeadOutcome::notFound;
        ++p;
    }
    *matchLength = p - start;
    return HeadOutcome::found;
}

bool search(const unsigned short* code, const char* text, std::size_t n, std::size_t start,
            std::size_t* matchStart, std::size_t* matchLength, Engine* decidedBy) {
    XVKIT_DCHECK(start <= n);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    Engine engine = Engine::anchoredHead;
    bool found = false;
    const HeadOutcome head = beginsWithAnchor(code)
                                 ? matchAnchoredHead(code, bytes, n, start, matchLength)
                                 : HeadOutcome::undecided;
    if (head != HeadOutcome::undecided) {
        *matchStart = start;
        found = head == HeadOutcome::found;
    } else if (PatternCache* cache = threadObject<PatternCache>()) {
        bool known = false;
        CachedPattern& cached = cache->find(code, &known);
        found = searchWith(cached, known, bytes, n, start, matchStart, matchLength, &engine);
    } else {
        // The thread is ending and its cache is gone: this search decodes for itself.
        const auto own = std::make_unique<CachedPattern>();
        own->hold(code);
        found = searchWith(*own, false, bytes, n, start, matchStart, matchLength, &engine);
    }
    if (decidedBy != nullptr)
        *decidedBy = engine;
    return found;
}

}  // namespace xvkit::regexp
