#include "tz_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tz_file.h"

namespace xvkit::tz {

namespace {

constexpr const char kDefaultFolder[] = "/usr/share/zoneinfo";

// Closes a file descriptor when it goes out of scope.
class FileHandle {
  public:
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0)
            close(fd_);
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Whether `name` stays inside the database folder.
bool isSafeName(std::string_view name, std::string* why) {
    if (name.empty()) {
        *why = "empty zone name";
        return false;
    }
    if (name.front() == '/') {
        *why = "zone name '" + std::string(name) + "' is absolute";
        return false;
    }
    for (std::size_t from = 0; from <= name.size();) {
        std::size_t to = name.find('/', from);
        if (to == std::string_view::npos)
            to = name.size();
        if (name.substr(from, to - from) == "..") {
            *why = "zone name '" + std::string(name) + "' reaches outside the database folder";
            return false;
        }
        from = to + 1;
    }
    return true;
}

}  // namespace

LoadResult readZoneFileBytes(const std::string& path, std::vector<unsigned char>* bytes,
                             std::string* why) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer; the check below
    // then refuses it. Reads of a regular file ignore the flag.
    const FileHandle file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        const int error = errno;
        *why = std::string("cannot open ") + path + ": " + std::strerror(error);
        // A name too long for the file system names no file, as for the C
        // runtime, which then reads the text as a POSIX setting.
        const bool noSuchFile = error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
        return noSuchFile ? LoadResult::missing : LoadResult::failed;
    }
    struct stat info;
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = path + " is not a zone file";
        return LoadResult::failed;
    }
    unsigned char buffer[4096];
    for (;;) {
        const ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = std::string("cannot read ") + path + ": " + std::strerror(errno);
            return LoadResult::failed;
        }
        if (got == 0)
            return LoadResult::loaded;
        if (bytes->size() + static_cast<std::size_t>(got) > kMaxZoneFileSize) {
            *why = path + " is too large for a zone file";
            return LoadResult::failed;
        }
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
}

std::string databaseFolder() {
    const char* folder = std::getenv("TZDIR");
    return folder != nullptr && *folder != '\0' ? folder : kDefaultFolder;
}

bool databasePath(std::string_view name, std::string* path, std::string* why) {
    if (!isSafeName(name, why))
        return false;
    *path = databaseFolder() + "/" + std::string(name);
    return true;
}

}  // namespace xvkit::tz
