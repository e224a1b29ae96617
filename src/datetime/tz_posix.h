// POSIX TZ settings ("EST5EDT,M3.2.0,M11.1.0"): the parser, and the
// expansion of a setting's rule into transitions year by year.
#ifndef XVKIT_SRC_DATETIME_TZ_POSIX_H_
#define XVKIT_SRC_DATETIME_TZ_POSIX_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "tz_history.h"

namespace xvkit::tz {

// The day of a year on which a rule boundary falls.
struct RuleDay {
    enum class Kind {
        julian,     // Jn: day n of 1..365, 29 February never counted
        zeroBased,  // n: day n of 0..365, 29 February counted
        monthWeek,  // Mm.w.d: weekday d of week w (5 = last) of month m
    };
    Kind kind = Kind::monthWeek;
    int month = 0;  // 1..12 (monthWeek)
    int week = 0;   // 1..5 (monthWeek)
    int day = 0;    // the weekday 0..6 (monthWeek), else the day number
};

// A boundary: a day and a time on the clock in force before it (seconds
// after local midnight, -167 to 167 hours).
struct RuleBoundary {
    RuleDay day;
    std::int32_t time = 2 * kSecondsPerHour;
};

// A parsed setting. Without daylight time only `standard` is meaningful.
struct PosixZone {
    LocalType standard;
    bool hasDaylight = false;
    LocalType daylight;
    RuleBoundary start;
    RuleBoundary end;
};

// Parses the whole of `text`. On failure returns false and sets `*why` to a
// one-line reason naming the place ("an offset expected at '/Land'").
bool parsePosix(std::string_view text, PosixZone* zone, std::string* why);

// The instant (UTC) of `boundary` in `year` on a clock at `gmtoff`.
Seconds boundaryInstant(const RuleBoundary& boundary, std::int64_t year, std::int32_t gmtoff);

// The history that the setting gives over years `firstYear`..`lastYear`: types
// 0 (standard) and 1 (daylight, when the setting has one). A period that
// reaches past the turn of the year (southern hemisphere) runs on into the
// next year's; one that ends at the instant the next begins is continuous.
History expandPosix(const PosixZone& zone, int firstYear, int lastYear);

}  // namespace xvkit::tz

#endif  // XVKIT_SRC_DATETIME_TZ_POSIX_H_
