// Feeds arbitrary text to every reading operation, and arbitrary values and
// calendar records to every formatter, of two snapshots: the "C" locale and
// German UTF-8 (compiled at build time into XVKIT_FUZZ_LOCPATH). A reading
// that fails must leave its output exactly as it was; names read back must be
// in range.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "fuzz_input.h"

namespace {

template <class T>
void checkUntouchedOnFailure(bool ok, const T& before, const T& after) {
    if (!ok && std::memcmp(&before, &after, sizeof before) != 0)
        std::abort();
}

const QNLocaleSnapshot& cSnapshot() {
    static const QNLocaleSnapshot snapshot("C");
    return snapshot;
}

// Fails the whole run when the German locale cannot be loaded: a fuzzer that
// quietly fell back to "C" would test half of what it claims.
const QNLocaleSnapshot& germanSnapshot() {
    static const QNLocaleSnapshot* snapshot = [] {
        setenv("LOCPATH", XVKIT_FUZZ_LOCPATH, 1);
        const auto* made = new QNLocaleSnapshot("de_DE.UTF-8");
        if (made->conventions().decimalPoint != ",") {
            std::fprintf(stderr, "de_DE.UTF-8 not found under %s (build xvkit_test_locales)\n",
                         XVKIT_FUZZ_LOCPATH);
            std::abort();
        }
        return made;
    }();
    return *snapshot;
}

void readEverything(const QNLocale& locale, const XVString& text) {
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

    tm date;
    std::memset(&date, 0x5A, sizeof date);
    const tm dateBefore = date;
    checkUntouchedOnFailure(locale.stringToDate(text, &date), dateBefore, date);

    tm time;
    std::memset(&time, 0x5A, sizeof time);
    const tm timeBefore = time;
    checkUntouchedOnFailure(locale.stringToTime(text, &time), timeBefore, time);

    const int month = locale.monthIndex(text);
    if (month < 0 || month > 12)
        std::abort();
    const int weekday = locale.weekdayIndex(text);
    if (weekday < 0 || weekday > 7)
        std::abort();
}

void formatEverything(const QNLocale& locale, FuzzInput& in) {
    const tm t = in.takeTm();
    const double value = in.take<double>();
    const int precision = in.take<std::uint16_t>() % 600;
    const bool showpoint = in.take<std::uint8_t>() & 1;
    const long whole = in.take<long>();
    const int symbol = in.take<std::uint8_t>() % 4;
    for (int directive = 0; directive < 256; ++directive)
        locale.asString(&t, static_cast<char>(directive), QNZone::utc());
    locale.asString(value, precision, showpoint);
    locale.asString(static_cast<unsigned long>(whole));
    locale.asString(whole);
    locale.moneyAsString(value, static_cast<QNLocale::CurrSymbol>(symbol));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QNLocale* locales[] = {&cSnapshot(), &germanSnapshot()};
    const XVString text(reinterpret_cast<const char*>(data), size);
    for (const QNLocale* locale : locales) {
        readEverything(*locale, text);
        FuzzInput in(data, size);
        formatEverything(*locale, in);
    }
    return 0;
}
