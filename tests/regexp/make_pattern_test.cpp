#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <xvkit/xvregexp.h>

#include "regexp/code_reader.h"
#include "regexp/pattern_compiler.h"

namespace xvkit::regexp {
namespace {

// A character as written in the expectations: special ones escaped, the
// unprintable ones in hex.
std::string shown(int c) {
    char text[8];
    const bool special = c != 0 && std::strchr("\\.*+?^$[]-", c) != nullptr;
    const char* format = c <= ' ' || c >= 0x7F ? "\\x%02x" : special ? "\\%c" : "%c";
    std::snprintf(text, sizeof text, format, c);
    return text;
}

// The members of a set in brackets, runs of three or more as ranges.
std::string shownSet(const std::function<bool(int)>& member) {
    std::string out = "[";
    for (int c = 0; c < 256; ++c) {
        if (!member(c))
            continue;
        int last = c;
        while (last < 255 && member(last + 1))
            ++last;
        out += shown(c);
        if (last - c >= 2)
            out += '-';
        if (last > c)
            out += shown(last);
        c = last;
    }
    return out + "]";
}

// The code of `pattern` compiled into `maxLength` words, read back as text
// (a closure before its item, a class as its members), or the status when it
// is not 0. The words are exactly `maxLength`, so the sanitizer build catches
// a write past them.
std::string compiled(const char* pattern, int maxLength = 256, CompileOptions options = {}) {
    std::vector<unsigned short> code(static_cast<std::size_t>(std::max(maxLength, 1)), 0x7777);
    std::vector<unsigned short> plain(code);
    if (XREMakePattern(pattern, plain.data(), maxLength) !=
        compilePattern(pattern, code.data(), maxLength, options).status)
        return "XREMakePattern differs";
    const int status = compilePattern(pattern, code.data(), maxLength, options).status;
    if (status != 0)
        return "status " + std::to_string(status);
    std::string out;
    for (CodeReader reader(code.data()); !reader.done();) {
        const CodeItem item = reader.next();
        const char repeat[] = {'\0', '?', '*', '+'};
        if (item.repeat != Repeat::once)
            out += repeat[static_cast<int>(item.repeat)];
        switch (item.type) {
            case ItemType::literal:
                out += shown(item.literal);
                break;
            case ItemType::any:
                out += '.';
                break;
            case ItemType::charClass:
                out += shownSet(
                    [&item](int c) { return item.accepts(static_cast<unsigned char>(c)); });
                break;
            case ItemType::beginAnchor:
                out += '^';
                break;
            case ItemType::endAnchor:
                out += '$';
                break;
        }
    }
    return out;
}

// The code words themselves, for the one example whose words are given.
TEST(MakePatternTest, TheWordsOfAnExample) {
    unsigned short code[256];
    ASSERT_EQ(XREMakePattern("^a.[0-9]*x$", code, 256), 0);
    const unsigned short expected[] = {0x805E, 0x0061, 0x802E, 0x802A, 0x805B, 0,     0, 0, 0x03FF,
                                       0,      0,      0,      0,      0,      0,     0, 0, 0,
                                       0,      0,      0,      0x0078, 0x8024, 0x8000};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), code));
}

// Anchors only at the ends, elsewhere literals; a closure in front of its item;
// a third hex digit and a fourth octal digit are not read; an escaped closure
// is a literal that can itself be repeated.
TEST(MakePatternTest, CodeWords) {
    const std::pair<const char*, const char*> cases[] = {
        {"[ab]*", "*[ab]"}, {"a+b?", "+a?b"}, {"(a|b){2}", "(a|b){2}"},
        {"\xff", "\\xff"},  {"^", "^"},       {"$", "$"},
        {"a^b", "a\\^b"},   {"a$b", "a\\$b"}, {"a$*", "a*\\$"},
        {"^^", "^\\^"},     {"^$", "^$"},     {"$$", "\\$$"},
        {"\\x414", "A4"},   {"\\1012", "A2"}, {"\\18", "\\x018"},
        {"\\xg", "xg"},     {"\\**", "*\\*"}, {"a\\", "a\\\\"},
    };
    for (const auto& [pattern, code] : cases)
        EXPECT_EQ(compiled(pattern), code) << pattern;
    EXPECT_EQ(compiled("^a.[0-9]*x$"), "^a.*[0-9]x$");
}

