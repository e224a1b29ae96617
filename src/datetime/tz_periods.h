// A zone's exact history over the range of QNTime: the runs of one offset,
// daylight flag and name, found in constant time from an instant, and the
// instants that read a given wall-clock time.
#ifndef XVKIT_SRC_DATETIME_TZ_PERIODS_H_
#define XVKIT_SRC_DATETIME_TZ_PERIODS_H_

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include <xvkit/xvstring.h>

#include "tz_history.h"

namespace xvkit::tz {

// A QNTime count: seconds since 1901-01-01 00:00:00 UTC.
using Count = std::uint32_t;

// The instants that read one wall-clock time (see QNZoneTZ::Instants).
struct WallInstants {
    unsigned int count;
    Count first;
    Count second;
};

class PeriodList {
  public:
    // The periods of `history` over counts 0 to kLastCount. Transitions that
    // change none of offset, flag and name are dropped.
    explicit PeriodList(const History& history);

    // The period in force at count `c` (0 reads as 1901-01-01 00:00:00 UTC).
    std::size_t indexAt(Count c) const {
        const std::size_t bucket = c >> kBucketShift;
        const Count* from = starts_.data() + buckets_[bucket] + 1;
        const Count* to = starts_.data() + buckets_[bucket + 1] + 1;
        // Mostly zero to two starts lie in one bucket; a made-up zone may
        // have thousands.
        return static_cast<std::size_t>(std::upper_bound(from, to, c) - starts_.data()) - 1;
    }
    std::size_t size() const { return starts_.size(); }
    // The first count of period `i`; 0 for the first period, which began at
    // or before count 0.
    Count begin(std::size_t i) const { return starts_[i]; }
    // The first count after period `i`; 0 when it lasts past kLastCount.
    Count end(std::size_t i) const { return i + 1 < starts_.size() ? starts_[i + 1] : 0; }
    std::int32_t gmtoff(std::size_t i) const { return kinds_[i].gmtoff; }
    bool isdst(std::size_t i) const { return kinds_[i].isdst; }
    const XVString& name(std::size_t i) const { return names_[kinds_[i].name]; }

    // The instants of the range whose local reading is `wall`, in local
    // seconds since 1901-01-01 00:00 of the wall clock.
    WallInstants instants(std::int64_t wall) const;

  private:
    // Counts >> kBucketShift index the buckets: 256 of 194 days each.
    static constexpr int kBucketShift = 24;
    static constexpr std::size_t kBuckets = std::size_t{1} << (32 - kBucketShift);

    struct Kind {
        std::int32_t gmtoff;
        bool isdst;
        std::uint32_t name;  // index into names_

        bool operator==(const Kind&) const = default;
    };

    std::vector<Count> starts_;  // ascending; starts_[0] == 0
    std::vector<Kind> kinds_;    // one per start
    std::vector<XVString> names_;
    // For each bucket, the period in force at its first count; the last
    // entry is the last period.
    std::array<std::uint32_t, kBuckets + 1> buckets_{};
    std::int32_t minGmtoff_ = 0;
    std::int32_t maxGmtoff_ = 0;
};

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_PERIODS_H_
