// Parses arbitrary text as a POSIX TZ setting; a setting that parses is put
// through the zone operations and the whole-history members (zone_probe.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include <xvkit/qnzonetz.h>

#include "zone_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    XVString why;
    const auto zone = QNZoneTZ::fromPosix(text.c_str(), &why);
    checkFactoryResult(zone.get(), why, static_cast<std::uint32_t>(size * 2654435761u));
    return 0;
}
