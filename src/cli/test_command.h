#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli test [concord options] SEARCH [FILE|DIR]...`: the gap-fill test made
// from the search, as the test window shows it with every keyword blanked.
int RunTest(const std::vector<std::string>& args);
void PrintTestUsage();

}  // namespace tessary::cli
