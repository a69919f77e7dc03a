#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli compare [options] LIST1 LIST2 FILE`: writes the word-list comparison
// report and prints the paths of its three files; --open shows it through xdg-open.
int RunCompare(const std::vector<std::string>& args);
void PrintCompareUsage();

}  // namespace tessary::cli
