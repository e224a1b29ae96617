// Test helper: runs a program as a child process and collects what it wrote
// and its status.
#ifndef XVKIT_TESTS_TOOLS_RUN_TOOL_H_
#define XVKIT_TESTS_TOOLS_RUN_TOOL_H_

#include <string>
#include <utility>
#include <vector>

struct RunResult {
    std::string out;
    std::string err;
    int status;  // the exit status, or 128 + signal number
};

using EnvVars = std::vector<std::pair<std::string, std::string>>;

// Runs `program` with `args`, `input` as its standard input, and the test's
// environment with `env` added or replaced (a later setting of a name wins).
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input = "", const EnvVars& env = {});

// Runs the xvkit tool in the same way, under TZ=UTC0 unless `env` sets TZ.
RunResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                  const EnvVars& env = {});

// One run of the tool and what it must give.
struct Case {
    std::string command;  // the arguments, separated by '|'
    int status;
    std::string out;
    std::string err = "";  // the message after "xvkit: ", when there is one
    std::string input = "";
    std::string env = "";  // one NAME=value setting
};

// Runs each case and checks its status, output and error message.
void expectRuns(const std::vector<Case>& cases);

#endif  // XVKIT_TESTS_TOOLS_RUN_TOOL_H_
