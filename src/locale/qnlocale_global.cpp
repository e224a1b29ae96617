// The process-wide locale and the release of the process-wide zones.

#include <new>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

namespace {
// Not owned: whoever replaces it gets the previous object back.
const QNLocale* processLocale = nullptr;
}  // namespace

const QNLocale* QNLocale::defaultLocale() {
    // Building the snapshot allocates strings and nodes too: any of those
    // failing is an allocation failure of this call.
    try {
        return new QNLocaleSnapshot("C");
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const QNLocale& QNLocale::global() {
    if (!processLocale) {
        processLocale = defaultLocale();
        if (!processLocale)
            throw std::bad_alloc();
    }
    return *processLocale;
}

const QNLocale* QNLocale::global(const QNLocale* locale) {
    const QNLocale* previous = processLocale;
    processLocale = locale;
    return previous;
}

void QNLocale::releaseCache() {
    delete QNZone::local(nullptr);
    delete QNZone::standard(nullptr);
    delete QNZone::system(nullptr);
    QNZone::clearUtc();
}
