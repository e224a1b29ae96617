// Compares a zone with the C runtime (localtime_r under the same TZ) around every change of time
// and every 12 hours between: the QNZone answers (PeerCheck) and the whole history of a QNZoneTZ
// (ExactCheck). Years before 1970, where glibc applies no POSIX rule, are compared with the same
// dates a multiple of 28 years on (the calendar repeats). No test framework: the database sweep
// uses it too.
#ifndef XVKIT_TESTS_DATETIME_TZ_PEER_H_
#define XVKIT_TESTS_DATETIME_TZ_PEER_H_

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzonetz.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tzpeer {

// Sets an environment variable (or unsets it, for null) for a scope and calls
// tzset on the way in and out.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            saved_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
        tzset();
    }
    ~ScopedEnv() {
        saved_ ? setenv(name_.c_str(), saved_->c_str(), 1) : unsetenv(name_.c_str());
        tzset();
    }

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

// A fresh folder under /tmp, with the files written into it, removed at the
// end of the scope; TZDIR can name it.
class ZoneFolder {
  public:
    ZoneFolder() {
        char pattern[] = "/tmp/xvkit-zones-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "/nonexistent-xvkit-zones";
    }
    ~ZoneFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    void write(const std::string& name, const std::vector<char>& bytes) {
        std::ofstream(path_ + "/" + name, std::ios::binary).write(bytes.data(), bytes.size());
    }
    const char* path() const { return path_.c_str(); }

  private:
    std::string path_;
};

constexpr std::int64_t kUnixToCount = 2177452800;

inline unsigned long utcCount(unsigned day, unsigned month, unsigned year, unsigned hour,
                              unsigned minute = 0, unsigned second = 0) {
    return QNTime(QNDate(day, month, year), hour, minute, second, QNZone::utc()).seconds();
}
constexpr std::int64_t kLastCount = QNZoneTZ::lastCount;
constexpr int kCycleYears = 28;
constexpr int kFirstPeerYear = 1970;

inline tm peerReading(time_t t) {
    tm r{};
    localtime_r(&t, &r);
    return r;
}

inline auto fieldsOf(const tm& t) {
    return std::tie(t.tm_sec, t.tm_min, t.tm_hour, t.tm_mday, t.tm_mon, t.tm_year, t.tm_wday,
                    t.tm_yday, t.tm_isdst);
}

inline std::string nameOf(const tm& t) {
    return t.tm_zone ? t.tm_zone : "";
}

inline bool sameKind(const tm& a, const tm& b) {
    return a.tm_gmtoff == b.tm_gmtoff && a.tm_isdst == b.tm_isdst && nameOf(a) == nameOf(b);
}

// "yyyy-mm-dd hh:mm:ss std|dst w<weekday> d<day of year>", and the name if any.
inline std::string describe(const tm& t, const std::string& name = "") {
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d %s w%d d%d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  t.tm_isdst ? "dst" : "std", t.tm_wday, t.tm_yday);
    return name.empty() ? std::string(text) : text + (" " + name);
}

// "offset name / offset name" of standard and daylight time, and " observed"
// when daylight saving is.
inline std::string summary(const QNZone& z) {
    return std::to_string(z.timeZoneOffset()) + " " + z.timeZoneName().c_str() + " / " +
           std::to_string(z.altZoneOffset()) + " " + z.altZoneName().c_str() +
           (z.daylightObserved() ? " observed" : "");
}

// What a check has compared and the first disagreements it found.
class CheckLog {
  public:
    long checks() const { return checks_; }
    const std::vector<std::string>& failures() const { return failures_; }

  protected:
    // Readings every kGrid for kAround either side of a change.
    static constexpr time_t kAround = 2 * 3600;
    static constexpr time_t kGrid = 15 * 60;

    void fail(const std::string& what) {
        constexpr std::size_t kMaxFailures = 20;
        if (failures_.size() < kMaxFailures)
            failures_.push_back(what);
    }

    long checks_ = 0;

  private:
    std::vector<std::string> failures_;
};

// Compares `zone` with the C runtime, whose TZ the caller has set to the same
// zone, over the years `firstYear`..`lastYear` (of the zone; for a QNZoneTZ
// only years from its exactFrom() on).
class PeerCheck : public CheckLog {
  public:
    PeerCheck(const QNZone& zone, int firstYear, int lastYear)
        : zone_(zone), firstYear_(firstYear), lastYear_(lastYear) {}
    PeerCheck(const QNZoneTZ& zone, int firstYear, int lastYear)
        : PeerCheck(static_cast<const QNZone&>(zone),
                    std::max(firstYear, static_cast<int>(zone.exactFrom())), lastYear) {}

