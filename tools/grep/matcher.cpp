#include "matcher.h"

#include <bitset>
#include <cctype>
#include <cstdio>

#include "options.h"

namespace xvtool {

namespace {

constexpr unsigned char kNewline = '\n';
constexpr int kCodeWords = 256;  // the library's code array size
constexpr int kClassMapWords = kXREClassWords - 1;
constexpr int kBitsPerMapWord = 16;

using ByteSet = std::bitset<256>;

// One item of a compiled pattern: the bytes it matches and its closure word
// (0 when it has none).
struct Item {
    ByteSet set;
    unsigned short closure = 0;
};

struct Decoded {
    bool begin = false;
    bool end = false;
    std::vector<Item> items;
};

std::string describeStatus(int status) {
    switch (status) {
        case XVRegExprLight::syntaxError:
            return "syntax error (status 1): empty, starting with '*', '+' or '?', "
                   "with an empty or unclosed class, or ending in '\\^'";
        case XVRegExprLight::compileError:
            return "compile error (status 3): too long, or a closure after an anchor or "
                   "another closure";
        default:
            return "status " + std::to_string(status);
    }
}

struct NotCompiled {
    std::string why;
};

[[noreturn]] void notCompiled(const std::string& shown, int status) {
    throw NotCompiled{"pattern " + quoteArg(shown) +
                      " does not compile: " + describeStatus(status)};
}

// `text` as a pattern that matches exactly those bytes (for -F).
std::string literalPattern(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
            out += hex;
        }
    }
    return out;
}

// Compiles `pattern` with the library's own compiler and reads its code back
// as items, so the tool sees exactly what the library would match.
Decoded decode(const std::string& pattern, const std::string& shown) {
    unsigned short code[kCodeWords];
    if (const int status = XREMakePattern(pattern.c_str(), code, kCodeWords); status != 0)
        notCompiled(shown, status);
    Decoded d;
    int at = 0;
    if (code[at] == kXRECodeBeginAnchor) {
        d.begin = true;
        ++at;
    }
    while (code[at] != kXRECodeEnd) {
        if (code[at] == kXRECodeEndAnchor) {
            d.end = true;
            ++at;
            continue;
        }
        Item item;
        if (code[at] == kXRECodeStar || code[at] == kXRECodePlus || code[at] == kXRECodeOptional)
            item.closure = code[at++];
        const unsigned short w = code[at++];
        if (w < 256) {
            item.set.set(w);
        } else if (w == kXRECodeAny) {
            item.set.set();
            item.set.reset(kNewline);
        } else {
            for (int k = 0; k < kClassMapWords; ++k) {
                for (int b = 0; b < kBitsPerMapWord; ++b) {
                    if ((code[at + k] >> b & 1) != 0)
                        item.set.set(k * kBitsPerMapWord + b);
                }
            }
            at += kClassMapWords;
        }
        d.items.push_back(item);
    }
    return d;
}

std::string hexByte(int c) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", c);
    return text;
}

// The library's text for the set: a literal, or a class of ranges.
std::string setText(const ByteSet& set) {
    if (set.count() == 1) {
        int c = 0;
        while (!set.test(c))
            ++c;
        return std::isalnum(c) != 0 ? std::string(1, static_cast<char>(c)) : hexByte(c);
    }
    std::string text = "[";
    for (int c = 0; c < 256;) {
        if (!set.test(c)) {
            ++c;
            continue;
        }
        int last = c;
        while (last + 1 < 256 && set.test(last + 1))
            ++last;
        text += hexByte(c);
        if (last > c) {
            text += '-';
            text += hexByte(last);
        }
        c = last + 1;
    }
    return text + "]";
}

char closureChar(unsigned short closure) {
    return closure == kXRECodeStar ? '*' : closure == kXRECodePlus ? '+' : '?';
}

constexpr int kCaseDistance = 'a' - 'A';

bool isUpper(int c) {
    return c >= 'A' && c <= 'Z';
}

bool isLower(int c) {
    return c >= 'a' && c <= 'z';
}

// The set for a case-blind search: lowered for a lowered text, or with both
// cases of its letters.
ByteSet caseBlind(const ByteSet& set, bool foldedText) {
    ByteSet result;
    for (int c = 0; c < 256; ++c) {
        if (!set.test(c))
            continue;
        result.set(isUpper(c) && foldedText ? c + kCaseDistance : c);
        if (!foldedText && isUpper(c))
            result.set(c + kCaseDistance);
        if (!foldedText && isLower(c))
            result.set(c - kCaseDistance);
    }
    return result;
}

bool hasLetterLiteral(const std::string& pattern, const std::string& shown) {
    if (pattern.empty())
        return false;
    for (const Item& item : decode(pattern, shown).items) {
        if (item.set.count() == 1) {
            int c = 0;
            while (!item.set.test(c))
                ++c;
            if (isUpper(c) || isLower(c))
                return true;
        }
    }
    return false;
}

bool isWordByte(unsigned char c) {
    return std::isalnum(c) != 0 || c == '_';
}

}  // namespace

void foldCase(const char* from, std::size_t n, char* to) {
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(from[i]);
        to[i] = static_cast<char>(isUpper(c) ? c + kCaseDistance : c);
    }
}

