#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include <xvkit/xvregexp.h>

namespace {

using Words = std::vector<unsigned short>;

struct Compiled {
    int status;
    Words words;  // up to and including the end word when status is 0
};

Compiled compile(const char* pattern, int maxLength = 256) {
    std::vector<unsigned short> code(static_cast<std::size_t>(maxLength > 0 ? maxLength : 1),
                                     0x7777);
    Compiled result{XREMakePattern(pattern, code.data(), maxLength), {}};
    if (result.status == 0) {
        for (unsigned short w : code) {
            result.words.push_back(w);
            if (w == kXRECodeEnd)
                break;
        }
    }
    return result;
}

// The 16 map words of a class holding exactly `members`.
Words classMap(const std::vector<int>& members) {
    Words map(16, 0);
    for (int c : members)
        map[c / 16] |= static_cast<unsigned short>(1u << (c % 16));
    return map;
}

Words classCode(const std::vector<int>& members) {
    Words w{kXRECodeClass};
    const Words map = classMap(members);
    w.insert(w.end(), map.begin(), map.end());
    w.push_back(kXRECodeEnd);
    return w;
}

std::vector<int> range(int from, int to) {
    std::vector<int> r;
    for (int c = from; c <= to; ++c)
        r.push_back(c);
    return r;
}

TEST(MakePatternTest, CompilesEveryItemKind) {
    const Compiled c = compile("^a.[0-9]*x$");
    ASSERT_EQ(c.status, 0);
    Words expected{0x805E, 0x0061, 0x802E, 0x802A, 0x805B};
    const Words digits = classMap(range('0', '9'));
    EXPECT_EQ(digits[3], 0x03FF);
    expected.insert(expected.end(), digits.begin(), digits.end());
    expected.insert(expected.end(), {0x0078, 0x8024, 0x8000});
    EXPECT_EQ(expected.size(), 24u);
    EXPECT_EQ(c.words, expected);

    EXPECT_EQ(compile("a*").words, (Words{0x802A, 0x61, 0x8000}));
    EXPECT_EQ(compile("a+b?").words, (Words{0x802B, 0x61, 0x803F, 0x62, 0x8000}));
    EXPECT_EQ(compile(".").words, (Words{0x802E, 0x8000}));
    EXPECT_EQ(compile("(a|b){2}").words, (Words{'(', 'a', '|', 'b', ')', '{', '2', '}', 0x8000}));
    EXPECT_EQ(compile("\xff").words, (Words{0xFF, 0x8000}));

    // A closure on a class moves all 17 words up by one.
    Words starred{0x802A};
    const Words ab = classCode({'a', 'b'});
    starred.insert(starred.end(), ab.begin(), ab.end());
    EXPECT_EQ(compile("[ab]*").words, starred);
}

TEST(MakePatternTest, AnchorsOnlyAtTheEnds) {
    EXPECT_EQ(compile("^").words, (Words{0x805E, 0x8000}));
    EXPECT_EQ(compile("$").words, (Words{0x8024, 0x8000}));
    EXPECT_EQ(compile("a^b").words, (Words{'a', 0x5E, 'b', 0x8000}));
    EXPECT_EQ(compile("a$b").words, (Words{'a', 0x24, 'b', 0x8000}));
    EXPECT_EQ(compile("\\$").words, (Words{0x24, 0x8000}));
    EXPECT_EQ(compile("a$*").words, (Words{'a', 0x802A, 0x24, 0x8000}));
    EXPECT_EQ(compile("^^").words, (Words{0x805E, 0x5E, 0x8000}));
    EXPECT_EQ(compile("^$").words, (Words{0x805E, 0x8024, 0x8000}));
    EXPECT_EQ(compile("$$").words, (Words{0x24, 0x8024, 0x8000}));
}

TEST(MakePatternTest, Statuses) {
    for (const char* bad :
         {"", "*a", "+", "?x", "a[]b", "a[bc", "[]a]", "[", "[^", "[a-", "a\\^", "[\\^"}) {
        EXPECT_EQ(compile(bad).status, 1) << bad;
    }
    for (const char* bad : {"^*", "a**", "a+?", "a?+", "^+", "[a]*+", "x?*"}) {
        EXPECT_EQ(compile(bad).status, 3) << bad;
    }
    EXPECT_EQ(XREMakePattern("a", nullptr, 256), 2);
    EXPECT_EQ(XREMakePattern("", nullptr, 256), 1);
    EXPECT_EQ(XREMakePattern("*", nullptr, 256), 1);
    EXPECT_EQ(XREMakePattern("a[", nullptr, 256), 2);
    EXPECT_EQ(XREMakePattern(nullptr, nullptr, 256), 1);
    // The first-character test comes before every other one; the size test
    // before the class is read.
    EXPECT_EQ(compile("*", 0).status, 1);
    EXPECT_EQ(compile("a[]", 4).status, 3);
    EXPECT_EQ(compile("a[]", 20).status, 1);
}

TEST(MakePatternTest, MaxLengthBoundaries) {
    EXPECT_EQ(compile("ab", 3).status, 0);
    EXPECT_EQ(compile("ab", 3).words, (Words{'a', 'b', 0x8000}));
    EXPECT_EQ(compile("abc", 3).status, 3);
    EXPECT_EQ(compile("a*", 3).status, 0);
    EXPECT_EQ(compile("a*", 2).status, 3);
    EXPECT_EQ(compile("[a]", 17).status, 3);
    EXPECT_EQ(compile("[a]", 18).words, classCode({'a'}));
    EXPECT_EQ(compile("[a]*", 18).status, 3);
    EXPECT_EQ(compile("[a]*", 19).status, 0);
    // The size test comes before the class text is read.
    EXPECT_EQ(compile("[a", 17).status, 3);
    EXPECT_EQ(compile("a", 1).status, 3);
    EXPECT_EQ(compile("a", 0).status, 3);
    EXPECT_EQ(compile("a", -5).status, 3);
    unsigned short word = 0;
    EXPECT_EQ(XREMakePattern("a", &word, std::numeric_limits<int>::min()), 3);
    EXPECT_EQ(XREMakePattern("[a]", &word, std::numeric_limits<int>::min()), 3);

    const std::string fits(255, 'q');
    EXPECT_EQ(compile(fits.c_str()).status, 0);
    EXPECT_EQ(compile((fits + "q").c_str()).status, 3);
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
    for (const auto& c : cases) {
        EXPECT_EQ(compile(c.pattern).words, (Words{c.code, 0x8000})) << c.pattern;
    }
    // A third hex digit and a fourth octal digit are not read.
    EXPECT_EQ(compile("\\x414").words, (Words{0x41, '4', 0x8000}));
    EXPECT_EQ(compile("\\1012").words, (Words{65, '2', 0x8000}));
    EXPECT_EQ(compile("\\18").words, (Words{1, '8', 0x8000}));
    EXPECT_EQ(compile("\\xg").words, (Words{'x', 'g', 0x8000}));
    // An escaped closure is a literal and can itself be repeated.
    EXPECT_EQ(compile("\\**").words, (Words{0x802A, '*', 0x8000}));
    EXPECT_EQ(compile("a\\").words, (Words{'a', '\\', 0x8000}));
}

TEST(MakePatternTest, Classes) {
    EXPECT_EQ(compile("[z-a]").words, compile("[a-z]").words);
    EXPECT_EQ(compile("[a-z]").words, classCode(range('a', 'z')));
    EXPECT_EQ(compile("[a\\-z]").words, classCode({'a', '-', 'z'}));
    EXPECT_EQ(compile("[-a]").words, classCode({'-', 'a'}));
    EXPECT_EQ(compile("[a-]").words, classCode({'-', 'a'}));
    EXPECT_EQ(compile("[\\]]").words, classCode({']'}));
    EXPECT_EQ(compile("[\\x41-\\x43\\n]").words, classCode({'A', 'B', 'C', '\n'}));
    EXPECT_EQ(compile("[a-c-e]").words, classCode({'a', 'b', 'c', '-', 'e'}));
    EXPECT_EQ(compile("[.*^$]").words, classCode({'.', '*', '^', '$'}));
    // An escaped `]` can end a range; a reversed one is still a range.
    EXPECT_EQ(compile("[a-\\]]").words, classCode(range(']', 'a')));
    EXPECT_EQ(compile("[\\x80-\\xff\xe9]").words, classCode(range(0x80, 0xFF)));
    EXPECT_EQ(compile("[\\^a-\\^c]").words, classCode({1, 2, 3}));

    std::vector<int> all = range(0, 255);
    EXPECT_EQ(compile("[^]").words, classCode(all));
    // `]` right after the negation closes the class instead of emptying it.
    Words allThenBracket = classCode(all);
    allThenBracket.insert(allThenBracket.end() - 1, ']');
    EXPECT_EQ(compile("[^]]").words, allThenBracket);
    std::vector<int> notDigit = range(0, '0' - 1);
    for (int c = '9' + 1; c < 256; ++c)
        notDigit.push_back(c);
    EXPECT_EQ(compile("[^0-9]").words, classCode(notDigit));
    EXPECT_EQ(compile("[\\0-\\377]").words, classCode(all));
}

TEST(RegExprTraitsTest, Constants) {
    using T = XVTRegExprTraits<char>;
    const struct {
        char (*get)();
        char expected;
    } constants[] = {
        {T::a, 'a'},
        {T::b, 'b'},
        {T::bar, '|'},
        {T::backslash, '\\'},
        {T::backspace, 8},
        {T::c, 'c'},
        {T::closeBrace, '}'},
        {T::closeBracket, ']'},
        {T::closeParen, ')'},
        {T::colon, ':'},
        {T::d, 'd'},
        {T::dash, '-'},
        {T::dollar, '$'},
        {T::dot, '.'},
        {T::e, 'e'},
        {T::eight, '8'},
        {T::equal, '='},
        {T::f, 'f'},
        {T::five, '5'},
        {T::formfeed, 12},
        {T::four, '4'},
        {T::hat, '^'},
        {T::n, 'n'},
        {T::newlineChar, 10},
        {T::nine, '9'},
        {T::one, '1'},
        {T::openBrace, '{'},
        {T::openBracket, '['},
        {T::openParen, '('},
        {T::plus, '+'},
        {T::questionMark, '?'},
        {T::r, 'r'},
        {T::seven, '7'},
        {T::six, '6'},
        {T::star, '*'},
        {T::t, 't'},
        {T::tab, 9},
        {T::three, '3'},
        {T::two, '2'},
        {T::x, 'x'},
        {T::zero, '0'},
        {T::nullCharT, 0},
    };
    for (std::size_t k = 0; k < std::size(constants); ++k)
        EXPECT_EQ(constants[k].get(), constants[k].expected) << "constant " << k;
    EXPECT_TRUE(T::isChar());
}

std::vector<int> members(XVTBitVec<256>& set) {
    std::vector<int> out;
    for (int c = 0; c < 256; ++c) {
        if (XVTRegExprTraits<char>::isMatchedInSymbolSet(set, static_cast<char>(c))) {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<int> allBut(std::vector<int> excluded) {
    std::vector<int> out;
    for (int c = 0; c < 256; ++c) {
        if (std::find(excluded.begin(), excluded.end(), c) == excluded.end())
            out.push_back(c);
    }
    return out;
}

TEST(RegExprTraitsTest, AddSymbolSet) {
    using T = XVTRegExprTraits<char>;
    XVTValArray<XVTBitVec<256>> sets;
    EXPECT_EQ(T::addSymbolSet(sets, ""), 0u);
    EXPECT_EQ(sets.size(), 0u);

    EXPECT_EQ(T::addSymbolSet(sets, "a-c"), 1u);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_TRUE(members(sets[0]).empty());
    EXPECT_EQ(members(sets[1]), (std::vector<int>{'a', 'b', 'c'}));

    EXPECT_EQ(T::addSymbolSet(sets, "^x"), 2u);
    EXPECT_EQ(members(sets[2]), allBut({'x'}));
    EXPECT_EQ(T::addSymbolSet(sets, ""), 0u);
    EXPECT_EQ(sets.size(), 3u);
    // Equal sets are not merged.
    EXPECT_EQ(T::addSymbolSet(sets, "a-c"), 3u);

    const struct {
        const char* text;
        std::vector<int> expected;
    } cases[] = {
        // Unlike a pattern class, a reversed range adds nothing ...
        {"z-a", {'z'}},
        {"-a", {'-', 'a'}},
        {"a-", {'-', 'a'}},
        // ... and backslashes and brackets are plain members.
        {"\\n", {'\\', 'n'}},
        {"a\\-z", range('\\', 'z')},
        {"[]", {'[', ']'}},
        {"a-c-e", {'a', 'b', 'c', 'd', 'e'}},
        {"\xc8-\xca", {200, 201, 202}},
    };
    for (const auto& c : cases) {
        const unsigned int at = T::addSymbolSet(sets, c.text);
        EXPECT_EQ(members(sets[at]), c.expected) << c.text;
    }
    const unsigned int negated = T::addSymbolSet(sets, "^-a");
    EXPECT_EQ(members(sets[negated]), allBut({'-', 'a'}));
    const unsigned int everything = T::addSymbolSet(sets, "^");
    EXPECT_EQ(members(sets[everything]), allBut({}));
    // Embedded NUL characters are members.
    const unsigned int withNul = T::addSymbolSet(sets, XVString("a\0b", 3));
    EXPECT_EQ(members(sets[withNul]), (std::vector<int>{0, 'a', 'b'}));
}

TEST(RegExprTraitsTest, MatchTakesTheUnsignedCode) {
    XVTBitVec<256> set;
    set.setBit(200);
    EXPECT_TRUE(XVTRegExprTraits<char>::isMatchedInSymbolSet(set, static_cast<char>(200)));
    EXPECT_FALSE(XVTRegExprTraits<char>::isMatchedInSymbolSet(set, static_cast<char>(201)));
    EXPECT_FALSE(XVTRegExprTraits<char>::isMatchedInSymbolSet(set, 'a'));
}

}  // namespace
