// QNZoneTZ: the zone of a POSIX setting or a database file. The QNZone
// answers come from its timeline (tz_timeline.h), period(), extract() and
// instants() from its exact periods (tz_periods.h).
#include <xvkit/qndate.h>
#include <xvkit/qnzonetz.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tz_database.h"
#include "tz_file.h"
#include "tz_history.h"
#include "tz_periods.h"
#include "tz_posix.h"
#include "tz_timeline.h"
#include "zone_calc.h"

using xvkit::tz::Seconds;

struct QNZoneTZ::Data {
    Data(std::string_view origin, const xvkit::tz::History& history)
        : name(origin.data(), origin.size()),
          periods(history),
          timeline(xvkit::tz::buildTimeline(history)),
          standardName(timeline.standard.abbr.c_str()),
          daylightName(timeline.daylight.abbr.c_str()) {}

    // A zone of `history` named `origin`.
    static std::unique_ptr<QNZoneTZ> zone(std::string_view origin,
                                          const xvkit::tz::History& history) {
        return std::unique_ptr<QNZoneTZ>(
            new QNZoneTZ(std::make_shared<const Data>(origin, history)));
    }

    XVString name;
    xvkit::tz::PeriodList periods;
    xvkit::tz::Timeline timeline;
    XVString standardName;
    XVString daylightName;
};

namespace {

constexpr const char kLocalTimeFile[] = "/etc/localtime";
constexpr const char kUtcName[] = "UTC";
constexpr int kTmBaseYear = 1900;
constexpr int kMonthsPerYear = 12;

// `text` with its control bytes written as escapes ("\n", "\x01"), so that a
// reason quoting a setting or a file's footer stays on one line and whole.
// Escaping twice changes nothing more.
std::string escapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        }
    }
    return out;
}

// Stores `text`, escaped, in `why` (when given) and answers no zone.
std::nullptr_t refuse(XVString* why, std::string_view text) {
    if (why != nullptr)
        *why = XVString(escapeControls(text).c_str());
    return nullptr;
}

// The wall-clock time in `t`, in local Seconds; fields out of range carry
// over into the next larger unit.
Seconds wallOf(const tm* t) {
    const std::int64_t month = t->tm_mon;
    const std::int64_t year =
        kTmBaseYear + std::int64_t{t->tm_year} + xvkit::tz::floorDiv(month, kMonthsPerYear);
    const int monthOfYear = static_cast<int>(xvkit::tz::floorMod(month, kMonthsPerYear)) + 1;
    return xvkit::tz::daysFromCivil(year, monthOfYear, t->tm_mday) * xvkit::tz::kSecondsPerDay +
           std::int64_t{t->tm_hour} * xvkit::tz::kSecondsPerHour + std::int64_t{t->tm_min} * 60 +
           t->tm_sec;
}

// Sets the day and time of the local Seconds `wall` into `t`; the year and
// day of the year stay as they were.
void setWall(tm* t, Seconds wall) {
    const std::int64_t days = xvkit::tz::floorDiv(wall, xvkit::tz::kSecondsPerDay);
    const Seconds second = wall - days * xvkit::tz::kSecondsPerDay;
    const xvkit::tz::CivilDay day = xvkit::tz::civilFromDays(days);
    t->tm_mon = day.month - 1;
    t->tm_mday = day.day;
    t->tm_wday = xvkit::tz::weekdayOf(days);
    t->tm_hour = static_cast<int>(second / xvkit::tz::kSecondsPerHour);
    t->tm_min = static_cast<int>(second % xvkit::tz::kSecondsPerHour / 60);
    t->tm_sec = static_cast<int>(second % 60);
    t->tm_isdst = -1;
}

// Sets a daylight boundary's wall-clock time into `t`, or clears `t` when
// there is none that year.
void setBoundary(tm* t, std::optional<Seconds> wall) {
    if (wall)
        setWall(t, *wall);
    else
        QNDate::clobber(t);
}

// Whether text that names no database zone was meant as a POSIX setting, so
// that the reason given is the parser's rather than "no such zone".
bool looksLikeSetting(std::string_view text) {
    return text.find_first_of("0123456789,<") != std::string_view::npos;
}

xvkit::tz::History utcHistory() {
    xvkit::tz::History history;
    history.types.push_back({0, false, kUtcName});
    return history;
}

}  // namespace

