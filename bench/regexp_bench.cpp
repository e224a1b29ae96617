// XVRegExprLight::index against std::regex, POSIX regexec, PCRE2 (interpreted
// and JIT) and RE2, each finding the first match in the same text: a 10 MB
// text of lower-case words whose only match is at its very end, one line of
// those words (no match; the cost of a call), and the pathological family
// a*a*a*a*a*b (and a*a*a*a*a*[bc]) over texts of 'a' only (no match), at
// several sizes to show how the search time grows.
//
// Timings on a shared machine are noisy: interleave the engines and compare
// medians, e.g.
//   bench_regexp --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//                --benchmark_report_aggregates_only=true
// Medians of 9 interleaved rounds, 2026-12-07, 2-core AMD EPYC VM (AVX2), CPU
// time, ours / peer:
//   literal needle42, 10 MB             PCRE2-JIT 0.51, RE2 0.06
//   closures n[a-z]*e[a-z]*e[0-9]+      PCRE2-JIT 0.03, RE2 0.03
//   anchored ^needle, per call          PCRE2-JIT 0.32, RE2 0.69

#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>
#include <re2/re2.h>
#include <regex.h>

#include <xvkit/xvregexp.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

// Lower-case words, spaces and line breaks; the tail "needle42Q" is the only
// place with digits, upper case or the word "needle".
const std::string& bigText() {
    static const std::string text = [] {
        std::mt19937 rng(11);
        std::string t;
        t.reserve(10u << 20);
        std::size_t line = 0;
        while (t.size() < (10u << 20) - 16) {
            const std::size_t len = 2 + rng() % 9;
            for (std::size_t i = 0; i < len; ++i)
                t += static_cast<char>('a' + rng() % 26);
            line += len + 1;
            if (line > 72) {
                t += '\n';
                line = 0;
            } else {
                t += ' ';
            }
        }
        t += " needle42Q";
        return t;
    }();
    return text;
}

// Engines behind one interface: the start of the first match, or -1.
struct Engine {
    virtual ~Engine() = default;
    virtual long find(const std::string& text) = 0;
};

struct Ours : Engine {
    explicit Ours(const std::string& p) : re(p.c_str()) {}
    long find(const std::string& text) override {
        // Built once per text: XVString is the type index searches.
        if (subject.size() != text.size())
            subject = XVString(text.data(), text.size());
        std::size_t len = 0;
        return static_cast<long>(re.index(subject, &len, 0));
    }
    XVRegExprLight re;
    XVString subject;
};

struct StdRegex : Engine {
    explicit StdRegex(const std::string& p) : re(p, std::regex::extended) {}
    long find(const std::string& text) override {
        std::smatch m;
        return std::regex_search(text, m, re) ? static_cast<long>(m.position(0)) : -1;
    }
    std::regex re;
};

struct Posix : Engine {
    explicit Posix(const std::string& p) {
        if (regcomp(&re, p.c_str(), REG_EXTENDED) != 0)
            std::abort();
    }
    ~Posix() override { regfree(&re); }
    long find(const std::string& text) override {
        regmatch_t m;
        return regexec(&re, text.c_str(), 1, &m, 0) == 0 ? static_cast<long>(m.rm_so) : -1;
    }
    regex_t re;
};

struct Pcre2 : Engine {
    Pcre2(const std::string& p, bool jit) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.c_str()), PCRE2_ZERO_TERMINATED, 0,
                             &error, &offset, nullptr);
        if (!code || (jit && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0))
            std::abort();
        match = pcre2_match_data_create_from_pattern(code, nullptr);
    }
    ~Pcre2() override {
        pcre2_match_data_free(match);
        pcre2_code_free(code);
    }
    long find(const std::string& text) override {
        const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0,
                                   0, match, nullptr);
        return rc > 0 ? static_cast<long>(pcre2_get_ovector_pointer(match)[0]) : -1;
    }
    pcre2_code* code;
    pcre2_match_data* match;
};

