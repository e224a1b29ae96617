// Locale text against the C runtime and <charconv>.
//
// "snapshot.*" cases: a QNLocaleSnapshot of en_US.UTF-8 (compiled into the
// build tree by cmake/locales.cmake) against the C runtime switched to the
// same locale: the 'c' and 'x' layouts and a format expansion against
// strftime, grouped whole numbers against printf("%'ld"), real numbers and
// money against snprintf, strfmon and std::to_chars, and reading dates and
// numbers against strptime, strtol, strtod and std::from_chars. Every peer
// is checked once to give the same text or value as the snapshot.
//
// "format.*" and "parse.*" cases: the built-in English locale against the
// C runtime in the "C" locale, whose layouts match it.
#include <benchmark/benchmark.h>

#include <monetary.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

const QNLocale& english() {
    return QNLocaleDefault::instance();
}

tm sampleTm() {
    tm t{};
    t.tm_year = 97;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    t.tm_wday = 3;
    t.tm_yday = 63;
    t.tm_zone = "GMT";  // QNZone::utc()'s name, for strftime's %Z
    return t;
}

std::string viaStrftime(const tm& t, const char* format) {
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, format, &t);
    return std::string(buf, n);
}

// ---- the snapshot of en_US.UTF-8 against the runtime in that locale ------

constexpr const char* kSnapshotLocale = "en_US.UTF-8";

const QNLocaleSnapshot& snapshot() {
    static const QNLocaleSnapshot* made = [] {
        setenv("LOCPATH", XVKIT_BENCH_LOCPATH, 1);
        const auto* s = new QNLocaleSnapshot(kSnapshotLocale);
        if (s->conventions().thousandsSep != ",") {
            std::fprintf(stderr, "%s not found under %s (build xvkit_test_locales)\n",
                         kSnapshotLocale, XVKIT_BENCH_LOCPATH);
            std::abort();
        }
        return s;
    }();
    return *made;
}

// The C runtime in the snapshot's locale for the duration of a peer case.
class RuntimeIn {
  public:
    RuntimeIn() : saved_(setlocale(LC_ALL, nullptr)) {
        snapshot();
        setlocale(LC_ALL, kSnapshotLocale);
    }
    ~RuntimeIn() { setlocale(LC_ALL, saved_.c_str()); }

  private:
    std::string saved_;
};

void check(bool same, const char* what) {
    if (!same) {
        std::fprintf(stderr, "peer disagrees: %s\n", what);
        std::abort();
    }
}

constexpr const char* kExpansion = "%A %d %B %Y, %H:%M:%S";

void snapshotDirective(benchmark::State& state, char directive) {
    const tm t = sampleTm();
    const QNZone& zone = QNZone::utc();
    const char format[] = {'%', directive, '\0'};
    {
        RuntimeIn runtime;
        check(snapshot().asString(&t, directive, zone) == viaStrftime(t, format), format);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshot().asString(&t, directive, zone));
}

void strftimeIn(benchmark::State& state, const char* format) {
    const tm t = sampleTm();
    RuntimeIn runtime;
    for (auto _ : state)
        benchmark::DoNotOptimize(viaStrftime(t, format));
}

void snapshotExpand(benchmark::State& state) {
    const tm t = sampleTm();
    {
        RuntimeIn runtime;
        check(snapshot().asString(&t, kExpansion, QNZone::utc()) == viaStrftime(t, kExpansion),
              kExpansion);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshot().asString(&t, kExpansion, QNZone::utc()));
}

constexpr long kLong = -1234567890L;
constexpr double kDouble = 1234567.891;
constexpr double kMoney = 123456789.0;  // 1,234,567.89 dollars

std::string printed(const char* format, auto value) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, format, value);
    return std::string(buf, static_cast<std::size_t>(n));
}

void snapshotLong(benchmark::State& state) {
    {
        RuntimeIn runtime;
        check(snapshot().asString(kLong) == printed("%'ld", kLong), "%'ld");
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshot().asString(kLong));
}

void printfGroupedLong(benchmark::State& state) {
    RuntimeIn runtime;
    for (auto _ : state)
        benchmark::DoNotOptimize(printed("%'ld", kLong));
}

void snapshotDouble(benchmark::State& state) {
    {
        RuntimeIn runtime;
        check(snapshot().asString(kDouble, 2, false) == printed("%'.2f", kDouble), "%'.2f");
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshot().asString(kDouble, 2, false));
}

void snprintfIn(benchmark::State& state, const char* format) {
    RuntimeIn runtime;
    for (auto _ : state)
        benchmark::DoNotOptimize(printed(format, kDouble));
}

