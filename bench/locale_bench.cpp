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
#include <unistd.h>
#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

#include "derived_locales.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using xvkit::testing::Bracketing;
using xvkit::testing::Inheriting;

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
    // `name` null: the program's locale stays.
    explicit RuntimeIn(const char* name = kSnapshotLocale) : saved_(setlocale(LC_ALL, nullptr)) {
        snapshot();
        if (name != nullptr)
            setlocale(LC_ALL, name);
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

// Checks that `overriding` brackets every directive of the expansion that
// `plain` gives, and returns `plain`.
const QNLocale& checkedDerived(const QNLocale& plain, const QNLocale& overriding,
                               const std::string& expected) {
    const tm t = sampleTm();
    check(plain.asString(&t, kExpansion, QNZone::utc()) == expected, "derived expansion");
    std::string bracketed;
    for (const char* p = kExpansion; *p != '\0'; ++p) {
        if (*p == '%') {
            bracketed.append("[").append(plain.asString(&t, *++p, QNZone::utc())).append("]");
        } else {
            bracketed += *p;
        }
    }
    check(overriding.asString(&t, kExpansion, QNZone::utc()) == bracketed,
          "override in every directive");
    return plain;
}

const QNLocale& derivedEnglish() {
    static const Inheriting<QNLocaleDefault> plain(QNLocaleDefault::instance());
    static const Bracketing<QNLocaleDefault> overriding(QNLocaleDefault::instance());
    static const QNLocale& checked =
        checkedDerived(plain, overriding, viaStrftime(sampleTm(), kExpansion));
    return checked;
}

const QNLocale& derivedSnapshot() {
    static const QNLocale& checked = [] {
        snapshot();
        static const Inheriting<QNLocaleSnapshot> plain(kSnapshotLocale);
        static const Bracketing<QNLocaleSnapshot> overriding(kSnapshotLocale);
        RuntimeIn runtime;
        return std::cref(checkedDerived(plain, overriding, viaStrftime(sampleTm(), kExpansion)));
    }();
    return checked;
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

// ---- the speed targets: times and instruction counts ---------------------
//
// Each case of a speed target is one iteration written once, so that the
// same work is timed (as a benchmark case) and counted: with --instructions
// the program also runs itself under valgrind's callgrind once per case and
// shows the instructions of one iteration beside the median times.

const XVString& numberText() {
    static const XVString text(kNumber);
    return text;
}

void englishParseLong() {
    long n = 0;
    benchmark::DoNotOptimize(english().stringToNum(numberText(), &n));
    benchmark::DoNotOptimize(n);
}

void snapshotParseLong() {
    long n = 0;
    benchmark::DoNotOptimize(snapshot().stringToNum(numberText(), &n));
    benchmark::DoNotOptimize(n);
}

void strtolParseLong() {
    char* end = nullptr;
    benchmark::DoNotOptimize(std::strtol(kNumber, &end, 10));
    benchmark::DoNotOptimize(end);
}

void expandWith(const QNLocale& locale) {
    static const tm t = sampleTm();
    benchmark::DoNotOptimize(locale.asString(&t, kExpansion, QNZone::utc()));
}

void englishExpand() {
    expandWith(english());
}

void snapshotExpand() {
    expandWith(snapshot());
}

void derivedEnglishExpand() {
    expandWith(derivedEnglish());
}

void derivedSnapshotExpand() {
    expandWith(derivedSnapshot());
}

void strftimeExpand() {
    static const tm t = sampleTm();
    benchmark::DoNotOptimize(viaStrftime(t, kExpansion));
}

// A counted case: its name, one iteration, and the C runtime locale it runs
// in (null: the program's, "C").
struct Counted {
    const char* name;
    void (*once)();
    const char* runtimeLocale;
};

const Counted kCounted[] = {
    {"parse.long/ours", englishParseLong, nullptr},
    {"parse.long/strtol", strtolParseLong, nullptr},
    {"snapshot.parse_long/ours", snapshotParseLong, nullptr},
    {"snapshot.parse_long/strtol", strtolParseLong, kSnapshotLocale},
    {"format.expand/ours", englishExpand, nullptr},
    {"format.expand/strftime", strftimeExpand, nullptr},
    {"format.expand_derived/ours", derivedEnglishExpand, nullptr},
    {"snapshot.expand/ours", snapshotExpand, nullptr},
    {"snapshot.expand/strftime", strftimeExpand, kSnapshotLocale},
    {"snapshot.expand_derived/ours", derivedSnapshotExpand, nullptr},
};

// A target: our case at most `limit` times its peer.
struct Target {
    const char* ours;
    const char* peer;
    double limit;
};

const Target kTargets[] = {
    {"parse.long/ours", "parse.long/strtol", 1.0},
    {"snapshot.parse_long/ours", "snapshot.parse_long/strtol", 1.0},
    {"format.expand/ours", "format.expand/strftime", 0.8},
    {"snapshot.expand/ours", "snapshot.expand/strftime", 0.8},
    {"format.expand_derived/ours", "format.expand/strftime", 1.2},
    {"snapshot.expand_derived/ours", "snapshot.expand/strftime", 1.2},
};

const Counted& counted(const std::string& name) {
    for (const Counted& c : kCounted) {
        if (name == c.name)
            return c;
    }
    std::fprintf(stderr, "no counted case %s\n", name.c_str());
    std::abort();
}

// Every target case gives the same result as its peer.
void checkTargets() {
    long n = 0;
    check(english().stringToNum(numberText(), &n) && n == std::strtol(kNumber, nullptr, 10),
          kNumber);
    check(snapshot().stringToNum(numberText(), &n) && n == std::strtol(kNumber, nullptr, 10),
          kNumber);
    const tm t = sampleTm();
    check(english().asString(&t, kExpansion, QNZone::utc()) == viaStrftime(t, kExpansion),
          kExpansion);
    derivedEnglish();
    derivedSnapshot();
    RuntimeIn runtime(kSnapshotLocale);
    check(snapshot().asString(&t, kExpansion, QNZone::utc()) == viaStrftime(t, kExpansion),
          kExpansion);
}

constexpr int kCountedRounds = 1000;

[[gnu::noinline]] void countedRounds(void (*once)()) {
    for (int i = 0; i < kCountedRounds; ++i)
        once();
}

// The --count=NAME mode that callgrind runs: NAME's iteration, warmed up
// (first uses build the snapshots), then kCountedRounds times in
// countedRounds, the one function whose instructions are collected.
int countCase(const std::string& name) {
    const Counted& c = counted(name);
    RuntimeIn runtime(c.runtimeLocale);
    for (int i = 0; i < 10; ++i)
        c.once();
    countedRounds(c.once);
    return 0;
}

// The instructions of one iteration of `name` under callgrind; -1 when
// valgrind cannot be run.
double instructions(const std::string& name) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return -1;
    self[n] = '\0';
    const std::string out = "/tmp/bench_locale." + std::to_string(getpid()) + ".callgrind";
    const std::string command = "valgrind --tool=callgrind --callgrind-out-file=" + out +
                                " '--toggle-collect=*countedRounds*' '" + self +
                                "' --count=" + name + " >/dev/null 2>&1";
    double total = -1;
    if (std::system(command.c_str()) == 0) {
        if (FILE* f = std::fopen(out.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, f)) {
                if (std::strncmp(line, "totals:", 7) == 0)
                    total = std::strtod(line + 7, nullptr) / kCountedRounds;
            }
            std::fclose(f);
        }
    }
    std::remove(out.c_str());
    return total;
}

