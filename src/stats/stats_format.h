#pragma once
// Numbers of the statistics results and files: a fraction is written with a full
// stop whatever the locale. Templates go through PrintfFormat.
#include <string>

#include "engine/printf_format.h"

namespace tessary {

// value with the given number of decimals, "%.*f" in the C locale.
std::string FixedDecimals(double value, int decimals);

}  // namespace tessary
