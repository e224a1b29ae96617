// The tool's command-line parser, shared by every command, and grep's reading
// of its options, called directly.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>

#include "grep/arguments.h"
#include "options.h"
#include "tool_words.h"

namespace {

using xvtool::KnownOption;
using xvtool::Options;
using xvtool::SignedNumbers;

constexpr KnownOption kKnown[] = {
    {"--locale", true, 'l'},
    {"--line", false, 'n'},
    {"--lines", true},
    {"--color", false, '\0', true, "--colour"},
    {"--quiet", false, 'q', false, "--silent"},
    {"-I", false, 'I'},
};

// What the parser read: each option as name=value/spelling, then the operands.
std::string parsed(const Words& words, SignedNumbers numbers = SignedNumbers::operands) {
    const Options options("cmd", words.args(), kKnown, numbers);
    std::string text;
    for (const Options::Given& g : options.given())
        text += std::string(g.name) + "=" + (g.value ? g.value : "null") + "/" + g.spelling + " ";
    text += "|";
    for (const char* operand : options.operands())
        text += std::string(" ") + operand;
    return text;
}

TEST(ToolOptions, FormsOfOptionsAndOperands) {
    const std::string see = " (see 'xvkit cmd --help')";
    const struct {
        Words words;
        std::string read;  // or the message of the error
    } cases[] = {
        {{"-nq", "x", "-ly"}, "--line=null/-n --quiet=null/-q --locale=y/-l | x"},
        {{"-l", "de", "--locale=fr", "--locale", "-n"},
         "--locale=de/-l --locale=fr/--locale "
         "--locale=-n/--locale |"},
        // Unique prefixes, exact names before prefixes, aliases.
        {{"--loc=x", "--line", "--lines", "3"},
         "--locale=x/--locale --line=null/--line --lines=3/--lines |"},
        {{"--col", "--colour=always", "--sil"},
         "--color=null/--color --color=always/--colour --quiet=null/--silent |"},
        {{"--he", "-h", "-I"}, "--help=null/--help --help=null/-h -I=null/-I |"},
        // Operands anywhere; "-" and signed numbers are operands; "--" ends the options.
        {{"a", "-n", "-", "-5", "-.5", "--", "-n"}, "--line=null/-n | a - -5 -.5 -n"},
        {{"--li"}, "option '--li' is ambiguous: '--line', '--lines'" + see},
        {{"--line=x"}, "option '--line' takes no value"},
        {{"--locale"}, "option '--locale' needs a value" + see},
        {{"-nl"}, "option '-l' needs a value" + see},
        {{"-nx"}, "unknown option '-x'" + see},
        {{"--=x"}, "unknown option '--'" + see},
        {{"-$5"},
         "unknown option '-$5' (put '--' before an operand that starts with '-'; see 'xvkit cmd "
         "--help')"},
    };
    for (const auto& c : cases) {
        std::string read;
        const std::string error = cliError([&] { read = parsed(c.words); });
        EXPECT_EQ(error.empty() ? read : error, c.read);
    }
    const Words repeated{"-l", "a", "--loc=b", "-n"};
    const Options options("cmd", repeated.args(), kKnown);
    const std::vector<const char*> locales = options.values("--locale");
    EXPECT_EQ(std::vector<std::string>(locales.begin(), locales.end()),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(cliError([] { parsed(Words{"-5"}, SignedNumbers::options); }),
              "unknown option '-5' (put '--' before an operand that starts with '-'; see 'xvkit "
              "cmd --help')");
}

xvtool::GrepOptions grepOptions(const Words& words) {
    return xvtool::parseGrepOptions(words.args());
}

std::string grepError(const Words& words) {
    return cliError([&] { grepOptions(words); });
}

TEST(ToolGrepArguments, CountsAsGnuGrepReadsThem) {
    const struct {
        Words words;
        long maxCount, after, before;
        bool context;
    } cases[] = {
        {{"-m", "5", "p"}, 5, 0, 0, false},
        {{"--max-count=-1", "p"}, -1, 0, 0, false},
        {{"-m-7", "p"}, -1, 0, 0, false},
        {{"-m", "99999999999999999999", "p"}, LONG_MAX, 0, 0, false},
        {{"-C0", "p"}, -1, 0, 0, true},
        // -A and -B win over -C whatever the order.
        {{"-A", "2", "-C", "5", "p"}, -1, 2, 5, true},
        {{"-C", "99999999999999999999", "-B1", "p"}, -1, LONG_MAX, 1, true},
    };
    for (const auto& c : cases) {
        const xvtool::GrepOptions o = grepOptions(c.words);
        EXPECT_EQ(o.maxCount, c.maxCount);
        EXPECT_EQ(o.after, c.after);
        EXPECT_EQ(o.before, c.before);
        EXPECT_EQ(o.context, c.context);
    }
    const std::string see = " (see 'xvkit grep --help')";
    EXPECT_EQ(grepError({"-m", "x", "p"}), "option '-m' needs a count, not 'x'" + see);
    EXPECT_EQ(grepError({"--after=-1", "p"}),
              "option '--after-context' needs a count, not '-1'" + see);
    EXPECT_EQ(grepError({"-C", "", "p"}), "option '-C' needs a count, not ''" + see);
}

TEST(ToolGrepArguments, DialectsBinaryFilesAndLastOfAPair) {
    using xvtool::BinaryFiles;
    using xvtool::Dialect;
    EXPECT_EQ(grepOptions({"p"}).dialect, Dialect::extended);
    EXPECT_EQ(grepOptions({"-E", "-E", "p"}).dialect, Dialect::extended);
    EXPECT_EQ(grepOptions({"-G", "p"}).dialect, Dialect::basic);
    EXPECT_EQ(grepOptions({"--fixed", "p"}).dialect, Dialect::fixed);
    EXPECT_EQ(grepError({"-E", "-iF", "p"}),
              "options '-E' and '-F' choose different dialects (see 'xvkit grep --help')");
    EXPECT_EQ(grepError({"-P", "p"}),
              "-P (Perl regular expressions) is not supported: the patterns are the library's "
              "light regular expressions, which -E reads (see 'xvkit grep --help')");

    EXPECT_EQ(grepOptions({"p"}).binaryFiles, BinaryFiles::binary);
    EXPECT_EQ(grepOptions({"-a", "p"}).binaryFiles, BinaryFiles::text);
    EXPECT_EQ(grepOptions({"-aI", "p"}).binaryFiles, BinaryFiles::withoutMatch);
    EXPECT_EQ(grepOptions({"-I", "--binary-files=text", "p"}).binaryFiles, BinaryFiles::text);
    EXPECT_EQ(grepError({"--binary-files=data", "p"}),
              "option '--binary-files' takes 'binary', 'text' or 'without-match', not 'data' "
              "(see 'xvkit grep --help')");

    const xvtool::GrepOptions o = grepOptions({"-lLhHZb", "--label=in", "p"});
    EXPECT_TRUE(o.filesWithoutMatch && !o.filesWithMatches);
    EXPECT_EQ(o.withFileName, 1);
    EXPECT_TRUE(o.nullAfterName && o.byteOffset);
    EXPECT_EQ(o.label, "in");
}

TEST(ToolGrepArguments, PatternsFilesAndFilters) {
    const std::string patternFile = std::string(XVKIT_TEST_WORKDIR) + "/options-test-patterns";
    std::ofstream(patternFile) << "from\nfile\n";
    const xvtool::GrepOptions o =
        grepOptions({"-e", "a\nb", "f1", "--exclude=*.o", "-f", patternFile, "--include", "*.c",
                     "--exclude-dir=.git", "-e", "", "f2"});
    EXPECT_EQ(o.patterns, (std::vector<std::string>{"a", "b", "from", "file", ""}));
    EXPECT_EQ(o.files, (std::vector<std::string>{"f1", "f2"}));
    ASSERT_EQ(o.nameFilters.size(), 2u);
    EXPECT_TRUE(o.nameFilters[0].glob == "*.o" && !o.nameFilters[0].include);
    EXPECT_TRUE(o.nameFilters[1].glob == "*.c" && o.nameFilters[1].include);
    EXPECT_EQ(o.excludeDirs, std::vector<std::string>{".git"});

    const xvtool::GrepOptions first = grepOptions({"-n", "x\ny", "f"});
    EXPECT_EQ(first.patterns, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(first.files, std::vector<std::string>{"f"});
    EXPECT_EQ(grepError({"-n"}), "grep needs a PATTERN (see 'xvkit grep --help')");
    EXPECT_EQ(grepError({"-f", "/no/such/file"}),
              "cannot open '/no/such/file': No such file or directory");
}

}  // namespace