    void run() {
        for (int year = firstYear_; year <= lastYear_; ++year)
            runYear(year);
    }

  private:
    static constexpr time_t kStep = 12 * 3600;

    static time_t startOfYear(int year) {
        tm t{0, 0, 0, 1, 0, year - 1900, 0, 0, 0, 0, nullptr};
        return timegm(&t);
    }

    void runYear(int year) {
        const int cycles = (std::max(kFirstPeerYear - year, 0) + kCycleYears - 1) / kCycleYears;
        shiftYears_ = cycles * kCycleYears;
        const time_t first = startOfYear(year + shiftYears_);
        const time_t last = startOfYear(year + shiftYears_ + 1);
        shift_ = first - startOfYear(year);
        year_ = year;
        tm before = peerReading(first);
        for (time_t t = first; t < last; t += kStep) {
            const tm now = peerReading(t + kStep);
            checkReading(t);
            if (!sameKind(before, now))
                checkChange(bisect(t, t + kStep));
            before = now;
        }
    }

    // The first second of the new time between `low` (old) and `high` (new).
    static time_t bisect(time_t low, time_t high) {
        const tm old = peerReading(low);
        while (high - low > 1) {
            const time_t mid = low + (high - low) / 2;
            (sameKind(peerReading(mid), old) ? low : high) = mid;
        }
        return high;
    }

    // Our count for the peer instant `t`, when the zone's year and range hold it.
    std::optional<std::int64_t> countOf(time_t t) const {
        const std::int64_t count = std::int64_t{t} - shift_ + kUnixToCount;
        if (count <= 0 || count > kLastCount)
            return std::nullopt;
        return count;
    }

    void checkReading(time_t t) {
        const auto count = countOf(t);
        tm peer = peerReading(t);
        if (!count || peer.tm_year + 1900 - shiftYears_ != year_)
            return;
        peer.tm_year -= shiftYears_;
        tm ours;
        QNTime(static_cast<unsigned long>(*count)).extract(&ours, zone_);
        const std::string name =
            ours.tm_isdst ? zone_.altZoneName().c_str() : zone_.timeZoneName().c_str();
        ++checks_;
        if (fieldsOf(ours) != fieldsOf(peer) || name != nameOf(peer)) {
            fail("reading of count " + std::to_string(*count) + ": ours " + describe(ours, name) +
                 ", C runtime " + describe(peer, nameOf(peer)));
        }
    }

    void checkChange(time_t change) {
        for (time_t d = -kAround; d <= kAround; d += kGrid)
            checkReading(change + d);
        for (time_t d : {-1, 1})
            checkReading(change + d);
        const long gmtoffs[] = {peerReading(change - 1).tm_gmtoff, peerReading(change).tm_gmtoff};
        const time_t wallFrom = (change - kAround + gmtoffs[0]) / kGrid * kGrid;
        const time_t wallTo = change + kAround + gmtoffs[1];
        for (time_t wall = wallFrom; wall <= wallTo; wall += kGrid)
            checkWall(wall, gmtoffs);
    }

    // The wall-clock time `wall` (local seconds as if UTC): the instants that
    // read it in the C runtime decide what the zone must build from it.
    void checkWall(time_t wall, const long (&gmtoffs)[2]) {
        tm w;
        gmtime_r(&wall, &w);
        if (w.tm_year + 1900 - shiftYears_ != year_)
            return;
        std::vector<std::pair<time_t, int>> readers;
        for (long g : gmtoffs) {
            const time_t c = wall - g;
            const tm r = peerReading(c);
            if (c + r.tm_gmtoff == wall && (readers.empty() || readers.front().first != c))
                readers.emplace_back(c, r.tm_isdst);
        }
        if (readers.size() == 2 && readers[0].second == readers[1].second)
            return;  // a repeat between two standard (or two daylight) times
        // No reader: a skipped time, refused (0). Two: the daylight reading wins.
        std::optional<std::int64_t> expected = 0;
        if (!readers.empty())
            expected = countOf(readers[readers.size() == 2 && !readers[0].second ? 1 : 0].first);
        if (!expected)
            return;
        const QNDate date(static_cast<unsigned>(w.tm_mday), static_cast<unsigned>(w.tm_mon + 1),
                          static_cast<unsigned>(w.tm_year + 1900 - shiftYears_));
        const QNTime built(date, static_cast<unsigned>(w.tm_hour), static_cast<unsigned>(w.tm_min),
                           static_cast<unsigned>(w.tm_sec), zone_);
        ++checks_;
        if (static_cast<std::int64_t>(built.seconds()) != *expected) {
            fail("wall clock " + describe(w) + " (" + std::to_string(readers.size()) +
                 " readers): ours " + std::to_string(built.seconds()) + ", expected " +
                 std::to_string(*expected));
        }
    }

