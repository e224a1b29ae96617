#include "pattern_set.h"

#include <algorithm>
#include <atomic>

#include "dfa_search.h"
#include "lockstep_search.h"
#include "thread_object.h"

namespace xvkit::regexp {

namespace {

// The code array of a light pattern: XVRegExprLight's size.
constexpr int kCodeWords = 256;
// A literal run this long is always worth looking for; a shorter one when
// common text holds it at most this often (per position). A pattern without
// one costs a pass over the text of its own: in a set of more than a few
// patterns those passes add up, and commoner runs are looked for too.
constexpr std::size_t kGoodTriggerLength = 4;
constexpr double kRareTrigger = 1e-3;
constexpr std::size_t kFewPatterns = 8;
constexpr double kRareTriggerInLargeSet = 1e-2;
// The frequency table counts per this many characters.
constexpr double kFrequencyScale = 10000.0;
// How many sets each thread keeps tables for.
constexpr std::size_t kCachedSets = 4;
// The last start searched of a pattern in a search: none yet, or settled
// (its match, or that it has none, is known).
constexpr std::size_t kUnsearched = kNoPosition;
constexpr std::size_t kSettled = kNoPosition - 1;
// The windows of a triggered pattern may read this many bytes, and this many
// per byte from the search start to the trigger, before the pattern is
// searched on its own: a window may read past its last start for as long as
// a match could still run, so that windows could read the same text again
// and again.
constexpr std::size_t kWindowAllowance = 4096;
constexpr std::size_t kWindowBytesPerByte = 2;

// The byte a slot taken once stands for, when it takes one byte (or, case
// blind, the two cases of one letter).
bool literalByte(const Slot& slot, bool caseBlind, unsigned char* byte) {
    const int count = slot.map.count();
    if (slot.kind != Kind::once || count == 0)
        return false;
    const unsigned char first = slot.map.first();
    if (count == 1) {
        *byte = first;
        return true;
    }
    if (caseBlind && count == 2 && first >= 'A' && first <= 'Z' &&
        slot.map.contains(asciiLower(first))) {
        *byte = asciiLower(first);
        return true;
    }
    return false;
}

std::atomic<std::uint64_t> nextSerial{1};

}  // namespace

// What a thread keeps between searches: the tables of the patterns of the
// sets it searched with lately, and the progress of each pattern in the
// search under way.
class SetScratch {
  public:
    struct Progress {
        std::size_t through;  // the last start searched (kUnsearched, kSettled)
        std::size_t read;     // how many bytes its windows read
    };

    // Starts a search of a set of `patterns` patterns.
    void beginSearch(std::size_t patterns) {
        if (stamps_.size() < patterns) {
            stamps_.resize(patterns, 0);
            progress_.resize(patterns);
        }
        ++generation_;
    }
    // The progress of pattern `i` in the search under way.
    Progress& progress(std::size_t i) {
        if (stamps_[i] != generation_) {
            stamps_[i] = generation_;
            progress_[i] = {kUnsearched, 0};
        }
        return progress_[i];
    }
    // The tables of pattern `i` of the set numbered `serial`.
    DfaSearcher& tables(std::uint64_t serial, std::size_t patterns, std::size_t i,
                        const Program& program) {
        Entry* entry = &sets_[0];
        for (Entry& e : sets_) {
            if (e.serial == serial) {
                entry = &e;
                break;
            }
            if (e.lastUse < entry->lastUse)
                entry = &e;
        }
        if (entry->serial != serial) {
            entry->serial = serial;
            entry->tables.clear();
            entry->tables.resize(patterns);
        }
        entry->lastUse = ++clock_;
        std::unique_ptr<DfaSearcher>& t = entry->tables[i];
        if (!t)
            t = std::make_unique<DfaSearcher>(program);
        return *t;
    }