TEST(MakePatternTest, Escapes) {
    const std::pair<const char*, int> cases[] = {
        {"\\b", 8},      {"\\B", 8},      {"\\e", 27},   {"\\E", 27},  {"\\f", 12},  {"\\n", 10},
        {"\\N", 10},     {"\\r", 13},     {"\\s", 32},   {"\\S", 32},  {"\\t", 9},   {"\\T", 9},
        {"\\x41", 0x41}, {"\\X4f", 0x4F}, {"\\xa", 10},  {"\\^A", 1},  {"\\^a", 1},  {"\\^[", 27},
        {"\\^?", 255},   {"\\^@", 0},     {"\\101", 65}, {"\\0", 0},   {"\\7", 7},   {"\\777", 255},
        {"\\.", '.'},    {"\\*", '*'},    {"\\[", '['},  {"\\]", ']'}, {"\\$", '$'}, {"\\\\", '\\'},
        {"\\8", '8'},    {"\\x", 'x'},    {"\\X", 'X'},  {"\\", '\\'}, {"\\q", 'q'}, {"\\xff", 255},
        {"\\x5e", '^'},  {"\\136", '^'},
    };
    for (const auto& [pattern, code] : cases)
        EXPECT_EQ(compiled(pattern), shown(code)) << pattern;
}

// An escaped `]` can end a range; a reversed one is still a range; `]` right
// after the negation closes the class instead of emptying it.
TEST(MakePatternTest, Classes) {
    const std::pair<const char*, const char*> cases[] = {
        {"[z-a]", "[a-z]"},
        {"[a\\-z]", "[\\-az]"},
        {"[-a]", "[\\-a]"},
        {"[a-]", "[\\-a]"},
        {"[\\]]", "[\\]]"},
        {"[\\x41-\\x43\\n]", "[\\x0aA-C]"},
        {"[a-c-e]", "[\\-a-ce]"},
        {"[.*^$]", "[\\$\\*\\.\\^]"},
        {"[a-\\]]", "[\\]-a]"},
        {"[\\x80-\\xff\xe9]", "[\\x80-\\xff]"},
        {"[\\^a-\\^c]", "[\\x01-\\x03]"},
        {"[^]", "[\\x00-\\xff]"},
        {"[^0-9]", "[\\x00-/:-\\xff]"},
        {"[\\0-\\377]", "[\\x00-\\xff]"},
        {"[^]]", "[\\x00-\\xff]\\]"},
    };
    for (const auto& [pattern, code] : cases)
        EXPECT_EQ(compiled(pattern), code) << pattern;
}

// Each literal and closure takes a word, a class 17, the end one. The
// first-character test comes before every other one, the size test before
// the class is read; a missing code array is reported only for a good pattern.
TEST(MakePatternTest, StatusesAndMaxLength) {
    for (const char* bad :
         {"", "*a", "+", "?x", "a[]b", "a[bc", "[]a]", "[", "[^", "[a-", "a\\^", "[\\^"})
        EXPECT_EQ(compiled(bad), "status 1") << bad;
    for (const char* bad : {"^*", "a**", "a+?", "a?+", "^+", "[a]*+", "x?*"})
        EXPECT_EQ(compiled(bad), "status 3") << bad;
    constexpr int kMin = INT_MIN;
    const std::tuple<const char*, int, const char*> cases[] = {
        {"ab", 3, "ab"},          {"abc", 3, "status 3"},    {"a*", 3, "*a"},
        {"a*", 2, "status 3"},    {"[a]", 17, "status 3"},   {"[a]", 18, "[a]"},
        {"[a]*", 18, "status 3"}, {"[a]*", 19, "*[a]"},      {"a", 1, "status 3"},
        {"a", 0, "status 3"},     {"a", -5, "status 3"},     {"a", kMin, "status 3"},
        {"*", 0, "status 1"},     {"a[]", 4, "status 3"},    {"a[]", 20, "status 1"},
        {"[a", 17, "status 3"},   {"[a]", kMin, "status 3"},
    };
    for (const auto& [pattern, maxLength, code] : cases)
        EXPECT_EQ(compiled(pattern, maxLength), code) << pattern << " in " << maxLength;

    for (const char* good : {"a", "a["})
        EXPECT_EQ(XREMakePattern(good, nullptr, 256), 2) << good;
    for (const char* bad : {"", "*", static_cast<const char*>(nullptr)})
        EXPECT_EQ(XREMakePattern(bad, nullptr, 256), 1);
}

