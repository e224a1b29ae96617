// xvkit money: formats money amounts with a locale's conventions, or reads
// them back.
#include <cstdio>
#include <cstring>
#include <string>

#include "choices.h"
#include "commands.h"
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
    "amount it holds, in smallest units.\n"
    "\n"
    "  --locale NAME  a C runtime locale (\"C\", \"de_DE.UTF-8\", \"\" for the\n"
    "                 environment's); without it the built-in English locale\n"
    "  --symbol KIND  none, local (default: \"$\") or intl (\"USD\")\n"
    "  --parse        read TEXTs instead of formatting AMOUNTs\n"
    "\n"
    "Exit status: 0 on success, 1 when some AMOUNT or TEXT cannot be read (the\n"
    "others are still printed), 2 on bad usage or an unknown locale.\n";

constexpr KnownOption kOptions[] = {{"--locale", true}, {"--symbol", true}, {"--parse", false}};

QNLocale::CurrSymbol readSymbol(const char* text) {
    if (text == nullptr || std::strcmp(text, "local") == 0)
        return QNLocale::symbolLocal;
    if (std::strcmp(text, "none") == 0)
        return QNLocale::symbolNone;
    if (std::strcmp(text, "intl") == 0)
        return QNLocale::symbolInternational;
    usageError("bad symbol '" + std::string(text) + "' (none, local or intl)");
}

void reportUnreadable(const char* text) {
    std::fflush(stdout);
    std::fprintf(stderr, "xvkit: cannot read '%s' as a money amount\n", text);
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
        bool read = options.has("--parse")
                        ? loc.stringToMoney(XVString(text), &amount, symbol)
                        : QNLocaleDefault::instance().stringToNum(XVString(text), &amount);
        if (!read) {
            reportUnreadable(text);
            allRead = false;
        } else if (options.has("--parse")) {
            std::printf("%.15g\n", amount);
        } else {
            std::printf("%s\n", loc.moneyAsString(amount, symbol).c_str());
        }
    }
    return allRead ? kExitOk : kExitNoResult;
}

}  // namespace xvtool