// The console output, keeping the CPU times of every repetition.
class TimesReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.run_name.str()].push_back(run.GetAdjustedCPUTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The median CPU time of `name` in ns, or -1 when it did not run.
    double median(const std::string& name) const {
        const auto found = times_.find(name);
        if (found == times_.end())
            return -1;
        std::vector<double> t = found->second;
        std::sort(t.begin(), t.end());
        const std::size_t m = t.size() / 2;
        return t.size() % 2 ? t[m] : (t[m - 1] + t[m]) / 2;
    }

  private:
    std::map<std::string, std::vector<double>> times_;
};

// The targets with the median times and, when asked, the instructions.
void reportTargets(const TimesReporter& times, bool counting) {
    std::map<std::string, double> counts;
    const auto count = [&](const std::string& name) {
        if (!counting)
            return -1.0;
        if (!counts.count(name))
            counts[name] = instructions(name);
        return counts[name];
    };
    std::printf("\n%-30s %9s %9s %6s %8s %8s %6s %6s\n", "target (ours / peer)", "ours ns",
                "peer ns", "ratio", "ours ins", "peer ins", "ratio", "limit");
    for (const Target& target : kTargets) {
        const double ours = times.median(target.ours), peer = times.median(target.peer);
        if (ours < 0 || peer < 0)
            continue;
        const double oursCount = count(target.ours), peerCount = count(target.peer);
        std::printf("%-30s %9.1f %9.1f %6.2f", target.ours, ours, peer, ours / peer);
        if (oursCount > 0 && peerCount > 0)
            std::printf(" %8.0f %8.0f %6.2f", oursCount, peerCount, oursCount / peerCount);
        else
            std::printf(" %8s %8s %6s", "-", "-", "-");
        std::printf(" %6.2f %s\n", target.limit,
                    ours / peer <= target.limit ? "met" : "missed (time)");
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
    add("format.long/ours", oursLong);
    add("format.long/snprintf", snprintfLong);
    add("format.long/to_chars", toCharsLong);
    add("format.double_2/ours", oursDouble);
    add("format.double_2/snprintf", snprintfDouble);
    add("format.double_2/to_chars", toCharsDouble);
    add("parse.date/ours", oursParseDate);
    add("parse.date/strptime", strptimeParseDate);
    add("parse.long/from_chars", fromCharsParseLong);
    for (const Counted& c : kCounted) {
        add(c.name, [c](benchmark::State& state) {
            RuntimeIn runtime(c.runtimeLocale);
            for (auto _ : state)
                c.once();
        });
    }
    return 0;
}();

}  // namespace

// bench_locale [--instructions] [benchmark flags]: the cases, then the speed
// targets with their median times and, with --instructions, callgrind's
// instructions per iteration. bench_locale --count=NAME is the mode that
// callgrind runs.
int main(int argc, char** argv) {
    if (argc == 2 && std::strncmp(argv[1], "--count=", 8) == 0)
        return countCase(argv[1] + 8);
    bool counting = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--instructions") == 0)
            counting = true;
        else
            args.push_back(argv[i]);
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;
    checkTargets();
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reportTargets(reporter, counting);
    benchmark::Shutdown();
    return 0;
}
