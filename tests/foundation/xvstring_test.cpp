#include <gtest/gtest.h>

#include <xvkit/xvstring.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>

namespace {

using namespace std::string_view_literals;
using std::size_t;
using Mode = XVString::CompareMode;

constexpr auto npos = XVString::npos;
constexpr auto exact = XVString::caseSensitive;
constexpr auto blind = XVString::caseInsensitive;
const std::string null = "(null view)";

// A string of the whole view, embedded NULs included.
XVString str(std::string_view s) {
    return XVString(s.data(), s.size());
}

std::string shown(const XVSubString& view) {
    return view.isNull() ? null : XVString(view);
}

// The reference count of `s`, read without changing it.
int refsOf(const XVString& s) {
    const int count = s.AddRef() - 1;
    s.Release();
    return count;
}

// "\xe9" orders after "z": bytes compare unsigned. The text overload reads up
// to a NUL; the string overload compares lengths first and then every
// character, also case-blind past a NUL.
TEST(XVStringCompare, TextAndStringOverloads) {
    const std::tuple<std::string_view, const char*, int> texts[] = {
        {"abd", "abc", 1}, {"ab", "abc", -1}, {"abc", "abc", 0},   {"\xe9", "z", 1},
        {"", "", 0},       {"a", "", 1},      {"ab\0c"sv, "ab", 0}};
    for (const auto& [a, b, expected] : texts)
        EXPECT_EQ(str(a).compareTo(b, exact), expected) << a << " : " << b;
    EXPECT_EQ(XVString("abc").compareTo("ABC", blind), 0);
    EXPECT_LT(XVString("abc").compareTo("ABD", blind), 0);

    const std::tuple<std::string_view, std::string_view, Mode, int> strings[] = {
        {"aa", "b", exact, 1},        {"b", "aaaa", exact, -3},      {"zzz", "aaaaa", exact, -2},
        {"aaaaa", "zzz", blind, 2},   {"", "\0"sv, exact, -1},       {"a\xff", "a\x01", exact, 1},
        {"HeLLo", "hello", blind, 0}, {"a\0B"sv, "A\0b"sv, blind, 0}};
    for (const auto& [a, b, mode, expected] : strings)
        EXPECT_EQ(str(a).compareTo(str(b), mode), expected) << a << " : " << b;
    EXPECT_LT(str("a\0b"sv).compareTo(str("a\0c"sv), blind), 0);
}

TEST(XVStringCompare, BadModeThrowsExactMessage) {
    const auto bad = static_cast<Mode>(2);
    EXPECT_EQ(XVString("abc").compareTo(XVString("x"), bad), 2);  // lengths differ: no check
    for (const bool textOverload : {true, false}) {
        try {
            (void)(textOverload ? XVString("x").compareTo("x", bad)
                                : XVString("ab").compareTo(XVString("cd"), bad));
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "XVTString<charT>::compareTo->int");
        }
    }
}

// Any non-zero mode searches case-blind; start + length may overflow.
TEST(XVStringIndex, ExactAndCaseBlindSearch) {
    const std::tuple<const char*, std::string_view, size_t, Mode, size_t> cases[] = {
        {"abcdef", "f", 4, exact, 5},       {"abca", "a", 1, exact, 3},
        {"xy", "xyz", 0, exact, npos},      {"abc", "", 2, exact, 2},
        {"abc", "", 4, exact, npos},        {"abc", "c", npos, exact, npos},
        {"aXa", "x", 0, exact, npos},       {"1 march", "MAR", 0, blind, 2},
        {"1 march", "MAR", 3, blind, npos}, {"ABCabc", "abc", 1, blind, 3}};
    for (const auto& [text, pattern, start, mode, expected] : cases)
        EXPECT_EQ(XVString(text).index(pattern.data(), pattern.size(), start, mode), expected)
            << text << " : " << pattern << " from " << start << " mode " << mode;
    EXPECT_EQ(XVString("xAy").index("a", 1, 0, static_cast<Mode>(5)), 1u);
    // Only `patternLength` characters count; the search lowers copies, never
    // the texts themselves.
    XVString s("1 MARCH 97");
    char pattern[] = "Marsh";
    EXPECT_EQ(s.index(pattern, 3, 0, blind), 2u);
    EXPECT_EQ(s, "1 MARCH 97");
    EXPECT_STREQ(pattern, "Marsh");
}

