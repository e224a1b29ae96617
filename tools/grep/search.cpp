#include "search.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

namespace xvtool {

namespace {

// How much one read asks for. Memory stays near this plus the longest line
// (and the lines kept for -B).
constexpr std::size_t kReadSize = 256 * 1024;
constexpr char kNewline = '\n';

}  // namespace

FileSearch::FileSearch(const GrepOptions& options, const Matcher& matcher, GrepPrinter& printer)
    : options_(options),
      matcher_(matcher),
      printer_(printer),
      printLines_(!options.count && !options.filesWithMatches && !options.filesWithoutMatch &&
                  !options.quiet) {}

SearchResult FileSearch::run(int fd, std::string_view name) {
    name_ = name;
    text_.assign(1, kNewline);
    regionStart_ = limit_ = 1;
    selected_ = 0;
    stop_ = trailing_ = binary_ = binaryMatches_ = false;
    offset_ = 0;
    lastPrintedEnd_ = 0;
    afterLeft_ = 0;
    numberedAt_ = 1;
    numbered_ = 1;
    SearchResult result;
    if (options_.maxCount == 0)
        return result;
    bool atEnd = false;
    while (!stop_ && !atEnd) {
        if (!readMore(fd, result, atEnd))
            continue;
        searchRegion(limit_);
        if (!atEnd)
            keepForContext(limit_);
    }
    result.selected = selected_;
    result.binaryMatches = binaryMatches_;
    return result;
}

// Reads once; returns whether complete lines arrived that have not been
// searched. The last line of the input gets a newline if it lacks one.
bool FileSearch::readMore(int fd, SearchResult& result, bool& atEnd) {
    const std::size_t old = text_.size();
    try {
        text_.resize(old + kReadSize);
    } catch (const std::bad_alloc&) {
        result.tooLong = atEnd = true;
        return false;
    } catch (const std::length_error&) {
        result.tooLong = atEnd = true;
        return false;
    }
    ssize_t got;
    do {
        got = ::read(fd, text_.data() + old, kReadSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        result.readError = errno;
        got = 0;
    }
    const auto n = static_cast<std::size_t>(got);
    text_.resize(old + n);
    if (n == 0) {
        atEnd = true;
        if (text_.size() == limit_)
            return false;
        text_ += kNewline;
    }
    if (options_.binaryFiles != BinaryFiles::text &&
        (binary_ || std::memchr(text_.data() + old, '\0', n) != nullptr)) {
        noteBinary(old);
        if (stop_)
            return false;
    }
    const char* fresh = text_.data() + old;
    const void* last = memrchr(fresh, kNewline, text_.size() - old);
    if (last == nullptr)
        return false;  // still inside one line: read on without searching
    limit_ = static_cast<std::size_t>(static_cast<const char*>(last) - text_.data()) + 1;
    return true;
}

// A read from `from` on brought a NUL byte, or came after one: NUL bytes
// end lines from there on. With -I the input matches nothing.
void FileSearch::noteBinary(std::size_t from) {
    if (!binary_) {
        binary_ = true;
        afterLeft_ = 0;  // what follows is not text to show as context
        if (options_.binaryFiles == BinaryFiles::withoutMatch) {
            selected_ = 0;
            stop_ = true;
            return;
        }
    }
    std::replace(text_.data() + from, text_.data() + text_.size(), '\0', kNewline);
}

// Moves what is left after `limit` (the unfinished line, and the last -B
// lines) to the front of the buffer.
void FileSearch::keepForContext(std::size_t limit) {
    std::size_t keep = limit;
    for (long k = 0; k < options_.before && keep > 1; ++k)
        keep = lineStart(1, keep - 1);
    if (options_.lineNumbers)
        lineNumberAt(limit);
    if (lastPrintedEnd_ > keep)
        keep = lastPrintedEnd_;  // lines printed already are not context again
    const std::size_t shift = keep - 1;
    offset_ += shift;
    text_.erase(1, shift);
    lastPrintedEnd_ = lastPrintedEnd_ >= keep ? lastPrintedEnd_ - shift : 0;
    numberedAt_ -= std::min(numberedAt_ - 1, shift);
    regionStart_ = limit - shift;
    limit_ = regionStart_;
}

std::size_t FileSearch::lineStart(std::size_t floor, std::size_t at) const {
    if (at <= floor)
        return floor;
    const void* nl = memrchr(text_.data() + floor, kNewline, at - floor);
    return nl == nullptr
               ? floor
               : static_cast<std::size_t>(static_cast<const char*>(nl) - text_.data()) + 1;
}

std::size_t FileSearch::lineEnd(std::size_t at) const {
    const void* nl = std::memchr(text_.data() + at, kNewline, text_.size() - at);
    return static_cast<std::size_t>(static_cast<const char*>(nl) - text_.data());
}

unsigned long FileSearch::lineNumberAt(std::size_t at) {
    numbered_ += static_cast<unsigned long>(
        std::count(text_.data() + numberedAt_, text_.data() + at, kNewline));
    numberedAt_ = at;
    return numbered_;
}

void FileSearch::searchRegion(std::size_t limit) {
    std::size_t pos = regionStart_;
    while (pos < limit && !stop_) {
        if (trailing_) {
            otherLines(pos, limit);
            break;
        }
        Match m;
        const bool found = matcher_.find(text_.data(), limit, pos, m);
        const std::size_t start = found ? lineStart(pos, m.start) : limit;
        otherLines(pos, start);
        if (!found || stop_)
            break;
        const std::size_t end = lineEnd(m.start);
        line(start, end, &m);
        pos = end + 1;
    }
    regionStart_ = limit;
}

// The lines in [from, to), none of which matches.
void FileSearch::otherLines(std::size_t from, std::size_t to) {
    if (from >= to)
        return;
    if (!options_.invert && afterLeft_ == 0 && !trailing_)
        return;
    if (options_.invert && !printLines_ && !trailing_ && options_.count && options_.maxCount < 0) {
        selected_ += static_cast<unsigned long>(
            std::count(text_.data() + from, text_.data() + to, kNewline));
        return;
    }
    for (std::size_t start = from; start < to && !stop_;) {
        if (!options_.invert && afterLeft_ == 0 && !trailing_)
            return;
        const std::size_t end = lineEnd(start);
        line(start, end, nullptr);
        start = end + 1;
    }
}

// One line [start, end) that does or does not match.
void FileSearch::line(std::size_t start, std::size_t end, const Match* first) {
    const bool matches = first != nullptr;
    if (trailing_) {
        if (afterLeft_ > 0)
            printContext(start, end);
        stop_ = afterLeft_ == 0;
        return;
    }
    if (matches == options_.invert) {
        if (afterLeft_ > 0)
            printContext(start, end);
        return;
    }
    ++selected_;
    if (options_.quiet || options_.filesWithMatches || options_.filesWithoutMatch) {
        stop_ = true;
        return;
    }
    if (printLines_) {
        if (binary_) {
            // Reported instead of the line, which still separates groups.
            binaryMatches_ = stop_ = true;
            printer_.notePrinted();
            return;
        }
        printSelected(start, end, first != nullptr ? *first : Match{start, 0});
    }
    if (options_.maxCount > 0 && selected_ >= static_cast<unsigned long>(options_.maxCount)) {
        trailing_ = true;
        stop_ = !printLines_ || afterLeft_ == 0;
    }
}

void FileSearch::printSelected(std::size_t start, std::size_t end, const Match& first) {
    printBefore(start);
    printLine(start, end, options_.lineNumbers ? lineNumberAt(start) : 0, LineKind::selected,
              &first);
    printer_.notePrinted();
    lastPrintedEnd_ = end + 1;
    afterLeft_ = options_.after;
}

void FileSearch::printContext(std::size_t start, std::size_t end) {
    --afterLeft_;
    printLine(start, end, options_.lineNumbers ? lineNumberAt(start) : 0, LineKind::context,
              nullptr);
    printer_.notePrinted();
    lastPrintedEnd_ = end + 1;
}

// The line [start, end) with its prefix, or with -o its matches when lines
// of its kind show them; `first` is its first match when it is known.
void FileSearch::printLine(std::size_t start, std::size_t end, unsigned long number, LineKind kind,
                           const Match* first) {
    if (!options_.onlyMatching) {
        printer_.prefix(name_, number, offsetOf(start), kind);
        printText(start, end, kind);
        printer_.endLine();
    } else if (showsMatches(kind)) {
        printMatches(start, end, first, number, kind);
    }
}

// Calls `visit` with each non-empty match in the line [start, end), the
// first being `first` when it is known.
template <class Visit>
void FileSearch::eachMatch(std::size_t start, std::size_t end, const Match* first,
                           Visit&& visit) const {
    Match m = first != nullptr ? *first : Match{start, 0};
    for (bool found = first != nullptr || matcher_.find(text_.data(), end + 1, start, m); found;) {
        if (m.length > 0)
            visit(m);
        // The next match after this one (one character on after an empty one).
        const std::size_t from = m.start + std::max<std::size_t>(m.length, 1);
        found = from <= end && matcher_.find(text_.data(), end + 1, from, m);
    }
}

// With -o: each non-empty match in the line [start, end) on a line of its
// own.
void FileSearch::printMatches(std::size_t start, std::size_t end, const Match* first,
                              unsigned long number, LineKind kind) {
    eachMatch(start, end, first, [&](const Match& m) {
        printer_.prefix(name_, number, offsetOf(m.start), kind);
        printer_.match(std::string_view(text_.data() + m.start, m.length));
        printer_.endLine();
    });
}

// Whether the matches of a line of this kind are shown (-o, colour): those
// of selected lines, or with -v those of context lines, which are the lines
// that match.
bool FileSearch::showsMatches(LineKind kind) const {
    return (kind == LineKind::selected) != options_.invert;
}

// The -B lines before a selected line that starts at `start`, and the group
// separator when the group does not continue the last one printed.
void FileSearch::printBefore(std::size_t start) {
    const std::size_t floor = std::max<std::size_t>(lastPrintedEnd_, 1);
    std::size_t first = start;
    long count = 0;
    for (; count < options_.before && first > floor; ++count)
        first = lineStart(floor, first - 1);
    if (options_.context && printer_.printedLines() && first != lastPrintedEnd_)
        printer_.groupSeparator();
    if (count == 0)
        return;
    unsigned long number = options_.lineNumbers ? lineNumberAt(start) - count : 0;
    for (std::size_t at = first; at < start; ++number) {
        const std::size_t end = lineEnd(at);
        printLine(at, end, number, LineKind::context, nullptr);
        at = end + 1;
    }
}

// The text of the line [start, end), with its matches in colour when colour
// is on and lines of this kind show them.
void FileSearch::printText(std::size_t start, std::size_t end, LineKind kind) {
    std::size_t written = start;
    if (printer_.inColor() && showsMatches(kind)) {
        eachMatch(start, end, nullptr, [&](const Match& m) {
            printer_.text(std::string_view(text_.data() + written, m.start - written));
            printer_.match(std::string_view(text_.data() + m.start, m.length));
            written = m.start + m.length;
        });
    }
    printer_.text(std::string_view(text_.data() + written, end - written));
}

}  // namespace xvtool
