// QNLocaleSnapshot formatting: numbers, money and date directives, all from
// the captured conventions. Texts are built in growing strings, so no result
// is ever cut short.

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Inserts `separator` into `integer` (an optional '-' and digits) as the
// byte group sizes of `grouping` say; the last size repeats, an empty
// grouping means none, and only the low four bits of a size count.
std::string group(const std::string& integer, const XVString& grouping, const XVString& separator) {
    std::string reversed;
    std::size_t g = 0;
    int sinceSeparator = 0;
    for (std::size_t i = integer.size(); i-- > 0;) {
        const char c = integer[i];
        const int size = g < grouping.size() ? (grouping[g] & 15) : 0;
        if (!reversed.empty() && sinceSeparator == size && c != '-') {
            reversed.append(separator.rbegin(), separator.rend());
            sinceSeparator = 0;
            if (g + 1 < grouping.size())
                ++g;
        }
        reversed.push_back(c);
        ++sinceSeparator;
    }
    return std::string(reversed.rbegin(), reversed.rend());
}

// Fixed-point text of `value` with the given point, separator and grouping
// in place of the C runtime's own decimal point.
std::string realText(double value, int precision, bool showpoint, const XVString& point,
                     const XVString& separator, const XVString& grouping) {
    const int needed = std::snprintf(nullptr, 0, "%.*f", precision, value);
    if (needed < 0)
        return std::string();
    std::string printed(static_cast<std::size_t>(needed) + 1, '\0');
    // The buffer was measured above; GCC's truncation check cannot see that.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
    std::snprintf(printed.data(), printed.size(), "%.*f", precision, value);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    printed.resize(static_cast<std::size_t>(needed));

    std::size_t i = 0;
    if (i < printed.size() && printed[i] == '-')
        ++i;
    while (i < printed.size() && isDigit(printed[i]))
        ++i;
    const std::string integer = printed.substr(0, i);
    const bool hadPoint = i < printed.size();
    mblen(nullptr, 0);
    while (i < printed.size() && !isDigit(printed[i])) {
        const int step = mblen(printed.c_str() + i, MB_CUR_MAX);
        i += step > 0 ? static_cast<std::size_t>(step) : 1;
    }
    std::string result = group(integer, grouping, separator);
    if (hadPoint || showpoint)
        result += point;
    if (i < printed.size())
        result.append(printed, i, std::string::npos);
    return result;
}

std::string unsignedDigits(std::uint32_t value) {
    return std::to_string(value);
}

}  // namespace

XVString QNLocaleSnapshot::asString(unsigned long value) const {
    return group(unsignedDigits(static_cast<std::uint32_t>(value)), c_.grouping, c_.thousandsSep);
}

XVString QNLocaleSnapshot::asString(long value) const {
    const auto v = static_cast<std::int32_t>(value);
    const std::uint32_t magnitude =
        v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    std::string digits(v < 0 ? 1 : 0, '-');
    digits += unsignedDigits(magnitude);
    return group(digits, c_.grouping, c_.thousandsSep);
}

XVString QNLocaleSnapshot::asString(double value, int precision, bool showpoint) const {
    return realText(value, precision, showpoint, c_.decimalPoint, c_.thousandsSep, c_.grouping);
}

XVString QNLocaleSnapshot::moneyAsString(double amount, CurrSymbol symbol) const {
    const bool negative = amount < 0;
    const double magnitude = negative ? -amount : amount;
    const char* pattern;
    XVString currency, sign;
    int blank, digits;
    double scale;
    if (symbol == symbolInternational) {
        pattern = "$-m ";
        currency = c_.intCurrSymbol;
        sign = XVString(negative ? "-" : "");
        blank = 0;
        digits = c_.intFracDigits;
        scale = c_.intFracScale;
    } else {
        if (symbol == symbolLocal)
            currency = c_.currencySymbol;
        pattern = negative ? c_.moneyNegPattern : c_.moneyPosPattern;
        sign = negative ? c_.negativeSign : c_.positiveSign;
        blank = negative ? c_.nSepBySpace : c_.pSepBySpace;
        digits = c_.fracDigits;
        scale = c_.fracScale;
    }
    XVString out;
    for (int i = 0; i < 4; ++i) {
        switch (pattern[i]) {
            case ' ':
                if (blank)
                    out += ' ';
                break;
            case '$':
                out += currency;
                break;
            case '(':
                out += '(';
                break;
            case '-':
                out += sign;
                break;
            case 'm':
                out += realText(magnitude / scale, digits, false, c_.monDecimalPoint,
                                c_.monThousandsSep, c_.monGrouping);
                break;
            default:
                break;
        }
    }
    if (pattern[0] == '(')
        out += ')';
    return out;
}

