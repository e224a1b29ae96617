// xvkit money: formats money amounts with a locale's conventions, or reads
// them back.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "choices.h"
#include "commands.h"
#include "numbers.h"
#include "options.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit money [--locale NAME] [--symbol KIND] AMOUNT...\n"
    "       xvkit money [--locale NAME] [--symbol KIND] --parse TEXT...\n"
    "\n"
    "Prints each AMOUNT, a C number counting the currency's smallest units\n"
    "(12345 is $123.45 in the built-in locale), as the locale writes money,\n"
    "one per line.\n"
    "\n"
    "With --parse, reads each TEXT as the locale writes money and prints the\n"
    "amount it holds, in smallest units, exactly. A TEXT that starts with '-'\n"
    "goes after '--': xvkit money --parse -- -$5\n"
    "\n"
    "  --locale NAME  a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                 environment's); without it the built-in English locale\n"
    "  --symbol KIND  none, local (default: \"$\") or intl (\"USD\")\n"
    "  --parse        read TEXTs instead of formatting AMOUNTs\n"
    "\n"
    "Short forms: -l NAME (--locale), -s KIND (--symbol), -p (--parse),\n"
    "-h (--help).\n"
    "\n"
    "Amounts are exact from -9007199254740991 to 9007199254740991 smallest\n"
    "units (the whole numbers of a double); amounts beyond them, or not finite\n"
    "(1e309), are refused.\n"
    "\n"
    "Exit status: 0 on success, 1 when some AMOUNT or TEXT cannot be read or\n"
    "lies beyond the exact amounts (the others are still printed), 2 on bad\n"
    "usage or an unknown locale.\n";

constexpr KnownOption kOptions[] = {
    {"--locale", true, 'l'}, {"--symbol", true, 's'}, {"--parse", false, 'p'}};

QNLocale::CurrSymbol readSymbol(const char* text) {
    if (text == nullptr || std::strcmp(text, "local") == 0)
        return QNLocale::symbolLocal;
    if (std::strcmp(text, "none") == 0)
        return QNLocale::symbolNone;
    if (std::strcmp(text, "intl") == 0)
        return QNLocale::symbolInternational;
    usageError("bad symbol " + quoteArg(text) + " (none, local or intl)");
}

void reportUnreadable(const char* text) {
    reportError("cannot read " + quoteArg(text) + " as a money amount");
}

void reportInexact(const char* text) {
    reportError(quoteArg(text) + " lies beyond the exact money amounts (" + kExactDoubleRange +
                " smallest units)");
}

// Whether `amount` is one the tool holds exactly: finite and at most
// 2^53 - 1 smallest units either way.
bool isExactAmount(double amount) {
    return std::isfinite(amount) && std::fabs(amount) <= kExactDoubleLimit;
}

// Reads `text` as a C number of smallest units; reports it and returns false
// when it is none, not finite ("1e309"), or beyond the exact amounts.
bool readAmount(const char* text, double* amount) {
    Whole whole;
    switch (readCWhole(text, &whole)) {
        case WholeReading::read:
            if (whole.magnitude <= kExactWholeMax) {
                *amount = whole.toDouble();
                return true;
            }
            [[fallthrough]];
        case WholeReading::tooLarge:
            reportInexact(text);
            return false;
        case WholeReading::notWhole:
            break;
    }
    double read;
    if (!QNLocaleDefault::instance().stringToNum(XVString(text), &read) || std::isnan(read)) {
        reportUnreadable(text);
        return false;
    }
    if (!isExactAmount(read)) {
        reportInexact(text);
        return false;
    }
    *amount = read;
    return true;
}

}  // namespace

int runMoney(Args args) {
    Options options("money", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    if (options.operands().empty()) {
        usageError("money needs an AMOUNT (see 'xvkit money --help')");
    }
    const QNLocale::CurrSymbol symbol = readSymbol(options.value("--symbol"));
    LocaleChoice locale(options.value("--locale"));
    const QNLocale& loc = locale.get();

    bool allRead = true;
    for (const char* text : options.operands()) {
        double amount;
        if (!options.has("--parse")) {
            const bool read = readAmount(text, &amount);
            if (read)
                std::printf("%s\n", loc.moneyAsString(amount, symbol).c_str());
            allRead &= read;
        } else if (!loc.stringToMoney(XVString(text), &amount, symbol)) {
            reportUnreadable(text);
            allRead = false;
        } else if (!isExactAmount(amount)) {
            reportInexact(text);
            allRead = false;
        } else {
            std::printf("%s\n", exactText(amount).c_str());
        }
    }
    return allRead ? kExitOk : kExitNoResult;
}

}  // namespace xvtool
