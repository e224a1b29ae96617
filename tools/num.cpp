// xvkit num: formats numbers with a locale's conventions, or reads them back.
#include <cstdio>
#include <string>
#include <type_traits>

#include "choices.h"
#include "commands.h"
#include "options.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit num [--locale NAME] [--precision N] VALUE...\n"
    "       xvkit num [--locale NAME] --parse TEXT...\n"
    "\n"
    "Prints each VALUE (a C number such as 1234567 or -1234.5) as the locale\n"
    "writes it, one per line. Whole numbers print as whole numbers; other\n"
    "numbers, and every number when --precision is given, in fixed notation\n"
    "with N digits after the decimal point (default 2).\n"
    "\n"
    "With --parse, reads each TEXT as the locale writes numbers and prints the\n"
    "number it holds in C notation.\n"
    "\n"
    "  --locale NAME    a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                   environment's); without it the built-in English locale\n"
    "  --precision N    digits after the decimal point, 0 to 100\n"
    "  --parse          read TEXTs instead of formatting VALUEs\n"
    "\n"
    "Exit status: 0 on success, 1 when some VALUE or TEXT cannot be read (the\n"
    "others are still printed), 2 on bad usage or an unknown locale.\n";

constexpr KnownOption kOptions[] = {{"--locale", true}, {"--precision", true}, {"--parse", false}};

// Prints `text` read by `reader` (a whole number first, else a real one), or
// reports it on stderr; returns whether it could be read.
template <class Print>
bool withNumber(const QNLocale& reader, const char* text, Print print) {
    long whole;
    double real;
    if (reader.stringToNum(XVString(text), &whole)) {
        print(whole);
    } else if (reader.stringToNum(XVString(text), &real)) {
        print(real);
    } else {
        std::fflush(stdout);
        std::fprintf(stderr, "xvkit: cannot read '%s' as a number\n", text);
        return false;
    }
    return true;
}

}  // namespace

int runNum(Args args) {
    Options options("num", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    if (options.operands().empty())
        usageError("num needs a VALUE (see 'xvkit num --help')");
    LocaleChoice locale(options.value("--locale"));
    const QNLocale& loc = locale.get();
    const char* precisionText = options.value("--precision");
    long precision = precisionText ? readWholeNumber(precisionText, "precision") : 2;
    if (precision < 0 || precision > 100) {
        usageError("bad precision '" + std::string(precisionText) + "' (0 to 100)");
    }

    bool allRead = true;
    for (const char* text : options.operands()) {
        if (options.has("--parse")) {
            allRead &= withNumber(loc, text, [](auto n) {
                if constexpr (std::is_same_v<decltype(n), long>) {
                    std::printf("%ld\n", n);
                } else {
                    std::printf("%.15g\n", n);
                }
            });
            continue;
        }
        allRead &= withNumber(QNLocaleDefault::instance(), text, [&](auto n) {
            if constexpr (std::is_same_v<decltype(n), long>) {
                if (!precisionText) {
                    std::printf("%s\n", loc.asString(n).c_str());
                    return;
                }
            }
            std::printf(
                "%s\n",
                loc.asString(static_cast<double>(n), static_cast<int>(precision), false).c_str());
        });
    }
    return allRead ? kExitOk : kExitNoResult;
}

}  // namespace xvtool
