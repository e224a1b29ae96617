// The command line of `xvkit grep`, read with GNU grep's conventions: short
// options combine ("-in") and take their value attached or as the next word
// ("-m5", "-m 5", "-epat"); long options take it after '=' or as the next
// word; options may follow the operands; "--" ends the options and "-" is an
// operand (standard input).
#ifndef XVKIT_TOOLS_GREP_ARGUMENTS_H_
#define XVKIT_TOOLS_GREP_ARGUMENTS_H_

#include <string>
#include <vector>

#include "commands.h"

namespace xvtool {

enum class ColorWhen { never, always, automatic };

// Where the patterns came from, in the order given: `-e` words and the lines
// of `-f` files, or the first operand when neither option was given.
struct GrepOptions {
    std::vector<std::string> patterns;
    std::vector<std::string> files;  // empty: standard input, or "." with -r
    bool ignoreCase = false;         // -i
    bool invert = false;             // -v
    bool wordRegexp = false;         // -w
    bool lineRegexp = false;         // -x
    bool count = false;              // -c
    bool filesWithMatches = false;   // -l
    bool filesWithoutMatch = false;  // -L
    bool lineNumbers = false;        // -n
    bool onlyMatching = false;       // -o
    bool quiet = false;              // -q
    bool noMessages = false;         // -s
    bool recursive = false;          // -r
    bool fixedStrings = false;       // -F
    bool help = false;               // --help
    int withFileName = -1;           // -H: 1, -h: 0, neither: -1 (named when several files)
    long maxCount = -1;              // -m; -1 without limit
    long after = 0;                  // -A, or -C when -A is not given
    long before = 0;                 // -B, or -C when -B is not given
    bool context = false;            // some -A, -B or -C was given
    ColorWhen color = ColorWhen::never;
};

// Reads the words after "grep". Throws CliError (kExitTrouble) for an unknown
// option, a missing or malformed value, an unreadable -f file, or no pattern.
GrepOptions parseGrepOptions(Args args);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_ARGUMENTS_H_
