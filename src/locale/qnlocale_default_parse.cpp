// Reading operations of the built-in English locale: numbers, dates, times,
// money, and month and weekday names.
//
// Each reader works on the whole text, embedded NULs included (they count as
// ordinary characters that are neither blanks nor digits), and writes its
// output only once the text has been accepted.
#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qnlocale_default_names.h"
#include "text_cursor.h"

namespace {

using namespace xvkit::locale;

// strtol base 10 as it reads with a 32-bit long: a value beyond that range
// is clamped to its nearer end.
long strtol32(const char* s, char** stop) {
    return std::clamp(std::strtol(s, stop, 10), long{INT32_MIN}, long{INT32_MAX});
}

// The digits at `s` (at least one) as strtol32 reads them there: their value,
// clamped to 2147483647.
long digits32(const char* s, char** stop) {
    constexpr std::uint64_t kMax = INT32_MAX;
    std::uint64_t value = 0;
    for (; isDigit(*s); ++s) {
        value = value * 10 + static_cast<std::uint64_t>(*s - '0');
        if (value > kMax)
            value = kMax + 1;  // stays above the limit, however many digits follow
    }
    *stop = const_cast<char*>(s);
    return static_cast<long>(std::min(value, kMax));
}

// A base-10 number read with strtol32 at `c`; false when none is there, and
// then nothing is consumed.
bool readLong(Cursor& c, long* value) {
    char* stop = nullptr;
    const long v = strtol32(c.at, &stop);
    if (stop == c.at)
        return false;
    c.at = stop;
    *value = v;
    return true;
}

// Optional blanks and sign, then `readNumber` at a character that `starts`
// accepts, then optional blanks to the end. Stores the signed value.
template <class T, class Starts, class Read>
bool readSignedNumber(const XVString& text, T* out, Starts starts, Read readNumber) {
    Cursor c(text);
    c.skipWhite();
    const char sign = c.takeSign();
    if (c.atEnd() || !starts(c.peek()))
        return false;
    char* stop = nullptr;
    const T value = readNumber(c.at, &stop);
    c.at = stop;
    if (!c.onlyWhiteLeft())
        return false;
    *out = sign == '-' ? -value : value;
    return true;
}

// 1..12 for the month whose full or short name occurs anywhere in `text`,
// letters compared without regard to case (ASCII only, as the classic
// `ctype` lowers them), searching December first; 0 when none does. Every
// full name begins with its short name, so a month occurs exactly when its
// short name does: one pass over the text compares each three-character
// window with the twelve short names and keeps the latest month seen.
int monthNamed(const XVString& text) {
    // For letters, c | 0x20 is the lower-case letter; no other byte maps
    // onto a lower-case letter that way.
    constexpr auto lowered = [](char c) { return static_cast<unsigned char>(c | 0x20); };
    struct Tables {
        std::uint32_t keys[12];        // short names lowered, as 24-bit keys
        std::uint16_t byInitial[256];  // months (bit m for month m + 1) by lowered initial
    };
    static constexpr Tables tables = [lowered] {
        Tables t{};
        for (int m = 0; m < 12; ++m) {
            for (char c : kShortMonthNames[m])
                t.keys[m] = (t.keys[m] << 8) | lowered(c);
            t.byInitial[lowered(kShortMonthNames[m][0])] |= static_cast<std::uint16_t>(1u << m);
        }
        return t;
    }();

    const std::size_t n = text.size();
    if (n < 3)
        return 0;
    int found = 0;
    std::uint32_t window = (std::uint32_t{lowered(text[0])} << 8) | lowered(text[1]);
    for (std::size_t i = 2; i < n; ++i) {
        window = ((window << 8) | lowered(text[i])) & 0xFFFFFF;
        // Candidates: months later than the one found, with this initial.
        unsigned int candidates = tables.byInitial[window >> 16] & ~((1u << found) - 1);
        while (candidates != 0) {
            const int m = 31 - __builtin_clz(candidates);
            if (window == tables.keys[m]) {
                found = m + 1;
                break;
            }
            candidates &= ~(1u << m);
        }
        if (found == 12)
            break;
    }
    return found;
}

// 1-based index of the last table entry whose full or short name equals the
// whole of `name` (case-blind), or 0. This is `XVString::compareTo` with
// `caseInsensitive` against each name: lengths first, then the C runtime's
// case-blind compare.
template <std::size_t N>
int lastNameEqual(const XVString& name, const std::string_view (&full)[N],
                  const std::string_view (&shortNames)[N]) {
    const auto equal = [&name](std::string_view candidate) {
        return name.size() == candidate.size() &&
               xvMemicmp(name.data(), candidate.data(), candidate.size()) == 0;
    };
    for (int i = static_cast<int>(N) - 1; i >= 0; --i) {
        if (equal(full[i]) || equal(shortNames[i]))
            return i + 1;
    }
    return 0;
}

// The month, day and year numbers of a date, each after any non-digits (the
// month only when `*month` is still 0), with nothing but non-digits after
// the year.
bool readDateNumbers(const XVString& text, long* month, long* day, long* year) {
    Cursor c(text);
    if (!c.toDigit())
        return false;
    if (*month == 0) {
        readLong(c, month);
        if (!c.toDigit())
            return false;
    }
    readLong(c, day);
    if (!c.toDigit())
        return false;
    readLong(c, year);
    return !c.toDigit();
}

// marker := ("A" | "P") "M", any case; 'A' or 'P' when one stands at `c`,
// else 0.
char readMarker(const Cursor& c) {
    const char marker = static_cast<char>(std::toupper(static_cast<unsigned char>(c.peek())));
    const bool twelveHour = (marker == 'A' || marker == 'P') && c.left() >= 2 &&
                            std::toupper(static_cast<unsigned char>(c.at[1])) == 'M';
    return twelveHour ? marker : 0;
}

// `*hour` on the 24-hour clock: 1..12 with the `marker` 'A' or 'P', 0..23
// without one; false when out of range.
bool toClockHour(char marker, long* hour) {
    if (marker == 0)
        return *hour >= 0 && *hour <= 23;
    if (*hour < 1 || *hour > 12)
        return false;
    if (*hour == 12)
        *hour = 0;
    if (marker == 'P')
        *hour += 12;
    return true;
}

// prefix := ["-" | "("] ["$"] for the local symbol, or ["USD"] for the
// international one, then ["-" | "("] unless a sign came first. Returns the
// sign read ('-', '(' or 0).
char readMoneyPrefix(Cursor& c, QNLocale::CurrSymbol symbol) {
    char sign = 0;
    if (symbol == QNLocale::symbolLocal) {
        if (c.peek() == '-' || c.peek() == '(') {
            sign = c.peek();
            c.takeThenSkipWhite();
        }
        if (c.peek() == '$')
            c.takeThenSkipWhite();
    } else if (c.match("USD", 3)) {
        c.skipWhite();
    }
    if (sign == 0 && (c.peek() == '-' || c.peek() == '(')) {
        sign = c.peek();
        c.takeThenSkipWhite();
    }
    return sign;
}

// amount := digits ["." digit digit] | "." digit digit, as hundredths;
// false when neither part is there.
bool readHundredths(Cursor& c, double* hundredths) {
    const char* const amountStart = c.at;
    double units = 0;
    while (isDigit(c.peek()))
        units = units * 10 + (c.take() - '0');
    double cents = 0;
    if (c.left() >= 3 && c.at[0] == '.' && isDigit(c.at[1]) && isDigit(c.at[2])) {
        cents = (c.at[1] - '0') * 10 + (c.at[2] - '0');
        c.at += 3;
    }
    *hundredths = units * 100 + cents;
    return c.at != amountStart;
}

}  // namespace

