// QNLocaleSnapshot reading: numbers, money, dates, times and names with the
// captured conventions. Every reader fills its output only on success.
//
// The readers only read the snapshot: no captured string is copied, viewed
// or otherwise touched (a view would change its reference count), so any
// number of threads may read with one snapshot. Nothing is allocated except
// for real-number texts of a runtime whose decimal point is unusually long.

#include <langinfo.h>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include "byte_set.h"
#include "debug_check.h"
#include "snapshot_components.h"
#include "text_cursor.h"

namespace {

using namespace xvkit::locale;

constexpr std::size_t npos = XVString::npos;

// Whether some character of `text` is in `set`.
bool holdsAny(const XVString& text, const ByteSet& set) {
    for (char c : text) {
        if (has(set, c))
            return true;
    }
    return false;
}

// Where `name` first occurs in `text`, letters compared without regard to case.
std::size_t findCaseBlind(const XVString& text, const XVString& name) {
    return text.index(name.data(), name.size(), 0, XVString::caseInsensitive);
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

// Where separators were seen in an integer part: the digit count before
// each. Texts with more separators than fit are refused by the readers.
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

// How the digits of an integer part are grouped: the separator, the group
// sizes, and the most separators a text may hold.
struct GroupingRule {
    const XVString* separator;
    const XVString* grouping;
    int maxSeparators;
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

// integer := digit {digit} {separator digit {digit}} [separator], with the
// separators where `rule` puts them; `digits` counts the digits read.
template <class OnDigit>
bool readGroupedInteger(Cursor& cursor, const GroupingRule& rule, int& digits, OnDigit&& digit) {
    Separators seps(rule.maxSeparators);
    return readInteger(cursor, *rule.separator, digits, seps, digit) &&
           groupsFit(seps, digits, *rule.grouping, *rule.separator, cursor);
}

// The state of a date or time reader between its fields: where it stands,
// the month name to jump over whole (none when `nameLength` is 0), and
// whether a separator was seen yet.
struct FieldScan {
    explicit FieldScan(const XVString& text) : cursor(text) {}

    Cursor cursor;
    const char* nameAt = nullptr;
    std::size_t nameLength = 0;
    bool separatorSeen = false;
};

// separator := { non-digit }, the month name taken whole; false at the end.
inline bool skipSeparator(FieldScan& scan) {
    Cursor& c = scan.cursor;
    while (!c.atEnd() && !isDigit(c.peek())) {
        c.at += scan.nameLength != 0 && c.at == scan.nameAt ? scan.nameLength : 1;
        scan.separatorSeen = true;
    }
    return !c.atEnd();
}

// field := separator digit{1,limit}; once a separator was seen, a digit may
// not follow the field. Inline: only then do the readers keep the scan in
// registers.
inline bool readField(FieldScan& scan, int limit, int* value) {
    if (!skipSeparator(scan))
        return false;
    Cursor& c = scan.cursor;
    int v = 0;
    for (int n = 0; n < limit && isDigit(c.peek()); ++n)
        v = v * 10 + (c.take() - '0');
    if (scan.separatorSeen && isDigit(c.peek()))
        return false;
    *value = v;
    return true;
}

// Whether a digit stands anywhere after `cursor`.
bool anyDigitLeft(Cursor cursor) {
    return cursor.toDigit();
}

// A real number as a plain C text: sign, digits, '.' where the captured
// decimal point stood, exponent. Every character stands for at least one of
// the text read, which has fewer than 256.
struct PlainNumber {
    static constexpr std::size_t kCapacity = 256;

    void push(char c) {
        XVKIT_DCHECK(size < kCapacity);
        text[size++] = c;
    }
    bool endsInDigit() const { return size > 0 && isDigit(text[size - 1]); }

    char text[kCapacity + 1];
    std::size_t size = 0;
    std::size_t point = npos;  // where the '.' stands
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

// fraction := point {digit}, copied as '.' and the digits; the point may
// stand alone only after integer digits. False when the text has neither.
bool copyFraction(Cursor& cursor, const XVString& point, PlainNumber& plain) {
    const bool endsInDigit = plain.endsInDigit();
    if (!cursor.match(point))
        return endsInDigit;
    if (!isDigit(cursor.peek()) && !endsInDigit)
        return false;
    plain.point = plain.size;
    plain.push('.');
    while (isDigit(cursor.peek()))
        plain.push(cursor.take());
    return true;
}

// exponent := [("e" | "E") [sign] digit {digit}], copied; false when the
// letter has no digits.
bool copyExponent(Cursor& cursor, PlainNumber& plain) {
    if (cursor.peek() != 'e' && cursor.peek() != 'E')
        return true;
    plain.push(cursor.take());
    if (cursor.peek() == '-' || cursor.peek() == '+')
        plain.push(cursor.take());
    if (!isDigit(cursor.peek()))
        return false;
    while (isDigit(cursor.peek()))
        plain.push(cursor.take());
    return true;
}

// A captured month name found in a date text: its month (0 when none) and
// where it stands.
struct MonthName {
    int month = 0;
    const char* at = nullptr;
    std::size_t length = 0;
};

// The latest month (December first, each full name before its short one)
// whose name occurs in `text`, letters compared without regard to case.
// `initials` holds the names' first letters in both cases; a text holding none
// of them holds no name (an empty text holds no digit either, so an empty
// name found there would not count).
MonthName findMonthName(const XVString& text, const QNLocaleSnapshot::Conventions& c,
                        const ByteSet& initials) {
    if (!holdsAny(text, initials))
        return {};
    ByteSet inText = {};
    for (char ch : text)
        add(inText, ch);
    for (int m = 11; m >= 0; --m) {
        for (const XVString* name : {&c.monthNames[m], &c.monthAbbs[m]}) {
            // An empty name occurs at the start of any text.
            if (!name->empty() && !hasEitherCase(inText, (*name)[0]))
                continue;
            const std::size_t at = findCaseBlind(text, *name);
            if (at != npos)
                return {m + 1, text.data() + at, name->size()};
        }
    }
    return {};
}

// `hour` (0..23) on the 24-hour clock as the markers present in `text`
// make it (an empty marker counts as present); false when a marker stands
// with an hour it cannot qualify.
bool toClockHour(const XVString& text, const XVString& am, const XVString& pm, int* hour) {
    const auto present = [&text](const XVString& marker) {
        return marker.empty() || findCaseBlind(text, marker) != npos;
    };
    const bool isAm = present(am), isPm = present(pm);
    if (*hour >= 1 && *hour <= 11) {
        if (isPm && !isAm)
            *hour += 12;
    } else if (*hour == 12) {
        if (isAm && !isPm)
            *hour = 0;
    } else if ((!am.empty() && isAm) || (!pm.empty() && isPm)) {
        return false;
    }
    return true;
}

// The grouping of plain numbers.
GroupingRule numberGrouping(const QNLocaleSnapshot::Conventions& c) {
    return {&c.thousandsSep, &c.grouping, Separators::kMax};
}

// The grouping of money amounts, which hold ten separators at most.
GroupingRule moneyGrouping(const QNLocaleSnapshot::Conventions& c) {
    constexpr int kMaxMoneySeparators = 10;
    return {&c.monThousandsSep, &c.monGrouping, kMaxMoneySeparators};
}

// What a money text may hold for one currency symbol.
struct MoneyTerms {
    const XVString* positive;
    const XVString* negative;
    const XVString* currency;
    const XVString* point;
    GroupingRule grouping;
    int fractionDigits;
};

// The terms of `symbol`; false for symbols that read nothing.
bool moneyTerms(const QNLocaleSnapshot::Conventions& c, QNLocale::CurrSymbol symbol,
                MoneyTerms* terms) {
    static const XVString none;
    if (symbol == QNLocale::symbolLocal) {
        *terms = {&c.positiveSign,    &c.negativeSign,  &c.currencySymbol,
                  &c.monDecimalPoint, moneyGrouping(c), c.fracDigits};
        return true;
    }
    if (symbol == QNLocale::symbolInternational) {
        *terms = {&none,          &none, &c.intCurrSymbol, &c.monDecimalPoint, moneyGrouping(c),
                  c.intFracDigits};
        return true;
    }
    return false;
}

// A money reader's state: where it stands and the items taken so far.
struct MoneyScan {
    explicit MoneyScan(const XVString& text) : cursor(text) {}

    Cursor cursor;
    char sign = 0;  // '-', '+', '(' or none yet
    bool haveCurrency = false;
    bool haveNumber = false;
    double value = 0;
};

// currency := the currency symbol, not at a digit.
void readCurrency(const MoneyTerms& terms, MoneyScan& scan) {
    if (!scan.haveCurrency && !isDigit(scan.cursor.peek()) && scan.cursor.match(*terms.currency)) {
        scan.haveCurrency = true;
        scan.cursor.skipWhite();
    }
}

// sign := "-" | "+" | negative sign | positive sign, not at a digit.
void readMoneySign(const MoneyTerms& terms, MoneyScan& scan) {
    Cursor& c = scan.cursor;
    if (scan.sign != 0 || isDigit(c.peek()))
        return;
    if (c.peek() == '-' || c.peek() == '+')
        scan.sign = c.take();
    else if (c.match(*terms.negative))
        scan.sign = '-';
    else if (c.match(*terms.positive))
        scan.sign = '+';
    else
        return;
    c.skipWhite();
}

// What a money reader found where an amount may stand.
enum class Amount {
    kNone,       // no amount here: nothing consumed
    kRead,       // an amount, consumed
    kMalformed,  // digits that break the grouping or the decimals
};

// amount := integer [point digit{fractionDigits}] | point digit{fractionDigits},
// with separators where the grouping puts them, as a count of the smallest
// unit.
Amount readAmount(const MoneyTerms& terms, Cursor& cursor, double* value) {
    const char* const start = cursor.at;
    double v = 0;
    int digits = 0;
    const auto accumulate = [&v](char d) {
        v = v * 10 + (d - '0');
        return true;
    };
    if (!readGroupedInteger(cursor, terms.grouping, digits, accumulate))
        return Amount::kMalformed;
    const bool pointSeen = terms.fractionDigits > 0 && cursor.match(*terms.point);
    if (pointSeen) {
        int n = 0;
        for (; isDigit(cursor.peek()); ++n)
            v = v * 10 + (cursor.take() - '0');
        if (n != terms.fractionDigits)
            return Amount::kMalformed;
    } else {
        // A whole amount: scale it to the smallest unit.
        for (int i = 0; i < terms.fractionDigits; ++i)
            v *= 10;
    }
    if (digits == 0 && !pointSeen) {
        cursor.at = start;
        return Amount::kNone;
    }
    *value = v;
    return Amount::kRead;
}

// One pass over the items of money := {currency | sign | amount}, each
// taken once at most, in this order; false when an amount is malformed.
bool readMoneyPass(const MoneyTerms& terms, MoneyScan& scan) {
    readCurrency(terms, scan);
    readMoneySign(terms, scan);
    Cursor& c = scan.cursor;
    const XVString& point = *terms.point;
    if (scan.haveNumber || !(isDigit(c.peek()) || (!point.empty() && c.peek() == point[0])))
        return true;
    const Amount amount = readAmount(terms, c, &scan.value);
    if (amount == Amount::kMalformed)
        return false;
    if (amount == Amount::kRead) {
        scan.haveNumber = true;
        c.skipWhite();
    }
    return true;
}

// The ")" that closes a "(" sign, which makes the amount negative.
bool closeParenthesis(MoneyScan& scan) {
    if (scan.cursor.peek() != ')')
        return false;
    scan.cursor.takeThenSkipWhite();
    scan.sign = '-';
    return true;
}

// The fields of a date, as the date reader stores them.
enum DateField : int {
    kYearField,
    kMonthField,
    kDayField,
};
constexpr int kDateFieldCount = kDayField + 1;

// The fields a date text gives, in the order it gives them.
struct FieldOrder {
    int count;
    DateField fields[kDateFieldCount];
};

// The field order of `dateOrder`; without the month when it was found by name.
const FieldOrder& fieldOrder(int dateOrder, bool monthNamed) {
    static constexpr FieldOrder kAllFields[kDateOrderCount] = {
        {3, {kDayField, kMonthField, kYearField}},   // kDayMonthYear
        {3, {kMonthField, kDayField, kYearField}},   // kMonthDayYear
        {3, {kYearField, kDayField, kMonthField}},   // kYearDayMonth
        {3, {kYearField, kMonthField, kDayField}}};  // kYearMonthDay
    static constexpr FieldOrder kDayAndYear[kDateOrderCount] = {
        {2, {kDayField, kYearField}},   // kDayMonthYear
        {2, {kDayField, kYearField}},   // kMonthDayYear
        {2, {kYearField, kDayField}},   // kYearDayMonth
        {2, {kYearField, kDayField}}};  // kYearMonthDay
    XVKIT_DCHECK(dateOrder >= 0 && dateOrder < kDateOrderCount);
    return monthNamed ? kDayAndYear[dateOrder] : kAllFields[dateOrder];
}

// The most digits each date field takes.
constexpr int kFieldDigits[kDateFieldCount] = {4, 2, 2};

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
        // Past 2147483647 the number is refused.
        if (value > (d <= '7' ? 214748364L : 214748363L))
            return false;
        value = value * 10 + (d - '0');
        return true;
    };
    if (!readGroupedInteger(cursor, numberGrouping(c_), digits, accumulate) ||
        !cursor.onlyWhiteLeft()) {
        return false;
    }
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
    if (const char sign = cursor.takeSign())
        plain.push(sign);
    int digits = 0;
    const auto copy = [&plain](char d) {
        plain.push(d);
        return true;
    };
    if (!readGroupedInteger(cursor, numberGrouping(c_), digits, copy) ||
        !copyFraction(cursor, c_.decimalPoint, plain) || !copyExponent(cursor, plain) ||
        !cursor.onlyWhiteLeft()) {
        return false;
    }
    return exactValue(plain, out) || strtodValue(plain, out);
}

bool QNLocaleSnapshot::stringToDate(const XVString& text, tm* out) const {
    // A month name counts unless some name holds a digit.
    const MonthName name =
        c_.monthNamesWithDigits == 0 ? findMonthName(text, c_, monthInitials_) : MonthName();
    const bool cLocale = c_.localeName.size() == 1 && c_.localeName[0] == 'C';
    const FieldOrder& order =
        fieldOrder(name.month == 0 && cLocale ? kMonthDayYear : c_.dateOrder, name.month != 0);
    int fields[kDateFieldCount] = {0, name.month, 0};
    FieldScan scan(text);
    scan.nameAt = name.at;
    scan.nameLength = name.length;
    for (int i = 0; i < order.count; ++i) {
        const DateField f = order.fields[i];
        if (!readField(scan, kFieldDigits[f], &fields[f]))
            return false;
    }
    int year = fields[kYearField];
    if (year <= 99)
        year += 1900;
    const int month = fields[kMonthField], day = fields[kDayField];
    if (anyDigitLeft(scan.cursor) ||
        !QNDate::dayWithinMonth(static_cast<unsigned>(month), static_cast<unsigned>(day),
                                static_cast<unsigned>(year))) {
        return false;
    }
    out->tm_year = year - 1900;
    out->tm_mon = month - 1;
    out->tm_mday = day;
    return true;
}

bool QNLocaleSnapshot::stringToTime(const XVString& text, tm* out) const {
    FieldScan scan(text);
    int hour, minute, second = 0;
    if (!readField(scan, 2, &hour) || !readField(scan, 2, &minute))
        return false;
    const char* const afterMinute = scan.cursor.at;
    if (!readField(scan, 2, &second))
        scan.cursor.at = afterMinute;  // the seconds are optional
    if (anyDigitLeft(scan.cursor) || second > 59 || minute > 59 || hour > 23)
        return false;
    if (!toClockHour(text, c_.am, c_.pm, &hour))
        return false;
    out->tm_hour = hour;
    out->tm_min = minute;
    out->tm_sec = second;
    return true;
}

bool QNLocaleSnapshot::stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const {
    MoneyTerms terms;
    if (!moneyTerms(c_, symbol, &terms))
        return false;
    MoneyScan scan(text);
    scan.cursor.skipWhite();
    if (scan.cursor.peek() == '(') {
        scan.sign = '(';
        scan.cursor.takeThenSkipWhite();
    }
    // The items come in any order for the local symbol: each pass takes
    // what stands in its order, and the passes repeat while one takes
    // something.
    const bool anyOrder = symbol == symbolLocal;
    const char* before;
    do {
        before = scan.cursor.at;
        if (!readMoneyPass(terms, scan))
            return false;
    } while (anyOrder && scan.cursor.at != before);
    if (scan.sign == '(' && !closeParenthesis(scan))
        return false;
    if (!scan.cursor.atEnd() || !scan.haveNumber)
        return false;
    *out = scan.sign == '-' ? -scan.value : scan.value;
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
