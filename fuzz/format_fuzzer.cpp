// Expands arbitrary format texts for arbitrary calendar records (every field
// may be out of range) with the default locale and a "C" snapshot, classes
// derived from them that override nothing or the directive operation, in
// two zones. Each expansion must be the directive operation's texts with
// the rest copied, and "%%" alone must give "%".
// The English locale's number texts are checked against the C library's
// formatting, and its money texts must never carry a minus sign.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "derived_locales.h"
#include "fuzz_input.h"

namespace {

using xvkit::testing::Bracketing;
using xvkit::testing::Inheriting;

const QNLocaleSnapshot& cSnapshot() {
    static const QNLocaleSnapshot snapshot("C");
    return snapshot;
}

const QNZone& eastern() {
    static const QNZoneSimple zone(QNZone::usEastern, QNZone::northAmerican);
    return zone;
}

std::string cFixed(double value, int precision, bool showpoint) {
    const char* format = showpoint ? "%#.*f" : "%.*f";
    const int n = std::snprintf(nullptr, 0, format, precision, value);
    std::string text(static_cast<std::size_t>(n), '\0');
    std::snprintf(text.data(), text.size() + 1, format, precision, value);
    return text;
}

// The expansion as the interface defines it: each directive's text from the
// directive operation, through the virtual table; the rest copied.
std::string expandedByDirectives(const QNLocale& locale, const tm& t, const char* format,
                                 const QNZone& zone) {
    std::string text;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            text += *p;
        } else if (p[1] == '%') {
            text += *++p;
        } else if (p[1] != '\0') {
            text += locale.asString(&t, *++p, zone);
        }
    }
    return text;
}

// The number operations take their arguments from the record's bits, so the
// inputs stay a record followed by a format.
void checkNumbers(const tm& t) {
    const QNLocaleDefault& english = QNLocaleDefault::instance();
    const int bits[2] = {t.tm_sec, t.tm_min};
    double value;
    static_assert(sizeof value == sizeof bits);
    std::memcpy(&value, bits, sizeof value);
    const int precision = t.tm_hour % 1100;  // clamped above 1074; negative means 6
    const bool showpoint = (t.tm_mday & 1) != 0;
    const int cPrecision = precision < 0 ? 6 : precision > 1074 ? 1074 : precision;
    if (english.asString(value, precision, showpoint) != cFixed(value, cPrecision, showpoint))
        std::abort();
    const XVString money = english.moneyAsString(value, QNLocale::symbolInternational);
    if (money.index("-", 1) != XVString::npos)  // the exponent form starts at 1e16 units
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const tm t = in.takeTm();
    checkNumbers(t);
    const XVString format = in.rest();
    static const Inheriting<QNLocaleDefault> plainEnglish(QNLocaleDefault::instance());
    static const Bracketing<QNLocaleDefault> bracketingEnglish(QNLocaleDefault::instance());
    static const Inheriting<QNLocaleSnapshot> plainSnapshot("C");
    static const Bracketing<QNLocaleSnapshot> bracketingSnapshot("C");
    const QNLocale* locales[] = {&QNLocaleDefault::instance(), &cSnapshot(),   &plainEnglish,
                                 &bracketingEnglish,           &plainSnapshot, &bracketingSnapshot};
    const QNZone* zones[] = {&QNZone::utc(), &eastern()};
    for (const QNLocale* locale : locales) {
        for (const QNZone* zone : zones) {
            if (locale->asString(&t, format.c_str(), *zone) !=
                expandedByDirectives(*locale, t, format.c_str(), *zone))
                std::abort();
            if (locale->asString(&t, "%%", *zone) != "%")
                std::abort();
        }
    }
    return 0;
}
