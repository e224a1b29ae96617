#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

// Huge requests must come back as null from the sanitizer's allocator too, so
// that the library can report them.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);

std::vector<unsigned char> bytes(const XVBitVec& v) {
    return v.length() ? std::vector<unsigned char>(v.data(), v.data() + v.length())
                      : std::vector<unsigned char>();
}

XVBitVec vec(std::vector<unsigned char> b) {
    return XVBitVec(b.data(), b.size());
}

template <class E, class F>
std::string thrownText(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    } catch (...) {
        return "wrong exception type";
    }
    return "nothing thrown";
}

TEST(XVBitVec, EmptyVector) {
    XVBitVec v;
    EXPECT_EQ(v.length(), 0u);
    EXPECT_EQ(v.data(), nullptr);
    EXPECT_EQ(v.firstTrue(), npos);
    EXPECT_EQ(v.firstFalse(), npos);
    EXPECT_FALSE(v == true);
    EXPECT_FALSE(v == false);
    EXPECT_FALSE(v != true);
    EXPECT_FALSE(v != false);
    EXPECT_TRUE(v.isEqual(XVBitVec()));
    EXPECT_TRUE(v.isEqual(XVBitVec(0, true)));
    EXPECT_EQ((!v).length(), 0u);
    EXPECT_EQ((v ^ v).length(), 0u);
}

TEST(XVBitVec, FilledAndCopiedVectors) {
    XVBitVec v(5, true);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(v.testBit(i));
    EXPECT_EQ(v.firstFalse(), npos);
    EXPECT_EQ(v.firstTrue(), 0u);
    EXPECT_TRUE(v == true);
    EXPECT_FALSE(v != true);
    EXPECT_TRUE(v != false);
    v.clearBit(3);
    EXPECT_EQ(v.firstFalse(), 3u);
    EXPECT_FALSE(v == true);
    EXPECT_FALSE(v == false);

    v.AddRef();
    XVBitVec copy(v);  // fresh reference count, own storage
    EXPECT_EQ(copy.AddRef(), 2);
    EXPECT_NE(copy.data(), v.data());
    EXPECT_EQ(bytes(copy), bytes(v));
    copy = false;
    EXPECT_TRUE(copy == false);
    EXPECT_EQ(copy.length(), 5u);
    EXPECT_TRUE(v.testBit(0));

    XVBitVec moved(std::move(copy));
    EXPECT_EQ(moved.length(), 5u);
    EXPECT_EQ(copy.length(), 0u);
    copy = std::move(moved);
    EXPECT_TRUE(copy == false);
}

TEST(XVBitVec, IndexChecksThrowTheirOwnTexts) {
    XVBitVec v(3, false);
    const XVBitVec& c = v;
    using R = std::out_of_range;
    EXPECT_EQ(thrownText<R>([&] { v.setBit(3); }), "void XVBitVec::setBit ( size_t i )");
    EXPECT_EQ(thrownText<R>([&] { c.testBit(3); }), "void XVBitVec::setBit ( size_t i )");
    EXPECT_EQ(thrownText<R>([&] { v.clearBit(npos); }), "XVBitVec::clearBit ( size_t i )");
    EXPECT_EQ(thrownText<R>([&] { c[3]; }), "bool XVBitVec::operator [] ( size_t i ) const");
    EXPECT_EQ(thrownText<R>([&] { c(3); }), "bool XVBitVec::operator [] ( size_t i ) const");
    EXPECT_EQ(thrownText<R>([&] { v[3]; }), "bool& XVBitVec::operator [] ( size_t i )");
    EXPECT_EQ(thrownText<R>([&] { v(4); }), "bool& XVBitVec::operator [] ( size_t i )");
    EXPECT_EQ(thrownText<R>([] { XVBitVec().testBit(0); }), "void XVBitVec::setBit ( size_t i )");
    EXPECT_TRUE(v == false);
}

