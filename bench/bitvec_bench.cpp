// XVBitVec bulk algebra and search on 1M elements against std::vector<bool>,
// byte loops over std::vector<uint8_t>, boost::dynamic_bitset, and memcpy /
// memchr of the same bytes as the floor.
#include <benchmark/benchmark.h>

#include <xvkit/xvbitvec.h>
#include <boost/dynamic_bitset.hpp>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kElements = 1 << 20;

struct Inputs {
    std::vector<std::uint8_t> x, y;
    Inputs() : x(kElements), y(kElements) {
        std::mt19937 rng(42);
        for (std::size_t i = 0; i < kElements; ++i) {
            x[i] = rng() & 1;
            y[i] = rng() & 1;
        }
    }
};

const Inputs& inputs() {
    static const Inputs in;
    return in;
}

std::vector<bool> asBools(const std::vector<std::uint8_t>& b) {
    return {b.begin(), b.end()};
}

boost::dynamic_bitset<> asBitset(const std::vector<std::uint8_t>& b) {
    boost::dynamic_bitset<> s(b.size());
    for (std::size_t i = 0; i < b.size(); ++i)
        s[i] = b[i];
    return s;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kElements));
}

// The free operators of each implementation: a new result per call.
template <class Op>
void oursBinary(benchmark::State& state, Op op) {
    const XVBitVec a(inputs().x.data(), kElements), b(inputs().y.data(), kElements);
    for (auto _ : state) {
        XVBitVec r = op(a, b);
        benchmark::DoNotOptimize(r.data());
    }
    setBytes(state);
}

template <class Op>
void bytesBinary(benchmark::State& state, Op op) {
    const auto& a = inputs().x;
    const auto& b = inputs().y;
    for (auto _ : state) {
        std::vector<std::uint8_t> r(kElements);
        for (std::size_t i = 0; i < kElements; ++i)
            r[i] = op(a[i], b[i]);
        benchmark::DoNotOptimize(r.data());
    }
    setBytes(state);
}

template <class Op>
void boolsBinary(benchmark::State& state, Op op) {
    const auto a = asBools(inputs().x), b = asBools(inputs().y);
    for (auto _ : state) {
        std::vector<bool> r(kElements);
        for (std::size_t i = 0; i < kElements; ++i)
            r[i] = op(a[i], b[i]);
        benchmark::DoNotOptimize(r);
    }
    setBytes(state);
}

template <class Op>
void bitsetBinary(benchmark::State& state, Op op) {
    const auto a = asBitset(inputs().x), b = asBitset(inputs().y);
    for (auto _ : state) {
        boost::dynamic_bitset<> r = op(a, b);
        benchmark::DoNotOptimize(r);
    }
    setBytes(state);
}

// The floor: copying the result's bytes into a fresh buffer.
void memcpyReference(benchmark::State& state) {
    const auto& a = inputs().x;
    for (auto _ : state) {
        std::vector<std::uint8_t> r(kElements);
        std::memcpy(r.data(), a.data(), kElements);
        benchmark::DoNotOptimize(r.data());
    }
    setBytes(state);
}

// `a & b` and its floor on a quarter of the elements, where both operands and
// the result (768 KB) stay in a 2 MB second-level cache; at 1M elements they
// take 3 MB against the floor's 2 MB.
constexpr std::size_t kCached = kElements / 4;

void oursAndCached(benchmark::State& state) {
    const XVBitVec a(inputs().x.data(), kCached), b(inputs().y.data(), kCached);
    for (auto _ : state) {
        XVBitVec r = a & b;
        benchmark::DoNotOptimize(r.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCached));
}

void memcpyCached(benchmark::State& state) {
    const auto& a = inputs().x;
    for (auto _ : state) {
        std::vector<std::uint8_t> r(kCached);
        std::memcpy(r.data(), a.data(), kCached);
        benchmark::DoNotOptimize(r.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCached));
}

void registerBinary(const char* family, auto ours, auto bytes, auto bools, auto bitset) {
    const std::string f = std::string("bitvec.") + family;
    benchmark::RegisterBenchmark((f + "/ours").c_str(),
                                 [=](benchmark::State& s) { oursBinary(s, ours); });
    benchmark::RegisterBenchmark((f + "/vector_uint8").c_str(),
                                 [=](benchmark::State& s) { bytesBinary(s, bytes); });
    benchmark::RegisterBenchmark((f + "/vector_bool").c_str(),
                                 [=](benchmark::State& s) { boolsBinary(s, bools); });
    benchmark::RegisterBenchmark((f + "/dynamic_bitset").c_str(),
                                 [=](benchmark::State& s) { bitsetBinary(s, bitset); });
    benchmark::RegisterBenchmark((f + "/memcpy").c_str(), memcpyReference);
}

void oursNot(benchmark::State& state) {
    const XVBitVec a(inputs().x.data(), kElements);
    for (auto _ : state) {
        XVBitVec r = !a;
        benchmark::DoNotOptimize(r.data());
    }
    setBytes(state);
}

void bytesNot(benchmark::State& state) {
    const auto& a = inputs().x;
    for (auto _ : state) {
        std::vector<std::uint8_t> r(kElements);
        for (std::size_t i = 0; i < kElements; ++i)
            r[i] = a[i] == 0;
        benchmark::DoNotOptimize(r.data());
    }
    setBytes(state);
}

void boolsNot(benchmark::State& state) {
    const auto a = asBools(inputs().x);
    for (auto _ : state) {
        std::vector<bool> r(a);
        r.flip();
        benchmark::DoNotOptimize(r);
    }
    setBytes(state);
}

