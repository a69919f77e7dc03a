#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli db create|append DB.sqlite [concord options] SEARCH [FILE|DIR]...` and
// `tessary-cli db list DB.sqlite`
int RunDb(const std::vector<std::string>& args);
void PrintDbUsage();

}  // namespace tessary::cli
