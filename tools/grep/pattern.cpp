#include "pattern.h"

#include <cctype>
#include <cstdio>
#include <optional>

#include "options.h"

namespace xvtool {

namespace {

// The members of each POSIX class in the C locale, as pairs of characters
// that bound ranges ("09AZ" is 0-9 and A-Z).
struct PosixClass {
    std::string_view name;
    std::string_view ranges;
};

constexpr PosixClass kPosixClasses[] = {
    {"alnum", "09AZaz"},   {"alpha", "AZaz"},
    {"blank", "\t\t  "},   {"cntrl", std::string_view("\0\x1f\x7f\x7f", 4)},
    {"digit", "09"},       {"graph", "!~"},
    {"lower", "az"},       {"print", " ~"},
    {"punct", "!/:@[`{~"}, {"space", "\t\r  "},
    {"upper", "AZ"},       {"xdigit", "09AFaf"},
};

// The classes of \d \w \s and their negations.
constexpr const char* kDigitClass = "[0-9]";
constexpr const char* kNonDigitClass = "[^0-9]";
constexpr const char* kWordClass = "[0-9A-Za-z_]";
constexpr const char* kNonWordClass = "[^0-9A-Za-z_]";
constexpr const char* kSpaceClass = "[\\x20\\x09-\\x0d]";
constexpr const char* kNonSpaceClass = "[^\\x20\\x09-\\x0d]";

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The length of the library's escape that starts with the backslash at
// `at`: "\x41" (one or two hex digits), "\^A" (a control character), "\101"
// (one to three octal digits) or a backslash and one character.
std::size_t escapeLength(std::string_view p, std::size_t at) {
    std::size_t n = 1;
    if (at + n >= p.size())
        return n;
    const char c = p[at + n++];
    if (c == 'x' || c == 'X') {
        for (int digits = 0; digits < 2 && at + n < p.size() && isHex(p[at + n]); ++digits)
            ++n;
    } else if (c == '^') {
        n += at + n < p.size() ? 1 : 0;
    } else if (isOctal(c)) {
        for (int digits = 1; digits < 3 && at + n < p.size() && isOctal(p[at + n]); ++digits)
            ++n;
    }
    return n;
}

void appendHex(std::string& out, int c) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", c);
    out += text;
}

// A pattern that the tool refuses, with the reason.
struct Refused {
    std::string why;
};

// One member of a bracket expression, written in the library's class syntax:
// a character or an escape, which may start or end a range, or a class
// ([:alpha:], [=c=]), which may not.
struct Member {
    std::string text;
    bool isClass = false;
    std::optional<int> character;  // the byte, unless an escape of the library's stands for it
};

// Reads one pattern from left to right, writing the library's form of each
// alternative and refusing what has no faithful rewrite.
class Rewriter {
  public:
    Rewriter(std::string_view pattern, Dialect dialect)
        : p_(pattern), basic_(dialect == Dialect::basic) {}

    std::vector<std::string> run() {
        std::vector<std::string> result(1);
        while (at_ < p_.size()) {
            std::string& out = result.back();
            const bool itemStart = out.empty() || out == "^";
            if (basic_ ? basicSyntax(out, itemStart, result) : extendedSyntax(result))
                continue;
            const char c = p_[at_];
            if (c == '\\') {
                escape(out);
            } else if (c == '[') {
                bracket(out);
            } else {
                out += c;
                ++at_;
            }
        }
        return result;
    }

  private:
    // What the extended dialect reads differently: '|', groups and
    // intervals. Returns whether it took the character at `at_`.
    bool extendedSyntax(std::vector<std::string>& result) {
        const char c = p_[at_];
        if (c == '|') {
            result.emplace_back();
            ++at_;
            return true;
        }
        if (c == '(' || c == ')')
            refuse(std::string("groups are not supported; write '\\") + c + "' for a literal '" +
                   c + "'");
        if (c == '{' && isInterval(at_ + 1, '}'))
            refuse(
                "intervals {n,m} are not supported; repeat the item, or write '\\{' for a "
                "literal '{'");
        return false;
    }

    // What the basic dialect reads differently: \| \+ \? and \( \) \{, and
    // + ? and a '*' that starts the pattern as literal characters.
    bool basicSyntax(std::string& out, bool itemStart, std::vector<std::string>& result) {
        const char c = p_[at_];
        if (c == '+' || c == '?' || (c == '*' && itemStart)) {
            out += '\\';
            out += c;
            ++at_;
            return true;
        }
        if (c != '\\' || at_ + 1 >= p_.size())
            return false;
        const char next = p_[at_ + 1];
        switch (next) {
            case '|':
                result.emplace_back();
                break;
            case '+':
            case '?':
                out += next;
                break;
            case '(':
            case ')':
                refuse(std::string("groups \\( \\) are not supported; write '") + next +
                       "' for a literal '" + next + "'");
            case '{':
                refuse(
                    "intervals \\{n,m\\} are not supported; repeat the item, or write '{' for a "
                    "literal '{'");
            default:
                return false;
        }
        at_ += 2;
        return true;
    }

    [[noreturn]] void refuse(const std::string& why) const { throw Refused{why}; }

    // Digits, a comma and digits, at least one digit, then `close`.
    bool isInterval(std::size_t i, char close) const {
        bool digits = false;
        const auto skipDigits = [&] {
            while (i < p_.size() && std::isdigit(static_cast<unsigned char>(p_[i])) != 0)
                ++i, digits = true;
        };
        skipDigits();
        if (i < p_.size() && p_[i] == ',') {
            ++i;
            skipDigits();
        }
        return digits && i < p_.size() && p_[i] == close;
    }

