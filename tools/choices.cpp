#include "choices.h"

#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "options.h"

namespace xvtool {

namespace {

// Whether the C runtime has a locale of that name. A snapshot of an unknown
// name silently captures the current locale, so the runtime is asked first by
// switching to the name and back. (newlocale would leave the process-wide
// locale alone, but glibc's loses its copy of the search path when LOCPATH is
// set.)
bool runtimeKnows(const char* name) {
    const std::string saved = setlocale(LC_ALL, nullptr);
    const bool known = setlocale(LC_ALL, name) != nullptr;
    setlocale(LC_ALL, saved.c_str());
    return known;
}

// How to get the locale `name` ("en_IN.UTF-8"): compile it from glibc's
// sources when the name has the form LANGUAGE_TERRITORY.CHARSET.
std::string localeHint(std::string_view name) {
    const std::size_t dot = name.find('.');
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-' ||
               c == '.' || c == '@';
    });
    if (!plain || dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
        return "see 'locale -a' for the installed ones";
    return "install it (package locales-all), or compile it with 'localedef -i " +
           std::string(name.substr(0, dot)) + " -f " + std::string(name.substr(dot + 1)) + " DIR/" +
           std::string(name) + "' and set LOCPATH=DIR";
}

}  // namespace

void requireKnownLocale(const char* name) {
    if (runtimeKnows(name))
        return;
    // The locales that scripts/run.sh compiles next to the tool, searched
    // after the runtime's own (LOCPATH alone would hide the runtime's
    // locale archive).
    const char* extra = std::getenv("XVKIT_LOCPATH");
    if (extra != nullptr && *extra != '\0') {
        const char* path = std::getenv("LOCPATH");
        const std::string search =
            path != nullptr && *path != '\0' ? std::string(path) + ":" + extra : extra;
        setenv("LOCPATH", search.c_str(), 1);
        if (runtimeKnows(name))
            return;
    }
    usageError("unknown locale " + quoteArg(name) + " (" + localeHint(name) + ")");
}

LocaleChoice::LocaleChoice(const char* name) : locale_(&QNLocaleDefault::instance()) {
    if (name == nullptr)
        return;
    requireKnownLocale(name);
    snapshot_ = std::make_unique<QNLocaleSnapshot>(name);
    locale_ = snapshot_.get();
}

std::unique_ptr<QNZoneTZ> readZone(const char* tz) {
    XVString why;
    auto zone = QNZoneTZ::fromSetting(tz, &why);
    if (!zone)
        usageError("bad zone: " + std::string(why));
    return zone;
}

const QNZoneTZ& chooseZone(const char* tz) {
    // Lives to the end of the run, as the local zone it is installed as.
    static std::unique_ptr<QNZoneTZ> chosen;
    XVString why;
    auto zone = tz != nullptr ? readZone(tz) : QNZoneTZ::fromEnvironment(&why);
    if (!zone)
        usageError("bad TZ: " + std::string(why));
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
        usageError("bad " + std::string(what) + " " + quoteArg(text));
    }
    return value;
}

}  // namespace xvtool
