#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli words [options] [FILE|DIR]...`: the unique-word list as the saved list
// file reads.
int RunWords(const std::vector<std::string>& args);
void PrintWordsUsage();

}  // namespace tessary::cli