bool QNLocaleDefault::stringToNum(const XVString& text, long* out) const {
    // The digits carry no sign, so a larger magnitude is clamped to the
    // largest one before the sign applies.
    return readSignedNumber(text, out, isDigit, digits32);
}

bool QNLocaleDefault::stringToNum(const XVString& text, double* out) const {
    return readSignedNumber(
        text, out, [](char c) { return isDigit(c) || c == '.'; },
        [](const char* s, char** stop) { return std::strtod(s, stop); });
}

bool QNLocaleDefault::stringToDate(const XVString& text, tm* out) const {
    long month = monthNamed(text);
    long day = 0;
    long year = 0;
    if (!readDateNumbers(text, &month, &day, &year))
        return false;
    if (year < 100)
        year += 1900;
    // The numbers are 32-bit, so none outside 1..12 or 1..31 passes as
    // unsigned.
    if (!QNDate::dayWithinMonth(static_cast<unsigned int>(month), static_cast<unsigned int>(day),
                                static_cast<unsigned int>(year))) {
        return false;
    }
    out->tm_year = static_cast<int>(year - 1900);
    out->tm_mon = static_cast<int>(month - 1);
    out->tm_mday = static_cast<int>(day);
    return true;
}

bool QNLocaleDefault::stringToTime(const XVString& text, tm* out) const {
    Cursor c(text);
    c.skipWhite();
    long hour = 0;
    long minute = 0;
    long second = 0;
    if (!readLong(c, &hour))
        return false;
    for (long* field : {&minute, &second}) {
        if (c.peek() == ':' || c.peek() == '.')
            ++c.at;
        readLong(c, field);  // absent fields stay 0
    }
    c.skipWhite();
    if (!toClockHour(readMarker(c), &hour) || minute < 0 || minute > 59 || second < 0 ||
        second > 59) {
        return false;
    }
    out->tm_hour = static_cast<int>(hour);
    out->tm_min = static_cast<int>(minute);
    out->tm_sec = static_cast<int>(second);
    return true;
}

bool QNLocaleDefault::stringToMoney(const XVString& text, double* out, CurrSymbol symbol) const {
    if (symbol == symbolNone)
        return false;
    Cursor c(text);
    c.skipWhite();
    char sign = readMoneyPrefix(c, symbol);
    double hundredths = 0;
    if (!readHundredths(c, &hundredths))
        return false;
    c.skipWhite();
    if (sign == '(' && c.peek() == ')') {
        c.takeThenSkipWhite();
    } else if (symbol == symbolLocal && sign == 0 && c.peek() == '-') {
        sign = '-';
        c.takeThenSkipWhite();
    }
    if (!c.atEnd())
        return false;
    *out = sign != 0 ? -hundredths : hundredths;
    return true;
}

int QNLocaleDefault::monthIndex(const XVString& name) const {
    return lastNameEqual(name, kMonthNames, kShortMonthNames);
}

int QNLocaleDefault::weekdayIndex(const XVString& name) const {
    return lastNameEqual(name, kWeekdayNames, kShortWeekdayNames);
}
