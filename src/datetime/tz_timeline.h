// A zone history mapped onto QNZone's model: one standard and one daylight
// type, and the periods of daylight time as wall-clock intervals that
// QNTime's two-readings test turns back into the exact instants.
#ifndef XVKIT_SRC_DATETIME_TZ_TIMELINE_H_
#define XVKIT_SRC_DATETIME_TZ_TIMELINE_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "tz_history.h"

namespace xvkit::tz {

// Half-open [from, to).
struct Span {
    Seconds from;
    Seconds to;
};

// A set of wall-clock times (local Seconds) of the kept years: sorted,
// disjoint spans, looked up in constant time.
class WallSet {
  public:
    WallSet() = default;
    // `spans` sorted by `from`; overlapping and touching ones are joined.
    explicit WallSet(const std::vector<Span>& spans);

    bool contains(Seconds wall) const {
        const std::uint64_t offset = static_cast<std::uint64_t>(wall - kDomainFrom);
        if (offset >= kDomainSize)
            return false;
        const std::size_t bucket = static_cast<std::size_t>(offset >> kBucketShift);
        // The first span that ends after `wall` lies within the bucket's.
        const Span* const end = spans_.data() + spans_.size();
        const Span* first = std::partition_point(spans_.data() + buckets_[bucket],
                                                 spans_.data() + buckets_[bucket + 1],
                                                 [wall](const Span& s) { return s.to <= wall; });
        return first != end && first->from <= wall;
    }

  private:
    // Every span lies within the kept years read on the clocks of the widest
    // offsets; those walls are the domain, in buckets of 388 days.
    static constexpr Seconds kDomainFrom = startOfYear(kFirstYear) + kMinGmtoff;
    static constexpr Seconds kDomainTo = startOfYear(kLastYear + 1) + kMaxGmtoff;
    static constexpr std::uint64_t kDomainSize = kDomainTo - kDomainFrom;
    static constexpr int kBucketShift = 25;
    static constexpr std::size_t kBuckets = (kDomainSize >> kBucketShift) + 1;

    std::vector<Span> spans_;
    // For each bucket, the first span that ends after the bucket begins;
    // the last entry is the number of spans.
    std::array<std::uint32_t, kBuckets + 1> buckets_{};
};

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
