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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "filters.h"
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
    "                             when any does), as may lines of one\n"
    "  -f  --file=FILE            one pattern per line of FILE\n"
    "  -E  --extended-regexp      patterns are the library's light regular\n"
    "                             expressions, read as below (the default)\n"
    "  -G  --basic-regexp         patterns are in GNU grep's basic syntax: \\| \\+ \\?\n"
    "                             are operators, | + ? ( ) { } literal characters\n"
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
    "  -b  --byte-offset          put the byte offset in the input before each line\n"
    "                             (before each match with -o)\n"
    "  -o  --only-matching        print each non-empty match on a line of its own\n"
    "  -H  --with-filename        put the file name before each line (the default\n"
    "                             with several files, or -r)\n"
    "  -h  --no-filename          never put the file name before lines\n"
    "  -Z  --null                 end file names with a NUL byte instead of ':',\n"
    "                             '-' or a newline\n"
    "      --label=NAME           call standard input NAME\n"
    "  -m  --max-count=NUM        stop after NUM selected lines (no limit when NUM\n"
    "                             is negative)\n"
    "  -q  --quiet, --silent      print nothing; stop at the first selected line\n"
    "  -s  --no-messages          no messages about unreadable files\n"
    "  -A  --after-context=NUM    print NUM lines after each selected line,\n"
    "  -B  --before-context=NUM   before it, or\n"
    "  -C  --context=NUM          both; groups are separated by '--'\n"
    "      --color[=WHEN]         mark matches in colour: never (the default),\n"
    "                             always, or auto (only on a terminal)\n"
    "Files:\n"
    "  -r  --recursive            search directories, in name order ('.' when no\n"
    "                             FILE is given); symbolic links met on the way\n"
    "                             are not followed\n"
    "      --include=GLOB         search only files whose name matches GLOB,\n"
    "      --exclude=GLOB         or not those (the last that matches decides)\n"
    "      --exclude-dir=GLOB     pass over directories whose name matches GLOB\n"
    "  -a  --text                 search binary files as text\n"
    "  -I                         take binary files to match nothing\n"
    "      --binary-files=TYPE    binary (the default), text (-a) or\n"
    "                             without-match (-I)\n"
    "  A file is binary once a NUL byte is read from it: from there on NUL bytes\n"
    "  end lines too, and instead of its lines standard error gets\n"
    "  \"xvkit: 'F': binary file matches\".\n"
    "\n"
    "The dialect is the library's light regular expression, not POSIX ERE:\n"
    "literal characters, '.' (any character), classes such as [a-z] and [^0-9],\n"
    "the closures '*', '+' and '?' after a single item, '^' first and '$' last\n"
    "as anchors, and backslash escapes (\\t, \\n, \\x41, \\. ...). Lines are\n"
    "compared byte by byte, without their newline. What a grep user types is\n"
    "rewritten to mean what grep means:\n"
    "  [[:digit:]], [[:alpha:]] ...      POSIX classes inside brackets, and\n"
    "  [[.c.]], [[=c=]]                  the character c\n"
    "  \\d \\w \\s, \\D \\W \\S               digits, word characters, white space,\n"
    "                                    and their negations\n"
    "  a|b                               several patterns (\\| is a literal '|')\n"
    "  []a] and [^]a]                    ']' first in a class is a member\n"
    "and what the dialect cannot say is refused with status 2: groups ( ),\n"
    "intervals {n,m}, back-references \\1..\\9, word boundaries \\b \\B \\< \\>,\n"
    "a trailing backslash and reversed ranges such as [z-a] (write \\( \\) \\{\n"
    "for the literal characters, and use -w for whole words). -P is refused.\n"
    "\n"
    "Exit status: 0 when some line was selected, 1 when none was, 2 when a\n"
    "PATTERN is refused or does not compile or a FILE cannot be read (unless -q\n"
    "found a line).\n";

// Whether no line of any input can be selected: -m 0, no pattern at all, or
// -v with only empty patterns (which match every line). GNU grep then reads
// nothing, prints nothing (not even -c's counts) and exits with status 1;
// only -L still lists the inputs.
bool selectsNothing(const GrepOptions& o) {
    if (o.maxCount == 0 || (o.patterns.empty() && !o.invert))
        return true;
    return o.invert && !o.lineRegexp && !o.wordRegexp && !o.patterns.empty() &&
           std::all_of(o.patterns.begin(), o.patterns.end(),
                       [](const std::string& p) { return p.empty(); });
}

