#include "literal_set.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>
#include <optional>
#include <queue>
#include <utility>

#include "byte_map.h"
#include "debug_check.h"

namespace xvkit::regexp {

namespace {

// Grams are chosen long enough that the grams of all strings, at all their
// offsets, are at most this share of the grams of text written in this many
// letters, so that few positions pass the filter.
constexpr double kTextLetters = 26.0;
constexpr double kGramShare = 1.0 / 200;
// The bits of the gram filter per gram entered, within these bounds.
constexpr std::size_t kBitsPerGram = 32;
constexpr int kMinFilterBits = 12;
constexpr int kMaxFilterBits = 22;
// Letters differ from their other case in this bit only; setting it in every
// byte of a gram maps both cases of a letter to one value (and some other
// bytes together, which the walk down the trie then tells apart).
constexpr std::uint64_t kCaseBits = 0x2020202020202020u;
// The walks down the trie may take this many steps, and this many per
// position passed, before the automaton runs instead.
constexpr std::size_t kWalkAllowance = 4096;
constexpr std::size_t kWalkStepsPerPosition = 4;

int bitsFor(std::size_t entries, std::size_t perEntry, int minBits, int maxBits) {
    int bits = minBits;
    while (bits < maxBits && (std::size_t{1} << bits) < entries * perEntry)
        ++bits;
    return bits;
}

bool testBit(const std::vector<std::uint64_t>& bits, std::size_t i) {
    return (bits[i >> 6] >> (i & 63)) & 1u;
}

void setBit(std::vector<std::uint64_t>& bits, std::size_t i) {
    bits[i >> 6] |= std::uint64_t{1} << (i & 63);
}

}  // namespace

LiteralSet::LiteralSet(const std::vector<std::string>& strings, bool caseBlind)
    : caseBlind_(caseBlind) {
    for (int c = 0; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        fold_[c] = caseBlind ? asciiLower(byte) : byte;
    }
    // Every structure below is built from the strings as the scans compare them.
    std::vector<std::string> folded(strings.size());
    for (std::size_t id = 0; id < strings.size(); ++id) {
        XVKIT_DCHECK(!strings[id].empty());
        for (const char c : strings[id])
            folded[id] += static_cast<char>(fold(static_cast<unsigned char>(c)));
        lengths_.push_back(strings[id].size());
        longest_ = std::max(longest_, strings[id].size());
    }
    if (folded.size() == 1 && folded[0].size() <= kMaxLiteral) {
        oneString_ = true;
        only_ = std::move(folded[0]);
        onlyFinder_ = LiteralFinder(reinterpret_cast<const unsigned char*>(only_.data()),
                                    only_.size(), caseBlind);
        return;
    }
    build(folded);
    buildFailureLinks();
    const bool allLong = std::all_of(folded.begin(), folded.end(), [](const std::string& s) {
        return s.size() >= PrefixFingerprints::kPrefix;
    });
    if (allLong && folded.size() <= PrefixFingerprints::kMaxStrings) {
        fewStrings_ = true;
        fingerprints_ = PrefixFingerprints(folded, caseBlind);
        return;
    }
    buildFilters(folded);
}

std::uint32_t LiteralSet::child(std::uint32_t node, unsigned char c) const {
    if (node == 0)
        return rootChild_[c];
    const Node& n = nodes_[node];
    const Edge* first = edges_.data() + n.firstEdge;
    const Edge* last = first + n.edgeCount;
    const Edge* at =
        std::lower_bound(first, last, c, [](const Edge& e, unsigned char b) { return e.byte < b; });
    return at != last && at->byte == c ? at->child : kNone;
}

// The trie, with the edges of each node sorted by byte in one array. The
// strings are entered in sorted order: each shares the nodes of its common
// prefix with the one before, and each node's children are made in
// increasing byte order, so that the edges come out sorted.
void LiteralSet::build(const std::vector<std::string>& folded) {
    std::vector<std::uint32_t> order(folded.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return folded[a] < folded[b]; });
    // How each node was reached: its parent and the byte (none for the root).
    std::vector<Edge> reachedBy(1);
    std::vector<std::uint32_t> parent(1, kNone);
    std::vector<std::uint32_t> endsAt(folded.size());
    nodes_.assign(1, Node{});
    std::vector<std::uint32_t> path(1, 0);  // path[d]: the node at depth d of the string before
    const std::string* previous = nullptr;
    for (const std::uint32_t id : order) {
        const std::string& s = folded[id];
        std::size_t common = 0;
        if (previous != nullptr) {
            const auto [at, unused] =
                std::mismatch(s.begin(), s.end(), previous->begin(), previous->end());
            common = static_cast<std::size_t>(at - s.begin());
        }
        path.resize(common + 1);
        for (std::size_t k = common; k < s.size(); ++k) {
            const auto next = static_cast<std::uint32_t>(nodes_.size());
            nodes_.emplace_back();
            nodes_.back().depth = static_cast<std::uint32_t>(k + 1);
            reachedBy.push_back({static_cast<unsigned char>(s[k]), next});
            parent.push_back(path.back());
            path.push_back(next);
        }
        endsAt[id] = path.back();
        previous = &s;
    }
    // Each node's edges and ids, contiguous: counted first, then placed.
    for (std::size_t k = 1; k < nodes_.size(); ++k)
        ++nodes_[parent[k]].edgeCount;
    for (const std::uint32_t node : endsAt)
        ++nodes_[node].idCount;
    std::uint32_t edges = 0, ids = 0;
    for (Node& node : nodes_) {
        node.firstEdge = edges;
        node.firstId = ids;
        edges += node.edgeCount;
        ids += node.idCount;
        node.edgeCount = node.idCount = 0;
    }
    edges_.resize(edges);
    ids_.resize(ids);
    for (std::size_t k = 1; k < nodes_.size(); ++k) {
        Node& up = nodes_[parent[k]];
        edges_[up.firstEdge + up.edgeCount++] = reachedBy[k];
    }
    for (std::uint32_t id = 0; id < endsAt.size(); ++id) {
        Node& node = nodes_[endsAt[id]];
        ids_[node.firstId + node.idCount++] = id;
    }
    std::fill(std::begin(rootChild_), std::end(rootChild_), kNone);
    const Node& root = nodes_[0];
    for (std::uint32_t e = root.firstEdge; e < root.firstEdge + root.edgeCount; ++e)
        rootChild_[edges_[e].byte] = edges_[e].child;
}

