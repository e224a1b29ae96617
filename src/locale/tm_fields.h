// The derived `tm` fields that date directives print, computed in 64 bits so
// that any field value, INT_MIN and INT_MAX included, gives an exact result.
// Internal to the library.
#ifndef XVKIT_SRC_LOCALE_TM_FIELDS_H_
#define XVKIT_SRC_LOCALE_TM_FIELDS_H_

#include <ctime>

namespace xvkit::locale {

// tm_year + 1900.
inline long long fullYear(const tm* t) {
    return static_cast<long long>(t->tm_year) + 1900;
}

// Week of the year with weeks starting on Sunday: (tm_yday - tm_wday + 7) / 7.
inline long long weekOfYearFromSunday(const tm* t) {
    return (static_cast<long long>(t->tm_yday) - t->tm_wday + 7) / 7;
}

// Week of the year with weeks starting on Monday:
// (tm_yday - (tm_wday + 6) mod 7 + 7) / 7, divisions truncating toward zero.
inline long long weekOfYearFromMonday(const tm* t) {
    const long long daysSinceMonday = (static_cast<long long>(t->tm_wday) + 6) % 7;
    return (t->tm_yday - daysSinceMonday + 7) / 7;
}

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_TM_FIELDS_H_
