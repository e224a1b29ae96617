#include "options.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace xvtool {

namespace {

constexpr KnownOption kHelp{"--help", false, 'h'};

// "-12.5" or "-.5", after a check that the word starts with '-'.
bool isSignedNumber(std::string_view word) {
    return word[1] == '.' || std::isdigit(static_cast<unsigned char>(word[1])) != 0;
}

// The length of the valid UTF-8 sequence of two to four bytes at the start of
// `text`, or 0 when there is none (overlong forms and surrogates are invalid).
std::size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

// Appends `text` to `out` with control bytes as C escapes ("\n", "\t",
// "\x1b") and bytes that are not part of valid UTF-8 as "\xHH"; with
// `quoting`, '\'' and '\\' are escaped too.
void appendEscaped(std::string& out, std::string_view text, bool quoting) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (const std::size_t n = utf8SequenceLength(text.substr(i)); n != 0) {
                out.append(text.substr(i, n));
                i += n;
                continue;
            }
        }
        ++i;
        switch (c) {
            case '\'':
            case '\\':
                if (quoting)
                    out += '\\';
                out += static_cast<char>(c);
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\r':
                out += "\\r";
                continue;
            default:
                break;
        }
        if (c < 0x20 || c >= 0x7F) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
}

}  // namespace

void usageError(const std::string& message) {
    throw CliError(kExitTrouble, message);
}

void reportError(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "xvkit: %s\n", oneLine(message).c_str());
}

std::string quoteArg(std::string_view text) {
    std::string quoted = "'";
    appendEscaped(quoted, text, true);
    return quoted + "'";
}

std::string oneLine(std::string_view message) {
    std::string line;
    appendEscaped(line, message, false);
    return line;
}

Options::Options(std::string_view command, std::span<char* const> args,
                 std::span<const KnownOption> known, SignedNumbers numbers)
    : command_(command), known_(known) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view word = args[i];
        if (word == "--") {
            operands_.insert(operands_.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            return;
        }
        if (word.size() < 2 || word[0] != '-' ||
            (numbers == SignedNumbers::operands && isSignedNumber(word))) {
            operands_.push_back(args[i]);
            continue;
        }
        const auto nextWord = [&](const std::string& spelling) -> const char* {
            if (i + 1 >= args.size())
                fail("option " + quoteArg(spelling) + " needs a value");
            return args[++i];
        };
        if (word.starts_with("--")) {
            const std::size_t eq = word.find('=');
            const KnownOption& option = findLong(word.substr(0, eq));
            const std::string_view typed = word.substr(0, eq);
            const std::string spelling(option.name.starts_with(typed) ? option.name : option.alias);
            const char* value = nullptr;
            if (eq != std::string_view::npos) {
                if (!option.takesValue && !option.optionalValue)
                    usageError("option " + quoteArg(spelling) + " takes no value");
                value = args[i] + eq + 1;
            } else if (option.takesValue) {
                value = nextWord(spelling);
            }
            given_.push_back({option.name, value, spelling});
            continue;
        }
        // One or more short options; one that takes a value ends the word.
        for (std::size_t k = 1; k < word.size(); ++k) {
            const KnownOption& option = findShort(word[k], word);
            const std::string spelling{'-', word[k]};
            if (!option.takesValue) {
                given_.push_back({option.name, nullptr, spelling});
                continue;
            }
            const char* value = k + 1 < word.size() ? args[i] + k + 1 : nextWord(spelling);
            given_.push_back({option.name, value, spelling});
            break;
        }
    }
}

void Options::fail(const std::string& message) const {
    usageError(message + " (see 'xvkit " + command_ + " --help')");
}

const KnownOption& Options::findLong(std::string_view name) const {
    const bool ownHelp = std::any_of(known_.begin(), known_.end(),
                                     [](const KnownOption& o) { return o.name == kHelp.name; });
    std::vector<const KnownOption*> candidates;
    const auto consider = [&](const KnownOption& option) {
        if (option.name == name || (!option.alias.empty() && option.alias == name)) {
            candidates.assign(1, &option);
            return true;
        }
        if (name.size() > 2 && (option.name.starts_with(name) || option.alias.starts_with(name))) {
            if (std::none_of(candidates.begin(), candidates.end(),
                             [&](const KnownOption* c) { return c->name == option.name; }))
                candidates.push_back(&option);
        }
        return false;
    };
    bool exact = false;
    for (const KnownOption& option : known_) {
        if ((exact = consider(option)))
            break;
    }
    if (!exact && !ownHelp)
        consider(kHelp);
    if (candidates.empty())
        fail("unknown option " + quoteArg(name));
    if (candidates.size() > 1) {
        std::string names;
        for (const KnownOption* c : candidates)
            names += (names.empty() ? "" : ", ") + quoteArg(c->name);
        fail("option " + quoteArg(name) + " is ambiguous: " + names);
    }
    return *candidates.front();
}

const KnownOption& Options::findShort(char name, std::string_view word) const {
    for (const KnownOption& option : known_) {
        if (option.shortName == name)
            return option;
    }
    if (name == kHelp.shortName)
        return kHelp;
    // "-$5" or "-(1.00)": an operand that the user did not mark with "--".
    if (name == word[1] && std::isalpha(static_cast<unsigned char>(name)) == 0) {
        usageError("unknown option " + quoteArg(word) +
                   " (put '--' before an operand that starts with '-'; see 'xvkit " + command_ +
                   " --help')");
    }
    fail("unknown option " + quoteArg(std::string{'-', name}));
}

bool Options::has(std::string_view name) const {
    return last({name}) != nullptr;
}

const char* Options::value(std::string_view name) const {
    const Given* given = last({name});
    return given != nullptr ? given->value : nullptr;
}

std::vector<const char*> Options::values(std::string_view name) const {
    std::vector<const char*> all;
    for (const Given& given : given_) {
        if (given.name == name)
            all.push_back(given.value);
    }
    return all;
}

const Options::Given* Options::last(std::initializer_list<std::string_view> names) const {
    for (auto it = given_.rbegin(); it != given_.rend(); ++it) {
        if (std::find(names.begin(), names.end(), it->name) != names.end())
            return &*it;
    }
    return nullptr;
}

bool printHelp(const Options& options, const char* help) {
    if (!options.wantsHelp())
        return false;
    std::fputs(help, stdout);
    return true;
}

std::string joinWords(std::span<const char* const> words) {
    std::string text;
    for (const char* word : words) {
        if (!text.empty())
            text += ' ';
        text += word;
    }
    return text;
}

}  // namespace xvtool
