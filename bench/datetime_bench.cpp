// QNDate and QNTime against the C++20 calendar types and the C runtime:
// building day numbers from day/month/year and taking them apart again, and
// building and extracting instants in US Eastern time under the same rules
// as the POSIX zone EST5EDT,M4.1.0/2,M10.5.0/2; then the database zone
// America/New_York (QNZoneTZ) against the C runtime under the same TZ:
// loading it, and building and extracting instants in it.
#include <benchmark/benchmark.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <xvkit/qnzonetz.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

namespace chr = std::chrono;

// Seconds from 1 January 1901 to the C epoch: QNTime counts from 1901.
constexpr std::int64_t kFrom1901 = 2177452800;
// Julian Day Number of 1 January 1970: chrono counts days from it.
constexpr long kUnixDay = 2440588;

struct Stamp {
    unsigned day, month, year, hour, minute, second;
};

// 4096 wall-clock times 1987..2036, the years both schedules agree on.
const std::vector<Stamp>& stamps() {
    static const std::vector<Stamp> all = [] {
        std::mt19937 rng(3);
        std::vector<Stamp> v(4096);
        for (auto& s : v) {
            s.year = 1987 + rng() % 50;
            s.month = 1 + rng() % 12;
            s.day = 1 + rng() % 28;
            s.hour = 3 + rng() % 20;  // clear of the 02:00 changes
            s.minute = rng() % 60;
            s.second = rng() % 60;
        }
        return v;
    }();
    return all;
}

tm asTm(const Stamp& s) {
    tm t{};
    t.tm_year = static_cast<int>(s.year) - 1900;
    t.tm_mon = static_cast<int>(s.month) - 1;
    t.tm_mday = static_cast<int>(s.day);
    t.tm_hour = static_cast<int>(s.hour);
    t.tm_min = static_cast<int>(s.minute);
    t.tm_sec = static_cast<int>(s.second);
    t.tm_isdst = -1;
    return t;
}

const QNZoneSimple& eastern() {
    static const QNZoneSimple zone(QNZone::usEastern, QNZone::northAmerican);
    return zone;
}

void perItem(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * stamps().size()));
}

