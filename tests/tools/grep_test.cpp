// xvkit grep, run as a real program: output forms, exit statuses, inputs,
// pattern rewrites and refusals, binary files and long lines; then against
// GNU grep -E (C locale) on real files, every option alone and in pairs,
// comparing standard output and exit status byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "run_tool.h"

namespace {

namespace fs = std::filesystem;

std::string workFile(const std::string& name, const std::string& content) {
    std::string path = std::string(XVKIT_TEST_WORKDIR) + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

TEST(ToolGrep, OutputsStatusesAndInputs) {
    const std::string text = "alpha 12\nbeta\ngamma 345 6\n\n7";  // the last line has no newline
    // A line far longer than the read buffer, split across many reads.
    std::string longLine(3 * 1024 * 1024, 'x');
    longLine[2 * 1024 * 1024] = 'Y';
    const std::string starts = "' does not compile: the pattern starts with '*', '+' or '?'";
    const std::string closures =
        "' does not compile: a closure ('*', '+' or '?') after another closure";
    const std::string tooLong =
        "' does not compile: the compiled pattern does not fit in its "
        "code array";
    const std::string many(300, 'a');
    const std::string one = workFile("grep-one.txt", "red\ngreen\n");
    const std::string two = workFile("grep-two.txt", "blue\nred green\n");
    const std::string missing = std::string(XVKIT_TEST_WORKDIR) + "/no-such-file";
    const std::string directory = XVKIT_TEST_WORKDIR;
    expectRuns({
        {"grep|[0-9]+", 0, "alpha 12\ngamma 345 6\n7\n", "", text},
        // '^' binds to the start of the line: one match per line.
        {"grep|-o|^a", 0, "a\n", "", "aaa\nba\n"},
        {"grep|-o|xY+x", 0, "xYx\n", "", "short\n" + longLine + "\nYY\n"},
        // The library's escapes; a newline in a pattern never matches in a line.
        {"grep|-c|b\\r$", 0, "1\n", "", "ab\r\nb\n"},
        {"grep|-c|\\xff", 0, "1\n", "", "\xff\n\xfe\n"},
        {"grep|-c|a\\nb", 1, "0\n", "", "a\nb\n"},
        {"grep|-c|[^a]", 1, "0\n", "", "a\naa\n"},
        // -w finds a shorter match that ends at the word's edge; -x wants the line.
        {"grep|-ow|ab*", 0, "a\nabb\n", "", "abx a abb\n"},
        {"grep|-x|-c|a*$", 0, "1\n", "", "aa\naab\n"},
        {"grep|-e|zz|-e|", 0, "abc\n", "", "abc\n"},
        {"grep|*a", 2, "", "pattern '*a" + starts, "abc\n"},
        {"grep|a**", 2, "", "pattern 'a**" + closures, "abc\n"},
        {"grep|" + many, 2, "", "pattern '" + many + tooLong},
        {"grep", 2, "", "grep needs a PATTERN (see 'xvkit grep --help')"},
        {"grep|-m|x|a", 2, "", "option '-m' needs a count, not 'x' (see 'xvkit grep --help')"},
        {"grep|--color=sometimes|a", 2, "",
         "option '--color' takes 'auto', 'always' or 'never', not 'sometimes' (see 'xvkit grep "
         "--help')"},
        // Files are named when there are several; "-" is standard input (the
        // other options on several files are compared with GNU grep).
        {"grep|-n|re|" + one + "|" + two, 0,
         one + ":1:red\n" + one + ":2:green\n" + two + ":2:red green\n"},
        {"grep|e|-|" + two, 0, "(standard input):tea\n" + two + ":blue\n" + two + ":red green\n",
         "", "tea\n"},
        // A file that cannot be read is reported, the others are searched,
        // and the status is 2 (unless -q found a line).
        {"grep|red|" + missing + "|" + one, 2, one + ":red\n",
         "cannot open '" + missing + "': No such file or directory"},
        {"grep|-q|red|" + one + "|" + missing, 0, ""},
        {"grep|red|" + directory, 2, "", "cannot read '" + directory + "': Is a directory"},
    });
}

TEST(ToolGrep, RewritesWhatGrepUsersMean) {
    const std::string text = "int x1 = 42;\n\tlong y;\nchar* s = \"a|b\";\nbackspace\b\n";
    expectRuns({
        {"grep|-o|\\d\\d", 0, "42\n", "", text},
        {"grep|-o|\\W\\S", 0, " x\n =\n 4\n\tl\n y\n s\n =\n \"\n|b\n\";\n", "", text},
        {"grep|-c|\\D\\s\\D", 0, "3\n", "", text},
        {"grep|-c|[]x]", 0, "1\n", "", "]\n"},
        {"grep|-c|a{1", 0, "1\n", "", "a{1\n"},
        {"grep|\\x08", 0, "backspace\b\n", "", text},
    });
    // '|' separates the words of the tables here, so these runs list theirs.
    EXPECT_EQ(runTool({"grep", "-o", "x|x1"}, text).out, "x1\n");
    EXPECT_EQ(runTool({"grep", "-c", "a|"}, text).out, "4\n");
    EXPECT_EQ(runTool({"grep", "a\\|b"}, text).out, "char* s = \"a|b\";\n");
    const std::string refused = "pattern '";
    expectRuns({
        {"grep|a{2,3}", 2, "",
         refused + "a{2,3}' is refused: intervals {n,m} are not supported; repeat the item, or "
                   "write '\\{' for a literal '{'"},
        {"grep|(a)\\1", 2, "",
         refused + "(a)\\\\1' is refused: groups are not supported; write '\\(' for a literal '('"},
        {"grep|a\\1", 2, "",
         refused + "a\\\\1' is refused: back-references (\\1) are not supported; write \\x01 for "
                   "the character with code 1"},
        {"grep|\\bint\\b", 2, "",
         refused + "\\\\bint\\\\b' is refused: word boundaries (\\b) are not supported; use -w for "
                   "whole words, or write \\x08 for a backspace"},
        {"grep|\\<int", 2, "",
         refused + "\\\\<int' is refused: word boundaries (\\<) are not supported; use -w for "
                   "whole words, or write \\x08 for a backspace"},
        {"grep|[:digit:]", 2, "",
         refused + "[:digit:]' is refused: character class syntax is [[:space:]], not "
                   "[:space:]"},
        {"grep|[[:digits:]]", 2, "",
         refused + "[[:digits:]]' is refused: unknown character "
                   "class [:digits:]"},
    });
}

TEST(ToolGrep, BinaryFiles) {
    const std::string binary("text\nab\0cd\nmore ab\n", 19);
    const std::string file = workFile("grep-binary.bin", binary);
    const std::string matches = "': binary file matches";
    expectRuns({
        // GNU grep's message, with the tool's prefix and quoting, on standard error.
        {"grep|ab", 0, "", "'(standard input)" + matches, binary},
        {"grep|-o|--label=in|ab", 0, "", "'in" + matches, binary},
        {"grep|-n|ab|" + file, 0, "", "'" + file + matches},
        // NUL ends lines: "ab" and "cd" are two of them, and '.' cannot span it.
        {"grep|-c|b.c", 1, "0\n", "", binary},
        {"grep|-vc|ab", 0, "2\n", "", binary},
        {"grep|-a|-c|b.c", 0, "1\n", "", binary},
        {"grep|-I|-c|ab", 1, "0\n", "", binary},
    });
    // A NUL byte that a later read brings: the lines searched before it are
    // text, those after it binary.
    std::string late;
    while (late.size() < 300 * 1024)
        late += late.empty() ? "hit 1\n" : "other line\n";
    late += std::string("\0\nhit 2\n", 8);
    expectRuns({
        {"grep|hit", 0, "hit 1\n", "'(standard input)" + matches, late},
        {"grep|-c|hit", 0, "2\n", "", late},
        {"grep|-I|hit", 1, "hit 1\n", "", late},
    });
}

TEST(ToolGrep, RecursesInNameOrder) {
    const fs::path root = fs::path(XVKIT_TEST_WORKDIR) / "grep-tree";
    fs::remove_all(root);
    fs::create_directories(root / "a" / "z");
    for (const char* name : {"b", "a/z/c", "a/d", "B"})
        std::ofstream(root / name) << "hit " << name << "\n";
    fs::create_symlink(root / "b", root / "a" / "link");
    const std::string r = root.string();
    expectRuns({
        {"grep|-r|hit|" + r, 0,
         r + "/B:hit B\n" + r + "/a/d:hit a/d\n" + r + "/a/z/c:hit a/z/c\n" + r + "/b:hit b\n"},
        {"grep|-rl|hit|" + r + "/a/", 0, r + "/a/d\n" + r + "/a/z/c\n"},
        {"grep|-rc|hit|" + r + "/b", 0, "1\n"},
    });
}

TEST(ToolGrep, LongLinesThroughAPipeAndTooLongForMemory) {
    // A 40 MB line arrives through a pipe in small reads, and is searched once.
    const RunResult r = runProgram(
        "/bin/sh", {"-c", "head -c 40000000 /dev/zero | tr '\\0' a | { cat; echo b; } | " +
                              std::string(XVKIT_TOOL) + " grep -c 'ab$'"});
    EXPECT_TRUE(r.status == 0 && r.out == "1\n") << r.status << " " << r.out << r.err;
#if !defined(__SANITIZE_ADDRESS__)
    // Under a 64 MB address-space limit a 200 MB line cannot be held.
    const RunResult big = runProgram(
        "/bin/sh", {"-c", "ulimit -v 65536; head -c 200000000 /dev/zero | tr '\\0' a | " +
                              std::string(XVKIT_TOOL) + " grep -c b"});
    EXPECT_EQ(std::to_string(big.status) + " " + big.err + big.out,
              "2 xvkit: cannot search '(standard input)': a line is too long to fit in memory\n");
#endif
}

// Patterns that mean the same as extended regular expressions (some through
// the tool's rewrites), and whose greedy matches are also the longest ones,
// so that -o agrees too; some have empty and overlapping matches, which -o
// steps over. "\\bint\\b" is refused by the tool, which the comparison skips.
// The last ones are refused by GNU grep too, or read by it in its own way.
// clang-format off
const std::vector<std::string> kPatterns = {
    "XVString", "^#include", "^}", ";$", "[0-9]+", "0x[0-9A-Fa-f]+", "a.c", "st*d", "colou?r",
    "^ +return", "[^ -~]", "^$", "\\.cpp", "[A-Z][a-z]+[A-Z]", "e+", "^ *//", "x?y?z", "const.*&",
    ".", "^.?$", "[-+*/]=", "$", "^", "[^a-z]*", "^[^ ].*[^;{}]$", "q.*q.*q", "  +$",
    "[aeiou][aeiou][aeiou]+", "\\[\\]", "^[A-Za-z_]+\\*?$", "e*", "[a-z]*", "a?b?c?", "x*$",
    "^[a-z]*", "[0-9]?[0-9]", "[a-z]+ing", "static_assert", "[0-9][0-9]*[A-Z]",
    "^#define [A-Z_]+ 0x", "struct [a-z_]+ \\{", "[[:digit:]]+", "\\w+", "\\bint\\b", "int|long",
    "[[:upper:]][[:lower:]]+", "\\s+$", "[[:space:]]*#", "return|break|continue", "\\W\\w+\\W",
    "[^[:alnum:][:space:]]+", "INT|int", "size_t", "[[.a.]-c][[=n=]]", "[z-a]", "a\\",
    "[^e]", "if \\(|x\\+"};
// clang-format on

// The unoptimised sanitizer build runs one combination in ten: each run
// starts two processes, and there the start-up and the search are slow.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kEvery = 10;
#else
constexpr std::size_t kEvery = 1;
#endif

// Each option of the tool, as the words that give it; those of GNU grep 3.8
// that came later (the dialects, binary files, names and offsets, zero and
// huge counts) after the first row.
const std::vector<std::vector<std::string>> kOptions = {{"-i"},
                                                        {"-v"},
                                                        {"-w"},
                                                        {"-x"},
                                                        {"-c"},
                                                        {"-l"},
                                                        {"-L"},
                                                        {"-n"},
                                                        {"-o"},
                                                        {"-h"},
                                                        {"-H"},
                                                        {"-m", "3"},
                                                        {"-q"},
                                                        {"-s"},
                                                        {"-A", "2"},
                                                        {"-B", "2"},
                                                        {"-C", "1"},
                                                        {"--color=always"},
                                                        {"-F"},
                                                        {"-m", "1"},
                                                        {"-E"},
                                                        {"-G"},
                                                        {"-a"},
                                                        {"-I"},
                                                        {"-Z"},
                                                        {"-b"},
                                                        {"--label=in"},
                                                        {"--include=*.h"},
                                                        {"--exclude=*.cpp"},
                                                        {"--exclude-dir=regexp"},
                                                        {"-C", "0"},
                                                        {"-A", "0"},
                                                        {"-m", "-1"},
                                                        {"-B", "99999999999999999999"}};

// System headers, read by C programmers every day.
const char* const kSystemHeaders[] = {"stdio.h",   "stdlib.h", "string.h", "unistd.h",
                                      "signal.h",  "time.h",   "math.h",   "wchar.h",
                                      "pthread.h", "ctype.h",  "locale.h", "regex.h"};

// Where a test keeps its copy of the files: each test has its own, since
// CTest may run the tests of this file at the same time.
std::string corpusRoot() {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return (fs::path(XVKIT_TEST_WORKDIR) / ("grep-corpus-" + test)).string();
}

// A copy of the project's sources and of the system headers above, in a
// fixed order: both programs read the same bytes even while the working tree
// is being edited.
std::vector<std::string> corpus() {
    const fs::path root = corpusRoot(), source = XVKIT_SOURCE_DIR, system = "/usr/include";
    fs::remove_all(root);
    std::vector<std::string> list;
    const auto add = [&list](const fs::path& from, const fs::path& to) {
        fs::create_directories(to.parent_path());
        fs::copy_file(from, to);
        list.push_back(to.string());
    };
    for (const char* dir : {"include", "src"}) {
        for (const auto& entry : fs::recursive_directory_iterator(source / dir)) {
            if (const auto ext = entry.path().extension(); ext == ".cpp" || ext == ".h")
                add(entry.path(), root / fs::relative(entry.path(), source));
        }
    }
    for (const char* header : kSystemHeaders) {
        if (fs::exists(system / header))
            add(system / header, root / "system" / header);
    }
    // Two binary files: a header with a NUL byte early on, and one in its middle.
    std::stringstream header;
    header << std::ifstream(system / "stdio.h").rdbuf();
    for (const std::size_t at : {std::size_t{20}, header.str().size() / 2}) {
        std::string text = header.str();
        text.insert(at, 1, '\0');
        const fs::path to = root / "binary" / ("stdio-" + std::to_string(at) + ".h");
        fs::create_directories(to.parent_path());
        std::ofstream(to, std::ios::binary) << text;
        list.push_back(to.string());
    }
    std::sort(list.begin(), list.end());
    return list;
}

std::string describe(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args)
        text += (a.size() > 60 ? "FILE" : a) + " ";
    return text.substr(0, 200);
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The lines of `text`, sorted, without the "--" between groups (whose number
// depends on the order of the files when a binary file matches, which counts
// as a group that prints nothing).
std::string sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line != "--")
            lines.push_back(line + "\n");
    }
    std::sort(lines.begin(), lines.end());
    return std::accumulate(lines.begin(), lines.end(), std::string());
}

