// The search of one input by `xvkit grep`: reads it in bounded pieces, finds
// the selected lines a buffer at a time and prints them with their context.
#ifndef XVKIT_TOOLS_GREP_SEARCH_H_
#define XVKIT_TOOLS_GREP_SEARCH_H_

#include <cstddef>
#include <string_view>

#include <xvkit/xvstring.h>

#include "arguments.h"
#include "matcher.h"
#include "output.h"

namespace xvtool {

struct SearchResult {
    unsigned long selected = 0;  // lines selected (matching, or not with -v)
    int readError = 0;           // errno of a failed read, or 0
    bool tooLong = false;        // a line did not fit in memory
    // A line was selected after a NUL byte made the input binary, so its
    // lines were not printed: the caller reports that the file matches.
    bool binaryMatches = false;
};

class FileSearch {
  public:
    FileSearch(const GrepOptions& options, const Matcher& matcher, GrepPrinter& printer);

    // Searches what `fd` reads, calling it `name` in the output. Once a read
    // brings a NUL byte the input is binary (unless -a): from there on NUL
    // bytes end lines too, and the first line selected ends the search
    // (-I: the input then counts as matching nothing).
    SearchResult run(int fd, std::string_view name);

  private:
    bool readMore(int fd, SearchResult& result, bool& atEnd);
    void noteBinary(std::size_t from);
    void searchRegion(std::size_t limit);
    void otherLines(std::size_t from, std::size_t to);
    // `first` is the line's first match when it matches, or null.
    void line(std::size_t start, std::size_t end, const Match* first);
    void printSelected(std::size_t start, std::size_t end, const Match& first);
    void printContext(std::size_t start, std::size_t end);
    void printLine(std::size_t start, std::size_t end, unsigned long number, LineKind kind,
                   const Match* first);
    void printMatches(std::size_t start, std::size_t end, const Match* first, unsigned long number,
                      LineKind kind);
    void printBefore(std::size_t start);
    void printText(std::size_t start, std::size_t end, LineKind kind);
    template <class Visit>
    void eachMatch(std::size_t start, std::size_t end, const Match* first, Visit&& visit) const;
    bool showsMatches(LineKind kind) const;
    unsigned long long offsetOf(std::size_t at) const { return offset_ + (at - 1); }
    std::size_t lineStart(std::size_t floor, std::size_t at) const;
    std::size_t lineEnd(std::size_t at) const;
    unsigned long lineNumberAt(std::size_t at);
    void keepForContext(std::size_t limit);

    const GrepOptions& options_;
    const Matcher& matcher_;
    GrepPrinter& printer_;
    const bool printLines_;  // output is lines (not counts, names or nothing)

    // Position 0 holds a newline; complete lines follow up to limit_, then the
    // start of an unfinished line.
    XVString text_;
    std::size_t regionStart_ = 1;
    std::size_t limit_ = 1;
    std::string_view name_;
    unsigned long selected_ = 0;
    bool stop_ = false;      // nothing more to do in this input
    bool trailing_ = false;  // -m reached: only the trailing context is left
    bool binary_ = false;    // a NUL byte was read
    bool binaryMatches_ = false;
    unsigned long long offset_ = 0;   // the input's offset of position 1
    std::size_t lastPrintedEnd_ = 0;  // just past the last printed line; 0 when not in the buffer
    long afterLeft_ = 0;
    std::size_t numberedAt_ = 1;  // a line start whose number is numbered_
    unsigned long numbered_ = 1;
};

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_SEARCH_H_