class Grep {
  public:
    Grep(const GrepOptions& o, const Matcher& matcher, GrepPrinter& printer)
        : o_(o), printer_(printer), search_(o, matcher, printer) {}

    // Searches one operand; false once -q has found a line. The "." that -r
    // searches when no FILE is given is `implicit`: its names start without
    // "./", and --exclude-dir does not pass it over.
    bool operand(const std::string& path, bool implicit) {
        if (path == "-")
            return input(STDIN_FILENO, o_.label);
        struct stat st;
        if (::stat(path.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                if (!implicit && skipsDirectory(o_.excludeDirs, path, NameOrigin::operand))
                    return true;
                if (o_.recursive)
                    return directory(path, implicit);
            } else if (!searchesFile(o_.nameFilters, path, NameOrigin::operand)) {
                return true;
            }
        }
        return file(path);
    }

    bool matched() const { return matched_; }
    bool trouble() const { return trouble_; }

  private:
    // The entries of a directory in name order; symbolic links met on the
    // way are not followed and devices, pipes and sockets are passed over,
    // as in grep -r.
    bool directory(const std::string& path, bool implicit) {
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
        const std::string prefix = implicit ? "" : path + (path.ends_with('/') ? "" : "/");
        for (const std::string& name : names) {
            const std::string child = prefix + name;
            struct stat st;
            if (::lstat(child.c_str(), &st) != 0) {
                report(child, "open", errno);
                continue;
            }
            bool more = true;
            if (S_ISDIR(st.st_mode)) {
                if (!skipsDirectory(o_.excludeDirs, name, NameOrigin::entry))
                    more = directory(child, false);
            } else if (S_ISREG(st.st_mode)) {
                if (searchesFile(o_.nameFilters, name, NameOrigin::entry))
                    more = file(child);
            }  // links, devices, pipes and sockets are passed over
            if (!more)
                return false;
        }
        return true;
    }

    bool file(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            report(path, "open", errno);
            return true;
        }
        const bool more = input(fd, path);
        ::close(fd);
        return more;
    }

    bool input(int fd, std::string_view name) {
        const SearchResult r = search_.run(fd, name);
        if (r.readError != 0)
            report(std::string(name), "read", r.readError);
        if (r.tooLong) {
            // Like GNU grep out of memory: nothing more is said of this input.
            trouble_ = true;
            reportError("cannot search " + quoteArg(name) +
                        ": a line is too long to fit in memory");
            return true;
        }
        matched_ |= r.selected > 0;
        if (r.binaryMatches)
            reportError(quoteArg(name) + ": binary file matches");
        if (o_.quiet)
            return r.selected == 0;
        if (o_.count && !o_.filesWithMatches && !o_.filesWithoutMatch)
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
    if (selectsNothing(o) && !o.filesWithoutMatch)
        return kExitNoResult;
    std::string error;
    const std::vector<PatternSource> sources = patternSources(o.patterns, o.dialect, error);
    if (!error.empty())
        usageError(error);
    const std::optional<Matcher> matcher =
        Matcher::compile(sources, MatchMode{o.ignoreCase, o.wordRegexp, o.lineRegexp}, error);
    if (!matcher)
        usageError(error);

    std::vector<std::string> files(o.files.begin(), o.files.end());
    const bool implicit = files.empty() && o.recursive;
    if (files.empty())
        files.emplace_back(implicit ? "." : "-");
    struct stat st;
    OutputForm form;
    form.withNames = o.withFileName >= 0 ? o.withFileName == 1
                                         : files.size() > 1 || implicit ||
                                               (o.recursive && ::stat(files[0].c_str(), &st) == 0 &&
                                                S_ISDIR(st.st_mode));
    form.lineNumbers = o.lineNumbers;
    form.byteOffsets = o.byteOffset;
    form.nullAfterName = o.nullAfterName;
    form.color = useColor(o.color);

    static char outputBuffer[64 * 1024];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    GrepPrinter printer(stdout, form);
    Grep grep(o, *matcher, printer);
    for (const std::string& file : files) {
        if (!grep.operand(file, implicit))
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