  private:
    struct Entry {
        std::uint64_t serial = 0;
        unsigned long lastUse = 0;
        std::vector<std::unique_ptr<DfaSearcher>> tables;
    };
    Entry sets_[kCachedSets];
    unsigned long clock_ = 0;
    std::vector<std::uint32_t> stamps_;
    std::vector<Progress> progress_;
    std::uint32_t generation_ = 0;
};

PatternSet::PatternSet(const std::vector<PatternSource>& sources, const MatchRules& rules)
    : rules_(rules), serial_(nextSerial++) {
    patterns_.resize(sources.size());
    std::vector<std::string> literals;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        Pattern& pattern = patterns_[i];
        if (sources[i].fixed)
            classifyFixed(pattern, sources[i].text);
        else
            classifyLight(pattern, sources[i].text,
                          sources.size() > kFewPatterns ? kRareTriggerInLargeSet : kRareTrigger);
        switch (pattern.role) {
            case Role::literal:
                literals.push_back(pattern.literal);
                literalPattern_.push_back(static_cast<std::uint32_t>(i));
                break;
            case Role::triggered: {
                literals.push_back(pattern.literal);
                literalPattern_.push_back(static_cast<std::uint32_t>(i));
                if (pattern.maxBefore == kUnbounded) {
                    anyUnbounded_ = true;
                    unboundedBefore_ |= pattern.before;
                } else {
                    maxBoundedBefore_ = std::max(maxBoundedBefore_, pattern.maxBefore);
                }
                break;
            }
            case Role::empty:
            case Role::atStart:
                first_.push_back(static_cast<std::uint32_t>(i));
                break;
            case Role::scanned:
                (pattern.program->anchored() ? first_ : scanned_)
                    .push_back(static_cast<std::uint32_t>(i));
                break;
            case Role::never:
                break;
        }
    }
    if (!literals.empty())
        literals_ = std::make_unique<LiteralSet>(literals, rules.caseBlind);
}

PatternSet::~PatternSet() = default;

void PatternSet::classifyFixed(Pattern& pattern, std::string_view text) {
    pattern.literal.assign(text);
    if (rules_.caseBlind) {
        for (char& c : pattern.literal)
            c = static_cast<char>(asciiLower(static_cast<unsigned char>(c)));
    }
    pattern.boundaries = boundariesFor(rules_, false, false);
    if (rules_.lines && text.find(static_cast<char>(kNewline)) != std::string_view::npos)
        pattern.role = Role::never;
    else if (text.empty())
        pattern.role = Role::empty;
    else
        pattern.role = pattern.boundaries.anchored ? Role::atStart : Role::literal;
}

void PatternSet::classifyLight(Pattern& pattern, std::string_view source, double rareTrigger) {
    // Up to the first NUL, as XVRegExprLight reads a string.
    const std::string text(source.substr(0, source.find('\0')));
    unsigned short code[kCodeWords];
    pattern.result =
        compilePattern(text.c_str(), code, kCodeWords, {.caseBlindClasses = rules_.caseBlind});
    if (pattern.result.status != 0)
        return;
    pattern.program = std::make_unique<Program>(code, rules_);
    const Program& program = *pattern.program;
    if (!program.matchable())
        return;
    pattern.role = Role::scanned;
    if (program.anchored())
        return;
    // The best run of slots that each stand for one byte: the longest, and
    // of those the rarest in common text.
    int bestFrom = 0, bestTo = 0;
    double bestRarity = 1.0;
    int consuming = 0;
    for (int k = 0; k < program.count();) {
        unsigned char byte = 0;
        if (!literalByte(program.slot(k), rules_.caseBlind, &byte)) {
            consuming += program.slot(k).consumes();
            ++k;
            continue;
        }
        const int from = k;
        double rarity = 1.0;
        for (; k < program.count() && literalByte(program.slot(k), rules_.caseBlind, &byte); ++k) {
            rarity *= ByteClassFinder::frequencyOf(program.slot(k).map) / kFrequencyScale;
            ++consuming;
        }
        if (k - from > bestTo - bestFrom ||
            (k - from == bestTo - bestFrom && rarity < bestRarity)) {
            bestFrom = from;
            bestTo = k;
            bestRarity = rarity;
        }
    }
    const int length = bestTo - bestFrom;
    if (length == 0 ||
        (static_cast<std::size_t>(length) < kGoodTriggerLength && bestRarity > rareTrigger))
        return;
    for (int k = bestFrom; k < bestTo; ++k) {
        unsigned char byte = 0;
        literalByte(program.slot(k), rules_.caseBlind, &byte);
        pattern.literal += static_cast<char>(byte);
    }
    // A plain literal: the run is every consuming slot, and the rules bound
    // it as they bound a fixed string.
    if (bestFrom == 0 && bestTo == consuming &&
        program.boundaries() == boundariesFor(rules_, false, false)) {
        pattern.role = Role::literal;
        pattern.boundaries = program.boundaries();
        return;
    }
    pattern.role = Role::triggered;
    for (int k = 0; k < bestFrom; ++k) {
        const Slot& slot = program.slot(k);
        if (!slot.consumes())
            continue;
        pattern.before |= slot.map;
        pattern.minBefore += slot.kind == Kind::once;
        if (slot.kind == Kind::repeated)
            pattern.maxBefore = kUnbounded;
        else if (pattern.maxBefore != kUnbounded)
            ++pattern.maxBefore;
    }
}

