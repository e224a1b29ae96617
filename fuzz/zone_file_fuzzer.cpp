// Reads arbitrary bytes as a compiled zone file (TZif) from memory with
// QNZoneTZ::fromTZif. A file that loads is put through the zone operations
// and the whole-history members (zone_probe.h); one that does not must say
// why.
#include <cstddef>
#include <cstdint>

#include <xvkit/qnzonetz.h>

#include "zone_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XVString why;
    const auto zone = QNZoneTZ::fromTZif(data, size, "Fuzzed", &why);
    checkFactoryResult(zone.get(), why, static_cast<std::uint32_t>(size * 2654435761u));
    return 0;
}
