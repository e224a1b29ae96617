#include "run_tool.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

// A temporary file in the test's build directory, removed on destruction.
class TempFile {
  public:
    TempFile() {
        path_ = std::string(XVKIT_TEST_WORKDIR) + "/run-XXXXXX";
        fd_ = mkstemp(path_.data());
        if (fd_ < 0)
            throw std::runtime_error("mkstemp failed for " + path_);
    }
    ~TempFile() {
        close(fd_);
        unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int fd_;
};

// Runs the child with `outputFd` as its standard output, or a temporary file
// whose content is returned when `outputFd` is negative.
RunResult run(const std::string& program, const std::vector<std::string>& args, int inputFd,
              const EnvVars& env, int outputFd = -1) {
    TempFile out, err;
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        bool replaced = false;
        for (const auto& [name, value] : env) {
            replaced |=
                std::strncmp(*e, name.c_str(), name.size()) == 0 && (*e)[name.size()] == '=';
        }
        if (!replaced)
            envText.emplace_back(*e);
    }
    // A later setting of a name wins over an earlier one.
    for (std::size_t i = 0; i < env.size(); ++i) {
        bool overridden = false;
        for (std::size_t j = i + 1; j < env.size(); ++j)
            overridden |= env[j].first == env[i].first;
        if (!overridden)
            envText.push_back(env[i].first + "=" + env[i].second);
    }

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(inputFd, STDIN_FILENO);
        dup2(outputFd >= 0 ? outputFd : out.fd(), STDOUT_FILENO);
        dup2(err.fd(), STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) {
    }
    RunResult r{readFile(out.path()), readFile(err.path()), 0};
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return r;
}

}  // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& input, const EnvVars& env) {
    TempFile in;
    if (write(in.fd(), input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
        throw std::runtime_error("cannot write the child's input");
    }
    lseek(in.fd(), 0, SEEK_SET);
    return run(program, args, in.fd(), env);
}

RunResult runTool(const std::vector<std::string>& args, const std::string& input,
                  const EnvVars& env) {
    EnvVars all{{"TZ", "UTC0"}};
    all.insert(all.end(), env.begin(), env.end());
    return runProgram(XVKIT_TOOL, args, input, all);
}

RunResult runToolOnFile(const std::vector<std::string>& args, const std::string& inputPath) {
    int fd = open(inputPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + inputPath);
    RunResult r = run(XVKIT_TOOL, args, fd, {{"TZ", "UTC0"}});
    close(fd);
    return r;
}

RunResult runToolInto(const std::vector<std::string>& args, const std::string& outputPath) {
    int fd = open(outputPath.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + outputPath);
    TempFile in;
    RunResult r = run(XVKIT_TOOL, args, in.fd(), {{"TZ", "UTC0"}}, fd);
    close(fd);
    return r;
}
