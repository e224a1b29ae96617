// xvkit grep against GNU grep -E (in the C locale) on real files: every
// option alone and in pairs, over patterns that mean the same in both
// languages, comparing standard output and exit status byte for byte.
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

// Patterns that mean the same as extended regular expressions (some through
// the tool's rewrites), and whose greedy matches are also the longest ones,
// so that -o agrees too; some have empty and overlapping matches, which -o
// steps over. "\\bint\\b" is refused by the tool, which the comparison skips.
// clang-format off
const std::vector<std::string> kPatterns = {
    "XVString", "^#include", "^}", ";$", "[0-9]+", "0x[0-9A-Fa-f]+", "a.c", "st*d", "colou?r",
    "^ +return", "[^ -~]", "^$", "\\.cpp", "[A-Z][a-z]+[A-Z]", "e+", "^ *//", "x?y?z", "const.*&",
    ".", "^.?$", "[-+*/]=", "$", "^", "[^a-z]*", "^[^ ].*[^;{}]$", "q.*q.*q", "  +$",
    "[aeiou][aeiou][aeiou]+", "\\[\\]", "^[A-Za-z_]+\\*?$", "e*", "[a-z]*", "a?b?c?", "x*$",
    "^[a-z]*", "[0-9]?[0-9]", "[a-z]+ing", "static_assert", "[0-9][0-9]*[A-Z]",
    "^#define [A-Z_]+ 0x", "struct [a-z_]+ \\{", "[[:digit:]]+", "\\w+", "\\bint\\b", "int|long",
    "[[:upper:]][[:lower:]]+", "\\s+$", "[[:space:]]*#", "return|break|continue", "\\W\\w+\\W",
    "[^[:alnum:][:space:]]+", "INT|int", "size_t"};
// clang-format on

// The unoptimised sanitizer build runs one combination in four: each run
// starts two processes, and there the start-up and the search are slow.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kEvery = 4;
#else
constexpr std::size_t kEvery = 1;
#endif

// Each option of the tool, as the words that give it.
const std::vector<std::vector<std::string>> kOptions = {
    {"-i"}, {"-v"},     {"-w"},      {"-x"},      {"-c"},      {"-l"},
    {"-L"}, {"-n"},     {"-o"},      {"-h"},      {"-H"},      {"-m", "3"},
    {"-q"}, {"-s"},     {"-A", "2"}, {"-B", "2"}, {"-C", "1"}, {"--color=always"},
    {"-F"}, {"-m", "1"}};

// Some system headers, read by C programmers every day.
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

// Runs both programs with `args` before the files and compares them. With
// `sorted` the output lines are compared in order (grep -r walks a
// directory in its own order).
void expectSameAsGnu(const std::vector<std::string>& args, const std::vector<std::string>& files,
                     const std::string& input = "", bool sorted = false) {
    // GNU grep takes -F instead of -E, not with it.
    const bool fixed = std::find(args.begin(), args.end(), "-F") != args.end();
    RunResult mine = runTool(joined(joined({"grep"}, args), files), input);
    RunResult theirs = runProgram(
        XVKIT_GNU_GREP, joined(joined({fixed ? "-F" : "-E"}, args), files), input, {"LC_ALL=C"});
    if (mine.status == 2 && mine.err.find("is refused") != std::string::npos)
        return;  // a pattern the tool refuses (checked on its own)
    for (RunResult* r : {&mine, &theirs}) {
        if (!sorted)
            continue;
        std::vector<std::string> lines;
        std::istringstream in(r->out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line + "\n");
        std::sort(lines.begin(), lines.end());
        r->out = std::accumulate(lines.begin(), lines.end(), std::string());
    }
    EXPECT_EQ(mine.status, theirs.status) << describe(args);
    // The outputs from their first difference on (a diff of large outputs would be slow).
    const auto [at, gnuAt] = std::ranges::mismatch(mine.out, theirs.out);
    EXPECT_EQ(std::string(at, mine.out.end()).substr(0, 160),
              std::string(gnuAt, theirs.out.end()).substr(0, 160))
        << describe(args) << "at byte " << at - mine.out.begin();
    EXPECT_TRUE(mine.status == 2 || mine.err.empty()) << describe(args) << mine.err;
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