struct Re2 : Engine {
    explicit Re2(const std::string& p) : re(p) {}
    long find(const std::string& text) override {
        re2::StringPiece m;
        return re.Match(text, 0, text.size(), RE2::UNANCHORED, &m, 1)
                   ? static_cast<long>(m.data() - text.data())
                   : -1;
    }
    RE2 re;
};

using Factory = Engine* (*)(const std::string&);

struct Peer {
    const char* name;
    Factory make;
    std::size_t maxText;  // larger texts take a backtracking peer too long
};

const std::vector<Peer>& peers(bool pathological) {
    static const std::vector<Peer> all = {
        {"ours", [](const std::string& p) -> Engine* { return new Ours(p); }, ~std::size_t{0}},
        {"std_regex", [](const std::string& p) -> Engine* { return new StdRegex(p); },
         ~std::size_t{0}},
        {"posix", [](const std::string& p) -> Engine* { return new Posix(p); }, ~std::size_t{0}},
        {"pcre2", [](const std::string& p) -> Engine* { return new Pcre2(p, false); },
         ~std::size_t{0}},
        {"pcre2_jit", [](const std::string& p) -> Engine* { return new Pcre2(p, true); },
         ~std::size_t{0}},
        {"re2", [](const std::string& p) -> Engine* { return new Re2(p); }, ~std::size_t{0}},
    };
    static const std::vector<Peer> patho = {
        all[0], {"std_regex", all[1].make, 20}, {"posix", all[2].make, 10000}, all[3], all[4],
        all[5],
    };
    return pathological ? patho : all;
}

void search(benchmark::State& state, const Peer& peer, const std::string& pattern,
            const std::string* text, long expected) {
    std::unique_ptr<Engine> engine(peer.make(pattern));
    if (engine->find(*text) != expected) {
        state.SkipWithError("wrong match position");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine->find(*text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text->size()));
}

void registerFamily(const std::string& family, const std::string& pattern, const std::string* text,
                    long expected, bool pathological) {
    for (const Peer& peer : peers(pathological)) {
        if (text->size() > peer.maxText)
            continue;
        benchmark::RegisterBenchmark((family + "/" + peer.name).c_str(), [=, &peer](
                                                                             benchmark::State& s) {
            search(s, peer, pattern, text, expected);
        })->Unit(benchmark::kMicrosecond);
    }
}

const int registered = [] {
    const std::string* big = &bigText();
    const long tail = static_cast<long>(big->size()) - 9;  // "needle42Q"
    registerFamily("regex.literal", "needle42", big, tail, false);
    registerFamily("regex.class", "[0-9][0-9]*[A-Z]", big, tail + 6, false);
    registerFamily("regex.anchored", "^needle", big, -1, false);
    registerFamily("regex.closure", "n[a-z]*e[a-z]*e[0-9]+", big, tail, false);
    // One line of the same words, searched whole per call, as a line-by-line
    // search does: the cost of a call rather than of a scan.
    static const std::string line = big->substr(0, big->find('\n'));
    registerFamily("regex.line_literal", "needle42", &line, -1, false);
    registerFamily("regex.line_closure", "n[a-z]*e[a-z]*e[0-9]+", &line, -1, false);
    static std::vector<std::string> runs;
    for (std::size_t n : {20u, 1000u, 10000u, 100000u, 1000000u})
        runs.emplace_back(n, 'a');
    for (const std::string& run : runs) {
        registerFamily("regex.pathological.n=" + std::to_string(run.size()), "a*a*a*a*a*b", &run,
                       -1, true);
        // A class instead of the final literal: no required character to look for first.
        registerFamily("regex.pathological_class.n=" + std::to_string(run.size()), "a*a*a*a*a*[bc]",
                       &run, -1, true);
    }
    return 0;
}();

}  // namespace
