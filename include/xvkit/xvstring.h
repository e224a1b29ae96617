// xvkit/xvstring.h
//
// The library's string type and the stream helper.
//
//   XVTString<charT>     std::basic_string that is also an XVObject, with exact
//                        or case-blind comparison and search, and substring views
//   XVTSubString<charT>  a light view of a stretch of an XVTString
//   XVString             XVTString<char>, the string of every xvkit interface
//   XEatWhite            skips whitespace on an input stream
//
// Example:
//
//   XVString s("  1 March 97  ");
//   XVString trimmed(s.strip(XVString::stripBoth, ' '));   // "1 March 97"
//   size_t at = trimmed.index("MAR", 3, 0, XVString::caseInsensitive);  // 2

#ifndef XVKIT_XVSTRING_H_
#define XVKIT_XVSTRING_H_

#include <array>
#include <cstddef>
#include <istream>
#include <locale>
#include <stdexcept>
#include <string>
#include <type_traits>

#include <xvkit/xvobject.h>

template <class charT>
class XVTString;

// A view of `length` characters of a string from index `start`. It owns no
// characters but holds one reference on its source while it lives, so it must
// not outlive the source. A view is null when it has no source, no characters
// or the start `npos`; a null view stands for an absent stretch.
template <class charT>
class XVTSubString : public XVObject {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The null view: start npos, length 0, no source.
    XVTSubString() = default;
    // A view of `source`; takes a reference on it (its AddRef). No bound is
    // checked here.
    XVTSubString(const XVTString<charT>& source, std::size_t start, std::size_t length)
        : start_(start), length_(length), source_(&source) {
        source_->AddRef();
    }
    // Copies share the source and take their own reference on it; the copy's
    // own count starts at 1.
    XVTSubString(const XVTSubString& other)
        : XVObject(), start_(other.start_), length_(other.length_), source_(other.source_) {
        if (source_)
            source_->AddRef();
    }
    // Views `other`'s stretch: takes a reference on its source, then gives
    // back the one on the old source. The view's own count is left alone.
    XVTSubString& operator=(const XVTSubString& other) {
        if (other.source_)
            other.source_->AddRef();
        if (source_)
            source_->Release();
        start_ = other.start_;
        length_ = other.length_;
        source_ = other.source_;
        return *this;
    }
    // Gives back the reference on the source (its Release).
    ~XVTSubString() override {
        if (source_)
            source_->Release();
    }

    // Adds a reference on the source (if any), then on the view; returns the
    // view's new count.
    int AddRef() const override {
        if (source_)
            source_->AddRef();
        return XVObject::AddRef();
    }
    // Releases a reference on the source (if any), then on the view; returns
    // what the release of the view's own count returns (0 after deleting a
    // view made with `new`, whose destructor releases the source once more).
    int Release() const override {
        if (source_)
            source_->Release();
        return XVObject::Release();
    }

    // True for an absent stretch: no characters, no source or start npos.
    bool isNull() const { return length_ == 0 || source_ == nullptr || start_ == npos; }

    // Index of the first character in the source (npos in the null view).
    std::size_t start() const { return start_; }
    // Number of characters viewed (0 in the null view).
    std::size_t length() const { return length_; }
    // The string viewed, or null.
    const XVTString<charT>* source() const { return source_; }

  private:
    std::size_t start_ = npos;
    std::size_t length_ = 0;
    const XVTString<charT>* source_ = nullptr;
};

// A std::basic_string<charT> that is also an XVObject. All standard string
// behaviour is unchanged; the class adds comparison and search with a choice
// of case handling, and substring views. Only `char` is supported: the
// case-blind operations follow the C runtime's byte-wise rules.
template <class charT>
class XVTString : public std::basic_string<charT>, public XVObject {
    static_assert(std::is_same_v<charT, char>, "XVTString supports char only");

  public:
    using Base = std::basic_string<charT>;
    using Base::npos;

    enum CompareMode { caseSensitive = 0, caseInsensitive = 1 };
    enum StripMode { stripTrailing = 0, stripBoth = 1, stripLeading = 2 };

    // Every constructor makes the standard string first, then the XVObject
    // part with the reference count 1. They throw what the standard string's
    // constructors throw (std::logic_error for a null `s`, std::length_error
    // past max_size()).

