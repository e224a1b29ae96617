// Locale text against the C runtime and <charconv>: the 'c' and 'x'
// directives and a format expansion against strftime, numbers against
// snprintf / std::to_chars, and reading dates and numbers against strptime,
// strtol and std::from_chars. The locale under test is the built-in English
// one; the C runtime runs in the "C" locale, whose layouts match it.
#include <benchmark/benchmark.h>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

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
    return t;
}

std::string viaStrftime(const tm& t, const char* format) {
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, format, &t);
    return std::string(buf, n);
}

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

constexpr const char* kExpansion = "%A %d %B %Y, %H:%M:%S";

void oursExpand(benchmark::State& state) {
    const tm t = sampleTm();
    for (auto _ : state)
        benchmark::DoNotOptimize(english().asString(&t, kExpansion, QNZone::utc()));
}

void strftimeExpand(benchmark::State& state) {
    const tm t = sampleTm();
    for (auto _ : state)
        benchmark::DoNotOptimize(viaStrftime(t, kExpansion));
}

constexpr long kLong = -1234567890L;
constexpr double kDouble = 1234567.891;

void oursLong(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(english().asString(kLong));
}

void snprintfLong(benchmark::State& state) {
    for (auto _ : state) {
        char buf[32];
        const int n = std::snprintf(buf, sizeof buf, "%ld", kLong);
        benchmark::DoNotOptimize(std::string(buf, static_cast<std::size_t>(n)));
    }
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
    for (auto _ : state) {
        char buf[64];
        const int n = std::snprintf(buf, sizeof buf, "%.2f", kDouble);
        benchmark::DoNotOptimize(std::string(buf, static_cast<std::size_t>(n)));
    }
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

const char* const kNumber = " -1234567890";

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

const int registered = [] {
    benchmark::RegisterBenchmark("format.directive_c/ours",
                                 [](benchmark::State& s) { oursDirective(s, 'c'); });
    benchmark::RegisterBenchmark("format.directive_c/strftime", [](benchmark::State& s) {
        strftimeDirective(s, "%m/%d/%y %H:%M:%S");
    });
    benchmark::RegisterBenchmark("format.directive_x/ours",
                                 [](benchmark::State& s) { oursDirective(s, 'x'); });
    benchmark::RegisterBenchmark("format.directive_x/strftime",
                                 [](benchmark::State& s) { strftimeDirective(s, "%m/%d/%y"); });
    benchmark::RegisterBenchmark("format.expand/ours", oursExpand);
    benchmark::RegisterBenchmark("format.expand/strftime", strftimeExpand);
    benchmark::RegisterBenchmark("format.long/ours", oursLong);
    benchmark::RegisterBenchmark("format.long/snprintf", snprintfLong);
    benchmark::RegisterBenchmark("format.long/to_chars", toCharsLong);
    benchmark::RegisterBenchmark("format.double_2/ours", oursDouble);
    benchmark::RegisterBenchmark("format.double_2/snprintf", snprintfDouble);
    benchmark::RegisterBenchmark("format.double_2/to_chars", toCharsDouble);
    benchmark::RegisterBenchmark("parse.date/ours", oursParseDate);
    benchmark::RegisterBenchmark("parse.date/strptime", strptimeParseDate);
    benchmark::RegisterBenchmark("parse.long/ours", oursParseLong);
    benchmark::RegisterBenchmark("parse.long/strtol", strtolParseLong);
    benchmark::RegisterBenchmark("parse.long/from_chars", fromCharsParseLong);
    return 0;
}();

}  // namespace
