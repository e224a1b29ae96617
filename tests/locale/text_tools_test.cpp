// The locale writers' shared tools: the digit grouping that writers and
// readers share, and the text buffer every writer appends to.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "locale/digit_grouping.h"
#include "locale/text_buffer.h"

namespace {

using xvkit::locale::DigitGrouping;
using xvkit::locale::TextBuffer;

std::string grouped(const XVString& sizes, const XVString& separator, std::string_view digits) {
    TextBuffer out;
    DigitGrouping(sizes, separator).append(out, digits);
    return std::string(out.view());
}

// Group sizes are the low four bits of each byte, rightmost group first, the
// last one repeating; a size of 0 ends the grouping.
TEST(DigitGrouping, WritesSeparatorsWhereTheSizesEndGroups) {
    struct Row {
        const char* sizes;
        const char* separator;
        const char* digits;
        const char* text;
    };
    for (const Row& row : std::vector<Row>{
             {"\3", ",", "1234567", "1,234,567"},
             {"\3", ",", "123", "123"},
             {"\3", ",", "", ""},
             {"\3\2", ",", "1234567", "12,34,567"},
             {"3", ".", "1234567", "1.234.567"},  // the printed digit '3' means 3
             {"\x7f", ",", "12345678901234567890", "12345,678901234567890"},  // 127 means 15
             {"", ",", "1234567", "1234567"},
             {"\3\x10", ",", "123456789", "123456,789"},  // a size of 0 ends the grouping
             {"\x10\3", ",", "123456789", "123456789"},
             {"\1\2\3", "\xe2\x80\xaf", "123456789",
              "123\xe2\x80\xaf"
              "456\xe2\x80\xaf"
              "78\xe2\x80\xaf"
              "9"},
             {"\4", "", "123456789", "123456789"},
         }) {
        EXPECT_EQ(grouped(XVString(row.sizes), XVString(row.separator), row.digits), row.text)
            << row.digits;
    }
}

// Separator positions, as the readers record them: the digits before each.
std::vector<int> positionsIn(std::string_view text, std::string_view separator) {
    std::vector<int> at;
    int digits = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, separator.size()) == separator) {
            at.push_back(digits);
            i += separator.size();
        } else {
            ++digits;
            ++i;
        }
    }
    return at;
}

// For every set of separator positions in numbers of up to 12 digits, the
// readers' check accepts exactly the writers' positions, or none at all.
TEST(DigitGrouping, ReadersAcceptExactlyWhatWritersWrite) {
    const XVString comma(",");
    for (const XVString sizes : {"\3", "\3\2", "\1", "\2\1\4", "\x7f", "", "\5\4\3"}) {
        const DigitGrouping grouping(sizes, comma);
        for (int n = 1; n <= 12; ++n) {
            const std::string digits(static_cast<std::size_t>(n), '7');
            const std::vector<int> written = positionsIn(grouped(sizes, comma, digits), ",");
            for (unsigned mask = 0; mask < (1u << (n - 1)); ++mask) {
                std::vector<int> at;
                for (int p = 1; p < n; ++p) {
                    if (mask & (1u << (p - 1)))
                        at.push_back(p);
                }
                const bool expected = at.empty() || at == written;
                EXPECT_EQ(grouping.fits(at.data(), static_cast<int>(at.size()), n), expected)
                    << "sizes " << sizes.size() << " digits " << n << " mask " << mask;
            }
        }
    }
}

// A size of 0 after the first group: the writers stop grouping there, and the
// readers refuse any separator, since no group of size 0 can hold the rest.
TEST(DigitGrouping, ReadersRefuseGroupsAfterASizeOfZero) {
    const XVString sizes("\3\x10"), comma(",");
    const DigitGrouping grouping(sizes, comma);
    const int at[] = {6};
    EXPECT_FALSE(grouping.fits(at, 1, 9));
    EXPECT_TRUE(grouping.fits(at, 0, 9));
}

// Texts past the inline area move to the heap whole, and every operation
// keeps working there.
TEST(TextBuffer, GrowsPastItsInlineAreaKeepingTheText) {
    TextBuffer out;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        out.appendDecimal(i, 3, '0');
        out.append(i % 2 ? "ab" : "c");
        expected += (i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i) + (i % 2 ? "ab" : "c");
    }
    EXPECT_EQ(out.view(), expected);
    out.truncate(5);
    out.appendFormatted("%s|%d", "x", -42);
    out.appendUnsigned(18446744073709551615ULL);
    EXPECT_STREQ(out.c_str(), "000c0x|-4218446744073709551615");
    EXPECT_EQ(std::string(out.take()), "000c0x|-4218446744073709551615");
}

// C's "%0*lld" and "%*lld" for the widths and values the directives print.
TEST(TextBuffer, DecimalsAreTheCFormatting) {
    for (long long v : {0LL, 5LL, 42LL, 99LL, 100LL, 1997LL, -7LL, -1234LL, 9223372036854775807LL,
                        -9223372036854775807LL - 1}) {
        for (int width : {1, 2, 3, 4, 12}) {
            for (char fill : {'0', ' '}) {
                TextBuffer out;
                out.appendDecimal(v, static_cast<std::size_t>(width), fill);
                char expected[64];
                std::snprintf(expected, sizeof expected, fill == '0' ? "%0*lld" : "%*lld", width,
                              v);
                EXPECT_EQ(out.view(), expected) << v << " " << width << " '" << fill << "'";
            }
        }
    }
}

}  // namespace
