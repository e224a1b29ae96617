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

TEST(ToolGrep, LinesNumbersCountsAndMatches) {
    const std::string text = "alpha 12\nbeta\ngamma 345 6\n\n7";
    RunResult r = runTool({"grep", "[0-9]+"}, text);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "alpha 12\ngamma 345 6\n7\n");  // the last line has no newline
    EXPECT_EQ(runTool({"grep", "-n", "[0-9]+"}, text).out, "1:alpha 12\n3:gamma 345 6\n5:7\n");
    EXPECT_EQ(runTool({"grep", "-c", "[0-9]+"}, text).out, "3\n");
    EXPECT_EQ(runTool({"grep", "-on", "[0-9]+"}, text).out, "1:12\n3:345\n3:6\n5:7\n");
    EXPECT_EQ(runTool({"grep", "-n", "^$"}, text).out, "4:\n");
    // Anchors bind to the line: one match per line for '^', the end for '$'.
    EXPECT_EQ(runTool({"grep", "-o", "^a"}, "aaa\nba\n").out, "a\n");
    EXPECT_EQ(runTool({"grep", "-o", "a$"}, "aaa\nab\n").out, "a\n");
    // Empty matches make a line match but print nothing with -o.
    r = runTool({"grep", "-o", "x*"}, "abc\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(runTool({"grep", "-o", "x*"}, "xxaxx\n").out, "xx\nxx\n");
    EXPECT_EQ(runTool({"grep", "-o", "ab?"}, "abaab\n").out, "ab\na\nab\n");
}

TEST(ToolGrep, ExitStatusAndPatternErrors) {
    RunResult r = runTool({"grep", "zzz"}, "abc\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(runTool({"grep", "-c", "zzz"}, "abc\n").out, "0\n");
    r = runTool({"grep", "*a"}, "abc\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "xvkit: pattern '*a' does not compile: syntax error (status 1): empty, starting "
              "with '*', '+' or '?', with an empty or unclosed class, or ending in '\\^'\n");
    r = runTool({"grep", "a**"}, "abc\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "xvkit: pattern 'a**' does not compile: compile error (status 3): too long, or a "
              "closure after an anchor or another closure\n");
    EXPECT_EQ(runTool({"grep", "[ab"}).status, 2);
    EXPECT_EQ(runTool({"grep", std::string(300, 'a')}).status, 2);
    EXPECT_EQ(runTool({"grep"}).err, "xvkit: grep needs a PATTERN (see 'xvkit grep --help')\n");
}

TEST(ToolGrep, FilesNamesAndUnreadableFiles) {
    std::string one = workFile("grep-one.txt", "red\ngreen\n");
    std::string two = workFile("grep-two.txt", "blue\nred green\n");
    RunResult r = runTool({"grep", "-n", "re", one, two});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, one + ":1:red\n" + one + ":2:green\n" + two + ":2:red green\n");
    EXPECT_EQ(runTool({"grep", "-c", "blue", one, two}).out, one + ":0\n" + two + ":1\n");
    // "-" is standard input.
    EXPECT_EQ(runTool({"grep", "e", "-", two}, "tea\n").out,
              "(standard input):tea\n" + two + ":blue\n" + two + ":red green\n");
    // A missing file is reported, the others are searched, and the status is 2.
    std::string missing = std::string(XVKIT_TEST_WORKDIR) + "/no-such-file";
    r = runTool({"grep", "red", missing, one});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, one + ":red\n");
    EXPECT_EQ(r.err, "xvkit: cannot open '" + missing + "': No such file or directory\n");
    r = runTool({"grep", "red", XVKIT_TEST_WORKDIR});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              std::string("xvkit: cannot read '") + XVKIT_TEST_WORKDIR + "': Is a directory\n");
}

TEST(ToolGrep, BytesLongLinesAndNul) {
    // A line far longer than the read buffer, split across many reads.
    std::string longLine(3 * 1024 * 1024, 'x');
    longLine[2 * 1024 * 1024] = 'Y';
    RunResult r = runTool({"grep", "-o", "xY+x"}, "short\n" + longLine + "\nYY\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "xYx\n");
    // Embedded NUL characters are ordinary characters; CR stays in the line.
    std::string withNul("a\0b\nab\r\n", 8);
    EXPECT_EQ(runTool({"grep", "-n", "a\\0b"}, withNul).out, std::string("1:a\0b\n", 6));
    EXPECT_EQ(runTool({"grep", "-c", "b\\r$"}, withNul).out, "1\n");
    EXPECT_EQ(runTool({"grep", "-c", "\\xff"}, "\xff\n\xfe\n").out, "1\n");
}

TEST(ToolGrep, TenMegabytesInBoundedTime) {
    // 200000 lines of 52 bytes: every 7th line carries "needle42".
    std::string path = std::string(XVKIT_TEST_WORKDIR) + "/grep-large.txt";
    unsigned long expected = 0;
    {
        std::ofstream out(path, std::ios::binary);
        char line[64];
        for (int i = 0; i < 200000; ++i) {
            bool hit = i % 7 == 3;
            expected += hit;
            std::snprintf(line, sizeof line, "%08d the quick brown fox %s over the dog\n", i,
                          hit ? "needle42" : "jumps_ok");
            out << line;
        }
    }
    ASSERT_GE(fs::file_size(path), 10u * 1000 * 1000);
    auto start = std::chrono::steady_clock::now();
    RunResult r = runToolOnFile({"grep", "-c", "ne+dle[0-9]+ over"}, path);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::to_string(expected) + "\n");
    EXPECT_LT(seconds, 30.0);
    std::printf("grep -c over %ju bytes: %.3f s\n",
                static_cast<std::uintmax_t>(fs::file_size(path)), seconds);
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
    // greedy matches are also the longest ones, so that -o agrees too.
    const std::vector<std::string> patterns = {
        "XVString",
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
        // Empty and overlapping matches, which -o steps over.
        "e*",
        "[a-z]*",
        "a?b?c?",
        "x*$",
        "^[a-z]*",
        "[0-9]?[0-9]",
        "[a-z]+ing",
    };
    const std::vector<std::string> files = projectSources();
    ASSERT_GT(files.size(), 20u);
    for (const std::string& pattern : patterns) {
        for (const char* mode : {"-n", "-c", "-on"}) {
            std::vector<std::string> args{mode, pattern};
            args.insert(args.end(), files.begin(), files.end());
            std::vector<std::string> ours{"grep"};
            ours.insert(ours.end(), args.begin(), args.end());
            std::vector<std::string> gnu{"-E"};
            gnu.insert(gnu.end(), args.begin(), args.end());
            RunResult mine = runTool(ours);
            RunResult theirs = runProgram(XVKIT_GNU_GREP, gnu, "", {{"LC_ALL", "C"}});
            EXPECT_EQ(mine.status, theirs.status) << pattern << " " << mode;
            EXPECT_EQ(mine.out, theirs.out) << pattern << " " << mode;
            EXPECT_EQ(mine.err, "") << pattern;
        }
    }
}

}  // namespace
