#include "options.h"

#include <cctype>
#include <cstdio>

namespace xvtool {

namespace {

constexpr KnownOption kHelp{"--help", false};

bool isOperand(std::string_view word) {
    return word.size() < 2 || word[0] != '-' || word[1] == '.' ||
           std::isdigit(static_cast<unsigned char>(word[1])) != 0;
}

}  // namespace

void usageError(const std::string& message) {
    throw CliError(kExitTrouble, message);
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
                usageError("option '" + std::string(option.name) + "' needs a value" +
                           " (see 'xvkit " + command_ + " --help')");
            return args[++i];
        };
        if (word.starts_with("--")) {
            std::size_t eq = word.find('=');
            const KnownOption& option = find(word.substr(0, eq));
            if (eq != std::string_view::npos) {
                if (!option.takesValue) {
                    usageError("option '" + std::string(option.name) + "' takes no value");
                }
                add(option.name, args[i] + eq + 1);
            } else {
                add(option.name, option.takesValue ? valueFor(option) : nullptr);
            }
            continue;
        }
        // One or more short flags; a short option with a value ends the word.
        for (std::size_t k = 1; k < word.size(); ++k) {
            const char name[3] = {'-', word[k], '\0'};
            const KnownOption& option = find(name);
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

const KnownOption& Options::find(std::string_view name) const {
    if (name == kHelp.name)
        return kHelp;
    for (const KnownOption& option : known_) {
        if (option.name == name)
            return option;
    }
    usageError("unknown option '" + std::string(name) + "' (see 'xvkit " + command_ + " --help')");
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