QNZoneTZ::QNZoneTZ(std::shared_ptr<const Data> data) : data_(std::move(data)) {}

QNZoneTZ::QNZoneTZ(const QNZoneTZ& other) = default;

QNZoneTZ& QNZoneTZ::operator=(const QNZoneTZ& other) = default;

QNZoneTZ::~QNZoneTZ() = default;

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromPosix(const char* setting, XVString* why) {
    if (setting == nullptr)
        return refuse(why, "no POSIX setting");
    xvkit::tz::PosixZone zone;
    std::string problem;
    if (!xvkit::tz::parsePosix(setting, &zone, &problem))
        return refuse(why, "bad POSIX setting '" + std::string(setting) + "': " + problem);
    return Data::zone(setting,
                      xvkit::tz::expandPosix(zone, xvkit::tz::kFirstYear, xvkit::tz::kLastYear));
}

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromTZif(const void* data, std::size_t size, const char* name,
                                             XVString* why) {
    if (data == nullptr && size != 0)
        return refuse(why, "no TZif data");
    xvkit::tz::History history;
    std::string problem;
    if (!xvkit::tz::readZoneFile({static_cast<const unsigned char*>(data), size}, &history,
                                 &problem))
        return refuse(why, problem);
    return Data::zone(name != nullptr ? name : "", history);
}

namespace {

// The zone in the file at `path`, named `origin`; a reason that names the
// file when it is not one.
std::unique_ptr<QNZoneTZ> zoneInFile(const char* origin, const std::string& path,
                                     xvkit::tz::LoadResult* result, XVString* why) {
    std::vector<unsigned char> bytes;
    std::string problem;
    *result = xvkit::tz::readZoneFileBytes(path, &bytes, &problem);
    if (*result != xvkit::tz::LoadResult::loaded)
        return refuse(why, problem);
    XVString fileProblem;
    auto zone = QNZoneTZ::fromTZif(bytes.data(), bytes.size(), origin, &fileProblem);
    if (!zone) {
        *result = xvkit::tz::LoadResult::failed;
        return refuse(why, path + ": " + fileProblem.c_str());
    }
    return zone;
}

// The database zone `name`, as zoneInFile; a missing file is "no zone".
std::unique_ptr<QNZoneTZ> databaseZone(const char* origin, std::string_view name,
                                       xvkit::tz::LoadResult* result, XVString* why) {
    std::string path, problem;
    if (!xvkit::tz::databasePath(name, &path, &problem)) {
        *result = xvkit::tz::LoadResult::failed;
        return refuse(why, problem);
    }
    auto zone = zoneInFile(origin, path, result, why);
    if (*result == xvkit::tz::LoadResult::missing) {
        return refuse(why,
                      "no zone '" + std::string(name) + "' under " + xvkit::tz::databaseFolder());
    }
    return zone;
}

}  // namespace

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromDatabase(const char* name, XVString* why) {
    if (name == nullptr)
        return refuse(why, "no zone name");
    xvkit::tz::LoadResult result;
    return databaseZone(name, name, &result, why);
}

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromSetting(const char* setting, XVString* why) {
    if (setting == nullptr)
        return refuse(why, "no zone setting");
    std::string_view text(setting);
    const bool fileOnly = !text.empty() && text.front() == ':';
    if (fileOnly)
        text.remove_prefix(1);
    if (text.empty())
        return Data::zone(kUtcName, utcHistory());
    xvkit::tz::LoadResult result;
    XVString problem;
    auto zone = text.front() == '/' ? zoneInFile(setting, std::string(text), &result, &problem)
                                    : databaseZone(setting, text, &result, &problem);
    if (zone)
        return zone;
    // No file of that name: the C runtime reads the text as a POSIX setting.
    if (!fileOnly && result == xvkit::tz::LoadResult::missing) {
        XVString posixProblem;
        if (auto posix = fromPosix(setting, &posixProblem))
            return posix;
        if (looksLikeSetting(text))
            problem = posixProblem;
    }
    return refuse(why, problem.c_str());
}

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromEnvironment(XVString* why) {
    if (const char* tz = std::getenv("TZ"))
        return fromSetting(tz, why);
    xvkit::tz::LoadResult result;
    XVString problem;
    auto zone = zoneInFile(kLocalTimeFile, kLocalTimeFile, &result, &problem);
    if (result == xvkit::tz::LoadResult::missing)
        return fromSetting("", why);
    return zone ? std::move(zone) : refuse(why, problem.c_str());
}

