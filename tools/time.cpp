// xvkit time: reads an instant (a date and a time of day in a zone) and prints
// it in a format, on that zone's wall clock or on other zones' (--to), or
// prints when daylight time begins and ends in a year.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>

#include "choices.h"
#include "commands.h"
#include "datetext.h"
#include "options.h"
#include "wallclock.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit time [OPTION...] [[DATE] TIME]\n"
    "       xvkit time [OPTION...] ISO-TIME\n"
    "       xvkit time [OPTION...] --dst YEAR\n"
    "\n"
    "Reads the time of day TIME on DATE (today when absent) in the zone and\n"
    "prints the instant. Without --format or --iso it prints the instant as\n"
    "\"%A %d %B %Y %H:%M:%S %Z\", then its count of seconds since 1 January 1901\n"
    "UTC and whether it is daylight or standard time; with --format or --iso it\n"
    "prints exactly the formatted text. Without TIME the instant is now. Quote a\n"
    "DATE or TIME of several words: xvkit time '3/5/97' '1:15 pm'. The built-in\n"
    "English locale reads a time from the start of TIME and ignores the rest, so\n"
    "a lone '3/5/97' is 03:00 today.\n"
    "\n"
    "Every locale also reads ISO 8601 as RFC 3339 writes it: a DATE as\n"
    "YYYY-MM-DD, and an ISO-TIME as YYYY-MM-DDTHH:MM[:SS[.FFF]] in the zone, or\n"
    "at its own offset from UTC when it ends in Z, +HH[:MM] or -HH[:MM]\n"
    "(2024-03-10T12:00:00-05:00). 't' or a blank may stand for 'T' and 'z' for\n"
    "'Z'. A fraction of a second is dropped (12:00:00.9 is 12:00:00), as the\n"
    "clock shows the second that has begun.\n"
    "\n"
    "With --to ZONE, prints the instant on the wall clock of ZONE instead, one\n"
    "line for each --to:\n"
    "\n"
    "  $ xvkit time -z America/New_York --to Asia/Tokyo --iso 2024-03-15 9:00\n"
    "  2024-03-15T22:00:00+09:00\n"
    "\n"
    "With --dst YEAR, prints the instants at which daylight time begins and\n"
    "ends in YEAR in the zone.\n"
    "\n"
    "  --locale NAME  a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                 environment's); without it the built-in English locale\n"
    "  --zone TZ      a zone of the time-zone database (\"America/New_York\") or a\n"
    "                 POSIX TZ setting (\"CET-1CEST,M3.5.0,M10.5.0/3\"), followed\n"
    "                 with its real daylight-saving rules (see 'xvkit zone');\n"
    "                 default: the zone of TZ, or /etc/localtime. An unknown zone\n"
    "                 or a malformed setting is an error. (The library's own\n"
    "                 process-wide zones give every zone with daylight time the\n"
    "                 North American schedule of 1987; the tool does not use them.)\n"
    "  --to TZ        print the instant in this zone (as --zone reads it); may be\n"
    "                 given several times\n"
    "  --format FMT   directives %a %A %b %B %c %C %d %H %I %j %m %M %p %S %U %w\n"
    "                 %W %x %X %y %Y %Z, as strftime's letters, \"%%\" for '%'\n"
    "                 (default \"%A %d %B %Y %H:%M:%S %Z\"); other letters are\n"
    "                 refused\n"
    "  --iso          print the instant as ISO 8601, with its offset from UTC\n"
    "  --verbose      add the count and daylight or standard time to --format\n"
    "                 or --iso\n"
    "  --dst YEAR     the daylight-saving changes of YEAR\n"
    "\n"
    "Short forms: -l NAME (--locale), -z TZ (--zone), -f FMT (--format),\n"
    "-i (--iso), -v (--verbose), -h (--help).\n"
    "\n"
    "Instants are a 32-bit count of seconds: they run from 1901 to 6 February\n"
    "2037 06:28:15 UTC, and a DATE and TIME outside that range name no instant.\n"
    "Nor does a time that the zone's clock skips when it is put forward (the\n"
    "error names the change); a time that the clock shows twice, when it is put\n"
    "back, is the earlier instant. Every reading takes the offset, name and\n"
    "daylight flag in force at its instant, over the zone's whole history.\n"
    "\n"
    "Exit status: 0 on success, 1 when DATE or TIME cannot be read or names no\n"
    "instant, or when the changes of YEAR fall outside the range of instants,\n"
    "2 on bad usage, an unknown format letter, an unknown locale or an unknown\n"
    "zone.\n";

constexpr KnownOption kOptions[] = {
    {"--locale", true, 'l'}, {"--zone", true, 'z'},     {"--to", true}, {"--format", true, 'f'},
    {"--iso", false, 'i'},   {"--verbose", false, 'v'}, {"--dst", true}};

// How instants are printed: in `format`, or as ISO 8601 when it is null, with
// the count and the kind of time after it when `annotated`.
struct Display {
    const char* format;
    bool annotated;
    const QNLocale& loc;
};

