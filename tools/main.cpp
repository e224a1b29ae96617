// xvkit: the library's command-line tool. Dispatches to one subcommand and
// turns its failures into a one-line message and an exit status.
#include <cstdio>
#include <exception>
#include <new>
#include <string_view>

#include "commands.h"
#include "options.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(xvtool::Args);
    std::string_view summary;
};

constexpr Command kCommands[] = {
    {"tour", xvtool::runTour, "a short tour of every family of the library (the default)"},
    {"date", xvtool::runDate, "read a date and print it in a format"},
    {"time", xvtool::runTime, "read an instant and print it; daylight-saving changes"},
    {"num", xvtool::runNum, "format numbers in a locale, or read them back"},
    {"money", xvtool::runMoney, "format money amounts in a locale, or read them back"},
    {"locale", xvtool::runLocale, "print what a snapshot captures from a C runtime locale"},
    {"grep", xvtool::runGrep, "print lines that match a light regular expression"},
    {"zone", xvtool::runZone, "a time zone's offsets, names and changes of time in a year"},
};

void printUsage(std::FILE* out) {
    std::fputs(
        "usage: xvkit [COMMAND [ARGS...]]\n"
        "       xvkit --version | -V\n"
        "       xvkit --help | -h\n"
        "\n"
        "Commands (xvkit COMMAND --help describes each):\n",
        out);
    for (const Command& c : kCommands) {
        std::fprintf(out, "  %-8.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                     static_cast<int>(c.summary.size()), c.summary.data());
    }
    std::fputs(
        "\n"
        "Without a command, xvkit runs the tour.\n"
        "\n"
        "Exit status:\n"
        "  0  success (grep: some line matched)\n"
        "  1  grep: no line matched; other commands: some input text could not be read,\n"
        "     names no instant, or holds a number beyond those the tool holds\n"
        "  2  bad usage, an unknown locale or format letter, an unreadable file, a\n"
        "     pattern that does not compile, or no memory left\n",
        out);
}

int dispatch(int argc, char** argv) {
    if (argc < 2)
        return xvtool::runTour({});
    std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return xvtool::kExitOk;
    }
    if (name == "--version" || name == "-V") {
        std::printf("xvkit %s\n", XVKIT_VERSION);
        return xvtool::kExitOk;
    }
    xvtool::Args rest(argv + 2, static_cast<std::size_t>(argc - 2));
    for (const Command& c : kCommands) {
        if (c.name == name)
            return c.run(rest);
    }
    xvtool::usageError("unknown command " + xvtool::quoteArg(name) + " (see 'xvkit --help')");
}

}  // namespace

int main(int argc, char** argv) {
    int status;
    try {
        status = dispatch(argc, argv);
    } catch (const xvtool::CliError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "xvkit: %s\n", e.what());
        return e.status();
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "xvkit: out of memory\n");
        return xvtool::kExitTrouble;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "xvkit: %s\n", xvtool::oneLine(e.what()).c_str());
        return xvtool::kExitTrouble;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "xvkit: cannot write the output\n");
        return xvtool::kExitTrouble;
    }
    return status;
}