TEST(XVBitVec, RawBytesAreKeptAndReadAsTrue) {
    XVBitVec v(4, false);
    v[1] = 2;
    v(3) = 1;
    EXPECT_TRUE(v.testBit(1));
    EXPECT_TRUE(static_cast<const XVBitVec&>(v)[1]);
    EXPECT_EQ(v.firstTrue(), 3u);  // the byte 2 is not found
    XVBitVec ones = vec({0, 1, 0, 1});
    EXPECT_FALSE(v.isEqual(ones));
    EXPECT_TRUE(v != ones);
    EXPECT_TRUE(vec({2, 255}) == true);
    EXPECT_TRUE(vec({0, 0, 7}) != false);
    EXPECT_EQ(bytes(vec({9, 0, 255})), (std::vector<unsigned char>{9, 0, 255}));
}

TEST(XVBitVec, ElementwiseAlgebra) {
    const XVBitVec a = vec({1, 1, 0, 0}), b = vec({1, 0, 1, 0});
    using B = std::vector<unsigned char>;
    EXPECT_EQ(bytes(a ^ b), (B{0, 1, 1, 0}));
    EXPECT_EQ(bytes(a | b), (B{1, 1, 1, 0}));
    EXPECT_EQ(bytes(a & b), (B{1, 0, 0, 0}));
    EXPECT_EQ(bytes(!a), (B{0, 0, 1, 1}));
    XVBitVec x = a, o = a, n = a;
    EXPECT_EQ(bytes(x ^= b), (B{0, 1, 1, 0}));
    EXPECT_EQ(bytes(o |= b), (B{1, 1, 1, 0}));
    EXPECT_EQ(bytes(n &= b), (B{1, 0, 0, 0}));
    EXPECT_EQ(bytes(a), (B{1, 1, 0, 0}));  // operands unchanged

    // Foreign bytes: ^ passes on the non-zero byte, | and & normalise to 1.
    const XVBitVec r = vec({2, 2, 0, 255}), s = vec({0, 1, 3, 0});
    EXPECT_EQ(bytes(r ^ s), (B{2, 0, 3, 255}));
    EXPECT_EQ(bytes(r | s), (B{1, 1, 1, 1}));
    EXPECT_EQ(bytes(r & s), (B{0, 1, 0, 0}));
    EXPECT_EQ(bytes(!r), (B{0, 0, 1, 0}));
}

TEST(XVBitVec, LengthMismatchThrowsAndChangesNothing) {
    XVBitVec a(3, true), b(4, false);
    using L = std::length_error;
    const std::string compound = "XVBitVec& XVBitVec::operator ^= ( const XVBitVec& vec )";
    const std::string twoOperand =
        "XVBitVec\t\toperator ! ( const XVBitVec& a, const XVBitVec& b )";
    EXPECT_EQ(thrownText<L>([&] { a ^= b; }), compound);
    EXPECT_EQ(thrownText<L>([&] { a |= b; }), compound);
    EXPECT_EQ(thrownText<L>([&] { a &= b; }), compound);
    EXPECT_EQ(thrownText<L>([&] { a ^ b; }), twoOperand);
    EXPECT_EQ(thrownText<L>([&] { a | b; }), twoOperand);
    EXPECT_EQ(thrownText<L>([&] { b& a; }), twoOperand);
    EXPECT_EQ(a.length(), 3u);
    EXPECT_TRUE(a == true);
    EXPECT_TRUE(b == false);
}