// The "binary file matches" lines of standard error, GNU grep's written as
// the tool writes them ("grep: F: ..." as "xvkit: 'F': ..."), and the rest.
std::pair<std::string, std::string> binaryMessages(const std::string& err, bool gnu) {
    const std::string matches = ": binary file matches";
    std::string messages, rest;
    std::istringstream in(err);
    for (std::string line; std::getline(in, line);) {
        if (!line.ends_with(matches)) {
            rest += line + "\n";
        } else if (gnu) {
            const std::size_t name = line.find(": ") + 2;  // after the program's name
            messages += "xvkit: '" + line.substr(name, line.size() - name - matches.size()) + "'" +
                        matches + "\n";
        } else {
            messages += line + "\n";
        }
    }
    return {messages, rest};
}

bool contains(const std::vector<std::string>& args, const std::string& arg) {
    return std::find(args.begin(), args.end(), arg) != args.end();
}

// Runs both programs with `args` before the files and compares their
// output, their messages about binary files and their status. GNU grep runs
// with -E unless `args` name a dialect. With `sorted` the output lines are
// compared in order (grep -r walks a directory in its own order).
void expectSameAsGnu(const std::vector<std::string>& args, const std::vector<std::string>& files,
                     const std::string& input = "", bool sorted = false) {
    const bool dialect = contains(args, "-E") || contains(args, "-G") || contains(args, "-F");
    RunResult mine = runTool(joined(joined({"grep"}, args), files), input);
    RunResult theirs = runProgram(
        XVKIT_GNU_GREP,
        joined(joined(dialect ? std::vector<std::string>{} : std::vector<std::string>{"-E"}, args),
               files),
        input, {"LC_ALL=C"});
    // A pattern that the tool refuses and GNU grep takes (checked on its own).
    if (mine.status == 2 && mine.err.find("is refused") != std::string::npos && theirs.status != 2)
        return;
    // GNU grep 3.8 selects no line at all with -v and a negative -m, which its
    // manual calls no limit, as the tool does.
    if (contains(args, "-v") && contains(args, "-m") &&
        args[std::find(args.begin(), args.end(), "-m") - args.begin() + 1].starts_with("-"))
        return;
    auto [myMessages, myErrors] = binaryMessages(mine.err, false);
    auto [gnuMessages, gnuErrors] = binaryMessages(theirs.err, true);
    if (sorted) {
        for (std::string* text : {&mine.out, &theirs.out, &myMessages, &gnuMessages})
            *text = sortedLines(*text);
    }
    EXPECT_EQ(mine.status, theirs.status) << describe(args);
    // The outputs from their first difference on (a diff of large outputs would be slow).
    const auto [at, gnuAt] = std::ranges::mismatch(mine.out, theirs.out);
    EXPECT_EQ(std::string(at, mine.out.end()).substr(0, 160),
              std::string(gnuAt, theirs.out.end()).substr(0, 160))
        << describe(args) << "at byte " << at - mine.out.begin();
    EXPECT_EQ(myMessages, gnuMessages) << describe(args);
    EXPECT_TRUE(mine.status == 2 || myErrors.empty()) << describe(args) << myErrors;
}

