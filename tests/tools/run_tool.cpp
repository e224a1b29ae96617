#include "run_tool.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// An unnamed temporary file, removed when it is closed.
File temporaryFile() {
    File f(std::tmpfile(), &std::fclose);
    if (!f)
        throw std::runtime_error("tmpfile failed");
    return f;
}

std::string contents(FILE* f) {
    std::string text;
    char buffer[65536];
    std::rewind(f);
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        text.append(buffer, got);
    return text;
}

}  // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input, const EnvVars& env) {
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e)
        envText.emplace_back(*e);
    for (const auto& [name, value] : env) {
        std::erase_if(envText, [&](const std::string& e) { return e.rfind(name + "=", 0) == 0; });
        envText.push_back(name + "=" + value);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    File in = temporaryFile(), out = temporaryFile(), err = temporaryFile();
    std::fwrite(input.data(), 1, input.size(), in.get());
    std::fflush(in.get());
    std::rewind(in.get());
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(in.get()), STDIN_FILENO);
        dup2(fileno(out.get()), STDOUT_FILENO);
        dup2(fileno(err.get()), STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    int wstatus = 0;
    while (pid > 0 && waitpid(pid, &wstatus, 0) < 0) {
    }
    if (pid < 0)
        throw std::runtime_error("fork failed");
    return {contents(out.get()), contents(err.get()),
            WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus)};
}

RunResult runTool(const std::vector<std::string>& args, const std::string& input,
                  const EnvVars& env) {
    EnvVars all{{"TZ", "UTC0"}};
    all.insert(all.end(), env.begin(), env.end());
    return runProgram(XVKIT_TOOL, args, input, all);
}

void expectRuns(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        std::vector<std::string> args;
        for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + 1) {
            to = c.command.find('|', from);
            args.push_back(c.command.substr(from, to - from));
        }
        EnvVars env;
        if (const std::size_t equals = c.env.find('='); equals != std::string::npos)
            env.emplace_back(c.env.substr(0, equals), c.env.substr(equals + 1));
        const RunResult r = runTool(args, c.input, env);
        const std::string command = "xvkit " + c.command.substr(0, 200);
        EXPECT_EQ(r.status, c.status) << command;
        EXPECT_EQ(r.out, c.out) << command;
        EXPECT_EQ(r.err, c.err.empty() ? "" : "xvkit: " + c.err + "\n") << command;
    }
}