// Breadth first, so that a node's failure link is set before its children's.
void LiteralSet::buildFailureLinks() {
    std::queue<std::uint32_t> queue;
    queue.push(0);
    while (!queue.empty()) {
        const std::uint32_t u = queue.front();
        queue.pop();
        for (std::uint32_t e = 0; e < nodes_[u].edgeCount; ++e) {
            const Edge edge = edges_[nodes_[u].firstEdge + e];
            std::uint32_t fail = 0;
            if (u != 0) {
                std::uint32_t f = nodes_[u].fail;
                while (f != 0 && child(f, edge.byte) == kNone)
                    f = nodes_[f].fail;
                const std::uint32_t next = child(f, edge.byte);
                fail = next != kNone ? next : 0;
            }
            Node& v = nodes_[edge.child];
            v.fail = fail;
            v.dictionary = nodes_[fail].idCount > 0 ? fail : nodes_[fail].dictionary;
            queue.push(edge.child);
        }
    }
}

std::uint64_t LiteralSet::gram(const unsigned char* at, std::size_t available) const {
    std::uint64_t g = 0;
    if (available >= sizeof g)
        std::memcpy(&g, at, sizeof g);  // one load
    else
        std::memcpy(&g, at, available);
    g &= gramMask_;
    return caseBlind_ ? g | (kCaseBits & gramMask_) : g;
}

// Two bits of one word, taken from the middle of the hash; the word from its top.
bool LiteralSet::mayHold(std::uint64_t hash) const {
    const std::uint64_t word = filter_[hash >> filterShift_];
    return (word >> ((hash >> 20) & 63) & word >> ((hash >> 26) & 63) & 1u) != 0;
}

