// Test helpers that run a program as a child process and collect what it
// wrote and its status, and check runs of the xvkit tool against tables.
#ifndef XVKIT_TESTS_TOOLS_RUN_TOOL_H_
#define XVKIT_TESTS_TOOLS_RUN_TOOL_H_

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct RunResult {
    std::string out;
    std::string err;
    int status;  // the exit status, or 128 + signal number
};

// Runs `program` with `args`, `input` as its standard input, and the test's
// environment with the NAME=value settings of `env` added or replaced (a later
// setting of a name wins).
inline RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::string& input = "",
                            const std::vector<std::string>& env = {}) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    using File = std::unique_ptr<FILE, int (*)(FILE*)>;
    File in(std::tmpfile(), &std::fclose), out(std::tmpfile(), &std::fclose),
        err(std::tmpfile(), &std::fclose);
    if (!in || !out || !err)
        throw std::runtime_error("tmpfile failed");
    std::fwrite(input.data(), 1, input.size(), in.get());
    std::rewind(in.get());  // flushes the input too
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(in.get()), STDIN_FILENO);
        dup2(fileno(out.get()), STDOUT_FILENO);
        dup2(fileno(err.get()), STDERR_FILENO);
        // Only the child's environment changes; the test runs one thread.
        for (const std::string& setting : env) {
            if (const std::size_t eq = setting.find('='); eq != std::string::npos)
                setenv(setting.substr(0, eq).c_str(), setting.c_str() + eq + 1, 1);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    while (pid > 0 && waitpid(pid, &wstatus, 0) < 0) {
    }
    if (pid < 0)
        throw std::runtime_error("fork failed");
    // The child wrote through the same file offsets: they are the lengths.
    const auto contents = [](FILE* f) {
        std::string text(static_cast<std::size_t>(std::ftell(f)), '\0');
        std::rewind(f);
        return text.substr(0, std::fread(text.data(), 1, text.size(), f));
    };
    return {contents(out.get()), contents(err.get()),
            WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus)};
}

// Runs the xvkit tool in the same way, under TZ=UTC0 unless `env` sets TZ.
inline RunResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                         const std::string& env = "") {
    return runProgram(XVKIT_TOOL, args, input, {"TZ=UTC0", env});
}

// One run of the tool and what it must give.
struct Case {
    std::string command;  // the arguments, separated by '|'
    int status;
    std::string out;
    std::string err = "";  // the message after "xvkit: ", when there is one
    std::string input = "";
    std::string env = "";  // one NAME=value setting
};

inline void expectRuns(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        std::vector<std::string> args;
        for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + 1) {
            to = c.command.find('|', from);
            args.push_back(c.command.substr(from, to - from));
        }
        const RunResult r = runTool(args, c.input, c.env);
        const std::string command = "xvkit " + c.command.substr(0, 200);
        EXPECT_EQ(r.status, c.status) << command;
        EXPECT_EQ(r.out, c.out) << command;
        EXPECT_EQ(r.err, c.err.empty() ? "" : "xvkit: " + c.err + "\n") << command;
    }
}

#endif  // XVKIT_TESTS_TOOLS_RUN_TOOL_H_
