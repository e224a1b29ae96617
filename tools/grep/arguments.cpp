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

constexpr KnownOption kGrepOptions[] = {
    {"--extended-regexp", false, 'E'},
    {"--basic-regexp", false, 'G'},
    {"--fixed-strings", false, 'F'},
    {"--perl-regexp", false, 'P'},
    {"--regexp", true, 'e'},
    {"--file", true, 'f'},
    {"--ignore-case", false, 'i'},
    {"--invert-match", false, 'v'},
    {"--word-regexp", false, 'w'},
    {"--line-regexp", false, 'x'},
    {"--count", false, 'c'},
    {"--files-with-matches", false, 'l'},
    {"--files-without-match", false, 'L'},
    {"--line-number", false, 'n'},
    {"--byte-offset", false, 'b'},
    {"--only-matching", false, 'o'},
    {"--no-filename", false, 'h'},
    {"--with-filename", false, 'H'},
    {"--null", false, 'Z'},
    {"--label", true},
    {"--max-count", true, 'm'},
    {"--quiet", false, 'q', false, "--silent"},
    {"--no-messages", false, 's'},
    {"--recursive", false, 'r'},
    {"--include", true},
    {"--exclude", true},
    {"--exclude-dir", true},
    {"--text", false, 'a'},
    {"-I", false, 'I'},  // --binary-files=without-match
    {"--binary-files", true},
    {"--after-context", true, 'A'},
    {"--before-context", true, 'B'},
    {"--context", true, 'C'},
    {"--color", false, '\0', true, "--colour"},
    {"--help", false},
};

[[noreturn]] void optionError(const std::string& what) {
    usageError(what + " (see 'xvkit grep --help')");
}

// A whole number, with a value beyond the range of `long` taken as its
// nearest end: GNU grep reads a huge count as no limit.
bool readNumber(const char* value, long& n) {
    errno = 0;
    char* end = nullptr;
    const long long read = std::strtoll(value, &end, 10);
    if (*value == '\0' || *end != '\0' || (errno != 0 && errno != ERANGE))
        return false;
    n = static_cast<long>(std::clamp<long long>(read, LONG_MIN, LONG_MAX));
    return true;
}

// The count of -m, -A, -B or -C; a negative one only when `negativeAllowed`.
long readCount(const Options::Given& given, bool negativeAllowed) {
    long n = 0;
    if (!readNumber(given.value, n) || (n < 0 && !negativeAllowed))
        optionError("option " + quoteArg(given.spelling) + " needs a count, not " +
                    quoteArg(given.value));
    return n;
}

// -m: a negative count is no limit, as in GNU grep.
long readMaxCount(const Options::Given& given) {
    return std::max(readCount(given, true), -1L);
}

// -A, -B and -C: a number of lines, at least 0; -1 when the option is absent.
long readLineCount(const Options::Given* given) {
    return given == nullptr ? -1 : readCount(*given, false);
}

