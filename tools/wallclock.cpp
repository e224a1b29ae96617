#include "wallclock.h"

#include <cstdint>
#include <cstdio>

#include "options.h"

namespace xvtool {

namespace {

// Instants are a 32-bit count of seconds since 1 January 1901 00:00:00 UTC,
// 0 being the invalid instant.
constexpr std::int64_t kFirstCount = 1;
constexpr const char kOutsideInstants[] =
    "lies outside the range of instants, 1 January 1901 to 6 February 2037 06:28:15 UTC";

constexpr long kSecondsPerHour = 3600;
constexpr long kSecondsPerDay = 86400;

// The seconds from 1 January 1901 00:00:00 UTC to `time` on `date` at
// `offsetWest` seconds west of Greenwich; outside the 32-bit count for
// wall-clock times that no instant has.
std::int64_t countAt(const QNDate& date, const ClockTime& time, long offsetWest) {
    static const auto firstDay = static_cast<std::int64_t>(QNDate(1, 1, 1901).julian());
    return (static_cast<std::int64_t>(date.julian()) - firstDay) * kSecondsPerDay +
           time.hour * kSecondsPerHour + time.minute * 60 + time.second + offsetWest;
}

// A zone that gives every reading one period's offset and name, so that the
// locales' %Z names the time in force at the instant.
class PeriodZone final : public QNZone {
  public:
    explicit PeriodZone(const QNZoneTZ::Period& period) : period_(period) {}
    long timeZoneOffset() const override { return period_.offset; }
    long altZoneOffset() const override { return period_.offset; }
    bool daylightObserved() const override { return false; }
    XVString timeZoneName() const override { return period_.name; }
    XVString altZoneName() const override { return period_.name; }
    bool isDaylight(const tm*) const override { return false; }
    void getBeginDaylight(tm* t) const override { QNDate::clobber(t); }
    void getEndDaylight(tm* t) const override { QNDate::clobber(t); }

  private:
    const QNZoneTZ::Period& period_;
};

// "2024-03-10" and "01:59:59", joined by `separator`.
std::string dateAndClock(const tm& fields, char separator) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%c%02d:%02d:%02d", isoDate(QNDate(&fields)).c_str(),
                  separator, fields.tm_hour, fields.tm_min, fields.tm_sec);
    return text;
}

// "2024-03-10 01:59:59 EST (UTC-05:00)".
std::string clockText(const Reading& r) {
    return dateAndClock(r.fields, ' ') + " " + r.period.name.c_str() + " (UTC" +
           offsetText(-r.period.offset) + ")";
}

}  // namespace

Reading readingOf(const QNTime& t, const QNZoneTZ& zone) {
    Reading r{{}, zone.period(t)};
    zone.extract(t, &r.fields);
    return r;
}

QNTime instantOn(const QNDate& date, const ClockTime& time, const QNZoneTZ& zone,
                 const std::string& what) {
    const QNZoneTZ::Instants found = zone.instants(date, time.hour, time.minute, time.second);
    if (found.count != 0)
        return found.first;
    if (!found.first.isValid())
        throw CliError(kExitNoResult, "no such instant: " + what + " " + kOutsideInstants);
    // The clock jumped over the time at `found.first`: name that change.
    const Reading before = readingOf(QNTime(found.first.seconds() - 1), zone);
    const Reading after = readingOf(found.first, zone);
    throw CliError(kExitNoResult, "no such instant: " + what +
                                      " lies in the stretch skipped when the clock went from " +
                                      clockText(before) + " to " + clockText(after));
}

QNTime instantOf(const IsoText& text, const QNZoneTZ& zone, const std::string& what) {
    if (!text.hasOffset)
        return instantOn(text.date, text.time, zone, what);
    const std::int64_t count = countAt(text.date, text.time, -text.offsetEast);
    if (count < kFirstCount || count > static_cast<std::int64_t>(QNZoneTZ::lastCount))
        throw CliError(kExitNoResult, "no such instant: " + what + " " + kOutsideInstants);
    return QNTime(static_cast<unsigned long>(count));
}

std::string isoText(const Reading& r) {
    return dateAndClock(r.fields, 'T') +
           (r.period.offset == 0 ? "Z" : offsetText(-r.period.offset));
}

std::string formattedText(const Reading& r, const char* format, const QNLocale& loc) {
    return loc.asString(&r.fields, format, PeriodZone(r.period)).c_str();
}

}  // namespace xvtool
