// Which files and directories `xvkit grep` searches, by --include, --exclude
// and --exclude-dir, with GNU grep's rules: a glob (fnmatch, '*' matching '/'
// and a leading '.') is matched against the base name of what a recursive
// search meets, and against a name given on the command line as a whole or
// from just after any '/' in it.
#ifndef XVKIT_TOOLS_GREP_FILTERS_H_
#define XVKIT_TOOLS_GREP_FILTERS_H_

#include <string>
#include <vector>

#include "arguments.h"

namespace xvtool {

// Where a name comes from: the command line, or a directory being searched.
enum class NameOrigin { operand, entry };

// Whether a file is searched: the last --include or --exclude whose glob
// matches decides; when none matches, the file is searched unless the first
// of them is an --include.
bool searchesFile(const std::vector<NameFilter>& filters, const std::string& name,
                  NameOrigin origin);

// Whether a directory is passed over: some --exclude-dir glob matches it.
bool skipsDirectory(const std::vector<std::string>& globs, const std::string& name,
                    NameOrigin origin);

}  // namespace xvtool

#endif  // XVKIT_TOOLS_GREP_FILTERS_H_
