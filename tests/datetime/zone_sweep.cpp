// Compares each database zone named on standard input, one a line, with the C
// runtime over 1970-2036 from its exactFrom() on (see tz_peer.h);
// scripts/zone_sweep.sh feeds it every zone. Prints the zones that disagree or
// cannot be read, then the totals; exits 1 when any zone disagrees.
#include <cstdio>
#include <iostream>
#include <string>

#include "tz_peer.h"

int main() {
    constexpr int kFirstYear = 1970, kLastYear = 2036;
    int zones = 0, exact = 0, exactBy1970 = 0, unreadable = 0;
    long checks = 0;
    for (std::string name; std::getline(std::cin, name);) {
        if (name.empty())
            continue;
        ++zones;
        XVString why;
        const auto zone = QNZoneTZ::fromDatabase(name.c_str(), &why);
        if (!zone) {
            ++unreadable;
            std::printf("%s: cannot read: %s\n", name.c_str(), why.c_str());
            continue;
        }
        tzpeer::ScopedEnv tz("TZ", name.c_str());
        tzpeer::PeerCheck check(*zone, kFirstYear, kLastYear);
        check.run();
        checks += check.checks();
        exactBy1970 += zone->exactFrom() <= kFirstYear;
        if (check.failures().empty())
            ++exact;
        else
            std::printf("%s: exactFrom %u, %zu+ disagreements, first: %s\n", name.c_str(),
                        zone->exactFrom(), check.failures().size(),
                        check.failures().front().c_str());
    }
    std::printf(
        "%d zones: %d exact from their exactFrom, %d with exactFrom at or before %d, "
        "%d unreadable (%ld comparisons)\n",
        zones, exact, exactBy1970, kFirstYear, unreadable, checks);
    return exact == zones ? 0 : 1;
}
