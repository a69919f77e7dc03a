#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli collocates [concord options] [--order frequency|string] SEARCH FILE...`:
// the collocate list of the sorted search, in the format of the saved list file.
int RunCollocates(const std::vector<std::string>& args);
void PrintCollocatesUsage();

}  // namespace tessary::cli
