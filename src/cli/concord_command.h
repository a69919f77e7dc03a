#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli concord [options] SEARCH [FILE|DIR]...`; returns the exit status.
int RunConcord(const std::vector<std::string>& args);
void PrintConcordUsage();

}  // namespace tessary::cli