// Every pattern alone, and each option alone with a sixth of the patterns.
TEST(ToolGrepGnu, PatternsAndOptionsAlone) {
    const std::vector<std::string> files = corpus();
    ASSERT_GT(files.size(), 30u);
    for (std::size_t p = 0; p < kPatterns.size(); p += kEvery) {
        expectSameAsGnu({kPatterns[p]}, files);
        for (std::size_t o = p % 6; o < kOptions.size(); o += 6)
            expectSameAsGnu(joined(kOptions[o], {kPatterns[p]}), files);
    }
}

TEST(ToolGrepGnu, OptionsInPairs) {
    const std::vector<std::string> files = corpus();
    std::size_t k = 0;
    for (std::size_t a = 0; a < kOptions.size(); ++a) {
        for (std::size_t b = a + 1; b < kOptions.size(); ++b, ++k) {
            if (k % kEvery != 0)
                continue;
            const std::vector<std::string> both = joined(kOptions[a], kOptions[b]);
            expectSameAsGnu(joined(both, {kPatterns[(k * 7 + 3) % kPatterns.size()]}), files);
        }
    }
}

TEST(ToolGrepGnu, SeveralPatternsInputsAndDirectories) {
    const std::vector<std::string> files = corpus();
    const std::string patternFile = (fs::path(XVKIT_TEST_WORKDIR) / "grep-patterns").string();
    std::ofstream(patternFile) << "XVString\n^#if\nreturn [a-z]+;\n";
    std::stringstream stdinText;
    stdinText << std::ifstream(files[0]).rdbuf();
    for (std::size_t o = 0; o < kOptions.size(); o += kEvery) {
        const std::vector<std::string>& option = kOptions[o];
        expectSameAsGnu(joined(option, {"-e", "int", "-e", "[a-z]+_t", "-e", "e"}), files);
        expectSameAsGnu(joined(option, {"-f", patternFile}), files);
        expectSameAsGnu(joined(option, {"[a-z]+", "-"}), {files[1]}, stdinText.str());
        expectSameAsGnu(joined(option, {"-r", "#define|XV"}), {corpusRoot()}, "", true);
        expectSameAsGnu(joined(option, {"std::"}), {files[2], corpusRoot() + "/missing"});
    }
}

}  // namespace

