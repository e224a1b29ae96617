#include "tz_periods.h"

#include <algorithm>

#include "debug_check.h"

namespace xvkit::tz {

namespace {

constexpr Count kLast = static_cast<Count>(kLastCount);

// Whether the signed count `t` is an instant of the range (1 to kLastCount).
bool inRange(std::int64_t t) {
    return t >= 1 && t <= kLastCount;
}

}  // namespace

PeriodList::PeriodList(const History& history) {
    // Each type of the history as a kind, with equal names shared.
    std::vector<Kind> kindOf;
    kindOf.reserve(history.types.size());
    for (const LocalType& t : history.types) {
        const auto name = static_cast<std::uint32_t>(
            std::find(names_.begin(), names_.end(), t.abbr) - names_.begin());
        if (name == names_.size())
            names_.emplace_back(t.abbr.c_str());
        kindOf.push_back({t.gmtoff, t.isdst, name});
    }
    std::size_t type = history.initial;
    auto transition = history.transitions.begin();
    for (; transition != history.transitions.end() && transition->at <= kFirstInstant; ++transition)
        type = transition->type;
    starts_.push_back(0);
    kinds_.push_back(kindOf[type]);
    for (; transition != history.transitions.end() && transition->at <= kLastInstant;
         ++transition) {
        const Kind& next = kindOf[transition->type];
        if (next != kinds_.back()) {
            starts_.push_back(static_cast<Count>(transition->at - kFirstInstant));
            kinds_.push_back(next);
        }
    }
    const auto [lowest, highest] =
        std::minmax_element(kinds_.begin(), kinds_.end(),
                            [](const Kind& a, const Kind& b) { return a.gmtoff < b.gmtoff; });
    minGmtoff_ = lowest->gmtoff;
    maxGmtoff_ = highest->gmtoff;
    std::size_t i = 0;
    for (std::size_t bucket = 0; bucket < kBuckets; ++bucket) {
        const Count first = static_cast<Count>(bucket << kBucketShift);
        while (i + 1 < starts_.size() && starts_[i + 1] <= first)
            ++i;
        buckets_[bucket] = static_cast<std::uint32_t>(i);
    }
    buckets_[kBuckets] = static_cast<std::uint32_t>(starts_.size() - 1);
    XVKIT_DCHECK(std::adjacent_find(starts_.begin(), starts_.end(), std::greater_equal<>()) ==
                 starts_.end());
}

WallInstants PeriodList::instants(std::int64_t wall) const {
    // Period i reads `wall` at wall - gmtoff(i) when that lies within it. Only
    // periods that reach [wall - maxGmtoff_, wall - minGmtoff_] can.
    const std::int64_t low = wall - maxGmtoff_, high = wall - minGmtoff_;
    WallInstants found{0, 0, 0};
    bool readByAny = false;  // by an instant in or out of the range
    Count skippedTo = 0;
    for (std::size_t i = indexAt(static_cast<Count>(std::clamp<std::int64_t>(low, 0, kLast)));
         i < starts_.size() && (i == 0 || starts_[i] <= high); ++i) {
        const std::int64_t t = wall - gmtoff(i);
        // The first period runs from before the range, the last past it.
        const bool afterStart = i == 0 || t >= starts_[i];
        const bool beforeEnd = i + 1 == starts_.size() || t < starts_[i + 1];
        if (afterStart && beforeEnd) {
            readByAny = true;
            if (!inRange(t))
                continue;
            if (found.count == 0)
                found.first = static_cast<Count>(t);
            else
                found.second = static_cast<Count>(t);
            found.count = std::min(found.count + 1, 2u);
        } else if (!afterStart && skippedTo == 0 && wall >= starts_[i] + gmtoff(i - 1)) {
            // The clock jumped over `wall` when period i began.
            skippedTo = starts_[i];
        }
    }
    if (found.count == 0 && !readByAny) {
        // A time no instant reads lies in a jump of the clock.
        XVKIT_DCHECK(skippedTo != 0);
        found.first = skippedTo;
    }
    return found;
}

}  // namespace xvkit::tz
