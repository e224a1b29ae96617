// The reading checks shared by the locale fuzzers: every reading operation
// of a locale on one arbitrary text. A reading that fails must leave its
// output exactly as it was, one that succeeds may change only its own
// fields, and names read back must be in range; any breach aborts.

#ifndef XVKIT_FUZZ_LOCALE_READERS_H_
#define XVKIT_FUZZ_LOCALE_READERS_H_

#include <cstdlib>
#include <cstring>
#include <ctime>

#include <xvkit/qnlocale.h>

#include "reader_contract.h"

namespace fuzz {

template <class T>
inline void checkSame(const T& before, const T& after) {
    if (std::memcmp(&before, &after, sizeof before) != 0)
        std::abort();
}

template <class T>
inline void checkUntouchedOnFailure(bool ok, const T& before, const T& after) {
    if (!ok)
        checkSame(before, after);
}

inline void readEverything(const QNLocale& locale, const XVString& text) {
    long integer = 12345;
    const long integerBefore = integer;
    checkUntouchedOnFailure(locale.stringToNum(text, &integer), integerBefore, integer);

    double real = 1.5;
    const double realBefore = real;
    checkUntouchedOnFailure(locale.stringToNum(text, &real), realBefore, real);

    for (int symbol = 0; symbol < 3; ++symbol) {
        double money = -7.25;
        const double moneyBefore = money;
        const bool ok =
            locale.stringToMoney(text, &money, static_cast<QNLocale::CurrSymbol>(symbol));
        checkUntouchedOnFailure(ok, moneyBefore, money);
    }

    using namespace xvkit::reader_contract;
    tm date = markedTm();
    if (!tmContractKept(TmReader::date, locale.stringToDate(text, &date), date))
        std::abort();
    tm time = markedTm();
    if (!tmContractKept(TmReader::time, locale.stringToTime(text, &time), time))
        std::abort();

    const int month = locale.monthIndex(text);
    if (month < 0 || month > 12)
        std::abort();
    const int weekday = locale.weekdayIndex(text);
    if (weekday < 0 || weekday > 7)
        std::abort();
}

}  // namespace fuzz

#endif  // XVKIT_FUZZ_LOCALE_READERS_H_