TEST(XVStringStrip, ViewsWhatIsLeftOrNothing) {
    constexpr auto trailing = XVString::stripTrailing, both = XVString::stripBoth,
                   leading = XVString::stripLeading, odd = static_cast<XVString::StripMode>(3);
    const std::tuple<const char*, XVString::StripMode, char, std::string> cases[] = {
        {"   ", trailing, ' ', null},   {"   ", leading, ' ', null},
        {"   ", both, ' ', null},       {"", both, ' ', null},
        {"  ab  ", both, ' ', "ab"},    {"  ab ", leading, ' ', "ab "},
        {"00700", both, '0', "7"},      {"a  b ", trailing, ' ', "a  b"},
        {"..a..", leading, '.', "a.."}, {"..a..", trailing, '.', "..a"},
        {" a ", odd, ' ', " a "}};
    for (const auto& [text, mode, c, expected] : cases) {
        const XVString source(text);
        EXPECT_EQ(shown(source.strip(mode, c)), expected) << '"' << text << '"' << mode;
        EXPECT_EQ(refsOf(source), 1);
    }
}

// Views are not bounded when made; converting copies what exists.
TEST(XVSubString, NullViewsAndConversion) {
    const XVString s("abcd");
    const std::tuple<size_t, size_t, std::string> cases[] = {
        {1, 2, "bc"}, {1, 0, null}, {npos, 2, null}, {2, 100, "cd"}, {4, 1, ""}, {1000, 1, ""}};
    for (const auto& [start, length, expected] : cases)
        EXPECT_EQ(shown(s.subString(start, length)), expected) << start << ", " << length;
    EXPECT_EQ(shown(XVSubString()), null);
    EXPECT_EQ(XVString(XVSubString()), "");
}

TEST(XVSubString, ViewsHoldOneReferenceOnTheirSource) {
    const XVString s("abcd"), other("x"), blanks("   ");
    {
        XVSubString view = s.subString(0, 2);
        EXPECT_EQ(refsOf(s), 2);
        {
            const XVSubString copy(view);
            EXPECT_EQ(refsOf(s), 3);
        }
        // The view's own AddRef and Release also count on its source.
        EXPECT_EQ(view.AddRef(), 2);
        EXPECT_EQ(refsOf(s), 3);
        EXPECT_EQ(view.Release(), 1);
        EXPECT_EQ(refsOf(s), 2);
        view = other.subString(0, 1);  // assignment moves the reference
        EXPECT_EQ(refsOf(s), 1);
        EXPECT_EQ(refsOf(other), 2);

        const XVSubString stripped = s.strip(XVString::stripBoth, 'a');
        EXPECT_EQ(refsOf(s), 2);
        const XVString copied(stripped);
        EXPECT_EQ(refsOf(copied), 1);
        EXPECT_EQ(refsOf(s), 2);  // converting takes no lasting reference
        const XVSubString none = blanks.strip(XVString::stripBoth, ' ');
        EXPECT_EQ(refsOf(blanks), 1);  // a null view holds nothing
    }
    EXPECT_EQ(refsOf(s), 1);
    EXPECT_EQ(refsOf(other), 1);
    // String copies start with their own count.
    s.AddRef();
    XVString copy(s), assigned;
    assigned = s;
    EXPECT_EQ(refsOf(copy) + refsOf(assigned), 2);
    s.Release();
}

}  // namespace
