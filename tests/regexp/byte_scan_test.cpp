// The scans that find where a search can begin, each form (the plain loop
// and, where the processor has it, the vector form) against a naive search,
// from every start position of texts whose lengths straddle the vector width.
// Texts are heap arrays of exactly their length, so the sanitizer build
// catches any read past the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "byte_scan.h"

namespace xvkit::regexp {
namespace {

// A text of `length` characters in exactly as many bytes.
std::unique_ptr<unsigned char[]> heapText(const std::string& text) {
    auto copy = std::make_unique<unsigned char[]>(text.size());
    std::copy(text.begin(), text.end(), copy.get());
    return copy;
}

std::string randomText(std::mt19937& rng, std::size_t length, const std::string& alphabet) {
    std::string text(length, ' ');
    for (char& c : text)
        c = alphabet[rng() % alphabet.size()];
    return text;
}

std::vector<unsigned short> mapOf(const std::string& members) {
    std::vector<unsigned short> map(16, 0);
    for (const char c : members) {
        const auto code = static_cast<unsigned char>(c);
        map[code >> 4] |= static_cast<unsigned short>(1u << (code & 15));
    }
    return map;
}

std::string range(int from, int to) {
    std::string members;
    for (int c = from; c <= to; ++c)
        members += static_cast<char>(c);
    return members;
}

TEST(ByteScanTest, SetScansFindTheFirstMember) {
    std::string allButNewline = range(0, 255);
    allButNewline.erase(allButNewline.find('\n'), 1);
    const std::string sets[] = {"",
                                "x",
                                std::string(1, '\0'),
                                "xz",
                                "\n",
                                range('0', '9'),
                                range('a', 'z'),
                                allButNewline,
                                range(0, 255),
                                range(0x80, 0xff),
                                "\x7f\x80\xff\x01"};
    // Mostly non-members, so that members turn up at every offset of a block.
    const std::string alphabet = std::string(12, 'q') + "xz09\n\x80\xff" + '\0' + "\x7f\x01";
    std::mt19937 rng(5);
    for (const std::string& members : sets) {
        const std::vector<unsigned short> map = mapOf(members);
        const ByteSet set(map.data());
        for (std::size_t length : {0u, 1u, 31u, 32u, 33u, 63u, 64u, 65u, 100u, 300u}) {
            const std::string text = randomText(rng, length, alphabet);
            const auto bytes = heapText(text);
            for (std::size_t p = 0; p <= length; ++p) {
                const std::size_t expected = text.find_first_of(members, p);
                const std::size_t want = expected == std::string::npos ? kNoPosition : expected;
                ASSERT_EQ(set.find(bytes.get(), length, p), want) << members.size() << " " << p;
                ASSERT_EQ(set.findScalar(bytes.get(), length, p), want);
                if (vectorScansAvailable()) {
                    ASSERT_EQ(set.findVector(bytes.get(), length, p), want);
                }
            }
        }
    }
}

TEST(ByteScanTest, LiteralScansFindTheFirstOccurrence) {
    const std::string literals[] = {
        "a", "ab", "aab", "aaaa", "ba", "needle42", std::string("\xff\0a", 3)};
    std::mt19937 rng(7);
    for (const std::string& literal : literals) {
        const LiteralFinder finder(reinterpret_cast<const unsigned char*>(literal.data()),
                                   literal.size());
        for (std::size_t length : {0u, 2u, 8u, 33u, 40u, 41u, 64u, 100u, 300u}) {
            // Near misses everywhere, and whole occurrences now and then.
            std::string text = randomText(rng, length, literal + "ab");
            if (length > literal.size() && rng() % 2 == 0)
                text.replace(rng() % (length - literal.size()), literal.size(), literal);
            const auto bytes = heapText(text);
            for (std::size_t p = 0; p <= length; ++p) {
                const std::size_t expected = text.find(literal, p);
                const std::size_t want = expected == std::string::npos ? kNoPosition : expected;
                ASSERT_EQ(finder.find(bytes.get(), length, p), want) << literal << " " << p;
                ASSERT_EQ(finder.findScalar(bytes.get(), length, p), want);
                if (vectorScansAvailable()) {
                    ASSERT_EQ(finder.findVector(bytes.get(), length, p), want);
                }
            }
        }
    }
}

}  // namespace
}  // namespace xvkit::regexp