void printInstant(const char* label, const QNTime& t, const QNZoneTZ& zone,
                  const Display& display) {
    const Reading reading = readingOf(t, zone);
    const std::string shown = display.format != nullptr
                                  ? formattedText(reading, display.format, display.loc)
                                  : isoText(reading);
    if (display.annotated)
        std::printf("%s%s (count %lu, %s time)\n", label, shown.c_str(), t.seconds(),
                    reading.period.daylight ? "daylight" : "standard");
    else
        std::printf("%s%s\n", label, shown.c_str());
}

int printDaylightChanges(const char* yearText, const QNZoneTZ& zone, const Display& display) {
    const long year = readWholeNumber(yearText, "year");
    if (year < 0)
        usageError("bad year " + quoteArg(yearText));
    const auto y = static_cast<unsigned int>(year);
    const auto outsideTheInstants = [&] {
        return CliError(kExitNoResult, "the daylight-saving changes of " + std::string(yearText) +
                                           " fall outside the range of instants (1901 to 6 "
                                           "February 2037)");
    };
    // No instant lies outside these years (a year read beyond the 32-bit
    // range comes back clamped, so it is refused here too).
    if (zone.daylightObserved() && (y < 1901 || y > 2037))
        throw outsideTheInstants();
    const QNTime begin = QNTime::beginDST(y, zone);
    const QNTime end = QNTime::endDST(y, zone);
    if (!begin.isValid() && !end.isValid()) {
        std::printf("no daylight time in %u\n", y);
        return kExitOk;
    }
    // A change past the end of the 32-bit count comes back as an instant in
    // another year.
    if (QNDate(begin, zone).year() != y || QNDate(end, zone).year() != y)
        throw outsideTheInstants();
    printInstant("begins ", begin, zone, display);
    printInstant("ends   ", end, zone, display);
    return kExitOk;
}

// The instant that the operands name in `zone`: [DATE] TIME read by the
// locale, or an ISO 8601 date and time (in one word or two); now when there
// are none.
QNTime readInstant(const std::vector<const char*>& operands, const QNZoneTZ& zone,
                   const QNLocale& loc) {
    if (operands.empty())
        return QNTime::now();
    IsoText iso;
    if (const std::string text = joinWords(operands); readIso(text, true, &iso) && iso.hasTime)
        return instantOf(iso, zone, quoteArg(text));
    QNDate date;
    if (operands.size() == 2) {
        if (readIso(operands[0], false, &iso)) {
            date = iso.date;
        } else if (!(date = QNDate(XVString(operands[0]), loc)).isValid()) {
            throw CliError(kExitNoResult, "cannot read " + quoteArg(operands[0]) + " as a date" +
                                              dateFormHint(loc));
        }
    }
    const char* text = operands.back();
    tm read{};
    if (!loc.stringToTime(XVString(text), &read)) {
        const char* form = operands.size() == 1 && readIso(text, false, &iso)
                               ? " (an ISO 8601 instant needs a time: YYYY-MM-DDTHH:MM)"
                               : "";
        throw CliError(kExitNoResult, "cannot read " + quoteArg(text) + " as a time" + form);
    }
    const ClockTime clock{static_cast<unsigned int>(read.tm_hour),
                          static_cast<unsigned int>(read.tm_min),
                          static_cast<unsigned int>(read.tm_sec)};
    return instantOn(date, clock, zone, quoteArg(text) + " on " + date.asString('x', loc).c_str());
}

}  // namespace

int runTime(Args args) {
    Options options("time", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    const QNZoneTZ& zone = chooseZone(options.value("--zone"));
    std::vector<std::unique_ptr<QNZoneTZ>> targets;
    for (const char* name : options.values("--to"))
        targets.push_back(readZone(name));
    LocaleChoice locale(options.value("--locale"));
    const char* format = options.value("--format");
    if (format != nullptr && options.has("--iso"))
        usageError("--format and --iso exclude each other");
    const bool exact = format != nullptr || options.has("--iso");
    if (!exact)
        format = "%A %d %B %Y %H:%M:%S %Z";
    if (format != nullptr)
        requireKnownDirectives(format);
    const Display display{format, !exact || options.has("--verbose"), locale.get()};
    const auto& operands = options.operands();

    if (const char* year = options.value("--dst")) {
        if (!operands.empty())
            usageError("--dst takes no DATE or TIME");
        if (!targets.empty())
            usageError("--dst and --to exclude each other");
        return printDaylightChanges(year, zone, display);
    }
    if (operands.size() > 2)
        usageError("too many arguments (see 'xvkit time --help')");
    const QNTime instant = readInstant(operands, zone, display.loc);
    if (targets.empty())
        printInstant("", instant, zone, display);
    for (const auto& target : targets)
        printInstant("", instant, *target, display);
    return kExitOk;
}

}  // namespace xvtool
