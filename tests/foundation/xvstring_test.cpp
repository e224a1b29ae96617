#include <gtest/gtest.h>

#include <xvkit/xvstring.h>
#include <stdexcept>

namespace {

constexpr auto npos = XVString::npos;
constexpr auto exact = XVString::caseSensitive;
constexpr auto blind = XVString::caseInsensitive;

TEST(XVStringCompare, TextOverloadIsStrcmpOrderNormalised) {
    EXPECT_EQ(XVString("abd").compareTo("abc", exact), 1);
    EXPECT_EQ(XVString("ab").compareTo("abc", exact), -1);
    EXPECT_EQ(XVString("abc").compareTo("abc", exact), 0);
    EXPECT_EQ(XVString("\xe9").compareTo("z", exact), 1);  // bytes compare unsigned
    EXPECT_EQ(XVString("").compareTo("", exact), 0);
    EXPECT_EQ(XVString("abc").compareTo("ABC", blind), 0);
    EXPECT_LT(XVString("abc").compareTo("ABD", blind), 0);
}

TEST(XVStringCompare, StringOverloadComparesLengthsFirst) {
    EXPECT_EQ(XVString("aa").compareTo(XVString("b"), exact), 1);
    EXPECT_EQ(XVString("b").compareTo(XVString("aaaa"), exact), -3);
    EXPECT_EQ(XVString("abd").compareTo(XVString("abc"), exact), 1);
    EXPECT_EQ(XVString("a\xff").compareTo(XVString("a\x01"), exact), 1);
    EXPECT_EQ(XVString("HeLLo").compareTo(XVString("hello"), blind), 0);
    // Case-blind compare over a length does not stop at NUL.
    EXPECT_NE(XVString("a\0b", 3).compareTo(XVString("a\0c", 3), blind), 0);
    EXPECT_EQ(XVString("a\0B", 3).compareTo(XVString("A\0b", 3), blind), 0);
}

TEST(XVStringCompare, ShorterStringsOrderFirstWhateverTheirText) {
    const XVString z("zzz"), longer("aaaaaaaaaa");
    EXPECT_EQ(z.compareTo(longer, exact), -7);
    EXPECT_EQ(longer.compareTo(z, blind), 7);
    EXPECT_EQ(XVString().compareTo(XVString("\0", 1), exact), -1);
    // The text overload reads only up to a NUL.
    EXPECT_EQ(XVString("ab\0c", 4).compareTo("ab", exact), 0);
}

TEST(XVStringCompare, BadModeThrowsExactMessage) {
    const auto bad = static_cast<XVString::CompareMode>(2);
    try {
        XVString("x").compareTo("x", bad);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "XVTString<charT>::compareTo->int");
    }
    EXPECT_THROW(XVString("ab").compareTo(XVString("cd"), bad), std::invalid_argument);
    EXPECT_EQ(XVString("abc").compareTo(XVString("x"), bad), 2);  // lengths differ: no check
}

TEST(XVStringIndex, ExactSearch) {
    EXPECT_EQ(XVString("abcdef").index("f", 1, 4, exact), 5u);
    EXPECT_EQ(XVString("abca").index("a", 1, 1, exact), 3u);
    EXPECT_EQ(XVString("xy").index("xyz", 3, 0, exact), npos);
    EXPECT_EQ(XVString("abc").index("", 0, 2, exact), 2u);
    EXPECT_EQ(XVString("abc").index("", 0, 4, exact), npos);
    EXPECT_EQ(XVString("abc").index("c", 1, npos, exact), npos);  // start + length overflows
    EXPECT_EQ(XVString("aXa").index("x", 1, 0, exact), npos);
}

TEST(XVStringIndex, CaseBlindSearchLeavesBothTextsUnchanged) {
    XVString s("1 march 97");
    char pattern[] = "MARCH";
    EXPECT_EQ(s.index(pattern, 3, 0, blind), 2u);
    EXPECT_EQ(s.index(pattern, 3, 3, blind), npos);
    EXPECT_EQ(s, "1 march 97");
    EXPECT_STREQ(pattern, "MARCH");
    EXPECT_EQ(XVString("ABCabc").index("abc", 3, 1, blind), 3u);
    // Any non-zero mode searches case-blind.
    EXPECT_EQ(XVString("xAy").index("a", 1, 0, static_cast<XVString::CompareMode>(5)), 1u);
}

XVString viewed(const XVSubString& view) {
    return XVString(view);
}

