// Finding and reading zone files: the database folder, the checks on a zone
// name, and reading a file's bytes.
#ifndef XVKIT_SRC_DATETIME_TZ_DATABASE_H_
#define XVKIT_SRC_DATETIME_TZ_DATABASE_H_

#include <string>
#include <string_view>
#include <vector>

namespace xvkit::tz {

// $TZDIR when set and not empty, else /usr/share/zoneinfo.
std::string databaseFolder();

enum class LoadResult {
    loaded,
    missing,  // no file of that name (or a name too long for one): the text
              // may still be a POSIX setting
    failed,   // a refused name, or a file that is unreadable or not regular
};

// The bytes of the regular file at `path`, at most kMaxZoneFileSize of them,
// read without blocking on a FIFO or device. `*why` gets a one-line reason
// on anything but `loaded`.
LoadResult readZoneFileBytes(const std::string& path, std::vector<unsigned char>* bytes,
                             std::string* why);

// The path of the database zone `name` under databaseFolder(), or false with
// a reason for a name that is empty, absolute or has a ".." part.
bool databasePath(std::string_view name, std::string* path, std::string* why);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_DATABASE_H_
