// Test helper: runs a program as a child process with given arguments,
// standard input and environment, and collects what it wrote and its status.
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
// environment with `env` added or replaced.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input = "", const EnvVars& env = {});

// Runs the xvkit tool under TZ=UTC0, plus `env`.
RunResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                  const EnvVars& env = {});

// Runs the tool with a file as its standard input, for inputs too large to
// hold twice in memory.
RunResult runToolOnFile(const std::vector<std::string>& args, const std::string& inputPath);

// Runs the tool with its standard output going to `outputPath` (a device
// such as /dev/full); the result's `out` is empty.
RunResult runToolInto(const std::vector<std::string>& args, const std::string& outputPath);

// The whole content of a file.
std::string readFile(const std::string& path);

#endif  // XVKIT_TESTS_TOOLS_RUN_TOOL_H_