void snapshotMoney(benchmark::State& state) {
    char peer[64];
    {
        RuntimeIn runtime;
        const ssize_t n = strfmon(peer, sizeof peer, "%n", kMoney / 100);
        check(snapshot().moneyAsString(kMoney, QNLocale::symbolLocal) ==
                  std::string(peer, static_cast<std::size_t>(n)),
              "strfmon %n");
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(snapshot().moneyAsString(kMoney, QNLocale::symbolLocal));
}

void strfmonMoney(benchmark::State& state) {
    RuntimeIn runtime;
    for (auto _ : state) {
        char buf[64];
        const ssize_t n = strfmon(buf, sizeof buf, "%n", kMoney / 100);
        benchmark::DoNotOptimize(std::string(buf, static_cast<std::size_t>(n)));
    }
}

constexpr const char* kDateText = "11/30/1990";

void snapshotParseDate(benchmark::State& state) {
    const XVString text(kDateText);
    tm t{};
    check(snapshot().stringToDate(text, &t) && t.tm_year == 90 && t.tm_mon == 10 && t.tm_mday == 30,
          kDateText);
    for (auto _ : state) {
        tm read{};
        benchmark::DoNotOptimize(snapshot().stringToDate(text, &read));
        benchmark::DoNotOptimize(read);
    }
}

void strptimeIn(benchmark::State& state, const char* format) {
    RuntimeIn runtime;
    const std::string text(kDateText);
    for (auto _ : state) {
        tm t{};
        benchmark::DoNotOptimize(strptime(text.c_str(), format, &t));
        benchmark::DoNotOptimize(t);
    }
}

const char* const kNumber = " -1234567890";
const char* const kReal = "-1234567.891";

void snapshotParseLong(benchmark::State& state) {
    const XVString text(kNumber);
    long n = 0;
    check(snapshot().stringToNum(text, &n) && n == kLong, kNumber);
    for (auto _ : state) {
        long read = 0;
        benchmark::DoNotOptimize(snapshot().stringToNum(text, &read));
        benchmark::DoNotOptimize(read);
    }
}

void snapshotParseDouble(benchmark::State& state) {
    const XVString text(kReal);
    double x = 0;
    check(snapshot().stringToNum(text, &x) && x == std::strtod(kReal, nullptr), kReal);
    for (auto _ : state) {
        double read = 0;
        benchmark::DoNotOptimize(snapshot().stringToNum(text, &read));
        benchmark::DoNotOptimize(read);
    }
}

void strtodParseDouble(benchmark::State& state) {
    const std::string text(kReal);
    for (auto _ : state) {
        char* end = nullptr;
        benchmark::DoNotOptimize(std::strtod(text.c_str(), &end));
        benchmark::DoNotOptimize(end);
    }
}

void fromCharsParseDouble(benchmark::State& state) {
    const std::string text(kReal);
    for (auto _ : state) {
        double x = 0;
        benchmark::DoNotOptimize(std::from_chars(text.data(), text.data() + text.size(), x));
        benchmark::DoNotOptimize(x);
    }
}

// ---- the built-in English locale against the runtime in "C" --------------

void oursDirective(benchmark::State& state, char directive) {
    const tm t = sampleTm();
    for (auto _ : state)
        benchmark::DoNotOptimize(english().asString(&t, directive, QNZone::utc()));
}

// The English 'c' is 'x', a space and 'X': "03/05/97 14:07:09".
void strftimeDirective(benchmark::State& state, const char* format) {
    const tm t = sampleTm();
    for (auto _ : state)
        benchmark::DoNotOptimize(viaStrftime(t, format));
}

void oursExpand(benchmark::State& state) {
    const tm t = sampleTm();
    check(english().asString(&t, kExpansion, QNZone::utc()) == viaStrftime(t, kExpansion),
          kExpansion);
    for (auto _ : state)
        benchmark::DoNotOptimize(english().asString(&t, kExpansion, QNZone::utc()));
}

// A locale derived from the English one overrides nothing, but the
// expansion cannot know that: every directive goes through the virtual table.
void derivedExpand(benchmark::State& state) {
    class Derived : public QNLocaleDefault {
      public:
        Derived() : QNLocaleDefault(QNLocaleDefault::instance()) {}
    };
    const Derived derived;
    const tm t = sampleTm();
    check(derived.asString(&t, kExpansion, QNZone::utc()) == viaStrftime(t, kExpansion),
          "derived expansion");
    for (auto _ : state)
        benchmark::DoNotOptimize(derived.asString(&t, kExpansion, QNZone::utc()));
}

void strftimeExpand(benchmark::State& state) {
    const tm t = sampleTm();
    for (auto _ : state)
        benchmark::DoNotOptimize(viaStrftime(t, kExpansion));
}

void oursLong(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(english().asString(kLong));
}

void snprintfLong(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(printed("%ld", kLong));
}

void toCharsLong(benchmark::State& state) {
    for (auto _ : state) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, kLong);
        benchmark::DoNotOptimize(std::string(buf, r.ptr));
    }
}

void oursDouble(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(english().asString(kDouble, 2, false));
}

void snprintfDouble(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(printed("%.2f", kDouble));
}

