// QNDate and QNTime against the C++20 calendar types and the C runtime:
// building day numbers from day/month/year and taking them apart again, and
// building and extracting instants in US Eastern time under the same rules
// as the POSIX zone EST5EDT,M4.1.0/2,M10.5.0/2; then the database zone
// America/New_York (QNZoneTZ) against the C runtime, abseil's time zones and
// the date/tz library reading the same database: loading it, and building
// and extracting instants in it; then QNZoneTZ's period, extract and
// instants in Europe/Moscow over its whole history against the same peers.
#include <absl/time/civil_time.h>
#include <absl/time/time.h>
#include <benchmark/benchmark.h>
#include <date/tz.h>

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

// Every case works through this many inputs.
constexpr std::size_t kItems = 4096;

struct Stamp {
    unsigned day, month, year, hour, minute, second;
};

// 4096 wall-clock times 1987..2036, the years both schedules agree on.
const std::vector<Stamp>& stamps() {
    static const std::vector<Stamp> all = [] {
        std::mt19937 rng(3);
        std::vector<Stamp> v(kItems);
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
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kItems));
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

void mktimeBuildInstant(benchmark::State& state, const std::vector<Stamp>& (*walls)()) {
    for (auto _ : state) {
        long sum = 0;
        for (const auto& s : walls()) {
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

// localtime_r over `all` (under the current TZ), summing `fields` of each reading.
template <class Fields>
void localtimeReadings(benchmark::State& state, const std::vector<QNTime>& all, Fields fields) {
    std::vector<time_t> seconds;
    for (const QNTime& t : all)
        seconds.push_back(static_cast<time_t>(t.seconds()) - kFrom1901);
    for (auto _ : state) {
        long sum = 0;
        for (time_t when : seconds) {
            tm out;
            localtime_r(&when, &out);
            sum += fields(out);
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

long clockFields(const tm& t) {
    return t.tm_hour + t.tm_mday + t.tm_isdst;
}

void localtimeExtractInstant(benchmark::State& state) {
    localtimeReadings(state, instants(), clockFields);
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
    mktimeBuildInstant(state, stamps);
}

void localtimeExtractInDatabaseZone(benchmark::State& state) {
    const ScopedTZ zone(kDatabaseZone);
    localtimeExtractInstant(state);
}

void absl_zone(absl::TimeZone* zone, const char* name) {
    if (!absl::LoadTimeZone(name, zone)) {
        std::fprintf(stderr, "datetime bench: abseil cannot load %s\n", name);
        std::exit(1);
    }
}

absl::CivilSecond civilOf(const Stamp& s) {
    return absl::CivilSecond(s.year, s.month, s.day, s.hour, s.minute, s.second);
}

date::local_seconds localOf(const Stamp& s) {
    const date::year_month_day ymd{date::year(static_cast<int>(s.year)), date::month(s.month),
                                   date::day(s.day)};
    return date::local_days(ymd) + chr::hours(s.hour) + chr::minutes(s.minute) +
           chr::seconds(s.second);
}

void abslBuildInstant(benchmark::State& state, const char* name) {
    absl::TimeZone zone;
    absl_zone(&zone, name);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const auto& s : stamps())
            sum += absl::ToUnixSeconds(zone.At(civilOf(s)).pre);
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void dateBuildInstant(benchmark::State& state, const char* name) {
    const date::time_zone* zone = date::locate_zone(name);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const auto& s : stamps())
            sum += zone->to_sys(localOf(s), date::choose::earliest).time_since_epoch().count();
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

// The unix seconds of instants(): the New York stamps, or random ones over
// the whole range for the history cases.
std::vector<std::int64_t> unixSeconds(const std::vector<QNTime>& all) {
    std::vector<std::int64_t> v;
    for (const QNTime& t : all)
        v.push_back(static_cast<std::int64_t>(t.seconds()) - kFrom1901);
    return v;
}

void abslExtractInstant(benchmark::State& state, const char* name,
                        const std::vector<QNTime>& (*all)()) {
    absl::TimeZone zone;
    absl_zone(&zone, name);
    const auto seconds = unixSeconds(all());
    for (auto _ : state) {
        int sum = 0;
        for (std::int64_t t : seconds) {
            const absl::CivilSecond cs = zone.At(absl::FromUnixSeconds(t)).cs;
            sum += cs.hour() + cs.day();
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void dateExtractInstant(benchmark::State& state, const char* name,
                        const std::vector<QNTime>& (*all)()) {
    const date::time_zone* zone = date::locate_zone(name);
    const auto seconds = unixSeconds(all());
    for (auto _ : state) {
        int sum = 0;
        for (std::int64_t t : seconds) {
            const auto local = zone->to_local(date::sys_seconds(chr::seconds(t)));
            const auto day = date::floor<date::days>(local);
            const date::year_month_day ymd(day);
            const date::hh_mm_ss<chr::seconds> time(local - day);
            sum += static_cast<int>(time.hours().count()) + static_cast<int>(unsigned(ymd.day()));
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

const std::vector<QNTime>& easternInstants() {
    static const auto all = instants();
    return all;
}

// Europe/Moscow over its whole history: random instants of the QNTime range
// and random wall-clock times 1901-2036.
constexpr const char kHistoryZone[] = "Europe/Moscow";

const QNZoneTZ& moscow() {
    static const auto zone = QNZoneTZ::fromDatabase(kHistoryZone);
    return *zone;
}

const std::vector<QNTime>& historyInstants() {
    static const std::vector<QNTime> all = [] {
        std::mt19937 rng(5);
        std::vector<QNTime> v(kItems);
        for (auto& t : v)
            t = QNTime(1 + rng() % QNZoneTZ::lastCount);
        return v;
    }();
    return all;
}

const std::vector<Stamp>& historyWalls() {
    static const std::vector<Stamp> all = [] {
        std::mt19937 rng(7);
        std::vector<Stamp> v(kItems);
        for (auto& s : v) {
            s.year = 1901 + rng() % 136;
            s.month = 1 + rng() % 12;
            s.day = 1 + rng() % 28;
            s.hour = rng() % 24;
            s.minute = rng() % 60;
            s.second = rng() % 60;
        }
        return v;
    }();
    return all;
}

void oursPeriod(benchmark::State& state) {
    for (auto _ : state) {
        long sum = 0;
        for (const QNTime& t : historyInstants()) {
            const QNZoneTZ::Period p = moscow().period(t);
            sum += p.offset + p.daylight + static_cast<long>(p.name.size());
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void abslPeriod(benchmark::State& state) {
    absl::TimeZone zone;
    absl_zone(&zone, kHistoryZone);
    const auto seconds = unixSeconds(historyInstants());
    for (auto _ : state) {
        long sum = 0;
        for (std::int64_t t : seconds) {
            const absl::TimeZone::CivilInfo info = zone.At(absl::FromUnixSeconds(t));
            sum += info.offset + info.is_dst + info.zone_abbr[0];
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void datePeriod(benchmark::State& state) {
    const date::time_zone* zone = date::locate_zone(kHistoryZone);
    const auto seconds = unixSeconds(historyInstants());
    for (auto _ : state) {
        long sum = 0;
        for (std::int64_t t : seconds) {
            const date::sys_info info = zone->get_info(date::sys_seconds(chr::seconds(t)));
            sum += info.offset.count() + info.save.count() + static_cast<long>(info.abbrev.size());
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void localtimePeriod(benchmark::State& state) {
    const ScopedTZ tz(kHistoryZone);
    localtimeReadings(state, historyInstants(),
                      [](const tm& t) { return t.tm_gmtoff + t.tm_isdst + t.tm_zone[0]; });
}

void oursHistoryExtract(benchmark::State& state) {
    for (auto _ : state) {
        int sum = 0;
        for (const QNTime& t : historyInstants()) {
            tm out;
            moscow().extract(t, &out);
            sum += out.tm_hour + out.tm_mday + out.tm_isdst;
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void localtimeHistoryExtract(benchmark::State& state) {
    const ScopedTZ tz(kHistoryZone);
    localtimeReadings(state, historyInstants(), clockFields);
}

void oursInstants(benchmark::State& state) {
    for (auto _ : state) {
        unsigned long sum = 0;
        for (const Stamp& s : historyWalls()) {
            const QNZoneTZ::Instants found =
                moscow().instants(QNDate(s.day, s.month, s.year), s.hour, s.minute, s.second);
            sum += found.count + found.first.seconds();
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void abslInstants(benchmark::State& state) {
    absl::TimeZone zone;
    absl_zone(&zone, kHistoryZone);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const Stamp& s : historyWalls()) {
            const absl::TimeZone::TimeInfo info = zone.At(civilOf(s));
            sum += static_cast<int>(info.kind) + absl::ToUnixSeconds(info.pre);
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void dateInstants(benchmark::State& state) {
    const date::time_zone* zone = date::locate_zone(kHistoryZone);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (const Stamp& s : historyWalls()) {
            const date::local_info info = zone->get_info(localOf(s));
            sum += info.result + info.first.offset.count();
        }
        benchmark::DoNotOptimize(sum);
    }
    perItem(state);
}

void mktimeInstants(benchmark::State& state) {
    const ScopedTZ tz(kHistoryZone);
    mktimeBuildInstant(state, historyWalls);
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

// Whether period, extract and instants in Moscow agree with abseil on every
// instant and wall-clock time of the history cases.
bool historyAgreesWithAbseil() {
    absl::TimeZone zone;
    absl_zone(&zone, kHistoryZone);
    for (const QNTime& t : historyInstants()) {
        const auto info =
            zone.At(absl::FromUnixSeconds(static_cast<std::int64_t>(t.seconds()) - kFrom1901));
        const QNZoneTZ::Period p = moscow().period(t);
        tm out;
        moscow().extract(t, &out);
        if (p.offset != -info.offset || p.daylight != info.is_dst || p.name != info.zone_abbr ||
            out.tm_hour != info.cs.hour() || out.tm_mday != info.cs.day() ||
            out.tm_year + 1900 != info.cs.year())
            return false;
    }
    for (const Stamp& s : historyWalls()) {
        const auto info = zone.At(civilOf(s));
        const QNZoneTZ::Instants found =
            moscow().instants(QNDate(s.day, s.month, s.year), s.hour, s.minute, s.second);
        const std::int64_t first = static_cast<std::int64_t>(found.first.seconds()) - kFrom1901;
        const std::int64_t expected = absl::ToUnixSeconds(
            info.kind == absl::TimeZone::TimeInfo::SKIPPED ? info.trans : info.pre);
        const unsigned count = info.kind == absl::TimeZone::TimeInfo::UNIQUE     ? 1
                               : info.kind == absl::TimeZone::TimeInfo::REPEATED ? 2
                                                                                 : 0;
        if (found.count != count || first != expected)
            return false;
    }
    return true;
}

// The peers only measure the same work if they give the same answers.
bool peersAgree() {
    if (!agreesWithMktime(eastern()))
        return false;
    const ScopedTZ zone(kDatabaseZone);
    return agreesWithMktime(newYork()) && historyAgreesWithAbseil();
}

const int registered = [] {
    setenv("TZ", "EST5EDT,M4.1.0/2,M10.5.0/2", 1);
    tzset();
    if (!peersAgree()) {
        std::fprintf(stderr, "datetime bench: QNTime and its peers disagree; not comparable\n");
        std::exit(1);
    }
    benchmark::RegisterBenchmark("dates.from_dmy/ours", oursFromDmy);
    benchmark::RegisterBenchmark("dates.from_dmy/chrono", chronoFromDmy);
    benchmark::RegisterBenchmark("dates.from_dmy/timegm", timegmFromDmy);
    benchmark::RegisterBenchmark("dates.to_dmy/ours", oursToDmy);
    benchmark::RegisterBenchmark("dates.to_dmy/chrono", chronoToDmy);
    benchmark::RegisterBenchmark("dates.to_dmy/gmtime_r", gmtimeToDmy);
    benchmark::RegisterBenchmark("instants.build/ours", oursBuildInstant, eastern());
    benchmark::RegisterBenchmark("instants.build/mktime", mktimeBuildInstant, stamps);
    benchmark::RegisterBenchmark("instants.extract/ours", oursExtractInstant, eastern());
    benchmark::RegisterBenchmark("instants.extract/localtime_r", localtimeExtractInstant);
    benchmark::RegisterBenchmark("zones.load/ours", oursLoadZone);
    benchmark::RegisterBenchmark("zones.load/tzset", tzsetLoadZone);
    benchmark::RegisterBenchmark("zones.build/ours", oursBuildInstant, newYork());
    benchmark::RegisterBenchmark("zones.build/mktime", mktimeBuildInDatabaseZone);
    benchmark::RegisterBenchmark("zones.build/abseil", abslBuildInstant, kDatabaseZone);
    benchmark::RegisterBenchmark("zones.build/date_tz", dateBuildInstant, kDatabaseZone);
    benchmark::RegisterBenchmark("zones.extract/ours", oursExtractInstant, newYork());
    benchmark::RegisterBenchmark("zones.extract/localtime_r", localtimeExtractInDatabaseZone);
    benchmark::RegisterBenchmark("zones.extract/abseil", abslExtractInstant, kDatabaseZone,
                                 easternInstants);
    benchmark::RegisterBenchmark("zones.extract/date_tz", dateExtractInstant, kDatabaseZone,
                                 easternInstants);
    benchmark::RegisterBenchmark("history.period/ours", oursPeriod);
    benchmark::RegisterBenchmark("history.period/abseil", abslPeriod);
    benchmark::RegisterBenchmark("history.period/date_tz", datePeriod);
    benchmark::RegisterBenchmark("history.period/localtime_r", localtimePeriod);
    benchmark::RegisterBenchmark("history.extract/ours", oursHistoryExtract);
    benchmark::RegisterBenchmark("history.extract/abseil", abslExtractInstant, kHistoryZone,
                                 historyInstants);
    benchmark::RegisterBenchmark("history.extract/date_tz", dateExtractInstant, kHistoryZone,
                                 historyInstants);
    benchmark::RegisterBenchmark("history.extract/localtime_r", localtimeHistoryExtract);
    benchmark::RegisterBenchmark("history.instants/ours", oursInstants);
    benchmark::RegisterBenchmark("history.instants/abseil", abslInstants);
    benchmark::RegisterBenchmark("history.instants/date_tz", dateInstants);
    benchmark::RegisterBenchmark("history.instants/mktime", mktimeInstants);
    return 0;
}();

}  // namespace
