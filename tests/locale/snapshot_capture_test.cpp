// What QNLocaleSnapshot captures from real glibc locales: the clamped
// money numbers and pattern rows, names, layouts decomposed into literal
// text and component lists, blank-fill detection, the date order, and the
// runtime's locale left as it was.

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <xvkit/qnlocale.h>

#include "snapshot_test_support.h"

namespace {

using namespace snapshot_test;

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new LocalesPresent);

// A component list as (component, position) pairs.
std::vector<std::pair<int, int>> nodes(const QNTimeFmtList* list) {
    std::vector<std::pair<int, int>> out;
    for (; list; list = list->next)
        out.emplace_back(list->component, list->position);
    return out;
}

using Nodes = std::vector<std::pair<int, int>>;

TEST(SnapshotCapture, ClampsTheNumbersTheCLocaleLacks) {
    const QNLocaleSnapshot c("C");
    const auto& k = c.conventions();
    EXPECT_EQ(k.localeName, "C");
    EXPECT_EQ(k.decimalPoint, ".");
    EXPECT_EQ(k.thousandsSep, "");
    EXPECT_EQ(k.grouping, "");
    // CHAR_MAX everywhere: digits become 0, the sign positions 0 and 1, the
    // precedence and blank flags stay 127.
    EXPECT_EQ(k.fracDigits, 0);
    EXPECT_EQ(k.intFracDigits, 0);
    EXPECT_EQ(k.nSignPosn, 0);
    EXPECT_EQ(k.pSignPosn, 1);
    EXPECT_EQ(k.pCsPrecedes, 127);
    EXPECT_EQ(k.nSepBySpace, 127);
    EXPECT_EQ(k.fracScale, 1.0);
    EXPECT_EQ(k.intFracScale, 1.0);
    // 127 & 1 is 1: rows 6 and 5.
    EXPECT_EQ(std::string(k.moneyPosPattern, 4), "-$ m");
    EXPECT_EQ(std::string(k.moneyNegPattern, 4), "($ m");
    EXPECT_EQ(k.am, "AM");
    EXPECT_EQ(k.weekDays[0], "Sunday");
    EXPECT_EQ(k.monthAbbs[11], "Dec");
}

TEST(SnapshotCapture, PicksTheMoneyPatternRowsFromOneTable) {
    const char* const table = "(m $-m $m $-m- $m $-($ m-$ m$ m--$ m$ -m";
    const struct {
        const char* locale;
        int positiveRow, negativeRow;
    } cases[] = {{"C", 6, 5},
                 {"en_US.UTF-8", 6, 6},
                 {"de_DE.UTF-8", 1, 1},
                 {"ja_JP.UTF-8", 9, 9},
                 {"xv_TEST.UTF-8", 8, 4},
                 {"xv_EDGE.UTF-8", 0, 7},
                 {"xv_ROWS.UTF-8", 2, 3}};
    const char* rowSix = nullptr;
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.locale);
        const QNLocaleSnapshot s(expected.locale);
        const auto& k = s.conventions();
        EXPECT_EQ(std::string(k.moneyPosPattern, 4),
                  std::string(table + 4 * expected.positiveRow, 4));
        EXPECT_EQ(std::string(k.moneyNegPattern, 4),
                  std::string(table + 4 * expected.negativeRow, 4));
        // Both point into the one shared table.
        EXPECT_EQ(k.moneyPosPattern - k.moneyNegPattern,
                  4 * (expected.positiveRow - expected.negativeRow));
        if (expected.positiveRow == 6) {
            if (rowSix) {
                EXPECT_EQ(k.moneyPosPattern, rowSix);
            }
            rowSix = k.moneyPosPattern;
        }
    }
    const QNLocaleSnapshot ownSnapshot("xv_TEST.UTF-8");
    const auto& own = ownSnapshot.conventions();
    EXPECT_EQ(own.fracDigits, 3);
    EXPECT_EQ(own.fracScale, 1000.0);
    EXPECT_EQ(own.monGrouping, "\x02\x7f");  // 2;-1: CHAR_MAX
    EXPECT_EQ(own.intCurrSymbol, "EUR ");    // its separator kept
    EXPECT_EQ(own.pSepBySpace, 1);
}