void toCharsDouble(benchmark::State& state) {
    for (auto _ : state) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, kDouble, std::chars_format::fixed, 2);
        benchmark::DoNotOptimize(std::string(buf, r.ptr));
    }
}

void oursParseDate(benchmark::State& state) {
    const XVString text("3/5/97");
    for (auto _ : state) {
        tm t{};
        benchmark::DoNotOptimize(english().stringToDate(text, &t));
        benchmark::DoNotOptimize(t);
    }
}

void strptimeParseDate(benchmark::State& state) {
    const std::string text("3/5/97");
    for (auto _ : state) {
        tm t{};
        benchmark::DoNotOptimize(strptime(text.c_str(), "%m/%d/%y", &t));
        benchmark::DoNotOptimize(t);
    }
}

void oursParseLong(benchmark::State& state) {
    const XVString text(kNumber);
    for (auto _ : state) {
        long n = 0;
        benchmark::DoNotOptimize(english().stringToNum(text, &n));
        benchmark::DoNotOptimize(n);
    }
}

void strtolParseLong(benchmark::State& state) {
    const std::string text(kNumber);
    for (auto _ : state) {
        char* end = nullptr;
        benchmark::DoNotOptimize(std::strtol(text.c_str(), &end, 10));
        benchmark::DoNotOptimize(end);
    }
}

void fromCharsParseLong(benchmark::State& state) {
    const std::string text(kNumber);
    for (auto _ : state) {
        long n = 0;
        // from_chars takes no leading blank: skip it as strtol does.
        const char* p = text.data();
        while (*p == ' ')
            ++p;
        benchmark::DoNotOptimize(std::from_chars(p, text.data() + text.size(), n));
        benchmark::DoNotOptimize(n);
    }
}

template <class F>
void add(const char* name, F run) {
    benchmark::RegisterBenchmark(name, run);
}

const int registered = [] {
    add("snapshot.directive_c/ours", [](benchmark::State& s) { snapshotDirective(s, 'c'); });
    add("snapshot.directive_c/strftime", [](benchmark::State& s) { strftimeIn(s, "%c"); });
    add("snapshot.directive_x/ours", [](benchmark::State& s) { snapshotDirective(s, 'x'); });
    add("snapshot.directive_x/strftime", [](benchmark::State& s) { strftimeIn(s, "%x"); });
    add("snapshot.expand/ours", snapshotExpand);
    add("snapshot.expand/strftime", [](benchmark::State& s) { strftimeIn(s, kExpansion); });
    add("snapshot.long_grouped/ours", snapshotLong);
    add("snapshot.long_grouped/printf", printfGroupedLong);
    add("snapshot.double_2/ours", snapshotDouble);
    add("snapshot.double_2/snprintf_grouped", [](benchmark::State& s) { snprintfIn(s, "%'.2f"); });
    add("snapshot.double_2/snprintf", [](benchmark::State& s) { snprintfIn(s, "%.2f"); });
    add("snapshot.double_2/to_chars", toCharsDouble);
    add("snapshot.money/ours", snapshotMoney);
    add("snapshot.money/strfmon", strfmonMoney);
    add("snapshot.parse_date/ours", snapshotParseDate);
    add("snapshot.parse_date/strptime", [](benchmark::State& s) { strptimeIn(s, "%m/%d/%Y"); });
    add("snapshot.parse_long/ours", snapshotParseLong);
    add("snapshot.parse_long/strtol", strtolParseLong);
    add("snapshot.parse_long/from_chars", fromCharsParseLong);
    add("snapshot.parse_double/ours", snapshotParseDouble);
    add("snapshot.parse_double/strtod", strtodParseDouble);
    add("snapshot.parse_double/from_chars", fromCharsParseDouble);

    add("format.directive_c/ours", [](benchmark::State& s) { oursDirective(s, 'c'); });
    add("format.directive_c/strftime",
        [](benchmark::State& s) { strftimeDirective(s, "%m/%d/%y %H:%M:%S"); });
    add("format.directive_x/ours", [](benchmark::State& s) { oursDirective(s, 'x'); });
    add("format.directive_x/strftime",
        [](benchmark::State& s) { strftimeDirective(s, "%m/%d/%y"); });
    add("format.expand/ours", oursExpand);
    add("format.expand/strftime", strftimeExpand);
    add("format.expand_derived/ours", derivedExpand);
    add("format.expand_derived/strftime", strftimeExpand);
    add("format.long/ours", oursLong);
    add("format.long/snprintf", snprintfLong);
    add("format.long/to_chars", toCharsLong);
    add("format.double_2/ours", oursDouble);
    add("format.double_2/snprintf", snprintfDouble);
    add("format.double_2/to_chars", toCharsDouble);
    add("parse.date/ours", oursParseDate);
    add("parse.date/strptime", strptimeParseDate);
    add("parse.long/ours", oursParseLong);
    add("parse.long/strtol", strtolParseLong);
    add("parse.long/from_chars", fromCharsParseLong);
    return 0;
}();

}  // namespace
