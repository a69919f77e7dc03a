#pragma once
#include <string>
#include <vector>

namespace tessary::cli {

// `tessary-cli convert [--codepage N|NAME] --to ansi|utf8|utf16le|utf16be IN OUT`
int RunConvert(const std::vector<std::string>& args);
void PrintConvertUsage();

}  // namespace tessary::cli
