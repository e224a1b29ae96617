// QNTime: seconds since 1901 in 32-bit unsigned arithmetic, and its readings
// in a zone.
#include <xvkit/qntime.h>

#include <xvkit/qnzonetz.h>

#include <cstdint>
#include <ctime>
#include <typeinfo>

#include "zone_calc.h"

namespace {

using u32 = std::uint32_t;

constexpr u32 kSecondsPerDay = 86400;
// Day number of 31 December 1900, the earliest date a wall clock may read.
constexpr u32 kDayBeforeEpoch = 2415385;
// Seconds from 1 January 1901 to 1 January 1970.
constexpr std::int64_t kUnixEpoch = 2177452800;

// A zone offset as the 32-bit value the count arithmetic uses.
u32 offsetBits(long offset) {
    return static_cast<u32>(offset);
}

// Universal reading of the signed second count `s`, `tm_isdst` 0. Counts
// below 0 (a local reading before 1901) fall on 31 December 1900 and earlier
// rather than wrapping to 2037.
void readUniversal(std::int64_t s, tm* t) {
    xvkit::tz::readCivil(s, t);
    t->tm_isdst = 0;
}

// Wall-clock reading of the count `s` in a zone at offset `offset` (seconds
// west).
void readAt(u32 s, long offset, tm* t) {
    readUniversal(std::int64_t{s} - xvkit::tz::wrap32(offset), t);
}

// `zone` as a QNZoneTZ when it is exactly one, not a class derived from it
// (which may override the readings), else null. QNTime then asks the zone's
// precomputed answers instead of making two readings per question.
const QNZoneTZ* exactZoneTZ(const QNZone& zone) {
    return &typeid(zone) == &typeid(QNZoneTZ) ? static_cast<const QNZoneTZ*>(&zone) : nullptr;
}

// Day numbers below this split exactly in QNDate's 32-bit calendar, so that
// a wall-clock time on them can be counted from the day number alone.
constexpr u32 kLastPlainDay = 1u << 30;

// Which reading of `s` applies in `zone`: fills `t` and returns true for the
// daylight reading. Daylight needs both the standard and the daylight reading
// to lie in daylight saving, so the begin boundary is met on the standard
// clock and the end boundary on the daylight clock.
bool readInZone(u32 s, const QNZone& zone, tm* t) {
    readAt(s, zone.timeZoneOffset(), t);
    if (!zone.isDaylight(t))
        return false;
    tm daylightReading;
    readAt(s, zone.altZoneOffset(), &daylightReading);
    if (!zone.isDaylight(&daylightReading))
        return false;
    *t = daylightReading;
    return true;
}

// The instant at which daylight saving of `year` begins or ends in `zone`: the
// wall-clock time that `getBoundary` (QNZone::getBeginDaylight or
// getEndDaylight) gives, read in the clock of the zone's offset `offset` in
// force before it. 0 when the zone observes no daylight saving, or gives no
// boundary for that year (a `tm` cleared by QNDate::clobber).
QNTime daylightBoundary(unsigned int year, const QNZone& zone,
                        void (QNZone::*getBoundary)(tm*) const, long (QNZone::*offset)() const) {
    if (!zone.daylightObserved())
        return QNTime(0ul);
    tm t{};
    t.tm_year = static_cast<int>(year - 1900u);
    (zone.*getBoundary)(&t);
    if (xvkit::tz::isCleared(t))
        return QNTime(0ul);
    const QNTime wall(&t, QNZone::utc());
    return QNTime(wall.seconds() + offsetBits((zone.*offset)()));
}

}  // namespace

QNTime::QNTime() : seconds_(static_cast<u32>(currentTime())) {}

QNTime::QNTime(unsigned int hour, unsigned int minute, unsigned int second, const QNZone& zone)
    : seconds_(static_cast<u32>(buildFrom(QNDate::now(), hour, minute, second, zone))) {}

QNTime::QNTime(const tm* t, const QNZone& zone)
    : seconds_(static_cast<u32>(buildFrom(QNDate(t), static_cast<unsigned>(t->tm_hour),
                                          static_cast<unsigned>(t->tm_min),
                                          static_cast<unsigned>(t->tm_sec), zone))) {}

