// The scans that find where a search can begin, each form (the plain loop
// and, where the processor has it, the vector form) against std::string's
// search, from every start position of texts whose lengths straddle the
// vector width. Texts are heap arrays of exactly their length, so the
// sanitizer build catches any read past the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "regexp/byte_scan.h"

namespace xvkit::regexp {
namespace {

static_assert(kNoPosition == std::string::npos);

std::string randomText(std::mt19937& rng, std::size_t length, const std::string& alphabet) {
    std::string text(length, ' ');
    for (char& c : text)
        c = alphabet[rng() % alphabet.size()];
    return text;
}

std::string range(int from, int to) {
    std::string members;
    for (int c = from; c <= to; ++c)
        members += static_cast<char>(c);
    return members;
}

// Holds every form of `scan` (a ByteClassFinder or a LiteralFinder) to `expected`,
// the position std::string finds from each start position of `text`.
template <typename Scan, typename Expected>
void expectEveryForm(const Scan& scan, const std::string& text, Expected expected) {
    const auto bytes = std::make_unique<unsigned char[]>(text.size());
    std::copy(text.begin(), text.end(), bytes.get());
    const std::size_t n = text.size();
    for (std::size_t p = 0; p <= n; ++p) {
        const std::size_t want = expected(p);
        ASSERT_EQ(scan.find(bytes.get(), n, p), want) << "from " << p << " of " << n;
        ASSERT_EQ(scan.findScalar(bytes.get(), n, p), want) << "from " << p << " of " << n;
        if (vectorScansAvailable()) {
            ASSERT_EQ(scan.findVector(bytes.get(), n, p), want) << "from " << p << " of " << n;
        }
    }
}

TEST(ByteScanTest, SetScansFindTheFirstMember) {
    const std::string sets[] = {"",
                                "x",
                                std::string(1, '\0'),
                                "xz",
                                range('0', '9'),
                                range(0, '\n' - 1) + range('\n' + 1, 255),
                                range(0, 255),
                                range(0x80, 0xff),
                                "\x7f\x80\xff\x01"};
    // Mostly non-members, so that members turn up at every offset of a block.
    const std::string alphabet = std::string(12, 'q') + "xz09\n\x80\xff" + '\0' + "\x7f\x01";
    std::mt19937 rng(5);
    for (const std::string& members : sets) {
        unsigned short map[16] = {};
        for (const char c : members)
            map[static_cast<unsigned char>(c) >> 4] |= 1u << (static_cast<unsigned char>(c) & 15);
        const ByteClassFinder set(ByteMap::fromCode(map));
        for (std::size_t length : {0u, 1u, 31u, 32u, 33u, 63u, 64u, 65u, 100u, 300u}) {
            const std::string text = randomText(rng, length, alphabet);
            SCOPED_TRACE(members.size());
            expectEveryForm(set, text,
                            [&](std::size_t p) { return text.find_first_of(members, p); });
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
            SCOPED_TRACE(literal);
            expectEveryForm(finder, text, [&](std::size_t p) { return text.find(literal, p); });
        }
    }
}

// A case-blind finder takes its literal in lower case and finds either case
// of each letter, and nothing else: '@' and '`' differ from 'A' and 'a' in
// the case bit only, and '[' from '{'.
TEST(ByteScanTest, CaseBlindLiteralScansFindEitherCase) {
    const std::string literals[] = {"a", "q", "ab", "x@", "`a[", "needle42", "{z"};
    const std::string noise = "aAbBqQxX@`[{zZ42";
    std::mt19937 rng(9);
    for (const std::string& literal : literals) {
        const LiteralFinder finder(reinterpret_cast<const unsigned char*>(literal.data()),
                                   literal.size(), true);
        for (std::size_t length : {0u, 2u, 33u, 41u, 64u, 100u, 300u}) {
            std::string text = randomText(rng, length, noise);
            std::string lowered = text;
            for (char& c : lowered)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            SCOPED_TRACE(literal);
            expectEveryForm(finder, text, [&](std::size_t p) { return lowered.find(literal, p); });
        }
    }
}

// Whether one of `strings` has its first three bytes at `q` of `text`.
bool prefixAt(const std::vector<std::string>& strings, bool caseBlind, const std::string& text,
              std::size_t q) {
    const auto fold = [&](char c) {
        return caseBlind ? std::tolower(static_cast<unsigned char>(c)) : c;
    };
    for (const std::string& s : strings) {
        if (q + PrefixFingerprints::kPrefix <= text.size() &&
            std::equal(s.begin(), s.begin() + PrefixFingerprints::kPrefix, text.begin() + q,
                       [&](char a, char b) { return fold(a) == fold(b); }))
            return true;
    }
    return false;
}

// Up to eight strings sit in buckets of their own, so the candidates are
// exactly where a string's first bytes stand; beyond eight, strings share
// buckets and the candidates are a superset, which every form agrees on.
TEST(ByteScanTest, PrefixFingerprintsFindEveryPrefix) {
    std::mt19937 rng(11);
    const std::string alphabet = "abAB\x01\xc1\xe1";
    for (int round = 0; round < 60; ++round) {
        const std::size_t count = 1 + rng() % PrefixFingerprints::kMaxStrings;
        std::vector<std::string> strings(count);
        for (std::string& s : strings)
            s = randomText(rng, 3 + rng() % 4, alphabet);
        const bool caseBlind = round % 2 == 1;
        const PrefixFingerprints fingerprints(strings, caseBlind);
        std::string text = randomText(rng, rng() % 200, alphabet + "xyz");
        const auto exact = [&](std::size_t p) {
            for (std::size_t q = p; q < text.size(); ++q) {
                if (prefixAt(strings, caseBlind, text, q))
                    return q;
            }
            return kNoPosition;
        };
        SCOPED_TRACE(count);
        if (count <= 8) {
            expectEveryForm(fingerprints, text, exact);
            continue;
        }
        const auto bytes = reinterpret_cast<const unsigned char*>(text.data());
        for (std::size_t p = 0; p <= text.size(); ++p) {
            const std::size_t found = fingerprints.find(bytes, text.size(), p);
            ASSERT_LE(found, exact(p)) << p;
            ASSERT_EQ(fingerprints.findScalar(bytes, text.size(), p), found) << p;
            if (vectorScansAvailable()) {
                ASSERT_EQ(fingerprints.findVector(bytes, text.size(), p), found) << p;
            }
        }
    }
}

}  // namespace
}  // namespace xvkit::regexp