std::uint32_t LiteralSet::gramOffsets(std::uint64_t g, std::uint64_t hash) const {
    const std::size_t mask = grams_.size() - 1;
    for (std::size_t i = hash >> gramTableShift_;; i = (i + 1) & mask) {
        if (grams_[i].offsets == 0)
            return 0;
        if (grams_[i].gram == g)
            return grams_[i].offsets;
    }
}

void LiteralSet::buildFilters(const std::vector<std::string>& folded) {
    std::size_t shortestLong = 0;
    ByteMap shortFirst;
    for (const std::string& s : folded) {
        if (s.size() >= kMinGram) {
            shortestLong = shortestLong == 0 ? s.size() : std::min(shortestLong, s.size());
            continue;
        }
        haveShort_ = true;
        shortFirst.add(static_cast<unsigned char>(s[0]));
    }
    if (caseBlind_)
        shortFirst.addOtherCases();
    if (haveShort_) {
        shortFirst_ = ByteClassFinder(shortFirst);
        shortPairs_.assign((std::size_t{1} << 16) / 64, 0);
        for (const std::string& s : folded) {
            if (s.size() >= kMinGram)
                continue;
            const auto first = static_cast<unsigned char>(s[0]);
            for (int second = 0; second < 256; ++second) {
                if (s.size() == 1 || static_cast<unsigned char>(s[1]) == second)
                    setBit(shortPairs_, first | static_cast<std::size_t>(second) << 8);
            }
        }
    }
    if (shortestLong == 0)
        return;
    haveLong_ = true;
    std::size_t longStrings = 0;
    for (const std::string& s : folded)
        longStrings += s.size() >= kMinGram;
    const auto strideFor = [&](std::size_t gramLength) {
        return std::min(kMaxStride, shortestLong - gramLength + 1);
    };
    gramLength_ = kMinGram;
    while (gramLength_ < kMaxGram &&
           gramLength_<shortestLong&& static_cast<double>(longStrings * strideFor(gramLength_))>
                   std::pow(kTextLetters, static_cast<double>(gramLength_)) *
               kGramShare)
        ++gramLength_;
    stride_ = strideFor(gramLength_);
    gramMask_ = gramLength_ == sizeof gramMask_ ? ~std::uint64_t{0}
                                                : (std::uint64_t{1} << (8 * gramLength_)) - 1;
    // The grams of every long string at offsets 0 to stride - 1, and their offsets.
    std::map<std::uint64_t, std::uint32_t> offsets;
    for (const std::string& s : folded) {
        if (s.size() < kMinGram)
            continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(s.data());
        for (std::size_t o = 0; o < stride_; ++o)
            offsets[gram(bytes + o, s.size() - o)] |= 1u << o;
    }
    const int filterBits = bitsFor(offsets.size(), kBitsPerGram, kMinFilterBits, kMaxFilterBits);
    filterShift_ = 64 - (filterBits - 6);
    filter_.assign(std::size_t{1} << (filterBits - 6), 0);
    const int tableBits = bitsFor(offsets.size(), 2, 4, 40);
    gramTableShift_ = 64 - tableBits;
    grams_.assign(std::size_t{1} << tableBits, {0, 0});
    for (const auto& [g, mask] : offsets) {
        const std::uint64_t hash = gramHash(g);
        std::uint64_t& word = filter_[hash >> filterShift_];
        word |= std::uint64_t{1} << ((hash >> 20) & 63) | std::uint64_t{1} << ((hash >> 26) & 63);
        std::size_t i = hash >> gramTableShift_;
        while (grams_[i].offsets != 0)
            i = (i + 1) & (grams_.size() - 1);
        grams_[i] = {g, mask};
    }
}

// One scan: the filters choose the starts, the trie is walked down from
// each, until the walks grow long and the automaton takes over.
class LiteralSet::Scanner {
  public:
    Scanner(const LiteralSet& set, const unsigned char* text, std::size_t n,
            LiteralVisitor& visitor)
        : set_(set), text_(text), n_(n), visitor_(visitor) {}

