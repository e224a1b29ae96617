// Whole numbers over the full 64-bit range for the num and money subcommands,
// on top of the locales' readers and writers, which hold 32 bits (whole
// numbers) or a double (real numbers and money).
#ifndef XVKIT_TOOLS_NUMBERS_H_
#define XVKIT_TOOLS_NUMBERS_H_

#include <cstdint>
#include <string>

#include <xvkit/qnlocale.h>

namespace xvtool {

// The largest whole number that a double holds exactly with all smaller ones
// and that no larger number rounds to: 2^53 - 1. Money amounts (doubles in
// the library) are exact up to it.
inline constexpr std::uint64_t kExactWholeMax = 9007199254740991;
inline constexpr double kExactDoubleLimit = static_cast<double>(kExactWholeMax);
inline constexpr const char* kExactDoubleRange = "-9007199254740991 to 9007199254740991";

// A whole number of the 64-bit range: its sign and magnitude, so that
// -9223372036854775808 fits.
struct Whole {
    bool negative = false;
    std::uint64_t magnitude = 0;

    double toDouble() const;
};

// The result of reading a text as a whole number.
enum class WholeReading {
    notWhole,  // the text is not a whole number (it may still be a real one)
    read,      // the number was read
    tooLarge,  // a whole number beyond the 64-bit range
};

// Reads `text` as a C whole number: optional blanks, an optional sign, decimal
// digits, optional blanks.
WholeReading readCWhole(const char* text, Whole* out);

// Reads `text` as `loc` writes whole numbers. Numbers that the locale's own
// reader holds (magnitudes below 2147483647) come from it; beyond them the
// text must be plain digits or the locale's own grouping of the number.
WholeReading readLocaleWhole(const QNLocale& loc, const char* text, Whole* out);

// `value` as `loc` writes it, with `precision` zero digits after the decimal
// point when `precision` is not negative. The locale formats it itself when
// it holds the value exactly; beyond that the locale's text of a power of ten
// with as many digits gives the layout, filled with the digits of `value`.
std::string formatWhole(const QNLocale& loc, const Whole& value, int precision);

// "%.0f" of `value` when it is a whole number that a double holds exactly,
// otherwise the shortest text that reads back as the same double.
std::string exactText(double value);

// The 64-bit range, for error messages.
inline constexpr const char* kWholeRange = "-9223372036854775808 to 9223372036854775807";

}  // namespace xvtool

#endif  // XVKIT_TOOLS_NUMBERS_H_
