#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <xvkit/xvregexp.h>

namespace {

using Words = std::vector<unsigned short>;
using Members = std::vector<int>;

// The status of compiling `pattern` into `maxLength` words, with the words up
// to and including the end word when it is 0.
std::pair<int, Words> compile(const std::string& pattern, int maxLength = 256) {
    Words code(static_cast<std::size_t>(std::max(maxLength, 1)), 0x7777);
    const int status = XREMakePattern(pattern.c_str(), code.data(), maxLength);
    if (status == 0)
        code.resize(std::find(code.begin(), code.end(), kXRECodeEnd) - code.begin() + 1);
    return {status, status == 0 ? code : Words{}};
}

Words words(const char* pattern) {
    return compile(pattern).second;
}

Members range(int from, int to) {
    Members r;
    for (int c = from; c <= to; ++c)
        r.push_back(c);
    return r;
}

Members allBut(const Members& excluded) {
    Members r;
    for (int c = 0; c < 256; ++c) {
        if (std::find(excluded.begin(), excluded.end(), c) == excluded.end())
            r.push_back(c);
    }
    return r;
}

// A class word and the 16 map words holding exactly `members`.
Words classItem(const Members& members) {
    Words w(17, 0);
    w[0] = kXRECodeClass;
    for (int c : members)
        w[1 + c / 16] |= static_cast<unsigned short>(1u << (c % 16));
    return w;
}

Words operator+(Words a, const Words& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Words kEnd{0x8000};

TEST(MakePatternTest, CodeWords) {
    EXPECT_EQ(words("^a.[0-9]*x$"), (Words{0x805E, 'a', 0x802E, 0x802A} +
                                     classItem(range('0', '9')) + Words{'x', 0x8024} + kEnd));
    // A closure is written in front of its item, a class's 17 words included.
    EXPECT_EQ(words("[ab]*"), Words{0x802A} + classItem({'a', 'b'}) + kEnd);

    const struct {
        const char* pattern;
        Words code;
    } cases[] = {
        {"a*", {0x802A, 'a', 0x8000}},
        {"a+b?", {0x802B, 'a', 0x803F, 'b', 0x8000}},
        {".", {0x802E, 0x8000}},
        {"(a|b){2}", {'(', 'a', '|', 'b', ')', '{', '2', '}', 0x8000}},
        {"\xff", {0xFF, 0x8000}},
        // Anchors only at the ends; elsewhere `^` and `$` are literals.
        {"^", {0x805E, 0x8000}},
        {"$", {0x8024, 0x8000}},
        {"a^b", {'a', 0x5E, 'b', 0x8000}},
        {"a$b", {'a', 0x24, 'b', 0x8000}},
        {"a$*", {'a', 0x802A, 0x24, 0x8000}},
        {"^^", {0x805E, 0x5E, 0x8000}},
        {"^$", {0x805E, 0x8024, 0x8000}},
        {"$$", {0x24, 0x8024, 0x8000}},
        // A third hex digit and a fourth octal digit are not read.
        {"\\x414", {0x41, '4', 0x8000}},
        {"\\1012", {65, '2', 0x8000}},
        {"\\18", {1, '8', 0x8000}},
        {"\\xg", {'x', 'g', 0x8000}},
        // An escaped closure is a literal and can itself be repeated.
        {"\\**", {0x802A, '*', 0x8000}},
        {"a\\", {'a', '\\', 0x8000}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(words(c.pattern), c.code) << c.pattern;
}

TEST(MakePatternTest, Escapes) {
    const struct {
        const char* pattern;
        unsigned short code;
    } cases[] = {
        {"\\b", 8},      {"\\B", 8},      {"\\e", 27},   {"\\E", 27},  {"\\f", 12},  {"\\n", 10},
        {"\\N", 10},     {"\\r", 13},     {"\\s", 32},   {"\\S", 32},  {"\\t", 9},   {"\\T", 9},
        {"\\x41", 0x41}, {"\\X4f", 0x4F}, {"\\xa", 10},  {"\\^A", 1},  {"\\^a", 1},  {"\\^[", 27},
        {"\\^?", 255},   {"\\^@", 0},     {"\\101", 65}, {"\\0", 0},   {"\\7", 7},   {"\\777", 255},
        {"\\.", '.'},    {"\\*", '*'},    {"\\[", '['},  {"\\]", ']'}, {"\\$", '$'}, {"\\\\", '\\'},
        {"\\8", '8'},    {"\\x", 'x'},    {"\\X", 'X'},  {"\\", '\\'}, {"\\q", 'q'}, {"\\xff", 255},
        {"\\x5e", '^'},  {"\\136", '^'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(words(c.pattern), (Words{c.code, 0x8000})) << c.pattern;
}

TEST(MakePatternTest, Classes) {
    const struct {
        const char* pattern;
        Members members;
    } cases[] = {
        {"[a-z]", range('a', 'z')},
        {"[z-a]", range('a', 'z')},
        {"[a\\-z]", {'a', '-', 'z'}},
        {"[-a]", {'-', 'a'}},
        {"[a-]", {'-', 'a'}},
        {"[\\]]", {']'}},
        {"[\\x41-\\x43\\n]", {'A', 'B', 'C', '\n'}},
        {"[a-c-e]", {'a', 'b', 'c', '-', 'e'}},
        {"[.*^$]", {'.', '*', '^', '$'}},
        // An escaped `]` can end a range; a reversed one is still a range.
        {"[a-\\]]", range(']', 'a')},
        {"[\\x80-\\xff\xe9]", range(0x80, 0xFF)},
        {"[\\^a-\\^c]", {1, 2, 3}},
        {"[^]", allBut({})},
        {"[^0-9]", allBut(range('0', '9'))},
        {"[\\0-\\377]", allBut({})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(words(c.pattern), classItem(c.members) + kEnd) << c.pattern;
    // `]` right after the negation closes the class instead of emptying it.
    EXPECT_EQ(words("[^]]"), classItem(allBut({})) + Words({']', 0x8000}));
}

TEST(MakePatternTest, StatusesAndMaxLength) {
    for (const char* bad :
         {"", "*a", "+", "?x", "a[]b", "a[bc", "[]a]", "[", "[^", "[a-", "a\\^", "[\\^"}) {
        EXPECT_EQ(compile(bad).first, 1) << bad;
    }
    for (const char* bad : {"^*", "a**", "a+?", "a?+", "^+", "[a]*+", "x?*"})
        EXPECT_EQ(compile(bad).first, 3) << bad;
    // Each literal and closure takes a word, a class 17, the end one. The
    // first-character test comes before every other one, the size test before
    // the class is read.
    const struct {
        const char* pattern;
        int maxLength;
        int status;
    } cases[] = {
        {"ab", 3, 0},   {"abc", 3, 3},   {"a*", 3, 0},    {"a*", 2, 3},   {"[a]", 17, 3},
        {"[a]", 18, 0}, {"[a]*", 18, 3}, {"[a]*", 19, 0}, {"a", 1, 3},    {"a", 0, 3},
        {"a", -5, 3},   {"*", 0, 1},     {"a[]", 4, 3},   {"a[]", 20, 1}, {"[a", 17, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compile(c.pattern, c.maxLength).first, c.status)
            << c.pattern << " in " << c.maxLength;
    }
    EXPECT_EQ(compile("ab", 3).second, (Words{'a', 'b', 0x8000}));
    EXPECT_EQ(compile("[a]", 18).second, classItem({'a'}) + kEnd);

    unsigned short word = 0;
    EXPECT_EQ(XREMakePattern("a", &word, std::numeric_limits<int>::min()), 3);
    EXPECT_EQ(XREMakePattern("[a]", &word, std::numeric_limits<int>::min()), 3);
    EXPECT_EQ(XREMakePattern("a", nullptr, 256), 2);
    EXPECT_EQ(XREMakePattern("a[", nullptr, 256), 2);
    EXPECT_EQ(XREMakePattern("", nullptr, 256), 1);
    EXPECT_EQ(XREMakePattern("*", nullptr, 256), 1);
    EXPECT_EQ(XREMakePattern(nullptr, nullptr, 256), 1);
}

Members members(XVTBitVec<256>& set) {
    Members out;
    for (int c = 0; c < 256; ++c) {
        if (XVTRegExprTraits<char>::isMatchedInSymbolSet(set, static_cast<char>(c)))
            out.push_back(c);
    }
    return out;
}

TEST(RegExprTraitsTest, AddSymbolSet) {
    using T = XVTRegExprTraits<char>;
    XVTValArray<XVTBitVec<256>> sets;
    EXPECT_EQ(T::addSymbolSet(sets, ""), 0u);
    EXPECT_EQ(sets.size(), 0u);
    // The first set added brings the empty set at index 0 with it.
    EXPECT_EQ(T::addSymbolSet(sets, "a-c"), 1u);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_TRUE(members(sets[0]).empty());
    EXPECT_EQ(members(sets[1]), (Members{'a', 'b', 'c'}));
    EXPECT_EQ(T::addSymbolSet(sets, "^x"), 2u);
    EXPECT_EQ(members(sets[2]), allBut({'x'}));
    EXPECT_EQ(T::addSymbolSet(sets, ""), 0u);
    EXPECT_EQ(sets.size(), 3u);
    // Equal sets are not merged.
    EXPECT_EQ(T::addSymbolSet(sets, "a-c"), 3u);

    const struct {
        XVString text;
        Members expected;
    } cases[] = {
        // Unlike a pattern class, a reversed range adds nothing ...
        {"z-a", {'z'}},
        {"-a", {'-', 'a'}},
        {"a-", {'-', 'a'}},
        // ... and backslashes and brackets are plain members.
        {"\\n", {'\\', 'n'}},
        {"a\\-z", range('\\', 'z')},
        {"[]", {'[', ']'}},
        {"a-c-e", range('a', 'e')},
        // Codes above 127 are tested as unsigned.
        {"\xc8-\xca", {200, 201, 202}},
        {"^-a", allBut({'-', 'a'})},
        {"^", allBut({})},
        {XVString("a\0b", 3), {0, 'a', 'b'}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(members(sets[T::addSymbolSet(sets, c.text)]), c.expected) << c.text;
}

}  // namespace
