// QNZoneTZ: the zone of a POSIX setting or a database file, answering from
// its timeline (tz_timeline.h).
#include <xvkit/qndate.h>
#include <xvkit/qnzonetz.h>

#include <cstddef>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "tz_database.h"
#include "tz_history.h"
#include "tz_posix.h"
#include "tz_timeline.h"

using xvkit::tz::Seconds;

struct QNZoneTZ::Data {
    Data(const char* origin, const xvkit::tz::History& history)
        : name(origin),
          timeline(xvkit::tz::buildTimeline(history)),
          standardName(timeline.standard.abbr.c_str()),
          daylightName(timeline.daylight.abbr.c_str()) {}

    XVString name;
    xvkit::tz::Timeline timeline;
    XVString standardName;
    XVString daylightName;
};

namespace {

constexpr const char kLocalTimeFile[] = "/etc/localtime";
constexpr const char kUtcName[] = "UTC";
constexpr int kTmBaseYear = 1900;
constexpr int kMonthsPerYear = 12;
// The last count of QNTime.
constexpr Seconds kLastCount = 4294967295;

// Stores `text` in `why` (when given) and answers no zone.
std::nullptr_t refuse(XVString* why, const std::string& text) {
    if (why != nullptr)
        *why = XVString(text.c_str());
    return nullptr;
}

// A wall-clock time in local Seconds, with its year.
struct Wall {
    Seconds seconds;
    std::int64_t year;
};

// The wall-clock time in `t`; fields out of range carry over into the next
// larger unit (the year is that of the month, before days carry over).
Wall wallOf(const tm* t) {
    const std::int64_t month = t->tm_mon;
    const std::int64_t year =
        kTmBaseYear + std::int64_t{t->tm_year} + xvkit::tz::floorDiv(month, kMonthsPerYear);
    const int monthOfYear = static_cast<int>(xvkit::tz::floorMod(month, kMonthsPerYear)) + 1;
    return {xvkit::tz::daysFromCivil(year, monthOfYear, t->tm_mday) * xvkit::tz::kSecondsPerDay +
                std::int64_t{t->tm_hour} * xvkit::tz::kSecondsPerHour +
                std::int64_t{t->tm_min} * 60 + t->tm_sec,
            year};
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

QNZoneTZ::QNZoneTZ(std::unique_ptr<Data> data) : data_(std::move(data)) {}

QNZoneTZ::QNZoneTZ(const QNZoneTZ& other)
    : QNZone(other), data_(std::make_unique<Data>(*other.data_)) {}

QNZoneTZ& QNZoneTZ::operator=(const QNZoneTZ& other) {
    if (this != &other)
        data_ = std::make_unique<Data>(*other.data_);
    return *this;
}

QNZoneTZ::~QNZoneTZ() = default;

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromPosix(const char* setting, XVString* why) {
    if (setting == nullptr)
        return refuse(why, "no POSIX setting");
    xvkit::tz::PosixZone zone;
    std::string problem;
    if (!xvkit::tz::parsePosix(setting, &zone, &problem))
        return refuse(why, "bad POSIX setting '" + std::string(setting) + "': " + problem);
    const auto history = xvkit::tz::expandPosix(zone, xvkit::tz::kFirstYear, xvkit::tz::kLastYear);
    return std::unique_ptr<QNZoneTZ>(new QNZoneTZ(std::make_unique<Data>(setting, history)));
}

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromDatabase(const char* name, XVString* why) {
    if (name == nullptr)
        return refuse(why, "no zone name");
    xvkit::tz::History history;
    std::string problem;
    if (xvkit::tz::loadDatabaseZone(name, &history, &problem) != xvkit::tz::LoadResult::loaded)
        return refuse(why, problem);
    return std::unique_ptr<QNZoneTZ>(new QNZoneTZ(std::make_unique<Data>(name, history)));
}

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromSetting(const char* setting, XVString* why) {
    if (setting == nullptr)
        return refuse(why, "no zone setting");
    std::string_view text(setting);
    const bool fileOnly = !text.empty() && text.front() == ':';
    if (fileOnly)
        text.remove_prefix(1);
    if (text.empty()) {
        return std::unique_ptr<QNZoneTZ>(
            new QNZoneTZ(std::make_unique<Data>(kUtcName, utcHistory())));
    }
    xvkit::tz::History history;
    std::string problem;
    const xvkit::tz::LoadResult loaded =
        text.front() == '/' ? xvkit::tz::loadZoneFile(std::string(text), &history, &problem)
                            : xvkit::tz::loadDatabaseZone(text, &history, &problem);
    if (loaded == xvkit::tz::LoadResult::loaded)
        return std::unique_ptr<QNZoneTZ>(new QNZoneTZ(std::make_unique<Data>(setting, history)));
    // No file of that name: the C runtime reads the text as a POSIX setting.
    if (!fileOnly && loaded == xvkit::tz::LoadResult::missing) {
        XVString posixProblem;
        if (auto zone = fromPosix(setting, &posixProblem))
            return zone;
        if (looksLikeSetting(text))
            problem = posixProblem;
    }
    return refuse(why, problem);
}

std::unique_ptr<QNZoneTZ> QNZoneTZ::fromEnvironment(XVString* why) {
    if (const char* tz = std::getenv("TZ"))
        return fromSetting(tz, why);
    xvkit::tz::History history;
    std::string problem;
    switch (xvkit::tz::loadZoneFile(kLocalTimeFile, &history, &problem)) {
        case xvkit::tz::LoadResult::loaded:
            return std::unique_ptr<QNZoneTZ>(
                new QNZoneTZ(std::make_unique<Data>(kLocalTimeFile, history)));
        case xvkit::tz::LoadResult::missing:
            return fromSetting("", why);
        case xvkit::tz::LoadResult::failed:
            break;
    }
    return refuse(why, problem);
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
        if (wall >= from && wall < to && count > 0 && count <= kLastCount)
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
    if (!data_->timeline.observed)
        return false;
    const Wall wall = wallOf(t);
    return data_->timeline.isDaylight(wall.seconds, wall.year);
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
