// xvkit date: reads a date with a locale and prints it in a format, or with
// its day number and weekday.
#include <cstdio>
#include <string>

#include <xvkit/qndate.h>

#include "choices.h"
#include "commands.h"
#include "datetext.h"
#include "options.h"
#include "wallclock.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit date [--locale NAME] [--zone TZ] [--format FMT | --iso] [-v] [TEXT...]\n"
    "\n"
    "Reads the date TEXT (the words joined by blanks; today when absent) with\n"
    "the locale, or as ISO 8601 (YYYY-MM-DD) in every locale, and prints it.\n"
    "Without --format or --iso it prints the date as \"%A %d %B %Y\", then its\n"
    "day number (Julian Day Number) and its weekday (1 = Monday .. 7 = Sunday):\n"
    "\n"
    "  $ xvkit date March 5, 1997\n"
    "  Wednesday 05 March 1997 (day 2450513, weekday 3)\n"
    "\n"
    "With --format or --iso it prints exactly the formatted text, for scripts:\n"
    "\n"
    "  $ xvkit date --format %Y%m%d March 5, 1997\n"
    "  19970305\n"
    "\n"
    "  --locale NAME  a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                 environment's); without it the built-in English locale,\n"
    "                 which reads \"3/5/97\", \"March 5, 1997\", \"5-MAR-97\"\n"
    "  --zone TZ      a zone of the time-zone database (\"Asia/Tokyo\") or a POSIX\n"
    "                 TZ setting (\"JST-9\"): the zone whose calendar gives\n"
    "                 \"today\" (default: TZ, or /etc/localtime); a date has no\n"
    "                 zone of its own, so %Z prints nothing\n"
    "  --format FMT   directives %a %A %b %B %c %C %d %H %I %j %m %M %p %S %U %w\n"
    "                 %W %x %X %y %Y %Z, as strftime's letters, \"%%\" for '%'\n"
    "                 (default \"%A %d %B %Y\"); other letters are refused\n"
    "  --iso          print the date as ISO 8601, YYYY-MM-DD\n"
    "  --verbose      add the day number and weekday to --format or --iso\n"
    "\n"
    "Short forms: -l NAME (--locale), -z TZ (--zone), -f FMT (--format),\n"
    "-i (--iso), -v (--verbose), -h (--help).\n"
    "\n"
    "Exit status: 0 on success, 1 when TEXT is not a date, 2 on bad usage, an\n"
    "unknown format letter, an unknown locale or an unknown zone.\n";

constexpr KnownOption kOptions[] = {{"--locale", true, 'l'},
                                    {"--zone", true, 'z'},
                                    {"--format", true, 'f'},
                                    {"--iso", false, 'i'},
                                    {"--verbose", false, 'v'}};

}  // namespace

int runDate(Args args) {
    Options options("date", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    const QNZoneTZ& zone = chooseZone(options.value("--zone"));
    LocaleChoice locale(options.value("--locale"));
    const char* format = options.value("--format");
    if (format != nullptr && options.has("--iso"))
        usageError("--format and --iso exclude each other");
    const bool annotated = (format == nullptr && !options.has("--iso")) || options.has("--verbose");
    if (format == nullptr)
        format = "%A %d %B %Y";
    requireKnownDirectives(format);

    const Reading now = readingOf(QNTime::now(), zone);
    QNDate date(&now.fields);  // today on the zone's clock
    if (!options.operands().empty()) {
        const std::string text = joinWords(options.operands());
        IsoText iso;
        date = readIso(text, false, &iso) ? iso.date : QNDate(XVString(text), locale.get());
        if (!date.isValid())
            throw CliError(kExitNoResult, "cannot read " + quoteArg(text) + " as a date" +
                                              dateFormHint(locale.get()));
    }
    const std::string shown =
        options.has("--iso") ? isoDate(date) : date.asString(format, locale.get()).c_str();
    if (annotated)
        std::printf("%s (day %lu, weekday %u)\n", shown.c_str(), date.julian(), date.weekDay());
    else
        std::printf("%s\n", shown.c_str());
    return kExitOk;
}

}  // namespace xvtool