// Why a pattern fails and where: the first failure the compiler meets.
TEST(MakePatternTest, FailureReasons) {
    unsigned short code[256];
    const std::tuple<const char*, int, CompileFailure, std::size_t> cases[] = {
        {"", 256, CompileFailure::emptyPattern, 0},
        {"+a", 256, CompileFailure::leadingClosure, 0},
        {"ab[]", 256, CompileFailure::emptyClass, 2},
        {"ab[cd", 256, CompileFailure::unclosedClass, 2},
        {"a[b]c[^d", 256, CompileFailure::unclosedClass, 5},
        {"ab\\\\^", 256, CompileFailure::none, 0},
        {"ab\\^", 256, CompileFailure::danglingControlEscape, 2},
        {"a[b\\^", 256, CompileFailure::danglingControlEscape, 3},
        {"a[b-\\^", 256, CompileFailure::danglingControlEscape, 4},
        {"abc", 3, CompileFailure::tooLong, 2},
        {"a[b]", 10, CompileFailure::tooLong, 1},
        {"^*", 256, CompileFailure::closureAfterAnchor, 1},
        {"ab+?", 256, CompileFailure::closureAfterClosure, 3},
        {"a**[", 256, CompileFailure::closureAfterClosure, 2},
    };
    for (const auto& [pattern, maxLength, failure, offset] : cases) {
        const CompileResult result = compilePattern(pattern, code, maxLength);
        EXPECT_EQ(result.failure, failure) << pattern;
        EXPECT_EQ(result.offset, offset) << pattern;
        EXPECT_EQ(result.status, XREMakePattern(pattern, code, maxLength)) << pattern;
    }
    EXPECT_EQ(compilePattern(nullptr, code, 256).failure, CompileFailure::emptyPattern);
    EXPECT_EQ(compilePattern("a", nullptr, 256).failure, CompileFailure::noCodeArray);
    EXPECT_STREQ(failureText(CompileFailure::unclosedClass), "a class without its closing ']'");
}

// Case-blind classes take the other case of each letter they name before a
// negation, so that a negated class leaves out both; the code's layout is
// unchanged (literals stay one word).
TEST(MakePatternTest, CaseBlindClasses) {
    const CompileOptions blind{.caseBlindClasses = true};
    const std::pair<const char*, const char*> cases[] = {
        {"[a]", "[Aa]"},      {"[^a]", "[\\x00-@B-`b-\\xff]"},
        {"[B-d]", "[A-z]"},  // B-Z, [ to `, a-d, then both cases of the letters
        {"[0-9]x", "[0-9]x"}, {"[Z-a]", "[AZ-az]"},
    };
    for (const auto& [pattern, code] : cases)
        EXPECT_EQ(compiled(pattern, 256, blind), code) << pattern;
}

// The first set added brings the empty set at index 0 with it; equal sets are
// not merged. Unlike a pattern class, a reversed range adds nothing,
// backslashes and brackets are plain members, codes above 127 are unsigned.
TEST(RegExprTraitsTest, AddSymbolSet) {
    using T = XVTRegExprTraits<char>;
    XVTValArray<XVTBitVec<256>> sets;
    const auto members = [&sets](unsigned int i) {
        return shownSet([&](int c) { return T::isMatchedInSymbolSet(sets[i], char(c)); });
    };
    EXPECT_EQ(T::addSymbolSet(sets, ""), 0u);
    EXPECT_EQ(sets.size(), 0u);
    EXPECT_EQ(T::addSymbolSet(sets, "a-c"), 1u);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(members(0) + members(1), "[][a-c]");
    EXPECT_EQ(T::addSymbolSet(sets, ""), 0u);
    EXPECT_EQ(T::addSymbolSet(sets, "a-c"), 2u);

    const std::pair<XVString, const char*> cases[] = {
        {"z-a", "[z]"},
        {"-a", "[\\-a]"},
        {"a-", "[\\-a]"},
        {"\\n", "[\\\\n]"},
        {"a\\-z", "[\\\\-z]"},
        {"[]", "[\\[\\]]"},
        {"a-c-e", "[a-e]"},
        {"\xc8-\xca", "[\\xc8-\\xca]"},
        {"^-a", "[\\x00-,\\.-`b-\\xff]"},
        {"^", "[\\x00-\\xff]"},
        {XVString("a\0b", 3), "[\\x00ab]"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(members(T::addSymbolSet(sets, text)), expected) << text;
}

}  // namespace
}  // namespace xvkit::regexp
