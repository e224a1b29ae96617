// Internal helpers shared by the date, time and zone sources.
#ifndef XVKIT_SRC_DATETIME_ZONE_CALC_H_
#define XVKIT_SRC_DATETIME_ZONE_CALC_H_

#include <array>
#include <cstdint>
#include <ctime>

#include "debug_check.h"

namespace xvkit::tz {

// The value a 32-bit int would hold for the exact result `v`: the low 32 bits,
// read as signed.
inline std::int32_t wrap32(std::int64_t v) {
    return static_cast<std::int32_t>(v);
}

// Day numbers (QNDate) of 1 January 1901, the day of QNTime's count 0, and of
// 1 January 1970.
inline constexpr std::uint32_t kFirstDayNumber = 2415386;
inline constexpr std::uint32_t kUnixDayNumber = 2440588;

// What QNDate::clobber stores in every field of a cleared `tm`.
inline constexpr int kClearedField = INT32_MIN;

// Whether `t` was cleared by QNDate::clobber (its day tells).
inline bool isCleared(const tm& t) {
    return t.tm_mday == kClearedField;
}

// The calendar fields of `s` seconds after 1 January 1901 00:00:00 (any day
// from 1 January 1900 to 28 February 2100, where every fourth year is a leap
// year): every field of `t` but tm_isdst. QNDate's algorithm gives the same
// fields for any day; this one costs a few multiplications, since it serves
// every reading of an instant.
void readCivil(std::int64_t s, tm* t);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_ZONE_CALC_H_
