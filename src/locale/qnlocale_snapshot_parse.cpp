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

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

namespace {

constexpr std::size_t npos = XVString::npos;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The case mapping of XVString::index with `caseInsensitive`: the "C"
// locale's, which folds only the ASCII letters.
char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where `name` first occurs in `text`, letters compared without regard to case.
std::size_t findCaseBlind(const XVString& text, const XVString& name) {
    return text.index(name.data(), name.size(), 0, XVString::caseInsensitive);
}

// Which bytes occur in a text, after folding.
class FoldedBytes {
  public:
    explicit FoldedBytes(const XVString& text) {
        for (char c : text) {
            const auto b = static_cast<unsigned char>(folded(c));
            bits_[b / 64] |= std::uint64_t{1} << (b % 64);
        }
    }
    bool has(char c) const {
        const auto b = static_cast<unsigned char>(folded(c));
        return (bits_[b / 64] >> (b % 64)) & 1;
    }

  private:
    std::uint64_t bits_[4] = {};
};

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

struct Cursor {
    const XVString& text;
    std::size_t at = 0;

    bool end() const { return at >= text.size(); }
    char peek() const { return end() ? '\0' : text[at]; }
    void skipWhite() {
        while (!end() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
    }
    // Moves past `literal` when it stands here; an empty literal never does.
    bool match(const XVString& literal) {
        if (literal.empty() || text.size() - at < literal.size() ||
            std::memcmp(text.data() + at, literal.data(), literal.size()) != 0) {
            return false;
        }
        at += literal.size();
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
            if (digits == INT_MAX || !digit(cursor.text[cursor.at++]))
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
bool readField(Cursor& cursor, int limit, bool* separatorSeen, std::size_t nameAt,
               std::size_t nameLength, int* value) {
    while (!cursor.end() && !isDigit(cursor.peek())) {
        // An empty name has nothing to jump over: move on one character.
        cursor.at += nameLength != 0 && cursor.at == nameAt ? nameLength : 1;
        if (separatorSeen)
            *separatorSeen = true;
    }
    if (cursor.end())
        return false;
    int v = 0;
    for (int n = 0; n < limit && isDigit(cursor.peek()); ++n)
        v = v * 10 + (cursor.text[cursor.at++] - '0');
    if (separatorSeen && *separatorSeen && isDigit(cursor.peek()))
        return false;
    *value = v;
    return true;
}

bool anyDigitLeft(Cursor cursor) {
    int ignored;
    return readField(cursor, 1, nullptr, npos, 0, &ignored);
}

// The plain number text handed to strtod: at most the read text with its
// decimal point replaced by the runtime's.
class PlainNumber {
  public:
    explicit PlainNumber(std::size_t capacity) {
        if (capacity > sizeof local_) {
            heap_.resize(capacity);
            begin_ = heap_.data();
        }
        end_ = begin_;
    }
    PlainNumber(const PlainNumber&) = delete;
    PlainNumber& operator=(const PlainNumber&) = delete;

    void push(char c) { *end_++ = c; }
    void push(const char* s, std::size_t n) {
        std::memcpy(end_, s, n);
        end_ += n;
    }
    bool empty() const { return end_ == begin_; }
    char last() const { return end_[-1]; }
    const char* c_str() {
        *end_ = '\0';
        return begin_;
    }
    std::size_t size() const { return static_cast<std::size_t>(end_ - begin_); }

  private:
    char local_[320];
    std::string heap_;
    char* begin_ = local_;
    char* end_;
};

}  // namespace

bool QNLocaleSnapshot::stringToNum(const XVString& text, long* out) const {
    Cursor cursor{text};
    cursor.skipWhite();
    char sign = 0;
    if (cursor.peek() == '-' || cursor.peek() == '+') {
        sign = cursor.text[cursor.at++];
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
    if (!cursor.end())
        return false;
    if (sign == '-')
        value = -value;
    if ((value < 0) != (sign == '-'))
        return false;
    *out = value;
    return true;
}

bool QNLocaleSnapshot::stringToNum(const XVString& text, double* out) const {
    if (text.size() >= 256)
        return false;
    // The runtime's own decimal point, which strtod expects. nl_langinfo
    // reads it without writing anything, unlike localeconv.
    const char* runtimePoint = nl_langinfo(RADIXCHAR);
    const std::size_t runtimePointLength = std::strlen(runtimePoint);
    PlainNumber plain(text.size() + runtimePointLength + 1);
    Cursor cursor{text};
    cursor.skipWhite();
    if (cursor.peek() == '-' || cursor.peek() == '+') {
        plain.push(cursor.text[cursor.at++]);
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
    const bool endsInDigit = !plain.empty() && isDigit(plain.last());
    if (cursor.match(c_.decimalPoint)) {
        if (!isDigit(cursor.peek()) && !endsInDigit)
            return false;
        plain.push(runtimePoint, runtimePointLength);
        while (isDigit(cursor.peek()))
            plain.push(cursor.text[cursor.at++]);
    } else if (!endsInDigit) {
        return false;
    }
    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        plain.push(cursor.text[cursor.at++]);
        if (cursor.peek() == '-' || cursor.peek() == '+')
            plain.push(cursor.text[cursor.at++]);
        if (!isDigit(cursor.peek()))
            return false;
        while (isDigit(cursor.peek()))
            plain.push(cursor.text[cursor.at++]);
    }
    cursor.skipWhite();
    if (!cursor.end())
        return false;
    const char* number = plain.c_str();
    char* end = nullptr;
    const double value = std::strtod(number, &end);
    if (end != number + plain.size())
        return false;
    *out = value;
    return true;
}

bool QNLocaleSnapshot::stringToDate(const XVString& text, tm* out) const {
    // A month name anywhere in the text, unless some name holds a digit. An
    // empty name occurs at the start of any text.
    int month = 0;
    std::size_t nameAt = npos, nameLength = 0;
    const FoldedBytes inText(text);
    for (int m = 11; m >= 0 && month == 0 && c_.monthNamesWithDigits == 0; --m) {
        for (const XVString* name : {&c_.monthNames[m], &c_.monthAbbs[m]}) {
            // A name whose first letter is not in the text cannot be in it.
            const bool possible = name->empty() || inText.has((*name)[0]);
            const std::size_t at = possible ? findCaseBlind(text, *name) : npos;
            if (at != npos) {
                month = m + 1;
                nameAt = at;
                nameLength = name->size();
                break;
            }
        }
    }
    // Fields read by row (0 year, 1 month, 2 day; -1 ends a row) and their
    // digit limits.
    static constexpr int kRows[8][3] = {{2, 1, 0},  {1, 2, 0},  {0, 2, 1},  {0, 1, 2},
                                        {2, 0, -1}, {2, 0, -1}, {0, 2, -1}, {0, 2, -1}};
    static constexpr int kLimits[3] = {4, 2, 2};
    const int row = month == 0 && c_.localeName == "C" ? 1 : c_.dateOrder + (month ? 4 : 0);
    int fields[3] = {0, month, 0};
    Cursor cursor{text};
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
    Cursor cursor{text};
    bool separatorSeen = false;
    int hour, minute, second = 0;
    if (!readField(cursor, 2, &separatorSeen, npos, 0, &hour) ||
        !readField(cursor, 2, &separatorSeen, npos, 0, &minute)) {
        return false;
    }
    const std::size_t afterMinute = cursor.at;
    if (!readField(cursor, 2, &separatorSeen, npos, 0, &second))
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
    Cursor cursor{text};
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
    for (; !cursor.end() && passes > 0; --passes) {
        if (sign && haveCurrency && haveNumber)
            break;
        if (!haveCurrency && !isDigit(cursor.peek()) && cursor.match(*currency)) {
            haveCurrency = true;
            cursor.skipWhite();
        }
        if (!sign && !isDigit(cursor.peek())) {
            if (cursor.peek() == '-' || cursor.peek() == '+') {
                sign = cursor.text[cursor.at++];
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
        const std::size_t start = cursor.at;
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
                v = v * 10 + (cursor.text[cursor.at++] - '0');
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
    if (!cursor.end() || !haveNumber)
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
