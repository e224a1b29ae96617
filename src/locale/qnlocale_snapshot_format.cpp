// QNLocaleSnapshot formatting: numbers, money and date directives, all from
// the captured conventions. Texts are built in fixed areas on the stack and
// move to the heap only when they outgrow them, so no result is ever cut
// short and nothing is written past an area.

#include <algorithm>
#include <array>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "debug_check.h"
#include "directives.h"
#include "snapshot_components.h"
#include "text_buffer.h"
#include "text_cursor.h"
#include "tm_fields.h"

namespace {

using namespace xvkit::locale;
using Conventions = QNLocaleSnapshot::Conventions;

// A text written from its last character towards its first, in an area
// whose size the caller computes in advance.
class BackwardText {
  public:
    explicit BackwardText(std::size_t capacity) {
        char* area = local_;
        if (capacity > sizeof local_) {
            heap_.resize(capacity);
            area = heap_.data();
        }
        end_ = area + capacity;
        begin_ = end_;
    }
    BackwardText(const BackwardText&) = delete;
    BackwardText& operator=(const BackwardText&) = delete;

    void put(char c) {
        XVKIT_DCHECK(begin_ > area());
        *--begin_ = c;
    }
    void put(const char* s, std::size_t n) {
        XVKIT_DCHECK(n <= static_cast<std::size_t>(begin_ - area()));
        begin_ -= n;
        std::memcpy(begin_, s, n);
    }
    void put(const XVString& s) { put(s.data(), s.size()); }
    const char* data() const { return begin_; }
    std::size_t size() const { return static_cast<std::size_t>(end_ - begin_); }

  private:
    const char* area() const { return heap_.empty() ? local_ : heap_.data(); }

    char local_[512];
    std::string heap_;
    char* begin_;
    char* end_;
};

// The most characters `n` characters take once grouped: a separator
// between every two of them.
std::size_t groupedBound(std::size_t n, const XVString& separator) {
    return n + (n > 0 ? n - 1 : 0) * separator.size();
}

// Writes `chars` (an optional '-' and digits) in front of `out`'s text,
// with `separator` wherever the group sizes of `grouping` fall: the low four
// bits of each byte (so 3 and '3' both mean 3, CHAR_MAX means 15), the last
// size repeating, 0 or an empty grouping meaning no groups. No separator
// ever follows the '-'.
void putGrouped(BackwardText& out, const char* chars, std::size_t n, const XVString& grouping,
                const XVString& separator) {
    const char* size = grouping.c_str();
    int sinceSeparator = 0;
    for (std::size_t i = n; i-- > 0;) {
        if (sinceSeparator > 0 && sinceSeparator == (*size & 15) && chars[i] != '-') {
            out.put(separator);
            sinceSeparator = 0;
            if (size[1] != '\0')
                ++size;
        }
        out.put(chars[i]);
        ++sinceSeparator;
    }
}

XVString groupedText(const char* chars, std::size_t n, const XVString& grouping,
                     const XVString& separator) {
    BackwardText out(groupedBound(n, separator));
    putGrouped(out, chars, n, grouping, separator);
    return XVString(out.data(), out.size());
}

// No double has more than 1074 digits after the point (2^-1074 has exactly
// that many); C would only add zeros.
constexpr int kMaxPrecision = 1074;

// The text of C's "%.*f" for `value` with a precision of 0..kMaxPrecision,
// in `area` or, when longer, in `spill`. Under the to-nearest rounding mode
// std::to_chars gives exactly C's digits in its "C" locale, without the
// runtime's locale or a format to parse; under any other mode only C itself
// follows the mode.
class FixedDigits {
  public:
    FixedDigits(double value, int precision) {
        XVKIT_DCHECK(precision >= 0 && precision <= kMaxPrecision);
        if (std::fegetround() == FE_TONEAREST) {
            const auto converted = std::to_chars(area_, area_ + sizeof area_, value,
                                                 std::chars_format::fixed, precision);
            // The area holds the longest text; a failure would leave nothing.
            if (converted.ec == std::errc())
                text_ = std::string_view(area_, static_cast<std::size_t>(converted.ptr - area_));
            return;
        }
        const int n = std::snprintf(area_, sizeof area_, "%.*f", precision, value);
        if (n < 0)
            return;
        if (static_cast<std::size_t>(n) < sizeof area_) {
            text_ = std::string_view(area_, static_cast<std::size_t>(n));
            return;
        }
        spill_.resize(static_cast<std::size_t>(n));
        std::snprintf(spill_.data(), spill_.size() + 1, "%.*f", precision, value);
        text_ = spill_;
    }
    FixedDigits(const FixedDigits&) = delete;
    FixedDigits& operator=(const FixedDigits&) = delete;

