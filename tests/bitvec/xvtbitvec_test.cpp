#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <stdexcept>
#include <string>

namespace {

using Set = XVTBitVec<256>;

std::string outOfRangeText(void (*f)(Set&), Set& s) {
    try {
        f(s);
    } catch (const std::out_of_range& e) {
        return e.what();
    }
    return "no std::out_of_range";
}

TEST(XVTBitVec, PackingBoundsAndComplement) {
    Set s;
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_FALSE(s.testBit(i)) << i;
    EXPECT_EQ(outOfRangeText([](Set& x) { x.testBit(256); }, s),
              "void XVTBitVec<N>::testBit ( size_t i )");
    EXPECT_EQ(outOfRangeText([](Set& x) { x.setBit(static_cast<std::size_t>(-1)); }, s),
              "void XVTBitVec<N>::setBit ( size_t i )");
    s.setBit(65);  // bit 1 of word 2 and nothing else
    for (std::size_t w = 0; w < Set::kWords; ++w)
        EXPECT_EQ(s.word(w), w == 2 ? 2u : 0u) << w;

    Set all, copy(s);
    for (std::size_t i = 0; i < 256; ++i)
        all.setBit(i);
    s ^= all;
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(s.testBit(i), i != 65) << i;
    EXPECT_TRUE(copy.testBit(65));
    EXPECT_FALSE(copy.testBit(64));  // the copy kept its own bits
}

TEST(XVTValArray, AppendsAndInsertsIndependentCopies) {
    XVTValArray<Set> sets;
    Set value;
    for (std::size_t i = 0; i < 5; ++i) {
        value.setBit(i);
        sets.append(value);
    }
    ASSERT_EQ(sets.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_FALSE(sets[i].testBit(i + 1)) << i;
    sets.insert(0, Set(), 2);
    ASSERT_EQ(sets.size(), 7u);
    EXPECT_EQ(sets[1], Set());
    EXPECT_TRUE(sets[2].testBit(0));
    EXPECT_THROW(sets.insert(8, value), std::out_of_range);
    EXPECT_THROW(sets.at(7), std::out_of_range);
}

}  // namespace
