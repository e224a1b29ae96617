// QNLocaleSnapshot reading: numbers, money, dates, times and names with the
// captured conventions. Every reader fills its output only on success.

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text of `s.strip(XVString::stripBoth, ' ')`, made without a view: a
// view would add a reference to `s`, and the captured names are shared by
// every thread that reads with the snapshot.
XVString withoutOuterBlanks(const XVString& s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == XVString::npos)
        return XVString();
    return XVString(s.data() + first, s.find_last_not_of(' ') - first + 1);
}

struct Cursor {
    const XVString& text;
    std::size_t at = 0;
    bool end() const { return at >= text.size(); }
    char peek() const { return end() ? '\0' : text[at]; }
    void skipWhite() {
        while (!end() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
    }
    bool match(const XVString& literal) {
        if (literal.empty() || text.compare(at, literal.size(), literal) != 0)
            return false;
        at += literal.size();
        return true;
    }
};

// Whether separators recorded after digits `positions` sit where `grouping`
// puts them in an integer part of `digits` digits. May give back a trailing
// blank separator to the cursor.
bool groupsFit(std::vector<int> positions, int digits, const XVString& grouping,
               const XVString& separator, Cursor& cursor) {
    if (positions.empty())
        return true;
    if (positions.back() == digits) {
        if (separator.empty() || separator[0] != ' ')
            return false;
        cursor.at -= 1;
        positions.pop_back();
        if (positions.empty())
            return true;
    }
    if (grouping.empty())
        return false;
    std::size_t g = 0;
    int size = grouping[0] & 15;
    int r = digits - size;
    std::size_t i = positions.size() - 1;
    if (positions[i] != r)
        return false;
    for (;;) {
        if (g + 1 < grouping.size())
            ++g;
        size = grouping[g] & 15;
        if (i == 0)
            break;
        r -= size;
        --i;
        if (positions[i] != r)
            return false;
    }
    return r <= size;
}

// Reads a run of integer digits with optional separators into `digits`.
void readInteger(Cursor& cursor, const XVString& separator, std::string& digits,
                 std::vector<int>& positions) {
    for (;;) {
        while (isDigit(cursor.peek()))
            digits += cursor.text[cursor.at++];
        const std::size_t before = cursor.at;
        if (digits.empty() || !cursor.match(separator))
            return;
        positions.push_back(static_cast<int>(digits.size()));
        if (!isDigit(cursor.peek())) {
            // A trailing separator: leave it for the group check to judge.
            (void)before;
            return;
        }
    }
}

// Reads a date/time field of at most `limit` digits; see stringToDate.
bool readField(Cursor& cursor, int limit, bool* separatorSeen, std::size_t nameAt,
               std::size_t nameLength, int* value) {
    while (!cursor.end() && !isDigit(cursor.peek())) {
        if (nameLength && cursor.at == nameAt) {
            cursor.at += nameLength;
        } else {
            ++cursor.at;
        }
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
    return readField(cursor, 1, nullptr, XVString::npos, 0, &ignored);
}

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
    std::vector<int> positions;
    for (;;) {
        while (isDigit(cursor.peek())) {
            const char d = cursor.text[cursor.at++];
            if (value > (d <= '7' ? 214748364L : 214748363L))
                return false;
            value = value * 10 + (d - '0');
            ++digits;
        }
        if (!cursor.match(c_.thousandsSep))
            break;
        positions.push_back(digits);
        if (!isDigit(cursor.peek()))
            break;
    }
    if (!groupsFit(positions, digits, c_.grouping, c_.thousandsSep, cursor))
        return false;
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
    Cursor cursor{text};
    std::string plain;
    cursor.skipWhite();
    if (cursor.peek() == '-' || cursor.peek() == '+') {
        plain += cursor.text[cursor.at++];
        cursor.skipWhite();
    }
    std::string digits;
    std::vector<int> positions;
    readInteger(cursor, c_.thousandsSep, digits, positions);
    if (!groupsFit(positions, static_cast<int>(digits.size()), c_.grouping, c_.thousandsSep,
                   cursor)) {
        return false;
    }
    plain += digits;
    const bool lastIsDigit = !plain.empty() && isDigit(plain.back());
    if (cursor.match(c_.decimalPoint)) {
        if (!isDigit(cursor.peek()) && !lastIsDigit)
            return false;
        plain += localeconv()->decimal_point;
        while (isDigit(cursor.peek()))
            plain += cursor.text[cursor.at++];
    } else if (!lastIsDigit) {
        return false;
    }
    if (cursor.peek() == 'e' || cursor.peek() == 'E') {
        plain += cursor.text[cursor.at++];
        if (cursor.peek() == '-' || cursor.peek() == '+')
            plain += cursor.text[cursor.at++];
        if (!isDigit(cursor.peek()))
            return false;
        while (isDigit(cursor.peek()))
            plain += cursor.text[cursor.at++];
    }
    cursor.skipWhite();
    if (!cursor.end())
        return false;
    char* end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size())
        return false;
    *out = value;
    return true;
}

