// QNLocaleSnapshot reading: numbers, money, dates, times and names with the
// captured conventions. Every reader fills its output only on success.
//
// The readers only read the snapshot: no captured string is copied, viewed
// or otherwise touched (a view would change its reference count), so any
// number of threads may read with one snapshot. Nothing is allocated except
// for real-number texts of a runtime whose decimal point is unusually long.

#include <langinfo.h>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include "folded_bytes.h"
#include "snapshot_components.h"

namespace {

using namespace xvkit::locale;

constexpr std::size_t npos = XVString::npos;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where `name` first occurs in `text`, letters compared without regard to case.
std::size_t findCaseBlind(const XVString& text, const XVString& name) {
    return text.index(name.data(), name.size(), 0, XVString::caseInsensitive);
}

// Whether some character of `text` is in `set`, made with `addEitherCase`.
bool holdsAny(const XVString& text, const FoldedByteSet& set) {
    for (char c : text) {
        if (hasEitherCase(set, c))
            return true;
    }
    return false;
}

// The characters of `s` without the blanks (' ') at both ends.
struct Stripped {
    explicit Stripped(const XVString& s) : data(s.data()), size(s.size()) {
        while (size > 0 && *data == ' ') {
            ++data;
            --size;
        }
        while (size > 0 && data[size - 1] == ' ')
            --size;
    }
    // XVString::compareTo(other, caseInsensitive) == 0.
    bool equalsCaseBlind(const Stripped& other) const {
        return size == other.size && xvMemicmp(data, other.data, size) == 0;
    }

    const char* data;
    std::size_t size;
};

// A position in a text that the readers move forward (and, to give back
// what they took, backward).
struct Cursor {
    const char* at;
    const char* end;

    explicit Cursor(const XVString& text) : at(text.data()), end(text.data() + text.size()) {}

    bool atEnd() const { return at == end; }
    char peek() const { return at == end ? '\0' : *at; }
    // The character here, consumed; not at the end.
    char take() { return *at++; }
    void skipWhite() {
        while (at != end && std::isspace(static_cast<unsigned char>(*at)))
            ++at;
    }
    // Moves past `literal` when it stands here; an empty literal never does.
    bool match(const XVString& literal) {
        const std::size_t n = literal.size();
        if (n == 0 || static_cast<std::size_t>(end - at) < n ||
            std::memcmp(at, literal.data(), n) != 0) {
            return false;
        }
        at += n;
        return true;
    }
};

// Where separators were seen in an integer part: the digit count before
// each. Texts with more separators than fit are refused by the readers.
struct Separators {
    static constexpr int kMax = 128;

    bool record(int digits) {
        if (count == kMax)
            return false;
        at[count++] = digits;
        return true;
    }

    int at[kMax];
    int count = 0;
};

// Whether the separators sit where `grouping` puts them in an integer part
// of `digits` digits. A trailing separator that begins with a blank is given
// back to the cursor as white space.
bool groupsFit(Separators& seps, int digits, const XVString& grouping, const XVString& separator,
               Cursor& cursor) {
    if (seps.count == 0)
        return true;
    if (seps.at[seps.count - 1] == digits) {
        if (separator.empty() || separator[0] != ' ')
            return false;
        --cursor.at;  // the separator's blank
        if (--seps.count == 0)
            return true;
    }
    if (grouping.empty())
        return false;
    const char* g = grouping.c_str();
    int size = *g & 15;
    int r = digits - size;
    int i = seps.count - 1;
    if (seps.at[i] != r)
        return false;
    for (;;) {
        if (g[1] != '\0')
            ++g;
        size = *g & 15;
        if (i == 0)
            break;
        r -= size;
        --i;
        if (seps.at[i] != r)
            return false;
    }
    return r <= size;
}

// Reads digits and separators (a separator only after a digit), handing
// each digit to `digit(c)`. False when `digit` refuses one, or when there are
// more separators than `seps` holds or more digits than an int counts.
template <class OnDigit>
bool readInteger(Cursor& cursor, const XVString& separator, int& digits, Separators& seps,
                 OnDigit&& digit) {
    for (;;) {
        while (isDigit(cursor.peek())) {
            if (digits == INT_MAX || !digit(cursor.take()))
                return false;
            ++digits;
        }
        if (digits == 0 || !cursor.match(separator))
            return true;
        if (!seps.record(digits))
            return false;
        if (!isDigit(cursor.peek()))
            return true;  // a trailing separator: the group check judges it
    }
}

// Reads a date or time field of at most `limit` digits after any non-digits
// (jumping over the month name at `nameAt`), each of which sets
// `*separatorSeen` when a flag is given. With the flag set, a digit right
// after the field makes it fail.
bool readField(Cursor& cursor, int limit, bool* separatorSeen, const char* nameAt,
               std::size_t nameLength, int* value) {
    while (!cursor.atEnd() && !isDigit(cursor.peek())) {
        // An empty name has nothing to jump over: move on one character.
        cursor.at += nameLength != 0 && cursor.at == nameAt ? nameLength : 1;
        if (separatorSeen)
            *separatorSeen = true;
    }
    if (cursor.atEnd())
        return false;
    int v = 0;
    for (int n = 0; n < limit && isDigit(cursor.peek()); ++n)
        v = v * 10 + (cursor.take() - '0');
    if (separatorSeen && *separatorSeen && isDigit(cursor.peek()))
        return false;
    *value = v;
    return true;
}

bool anyDigitLeft(Cursor cursor) {
    int ignored;
    return readField(cursor, 1, nullptr, nullptr, 0, &ignored);
}

// A real number as a plain C text: sign, digits, '.' where the captured
// decimal point stood, exponent. Every character stands for at least one of
// the text read, which has fewer than 256.
struct PlainNumber {
    static constexpr std::size_t kCapacity = 256;