namespace {

// What GNU grep 3.8 did differently from the tool before, each compared on
// small inputs: dialects, binary files, patterns GNU grep refuses or reads
// its own way, and output and status rules.
TEST(ToolGrepGnu, OnceDifferent) {
    const std::string lines = workFile("grep-lines.txt", "a\nb\nc\na\nd\nA\nf\na\n");
    const std::string binary = workFile("grep-nul.bin", std::string("ab\0cd\nab\n\0\0x\n", 13));
    const std::string noPatterns = workFile("grep-empty.pat", "");
    const std::vector<std::vector<std::string>> runs = {{"-E", "a|c"},
                                                        {"-G", "a\\|c"},
                                                        {"-G", "a|c"},
                                                        {"-G", "*a\\+"},
                                                        {"b.c"},
                                                        {"-c", ""},
                                                        {"-vc", "a"},
                                                        {"-xc", "ab"},
                                                        {"-n", "x"},
                                                        {"[z-a]"},
                                                        {"a\\"},
                                                        {"\\"},
                                                        {"-c", "[[.a.]]"},
                                                        {"-c", "[[=a=]]"},
                                                        {"-ic", "[^a]"},
                                                        {"-Lq", "a"},
                                                        {"-Lq", "zz"},
                                                        {"-C", "0", "a"},
                                                        {"-A", "0", "a"},
                                                        {"-B", "0", "-n", "a"},
                                                        {"-oC0", "a"},
                                                        {"-c", "-m", "0", "a"},
                                                        {"-c", "-f", noPatterns},
                                                        {"-c", "-v", "-e", ""},
                                                        {"-L", "-m0", "a"},
                                                        {"-v", "-o", "-A1", "a"},
                                                        {"-v", "-o", "-nB1", "a"},
                                                        {"-m", "-1", "a"},
                                                        {"-C", "99999999999999999999", "b"}};
    for (const std::vector<std::string>& run : runs)
        expectSameAsGnu(run, {lines, binary});
}

// A file of many reads: context lines kept from one read to the next, line
// numbers and byte offsets counted across them.
TEST(ToolGrepGnu, LargerThanOneRead) {
    std::string text;
    for (const std::string& file : corpus()) {
        if (file.find("/binary/") == std::string::npos) {
            std::stringstream content;
            content << std::ifstream(file).rdbuf();
            text += content.str();
        }
    }
    while (text.size() < 3 * 256 * 1024)
        text += text;
    const std::string big = workFile("grep-big.txt", text);
    const std::vector<std::vector<std::string>> runs = {{"-n", "-C", "3", "XVString"},
                                                        {"-b", "-B", "2", "static"},
                                                        {"-c", "-v", "e"},
                                                        {"-ob", "[0-9]+"},
                                                        {"-A", "0", "-n", "return"},
                                                        {"-m", "1000", "-A", "5", "int"}};
    for (const std::vector<std::string>& run : runs)
        expectSameAsGnu(run, {big});
}

}  // namespace
