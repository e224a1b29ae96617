// xvkit grep: prints the lines of files (or standard input) in which light
// regular expressions find a match, with GNU grep's everyday options.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "matcher.h"
#include "options.h"
#include "output.h"
#include "pattern.h"
#include "search.h"

namespace xvtool {

namespace {

constexpr const char kHelp[] =
    "usage: xvkit grep [OPTION...] PATTERN [FILE...]\n"
    "       xvkit grep [OPTION...] -e PATTERN... [-f FILE]... [FILE...]\n"
    "\n"
    "Prints the lines of the FILEs (standard input when none is given, or for\n"
    "the name '-') in which PATTERN finds a match, with GNU grep's options,\n"
    "output formats and exit statuses.\n"
    "\n"
    "Patterns:\n"
    "  -e  --regexp=PATTERN       a pattern; several may be given (a line matches\n"
    "                             when any does)\n"
    "  -f  --file=FILE            one pattern per line of FILE\n"
    "  -F  --fixed-strings        patterns are plain strings\n"
    "  -i  --ignore-case          letters match either case\n"
    "  -w  --word-regexp          matches must be whole words\n"
    "  -x  --line-regexp          matches must be whole lines\n"
    "  -v  --invert-match         select the lines that do not match\n"
    "Output:\n"
    "  -c  --count                print only the number of selected lines per file\n"
    "  -l  --files-with-matches   print only the names of files with a selected line\n"
    "  -L  --files-without-match  print only the names of files without one\n"
    "  -n  --line-number          put the line number before each line\n"
    "  -o  --only-matching        print each non-empty match on a line of its own\n"
    "  -H  --with-filename        put the file name before each line (the default\n"
    "                             with several files, or -r)\n"
    "  -h  --no-filename          never put the file name before lines\n"
    "  -m  --max-count=NUM        stop after NUM selected lines\n"
    "  -q  --quiet, --silent      print nothing; stop at the first selected line\n"
    "  -s  --no-messages          no messages about unreadable files\n"
    "  -A  --after-context=NUM    print NUM lines after each selected line,\n"
    "  -B  --before-context=NUM   before it, or\n"
    "  -C  --context=NUM          both; groups are separated by '--'\n"
    "      --color[=WHEN]         mark matches in colour: never (the default),\n"
    "                             always, or auto (only on a terminal)\n"
    "Files:\n"
    "  -r  --recursive            search directories, in name order ('.' when no\n"
    "                             FILE is given)\n"
    "  A file holding a NUL byte is binary: 'Binary file F matches' is printed\n"
    "  instead of its lines.\n"
    "\n"
    "The dialect is the library's light regular expression, not POSIX ERE:\n"
    "literal characters, '.' (any character), classes such as [a-z] and [^0-9],\n"
    "the closures '*', '+' and '?' after a single item, '^' first and '$' last\n"
    "as anchors, and backslash escapes (\\t, \\n, \\x41, \\101, \\. ...). Lines\n"
    "are compared byte by byte, without their newline. What a grep user types is\n"
    "rewritten to mean what grep means:\n"
    "  [[:digit:]], [[:alpha:]] ...      POSIX classes inside brackets\n"
    "  \\d \\w \\s, \\D \\W \\S               digits, word characters, white space,\n"
    "                                    and their negations\n"
    "  a|b                               several patterns (\\| is a literal '|')\n"
    "  []a] and [^]a]                    ']' first in a class is a member\n"
    "and what the dialect cannot say is refused with status 2: groups ( ),\n"
    "intervals {n,m}, back-references \\1..\\9 and word boundaries \\b \\B \\< \\>\n"
    "(write \\( \\) \\{ for the literal characters, and use -w for whole words).\n"
    "\n"
    "Exit status: 0 when some line was selected, 1 when none was, 2 when a\n"
    "PATTERN is refused or does not compile or a FILE cannot be read (unless -q\n"
    "found a line).\n";

constexpr const char* kStandardInputName = "(standard input)";

struct Compiled {
    std::vector<std::string> patterns;
    std::vector<std::string> shown;
};

// The library's patterns for what the user gave: a newline separates
// patterns, as in grep, and each is rewritten or taken literally.
Compiled compilePatterns(const GrepOptions& o) {
    Compiled c;
    for (const std::string& given : o.patterns) {
        std::size_t from = 0;
        for (;;) {
            const std::size_t nl = given.find('\n', from);
            const std::string one = given.substr(from, nl - from);
            if (o.fixedStrings) {
                c.patterns.push_back(literalPattern(one));
                c.shown.push_back(one);
            } else {
                for (std::string& p : rewriteGrepPattern(one)) {
                    c.patterns.push_back(std::move(p));
                    c.shown.push_back(one);
                }
            }
            if (nl == std::string::npos)
                break;
            from = nl + 1;
        }
    }
    return c;
}

class Grep {
  public:
    Grep(const GrepOptions& o, MatcherSet& matchers, GrepPrinter& printer)
        : o_(o), printer_(printer), search_(o, matchers, printer) {}

