// Formatting of the built-in English locale: directives, numbers and money.
//
// Each text is produced by a fixed C format into a working buffer of the
// usual size for its kind; a text that does not fit (huge field values, long
// zone names, many decimals) is formatted again into a buffer of the measured
// size, so results are never cut short and nothing is written past a buffer.
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#include "qnlocale_default_names.h"

namespace {

using namespace xvkit_locale;

// Usual working sizes, terminating NUL included.
constexpr std::size_t kWholeBuffer = 40;
constexpr std::size_t kRealBuffer = 80;
constexpr std::size_t kDirectiveBuffer = 256;
constexpr std::size_t kMoneyBuffer = 32;

// A double carries at most 1074 decimals exactly (2^-1074); beyond that C
// prints only zeros. Larger precisions print these digits and no more, which
// keeps every text below 1400 characters.
constexpr int kMaxPrecision = 1074;

// The C formatting of `format`: first into a stack buffer of `Size` bytes,
// then, when the text is longer, into a string of the measured length. An
// encoding error of the C library gives an empty text.
template <std::size_t Size>
__attribute__((format(printf, 1, 2))) XVString cformat(const char* format, ...) {
    char buffer[Size];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(buffer, Size, format, args);
    va_end(args);
    XVString text;
    if (n >= 0 && static_cast<std::size_t>(n) < Size) {
        text.assign(buffer, static_cast<std::size_t>(n));
    } else if (n >= 0) {
        text.resize(static_cast<std::size_t>(n));
        std::vsnprintf(text.data(), text.size() + 1, format, again);
    }
    va_end(again);
    return text;
}

const char* weekdayName(int wday, const char* const (&names)[7]) {
    return wday >= 0 && wday <= 6 ? names[(wday + 6) % 7] : "";
}

const char* monthName(int mon, const char* const (&names)[12]) {
    return mon >= 0 && mon <= 11 ? names[mon] : "";
}

// The full year; 64-bit so that a tm_year of INT_MAX does not overflow.
long long fullYear(const tm* t) {
    return static_cast<long long>(t->tm_year) + 1900;
}

}  // namespace

XVString QNLocaleDefault::asString(const tm* t, char directive, const QNZone& zone) const {
    if (t == nullptr)
        return XVString();
    constexpr std::size_t N = kDirectiveBuffer;
    switch (directive) {
        case 'a':
            return weekdayName(t->tm_wday, kShortWeekdayNames);
        case 'A':
            return weekdayName(t->tm_wday, kWeekdayNames);
        case 'b':
            return monthName(t->tm_mon, kShortMonthNames);
        case 'B':
            return monthName(t->tm_mon, kMonthNames);
        case 'c':
            return asString(t, 'x', zone) + " " + asString(t, 'X', zone);
        case 'C': {
            // "%3s %3s %2d %02d:%02d:%02d %s %4d" with the zone text spliced in
            // as it is, so a name of any length is kept whole.
            XVString text = cformat<N>("%3s %3s %2d %02d:%02d:%02d ",
                                       weekdayName(t->tm_wday, kShortWeekdayNames),
                                       monthName(t->tm_mon, kShortMonthNames), t->tm_mday,
                                       t->tm_hour, t->tm_min, t->tm_sec);
            text += asString(t, 'Z', zone);
            text += cformat<N>(" %4lld", fullYear(t));
            return text;
        }
        case 'd':
            return cformat<N>("%02d", t->tm_mday);
        case 'H':
            return cformat<N>("%02d", t->tm_hour);
        case 'I': {
            const int hour = t->tm_hour % 12;
            return cformat<N>("%02d", hour == 0 ? 12 : hour);
        }
        case 'j':
            return cformat<N>("%03lld", static_cast<long long>(t->tm_yday) + 1);
        case 'm':
            return cformat<N>("%02lld", static_cast<long long>(t->tm_mon) + 1);
        case 'M':
            return cformat<N>("%02d", t->tm_min);
        case 'p':
            return t->tm_hour < 12 ? "am" : "pm";
        case 'S':
            return cformat<N>("%02d", t->tm_sec);
        case 'U': {
            const long long week = (static_cast<long long>(t->tm_yday) - t->tm_wday + 7) / 7;
            return cformat<N>("%02lld", week);
        }
        case 'w':
            return cformat<N>("%1d", t->tm_wday);
        case 'W': {
            const long long daysSinceMonday = (static_cast<long long>(t->tm_wday) + 6) % 7;
            const long long week = (t->tm_yday - daysSinceMonday + 7) / 7;
            return cformat<N>("%02lld", week);
        }
        case 'x': {
            const long long month = static_cast<long long>(t->tm_mon) + 1;
            if (t->tm_year >= 1 && t->tm_year <= 99) {
                return cformat<N>("%02lld/%02d/%02d", month, t->tm_mday, t->tm_year);
            }
            return cformat<N>("%02lld/%02d/%04lld", month, t->tm_mday, fullYear(t));
        }
        case 'X':
            return cformat<N>("%02d:%02d:%02d", t->tm_hour, t->tm_min, t->tm_sec);
        case 'y':
            return cformat<N>("%02lld", fullYear(t) % 100);
        case 'Y':
            return cformat<N>("%04lld", fullYear(t));
        case 'Z':
            if (t->tm_isdst == 0)
                return zone.timeZoneName();
            if (t->tm_isdst == 1)
                return zone.altZoneName();
            return XVString();
        default:
            return XVString();
    }
}

XVString QNLocaleDefault::asString(double value, int precision, bool showpoint) const {
    if (precision > kMaxPrecision)
        precision = kMaxPrecision;
    return showpoint ? cformat<kRealBuffer>("%#.*f", precision, value)
                     : cformat<kRealBuffer>("%.*f", precision, value);
}

XVString QNLocaleDefault::asString(unsigned long value) const {
    return cformat<kWholeBuffer>("%lu", value);
}

XVString QNLocaleDefault::asString(long value) const {
    return cformat<kWholeBuffer>("%ld", value);
}

XVString QNLocaleDefault::moneyAsString(double amount, CurrSymbol symbol) const {
    const bool negative = amount < 0;
    if (negative)
        amount = -amount;
    const char* currency = symbol == symbolLocal           ? "$"
                           : symbol == symbolInternational ? "USD "
                                                           : "";
    const char* open = negative ? "(" : "";
    const char* close = negative ? ")" : "";
    // The switch to the exponent form is decided on the count of hundredths.
    if (amount < 1e18) {
        return cformat<kMoneyBuffer>("%s%s%.2f%s", open, currency, amount * 0.01, close);
    }
    return cformat<kMoneyBuffer>("%s%s%.5e%s", open, currency, amount * 0.01, close);
}
