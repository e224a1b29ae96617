// Expands arbitrary format texts for arbitrary calendar records (every field
// may be out of range) with the default locale and a "C" snapshot, in two
// zones. The expansion must never fail, and "%%" alone must give "%".

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "fuzz_input.h"

namespace {

const QNLocaleSnapshot& cSnapshot() {
    static const QNLocaleSnapshot snapshot("C");
    return snapshot;
}

const QNZone& eastern() {
    static const QNZoneSimple zone(QNZone::usEastern, QNZone::northAmerican);
    return zone;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const tm t = in.takeTm();
    const XVString format = in.rest();
    const QNLocale* locales[] = {&QNLocaleDefault::instance(), &cSnapshot()};
    const QNZone* zones[] = {&QNZone::utc(), &eastern()};
    for (const QNLocale* locale : locales) {
        for (const QNZone* zone : zones) {
            locale->asString(&t, format.c_str(), *zone);
            if (locale->asString(&t, "%%", *zone) != "%")
                std::abort();
        }
    }
    return 0;
}
