// XVRegExprLight::index against std::regex, POSIX regexec, PCRE2 (interpreted
// and JIT) and RE2, each finding the first match in the same text: a 10 MB
// text of lower-case words whose only match is at its very end, one line of
// those words (no match; the cost of a call), and the pathological family
// a*a*a*a*a*b (and a*a*a*a*a*[bc]) over texts of 'a' only (no match), at
// several sizes to show how the search time grows. Two patterns searched in
// turn against one pattern searched as often.
//
// XVRegExprSet against RE2::Set, Hyperscan and PCRE2-JIT with the patterns
// joined by `|`, over the same 10 MB text: 100, 1,000 and 10,000 fixed
// strings, and 1,000 light patterns, of which only one matches, at the end.
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
#include <hs.h>
#include <pcre2.h>
#include <re2/re2.h>
#include <re2/set.h>
#include <regex.h>

#include <xvkit/xvregexp.h>
#include <xvkit/xvregexset.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
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
        if (!code || (jit && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0)) {
            PCRE2_UCHAR message[256];
            pcre2_get_error_message(error, message, sizeof message);
            throw std::runtime_error(reinterpret_cast<const char*>(message));
        }
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

// Two patterns searched in turn on one line against one pattern searched as
// often: the cost of switching patterns (each thread keeps the tables of the
// patterns it searched with lately).
void alternating(benchmark::State& state, const std::string& first, const std::string& second) {
    const XVString line(bigText().substr(0, bigText().find('\n')));
    const XVRegExprLight a(first.c_str()), b(second.c_str());
    std::size_t len = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.index(line, &len, 0));
        benchmark::DoNotOptimize(b.index(line, &len, 0));
    }
}

// Pattern sets. Each engine answers whether, and where, the first match is;
// the only match is at the end of the text.
struct SetEngine {
    virtual ~SetEngine() = default;
    // The start of the first match (the end for Hyperscan, which reports
    // ends), 0 when the engine only says whether there is one, or -1.
    virtual long find(const std::string& text) = 0;
};

struct OurSet : SetEngine {
    OurSet(const std::vector<std::string>& patterns, bool fixed)
        : set(patterns, fixed ? XVRegExprSet::fixedString : XVRegExprSet::lightPattern) {
        if (!set.ok())
            std::abort();
    }
    long find(const std::string& text) override {
        XVRegExprSet::Match m;
        return set.find(text.data(), text.size(), 0, &m) ? static_cast<long>(m.start) : -1;
    }
    XVRegExprSet set;
};

// The pieces joined (g++ 12 warns wrongly about some chains of `+`).
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (const std::string_view piece : pieces)
        out.append(piece);
    return out;
}

// A literal for the peers' syntax: every byte that is not a letter or digit escaped.
std::string escaped(const std::string& literal) {
    std::string out;
    for (const char c : literal) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            out += '\\';
        out += c;
    }
    return out;
}

struct Re2Set : SetEngine {
    Re2Set(const std::vector<std::string>& patterns, bool fixed) : set(options(), RE2::UNANCHORED) {
        for (const std::string& p : patterns) {
            if (set.Add(fixed ? escaped(p) : p, nullptr) < 0)
                std::abort();
        }
        if (!set.Compile())
            std::abort();
    }
    static RE2::Options options() {
        RE2::Options o;
        o.set_max_mem(int64_t{1} << 30);  // room for the largest sets
        return o;
    }
    long find(const std::string& text) override { return set.Match(text, nullptr) ? 0 : -1; }
    RE2::Set set;
};

struct HyperscanSet : SetEngine {
    HyperscanSet(const std::vector<std::string>& patterns, bool fixed) {
        std::vector<const char*> expressions;
        std::vector<std::size_t> lengths;
        std::vector<unsigned> ids, flags;
        for (std::size_t i = 0; i < patterns.size(); ++i) {
            expressions.push_back(patterns[i].c_str());
            lengths.push_back(patterns[i].size());
            ids.push_back(static_cast<unsigned>(i));
            flags.push_back(HS_FLAG_SINGLEMATCH);
        }
        hs_compile_error_t* error = nullptr;
        const auto count = static_cast<unsigned>(patterns.size());
        const hs_error_t rc =
            fixed ? hs_compile_lit_multi(expressions.data(), flags.data(), ids.data(),
                                         lengths.data(), count, HS_MODE_BLOCK, nullptr, &db, &error)
                  : hs_compile_multi(expressions.data(), flags.data(), ids.data(), count,
                                     HS_MODE_BLOCK, nullptr, &db, &error);
        if (rc != HS_SUCCESS || hs_alloc_scratch(db, &scratch) != HS_SUCCESS)
            std::abort();
    }
    ~HyperscanSet() override {
        hs_free_scratch(scratch);
        hs_free_database(db);
    }
    long find(const std::string& text) override {
        long end = -1;
        hs_scan(
            db, text.data(), static_cast<unsigned>(text.size()), 0, scratch,
            [](unsigned, unsigned long long, unsigned long long to, unsigned, void* context) {
                *static_cast<long*>(context) = static_cast<long>(to);
                return 1;  // the first match is enough
            },
            &end);
        return end;
    }
    hs_database_t* db = nullptr;
    hs_scratch_t* scratch = nullptr;
};

