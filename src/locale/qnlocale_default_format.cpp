// Formatting of the built-in English locale: directives, numbers and money.
//
// Every text is exactly what its fixed C format ("%02d", "%.*f", ...) gives.
// Whole numbers and the number fields of the directives are written directly
// (the C integer formats do not depend on the locale); real numbers go
// through std::to_chars, which rounds as C does, with the C runtime's
// current decimal point put in. Texts that do not fit a working buffer (long
// zone names, many decimals, 1e308) and states the fast paths do not cover
// (a rounding mode other than to-nearest) fall back to the C formatting into
// a buffer of the measured size, so results are never cut short and nothing
// is written past a buffer.
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <langinfo.h>

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "qnlocale_default_names.h"

namespace {

using namespace xvkit_locale;

// Usual working sizes, terminating NUL included.
constexpr std::size_t kRealBuffer = 80;
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

// A short text assembled in a fixed array. Directives write at most four
// names of up to 9 letters and five numbers of up to 20 characters plus a
// few separators, far below the capacity; `put` still refuses to write past
// the end, so the bound is checked rather than assumed.
class Line {
  public:
    void put(char c) {
        if (size_ < sizeof text_)
            text_[size_++] = c;
    }
    void put(std::string_view s) {
        for (char c : s)
            put(c);
    }
    // The C format "%0*lld" (`fill` '0') or "%*lld" (`fill` ' ') of `value`.
    void number(long long value, int width, char fill) {
        char digits[20];
        const unsigned long long magnitude = value < 0
                                                 ? 0ULL - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
        const char* const end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
        const int length = static_cast<int>(end - digits) + (value < 0 ? 1 : 0);
        if (fill == ' ') {
            for (int i = length; i < width; ++i)
                put(' ');
        }
        if (value < 0)
            put('-');
        if (fill == '0') {
            for (int i = length; i < width; ++i)
                put('0');
        }
        put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    // "%3s" of a name: right-aligned in three columns.
    void name3(std::string_view name) {
        for (std::size_t i = name.size(); i < 3; ++i)
            put(' ');
        put(name);
    }

    XVString text() const { return XVString(text_, size_); }

  private:
    char text_[128];
    std::size_t size_ = 0;
};

XVString toText(std::string_view s) {
    return XVString(s.data(), s.size());
}

XVString zeroFilled(long long value, int width) {
    Line line;
    line.number(value, width, '0');
    return line.text();
}

std::string_view weekdayName(int wday, const std::string_view (&names)[7]) {
    return wday >= 0 && wday <= 6 ? names[(wday + 6) % 7] : std::string_view();
}

std::string_view monthName(int mon, const std::string_view (&names)[12]) {
    return mon >= 0 && mon <= 11 ? names[mon] : std::string_view();
}

// The full year; 64-bit so that a tm_year of INT_MAX does not overflow.
long long fullYear(const tm* t) {
    return static_cast<long long>(t->tm_year) + 1900;
}

// The C formatting "%.*f" (or "%#.*f" when `showpoint`) of `value` with a
// precision of 0..kMaxPrecision, written into `out`; false when the text does
// not fit in `size` bytes or the rounding mode is not to-nearest, which is
// the only one std::to_chars follows.
bool fixedText(double value, int precision, bool showpoint, char* out, std::size_t size,
               std::size_t* length) {
    if (std::fegetround() != FE_TONEAREST)
        return false;
    const auto [end, error] =
        std::to_chars(out, out + size, value, std::chars_format::fixed, precision);
    if (error != std::errc())
        return false;
    std::size_t n = static_cast<std::size_t>(end - out);
    char* point = static_cast<char*>(std::memchr(out, '.', n));
    if (point == nullptr && showpoint && std::isfinite(value)) {
        point = end;  // "%#.0f" keeps the point
        ++n;
    }
    if (point != nullptr) {
        // The C runtime's decimal point (LC_NUMERIC), which may be longer
        // than one byte.
        const std::string_view radix = nl_langinfo(RADIXCHAR);
        const std::size_t tail = n - static_cast<std::size_t>(point + 1 - out);
        if (n - 1 + radix.size() > size)
            return false;
        std::memmove(point + radix.size(), point + 1, tail);
        std::memcpy(point, radix.data(), radix.size());
        n = n - 1 + radix.size();
    }
    *length = n;
    return true;
}

}  // namespace

XVString QNLocaleDefault::asString(const tm* t, char directive, const QNZone& zone) const {
    if (t == nullptr)
        return XVString();
    Line line;
    switch (directive) {
        case 'a':
            return toText(weekdayName(t->tm_wday, kShortWeekdayNames));
        case 'A':
            return toText(weekdayName(t->tm_wday, kWeekdayNames));
        case 'b':
            return toText(monthName(t->tm_mon, kShortMonthNames));
        case 'B':
            return toText(monthName(t->tm_mon, kMonthNames));
        case 'c': {
            XVString text = asString(t, 'x', zone);
            text += ' ';
            text += asString(t, 'X', zone);
            return text;
        }
        case 'C': {
            // "%3s %3s %2d %02d:%02d:%02d %s %4d" with the zone text spliced in
            // as it is, so a name of any length is kept whole.
            line.name3(weekdayName(t->tm_wday, kShortWeekdayNames));
            line.put(' ');
            line.name3(monthName(t->tm_mon, kShortMonthNames));
            line.put(' ');
            line.number(t->tm_mday, 2, ' ');
            line.put(' ');
            line.number(t->tm_hour, 2, '0');
            line.put(':');
            line.number(t->tm_min, 2, '0');
            line.put(':');
            line.number(t->tm_sec, 2, '0');
            line.put(' ');
            XVString text = line.text();
            text += asString(t, 'Z', zone);
            Line year;
            year.put(' ');
            year.number(fullYear(t), 4, ' ');
            text += year.text();
            return text;
        }
        case 'd':
            return zeroFilled(t->tm_mday, 2);
        case 'H':
            return zeroFilled(t->tm_hour, 2);
        case 'I': {
            const int hour = t->tm_hour % 12;
            return zeroFilled(hour == 0 ? 12 : hour, 2);
        }
        case 'j':
            return zeroFilled(static_cast<long long>(t->tm_yday) + 1, 3);
        case 'm':
            return zeroFilled(static_cast<long long>(t->tm_mon) + 1, 2);
        case 'M':
            return zeroFilled(t->tm_min, 2);
        case 'p':
            return XVString(t->tm_hour < 12 ? "am" : "pm");
        case 'S':
            return zeroFilled(t->tm_sec, 2);
        case 'U':
            return zeroFilled((static_cast<long long>(t->tm_yday) - t->tm_wday + 7) / 7, 2);
        case 'w':
            return zeroFilled(t->tm_wday, 1);
        case 'W': {
            const long long daysSinceMonday = (static_cast<long long>(t->tm_wday) + 6) % 7;
            return zeroFilled((t->tm_yday - daysSinceMonday + 7) / 7, 2);
        }
        case 'x':
            line.number(static_cast<long long>(t->tm_mon) + 1, 2, '0');
            line.put('/');
            line.number(t->tm_mday, 2, '0');
            line.put('/');
            if (t->tm_year >= 1 && t->tm_year <= 99) {
                line.number(t->tm_year, 2, '0');
            } else {
                line.number(fullYear(t), 4, '0');
            }
            return line.text();
        case 'X':
            line.number(t->tm_hour, 2, '0');
            line.put(':');
            line.number(t->tm_min, 2, '0');
            line.put(':');
            line.number(t->tm_sec, 2, '0');
            return line.text();
        case 'y':
            return zeroFilled(fullYear(t) % 100, 2);
        case 'Y':
            return zeroFilled(fullYear(t), 4);
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
    if (precision < 0)
        precision = 6;  // as C takes a negative precision
    if (precision > kMaxPrecision)
        precision = kMaxPrecision;
    char buffer[kRealBuffer];
    std::size_t length = 0;
    if (fixedText(value, precision, showpoint, buffer, sizeof buffer, &length))
        return XVString(buffer, length);
    return showpoint ? cformat<kRealBuffer>("%#.*f", precision, value)
                     : cformat<kRealBuffer>("%.*f", precision, value);
}

XVString QNLocaleDefault::asString(unsigned long value) const {
    char buffer[20];  // a 64-bit number has at most 20 characters, its sign included
    const char* const end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return XVString(buffer, static_cast<std::size_t>(end - buffer));
}

XVString QNLocaleDefault::asString(long value) const {
    char buffer[20];  // a 64-bit number has at most 20 characters, its sign included
    const char* const end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return XVString(buffer, static_cast<std::size_t>(end - buffer));
}

XVString QNLocaleDefault::moneyAsString(double amount, CurrSymbol symbol) const {
    const bool negative = amount < 0;
    // Negative amounts are shown by the parentheses alone: a negative zero or
    // a NaN with its sign bit set prints no minus sign either.
    amount = std::fabs(amount);
    const std::string_view currency = symbol == symbolLocal           ? "$"
                                      : symbol == symbolInternational ? "USD "
                                                                      : "";
    const char* open = negative ? "(" : "";
    const char* close = negative ? ")" : "";
    // The switch to the exponent form is decided on the count of hundredths.
    if (amount < 1e18) {
        char text[kMoneyBuffer];
        std::size_t length = 0;
        if (negative)
            text[length++] = '(';
        currency.copy(text + length, currency.size());
        length += currency.size();
        std::size_t number = 0;
        // Below 1e16 units the number has at most 17 digits, a point and two
        // decimals, so the whole text fits.
        if (fixedText(amount * 0.01, 2, false, text + length, sizeof text - length - 1, &number)) {
            length += number;
            if (negative)
                text[length++] = ')';
            return XVString(text, length);
        }
        return cformat<kMoneyBuffer>("%s%s%.2f%s", open, currency.data(), amount * 0.01, close);
    }
    return cformat<kMoneyBuffer>("%s%s%.5e%s", open, currency.data(), amount * 0.01, close);
}
