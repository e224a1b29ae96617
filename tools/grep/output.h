// The output of `xvkit grep`: line prefixes, group separators, counts and
// names, in GNU grep's formats and (when asked) its default colours.
#ifndef XVKIT_TOOLS_GREP_OUTPUT_H_
#define XVKIT_TOOLS_GREP_OUTPUT_H_

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace xvtool {

// What separates a prefix from the line: ':' for selected lines, '-' for
// context lines.
enum class LineKind { selected, context };

class GrepPrinter {
  public:
    GrepPrinter(bool withNames, bool lineNumbers, bool color);

    // The prefix of a line: name, number (when numbers are on) and their
    // separators.
    void prefix(std::string_view name, unsigned long lineNumber, LineKind kind);
    // Plain text, and a match in its colour.
    void text(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }
    void match(std::string_view text);
    void endLine() { std::putc('\n', stdout); }
    // "--" between groups of lines that are not adjacent.
    void groupSeparator();
    void count(std::string_view name, unsigned long n);
    void fileName(std::string_view name);
    void binaryMatches(std::string_view name);

    // Whether any line was printed so far, in any file; with -o a selected
    // or context line counts even when nothing of it was shown.
    bool printedLines() const { return printedLines_; }
    void notePrinted() { printedLines_ = true; }
    bool inColor() const { return color_; }

  private:
    void colored(const char* sgr, std::string_view text);

    bool withNames_;
    bool lineNumbers_;
    bool color_;
    bool printedLines_ = false;
};

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_OUTPUT_H_
