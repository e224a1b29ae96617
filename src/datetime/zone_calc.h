// Internal helpers shared by the date, time and zone sources.
#ifndef XVKIT_SRC_DATETIME_ZONE_CALC_H_
#define XVKIT_SRC_DATETIME_ZONE_CALC_H_

#include <cstdint>
#include <ctime>

namespace xvkit::tz {

// The value a 32-bit int would hold for the exact result `v`: the low 32 bits,
// read as signed.
inline std::int32_t wrap32(std::int64_t v) {
    return static_cast<std::int32_t>(v);
}

// What QNDate::clobber stores in every field of a cleared `tm`.
inline constexpr int kClearedField = INT32_MIN;

// Whether `t` was cleared by QNDate::clobber (its day tells).
inline bool isCleared(const tm& t) {
    return t.tm_mday == kClearedField;
}

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_ZONE_CALC_H_
