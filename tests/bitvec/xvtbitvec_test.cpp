#include <gtest/gtest.h>

#include <xvkit/xvbitvec.h>
#include <stdexcept>
#include <string>

namespace {

using Set = XVTBitVec<256>;

TEST(XVTBitVec, PackingBoundsAndComplement) {
    Set s, all;
    try {
        s.testBit(256);
        ADD_FAILURE() << "testBit(256) did not throw";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "void XVTBitVec<N>::testBit ( size_t i )");
    }
    try {
        s.setBit(static_cast<std::size_t>(-1));
        ADD_FAILURE() << "setBit(-1) did not throw";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "void XVTBitVec<N>::setBit ( size_t i )");
    }
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
