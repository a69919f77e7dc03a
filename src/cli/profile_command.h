#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli profile [options] SEARCH [FILE|DIR]...`: the frequency profile's result
// caption and text.
int RunProfile(const std::vector<std::string>& args);
void PrintProfileUsage();

// The files that the operands stand for: a directory gives its files matching pattern,
// in name order; anything else is taken as a file. Directories that cannot be listed
// are named on standard error and make *failed true.
std::vector<std::string> ExpandSources(const std::vector<std::string>& operands, const std::string& pattern,
                                       bool* failed);

}  // namespace tessary::cli
