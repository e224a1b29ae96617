// xvkit tour: one screen that shows every family of the library at work, on
// fixed inputs, the "C" locale and UTC, so its output never changes.
#include <cstdio>
#include <string>

#include <xvkit/qndate.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <xvkit/xvbitvec.h>
#include <xvkit/xvregexp.h>

#include "commands.h"
#include "options.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit tour\n"
    "\n"
    "Shows every family of the library at work on fixed inputs: dates, instants\n"
    "and zones, locales, bit vectors and regular expressions. It uses a snapshot\n"
    "of the \"C\" locale and UTC (and one North American zone), so it prints the\n"
    "same text on every machine. Each line names the call and shows its result.\n"
    "\n"
    "Exit status: 0.\n";

void heading(const char* title) {
    std::printf("\n%s\n", title);
}

void row(const std::string& call, const std::string& result) {
    std::printf("  %-44s %s\n", call.c_str(), result.c_str());
}

void dates(const QNLocale& c) {
    heading("Calendar dates (QNDate)");
    const QNDate leap(29, 2, 2000);
    row("QNDate(29, 2, 2000).asString(\"%A %x\")", leap.asString("%A %x", c).c_str());
    row("  .julian(), .day()  (day of the year)",
        std::to_string(leap.julian()) + ", " + std::to_string(leap.day()));
    row("  .next(7)  (the following Sunday)", leap.next(7).asString('x', c).c_str());
    QNDate later = leap;
    later += 10000;
    row("  += 10000  (days)", later.asString('x', c).c_str());
    const QNDate read(XVString("03/05/97"), c);
    row("QNDate(\"03/05/97\", C locale)", read.asString("%A %d %B %Y", c).c_str());
}

void instants(const QNLocale& c) {
    heading("Instants and zones (QNTime, QNZoneSimple)");
    const QNZone& utc = QNZone::utc();
    const QNTime noon(QNDate(1, 1, 2000), 12, 0, 0, utc);
    row("QNTime(1/1/2000, 12:00:00, UTC)", noon.asString("%c %Z", utc, c).c_str());
    row("  .seconds()  (since 1 January 1901 UTC)", std::to_string(noon.seconds()));
    const QNZoneSimple eastern(QNZone::usEastern, QNZone::northAmerican);
    row("  in US Eastern", noon.asString("%c %Z", eastern, c).c_str());
    row("QNTime::beginDST(1997, US Eastern)",
        QNTime::beginDST(1997, eastern).asString("%x %X %Z", eastern, c).c_str());
    row("QNTime::endDST(1997, US Eastern)",
        QNTime::endDST(1997, eastern).asString("%x %X %Z", eastern, c).c_str());
}

void locales(const QNLocale& c) {
    heading("Locales (QNLocaleDefault, QNLocaleSnapshot of \"C\")");
    const QNLocale& english = QNLocaleDefault::instance();
    row("English asString(1234567L)", english.asString(1234567L).c_str());
    row("English moneyAsString(-12345, local)",
        english.moneyAsString(-12345, QNLocale::symbolLocal).c_str());
    row("C asString(-1234.5, 2, false)", c.asString(-1234.5, 2, false).c_str());
    double money = 0;
    const bool read = english.stringToMoney(XVString("($123.45)"), &money, QNLocale::symbolLocal);
    row("English stringToMoney(\"($123.45)\")",
        read ? std::to_string(static_cast<long>(money)) + " cents" : "unreadable");
    tm t{};
    char clock[32] = "unreadable";
    if (english.stringToTime(XVString("1:15 pm"), &t))
        std::snprintf(clock, sizeof clock, "%02d:%02d", t.tm_hour, t.tm_min);
    row("English stringToTime(\"1:15 pm\")", clock);
}

void bitVectors() {
    heading("Bit vectors (XVBitVec)");
    XVBitVec a(16, false);
    XVBitVec b(16, false);
    for (std::size_t i = 0; i < 16; i += 3)
        a.setBit(i);
    for (std::size_t i = 0; i < 16; i += 2)
        b.setBit(i);
    auto text = [](const XVBitVec& v) {
        std::string s;
        for (std::size_t i = 0; i < v.length(); ++i)
            s += v.testBit(i) ? '1' : '0';
        return s;
    };
    row("a (every third)", text(a));
    row("b (every second)", text(b));
    row("a & b", text(a & b));
    row("a ^ b", text(a ^ b));
    row("(a & b).firstTrue() after clearing bit 0", [&] {
        XVBitVec both = a & b;
        both.clearBit(0);
        return std::to_string(both.firstTrue());
    }());
}

void regularExpressions() {
    heading("Regular expressions (XVRegExprLight)");
    const char* patterns[] = {"[0-9]+", "b.*d", "^ab", "x*"};
    const XVString subject("ab12345cd");
    for (const char* pattern : patterns) {
        const XVRegExprLight re(pattern);
        std::size_t length = 0;
        const std::size_t at = re.index(subject, &length, 0);
        row(std::string(pattern) + " in \"ab12345cd\"",
            "at " + std::to_string(at) + ", length " + std::to_string(length));
    }
}

}  // namespace

int runTour(Args args) {
    Options options("tour", args, {});
    if (printHelp(options, kHelp))
        return kExitOk;
    if (!options.operands().empty())
        usageError("tour takes no arguments (see 'xvkit tour --help')");
    const QNLocaleSnapshot c("C");
    std::printf("xvkit tour: every family of the library on fixed inputs\n");
    dates(c);
    instants(c);
    locales(c);
    bitVectors();
    regularExpressions();
    return kExitOk;
}

}  // namespace xvtool
