// Daylight-saving boundaries and rules, and the built-in schedules.
//
// The boundary arithmetic works on 32-bit signed values with the C remainder
// (truncating toward zero). Intermediate sums are formed in 64 bits and cut to
// 32 bits where a 32-bit int would hold them, so that extreme `tm` fields wrap
// as 32-bit arithmetic does instead of overflowing.
#include <xvkit/qndate.h>
#include <xvkit/qnzone.h>

#include <cstdint>
#include <ctime>

#include "zone_calc.h"

namespace {

using xvkit::tz::wrap32;

// The day of the month on which a boundary (`week`, `weekday`) falls in the
// month and year of `t`, whose `tm_mday` and `tm_wday` name one of its days.
std::int32_t boundaryDay(const QNDaylightBoundary& b, const tm* t) {
    if (b.week < 0)
        return b.weekday;
    if (b.week < 4) {
        const std::int32_t rem = wrap32(std::int64_t{t->tm_mday} - t->tm_wday + b.weekday + 6) % 7;
        return wrap32(std::int64_t{rem} + 7 * std::int64_t{b.week} + 1);
    }
    // Last occurrence: count back from the end of the month. A month outside
    // 0..11 has no length (0).
    const unsigned year = static_cast<unsigned>(t->tm_year) + 1900u;
    const std::int32_t length = static_cast<std::int32_t>(
        QNDate::daysInMonthYear(static_cast<unsigned>(t->tm_mon) + 1u, year));
    const std::int32_t rem =
        wrap32(std::int64_t{t->tm_wday} - t->tm_mday + length - b.weekday + 7) % 7;
    return wrap32(std::int64_t{length} - rem);
}

// Whether the wall-clock moment `t` is strictly before boundary `b` within its
// year. Kept here, rather than called through the exported member, so that
// the rule's test can inline it.
bool isBefore(const QNDaylightBoundary& b, const tm* t) {
    if (t->tm_mon != b.month)
        return t->tm_mon < b.month;
    const std::int32_t day = boundaryDay(b, t);
    if (t->tm_mday != day)
        return t->tm_mday < day;
    return wrap32(std::int64_t{t->tm_hour} * 60 + t->tm_min) < b.minute;
}

// North American schedule, newest rule first; every rule ends on the last
// Sunday in October at 02:00.
constexpr QNDaylightBoundary kLastSundayOctober{9, 4, 0, 120};
const QNDaylightRule kNorthAmericaBefore1967{nullptr, 0, true, {3, 4, 0, 120}, kLastSundayOctober};
// From 1967 the first Sunday in April.
const QNDaylightRule kNorthAmerica1967{
    &kNorthAmericaBefore1967, 1967, true, {3, 0, 0, 120}, kLastSundayOctober};
// 1974: the first Sunday in January.
const QNDaylightRule kNorthAmerica1974{
    &kNorthAmerica1967, 1974, true, {0, 0, 0, 120}, kLastSundayOctober};
// 1975: the last Sunday in February.
const QNDaylightRule kNorthAmerica1975{
    &kNorthAmerica1974, 1975, true, {1, 4, 0, 120}, kLastSundayOctober};
// 1976: the last Sunday in April.
const QNDaylightRule kNorthAmerica1976{
    &kNorthAmerica1975, 1976, true, {3, 4, 0, 120}, kLastSundayOctober};
// 1987: the first Sunday in April.
const QNDaylightRule kNorthAmerica1987{
    &kNorthAmerica1976, 1987, true, {3, 0, 0, 120}, kLastSundayOctober};

// Western Europe: last Sunday in March to last Sunday in September.
const QNDaylightRule kWesternEurope{nullptr, 0, true, {2, 4, 0, 120}, {8, 4, 0, 120}};

// Indexed by QNZone::DstRule. The chains are laid out fully linked, so the
// table needs no initialisation at run time.
const QNDaylightRule* const kBuiltInRules[] = {nullptr, &kNorthAmerica1987, &kWesternEurope};

}  // namespace

bool QNDaylightBoundary::after(const tm* t) const {
    return isBefore(*this, t);
}

void QNDaylightBoundary::date(tm* t) const {
    t->tm_mday = boundaryDay(*this, t);
    t->tm_wday = weekday;
    t->tm_hour = minute / 60;
    t->tm_min = minute % 60;
    t->tm_sec = 0;
    t->tm_isdst = -1;
}

bool QNDaylightRule::isDaylight(const tm* t) const {
    if (!observed)
        return false;
    const bool beforeBegin = isBefore(begin, t);
    const bool beforeEnd = isBefore(end, t);
    // Within one calendar year: between the two boundaries. Across the turn of
    // the year: outside the span from end to begin.
    if (begin.month < end.month)
        return beforeBegin != beforeEnd;
    return beforeBegin == beforeEnd;
}

const QNDaylightRule* QNZone::dstRule(DstRule dst) {
    const auto index = static_cast<unsigned>(dst);
    if (index >= sizeof kBuiltInRules / sizeof kBuiltInRules[0])
        return nullptr;
    return kBuiltInRules[index];
}
