// xvkit zone: what a zone is (its standard and daylight offsets and names,
// the year from which it follows the database exactly) and its changes of
// time in a year, in the spirit of zdump -v.
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

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit zone [--year YEAR] [ZONE]\n"
    "\n"
    "Describes ZONE, a zone of the IANA time-zone database (\"Europe/Paris\",\n"
    "read from $TZDIR or /usr/share/zoneinfo) or a POSIX TZ setting\n"
    "(\"CET-1CEST,M3.5.0,M10.5.0/3\"); without ZONE, the zone of the TZ variable\n"
    "or /etc/localtime. Prints its standard and daylight names and offsets, the\n"
    "year from which it follows the database exactly, and each change between\n"
    "standard and daylight time in YEAR (default: this year) as zdump's verbose\n"
    "output shows it: the last second before the change and the first after it,\n"
    "in UTC and in local time.\n"
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
    "The zone follows its real rules (the library's QNZoneTZ), unlike the\n"
    "library's process-wide zones, which give every zone with daylight time the\n"
    "North American schedule of 1987. A zone has one standard and one daylight\n"
    "offset and name: those in force after its last change of either. Before\n"
    "the year \"exact from\" its answers use them too, so they may differ from\n"
    "the database's history.\n"
    "\n"
    "  --year YEAR  the year whose changes to print, 1901 to 2037\n"
    "\n"
    "Exit status: 0 on success, 2 on bad usage, an unknown zone or a malformed\n"
    "setting.\n";

constexpr KnownOption kOptions[] = {{"--year", true}};
constexpr unsigned int kFirstYear = 1901;
constexpr unsigned int kLastYear = 2037;

// "UTC+05:30" for a zone offset (seconds west of Greenwich).
std::string utcOffset(long west) {
    return "UTC" + offsetText(-west);
}

// zdump's layout of a reading: "Sun Mar 10 06:59:59 2024".
std::string zdumpTime(const QNTime& t, const QNZone& zone) {
    tm fields;
    t.extract(&fields, zone);
    const XVString names = t.asString("%a %b", zone, QNLocaleDefault::instance());
    char text[64];
    std::snprintf(text, sizeof text, "%s%3d %02d:%02d:%02d %d", names.c_str(), fields.tm_mday,
                  fields.tm_hour, fields.tm_min, fields.tm_sec, fields.tm_year + 1900);
    return text;
}

void printReading(const QNZoneTZ& zone, const QNTime& t) {
    const bool daylight = t.isDST(zone);
    const long west = daylight ? zone.altZoneOffset() : zone.timeZoneOffset();
    const XVString name = daylight ? zone.altZoneName() : zone.timeZoneName();
    std::printf("%s  %s UT = %s %s isdst=%d gmtoff=%ld\n", zone.name().c_str(),
                zdumpTime(t, QNZone::utc()).c_str(), zdumpTime(t, zone).c_str(), name.c_str(),
                daylight ? 1 : 0, -west);
}

unsigned int chosenYear(const char* text) {
    if (text == nullptr)
        return QNDate::now().year();
    const long year = readWholeNumber(text, "year");
    if (year < static_cast<long>(kFirstYear) || year > static_cast<long>(kLastYear))
        usageError("bad year " + quoteArg(text) + " (1901 to 2037)");
    return static_cast<unsigned int>(year);
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
    const unsigned int year = chosenYear(options.value("--year"));

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
    const std::vector<QNTime> changes = zone.changes(year);
    if (changes.empty()) {
        std::printf("no changes in %u\n", year);
        return kExitOk;
    }
    std::printf("changes in %u:\n", year);
    for (const QNTime& change : changes) {
        printReading(zone, QNTime(change.seconds() - 1));
        printReading(zone, change);
    }
    return kExitOk;
}

}  // namespace xvtool
