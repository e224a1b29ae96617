#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Huge requests must come back as null from the sanitizer's allocator too, so
// that the library can report them.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

using Bytes = std::vector<unsigned char>;
constexpr std::size_t npos = static_cast<std::size_t>(-1);

Bytes bytes(const XVBitVec& v) {
    return v.length() ? Bytes(v.data(), v.data() + v.length()) : Bytes();
}
XVBitVec vec(Bytes b) {
    return XVBitVec(b.data(), b.size());
}

// The type and text of what `f` throws.
std::string thrown(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::out_of_range& e) {
        return std::string("out_of_range: ") + e.what();
    } catch (const std::length_error& e) {
        return std::string("length_error: ") + e.what();
    } catch (const std::runtime_error& e) {
        return std::string("runtime_error: ") + e.what();
    }
    return "nothing thrown";
}

TEST(XVBitVec, EmptyAndFilledVectors) {
    XVBitVec e;
    EXPECT_TRUE(e.firstTrue() == npos && e.firstFalse() == npos);
    EXPECT_FALSE(e == true || e == false || e != true || e != false);
    EXPECT_TRUE(e.isEqual(XVBitVec(0, true)));

    XVBitVec v(5, true);
    EXPECT_TRUE(v.firstFalse() == npos && v.firstTrue() == 0);
    EXPECT_TRUE(v == true && !(v != true) && v != false);
    v.clearBit(3);
    EXPECT_EQ(v.firstFalse(), 3u);
    EXPECT_FALSE(v == true || v == false);
    XVBitVec one(1, false), other(1, true);  // assignments reach even a single element
    one = other;
    other = false;
    EXPECT_TRUE(one == true && other == false);
}

// Copies never take another vector's storage or reference count: a temporary
// or a moved-from vector is copied, so the target keeps its buffer and the
// source its value.
TEST(XVBitVec, CopiesKeepTheirOwnStorage) {
    XVBitVec v(8, true);
    const unsigned char* const buffer = v.data();
    v = XVBitVec(3, false);  // shrinking: the same buffer, the new bytes
    EXPECT_EQ(v.data(), buffer);
    EXPECT_EQ(bytes(v), Bytes(3, 0));
    v = vec({1, 0, 1, 0, 1, 0, 1, 0});  // growing reallocates, wherever realloc puts it
    EXPECT_EQ(bytes(v), Bytes({1, 0, 1, 0, 1, 0, 1, 0}));

    XVBitVec source = vec({0, 1, 1});
    source.AddRef();
    XVBitVec built(std::move(source));
    EXPECT_EQ(built.AddRef(), 2);
    XVBitVec assigned(1, false);
    assigned = std::move(source);
    for (const XVBitVec* w : {&source, &built, &assigned})
        EXPECT_EQ(bytes(*w), Bytes({0, 1, 1}));
    EXPECT_TRUE(built.data() != source.data() && assigned.data() != source.data());

    // Even zero elements are storage of its own, unlike a default vector's.
    EXPECT_NE(XVBitVec(0, true).data(), nullptr);
    XVBitVec empty;
    EXPECT_NE(XVBitVec(empty).data(), nullptr);
    EXPECT_EQ(empty.data(), nullptr);
}

// Several texts are deliberately shared between operations.
TEST(XVBitVec, FailuresThrowTheirOwnTextsAndChangeNothing) {
    XVBitVec v(3, false), w(4, true);
    const XVBitVec& c = v;
    const std::string index = "out_of_range: void XVBitVec::setBit ( size_t i )";
    const std::string compound =
        "length_error: XVBitVec& XVBitVec::operator ^= ( const XVBitVec& vec )";
    const std::string twoOperand =
        "length_error: XVBitVec\t\toperator ! ( const XVBitVec& a, const XVBitVec& b )";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { v.setBit(3); }, index},
        {[&] { c.testBit(3); }, index},
        {[] { XVBitVec().testBit(0); }, index},
        {[&] { v.clearBit(npos); }, "out_of_range: XVBitVec::clearBit ( size_t i )"},
        {[&] { c[3]; }, "out_of_range: bool XVBitVec::operator [] ( size_t i ) const"},
        {[&] { c(3); }, "out_of_range: bool XVBitVec::operator [] ( size_t i ) const"},
        {[&] { v[3]; }, "out_of_range: bool& XVBitVec::operator [] ( size_t i )"},
        {[&] { v(4); }, "out_of_range: bool& XVBitVec::operator [] ( size_t i )"},
        {[&] { v ^= w; }, compound},
        {[&] { v |= w; }, compound},
        {[&] { v &= w; }, compound},
        {[&] { v ^ w; }, twoOperand},
        {[&] { w | v; }, twoOperand},
        {[&] { w& v; }, twoOperand},
    };
    for (const auto& [f, text] : cases)
        EXPECT_EQ(thrown(f), text);
    EXPECT_TRUE(v.length() == 3 && v == false && w.length() == 4 && w == true);
}