    const QNZone& zone_;
    int firstYear_;
    int lastYear_;
    int year_ = 0;
    int shiftYears_ = 0;
    time_t shift_ = 0;
};

// Compares period(), extract() and instants() of a QNZoneTZ with the C runtime, whose TZ the caller
// has set to the same zone, over the whole range of QNTime: every change of offset, daylight flag
// or name that either finds, the readings around each and the wall-clock times it skips or
// repeats, and readings every `step` seconds between.
class ExactCheck : public CheckLog {
  public:
    // `posix`: the zone is a POSIX setting, which glibc applies from 1970 only; instants before
    // 1970 are then compared with the same instants 84 years on.
    ExactCheck(const QNZoneTZ& zone, bool posix, time_t step = 12 * 3600)
        : zone_(zone), posix_(posix), step_(step) {}

    void run() {
        const time_t first = 1 - kUnixToCount, last = kLastCount - kUnixToCount;
        tm before = reading(first);
        for (time_t t = first;; t += step_) {
            const time_t next = std::min<time_t>(t + step_, last);
            checkReading(t);
            const tm now = reading(next);
            if (!sameKind(before, now))
                checkChange(bisect(t, next));
            before = now;
            if (next == last)
                break;
        }
        checkReading(last);
        walkPeriods();
    }

    long periods() const { return periods_; }

  private:
    // 84 years (three 28-year cycles) of days from 1901 to 2099, where every fourth year is leap.
    static constexpr time_t kShift = time_t{3} * 10227 * 86400;
    static constexpr int kShiftYears = 84;

    // The C runtime's reading of the instant `t`, moved for a POSIX setting before 1970.
    tm reading(time_t t) const {
        const bool moved = posix_ && t < 0;
        tm r = peerReading(t + (moved ? kShift : 0));
        if (moved) {
            r.tm_year -= kShiftYears;
            // 31 December 1900 moves to the leap year 1984: count its day of the year again.
            tm day{0, 0, 0, r.tm_mday, r.tm_mon, r.tm_year, 0, 0, 0, 0, nullptr};
            timegm(&day);
            r.tm_yday = day.tm_yday;
        }
        return r;
    }

    static QNTime timeOf(time_t t) { return QNTime(static_cast<unsigned long>(t + kUnixToCount)); }
    static bool inRange(time_t t) {
        return t + kUnixToCount >= 1 && t + kUnixToCount <= kLastCount;
    }

    // The first second of the new time between `low` (old) and `high` (new).
    time_t bisect(time_t low, time_t high) const {
        const tm old = reading(low);
        while (high - low > 1) {
            const time_t mid = low + (high - low) / 2;
            (sameKind(reading(mid), old) ? low : high) = mid;
        }
        return high;
    }

    static std::string describeCount(time_t t) { return std::to_string(t + kUnixToCount); }

    void checkReading(time_t t) {
        if (!inRange(t))
            return;
        const tm peer = reading(t);
        tm ours;
        zone_.extract(timeOf(t), &ours);
        const QNZoneTZ::Period p = zone_.period(timeOf(t));
        ++checks_;
        if (fieldsOf(ours) != fieldsOf(peer) || p.offset != -peer.tm_gmtoff ||
            p.daylight != (peer.tm_isdst > 0) || std::string(p.name) != nameOf(peer) ||
            !(p.begin.seconds() <= static_cast<unsigned long>(t + kUnixToCount)) ||
            !(p.end.seconds() == 0 ||
              p.end.seconds() > static_cast<unsigned long>(t + kUnixToCount))) {
            fail("count " + describeCount(t) + ": ours " + describe(ours, p.name.c_str()) +
                 " offset " + std::to_string(p.offset) + ", C runtime " +
                 describe(peer, nameOf(peer)) + " offset " + std::to_string(-peer.tm_gmtoff));
        }
    }

    void checkChange(time_t change) {
        for (time_t d = -kAround; d <= kAround; d += kGrid)
            checkReading(change + d);
        for (time_t d : {-1, 1})
            checkReading(change + d);
        if (inRange(change)) {
            ++checks_;
            if (zone_.period(timeOf(change)).begin != timeOf(change) ||
                zone_.period(timeOf(change - 1)).end != timeOf(change))
                fail("no period changes at count " + describeCount(change));
        }
        const long before = reading(change - 1).tm_gmtoff, after = reading(change).tm_gmtoff;
        const time_t wallFrom = (change - kAround + std::min(before, after)) / kGrid * kGrid;
        const time_t wallTo = change + kAround + std::max(before, after);
        for (time_t wall = wallFrom; wall <= wallTo; wall += kGrid)
            checkWall(wall, {before, after});
        // The edges of the stretch skipped or repeated, and a second inside each.
        for (time_t edge : {change + before, change + after})
            for (time_t d : {-1, 0, 1})
                checkWall(edge + d, {before, after});
    }