TEST(SnapshotCapture, DecomposesLayoutsInComponentOrder) {
    const struct {
        const char* locale;
        const char* text;
        Nodes list;
        int dateOrder;
    } dates[] = {
        {"C", "//", {{7, 0}, {13, 1}, {1, 2}}, 1},
        {"en_US.UTF-8", "//", {{7, 0}, {13, 1}, {0, 2}}, 1},
        {"de_DE.UTF-8", "..", {{13, 0}, {7, 1}, {0, 2}}, 0},
        {"sv_SE.UTF-8", "--", {{0, 0}, {7, 1}, {13, 2}}, 3},
        {"xv_ROWS.UTF-8", "..", {{0, 0}, {13, 1}, {7, 2}}, 2},
        // "1990年11月30日": positions count bytes.
        {"ja_JP.UTF-8", "年月日", {{0, 0}, {7, 3}, {13, 6}}, 3},
        // "19901130": every component at 0, in removal order.
        {"xv_EDGE.UTF-8", "", {{0, 0}, {7, 0}, {13, 0}}, 3},
        // " 3// 2//1997" style: both numbers blank-filled.
        {"xv_TEST.UTF-8", "//", {{19, 0}, {18, 1}, {0, 2}}, 1},
    };
    for (const auto& expected : dates) {
        SCOPED_TRACE(expected.locale);
        const QNLocaleSnapshot s(expected.locale);
        EXPECT_EQ(s.conventions().textForx, expected.text);
        EXPECT_EQ(nodes(s.conventions().listForx), expected.list);
        EXPECT_EQ(s.conventions().dateOrder, expected.dateOrder);
    }

    // "Fri 30 Nov 1990 10:54:56 PM <zone>": "1990" goes before "90" and
    // "10" is the 12-hour clock, since 'I' is looked for before 'H'.
    const QNLocaleSnapshot us("en_US.UTF-8");
    EXPECT_EQ(nodes(us.conventions().listForc),
              (Nodes{{11, 0}, {13, 1}, {9, 2}, {0, 3}, {5, 4}, {4, 5}, {3, 6}, {12, 7}, {14, 8}}));
    EXPECT_EQ(us.conventions().textForc, "    ::  ");
    EXPECT_EQ(nodes(us.conventions().listForX), (Nodes{{5, 0}, {4, 1}, {3, 2}, {12, 3}}));
    // 'C' is the century, which no component matches: literal, null list.
    EXPECT_EQ(us.conventions().textForC, "19");
    EXPECT_EQ(us.conventions().listForC, nullptr);

    // The C 'c' layout "%a %b %e %H:%M:%S %Y" blank-fills its day; the
    // time layout is never examined for blank fill.
    const QNLocaleSnapshot c("C");
    EXPECT_EQ(nodes(c.conventions().listForc),
              (Nodes{{11, 0}, {9, 1}, {18, 2}, {6, 3}, {4, 4}, {3, 5}, {0, 6}}));
    // xv_EDGE's 'X' is "%l:%M %p": the blank-filled hour "10" is taken for
    // 'I' and stays zero-filled.
    EXPECT_EQ(nodes(QNLocaleSnapshot("xv_EDGE.UTF-8").conventions().listForX),
              (Nodes{{5, 0}, {4, 1}, {12, 2}}));
}

TEST(SnapshotCapture, ReadsLongLayoutsAndOddNames) {
    // "%A %B %B %B %B %B %e %Y" with a 50-byte weekday and month name: more
    // than 255 bytes. Only the first occurrence of a probe text is taken; 'b'
    // then finds "Nov" inside the second month name.
    const QNLocaleSnapshot edge("xv_EDGE.UTF-8");
    const auto& k = edge.conventions();
    EXPECT_EQ(k.weekDays[5].size(), 50u);
    EXPECT_EQ(k.monthNames[10].size(), 50u);
    const Nodes list = nodes(k.listForc);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0], (std::pair<int, int>{10, 0}));
    EXPECT_EQ(list[1], (std::pair<int, int>{8, 1}));
    EXPECT_EQ(list[2], (std::pair<int, int>{9, 2}));
    EXPECT_EQ(list[3].first, 18);
    EXPECT_EQ(list[4], (std::pair<int, int>{0, list[3].second + 1}));
    {
        RuntimeLocale runtime("xv_EDGE.UTF-8");
        // The weekday and month names, "Nov", "30" and "1990" are taken out.
        EXPECT_EQ(k.textForc.size(), strftimeText("%c", probeTm()).size() - (50 + 50 + 3 + 2 + 4));
    }
    EXPECT_EQ(k.grouping, "32");  // the digits '3' and '2'

    // Short names lose trailing blanks but keep leading ones.
    EXPECT_EQ(QNLocaleSnapshot("xv_TEST.UTF-8").conventions().monthAbbs[4], "May");
    const QNLocaleSnapshot japan("ja_JP.UTF-8");
    EXPECT_EQ(japan.conventions().monthAbbs[0], " 1月");
    EXPECT_EQ(japan.conventions().monthNamesWithDigits, 24);
    EXPECT_EQ(QNLocaleSnapshot("en_US.UTF-8").conventions().monthNamesWithDigits, 0);
    // German has no morning/afternoon markers.
    EXPECT_EQ(QNLocaleSnapshot("de_DE.UTF-8").conventions().am, "");
}

TEST(SnapshotCapture, LeavesTheRuntimeLocaleAsItWas) {
    RuntimeLocale german("de_DE.UTF-8");
    const std::string before = setlocale(LC_ALL, nullptr);
    const QNLocaleSnapshot c("C");
    EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
    EXPECT_EQ(c.conventions().decimalPoint, ".");
    // Null: the current locale, nothing switched.
    const QNLocaleSnapshot current;
    EXPECT_EQ(current.conventions().localeName, before);
    EXPECT_EQ(current.conventions().decimalPoint, ",");
    EXPECT_EQ(current.conventions().dateOrder, 0);
    // An unknown name captures the current locale; nothing is reported.
    const QNLocaleSnapshot unknown("xx_NOWHERE.UTF-8");
    EXPECT_EQ(unknown.conventions().localeName, before);
    EXPECT_EQ(unknown.conventions().thousandsSep, ".");
    EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
    // A mixed runtime locale is restored category by category.
    setlocale(LC_NUMERIC, "en_US.UTF-8");
    const std::string mixed = setlocale(LC_ALL, nullptr);
    const QNLocaleSnapshot japan("ja_JP.UTF-8");
    EXPECT_EQ(setlocale(LC_ALL, nullptr), mixed);
    EXPECT_EQ(japan.conventions().localeName, "ja_JP.UTF-8");
}

}  // namespace
