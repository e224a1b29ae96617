// The compiled time-zone files of the IANA database (TZif, RFC 8536,
// `man 5 tzfile`): reading one from memory into a zone history.
#ifndef XVKIT_SRC_DATETIME_TZ_FILE_H_
#define XVKIT_SRC_DATETIME_TZ_FILE_H_

#include <cstdint>
#include <span>
#include <string>

#include "tz_history.h"

namespace xvkit::tz {

// The largest file read; real ones are a few kilobytes.
inline constexpr std::size_t kMaxZoneFileSize = 1 << 20;

// Reads the TZif image `bytes`: its types and transitions (the 64-bit data
// of version 2 and later, else the 32-bit data), followed, past the last
// transition, by the transitions of the footer's rule up to kLastYear. Never
// reads outside `bytes`. On failure returns false with a one-line reason in
// `*why` ("truncated", "transition type out of range", ...).
bool readZoneFile(std::span<const unsigned char> bytes, History* history, std::string* why);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_FILE_H_