void bitsetNot(benchmark::State& state) {
    const auto a = asBitset(inputs().x);
    for (auto _ : state) {
        boost::dynamic_bitset<> r = ~a;
        benchmark::DoNotOptimize(r);
    }
    setBytes(state);
}

// In place, no allocation: the compound operator against a byte loop and the
// copy of the same bytes into an existing buffer.
void oursAndAssign(benchmark::State& state) {
    XVBitVec a(inputs().x.data(), kElements);
    const XVBitVec b(inputs().y.data(), kElements);
    for (auto _ : state) {
        a &= b;
        benchmark::DoNotOptimize(a.data());
    }
    setBytes(state);
}

void bytesAndAssign(benchmark::State& state) {
    auto a = inputs().x;
    const auto& b = inputs().y;
    for (auto _ : state) {
        for (std::size_t i = 0; i < kElements; ++i)
            a[i] = a[i] && b[i];
        benchmark::DoNotOptimize(a.data());
    }
    setBytes(state);
}

void bitsetAndAssign(benchmark::State& state) {
    auto a = asBitset(inputs().x);
    const auto b = asBitset(inputs().y);
    for (auto _ : state) {
        a &= b;
        benchmark::DoNotOptimize(a);
    }
    setBytes(state);
}

void memcpyInPlace(benchmark::State& state) {
    std::vector<std::uint8_t> r(kElements);
    const auto& a = inputs().x;
    for (auto _ : state) {
        std::memcpy(r.data(), a.data(), kElements);
        benchmark::DoNotOptimize(r.data());
    }
    setBytes(state);
}

// The search scans all 1M bytes: the only set element is the last one.
std::vector<std::uint8_t> lastOnly() {
    std::vector<std::uint8_t> b(kElements, 0);
    b.back() = 1;
    return b;
}

void oursFirstTrue(benchmark::State& state) {
    const auto b = lastOnly();
    const XVBitVec v(b.data(), kElements);
    for (auto _ : state)
        benchmark::DoNotOptimize(v.firstTrue());
    setBytes(state);
}

void memchrFirstTrue(benchmark::State& state) {
    const auto b = lastOnly();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(b.data(), 1, kElements));
    setBytes(state);
}

void bytesFirstTrue(benchmark::State& state) {
    const auto b = lastOnly();
    for (auto _ : state) {
        std::size_t i = 0;
        while (i < kElements && b[i] != 1)
            ++i;
        benchmark::DoNotOptimize(i);
    }
    setBytes(state);
}

void boolsFirstTrue(benchmark::State& state) {
    const auto b = asBools(lastOnly());
    for (auto _ : state) {
        std::size_t i = 0;
        while (i < kElements && !b[i])
            ++i;
        benchmark::DoNotOptimize(i);
    }
    setBytes(state);
}

void bitsetFirstTrue(benchmark::State& state) {
    const auto b = asBitset(lastOnly());
    for (auto _ : state)
        benchmark::DoNotOptimize(b.find_first());
    setBytes(state);
}

const int registered = [] {
    registerBinary(
        "and", [](const XVBitVec& a, const XVBitVec& b) { return a & b; },
        [](std::uint8_t x, std::uint8_t y) -> std::uint8_t { return x && y; },
        [](bool x, bool y) { return x && y; },
        [](const boost::dynamic_bitset<>& a, const boost::dynamic_bitset<>& b) { return a & b; });
    registerBinary(
        "or", [](const XVBitVec& a, const XVBitVec& b) { return a | b; },
        [](std::uint8_t x, std::uint8_t y) -> std::uint8_t { return x || y; },
        [](bool x, bool y) { return x || y; },
        [](const boost::dynamic_bitset<>& a, const boost::dynamic_bitset<>& b) { return a | b; });
    registerBinary(
        "xor", [](const XVBitVec& a, const XVBitVec& b) { return a ^ b; },
        [](std::uint8_t x, std::uint8_t y) -> std::uint8_t { return (x && y) ? 0 : x + y; },
        [](bool x, bool y) { return x != y; },
        [](const boost::dynamic_bitset<>& a, const boost::dynamic_bitset<>& b) { return a ^ b; });
    benchmark::RegisterBenchmark("bitvec.and_256k/ours", oursAndCached);
    benchmark::RegisterBenchmark("bitvec.and_256k/memcpy", memcpyCached);
    benchmark::RegisterBenchmark("bitvec.not/ours", oursNot);
    benchmark::RegisterBenchmark("bitvec.not/vector_uint8", bytesNot);
    benchmark::RegisterBenchmark("bitvec.not/vector_bool", boolsNot);
    benchmark::RegisterBenchmark("bitvec.not/dynamic_bitset", bitsetNot);
    benchmark::RegisterBenchmark("bitvec.not/memcpy", memcpyReference);
    benchmark::RegisterBenchmark("bitvec.and_assign/ours", oursAndAssign);
    benchmark::RegisterBenchmark("bitvec.and_assign/vector_uint8", bytesAndAssign);
    benchmark::RegisterBenchmark("bitvec.and_assign/dynamic_bitset", bitsetAndAssign);
    benchmark::RegisterBenchmark("bitvec.and_assign/memcpy", memcpyInPlace);
    benchmark::RegisterBenchmark("bitvec.first_true/ours", oursFirstTrue);
    benchmark::RegisterBenchmark("bitvec.first_true/memchr", memchrFirstTrue);
    benchmark::RegisterBenchmark("bitvec.first_true/vector_uint8", bytesFirstTrue);
    benchmark::RegisterBenchmark("bitvec.first_true/vector_bool", boolsFirstTrue);
    benchmark::RegisterBenchmark("bitvec.first_true/dynamic_bitset", bitsetFirstTrue);
    return 0;
}();

}  // namespace
