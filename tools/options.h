// Command-line parsing shared by the subcommands of the xvkit tool.
#ifndef XVKIT_TOOLS_OPTIONS_H_
#define XVKIT_TOOLS_OPTIONS_H_

#include <initializer_list>
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

// One option a subcommand accepts: its long name as typed ("--locale", or
// "-I" for an option that has only a one-letter form),
// whether a value follows it, the one-letter form that also names it ('l'
// for "-l"), if any, whether it takes a value only when one is attached
// with '=' ("--color" and "--color=always"), and another long name for it
// ("--colour"), if any.
struct KnownOption {
    std::string_view name;
    bool takesValue;
    char shortName = '\0';
    bool optionalValue = false;
    std::string_view alias = {};
};

// Whether a word that starts with '-' followed by a digit or '.' ("-12.5",
// "-.5") is an operand or an option.
enum class SignedNumbers { operands, options };

// The options and operands of one subcommand, read with GNU getopt_long's
// conventions. Every subcommand also takes "--help" (and "-h" unless it has
// its own "-h"). A long option may be shortened to any prefix that names
// only one option ("--line" for "--line-number"); its value follows as the
// next word or after '=' ("--zone=UTC0"). Short options combine ("-nc"); a
// short option's value is the rest of its word or the next word ("-m5",
// "-m 5"). Options and operands may come in any order; "--" ends the
// options, and the word "-" alone is an operand.
class Options {
  public:
    // One option given, under its long name, with its value (null for none).
    struct Given {
        std::string_view name;
        const char* value;
        std::string spelling;  // as the user named it: "-m", or the long name
    };

    // Throws CliError (kExitTrouble) for an unknown or ambiguous option, a
    // missing value or a value given to a flag.
    Options(std::string_view command, std::span<char* const> args,
            std::span<const KnownOption> known, SignedNumbers numbers = SignedNumbers::operands);

    bool has(std::string_view name) const;
    // The last value given for `name`, or null when the option is absent.
    const char* value(std::string_view name) const;
    // Every value given for `name`, in the order given.
    std::vector<const char*> values(std::string_view name) const;
    // Every option given, in the order of the command line.
    const std::vector<Given>& given() const { return given_; }
    // The last option given of `names`, or null when none was.
    const Given* last(std::initializer_list<std::string_view> names) const;
    const std::vector<const char*>& operands() const { return operands_; }
    bool wantsHelp() const { return has("--help"); }

  private:
    const KnownOption& findLong(std::string_view name) const;
    const KnownOption& findShort(char name, std::string_view word) const;
    [[noreturn]] void fail(const std::string& message) const;

    std::string command_;
    std::span<const KnownOption> known_;
    std::vector<Given> given_;
    std::vector<const char*> operands_;
};

// Writes `help` on stdout when the options hold "--help"; returns whether it did.
bool printHelp(const Options& options, const char* help);

// Words joined by single blanks ("March", "5," "1997" -> "March 5, 1997").
std::string joinWords(std::span<const char* const> words);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_OPTIONS_H_
