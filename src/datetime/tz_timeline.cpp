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
    XVKIT_DCHECK(!history.types.empty() && history.initial < history.types.size());
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
    t.exactFrom = exactFromOf(stretches, history, t);
    if (!t.observed)
        return t;
    t.periods = periodsOf(stretches, t);
    XVKIT_DCHECK(std::adjacent_find(t.periods.begin(), t.periods.end(),
                                    [](const DaylightPeriod& a, const DaylightPeriod& b) {
                                        return a.end >= b.begin;
                                    }) == t.periods.end());
    std::size_t first = 0;
    t.firstOfYear.reserve(kLastYear + 2 - kFirstYear);
    for (int year = kFirstYear; year <= kLastYear + 1; ++year) {
        const Seconds yearStart = startOfYear(year);
        while (first < t.periods.size() && t.periods[first].close <= yearStart)
            ++first;
        t.firstOfYear.push_back(static_cast<std::uint32_t>(first));
    }
    return t;
}

bool Timeline::isDaylight(Seconds wall, std::int64_t year) const {
    // The first period that closes after `wall`: a step or two from the
    // year's first one, further only for a `year` that is not wall's own.
    const std::int64_t row = std::clamp<std::int64_t>(year - kFirstYear, 0, firstOfYear.size() - 1);
    std::size_t i = firstOfYear.empty() ? 0 : firstOfYear[static_cast<std::size_t>(row)];
    while (i > 0 && periods[i - 1].close > wall)
        --i;
    while (i < periods.size() && periods[i].close <= wall)
        ++i;
    return i < periods.size() && periods[i].open <= wall;
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
