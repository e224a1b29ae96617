// xvkit date: reads a date with a locale and prints it in a format, with its
// day number and weekday.
#include <cstdio>
#include <string>

#include <xvkit/qndate.h>

#include "choices.h"
#include "commands.h"
#include "options.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit date [--locale NAME] [--zone TZ] [--format FMT] [TEXT...]\n"
    "\n"
    "Reads the date TEXT (the words joined by blanks; today when absent) with\n"
    "the locale and prints it in FMT, then its day number (Julian Day Number)\n"
    "and its weekday (1 = Monday .. 7 = Sunday):\n"
    "\n"
    "  $ xvkit date March 5, 1997\n"
    "  Wednesday 05 March 1997 (day 2450513, weekday 3)\n"
    "\n"
    "  --locale NAME  a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                 environment's); without it the built-in English locale,\n"
    "                 which reads \"3/5/97\", \"March 5, 1997\", \"5-MAR-97\"\n"
    "  --zone TZ      a zone of the time-zone database (\"Asia/Tokyo\") or a POSIX\n"
    "                 TZ setting (\"JST-9\"): the zone whose calendar gives\n"
    "                 \"today\" (default: TZ, or /etc/localtime); a date has no\n"
    "                 zone of its own, so %Z prints nothing\n"
    "  --format FMT   directives of strftime's letters, \"%%\" for '%'\n"
    "                 (default \"%A %d %B %Y\")\n"
    "\n"
    "Exit status: 0 on success, 1 when TEXT is not a date, 2 on bad usage, an\n"
    "unknown locale or an unknown zone.\n";

constexpr KnownOption kOptions[] = {{"--locale", true}, {"--zone", true}, {"--format", true}};

}  // namespace

int runDate(Args args) {
    Options options("date", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    chooseZone(options.value("--zone"));
    LocaleChoice locale(options.value("--locale"));
    const char* format = options.value("--format");
    if (format == nullptr)
        format = "%A %d %B %Y";

    QNDate date;
    if (!options.operands().empty()) {
        std::string text = joinWords(options.operands());
        date = QNDate(XVString(text), locale.get());
        if (!date.isValid())
            throw CliError(kExitNoResult, "cannot read '" + text + "' as a date");
    }
    std::printf("%s (day %lu, weekday %u)\n", date.asString(format, locale.get()).c_str(),
                date.julian(), date.weekDay());
    return kExitOk;
}

}  // namespace xvtool