// Adds the patterns of `word`, which a newline separates.
void addPatterns(std::string_view word, std::vector<std::string>& patterns) {
    for (std::size_t from = 0;;) {
        const std::size_t newline = word.find('\n', from);
        patterns.emplace_back(word.substr(from, newline - from));
        if (newline == std::string_view::npos)
            return;
        from = newline + 1;
    }
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

ColorWhen readColor(const char* value) {
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

// -E, -G and -F name the dialect; naming two different ones is an error, as
// in GNU grep. -P is refused.
Dialect readDialect(const Options& options) {
    const Options::Given* first = nullptr;
    for (const Options::Given& given : options.given()) {
        if (given.name == "--perl-regexp")
            usageError(
                "-P (Perl regular expressions) is not supported: the patterns are the library's "
                "light regular expressions, which -E reads (see 'xvkit grep --help')");
        if (given.name != "--extended-regexp" && given.name != "--basic-regexp" &&
            given.name != "--fixed-strings")
            continue;
        if (first != nullptr && first->name != given.name)
            optionError("options " + quoteArg(first->spelling) + " and " +
                        quoteArg(given.spelling) + " choose different dialects");
        first = &given;
    }
    if (first == nullptr || first->name == "--extended-regexp")
        return Dialect::extended;
    return first->name == "--basic-regexp" ? Dialect::basic : Dialect::fixed;
}

BinaryFiles readBinaryFiles(const Options& options) {
    const Options::Given* given = options.last({"--binary-files", "--text", "-I"});
    if (given == nullptr)
        return BinaryFiles::binary;
    if (given->name != "--binary-files")
        return given->name == "--text" ? BinaryFiles::text : BinaryFiles::withoutMatch;
    const std::string_view type = given->value;
    if (type == "binary")
        return BinaryFiles::binary;
    if (type == "text")
        return BinaryFiles::text;
    if (type == "without-match")
        return BinaryFiles::withoutMatch;
    optionError("option '--binary-files' takes 'binary', 'text' or 'without-match', not " +
                quoteArg(type));
}

}  // namespace

GrepOptions parseGrepOptions(Args args) {
    const Options options("grep", args, kGrepOptions, SignedNumbers::options);
    GrepOptions o;
    o.help = options.wantsHelp();
    if (o.help)
        return o;
    o.dialect = readDialect(options);
    o.ignoreCase = options.has("--ignore-case");
    o.invert = options.has("--invert-match");
    o.wordRegexp = options.has("--word-regexp");
    o.lineRegexp = options.has("--line-regexp");
    o.count = options.has("--count");
    if (const auto* list = options.last({"--files-with-matches", "--files-without-match"})) {
        o.filesWithMatches = list->name == "--files-with-matches";
        o.filesWithoutMatch = !o.filesWithMatches;
    }
    o.lineNumbers = options.has("--line-number");
    o.byteOffset = options.has("--byte-offset");
    o.onlyMatching = options.has("--only-matching");
    if (const auto* naming = options.last({"--with-filename", "--no-filename"}))
        o.withFileName = naming->name == "--with-filename" ? 1 : 0;
    o.nullAfterName = options.has("--null");
    if (const char* label = options.value("--label"))
        o.label = label;
    if (const auto* max = options.last({"--max-count"}))
        o.maxCount = readMaxCount(*max);
    o.quiet = options.has("--quiet");
    o.noMessages = options.has("--no-messages");
    o.recursive = options.has("--recursive");
    o.binaryFiles = readBinaryFiles(options);
    bool patternGiven = false;
    for (const Options::Given& given : options.given()) {
        if (given.name == "--regexp") {
            addPatterns(given.value, o.patterns);
            patternGiven = true;
        } else if (given.name == "--file") {
            readPatternFile(given.value, o.patterns);
            patternGiven = true;
        } else if (given.name == "--include" || given.name == "--exclude") {
            o.nameFilters.push_back({given.value, given.name == "--include"});
        } else if (given.name == "--exclude-dir") {
            o.excludeDirs.emplace_back(given.value);
        }
    }
    // -A and -B win over -C whatever their order.
    const long after = readLineCount(options.last({"--after-context"}));
    const long before = readLineCount(options.last({"--before-context"}));
    const long context = readLineCount(options.last({"--context"}));
    o.after = after >= 0 ? after : std::max(context, 0L);
    o.before = before >= 0 ? before : std::max(context, 0L);
    o.context = after >= 0 || before >= 0 || context >= 0;
    if (const auto* color = options.last({"--color"}))
        o.color = readColor(color->value);

    const auto& operands = options.operands();
    std::size_t first = 0;
    if (!patternGiven) {
        if (operands.empty())
            optionError("grep needs a PATTERN");
        addPatterns(operands[0], o.patterns);
        first = 1;
    }
    o.files.assign(operands.begin() + static_cast<long>(first), operands.end());
    return o;
}

}  // namespace xvtool
