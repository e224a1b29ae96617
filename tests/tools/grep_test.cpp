// xvkit grep, run as a real program: output forms, exit statuses, inputs,
// pattern rewrites and refusals, binary files and long lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "run_tool.h"

namespace {

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
    const std::string syntax =
        "' does not compile: syntax error (status 1): empty, starting with '*', '+' or '?', with "
        "an empty or unclosed class, or ending in '\\^'";
    const std::string tooLong =
        "' does not compile: compile error (status 3): too long, or a closure after an anchor or "
        "another closure";
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
        {"grep|*a", 2, "", "pattern '*a" + syntax, "abc\n"},
        {"grep|a**", 2, "", "pattern 'a**" + tooLong, "abc\n"},
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
         refused + "(a)\\1' is refused: groups are not supported; write '\\(' for a literal '('"},
        {"grep|a\\1", 2, "",
         refused + "a\\1' is refused: back-references (\\1) are not supported; write \\x01 for "
                   "the character with code 1"},
        {"grep|\\bint\\b", 2, "",
         refused + "\\bint\\b' is refused: word boundaries (\\b) are not supported; use -w for "
                   "whole words, or write \\x08 for a backspace"},
        {"grep|\\<int", 2, "",
         refused + "\\<int' is refused: word boundaries (\\<) are not supported; use -w for "
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
    expectRuns({
        {"grep|ab", 0, "Binary file (standard input) matches\n", "", binary},
        {"grep|-o|ab|" + file, 0, "Binary file " + file + " matches\n"},
        {"grep|-c|ab", 0, "2\n", "", binary},
        {"grep|-l|ab|" + file, 0, file + "\n"},
        {"grep|zz", 1, "", "", binary},
    });
}

TEST(ToolGrep, RecursesInNameOrder) {
    namespace fs = std::filesystem;
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
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1\n");
#if !defined(__SANITIZE_ADDRESS__)
    // Under a 64 MB address-space limit a 200 MB line cannot be held.
    const RunResult big = runProgram(
        "/bin/sh", {"-c", "ulimit -v 65536; head -c 200000000 /dev/zero | tr '\\0' a | " +
                              std::string(XVKIT_TOOL) + " grep -c b"});
    EXPECT_EQ(big.status, 2);
    EXPECT_EQ(big.err,
              "xvkit: cannot search '(standard input)': a line is too long to fit in memory\n");
#endif
}

}  // namespace
