// Feeds arbitrary text to every reading operation of the English locale. A
// reading that fails must leave its output exactly as it was.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <xvkit/qnlocale.h>

namespace {

template <class T>
void checkUntouchedOnFailure(bool ok, const T& before, const T& after) {
    if (!ok && std::memcmp(&before, &after, sizeof before) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QNLocaleDefault& locale = QNLocaleDefault::instance();
    const XVString text(reinterpret_cast<const char*>(data), size);

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
    return 0;
}
