// Reads arbitrary bytes as a compiled zone file (TZif) through the public
// path: the bytes are written to a file in a private TZDIR and loaded with
// QNZoneTZ::fromDatabase. A file that loads is put through the zone
// operations (zone_probe.h); one that does not must say why.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <xvkit/qnzonetz.h>

#include "zone_probe.h"

namespace {

constexpr char kZoneName[] = "Fuzzed";

// The folder, made once, that TZDIR names for the whole run.
const std::string& zoneFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/xvkit-zone-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr)
            std::abort();
        setenv("TZDIR", made, 1);
        return std::string(made);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = zoneFolder() + "/" + kZoneName;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size != 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    XVString why;
    const auto zone = QNZoneTZ::fromDatabase(kZoneName, &why);
    checkFactoryResult(zone.get(), why, static_cast<std::uint32_t>(size * 2654435761u));
    return 0;
}