    std::string_view text() const { return text_; }

  private:
    // Sign, 309 digits of the largest double, point, decimals.
    char area_[1 + 309 + 1 + kMaxPrecision];
    std::string spill_;
    std::string_view text_;
};

// Moves `i` past the C runtime's decimal-point text in `s`, a multibyte
// character at a time (at least one byte each), up to the next digit.
std::size_t skipRuntimePoint(std::string_view s, std::size_t i) {
    std::mblen(nullptr, 0);
    while (i < s.size() && !isDigit(s[i])) {
        const int n = std::mblen(s.data() + i, std::min<std::size_t>(MB_CUR_MAX, s.size() - i));
        i += n > 1 ? static_cast<std::size_t>(n) : 1;
    }
    return std::min(i, s.size());
}

// Calls `sink(text, length)` with the fixed-point text of `value`: the
// digits of C's "%.*f", the integer part grouped, and `point` in place of
// the C text's decimal point (or where it would stand, with `showpoint` and
// no decimals). Whatever follows the integer digits up to the next digit
// counts as the C point: in "inf" and "nan" the letters do, so infinities
// and NaN give the sign (if any) and `point`.
template <class Sink>
void withRealText(double value, int precision, bool showpoint, const XVString& point,
                  const XVString& separator, const XVString& grouping, Sink&& sink) {
    if (precision < 0)
        precision = 6;
    if (precision > kMaxPrecision)
        precision = kMaxPrecision;
    const FixedDigits digits(value, precision);
    const char* const printed = digits.text().data();
    const std::size_t length = digits.text().size();

    std::size_t i = 0;
    if (i < length && printed[i] == '-')
        ++i;
    while (i < length && isDigit(printed[i]))
        ++i;
    const std::size_t integerLength = i;
    const bool hadPoint = i < length;
    i = skipRuntimePoint(digits.text(), i);
    const bool writePoint = hadPoint || showpoint;

    BackwardText out((length - i) + (writePoint ? point.size() : 0) +
                     groupedBound(integerLength, separator));
    out.put(printed + i, length - i);
    if (writePoint)
        out.put(point);
    putGrouped(out, printed, integerLength, grouping, separator);
    sink(out.data(), out.size());
}

// The number that `component` shows for `t`; kNoNumber for the components
// shown as text.
NumberField componentNumber(const tm* t, Component component) {
    switch (component) {
        case kYear:
            return {fullYear(t), 4};
        case kYearOfCentury:
            return {fullYear(t) % 100};
        case kDayOfYear:
            return {std::int64_t{t->tm_yday} + 1, 3};
        case kSecond:
            return {t->tm_sec};
        case kMinute:
            return {t->tm_min};
        case kHour12:
            return {t->tm_hour == 0   ? 12
                    : t->tm_hour > 12 ? std::int64_t{t->tm_hour} - 12
                                      : t->tm_hour};
        case kHour24:
            return {t->tm_hour};
        case kMonth:
        case kBlankFilledMonth:
            return {std::int64_t{t->tm_mon} + 1, 2, component == kMonth ? '0' : ' '};
        case kDay:
        case kBlankFilledDay:
            return {t->tm_mday, 2, component == kDay ? '0' : ' '};
        case kWeekFromSunday:
            return {weekOfYearFromSunday(t)};
        case kWeekFromMonday:
            return {weekOfYearFromMonday(t)};
        case kWeekdayNumber:
            return {t->tm_wday, 1};
        default:
            return kNoNumber;
    }
}

// The text that `component` shows for `t`: a captured name, the marker or
// the zone's name; nothing for a field outside its range or a component
// shown as a number.
void appendTextComponent(TextBuffer& out, const Conventions& c, const tm* t, Component component,
                         const QNZone& zone) {
    const bool monthOk = t->tm_mon >= 0 && t->tm_mon <= 11;
    const bool weekdayOk = t->tm_wday >= 0 && t->tm_wday <= 6;
    switch (component) {
        case kMonthName:
            if (monthOk)
                out.append(c.monthNames[t->tm_mon]);
            return;
        case kMonthAbb:
            if (monthOk)
                out.append(c.monthAbbs[t->tm_mon]);
            return;
        case kWeekdayName:
            if (weekdayOk)
                out.append(c.weekDays[t->tm_wday]);
            return;
        case kWeekdayAbb:
            if (weekdayOk)
                out.append(c.weekAbbs[t->tm_wday]);
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

// Date component `component` of `t`. Numbers are shown as unsigned 32-bit
// values, so any field value gives a defined text.
void appendComponent(TextBuffer& out, const Conventions& c, const tm* t, Component component,
                     const QNZone& zone) {
    const NumberField f = componentNumber(t, component);
    if (f.isNumber())
        out.appendDecimal(static_cast<std::uint32_t>(f.value), static_cast<std::size_t>(f.width),
                          f.fill);
    else
        appendTextComponent(out, c, t, component, zone);
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

// The component of each directive letter that names one; kNoComponent for
// every other character.
constexpr auto kComponentOf = [] {
    std::array<Component, 256> table{};
    table.fill(kNoComponent);
    for (int i = 0; i < kLetteredComponents; ++i)
        table[static_cast<unsigned char>(kComponentLetters[i])] = static_cast<Component>(i);
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

}  // namespace

XVString QNLocaleSnapshot::asString(unsigned long value) const {
    char digits[20];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return groupedText(digits, static_cast<std::size_t>(end - digits), c_.grouping,
                       c_.thousandsSep);
}

XVString QNLocaleSnapshot::asString(long value) const {
    char chars[21] = {'-'};
    const unsigned long magnitude =
        value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    const auto end = std::to_chars(chars + 1, chars + sizeof chars, magnitude).ptr;
    const char* first = value < 0 ? chars : chars + 1;
    return groupedText(first, static_cast<std::size_t>(end - first), c_.grouping, c_.thousandsSep);
}

XVString QNLocaleSnapshot::asString(double value, int precision, bool showpoint) const {
    XVString result;
    withRealText(value, precision, showpoint, c_.decimalPoint, c_.thousandsSep, c_.grouping,
                 [&result](const char* s, std::size_t n) { result.assign(s, n); });
    return result;
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
                withRealText(std::fabs(amount) / style.scale, style.digits, false,
                             c_.monDecimalPoint, c_.monThousandsSep, c_.monGrouping,
                             [&out](const char* s, std::size_t n) { out.append(s, n); });
                break;
            default:
                break;
        }
    }
    if (style.pattern[0] == '(')
        out.append(')');
    return out.take();
}

void xvkit::locale::appendSnapshotDirective(TextBuffer& out, const Conventions& c, const tm* t,
                                            char directive, const QNZone& zone) {
    XVKIT_DCHECK(t != nullptr);
    switch (directive) {
        case 'X':
            appendLayout(out, c, c.textForX, c.listForX, t, zone);
            break;
        case 'x':
            appendLayout(out, c, c.textForx, c.listForx, t, zone);
            break;
        case 'c':
            appendLayout(out, c, c.textForc, c.listForc, t, zone);
            break;
        case 'C':
            appendLayout(out, c, c.textForC, c.listForC, t, zone);
            break;
        default:
            // Every component letter is a directive of its own.
            appendComponent(out, c, t, kComponentOf[static_cast<unsigned char>(directive)], zone);
            break;
    }
}

XVString QNLocaleSnapshot::asString(const tm* t, char directive, const QNZone& zone) const {
    TextBuffer out;
    if (t != nullptr)
        appendSnapshotDirective(out, c_, t, directive, zone);
    return out.take();
}