// One search: the best match so far, and the state the literal scan visits.
class PatternSet::Search : public LiteralVisitor {
  public:
    Search(const PatternSet& set, const unsigned char* text, std::size_t n, std::size_t start,
           bool anyMatch, SetScratch& scratch)
        : set_(set), text_(text), n_(n), start_(start), anyMatch_(anyMatch), scratch_(scratch) {
        scratch.beginSearch(set.patterns_.size());
    }

    bool run(SetMatch* match) {
        for (const std::uint32_t i : set_.first_) {
            if (done())
                break;
            settleFirst(i);
        }
        if (set_.literals_ && !done())
            set_.literals_->scan(text_, n_, start_, *this);
        for (const std::uint32_t i : set_.scanned_) {
            if (done())
                break;
            scan(i);
        }
        if (found_)
            *match = best_;
        return found_;
    }

    bool visit(std::size_t st, std::uint32_t id) override {
        if (found_ && st > lastUsefulStart())
            return false;
        const std::uint32_t i = set_.literalPattern_[id];
        const Pattern& pattern = set_.patterns_[i];
        if (pattern.role == Role::literal) {
            const std::size_t length = set_.literals_->length(id);
            if (pattern.boundaries.startAllowed(text_, st) &&
                pattern.boundaries.endAllowed(text_, n_, st + length))
                offer(st, length, i);
        } else {
            trigger(st, i);
        }
        return !done();
    }

    bool wantsAfter(std::size_t st) override { return !found_ || st < lastUsefulStart(); }

  private:
    bool done() const { return anyMatch_ && found_; }

    void offer(std::size_t start, std::size_t length, std::size_t pattern) {
        const bool better =
            !found_ || start < best_.start ||
            (start == best_.start &&
             (length > best_.length || (length == best_.length && pattern < best_.pattern)));
        if (!better)
            return;
        best_ = {start, length, pattern};
        found_ = true;
        usefulFor_ = kNoPosition;
    }

    // The last start of a literal occurrence that may still give a match no
    // worse than the best: the best's own, or one after it from which a
    // trigger's pattern could reach back to it.
    std::size_t lastUsefulStart() {
        if (usefulFor_ == best_.start)
            return useful_;
        usefulFor_ = best_.start;
        useful_ = best_.start + set_.maxBoundedBefore_;
        if (set_.anyUnbounded_) {
            std::size_t q = best_.start;
            while (q < n_ && set_.unboundedBefore_.contains(text_[q]))
                ++q;
            useful_ = std::max(useful_, q);
        }
        return useful_;
    }

    void settleFirst(std::uint32_t i) {
        const Pattern& pattern = set_.patterns_[i];
        if (pattern.role == Role::scanned) {
            scan(i);
            return;
        }
        const Boundaries& b = pattern.boundaries;
        if (pattern.role == Role::atStart) {
            const std::size_t length = pattern.literal.size();
            if (n_ - start_ < length || !b.startAllowed(text_, start_) ||
                !b.endAllowed(text_, n_, start_ + length))
                return;
            for (std::size_t k = 0; k < length; ++k) {
                const unsigned char c = text_[start_ + k];
                if ((set_.rules_.caseBlind ? asciiLower(c) : c) !=
                    static_cast<unsigned char>(pattern.literal[k]))
                    return;
            }
            offer(start_, length, i);
            return;
        }
        // The empty string: the first position the rules allow.
        const std::size_t last = b.anchored ? start_ : n_;
        for (std::size_t q = start_; q <= last; ++q) {
            if (b.startAllowed(text_, q) && b.endAllowed(text_, n_, q)) {
                offer(q, 0, i);
                return;
            }
        }
    }

