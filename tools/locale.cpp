// xvkit locale: prints what a snapshot captured from a C runtime locale.
#include <cstdio>
#include <string>

#include <xvkit/qnlocale.h>

#include "choices.h"
#include "commands.h"
#include "options.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit locale NAME\n"
    "\n"
    "Takes a snapshot of the C runtime locale NAME (\"C\", \"de_DE.UTF-8\", \"\" for\n"
    "the environment's) and prints everything it captured: separators and\n"
    "grouping, the currency layout and its two pattern rows, weekday and month\n"
    "names, the morning and afternoon markers, each date and time layout as its\n"
    "literal text with the components inserted into it, and the date order.\n"
    "Texts are quoted; grouping shows its group sizes.\n"
    "\n"
    "Exit status: 0 on success, 2 on bad usage or an unknown locale.\n";

// Component letters in the numbering of the snapshot's lists; 18 and 19 are
// the blank-filled day and month.
constexpr const char* kComponentNames[] = {"Y",
                                           "y",
                                           "j",
                                           "S",
                                           "M",
                                           "I",
                                           "H",
                                           "m",
                                           "B",
                                           "b",
                                           "A",
                                           "a",
                                           "p",
                                           "d",
                                           "Z",
                                           "U",
                                           "W",
                                           "w",
                                           "blank-filled d",
                                           "blank-filled m"};

constexpr const char* kDateOrders[] = {"day-month-year", "month-day-year", "year-day-month",
                                       "year-month-day"};

std::string quoted(const XVString& text) {
    std::string q(1, '"');
    q += text.c_str();
    q += '"';
    return q;
}

std::string groupSizes(const XVString& grouping) {
    if (grouping.length() == 0)
        return "none";
    std::string sizes;
    for (std::size_t i = 0; i < grouping.length(); ++i) {
        if (!sizes.empty())
            sizes += ';';
        sizes += std::to_string(static_cast<unsigned char>(grouping[i]));
    }
    return sizes;
}

void field(const char* name, const std::string& value) {
    std::printf("  %-22s %s\n", name, value.c_str());
}

void names(const char* label, const XVString* list, int count) {
    std::string joined;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            joined += ' ';
        joined += quoted(list[i]);
    }
    field(label, joined);
}

void layout(const char* label, const XVString& text, const QNTimeFmtList* list) {
    std::string components;
    for (const QNTimeFmtList* node = list; node != nullptr; node = node->next) {
        const bool known = node->component >= 0 && node->component < 20;
        if (!components.empty())
            components += ", ";
        components += known ? kComponentNames[node->component] : "?";
        components += " at " + std::to_string(node->position);
    }
    field(label, quoted(text) + (components.empty() ? "" : " + " + components));
}

void dump(const QNLocaleSnapshot::Conventions& c) {
    field("locale", quoted(c.localeName));
    std::printf("numbers\n");
    field("decimal point", quoted(c.decimalPoint));
    field("thousands separator", quoted(c.thousandsSep));
    field("grouping", groupSizes(c.grouping));
    std::printf("money\n");
    field("local symbol", quoted(c.currencySymbol));
    field("international symbol", quoted(c.intCurrSymbol));
    field("decimal point", quoted(c.monDecimalPoint));
    field("thousands separator", quoted(c.monThousandsSep));
    field("grouping", groupSizes(c.monGrouping));
    field("signs", quoted(c.positiveSign) + " " + quoted(c.negativeSign));
    field("digits (local, intl)",
          std::to_string(c.fracDigits) + ", " + std::to_string(c.intFracDigits));
    field("positive layout", "cs_precedes " + std::to_string(c.pCsPrecedes) + ", sep_by_space " +
                                 std::to_string(c.pSepBySpace) + ", sign_posn " +
                                 std::to_string(c.pSignPosn) + " -> \"" +
                                 std::string(c.moneyPosPattern, 4) + "\"");
    field("negative layout", "cs_precedes " + std::to_string(c.nCsPrecedes) + ", sep_by_space " +
                                 std::to_string(c.nSepBySpace) + ", sign_posn " +
                                 std::to_string(c.nSignPosn) + " -> \"" +
                                 std::string(c.moneyNegPattern, 4) + "\"");
    std::printf("names\n");
    names("weekdays", c.weekDays, 7);
    names("weekday abbreviations", c.weekAbbs, 7);
    names("months", c.monthNames, 12);
    names("month abbreviations", c.monthAbbs, 12);
    field("markers", quoted(c.am) + " " + quoted(c.pm));
    field("names with digits", std::to_string(c.monthNamesWithDigits) +
                                   (c.monthNamesWithDigits > 0 ? " (month names not read)" : ""));
    std::printf("layouts\n");
    layout("x (date)", c.textForx, c.listForx);
    layout("X (time)", c.textForX, c.listForX);
    layout("c (date and time)", c.textForc, c.listForc);
    layout("C", c.textForC, c.listForC);
    field("date order", c.dateOrder >= 0 && c.dateOrder < 4 ? kDateOrders[c.dateOrder] : "?");
}

}  // namespace

int runLocale(Args args) {
    Options options("locale", args, {});
    if (printHelp(options, kHelp))
        return kExitOk;
    if (options.operands().size() != 1)
        usageError("locale needs one NAME (see 'xvkit locale --help')");
    const char* name = options.operands()[0];
    requireKnownLocale(name);
    const QNLocaleSnapshot snapshot(name);
    dump(snapshot.conventions());
    return kExitOk;
}

}  // namespace xvtool
