// xvkit grep, run as a real program: output forms, exit statuses, inputs,
// a large input, and agreement with GNU grep -E on the project's sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
    const std::string withNul("a\0b\nab\r\n", 8);
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
        {"grep|-n|[0-9]+", 0, "1:alpha 12\n3:gamma 345 6\n5:7\n", "", text},
        {"grep|-c|[0-9]+", 0, "3\n", "", text},
        {"grep|-on|[0-9]+", 0, "1:12\n3:345\n3:6\n5:7\n", "", text},
        {"grep|-n|^$", 0, "4:\n", "", text},
        // Anchors bind to the line: one match per line for '^', the end for '$'.
        {"grep|-o|^a", 0, "a\n", "", "aaa\nba\n"},
        {"grep|-o|a$", 0, "a\n", "", "aaa\nab\n"},
        // Empty matches make a line match but print nothing with -o.
        {"grep|-o|x*", 0, "", "", "abc\n"},
        {"grep|-o|x*", 0, "xx\nxx\n", "", "xxaxx\n"},
        {"grep|-o|ab?", 0, "ab\na\nab\n", "", "abaab\n"},
        {"grep|-o|xY+x", 0, "xYx\n", "", "short\n" + longLine + "\nYY\n"},
        // Embedded NUL characters are ordinary characters; CR stays in the line.
        {"grep|-n|a\\0b", 0, std::string("1:a\0b\n", 6), "", withNul},
        {"grep|-c|b\\r$", 0, "1\n", "", withNul},
        {"grep|-c|\\xff", 0, "1\n", "", "\xff\n\xfe\n"},
        {"grep|zzz", 1, "", "", "abc\n"},
        {"grep|-c|zzz", 1, "0\n", "", "abc\n"},
        {"grep|*a", 2, "", "pattern '*a" + syntax, "abc\n"},
        {"grep|[ab", 2, "", "pattern '[ab" + syntax},
        {"grep|a**", 2, "", "pattern 'a**" + tooLong, "abc\n"},
        {"grep|" + many, 2, "", "pattern '" + many + tooLong},
        {"grep", 2, "", "grep needs a PATTERN (see 'xvkit grep --help')"},
        // Files are named when there are several; "-" is standard input.
        {"grep|-n|re|" + one + "|" + two, 0,
         one + ":1:red\n" + one + ":2:green\n" + two + ":2:red green\n"},
        {"grep|-c|blue|" + one + "|" + two, 0, one + ":0\n" + two + ":1\n"},
        {"grep|e|-|" + two, 0, "(standard input):tea\n" + two + ":blue\n" + two + ":red green\n",
         "", "tea\n"},
        // A file that cannot be read is reported, the others are searched,
        // and the status is 2.
        {"grep|red|" + missing + "|" + one, 2, one + ":red\n",
         "cannot open '" + missing + "': No such file or directory"},
        {"grep|red|" + directory, 2, "", "cannot read '" + directory + "': Is a directory"},
    });
}

TEST(ToolGrep, TenMegabytesInBoundedTime) {
    // 200000 lines of 52 bytes: every 7th line carries "needle42".
    std::string large;
    char line[64];
    for (int i = 0; i < 200000; ++i) {
        std::snprintf(line, sizeof line, "%08d the quick brown fox %s over the dog\n", i,
                      i % 7 == 3 ? "needle42" : "jumps_ok");
        large += line;
    }
    const std::string path = workFile("grep-large.txt", large);
    ASSERT_GE(fs::file_size(path), 10u * 1000 * 1000);
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = runTool({"grep", "-c", "ne+dle[0-9]+ over", path});
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              30.0);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "28571\n");  // i % 7 == 3 for 28571 of the 200000 lines
    fs::remove(path);
}

// A copy of the project's own sources, in a fixed order: both programs read
// the same bytes even while the working tree is being edited.
std::vector<std::string> projectSources() {
    const fs::path source(XVKIT_SOURCE_DIR);
    const fs::path corpus = fs::path(XVKIT_TEST_WORKDIR) / "grep-corpus";
    fs::remove_all(corpus);
    std::vector<std::string> files;
    for (const char* dir : {"include", "src", "tools", "tests"}) {
        for (const auto& entry : fs::recursive_directory_iterator(source / dir)) {
            std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h")) {
                const fs::path copy = corpus / fs::relative(entry.path(), source);
                fs::create_directories(copy.parent_path());
                fs::copy_file(entry.path(), copy);
                files.push_back(copy.string());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ToolGrep, AgreesWithGnuGrep) {
    // Patterns that mean the same as extended regular expressions, and whose
    // greedy matches are also the longest ones, so that -o agrees too; the
    // last ones have empty and overlapping matches, which -o steps over.
    const std::vector<std::string> patterns = {"XVString",
                                               "^#include",
                                               "^}",
                                               ";$",
                                               "[0-9]+",
                                               "0x[0-9A-Fa-f]+",
                                               "a.c",
                                               "st*d",
                                               "colou?r",
                                               "^ +return",
                                               "[^ -~]",
                                               "^$",
                                               "\\.cpp",
                                               "[A-Z][a-z]+[A-Z]",
                                               "e+",
                                               "^ *//",
                                               "x?y?z",
                                               "const.*&",
                                               ".",
                                               "^.?$",
                                               "[-+*/]=",
                                               "$",
                                               "^",
                                               "[^a-z]*",
                                               "^[^ ].*[^;{}]$",
                                               "q.*q.*q",
                                               "  +$",
                                               "[aeiou][aeiou][aeiou]+",
                                               "\\[\\]",
                                               "^[A-Za-z_]+\\*?$",
                                               "e*",
                                               "[a-z]*",
                                               "a?b?c?",
                                               "x*$",
                                               "^[a-z]*",
                                               "[0-9]?[0-9]",
                                               "[a-z]+ing"};
    const std::vector<std::string> files = projectSources();
    ASSERT_GT(files.size(), 20u);
    for (const std::string& pattern : patterns) {
        for (const char* mode : {"-n", "-c", "-on"}) {
            std::vector<std::string> ours{"grep", mode, pattern}, gnu{"-E", mode, pattern};
            ours.insert(ours.end(), files.begin(), files.end());
            gnu.insert(gnu.end(), files.begin(), files.end());
            const RunResult mine = runTool(ours);
            const RunResult theirs = runProgram(XVKIT_GNU_GREP, gnu, "", {"LC_ALL=C"});
            EXPECT_EQ(mine.status, theirs.status) << pattern << " " << mode;
            EXPECT_EQ(mine.out, theirs.out) << pattern << " " << mode;
            EXPECT_EQ(mine.err, "") << pattern;
        }
    }
}

}  // namespace