    // The empty string.
    XVTString() = default;
    // A copy of the NUL-terminated text `s`.
    XVTString(const charT* s) : Base(s) {}  // NOLINT: implicit like std::string
    // A copy of the `n` characters at `s` (NULs included).
    XVTString(const charT* s, std::size_t n) : Base(s, n) {}
    // A copy (or the moved text) of a standard string.
    XVTString(const Base& s) : Base(s) {}        // NOLINT: implicit like std::string
    XVTString(Base&& s) : Base(std::move(s)) {}  // NOLINT
    // A copy of the text with a fresh reference count of 1.
    XVTString(const XVTString& other) : Base(other), XVObject() {}
    XVTString(XVTString&& other) noexcept : Base(std::move(other)), XVObject() {}
    // The characters a view covers; empty for a null view. A non-null view
    // always has a source (views are only made from a string), so the
    // conversion never fails. Of a view reaching past the end of its source
    // only the characters inside the source are copied.
    XVTString(const XVTSubString<charT>& view);  // NOLINT: implicit by design

    // The assignments copy (or move) the text; the reference count is left
    // alone.
    XVTString& operator=(const XVTString& other) {
        Base::operator=(other);
        return *this;
    }
    XVTString& operator=(XVTString&& other) noexcept {
        Base::operator=(std::move(other));
        return *this;
    }
    XVTString& operator=(const charT* s) {
        Base::operator=(s);
        return *this;
    }

    // Three-way compare with the NUL-terminated text `s` (not null).
    // `caseSensitive` compares unsigned bytes in strcmp order and returns -1,
    // 0 or 1; `caseInsensitive` returns the C runtime's case-blind compare
    // (strcasecmp): negative, 0 or positive.
    // Throws std::invalid_argument("XVTString<charT>::compareTo->int") for any
    // other mode.
    int compareTo(const charT* s, CompareMode mode = caseSensitive) const;

    // Three-way compare with another string, lengths first: when the lengths
    // differ the result is this length minus the other's (as an int),
    // whatever the characters. Equal lengths compare byte-wise as above, or
    // case-blind over the whole length without stopping at a NUL.
    // Throws std::invalid_argument("XVTString<charT>::compareTo->int") for a
    // mode other than 0 or 1, but only when the lengths are equal.
    int compareTo(const XVTString& s, CompareMode mode = caseSensitive) const;

    // Position of the first occurrence of the `patternLength` characters of
    // `pattern` at or after `start`, or npos when none (or when the pattern
    // cannot fit after `start`, `start` past the end included). An empty
    // pattern matches at `start`. Any non-zero mode searches case-blind, both
    // sides lowered by the classic "C" ctype facet; neither this string nor
    // the pattern is changed or copied. Never throws.
    std::size_t index(const charT* pattern, std::size_t patternLength, std::size_t start = 0,
                      CompareMode mode = caseSensitive) const;

    // The view left after removing characters equal to `c` from the end(s)
    // that `mode` names; a null view (holding no reference) when nothing is
    // left or the string is empty. Any other mode value views the whole
    // string. A non-null view holds one reference on this string.
    XVTSubString<charT> strip(StripMode mode = stripTrailing, charT c = ' ') const;

    // A view of `length` characters from `start`, holding one reference on
    // this string. No bound is checked; converting the view copies only what
    // lies inside the string.
    XVTSubString<charT> subString(std::size_t start, std::size_t length) const {
        return XVTSubString<charT>(*this, start, length);
    }

  private:
    static constexpr const char* kCompareMessage = "XVTString<charT>::compareTo->int";

    static int compareBytes(const charT* a, const charT* b, std::size_t n);
    // The classic "C" ctype facet's lower case of every char, taken once.
    static const std::array<charT, 256>& classicLower();
    static std::size_t find(const charT* text, std::size_t n, const charT* pattern,
                            std::size_t patternLength, std::size_t start);
};

using XVString = XVTString<char>;
using XVSubString = XVTSubString<char>;

// Skips whitespace (as the C runtime's `isspace` reports it) until the next
// character is not whitespace or the stream reaches its end or goes bad; the
// first non-blank character stays unread. Returns `is`.
// Exported under its plain (C-linkage) name.
#if defined(__clang__)
// The C-linkage export of a function returning a C++ reference is deliberate.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" XVKIT_API std::istream& XEatWhite(std::istream& is);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

// ---- implementation ---------------------------------------------------------

