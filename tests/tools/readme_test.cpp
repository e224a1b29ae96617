// Runs every "xvkit" line of the README's ```sh blocks under /bin/sh from the
// source root, as ./scripts/run.sh would: each must exit with 0, and a
// trailing "# => TEXT" is the one line it must print.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "run_tool.h"

namespace {

TEST(Readme, EveryToolExampleRunsAsPrinted) {
    std::ifstream readme(XVKIT_SOURCE_DIR "/README.md");
    int examples = 0;
    bool inShellBlock = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.starts_with("```")) {
            inShellBlock = !inShellBlock && line == "```sh";
            continue;
        }
        if (!inShellBlock || !(line == "xvkit" || line.starts_with("xvkit ")))
            continue;
        ++examples;
        const std::size_t arrow = line.rfind(" # => ");
        const std::string script =
            "cd '" XVKIT_SOURCE_DIR "' && xvkit() { '" XVKIT_TOOL "' \"$@\"; } && " + line;
        const RunResult r = runProgram("/bin/sh", {"-c", script}, "",
                                       {"TZ=UTC0", "LOCPATH=", "XVKIT_LOCPATH=" XVKIT_LOCPATH});
        EXPECT_EQ(r.status, 0) << line << "\n" << r.err;
        EXPECT_TRUE(r.err.empty()) << line << "\n" << r.err;
        if (arrow != std::string::npos)
            EXPECT_EQ(r.out, line.substr(arrow + 6) + "\n") << line;
        else
            EXPECT_FALSE(r.out.empty()) << line;
    }
    EXPECT_GE(examples, 8) << "the README's tool examples were not found";
}

}  // namespace
