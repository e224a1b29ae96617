// Feeds arbitrary text to every reading operation, and arbitrary values and
// calendar records to every formatter, of snapshots of the "C" locale, German
// UTF-8, xv_TEST (multibyte separators, signs and markers) and xv_EDGE (a
// layout longer than 255 bytes), compiled at build time into
// XVKIT_FUZZ_LOCPATH. A reading that fails must leave its output exactly as
// it was, one that succeeds may change only its own fields; names read back
// must be in range.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "fuzz_input.h"
#include "locale_readers.h"

namespace {

// Fails the whole run when a test locale cannot be loaded: a fuzzer that
// quietly fell back to "C" would test a fraction of what it claims.
const QNLocaleSnapshot* capture(const char* name) {
    setenv("LOCPATH", XVKIT_FUZZ_LOCPATH, 1);
    const auto* made = new QNLocaleSnapshot(name);
    if (made->conventions().localeName != name) {
        std::fprintf(stderr, "%s not found under %s (build xvkit_test_locales)\n", name,
                     XVKIT_FUZZ_LOCPATH);
        std::abort();
    }
    return made;
}

void formatEverything(const QNLocale& locale, FuzzInput& in) {
    const tm t = in.takeTm();
    const double value = in.take<double>();
    const int precision = in.take<int>();
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
    static const QNLocale* const locales[] = {capture("C"), capture("de_DE.UTF-8"),
                                              capture("xv_TEST.UTF-8"), capture("xv_EDGE.UTF-8")};
    const XVString text(reinterpret_cast<const char*>(data), size);
    for (const QNLocale* locale : locales) {
        fuzz::readEverything(*locale, text);
        FuzzInput in(data, size);
        formatEverything(*locale, in);
    }
    return 0;
}