    // A backslash outside brackets: copies the library's escape, or writes
    // the class a grep user means by it.
    void escape(std::string& out) {
        if (at_ + 1 >= p_.size())
            refuse("a trailing backslash escapes nothing; write '\\\\' for a backslash");
        const char c = p_[at_ + 1];
        switch (c) {
            case 'd':
                out += kDigitClass;
                break;
            case 'D':
                out += kNonDigitClass;
                break;
            case 'w':
                out += kWordClass;
                break;
            case 'W':
                out += kNonWordClass;
                break;
            case 's':
                out += kSpaceClass;
                break;
            case 'S':
                out += kNonSpaceClass;
                break;
            case 'b':
            case 'B':
            case '<':
            case '>':
                refuse(std::string("word boundaries (\\") + c +
                       ") are not supported; use -w for whole words, or write \\x08 for a "
                       "backspace");
            default:
                if (c >= '1' && c <= '9') {
                    refuse(std::string("back-references (\\") + c +
                           ") are not supported; write \\x0" + c + " for the character " +
                           "with code " + c);
                }
                const std::size_t n = escapeLength(p_, at_);
                out += p_.substr(at_, n);
                at_ += n;
                return;
        }
        at_ += 2;
    }

    // A bracket expression, from its '[' to its ']', written as a class of
    // the library's language with the same members.
    void bracket(std::string& out) {
        if (p_.substr(at_).starts_with("[:")) {
            const std::size_t close = p_.find(']', at_ + 2);
            if (close != std::string_view::npos && close > at_ + 2 && p_[close - 1] == ':')
                refuse("character class syntax is [[:space:]], not [:space:]");
        }
        ++at_;
        const bool negated = at_ < p_.size() && p_[at_] == '^';
        at_ += negated ? 1 : 0;
        out += negated ? "[^" : "[";
        for (bool first = true;; first = false) {
            if (at_ >= p_.size())
                refuse("the bracket '[' is not closed; write '\\[' for a literal '['");
            if (p_[at_] == ']' && !first) {
                ++at_;
                break;
            }
            const Member start = member();
            out += start.text;
            if (!rangeFollows())
                continue;
            ++at_;  // the '-'
            const Member end = member();
            if (start.isClass || end.isClass)
                refuse("a range cannot start or end at a class");
            if (start.character && end.character && *end.character < *start.character)
                refuse("the range " +
                       quoteArg(std::string{static_cast<char>(*start.character), '-',
                                            static_cast<char>(*end.character)}) +
                       " is reversed");
            out += '-';
            out += end.text;
        }
        out += ']';
    }

    // A '-' that joins two members: not the last character before ']'.
    bool rangeFollows() const {
        return at_ + 1 < p_.size() && p_[at_] == '-' && p_[at_ + 1] != ']';
    }

    // One member: [:name:], [=c=], [.c.], an escape of the library's or a
    // character.
    Member member() {
        Member m;
        const std::string_view rest = p_.substr(at_);
        if (rest.starts_with("[:") || rest.starts_with("[=") || rest.starts_with("[.")) {
            const char kind = rest[1];
            const std::size_t close = rest.find(std::string{kind, ']'}, 2);
            if (close == std::string_view::npos)
                refuse(std::string("'[") + kind + "' is not closed by '" + kind + "]'");
            const std::string_view name = rest.substr(2, close - 2);
            at_ += close + 2;
            m.isClass = kind != '.';
            if (kind == ':') {
                m.text = posixClass(name);
            } else if (name.size() != 1) {
                refuse(std::string("[") + kind + std::string(name) + kind +
                       "] names no single character");
            } else {
                appendHex(m.text, static_cast<unsigned char>(name[0]));
                m.character = static_cast<unsigned char>(name[0]);
            }
            return m;
        }
        if (rest[0] == '\\') {
            const std::size_t n = escapeLength(p_, at_);
            m.text = rest.substr(0, n);
            at_ += n;
            return m;
        }
        m.character = static_cast<unsigned char>(rest[0]);
        appendHex(m.text, *m.character);
        ++at_;
        return m;
    }

    // The members of a POSIX class, as ranges of hex escapes.
    std::string posixClass(std::string_view name) const {
        for (const PosixClass& pc : kPosixClasses) {
            if (pc.name != name)
                continue;
            std::string ranges;
            for (std::size_t i = 0; i + 1 < pc.ranges.size(); i += 2) {
                appendHex(ranges, static_cast<unsigned char>(pc.ranges[i]));
                ranges += '-';
                appendHex(ranges, static_cast<unsigned char>(pc.ranges[i + 1]));
            }
            return ranges;
        }
        refuse("unknown character class [:" + std::string(name) + ":]");
    }

    std::string_view p_;
    bool basic_;
    std::size_t at_ = 0;
};

}  // namespace

Rewritten rewriteGrepPattern(std::string_view pattern, Dialect dialect) {
    try {
        return {Rewriter(pattern, dialect).run(), ""};
    } catch (const Refused& refused) {
        return {{}, "pattern " + quoteArg(pattern) + " is refused: " + refused.why};
    }
}

std::vector<PatternSource> patternSources(const std::vector<std::string>& patterns, Dialect dialect,
                                          std::string& refusal) {
    std::vector<PatternSource> sources;
    for (const std::string& given : patterns) {
        if (dialect == Dialect::fixed) {
            sources.push_back({given, true, given});
            continue;
        }
        Rewritten rewritten = rewriteGrepPattern(given, dialect);
        if (!rewritten.refusal.empty()) {
            refusal = rewritten.refusal;
            return {};
        }
        for (std::string& pattern : rewritten.patterns)
            sources.push_back({std::move(pattern), false, given});
    }
    return sources;
}

}  // namespace xvtool
