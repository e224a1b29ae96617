// QNLocaleSnapshot reading of whole and real numbers, with the captured
// decimal point, thousands separator and grouping:
//
//   whole   = {white} [sign] integer {white}
//   real    = {white} [sign] [integer] [fraction] [exponent] {white}
//             (at least one digit before the exponent)
//   sign    = ("-" | "+") {white}
//   integer = digit {digit} {separator digit {digit}}     (see grouped_integer.h)
//   fraction = point {digit}
//   exponent = ("e" | "E") ["-" | "+"] digit {digit}
//
// A whole number is a 32-bit value; a real number is what strtod makes of
// the text rewritten in C's own form (sign, digits, the runtime's point,
// exponent), or, when one exact IEEE operation gives the same, that.
//
// The readers only read the snapshot: no captured string is copied, viewed
// or otherwise touched (a view would change its reference count), so any
// number of threads may read with one snapshot.

#include <langinfo.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <xvkit/qnlocale.h>

#include "grouped_integer.h"
#include "text_buffer.h"
#include "text_cursor.h"

namespace {

using namespace xvkit::locale;

// The largest magnitude of a whole number: 2^31 - 1.
constexpr long kWholeMax = 2147483647L;

// The grouping of plain numbers.
GroupingRule numberGrouping(const QNLocaleSnapshot::Conventions& c) {
    return {DigitGrouping(c.grouping, c.thousandsSep), Separators::kMax};
}

// A real number rewritten as a plain C text: sign, digits, '.' where the
// captured decimal point stood, exponent.
struct PlainNumber {
    TextBuffer text;
    std::size_t point = std::string_view::npos;  // where the '.' stands

    bool endsInDigit() const { return text.size() > 0 && isDigit(text.view().back()); }
};

// A plain number's digits as a whole number and the power of ten that
// scales it.
struct Decimal {
    std::uint64_t mantissa = 0;
    int exponent = 0;
};

// significand := digits ["." digits], from `p` up to an 'e' or `end`; false
// past 19 significant digits.
bool readSignificand(const char*& p, const char* end, Decimal& d) {
    int significant = 0;
    bool fraction = false;
    for (; p != end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        if (d.mantissa != 0 || *p != '0') {
            if (++significant > 19)
                return false;
            d.mantissa = d.mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        }
        if (fraction)
            --d.exponent;
    }
    return true;
}

// exponent := "e" [sign] digits, up to `end`, added to `d`'s; false past 1000.
bool readExponent(const char* p, const char* end, Decimal& d) {
    ++p;  // the 'e'
    const bool down = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    int e = 0;
    for (; p != end; ++p) {
        e = e * 10 + (*p - '0');
        if (e > 1000)
            return false;
    }
    d.exponent += down ? -e : e;
    return true;
}

// The value of `plain` when a single IEEE operation gives it exactly as
// strtod would: at most 19 significant digits making a whole number below
// 2^53, times or divided by a power of ten up to 10^22 (both exact), so one
// correctly rounded multiplication or division in the current rounding mode,
// on the signed value, is strtod's correctly rounded result. False when the
// text falls outside that case.
bool exactValue(std::string_view plain, double* out) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxPower = 22;
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    const char* p = plain.data();
    const char* const end = plain.data() + plain.size();
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    Decimal d;
    if (!readSignificand(p, end, d) || (p != end && !readExponent(p, end, d)))
        return false;
    if (d.mantissa >= kExactLimit)
        return false;
    if (d.mantissa == 0) {
        *out = negative ? -0.0 : 0.0;
        return true;
    }
    if (d.exponent < -kMaxPower || d.exponent > kMaxPower)
        return false;
    const double value =
        negative ? -static_cast<double>(d.mantissa) : static_cast<double>(d.mantissa);
    *out = d.exponent < 0 ? value / kPowersOfTen[-d.exponent] : value * kPowersOfTen[d.exponent];
    return true;
}

// `plain` read by strtod with the C runtime's own decimal point in place of
// the '.'; false unless strtod takes all of it.
bool strtodValue(PlainNumber& plain, double* out) {
    // nl_langinfo reads the point without writing anything, unlike localeconv.
    const std::string_view runtimePoint = nl_langinfo(RADIXCHAR);
    TextBuffer replaced;
    TextBuffer* number = &plain.text;
    if (plain.point != std::string_view::npos && runtimePoint != ".") {
        const std::string_view text = plain.text.view();
        replaced.append(text.substr(0, plain.point));
        replaced.append(runtimePoint);
        replaced.append(text.substr(plain.point + 1));
        number = &replaced;
    }
    const char* const start = number->c_str();
    char* stop = nullptr;
    const double value = std::strtod(start, &stop);
    if (stop != start + number->size())
        return false;
    *out = value;
    return true;
}

// fraction := point {digit}, copied as '.' and the digits; the point may
// stand alone only after integer digits. False when the text has neither.
bool copyFraction(Cursor& cursor, const XVString& point, PlainNumber& plain) {
    const bool endsInDigit = plain.endsInDigit();
    if (!cursor.match(point))
        return endsInDigit;
    if (!isDigit(cursor.peek()) && !endsInDigit)
        return false;
    plain.point = plain.text.size();
    plain.text.append('.');
    while (isDigit(cursor.peek()))
        plain.text.append(cursor.take());
    return true;
}

// exponent := [("e" | "E") [sign] digit {digit}], copied; false when the
// letter has no digits.
bool copyExponent(Cursor& cursor, PlainNumber& plain) {
    if (cursor.peek() != 'e' && cursor.peek() != 'E')
        return true;
    plain.text.append(cursor.take());
    if (cursor.peek() == '-' || cursor.peek() == '+')
        plain.text.append(cursor.take());
    if (!isDigit(cursor.peek()))
        return false;
    while (isDigit(cursor.peek()))
        plain.text.append(cursor.take());
    return true;
}

}  // namespace

bool QNLocaleSnapshot::stringToNum(const XVString& text, long* out) const {
    Cursor cursor(text);
    cursor.skipWhite();
    const char sign = cursor.takeSign();
    if (!isDigit(cursor.peek()))
        return false;
    long value = 0;
    int digits = 0;
    const auto accumulate = [&value](char d) {
        // Refused at the digit that takes it past kWholeMax (a 64-bit long
        // holds that value).
        value = value * 10 + (d - '0');
        return value <= kWholeMax;
    };
    if (!readGroupedInteger(cursor, numberGrouping(c_), digits, accumulate) ||
        !cursor.onlyWhiteLeft()) {
        return false;
    }
    // "-0" is refused: the sign must agree with the value.
    if (sign == '-' && value == 0)
        return false;
    *out = sign == '-' ? -value : value;
    return true;
}

bool QNLocaleSnapshot::stringToNum(const XVString& text, double* out) const {
    // The longest text read: every character of the plain number stands for
    // at least one of the text.
    constexpr std::size_t kMaxText = 255;
    if (text.size() > kMaxText)
        return false;
    PlainNumber plain;
    Cursor cursor(text);
    cursor.skipWhite();
    if (const char sign = cursor.takeSign())
        plain.text.append(sign);
    int digits = 0;
    const auto copy = [&plain](char d) {
        plain.text.append(d);
        return true;
    };
    if (!readGroupedInteger(cursor, numberGrouping(c_), digits, copy) ||
        !copyFraction(cursor, c_.decimalPoint, plain) || !copyExponent(cursor, plain) ||
        !cursor.onlyWhiteLeft()) {
        return false;
    }
    return exactValue(plain.text.view(), out) || strtodValue(plain, out);
}
