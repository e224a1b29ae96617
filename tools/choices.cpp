#include "choices.h"

#include <locale.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "options.h"

namespace xvtool {

void requireKnownLocale(const char* name) {
    // A snapshot of an unknown name silently captures the current locale, so
    // ask the runtime first by switching to the name and back. (newlocale
    // would leave the process-wide locale alone, but glibc's loses its copy
    // of the search path when LOCPATH is set.)
    const std::string saved = setlocale(LC_ALL, nullptr);
    const bool known = setlocale(LC_ALL, name) != nullptr;
    setlocale(LC_ALL, saved.c_str());
    if (!known)
        usageError("unknown locale '" + std::string(name) + "'");
}

LocaleChoice::LocaleChoice(const char* name) : locale_(&QNLocaleDefault::instance()) {
    if (name == nullptr)
        return;
    requireKnownLocale(name);
    snapshot_ = std::make_unique<QNLocaleSnapshot>(name);
    locale_ = snapshot_.get();
}

const QNZoneTZ& chooseZone(const char* tz) {
    // Lives to the end of the run, as the local zone it is installed as.
    static std::unique_ptr<QNZoneTZ> chosen;
    XVString why;
    auto zone = tz != nullptr ? QNZoneTZ::fromSetting(tz, &why) : QNZoneTZ::fromEnvironment(&why);
    if (!zone)
        usageError(std::string(tz != nullptr ? "bad zone: " : "bad TZ: ") + why.c_str());
    if (tz != nullptr) {
        setenv("TZ", tz, 1);
        tzset();
    }
    // A local zone the library built before is ours to delete once replaced.
    const QNZone* previous = QNZone::local(zone.get());
    if (previous != chosen.get())
        delete previous;
    chosen = std::move(zone);
    return *chosen;
}

long readWholeNumber(const char* text, const char* what) {
    long value = 0;
    if (!QNLocaleDefault::instance().stringToNum(XVString(text), &value)) {
        usageError("bad " + std::string(what) + " '" + text + "'");
    }
    return value;
}

}  // namespace xvtool
