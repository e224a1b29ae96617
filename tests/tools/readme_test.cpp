// Runs every tool example of the README as printed, so that the README and
// the tool cannot drift apart. The examples are the lines of the README's
// ```sh blocks that start with "xvkit"; each runs under /bin/sh from the
// source tree's root, with "xvkit" being the built tool and the compiled
// locales on XVKIT_LOCPATH, as ./scripts/run.sh runs it. It must exit with 0,
// and a trailing "# => TEXT" is the one line it must print.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "run_tool.h"

namespace {

struct Example {
    std::string command;
    std::string expected;  // the line after "# => ", or empty
};

std::vector<Example> readmeExamples() {
    std::ifstream readme(XVKIT_SOURCE_DIR "/README.md");
    std::vector<Example> examples;
    bool inShellBlock = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.starts_with("```")) {
            inShellBlock = !inShellBlock && line == "```sh";
            continue;
        }
        if (!inShellBlock || !(line == "xvkit" || line.starts_with("xvkit ")))
            continue;
        Example example{line, ""};
        if (const std::size_t arrow = line.rfind(" # => "); arrow != std::string::npos)
            example.expected = line.substr(arrow + 6);
        examples.push_back(example);
    }
    return examples;
}

TEST(Readme, EveryToolExampleRunsAsPrinted) {
    const std::vector<Example> examples = readmeExamples();
    ASSERT_GE(examples.size(), 8u) << "the README's tool examples were not found";
    for (const Example& example : examples) {
        const std::string script = "cd '" XVKIT_SOURCE_DIR "' && xvkit() { '" XVKIT_TOOL
                                   "' \"$@\"; } && " +
                                   example.command;
        const RunResult r = runProgram("/bin/sh", {"-c", script}, "",
                                       {"TZ=UTC0", "LOCPATH=", "XVKIT_LOCPATH=" XVKIT_LOCPATH});
        EXPECT_EQ(r.status, 0) << example.command << "\n" << r.err;
        EXPECT_TRUE(r.err.empty()) << example.command << "\n" << r.err;
        if (!example.expected.empty())
            EXPECT_EQ(r.out, example.expected + "\n") << example.command;
        else
            EXPECT_FALSE(r.out.empty()) << example.command;
    }
}

}  // namespace
