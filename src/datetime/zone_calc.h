// Internal helpers shared by the zone and time sources.
#ifndef XVKIT_SRC_DATETIME_ZONE_CALC_H_
#define XVKIT_SRC_DATETIME_ZONE_CALC_H_

#include <cstdint>

namespace xvkit::tz {

// The value a 32-bit int would hold for the exact result `v`: the low 32 bits,
// read as signed.
inline std::int32_t wrap32(std::int64_t v) {
    return static_cast<std::int32_t>(v);
}

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_ZONE_CALC_H_