    // Searches one operand; false once -q has found a line.
    bool operand(const std::string& path, bool named) {
        if (path == "-")
            return input(STDIN_FILENO, kStandardInputName);
        struct stat st;
        if (o_.recursive && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return directory(path, named);
        return file(path, path);
    }

    bool matched() const { return matched_; }
    bool trouble() const { return trouble_; }

  private:
    // The entries of a directory in name order; symbolic links met on the
    // way are not followed and devices, pipes and sockets are passed over,
    // as in grep -r. The names start without "./" when the search started
    // at the default "." (`named` false).
    bool directory(const std::string& path, bool named) {
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) {
            report(path, "open", errno);
            return true;
        }
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(dir)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        const std::string prefix =
            path == "." && !named ? "" : path + (path.ends_with('/') ? "" : "/");
        for (const std::string& name : names) {
            const std::string child = prefix + name;
            struct stat st;
            if (::lstat(child.c_str(), &st) != 0) {
                report(child, "open", errno);
                continue;
            }
            if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
                continue;  // links, devices, pipes and sockets
            const bool more = S_ISDIR(st.st_mode) ? directory(child, true) : file(child, child);
            if (!more)
                return false;
        }
        return true;
    }

    bool file(const std::string& path, const std::string& name) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            report(name, "open", errno);
            return true;
        }
        const bool more = input(fd, name);
        ::close(fd);
        return more;
    }

    bool input(int fd, std::string_view name) {
        const SearchResult r = search_.run(fd, name);
        if (r.readError != 0)
            report(std::string(name), "read", r.readError);
        if (r.tooLong) {
            trouble_ = true;
            reportError("cannot search " + quoteArg(name) +
                        ": a line is too long to fit in memory");
        }
        matched_ |= r.selected > 0;
        if (o_.quiet && r.selected > 0)
            return false;
        if (o_.count && !o_.filesWithMatches && !o_.filesWithoutMatch && !o_.quiet)
            printer_.count(name, r.selected);
        if ((o_.filesWithMatches && r.selected > 0) || (o_.filesWithoutMatch && r.selected == 0))
            printer_.fileName(name);
        return true;
    }

    void report(const std::string& name, const char* what, int error) {
        trouble_ = true;
        if (o_.noMessages)
            return;
        reportError(std::string("cannot ") + what + " " + quoteArg(name) + ": " +
                    std::strerror(error));
    }

    const GrepOptions& o_;
    GrepPrinter& printer_;
    FileSearch search_;
    bool matched_ = false;
    bool trouble_ = false;
};

bool useColor(ColorWhen when) {
    if (when != ColorWhen::automatic)
        return when == ColorWhen::always;
    const char* term = std::getenv("TERM");
    return ::isatty(STDOUT_FILENO) != 0 && term != nullptr && std::strcmp(term, "dumb") != 0;
}

}  // namespace

int runGrep(Args args) {
    const GrepOptions o = parseGrepOptions(args);
    if (o.help) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    const Compiled compiled = compilePatterns(o);
    const MatchMode mode{o.ignoreCase, o.wordRegexp, o.lineRegexp};
    MatcherSet matchers(compiled.patterns, compiled.shown, mode);

    std::vector<std::string> files(o.files.begin(), o.files.end());
    const bool defaultDirectory = files.empty() && o.recursive;
    if (files.empty())
        files.emplace_back(defaultDirectory ? "." : "-");
    struct stat st;
    const bool named =
        o.withFileName >= 0
            ? o.withFileName == 1
            : files.size() > 1 || defaultDirectory ||
                  (o.recursive && ::stat(files[0].c_str(), &st) == 0 && S_ISDIR(st.st_mode));

    static char outputBuffer[64 * 1024];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    GrepPrinter printer(named, o.lineNumbers, useColor(o.color));
    Grep grep(o, matchers, printer);
    for (const std::string& file : files) {
        if (!grep.operand(file, !defaultDirectory))
            break;
    }
    std::fflush(stdout);
    if (o.quiet && grep.matched())
        return kExitOk;
    if (grep.trouble())
        return kExitTrouble;
    return grep.matched() ? kExitOk : kExitNoResult;
}

}  // namespace xvtool