PatternMatcher::PatternMatcher(const std::string& pattern, const std::string& shown,
                               const MatchMode& mode)
    : word_(mode.wordRegexp && !mode.lineRegexp), re_("x"), wordEnd_("x") {
    if (pattern.empty() && !mode.lineRegexp) {
        // grep's empty pattern: an empty match everywhere.
        kind_ = Kind::everywhere;
        return;
    }
    Decoded d = pattern.empty() ? Decoded{} : decode(pattern, shown);
    if (mode.lineRegexp)
        d.begin = d.end = true;
    std::string body;
    for (Item& item : d.items) {
        item.set.reset(kNewline);
        if (mode.ignoreCase)
            item.set = caseBlind(item.set, mode.foldedText);
        if (item.set.none()) {
            // An item no line can hold: optional items go, required ones
            // leave a pattern that never matches.
            if (item.closure == kXRECodeStar || item.closure == kXRECodeOptional)
                continue;
            kind_ = Kind::nowhere;
            return;
        }
        body += setText(item.set);
        if (item.closure != 0)
            body += closureChar(item.closure);
    }
    if (body.empty() && !d.begin && !d.end) {
        kind_ = Kind::everywhere;
        return;
    }
    const std::string newline = hexByte(kNewline);
    lead_ = d.begin ? 1 : 0;
    trail_ = d.end ? 1 : 0;
    const std::string head = (d.begin ? newline : "") + body;
    re_ = (head + (d.end ? newline : "")).c_str();
    if (const int status = re_.status(); status != XVRegExprLight::ok)
        notCompiled(shown, status);
    if (word_ && !d.end) {
        wordEnd_ = ("^" + head + "[^0-9A-Za-z_]").c_str();
        if (const int status = wordEnd_.status(); status != XVRegExprLight::ok)
            notCompiled(shown, status);
    }
}

bool PatternMatcher::find(const XVString& text, std::size_t from, std::size_t limit,
                          Match& m) const {
    if (kind_ == Kind::nowhere || from >= limit)
        return false;
    if (kind_ == Kind::everywhere) {
        for (; from < limit; ++from) {
            m = {from, 0};
            if (!word_ || isWordAt(text, from, m))
                return true;
        }
        return false;
    }
    std::size_t searchFrom = from - lead_;
    for (;;) {
        std::size_t length = 0;
        const std::size_t at = re_.index(text, &length, searchFrom);
        if (at == static_cast<std::size_t>(-1) || at + lead_ >= limit)
            return false;
        m = {at + lead_, length - lead_ - trail_};
        if (!word_ || isWordAt(text, at, m))
            return true;
        searchFrom = at + 1;
    }
}

// Whether a whole-word match starts where `m` does; on success `m` holds it.
// `at` is where the buffer pattern's match began.
bool PatternMatcher::isWordAt(const XVString& text, std::size_t at, Match& m) const {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (isWordByte(byte(m.start - 1)))
        return false;
    const std::size_t end = m.start + m.length;
    if (!isWordByte(byte(end)))
        return true;
    if (kind_ == Kind::everywhere || trail_ != 0)
        return false;
    // The greedy match runs into a word; some shorter one may end at its edge.
    std::size_t length = 0;
    if (wordEnd_.index(text, &length, at) != at)
        return false;
    m.length = length - lead_ - 1;
    return true;
}

std::unique_ptr<MatcherSet> MatcherSet::compile(const std::vector<PatternSource>& sources,
                                                const MatchMode& mode, std::string& error) {
    std::unique_ptr<MatcherSet> set(new MatcherSet);
    std::vector<std::string> patterns;
    for (const PatternSource& source : sources)
        patterns.push_back(source.fixed ? literalPattern(source.text) : source.text);
    try {
        MatchMode settled = mode;
        for (std::size_t i = 0; i < patterns.size() && mode.ignoreCase; ++i)
            settled.foldedText =
                settled.foldedText || hasLetterLiteral(patterns[i], sources[i].shown);
        set->foldedText_ = settled.foldedText;
        for (std::size_t i = 0; i < patterns.size(); ++i)
            set->matchers_.emplace_back(patterns[i], sources[i].shown, settled);
    } catch (const NotCompiled& failure) {
        error = failure.why;
        return nullptr;
    }
    set->cache_.resize(set->matchers_.size());
    return set;
}

void MatcherSet::newText() {
    for (Cached& c : cache_)
        c.valid = false;
}

bool MatcherSet::find(const XVString& text, std::size_t from, std::size_t limit, Match& m) {
    bool found = false;
    for (std::size_t i = 0; i < matchers_.size(); ++i) {
        Cached& c = cache_[i];
        // A search from an earlier start whose match is not before `from`
        // gives the same answer as a new one; so does a failed search that
        // looked at least as far.
        const bool still =
            c.valid && c.from <= from && (c.found ? c.match.start >= from : c.limit >= limit);
        if (!still) {
            c.valid = true;
            c.from = from;
            c.limit = limit;
            c.found = matchers_[i].find(text, from, limit, c.match);
        }
        if (!c.found || c.match.start >= limit)
            continue;
        if (!found || c.match.start < m.start ||
            (c.match.start == m.start && c.match.length > m.length)) {
            m = c.match;
            found = true;
        }
    }
    return found;
}

}  // namespace xvtool
