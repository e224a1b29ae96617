// Formatting of the built-in English locale: directives, numbers and money.
//
// Every text is exactly what its fixed C format ("%02d", "%.*f", ...) gives.
// Whole numbers and the number fields of the directives are written directly
// (the C integer formats do not depend on the locale); real numbers go
// through the fixed-point writer, with the C runtime's current decimal point.
// Every text is built in one growing buffer, so none is ever cut short.
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "debug_check.h"
#include "directives.h"
#include "fixed_point.h"
#include "format_expansion.h"
#include "qnlocale_default_names.h"
#include "text_buffer.h"
#include "tm_fields.h"

namespace {

using namespace xvkit::locale;

// Money amounts of this many hundredths and more are shown in exponent form.
constexpr double kExponentFormFrom = 1e18;

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

// Appends the text of `directive` for `t` (not null). The composites 'c'
// ('x' and 'X') and 'C' (with 'Z') take those parts from `self`'s directive
// operation when `self` is given, so that a derived locale's override shows
// in them; with null they are written directly.
void appendEnglishDirective(TextBuffer& out, const tm* t, char directive, const QNZone& zone,
                            const QNLocale* self);

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

void appendEnglishDirective(TextBuffer& out, const tm* t, char directive, const QNZone& zone,
                            const QNLocale* self) {
    XVKIT_DCHECK(t != nullptr);
    // One case per directive: the expansion calls this for every one.
    switch (directive) {
        case 'a':
            out.append(weekdayName(t->tm_wday, kShortWeekdayNames));
            return;
        case 'A':
            out.append(weekdayName(t->tm_wday, kWeekdayNames));
            return;
        case 'b':
            out.append(monthName(t->tm_mon, kShortMonthNames));
            return;
        case 'B':
            out.append(monthName(t->tm_mon, kMonthNames));
            return;
        case 'c':
        case 'C':
            appendEnglishComposite(out, t, directive, zone, self);
            return;
        case 'd':
            out.appendDecimal(t->tm_mday, 2, '0');
            return;
        case 'H':
            out.appendDecimal(t->tm_hour, 2, '0');
            return;
        case 'I':
            out.appendDecimal(t->tm_hour % 12 == 0 ? 12 : t->tm_hour % 12, 2, '0');
            return;
        case 'j':
            out.appendDecimal(std::int64_t{t->tm_yday} + 1, 3, '0');
            return;
        case 'm':
            out.appendDecimal(std::int64_t{t->tm_mon} + 1, 2, '0');
            return;
        case 'M':
            out.appendDecimal(t->tm_min, 2, '0');
            return;
        case 'p':
            out.append(t->tm_hour < 12 ? "am" : "pm");
            return;
        case 'S':
            out.appendDecimal(t->tm_sec, 2, '0');
            return;
        case 'U':
            out.appendDecimal(weekOfYearFromSunday(t), 2, '0');
            return;
        case 'w':
            out.appendDecimal(t->tm_wday, 1, '0');
            return;
        case 'W':
            out.appendDecimal(weekOfYearFromMonday(t), 2, '0');
            return;
        case 'x':
            appendEnglishDate(out, t);
            return;
        case 'X':
            appendClock(out, t);
            return;
        case 'y':
            out.appendDecimal(fullYear(t) % 100, 2, '0');
            return;
        case 'Y':
            out.appendDecimal(fullYear(t), 4, '0');
            return;
        case 'Z':
            appendZoneName(out, t, zone);
            return;
        default:
            return;
    }
}

}  // namespace

// Flattened: the directive writer inlined into the walk, once per directive.
[[gnu::flatten]] XVString xvkit::locale::expandEnglish(const char* format, const tm* t,
                                                       const QNZone& zone) {
    return expand(
        format, [&](TextBuffer& out, char d) { appendEnglishDirective(out, t, d, zone, nullptr); });
}

XVString QNLocaleDefault::asString(const tm* t, char directive, const QNZone& zone) const {
    TextBuffer out;
    if (t != nullptr) {
        appendEnglishDirective(out, t, directive, zone,
                               hasEnglishDirectives(*this) ? nullptr : this);
    }
    return out.take();
}

XVString QNLocaleDefault::asString(double value, int precision, bool showpoint) const {
    TextBuffer out;
    appendFixed(out, value, fixedPrecision(precision), showpoint);
    return out.take();
}

XVString QNLocaleDefault::asString(unsigned long value) const {
    TextBuffer out;
    out.appendUnsigned(value);
    return out.take();
}

XVString QNLocaleDefault::asString(long value) const {
    TextBuffer out;
    out.appendDecimal(value, 1, '0');
    return out.take();
}

XVString QNLocaleDefault::moneyAsString(double amount, CurrSymbol symbol) const {
    // Negative amounts are shown by the parentheses alone: a negative zero or
    // a NaN with its sign bit set prints no minus sign either.
    const bool negative = amount < 0;
    amount = std::fabs(amount);
    TextBuffer out;
    if (negative)
        out.append('(');
    out.append(symbol == symbolLocal ? "$" : symbol == symbolInternational ? "USD " : "");
    // The switch to the exponent form is decided on the count of hundredths.
    if (amount < kExponentFormFrom)
        appendFixed(out, amount * 0.01, 2, false);
    else
        out.appendFormatted("%.5e", amount * 0.01);
    if (negative)
        out.append(')');
    return out.take();
}
