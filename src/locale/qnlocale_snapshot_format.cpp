// QNLocaleSnapshot formatting: numbers, money and date directives, all from
// the captured conventions, each built in one growing text buffer.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "debug_check.h"
#include "digit_grouping.h"
#include "directives.h"
#include "fixed_point.h"
#include "format_expansion.h"
#include "snapshot_components.h"
#include "text_buffer.h"
#include "text_cursor.h"
#include "tm_fields.h"

namespace {

using namespace xvkit::locale;
using Conventions = QNLocaleSnapshot::Conventions;

// Moves `i` past the C runtime's decimal-point text in `s`, a multibyte
// character at a time (at least one byte each), up to the next digit.
std::size_t skipRuntimePoint(std::string_view s, std::size_t i) {
    // The usual point, '.' before the decimals, is one character in every
    // multibyte encoding: no need to ask mblen.
    if (i < s.size() && s[i] == '.' && (i + 1 == s.size() || isDigit(s[i + 1])))
        return i + 1;
    std::mblen(nullptr, 0);
    while (i < s.size() && !isDigit(s[i])) {
        const int n = std::mblen(s.data() + i, std::min<std::size_t>(MB_CUR_MAX, s.size() - i));
        i += n > 1 ? static_cast<std::size_t>(n) : 1;
    }
    return std::min(i, s.size());
}

// Appends the fixed-point text of `value`: the digits of C's "%.*f", the
// integer part grouped, and `point` in place of the C text's decimal point
// (or where it would stand, with `showpoint` and no decimals). Whatever
// follows the integer digits up to the next digit counts as the C point: in
// "inf" and "nan" the letters do, so infinities and NaN give the sign (if
// any) and `point`.
void appendReal(TextBuffer& out, double value, int precision, bool showpoint, const XVString& point,
                const DigitGrouping& grouping) {
    TextBuffer printed;
    appendFixed(printed, value, fixedPrecision(precision), false);
    const std::string_view text = printed.view();
    const bool negative = !text.empty() && text[0] == '-';
    std::size_t i = negative ? 1 : 0;
    const std::size_t integerFrom = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    const std::string_view integer = text.substr(integerFrom, i - integerFrom);
    const bool hadPoint = i < text.size();
    i = skipRuntimePoint(text, i);
    if (negative)
        out.append('-');
    grouping.append(out, integer);
    if (hadPoint || showpoint)
        out.append(point);
    out.append(text.substr(i));
}

// Appends the decimal digits of `magnitude`, grouped, after a '-' when
// `negative` (never a separator after it).
void appendGroupedWhole(TextBuffer& out, unsigned long magnitude, bool negative,
                        const DigitGrouping& grouping) {
    char digits[20];  // a 64-bit number has at most 20 digits
    const char* const end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    if (negative)
        out.append('-');
    grouping.append(out, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

// Appends `value` as an unsigned 32-bit number, so that any field value
// gives a defined text, filled to `width` with `fill`.
void appendField(TextBuffer& out, std::int64_t value, std::size_t width, char fill) {
    out.appendDecimal(static_cast<std::uint32_t>(value), width, fill);
}

// Appends `names[index]`, or nothing when `index` is outside 0..`count` - 1.
template <std::size_t count>
void appendName(TextBuffer& out, const XVString (&names)[count], int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < count)
        out.append(names[index]);
}

// Date component `component` of `t`: a number, a captured name, the marker
// or the zone's name. One case per component: the expansion calls this for
// every directive.
void appendComponent(TextBuffer& out, const Conventions& c, const tm* t, Component component,
                     const QNZone& zone) {
    switch (component) {
        case kYear:
            appendField(out, fullYear(t), 4, '0');
            return;
        case kYearOfCentury:
            appendField(out, fullYear(t) % 100, 2, '0');
            return;
        case kDayOfYear:
            appendField(out, std::int64_t{t->tm_yday} + 1, 3, '0');
            return;
        case kSecond:
            appendField(out, t->tm_sec, 2, '0');
            return;
        case kMinute:
            appendField(out, t->tm_min, 2, '0');
            return;
        case kHour12:
            appendField(out,
                        t->tm_hour == 0   ? 12
                        : t->tm_hour > 12 ? std::int64_t{t->tm_hour} - 12
                                          : t->tm_hour,
                        2, '0');
            return;
        case kHour24:
            appendField(out, t->tm_hour, 2, '0');
            return;
        case kMonth:
            appendField(out, std::int64_t{t->tm_mon} + 1, 2, '0');
            return;
        case kBlankFilledMonth:
            appendField(out, std::int64_t{t->tm_mon} + 1, 2, ' ');
            return;
        case kDay:
            appendField(out, t->tm_mday, 2, '0');
            return;
        case kBlankFilledDay:
            appendField(out, t->tm_mday, 2, ' ');
            return;
        case kWeekFromSunday:
            appendField(out, weekOfYearFromSunday(t), 2, '0');
            return;
        case kWeekFromMonday:
            appendField(out, weekOfYearFromMonday(t), 2, '0');
            return;
        case kWeekdayNumber:
            appendField(out, t->tm_wday, 1, '0');
            return;
        case kMonthName:
            appendName(out, c.monthNames, t->tm_mon);
            return;
        case kMonthAbb:
            appendName(out, c.monthAbbs, t->tm_mon);
            return;
        case kWeekdayName:
            appendName(out, c.weekDays, t->tm_wday);
            return;
        case kWeekdayAbb:
            appendName(out, c.weekAbbs, t->tm_wday);
            return;
        case kMarker:
            out.append(t->tm_hour < 12 ? c.am : c.pm);
            return;
        case kZoneName:
            appendZoneName(out, t, zone);
            return;
        default:
            return;
    }
}

// The literal `text` with each component of `list` inserted at its position.
void appendLayout(TextBuffer& out, const Conventions& c, const XVString& text,
                  const QNTimeFmtList* list, const tm* t, const QNZone& zone) {
    std::size_t copied = 0;
    for (; list; list = list->next) {
        if (list->position > 0) {
            const auto upTo = std::min(text.size(), static_cast<std::size_t>(list->position));
            if (upTo > copied) {
                out.append(text.data() + copied, upTo - copied);
                copied = upTo;
            }
        }
        appendComponent(out, c, t, static_cast<Component>(list->component), zone);
    }
    out.append(text.data() + copied, text.size() - copied);
}

// What each directive letter writes: a component (its number), a layout
// (kLayoutDirective + its index in kLayouts), or nothing (kNoComponent).
constexpr int kLayoutDirective = kComponentCount;
constexpr auto kDirectiveOf = [] {
    std::array<int, 256> table{};
    table.fill(kNoComponent);
    for (int i = 0; i < kLetteredComponents; ++i)
        table[static_cast<unsigned char>(kComponentLetters[i])] = i;
    for (int i = 0; i < static_cast<int>(std::size(kLayouts)); ++i)
        table[static_cast<unsigned char>(kLayouts[i].letter)] = kLayoutDirective + i;
    return table;
}();

// How an amount of one sign is written with one currency symbol.
struct MoneyStyle {
    const char* pattern;
    std::string_view currency;
    std::string_view sign;
    bool blank;    // whether the pattern's ' ' is written
    int digits;    // decimals
    double scale;  // the amount's units per currency unit
};

// The style of a positive or `negative` amount with `symbol`: the
// international symbol has a fixed pattern, the others the captured ones.
MoneyStyle moneyStyle(const Conventions& c, QNLocale::CurrSymbol symbol, bool negative) {
    if (symbol == QNLocale::symbolInternational) {
        return {.pattern = "$-m ",
                .currency = c.intCurrSymbol,
                .sign = negative ? "-" : "",
                .blank = false,
                .digits = c.intFracDigits,
                .scale = c.intFracScale};
    }
    return {.pattern = negative ? c.moneyNegPattern : c.moneyPosPattern,
            .currency = symbol == QNLocale::symbolLocal ? std::string_view(c.currencySymbol)
                                                        : std::string_view(),
            .sign = negative ? c.negativeSign : c.positiveSign,
            .blank = (negative ? c.nSepBySpace : c.pSepBySpace) != 0,
            .digits = c.fracDigits,
            .scale = c.fracScale};
}

// The text of `directive` for `t` (not null).
void appendSnapshotDirective(TextBuffer& out, const Conventions& c, const tm* t, char directive,
                             const QNZone& zone) {
    XVKIT_DCHECK(t != nullptr);
    const int what = kDirectiveOf[static_cast<unsigned char>(directive)];
    if (what >= kLayoutDirective) {
        const LayoutSlot& layout = kLayouts[what - kLayoutDirective];
        appendLayout(out, c, c.*layout.text, c.*layout.list, t, zone);
    } else {
        appendComponent(out, c, t, static_cast<Component>(what), zone);
    }
}

}  // namespace

XVString QNLocaleSnapshot::asString(unsigned long value) const {
    TextBuffer out;
    appendGroupedWhole(out, value, false, DigitGrouping(c_.grouping, c_.thousandsSep));
    return out.take();
}

XVString QNLocaleSnapshot::asString(long value) const {
    const unsigned long magnitude =
        value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    TextBuffer out;
    appendGroupedWhole(out, magnitude, value < 0, DigitGrouping(c_.grouping, c_.thousandsSep));
    return out.take();
}

XVString QNLocaleSnapshot::asString(double value, int precision, bool showpoint) const {
    TextBuffer out;
    appendReal(out, value, precision, showpoint, c_.decimalPoint,
               DigitGrouping(c_.grouping, c_.thousandsSep));
    return out.take();
}

XVString QNLocaleSnapshot::moneyAsString(double amount, CurrSymbol symbol) const {
    const MoneyStyle style = moneyStyle(c_, symbol, amount < 0);
    // The pieces in pattern order: the text reads as the pattern does.
    TextBuffer out;
    for (int i = 0; i < kMoneyPatternLength; ++i) {
        switch (style.pattern[i]) {
            case ' ':
                if (style.blank)
                    out.append(' ');
                break;
            case '$':
                out.append(style.currency);
                break;
            case '(':
                out.append('(');
                break;
            case '-':
                out.append(style.sign);
                break;
            case 'm':
                appendReal(out, std::fabs(amount) / style.scale, style.digits, false,
                           c_.monDecimalPoint, DigitGrouping(c_.monGrouping, c_.monThousandsSep));
                break;
            default:
                break;
        }
    }
    if (style.pattern[0] == '(')
        out.append(')');
    return out.take();
}

// Flattened: the directive writer inlined into the walk, once per directive.
[[gnu::flatten]] XVString xvkit::locale::expandSnapshot(const Conventions& c, const char* format,
                                                        const tm* t, const QNZone& zone) {
    return expand(format,
                  [&](TextBuffer& out, char d) { appendSnapshotDirective(out, c, t, d, zone); });
}

XVString QNLocaleSnapshot::asString(const tm* t, char directive, const QNZone& zone) const {
    TextBuffer out;
    if (t != nullptr)
        appendSnapshotDirective(out, c_, t, directive, zone);
    return out.take();
}
