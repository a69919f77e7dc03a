#pragma once
// printf-style templates into strings, for the fixed texts of the statistics results
// and files. Numbers with a fraction are written with a full stop whatever the locale.
#include <string>

namespace tessary {

std::string StatsFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// value with the given number of decimals, "%.*f" in the C locale.
std::string FixedDecimals(double value, int decimals);

}  // namespace tessary
