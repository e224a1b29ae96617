// xvkit zone: what a zone is (its standard and daylight offsets and names,
// the year from which those answer exactly) and its changes of offset, name
// or daylight flag over a span of years, as zdump's verbose output shows them.
#include <cstdint>
#include <cstdio>
#include <string>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzonetz.h>

#include "choices.h"
#include "commands.h"
#include "datetext.h"
#include "options.h"
#include "wallclock.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit zone [--year YEAR[,END]] [ZONE]\n"
    "\n"
    "Describes ZONE, a zone of the IANA time-zone database (\"Europe/Paris\",\n"
    "read from $TZDIR or /usr/share/zoneinfo) or a POSIX TZ setting\n"
    "(\"CET-1CEST,M3.5.0,M10.5.0/3\"); without ZONE, the zone of the TZ variable\n"
    "or /etc/localtime. Prints its standard and daylight names and offsets and\n"
    "the year from which those answer exactly (the library's QNZone answers),\n"
    "then every change of the zone's offset, name or daylight flag in YEAR\n"
    "(default: this year), as zdump's verbose output shows it: the last second\n"
    "before the change and the first after it, in UTC and on the zone's clock.\n"
    "\n"
    "  $ xvkit zone --year 2024 America/New_York\n"
    "  zone        America/New_York\n"
    "  standard    EST  UTC-05:00\n"
    "  daylight    EDT  UTC-04:00\n"
    "  exact from  1946\n"
    "  changes in 2024:\n"
    "  America/New_York  Sun Mar 10 06:59:59 2024 UT = Sun Mar 10 01:59:59 2024 EST "
    "isdst=0 gmtoff=-18000\n"
    "  ...\n"
    "\n"
    "Years are counted in UTC, as zdump counts them. The changes follow the\n"
    "zone's whole history from 1901 to 2037 (the library's QNZoneTZ), unlike\n"
    "the library's process-wide zones, which give every zone with daylight time\n"
    "the North American schedule of 1987.\n"
    "\n"
    "  --year YEAR      the year whose changes to print, 1901 to 2037\n"
    "  --year YEAR,END  the changes from the start of YEAR to the start of END\n"
    "                   (as zdump's cutoff years); 1901,2038 is the whole history\n"
    "\n"
    "Exit status: 0 on success, 2 on bad usage, an unknown zone or a malformed\n"
    "setting.\n";

constexpr KnownOption kOptions[] = {{"--year", true}};
constexpr long kFirstYear = 1901;
constexpr long kLastYear = 2037;
constexpr std::int64_t kSecondsPerDay = 86400;

// "UTC+05:30" for a zone offset (seconds west of Greenwich).
std::string utcOffset(long west) {
    return "UTC" + offsetText(-west);
}

// zdump's layout of a reading: "Sun Mar 10 06:59:59 2024".
std::string zdumpTime(const tm& fields) {
    const XVString names = QNLocaleDefault::instance().asString(&fields, "%a %b", QNZone::utc());
    char text[64];
    std::snprintf(text, sizeof text, "%s%3d %02d:%02d:%02d %d", names.c_str(), fields.tm_mday,
                  fields.tm_hour, fields.tm_min, fields.tm_sec, fields.tm_year + 1900);
    return text;
}

void printReading(const QNZoneTZ& zone, const QNTime& t) {
    tm utc;
    t.extractGMT(&utc);
    const Reading local = readingOf(t, zone);
    std::printf("%s  %s UT = %s %s isdst=%d gmtoff=%ld\n", zone.name().c_str(),
                zdumpTime(utc).c_str(), zdumpTime(local.fields).c_str(), local.period.name.c_str(),
                local.period.daylight ? 1 : 0, -local.period.offset);
}

// The years of --year: [first, end), read from "YEAR" or "YEAR,END".
struct Years {
    long first;
    long end;
};

Years chosenYears(const char* text) {
    if (text == nullptr) {
        const long year = QNDate::now().year();
        return {year, year + 1};
    }
    const std::string given = text;
    const std::size_t comma = given.find(',');
    const long first = readWholeNumber(given.substr(0, comma).c_str(), "year");
    const long end = comma == std::string::npos
                         ? first + 1
                         : readWholeNumber(given.substr(comma + 1).c_str(), "year");
    if (first < kFirstYear || first > kLastYear || end <= first || end > kLastYear + 1)
        usageError("bad year " + quoteArg(text) + " (1901 to 2037)");
    return {first, end};
}

// The count of 1 January of `year`, 00:00:00 UTC.
std::int64_t yearStart(long year) {
    static const auto firstDay = static_cast<std::int64_t>(QNDate(1, 1, kFirstYear).julian());
    const auto day = static_cast<std::int64_t>(QNDate(1, 1, static_cast<unsigned>(year)).julian());
    return (day - firstDay) * kSecondsPerDay;
}

// Prints every change of `zone` from the start of `years.first` to the start
// of `years.end`, walking the periods from the one in force just before.
void printChanges(const QNZoneTZ& zone, const Years& years) {
    const std::string span = years.end == years.first + 1 ? std::to_string(years.first)
                                                          : std::to_string(years.first) + " to " +
                                                                std::to_string(years.end - 1);
    const std::int64_t from = yearStart(years.first), to = yearStart(years.end);
    QNZoneTZ::Period period =
        zone.period(QNTime(static_cast<unsigned long>(from > 1 ? from - 1 : 1)));
    bool any = false;
    while (period.end.isValid() && static_cast<std::int64_t>(period.end.seconds()) < to) {
        const QNTime change = period.end;
        if (static_cast<std::int64_t>(change.seconds()) >= from) {
            if (!any)
                std::printf("changes in %s:\n", span.c_str());
            any = true;
            printReading(zone, QNTime(change.seconds() - 1));
            printReading(zone, change);
        }
        period = zone.period(change);
    }
    if (!any)
        std::printf("no changes in %s\n", span.c_str());
}

}  // namespace

int runZone(Args args) {
    Options options("zone", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    const auto& operands = options.operands();
    if (operands.size() > 1)
        usageError("too many arguments (see 'xvkit zone --help')");
    const QNZoneTZ& zone = chooseZone(operands.empty() ? nullptr : operands.front());
    const Years years = chosenYears(options.value("--year"));

    std::printf("zone        %s\n", zone.name().c_str());
    std::printf("standard    %s  %s\n", zone.timeZoneName().c_str(),
                utcOffset(zone.timeZoneOffset()).c_str());
    if (zone.daylightObserved()) {
        std::printf("daylight    %s  %s\n", zone.altZoneName().c_str(),
                    utcOffset(zone.altZoneOffset()).c_str());
    } else {
        std::printf("daylight    none\n");
    }
    std::printf("exact from  %u\n", zone.exactFrom());

    printChanges(zone, years);
    return kExitOk;
}

}  // namespace xvtool
