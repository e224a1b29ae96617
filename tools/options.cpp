#include "options.h"

#include <cctype>
#include <cstdio>

namespace xvtool {

namespace {

constexpr OptionSpec kHelp{"--help", false};

bool isOperand(std::string_view word) {
    return word.size() < 2 || word[0] != '-' || word[1] == '.' ||
           std::isdigit(static_cast<unsigned char>(word[1])) != 0;
}

}  // namespace

void usageError(const std::string& message) {
    throw CliError(kExitTrouble, message);
}

Options::Options(std::string_view command, std::span<char* const> args,
                 std::span<const OptionSpec> specs)
    : command_(command), specs_(specs) {
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
        auto valueFor = [&](const OptionSpec& spec) -> const char* {
            if (i + 1 >= args.size())
                usageError("option '" + std::string(spec.name) + "' needs a value" +
                           " (see 'xvkit " + command_ + " --help')");
            return args[++i];
        };
        if (word.starts_with("--")) {
            std::size_t eq = word.find('=');
            const OptionSpec& spec = find(word.substr(0, eq));
            if (eq != std::string_view::npos) {
                if (!spec.takesValue) {
                    usageError("option '" + std::string(spec.name) + "' takes no value");
                }
                add(spec.name, args[i] + eq + 1);
            } else {
                add(spec.name, spec.takesValue ? valueFor(spec) : nullptr);
            }
            continue;
        }
        // One or more short flags; a short option with a value ends the word.
        for (std::size_t k = 1; k < word.size(); ++k) {
            const char name[3] = {'-', word[k], '\0'};
            const OptionSpec& spec = find(name);
            if (!spec.takesValue) {
                add(spec.name, nullptr);
            } else if (k + 1 < word.size()) {
                add(spec.name, args[i] + k + 1);
                break;
            } else {
                add(spec.name, valueFor(spec));
            }
        }
    }
}

const OptionSpec& Options::find(std::string_view name) const {
    if (name == kHelp.name)
        return kHelp;
    for (const OptionSpec& spec : specs_) {
        if (spec.name == name)
            return spec;
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
