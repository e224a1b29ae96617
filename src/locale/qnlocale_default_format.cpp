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
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "debug_check.h"
#include "directives.h"
#include "qnlocale_default_names.h"
#include "text_buffer.h"
#include "tm_fields.h"

namespace {

using namespace xvkit::locale;

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

std::string_view weekdayName(int wday, const std::string_view (&names)[7]) {
    return wday >= 0 && wday <= 6 ? names[(wday + 6) % 7] : std::string_view();
}

std::string_view monthName(int mon, const std::string_view (&names)[12]) {
    return mon >= 0 && mon <= 11 ? names[mon] : std::string_view();
}

// "%02d:%02d:%02d" of the hour, minute and second.
void appendClock(TextBuffer& out, const tm* t) {
    out.appendDecimal(t->tm_hour, 2, '0');
    out.append(':');
    out.appendDecimal(t->tm_min, 2, '0');
    out.append(':');
    out.appendDecimal(t->tm_sec, 2, '0');
}

// The C formatting "%.*f" (or "%#.*f" when `showpoint`) of `value` with a
// precision of 0..kMaxPrecision, written into `out`; false when the text does
// not fit in `size` bytes or the rounding mode is not to-nearest, which is
// the only one std::to_chars follows.
bool fixedText(double value, int precision, bool showpoint, char* out, std::size_t size,
               std::size_t* length) {
    XVKIT_DCHECK(precision >= 0 && precision <= kMaxPrecision);
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

// The number that directive `d` shows for `t`; kNoNumber for the
// directives shown as text.
NumberField englishNumber(const tm* t, char d) {
    switch (d) {
        case 'd':
            return {t->tm_mday};
        case 'H':
            return {t->tm_hour};
        case 'I':
            return {t->tm_hour % 12 == 0 ? 12 : t->tm_hour % 12};
        case 'j':
            return {std::int64_t{t->tm_yday} + 1, 3};
        case 'm':
            return {std::int64_t{t->tm_mon} + 1};
        case 'M':
            return {t->tm_min};
        case 'S':
            return {t->tm_sec};
        case 'U':
            return {weekOfYearFromSunday(t)};
        case 'w':
            return {t->tm_wday, 1};
        case 'W':
            return {weekOfYearFromMonday(t)};
        case 'y':
            return {fullYear(t) % 100};
        case 'Y':
            return {fullYear(t), 4};
        default:
            return kNoNumber;
    }
}

// The text of a name directive: 'a', 'A', 'b', 'B', 'p' or 'Z'.
void appendEnglishName(TextBuffer& out, const tm* t, char d, const QNZone& zone) {
    switch (d) {
        case 'a':
            out.append(weekdayName(t->tm_wday, kShortWeekdayNames));
            break;
        case 'A':
            out.append(weekdayName(t->tm_wday, kWeekdayNames));
            break;
        case 'b':
            out.append(monthName(t->tm_mon, kShortMonthNames));
            break;
        case 'B':
            out.append(monthName(t->tm_mon, kMonthNames));
            break;
        case 'p':
            out.append(t->tm_hour < 12 ? "am" : "pm");
            break;
        case 'Z':
            appendZoneName(out, t, zone);
            break;
        default:
            break;
    }
}

// "%3s" of a name: right-aligned in three columns.
void appendName3(TextBuffer& out, std::string_view name) {
    out.append(' ', name.size() < 3 ? 3 - name.size() : 0);
    out.append(name);
}

// "%02d/%02d/%02d" of month, day and year of the century for the years 1901
// to 1999, with the year in full ("%04d") otherwise.
void appendEnglishDate(TextBuffer& out, const tm* t) {
    out.appendDecimal(static_cast<long long>(t->tm_mon) + 1, 2, '0');
    out.append('/');
    out.appendDecimal(t->tm_mday, 2, '0');
    out.append('/');
    if (t->tm_year >= 1 && t->tm_year <= 99)
        out.appendDecimal(t->tm_year, 2, '0');
    else
        out.appendDecimal(fullYear(t), 4, '0');
}

// A composite directive, 'c' ('x' and 'X') or 'C' (with 'Z'): its parts come
// from `self`'s directive operation when given, so that a derived locale's
// override shows in them.
void appendEnglishComposite(TextBuffer& out, const tm* t, char d, const QNZone& zone,
                            const QNLocale* self) {
    const auto part = [&](char p) {
        if (self != nullptr)
            out.append(self->asString(t, p, zone));
        else
            appendEnglishDirective(out, t, p, zone, nullptr);
    };
    if (d == 'c') {
        part('x');
        out.append(' ');
        part('X');
        return;
    }
    // "%3s %3s %2d %02d:%02d:%02d %s %4d" with the zone text spliced in as
    // it is, so a name of any length is kept whole.
    appendName3(out, weekdayName(t->tm_wday, kShortWeekdayNames));
    out.append(' ');
    appendName3(out, monthName(t->tm_mon, kShortMonthNames));
    out.append(' ');
    out.appendDecimal(t->tm_mday, 2, ' ');
    out.append(' ');
    appendClock(out, t);
    out.append(' ');
    part('Z');
    out.append(' ');
    out.appendDecimal(fullYear(t), 4, ' ');
}

}  // namespace

void xvkit::locale::appendEnglishDirective(TextBuffer& out, const tm* t, char directive,
                                           const QNZone& zone, const QNLocale* self) {
    XVKIT_DCHECK(t != nullptr);
    const NumberField f = englishNumber(t, directive);
    if (f.isNumber())
        out.appendDecimal(f.value, static_cast<std::size_t>(f.width), f.fill);
    else if (directive == 'x')
        appendEnglishDate(out, t);
    else if (directive == 'X')
        appendClock(out, t);
    else if (directive == 'c' || directive == 'C')
        appendEnglishComposite(out, t, directive, zone, self);
    else
        appendEnglishName(out, t, directive, zone);
}

XVString QNLocaleDefault::asString(const tm* t, char directive, const QNZone& zone) const {
    TextBuffer out;
    if (t != nullptr) {
        appendEnglishDirective(out, t, directive, zone,
                               isExactly<QNLocaleDefault>(*this) ? nullptr : this);
    }
    return out.take();
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