    LiteralScan run(std::size_t p) {
        if (set_.fewStrings_)
            return runFingerprints(p);
        const std::size_t s = set_.stride_;
        nextShort_ = set_.haveShort_ ? set_.shortFirst_.find(text_, n_, p) : kNoPosition;
        std::uint32_t mask = 0;
        for (std::size_t b = nextBlock(p, &mask); b != kNoPosition; b = nextBlock(b + s, &mask)) {
            for (std::size_t st = b; st < b + s && st < n_; ++st) {
                bool candidate = ((mask >> (b + s - 1 - st)) & 1u) != 0;
                if (st == nextShort_) {
                    candidate = candidate || shortPairPossible(st);
                    nextShort_ = set_.shortFirst_.find(text_, n_, st + 1);
                }
                if (!candidate)
                    continue;
                if (const std::optional<LiteralScan> end = settle(st, p))
                    return *end;
            }
        }
        return LiteralScan::walks;
    }

  private:
    LiteralScan runFingerprints(std::size_t p) {
        const PrefixFingerprints& fingerprints = set_.fingerprints_;
        for (std::size_t st = fingerprints.find(text_, n_, p); st != kNoPosition;
             st = fingerprints.find(text_, n_, st + 1)) {
            if (const std::optional<LiteralScan> end = settle(st, p))
                return *end;
        }
        return LiteralScan::walks;
    }

    // The candidate start `st` of a scan from `p`: walks down the trie from
    // it, or hands the rest of the text to the automaton once the walks have
    // grown long. Returns how the scan ended, or nothing when it goes on.
    std::optional<LiteralScan> settle(std::size_t st, std::size_t p) {
        if (walked_ > kWalkAllowance + kWalkStepsPerPosition * (st - p)) {
            automaton(st);
            return LiteralScan::automaton;
        }
        if (!walk(st) || !visitor_.wantsAfter(st))
            return LiteralScan::walks;
        return std::nullopt;
    }

    // The next block of starts [b, b + s), from `b` on (one of the blocks
    // the search start divides the text into), that holds a candidate: a
    // long one, with the offsets of its sample in `*mask`, or the next short
    // one; kNoPosition when none is left. A block whose sample runs past the
    // text holds no long string.
    std::size_t nextBlock(std::size_t b, std::uint32_t* mask) {
        const std::size_t s = set_.stride_;
        *mask = 0;
        const bool longLeft = set_.haveLong_ && n_ >= set_.gramLength_ + s - 1;
        const std::size_t lastLong = longLeft ? n_ - set_.gramLength_ - (s - 1) : 0;
        if (longLeft && (nextShort_ == kNoPosition || nextShort_ >= b + s)) {
            const std::size_t last =
                nextShort_ == kNoPosition ? lastLong : std::min(lastLong, nextShort_ - s);
            while (passFilter(b, last)) {
                if ((*mask = sampleOffsets(b)) != 0)
                    return b;
                b += s;
            }
        }
        if (nextShort_ == kNoPosition)
            return kNoPosition;
        b += (nextShort_ - b) / s * s;
        if (longLeft && b <= lastLong)
            *mask = sampleOffsets(b);
        return b;
    }

    // Moves `b` along the blocks up to `last` to the first whose sample
    // passes the filter; false when none does (`b` then lies past `last`).
    bool passFilter(std::size_t& b, std::size_t last) const {
        const std::size_t s = set_.stride_;
        const std::uint64_t gramMask = set_.gramMask_;
        const std::uint64_t caseBits = set_.caseBlind_ ? kCaseBits & gramMask : 0;
        const std::uint64_t* filter = set_.filter_.data();
        const int shift = set_.filterShift_;
        const unsigned char* sample = text_ + (s - 1);
        const auto passes = [&](std::size_t block) {
            std::uint64_t g;
            std::memcpy(&g, sample + block, sizeof g);
            const std::uint64_t hash = gramHash((g & gramMask) | caseBits);
            const std::uint64_t word = filter[hash >> shift];
            return word >> ((hash >> 20) & 63) & word >> ((hash >> 26) & 63) & 1u;  // 1 or 0
        };
        // Four samples a step while eight bytes can be read at each.
        const std::size_t fastLast = n_ >= sizeof(std::uint64_t) + s - 1
                                         ? std::min(last, n_ - sizeof(std::uint64_t) - (s - 1))
                                         : 0;
        if (n_ >= sizeof(std::uint64_t) + s - 1) {
            for (; b + 3 * s <= fastLast; b += 4 * s) {
                if ((passes(b) | passes(b + s) | passes(b + 2 * s) | passes(b + 3 * s)) != 0)
                    break;
            }
            for (; b <= fastLast; b += s) {
                if (passes(b) != 0)
                    return true;
            }
        }
        for (; b <= last; b += s) {
            const std::size_t x = b + s - 1;
            if (set_.mayHold(gramHash(set_.gram(text_ + x, n_ - x))))
                return true;
        }
        return false;
    }

