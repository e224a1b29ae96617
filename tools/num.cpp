// xvkit num: formats numbers with a locale's conventions, or reads them back.
#include <cstdio>
#include <string>

#include "choices.h"
#include "commands.h"
#include "numbers.h"
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
    "number it holds in C notation, exactly.\n"
    "\n"
    "  --locale NAME    a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                   environment's); without it the built-in English locale\n"
    "  --precision N    digits after the decimal point, 0 to 100\n"
    "  --parse          read TEXTs instead of formatting VALUEs\n"
    "\n"
    "Short forms: -l NAME (--locale), -p (--parse), -h (--help).\n"
    "\n"
    "Whole numbers run over the 64-bit range, -9223372036854775808 to\n"
    "9223372036854775807, beyond the 32 bits that the locales' own readers\n"
    "hold; a TEXT beyond the 32 bits is read when it is plain digits or grouped\n"
    "exactly as the locale groups it.\n"
    "\n"
    "Exit status: 0 on success, 1 when some VALUE or TEXT cannot be read or lies\n"
    "beyond the 64-bit range (the others are still printed), 2 on bad usage or\n"
    "an unknown locale.\n";

constexpr KnownOption kOptions[] = {
    {"--locale", true, 'l'}, {"--precision", true}, {"--parse", false, 'p'}};

// Prints the number that `text` holds: `whole` shown by `showWhole` when the
// whole-number `reading` read it, else the real number that `realReader`
// reads, shown by `showReal`. Reports a text that holds neither and returns
// whether it could be read.
template <class ShowWhole, class ShowReal>
bool printNumber(const char* text, WholeReading reading, const Whole& whole,
                 const QNLocale& realReader, ShowWhole showWhole, ShowReal showReal) {
    switch (reading) {
        case WholeReading::read:
            std::printf("%s\n", showWhole(whole).c_str());
            return true;
        case WholeReading::tooLarge:
            reportError(quoteArg(text) + " lies beyond the whole numbers of 64 bits (" +
                        kWholeRange + ")");
            return false;
        case WholeReading::notWhole:
            break;
    }
    double real;
    if (!realReader.stringToNum(XVString(text), &real)) {
        reportError("cannot read " + quoteArg(text) + " as a number");
        return false;
    }
    std::printf("%s\n", showReal(real).c_str());
    return true;
}

// Reads `text` as `loc` writes numbers and prints the value in C notation.
bool readBack(const QNLocale& loc, const char* text) {
    Whole whole;
    const WholeReading reading = readLocaleWhole(loc, text, &whole);
    return printNumber(
        text, reading, whole, loc,
        [](const Whole& w) {
            std::string text = w.negative ? "-" : "";
            return text += std::to_string(w.magnitude);
        },
        exactText);
}

// Reads `text` as a C number and prints it as `loc` writes it, with
// `precision` digits after the decimal point (-1: whole numbers without
// them, other numbers with 2).
bool format(const QNLocale& loc, const char* text, int precision) {
    Whole whole;
    const WholeReading reading = readCWhole(text, &whole);
    return printNumber(
        text, reading, whole, QNLocaleDefault::instance(),
        [&](const Whole& w) { return formatWhole(loc, w, precision); },
        [&](double real) {
            return std::string(loc.asString(real, precision < 0 ? 2 : precision, false).c_str());
        });
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
    const long precision = precisionText ? readWholeNumber(precisionText, "precision") : -1;
    if (precisionText && (precision < 0 || precision > 100))
        usageError("bad precision " + quoteArg(precisionText) + " (0 to 100)");

    bool allRead = true;
    for (const char* text : options.operands()) {
        allRead &= options.has("--parse") ? readBack(loc, text)
                                          : format(loc, text, static_cast<int>(precision));
    }
    return allRead ? kExitOk : kExitNoResult;
}

}  // namespace xvtool