// The bulk loops run in blocks with a scalar tail: compare them with a plain
// per-element reference across block boundaries and on arbitrary bytes.
TEST(XVBitVec, BulkOperatorsMatchElementRuleAtEveryLength) {
    std::mt19937 rng(7);
    const unsigned char pool[] = {0, 0, 1, 1, 2, 255};
    for (std::size_t n : {1u, 15u, 63u, 64u, 65u, 127u, 128u, 200u, 1000u}) {
        std::vector<unsigned char> x(n), y(n);
        for (std::size_t i = 0; i < n; ++i) {
            x[i] = pool[rng() % 6];
            y[i] = pool[rng() % 6];
        }
        const XVBitVec a = vec(x), b = vec(y);
        const auto ex = bytes(a ^ b), eo = bytes(a | b), ea = bytes(a & b), en = bytes(!a);
        XVBitVec cx = a, co = a, ca = a;
        cx ^= b;
        co |= b;
        ca &= b;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char xor1 = (x[i] && y[i]) ? 0 : x[i] + y[i];
            ASSERT_EQ(ex[i], xor1) << n << ":" << i;
            ASSERT_EQ(cx[i], xor1) << n << ":" << i;
            ASSERT_EQ(eo[i], (x[i] || y[i]) ? 1 : 0) << n << ":" << i;
            ASSERT_EQ(co[i], eo[i]);
            ASSERT_EQ(ea[i], (x[i] && y[i]) ? 1 : 0) << n << ":" << i;
            ASSERT_EQ(ca[i], ea[i]);
            ASSERT_EQ(en[i], x[i] ? 0 : 1) << n << ":" << i;
        }
        // A lone set or clear element anywhere decides == and != and the searches.
        XVBitVec z(n, false);
        z.setBit(n - 1);
        EXPECT_TRUE(z != false) << n;
        EXPECT_FALSE(z == false) << n;
        EXPECT_EQ(z.firstTrue(), n - 1);
        EXPECT_EQ((!z).firstFalse(), n - 1);
    }
}

TEST(XVBitVec, SelfOperandsAndSelfAssignment) {
    XVBitVec v = vec({1, 0, 2, 1});
    v = v;
    EXPECT_EQ(bytes(v), (std::vector<unsigned char>{1, 0, 2, 1}));
    EXPECT_EQ(bytes(v & v), (std::vector<unsigned char>{1, 0, 1, 1}));
    v ^= v;
    EXPECT_TRUE(v == false);
}

TEST(XVBitVec, ResizeKeepsRemainingElements) {
    XVBitVec v = vec({1, 0, 1, 1, 0});
    const unsigned char* before = v.data();
    v.resize(2);
    EXPECT_EQ(v.length(), 2u);
    EXPECT_EQ(v.data(), before);  // shrinking keeps the buffer
    EXPECT_EQ(bytes(v), (std::vector<unsigned char>{1, 0}));
    v.resize(6);
    EXPECT_EQ(v.length(), 6u);
    EXPECT_EQ(v.data()[0], 1);
    EXPECT_EQ(v.data()[1], 0);
    XVBitVec w;
    w.resize(3);
    EXPECT_EQ(w.length(), 3u);
    EXPECT_NE(w.data(), nullptr);
}

TEST(XVBitVec, ImpossibleSizesThrowAndLeaveTheVectorUnchanged) {
    const std::string text = "void XVBitVec::resize ( size_t N )";
    using E = std::runtime_error;
    const std::size_t beyondObjectLimit = static_cast<std::size_t>(PTRDIFF_MAX) + 1;
    const std::size_t petabyte = std::size_t{1} << 50;
    for (std::size_t n : {npos, beyondObjectLimit, petabyte}) {
        XVBitVec v(3, true);
        EXPECT_EQ(thrownText<E>([&] { v.resize(n); }), text) << n;
        EXPECT_EQ(v.length(), 3u);
        EXPECT_TRUE(v == true);
        XVBitVec fresh;
        EXPECT_EQ(thrownText<E>([&] { fresh.resize(n); }), text) << n;
        EXPECT_EQ(fresh.length(), 0u);
        EXPECT_EQ(thrownText<E>([&] { XVBitVec(n, false); }), text) << n;
        const unsigned char one = 1;
        EXPECT_EQ(thrownText<E>([&] { XVBitVec(&one, n); }), text) << n;
    }
}

}  // namespace