    void push(char c) { text[size++] = c; }
    bool endsInDigit() const { return size > 0 && isDigit(text[size - 1]); }

    char text[kCapacity + 1];
    std::size_t size = 0;
    std::size_t point = npos;  // where the '.' stands
};

// The value of `plain` when a single IEEE operation gives it exactly as
// strtod would: at most 19 significant digits making a whole number below
// 2^53, times or divided by a power of ten up to 10^22 (both exact), so one
// correctly rounded multiplication or division in the current rounding mode,
// on the signed value, is strtod's correctly rounded result. False when the
// text falls outside that case.
bool exactValue(const PlainNumber& plain, double* out) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxPower = 22;
    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << 53;
    const char* p = plain.text;
    const char* const end = plain.text + plain.size;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint64_t mantissa = 0;
    int significant = 0;
    int exponent = 0;
    bool fraction = false;
    for (; p != end && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        if (mantissa != 0 || *p != '0') {
            if (++significant > 19)
                return false;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        }
        if (fraction)
            --exponent;
    }
    if (p != end) {
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
        exponent += down ? -e : e;
    }
    if (mantissa >= kExactLimit)
        return false;
    if (mantissa == 0) {
        *out = negative ? -0.0 : 0.0;
        return true;
    }
    if (exponent < -kMaxPower || exponent > kMaxPower)
        return false;
    const double value = negative ? -static_cast<double>(mantissa) : static_cast<double>(mantissa);
    *out = exponent < 0 ? value / kPowersOfTen[-exponent] : value * kPowersOfTen[exponent];
    return true;
}

// `plain` read by strtod with the C runtime's own decimal point in place of
// the '.'; false unless strtod takes all of it.
bool strtodValue(PlainNumber& plain, double* out) {
    // nl_langinfo reads the point without writing anything, unlike localeconv.
    const std::string_view runtimePoint = nl_langinfo(RADIXCHAR);
    plain.text[plain.size] = '\0';
    std::string replaced;
    const char* number = plain.text;
    std::size_t length = plain.size;
    if (plain.point != npos && runtimePoint != ".") {
        replaced.assign(plain.text, plain.point);
        replaced.append(runtimePoint);
        replaced.append(plain.text + plain.point + 1, plain.size - plain.point - 1);
        number = replaced.c_str();
        length = replaced.size();
    }
    char* stop = nullptr;
    const double value = std::strtod(number, &stop);
    if (stop != number + length)
        return false;
    *out = value;
    return true;
}

}  // namespace

bool QNLocaleSnapshot::stringToNum(const XVString& text, long* out) const {
    Cursor cursor(text);
    cursor.skipWhite();
    char sign = 0;
    if (cursor.peek() == '-' || cursor.peek() == '+') {
        sign = cursor.take();
        cursor.skipWhite();
    }
    if (!isDigit(cursor.peek()))
        return false;
    long value = 0;
    int digits = 0;
    Separators seps;
    const auto accumulate = [&value](char d) {
        // Past 2147483647 the number is refused.
        if (value > (d <= '7' ? 214748364L : 214748363L))
            return false;
        value = value * 10 + (d - '0');
        return true;
    };
    if (!readInteger(cursor, c_.thousandsSep, digits, seps, accumulate) ||
        !groupsFit(seps, digits, c_.grouping, c_.thousandsSep, cursor)) {
        return false;
    }
    cursor.skipWhite();
    if (!cursor.atEnd())
        return false;
    if (sign == '-')
        value = -value;
    if ((value < 0) != (sign == '-'))
        return false;
    *out = value;
    return true;
}

