// Compares each database zone named on standard input, one a line, with the C
// runtime (see tz_peer.h): period(), extract() and instants() over the whole
// range 1901-2037, and the QNZone answers over 1970-2036 from exactFrom() on.
// scripts/zone_sweep.sh feeds it every zone. Prints the zones that disagree
// or cannot be read, then the totals; exits 1 when any zone disagrees.
#include <cstdio>
#include <iostream>
#include <string>

#include "tz_peer.h"

namespace {

// Prints the first disagreement of a failed check and says whether it passed.
template <class Check>
bool passed(const char* name, const char* what, const Check& check) {
    if (check.failures().empty())
        return true;
    std::printf("%s: %s, %zu+ disagreements, first: %s\n", name, what, check.failures().size(),
                check.failures().front().c_str());
    return false;
}

}  // namespace

int main() {
    constexpr int kFirstModelYear = 1970, kLastModelYear = 2036;
    int zones = 0, exact = 0, historyExact = 0, exactBy1970 = 0, unreadable = 0;
    long checks = 0, historyChecks = 0, periods = 0;
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
        tzpeer::ExactCheck history(*zone, false);
        history.run();
        historyChecks += history.checks();
        periods += history.periods();
        const bool historyPassed = passed(name.c_str(), "whole history", history);
        historyExact += historyPassed;
        tzpeer::PeerCheck model(*zone, kFirstModelYear, kLastModelYear);
        model.run();
        checks += model.checks();
        exactBy1970 += zone->exactFrom() <= kFirstModelYear;
        const std::string fromYear = "QNZone answers from " + std::to_string(zone->exactFrom());
        exact += passed(name.c_str(), fromYear.c_str(), model) && historyPassed;
    }
    std::printf(
        "%d zones: %d exact over 1901-2037 through period, extract and instants (%ld periods, "
        "%ld comparisons); %d also exact through QNZone from their exactFrom, %d with exactFrom "
        "at or before %d (%ld comparisons); %d unreadable\n",
        zones, historyExact, periods, historyChecks, exact, exactBy1970, kFirstModelYear, checks,
        unreadable);
    return exact == zones ? 0 : 1;
}
