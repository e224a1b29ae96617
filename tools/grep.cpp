// xvkit grep: prints the lines of files (or standard input) in which the light
// regular expression finds a match.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <xvkit/xvregexp.h>
#include <xvkit/xvstring.h>

#include "commands.h"
#include "options.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit grep [-n] [-c] [-o] PATTERN [FILE...]\n"
    "\n"
    "Prints every line of the FILEs (standard input when none is given, or for\n"
    "the name '-') in which PATTERN finds a match. With more than one FILE each\n"
    "output line starts with the file's name and ':'.\n"
    "\n"
    "  -n  put the line number and ':' before each line\n"
    "  -c  print only the number of matching lines (per file)\n"
    "  -o  print each non-empty match on a line of its own instead of the line\n"
    "\n"
    "PATTERN is a light regular expression: literal characters, '.' (any\n"
    "character), classes such as [a-z] and [^0-9], the closures '*', '+' and\n"
    "'?' after a single item, '^' first and '$' last as anchors, and backslash\n"
    "escapes (\\t, \\n, \\x41, \\101, \\. ...). There is no grouping or\n"
    "alternation: ( ) { } | are ordinary characters. Lines are compared byte\n"
    "by byte, without their newline.\n"
    "\n"
    "Exit status: 0 when some line matched, 1 when none did, 2 when PATTERN does\n"
    "not compile or a FILE cannot be read.\n";

constexpr KnownOption kOptions[] = {{"-n", false}, {"-c", false}, {"-o", false}};

constexpr std::size_t kBlockSize = 256 * 1024;

// Hands out the lines of a file descriptor. The input is read in large blocks
// into one buffer that grows only for a line longer than the buffer; a line is
// a view into that buffer, valid until the next call.
class LineReader {
  public:
    explicit LineReader(int fd) : fd_(fd), buffer_(kBlockSize) {}

    // The next line without its newline; false at the end of the input.
    // A read error sets `error()` and ends the input.
    bool next(std::string_view& line) {
        for (;;) {
            const char* start = buffer_.data() + begin_;
            if (const void* nl = std::memchr(start, '\n', end_ - begin_)) {
                std::size_t length = static_cast<const char*>(nl) - start;
                line = std::string_view(start, length);
                begin_ += length + 1;
                return true;
            }
            if (atEnd_) {
                if (begin_ == end_)
                    return false;
                line = std::string_view(start, end_ - begin_);
                begin_ = end_;
                return true;
            }
            fill();
        }
    }

    int error() const { return error_; }

  private:
    // Moves the unfinished line to the front and reads more after it.
    void fill() {
        std::size_t pending = end_ - begin_;
        std::memmove(buffer_.data(), buffer_.data() + begin_, pending);
        begin_ = 0;
        end_ = pending;
        if (end_ == buffer_.size())
            buffer_.resize(buffer_.size() * 2);
        ssize_t got;
        do {
            got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            error_ = errno;
        if (got <= 0)
            atEnd_ = true;
        if (got > 0)
            end_ += static_cast<std::size_t>(got);
    }

    int fd_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    int error_ = 0;
};

struct Settings {
    bool numbers;
    bool countOnly;
    bool matchesOnly;
    bool withNames;
    // A pattern starting with '^' matches only at the position where a search
    // begins, so a line holds at most one of its matches.
    bool anchored;
};

void writeText(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void writePrefix(const Settings& s, const char* name, unsigned long lineNumber) {
    if (s.withNames) {
        std::fputs(name, stdout);
        std::putc(':', stdout);
    }
    if (s.numbers)
        std::printf("%lu:", lineNumber);
}

// Searches one input and prints its results; returns the number of matching
// lines. The line is copied into one reused string, so searching allocates
// nothing per line once the string has grown to the longest line.
unsigned long searchInput(const XVRegExprLight& re, const Settings& s, LineReader& reader,
                          const char* name) {
    XVString line;
    std::string_view view;
    unsigned long lineNumber = 0;
    unsigned long matched = 0;
    while (reader.next(view)) {
        ++lineNumber;
        line.assign(view.data(), view.size());
        std::size_t length = 0;
        std::size_t at = re.index(line, &length, 0);
        if (at == static_cast<std::size_t>(-1))
            continue;
        ++matched;
        if (s.countOnly)
            continue;
        if (!s.matchesOnly) {
            writePrefix(s, name, lineNumber);
            writeText(view);
            std::putc('\n', stdout);
            continue;
        }
        while (at != static_cast<std::size_t>(-1)) {
            if (length > 0) {
                writePrefix(s, name, lineNumber);
                writeText(view.substr(at, length));
                std::putc('\n', stdout);
            }
            if (s.anchored)
                break;
            at = re.index(line, &length, at + (length > 0 ? length : 1));
        }
    }
    if (s.countOnly) {
        if (s.withNames)
            std::printf("%s:", name);
        std::printf("%lu\n", matched);
    }
    return matched;
}

std::string describeStatus(XVRegExprLight::statVal status) {
    switch (status) {
        case XVRegExprLight::syntaxError:
            return "syntax error (status 1): empty, starting with '*', '+' or '?', "
                   "with an empty or unclosed class, or ending in '\\^'";
        case XVRegExprLight::compileError:
            return "compile error (status 3): too long, or a closure after an anchor or "
                   "another closure";
        default:
            return "status " + std::to_string(static_cast<int>(status));
    }
}

void reportFileError(const char* name, const char* what, int error) {
    std::fflush(stdout);
    std::fprintf(stderr, "xvkit: cannot %s '%s': %s\n", what, name, std::strerror(error));
}

}  // namespace

int runGrep(Args args) {
    Options options("grep", args, kOptions);
    if (printHelp(options, kHelp))
        return kExitOk;
    const auto& operands = options.operands();
    if (operands.empty())
        usageError("grep needs a PATTERN (see 'xvkit grep --help')");

    const char* pattern = operands[0];
    XVRegExprLight re(pattern);
    if (XVRegExprLight::statVal status = re.status(); status != XVRegExprLight::ok) {
        usageError("pattern '" + std::string(pattern) +
                   "' does not compile: " + describeStatus(status));
    }

    std::vector<const char*> files(operands.begin() + 1, operands.end());
    if (files.empty())
        files.push_back("-");
    const Settings settings{options.has("-n"), options.has("-c"), options.has("-o"),
                            files.size() > 1, pattern[0] == '^'};

    static char outputBuffer[64 * 1024];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

    bool anyMatch = false;
    bool trouble = false;
    for (const char* file : files) {
        const bool isStdin = std::strcmp(file, "-") == 0;
        const char* name = isStdin ? "(standard input)" : file;
        int fd = isStdin ? STDIN_FILENO : ::open(file, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            reportFileError(name, "open", errno);
            trouble = true;
            continue;
        }
        LineReader reader(fd);
        anyMatch |= searchInput(re, settings, reader, name) > 0;
        if (reader.error() != 0) {
            reportFileError(name, "read", reader.error());
            trouble = true;
        }
        if (!isStdin)
            ::close(fd);
    }
    std::fflush(stdout);
    if (trouble)
        return kExitTrouble;
    return anyMatch ? kExitOk : kExitNoResult;
}

}  // namespace xvtool
