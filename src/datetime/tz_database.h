// Finding and loading zone files: the database folder, the checks on a zone
// name, and reading a file into a zone history.
#ifndef XVKIT_SRC_DATETIME_TZ_DATABASE_H_
#define XVKIT_SRC_DATETIME_TZ_DATABASE_H_

#include <string>
#include <string_view>

#include "tz_history.h"

namespace xvkit::tz {

// $TZDIR when set and not empty, else /usr/share/zoneinfo.
std::string databaseFolder();

enum class LoadResult {
    loaded,
    missing,  // no file of that name: the text may still be a POSIX setting
    failed,   // a refused name, or a file that is unreadable or not a zone
};

// Reads the database zone `name` (relative to databaseFolder()). A name that
// is empty, absolute or has a ".." part is refused. `*why` gets a one-line
// reason on anything but `loaded`.
LoadResult loadDatabaseZone(std::string_view name, History* history, std::string* why);

// Reads the zone file at `path`, as loadDatabaseZone but for any path.
LoadResult loadZoneFile(const std::string& path, History* history, std::string* why);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_DATABASE_H_
