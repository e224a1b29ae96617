#include "numbers.h"

#include <cassert>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <system_error>

namespace xvtool {

namespace {

// The largest magnitude that the locales' whole-number readers hold; the
// English locale's reader clamps larger ones to it.
constexpr std::uint64_t kLocaleWholeMax = 2147483647;
constexpr std::uint64_t kMostNegativeMagnitude = 9223372036854775808ULL;

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Takes an optional sign and the blanks after it (as the locales' readers
// do); returns the rest.
std::string_view takeSign(std::string_view text, bool* negative) {
    *negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
        while (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
    }
    return text;
}

WholeReading readDigits(std::string_view digits, bool negative, Whole* out) {
    if (digits.empty())
        return WholeReading::notWhole;
    for (char c : digits) {
        if (!isAsciiDigit(c))
            return WholeReading::notWhole;
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    assert(end == digits.data() + digits.size());
    if (error == std::errc::result_out_of_range ||
        magnitude > kMostNegativeMagnitude - (negative ? 0 : 1))
        return WholeReading::tooLarge;
    *out = {negative && magnitude != 0, magnitude};
    return WholeReading::read;
}

// The separator `loc` writes between groups of digits, or empty when it does
// not group them: what a snapshot captured (a first group size of 0, the low
// four bits of the first byte, means no groups); the English locale never
// groups, and other locales' conventions are unknown.
std::string thousandsSeparator(const QNLocale& loc) {
    const auto* snapshot = dynamic_cast<const QNLocaleSnapshot*>(&loc);
    if (snapshot == nullptr)
        return "";
    const QNLocaleSnapshot::Conventions& c = snapshot->conventions();
    const bool groups = !c.grouping.empty() && (c.grouping[0] & 15) != 0;
    return groups ? c.thousandsSep.c_str() : "";
}

// Reads a whole number written as plain digits or grouped exactly as `loc`
// groups it.
WholeReading readGrouped(const QNLocale& loc, const char* text, Whole* out) {
    bool negative;
    const std::string_view number = takeSign(trimBlanks(text), &negative);
    WholeReading reading = readDigits(number, negative, out);
    if (reading != WholeReading::notWhole)
        return reading;
    const std::string separator = thousandsSeparator(loc);
    if (separator.empty())
        return WholeReading::notWhole;
    std::string digits;
    for (std::size_t i = 0; i < number.size();) {
        if (number.substr(i).starts_with(separator)) {
            i += separator.size();
        } else {
            digits += number[i++];
        }
    }
    Whole whole;
    reading = readDigits(digits, negative, &whole);
    if (reading != WholeReading::read)
        return reading;
    if (formatWhole(loc, {false, whole.magnitude}, -1) != number)
        return WholeReading::notWhole;
    *out = whole;
    return WholeReading::read;
}

}  // namespace

double Whole::toDouble() const {
    const auto m = static_cast<double>(magnitude);
    return negative ? -m : m;
}

WholeReading readCWhole(const char* text, Whole* out) {
    bool negative;
    const std::string_view number = takeSign(trimBlanks(text), &negative);
    return readDigits(number, negative, out);
}

WholeReading readLocaleWhole(const QNLocale& loc, const char* text, Whole* out) {
    long value = 0;
    const bool localeRead = loc.stringToNum(XVString(text), &value);
    const Whole fromLocale{value < 0,
                           localeRead ? static_cast<std::uint64_t>(std::labs(value)) : 0};
    if (localeRead && fromLocale.magnitude < kLocaleWholeMax) {
        *out = fromLocale;
        return WholeReading::read;
    }
    // Beyond the locale's reader, or clamped by it.
    Whole own;
    const WholeReading reading = readGrouped(loc, text, &own);
    if (reading == WholeReading::tooLarge)
        return reading;
    if (reading == WholeReading::read && own.magnitude > kLocaleWholeMax) {
        *out = own;
        return reading;
    }
    if (!localeRead)
        return WholeReading::notWhole;
    *out = fromLocale;
    return WholeReading::read;
}

std::string formatWhole(const QNLocale& loc, const Whole& value, int precision) {
    if (precision < 0 && value.magnitude <= kLocaleWholeMax) {
        const auto magnitude = static_cast<long>(value.magnitude);
        return loc.asString(value.negative ? -magnitude : magnitude).c_str();
    }
    const int fraction = precision < 0 ? 0 : precision;
    if (value.magnitude <= kExactWholeMax)
        return loc.asString(value.toDouble(), fraction, false).c_str();

    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value.magnitude);
    assert(error == std::errc());
    const auto count = static_cast<std::size_t>(end - digits);
    // 10^(count - 1): every power of ten up to 10^22 is exact in a double.
    double power = 1;
    for (std::size_t i = 1; i < count; ++i)
        power *= 10;
    std::string text = loc.asString(value.negative ? -power : power, fraction, false).c_str();
    std::size_t next = 0;
    for (char& c : text) {
        if (isAsciiDigit(c) && next < count)
            c = digits[next++];
    }
    assert(next == count);
    return text;
}

std::string exactText(double value) {
    char text[64];
    if (std::trunc(value) == value && std::fabs(value) <= kExactDoubleLimit) {
        std::snprintf(text, sizeof text, "%.0f", value);
        return text;
    }
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    assert(error == std::errc());
    return std::string(text, end);
}

}  // namespace xvtool
