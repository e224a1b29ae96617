// A command line for the tool's parts, held as the words a program's main
// receives, and the message of a CliError a call throws.
#ifndef XVKIT_TESTS_TOOLS_TOOL_WORDS_H_
#define XVKIT_TESTS_TOOLS_TOOL_WORDS_H_

#include <string>
#include <vector>

#include "commands.h"
#include "options.h"

class Words {
  public:
    Words(std::initializer_list<std::string> words) : words_(words) {
        for (std::string& w : words_)
            pointers_.push_back(w.data());
    }
    Words(const Words&) = delete;
    Words& operator=(const Words&) = delete;

    xvtool::Args args() const { return {pointers_.data(), pointers_.size()}; }

  private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

// The message of the CliError that `call` throws, or "" when it throws none.
template <class Call>
std::string cliError(Call&& call) {
    try {
        call();
    } catch (const xvtool::CliError& e) {
        return e.what();
    }
    return "";
}

#endif  // XVKIT_TESTS_TOOLS_TOOL_WORDS_H_
