// A zone history mapped onto QNZone's model: one standard and one daylight
// type, and the periods of daylight time as wall-clock intervals that
// QNTime's two-readings test turns back into the exact instants.
#ifndef XVKIT_SRC_DATETIME_TZ_TIMELINE_H_
#define XVKIT_SRC_DATETIME_TZ_TIMELINE_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "debug_check.h"
#include "tz_history.h"

namespace xvkit::tz {

// Half-open [from, to).
struct Span {
    Seconds from;
    Seconds to;
};

// A set of seconds within [kFrom, kTo): sorted, disjoint spans, looked up in
// constant time through buckets of 2^25 seconds (388 days).
template <Seconds kFrom, Seconds kTo>
class SpanSet {
  public:
    SpanSet() = default;
    // `spans` sorted by `from`, within the domain; overlapping and touching
    // ones are joined.
    explicit SpanSet(const std::vector<Span>& spans) {
        for (const Span& s : spans) {
            XVKIT_DCHECK(s.from >= kFrom && s.to <= kTo);
            if (!spans_.empty() && spans_.back().to >= s.from)
                spans_.back().to = std::max(spans_.back().to, s.to);
            else
                spans_.push_back(s);
        }
        std::size_t i = 0;
        for (std::size_t bucket = 0; bucket <= kBuckets; ++bucket) {
            const Seconds first = kFrom + static_cast<Seconds>(bucket << kBucketShift);
            while (i < spans_.size() && spans_[i].to <= first)
                ++i;
            buckets_[bucket] = static_cast<std::uint32_t>(i);
        }
    }

    bool contains(Seconds x) const {
        const std::uint64_t offset = static_cast<std::uint64_t>(x - kFrom);
        if (offset >= kSize)
            return false;
        const std::size_t bucket = static_cast<std::size_t>(offset >> kBucketShift);
        // The first span that ends after `x` lies within the bucket's.
        const Span* const end = spans_.data() + spans_.size();
        const Span* first = std::partition_point(spans_.data() + buckets_[bucket],
                                                 spans_.data() + buckets_[bucket + 1],
                                                 [x](const Span& s) { return s.to <= x; });
        return first != end && first->from <= x;
    }

    const std::vector<Span>& spans() const { return spans_; }

  private:
    static constexpr std::uint64_t kSize = kTo - kFrom;
    static constexpr int kBucketShift = 25;
    static constexpr std::size_t kBuckets = (kSize >> kBucketShift) + 1;

    std::vector<Span> spans_;
    // For each bucket, the first span that ends after the bucket begins;
    // the last entry is the number of spans.
    std::array<std::uint32_t, kBuckets + 1> buckets_{};
};

// The wall-clock times (local Seconds) where a zone can have daylight time:
// the kept years read on the clocks of the widest offsets.
using WallSet =
    SpanSet<startOfYear(kFirstYear) + kMinGmtoff, startOfYear(kLastYear + 1) + kMaxGmtoff>;
// Instants as QNTime counts.
using CountSet = SpanSet<0, kLastCount + 1>;

// One stretch of daylight time, [begin, end) in instants.
struct DaylightPeriod {
    Seconds begin;
    Seconds end;
    // False when the period was already running, or still runs, at the edge
    // of the range: that edge is no change of time.
    bool hasBegin;
    bool hasEnd;
};

struct Timeline {
    LocalType standard;
    LocalType daylight;  // equals `standard` when there is no daylight time
    bool observed = false;
    // First year from which the two types give every answer exactly.
    int exactFrom = 0;
    std::vector<DaylightPeriod> periods;  // in order, never touching
    // The wall-clock times answered as daylight: each period from its begin
    // read on the earlier of the two clocks to its end read on the later one.
    WallSet daylightWalls;
    // The counts whose standard and daylight readings both lie in
    // daylightWalls: the instants that QNTime's two-readings test takes for
    // daylight time.
    CountSet daylightCounts;

    // The first period that begins in `year` as read on standard time, or null.
    const DaylightPeriod* beginIn(std::int64_t year) const;
    // The last period that ends in `year` as read on daylight time, or null.
    const DaylightPeriod* endIn(std::int64_t year) const;
    // The begin of `p` read on standard time, its end on daylight time.
    Seconds beginWall(const DaylightPeriod& p) const { return p.begin + standard.gmtoff; }
    Seconds endWall(const DaylightPeriod& p) const { return p.end + daylight.gmtoff; }
};

// Maps `history` onto the model. The types are those in force last (the
// last standard and the last daylight type of the range; a zone without
// standard time gets its daylight type, unflagged, as standard); exactFrom
// is the year after the last stretch of time that neither of them describes,
// and after the last period or stretch between two periods too short for
// the two-readings test.
Timeline buildTimeline(const History& history);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_TIMELINE_H_
