// Test helper: runs a scope under a POSIX TZ setting and leaves the C runtime
// and the process-wide zones as they were found.
#ifndef XVKIT_TESTS_DATETIME_TZ_ENV_H_
#define XVKIT_TESTS_DATETIME_TZ_ENV_H_

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include <xvkit/qnzone.h>

// Drops the process-wide zones so the next read rebuilds them from the C
// runtime (what the library's cache release does).
inline void dropProcessZones() {
    delete QNZone::local(nullptr);
    delete QNZone::standard(nullptr);
    delete QNZone::system(nullptr);
    QNZone::clearUtc();
}

class ScopedTZ {
  public:
    explicit ScopedTZ(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            saved_ = old;
        setenv("TZ", tz, 1);
        tzset();
        dropProcessZones();
    }
    ~ScopedTZ() {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        dropProcessZones();
    }
    ScopedTZ(const ScopedTZ&) = delete;
    ScopedTZ& operator=(const ScopedTZ&) = delete;

  private:
    std::optional<std::string> saved_;
};

#endif  // XVKIT_TESTS_DATETIME_TZ_ENV_H_
