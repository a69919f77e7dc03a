#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli concord [options] SEARCH [FILE|DIR]...`; returns the exit status on an
// error and otherwise ends the process itself once the output is written.
int RunConcord(const std::vector<std::string>& args);
void PrintConcordUsage();

}  // namespace tessary::cli
