// The contract of a locale's date and time readers, checked by the locale
// tests and fuzzers: a reader that refuses leaves the record as it was, one
// that succeeds changes its own three fields only; and readingOf, the locale
// tests' one way to read a text with any reader of a locale.

#ifndef XVKIT_TESTS_SUPPORT_READER_CONTRACT_H_
#define XVKIT_TESTS_SUPPORT_READER_CONTRACT_H_

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <tuple>

#include <xvkit/qnlocale.h>

namespace xvkit::reader_contract {

enum class TmReader { date, time };

// A record whose every byte is 0x5A, so that any field a reader sets shows.
inline tm markedTm() {
    tm t;
    std::memset(&t, 0x5A, sizeof t);
    return t;
}

// Whether `after`, what `reader` left in a markedTm(), keeps the contract,
// given whether it read a value (`ok`).
inline bool tmContractKept(TmReader reader, bool ok, const tm& after) {
    tm expected = markedTm();
    if (ok && reader == TmReader::date)
        std::tie(expected.tm_year, expected.tm_mon, expected.tm_mday) =
            std::tie(after.tm_year, after.tm_mon, after.tm_mday);
    else if (ok)
        std::tie(expected.tm_hour, expected.tm_min, expected.tm_sec) =
            std::tie(after.tm_hour, after.tm_min, after.tm_sec);
    return std::memcmp(&expected, &after, sizeof after) == 0;
}

// What reading `text` as `kind` with `l` gives, or "fail": 'n' a whole
// number, 'r' a real one (shortest digits, whatever the runtime's locale),
// '$' 'i' '0' money with the local, international or no symbol (in units),
// 'd' a date ("yyyy-mm-dd"), 't' a time ("hh:mm:ss"), 'M' 'W' a month or
// weekday index. "touched" when a reading that fails changed its output, or
// a date or time reading broke the contract above.
inline std::string readingOf(const QNLocale& l, char kind, const XVString& text) {
    if (kind == 'M' || kind == 'W')
        return std::to_string(kind == 'M' ? l.monthIndex(text) : l.weekdayIndex(text));
    long n = 77;
    double x = 7.5;
    tm t = markedTm();
    char out[64];
    bool ok = false;
    switch (kind) {
        case 'n':
            ok = l.stringToNum(text, &n);
            std::snprintf(out, sizeof out, "%ld", n);
            break;
        case 'r':
            ok = l.stringToNum(text, &x);
            *std::to_chars(out, out + sizeof out - 1, x).ptr = '\0';
            break;
        case 'd':
        case 't':
            ok = kind == 'd' ? l.stringToDate(text, &t) : l.stringToTime(text, &t);
            if (!tmContractKept(kind == 'd' ? TmReader::date : TmReader::time, ok, t))
                return "touched";
            if (kind == 'd')
                std::snprintf(out, sizeof out, "%04lld-%02d-%02d", t.tm_year + 1900LL, t.tm_mon + 1,
                              t.tm_mday);
            else
                std::snprintf(out, sizeof out, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
            break;
        default:
            ok = l.stringToMoney(text, &x,
                                 kind == '$'   ? QNLocale::symbolLocal
                                 : kind == 'i' ? QNLocale::symbolInternational
                                               : QNLocale::symbolNone);
            std::snprintf(out, sizeof out, "%.0f", x);
    }
    if (!ok && (n != 77 || x != 7.5))
        return "touched";
    return ok ? out : "fail";
}

}  // namespace xvkit::reader_contract

#endif  // XVKIT_TESTS_SUPPORT_READER_CONTRACT_H_
