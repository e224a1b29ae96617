// The manual page (doc/xvkit.1) against the tool itself: every command the
// tool lists has a section, every option that a command's --help names is in
// that section, every option the page names is one the command accepts, and
// the examples run as printed. The tool's help is the authority, so an option
// added to a command is checked here without touching this test.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "run_tool.h"

namespace {

using Names = std::set<std::string>;

// The options named in `text`: "-x" (one letter) or "--name" at the start of
// a word or after '(' '[' ',' '|' ("--color[=WHEN]" names "--color"; "-HH"
// is no option).
Names optionsIn(const std::string& text) {
    static const std::regex option(
        R"((^|[\s(\[,|])(--[A-Za-z][A-Za-z0-9-]*|-[A-Za-z](?![A-Za-z0-9])))");
    Names names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it)
        names.insert((*it)[2]);
    return names;
}

// The page's text with the font changes, line joins and escapes of roff
// turned into plain characters.
std::string plainRoff(std::string line) {
    static const std::regex fonts(R"(\\f[BIRP]|\\c|\\&)");
    line = std::regex_replace(line, fonts, "");
    static const std::vector<std::pair<std::string, std::string>> escapes = {
        {"\\-", "-"}, {"\\(aq", "'"}, {"\\(dq", "\""}, {"\\e", "\\"}};
    for (const auto& [from, to] : escapes) {
        for (std::size_t at; (at = line.find(from)) != std::string::npos;)
            line.replace(at, from.size(), to);
    }
    return line;
}

// The manual page cut into sections: each command's (".SS NAME" under
// ".SH COMMANDS"), the tool's own options (".SH OPTIONS", under ""), and
// the EXAMPLES.
struct ManPage {
    std::map<std::string, std::string> commands;
    std::vector<std::string> examples;  // lines of the EXAMPLES section
};

ManPage readManPage() {
    std::ifstream file(XVKIT_SOURCE_DIR "/doc/xvkit.1");
    ManPage page;
    std::string heading, command;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with(".\\\""))
            continue;
        line = plainRoff(line);
        if (line.starts_with(".SH ")) {
            heading = line.substr(4);
            command = heading == "OPTIONS" ? "" : "-";
            continue;
        }
        if (heading == "COMMANDS" && line.starts_with(".SS ")) {
            command = line.substr(4);
            std::erase(command, '"');
            page.commands[command];
            continue;
        }
        if (heading == "EXAMPLES")
            page.examples.push_back(line);
        else if (command != "-")
            page.commands[command] += line + "\n";
    }
    return page;
}

// The commands of `xvkit --help`: the first word of each indented line after
// "Commands".
std::vector<std::string> toolCommands() {
    const RunResult help = runTool({"--help"});
    std::istringstream lines(help.out.substr(help.out.find("\nCommands")));
    std::vector<std::string> commands;
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    for (; std::getline(lines, line) && line.starts_with("  ");)
        commands.push_back(line.substr(2, line.find(' ', 2) - 2));
    return commands;
}

// Whether `command` takes `option`: the parser may still refuse the run
// (a value missing, no operand), but not for an unknown option.
bool accepts(const std::string& command, const std::string& option) {
    std::vector<std::string> args{option};
    if (!command.empty())
        args.insert(args.begin(), command);
    const RunResult r = runTool(args);
    return r.err.find("unknown option") == std::string::npos;
}

TEST(ManPage, NamesEveryOptionOfEveryCommandAndOnlyThose) {
    const ManPage page = readManPage();
    const std::vector<std::string> commands = toolCommands();
    ASSERT_GE(commands.size(), 8u);
    ASSERT_TRUE(page.commands.contains(""));
    const Names global = optionsIn(page.commands.at(""));
    EXPECT_EQ(global, (Names{"-h", "--help", "-V", "--version"}));
    Names documented{""};
    for (const std::string& command : commands) {
        ASSERT_TRUE(page.commands.contains(command)) << "no section for " << command;
        documented.insert(command);
        const Names inPage = optionsIn(page.commands.at(command));
        for (const std::string& option : optionsIn(runTool({command, "--help"}).out)) {
            EXPECT_TRUE(inPage.contains(option) || global.contains(option))
                << command << " " << option << " is not in the manual page";
        }
        for (const std::string& option : inPage)
            EXPECT_TRUE(accepts(command, option)) << command << " does not take " << option;
    }
    for (const std::string& option : optionsIn(runTool({"--help"}).out))
        EXPECT_TRUE(global.contains(option)) << option << " is not in the manual page";
    for (const std::string& option : global)
        EXPECT_TRUE(accepts("", option)) << option;
    for (const auto& [command, text] : page.commands)
        EXPECT_TRUE(documented.contains(command)) << "the page has a section for " << command;
}

// Each example is ".TP", ".B COMMAND", then the output it prints or, in
// italics (".I"), what it shows.
TEST(ManPage, ExamplesRunAsPrinted) {
    const std::vector<std::string> lines = readManPage().examples;
    int examples = 0;
    for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
        if (lines[i] != ".TP" || !lines[i + 1].starts_with(".B xvkit "))
            continue;
        ++examples;
        const std::string command = lines[i + 1].substr(3);
        const std::string script =
            "cd '" XVKIT_SOURCE_DIR "' && xvkit() { '" XVKIT_TOOL "' \"$@\"; } && " + command;
        const RunResult r = runProgram("/bin/sh", {"-c", script}, "",
                                       {"TZ=UTC0", "LOCPATH=", "XVKIT_LOCPATH=" XVKIT_LOCPATH});
        EXPECT_TRUE(r.status == 0 && r.err.empty()) << command << "\n" << r.err;
        if (lines[i + 2].starts_with(".I "))
            EXPECT_FALSE(r.out.empty()) << command;
        else
            EXPECT_EQ(r.out, lines[i + 2] + "\n") << command;
    }
    EXPECT_GE(examples, 6);
}

}  // namespace