XVString QNZoneTZ::name() const {
    return data_->name;
}

unsigned int QNZoneTZ::exactFrom() const {
    return static_cast<unsigned>(data_->timeline.exactFrom);
}

std::vector<QNTime> QNZoneTZ::changes(unsigned int year) const {
    const xvkit::tz::Timeline& timeline = data_->timeline;
    const Seconds from = xvkit::tz::startOfYear(year), to = xvkit::tz::startOfYear(year + 1LL);
    std::vector<QNTime> out;
    const auto add = [&](Seconds instant, Seconds wall) {
        const Seconds count = instant - xvkit::tz::kFirstInstant;
        if (wall >= from && wall < to && count > 0 && count <= xvkit::tz::kLastCount)
            out.push_back(QNTime(static_cast<unsigned long>(count)));
    };
    for (const xvkit::tz::DaylightPeriod& p : timeline.periods) {
        if (p.hasBegin)
            add(p.begin, timeline.beginWall(p));
        if (p.hasEnd)
            add(p.end, timeline.endWall(p));
    }
    return out;
}

QNZoneTZ::Period QNZoneTZ::period(const QNTime& t) const {
    const xvkit::tz::PeriodList& periods = data_->periods;
    const std::size_t i = periods.indexAt(static_cast<xvkit::tz::Count>(t.seconds()));
    return {QNTime(periods.begin(i)), QNTime(periods.end(i)), -long{periods.gmtoff(i)},
            periods.isdst(i), periods.name(i)};
}

QNZoneTZ::Instants QNZoneTZ::instants(const QNDate& date, unsigned int hour, unsigned int minute,
                                      unsigned int second) const {
    if (!date.isValid())
        return {0, QNTime(0ul), QNTime(0ul)};
    const Seconds wall = (static_cast<Seconds>(date.julian()) - xvkit::tz::kFirstDayNumber) *
                             xvkit::tz::kSecondsPerDay +
                         Seconds{hour} * xvkit::tz::kSecondsPerHour + Seconds{minute} * 60 + second;
    const xvkit::tz::WallInstants found = data_->periods.instants(wall);
    return {found.count, QNTime(found.first), QNTime(found.second)};
}

void QNZoneTZ::extract(const QNTime& t, tm* out) const {
    if (!t.isValid()) {
        QNDate::clobber(out);
        return;
    }
    const xvkit::tz::PeriodList& periods = data_->periods;
    const auto count = static_cast<xvkit::tz::Count>(t.seconds());
    const std::size_t i = periods.indexAt(count);
    xvkit::tz::readCivil(Seconds{count} + periods.gmtoff(i), out);
    out->tm_isdst = periods.isdst(i) ? 1 : 0;
}

long QNZoneTZ::timeZoneOffset() const {
    return -data_->timeline.standard.gmtoff;
}

long QNZoneTZ::altZoneOffset() const {
    return -data_->timeline.daylight.gmtoff;
}

bool QNZoneTZ::daylightObserved() const {
    return data_->timeline.observed;
}

XVString QNZoneTZ::timeZoneName() const {
    return data_->standardName;
}

XVString QNZoneTZ::altZoneName() const {
    return data_->daylightName;
}

bool QNZoneTZ::isDaylight(const tm* t) const {
    return daylightWall(wallOf(t));
}

bool QNZoneTZ::daylightCount(std::uint32_t count) const {
    return data_->timeline.daylightCounts.contains(count);
}

bool QNZoneTZ::daylightWall(std::int64_t wall) const {
    return data_->timeline.daylightWalls.contains(wall);
}

void QNZoneTZ::getBeginDaylight(tm* t) const {
    const xvkit::tz::Timeline& timeline = data_->timeline;
    const auto* period = timeline.beginIn(kTmBaseYear + std::int64_t{t->tm_year});
    setBoundary(t, period ? std::optional(timeline.beginWall(*period)) : std::nullopt);
}

void QNZoneTZ::getEndDaylight(tm* t) const {
    const xvkit::tz::Timeline& timeline = data_->timeline;
    const auto* period = timeline.endIn(kTmBaseYear + std::int64_t{t->tm_year});
    setBoundary(t, period ? std::optional(timeline.endWall(*period)) : std::nullopt);
}