struct Pcre2Alternation : SetEngine {
    Pcre2Alternation(const std::vector<std::string>& patterns, bool fixed) {
        std::string alternation;
        for (const std::string& p : patterns) {
            if (!alternation.empty())
                alternation += '|';
            alternation += fixed ? escaped(p) : joined({"(?:", p, ")"});
        }
        engine = std::make_unique<Pcre2>(alternation, true);
    }
    long find(const std::string& text) override { return engine->find(text); }
    std::unique_ptr<Pcre2> engine;
};

// Lower-case letters only, as the text's words are.
std::string randomWord(std::mt19937& rng, std::size_t length) {
    std::string word(length, ' ');
    for (char& c : word)
        c = static_cast<char>('a' + rng() % 26);
    return word;
}

// `count` fixed strings of 8 to 14 letters (longer than most words of the
// text, so that none is found in it by chance), and the text's tail.
std::vector<std::string> fixedStrings(std::size_t count) {
    std::mt19937 rng(static_cast<unsigned>(count));
    std::vector<std::string> strings;
    while (strings.size() + 1 < count)
        strings.push_back(randomWord(rng, 8 + rng() % 7));
    strings.push_back("needle42");
    return strings;
}

// Light patterns of the shapes people search for, written so that XVRegExprSet,
// RE2, Hyperscan and PCRE2 read them alike; each holds literal runs of four
// or five letters, so that none matches the text by chance.
std::vector<std::string> lightPatterns(std::size_t count) {
    std::mt19937 rng(99);
    std::vector<std::string> patterns;
    while (patterns.size() + 1 < count) {
        const std::string a = randomWord(rng, 4 + rng() % 2);
        const std::string b = randomWord(rng, 4 + rng() % 2);
        switch (rng() % 8) {
            case 0:
                patterns.push_back(joined({a, "[0-9]+"}));
                break;
            case 1:
                patterns.push_back(joined({a, "[a-z]*", b}));
                break;
            case 2:
                patterns.push_back(joined({a, ".", b}));
                break;
            case 3:
                patterns.push_back(joined({a, "s?", b}));
                break;
            case 4:
                patterns.push_back(joined({"[", a.substr(0, 2), "]", a.substr(1), b}));
                break;
            case 5:
                patterns.push_back(joined({"^", a, b}));
                break;
            case 6:
                patterns.push_back(joined({a, b, "$"}));
                break;
            default:
                patterns.push_back(joined({"[0-9]+", a, "[a-z]"}));
                break;
        }
    }
    patterns.push_back("need[a-z]+[0-9]+Q");
    return patterns;
}

using SetFactory = SetEngine* (*)(const std::vector<std::string>&, bool);

void searchSet(benchmark::State& state, SetFactory make, const std::vector<std::string>* patterns,
               bool fixed, long expected) {
    std::unique_ptr<SetEngine> engine;
    try {
        engine.reset(make(*patterns, fixed));
    } catch (const std::runtime_error& e) {
        state.SkipWithError(e.what());  // PCRE2 refuses an alternation of 10,000 strings
        return;
    }
    const std::string& text = bigText();
    if (engine->find(text) != expected) {
        state.SkipWithError("wrong match position");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine->find(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void registerSet(const std::string& family, const std::vector<std::string>* patterns, bool fixed,
                 long tail) {
    const long size = static_cast<long>(bigText().size());
    const std::tuple<const char*, SetFactory, long> engines[] = {
        {"ours",
         [](const std::vector<std::string>& p, bool f) -> SetEngine* { return new OurSet(p, f); },
         tail},
        {"re2_set",
         [](const std::vector<std::string>& p, bool f) -> SetEngine* { return new Re2Set(p, f); },
         0},
        {"hyperscan",
         [](const std::vector<std::string>& p, bool f) -> SetEngine* {
             return new HyperscanSet(p, f);
         },
         fixed ? tail + 8 : size},
        {"pcre2_jit_alternation",
         [](const std::vector<std::string>& p, bool f) -> SetEngine* {
             return new Pcre2Alternation(p, f);
         },
         tail},
    };
    for (const auto& [name, make, expected] : engines) {
        benchmark::RegisterBenchmark((family + "/" + name).c_str(), [=](benchmark::State& s) {
            searchSet(s, make, patterns, fixed, expected);
        })->Unit(benchmark::kMillisecond);
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
    benchmark::RegisterBenchmark("regex.alternating/ours", [](benchmark::State& s) {
        // The same pattern written with a class of one letter: another
        // code, so another cached pattern, that costs the same to search.
        alternating(s, "n[a-z]*e[a-z]*e[0-9]+", "[n][a-z]*e[a-z]*e[0-9]+");
    });
    benchmark::RegisterBenchmark("regex.alternating/one_pattern", [](benchmark::State& s) {
        alternating(s, "n[a-z]*e[a-z]*e[0-9]+", "n[a-z]*e[a-z]*e[0-9]+");
    });
    for (const std::size_t count : {100u, 1000u, 10000u}) {
        static std::deque<std::vector<std::string>> lists;  // stays where it is
        lists.push_back(fixedStrings(count));
        registerSet("set.fixed" + std::to_string(count), &lists.back(), true, tail);
    }
    static const std::vector<std::string> light = lightPatterns(1000);
    registerSet("set.light1000", &light, false, tail);
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