bool QNLocaleSnapshot::stringToDate(const XVString& text, tm* out) const {
    int month = 0;
    std::size_t nameAt = XVString::npos, nameLength = 0;
    if (c_.monthNamesWithDigits == 0) {
        for (int m = 11; m >= 0 && !month; --m) {
            for (const XVString* name : {&c_.monthNames[m], &c_.monthAbbs[m]}) {
                if (name->empty())
                    continue;
                const std::size_t at =
                    text.index(name->data(), name->size(), 0, XVString::caseInsensitive);
                if (at != XVString::npos) {
                    month = m + 1;
                    nameAt = at;
                    nameLength = name->size();
                    break;
                }
            }
        }
    }
    static const int kRows[8][3] = {{2, 1, 0},  {1, 2, 0},  {0, 2, 1},  {0, 1, 2},
                                    {2, 0, -1}, {2, 0, -1}, {0, 2, -1}, {0, 2, -1}};
    static const int kLimits[3] = {4, 2, 2};
    const int row = c_.localeName == "C" && !month ? 1 : c_.dateOrder + (month ? 4 : 0);
    int fields[3] = {0, month, 0};
    Cursor cursor{text};
    bool seen = false;
    for (int f : kRows[row]) {
        if (f < 0)
            break;
        if (!readField(cursor, kLimits[f], &seen, nameAt, nameLength, &fields[f]))
            return false;
    }
    int year = fields[0];
    if (year >= 0 && year <= 99)
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
    bool seen = false;
    int hour, minute, second = 0;
    const std::size_t none = XVString::npos;
    if (!readField(cursor, 2, &seen, none, 0, &hour) ||
        !readField(cursor, 2, &seen, none, 0, &minute)) {
        return false;
    }
    const std::size_t afterMinute = cursor.at;
    if (!readField(cursor, 2, &seen, none, 0, &second)) {
        second = 0;
        cursor.at = afterMinute;
    }
    if (anyDigitLeft(cursor))
        return false;
    if (second > 59 || minute > 59 || hour > 23)
        return false;
    auto present = [&text](const XVString& marker) {
        return marker.empty() || text.index(marker.data(), marker.size(), 0,
                                            XVString::caseInsensitive) != XVString::npos;
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
    XVString positive, negative, currency;
    int digits, passes;
    switch (symbol) {
        case symbolLocal:
            positive = c_.positiveSign;
            negative = c_.negativeSign;
            currency = c_.currencySymbol;
            digits = c_.fracDigits;
            passes = 3;
            break;
        case symbolInternational:
            currency = c_.intCurrSymbol;
            digits = c_.intFracDigits;
            passes = 1;
            break;
        case symbolNone:
            return false;
        default:
            digits = 0;
            passes = 0;
            break;
    }
    bool haveCurrency = false, haveNumber = false;
    double value = 0;
    while (!cursor.end() && passes-- > 0) {
        if (sign && haveCurrency && haveNumber)
            break;
        if (!haveCurrency && !isDigit(cursor.peek()) && cursor.match(currency)) {
            haveCurrency = true;
            cursor.skipWhite();
        }
        if (!sign && !isDigit(cursor.peek())) {
            if (cursor.peek() == '-' || cursor.peek() == '+') {
                sign = cursor.text[cursor.at++];
                cursor.skipWhite();
            } else if (cursor.match(negative)) {
                sign = '-';
                cursor.skipWhite();
            } else if (cursor.match(positive)) {
                sign = '+';
                cursor.skipWhite();
            }
        }
        if (!haveNumber && (isDigit(cursor.peek()) || (!c_.monDecimalPoint.empty() &&
                                                       cursor.peek() == c_.monDecimalPoint[0]))) {
            const std::size_t start = cursor.at;
            std::string integer;
            std::vector<int> positions;
            readInteger(cursor, c_.monThousandsSep, integer, positions);
            if (positions.size() > 10 || !groupsFit(positions, static_cast<int>(integer.size()),
                                                    c_.monGrouping, c_.monThousandsSep, cursor)) {
                cursor.at = start;
                return false;
            }
            double v = 0;
            for (char d : integer)
                v = v * 10 + (d - '0');
            bool point = false;
            if (digits > 0 && cursor.match(c_.monDecimalPoint)) {
                point = true;
                int n = 0;
                while (isDigit(cursor.peek())) {
                    v = v * 10 + (cursor.text[cursor.at++] - '0');
                    ++n;
                }
                if (n != digits)
                    return false;
            } else if (digits > 0 && !integer.empty()) {
                for (int i = 0; i < digits; ++i)
                    v *= 10;
            }
            if (integer.empty() && !point) {
                cursor.at = start;
            } else {
                haveNumber = true;
                value = v;
                cursor.skipWhite();
            }
        }
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
    const XVString wanted = withoutOuterBlanks(name);
    for (int m = 11; m >= 0; --m) {
        const XVString abbreviation = withoutOuterBlanks(c_.monthAbbs[m]);
        const XVString full = withoutOuterBlanks(c_.monthNames[m]);
        if (wanted.compareTo(abbreviation, XVString::caseInsensitive) == 0 ||
            wanted.compareTo(full, XVString::caseInsensitive) == 0) {
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
