#pragma once
// printf-style formatting into a std::string, for the fixed text layouts of result
// files and messages ("%-4zu%20s\t%s\n" and the like).
#include <string>

namespace tessary {

std::string PrintfFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tessary