// The element rules of the operators are checked in bulk below; here raw
// bytes and a vector on both sides of an operator.
TEST(XVBitVec, RawBytesAndTheAlgebra) {
    XVBitVec v(4, false);
    v[1] = 2;
    v(3) = 1;
    EXPECT_TRUE(v.testBit(1) && static_cast<const XVBitVec&>(v)[1]);
    EXPECT_EQ(v.firstTrue(), 3u);  // the byte 2 is not found
    EXPECT_FALSE(v.isEqual(vec({0, 1, 0, 1})));
    EXPECT_TRUE(v.isEqual(vec({0, 2, 0, 1})));
    EXPECT_FALSE(v.isEqual(vec({0, 2, 0})));
    // Comparisons with a bool read any non-zero byte as true.
    const XVBitVec foreign = vec({2, 255, 1});
    EXPECT_TRUE(foreign == true && foreign != false && !(foreign != true));
    EXPECT_TRUE(foreign.firstFalse() == npos && foreign.firstTrue() == 2);

    XVBitVec x = vec({1, 1, 0, 0});
    EXPECT_EQ(bytes(x ^= vec({1, 0, 1, 0})), (Bytes{0, 1, 1, 0}));  // returns the target
    XVBitVec self = vec({1, 0, 2, 1});
    self = self;
    EXPECT_EQ(bytes(self), (Bytes{1, 0, 2, 1}));
    EXPECT_EQ(bytes(self & self), (Bytes{1, 0, 1, 1}));
    EXPECT_TRUE((self ^= self) == false);
}

// The kernels run in vector blocks with a scalar tail: compare them with the
// element rule across block boundaries and on arbitrary bytes (^ passes on the
// non-zero byte, | and & normalise to 1).
TEST(XVBitVec, BulkOperatorsMatchTheElementRuleAtEveryLength) {
    std::mt19937 rng(7);
    const unsigned char pool[] = {0, 0, 1, 1, 2, 255};
    for (std::size_t n : {1u, 31u, 63u, 64u, 65u, 129u, 1000u}) {
        Bytes x(n), y(n);
        for (Bytes* b : {&x, &y})
            std::generate(b->begin(), b->end(), [&] { return pool[rng() % 6]; });
        const XVBitVec a = vec(x), b = vec(y);
        XVBitVec cx = a, co = a, ca = a;
        cx ^= b;
        co |= b;
        ca &= b;
        const Bytes ex = bytes(a ^ b), eo = bytes(a | b), ea = bytes(a & b), en = bytes(!a);
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char xr = (x[i] && y[i]) ? 0 : x[i] + y[i];
            ASSERT_TRUE(ex[i] == xr && cx[i] == xr) << n << ":" << i;
            ASSERT_TRUE(eo[i] == ((x[i] || y[i]) ? 1 : 0) && co[i] == eo[i]) << n << ":" << i;
            ASSERT_TRUE(ea[i] == ((x[i] && y[i]) ? 1 : 0) && ca[i] == ea[i]) << n << ":" << i;
            ASSERT_EQ(en[i], x[i] ? 0 : 1) << n << ":" << i;
        }
        // One set element at the start (inside the first vector block on long
        // vectors), in the middle and at the very end (in the scalar tail).
        for (std::size_t at : {std::size_t{0}, n / 2, n - 1}) {
            XVBitVec z(n, false);
            z.setBit(at);
            EXPECT_TRUE(z != false && !(z == false)) << n << ":" << at;
            EXPECT_EQ(z.firstTrue(), at);
            EXPECT_EQ((!z).firstFalse(), at);
        }
    }
}

TEST(XVBitVec, ResizeAndImpossibleSizes) {
    XVBitVec v = vec({1, 0, 1, 1, 0});
    const unsigned char* before = v.data();
    v.resize(2);
    EXPECT_EQ(v.data(), before);  // shrinking keeps the buffer
    v.resize(6);
    EXPECT_EQ(v.length(), 6u);
    EXPECT_EQ(Bytes(v.data(), v.data() + 2), (Bytes{1, 0}));

    const std::string text = "runtime_error: void XVBitVec::resize ( size_t N )";
    const unsigned char one = 1;
    for (std::size_t n : {npos, static_cast<std::size_t>(PTRDIFF_MAX) + 1, std::size_t{1} << 50}) {
        XVBitVec w(3, true), fresh;
        EXPECT_EQ(thrown([&] { w.resize(n); }), text) << n;
        EXPECT_TRUE(w.length() == 3 && w == true);
        EXPECT_EQ(thrown([&] { fresh.resize(n); }), text) << n;
        EXPECT_EQ(fresh.length(), 0u);
        EXPECT_EQ(thrown([&] { XVBitVec(n, false); }), text) << n;
        EXPECT_EQ(thrown([&] { XVBitVec(&one, n); }), text) << n;
    }
}

using Set = XVTBitVec<256>;

TEST(XVTBitVec, PackingBoundsAndComplement) {
    Set s, all;
    EXPECT_EQ(thrown([&] { s.testBit(256); }),
              "out_of_range: void XVTBitVec<N>::testBit ( size_t i )");
    EXPECT_EQ(thrown([&] { s.setBit(npos); }),
              "out_of_range: void XVTBitVec<N>::setBit ( size_t i )");
    s.setBit(65);  // bit 1 of word 2 and nothing else
    for (std::size_t w = 0; w < Set::kWords; ++w)
        EXPECT_EQ(s.word(w), w == 2 ? 2u : 0u) << w;
    for (std::size_t i = 0; i < 256; ++i)
        all.setBit(i);
    s ^= all;
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(s.testBit(i), i != 65) << i;
}

TEST(XVTValArray, AppendsAndInsertsIndependentCopies) {
    XVTValArray<Set> sets;
    Set value;
    for (std::size_t i = 0; i < 5; ++i) {
        value.setBit(i);
        sets.append(value);
    }
    sets.insert(0, Set(), 2);
    ASSERT_EQ(sets.size(), 7u);
    EXPECT_TRUE(sets[0] == Set() && sets[1] == Set());
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(sets[i + 2].testBit(i) && !sets[i + 2].testBit(i + 1)) << i;
    EXPECT_THROW(sets.insert(8, value), std::out_of_range);
    EXPECT_THROW(sets.at(7), std::out_of_range);
}

}  // namespace