TEST(XVStringStrip, ViewsWhatIsLeft) {
    EXPECT_EQ(viewed(XVString("a ").strip(XVString::stripTrailing, ' ')), "a");
    EXPECT_TRUE(XVString("   ").strip(XVString::stripTrailing, ' ').isNull());
    EXPECT_TRUE(XVString("   ").strip(XVString::stripLeading, ' ').isNull());
    EXPECT_TRUE(XVString("").strip(XVString::stripBoth, ' ').isNull());
    EXPECT_EQ(viewed(XVString("  ab  ").strip(XVString::stripBoth, ' ')), "ab");
    EXPECT_EQ(viewed(XVString("  ab ").strip(XVString::stripLeading, ' ')), "ab ");
    EXPECT_EQ(viewed(XVString("x").strip(XVString::stripBoth, ' ')), "x");
    EXPECT_EQ(viewed(XVString("00700").strip(XVString::stripBoth, '0')), "7");
    EXPECT_EQ(viewed(XVString(" a ").strip(static_cast<XVString::StripMode>(9), ' ')), " a ");
}

TEST(XVSubString, NullViewsAndConversion) {
    EXPECT_TRUE(XVSubString().isNull());
    XVString s("abcd");
    EXPECT_EQ(viewed(s.subString(1, 2)), "bc");
    EXPECT_TRUE(s.subString(1, 0).isNull());
    EXPECT_TRUE(s.subString(npos, 2).isNull());
    EXPECT_EQ(viewed(s.subString(1, 0)), "");
    // Views are not bounded when made; converting copies what exists.
    EXPECT_EQ(viewed(s.subString(2, 100)), "cd");
    EXPECT_EQ(viewed(s.subString(4, 1)), "");
    EXPECT_EQ(viewed(s.subString(1000, 1)), "");
}

TEST(XVSubString, ViewHoldsOneReferenceOnItsSource) {
    XVString s("abcd");
    {
        XVSubString view = s.subString(0, 2);
        EXPECT_EQ(s.AddRef(), 3);  // 1 own + 1 view + this one
        s.Release();
        {
            XVSubString copy(view);
            EXPECT_EQ(s.AddRef(), 4);
            s.Release();
        }
        // The view's own AddRef also adds one to its source.
        EXPECT_EQ(view.AddRef(), 2);
        EXPECT_EQ(s.AddRef(), 4);
        s.Release();
        EXPECT_EQ(view.Release(), 1);
    }
    EXPECT_EQ(s.AddRef(), 2);
    s.Release();
}

// The source's reference count, read without changing it.
int refsOf(const XVString& s) {
    const int count = s.AddRef() - 1;
    s.Release();
    return count;
}

TEST(XVSubString, StripViewsHoldAReferenceAndNullOnesDoNot) {
    const XVString padded("  ab  "), blanks("   "), empty;
    {
        const XVSubString both = padded.strip(XVString::stripBoth, ' ');
        EXPECT_EQ(both.start(), 2u);
        EXPECT_EQ(both.length(), 2u);
        EXPECT_EQ(both.source(), &padded);
        EXPECT_EQ(refsOf(padded), 2);
        const XVSubString none = blanks.strip(XVString::stripBoth, ' ');
        const XVSubString nothing = empty.strip(XVString::stripLeading, ' ');
        EXPECT_EQ(none.source(), nullptr);
        EXPECT_EQ(none.start(), npos);
        EXPECT_EQ(nothing.source(), nullptr);
        EXPECT_EQ(refsOf(blanks), 1);
        EXPECT_EQ(refsOf(empty), 1);
        const XVString copied(both);
        EXPECT_EQ(copied, "ab");
        EXPECT_EQ(refsOf(copied), 1);
        EXPECT_EQ(refsOf(padded), 2);  // converting takes no lasting reference
    }
    EXPECT_EQ(refsOf(padded), 1);
    // A stretch of the stripped character inside the text stays.
    EXPECT_EQ(viewed(XVString("a  b ").strip(XVString::stripTrailing, ' ')), "a  b");
    EXPECT_EQ(viewed(XVString("..a..").strip(XVString::stripLeading, '.')), "a..");
    EXPECT_EQ(viewed(XVString("..a..").strip(XVString::stripTrailing, '.')), "..a");
}

TEST(XVSubString, AssignmentMovesTheReference) {
    XVString a("a"), b("b");
    XVSubString view = a.subString(0, 1);
    view = b.subString(0, 1);
    EXPECT_EQ(a.AddRef(), 2);
    EXPECT_EQ(b.AddRef(), 3);
    a.Release();
    b.Release();
}

TEST(XVString, CopiesStartWithTheirOwnCount) {
    XVString a("text");
    a.AddRef();
    XVString b(a);
    EXPECT_EQ(b.AddRef(), 2);
    XVString c;
    c = a;
    EXPECT_EQ(c, "text");
    EXPECT_EQ(c.AddRef(), 2);
    EXPECT_STREQ(XVString().c_str(), "");
}

}  // namespace