template <class charT>
XVTString<charT>::XVTString(const XVTSubString<charT>& view) {
    // A view without a source is always null, so a null test covers it.
    if (view.isNull())
        return;
    // Views are not checked against their source when made, so only the part
    // that lies inside the source is copied.
    const Base& source = *view.source();
    if (view.start() < source.size())
        Base::assign(source, view.start(), view.length());
}

template <class charT>
int XVTString<charT>::compareBytes(const charT* a, const charT* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

template <class charT>
int XVTString<charT>::compareTo(const charT* s, CompareMode mode) const {
    switch (mode) {
        case caseSensitive: {
            const charT* p = this->c_str();
            for (;; ++p, ++s) {
                const auto x = static_cast<unsigned char>(*p);
                const auto y = static_cast<unsigned char>(*s);
                if (x != y)
                    return x < y ? -1 : 1;
                if (x == 0)
                    return 0;
            }
        }
        case caseInsensitive:
            return xvStricmp(this->c_str(), s);
    }
    throw std::invalid_argument(kCompareMessage);
}

template <class charT>
int XVTString<charT>::compareTo(const XVTString& s, CompareMode mode) const {
    // The difference as a 32-bit int takes the low bits of the unsigned
    // difference, so it never overflows, whatever the lengths.
    if (this->length() != s.length())
        return static_cast<int>(this->length() - s.length());
    switch (mode) {
        case caseSensitive:
            return compareBytes(this->data(), s.data(), this->length());
        case caseInsensitive:
            return xvMemicmp(this->data(), s.data(), this->length());
    }
    throw std::invalid_argument(kCompareMessage);
}

template <class charT>
std::size_t XVTString<charT>::find(const charT* text, std::size_t n, const charT* pattern,
                                   std::size_t patternLength, std::size_t start) {
    if (n < start + patternLength || start + patternLength < start)
        return npos;
    for (std::size_t i = start; i + patternLength <= n; ++i) {
        if (Base::traits_type::compare(text + i, pattern, patternLength) == 0)
            return i;
    }
    return npos;
}

template <class charT>
std::size_t XVTString<charT>::index(const charT* pattern, std::size_t patternLength,
                                    std::size_t start, CompareMode mode) const {
    const std::size_t n = this->length();
    if (mode == caseSensitive)
        return find(this->data(), n, pattern, patternLength, start);
    if (n < start + patternLength || start + patternLength < start)
        return npos;

    // Both sides lowered character by character as they are compared.
    const std::array<charT, 256>& lower = classicLower();
    const auto lowered = [&lower](charT c) { return lower[static_cast<unsigned char>(c)]; };
    const charT* text = this->data();
    for (std::size_t i = start; i + patternLength <= n; ++i) {
        std::size_t k = 0;
        while (k < patternLength && lowered(text[i + k]) == lowered(pattern[k]))
            ++k;
        if (k == patternLength)
            return i;
    }
    return npos;
}

template <class charT>
const std::array<charT, 256>& XVTString<charT>::classicLower() {
    static const std::array<charT, 256> table = [] {
        std::array<charT, 256> all;
        for (std::size_t c = 0; c < all.size(); ++c)
            all[c] = static_cast<charT>(c);
        std::use_facet<std::ctype<charT>>(std::locale::classic())
            .tolower(all.data(), all.data() + all.size());
        return all;
    }();
    return table;
}

template <class charT>
XVTSubString<charT> XVTString<charT>::strip(StripMode mode, charT c) const {
    const std::size_t n = this->length();
    if (n == 0)
        return XVTSubString<charT>();
    if (mode != stripTrailing && mode != stripBoth && mode != stripLeading) {
        return XVTSubString<charT>(*this, 0, n);
    }
    std::size_t first = 0;
    std::size_t last = n - 1;
    if (mode == stripLeading || mode == stripBoth) {
        while (first < n && (*this)[first] == c)
            ++first;
        if (first == n)
            return XVTSubString<charT>();
    }
    if (mode == stripTrailing || mode == stripBoth) {
        while (last > first && (*this)[last] == c)
            --last;
        if ((*this)[last] == c)
            return XVTSubString<charT>();
    }
    return XVTSubString<charT>(*this, first, last - first + 1);
}

extern template class XVKIT_API XVTSubString<char>;
extern template class XVKIT_API XVTString<char>;

#endif  // XVKIT_XVSTRING_H_
