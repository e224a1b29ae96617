#include "arguments.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "options.h"

namespace xvtool {

namespace {

enum class Opt {
    ignoreCase,
    invert,
    word,
    line,
    count,
    filesWith,
    filesWithout,
    number,
    only,
    noName,
    withName,
    maxCount,
    quiet,
    noMessages,
    recursive,
    regexp,
    file,
    fixed,
    after,
    before,
    context,
    color,
    help
};

struct GrepOption {
    char shortName;  // 0: long only
    std::string_view longName;
    bool takesValue;
    Opt id;
};

constexpr GrepOption kGrepOptions[] = {
    {'i', "ignore-case", false, Opt::ignoreCase},
    {'v', "invert-match", false, Opt::invert},
    {'w', "word-regexp", false, Opt::word},
    {'x', "line-regexp", false, Opt::line},
    {'c', "count", false, Opt::count},
    {'l', "files-with-matches", false, Opt::filesWith},
    {'L', "files-without-match", false, Opt::filesWithout},
    {'n', "line-number", false, Opt::number},
    {'o', "only-matching", false, Opt::only},
    {'h', "no-filename", false, Opt::noName},
    {'H', "with-filename", false, Opt::withName},
    {'m', "max-count", true, Opt::maxCount},
    {'q', "quiet", false, Opt::quiet},
    {0, "silent", false, Opt::quiet},
    {'s', "no-messages", false, Opt::noMessages},
    {'r', "recursive", false, Opt::recursive},
    {'e', "regexp", true, Opt::regexp},
    {'f', "file", true, Opt::file},
    {'F', "fixed-strings", false, Opt::fixed},
    {'A', "after-context", true, Opt::after},
    {'B', "before-context", true, Opt::before},
    {'C', "context", true, Opt::context},
    {0, "color", false, Opt::color},
    {0, "colour", false, Opt::color},
    {0, "help", false, Opt::help},
};

[[noreturn]] void optionError(const std::string& what) {
    usageError(what + " (see 'xvkit grep --help')");
}

long readCount(std::string_view name, const char* value) {
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(value, &end, 10);
    if (*value == '\0' || *end != '\0' || errno != 0 || n < 0)
        optionError("option '" + std::string(name) + "' needs a count, not " + quoteArg(value));
    return n > LONG_MAX ? LONG_MAX : static_cast<long>(n);
}

// Adds the lines of `path` ("-": standard input) as patterns; a final newline
// does not start another pattern.
void readPatternFile(const char* path, std::vector<std::string>& patterns) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (std::strcmp(path, "-") != 0) {
        file.open(path, std::ios::binary);
        if (!file)
            usageError("cannot open " + quoteArg(path) + ": " + std::strerror(errno));
        in = &file;
    }
    for (std::string line; std::getline(*in, line);)
        patterns.push_back(line);
}

class Parser {
  public:
    explicit Parser(GrepOptions& o) : o_(o) {}

    void apply(const GrepOption& option, std::string_view shown, const char* value) {
        switch (option.id) {
            case Opt::ignoreCase:
                o_.ignoreCase = true;
                break;
            case Opt::invert:
                o_.invert = true;
                break;
            case Opt::word:
                o_.wordRegexp = true;
                break;
            case Opt::line:
                o_.lineRegexp = true;
                break;
            case Opt::count:
                o_.count = true;
                break;
            case Opt::filesWith:
                o_.filesWithMatches = true;
                o_.filesWithoutMatch = false;
                break;
            case Opt::filesWithout:
                o_.filesWithoutMatch = true;
                o_.filesWithMatches = false;
                break;
            case Opt::number:
                o_.lineNumbers = true;
                break;
            case Opt::only:
                o_.onlyMatching = true;
                break;
            case Opt::noName:
                o_.withFileName = 0;
                break;
            case Opt::withName:
                o_.withFileName = 1;
                break;
            case Opt::maxCount:
                o_.maxCount = readCount(shown, value);
                break;
            case Opt::quiet:
                o_.quiet = true;
                break;
            case Opt::noMessages:
                o_.noMessages = true;
                break;
            case Opt::recursive:
                o_.recursive = true;
                break;
            case Opt::regexp:
                o_.patterns.emplace_back(value);
                patternGiven_ = true;
                break;
            case Opt::file:
                readPatternFile(value, o_.patterns);
                patternGiven_ = true;
                break;
            case Opt::fixed:
                o_.fixedStrings = true;
                break;
            case Opt::after:
                after_ = readCount(shown, value);
                break;
            case Opt::before:
                before_ = readCount(shown, value);
                break;
            case Opt::context:
                context_ = readCount(shown, value);
                break;
            case Opt::color:
                o_.color = readColor(value);
                break;
            case Opt::help:
                o_.help = true;
                break;
        }
    }