void QNLocaleSnapshot::formatComponent(XVString& out, const tm* t, int component,
                                       const QNZone& zone) const {
    std::int64_t value;
    int width = 2;
    char fill = '0';
    const bool monthOk = t->tm_mon >= 0 && t->tm_mon <= 11;
    const bool dayOk = t->tm_wday >= 0 && t->tm_wday <= 6;
    switch (component) {
        case 0:
            value = std::int64_t{t->tm_year} + 1900;
            width = 4;
            break;
        case 1:
            value = (std::int64_t{t->tm_year} + 1900) % 100;
            break;
        case 2:
            value = std::int64_t{t->tm_yday} + 1;
            width = 3;
            break;
        case 3:
            value = t->tm_sec;
            break;
        case 4:
            value = t->tm_min;
            break;
        case 5:
            value = t->tm_hour == 0   ? 12
                    : t->tm_hour > 12 ? std::int64_t{t->tm_hour} - 12
                                      : t->tm_hour;
            break;
        case 6:
            value = t->tm_hour;
            break;
        case 7:
            value = std::int64_t{t->tm_mon} + 1;
            break;
        case 8:
            if (monthOk)
                out += c_.monthNames[t->tm_mon];
            return;
        case 9:
            if (monthOk)
                out += c_.monthAbbs[t->tm_mon];
            return;
        case 10:
            if (dayOk)
                out += c_.weekDays[t->tm_wday];
            return;
        case 11:
            if (dayOk)
                out += c_.weekAbbs[t->tm_wday];
            return;
        case 12:
            out += t->tm_hour < 12 ? c_.am : c_.pm;
            return;
        case 13:
            value = t->tm_mday;
            break;
        case 14:
            if (t->tm_isdst == 0)
                out += zone.timeZoneName();
            if (t->tm_isdst == 1)
                out += zone.altZoneName();
            return;
        case 15:
            value = (std::int64_t{t->tm_yday} - t->tm_wday + 7) / 7;
            break;
        case 16:
            value = (std::int64_t{t->tm_yday} - (std::int64_t{t->tm_wday} + 6) % 7 + 7) / 7;
            break;
        case 17:
            value = t->tm_wday;
            width = 1;
            break;
        case 18:
            value = t->tm_mday;
            fill = ' ';
            break;
        case 19:
            value = std::int64_t{t->tm_mon} + 1;
            fill = ' ';
            break;
        default:
            return;
    }
    const std::string digits = unsignedDigits(static_cast<std::uint32_t>(value));
    if (static_cast<int>(digits.size()) < width)
        out.append(width - digits.size(), fill);
    out += digits;
}

void QNLocaleSnapshot::fillFormat(XVString& out, const XVString& text, const QNTimeFmtList* list,
                                  const tm* t, const QNZone& zone) const {
    std::size_t copied = 0;
    for (; list; list = list->next) {
        if (list->position > 0) {
            const auto upTo = std::min(text.size(), static_cast<std::size_t>(list->position));
            if (upTo > copied) {
                out.append(text, copied, upTo - copied);
                copied = upTo;
            }
        }
        formatComponent(out, t, list->component, zone);
    }
    if (copied < text.size())
        out.append(text, copied, std::string::npos);
}

XVString QNLocaleSnapshot::asString(const tm* t, char directive, const QNZone& zone) const {
    static constexpr char kNumeric[] = "YyjSMIHm";
    XVString out;
    switch (directive) {
        case 'A':
            formatComponent(out, t, 10, zone);
            break;
        case 'a':
            formatComponent(out, t, 11, zone);
            break;
        case 'B':
            formatComponent(out, t, 8, zone);
            break;
        case 'b':
            formatComponent(out, t, 9, zone);
            break;
        case 'p':
            formatComponent(out, t, 12, zone);
            break;
        case 'Z':
            formatComponent(out, t, 14, zone);
            break;
        case 'X':
            fillFormat(out, c_.textForX, c_.listForX, t, zone);
            break;
        case 'x':
            fillFormat(out, c_.textForx, c_.listForx, t, zone);
            break;
        case 'c':
            fillFormat(out, c_.textForc, c_.listForc, t, zone);
            break;
        case 'C':
            fillFormat(out, c_.textForC, c_.listForC, t, zone);
            break;
        case 'd':
            formatComponent(out, t, 13, zone);
            break;
        case 'U':
            formatComponent(out, t, 15, zone);
            break;
        case 'W':
            formatComponent(out, t, 16, zone);
            break;
        case 'w':
            formatComponent(out, t, 17, zone);
            break;
        default:
            for (int i = 0; i < 8; ++i) {
                if (directive == kNumeric[i])
                    formatComponent(out, t, i, zone);
            }
            break;
    }
    return out;
}
