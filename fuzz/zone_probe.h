// Puts a fuzzed zone through every QNZone operation that QNTime and QNDate
// use and through its whole-history members, and aborts when a reading
// leaves the ranges of a `tm` or the members disagree with one another.
#ifndef XVKIT_FUZZ_ZONE_PROBE_H_
#define XVKIT_FUZZ_ZONE_PROBE_H_

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <tuple>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzonetz.h>

inline void checkReading(const tm& t) {
    if (t.tm_sec < 0 || t.tm_sec > 59 || t.tm_min < 0 || t.tm_min > 59 || t.tm_hour < 0 ||
        t.tm_hour > 23 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_mon < 0 || t.tm_mon > 11 ||
        t.tm_wday < 0 || t.tm_wday > 6 || t.tm_yday < 0 || t.tm_yday > 365 || t.tm_year < -1 ||
        t.tm_year > 138 || (t.tm_isdst != 0 && t.tm_isdst != 1))
        std::abort();
}

inline auto wallOf(const tm& t) {
    return std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}

// The whole-history members at the instant `t` (count 1 or more): the period
// holds `t` and agrees with the reading, and the reading's wall-clock time
// names `t` back (the earliest and latest of three or more readings aside).
inline void probeHistory(const QNZoneTZ& zone, QNTime t) {
    tm reading;
    zone.extract(t, &reading);
    checkReading(reading);
    const QNZoneTZ::Period p = zone.period(t);
    if (p.begin > t || (p.end.isValid() && p.end <= t) || p.daylight != (reading.tm_isdst == 1) ||
        p.offset < -93599 || p.offset > 89999)
        std::abort();
    const QNZoneTZ::Instants found = zone.instants(
        QNDate(static_cast<unsigned>(reading.tm_mday), static_cast<unsigned>(reading.tm_mon + 1),
               static_cast<unsigned>(reading.tm_year + 1900)),
        static_cast<unsigned>(reading.tm_hour), static_cast<unsigned>(reading.tm_min),
        static_cast<unsigned>(reading.tm_sec));
    const bool named = found.count == 1 ? found.first == t
                                        : found.count == 2 && found.first <= t && t <= found.second;
    if (!named || (found.count == 1 && found.second.isValid()))
        std::abort();
    for (const QNTime other : {found.first, found.second}) {
        if (!other.isValid() || other == t)
            continue;
        tm again;
        zone.extract(other, &again);
        if (wallOf(again) != wallOf(reading))
            std::abort();
    }
}

// A skipped wall-clock time lies between the readings just before and at
// the instant that instants() names after it.
inline void probeWall(const QNZoneTZ& zone, const QNDate& date, unsigned hour, unsigned minute) {
    const QNZoneTZ::Instants found = zone.instants(date, hour, minute, 0);
    if (found.count > 2 || (found.count < 2 && found.second.isValid()))
        std::abort();
    if (found.count != 0 || !found.first.isValid() || found.first.seconds() < 2)
        return;
    tm before, at, wall;
    zone.extract(QNTime(found.first.seconds() - 1), &before);
    zone.extract(found.first, &at);
    date.extract(&wall);
    wall.tm_hour = static_cast<int>(hour);
    wall.tm_min = static_cast<int>(minute);
    wall.tm_sec = 0;
    if (!(wallOf(before) < wallOf(wall) && wallOf(wall) < wallOf(at)))
        std::abort();
}

// The zone answering QNTime through its virtual members, as any other zone
// does; QNTime answers a plain QNZoneTZ from its precomputed spans instead.
struct ThroughVirtuals : QNZoneTZ {
    explicit ThroughVirtuals(const QNZoneTZ& zone) : QNZoneTZ(zone) {}
};

// Reads `zone` at instants spread over the range and `extra`, builds instants
// back from the readings (both ways QNTime answers a QNZoneTZ must agree),
// asks for the daylight changes of a few years, and walks its periods.
inline void probeZone(const QNZoneTZ& zone, std::uint32_t extra) {
    const ThroughVirtuals plain(zone);
    constexpr std::uint32_t kSamples = 16;
    for (std::uint32_t i = 0; i <= kSamples; ++i) {
        const std::uint32_t count = i == kSamples ? extra : 1 + i * (0xffffffffu / kSamples);
        if (count == 0)
            continue;
        tm t, slow;
        QNTime(count).extract(&t, zone);
        QNTime(count).extract(&slow, plain);
        checkReading(t);
        if (wallOf(t) != wallOf(slow) || t.tm_isdst != slow.tm_isdst ||
            QNTime(count).isDST(zone) != QNTime(count).isDST(plain))
            std::abort();
        t.tm_min += static_cast<int>(extra % 181) - 90;  // into a neighbouring hour
        const QNTime back(&t, zone);
        if (back != QNTime(&t, plain))
            std::abort();
        probeHistory(zone, QNTime(count));
    }
    for (unsigned year : {1901u, 1970u, 2024u, 2037u, 1901u + extra % 137u}) {
        QNTime::beginDST(year, zone);
        QNTime::endDST(year, zone);
        zone.changes(year);
        probeWall(zone, QNDate(1 + extra % 28, 1 + extra / 28 % 12, year), extra / 7 % 24,
                  extra / 11 % 60);
    }
    // Periods touch and move forward; each boundary is probed on both sides.
    constexpr int kMaxPeriods = 64;
    QNZoneTZ::Period p = zone.period(QNTime(0ul));
    for (int n = 0; n < kMaxPeriods && p.end.isValid(); ++n) {
        const QNZoneTZ::Period next = zone.period(p.end);
        if (next.begin != p.end || (next.end.isValid() && next.end <= next.begin))
            std::abort();
        probeHistory(zone, QNTime(p.end.seconds() - 1));
        probeHistory(zone, p.end);
        p = next;
    }
    tm cleared;
    zone.extract(QNTime(0ul), &cleared);
    zone.exactFrom();
    zone.timeZoneName();
    zone.altZoneName();
}

// What a fuzzer does with the result of a QNZoneTZ factory: a refusal must
// give a reason; a zone is probed, with `seed` for its extra instant.
inline void checkFactoryResult(const QNZoneTZ* zone, const XVString& why, std::uint32_t seed) {
    if (zone == nullptr) {
        if (why.empty())
            std::abort();
        return;
    }
    probeZone(*zone, seed);
}

#endif  // XVKIT_FUZZ_ZONE_PROBE_H_
