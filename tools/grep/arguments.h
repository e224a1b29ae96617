// The command line of `xvkit grep`, read by the tool's option parser with
// GNU grep's option names: short options combine ("-in") and take their value
// attached or as the next word ("-m5", "-m 5", "-epat"); long options may be
// shortened and take their value after '=' or as the next word; options may
// follow the operands; "--" ends the options and "-" is an operand (standard
// input).
#ifndef XVKIT_TOOLS_GREP_ARGUMENTS_H_
#define XVKIT_TOOLS_GREP_ARGUMENTS_H_

#include <string>
#include <vector>

#include "commands.h"
#include "pattern.h"

namespace xvtool {

enum class ColorWhen { never, always, automatic };

// What a file holding a NUL byte is searched as: --binary-files=binary (the
// default: its lines end at NUL bytes too, and a match is reported by one
// message instead of lines), text (-a) or without-match (-I).
enum class BinaryFiles { binary, text, withoutMatch };

// An --include (true) or --exclude (false) glob.
struct NameFilter {
    std::string glob;
    bool include;
};

struct GrepOptions {
    // The patterns, in the order given: `-e` words and the lines of `-f`
    // files, or the first operand when neither option was given; a newline
    // in a word separates two patterns.
    std::vector<std::string> patterns;
    std::vector<std::string> files;  // empty: standard input, or "." with -r
    Dialect dialect = Dialect::extended;
    bool ignoreCase = false;         // -i
    bool invert = false;             // -v
    bool wordRegexp = false;         // -w
    bool lineRegexp = false;         // -x
    bool count = false;              // -c
    bool filesWithMatches = false;   // -l
    bool filesWithoutMatch = false;  // -L
    bool lineNumbers = false;        // -n
    bool byteOffset = false;         // -b
    bool onlyMatching = false;       // -o
    bool quiet = false;              // -q
    bool noMessages = false;         // -s
    bool recursive = false;          // -r
    bool nullAfterName = false;      // -Z
    bool help = false;               // --help
    BinaryFiles binaryFiles = BinaryFiles::binary;
    std::string label = "(standard input)";  // --label
    std::vector<NameFilter> nameFilters;     // --include and --exclude, in order
    std::vector<std::string> excludeDirs;    // --exclude-dir
    int withFileName = -1;                   // -H: 1, -h: 0, neither: -1 (named when several files)
    long maxCount = -1;                      // -m; -1 without limit
    long after = 0;                          // -A, or -C when -A is not given
    long before = 0;                         // -B, or -C when -B is not given
    bool context = false;                    // some -A, -B or -C was given
    ColorWhen color = ColorWhen::never;
};

// Reads the words after "grep". Throws CliError (kExitTrouble) for an unknown
// option, a missing or malformed value, conflicting dialects, -P, an
// unreadable -f file, or no pattern.
GrepOptions parseGrepOptions(Args args);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_ARGUMENTS_H_