    std::uint32_t sampleOffsets(std::size_t b) const {
        const std::size_t x = b + set_.stride_ - 1;
        const std::uint64_t g = set_.gram(text_ + x, n_ - x);
        const std::uint64_t hash = gramHash(g);
        return set_.mayHold(hash) ? set_.gramOffsets(g, hash) : 0;
    }

    bool shortPairPossible(std::size_t st) const {
        if (st + 1 == n_)
            return true;  // a string of one byte may end the text
        const std::size_t pair = set_.fold(text_[st]) | std::size_t{set_.fold(text_[st + 1])} << 8;
        return testBit(set_.shortPairs_, pair);
    }

    // Visits the strings that start at `st`; false when told to stop.
    bool walk(std::size_t st) {
        std::uint32_t node = 0;
        for (std::size_t pos = st; pos < n_; ++pos) {
            node = set_.child(node, set_.fold(text_[pos]));
            if (node == kNone)
                return true;
            ++walked_;
            const Node& at = set_.nodes_[node];
            for (std::uint32_t k = 0; k < at.idCount; ++k) {
                if (!visitor_.visit(st, set_.ids_[at.firstId + k]))
                    return false;
            }
        }
        return true;
    }

    // Runs the automaton over the text from `from`, reading each byte once.
    // It finds strings where they end; those are held back until no string
    // found later can start before them, and visited in order of start.
    void automaton(std::size_t from) {
        using Found = std::pair<std::size_t, std::uint32_t>;  // start, id
        std::priority_queue<Found, std::vector<Found>, std::greater<>> held;
        std::uint32_t node = 0;
        for (std::size_t pos = from; pos < n_; ++pos) {
            const unsigned char c = set_.fold(text_[pos]);
            std::uint32_t next = set_.child(node, c);
            while (next == kNone && node != 0) {
                node = set_.nodes_[node].fail;
                next = set_.child(node, c);
            }
            node = next == kNone ? 0 : next;
            const std::size_t end = pos + 1;
            for (std::uint32_t o = set_.nodes_[node].idCount > 0 ? node
                                                                 : set_.nodes_[node].dictionary;
                 o != kNone; o = set_.nodes_[o].dictionary) {
                const Node& at = set_.nodes_[o];
                for (std::uint32_t k = 0; k < at.idCount; ++k)
                    held.emplace(end - at.depth, set_.ids_[at.firstId + k]);
            }
            // Strings found later end after `end`, so start after end - longest.
            while (!held.empty() && held.top().first + set_.longest_ <= end) {
                if (!visitor_.visit(held.top().first, held.top().second))
                    return;
                held.pop();
            }
        }
        for (; !held.empty(); held.pop()) {
            if (!visitor_.visit(held.top().first, held.top().second))
                return;
        }
    }

    const LiteralSet& set_;
    const unsigned char* text_;
    std::size_t n_;
    LiteralVisitor& visitor_;
    std::size_t nextShort_ = kNoPosition;
    std::size_t walked_ = 0;
};

LiteralScan LiteralSet::scan(const unsigned char* text, std::size_t n, std::size_t p,
                             LiteralVisitor& visitor) const {
    if (oneString_) {
        for (std::size_t at = p < n ? onlyFinder_.find(text, n, p) : kNoPosition; at != kNoPosition;
             at = onlyFinder_.find(text, n, at + 1)) {
            if (!visitor.visit(at, 0) || !visitor.wantsAfter(at))
                break;
        }
        return LiteralScan::oneString;
    }
    if (p >= n || lengths_.empty())
        return LiteralScan::walks;
    return Scanner(*this, text, n, visitor).run(p);
}

}  // namespace xvkit::regexp
