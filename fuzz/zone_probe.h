// Puts a fuzzed zone through every QNZone operation that QNTime and QNDate
// use, and aborts when a reading leaves the ranges of a `tm`.
#ifndef XVKIT_FUZZ_ZONE_PROBE_H_
#define XVKIT_FUZZ_ZONE_PROBE_H_

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzonetz.h>

inline void checkReading(const tm& t) {
    if (t.tm_sec < 0 || t.tm_sec > 59 || t.tm_min < 0 || t.tm_min > 59 || t.tm_hour < 0 ||
        t.tm_hour > 23 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_mon < 0 || t.tm_mon > 11 ||
        t.tm_wday < 0 || t.tm_wday > 6 || (t.tm_isdst != 0 && t.tm_isdst != 1))
        std::abort();
}

// Reads `zone` at instants spread over the range and `extra`, builds instants
// back from the readings, and asks for the daylight changes of a few years.
inline void probeZone(const QNZoneTZ& zone, std::uint32_t extra) {
    constexpr std::uint32_t kSamples = 16;
    for (std::uint32_t i = 0; i <= kSamples; ++i) {
        const std::uint32_t count = i == kSamples ? extra : 1 + i * (0xffffffffu / kSamples);
        if (count == 0)
            continue;
        tm t;
        QNTime(count).extract(&t, zone);
        checkReading(t);
        const QNTime back(&t, zone);
        if (back.isValid())
            back.isDST(zone);
    }
    for (unsigned year : {1901u, 1970u, 2024u, 2037u, 1901u + extra % 137u}) {
        QNTime::beginDST(year, zone);
        QNTime::endDST(year, zone);
        zone.changes(year);
    }
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
