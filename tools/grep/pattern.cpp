#include "pattern.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "options.h"

namespace xvtool {

namespace {

// The members of each POSIX class, written as the library's class members.
struct PosixClass {
    std::string_view name;
    std::string_view members;
};

constexpr PosixClass kPosixClasses[] = {
    {"alnum", "0-9A-Za-z"},
    {"alpha", "A-Za-z"},
    {"blank", "\\x20\\x09"},
    {"cntrl", "\\x00-\\x1f\\x7f"},
    {"digit", "0-9"},
    {"graph", "\\x21-\\x7e"},
    {"lower", "a-z"},
    {"print", "\\x20-\\x7e"},
    {"punct", "\\x21-\\x2f\\x3a-\\x40\\x5b-\\x60\\x7b-\\x7e"},
    {"space", "\\x20\\x09-\\x0d"},
    {"upper", "A-Z"},
    {"xdigit", "0-9A-Fa-f"},
};

// The classes of \d \w \s and their negations.
constexpr const char* kDigitClass = "[0-9]";
constexpr const char* kNonDigitClass = "[^0-9]";
constexpr const char* kWordClass = "[0-9A-Za-z_]";
constexpr const char* kNonWordClass = "[^0-9A-Za-z_]";
constexpr const char* kSpaceClass = "[\\x20\\x09-\\x0d]";
constexpr const char* kNonSpaceClass = "[^\\x20\\x09-\\x0d]";

// Reads one pattern from left to right, writing the library's form of each
// alternative and refusing what has no faithful rewrite.
class Rewriter {
  public:
    explicit Rewriter(std::string_view pattern) : p_(pattern) {}

    std::vector<std::string> run() {
        std::vector<std::string> result(1);
        while (at_ < p_.size()) {
            const char c = p_[at_];
            if (c == '|') {
                result.emplace_back();
                ++at_;
            } else if (c == '\\') {
                escape(result.back());
            } else if (c == '[') {
                bracket(result.back());
            } else if (c == '(' || c == ')') {
                refuse(std::string("groups are not supported; write '\\") + c +
                       "' for a literal '" + c + "'");
            } else if (c == '{' && isInterval()) {
                refuse(
                    "intervals {n,m} are not supported; repeat the item, or write '\\{' "
                    "for a literal '{'");
            } else {
                result.back() += c;
                ++at_;
            }
        }
        return result;
    }

  private:
    [[noreturn]] void refuse(const std::string& why) const {
        usageError("pattern '" + std::string(p_) + "' is refused: " + why);
    }

    // "{n}", "{n,}", "{,m}" or "{n,m}" from the current '{'.
    bool isInterval() const {
        std::size_t i = at_ + 1;
        bool digits = false;
        while (i < p_.size() && std::isdigit(static_cast<unsigned char>(p_[i])) != 0)
            ++i, digits = true;
        if (i < p_.size() && p_[i] == ',') {
            ++i;
            while (i < p_.size() && std::isdigit(static_cast<unsigned char>(p_[i])) != 0)
                ++i, digits = true;
        }
        return digits && i < p_.size() && p_[i] == '}';
    }

    // A backslash outside brackets: copies the library's escape, or writes
    // the class a grep user means by it.
    void escape(std::string& out) {
        if (at_ + 1 >= p_.size()) {
            out += p_.substr(at_);
            at_ = p_.size();
            return;
        }
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
            case '^':
                // The control escape takes the character after it too.
                out += p_.substr(at_, 3);
                at_ += std::min<std::size_t>(3, p_.size() - at_);
                return;
            default:
                if (c >= '1' && c <= '9') {
                    refuse(std::string("back-references (\\") + c +
                           ") are not supported; write \\x0" + c + " for the character " +
                           "with code " + c);
                }
                out += p_.substr(at_, 2);
        }
        at_ += 2;
    }

    // A class from its '[' to its ']': POSIX classes become ranges, and a ']'
    // first among the members is a member, as in grep.
    void bracket(std::string& out) {
        if (p_.substr(at_).starts_with("[:")) {
            const std::size_t close = p_.find(']', at_ + 2);
            if (close != std::string_view::npos && close > at_ + 2 && p_[close - 1] == ':')
                refuse("character class syntax is [[:space:]], not [:space:]");
        }
        out += '[';
        ++at_;
        if (at_ < p_.size() && p_[at_] == '^')
            out += p_[at_++];
        if (at_ < p_.size() && p_[at_] == ']') {
            out += "\\]";
            ++at_;
        }
        while (at_ < p_.size() && p_[at_] != ']') {
            if (p_[at_] == '\\') {
                const std::size_t length = at_ + 1 < p_.size() && p_[at_ + 1] == '^' ? 3 : 2;
                out += p_.substr(at_, length);
                at_ = std::min(p_.size(), at_ + length);
            } else if (p_.substr(at_).starts_with("[:")) {
                posixClass(out);
            } else {
                out += p_[at_++];
            }
        }
        if (at_ < p_.size())
            out += p_[at_++];
    }

    void posixClass(std::string& out) {
        const std::size_t close = p_.find(":]", at_ + 2);
        if (close == std::string_view::npos) {
            out += p_[at_++];
            return;
        }
        const std::string_view name = p_.substr(at_ + 2, close - at_ - 2);
        for (const PosixClass& pc : kPosixClasses) {
            if (pc.name == name) {
                out += pc.members;
                at_ = close + 2;
                return;
            }
        }
        refuse("unknown character class [:" + std::string(name) + ":]");
    }

    std::string_view p_;
    std::size_t at_ = 0;
};

}  // namespace

std::vector<std::string> rewriteGrepPattern(std::string_view pattern) {
    return Rewriter(pattern).run();
}

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

}  // namespace xvtool