unsigned long QNTime::currentTime() {
    return static_cast<u32>(static_cast<std::int64_t>(time(nullptr)) + kUnixEpoch);
}

unsigned long QNTime::buildFrom(const QNDate& date, unsigned int hour, unsigned int minute,
                                unsigned int second, const QNZone& zone) {
    const u32 day = static_cast<u32>(date.julian());
    if (day < kDayBeforeEpoch)
        return 0;
    const u32 wall = second + 60u * (minute + 60u * hour);
    // Seconds from the epoch to local midnight of `date`; for 31 December 1900
    // this wraps to -86400, which the offset and wall time bring back.
    const u32 midnight = kSecondsPerDay * (day - xvkit::tz::kFirstDayNumber);
    const QNZoneTZ* tz = exactZoneTZ(zone);
    if (tz != nullptr && day <= kLastPlainDay) {
        // The wall-clock time of the `tm` that the steps below build, in
        // seconds since 1970, its fields read as int as the tm holds them.
        const std::int64_t wallSeconds =
            (std::int64_t{day} - xvkit::tz::kUnixDayNumber) * kSecondsPerDay +
            std::int64_t{static_cast<int>(hour)} * 3600 +
            std::int64_t{static_cast<int>(minute)} * 60 + static_cast<int>(second);
        if (tz->daylightWall(wallSeconds)) {
            const u32 c = wall + offsetBits(tz->QNZoneTZ::altZoneOffset()) + midnight;
            return tz->daylightCount(c) ? c : 0;
        }
        return wall + offsetBits(tz->QNZoneTZ::timeZoneOffset()) + midnight;
    }
    if (zone.daylightObserved()) {
        tm t;
        date.extract(&t);
        t.tm_hour = static_cast<int>(hour);
        t.tm_min = static_cast<int>(minute);
        t.tm_sec = static_cast<int>(second);
        if (zone.isDaylight(&t)) {
            // A daylight wall time whose instant is not daylight time lies in
            // the skipped hour.
            const u32 c = wall + offsetBits(zone.altZoneOffset()) + midnight;
            return QNTime(c).isDST(zone) ? c : 0;
        }
    }
    return wall + offsetBits(zone.timeZoneOffset()) + midnight;
}

QNTime QNTime::beginDST(unsigned int year, const QNZone& zone) {
    return daylightBoundary(year, zone, &QNZone::getBeginDaylight, &QNZone::timeZoneOffset);
}

QNTime QNTime::endDST(unsigned int year, const QNZone& zone) {
    return daylightBoundary(year, zone, &QNZone::getEndDaylight, &QNZone::altZoneOffset);
}

unsigned int QNTime::hour(const QNZone& zone) const {
    tm t;
    extract(&t, zone);
    return static_cast<unsigned>(t.tm_hour);
}

unsigned int QNTime::minute(const QNZone& zone) const {
    tm t;
    extract(&t, zone);
    return static_cast<unsigned>(t.tm_min);
}

bool QNTime::isDST(const QNZone& zone) const {
    if (const QNZoneTZ* tz = exactZoneTZ(zone))
        return tz->daylightCount(seconds_);
    if (!zone.daylightObserved())
        return false;
    tm t;
    return readInZone(seconds_, zone, &t);
}

void QNTime::extract(tm* t, const QNZone& zone) const {
    if (seconds_ == 0) {
        QNDate::clobber(t);
        return;
    }
    if (const QNZoneTZ* tz = exactZoneTZ(zone)) {
        const bool daylight = tz->daylightCount(seconds_);
        readAt(seconds_, daylight ? tz->QNZoneTZ::altZoneOffset() : tz->QNZoneTZ::timeZoneOffset(),
               t);
        t->tm_isdst = daylight ? 1 : 0;
        return;
    }
    if (!zone.daylightObserved()) {
        readAt(seconds_, zone.timeZoneOffset(), t);
        return;
    }
    t->tm_isdst = readInZone(seconds_, zone, t) ? 1 : 0;
}

void QNTime::extractGMT(tm* t) const {
    readUniversal(seconds_, t);
}

int QNTime::compareTo(const QNTime* other) const {
    if (seconds_ == other->seconds_)
        return 0;
    return seconds_ > other->seconds_ ? 1 : -1;
}
