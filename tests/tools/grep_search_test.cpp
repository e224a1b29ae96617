// grep's search of one input, called directly: inputs far larger than one
// read, given whole (a file) or in small pieces (a pipe), against a model of
// context worked out over whole lines; zero context; byte offsets; binary
// inputs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "grep/arguments.h"
#include "grep/matcher.h"
#include "grep/output.h"
#include "grep/search.h"
#include "tool_words.h"

namespace {

struct Searched {
    std::string out;
    xvtool::SearchResult result;
};

// How the input reaches the search: a file read in full pieces, or a pipe
// written in small ones.
enum class Feed { file, pipe };

constexpr std::size_t kPipePiece = 1000;

// Searches `input` with grep's command line `words` (its patterns, no file).
Searched search(const Words& words, const std::string& input, Feed feed = Feed::file) {
    const xvtool::GrepOptions o = xvtool::parseGrepOptions(words.args());
    std::string error;
    const auto sources = xvtool::patternSources(o.patterns, o.dialect, error);
    const auto matcher = xvtool::Matcher::compile(
        sources, xvtool::MatchMode{o.ignoreCase, o.wordRegexp, o.lineRegexp}, error);
    EXPECT_EQ(error, "");
    char* printed = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&printed, &size);
    xvtool::OutputForm form;
    form.lineNumbers = o.lineNumbers;
    form.byteOffsets = o.byteOffset;
    xvtool::GrepPrinter printer(out, form);
    xvtool::FileSearch fileSearch(o, *matcher, printer);
    Searched s;
    if (feed == Feed::file) {
        std::FILE* in = std::tmpfile();
        std::fwrite(input.data(), 1, input.size(), in);
        std::rewind(in);
        s.result = fileSearch.run(fileno(in), "in");
        std::fclose(in);
    } else {
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        std::thread writer([&] {
            for (std::size_t at = 0; at < input.size(); at += kPipePiece)
                EXPECT_GT(
                    write(ends[1], input.data() + at, std::min(kPipePiece, input.size() - at)), 0);
            close(ends[1]);
        });
        s.result = fileSearch.run(ends[0], "in");
        writer.join();
        close(ends[0]);
    }
    std::fclose(out);
    s.out.assign(printed, size);
    std::free(printed);
    return s;
}

// Lines of about 40 bytes; every `every`th holds "hit", so that some
// context groups run across the boundaries of the 256 KB reads.
std::vector<std::string> numberedLines(std::size_t count, std::size_t every) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back((i % every == every - 1 ? "hit " : "line ") + std::to_string(i) +
                        " of the text, with some padding");
    return lines;
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// What grep -n -b -B before -A after prints for the lines that hold "hit":
// each selected line with the lines around it, "--" between groups that do
// not touch.
std::string contextModel(const std::vector<std::string>& lines, std::size_t before,
                         std::size_t after) {
    enum Kind { none, context, selected };
    std::vector<Kind> kind(lines.size(), none);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("hit") == std::string::npos)
            continue;
        kind[i] = selected;
        for (std::size_t j = i >= before ? i - before : 0; j <= i + after && j < lines.size(); ++j)
            kind[j] = kind[j] == none ? context : kind[j];
    }
    std::string out;
    std::size_t offset = 0, last = 0;
    bool printed = false;
    for (std::size_t i = 0; i < lines.size(); offset += lines[i].size() + 1, ++i) {
        if (kind[i] == none)
            continue;
        if (printed && i != last + 1)
            out += "--\n";
        const std::string separator = kind[i] == selected ? ":" : "-";
        out += std::to_string(i + 1) + separator + std::to_string(offset) + separator + lines[i] +
               "\n";
        printed = true;
        last = i;
    }
    return out;
}

TEST(ToolGrepSearch, ContextAcrossReadsAndZeroContext) {
    // 1.2 MB: five reads of 256 KB from a file, more than a thousand from the pipe.
    const std::vector<std::string> lines = numberedLines(30000, 997);
    const std::string input = joinedLines(lines);
    const struct {
        std::size_t before, after;
    } contexts[] = {{0, 0}, {3, 0}, {0, 2}, {2, 5}, {7000, 1}};
    for (const auto& c : contexts) {
        const std::string expected = contextModel(lines, c.before, c.after);
        for (const Feed feed : {Feed::file, Feed::pipe}) {
            const Searched s = search(
                {"-nb", "-B", std::to_string(c.before), "-A", std::to_string(c.after), "hit"},
                input, feed);
            EXPECT_EQ(s.out, expected) << c.before << " " << c.after;
            EXPECT_EQ(s.result.selected, 30u);
        }
    }
    // Adjacent selected lines on both sides of a read's end form one group.
    std::vector<std::string> adjacent = numberedLines(12000, 1000000);
    for (std::size_t i = 6000; i < 7000; ++i)
        adjacent[i] = "hit " + std::to_string(i);
    EXPECT_EQ(search({"-nb", "-C0", "hit"}, joinedLines(adjacent)).out,
              contextModel(adjacent, 0, 0));
}

TEST(ToolGrepSearch, MaxCountOnlyMatchingAndOffsets) {
    const std::vector<std::string> lines = numberedLines(20000, 1500);
    const std::string input = joinedLines(lines);
    // -m stops at the 12th hit, after the reads that brought it; its trailing
    // context still follows.
    const Searched limited = search({"-m", "12", "-A", "1", "-c", "hit"}, input);
    EXPECT_EQ(limited.out, "");
    EXPECT_EQ(limited.result.selected, 12u);
    const Searched trailing = search({"-m", "1", "-A", "2", "-n", "hit"}, input);
    EXPECT_EQ(trailing.out,
              "1500:" + lines[1499] + "\n1501-" + lines[1500] + "\n1502-" + lines[1501] + "\n");
    // -o -b: the offset of each match, past several reads.
    const Searched offsets = search({"-ob", "hit [0-9]+"}, input, Feed::pipe);
    std::string expected;
    std::size_t offset = 0;
    for (const std::string& line : lines) {
        if (line.starts_with("hit"))
            expected += std::to_string(offset) + ":" + line.substr(0, line.find(' ', 4)) + "\n";
        offset += line.size() + 1;
    }
    EXPECT_EQ(offsets.out, expected);
}

TEST(ToolGrepSearch, BinaryInputs) {
    const std::string early("x1\nab\0cd\nab\n", 12);
    const Searched printing = search({"ab"}, early);
    EXPECT_TRUE(printing.out.empty() && printing.result.binaryMatches);
    EXPECT_EQ(printing.result.selected, 1u);  // the search stops at the first
    // NUL ends lines for the count and for -v; -a reads the file as text.
    EXPECT_EQ(search({"-c", "^cd$"}, early).result.selected, 1u);
    EXPECT_EQ(search({"-vc", "ab"}, early).result.selected, 2u);
    EXPECT_EQ(search({"-ac", "^cd$"}, early).result.selected, 0u);
    EXPECT_FALSE(search({"-c", "ab"}, early).result.binaryMatches);
    const Searched without = search({"-Ic", "ab"}, early);
    EXPECT_TRUE(without.result.selected == 0 && !without.result.binaryMatches);
    // A NUL after the first read: the lines searched before it are printed.
    std::vector<std::string> lines = numberedLines(10000, 4000);
    std::string late = joinedLines(lines);
    late[late.size() - 100] = '\0';
    const Searched s = search({"-n", "hit"}, late);
    EXPECT_EQ(s.out, "4000:" + lines[3999] + "\n");
    EXPECT_TRUE(s.result.binaryMatches);
}

}  // namespace
