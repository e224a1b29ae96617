// What QNLocaleSnapshot captures where formatting and reading do not show it:
// C's clamped money numbers, a layout over 255 bytes, the runtime's locale
// left as it was.

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>
#include <vector>

#include <xvkit/qnlocale.h>

#include "locale_test_support.h"

namespace {

using namespace locale_test;

TEST(SnapshotCapture, ClampsTheNumbersTheCLocaleLacks) {
    // CHAR_MAX everywhere in C: digits become 0, the sign positions 0 and 1,
    // the precedence and blank flags stay 127. (The money pattern rows each
    // locale picks show in SnapshotFormat.MoneyInEveryPatternRowAndSymbol.)
    const QNLocaleSnapshot c("C");
    const auto& k = c.conventions();
    EXPECT_EQ((std::vector<int>{k.fracDigits, k.intFracDigits, k.nSignPosn, k.pSignPosn,
                                k.pCsPrecedes, k.nSepBySpace}),
              (std::vector<int>{0, 0, 0, 1, 127, 127}));
}

TEST(SnapshotCapture, TakesTheFirstOccurrenceInALongLayout) {
    // xv_EDGE's "%A %B %B %B %B %B %e %Y" with 50-byte names is over 255 bytes
    // (the peer test fills it for the probe date). Only the first occurrence
    // of a probe text is taken; 'b' then finds "Nov" inside the second month
    // name.
    const QNLocaleSnapshot edge("xv_EDGE.UTF-8");
    using Nodes = std::vector<std::pair<int, int>>;
    Nodes c;  // (component, position)
    for (const QNTimeFmtList* node = edge.conventions().listForc; node; node = node->next)
        c.emplace_back(node->component, node->position);
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c, (Nodes{{10, 0}, {8, 1}, {9, 2}, {18, c[3].second}, {0, c[3].second + 1}}));
}

TEST(SnapshotCapture, LeavesTheRuntimeLocaleAsItWas) {
    RuntimeLocale german("de_DE.UTF-8");
    const std::string before = setlocale(LC_ALL, nullptr);
    EXPECT_EQ(QNLocaleSnapshot("C").conventions().decimalPoint, ".");
    EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
    // Null and an unknown name capture the current locale; nothing is reported.
    for (const char* name : {static_cast<const char*>(nullptr), "xx_NOWHERE.UTF-8"}) {
        const QNLocaleSnapshot current(name);
        EXPECT_EQ(current.conventions().localeName, before);
        EXPECT_EQ(current.conventions().decimalPoint, ",");
        EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
    }
    // A mixed runtime locale is restored category by category.
    setlocale(LC_NUMERIC, "en_US.UTF-8");
    const std::string mixed = setlocale(LC_ALL, nullptr);
    EXPECT_EQ(QNLocaleSnapshot("ja_JP.UTF-8").conventions().localeName, "ja_JP.UTF-8");
    EXPECT_EQ(setlocale(LC_ALL, nullptr), mixed);
}

}  // namespace