void oursFromDmy(benchmark::State& state) {
    for (auto _ : state) {
        unsigned long sum = 0;
        for (const auto& s : stamps())
            sum += QNDate(s.day, s.month, s.year).julian();
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void chronoFromDmy(benchmark::State& state) {
    for (auto _ : state) {
        long sum = 0;
        for (const auto& s : stamps()) {
            const chr::year_month_day ymd{chr::year(static_cast<int>(s.year)), chr::month(s.month),
                                          chr::day(s.day)};
            // Validated as QNDate validates.
            if (ymd.ok())
                sum += chr::sys_days(ymd).time_since_epoch().count() + kUnixDay;
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void timegmFromDmy(benchmark::State& state) {
    for (auto _ : state) {
        long sum = 0;
        for (const auto& s : stamps()) {
            tm t = asTm(s);
            t.tm_hour = t.tm_min = t.tm_sec = 0;
            sum += timegm(&t) / 86400 + kUnixDay;
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

std::vector<long> dayNumbers() {
    std::vector<long> v;
    for (const auto& s : stamps())
        v.push_back(static_cast<long>(QNDate(s.day, s.month, s.year).julian()));
    return v;
}

void oursToDmy(benchmark::State& state) {
    const auto days = dayNumbers();
    for (auto _ : state) {
        unsigned sum = 0;
        for (long d : days) {
            const QNDate date(static_cast<unsigned long>(d));
            sum += date.dayOfMonth() + date.month() + date.year();
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void chronoToDmy(benchmark::State& state) {
    const auto days = dayNumbers();
    for (auto _ : state) {
        unsigned sum = 0;
        for (long d : days) {
            const chr::year_month_day ymd{chr::sys_days(chr::days(d - kUnixDay))};
            sum += static_cast<unsigned>(ymd.day()) + static_cast<unsigned>(ymd.month()) +
                   static_cast<unsigned>(static_cast<int>(ymd.year()));
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void gmtimeToDmy(benchmark::State& state) {
    const auto days = dayNumbers();
    for (auto _ : state) {
        unsigned sum = 0;
        for (long d : days) {
            const time_t when = static_cast<time_t>(d - kUnixDay) * 86400;
            tm t;
            gmtime_r(&when, &t);
            sum += static_cast<unsigned>(t.tm_mday + t.tm_mon + 1 + t.tm_year + 1900);
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void oursBuildInstant(benchmark::State& state, const QNZone& zone) {
    for (auto _ : state) {
        unsigned long sum = 0;
        for (const auto& s : stamps())
            sum +=
                QNTime(QNDate(s.day, s.month, s.year), s.hour, s.minute, s.second, zone).seconds();
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void mktimeBuildInstant(benchmark::State& state) {
    for (auto _ : state) {
        long sum = 0;
        for (const auto& s : stamps()) {
            tm t = asTm(s);
            sum += mktime(&t);
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

std::vector<QNTime> instants() {
    std::vector<QNTime> v;
    for (const auto& s : stamps())
        v.emplace_back(QNDate(s.day, s.month, s.year), s.hour, s.minute, s.second, eastern());
    return v;
}

void oursExtractInstant(benchmark::State& state, const QNZone& zone) {
    const auto all = instants();
    for (auto _ : state) {
        int sum = 0;
        for (const QNTime& t : all) {
            tm out;
            t.extract(&out, zone);
            sum += out.tm_hour + out.tm_mday + out.tm_isdst;
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void localtimeExtractInstant(benchmark::State& state) {
    std::vector<time_t> all;
    for (const QNTime& t : instants())
        all.push_back(static_cast<time_t>(t.seconds()) - kFrom1901);
    for (auto _ : state) {
        int sum = 0;
        for (time_t when : all) {
            tm out;
            localtime_r(&when, &out);
            sum += out.tm_hour + out.tm_mday + out.tm_isdst;
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

// Runs a benchmark under TZ=`tz` and puts the setting back afterwards.
class ScopedTZ {
  public:
    explicit ScopedTZ(const char* tz) : saved_(std::getenv("TZ")) {
        setenv("TZ", tz, 1);
        tzset();
    }
    ScopedTZ(const ScopedTZ&) = delete;
    ScopedTZ& operator=(const ScopedTZ&) = delete;
    ~ScopedTZ() {
        setenv("TZ", saved_.c_str(), 1);
        tzset();
    }

  private:
    std::string saved_;
};

constexpr const char kDatabaseZone[] = "America/New_York";
// Two zones loaded in turn, so the C runtime cannot keep the last one.
constexpr const char* kLoadedZones[] = {"America/New_York", "America/Chicago"};

const QNZoneTZ& newYork() {
    static const auto zone = QNZoneTZ::fromDatabase(kDatabaseZone);
    return *zone;
}

void oursLoadZone(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        auto zone = QNZoneTZ::fromDatabase(kLoadedZones[i++ % 2]);
        benchmark::DoNotOptimize(zone.get());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void tzsetLoadZone(benchmark::State& state) {
    const ScopedTZ restore(kDatabaseZone);
    std::size_t i = 0;
    for (auto _ : state) {
        setenv("TZ", kLoadedZones[i++ % 2], 1);
        tzset();
        benchmark::DoNotOptimize(timezone);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void mktimeBuildInDatabaseZone(benchmark::State& state) {
    const ScopedTZ zone(kDatabaseZone);
    mktimeBuildInstant(state);
}

void localtimeExtractInDatabaseZone(benchmark::State& state) {
    const ScopedTZ zone(kDatabaseZone);
    localtimeExtractInstant(state);
}

// Whether `zone` builds every stamp into the instant that mktime gives under
// the C runtime's current TZ.
bool agreesWithMktime(const QNZone& zone) {
    for (const auto& s : stamps()) {
        tm t = asTm(s);
        const time_t peer = mktime(&t);
        const QNTime ours(QNDate(s.day, s.month, s.year), s.hour, s.minute, s.second, zone);
        if (static_cast<std::int64_t>(ours.seconds()) - kFrom1901 != peer)
            return false;
    }
    return true;
}

// The peers only measure the same work if they give the same answers.
bool peersAgree() {
    if (!agreesWithMktime(eastern()))
        return false;
    const ScopedTZ zone(kDatabaseZone);
    return agreesWithMktime(newYork());
}

const int registered = [] {
    setenv("TZ", "EST5EDT,M4.1.0/2,M10.5.0/2", 1);
    tzset();
    if (!peersAgree()) {
        std::fprintf(stderr, "datetime bench: QNTime and mktime disagree; not comparable\n");
        std::exit(1);
    }
    benchmark::RegisterBenchmark("dates.from_dmy/ours", oursFromDmy);
    benchmark::RegisterBenchmark("dates.from_dmy/chrono", chronoFromDmy);
    benchmark::RegisterBenchmark("dates.from_dmy/timegm", timegmFromDmy);
    benchmark::RegisterBenchmark("dates.to_dmy/ours", oursToDmy);
    benchmark::RegisterBenchmark("dates.to_dmy/chrono", chronoToDmy);
    benchmark::RegisterBenchmark("dates.to_dmy/gmtime_r", gmtimeToDmy);
    benchmark::RegisterBenchmark("instants.build/ours", oursBuildInstant, eastern());
    benchmark::RegisterBenchmark("instants.build/mktime", mktimeBuildInstant);
    benchmark::RegisterBenchmark("instants.extract/ours", oursExtractInstant, eastern());
    benchmark::RegisterBenchmark("instants.extract/localtime_r", localtimeExtractInstant);
    benchmark::RegisterBenchmark("zones.load/ours", oursLoadZone);
    benchmark::RegisterBenchmark("zones.load/tzset", tzsetLoadZone);
    benchmark::RegisterBenchmark("zones.build/ours", oursBuildInstant, newYork());
    benchmark::RegisterBenchmark("zones.build/mktime", mktimeBuildInDatabaseZone);
    benchmark::RegisterBenchmark("zones.extract/ours", oursExtractInstant, newYork());
    benchmark::RegisterBenchmark("zones.extract/localtime_r", localtimeExtractInDatabaseZone);
    return 0;
}();

}  // namespace