    // An occurrence at `st` of pattern i's trigger: the pattern may match
    // from where the items before the trigger could begin.
    void trigger(std::size_t st, std::uint32_t i) {
        const Pattern& pattern = set_.patterns_[i];
        if (st < start_ + pattern.minBefore)
            return;
        SetScratch::Progress& progress = scratch_.progress(i);
        std::size_t& through = progress.through;
        if (through == kSettled)
            return;
        const std::size_t floor = through == kUnsearched ? start_ : through + 1;
        std::size_t lastStart = st - pattern.minBefore;
        if (found_)
            lastStart = std::min(lastStart, best_.start);
        if (lastStart < floor)
            return;
        if (progress.read > kWindowAllowance + kWindowBytesPerByte * (st - start_)) {
            through = kSettled;
            searchAlone(i, floor);
            return;
        }
        // Back over the characters the items before the trigger may take.
        std::size_t lowest = floor;
        if (pattern.maxBefore != kUnbounded && st - floor > pattern.maxBefore)
            lowest = st - pattern.maxBefore;
        std::size_t from = st;
        while (from > lowest && pattern.before.contains(text_[from - 1]))
            --from;
        through = lastStart;
        if (from > lastStart)
            return;
        std::size_t at = 0, length = 0, readTo = 0;
        const bool hit =
            lockstepSearch(*pattern.program, text_, n_, from, lastStart, &at, &length, &readTo);
        progress.read += readTo - from;
        if (hit) {
            through = kSettled;
            offer(at, length, i);
        }
    }

    void scan(std::uint32_t i) { searchAlone(i, start_); }

    // Pattern i searched on its own from `from`, up to the best start so far.
    void searchAlone(std::uint32_t i, std::size_t from) {
        const Program& program = *set_.patterns_[i].program;
        const std::size_t lastStart = found_ ? best_.start : n_;
        if (!program.anchored()) {
            from = program.earliestStart(text_, n_, from);
            if (from == kNoPosition)
                return;
        }
        if (from > lastStart)
            return;
        std::size_t at = 0, length = 0;
        const bool hit = n_ - from >= kShortText
                             ? scratch_.tables(set_.serial_, set_.patterns_.size(), i, program)
                                   .search(text_, n_, from, lastStart, &at, &length)
                             : lockstepSearch(program, text_, n_, from, lastStart, &at, &length);
        if (hit)
            offer(at, length, i);
    }

    const PatternSet& set_;
    const unsigned char* text_;
    std::size_t n_;
    std::size_t start_;
    bool anyMatch_;
    SetScratch& scratch_;
    bool found_ = false;
    SetMatch best_{0, 0, 0};
    // lastUsefulStart() for the best start usefulFor_.
    std::size_t usefulFor_ = kNoPosition;
    std::size_t useful_ = 0;
};

bool PatternSet::find(const unsigned char* text, std::size_t size, std::size_t start, bool anyMatch,
                      SetMatch* match, Role* decidedBy) const {
    std::size_t n = size;
    if (rules_.lines) {
        // A final newline ends the last line; no line follows it.
        if (size == 0)
            return false;
        if (text[size - 1] == kNewline)
            n = size - 1;
    }
    if (start > n)
        return false;
    SetScratch* scratch = threadObject<SetScratch>();
    // The thread is ending and its scratch is gone: this search makes its own.
    std::unique_ptr<SetScratch> own;
    if (scratch == nullptr) {
        own = std::make_unique<SetScratch>();
        scratch = own.get();
    }
    if (!Search(*this, text, n, start, anyMatch, *scratch).run(match))
        return false;
    if (decidedBy != nullptr)
        *decidedBy = patterns_[match->pattern].role;
    return true;
}

}  // namespace xvkit::regexp
