#include "tz_timeline.h"

#include <algorithm>
#include <cassert>

namespace xvkit_tz {

namespace {

constexpr Seconds kRangeFrom = startOfYear(kFirstYear);
constexpr Seconds kRangeTo = startOfYear(kLastYear + 1);
constexpr int kFirstRangeYear = 1901;

// A span of time [from, to) under one type, clipped to the kept years.
struct Stretch {
    Seconds from;
    Seconds to;
    const LocalType* type;
    bool openStart;  // began before the kept years
    bool openEnd;    // lasts past them
};

std::vector<Stretch> stretchesOf(const History& history) {
    std::vector<Stretch> out;
    const auto& ts = history.transitions;
    for (std::size_t i = 0; i <= ts.size(); ++i) {
        const bool openStart = i == 0 || ts[i - 1].at <= kRangeFrom;
        const bool openEnd = i == ts.size() || ts[i].at >= kRangeTo;
        const Seconds from = openStart ? kRangeFrom : ts[i - 1].at;
        const Seconds to = openEnd ? kRangeTo : ts[i].at;
        if (from >= to)
            continue;
        const std::size_t type = i == 0 ? history.initial : ts[i - 1].type;
        out.push_back({from, to, &history.types[type], openStart, openEnd});
    }
    return out;
}

// The last type of the stretches with the daylight flag `isdst`, or null.
const LocalType* lastOfKind(const std::vector<Stretch>& stretches, bool isdst) {
    for (auto s = stretches.rbegin(); s != stretches.rend(); ++s) {
        if (s->type->isdst == isdst)
            return s->type;
    }
    return nullptr;
}

// The first year whose every instant lies at or after `change`, read on the
// clock of the type that begins there.
int firstYearFrom(Seconds change, std::int32_t gmtoff) {
    const Seconds local = change + gmtoff;
    const std::int64_t year = yearOf(local);
    return static_cast<int>(local == startOfYear(year) ? year : year + 1);
}

int exactFromOf(const std::vector<Stretch>& stretches, const Timeline& t) {
    int exact = kFirstRangeYear;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const LocalType& type = *stretches[i].type;
        const LocalType& model = type.isdst ? t.daylight : t.standard;
        if (type.gmtoff == model.gmtoff && type.abbr == model.abbr)
            continue;
        if (i + 1 == stretches.size())
            return kLastYear;
        exact = std::max(exact, firstYearFrom(stretches[i].to, stretches[i + 1].type->gmtoff));
    }
    return exact;
}

std::vector<DaylightPeriod> periodsOf(const std::vector<Stretch>& stretches, const Timeline& t) {
    // A period opens on the earlier clock and closes on the later one, so
    // that both readings of an instant fall inside exactly when it does.
    const std::int32_t earlier = std::min(t.standard.gmtoff, t.daylight.gmtoff);
    const std::int32_t later = std::max(t.standard.gmtoff, t.daylight.gmtoff);
    std::vector<DaylightPeriod> out;
    for (const Stretch& s : stretches) {
        if (!s.type->isdst)
            continue;
        if (!out.empty() && out.back().end == s.from) {
            out.back().end = s.to;
            out.back().hasEnd = !s.openEnd;
            out.back().close = s.to + later;
            continue;
        }
        out.push_back({s.from, s.to, !s.openStart, !s.openEnd, s.from + earlier, s.to + later});
    }
    return out;
}

}  // namespace

Timeline buildTimeline(const History& history) {
    assert(!history.types.empty() && history.initial < history.types.size());
    const std::vector<Stretch> stretches = stretchesOf(history);
    Timeline t;
    const LocalType* standard = lastOfKind(stretches, false);
    const LocalType* daylight = lastOfKind(stretches, true);
    if (standard == nullptr) {
        // Daylight time throughout: nothing to tell it from.
        t.standard = *stretches.back().type;
        t.standard.isdst = false;
        t.daylight = t.standard;
        t.exactFrom = kFirstRangeYear;
        return t;
    }
    t.standard = *standard;
    t.observed = daylight != nullptr;
    t.daylight = t.observed ? *daylight : *standard;
    t.exactFrom = exactFromOf(stretches, t);
    if (t.observed)
        t.periods = periodsOf(stretches, t);
    return t;
}

bool Timeline::isDaylight(Seconds wall) const {
    auto it = std::upper_bound(periods.begin(), periods.end(), wall,
                               [](Seconds w, const DaylightPeriod& p) { return w < p.open; });
    return it != periods.begin() && wall < std::prev(it)->close;
}

const DaylightPeriod* Timeline::beginIn(std::int64_t year) const {
    const Seconds from = startOfYear(year), to = startOfYear(year + 1);
    auto it = std::partition_point(periods.begin(), periods.end(), [&](const DaylightPeriod& p) {
        return beginWall(p) < from || !p.hasBegin;
    });
    return it != periods.end() && beginWall(*it) < to ? &*it : nullptr;
}

const DaylightPeriod* Timeline::endIn(std::int64_t year) const {
    const Seconds from = startOfYear(year), to = startOfYear(year + 1);
    auto it = std::partition_point(periods.begin(), periods.end(), [&](const DaylightPeriod& p) {
        return endWall(p) < to && p.hasEnd;
    });
    if (it == periods.begin())
        return nullptr;
    --it;
    return endWall(*it) >= from ? &*it : nullptr;
}

}  // namespace xvkit_tz