bool QNLocaleSnapshot::stringToNum(const XVString& text, double* out) const {
    if (text.size() >= PlainNumber::kCapacity)
        return false;
    PlainNumber plain;
    Cursor cursor(text);
    cursor.skipWhite();
    if (cursor.peek() == '-' || cursor.peek() == '+') {
        plain.push(cursor.take());
        cursor.skipWhite();
    }
    int digits = 0;
    Separators seps;
    const auto copy = [&plain](char d) {
        plain.push(d);
        return true;
    };
    if (!readInteger(cursor, c_.thousandsSep, digits, seps, copy) ||
        !groupsFit(seps, digits, c_.grouping, c_.thousandsSep, cursor)) {
        return false;
    }
    const bool endsInDigit = plain.endsInDigit();
    if (cursor.match(c_.decimalPoint)) {
        if (!isDigit(cursor.peek()) && !endsInDigit)
            return false;
        plain.point = plain.size;
        plain.push('.');
        while (isDigit(cursor.peek()))
            plain.push(cursor.take());
    } else if (!endsInDigit) {
        return false;
    }
    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        plain.push(cursor.take());
        if (cursor.peek() == '-' || cursor.peek() == '+')
            plain.push(cursor.take());
        if (!isDigit(cursor.peek()))
            return false;
        while (isDigit(cursor.peek()))
            plain.push(cursor.take());
    }
    cursor.skipWhite();
    if (!cursor.atEnd())
        return false;
    return exactValue(plain, out) || strtodValue(plain, out);
}

bool QNLocaleSnapshot::stringToDate(const XVString& text, tm* out) const {
    // A month name anywhere in the text, unless some name holds a digit. An
    // empty name occurs at the start of any text.
    int month = 0;
    const char* nameAt = nullptr;
    std::size_t nameLength = 0;
    // A text holding no name's first letter holds no name (an empty text
    // holds no digit either, so an empty name found there would not count).
    const bool search = c_.monthNamesWithDigits == 0 && holdsAny(text, monthInitials_);
    FoldedByteSet inText = {};
    if (search) {
        for (char c : text)
            addFolded(inText, c);
    }
    for (int m = 11; m >= 0 && month == 0 && search; --m) {
        for (const XVString* name : {&c_.monthNames[m], &c_.monthAbbs[m]}) {
            // A name whose first letter is not in the text cannot be in it.
            const bool possible = name->empty() || hasFolded(inText, (*name)[0]);
            const std::size_t at = possible ? findCaseBlind(text, *name) : npos;
            if (at != npos) {
                month = m + 1;
                nameAt = text.data() + at;
                nameLength = name->size();
                break;
            }
        }
    }
    // Fields read (0 year, 1 month, 2 day; -1 ends a row) in each date order,
    // then in each date order once the month was found by name, and their
    // digit limits.
    static constexpr int kRows[2 * kDateOrderCount][3] = {
        {2, 1, 0},  {1, 2, 0},  {0, 2, 1},  {0, 1, 2},    // all three fields
        {2, 0, -1}, {2, 0, -1}, {0, 2, -1}, {0, 2, -1}};  // day and year only
    static constexpr int kLimits[3] = {4, 2, 2};
    const bool cLocale = c_.localeName.size() == 1 && c_.localeName[0] == 'C';
    const int row =
        month == 0 && cLocale ? kMonthDayYear : c_.dateOrder + (month ? kDateOrderCount : 0);
    int fields[3] = {0, month, 0};
    Cursor cursor(text);
    bool separatorSeen = false;
    for (int f : kRows[row]) {
        if (f < 0)
            break;
        if (!readField(cursor, kLimits[f], &separatorSeen, nameAt, nameLength, &fields[f]))
            return false;
    }
    int year = fields[0];
    if (year <= 99)
        year += 1900;
    if (anyDigitLeft(cursor))
        return false;
    const int m = fields[1], d = fields[2];
    if (m < 1 || m > 12 || d < 1)
        return false;
    const int length = QNDate::daysInMonth[m - 1] +
                       (m == 2 && QNDate::leapYear(static_cast<unsigned>(year)) ? 1 : 0);
    if (d > length)
        return false;
    out->tm_year = year - 1900;
    out->tm_mon = m - 1;
    out->tm_mday = d;
    return true;
}

