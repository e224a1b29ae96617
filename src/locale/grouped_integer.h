// The integer part of a number or money amount as a snapshot reads it:
//
//   integer = digit { digit } { separator digit { digit } } [ separator ]
//
// with the separators, which are optional, exactly where the locale's
// grouping puts them. A trailing separator that begins with a blank is
// white space after the number instead. Internal to the library.
#ifndef XVKIT_SRC_LOCALE_GROUPED_INTEGER_H_
#define XVKIT_SRC_LOCALE_GROUPED_INTEGER_H_

#include <climits>

#include "debug_check.h"
#include "digit_grouping.h"
#include "text_cursor.h"

namespace xvkit::locale {

// How the digits of an integer part are grouped, and the most separators a
// text may hold (texts with more are refused).
struct GroupingRule {
    DigitGrouping grouping;
    int maxSeparators;
};

// Where separators were seen in an integer part: the digit count before
// each.
struct Separators {
    static constexpr int kMax = 128;

    explicit Separators(int limit) : limit(limit) { XVKIT_DCHECK(limit <= kMax); }
    bool record(int digits) {
        if (count == limit)
            return false;
        at[count++] = digits;
        return true;
    }

    int at[kMax];
    int count = 0;
    int limit;
};

// Reads `integer` at `cursor`, handing each digit to `digit(c)` and counting
// them in `digits`. False when `digit` refuses one, when the separators are
// misplaced or too many, or past INT_MAX digits. Reads nothing (and passes)
// where no digit stands.
template <class OnDigit>
bool readGroupedInteger(Cursor& cursor, const GroupingRule& rule, int& digits, OnDigit&& digit) {
    const std::string_view separator = rule.grouping.separator();
    Separators seps(rule.maxSeparators);
    for (;;) {
        // The run of digits, through locals the compiler keeps in registers;
        // the count is checked once the run ends.
        const char* at = cursor.at;
        for (; isDigit(*at); ++at) {
            if (!digit(*at))
                return false;
        }
        if (at - cursor.at > INT_MAX - digits)
            return false;
        digits += static_cast<int>(at - cursor.at);
        cursor.at = at;
        if (digits == 0 || !cursor.match(separator.data(), separator.size()))
            break;
        if (!seps.record(digits))
            return false;
        if (!isDigit(cursor.peek()))
            break;  // a trailing separator
    }
    if (seps.count != 0 && seps.at[seps.count - 1] == digits) {
        // A trailing separator: white space when it begins with a blank.
        if (separator[0] != ' ')
            return false;
        --cursor.at;
        --seps.count;
    }
    return rule.grouping.fits(seps.at, seps.count, digits);
}

}  // namespace xvkit::locale

#endif  // XVKIT_SRC_LOCALE_GROUPED_INTEGER_H_
