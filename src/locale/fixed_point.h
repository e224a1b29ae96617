// The fixed-point text of a real number, C's "%.*f", for every locale
// writer. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_FIXED_POINT_H_
#define XVKIT_SRC_LOCALE_FIXED_POINT_H_

#include "text_buffer.h"

namespace xvkit::locale {

// A double carries at most 1074 decimals exactly (2^-1074 has that many);
// beyond them C prints only zeros, so larger precisions are taken as this
// one, which keeps every text below 1400 characters.
inline constexpr int kMaxPrecision = 1074;

// The precision a writer uses for the one it is asked for: C's 6 for a
// negative one, at most kMaxPrecision.
inline int fixedPrecision(int precision) {
    return precision < 0 ? 6 : precision > kMaxPrecision ? kMaxPrecision : precision;
}

// Appends C's "%.*f" of `value` ("%#.*f", which keeps the point when there
// are no decimals, with `showpoint`) with `precision` 0..kMaxPrecision, the
// decimal point being that of the C runtime's current locale.
void appendFixed(TextBuffer& out, double value, int precision, bool showpoint);

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_FIXED_POINT_H_