bool QNLocaleSnapshot::stringToTime(const XVString& text, tm* out) const {
    Cursor cursor(text);
    bool separatorSeen = false;
    int hour, minute, second = 0;
    if (!readField(cursor, 2, &separatorSeen, nullptr, 0, &hour) ||
        !readField(cursor, 2, &separatorSeen, nullptr, 0, &minute)) {
        return false;
    }
    const char* const afterMinute = cursor.at;
    if (!readField(cursor, 2, &separatorSeen, nullptr, 0, &second))
        cursor.at = afterMinute;
    if (anyDigitLeft(cursor))
        return false;
    if (second > 59 || minute > 59 || hour > 23)
        return false;
    // An empty marker counts as present.
    auto present = [&text](const XVString& marker) {
        return marker.empty() || findCaseBlind(text, marker) != npos;
    };
    const bool am = present(c_.am), pm = present(c_.pm);
    if (hour >= 1 && hour <= 11) {
        if (pm && !am)
            hour += 12;
    } else if (hour == 12) {
        if (am && !pm)
            hour = 0;
    } else if ((!c_.am.empty() && am) || (!c_.pm.empty() && pm)) {
        return false;
    }
    out->tm_hour = hour;
    out->tm_min = minute;
    out->tm_sec = second;
    return true;
}

bool QNLocaleSnapshot::stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const {
    Cursor cursor(text);
    cursor.skipWhite();
    char sign = 0;
    if (cursor.peek() == '(') {
        sign = '(';
        ++cursor.at;
        cursor.skipWhite();
    }
    const XVString none;
    const XVString* positive = &none;
    const XVString* negative = &none;
    const XVString* currency = &none;
    int fractionDigits = 0, passes = 0;
    switch (symbol) {
        case symbolLocal:
            positive = &c_.positiveSign;
            negative = &c_.negativeSign;
            currency = &c_.currencySymbol;
            fractionDigits = c_.fracDigits;
            passes = 3;
            break;
        case symbolInternational:
            currency = &c_.intCurrSymbol;
            fractionDigits = c_.intFracDigits;
            passes = 1;
            break;
        case symbolNone:
            return false;
        default:
            break;  // no passes: nothing is read
    }
    bool haveCurrency = false, haveNumber = false;
    double value = 0;
    for (; !cursor.atEnd() && passes > 0; --passes) {
        if (sign && haveCurrency && haveNumber)
            break;
        if (!haveCurrency && !isDigit(cursor.peek()) && cursor.match(*currency)) {
            haveCurrency = true;
            cursor.skipWhite();
        }
        if (!sign && !isDigit(cursor.peek())) {
            if (cursor.peek() == '-' || cursor.peek() == '+') {
                sign = cursor.take();
                cursor.skipWhite();
            } else if (cursor.match(*negative)) {
                sign = '-';
                cursor.skipWhite();
            } else if (cursor.match(*positive)) {
                sign = '+';
                cursor.skipWhite();
            }
        }
        const XVString& point = c_.monDecimalPoint;
        if (haveNumber ||
            !(isDigit(cursor.peek()) || (!point.empty() && cursor.peek() == point[0])))
            continue;
        // The number: an error anywhere in it fails the whole reading.
        const char* const start = cursor.at;
        double v = 0;
        int digits = 0;
        Separators seps;
        const auto accumulate = [&v](char d) {
            v = v * 10 + (d - '0');
            return true;
        };
        if (!readInteger(cursor, c_.monThousandsSep, digits, seps, accumulate) || seps.count > 10 ||
            !groupsFit(seps, digits, c_.monGrouping, c_.monThousandsSep, cursor)) {
            return false;
        }
        bool pointSeen = false;
        if (fractionDigits > 0 && cursor.match(point)) {
            pointSeen = true;
            int n = 0;
            for (; isDigit(cursor.peek()); ++n)
                v = v * 10 + (cursor.take() - '0');
            if (n != fractionDigits)
                return false;
        } else if (fractionDigits > 0 && digits > 0) {
            for (int i = 0; i < fractionDigits; ++i)
                v *= 10;
        }
        if (digits == 0 && !pointSeen) {
            cursor.at = start;  // not a number after all
            continue;
        }
        haveNumber = true;
        value = v;
        cursor.skipWhite();
    }
    if (sign == '(') {
        if (cursor.peek() != ')')
            return false;
        ++cursor.at;
        cursor.skipWhite();
        sign = '-';
    }
    if (!cursor.atEnd() || !haveNumber)
        return false;
    *out = sign == '-' ? -value : value;
    return true;
}

int QNLocaleSnapshot::monthIndex(const XVString& name) const {
    const Stripped wanted(name);
    for (int m = 11; m >= 0; --m) {
        if (wanted.equalsCaseBlind(Stripped(c_.monthAbbs[m])) ||
            wanted.equalsCaseBlind(Stripped(c_.monthNames[m]))) {
            return m + 1;
        }
    }
    return 0;
}

int QNLocaleSnapshot::weekdayIndex(const XVString& name) const {
    for (int w = 6; w >= 0; --w) {
        if (name.compareTo(c_.weekAbbs[w], XVString::caseInsensitive) == 0 ||
            name.compareTo(c_.weekDays[w], XVString::caseInsensitive) == 0) {
            return (w + 6) % 7 + 1;
        }
    }
    return 0;
}
