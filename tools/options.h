// Command-line parsing shared by the subcommands of the xvkit tool.
#ifndef XVKIT_TOOLS_OPTIONS_H_
#define XVKIT_TOOLS_OPTIONS_H_

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xvtool {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;        // success; grep: some line matched
inline constexpr int kExitNoResult = 1;  // grep: no line matched; others: unreadable input text
inline constexpr int kExitTrouble = 2;   // bad usage, unknown locale, unreadable file, bad pattern

// `message` made one printable line: control bytes as C escapes and bytes
// that are not part of valid UTF-8 as "\xHH" (a text from elsewhere, such as
// a library's reason, may hold any byte).
std::string oneLine(std::string_view message);

// A failure that ends a subcommand: main prints "xvkit: <what()>" on stderr
// and exits with `status()`. The message is kept as one line (oneLine).
class CliError : public std::runtime_error {
  public:
    CliError(int status, const std::string& message)
        : std::runtime_error(oneLine(message)), status_(status) {}
    int status() const { return status_; }

  private:
    int status_;
};

// Throws a CliError with kExitTrouble.
[[noreturn]] void usageError(const std::string& message);

// Writes "xvkit: <message>" on stderr (after what stdout holds so far), for
// a failure that does not end the subcommand.
void reportError(const std::string& message);

// `text` between single quotes for an error line: '\'' and '\\' escaped,
// control bytes as C escapes ("\n", "\t", "\x1b") and bytes that are not
// part of valid UTF-8 as "\xHH", so that the line stays one printable line.
std::string quoteArg(std::string_view text);

// One option a subcommand accepts: its name as typed ("-n", "--locale"),
// whether a value follows it, and the one-letter form that also names it
// ('l' for "-l"), if any.
struct KnownOption {
    std::string_view name;
    bool takesValue;
    char shortName = '\0';
};

// The options and operands of one subcommand. Every subcommand also takes
// "--help" (and "-h" unless it has its own "-h"). A long option's value may follow as the next word
// or after '='
// ("--zone=UTC0"); short flags combine ("-nc"); "--" ends the options. A word
// starting with '-' and a digit or '.' ("-12.5", "-.5") or the word "-" alone
// is an operand.
class Options {
  public:
    // Throws CliError (kExitTrouble) for an unknown option, a missing value or
    // a value given to a flag. Options are recorded under their long names.
    Options(std::string_view command, std::span<char* const> args,
            std::span<const KnownOption> known);

    bool has(std::string_view name) const;
    // The last value given for `name`, or null when the option is absent.
    const char* value(std::string_view name) const;
    // Every value given for `name`, in the order given.
    std::vector<const char*> values(std::string_view name) const;
    const std::vector<const char*>& operands() const { return operands_; }
    bool wantsHelp() const { return has("--help"); }

  private:
    // The option that `name` names, as typed in `word`; throws CliError for
    // an unknown one.
    const KnownOption& find(std::string_view name, std::string_view word) const;
    void add(std::string_view name, const char* value);

    std::string command_;
    std::span<const KnownOption> known_;
    std::vector<std::pair<std::string_view, const char*>> given_;
    std::vector<const char*> operands_;
};

// Writes `help` on stdout when the options hold "--help"; returns whether it did.
bool printHelp(const Options& options, const char* help);

// Words joined by single blanks ("March", "5," "1997" -> "March 5, 1997").
std::string joinWords(std::span<const char* const> words);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_OPTIONS_H_
