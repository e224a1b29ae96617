// C's "%.*f" through std::to_chars, which gives exactly C's digits under the
// to-nearest rounding mode without parsing a format; under any other mode
// only C itself follows the mode.
#include "fixed_point.h"

#include <langinfo.h>

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "debug_check.h"

namespace xvkit::locale {

namespace {

// The most characters the "%.*f" text of `value` has: a sign, the integer
// digits (at most 17 below 1e17, at most 309 in all), a point and the
// decimals. "-inf" and "-nan" fit in any of these.
std::size_t fixedLength(double value, int precision) {
    const std::size_t integerDigits = std::fabs(value) < 1e17 ? 17 : 309;
    return 1 + integerDigits + 1 + static_cast<std::size_t>(precision);
}

}  // namespace

void appendFixed(TextBuffer& out, double value, int precision, bool showpoint) {
    XVKIT_DCHECK(precision >= 0 && precision <= kMaxPrecision);
    if (std::fegetround() != FE_TONEAREST) {
        if (showpoint)
            out.appendFormatted("%#.*f", precision, value);
        else
            out.appendFormatted("%.*f", precision, value);
        return;
    }
    const std::size_t start = out.size();
    const std::size_t room = fixedLength(value, precision);
    char* const first = out.extend(room);
    const auto converted =
        std::to_chars(first, first + room, value, std::chars_format::fixed, precision);
    XVKIT_DCHECK(converted.ec == std::errc());
    const auto length = static_cast<std::size_t>(converted.ptr - first);
    out.truncate(start + length);
    // std::to_chars writes '.'; C writes its runtime's decimal point
    // (LC_NUMERIC), which may be longer than one byte.
    const char* const point = static_cast<const char*>(std::memchr(first, '.', length));
    const std::string_view radix = nl_langinfo(RADIXCHAR);
    if (point == nullptr) {
        if (showpoint && std::isfinite(value))
            out.append(radix);
        return;
    }
    if (radix == ".")
        return;
    const std::size_t at = start + static_cast<std::size_t>(point - first);
    const std::size_t decimals = out.size() - at - 1;
    const std::size_t size = out.size() - 1 + radix.size();
    if (size > out.size())
        out.extend(size - out.size());  // may move the text: offsets from here on
    char* const text = out.data();
    std::memmove(text + at + radix.size(), text + at + 1, decimals);
    std::memcpy(text + at, radix.data(), radix.size());
    out.truncate(size);
}

}  // namespace xvkit::locale