    static ColorWhen readColor(const char* value) {
        if (value == nullptr)
            return ColorWhen::automatic;
        const std::string_view when = value;
        if (when == "always" || when == "yes" || when == "force")
            return ColorWhen::always;
        if (when == "never" || when == "no" || when == "none")
            return ColorWhen::never;
        if (when == "auto" || when == "tty" || when == "if-tty")
            return ColorWhen::automatic;
        optionError("option '--color' takes 'auto', 'always' or 'never', not " + quoteArg(when));
    }

    bool patternGiven() const { return patternGiven_; }

    // -A and -B win over -C whatever their order.
    void settleContext() {
        o_.after = after_ >= 0 ? after_ : std::max(context_, 0L);
        o_.before = before_ >= 0 ? before_ : std::max(context_, 0L);
        o_.context = after_ >= 0 || before_ >= 0 || context_ >= 0;
    }

  private:
    long after_ = -1;
    long before_ = -1;
    long context_ = -1;
    GrepOptions& o_;
    bool patternGiven_ = false;
};

const GrepOption& findLong(std::string_view name) {
    // A unique prefix of a long name is accepted, as GNU getopt does.
    const GrepOption* found = nullptr;
    for (const GrepOption& option : kGrepOptions) {
        if (option.longName == name)
            return option;
        if (option.longName.starts_with(name)) {
            if (found != nullptr && found->id != option.id)
                optionError("option " + quoteArg("--" + std::string(name)) + " is ambiguous");
            found = &option;
        }
    }
    if (found == nullptr)
        optionError("unknown option " + quoteArg("--" + std::string(name)));
    return *found;
}

const GrepOption& findShort(char name) {
    for (const GrepOption& option : kGrepOptions) {
        if (option.shortName == name && name != 0)
            return option;
    }
    optionError("unknown option " + quoteArg(std::string{'-', name}));
}

}  // namespace

GrepOptions parseGrepOptions(Args args) {
    GrepOptions o;
    Parser parser(o);
    std::vector<const char*> operands;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view word = args[i];
        if (word == "--") {
            operands.insert(operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        }
        if (word.size() < 2 || word[0] != '-') {
            operands.push_back(args[i]);
            continue;
        }
        if (word.starts_with("--")) {
            const std::size_t eq = word.find('=');
            const GrepOption& option = findLong(word.substr(2, eq - 2));
            std::string shown = "--";
            shown += option.longName;
            const char* value = nullptr;
            if (eq != std::string_view::npos) {
                if (!option.takesValue && option.id != Opt::color)
                    optionError("option '" + shown + "' takes no value");
                value = args[i] + eq + 1;
            } else if (option.takesValue) {
                if (i + 1 >= args.size())
                    optionError("option '" + shown + "' needs a value");
                value = args[++i];
            }
            parser.apply(option, shown, value);
            continue;
        }
        for (std::size_t k = 1; k < word.size(); ++k) {
            const GrepOption& option = findShort(word[k]);
            const std::string shown{'-', word[k]};
            if (!option.takesValue) {
                parser.apply(option, shown, nullptr);
                continue;
            }
            const char* value = args[i] + k + 1;
            if (*value == '\0') {
                if (i + 1 >= args.size())
                    optionError("option '" + shown + "' needs a value");
                value = args[++i];
            }
            parser.apply(option, shown, value);
            break;
        }
    }
    parser.settleContext();
    if (o.help)
        return o;
    std::size_t first = 0;
    if (!parser.patternGiven()) {
        if (operands.empty())
            usageError("grep needs a PATTERN (see 'xvkit grep --help')");
        o.patterns.emplace_back(operands[0]);
        first = 1;
    }
    o.files.assign(operands.begin() + static_cast<long>(first), operands.end());
    return o;
}

}  // namespace xvtool
