#include "options.h"

#include <cctype>
#include <cstdio>

namespace xvtool {

namespace {

constexpr KnownOption kHelp{"--help", false, 'h'};

bool isOperand(std::string_view word) {
    return word.size() < 2 || word[0] != '-' || word[1] == '.' ||
           std::isdigit(static_cast<unsigned char>(word[1])) != 0;
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
                 std::span<const KnownOption> known)
    : command_(command), known_(known) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view word = args[i];
        if (word == "--") {
            operands_.insert(operands_.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            return;
        }
        if (isOperand(word)) {
            operands_.push_back(args[i]);
            continue;
        }
        auto valueFor = [&](const KnownOption& option) -> const char* {
            if (i + 1 >= args.size())
                usageError("option " + quoteArg(option.name) + " needs a value" + " (see 'xvkit " +
                           command_ + " --help')");
            return args[++i];
        };
        if (word.starts_with("--")) {
            std::size_t eq = word.find('=');
            const KnownOption& option = find(word.substr(0, eq), word);
            if (eq != std::string_view::npos) {
                if (!option.takesValue)
                    usageError("option " + quoteArg(option.name) + " takes no value");
                add(option.name, args[i] + eq + 1);
            } else {
                add(option.name, option.takesValue ? valueFor(option) : nullptr);
            }
            continue;
        }
        // One or more short flags; a short option with a value ends the word.
        for (std::size_t k = 1; k < word.size(); ++k) {
            const char name[3] = {'-', word[k], '\0'};
            const KnownOption& option = find(name, word);
            if (!option.takesValue) {
                add(option.name, nullptr);
            } else if (k + 1 < word.size()) {
                add(option.name, args[i] + k + 1);
                break;
            } else {
                add(option.name, valueFor(option));
            }
        }
    }
}

const KnownOption& Options::find(std::string_view name, std::string_view word) const {
    const bool isShort = name.size() == 2 && name[0] == '-' && name[1] != '-';
    const auto names = [&](const KnownOption& option) {
        return option.name == name || (isShort && option.shortName == name[1]);
    };
    for (const KnownOption& option : known_) {
        if (names(option))
            return option;
    }
    if (names(kHelp))
        return kHelp;
    // "-$5" or "-(1.00)": an operand that the user did not mark with "--".
    if (!std::isalpha(static_cast<unsigned char>(word[1])) && word[1] != '-') {
        usageError("unknown option " + quoteArg(word) +
                   " (put '--' before an operand that starts with '-'; see 'xvkit " + command_ +
                   " --help')");
    }
    usageError("unknown option " + quoteArg(name) + " (see 'xvkit " + command_ + " --help')");
}

void Options::add(std::string_view name, const char* value) {
    given_.emplace_back(name, value);
}

bool Options::has(std::string_view name) const {
    for (const auto& [given, value] : given_) {
        if (given == name)
            return true;
    }
    return false;
}

const char* Options::value(std::string_view name) const {
    const char* last = nullptr;
    for (const auto& [given, value] : given_) {
        if (given == name)
            last = value;
    }
    return last;
}

std::vector<const char*> Options::values(std::string_view name) const {
    std::vector<const char*> all;
    for (const auto& [given, value] : given_) {
        if (given == name)
            all.push_back(value);
    }
    return all;
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
