#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <stdexcept>
#include <string>

namespace {

using Set = XVTBitVec<256>;

template <class F>
std::string outOfRangeText(F f) {
    try {
        f();
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "no std::out_of_range";
}

TEST(XVTBitVec, FreshSetIsClearAndBoundsAreChecked) {
    Set s;
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_FALSE(s.testBit(i)) << i;
    EXPECT_EQ(outOfRangeText([&] { s.testBit(256); }), "void XVTBitVec<N>::testBit ( size_t i )");
    EXPECT_EQ(outOfRangeText([&] { s.setBit(256); }), "void XVTBitVec<N>::setBit ( size_t i )");
    EXPECT_EQ(outOfRangeText([&] { s.setBit(static_cast<std::size_t>(-1)); }),
              "void XVTBitVec<N>::setBit ( size_t i )");
    EXPECT_EQ(s, Set());  // failed calls changed nothing
}

TEST(XVTBitVec, BitsArePackedLowBitFirstInto32BitWords) {
    Set s;
    s.setBit(65);
    for (std::size_t w = 0; w < Set::kWords; ++w)
        EXPECT_EQ(s.word(w), w == 2 ? 2u : 0u) << w;
    s.setBit(31);
    EXPECT_EQ(s.word(0), 0x80000000u);
    s.clearBit(65);
    EXPECT_FALSE(s.testBit(65));
    EXPECT_TRUE(s.testBit(31));
}

TEST(XVTBitVec, ExclusiveOrWithAllSetIsTheComplementAndCopiesAreIndependent) {
    Set all, s;
    for (std::size_t i = 0; i < 256; ++i)
        all.setBit(i);
    s.setBit(0);
    s.setBit(200);
    Set copy(s);
    s ^= all;
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(s.testBit(i), i != 0 && i != 200) << i;
    EXPECT_TRUE(copy.testBit(0));
    EXPECT_FALSE(copy.testBit(1));
    copy = s;
    EXPECT_EQ(copy, s);
}

TEST(XVTValArray, AppendsAndInsertsIndependentCopies) {
    XVTValArray<Set> sets;
    Set value;
    for (std::size_t i = 0; i < 5; ++i) {
        value.setBit(i);
        sets.append(value);
    }
    ASSERT_EQ(sets.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_TRUE(sets[i].testBit(i));
        EXPECT_FALSE(sets[i].testBit(i + 1)) << "element " << i << " shares storage";
    }
    sets.insert(0, Set(), 2);
    sets.insert(sets.size(), value);
    ASSERT_EQ(sets.size(), 8u);
    EXPECT_EQ(sets[0], Set());
    EXPECT_TRUE(sets[2].testBit(0));
    EXPECT_EQ(sets[7], value);
    EXPECT_THROW(sets.insert(9, value), std::out_of_range);
    EXPECT_THROW(sets.at(8), std::out_of_range);
}

}  // namespace
