// A zone history mapped onto QNZone's model: one standard and one daylight
// type, and the periods of daylight time as wall-clock intervals that
// QNTime's two-readings test turns back into the exact instants.
#ifndef XVKIT_SRC_DATETIME_TZ_TIMELINE_H_
#define XVKIT_SRC_DATETIME_TZ_TIMELINE_H_

#include <cstdint>
#include <vector>

#include "tz_history.h"

namespace xvkit::tz {

// One stretch of daylight time, [begin, end) in instants.
struct DaylightPeriod {
    Seconds begin;
    Seconds end;
    // False when the period was already running, or still runs, at the edge
    // of the range: that edge is no change of time.
    bool hasBegin;
    bool hasEnd;
    // The wall-clock times answered as daylight: [open, close).
    Seconds open;
    Seconds close;
};

struct Timeline {
    LocalType standard;
    LocalType daylight;  // equals `standard` when there is no daylight time
    bool observed = false;
    // First year from which the two types give every answer exactly.
    int exactFrom = 0;
    std::vector<DaylightPeriod> periods;  // in order, never touching
    // For each year from kFirstYear to kLastYear + 1, the first period that
    // closes after the year begins on the wall clock: where a search starts.
    std::vector<std::uint32_t> firstOfYear;

    // Whether the wall-clock time `wall` (local Seconds) is in a period.
    // `year` is the year of `wall`; any other year gives the same answer,
    // only more slowly.
    bool isDaylight(Seconds wall, std::int64_t year) const;
    // The first period that begins in `year` as read on standard time, or null.
    const DaylightPeriod* beginIn(std::int64_t year) const;
    // The last period that ends in `year` as read on daylight time, or null.
    const DaylightPeriod* endIn(std::int64_t year) const;
    // The begin of `p` read on standard time, its end on daylight time.
    Seconds beginWall(const DaylightPeriod& p) const { return p.begin + standard.gmtoff; }
    Seconds endWall(const DaylightPeriod& p) const { return p.end + daylight.gmtoff; }
};

// Maps `history` onto the model. The types are those in force last (the
// last standard and the last daylight type of the range); exactFrom is the
// year after the last stretch of time that neither of them describes.
Timeline buildTimeline(const History& history);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_TIMELINE_H_
