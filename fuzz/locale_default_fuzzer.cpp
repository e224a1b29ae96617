// Feeds arbitrary text to every reading operation of the English locale (the
// checks of locale_readers.h).

#include <cstddef>
#include <cstdint>

#include <xvkit/qnlocale.h>

#include "locale_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::readEverything(QNLocaleDefault::instance(),
                         XVString(reinterpret_cast<const char*>(data), size));
    return 0;
}
