#include "filters.h"

#include <fnmatch.h>

#include <algorithm>

namespace xvtool {

namespace {

bool matches(const std::string& glob, const std::string& name, NameOrigin origin) {
    for (std::size_t from = 0;;) {
        if (::fnmatch(glob.c_str(), name.c_str() + from, 0) == 0)
            return true;
        const std::size_t slash = name.find('/', from);
        if (origin == NameOrigin::entry || slash == std::string::npos)
            return false;
        from = slash + 1;
    }
}

}  // namespace

bool searchesFile(const std::vector<NameFilter>& filters, const std::string& name,
                  NameOrigin origin) {
    const auto last = std::find_if(filters.rbegin(), filters.rend(), [&](const NameFilter& f) {
        return matches(f.glob, name, origin);
    });
    if (last != filters.rend())
        return last->include;
    return filters.empty() || !filters.front().include;
}

bool skipsDirectory(const std::vector<std::string>& globs, const std::string& name,
                    NameOrigin origin) {
    return std::any_of(globs.begin(), globs.end(),
                       [&](const std::string& glob) { return matches(glob, name, origin); });
}

}  // namespace xvtool
