#include "choices.h"

#include <locale.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "options.h"

namespace xvtool {

void requireKnownLocale(const char* name) {
    // A snapshot of an unknown name silently captures the current locale, so
    // ask the runtime first, without touching the process-wide locale.
    locale_t probe = newlocale(LC_ALL_MASK, name, locale_t{});
    if (probe == locale_t{})
        usageError("unknown locale '" + std::string(name) + "'");
    freelocale(probe);
}

LocaleChoice::LocaleChoice(const char* name) : locale_(&QNLocaleDefault::instance()) {
    if (name == nullptr)
        return;
    requireKnownLocale(name);
    snapshot_ = std::make_unique<QNLocaleSnapshot>(name);
    locale_ = snapshot_.get();
}

const QNZone& chooseZone(const char* tz) {
    if (tz != nullptr) {
        setenv("TZ", tz, 1);
        tzset();
    }
    return QNZone::local();
}

long readWholeNumber(const char* text, const char* what) {
    long value = 0;
    if (!QNLocaleDefault::instance().stringToNum(XVString(text), &value)) {
        usageError("bad " + std::string(what) + " '" + text + "'");
    }
    return value;
}

}  // namespace xvtool
