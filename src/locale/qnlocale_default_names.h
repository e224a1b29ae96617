// English month and weekday names of the default locale, shared by its
// formatting and its reading operations. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_QNLOCALE_DEFAULT_NAMES_H_
#define XVKIT_SRC_LOCALE_QNLOCALE_DEFAULT_NAMES_H_

#include <string_view>

namespace xvkit::locale {

// Indexed by tm_mon (January = 0). Every full name begins with its short
// name. The views are of string literals, so each is NUL-terminated too.
inline constexpr std::string_view kMonthNames[12] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
inline constexpr std::string_view kShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Monday first; a tm_wday (Sunday = 0) maps to (tm_wday + 6) % 7.
inline constexpr std::string_view kWeekdayNames[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                      "Friday", "Saturday", "Sunday"};
inline constexpr std::string_view kShortWeekdayNames[7] = {"Mon", "Tue", "Wed", "Thu",
                                                           "Fri", "Sat", "Sun"};

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_QNLOCALE_DEFAULT_NAMES_H_
