// The subcommands of the xvkit tool. Each takes the words after its own name
// and returns the exit status; failures are thrown as CliError.
#ifndef XVKIT_TOOLS_COMMANDS_H_
#define XVKIT_TOOLS_COMMANDS_H_

#include <span>

namespace xvtool {

using Args = std::span<char* const>;

int runTour(Args args);
int runDate(Args args);
int runTime(Args args);
int runNum(Args args);
int runMoney(Args args);
int runLocale(Args args);
int runGrep(Args args);
int runZone(Args args);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_COMMANDS_H_