    // The wall-clock time `wall` (local seconds as if UTC): the instants that read it in the C
    // runtime, tried at every offset met on the way, decide what instants() must give.
    void checkWall(time_t wall, std::vector<long> offsets) {
        std::vector<time_t> readers;
        bool readOutside = false;
        for (std::size_t i = 0; i < offsets.size() && i < 8; ++i) {
            const time_t c = wall - offsets[i];
            const tm r = reading(c);
            if (c + r.tm_gmtoff != wall) {
                if (std::find(offsets.begin(), offsets.end(), r.tm_gmtoff) == offsets.end())
                    offsets.push_back(r.tm_gmtoff);
                continue;
            }
            if (!inRange(c))
                readOutside = true;
            else if (std::find(readers.begin(), readers.end(), c) == readers.end())
                readers.push_back(c);
        }
        std::sort(readers.begin(), readers.end());
        tm w;
        gmtime_r(&wall, &w);
        const QNZoneTZ::Instants ours = zone_.instants(
            QNDate(static_cast<unsigned>(w.tm_mday), static_cast<unsigned>(w.tm_mon + 1),
                   static_cast<unsigned>(w.tm_year + 1900)),
            static_cast<unsigned>(w.tm_hour), static_cast<unsigned>(w.tm_min),
            static_cast<unsigned>(w.tm_sec));
        ++checks_;
        bool right;
        if (!readers.empty()) {
            right = ours.count == std::min<std::size_t>(readers.size(), 2) &&
                    ours.first == timeOf(readers.front()) &&
                    ours.second == (readers.size() > 1 ? timeOf(readers.back()) : QNTime(0ul));
        } else if (readOutside) {
            right = ours.count == 0 && !ours.first.isValid() && !ours.second.isValid();
        } else {
            // Skipped: `first` is a change whose jump of the clock passes over `wall`.
            const time_t f = static_cast<time_t>(ours.first.seconds()) - kUnixToCount;
            right = ours.count == 0 && ours.first.isValid() && !ours.second.isValid() &&
                    f + reading(f - 1).tm_gmtoff <= wall && wall < f + reading(f).tm_gmtoff;
        }
        if (!right) {
            std::string text = "wall clock " + describe(w) + ": ours count " +
                               std::to_string(ours.count) + " " +
                               std::to_string(ours.first.seconds()) + " " +
                               std::to_string(ours.second.seconds()) + ", C runtime readers";
            for (time_t r : readers)
                text.append(" ").append(describeCount(r));
            text += readers.empty() ? " none" : "";
            text += readOutside ? " (one outside the range)" : "";
            fail(text);
        }
    }

    // Every period of ours is one kind of time in the C runtime from its first to its last
    // second, and the next differs.
    void walkPeriods() {
        for (QNZoneTZ::Period p = zone_.period(QNTime(0ul));; p = zone_.period(p.end)) {
            ++periods_;
            const time_t from =
                p.begin.isValid() ? time_t(p.begin.seconds()) - kUnixToCount : 1 - kUnixToCount;
            const time_t to = p.end.isValid() ? time_t(p.end.seconds()) - kUnixToCount
                                              : kLastCount - kUnixToCount + 1;
            ++checks_;
            const tm first = reading(from), last = reading(to - 1);
            if (!sameKind(first, last) || first.tm_gmtoff != -p.offset ||
                (first.tm_isdst > 0) != p.daylight || nameOf(first) != std::string(p.name) ||
                (p.end.isValid() && sameKind(last, reading(to))))
                fail("period from count " + describeCount(from) + " to " + describeCount(to) +
                     " (" + p.name.c_str() + ") is not one kind of time in the C runtime");
            if (!p.end.isValid())
                break;
        }
    }

    const QNZoneTZ& zone_;
    bool posix_;
    time_t step_;
    long periods_ = 0;
};

// Empty when a check finds the zone in agreement with the C runtime, else the
// disagreements, one a line.
template <class Check>
std::string disagreementsOf(Check& check) {
    check.run();
    std::string text = check.checks() > 100 ? "" : "too few checks\n";
    for (const std::string& line : check.failures())
        text += line + "\n";
    return text;
}
inline std::string disagreements(PeerCheck check) {
    return disagreementsOf(check);
}
inline std::string historyDisagreements(ExactCheck check) {
    return disagreementsOf(check);
}

}  // namespace tzpeer

#endif  // XVKIT_TESTS_DATETIME_TZ_PEER_H_
