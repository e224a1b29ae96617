#include "tz_timeline.h"

#include <algorithm>

#include "debug_check.h"

namespace xvkit::tz {

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
    out.reserve(ts.size() + 1);
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

int exactFromOf(const std::vector<Stretch>& stretches, const History& history, const Timeline& t) {
    // Which of the history's types the model describes, decided once per type.
    std::vector<char> described(history.types.size());
    for (std::size_t i = 0; i < history.types.size(); ++i) {
        const LocalType& type = history.types[i];
        const LocalType& model = type.isdst ? t.daylight : t.standard;
        described[i] = type.gmtoff == model.gmtoff && type.abbr == model.abbr;
    }
    // Exact from the end of the last stretch that the model does not describe.
    for (std::size_t i = stretches.size(); i-- > 0;) {
        if (described[static_cast<std::size_t>(stretches[i].type - history.types.data())])
            continue;
        if (i + 1 == stretches.size())
            return kLastYear;
        return std::max(kFirstRangeYear,
                        firstYearFrom(stretches[i].to, stretches[i + 1].type->gmtoff));
    }
    return kFirstRangeYear;
}

std::vector<DaylightPeriod> periodsOf(const std::vector<Stretch>& stretches) {
    std::vector<DaylightPeriod> out;
    for (const Stretch& s : stretches) {
        if (!s.type->isdst)
            continue;
        if (!out.empty() && out.back().end == s.from) {
            out.back().end = s.to;
            out.back().hasEnd = !s.openEnd;
            continue;
        }
        out.push_back({s.from, s.to, !s.openStart, !s.openEnd});
    }
    return out;
}

// The first year from which QNTime's two-readings test, which takes an
// instant for daylight time when both its readings are daylight walls, gives
// the periods exactly. It does where every period lasts at least the
// difference of the two offsets and every stretch of standard time between
// two periods at least twice that; before a shorter one the test takes
// standard instants for daylight ones, or wall-clock times for skipped.
int twoReadingsExactFrom(const Timeline& t) {
    const Seconds difference = std::abs(t.standard.gmtoff - t.daylight.gmtoff);
    const std::int32_t later = std::max(t.standard.gmtoff, t.daylight.gmtoff);
    for (std::size_t i = t.periods.size(); i-- > 0;) {
        const DaylightPeriod& p = t.periods[i];
        const bool shortGap = i > 0 && p.begin - t.periods[i - 1].end < 2 * difference;
        if (p.end - p.begin < difference || shortGap)
            return std::min(kLastYear, firstYearFrom(p.end + difference, later));
    }
    return kFirstRangeYear;
}

// The counts (0 to kLastCount) whose readings at both offsets lie in `walls`.
std::vector<Span> bothReadingsIn(const std::vector<Span>& walls, std::int32_t gmtoffA,
                                 std::int32_t gmtoffB) {
    // In counts, walls moved back by each offset; then their intersection.
    const auto moved = [&walls](std::int32_t gmtoff) {
        std::vector<Span> out;
        for (const Span& w : walls) {
            const Seconds from = std::max<Seconds>(w.from - gmtoff - kFirstInstant, 0);
            const Seconds to = std::min<Seconds>(w.to - gmtoff - kFirstInstant, kLastCount + 1);
            if (from < to)
                out.push_back({from, to});
        }
        return out;
    };
    const std::vector<Span> a = moved(gmtoffA), b = moved(gmtoffB);
    std::vector<Span> out;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        const Seconds from = std::max(a[i].from, b[j].from), to = std::min(a[i].to, b[j].to);
        if (from < to)
            out.push_back({from, to});
        (a[i].to < b[j].to ? i : j) += 1;
    }
    return out;
}

}  // namespace

Timeline buildTimeline(const History& history) {
    XVKIT_DCHECK(!history.types.empty() && history.initial < history.types.size());
    const std::vector<Stretch> stretches = stretchesOf(history);
    Timeline t;
    const LocalType* standard = lastOfKind(stretches, false);
    const LocalType* daylight = lastOfKind(stretches, true);
    t.observed = daylight != nullptr;
    t.daylight = t.observed ? *daylight : *standard;
    t.standard = standard != nullptr ? *standard : *daylight;
    t.standard.isdst = false;
    t.exactFrom = exactFromOf(stretches, history, t);
    if (!t.observed)
        return t;
    t.periods = periodsOf(stretches);
    XVKIT_DCHECK(std::adjacent_find(t.periods.begin(), t.periods.end(),
                                    [](const DaylightPeriod& a, const DaylightPeriod& b) {
                                        return a.end >= b.begin;
                                    }) == t.periods.end());
    t.exactFrom = std::max(t.exactFrom, twoReadingsExactFrom(t));
    // A period opens on the earlier clock and closes on the later one, so
    // that both readings of an instant fall inside exactly when it does.
    const std::int32_t earlier = std::min(t.standard.gmtoff, t.daylight.gmtoff);
    const std::int32_t later = std::max(t.standard.gmtoff, t.daylight.gmtoff);
    std::vector<Span> walls;
    walls.reserve(t.periods.size());
    for (const DaylightPeriod& p : t.periods)
        walls.push_back({p.begin + earlier, p.end + later});
    t.daylightWalls = WallSet(walls);
    t.daylightCounts =
        CountSet(bothReadingsIn(t.daylightWalls.spans(), t.standard.gmtoff, t.daylight.gmtoff));
    return t;
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

}  // namespace xvkit::tz
