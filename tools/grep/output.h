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

// What goes before each line, and how names end.
struct OutputForm {
    bool withNames = false;      // the file name (-H, or several files)
    bool lineNumbers = false;    // -n
    bool byteOffsets = false;    // -b
    bool nullAfterName = false;  // -Z: a NUL byte instead of the separator or newline after names
    bool color = false;          // GNU grep's SGR sequences around names, numbers and matches
};

class GrepPrinter {
  public:
    GrepPrinter(std::FILE* out, const OutputForm& form);

    // The prefix of a line: name, line number and byte offset (each when
    // asked for) with their separators. `byteOffset` is the offset in the
    // input of what the line shows: its start, or the match with -o.
    void prefix(std::string_view name, unsigned long lineNumber, unsigned long long byteOffset,
                LineKind kind);
    // Plain text, and a match in its colour.
    void text(std::string_view text) { std::fwrite(text.data(), 1, text.size(), out_); }
    void match(std::string_view text);
    void endLine() { std::putc('\n', out_); }
    // "--" between groups of lines that are not adjacent.
    void groupSeparator();
    void count(std::string_view name, unsigned long n);
    // A name for -l and -L.
    void fileName(std::string_view name);

    // Whether any line was printed so far, in any file; with -o a selected
    // or context line counts even when nothing of it was shown.
    bool printedLines() const { return printedLines_; }
    void notePrinted() { printedLines_ = true; }
    bool inColor() const { return form_.color; }

  private:
    void colored(const char* sgr, std::string_view text);
    void name(std::string_view name, std::string_view separator);
    void number(unsigned long long n, std::string_view separator);

    std::FILE* out_;
    OutputForm form_;
    bool printedLines_ = false;
};

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_OUTPUT_H_
